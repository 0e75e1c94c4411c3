#include "concurrent/futures.h"

static const char *const qtscript_QFutureWatcher_function_names[] = {
    "QFutureWatcher",
    // prototype
    "setFuture", "toString",
};

static const char *const qtscript_QFutureWatcher_function_signatures[] = {
    "QObject _parent",
    // prototype
    "QFuture future",
};

static const int qtscript_QFutureWatcher_function_lengths[] = {
    1,
    // prototype
    1, 0,
};

static constexpr kit::ClassTables qtscript_QFutureWatcher_tables =
    kit::tables("QFutureWatcher", qtscript_QFutureWatcher_function_names,
                qtscript_QFutureWatcher_function_signatures,
                qtscript_QFutureWatcher_function_lengths, 0);

// Held by handle, not as an object: scripts reach only these methods, no signals. Made without
// a parent, the script owns it; with one, its parent.
QScriptValue qtscript_create_QFutureWatcher_class(QScriptEngine *engine)
{
    return kit::pointerClass<QFutureWatcher<QScriptValue>, qtscript_QFutureWatcher_tables,
                             futures::constructWatcher<QScriptValue>,
                             futures::watcherCall<QScriptValue>>(engine);
}
