// Script objects moved to another thread: QtCore goes on with them there, as with native objects
// (a moved timer fires in its new thread), while no script code runs and no engine object is read
// off the engine's thread; one the collector takes is deleted on its own thread.
#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include "worker.h"

#include <atomic>

// Script collections with allocations between them (the collector finalises lazily), as a
// script's own text.
#define SWEEP                                                                              \
    "(function() {"                                                                    \
    "  for (var i = 0; i < 3; ++i) {"                                                  \
    "    var junk = []; for (var k = 0; k < 5000; ++k) junk.push({}); gc();"           \
    "  }"                                                                              \
    "})();"

namespace {

void spin(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Objects a script noted, watched without holding their script values.
QList<QPointer<QObject>> noted;
QScriptValue note(QScriptContext *context, QScriptEngine *)
{
    noted << context->argument(0).toQObject();
    return QScriptValue();
}

// Collections, each followed by a turn of the event loop (a collected moved object is deleted
// there by a deferred deletion).
void collect(QScriptEngine &engine)
{
    for (int i = 0; i < 3; ++i) {
        engine.collectGarbage();
        spin(20);
    }
}

int living(const QList<QPointer<QObject>> &objects)
{
    int n = 0;
    for (const QPointer<QObject> &o : objects)
        n += o ? 1 : 0;
    return n;
}

QString failure(QScriptEngine &engine)
{
    return engine.uncaughtException().toString() + QStringLiteral(" at line ")
           + QString::number(engine.uncaughtExceptionLineNumber());
}

// The thread a script override runs on, each time it runs.
std::atomic<int> offThread{0};
QThread *engineThread = nullptr;

QScriptValue where(QScriptContext *, QScriptEngine *)
{
    if (QThread::currentThread() != engineThread)
        ++offThread;
    return QScriptValue();
}

void prepare(QScriptEngine &engine, Worker &worker)
{
    engine.importExtension(QStringLiteral("qt.core"));
    engine.globalObject().setProperty(QStringLiteral("anchor"), engine.newQObject(&worker.anchor));
    engine.globalObject().setProperty(QStringLiteral("where"), engine.newFunction(where));
}

// Runs `script` in a prepared engine whose `note` watches objects (in `noted`, emptied first).
void noting(QScriptEngine &engine, Worker &worker, const char *script)
{
    prepare(engine, worker);
    engine.globalObject().setProperty(QStringLiteral("note"), engine.newFunction(note));
    noted.clear();
    engine.evaluate(QString::fromLatin1(script));
    QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
}

} // namespace

class tst_Moved : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        engineThread = QThread::currentThread();
    }
    void init() { offThread = 0; }

    // A started timer, no override, no handler of its own thread: it fires there, and its
    // signal reaches the script's handler on the engine's thread.
    void movedTimerFiresThere()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var fired = 0, t = new QTimer();"
            "t.timeout.connect(function() { where(); ++fired; });"
            "t.start(0);"
            "t.moveToThread(anchor.thread());"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QObject *timer = engine.evaluate(QStringLiteral("t")).toQObject();
        QVERIFY(timer);
        QCOMPARE(timer->thread(), &worker.thread);
        QTRY_VERIFY(engine.evaluate(QStringLiteral("fired")).toInt32() >= 5);
        worker.run([timer] { static_cast<QTimer *>(timer)->stop(); });
        QCOMPARE(offThread.load(), 0);
    }

    // Overrides (event, timerEvent, childEvent) never run on the other thread: QtCore's own
    // implementation does, however many events arrive, while the engine's thread runs script.
    void overridesStayHome()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var runs = 0, o = new QObject(), kid = new QObject(o);"
            "o.event = function(e) { where(); ++runs; return false; };"
            "o.timerEvent = function(e) { where(); ++runs; };"
            "o.childEvent = function(e) { where(); ++runs; };"
            "kid.event = o.event; kid.timerEvent = o.timerEvent;"
            "o.startTimer(0); kid.startTimer(0);"
            "o.moveToThread(anchor.thread());"
            "var before = runs;"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QObject *o = engine.evaluate(QStringLiteral("o")).toQObject();
        QVERIFY(o);
        QCOMPARE(o->thread(), &worker.thread);
        for (int i = 0; i < 2000; ++i)
            QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        // The engine's thread runs script meanwhile.
        engine.evaluate(QStringLiteral(
            "var t = new Date().getTime(), n = 0;"
            "while (new Date().getTime() - t < 150) { var junk = [n++, {}, 'x' + n]; }"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        worker.run([o] { QCoreApplication::sendPostedEvents(o); o->killTimer(0); });
        QCOMPARE(offThread.load(), 0);
        QCOMPARE(engine.evaluate(QStringLiteral("runs === before")).toBool(), true);
        // Its children moved with it; deleting it there deletes them there.
        QPointer<QObject> guard(o);
        worker.run([o] { delete o; });
        QVERIFY(!guard);
    }

    // Moved objects the collector takes are deleted on their own thread, never on the engine's.
    void collectedThere()
    {
        Worker worker;
        QList<QPointer<QObject>> moved;
        std::atomic<int> deletedHere{0}, deletedThere{0};
        {
            QScriptEngine engine;
            prepare(engine, worker);
            QScriptValue list = engine.evaluate(QStringLiteral(
                "(function() {"
                "  var made = [];"
                "  for (var i = 0; i < 20; ++i) {"
                "    var t = i % 4 ? new QTimer() : new QTranslator();"
                "    t.timerEvent = function() { where(); throw new Error('not here'); };"
                "    t.startTimer(1);"
                "    t.moveToThread(anchor.thread());"
                "    made.push(t);"
                "  }"
                "  return made;"
                "})()"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
            for (int i = 0; i < 20; ++i) {
                QObject *t = list.property(quint32(i)).toQObject();
                QVERIFY(t);
                moved << t;
                QObject::connect(t, &QObject::destroyed, t, [&] {
                    (QThread::currentThread() == &worker.thread ? deletedThere : deletedHere)++;
                }, Qt::DirectConnection);
            }
            list = QScriptValue();
            collect(engine);
            QTRY_VERIFY(deletedThere.load() >= 15);   // the stack is scanned conservatively
        }
        // The engine's end hands the rest to their thread as well.
        QTRY_COMPARE(deletedThere.load(), 20);
        QCOMPARE(deletedHere.load(), 0);
        QCOMPARE(offThread.load(), 0);
    }

    // The host moves its own object, a parent of script objects, to another thread natively and
    // deletes it there while the engine's thread goes on: the script's side let go of the
    // children on the engine's thread, before the move.
    void hostMovesAParentAway()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        for (int round = 0; round < 3; ++round) {
            auto *host = new QObject;
            engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(host));
            engine.evaluate(QStringLiteral(
                "for (var i = 0; i < 200; ++i) {"
                "  var o = new QObject(host), t = new QTimer(o);"
                "  o.customEvent = function() { where(); };"
                "  t.timerEvent = function() { where(); };"
                "  t.start(1); QCoreApplication.postEvent(o, new QEvent(QEvent.User));"
                "}"
                "host = null;"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
            const QPointer<QObject> guard(host);
            host->moveToThread(&worker.thread);
            QMetaObject::invokeMethod(host, [host] { host->deleteLater(); }, Qt::QueuedConnection);
            // Bound calls make and drop script values natively meanwhile.
            engine.evaluate(QStringLiteral(
                "var t = new Date().getTime(), n = 0;"
                "while (new Date().getTime() - t < 200)"
                "  var junk = [n++, new QByteArray('x').size(), new QObject().children()];"
                "gc();"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
            QTRY_VERIFY(!guard);
        }
        engine.collectGarbage();
        QCOMPARE(offThread.load(), 0);
    }

    // A script deletes its objects that live on the worker, and moves objects it asked to delete:
    // the worker deletes them while the engine's thread goes on, which reads nothing of them.
    void deletedThereWhileTheScriptGoesOn()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        std::atomic<int> gone{0};
        for (int round = 0; round < 200; ++round) {
            const QScriptValue made = engine.evaluate(QStringLiteral(
                "var moved = new QObject(), asked = new QObject();"
                "moved.moveToThread(anchor.thread()); [moved, asked]"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
            for (quint32 i = 0; i < 2; ++i) {
                QObject *o = made.property(i).toQObject();
                QVERIFY(o);
                QObject::connect(o, &QObject::destroyed, o, [&] { ++gone; }, Qt::DirectConnection);
            }
            // The worker may delete both at once; the script's next calls must not read them.
            engine.evaluate(QStringLiteral(
                "asked.deleteLater(); asked.moveToThread(anchor.thread()); moved.deleteLater();"
                "moved = asked = null; new QObject().children();"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        }
        QTRY_COMPARE(gone.load(), 400);
        engine.collectGarbage();
        QCOMPARE(offThread.load(), 0);
    }

    // The host moves a script's object to its worker and back: at home again, its overrides run
    // again, and a script's timer holds it as before.
    void overridesRunAgainBackHome()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var seen = [], o = new QObject();"
            "o.customEvent = function() { seen.push('custom'); };"
            "o.childEvent = function(e) { if (e.type() == QEvent.ChildAdded) seen.push('child'); };"
            "o.timerEvent = function(e) { seen.push('timer'); this.killTimer(e.timerId()); };"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        const QPointer<QObject> o = engine.evaluate(QStringLiteral("o")).toQObject();
        QVERIFY(o);
        o->moveToThread(&worker.thread);
        worker.run([o] { o->moveToThread(QCoreApplication::instance()->thread()); });
        QCOMPARE(o->thread(), QThread::currentThread());
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        spin(10);
        engine.evaluate(QStringLiteral(
            "new QObject(o); o.startTimer(0); o.objectNameChanged.connect(function() {}); o = null;"
            "var loop = new QEventLoop(), t = new QTimer(); t.singleShot = true;"
            "t.timeout.connect(function() { loop.exit(0); }); t.start(50); loop.exec();"
            SWEEP));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QCOMPARE(engine.evaluate(QStringLiteral("seen.join()")).toString(),
                 QStringLiteral("custom,child,timer"));
        // Owned as before it left once the script had it in hand: collected though connected.
        spin(10);
        QVERIFY(!o);
        // One the script keeps stays, its own script object.
        const QPointer<QObject> kept =
            engine.evaluate(QStringLiteral("var back = new QObject(); back")).toQObject();
        kept->moveToThread(&worker.thread);
        worker.run([kept] { kept->moveToThread(QCoreApplication::instance()->thread()); });
        engine.evaluate(QStringLiteral(
            "back.startTimer(60000); back.mark = 'kept';"
            SWEEP));
        spin(10);
        QVERIFY(kept);
        QCOMPARE(engine.evaluate(QStringLiteral("back.mark + back.objectName")).toString(), QStringLiteral("kept"));
        QCOMPARE(offThread.load(), 0);

        // A translator back home goes as one that left does: its deletion waits for a turn of
        // the event loop (the collector could run inside a translation, which holds QtCore's
        // lock a translator's destructor takes). Its return is heard at a turn of the loop,
        // until which QtCore's news of it holds it: the collection of that turn takes it.
        const QPointer<QObject> tr =
            engine.evaluate(QStringLiteral("var tr = new QTranslator(); tr")).toQObject();
        QVERIFY(tr);
        tr->moveToThread(&worker.thread);
        worker.run([tr] { tr->moveToThread(QCoreApplication::instance()->thread()); });
        engine.evaluate(QStringLiteral(
            "QCoreApplication.installTranslator(tr); QCoreApplication.removeTranslator(tr); tr = null;"
            SWEEP));
        QVERIFY(tr);
        spin(10);
        QTRY_VERIFY(!tr);
        // One installed while it goes and comes back is still called by QtCore: kept from the
        // turn of the loop that hears of its return.
        const QPointer<QObject> installed = engine.evaluate(QStringLiteral(
            "var tr = new QTranslator();"
            "tr.translate = function() { return 'bonjour'; };"
            "QCoreApplication.installTranslator(tr); tr")).toQObject();
        QVERIFY(installed);
        installed->moveToThread(&worker.thread);
        worker.run([installed] { installed->moveToThread(QCoreApplication::instance()->thread()); });
        spin(20);
        engine.evaluate(QStringLiteral(
            "tr = null;"
            SWEEP));
        spin(10);
        QVERIFY(installed);
        QCOMPARE(engine.evaluate(QStringLiteral("QCoreApplication.translate('c', 'hello')")).toString(),
                 QStringLiteral("bonjour"));
        QCoreApplication::removeTranslator(static_cast<QTranslator *>(installed.data()));
        // So is one whose timer moved with it.
        const QPointer<QObject> ticking = engine.evaluate(QStringLiteral(
            "var ticks = 0, tk = new QObject(); tk.timerEvent = function() { ++ticks; };"
            "tk.startTimer(1); tk")).toQObject();
        ticking->moveToThread(&worker.thread);
        worker.run([ticking] { ticking->moveToThread(QCoreApplication::instance()->thread()); });
        spin(20);
        engine.evaluate(QStringLiteral(
            "tk = null;"
            SWEEP));
        spin(10);
        QVERIFY(ticking);
        const int ticked = engine.evaluate(QStringLiteral("ticks")).toInt32();
        spin(20);
        QVERIFY(engine.evaluate(QStringLiteral("ticks")).toInt32() > ticked);
        delete ticking.data();
        // One the host deletes once it is back, before the turn that would hold it.
        const QPointer<QObject> back = engine.evaluate(QStringLiteral(
            "var tr = new QTranslator(); QCoreApplication.installTranslator(tr); tr")).toQObject();
        back->moveToThread(&worker.thread);
        worker.run([back] { back->moveToThread(QCoreApplication::instance()->thread()); });
        QCoreApplication::sendPostedEvents(back, QEvent::MetaCall);
        delete back.data();
        spin(10);
        QCOMPARE(engine.evaluate(QStringLiteral("QCoreApplication.translate('c', 'hello')")).toString(),
                 QStringLiteral("hello"));
        // One the script drops once it is back, before the turn that would hold it: the
        // collection of that turn takes it (deleted then, however installed).
        const QPointer<QObject> dropped = engine.evaluate(QStringLiteral(
            "var tr = new QTranslator(); tr.translate = function() { return 'salut'; };"
            "QCoreApplication.installTranslator(tr); tr")).toQObject();
        dropped->moveToThread(&worker.thread);
        worker.run([dropped] { dropped->moveToThread(QCoreApplication::instance()->thread()); });
        engine.evaluate(QStringLiteral("tr = null;"));
        QTRY_VERIFY(!dropped);
        engine.evaluate(QStringLiteral(SWEEP));
        QCOMPARE(engine.evaluate(QStringLiteral("QCoreApplication.translate('c', 'hello')")).toString(),
                 QStringLiteral("hello"));
        // One moved on from the worker to another thread hears of it there, and is that thread's.
        Worker further;
        const QPointer<QObject> far = engine.evaluate(QStringLiteral(
            "var far = new QObject(); far.customEvent = function() { where(); }; far")).toQObject();
        far->moveToThread(&worker.thread);
        worker.run([&] { far->moveToThread(&further.thread); });
        further.run([&] { QCoreApplication::postEvent(far, new QEvent(QEvent::User)); });
        further.run([] {});
        QCOMPARE(far->thread(), &further.thread);
        QCOMPARE(offThread.load(), 0);
        further.run([&] { delete far.data(); });
    }

    // What QtCore cannot move safely with an object stays behind or goes along, never fires at it
    // from the old thread: a script's basic timer for it stops; a filter cannot keep QtCore from
    // moving its timers.
    void timersMoveSafely()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var basic = new QBasicTimer(), timed = new QObject(), t = new QTimer(), fired = 0;"
            "basic.start(1, timed);"
            "(function() { for (var i = 0; i < 10; ++i) new QBasicTimer().start(1, timed); })();"
            SWEEP
            "var f = new QObject();"
            "f.eventFilter = function(w, e) { return e.type() == QEvent.ThreadChange; };"
            "t.installEventFilter(f);"
            "t.timeout.connect(function() { ++fired; });"
            "t.start(1);"
            "timed.moveToThread(anchor.thread()); t.moveToThread(anchor.thread());"
            "var active = basic.isActive();"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QCOMPARE(engine.evaluate(QStringLiteral("active")).toBool(), false);
        QObject *timed = engine.evaluate(QStringLiteral("timed")).toQObject();
        QObject *timer = engine.evaluate(QStringLiteral("t")).toQObject();
        QVERIFY(timed && timer);
        QTRY_VERIFY(engine.evaluate(QStringLiteral("fired")).toInt32() >= 3);
        worker.run([timed] { delete timed; });
        // Deleted there while it runs and its reports may be on their way: the engine lets go of them first.
        const QPointer<QObject> deleted(timer);
        worker.run([timer] { timer->deleteLater(); });
        QTRY_VERIFY(!deleted);
        engine.evaluate(QStringLiteral("basic.stop(); basic = null; gc();"));
        spin(20);
        QCOMPARE(offThread.load(), 0);
    }

    // Moved objects with a connected signal go once no script reaches them (QtScript would keep
    // the script object of an object it does not own while it is connected): deleted on their
    // thread, their handlers no longer called, those a script keeps kept.
    void connectedObjectsGoThere()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var calls = 0, kept = [];"
            "(function() {"
            "  for (var i = 0; i < 41; ++i) {"
            "    var t = new QTimer(), kid = new QTimer(t);"
            "    t.timeout.connect(function() { ++calls; });"
            "    kid.timeout.connect(function() { ++calls; });"
            "    t.start(5); kid.start(5);"
            "    t.moveToThread(anchor.thread());"
            "    if (i % 10 == 0) kept.push(t);"
            "  }"
            "})();"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QList<QPointer<QObject>> kept;
        for (quint32 i = 0; i < 5; ++i)
            kept << engine.evaluate(QStringLiteral("kept[%1]").arg(i)).toQObject();
        // Their number reached twice the last count: a collection finds those no script reaches.
        QTRY_VERIFY(engine.evaluate(QStringLiteral("calls")).toInt32() > 100);
        collect(engine);
        QCOMPARE(living(kept), 5);
        // The script objects the collection left wrap their objects again.
        QCOMPARE(engine.evaluate(QStringLiteral("kept.map(function(t) { return t.interval; }).join()")).toString(),
                 QStringLiteral("5,5,5,5,5"));
        const int before = engine.evaluate(QStringLiteral("calls")).toInt32();
        spin(100);
        // Only the kept ones (10 timers, 20 reports each; perhaps one more family, of a stale copy
        // on the stack) still report, not the 72 others.
        const int after = engine.evaluate(QStringLiteral("calls")).toInt32();
        QVERIFY2(after - before < 600, qPrintable(QString::number(after - before)));
        // Deleted there while they run: the engine lets go of its records first, with the reports
        // still on their way (QtScript's connection reads its sender).
        for (const QPointer<QObject> &t : kept)
            worker.run([t] { t->deleteLater(); });
        QTRY_COMPARE(living(kept), 0);
        QCOMPARE(offThread.load(), 0);

        // A few, fewer than would start a collection soon: a while later. (Each made apart, the
        // host noting it: a stale copy on the stack keeps one, not all.)
        noted.clear();
        engine.globalObject().setProperty(QStringLiteral("note"), engine.newFunction(note));
        engine.evaluate(QStringLiteral(
            "for (var i = 0; i < 4; ++i) (function() {"
            "  var t = new QTimer();"
            "  t.timeout.connect(function() { ++calls; });"
            "  t.moveToThread(anchor.thread());"
            "  note(t);"
            "})();"));
        const QList<QPointer<QObject>> dropped = noted;
        QTRY_VERIFY_WITH_TIMEOUT(living(dropped) <= 1, 10000);

        // Again, after that: each probe leaves the next to come. A descendant the host gave an
        // owner there stays with it, its connections to the script's handlers cut once its
        // script object went (QtScript's record of them goes with it).
        noted.clear();
        engine.evaluate(QStringLiteral(
            "var kidCalls = 0;"
            "for (var i = 0; i < 4; ++i) (function() {"
            "  var t = new QTimer(), kid = new QTimer(t);"
            "  t.timeout.connect(function() { ++calls; });"
            "  kid.timeout.connect(function() { ++kidCalls; });"
            "  t.moveToThread(anchor.thread());"
            "  note(t); note(kid);"
            "})();"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QList<QPointer<QObject>> tops, kids;
        for (int i = 0; i < noted.size(); i += 2) {
            tops << noted.at(i);
            kids << noted.at(i + 1);
        }
        worker.run([&] {
            for (const QPointer<QObject> &kid : kids)
                kid->setParent(&worker.anchor);
        });
        QTRY_VERIFY_WITH_TIMEOUT(living(tops) <= 1, 10000);
        QCOMPARE(living(kids), 4);
        worker.run([&] {
            for (const QPointer<QObject> &kid : kids)
                static_cast<QTimer *>(kid.data())->start(1);
        });
        spin(50);
        worker.run([&] {
            for (const QPointer<QObject> &kid : kids)
                static_cast<QTimer *>(kid.data())->stop();
        });
        spin(20);
        // (One of a stale copy on the stack may still report.)
        QVERIFY2(engine.evaluate(QStringLiteral("kidCalls")).toInt32() <= 60,
                 qPrintable(engine.evaluate(QStringLiteral("kidCalls")).toString()));
        // Once none is left, the plugin leaves no timer behind on the engine.
        for (const QPointer<QObject> &t : dropped)
            worker.run([t] { delete t.data(); });
        QTRY_VERIFY_WITH_TIMEOUT(QAbstractEventDispatcher::instance()->registeredTimers(&engine).isEmpty(),
                                 10000);
    }

    // The host moves script objects natively (no script call): each lets go on the engine's
    // thread as it hears of the move, before the worker can deliver to it, even when a script's
    // filter would consume the news; collected, each is deleted there, never here.
    void hostMovesScriptObjects()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        QScriptValue made = engine.evaluate(QStringLiteral(
            "var f = new QObject();"
            "f.eventFilter = function(w, e) { return e.type() == QEvent.ThreadChange; };"
            "(function() {"
            "  var made = [];"
            "  for (var i = 0; i < 8; ++i) {"
            "    var o = new QObject();"
            "    o.event = function(e) { where(); return false; };"
            "    o.timerEvent = function(e) { where(); };"
            "    if (i % 2) o.installEventFilter(f);"
            "    o.startTimer(1);"
            "    made.push(o);"
            "  }"
            "  return made;"
            "})()"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        QList<QPointer<QObject>> moved;
        std::atomic<int> deletedHere{0}, deletedThere{0};
        for (quint32 i = 0; i < 8; ++i) {
            QObject *o = made.property(i).toQObject();
            QVERIFY(o);
            moved << o;
            QObject::connect(o, &QObject::destroyed, o, [&] {
                (QThread::currentThread() == &worker.thread ? deletedThere : deletedHere)++;
            }, Qt::DirectConnection);
            o->moveToThread(&worker.thread);
            QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        }
        made = QScriptValue();
        spin(20);
        engine.evaluate(QStringLiteral("f = null;"));
        collect(engine);
        QTRY_VERIFY(deletedThere.load() >= 6);   // the stack is scanned conservatively
        QCOMPARE(deletedHere.load(), 0);
        QCOMPARE(offThread.load(), 0);
        for (const QPointer<QObject> &o : moved)
            worker.run([o] { delete o.data(); });
    }

    // An object QtCore or the host made, which a script wrapped: the kit's guard against its
    // deletion while it is in use leaves with it (no filter of another thread on it there).
    void hostObjectsGoAndComeBack()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        QObject host;
        auto *lent = new QObject(&host);
        engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(&host));
        engine.evaluate(QStringLiteral("host.children()[0].objectName = 'lent';"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        int warnings = 0;
        static int *counted = nullptr;
        counted = &warnings;
        const QtMessageHandler former = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            if (text.contains(QLatin1String("event filter cannot be in a different thread")))
                ++*counted;
        });
        host.moveToThread(&worker.thread);
        worker.run([lent] {
            QEvent user(QEvent::User);
            QCoreApplication::sendEvent(lent, &user);
        });
        worker.run([&host] { host.moveToThread(QCoreApplication::instance()->thread()); });
        qInstallMessageHandler(former);
        QCOMPARE(warnings, 0);
    }

    // A buffer on a script's byte array goes on with a copy once moved: it never writes into
    // the script's memory from the other thread.
    // A deletion there waits for this thread to let go of its records; a script that takes every
    // event of this thread out of the queue takes the plugin's calls with it: they are posted again.
    void callsTakenOutOfTheQueue()
    {
        Worker worker;
        QScriptEngine engine;
        noting(engine, worker,
               "for (var i = 0; i < 10; ++i) {"
               "  var t = new QTimer(); t.start(0); t.moveToThread(anchor.thread());"
               "  t.timeout.connect(function() {}); t.deleteLater(); note(t);"
               "}");
        worker.run([] { QCoreApplication::sendPostedEvents(); });
        engine.evaluate(QStringLiteral("QCoreApplication.removePostedEvents(null);"));
        QTRY_COMPARE(living(noted), 0);
    }

    // A thousand connected objects moved to a worker, half deleted there, the rest dropped: all go
    // (and under ThreadSanitizer, every hand-over of the plugin's through QtCore's queues is told).
    void manyMovedDeletedThereOrDropped()
    {
        Worker worker;
        QScriptEngine engine;
        noting(engine, worker,
            "for (var i = 0; i < 1000; ++i) {"
            "  var o = i % 4 < 2 ? new QObject() : new QTimer(), k = new QTimer(o);"
            "  o.objectNameChanged.connect(function() {}); k.timeout.connect(function() {});"
            "  if (i % 4 == 3) { o.start(1); k.start(1); }"
            "  if (i % 8 == 1) o.deleteLater();"
            "  o.moveToThread(anchor.thread()); note(o);"
            "  if (i % 8 == 3 || i % 8 == 5 || i % 8 == 7) o.deleteLater();"
            "}"
            "o = k = null;");
        QTRY_VERIFY_WITH_TIMEOUT((collect(engine), living(noted) == 0), 20000);
    }

    void bufferTakesItsBytes()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine, worker);
        engine.evaluate(QStringLiteral(
            "var bytes = new QByteArray('abc'), b = new QBuffer(bytes);"
            "b.open(QIODevice.ReadWrite); b.seek(3);"
            "b.moveToThread(anchor.thread());"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(failure(engine)));
        auto *buffer = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("b")).toQObject());
        QVERIFY(buffer);
        worker.run([buffer] { buffer->write("def"); });
        QCOMPARE(engine.evaluate(QStringLiteral("bytes.size()")).toInt32(), 3);
        QByteArray data;
        worker.run([&] { data = buffer->data(); delete buffer; });
        QCOMPARE(data, QByteArray("abcdef"));
    }
};

QTEST_GUILESS_MAIN(tst_Moved)
#include "tst_moved.moc"
