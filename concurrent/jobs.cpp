#include "concurrent/jobs.h"

#include "concurrent/QtScriptShell_QRunnable.h"
#include "plugin/engines.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QRunnable>
#include <QtCore/QSet>
#include <QtCore/QThreadPool>
#include <QtCore/QWaitCondition>
#include <QtScript/QScriptContextInfo>

#include <deque>
#include <memory>

namespace jobs {

namespace {

// The runs of one pool for one engine.
struct PoolRuns {
    int live = 0;       // proxies QtCore holds
    int onStack = 0;    // runs executing on the engine's stack (their proxies wait for them)
    bool ending = false;
};

struct Job {
    QtScriptShell_QRunnable *runnable;  // alive while it has runs to come
    std::shared_ptr<PoolRuns> pool;
    bool done = false;
};

// One engine's jobs. Nothing here is a child of the engine, where scripts could reach it.
struct Engine : std::enable_shared_from_this<Engine> {
    QScriptEngine *engine = nullptr;
    bool dead = false;                  // the engine is gone: proxies return at once
    std::deque<std::shared_ptr<Job>> queue;
    int unposted = 0;                   // proxies that have not posted their job yet
    QWaitCondition changed;             // a job was posted or a proxy ended
    QObject *pump = nullptr;            // on the engine's thread
    bool pumpPosted = false;
    QHash<QThreadPool *, std::shared_ptr<PoolRuns>> pools;
};

struct Registry {
    QMutex mutex;                       // guards everything in the structures above
    QWaitCondition jobDone;             // proxies wait on it
    QSet<Engine *> engines;             // until their engine's end
};

Registry &registry()
{
    // Never destroyed: pool threads may end after static destruction began.
    static Registry *const r = new Registry;
    return *r;
}

void pump(const std::weak_ptr<Engine> &weak);

// With the lock held.
void schedulePump(Engine &e)
{
    if (e.pumpPosted || !e.pump)
        return;
    e.pumpPosted = true;
    std::weak_ptr<Engine> weak = e.weak_from_this();
    QMetaObject::invokeMethod(e.pump, [weak] { pump(weak); }, Qt::QueuedConnection);
}

void engineGone(const std::shared_ptr<Engine> &e)
{
    Registry &r = registry();
    QObject *pumpObject;
    {
        QMutexLocker lock(&r.mutex);
        e->dead = true;
        e->queue.clear();
        pumpObject = e->pump;
        e->pump = nullptr;
        r.engines.remove(e.get());
        r.jobDone.wakeAll();
    }
    // Nobody posts to it now that the engine reads dead.
    delete pumpObject;
}

// The engine's jobs; for an engine whose end has begun, a record that reads dead, kept nowhere.
std::shared_ptr<Engine> engineOf(QScriptEngine *engine)
{
    std::shared_ptr<Engine> e = kit::engineData<Engine>(engine, [engine] {
        auto made = std::make_shared<Engine>();
        made->engine = engine;
        made->pump = new QObject;
        made->pump->moveToThread(engine->thread());
        // Before the engine's heap goes.
        kit::atEngineEnd(engine, [made] { engineGone(made); });
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        r.engines.insert(made.get());
        return made;
    });
    if (!e) {
        e = std::make_shared<Engine>();
        e->engine = engine;
        e->dead = true;
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
        if (!m_posted)
            --m_engine->unposted;
        --m_pool->live;
        m_engine->changed.wakeAll();
    }

    void run() override
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        m_posted = true;
        --m_engine->unposted;
        if (m_engine->dead)
            return;
        auto job = std::make_shared<Job>(Job{m_runnable, m_pool});
        m_engine->queue.push_back(job);
        m_engine->changed.wakeAll();
        schedulePump(*m_engine);
        while (!job->done && !m_engine->dead && !m_pool->ending)
            r.jobDone.wait(&r.mutex);
    }

    QtScriptShell_QRunnable *runnable() const { return m_runnable; }

private:
    const std::shared_ptr<Engine> m_engine;
    const std::shared_ptr<PoolRuns> m_pool;
    QtScriptShell_QRunnable *const m_runnable;
    bool m_posted = false;
};

// Runs the first queued job on the engine's thread; false when there is none.
bool runOne(const std::shared_ptr<Engine> &e)
{
    Registry &r = registry();
    std::shared_ptr<Job> job;
    {
        QMutexLocker lock(&r.mutex);
        if (e->dead || e->queue.empty())
            return false;
        job = std::move(e->queue.front());
        e->queue.pop_front();
        ++job->pool->onStack;
    }
    job->runnable->run();
    // A run's exception is dropped, as QtCore drops a native run's result; left pending, it
    // would surface as the exception of whatever script call is waiting.
    if (e->engine->hasUncaughtException())
        e->engine->clearExceptions();
    {
        QMutexLocker lock(&r.mutex);
        --job->pool->onStack;
        job->done = true;
        r.jobDone.wakeAll();
    }
    job->runnable->released(true);
    return true;
}

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

void pump(const std::weak_ptr<Engine> &weak)
{
    const std::shared_ptr<Engine> e = weak.lock();
    if (!e)
        return;
    {
        QMutexLocker lock(&registry().mutex);
        e->pumpPosted = false;
        if (e->dead)
            return;
    }
    QScriptEngine *engine = e->engine;
    if (mayRunNow(engine)) {
        // An exception an earlier top-level evaluation left would stop the first call.
        if (!engine->isEvaluating() && engine->hasUncaughtException())
            engine->clearExceptions();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5 && runOne(e)) {
        }
    }
    QMutexLocker lock(&registry().mutex);
    if (!e->dead && !e->queue.empty())
        schedulePump(*e);
}

Outcome waitOn(const std::shared_ptr<Engine> &e, int timeoutMs, const std::function<bool()> &ready,
               const std::function<bool()> &stuck)
{
    // Native wakers are polled in slices; jobs and proxies wake the engine's thread at once.
    const int slice = 10;
    QElapsedTimer timer;
    timer.start();
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (;;) {
        if (ready())
            return Outcome::Ready;
        if (!e->queue.empty()) {
            lock.unlock();
            runOne(e);
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
        e->changed.wait(&r.mutex, ulong(wait));
    }
}

} // namespace

Outcome wait(QScriptEngine *engine, int timeoutMs, Wakers wakers, const std::function<bool()> &ready)
{
    const std::shared_ptr<Engine> e = engineOf(engine);
    return waitOn(e, timeoutMs, ready, [&] { return wakers == Wakers::JobsOnly && e->unposted == 0; });
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
    std::shared_ptr<PoolRuns> runs;
    {
        QMutexLocker lock(&registry().mutex);
        runs = e->pools.value(pool);
    }
    if (!runs)
        return Outcome::Ready;
    // Stuck when every run still to end executes lower on this stack.
    return waitOn(e, -1, [&] { return runs->live == 0; },
                  [&] { return runs->live == runs->onStack; });
}

QRunnable *startOf(QScriptEngine *engine, QThreadPool *pool, QtScriptShell_QRunnable *runnable)
{
    const std::shared_ptr<Engine> e = engineOf(engine);
    runnable->taken();
    QMutexLocker lock(&registry().mutex);
    std::shared_ptr<PoolRuns> &runs = e->pools[pool];
    if (!runs)
        runs = std::make_shared<PoolRuns>();
    ++runs->live;
    ++e->unposted;
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
    for (Engine *e : qAsConst(r.engines)) {
        if (std::shared_ptr<PoolRuns> runs = e->pools.take(pool))
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
