#include "concurrent/jobs.h"

#include "concurrent/QtScriptShell_QRunnable.h"
#include "plugin/busy.h"
#include "plugin/engines.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QRunnable>
#include <QtCore/QSet>
#include <QtCore/QThreadPool>
#include <QtCore/QWaitCondition>
#include <QtScript/QScriptContextInfo>

#include <algorithm>
#include <deque>
#include <memory>

namespace jobs {

namespace {

// The runs of one pool on one thread, for every engine of the thread.
struct PoolRuns {
    int live = 0;       // proxies QtCore holds
    int onStack = 0;    // runs executing on the thread's stack (their proxies wait for them)
    bool ending = false;
};

struct Thread;

// One engine's part. Nothing here is a child of the engine, where scripts could reach it.
struct Engine {
    QScriptEngine *engine = nullptr;
    bool dead = false;                  // the engine is gone: its proxies return at once
    std::shared_ptr<Thread> thread;
};

struct Job {
    QtScriptShell_QRunnable *runnable;  // alive while it has runs to come
    std::shared_ptr<PoolRuns> pool;
    std::shared_ptr<Engine> engine;
    bool done = false;
};

// The runs queued on one thread, whatever engine of the thread started them: any wait there
// runs them.
struct Thread : std::enable_shared_from_this<Thread> {
    std::deque<std::shared_ptr<Job>> queue;
    int unposted = 0;                   // proxies that have not posted their job yet
    int engines = 0;                    // living engines that use this record
    bool halted = false;                // the thread ended with engines alive: nothing runs
    QWaitCondition changed;             // a job was posted or a proxy ended
    QObject *pump = nullptr;            // on the thread
    bool pumpPosted = false;
    QHash<QThreadPool *, std::shared_ptr<PoolRuns>> pools;
};

struct Registry {
    QMutex mutex;                       // guards everything in the structures above
    QWaitCondition jobDone;             // proxies wait on it
    QSet<Thread *> threads;             // while they have engines and run
    bool appEnding = false;             // the application's end began: runs to come are dropped
    bool hooked = false;                // appEnded is among the application's post routines
};

Registry &registry()
{
    // Never destroyed: pool threads may end after static destruction began.
    static Registry *const r = new Registry;
    return *r;
}

// With the lock held. Nothing of `thread` runs any more: its queue goes, its proxies return.
void halt(Thread &thread)
{
    thread.halted = true;
    thread.queue.clear();
    registry().threads.remove(&thread);
    registry().jobDone.wakeAll();
}

// This thread's record, while it has engines. A thread that ends with engines alive (a host that
// leaked them) can never run their jobs: the pool threads that wait for them are let go.
struct ThreadSlot {
    std::shared_ptr<Thread> thread;
    ~ThreadSlot();
};
thread_local ThreadSlot threadSlot;
thread_local bool threadEnded = false;

ThreadSlot::~ThreadSlot()
{
    threadEnded = true;
    if (thread) {
        QMutexLocker lock(&registry().mutex);
        halt(*thread);
    }
}

// At the application's end (QCoreApplication's destructor, before it waits for the global pool)
// no engine turns on the main thread, and any other may be ending: runs not begun are dropped.
void appEnded()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.appEnding = true;
    r.hooked = false;
    for (Thread *thread : qAsConst(r.threads))
        thread->queue.clear();
    r.jobDone.wakeAll();
}

// With the lock held: the proxies of `e` return at once.
bool stopped(const Engine &e)
{
    return e.dead || e.thread->halted || registry().appEnding;
}

void pump(const std::weak_ptr<Thread> &weak);

// With the lock held.
void schedulePump(Thread &t)
{
    if (t.pumpPosted || !t.pump)
        return;
    t.pumpPosted = true;
    std::weak_ptr<Thread> weak = t.weak_from_this();
    kit::postCall(t.pump, [weak] { pump(weak); });
}

void engineGone(const std::shared_ptr<Engine> &e)
{
    Registry &r = registry();
    Thread &t = *e->thread;
    QObject *pumpObject = nullptr;
    {
        QMutexLocker lock(&r.mutex);
        e->dead = true;
        const auto ofEngine = [&e](const std::shared_ptr<Job> &job) { return job->engine == e; };
        t.queue.erase(std::remove_if(t.queue.begin(), t.queue.end(), ofEngine), t.queue.end());
        if (--t.engines == 0) {
            pumpObject = t.pump;
            t.pump = nullptr;
            r.threads.remove(&t);
            if (!threadEnded && threadSlot.thread == e->thread)
                threadSlot.thread.reset();
        }
        r.jobDone.wakeAll();
        t.changed.wakeAll();
    }
    // Nobody posts to it now that the thread has no engine.
    delete pumpObject;
}

// The engine's part, with its thread's record; for an engine whose end has begun, a record that
// reads dead, kept nowhere.
std::shared_ptr<Engine> engineOf(QScriptEngine *engine)
{
    std::shared_ptr<Engine> e = kit::engineData<Engine>(engine, [engine] {
        auto made = std::make_shared<Engine>();
        made->engine = engine;
        std::shared_ptr<Thread> thread = threadEnded ? nullptr : threadSlot.thread;
        if (!thread) {
            thread = std::make_shared<Thread>();
            thread->pump = new QObject;
            if (!threadEnded)
                threadSlot.thread = thread;
        }
        made->thread = thread;
        Registry &r = registry();
        bool hook;
        {
            QMutexLocker lock(&r.mutex);
            r.threads.insert(thread.get());
            ++thread->engines;
            hook = !r.hooked;
            if (hook) {
                r.hooked = true;
                r.appEnding = false;
            }
        }
        // Outside the lock: QtCore guards its routines with a lock of its own.
        if (hook)
            qAddPostRoutine(appEnded);
        // Before the engine's heap goes.
        kit::atEngineEnd(engine, [made] { engineGone(made); });
        return made;
    });
    if (!e) {
        e = std::make_shared<Engine>();
        e->engine = engine;
        e->dead = true;
        e->thread = std::make_shared<Thread>();
    }
    return e;
}

class Proxy : public QRunnable
{
public:
    Proxy(std::shared_ptr<Engine> engine, std::shared_ptr<PoolRuns> pool,
          QtScriptShell_QRunnable *runnable)
        : m_engine(std::move(engine)), m_pool(std::move(pool)), m_runnable(runnable)
    {}

    ~Proxy() override
    {
        QMutexLocker lock(&registry().mutex);
        Thread &t = *m_engine->thread;
        if (!m_posted)
            --t.unposted;
        --m_pool->live;
        t.changed.wakeAll();
    }

    void run() override
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        Thread &t = *m_engine->thread;
        m_posted = true;
        --t.unposted;
        if (stopped(*m_engine))
            return;
        auto job = std::make_shared<Job>(Job{m_runnable, m_pool, m_engine});
        t.queue.push_back(job);
        t.changed.wakeAll();
        schedulePump(t);
        while (!job->done && !stopped(*m_engine) && !m_pool->ending)
            r.jobDone.wait(&r.mutex);
    }

    QtScriptShell_QRunnable *runnable() const { return m_runnable; }

private:
    const std::shared_ptr<Engine> m_engine;
    const std::shared_ptr<PoolRuns> m_pool;
    QtScriptShell_QRunnable *const m_runnable;
    bool m_posted = false;
};

// Jobs run from the event loop at the top level, or where a binding call waits in an event
// loop of its own (QEventLoop.exec): never in the middle of script code that the engine
// interrupts to process events.
bool mayRunNow(QScriptEngine *engine)
{
    if (!engine->isEvaluating())
        return true;
    QScriptContext *context = engine->currentContext();
    return context && context->callee().isFunction()
           && QScriptContextInfo(context).functionType() == QScriptContextInfo::NativeFunction;
}

// Which engines may run jobs now, for one pump turn or one wait. It asks each engine once: the
// state of every engine on this thread stays as it is while the runs nested here come and go.
class Gate
{
public:
    // `waiting` waits in a binding call: it may.
    explicit Gate(const Engine *waiting) : m_waiting(waiting) {}

    bool open(const std::shared_ptr<Engine> &e)
    {
        if (e.get() == m_waiting)
            return true;
        if (e != m_asked) {
            m_asked = e;
            m_open = mayRunNow(e->engine);
        }
        return m_open;
    }

private:
    const Engine *const m_waiting;
    std::shared_ptr<Engine> m_asked;
    bool m_open = false;
};

// With the lock held: takes the first queued job whose engine may run now. A job of an engine
// caught in script code stays queued.
std::shared_ptr<Job> takeJob(Thread &t, Gate &gate)
{
    for (auto it = t.queue.begin(); it != t.queue.end(); ++it) {
        if (!gate.open((*it)->engine))
            continue;
        std::shared_ptr<Job> job = std::move(*it);
        t.queue.erase(it);
        ++job->pool->onStack;
        return job;
    }
    return nullptr;
}

// On the thread, without the lock.
void runJob(Job &job)
{
    QScriptEngine *engine = job.engine->engine;
    // An exception an earlier top-level evaluation left would stop the first call.
    if (!engine->isEvaluating() && engine->hasUncaughtException())
        engine->clearExceptions();
    job.runnable->run();
    // A run's exception is dropped, as QtCore drops a native run's result; left pending, it
    // would surface as the exception of whatever script call is waiting.
    if (engine->hasUncaughtException())
        engine->clearExceptions();
    {
        QMutexLocker lock(&registry().mutex);
        --job.pool->onStack;
        job.done = true;
        registry().jobDone.wakeAll();
    }
    job.runnable->released(true);
}

void pump(const std::weak_ptr<Thread> &weak)
{
    const std::shared_ptr<Thread> t = weak.lock();
    if (!t)
        return;
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    t->pumpPosted = false;
    Gate gate(nullptr);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5) {
        const std::shared_ptr<Job> job = takeJob(*t, gate);
        if (!job)
            break;
        lock.unlock();
        runJob(*job);
        lock.relock();
    }
    if (!t->queue.empty())
        schedulePump(*t);
}

// Waits on the engine's thread, running the jobs of any engine of the thread. `stuck` is asked
// once no queued job can run now.
Outcome waitOn(const Engine &e, int timeoutMs, const std::function<bool()> &ready,
               const std::function<bool()> &stuck)
{
    // Native wakers are polled in slices; jobs and proxies wake the thread at once.
    const int slice = 10;
    QElapsedTimer timer;
    timer.start();
    Thread &t = *e.thread;
    Gate gate(&e);
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (;;) {
        if (ready())
            return Outcome::Ready;
        if (const std::shared_ptr<Job> job = takeJob(t, gate)) {
            lock.unlock();
            runJob(*job);
            lock.relock();
            continue;
        }
        if (stuck())
            return Outcome::Deadlock;
        int wait = slice;
        if (timeoutMs >= 0) {
            const qint64 left = timeoutMs - timer.elapsed();
            if (left <= 0)
                return Outcome::TimedOut;
            wait = int(qMin<qint64>(left, slice));
        }
        t.changed.wait(&r.mutex, ulong(wait));
    }
}

} // namespace

Outcome wait(QScriptEngine *engine, int timeoutMs, Wakers wakers, const std::function<bool()> &ready)
{
    const std::shared_ptr<Engine> e = engineOf(engine);
    // Every job still queued waits for script code lower on this stack.
    return waitOn(*e, timeoutMs, ready,
                  [&] { return wakers == Wakers::JobsOnly && e->thread->unposted == 0; });
}

QScriptValue take(const kit::Call &call, int timeoutMs, const std::function<bool()> &attempt,
                  const char *why, bool returnsResult)
{
    switch (wait(call.engine, timeoutMs, Wakers::JobsOnly, attempt)) {
    case Outcome::Ready:
        return returnsResult ? call.ret(true) : call.ret();
    case Outcome::TimedOut:
        return call.ret(false);
    case Outcome::Deadlock:
        break;
    }
    return timeoutMs < 0 ? throwDeadlock(call, why) : call.ret(false);
}

Outcome waitForPool(QScriptEngine *engine, QThreadPool *pool)
{
    const std::shared_ptr<Engine> e = engineOf(engine);
    const Thread &t = *e->thread;
    std::shared_ptr<PoolRuns> runs;
    {
        QMutexLocker lock(&registry().mutex);
        runs = t.pools.value(pool);
    }
    if (!runs)
        return Outcome::Ready;
    // Stuck when every run still to end executes lower on this stack, or waits queued for
    // script code there.
    const auto ofPool = [&runs](const std::shared_ptr<Job> &job) { return job->pool == runs; };
    return waitOn(*e, -1, [&] { return runs->live == 0; }, [&] {
        return runs->live == runs->onStack + std::count_if(t.queue.begin(), t.queue.end(), ofPool);
    });
}

QRunnable *startOf(const kit::Call &call, QThreadPool *pool, QtScriptShell_QRunnable *runnable)
{
    const std::shared_ptr<Engine> e = engineOf(call.engine);
    runnable->taken(call.arg(0));
    QMutexLocker lock(&registry().mutex);
    std::shared_ptr<PoolRuns> &runs = e->thread->pools[pool];
    if (!runs)
        runs = std::make_shared<PoolRuns>();
    ++runs->live;
    ++e->thread->unposted;
    return new Proxy(e, runs, runnable);
}

void refused(QRunnable *proxy)
{
    Proxy *p = static_cast<Proxy *>(proxy);
    QtScriptShell_QRunnable *runnable = p->runnable();
    delete p;
    runnable->released(false);
}

void poolEnding(QThreadPool *pool)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (Thread *t : qAsConst(r.threads)) {
        if (std::shared_ptr<PoolRuns> runs = t->pools.take(pool))
            runs->ending = true;
    }
    r.jobDone.wakeAll();
}

QScriptValue throwDeadlock(const kit::Call &call, const char *why)
{
    return call.context->throwError(QString::fromLatin1("%1::%2(): deadlock: %3")
                                        .arg(QLatin1String(call.tables.name),
                                             QLatin1String(call.name()), QLatin1String(why)));
}

} // namespace jobs
