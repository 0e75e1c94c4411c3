#include "concurrent/jobs.h"
#include "plugin/enums.h"

static const char *const qtscript_QMutex_function_names[] = {
    "QMutex",
    // prototype
    "lock", "tryLock", "unlock", "toString",
};

static const char *const qtscript_QMutex_function_signatures[] = {
    "RecursionMode mode",
    // prototype
    "", "\nint timeout", "",
};

static const int qtscript_QMutex_function_lengths[] = {
    1,
    // prototype
    0, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QMutex_tables =
    kit::tables("QMutex", qtscript_QMutex_function_names, qtscript_QMutex_function_signatures,
                qtscript_QMutex_function_lengths, 0);

static const char *const qtscript_QMutex_RecursionMode_keys[] = {"NonRecursive", "Recursive"};
static const int qtscript_QMutex_RecursionMode_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QMutex_RecursionMode = kit::enumeration<QMutex::RecursionMode>(
    "QMutex", "RecursionMode", qtscript_QMutex_RecursionMode_keys,
    qtscript_QMutex_RecursionMode_values, kit::KeyLookup::DirectIndex);

static const char qtscript_QMutex_deadlock[] =
    "the mutex is locked, and nothing left to run on this thread can unlock it";

static QScriptValue qtscript_QMutex_prototype_call(kit::Call &call, QMutex *&self)
{
    QMutex *mutex = self;
    switch (call.at()) {
    case kit::at(0, 0):
        // Scripts lock only on the engine's thread: the holder is a caller lower on this stack,
        // or a run still to come.
        return jobs::take(call, -1, [mutex] { return mutex->tryLock(); }, qtscript_QMutex_deadlock,
                          false);
    case kit::at(1, 0):
        return call.ret(mutex->tryLock());
    case kit::at(1, 1):
        return jobs::take(call, call.get<int>(0), [mutex] { return mutex->tryLock(); },
                          qtscript_QMutex_deadlock);
    case kit::at(2, 0):
        mutex->unlock();
        return call.ret();
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QMutex_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapOwned(new QMutex(call.get<QMutex::RecursionMode>(0, QMutex::NonRecursive)));
    return call.mismatch();
}

QScriptValue qtscript_create_QMutex_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::pointerClass<QMutex, qtscript_QMutex_tables, qtscript_QMutex_static_call,
                                          qtscript_QMutex_prototype_call>(engine);
    kit::addEnum<qtscript_QMutex_RecursionMode>(engine, ctor);
    return ctor;
}
