#include "plugin/kit.h"

#include <QtCore/QXmlStreamNamespaceDeclaration>

static const char *const qtscript_QXmlStreamNamespaceDeclaration_function_names[] = {
    "QXmlStreamNamespaceDeclaration",
    // prototype
    "namespaceUri", "equals", "prefix", "toString",
};

static const char *const qtscript_QXmlStreamNamespaceDeclaration_function_signatures[] = {
    "\nString prefix, String namespaceUri\nQXmlStreamNamespaceDeclaration arg__1",
    // prototype
    "", "QXmlStreamNamespaceDeclaration other", "",
};

static const int qtscript_QXmlStreamNamespaceDeclaration_function_lengths[] = {
    2,
    // prototype
    0, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamNamespaceDeclaration_tables =
    kit::tables("QXmlStreamNamespaceDeclaration",
                qtscript_QXmlStreamNamespaceDeclaration_function_names,
                qtscript_QXmlStreamNamespaceDeclaration_function_signatures,
                qtscript_QXmlStreamNamespaceDeclaration_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamNamespaceDeclaration_prototype_call(
    kit::Call &call, kit::ValueHandle<QXmlStreamNamespaceDeclaration> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->namespaceUri().toString());
    case kit::at(1, 1):
        return call.ret(*self == call.get<QXmlStreamNamespaceDeclaration>(0));
    case kit::at(2, 0):
        return call.ret(self->prefix().toString());
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamNamespaceDeclaration_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QXmlStreamNamespaceDeclaration());
    case kit::at(0, 1):
        return call.wrapValue(call.get<QXmlStreamNamespaceDeclaration>(0));
    case kit::at(0, 2):
        return call.wrapValue(QXmlStreamNamespaceDeclaration(call.get<QString>(0), call.get<QString>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamNamespaceDeclaration_class(QScriptEngine *engine)
{
    return kit::valueClass<QXmlStreamNamespaceDeclaration,
                           qtscript_QXmlStreamNamespaceDeclaration_tables,
                           qtscript_QXmlStreamNamespaceDeclaration_static_call,
                           qtscript_QXmlStreamNamespaceDeclaration_prototype_call>(engine);
}
