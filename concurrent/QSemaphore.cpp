#include "concurrent/jobs.h"

#include <QtCore/QSemaphore>

#include <limits>

static const char *const qtscript_QSemaphore_function_names[] = {
    "QSemaphore",
    // prototype
    "acquire", "available", "release", "tryAcquire", "toString",
};

static const char *const qtscript_QSemaphore_function_signatures[] = {
    "int n",
    // prototype
    "int n", "", "int n", "int n\nint n, int timeout",
};

static const int qtscript_QSemaphore_function_lengths[] = {
    1,
    // prototype
    1, 0, 1, 2, 0,
};

static constexpr kit::ClassTables qtscript_QSemaphore_tables =
    kit::tables("QSemaphore", qtscript_QSemaphore_function_names,
                qtscript_QSemaphore_function_signatures, qtscript_QSemaphore_function_lengths, 0);

static const char qtscript_QSemaphore_deadlock[] =
    "too few resources, and nothing left to run on this thread can release them";

// Qt 5 keeps the count in bits it shares with its waiters: a negative count, or a release past
// the largest int, corrupts the semaphore. Both are refused.
static bool qtscript_QSemaphore_inRange(int n, int available = 0)
{
    return n >= 0 && n <= std::numeric_limits<int>::max() - available;
}

static QScriptValue qtscript_QSemaphore_prototype_call(kit::Call &call, QSemaphore *&self)
{
    QSemaphore *s = self;
    if (call.index == 4)
        return call.className();
    if (call.at() == kit::at(1, 0))
        return call.ret(s->available());
    if (call.argc > (call.index == 3 ? 2 : 1) || call.index == 1)
        return call.mismatch();
    const int n = call.get<int>(0, 1);
    if (!qtscript_QSemaphore_inRange(n, call.index == 2 ? qMax(0, s->available()) : 0))
        return call.countOutOfRange(n);
    switch (call.at()) {
    case kit::at(0, 0):
    case kit::at(0, 1):
        return jobs::take(call, -1, [s, n] { return s->tryAcquire(n); }, qtscript_QSemaphore_deadlock,
                          false);
    case kit::at(2, 0):
    case kit::at(2, 1):
        s->release(n);
        return call.ret();
    case kit::at(3, 0):
    case kit::at(3, 1):
        return call.ret(s->tryAcquire(n));
    case kit::at(3, 2):
        return jobs::take(call, call.get<int>(1), [s, n] { return s->tryAcquire(n); },
                          qtscript_QSemaphore_deadlock);
    }
    return call.mismatch();
}

static QScriptValue qtscript_QSemaphore_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1) {
        const int n = call.get<int>(0, 0);
        return qtscript_QSemaphore_inRange(n) ? call.wrapOwned(new QSemaphore(n))
                                              : call.countOutOfRange(n);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSemaphore_class(QScriptEngine *engine)
{
    return kit::pointerClass<QSemaphore, qtscript_QSemaphore_tables, qtscript_QSemaphore_static_call,
                             qtscript_QSemaphore_prototype_call>(engine);
}
