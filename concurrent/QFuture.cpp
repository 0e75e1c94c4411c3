#include "concurrent/futures.h"

static const char *const qtscript_QFuture_function_names[] = {
    "QFuture",
    // prototype
    "cancel", "isCanceled", "isFinished", "isPaused", "isResultReadyAt", "isRunning", "isStarted",
    "equals", "pause", "progressMaximum", "progressMinimum", "progressText", "progressValue",
    "resultCount", "resume", "setPaused", "togglePaused", "waitForFinished", "toString",
};

static const char *const qtscript_QFuture_function_signatures[] = {
    "\nQFuture other",
    // prototype
    "", "", "", "", "int index", "", "", "QFuture other", "", "", "", "", "", "", "",
    "bool paused", "", "",
};

static const int qtscript_QFuture_function_lengths[] = {
    1,
    // prototype
    0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QFuture_tables =
    kit::tables("QFuture", qtscript_QFuture_function_names, qtscript_QFuture_function_signatures,
                qtscript_QFuture_function_lengths, 0);

static QScriptValue qtscript_QFuture_prototype_call(kit::Call &call,
                                                    kit::ValueHandle<QFuture<QScriptValue>> &self)
{
    return futures::call(call, *self, futures::Method(call.index));
}

QScriptValue qtscript_create_QFuture_class(QScriptEngine *engine)
{
    return kit::valueClass<QFuture<QScriptValue>, qtscript_QFuture_tables,
                           futures::construct<QScriptValue>, qtscript_QFuture_prototype_call>(engine);
}
