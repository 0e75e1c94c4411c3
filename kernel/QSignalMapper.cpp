#include "kernel/QtScriptShell_QSignalMapper.h"

static const char *const qtscript_QSignalMapper_function_names[] = {
    "QSignalMapper",
    // prototype
    "mappingById", "mappingByObject", "mappingByString", "removeMappings", "setMappingById",
    "setMappingByObject", "setMappingByString", "toString",
};

static const char *const qtscript_QSignalMapper_function_signatures[] = {
    "QObject parent",
    // prototype
    "int id", "QObject object", "String text", "QObject sender", "QObject sender, int id",
    "QObject sender, QObject object", "QObject sender, String text",
};

static const int qtscript_QSignalMapper_function_lengths[] = {
    1,
    // prototype
    1, 1, 1, 1, 2, 2, 2, 0,
};

static constexpr kit::ClassTables qtscript_QSignalMapper_tables =
    kit::tables("QSignalMapper", qtscript_QSignalMapper_function_names,
                qtscript_QSignalMapper_function_signatures,
                qtscript_QSignalMapper_function_lengths, 0);

static QScriptValue qtscript_QSignalMapper_prototype_call(kit::Call &call, QSignalMapper *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->mapping(call.get<int>(0)));
    case kit::at(1, 1):
        return call.ret(self->mapping(call.get<QObject *>(0)));
    case kit::at(2, 1):
        return call.ret(self->mapping(call.arg(0).toString()));
    case kit::at(3, 1):
        self->removeMappings(call.get<QObject *>(0));
        return call.ret();
    case kit::at(4, 2):
        self->setMapping(call.get<QObject *>(0), call.get<int>(1));
        return call.ret();
    case kit::at(5, 2):
        self->setMapping(call.get<QObject *>(0), call.get<QObject *>(1));
        return call.ret();
    case kit::at(6, 2):
        self->setMapping(call.get<QObject *>(0), call.arg(1).toString());
        return call.ret();
    }
    if (call.index == 7)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QSignalMapper_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1) {
        return call.wrapObject(new QtScriptShell_QSignalMapper, call.argc ? call.get<QObject *>(0) : nullptr);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSignalMapper_class(QScriptEngine *engine)
{
    return kit::objectClass<QSignalMapper, qtscript_QSignalMapper_tables,
                            qtscript_QSignalMapper_static_call,
                            qtscript_QSignalMapper_prototype_call>(engine, QMetaType::QObjectStar);
}
