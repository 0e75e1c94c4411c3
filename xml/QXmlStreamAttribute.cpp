#include "plugin/kit.h"

#include <QtCore/QXmlStreamAttribute>

static const char *const qtscript_QXmlStreamAttribute_function_names[] = {
    "QXmlStreamAttribute",
    // prototype
    "isDefault", "name", "namespaceUri", "equals", "prefix", "qualifiedName", "value", "toString",
};

static const char *const qtscript_QXmlStreamAttribute_function_signatures[] = {
    "\nString namespaceUri, String name, String value\nString qualifiedName, String value\n"
    "QXmlStreamAttribute arg__1",
    // prototype
    "", "", "", "QXmlStreamAttribute other", "", "", "",
};

static const int qtscript_QXmlStreamAttribute_function_lengths[] = {
    3,
    // prototype
    0, 0, 0, 1, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamAttribute_tables =
    kit::tables("QXmlStreamAttribute", qtscript_QXmlStreamAttribute_function_names,
                qtscript_QXmlStreamAttribute_function_signatures,
                qtscript_QXmlStreamAttribute_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamAttribute_prototype_call(
    kit::Call &call, kit::ValueHandle<QXmlStreamAttribute> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->isDefault());
    case kit::at(1, 0):
        return call.ret(self->name().toString());
    case kit::at(2, 0):
        return call.ret(self->namespaceUri().toString());
    case kit::at(3, 1):
        return call.ret(*self == call.get<QXmlStreamAttribute>(0));
    case kit::at(4, 0):
        return call.ret(self->prefix().toString());
    case kit::at(5, 0):
        return call.ret(self->qualifiedName().toString());
    case kit::at(6, 0):
        return call.ret(self->value().toString());
    }
    if (call.index == 7)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamAttribute_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QXmlStreamAttribute());
    case kit::at(0, 1):
        return call.wrapValue(call.get<QXmlStreamAttribute>(0));
    case kit::at(0, 2):
        return call.wrapValue(compat::xmlAttribute(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(0, 3):
        return call.wrapValue(
            compat::xmlAttribute(call.get<QString>(0), call.get<QString>(1), call.get<QString>(2)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamAttribute_class(QScriptEngine *engine)
{
    return kit::valueClass<QXmlStreamAttribute, qtscript_QXmlStreamAttribute_tables,
                           qtscript_QXmlStreamAttribute_static_call,
                           qtscript_QXmlStreamAttribute_prototype_call>(engine);
}
