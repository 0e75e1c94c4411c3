#include "concurrent/jobs.h"

#include <QtCore/QWaitCondition>

#include <climits>
#include <vector>

static const char *const qtscript_QWaitCondition_function_names[] = {
    "QWaitCondition",
    // prototype
    "wait", "wakeAll", "wakeOne", "toString",
};

static const char *const qtscript_QWaitCondition_function_signatures[] = {
    "",
    // prototype
    "QMutex mutex, unsigned long time\nQReadWriteLock readWriteLock, unsigned long time", "", "",
};

static const int qtscript_QWaitCondition_function_lengths[] = {
    0,
    // prototype
    2, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QWaitCondition_tables =
    kit::tables("QWaitCondition", qtscript_QWaitCondition_function_names,
                qtscript_QWaitCondition_function_signatures, qtscript_QWaitCondition_function_lengths, 0);

// Script waits on this thread, innermost last. Only runs executing inside a wait's own job
// loop can wake it, so a wait is registered before it lets its mutex go and no wake-up is lost.
// wakeOne wakes the innermost waiter not yet woken: the only one that can return first.
namespace {
struct Waiter {
    const QWaitCondition *condition;
    bool woken;
};
thread_local std::vector<Waiter *> waiters;
} // namespace

static void qtscript_QWaitCondition_wake(const QWaitCondition *condition, bool all)
{
    for (auto it = waiters.rbegin(); it != waiters.rend(); ++it) {
        if ((*it)->condition == condition && !(*it)->woken) {
            (*it)->woken = true;
            if (!all)
                return;
        }
    }
}

// The time argument: only a variant holding an unsigned long (a script number is a double).
static bool qtscript_QWaitCondition_isTime(const kit::Call &call, int i)
{
    return i >= call.argc || kit::variantType(call.arg(i)) == QMetaType::ULong;
}

static QScriptValue qtscript_QWaitCondition_wait(kit::Call &call, QWaitCondition *condition,
                                                 QMutex *mutex, ulong time)
{
    // QtCore cannot wait on a recursive mutex either (it warns and returns false).
    if (mutex->isRecursive())
        return call.ret(false);
    // A mutex nobody holds: Qt 4.4 returns at once; Qt 5 would return holding it.
    if (mutex->tryLock()) {
        mutex->unlock();
        return call.ret(false);
    }
    const int timeout = time == ULONG_MAX ? -1 : int(qMin<ulong>(time, INT_MAX));
    Waiter self{condition, false};
    waiters.push_back(&self);
    mutex->unlock();
    const jobs::Outcome outcome =
        jobs::wait(call.engine, timeout, jobs::Wakers::JobsOnly, [&self] { return self.woken; });
    waiters.pop_back();
    // Returns holding the mutex again, as QtCore's wait does.
    if (jobs::wait(call.engine, -1, jobs::Wakers::JobsOnly, [mutex] { return mutex->tryLock(); })
        == jobs::Outcome::Deadlock) {
        return jobs::throwDeadlock(call, "the mutex was locked meanwhile, and nothing left to run "
                                         "on this thread can unlock it");
    }
    if (outcome == jobs::Outcome::Deadlock && timeout < 0)
        return jobs::throwDeadlock(call, "nothing left to run on this thread can wake the condition");
    return call.ret(outcome == jobs::Outcome::Ready);
}

static QScriptValue qtscript_QWaitCondition_prototype_call(kit::Call &call, QWaitCondition *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
    case kit::at(0, 2): {
        if (!qtscript_QWaitCondition_isTime(call, 1))
            break;
        const ulong time = call.argc > 1 ? call.arg(1).toVariant().value<ulong>() : ULONG_MAX;
        if (QMutex *mutex = call.get<QMutex *>(0))
            return qtscript_QWaitCondition_wait(call, self, mutex, time);
        // A read-write lock comes only from the host, whose threads wake it: QtCore's own wait.
        if (QReadWriteLock *lock = call.get<QReadWriteLock *>(0))
            return call.ret(self->wait(lock, time));
        break;
    }
    case kit::at(1, 0):
        qtscript_QWaitCondition_wake(self, true);
        self->wakeAll();
        return call.ret();
    case kit::at(2, 0):
        qtscript_QWaitCondition_wake(self, false);
        self->wakeOne();
        return call.ret();
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QWaitCondition_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc == 0)
        return call.wrapOwned(new QWaitCondition);
    return call.mismatch();
}

QScriptValue qtscript_create_QWaitCondition_class(QScriptEngine *engine)
{
    return kit::pointerClass<QWaitCondition, qtscript_QWaitCondition_tables,
                             qtscript_QWaitCondition_static_call,
                             qtscript_QWaitCondition_prototype_call>(engine);
}
