#include "plugin/kit.h"

static const char *const qtscript_QDynamicPropertyChangeEvent_function_names[] = {
    "QDynamicPropertyChangeEvent",
    // prototype
    "propertyName", "toString",
};

static const char *const qtscript_QDynamicPropertyChangeEvent_function_signatures[] = {
    "QByteArray name",
    // prototype
    "",
};

static const int qtscript_QDynamicPropertyChangeEvent_function_lengths[] = {
    1,
    // prototype
    0, 0,
};

static constexpr kit::ClassTables qtscript_QDynamicPropertyChangeEvent_tables =
    kit::tables("QDynamicPropertyChangeEvent", qtscript_QDynamicPropertyChangeEvent_function_names,
                qtscript_QDynamicPropertyChangeEvent_function_signatures,
                qtscript_QDynamicPropertyChangeEvent_function_lengths, 0);

static QScriptValue qtscript_QDynamicPropertyChangeEvent_prototype_call(
    kit::Call &call, QDynamicPropertyChangeEvent *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->propertyName());
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QDynamicPropertyChangeEvent_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1): {
        return call.wrapOwned<QDynamicPropertyChangeEvent>(
            new QDynamicPropertyChangeEvent(call.get<QByteArray>(0)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QDynamicPropertyChangeEvent_class(QScriptEngine *engine)
{
    return kit::pointerClass<QDynamicPropertyChangeEvent, qtscript_QDynamicPropertyChangeEvent_tables,
                             qtscript_QDynamicPropertyChangeEvent_static_call,
                             qtscript_QDynamicPropertyChangeEvent_prototype_call>(
        engine, kit::pointerTypeId<QEvent>());
}
