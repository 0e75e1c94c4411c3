#include "io/QtScriptShell_QFileSystemWatcher.h"

static const char *const qtscript_QFileSystemWatcher_function_names[] = {
    "QFileSystemWatcher",
    // prototype
    "addPath", "addPaths", "directories", "files", "removePath", "removePaths", "toString",
};

static const char *const qtscript_QFileSystemWatcher_function_signatures[] = {
    "QObject parent\nList paths, QObject parent",
    // prototype
    "String file", "List files", "", "", "String file", "List files",
};

static const int qtscript_QFileSystemWatcher_function_lengths[] = {
    2,
    // prototype
    1, 1, 0, 0, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QFileSystemWatcher_tables =
    kit::tables("QFileSystemWatcher", qtscript_QFileSystemWatcher_function_names,
                qtscript_QFileSystemWatcher_function_signatures,
                qtscript_QFileSystemWatcher_function_lengths, 0);

// Qt 5's add and remove functions report what they did; the script sees undefined, as before.
static QScriptValue qtscript_QFileSystemWatcher_prototype_call(kit::Call &call,
                                                               QFileSystemWatcher *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        self->addPath(call.get<QString>(0));
        kit::watchHelpers(self);
        kit::settle(self, call.context->thisObject());
        return call.ret();
    case kit::at(1, 1):
        self->addPaths(call.get<QStringList>(0));
        kit::watchHelpers(self);
        kit::settle(self, call.context->thisObject());
        return call.ret();
    case kit::at(2, 0):
        return call.ret(self->directories());
    case kit::at(3, 0):
        return call.ret(self->files());
    case kit::at(4, 1):
        self->removePath(call.get<QString>(0));
        return call.ret();
    case kit::at(5, 1):
        self->removePaths(call.get<QStringList>(0));
        return call.ret();
    }
    if (call.index == 6)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QFileSystemWatcher_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapObject(new QtScriptShell_QFileSystemWatcher);
    case kit::at(0, 1):
        if (call.arg(0).isQObject())
            return call.wrapObject(new QtScriptShell_QFileSystemWatcher, call.get<QObject *>(0));
        if (call.is<QStringList>(0))
            return call.wrapObject(new QtScriptShell_QFileSystemWatcher(call.get<QStringList>(0)));
        break;
    case kit::at(0, 2):
        return call.wrapObject(new QtScriptShell_QFileSystemWatcher(call.get<QStringList>(0)),
                               call.get<QObject *>(1));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QFileSystemWatcher_class(QScriptEngine *engine)
{
    return kit::objectClass<QFileSystemWatcher, qtscript_QFileSystemWatcher_tables,
                            qtscript_QFileSystemWatcher_static_call,
                            qtscript_QFileSystemWatcher_prototype_call>(engine, QMetaType::QObjectStar);
}
