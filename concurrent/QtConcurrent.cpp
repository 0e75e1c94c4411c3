// The global QtConcurrent: a function that refuses to be called and carries the namespace's
// enumerations and flags type.
#include "plugin/enums.h"

static const char *const qtscript_QtConcurrent_function_names[] = {"QtConcurrent"};
static const char *const qtscript_QtConcurrent_function_signatures[] = {""};
static const int qtscript_QtConcurrent_function_lengths[] = {0};

static constexpr kit::ClassTables qtscript_QtConcurrent_tables =
    kit::tables("QtConcurrent", qtscript_QtConcurrent_function_names,
                qtscript_QtConcurrent_function_signatures, qtscript_QtConcurrent_function_lengths,
                0, false);

static const char *const qtscript_QtConcurrent_ReduceOption_keys[] = {
    "UnorderedReduce", "OrderedReduce", "SequentialReduce"};
static const int qtscript_QtConcurrent_ReduceOption_values[] = {1, 2, 4};
static constexpr kit::EnumInfo qtscript_QtConcurrent_ReduceOption =
    kit::enumeration<QtConcurrent::ReduceOption>(
        "QtConcurrent", "ReduceOption", qtscript_QtConcurrent_ReduceOption_keys,
        qtscript_QtConcurrent_ReduceOption_values, kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QtConcurrent_ReduceOptions =
    kit::flags<QtConcurrent::ReduceOption>(qtscript_QtConcurrent_ReduceOption, "ReduceOptions");

static const char *const qtscript_QtConcurrent_ThreadFunctionResult_keys[] = {"ThrottleThread",
                                                                              "ThreadFinished"};
static const int qtscript_QtConcurrent_ThreadFunctionResult_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QtConcurrent_ThreadFunctionResult =
    kit::enumeration<QtConcurrent::ThreadFunctionResult>(
        "QtConcurrent", "ThreadFunctionResult", qtscript_QtConcurrent_ThreadFunctionResult_keys,
        qtscript_QtConcurrent_ThreadFunctionResult_values, kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QtConcurrent_static_call(kit::Call &call)
{
    return call.mismatch();
}

QScriptValue qtscript_create_QtConcurrent_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::namespaceClass<qtscript_QtConcurrent_tables, qtscript_QtConcurrent_static_call>(engine);
    kit::addEnum<qtscript_QtConcurrent_ReduceOption>(engine, ctor);
    kit::addFlags<qtscript_QtConcurrent_ReduceOptions>(engine, ctor);
    kit::addEnum<qtscript_QtConcurrent_ThreadFunctionResult>(engine, ctor);
    return ctor;
}
