#include "kernel/QtScriptShell_QTimerEvent.h"

#include "plugin/kit.h"

static const char *const qtscript_QTimerEvent_function_names[] = {
    "QTimerEvent",
    // prototype
    "timerId", "toString",
};

static const char *const qtscript_QTimerEvent_function_signatures[] = {
    "int timerId",
    // prototype
    "",
};

static const int qtscript_QTimerEvent_function_lengths[] = {
    1,
    // prototype
    0, 0,
};

static constexpr kit::ClassTables qtscript_QTimerEvent_tables =
    kit::tables("QTimerEvent", qtscript_QTimerEvent_function_names,
                qtscript_QTimerEvent_function_signatures, qtscript_QTimerEvent_function_lengths, 0);

static QScriptValue qtscript_QTimerEvent_prototype_call(kit::Call &call, QTimerEvent *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->timerId());
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTimerEvent_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1): {
        return call.wrapOwned<QTimerEvent>(new QtScriptShell_QTimerEvent(call.get<int>(0)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTimerEvent_class(QScriptEngine *engine)
{
    return kit::pointerClass<QTimerEvent, qtscript_QTimerEvent_tables,
                             qtscript_QTimerEvent_static_call, qtscript_QTimerEvent_prototype_call>(
        engine, kit::pointerTypeId<QEvent>());
}
