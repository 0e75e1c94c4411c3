// Script objects as a hostile host hands them around: through wrappers of its own (each
// ownership) and other engines' (on the same thread and on a worker), with engines and threads
// that end under them, re-parented natively, moved hundreds of times a round. Nothing crashes,
// no sanitizer reports, nothing is kept once nothing reaches it, and what a script keeps works.
#include "hosting.h"

#include <unistd.h>

namespace {

// How a script reaches the handed objects: through wrappers the host makes in A, or through B's.
struct Through {
    const char *name;
    QScriptEngine::ValueOwnership ownership;
    QScriptEngine::QObjectWrapOptions options;
    bool inB;
};
const Through throughs[] = {
    {"the host's wrapper, Qt's, reused", QScriptEngine::QtOwnership,
     QScriptEngine::PreferExistingWrapperObject, false},
    {"the host's wrapper, Qt's", QScriptEngine::QtOwnership, {}, false},
    {"the host's wrapper, automatic", QScriptEngine::AutoOwnership, {}, false},
    {"the host's wrapper, the script's", QScriptEngine::ScriptOwnership,
     QScriptEngine::PreferExistingWrapperObject, false},
    {"another engine's wrapper", QScriptEngine::QtOwnership, {}, true},
};

// `text` runs where `through` says, with the handed objects in `w`; then `w` goes.
void via(Host &h, const Through &through, const char *text)
{
    QScriptEngine &e = through.inB ? h.b : h.a;
    h.wrap(e, "w", through.ownership, through.options);
    e.evaluate(QString::fromLatin1(text));
    QVERIFY2(!e.hasUncaughtException(), qPrintable(failure(e)));
    e.evaluate(QStringLiteral("w = null;"));
}

bool allGone()
{
    return std::none_of(handed.begin(), handed.end(), [](const QPointer<QObject> &o) { return o; });
}

int pipeRead = -1;

} // namespace

class tst_Lifelines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QVERIFY(liveobjects::start());
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        pipeRead = fds[0];
    }
    void cleanupTestCase() { liveobjects::stop(); }

    void shapes_data()
    {
        QTest::addColumn<Round>("round");
        for (const Through &t : throughs) {
            // QtCore gives a moved object its timers back by a call queued to it: a timer stopped
            // before would come back and fire at the object once it is gone.
            QTest::addRow("away and back, stopped through %s before the loop turns", t.name)
                << Round([&t](Host &h) {
                       h.inA("for (var i = 0; i < 4; ++i) {"
                             "  var t = new QTimer(); t.start(1);"
                             "  var l = new QTimeLine(100); l.updateInterval = 1; l.start();"
                             "  made.push(t, l);"
                             "}"
                             "hand(made);");
                       h.away();
                       h.back();
                       via(h, t, "w.forEach(function(x) { x.stop(); });");
                       h.inA("made = [];");
                       spin(10);
                   });
            QTest::addRow("holds that end through %s after a trip: they go", t.name)
                << Round([&t](Host &h) {
                       h.a.globalObject().setProperty(QStringLiteral("fd"), pipeRead);
                       h.inA("var n = new QSocketNotifier(fd, QSocketNotifier.Read), m = new QTimer();"
                             "var p = new QProcess(); p.start('sleep', ['0.1']); p.waitForStarted();"
                             "m.start(5); made.push(n, m, p); hand(made);"
                             "n = m = p = null;");
                       h.away();
                       h.back();
                       spin(5);
                       via(h, t, "w[0].setEnabled(false); w[1].stop(); w[2].waitForFinished(5000);");
                       h.inA("made = [];");
                       h.collect();
                       QVERIFY(allGone());
                   });
            QTest::addRow("a pool waited for through %s", t.name) << Round([&t](Host &h) {
                h.inA("var pool = new QThreadPool(), runs = 0; hand(pool);"
                      "for (var i = 0; i < 6; ++i) {"
                      "  var r = new QRunnable(); r.run = function() { ++runs; gc(); }; pool.start(r);"
                      "}"
                      "pool = r = null;");
                scrubStack();
                via(h, t, "w[0].waitForDone();");
                h.inA("if (runs != 6) throw new Error('runs: ' + runs);");
            });
        }
        // QtScript reads the sender of a report of a signal when it delivers it on the engine's
        // thread: no plugin deletion of the sender comes before that engine let go of it.
        QTest::newRow("a worker's engine connected to an object the collector takes") << Round([](Host &h) {
            h.engineOnWorker();
            h.inA("var o = new QObject(); hand(o);");
            h.worker.run([&h] { h.wrap(*h.far, "w"); });
            h.inFar("var heard = 0; w[0].objectNameChanged.connect(function() { ++heard; }); w = null;");
            const auto go = h.holdWorker();
            h.inA("for (var k = 0; k < 20; ++k) o.objectName = 'n' + k; o = null;");
            scrubStack();
            h.a.collectGarbage();
            spin(5);
            go->release();
        });
        QTest::newRow("a worker's engine connected to an object whose engine ends") << Round([](Host &h) {
            h.engineOnWorker();
            h.makeC();
            h.inC("var o = new QObject(); hand(o);");
            h.worker.run([&h] { h.wrap(*h.far, "w"); });
            h.inFar("var heard = 0; w[0].objectNameChanged.connect(function() { ++heard; }); w = null;");
            const auto go = h.holdWorker();
            h.inC("for (var k = 0; k < 20; ++k) o.objectName = 'n' + k;");
            h.endC();
            spin(5);
            go->release();
        });
        QTest::newRow("connected to a worker's object its collector takes") << Round([](Host &h) {
            h.engineOnWorker();
            h.inFar("var o = new QObject(); hand(o);");
            h.wrap(h.a, "w");
            h.inA("var heard = 0; w[0].objectNameChanged.connect(function() { ++heard; }); w = null;");
            // This thread waits meanwhile: the reports stay queued here.
            h.inFar("for (var k = 0; k < 20; ++k) o.objectName = 'n' + k; o = null;"
                    "(function() { for (var k = 0; k < 3; ++k) { var junk = [];"
                    "  for (var n = 0; n < 3000; ++n) junk.push({}); gc(); } })();");
            spin(5);
        });
        QTest::newRow("hundreds made, connected, moved and deleted") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 200; ++i) {"
                  "  var o = new QObject();"
                  "  if (i % 2) o.destroyed.connect(function() {});"
                  "  else o.objectNameChanged.connect(function() {});"
                  "  o.moveToThread(anchor.thread()); o.deleteLater();"
                  "}"
                  "o = null;");
            spin(5);
        });
        QTest::newRow("families and single shots the host moves, a hundred a turn") << Round([](Host &h) {
            for (int turn = 0; turn < 4; ++turn) {
                h.inA("for (var i = 0; i < 50; ++i) {"
                      "  var p = new QObject(), k = new QTimer(p);"
                      "  k.timeout.connect(function() {}); k.start(1);"
                      "  var s = new QTimer(); s.singleShot = true; s.timeout.connect(function() {});"
                      "  s.start(1); hand([p, s]);"
                      "}"
                      "p = k = s = null;");
                for (int i = 0; i < handed.size(); i += 2) {
                    if (handed.at(i))
                        handed.at(i)->moveToThread(&h.worker.thread);
                }
                QThread *home = QThread::currentThread();
                for (int i = 1; i < handed.size(); i += 2) {
                    if (!handed.at(i))
                        continue;
                    handed.at(i)->moveToThread(&h.worker.thread);
                    QPointer<QObject> s = handed.at(i);
                    h.worker.run([s, home] {
                        if (s)
                            s->moveToThread(home);
                    });
                }
                handed.clear();
                scrubStack();
                h.a.collectGarbage();
                spin(50);
            }
        });
        QTest::newRow("a child the host takes from a moved family") << Round([](Host &h) {
            h.inA("var ps = [], cs = [], runs = 0;"
                  "for (var i = 0; i < 4; ++i) {"
                  "  var p = new QObject(), c = new QObject(p);"
                  "  c.customEvent = function() { ++runs; };"
                  "  p.moveToThread(anchor.thread()); hand([p, c]);"
                  "  if (i % 2) ps.push(p); else cs.push(c);"
                  "}"
                  "p = c = null;");
            QObject *host = &h.worker.anchor;
            h.onWorker([host] {
                for (int i = 1; i < handed.size(); i += 2) {
                    handed.at(i)->setParent(nullptr);
                    handed.at(i)->setParent(host);
                }
            });
            // The script keeps either half: the other goes, but the host's children.
            const auto halves = [&h](bool keptParents) {
                h.collect();
                for (int i = 0; i < handed.size(); i += 2) {
                    if (!handed.at(i + 1) || bool(handed.at(i)) != (keptParents && (i / 2) % 2 == 1))
                        return false;
                }
                return true;
            };
            QTRY_VERIFY_WITH_TIMEOUT(halves(true), 5000);
            h.inA("ps = cs = [];");
            QTRY_VERIFY_WITH_TIMEOUT(halves(false), 5000);
            h.onWorker([] {
                for (int i = 1; i < handed.size(); i += 2)
                    delete handed.at(i).data();
            });
        });
        QTest::newRow("children the host gives to kept parents") << Round([](Host &h) {
            h.inA("var parents = [], children = [], runs = 0;"
                  "for (var i = 0; i < 20; ++i) {"
                  "  var p = new QObject(), c = new QObject(i % 2 ? new QObject() : null);"
                  "  c.customEvent = function() { ++runs; }; parents.push(p); children.push(c);"
                  "  hand([p, c]);"
                  "}"
                  "p = c = null;");
            for (int i = 0; i < handed.size(); i += 2)
                handed.at(i + 1)->setParent(handed.at(i));
            h.inA("children = [];");
            h.collect();
            for (int i = 1; i < handed.size(); i += 2) {
                QVERIFY(handed.at(i));
                QCoreApplication::postEvent(handed.at(i), new QEvent(QEvent::User));
            }
            spin(5);
            QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 20);
            h.inA("parents = [];");
            h.collect();
            QVERIFY(allGone());
        });
        QTest::newRow("children the host gives to parents their handlers name") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var p = new QObject(), q = new QObject(), c = new QObject(i % 2 ? q : null);"
                  "  c.objectNameChanged.connect(function() { p.objectName; q.objectName; });"
                  "  p.destroyed.connect(function() { c.objectName; });"
                  "  hand([p, c]);"
                  "}"
                  "p = q = c = null;");
            for (int i = 0; i < handed.size(); i += 2)
                handed.at(i + 1)->setParent(handed.at(i));
            h.collect();
            QVERIFY(allGone());
        });
        QTest::newRow("moved objects in an array their handlers reach") << Round([](Host &h) {
            h.inA("(function() {"
                  "  var all = [];"
                  "  for (var i = 0; i < 20; ++i) {"
                  "    var t = new QTimer(); t.timeout.connect(function() { all.length; });"
                  "    t.moveToThread(anchor.thread()); all.push(t);"
                  "  }"
                  "  hand(all);"
                  "})();");
            QTRY_VERIFY_WITH_TIMEOUT((h.collect(), allGone()), 10000);
        });
        QTest::newRow("a worker's engine and its thread end: objects of no thread go") << Round([](Host &h) {
            h.engineOnWorker();
            h.inFar("for (var i = 0; i < 5; ++i) {"
                    "  var o = new QObject(); o.moveToThread(null); hand(o);"
                    "  if (i % 2) made.push(o);"
                    "}");
            h.worker.run([&h] { h.far.reset(); });
            h.worker.thread.quit();
            h.worker.thread.wait();
            h.worker.thread.start();
            h.collect();
            QVERIFY(allGone());
        });
        QTest::newRow("a process's override kills and waits as QtCore removes its children")
            << Round([](Host &h) {
                   // (Refused: natively, QtCore deletes the notifier twice.)
                   h.inA("var p = new QProcess(), outs = 0, refused = 0;"
                         "p.childEvent = function(e) {"
                         "  if (e.type() == QEvent.ChildRemoved && outs++ < 3) {"
                         "    try { this.kill(); this.waitForFinished(1000); } catch (err) { ++refused; }"
                         "  }"
                         "};"
                         "p.start('sleep', ['10']); p.waitForStarted();"
                         "p.kill(); p.waitForFinished(1000); p.close(); p = null;"
                         "if (!refused) throw new Error('no notifier removed');");
               });
        QTest::newRow("an override moves its own object on from its ThreadChange") << Round([](Host &h) {
            // (QtCore cannot begin a move inside another: refused.)
            h.inA("var o = new QObject(), depth = 0, deleted = false, refused = '';"
                  "o.destroyed.connect(function() { deleted = true; });"
                  "o.event = function(e) {"
                  "  if (e.type() == QEvent.ThreadChange && depth++ == 0) {"
                  "    try { this.moveToThread(further.thread()); } catch (err) { refused = String(err); }"
                  "    QCoreApplication.processEvents();"
                  "    if (deleted) throw new Error('deleted under its override');"
                  "  }"
                  "  return false;"
                  "};"
                  "o.deleteLater(); o.moveToThread(anchor.thread()); o = null;"
                  "if (refused.indexOf('at work') < 0) throw new Error('moved again: ' + refused);");
            spin(10);
        });
        QTest::newRow("a filter on the application consumes everything and flushes deletions")
            << Round([](Host &h) {
                   h.inA("var f = new QObject(), runs = 0, seen = 0;"
                         "f.eventFilter = function(w, e) {"
                         "  ++seen; QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
                         "  return true;"
                         "};"
                         "var r = new QRunnable(); r.run = function() { ++runs; };"
                         "QThreadPool.globalInstance().start(r);"
                         "QCoreApplication.instance().installEventFilter(f);"
                         "var o = new QObject(); o.deleteLater(); o = null;");
                   // The loop goes on to wait for more: it returns at once from each call.
                   QElapsedTimer clock;
                   clock.start();
                   for (int i = 0; i < 50; ++i)
                       QCoreApplication::processEvents();
                   QVERIFY(clock.elapsed() < 2000);
                   h.inA("QCoreApplication.instance().removeEventFilter(f); f = null;");
                   QTRY_COMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 1);
               });
        // (No timer runs: QtCore would lose the list of them it queues to each as it moves.)
        QTest::newRow("away and back, dropped after every posted event was removed") << Round([](Host &h) {
            h.makeC();
            h.inC("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.timeout.connect(function() {}); made.push(t);"
                  "}"
                  "hand(made);");
            h.away();
            h.back();
            h.inC("QCoreApplication.removePostedEvents(null); made = []; t = null;");
            h.endC();
            spin(5);
            QVERIFY(allGone());
        });
    }

    void shapes()
    {
        QFETCH(Round, round);
        runRounds(round);
    }
};

QTEST_GUILESS_MAIN(tst_Lifelines)
#include "tst_lifelines.moc"
