// Engines that share a thread share its runs: a wait in one engine runs what any engine of the
// thread queued, a deadlock is declared only when nothing queued on the thread can run, and no
// pool thread waits for ever for an engine that no longer turns (the application's end, its
// thread gone).
#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include "watchdog.h"

namespace {

QString run(QScriptEngine &engine, const QString &script)
{
    const QScriptValue v = engine.evaluate(script);
    return engine.hasUncaughtException() ? QStringLiteral("uncaught: ") + v.toString() : v.toString();
}

// Two engines of the main thread, as a host makes them.
struct TwoEngines {
    QScriptEngine a, b;
    TwoEngines()
    {
        a.importExtension(QStringLiteral("qt.core"));
        b.importExtension(QStringLiteral("qt.core"));
    }
    // What A's script calls `name`, as B's `name`.
    void handToB(const char *name)
    {
        const QScriptValue v = a.globalObject().property(QLatin1String(name));
        b.globalObject().setProperty(QLatin1String(name),
                                     v.isQObject() ? b.newQObject(v.toQObject()) : b.newVariant(v.toVariant()));
    }
};

const char startInB[] = "var ran = 0;"
                        "function start(pool, n) {"
                        "  for (var i = 0; i < n; ++i) {"
                        "    var r = new QRunnable(); r.run = function() { ++ran; }; pool.start(r);"
                        "  }"
                        "}";

} // namespace

class tst_SharedThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    // B starts runs and returns; A waits for the pool: B's runs are the thread's, A's wait runs
    // them. On the global pool, and on a pool A made and handed to B.
    void waitForDoneRunsOtherEngines()
    {
        TwoEngines e;
        run(e.a, QStringLiteral("var pool = new QThreadPool();"));
        e.handToB("pool");
        run(e.b, QLatin1String(startInB));
        const Watchdog watchdog("waitForDone", std::chrono::seconds(20));
        for (const char *pool : {"QThreadPool.globalInstance()", "pool"}) {
            run(e.b, QStringLiteral("ran = 0; start(%1, 8);").arg(QLatin1String(pool)));
            QCOMPARE(run(e.a, QStringLiteral("%1.waitForDone(); 'done'").arg(QLatin1String(pool))),
                     QStringLiteral("done"));
            QCOMPARE(run(e.b, QStringLiteral("ran")), QStringLiteral("8"));
        }
    }

    // A waits on its semaphore, then on its wait condition; B's queued runs release and wake them.
    void locksReleasedByOtherEngine()
    {
        TwoEngines e;
        run(e.a, QStringLiteral("var s = new QSemaphore(0), m = new QMutex(), c = new QWaitCondition();"));
        for (const char *name : {"s", "m", "c"})
            e.handToB(name);
        const Watchdog watchdog("semaphore", std::chrono::seconds(20));
        run(e.b, QStringLiteral("var r = new QRunnable(); r.run = function() { s.release(2); };"
                                "QThreadPool.globalInstance().start(r);"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(run(e.a, QStringLiteral("[s.tryAcquire(1, 3000), (s.acquire(1), 'acquired'), "
                                         "s.available()].join()")),
                 QStringLiteral("true,acquired,0"));
        QVERIFY2(timer.elapsed() < 2500, "the timed acquire waited for its time");
        run(e.b, QStringLiteral("var w = new QRunnable();"
                                "w.run = function() { m.lock(); c.wakeOne(); m.unlock(); };"
                                "QThreadPool.globalInstance().start(w);"));
        QCOMPARE(run(e.a, QStringLiteral("m.lock(); var woken = c.wait(m); m.unlock(); woken")),
                 QStringLiteral("true"));
    }

    // The deadlock error comes once nothing queued on the thread, by any engine, is left: B's
    // runs run first (they cannot release), then A's acquire throws. One of B's runs waits for
    // its own pool inside A's wait: the pool's remaining run is itself, a deadlock of its own.
    void deadlockOnceNothingOfAnyEngineRuns()
    {
        TwoEngines e;
        run(e.b, QLatin1String(startInB));
        const Watchdog watchdog("deadlock", std::chrono::seconds(20));
        run(e.b, QStringLiteral("start(QThreadPool.globalInstance(), 4);"
                                "var error = '', p = new QThreadPool(), r = new QRunnable();"
                                "r.run = function() {"
                                "  try { p.waitForDone(); } catch (x) { error = x.message; }"
                                "};"
                                "p.start(r);"));
        QCOMPARE(run(e.a, QStringLiteral("var s = new QSemaphore(0); s.acquire(1)")),
                 QStringLiteral("uncaught: Error: QSemaphore::acquire(): deadlock: too few resources, "
                                "and nothing left to run on this thread can release them"));
        QCOMPARE(run(e.b, QStringLiteral("[ran, error].join()")),
                 QStringLiteral("4,QThreadPool::waitForDone(): deadlock: a run of this pool that has "
                                "to end first is a caller lower on this stack"));
    }

    // B's script code processes events in its loop; a timer there makes A wait. B's runs would
    // release A's semaphore and end the pool A waits for, but they must not cut into B's script
    // code: A's waits are deadlocks, and the runs come once B's script is done.
    void runOfEngineInScriptCodeWaits()
    {
        TwoEngines e;
        run(e.a, QStringLiteral("var s = new QSemaphore(0), pool = new QThreadPool();"));
        e.handToB("s");
        e.handToB("pool");
        e.b.setProcessEventsInterval(5);
        QString inA;
        QTimer::singleShot(50, [&] {
            inA = run(e.a, QStringLiteral("var out = [];"
                                          "try { s.acquire(1); out.push('acquired'); } catch (x) { out.push(x.message); }"
                                          "try { pool.waitForDone(); out.push('done'); } catch (x) { out.push(x.message); }"
                                          "out.join('|')"));
        });
        const Watchdog watchdog("script code", std::chrono::seconds(20));
        QCOMPARE(run(e.b, QStringLiteral(
                     "var seen = [], r = new QRunnable(), p = new QRunnable();"
                     "r.run = function() { s.release(1); }; p.run = function() { seen.push('pool'); };"
                     "QThreadPool.globalInstance().start(r); pool.start(p);"
                     "for (var t0 = new Date(); new Date() - t0 < 400;) {"
                     "  if (s.available() && seen.indexOf('released') < 0) seen.push('released');"
                     "}"
                     "seen.join()")),
                 QString());
        QCOMPARE(inA, QStringLiteral("QSemaphore::acquire(): deadlock: too few resources, and nothing "
                                     "left to run on this thread can release them|"
                                     "QThreadPool::waitForDone(): deadlock: a run of this pool that has "
                                     "to end first is a caller lower on this stack"));
        QCOMPARE(run(e.a, QStringLiteral("s.acquire(1); pool.waitForDone(); s.available()")),
                 QStringLiteral("0"));
        QCOMPARE(run(e.b, QStringLiteral("seen.join()")), QStringLiteral("pool"));
    }

    // An engine's end takes its runs out of the thread's queue: a wait of another engine never
    // runs them (nor reaches the engine gone), and the pool threads waiting for them return.
    // The other engine's runs go on, from the event loop too.
    void anEnginesEndTakesItsRuns()
    {
        QScriptEngine b;
        b.importExtension(QStringLiteral("qt.core"));
        run(b, QLatin1String(startInB));
        const Watchdog watchdog("an engine's end", std::chrono::seconds(20));
        QCOMPARE(run(b, QStringLiteral("var own = new QThreadPool(); start(own, 1); own.waitForDone(); ran")),
                 QStringLiteral("1"));
        {
            QScriptEngine a;
            a.importExtension(QStringLiteral("qt.core"));
            run(a, QStringLiteral("var r = new QRunnable(); r.run = function() {};"));
            QCoreApplication::processEvents();
            QCOMPARE(run(a, QStringLiteral("QThreadPool.globalInstance().start(r); 'started'")),
                     QStringLiteral("started"));
            // The pool thread has queued the run once it asks for the thread's turn.
            QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
            while (!dispatcher->hasPendingEvents())
                QThread::msleep(1);
        }
        QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
        QCOMPARE(run(b, QStringLiteral("start(own, 2); own.waitForDone(); ran")), QStringLiteral("3"));
        run(b, QStringLiteral("start(QThreadPool.globalInstance(), 3);"));
        QTRY_COMPARE(run(b, QStringLiteral("ran")), QStringLiteral("6"));
    }

    // A host that leaves its engines alive at exit, with runs queued for them: the process ends.
    void exitWithEnginesAlive_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("engines of the main thread") << QStringLiteral("main");
        QTest::newRow("engine of a thread that ended") << QStringLiteral("thread");
    }
    void exitWithEnginesAlive()
    {
        QFETCH(QString, mode);
        // Engines left alive are leaks, by design here.
        runHost(mode, false);
        QCOMPARE(m_hostOut, QByteArray("left\n"));
    }

    // An application's end drops the runs still to come; a second application's engine runs
    // its own.
    void runsUnderASecondApplication()
    {
        runHost(QStringLiteral("again"), true);
        QCOMPARE(m_hostOut, QByteArray("4\n4\n"));
    }

private:
    // Runs the host in `mode` to its end; what it printed goes to m_hostOut.
    void runHost(const QString &mode, bool detectLeaks)
    {
        QProcess host;
        if (!detectLeaks) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
            host.setProcessEnvironment(environment);
        }
        host.start(QStringLiteral(QTCORE_EXIT_HOST), {mode});
        QVERIFY(host.waitForStarted());
        const bool ended = host.waitForFinished(15000);
        if (!ended) {
            host.kill();
            host.waitForFinished();
        }
        m_hostOut = host.readAllStandardOutput() + host.readAllStandardError();
        QVERIFY2(ended, m_hostOut.constData());
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        QVERIFY2(host.exitCode() == 0, m_hostOut.constData());
    }

    QByteArray m_hostOut;
};

QTEST_GUILESS_MAIN(tst_SharedThread)
#include "tst_sharedthread.moc"
