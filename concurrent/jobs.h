// Script runnables on a pool, with an engine that is not thread-safe.
//
// QtCore's pool never gets a script's runnable: each start hands it a native proxy, which holds
// no script value. When a pool thread runs the proxy, the proxy posts a job to the engine's
// thread and waits for that job alone. The queue is the thread's, shared by all its engines: the
// thread runs jobs one at a time, each in its own engine, from one queued call that re-posts
// itself while jobs remain, and inside every binding call that blocks (a lock, a semaphore, a
// wait condition, a pool or a future being waited for) in any of its engines, so that a script
// which starts runnables and then waits for them, or for another engine's, finishes.
//
// A wait that only jobs can end, with no job queued that can run and none to come (every started
// runnable already runs lower on this same stack, or waits for script code there), is a
// deadlock: the binding throws instead of hanging. A job whose engine no longer turns (the
// application's end, the thread's end, the engine's) is dropped and its proxy returns.
#ifndef QTCORE_CONCURRENT_JOBS_H
#define QTCORE_CONCURRENT_JOBS_H

#include "plugin/kit.h"

#include <functional>

class QRunnable;
class QThreadPool;
class QtScriptShell_QRunnable;

namespace jobs {

enum class Outcome { Ready, TimedOut, Deadlock };

// Who can make a wait ready: only jobs (a script's own lock), or native threads as well (a
// future the host drives).
enum class Wakers { JobsOnly, AnyThread };

// Waits on the engine's thread until `ready` holds, running its jobs meanwhile; timeoutMs < 0
// waits without end. `ready` is called with the jobs' lock held: it must not block or call the engine.
Outcome wait(QScriptEngine *engine, int timeoutMs, Wakers wakers, const std::function<bool()> &ready);

// Takes something (a lock, resources) at once or by waiting (`attempt` as `ready` of wait); the
// result is whether it was taken, or undefined for a call that returns nothing. timeoutMs < 0: a
// deadlock throws an Error with `why`; otherwise it is false at once.
QScriptValue take(const kit::Call &call, int timeoutMs, const std::function<bool()> &attempt,
                  const char *why, bool returnsResult = true);

// Waits until every run the scripts of the engine's thread started on `pool` is over.
Outcome waitForPool(QScriptEngine *engine, QThreadPool *pool);

// The runnable a pool gets for one start of a script's runnable (the call's first argument);
// QtCore deletes it after its run.
QRunnable *startOf(const kit::Call &call, QThreadPool *pool, QtScriptShell_QRunnable *runnable);
// A start the pool refused (tryStart): undone and deleted.
void refused(QRunnable *proxy);

// A pool made by a script is going (collected, or deleted with its parent). Its runs no longer
// hold its threads: they stay queued and run on the engine's thread later, so that the pool's
// destructor never waits for the thread that is deleting it.
void poolEnding(QThreadPool *pool);

// "Class::method(): deadlock: why"
QScriptValue throwDeadlock(const kit::Call &call, const char *why);

} // namespace jobs

#endif
