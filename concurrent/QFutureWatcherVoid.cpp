#include "concurrent/futures.h"

static const char *const qtscript_QFutureWatcherVoid_function_names[] = {
    "QFutureWatcherVoid",
    // prototype
    "setFuture", "toString",
};

static const char *const qtscript_QFutureWatcherVoid_function_signatures[] = {
    "QObject _parent",
    // prototype
    "QFuture future",
};

static const int qtscript_QFutureWatcherVoid_function_lengths[] = {
    1,
    // prototype
    1, 0,
};

static constexpr kit::ClassTables qtscript_QFutureWatcherVoid_tables =
    kit::tables("QFutureWatcherVoid", qtscript_QFutureWatcherVoid_function_names,
                qtscript_QFutureWatcherVoid_function_signatures,
                qtscript_QFutureWatcherVoid_function_lengths, 0);

// Held by handle, not as an object: scripts reach only these methods, no signals. Made without
// a parent, the script owns it; with one, its parent.
QScriptValue qtscript_create_QFutureWatcherVoid_class(QScriptEngine *engine)
{
    return kit::pointerClass<QFutureWatcher<void>, qtscript_QFutureWatcherVoid_tables,
                             futures::constructWatcher<void>,
                             futures::watcherCall<void>>(engine);
}
