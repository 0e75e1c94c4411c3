#include "concurrent/futures.h"

static const char *const qtscript_QFutureVoid_function_names[] = {
    "QFutureVoid",
    // prototype
    "cancel", "isCanceled", "isFinished", "isPaused", "isRunning", "isStarted", "equals", "pause",
    "progressMaximum", "progressMinimum", "progressText", "progressValue", "resume", "setPaused",
    "togglePaused", "waitForFinished", "toString",
};

static const char *const qtscript_QFutureVoid_function_signatures[] = {
    "\nQFuture other",
    // prototype
    "", "", "", "", "", "", "QFuture other", "", "", "", "", "", "", "bool paused", "", "",
};

static const int qtscript_QFutureVoid_function_lengths[] = {
    1,
    // prototype
    0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QFutureVoid_tables =
    kit::tables("QFutureVoid", qtscript_QFutureVoid_function_names,
                qtscript_QFutureVoid_function_signatures, qtscript_QFutureVoid_function_lengths, 0);

// QFuture's methods without the two about results.
static const futures::Method qtscript_QFutureVoid_methods[] = {
    futures::Cancel, futures::IsCanceled, futures::IsFinished, futures::IsPaused,
    futures::IsRunning, futures::IsStarted, futures::Equals, futures::Pause,
    futures::ProgressMaximum, futures::ProgressMinimum, futures::ProgressText,
    futures::ProgressValue, futures::Resume, futures::SetPaused, futures::TogglePaused,
    futures::WaitForFinished, futures::ToString,
};
static_assert(sizeof(qtscript_QFutureVoid_methods) / sizeof(futures::Method)
                  == sizeof(qtscript_QFutureVoid_function_lengths) / sizeof(int) - 1,
              "one method per prototype entry");

static QScriptValue qtscript_QFutureVoid_prototype_call(kit::Call &call,
                                                        kit::ValueHandle<QFuture<void>> &self)
{
    return futures::call(call, *self, qtscript_QFutureVoid_methods[call.index]);
}

QScriptValue qtscript_create_QFutureVoid_class(QScriptEngine *engine)
{
    return kit::valueClass<QFuture<void>, qtscript_QFutureVoid_tables, futures::construct<void>,
                           qtscript_QFutureVoid_prototype_call>(engine);
}
