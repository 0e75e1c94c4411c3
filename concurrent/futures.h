// What QFuture and QFutureVoid (and their watchers and synchronizers) share: the same methods
// over QFuture<QScriptValue> and QFuture<void>; the void classes lack the two about results.
#ifndef QTCORE_CONCURRENT_FUTURES_H
#define QTCORE_CONCURRENT_FUTURES_H

#include "concurrent/jobs.h"

#include <QtCore/QException>
#include <QtCore/QFuture>
#include <QtCore/QFutureWatcher>

namespace futures {

// The methods by their QFuture index; QFutureVoid's indices map onto them.
enum Method {
    Cancel, IsCanceled, IsFinished, IsPaused, IsResultReadyAt, IsRunning, IsStarted, Equals, Pause,
    ProgressMaximum, ProgressMinimum, ProgressText, ProgressValue, ResultCount, Resume, SetPaused,
    TogglePaused, WaitForFinished, ToString
};

template <class T>
QScriptValue waitForFinished(const kit::Call &call, QFuture<T> future)
{
    // Whoever finishes a host's future runs natively: the engine's jobs run meanwhile.
    jobs::wait(call.engine, -1, jobs::Wakers::AnyThread, [&future] { return !future.isRunning(); });
    try {
        future.waitForFinished();
    } catch (const QException &) {
        return call.context->throwError(
            QString::fromLatin1("%1::waitForFinished(): the computation threw an exception")
                .arg(QLatin1String(call.tables.name)));
    }
    return call.ret();
}

// One method call on a script's future (a copy: copies share the future's state).
template <class T>
QScriptValue call(kit::Call &call, QFuture<T> f, Method method)
{
    const int argc = method == IsResultReadyAt || method == Equals || method == SetPaused ? 1 : 0;
    if (method == ToString)
        return call.className();
    if (call.argc != argc)
        return call.mismatch();
    switch (method) {
    case Cancel:
        f.cancel();
        return call.ret();
    case IsCanceled:
        return call.ret(f.isCanceled());
    case IsFinished:
        return call.ret(f.isFinished());
    case IsPaused:
        return call.ret(f.isPaused());
    case IsRunning:
        return call.ret(f.isRunning());
    case IsStarted:
        return call.ret(f.isStarted());
    case Equals:
        return call.ret(f == call.get<QFuture<T>>(0));
    case Pause:
        f.setPaused(true);
        return call.ret();
    case ProgressMaximum:
        return call.ret(f.progressMaximum());
    case ProgressMinimum:
        return call.ret(f.progressMinimum());
    case ProgressText:
        return call.ret(f.progressText());
    case ProgressValue:
        return call.ret(f.progressValue());
    case Resume:
        f.setPaused(false);
        return call.ret();
    case SetPaused:
        f.setPaused(call.get<bool>(0));
        return call.ret();
    case TogglePaused:
        f.togglePaused();
        return call.ret();
    case WaitForFinished:
        return waitForFinished(call, f);
    case IsResultReadyAt:
    case ResultCount:
        if constexpr (!std::is_void<T>::value) {
            if (method == ResultCount)
                return call.ret(f.resultCount());
            return call.ret(f.isResultReadyAt(call.get<int>(0)));
        }
        break;
    case ToString:
        break;
    }
    return call.mismatch();
}

// Constructors: a default future (started, finished and canceled), or a copy of one of this
// very class (anything else gives a default one).
template <class T>
QScriptValue construct(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapValue(call.argc ? call.get<QFuture<T>>(0) : QFuture<T>());
    return call.mismatch();
}

// Watchers: setFuture and toString.
template <class T>
QScriptValue watcherCall(kit::Call &call, QFutureWatcher<T> *&watcher)
{
    if (call.at() == kit::at(0, 1)) {
        watcher->setFuture(call.get<QFuture<T>>(0));
        return call.ret();
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

template <class T>
QScriptValue constructWatcher(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapOwned(new QFutureWatcher<T>(call.get<QObject *>(0, nullptr)));
    return call.mismatch();
}

// Synchronizers: a constructor without arguments, no methods.
template <class Shell>
QScriptValue constructSynchronizer(kit::Call &call)
{
    if (call.index == 0 && call.argc == 0)
        return call.wrapShell<Shell>(new Shell);
    return call.mismatch();
}

template <class Shell>
QScriptValue noMethods(kit::Call &call, Shell *&)
{
    return call.mismatch();
}

} // namespace futures

#endif
