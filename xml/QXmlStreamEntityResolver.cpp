#include "xml/QtScriptShell_QXmlStreamEntityResolver.h"

static const char *const qtscript_QXmlStreamEntityResolver_function_names[] = {
    "QXmlStreamEntityResolver",
    // prototype
    "resolveEntity", "resolveUndeclaredEntity", "toString",
};

static const char *const qtscript_QXmlStreamEntityResolver_function_signatures[] = {
    "",
    // prototype
    "String publicId, String systemId", "String name",
};

static const int qtscript_QXmlStreamEntityResolver_function_lengths[] = {
    0,
    // prototype
    2, 1, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamEntityResolver_tables =
    kit::tables("QXmlStreamEntityResolver", qtscript_QXmlStreamEntityResolver_function_names,
                qtscript_QXmlStreamEntityResolver_function_signatures,
                qtscript_QXmlStreamEntityResolver_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamEntityResolver_prototype_call(kit::Call &call,
                                                                     QXmlStreamEntityResolver *&self)
{
    switch (call.at()) {
    case kit::at(0, 2):
        return call.ret(self->resolveEntity(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(1, 1):
        return call.ret(self->resolveUndeclaredEntity(call.get<QString>(0)));
    }
    if (call.index == 2)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamEntityResolver_static_call(kit::Call &call)
{
    if (call.at() == kit::at(0, 0))
        return call.wrapShell<QXmlStreamEntityResolver>(new QtScriptShell_QXmlStreamEntityResolver());
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamEntityResolver_class(QScriptEngine *engine)
{
    return kit::pointerClass<QXmlStreamEntityResolver, qtscript_QXmlStreamEntityResolver_tables,
                             qtscript_QXmlStreamEntityResolver_static_call,
                             qtscript_QXmlStreamEntityResolver_prototype_call>(engine);
}
