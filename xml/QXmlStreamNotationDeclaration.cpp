#include "plugin/kit.h"

#include <QtCore/QXmlStreamNotationDeclaration>

static const char *const qtscript_QXmlStreamNotationDeclaration_function_names[] = {
    "QXmlStreamNotationDeclaration",
    // prototype
    "name", "equals", "publicId", "systemId", "toString",
};

static const char *const qtscript_QXmlStreamNotationDeclaration_function_signatures[] = {
    "\nQXmlStreamNotationDeclaration arg__1",
    // prototype
    "", "QXmlStreamNotationDeclaration other", "", "",
};

static const int qtscript_QXmlStreamNotationDeclaration_function_lengths[] = {
    1,
    // prototype
    0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamNotationDeclaration_tables =
    kit::tables("QXmlStreamNotationDeclaration",
                qtscript_QXmlStreamNotationDeclaration_function_names,
                qtscript_QXmlStreamNotationDeclaration_function_signatures,
                qtscript_QXmlStreamNotationDeclaration_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamNotationDeclaration_prototype_call(
    kit::Call &call, kit::ValueHandle<QXmlStreamNotationDeclaration> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->name().toString());
    case kit::at(1, 1):
        return call.ret(*self == call.get<QXmlStreamNotationDeclaration>(0));
    case kit::at(2, 0):
        return call.ret(self->publicId().toString());
    case kit::at(3, 0):
        return call.ret(self->systemId().toString());
    }
    if (call.index == 4)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamNotationDeclaration_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QXmlStreamNotationDeclaration());
    case kit::at(0, 1):
        return call.wrapValue(call.get<QXmlStreamNotationDeclaration>(0));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamNotationDeclaration_class(QScriptEngine *engine)
{
    return kit::valueClass<QXmlStreamNotationDeclaration,
                           qtscript_QXmlStreamNotationDeclaration_tables,
                           qtscript_QXmlStreamNotationDeclaration_static_call,
                           qtscript_QXmlStreamNotationDeclaration_prototype_call>(engine);
}
