#include "plugin/kit.h"

#include <QtCore/QXmlStreamEntityDeclaration>

static const char *const qtscript_QXmlStreamEntityDeclaration_function_names[] = {
    "QXmlStreamEntityDeclaration",
    // prototype
    "name", "notationName", "equals", "publicId", "systemId", "value", "toString",
};

static const char *const qtscript_QXmlStreamEntityDeclaration_function_signatures[] = {
    "\nQXmlStreamEntityDeclaration arg__1",
    // prototype
    "", "", "QXmlStreamEntityDeclaration other", "", "", "",
};

static const int qtscript_QXmlStreamEntityDeclaration_function_lengths[] = {
    1,
    // prototype
    0, 0, 1, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamEntityDeclaration_tables =
    kit::tables("QXmlStreamEntityDeclaration", qtscript_QXmlStreamEntityDeclaration_function_names,
                qtscript_QXmlStreamEntityDeclaration_function_signatures,
                qtscript_QXmlStreamEntityDeclaration_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamEntityDeclaration_prototype_call(
    kit::Call &call, kit::ValueHandle<QXmlStreamEntityDeclaration> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->name().toString());
    case kit::at(1, 0):
        return call.ret(self->notationName().toString());
    case kit::at(2, 1):
        return call.ret(*self == call.get<QXmlStreamEntityDeclaration>(0));
    case kit::at(3, 0):
        return call.ret(self->publicId().toString());
    case kit::at(4, 0):
        return call.ret(self->systemId().toString());
    case kit::at(5, 0):
        return call.ret(self->value().toString());
    }
    if (call.index == 6)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamEntityDeclaration_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QXmlStreamEntityDeclaration());
    case kit::at(0, 1):
        return call.wrapValue(call.get<QXmlStreamEntityDeclaration>(0));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamEntityDeclaration_class(QScriptEngine *engine)
{
    return kit::valueClass<QXmlStreamEntityDeclaration, qtscript_QXmlStreamEntityDeclaration_tables,
                           qtscript_QXmlStreamEntityDeclaration_static_call,
                           qtscript_QXmlStreamEntityDeclaration_prototype_call>(engine);
}
