#include "io/QtScriptShell_QTemporaryFile.h"

static const char *const qtscript_QTemporaryFile_function_names[] = {
    "QTemporaryFile",
    // static
    "createLocalFile",
    // prototype
    "autoRemove", "fileTemplate", "open", "setAutoRemove", "setFileTemplate", "uniqueFilename",
    "toString",
};

static const char *const qtscript_QTemporaryFile_function_signatures[] = {
    "\nQObject parent\nString templateName\nString templateName, QObject parent",
    // static
    "QFile file\nString fileName",
    // prototype
    "", "", "", "bool b", "String name", "",
};

static const int qtscript_QTemporaryFile_function_lengths[] = {
    2,
    // static
    1,
    // prototype
    0, 0, 0, 1, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QTemporaryFile_tables =
    kit::tables("QTemporaryFile", qtscript_QTemporaryFile_function_names,
                qtscript_QTemporaryFile_function_signatures,
                qtscript_QTemporaryFile_function_lengths, 1);

static QScriptValue qtscript_QTemporaryFile_prototype_call(kit::Call &call, QTemporaryFile *&self)
{
    // Opening, refused inside the device's own readData or writeData.
    if (const QScriptValue refused = kit::refuseInTransfer(call, self, {2}); refused.isValid())
        return refused;
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->autoRemove());
    case kit::at(1, 0):
        return call.ret(self->fileTemplate());
    case kit::at(2, 0):
        return call.ret(static_cast<QIODevice *>(self)->open(QIODevice::ReadWrite));
    case kit::at(3, 1):
        self->setAutoRemove(call.get<bool>(0));
        return call.ret();
    case kit::at(4, 1):
        self->setFileTemplate(call.get<QString>(0));
        return call.ret();
    case kit::at(5, 0):
        return call.ret(self->fileName());
    }
    if (call.index == 6)
        return call.className();
    return call.mismatch();
}

// The copy QtCore makes is nobody's: the script owns it, and it goes (with its file) when the
// script drops it.
static QScriptValue qtscript_QTemporaryFile_owned(kit::Call &call, QTemporaryFile *file)
{
    if (!file)
        return call.engine->nullValue();
    return call.engine->newQObject(file, QScriptEngine::AutoOwnership);
}

static QScriptValue qtscript_QTemporaryFile_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapObject(new QtScriptShell_QTemporaryFile);
    case kit::at(0, 1):
        if (call.arg(0).isQObject())
            return call.wrapObject(new QtScriptShell_QTemporaryFile, call.get<QObject *>(0));
        if (call.is<QString>(0))
            return call.wrapObject(new QtScriptShell_QTemporaryFile(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
        return call.wrapObject(new QtScriptShell_QTemporaryFile(call.get<QString>(0)),
                               call.get<QObject *>(1));
    case kit::at(1, 1):
        if (QFile *file = call.get<QFile *>(0))
            return qtscript_QTemporaryFile_owned(call, QTemporaryFile::createNativeFile(*file));
        if (call.is<QString>(0))
            return qtscript_QTemporaryFile_owned(call, QTemporaryFile::createNativeFile(call.get<QString>(0)));
        break;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTemporaryFile_class(QScriptEngine *engine)
{
    return kit::objectClass<QTemporaryFile, qtscript_QTemporaryFile_tables,
                            qtscript_QTemporaryFile_static_call,
                            qtscript_QTemporaryFile_prototype_call>(engine, qMetaTypeId<QFile *>());
}
