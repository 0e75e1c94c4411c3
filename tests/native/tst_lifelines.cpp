// Script objects as a hostile host hands them around: through wrappers of its own (each
// ownership) and other engines', with engines and threads that end under them, re-parented
// natively, moved hundreds of times a round. Nothing crashes, no sanitizer reports, nothing is
// kept once nothing reaches it, and what a script keeps works.
#include "hosting.h"

#include <QtScript/QScriptClass>

#include <unistd.h>

namespace {

// How a script reaches the handed objects (`w`): through wrappers the host makes in A, or B's.
struct Through {
    const char *name;
    QScriptEngine::ValueOwnership ownership;
    QScriptEngine::QObjectWrapOptions options;
};
const Through throughs[] = {
    {"the host's, Qt's, reused", QScriptEngine::QtOwnership, QScriptEngine::PreferExistingWrapperObject},
    {"the host's, Qt's", QScriptEngine::QtOwnership, {}},
    {"the host's, automatic", QScriptEngine::AutoOwnership, {}},
    {"the host's, the script's", QScriptEngine::ScriptOwnership, QScriptEngine::PreferExistingWrapperObject},
    {"another engine's", QScriptEngine::QtOwnership, {}},
};

void via(Host &h, const Through &t, const char *text)
{
    QScriptEngine &e = &t == &throughs[4] ? h.b : h.a;
    h.wrap(e, "w", t.ownership, t.options);
    e.evaluate(QString::fromLatin1(text) + QStringLiteral("; w = null;"));
    QVERIFY2(!e.hasUncaughtException(), qPrintable(failure(e)));
}

// Reports to handlers of another thread's engine queued while the object's collector takes it.
const char Emit[] = "for (var k = 0; k < 20; ++k) o.objectName = 'n' + k; o = null;"
                    "(function() { for (var k = 0; k < 3; ++k) { var junk = [];"
                    "  for (var n = 0; n < 3000; ++n) junk.push({}); gc(); } })();";

// A script class of the host's whose property write deletes the object handed first, last thing
// (a tail call at -O2: the code QtScript called returns to QtScript through the deletion).
class Deleting : public QScriptClass
{
public:
    using QScriptClass::QScriptClass;
    QueryFlags queryProperty(const QScriptValue &, const QScriptString &, QueryFlags flags, uint *) override
    {
        return flags & HandlesWriteAccess;
    }
    __attribute__((optimize("O2"))) void setProperty(QScriptValue &, const QScriptString &, uint,
                                                     const QScriptValue &) override
    {
        delete victim;
    }
    QObject *victim = nullptr;
};

} // namespace

class tst_Lifelines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QVERIFY(liveobjects::start());
    }
    void cleanupTestCase() { liveobjects::stop(); }

    void shapes_data()
    {
        QTest::addColumn<Round>("round");
        static int fds[2];
        QVERIFY(::pipe(fds) == 0);
        for (const Through &t : throughs) {
            // After a trip, QtCore gives a timer back by a call queued to it: stopped before, it
            // would fire at the object once gone. Holds that end so let the objects go.
            QTest::addRow("away and back, stopped through %s wrapper before the loop turns", t.name)
                << Round([&t](Host &h) {
                       h.a.globalObject().setProperty(QStringLiteral("fd"), fds[0]);
                       h.inA("var t = new QTimer(), l = new QTimeLine(100), n = new QSocketNotifier(fd, QSocketNotifier.Read),"
                             "  p = new QProcess(); t.start(1); l.updateInterval = 1; l.start();"
                             "  p.start('sleep', ['0.1']); p.waitForStarted(); made.push(t, l, n, p); hand(made);");
                       h.away();
                       h.back();
                       via(h, t, "w[0].stop(); w[1].stop(); w[2].setEnabled(false); w[3].waitForFinished(5000)");
                       h.inA("made = []; t = l = n = p = null;");
                       h.collect();
                       QVERIFY(allGone());
                   });
            // An owning wrapper collected while the object's deletion waits (away, or in use):
            // QtScript must not read it again through the handlers connected through it.
            QTest::addRow("handlers connected through %s wrapper, collected as the object is away or in use", t.name)
                << Round([&t](Host &h) {
                       h.inA("made.push(new QObject(), new QObject()); hand(made);");
                       via(h, t, "w[0].objectNameChanged.connect(function() {}); w[0].moveToThread(anchor.thread());"
                                 "w[1].objectNameChanged.connect(function() { w = null; gc(); gc(); });"
                                 "w[1].objectName = 'x'; gc()");
                       // (What owns them goes, though their own script objects are kept.)
                       if (t.ownership == QScriptEngine::AutoOwnership)
                           QTRY_VERIFY_WITH_TIMEOUT((h.collect(), allGone()), 5000);
                       h.inA("made = [];");
                       QTRY_VERIFY_WITH_TIMEOUT((h.collect(), allGone()), 10000);
                   });
            // A hold that starts so is taken once a collection found the script object.
            QTest::addRow("a timer started through %s wrapper, then dropped by its script", t.name)
                << Round([&t](Host &h) {
                       h.inA("var ticks = 0, t = new QTimer(); t.timeout.connect(function() { ++ticks; }); hand(t);");
                       via(h, t, "w[0].start(1)");
                       h.inA("t = null;");
                       h.collect();
                       if (t.ownership == QScriptEngine::QtOwnership)
                           QTRY_VERIFY(h.a.evaluate(QStringLiteral("ticks")).toInt32() > 3 && handed.at(0));
                       if (handed.at(0))
                           via(h, t, "w[0].stop()");
                       h.collect();
                       QVERIFY(allGone());
                   });
            QTest::addRow("a pool waited for through %s wrapper", t.name) << Round([&t](Host &h) {
                h.inA("var pool = new QThreadPool(), runs = 0; hand(pool);"
                      "for (var i = 0; i < 6; ++i) {"
                      "  var r = new QRunnable(); r.run = function() { ++runs; gc(); }; pool.start(r);"
                      "} r = null;");
                // One more started through the wrapper, which nothing else keeps: held till it ran.
                via(h, t, "var extra = 0; w[0].start((function() { var r = new QRunnable();"
                          "  r.run = function() { ++extra; }; return r; })()); gc()");
                h.inA("pool = null;");
                scrubStack();
                via(h, t, "w[0].waitForDone(); if (extra != 1) throw new Error('extra: ' + extra)");
                h.inA("if (runs != 6) throw new Error('runs: ' + runs);");
            });
            // An owning wrapper's collection deletes it: what it ends natively (its notifiers)
            // reaches the filter inside the collection, where no script may run.
            QTest::addRow("a running process, dropped through %s wrapper, as a script filters the application", t.name)
                << Round([&t](Host &h) {
                       h.inA("var heard = 0, f = new QObject();"
                             "f.eventFilter = function(o, e) { heard += o instanceof QProcess && e.type() == QEvent.ChildRemoved; return false; };"
                             "QCoreApplication.instance().installEventFilter(f);"
                             "var p = new QProcess(); p.start('sleep', ['10']); p.waitForStarted(); hand(p); p = null;");
                       via(h, t, "w[0].objectName = 'p'");
                       h.inA("heard = 0;");
                       h.collect();
                       if (t.ownership != QScriptEngine::QtOwnership)
                           h.inA("if (heard) throw new Error('heard in the collection: ' + heard);");
                       if (handed.at(0))
                           via(h, t, "w[0].kill(); w[0].waitForFinished(5000)");
                       h.inA("QCoreApplication.instance().removeEventFilter(f); f = null;");
                       h.collect();
                       QVERIFY(allGone());
                   });
        }
        // QtScript deletes a child through the host's owning wrapper, collected while it is in use.
        QTest::newRow("a child in use, its host's owning wrapper collected") << Round([](Host &h) {
            h.inA("var p = new QObject(), c = new QObject(p); hand(c); c.customEvent = function() { w = null; gc(); gc(); };"
                  "QCoreApplication.postEvent(c, new QEvent(QEvent.User)); c = null;");
            h.wrap(h.a, "w", QScriptEngine::ScriptOwnership, {});
            scrubStack();
            QTRY_VERIFY(allGone());
        });
        QTest::newRow("engines of two threads on each other's objects") << Round([](Host &h) {
            h.engineOnWorker();
            h.makeC();
            h.inA("var o = new QObject(); hand(o);");
            h.inC("var o = new QObject(); hand(o);");
            h.inFar("var o = new QObject(); hand(o);");
            h.worker.run([&h] { h.wrap(*h.far, "w"); });
            h.inFar("w[0].objectNameChanged.connect(function() {}); w[1].objectNameChanged.connect(function() {});");
            h.wrap(h.a, "w");
            h.inA("w[2].objectNameChanged.connect(function() {});");
            const auto go = h.holdWorker();
            h.inA(Emit);
            h.inC("for (var k = 0; k < 20; ++k) o.objectName = 'n' + k;");
            h.endC();
            spin(5);
            go->release();
            // This thread waits meanwhile: the reports stay queued here.
            h.inFar(Emit);
            spin(5);
        });
        QTest::newRow("hundreds a round made, connected, moved, deleted, or moved there and back")
            << Round([](Host &h) {
                   h.inA("for (var i = 0; i < 200; ++i) {"
                         "  var o = new QObject(); o[i % 2 ? 'destroyed' : 'objectNameChanged'].connect(function() {});"
                         "  o.moveToThread(anchor.thread()); o.deleteLater();"
                         "}"
                         "for (var i = 0; i < 50; ++i) {"
                         "  var p = new QObject(), k = new QTimer(p), s = new QTimer(); s.singleShot = true;"
                         "  k.timeout.connect(function() {}); s.timeout.connect(function() {});"
                         "  k.start(1); s.start(1); hand([p, s]);"
                         "} o = p = k = s = null;");
                   QThread *home = QThread::currentThread();
                   for (int i = 0; i < handed.size(); ++i) {
                       handed.at(i)->moveToThread(&h.worker.thread);
                       if (i % 2)
                           h.worker.run([s = handed.at(i), home] { s->moveToThread(home); });
                   }
                   handed.clear();
                   scrubStack();
                   h.a.collectGarbage();
                   spin(50);
               });
        QTest::newRow("a child the host takes from a moved family") << Round([](Host &h) {
            h.inA("var ps = [], cs = [];"
                  "for (var i = 0; i < 4; ++i) {"
                  "  var p = new QObject(), c = new QObject(p);"
                  "  p.moveToThread(anchor.thread()); hand([p, c]); (i % 2 ? ps : cs).push(i % 2 ? p : c);"
                  "} p = c = null;");
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
        // QtScript deletes them (the wrappers own them) as their own thread deletes them.
        QTest::newRow("moved objects the host's owning wrappers hold, deleted there as those are collected")
            << Round([](Host &h) {
                   h.inA("for (var i = 0; i < 200; ++i) made.push(new QObject()); hand(made);");
                   h.wrap(h.a, "w", QScriptEngine::AutoOwnership, {});
                   h.away();
                   h.inA("w.forEach(function(x) { x.deleteLater(); }); w = null; made = [];");
                   h.collect();
                   QVERIFY(allGone());
               });
        // Probes of moved objects keep a family's links, also once it is home again; a child the
        // host takes out and brings home leaves it.
        QTest::newRow("moved families the script keeps through their children") << Round([](Host &h) {
            h.inA("var kids = [];"
                  "for (var i = 0; i < 4; ++i) {"
                  "  var p = new QObject(), c = new QObject(p); p.moveToThread(anchor.thread()); hand([p, c]); kids.push(c);"
                  "} p = c = null;");
            QThread *home = QThread::currentThread();
            h.onWorker([home] {
                for (int i = 5; i < handed.size(); i += 2) {
                    handed.at(i)->setParent(nullptr);
                    handed.at(i)->moveToThread(home);
                }
            });
            const auto kept = [] {
                for (int i = 0; i < handed.size(); ++i) {
                    if (bool(handed.at(i)) != (i < 4 || i % 2 == 1))
                        return false;
                }
                return true;
            };
            h.collect();
            spin(1200);
            QTRY_VERIFY_WITH_TIMEOUT((h.collect(), kept()), 5000);
            h.back();
            h.collect();
            QVERIFY(kept());
            h.inA("kids = [];");
            h.collect();
            QVERIFY(allGone());
        });
        QTest::newRow("children the host gives to kept parents, or to parents their handlers name")
            << Round([](Host &h) {
                   h.inA("var parents = [], children = [], runs = 0;"
                         "for (var i = 0; i < 40; ++i) {"
                         "  var p = new QObject(), q = new QObject(), c = new QObject(i % 4 > 1 ? q : null);"
                         "  c.customEvent = function() { ++runs; }; hand([p, c]);"
                         "  if (i < 20) { parents.push(p); children.push(c); } else {"
                         "    c.objectNameChanged.connect(function() { p.objectName; q.objectName; });"
                         "    p.destroyed.connect(function() { c.objectName; });"
                         "  }"
                         "} p = q = c = null;");
                   for (int i = 0; i < handed.size(); i += 2)
                       handed.at(i + 1)->setParent(handed.at(i));
                   h.inA("children = [];");
                   h.collect();
                   for (int i = 1; i < 40; i += 2)
                       QCoreApplication::postEvent(handed.at(i), new QEvent(QEvent::User));
                   spin(5);
                   QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 20);
                   h.inA("parents = [];");
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
            h.inFar("for (var i = 0; i < 5; ++i) { var o = new QObject(); o.moveToThread(null); hand(o); made.push(o); }"
                    "var p = new QProcess(); p.start('true'); p.waitForFinished(5000);");
            h.worker.run([&h] { h.far.reset(); });
            h.worker.thread.quit();
            h.worker.thread.wait();
            h.worker.thread.start();
            h.collect();
            QVERIFY(allGone());
        });
        // Deleted as the thread finishes, or by the deletions QtCore runs then.
        QTest::newRow("a worker's engine deleted as its thread finishes: objects of no thread go") << Round([](Host &h) {
            for (const bool later : {false, true}) {
                h.engineOnWorker();
                h.inFar("for (var i = 0; i < 20; ++i) { var o = new QObject(); o.moveToThread(null); hand(o); }");
                QScriptEngine *far = h.far.release();
                QObject::connect(&h.worker.thread, &QThread::finished, far, [far, later] {
                    later ? far->deleteLater() : delete far;
                }, Qt::DirectConnection);
                h.worker.thread.quit();
                h.worker.thread.wait();
                h.worker.thread.start();
                h.collect();
                QVERIFY(allGone());
            }
        });
        // QtCore cannot handle these natively: refused.
        QTest::newRow("a process's override ends it as QtCore removes its notifiers; a move in a move")
            << Round([](Host &h) {
                   h.inA("var p = new QProcess(), ended = 0, moved = 0;"
                         "p.childEvent = function(e) {"
                         "  try { if (e.removed() && !ended) this.waitForFinished(1000); } catch (err) { ++ended; }"
                         "};"
                         "p.start('sleep', ['10']); p.waitForStarted(); p.kill(); p.waitForFinished(1000); p = null;"
                         "var o = new QObject(), deleted = false; o.destroyed.connect(function() { deleted = true; });"
                         "o.event = function(e) {"
                         "  if (e.type() == QEvent.ThreadChange && !this.tried) {"
                         "    this.tried = true;"
                         "    try { this.moveToThread(further.thread()); } catch (err) { ++moved; }"
                         "    QCoreApplication.processEvents();"
                         "    if (deleted) throw new Error('deleted under its override');"
                         "  }"
                         "  return false;"
                         "};"
                         "o.deleteLater(); o.moveToThread(anchor.thread()); o = null;"
                         "if (ended != 1 || moved != 1) throw new Error('refused ' + ended + moved);");
               });
        // The same from a script's filters, which QtCore consults before the object's own event().
        const struct {
            const char *on, *install;
        } filterings[] = {{"the object's own", "[%1].forEach(function(w) { w.installEventFilter(f); });"},
                          {"the application's", "QCoreApplication.instance().installEventFilter(f);"}};
        for (const auto &filtering : filterings) {
            const char *const on = filtering.on;
            const QString install = QString::fromLatin1(filtering.install);
            // (Its override refuses too, after the filter.)
            QTest::addRow("a process's close and wait from %s filter as QtCore removes its notifiers", on)
                << Round([install](Host &h) {
                       h.inA(qPrintable(QStringLiteral(
                           "var p = new QProcess(), f = new QObject(), heard = 0, refused = [0, 0, 0];"
                           "function refuses(i, f) { try { f(); } catch (err) { refused[i] += /at work/.test(err); } }"
                           "f.eventFilter = function(w, e) {"
                           "  if (w == p && e.type() == QEvent.ChildRemoved) {"
                           "    ++heard; refuses(0, function() { w.close(); }); refuses(1, function() { w.waitForFinished(1000); });"
                           "  }"
                           "  return false;"
                           "};"
                           "p.childEvent = function(e) { if (e.removed()) refuses(2, function() { p.close(); }); };"
                           "%1 p.start('sleep', ['10']); p.waitForStarted(); p.kill(); p.waitForFinished(1000);"
                           "QCoreApplication.instance().removeEventFilter(f); p = f = null;"
                           "if (!heard || String(refused) != [heard, heard, heard].join())"
                           "  throw new Error('refused ' + refused + ' of ' + heard);").arg(install.arg(QStringLiteral("p")))));
                   });
            // Its parent's move, refused from the child's ThreadChange too.
            QTest::addRow("a move from %s filter inside a ThreadChange", on) << Round([install](Host &h) {
                h.inA(qPrintable(QStringLiteral(
                    "var o = new QObject(), c = new QObject(o), f = new QObject(), deleted = false, seen = 0, refused = 0;"
                    "o.destroyed.connect(function() { deleted = true; });"
                    "f.eventFilter = function(w, e) {"
                    "  if ((w == o || w == c) && e.type() == QEvent.ThreadChange) {"
                    "    ++seen;"
                    "    try { o.moveToThread(further.thread()); } catch (err) { refused += /at work/.test(err); }"
                    "    QCoreApplication.processEvents();"
                    "    if (deleted) throw new Error('deleted under its filter');"
                    "  }"
                    "  return false;"
                    "};"
                    "%1 o.deleteLater(); o.moveToThread(anchor.thread());"
                    "QCoreApplication.instance().removeEventFilter(f); o = c = f = null;"
                    "if (seen != 2 || refused != 2) throw new Error('refused ' + refused + ' of ' + seen);")
                                     .arg(install.arg(QStringLiteral("o, c")))));
                spin(10);
            });
        }
        QTest::newRow("a filter on the application consumes everything and flushes deletions")
            << Round([](Host &h) {
                   h.inA("var f = new QObject(), runs = 0;"
                         "f.eventFilter = function() { QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); return true; };"
                         "var r = new QRunnable(); r.run = function() { ++runs; }; QThreadPool.globalInstance().start(r);"
                         "QCoreApplication.instance().installEventFilter(f); (new QObject()).deleteLater();");
                   // The loop goes on: each call returns at once.
                   QElapsedTimer clock;
                   clock.start();
                   for (int i = 0; i < 50; ++i)
                       QCoreApplication::processEvents();
                   QVERIFY(clock.elapsed() < 2000);
                   h.inA("QCoreApplication.instance().removeEventFilter(f); f = null;");
                   QTRY_COMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 1);
               });
        // The calls queued to an engine (QtScript's drop of a record an object's destruction on
        // another thread queues, the plugin's) are no script filter's to consume.
        QTest::newRow("a filter on the application consumes everything as a worker deletes a recorded object")
            << Round([](Host &h) {
                   h.inA("var f = new QObject(); f.eventFilter = function() { return true; };"
                         "QCoreApplication.instance().installEventFilter(f);"
                         "var o = new QFile(folder + '/eaten'); o.moveToThread(anchor.thread());"
                         "try { o.bytesWritten.disconnect(function() {}); } catch (e) {}"
                         "hand(o); o.deleteLater();");
                   const auto turn = [] {
                       for (int i = 0; i < 20; ++i)
                           QCoreApplication::processEvents();
                   };
                   turn();
                   h.inA("try { o.readyRead.connect(function() {}); } catch (e) {}");
                   h.back();
                   h.inA("QCoreApplication.instance().removeEventFilter(f); f = o = null;");
                   turn();
                   h.a.collectGarbage();
               });
        // QtCore reads the child once its ChildAdded is over; a watcher given paths makes a child
        // of its own as it is made, given its parent then.
        QTest::newRow("a parent or child with its deletion posted, as a script's filter flushes")
            << Round([](Host &h) {
                   h.inA("var f = new QObject(), c = new QObject(), p = new QObject(); hand(c); c.deleteLater(); c = null;"
                         "f.eventFilter = function() { QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); return false; };"
                         "QCoreApplication.instance().installEventFilter(f);");
                   handed.at(0)->setParent(&h.keeper);
                   h.inA("p.deleteLater(); if (new QFileSystemWatcher(['.'], p).parent() !== p) throw new Error('made without its parent');"
                         "QCoreApplication.instance().removeEventFilter(f); f = p = null;");
                   // (Asked for again inside the ChildAdded: delivered at this level.)
                   QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                   QVERIFY(allGone());
               });
        // A parent's destruction cannot wait for the engine's thread: reports of the children's
        // signals are queued there as they go (C's end comes before it reads them).
        QTest::newRow("connected objects on a worker, deleted there by the host's parent") << Round([](Host &h) {
            const char make[] = "for (var i = 0; i < 20; ++i) { var o = new QObject(); o.objectNameChanged.connect(function() {});"
                                "  made.push(o); } hand(made); made = [];";
            h.makeC();
            h.inA(make);
            h.inC(make);
            h.away();
            h.onWorker([] {
                QObject parent;
                for (const QPointer<QObject> &o : handed) {
                    o->setParent(&parent);
                    for (int k = 0; k < 20; ++k)
                        o->setObjectName(QString::number(k));
                }
            });
            h.endC();
            spin(20);
            QVERIFY(allGone());
        });
        // The collector's deletion (or a child's deleteLater) waits for the worker's engine to let
        // go of its records; asked for again then, it is consumed, as any deletion a filter takes,
        // until the filter goes, or asked for where the host moved the object meanwhile.
        QTest::newRow("a deletion that waited for another thread's engine, consumed by a filter")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inA("var o = new QObject(), p = new QObject(), c = new QObject(p); hand([o, c]); var f = new QObject();"
                         "f.eventFilter = function(o, e) { return e.type() == QEvent.DeferredDelete; };");
                   h.worker.run([&h] { h.wrap(*h.far, "w"); });
                   h.inFar("w[0].objectNameChanged.connect(function() {}); w[1].objectNameChanged.connect(function() {});");
                   h.inA("c.deleteLater(); QCoreApplication.sendPostedEvents(c, QEvent.DeferredDelete);"
                         "QCoreApplication.instance().installEventFilter(f); o = c = null;");
                   h.collect();
                   QVERIFY(handed.at(0) && handed.at(1));
                   handed.at(0)->moveToThread(&h.worker.thread);
                   h.inA("QCoreApplication.instance().removeEventFilter(f); f = null;");
                   QTRY_VERIFY(allGone());
               });
        // A deletion held back in its own call goes with it, also where it has a parent.
        QTest::newRow("a deletion held back in a call, its object moved away with its parent meanwhile")
            << Round([](Host &h) {
                   h.inA("var p = new QObject(), c = new QObject(p); hand([p, c]);"
                         "c.customEvent = function() { this.deleteLater();"
                         "  QCoreApplication.sendPostedEvents(this, QEvent.DeferredDelete); p.moveToThread(anchor.thread()); };"
                         "QCoreApplication.postEvent(c, new QEvent(QEvent.User));"
                         "QCoreApplication.sendPostedEvents(c, QEvent.User); c = null;");
                   QTRY_VERIFY(!handed.at(1));
                   QVERIFY(handed.at(0));
                   h.inA("p = null;");
                   h.collect();
                   QVERIFY(allGone());
               });
        // QtScript deletes the object through the host's owning wrapper while its own thread
        // (running an engine too) is inside its destructor (a file's close, as the plugin's
        // deletion of it there runs).
        QTest::newRow("the host's owning wrapper collected while the object's own thread deletes it")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inA("var f = new QFile(folder + '/closing'); f.open(QIODevice.WriteOnly); hand([f]); f = null;");
                   h.wrap(h.a, "w", QScriptEngine::ScriptOwnership, {});
                   h.away();
                   auto inside = std::make_shared<QSemaphore>(), go = std::make_shared<QSemaphore>();
                   QIODevice *file = qobject_cast<QIODevice *>(handed.at(0));
                   QObject::connect(file, &QIODevice::aboutToClose, file, [inside, go] {
                       inside->release();
                       go->tryAcquire(1, 5000);
                   }, Qt::DirectConnection);
                   QElapsedTimer waited;
                   waited.start();
                   bool deleting = false;
                   while (!(deleting = inside->tryAcquire(1, 10)) && waited.elapsed() < 5000) {
                       scrubStack();
                       h.a.collectGarbage();
                       spin(10);
                   }
                   QVERIFY(deleting);
                   h.inA("w = null;");
                   h.a.collectGarbage();
                   go->release();
                   QTRY_VERIFY(allGone());
               });
        // Not where the thread runs engines: its handlers that the destructors call reach it.
        QTest::newRow("a running process deleted at home beside a worker's engine, its handler reading it")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inA("var p = new QProcess(), heard = ''; p.stateChanged.connect(function(s) {"
                         "  if (s == QProcess.NotRunning) heard = String(p.state()); });"
                         "p.start('/bin/sh', ['-c', 'sleep 60']); p.waitForStarted(); p.deleteLater();"
                         "QCoreApplication.sendPostedEvents(p, QEvent.DeferredDelete); p = null;"
                         "if (heard != 'NotRunning') throw new Error('heard ' + heard);");
               });
        // The mirror: a worker's engine ends and deletes its open file here, where no engine of
        // another thread is left to read it as gone. It closes as a QFile still (a wrapper that
        // read a property before would misread it as a QFileDevice).
        for (const bool readBefore : {false, true}) {
            QTest::addRow("a worker engine's file deleted here as it ends, a handler here reading it%s",
                          readBefore ? ", read before" : "")
                << Round([readBefore](Host &h) {
                       h.engineOnWorker();
                       h.inFar("var f = new QFile(folder + '/ending'); f.open(QIODevice.WriteOnly);"
                               "f.objectName = 'ending'; hand([f]); f = null;");
                       QThread *home = QThread::currentThread();
                       h.onWorker([home] { handed.at(0)->moveToThread(home); });
                       h.wrap(h.a, "w");
                       h.inA(readBefore ? "w[0].objectName;" : "");
                       h.inA("var heard = ''; w[0].aboutToClose.connect(function() { heard = w[0].objectName; });");
                       h.onWorker([&h] { h.far.reset(); });
                       QTRY_VERIFY(!handed.at(0));
                       h.inA("w = null; if (heard != 'ending') throw new Error('heard ' + heard);");
                   });
        }
        // Its engine ended, a parent of this engine's given, the host deletes it here: a handler
        // here deleting that parent waits until it is gone.
        QTest::newRow("a worker engine's file deleted here by the host, a handler here deleting its parent")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inFar("var f = new QFile(folder + '/ending'); f.open(QIODevice.WriteOnly); hand([f]); f = null;");
                   QThread *home = QThread::currentThread();
                   h.onWorker([home] { handed.at(0)->moveToThread(home); });
                   h.wrap(h.a, "w");
                   h.inA("var p = new QObject(); w[0].setParent(p); w[0].aboutToClose.connect(function() {"
                         "  p.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); });");
                   h.onWorker([&h] { h.far.reset(); });
                   delete handed.at(0).data();
                   h.inA("w = p = null;");
               });
        // Its engine's end asks for its deletion; the host then moves it to no thread, where
        // nothing delivers the deletion queued to it.
        QTest::newRow("home again, its engine ended, then moved to no thread") << Round([](Host &h) {
            h.makeC();
            h.inC("var x = new QObject(); x.customEvent = function() {};"
                  "QCoreApplication.postEvent(x, new QEvent(QEvent.User)); x.moveToThread(anchor.thread());"
                  "hand([x]); x = null;");
            h.back();
            h.endC();
            if (handed.at(0))
                handed.at(0)->moveToThread(nullptr);
            QTRY_VERIFY(allGone());
        });
        // A worker's deletion posts to the engine that records the object as the engine's
        // destruction begins (before the plugin hears of it: a handler connected first).
        QTest::newRow("deleted on a worker as the engine that records it begins to go") << Round([](Host &h) {
            auto e = std::make_unique<QScriptEngine>();
            const auto deleteThere = [&h](int i) {
                h.onWorker([i] {
                    delete handed.value(i);
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                });
            };
            QObject::connect(e.get(), &QObject::destroyed, [&] { deleteThere(1); });
            e->importExtension(QStringLiteral("qt.core"));
            QScriptValue global = e->globalObject();
            global.setProperty(QStringLiteral("anchor"), e->newQObject(&h.worker.anchor));
            global.setProperty(QStringLiteral("hand"), e->newFunction(hand));
            e->evaluate(QStringLiteral("[new QObject(), new QObject()].forEach(function(o) {"
                                       "  o.destroyed.connect(function() {});"
                                       "  o.moveToThread(anchor.thread()); hand(o); });"));
            QVERIFY(!e->hasUncaughtException());
            // The call it posted there ran: the engine's guard is let go.
            deleteThere(0);
            spin(5);
            e.reset();
            spin(5);
            h.onWorker([] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
            QTRY_VERIFY(allGone());
        });
        // (No timer runs: QtCore would lose the list of them it queues to each as it moves.)
        QTest::newRow("away and back, dropped after every posted event was removed") << Round([](Host &h) {
            h.makeC();
            h.inC("for (var i = 0; i < 5; ++i) { var t = new QTimer(); t.timeout.connect(function() {}); made.push(t); }"
                  "hand(made);");
            h.away();
            h.back();
            h.inC("QCoreApplication.removePostedEvents(null); made = []; t = null;");
            h.endC();
            spin(5);
            QVERIFY(allGone());
        });
        // Its handlers run as it ends: a deletion QtScript did not ask for, though QtScript called
        // the code that asked.
        QTest::newRow("the host deletes a running process its script class is told of") << Round([](Host &h) {
            Deleting deleting(&h.a);
            h.a.globalObject().setProperty(QStringLiteral("deleting"), h.a.newObject(&deleting));
            h.inA("var p = new QProcess(keeper), heard = [];"
                  "p.start('sleep', ['10']); p.waitForStarted(); hand(p);"
                  "p.stateChanged.connect(function(s) { heard.push(s); });"
                  "p['finished(int,QProcess::ExitStatus)'].connect(function() { heard.push('finished'); });");
            deleting.victim = handed.value(0);
            h.inA("deleting.p = null;"
                  "if (String(heard) != 'NotRunning,finished') throw new Error('heard ' + heard);"
                  "p = deleting = null;");
        });
        // A script's filter consumed the deletion the plugin asked for: it goes with its engine.
        QTest::newRow("away and back, dropped under a script's application filter of deletions, its engine ended")
            << Round([](Host &h) {
                   h.makeC();
                   h.inC("var f = new QObject(); f.eventFilter = function(o, e) { return e.type() == QEvent.DeferredDelete; };"
                         "QCoreApplication.instance().installEventFilter(f);"
                         "for (var i = 0; i < 5; ++i) { var o = new QObject(); o.moveToThread(anchor.thread()); made.push(o); }"
                         "hand(made);");
                   h.back();
                   h.inC("made = []; o = null; gc();");
                   spin(5);
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
