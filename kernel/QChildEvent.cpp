#include "kernel/QtScriptShell_QChildEvent.h"

#include "plugin/kit.h"

static const char *const qtscript_QChildEvent_function_names[] = {
    "QChildEvent",
    // prototype
    "added", "child", "polished", "removed", "toString",
};

static const char *const qtscript_QChildEvent_function_signatures[] = {
    "Type type, QObject child",
    // prototype
    "", "", "", "",
};

static const int qtscript_QChildEvent_function_lengths[] = {
    2,
    // prototype
    0, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QChildEvent_tables =
    kit::tables("QChildEvent", qtscript_QChildEvent_function_names,
                qtscript_QChildEvent_function_signatures, qtscript_QChildEvent_function_lengths, 0);

static QScriptValue qtscript_QChildEvent_prototype_call(kit::Call &call, QChildEvent *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->added());
    case kit::at(1, 0): {
        // A script's own event may outlive its child.
        if (auto *shell = dynamic_cast<QtScriptShell_QChildEvent *>(self))
            return call.ret(shell->guard.data());
        return call.ret(self->child());
    }
    case kit::at(2, 0):
        return call.ret(self->polished());
    case kit::at(3, 0):
        return call.ret(self->removed());
    }
    if (call.index == 4)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QChildEvent_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 2): {
        return call.wrapOwned<QChildEvent>(
            new QtScriptShell_QChildEvent(call.get<QEvent::Type>(0), call.get<QObject *>(1)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QChildEvent_class(QScriptEngine *engine)
{
    return kit::pointerClass<QChildEvent, qtscript_QChildEvent_tables,
                             qtscript_QChildEvent_static_call, qtscript_QChildEvent_prototype_call>(
        engine, kit::pointerTypeId<QEvent>());
}
