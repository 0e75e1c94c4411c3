#include "concurrent/QtScriptShell_QFutureSynchronizer.h"
#include "concurrent/futures.h"

static const char *const qtscript_QFutureSynchronizer_function_names[] = {
    "QFutureSynchronizer"};
static const char *const qtscript_QFutureSynchronizer_function_signatures[] = {""};
static const int qtscript_QFutureSynchronizer_function_lengths[] = {0};

static constexpr kit::ClassTables qtscript_QFutureSynchronizer_tables =
    kit::tables("QFutureSynchronizer", qtscript_QFutureSynchronizer_function_names,
                qtscript_QFutureSynchronizer_function_signatures,
                qtscript_QFutureSynchronizer_function_lengths, 0);

// No methods reach its futures; its destructor waits for none.
QScriptValue qtscript_create_QFutureSynchronizer_class(QScriptEngine *engine)
{
    return kit::pointerClass<QtScriptShell_QFutureSynchronizer,
                             qtscript_QFutureSynchronizer_tables,
                             futures::constructSynchronizer<QtScriptShell_QFutureSynchronizer>,
                             futures::noMethods<QtScriptShell_QFutureSynchronizer>>(engine);
}
