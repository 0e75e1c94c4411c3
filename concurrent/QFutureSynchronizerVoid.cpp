#include "concurrent/QtScriptShell_QFutureSynchronizerVoid.h"
#include "concurrent/futures.h"

static const char *const qtscript_QFutureSynchronizerVoid_function_names[] = {
    "QFutureSynchronizerVoid"};
static const char *const qtscript_QFutureSynchronizerVoid_function_signatures[] = {""};
static const int qtscript_QFutureSynchronizerVoid_function_lengths[] = {0};

static constexpr kit::ClassTables qtscript_QFutureSynchronizerVoid_tables =
    kit::tables("QFutureSynchronizerVoid", qtscript_QFutureSynchronizerVoid_function_names,
                qtscript_QFutureSynchronizerVoid_function_signatures,
                qtscript_QFutureSynchronizerVoid_function_lengths, 0);

// No methods reach its futures; its destructor waits for none.
QScriptValue qtscript_create_QFutureSynchronizerVoid_class(QScriptEngine *engine)
{
    return kit::pointerClass<QtScriptShell_QFutureSynchronizerVoid,
                             qtscript_QFutureSynchronizerVoid_tables,
                             futures::constructSynchronizer<QtScriptShell_QFutureSynchronizerVoid>,
                             futures::noMethods<QtScriptShell_QFutureSynchronizerVoid>>(engine);
}
