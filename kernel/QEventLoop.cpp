#include "kernel/QtScriptShell_QEventLoop.h"

#include "plugin/enums.h"

#include <optional>

static const char *const qtscript_QEventLoop_function_names[] = {
    "QEventLoop",
    // prototype
    "exec", "exit", "isRunning", "processEvents", "wakeUp", "toString",
};

static const char *const qtscript_QEventLoop_function_signatures[] = {
    "QObject parent",
    // prototype
    "ProcessEventsFlags flags", "int returnCode", "",
    "ProcessEventsFlags flags\nProcessEventsFlags flags, int maximumTime", "",
};

static const int qtscript_QEventLoop_function_lengths[] = {
    1,
    // prototype
    1, 1, 0, 2, 0, 0,
};

static constexpr kit::ClassTables qtscript_QEventLoop_tables =
    kit::tables("QEventLoop", qtscript_QEventLoop_function_names,
                qtscript_QEventLoop_function_signatures, qtscript_QEventLoop_function_lengths, 0);

static constexpr const char *qtscript_QEventLoop_ProcessEventsFlag_keys[] = {
    "AllEvents", "ExcludeUserInputEvents", "ExcludeSocketNotifiers", "WaitForMoreEvents",
    "X11ExcludeTimers", "DeferredDeletion",
};
static constexpr int qtscript_QEventLoop_ProcessEventsFlag_values[] = {0, 1, 2, 4, 8, 16};
static constexpr kit::EnumInfo qtscript_QEventLoop_ProcessEventsFlag =
    kit::enumeration<QEventLoop::ProcessEventsFlag>(
        "QEventLoop", "ProcessEventsFlag", qtscript_QEventLoop_ProcessEventsFlag_keys,
        qtscript_QEventLoop_ProcessEventsFlag_values, kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QEventLoop_ProcessEventsFlags =
    kit::flags<QEventLoop::ProcessEventsFlag>(qtscript_QEventLoop_ProcessEventsFlag,
                                              "ProcessEventsFlags");

using Flags = QEventLoop::ProcessEventsFlags;

static QScriptValue qtscript_QEventLoop_prototype_call(kit::Call &call, QEventLoop *&self)
{
    // exec and processEvents deliver what no script asked for.
    std::optional<kit::LoopMark> loop;
    if (call.index == 0 || call.index == 3)
        loop.emplace(call.engine);
    switch (call.at()) {
    case kit::at(0, 0):
    case kit::at(0, 1):
        return call.ret(self->exec(call.get<Flags>(0, QEventLoop::AllEvents)));
    case kit::at(1, 0):
    case kit::at(1, 1):
        self->exit(call.get<int>(0, 0));
        return call.ret();
    case kit::at(2, 0):
        return call.ret(self->isRunning());
    case kit::at(3, 0):
    case kit::at(3, 1):
        return call.ret(self->processEvents(call.get<Flags>(0, QEventLoop::AllEvents)));
    case kit::at(3, 2):
        self->processEvents(call.get<Flags>(0), call.get<int>(1));
        return call.ret();
    case kit::at(4, 0):
        self->wakeUp();
        return call.ret();
    }
    if (call.index == 5)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QEventLoop_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1) {
        return call.wrapObject(new QtScriptShell_QEventLoop, call.argc ? call.get<QObject *>(0) : nullptr);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QEventLoop_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QEventLoop, qtscript_QEventLoop_tables, qtscript_QEventLoop_static_call,
                         qtscript_QEventLoop_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QEventLoop_ProcessEventsFlag>(engine, ctor);
    kit::addFlags<qtscript_QEventLoop_ProcessEventsFlags>(engine, ctor);
    return ctor;
}
