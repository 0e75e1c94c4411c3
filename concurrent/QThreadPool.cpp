#include "concurrent/QtScriptShell_QRunnable.h"
#include "concurrent/QtScriptShell_QThreadPool.h"

static const char *const qtscript_QThreadPool_function_names[] = {
    "QThreadPool",
    // static
    "globalInstance",
    // prototype
    "releaseThread", "reserveThread", "start", "tryStart", "waitForDone", "toString",
};

static const char *const qtscript_QThreadPool_function_signatures[] = {
    "QObject parent",
    // static
    "",
    // prototype
    "", "", "QRunnable runnable, int priority", "QRunnable runnable", "",
};

static const int qtscript_QThreadPool_function_lengths[] = {
    1,
    // static
    0,
    // prototype
    0, 0, 2, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QThreadPool_tables =
    kit::tables("QThreadPool", qtscript_QThreadPool_function_names,
                qtscript_QThreadPool_function_signatures, qtscript_QThreadPool_function_lengths, 1);

// Only a script's runnable can be started: QtCore gets a proxy that runs it on this thread.
static QtScriptShell_QRunnable *qtscript_QThreadPool_runnable(const kit::Call &call)
{
    return dynamic_cast<QtScriptShell_QRunnable *>(call.get<QRunnable *>(0));
}

static QScriptValue qtscript_QThreadPool_prototype_call(kit::Call &call, QThreadPool *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        self->releaseThread();
        return call.ret();
    case kit::at(1, 0):
        self->reserveThread();
        return call.ret();
    case kit::at(2, 1):
    case kit::at(2, 2):
        if (QtScriptShell_QRunnable *runnable = qtscript_QThreadPool_runnable(call)) {
            self->start(jobs::startOf(call, self, runnable), call.get<int>(1, 0));
            return call.ret();
        }
        break;
    case kit::at(3, 1):
        if (QtScriptShell_QRunnable *runnable = qtscript_QThreadPool_runnable(call)) {
            QRunnable *proxy = jobs::startOf(call, self, runnable);
            if (self->tryStart(proxy))
                return call.ret(true);
            jobs::refused(proxy);
            return call.ret(false);
        }
        break;
    case kit::at(4, 0):
        if (jobs::waitForPool(call.engine, self) == jobs::Outcome::Deadlock) {
            return jobs::throwDeadlock(call, "a run of this pool that has to end first is a caller "
                                             "lower on this stack");
        }
        // What else the pool runs is native.
        self->waitForDone();
        return call.ret();
    }
    if (call.index == 5)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QThreadPool_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
    case kit::at(0, 1):
        return call.wrapObject(new QtScriptShell_QThreadPool, call.get<QObject *>(0, nullptr));
    case kit::at(1, 0):
        return call.ret(QThreadPool::globalInstance());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QThreadPool_class(QScriptEngine *engine)
{
    return kit::objectClass<QThreadPool, qtscript_QThreadPool_tables, qtscript_QThreadPool_static_call,
                            qtscript_QThreadPool_prototype_call>(engine, QMetaType::QObjectStar);
}
