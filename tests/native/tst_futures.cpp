// What scripts cannot do alone: hold futures a host hands in (with results, running, failed),
// outlive their engine with runnables still queued, and use system semaphores in a scratch folder.
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QException>
#include <QtCore/QFutureInterface>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <atomic>
#include <thread>

namespace {

std::atomic<bool> g_signalled{false};

QScriptValue signal(QScriptContext *, QScriptEngine *)
{
    g_signalled = true;
    return QScriptValue();
}

// Runs a script and fails the test with the script's error.
QScriptValue run(QScriptEngine &engine, const QString &script)
{
    const QScriptValue v = engine.evaluate(script);
    if (engine.hasUncaughtException())
        qWarning("%s", qPrintable(engine.uncaughtException().toString()));
    return v;
}

template <class T>
QScriptValue handIn(QScriptEngine &engine, const char *type, const QFuture<T> &future)
{
    const int id = QMetaType::type(type);
    return engine.newVariant(QVariant(id, &future));
}

} // namespace

class tst_Futures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    // Qt 5 names both watchers "QFutureWatcherBase*": each kind has a name and id of its own.
    void metaTypeNames()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const char *const names[] = {"QtScriptFuture", "QtScriptFuture*", "QtScriptVoidFuture",
                                     "QtScriptVoidFuture*", "QtScriptFutureIterator*",
                                     "QtScriptFutureWatcher*", "QtScriptVoidFutureWatcher*",
                                     "QtScriptFutureSynchronizer*", "QtScriptVoidFutureSynchronizer*"};
        QSet<int> ids;
        for (const char *name : names) {
            const int id = QMetaType::type(name);
            QVERIFY2(id != QMetaType::UnknownType, name);
            QCOMPARE(QByteArray(QMetaType::typeName(id)), QByteArray(name));
            ids.insert(id);
        }
        QCOMPARE(ids.size(), int(sizeof(names) / sizeof(names[0])));
    }

    void futureWithResults()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(QMetaType::type("QtScriptFuture") != QMetaType::UnknownType);
        QFutureInterface<QScriptValue> fi;
        fi.reportStarted();
        fi.reportResult(QScriptValue(1));
        fi.reportResult(QScriptValue(2));
        engine.globalObject().setProperty(QStringLiteral("f"), handIn(engine, "QtScriptFuture", fi.future()));
        QCOMPARE(run(engine, QStringLiteral("[f.isRunning(), f.isFinished(), f.resultCount(), "
                                            "f.isResultReadyAt(1), f.isResultReadyAt(2)].join()"))
                     .toString(),
                 QStringLiteral("true,false,2,true,false"));
        // Over a running future, results may still come at every position but the back.
        QCOMPARE(run(engine, QStringLiteral("var it = new QFutureIterator(f), a = [it.hasNext(), it.hasPrevious()];"
                                            "it.toBack(); a.push(it.hasNext(), it.hasPrevious()); a.join()"))
                     .toString(),
                 QStringLiteral("true,false,false,true"));
        QCOMPARE(run(engine, QStringLiteral("var g = new QFuture(f); g.pause(); "
                                            "[g.equals(f), f.isPaused()].join()")).toString(),
                 QStringLiteral("true,true"));
        QVERIFY(fi.isPaused());
        fi.setPaused(false);
        run(engine, QStringLiteral("var w = new QFutureWatcher(); w.setFuture(f);"));

        // A native thread finishes it once a script runnable ran: the runnable runs while the
        // script waits.
        engine.globalObject().setProperty(QStringLiteral("signal"), engine.newFunction(signal));
        g_signalled = false;
        std::thread finisher([&fi] {
            while (!g_signalled)
                QThread::msleep(1);
            fi.reportResult(QScriptValue(3));
            fi.reportFinished();
        });
        QCOMPARE(run(engine, QStringLiteral("var r = new QRunnable(); r.run = function() { signal(); };"
                                            "QThreadPool.globalInstance().start(r); f.waitForFinished();"
                                            "[f.isFinished(), f.resultCount(), it.hasNext()].join()"))
                     .toString(),
                 QStringLiteral("true,3,false"));
        finisher.join();
        run(engine, QStringLiteral("it.toFront()"));
        QCOMPARE(run(engine, QStringLiteral("it.hasNext()")).toBool(), true);
    }

    void voidFutureAndStoredException()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QFutureInterface<void> vi;
        vi.reportStarted();
        engine.globalObject().setProperty(QStringLiteral("v"), handIn(engine, "QtScriptVoidFuture", vi.future()));
        QCOMPARE(run(engine, QStringLiteral("v.cancel(); [v.isCanceled(), v.isRunning(), "
                                            "new QFuture(v).isRunning()].join()")).toString(),
                 QStringLiteral("true,true,false"));
        QVERIFY(vi.isCanceled());
        vi.reportFinished();

        QFutureInterface<QScriptValue> fi;
        fi.reportStarted();
        fi.reportException(QException());
        fi.reportFinished();
        engine.globalObject().setProperty(QStringLiteral("f"), handIn(engine, "QtScriptFuture", fi.future()));
        QCOMPARE(run(engine, QStringLiteral("try { f.waitForFinished(); 'no error' } catch (e) { e.name + ': ' + e.message }"))
                     .toString(),
                 QStringLiteral("Error: QFuture::waitForFinished(): the computation threw an exception"));
    }

    // Runnables queued on the global pool and an own pool, some blocked waiting for the engine's
    // thread, when the engine goes: their runs are dropped, the pools' threads are released.
    void engineEndsWithRunnablesPending()
    {
        for (int round = 0; round < 10; ++round) {
            {
                QScriptEngine engine;
                engine.importExtension(QStringLiteral("qt.core"));
                run(engine, QStringLiteral("var n = 0, p = new QThreadPool();"
                                           "for (var i = 0; i < 16; ++i) {"
                                           "  var r = new QRunnable(); r.run = function() { ++n; };"
                                           "  (i % 2 ? p : QThreadPool.globalInstance()).start(r);"
                                           "}"));
                QVERIFY(!engine.hasUncaughtException());
                QVERIFY2(engine.children().isEmpty(), "nothing of the plugin's under the engine");
            }
            QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
        }
        // Posted calls of engines that are gone find nothing to do.
        QCoreApplication::processEvents();
    }

    // Only a host can make the unsigned long of a timed wait.
    void timedWait()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("t"), engine.newVariant(QVariant::fromValue(ulong(10000))));
        QCOMPARE(run(engine, QStringLiteral(
                     "var m = new QMutex(), c = new QWaitCondition(), a = [];"
                     "m.lock(); a.push(c.wait(m, t), m.tryLock());"
                     "var r = new QRunnable(); r.run = function() { m.lock(); c.wakeAll(); m.unlock(); };"
                     "QThreadPool.globalInstance().start(r); a.push(c.wait(m, t), m.tryLock()); m.unlock();"
                     "a.join()")).toString(),
                 QStringLiteral("false,false,true,false"));
    }

    void systemSemaphores()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(scratch.path()));
        {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            const QString key = QStringLiteral("qtcore-test-%1").arg(QCoreApplication::applicationPid());
            engine.globalObject().setProperty(QStringLiteral("key"), key);
            // A count of 0 or less is QtCore's to refuse, as it does.
            for (int i = 0; i < 2; ++i)
                QTest::ignoreMessage(QtWarningMsg, "QSystemSemaphore::release: n is negative.");
            QCOMPARE(run(engine, QStringLiteral(
                "var s = new QSystemSemaphore(key, 1, QSystemSemaphore.Create), a = [s.key() == key];"
                "a.push(s.acquire(), s.error() === QSystemSemaphore.NoError, s.release(), s.release(2));"
                "a.push(s.release(0), s.release(-1), s.release(-40000));"
                "try { s.release(40000); } catch (e) { a.push(e.name + ': ' + e.message); }"
                // The most the system takes at once.
                "a.push(new QSystemSemaphore(key + '-c', 0, QSystemSemaphore.Create).release(32767));"
                // A number is no AccessMode: it opens the same semaphore.
                "var opened = new QSystemSemaphore(key, 0, 1); a.push(opened.acquire());"
                "s.setKey(key + '-b', 0, QSystemSemaphore.Create); a.push(s.key() == key + '-b');"
                "a.join()")).toString(),
                QStringLiteral("true,true,true,true,true,true,false,false,"
                               "RangeError: QSystemSemaphore::release(): count 40000 out of range,true,true,true"));
            QVERIFY(!QDir(scratch.path()).entryList(QDir::Files).isEmpty());
        }
        // Deleted with the engine: the key files are gone (and the semaphore sets with them).
        QCOMPARE(QDir(scratch.path()).entryList(QDir::Files), QStringList());
        qputenv("TMPDIR", oldTmp);
    }
};

QTEST_MAIN(tst_Futures)
#include "tst_futures.moc"
