#include "plugin/kit.h"

static const char *const qtscript_QBasicTimer_function_names[] = {
    "QBasicTimer",
    // prototype
    "isActive", "start", "stop", "timerId", "toString",
};

static const char *const qtscript_QBasicTimer_function_signatures[] = {
    "",
    // prototype
    "", "int msec, QObject obj", "", "",
};

static const int qtscript_QBasicTimer_function_lengths[] = {
    0,
    // prototype
    0, 2, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QBasicTimer_tables =
    kit::tables("QBasicTimer", qtscript_QBasicTimer_function_names,
                qtscript_QBasicTimer_function_signatures, qtscript_QBasicTimer_function_lengths, 0);

ScriptBasicTimer::~ScriptBasicTimer()
{
    QObject::disconnect(watch);
    if (!isActive())
        return;
    stop();
    // Mostly the collector's sweep: the hold is read again once it is over.
    if (object)
        kit::settleLaterFrom(object);
}

// The handle's copies share one timer, so no method needs to write the value back.
static QScriptValue qtscript_QBasicTimer_prototype_call(kit::Call &call,
                                                        kit::ValueHandle<QBasicTimerHandle> &self)
{
    ScriptBasicTimer &timer = *self->timer;
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(timer.isActive());
    case kit::at(1, 2): {
        // A null object is Qt's to refuse: it starts no timer.
        QObject *object = call.get<QObject *>(1);
        QObject::disconnect(timer.watch);
        const QPointer<QObject> former = timer.object;
        timer.start(call.get<int>(0), object);
        timer.object = timer.isActive() ? object : nullptr;
        timer.timing.set(timer.object, &timer);
        if (timer.isActive()) {
            ScriptBasicTimer *watched = &timer;   // its destructor ends the watch
            timer.watch = QObject::connect(object, &QObject::destroyed, [watched] {
                watched->timing.set(nullptr, nullptr);
                watched->stop();
            });
            kit::settle(object, call.arg(1), true);
        }
        if (former && former != object)
            kit::settle(former);
        return call.ret();
    }
    case kit::at(2, 0): {
        QObject::disconnect(timer.watch);
        timer.stop();
        const QPointer<QObject> former = timer.object;
        timer.object = nullptr;
        if (former)
            kit::settle(former);
        return call.ret();
    }
    case kit::at(3, 0):
        return call.ret(timer.timerId());
    }
    if (call.index == 4)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QBasicTimer_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc == 0)
        return call.wrapValue(QBasicTimerHandle());
    return call.mismatch();
}

QScriptValue qtscript_create_QBasicTimer_class(QScriptEngine *engine)
{
    return kit::valueClass<QBasicTimerHandle, qtscript_QBasicTimer_tables,
                           qtscript_QBasicTimer_static_call, qtscript_QBasicTimer_prototype_call>(
        engine);
}
