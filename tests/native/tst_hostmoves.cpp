// A host that moves, deletes and re-parents script objects natively, on the engine's thread and
// on workers, while scripts connect, filter, post and drop them, round after round: nothing
// crashes, no sanitizer reports, and the number of live objects comes back to its level (what
// QtCore still works with stays, what nothing reaches goes).
#include "hosting.h"

namespace {

// Objects of A with a handler connected, moved to the worker and handed to the host.
const char Connected[] = "for (var i = 0; i < 20; ++i) {"
                         "  var o = new QObject(); o.objectNameChanged.connect(function() {});"
                         "  o.moveToThread(anchor.thread()); made.push(o);"
                         "}"
                         "hand(made); o = null;";

} // namespace

class tst_HostMoves : public QObject
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
        // More than 16 moved at once: the probe of moved objects comes at the next turn.
        QTest::newRow("connected, away, back and away again") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var t = new QTimer(); t.timeout.connect(function() {}); t.start(1);"
                  "  t.moveToThread(anchor.thread()); made.push(t);"
                  "}"
                  "hand(made);");
            h.back();
            h.inA("made.forEach(function(t) { t.moveToThread(anchor.thread()); }); made = [];");
            h.back();
            h.away();
        });
        QTest::newRow("a child's override reads its parent as it moves") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var p = new QObject(), c = new QObject(p);"
                  "  c.event = function(e) {"
                  "    if (e.type() == QEvent.ThreadChange) this.parent().objectName = 'moving';"
                  "    return false;"
                  "  };"
                  "  p.startTimer(1); c.startTimer(1);"
                  "  p.moveToThread(anchor.thread());"
                  "}");
            h.collect();
        });
        QTest::newRow("a moved family whose child is connected") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var p = new QObject(), k = new QTimer(p);"
                  "  k.timeout.connect(function() {}); k.start(1);"
                  "  p.moveToThread(anchor.thread());"
                  "}");
        });
        QTest::newRow("another engine's handlers on moved timers") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) { var t = new QTimer(); t.start(1); made.push(t); }"
                  "hand(made);");
            h.share();
            h.inB("var calls = 0;"
                  "shared.forEach(function(t) { t.timeout.connect(function() { ++calls; }); });"
                  "shared = null;");
            spin(5);
            h.inA("made.forEach(function(t) { t.moveToThread(anchor.thread()); }); made = [];");
        });
        QTest::newRow("away and back: connected, written, unused") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 9; ++i) {"
                  "  var t = new QTimer();"
                  "  if (i % 3 == 0) t.timeout.connect(function() {});"
                  "  made.push(t);"
                  "}"
                  "hand(made);");
            h.away();
            h.back();
            spin(5);
            h.inA("made.forEach(function(t, i) { if (i % 3 == 1) t.interval = 7; }); made = [];");
        });
        QTest::newRow("a connected family away and back, each used once home") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var p = new QObject(), k = new QTimer(p);"
                  "  k.timeout.connect(function() {}); p.objectNameChanged.connect(function() {});"
                  "  p.moveToThread(anchor.thread()); made.push(p, k);"
                  "}"
                  "hand(made);");
            h.back();
            spin(5);
            h.inA("made.forEach(function(x) { x.objectName = 'home'; }); made = [];");
        });
        QTest::newRow("a watching watcher and a running process move") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 3; ++i) {"
                  "  var w = new QFileSystemWatcher([folder]); w.moveToThread(anchor.thread());"
                  "}"
                  "var p = new QProcess(); p.start('sleep', ['10']); p.waitForStarted();"
                  "p.moveToThread(anchor.thread()); p = null;");
        });
        QTest::newRow("a filter QtCore refuses") << Round([](Host &h) {
            // (The watched object stays from round to round.)
            h.inA("if (!this.watched) {"
                  "  watched = new QObject(); watched.moveToThread(anchor.thread());"
                  "}"
                  "for (var i = 0; i < 10; ++i) watched.installEventFilter(new QObject());");
        });
        QTest::newRow("deleted twice there while the engine lets go") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.timeout.connect(function() {}); t.start(0);"
                  "  t.moveToThread(anchor.thread()); made.push(t);"
                  "}"
                  "hand(made);");
            spin(5);
            // The engine's thread waits meanwhile: its reports of them stay queued.
            h.onWorker([] {
                for (const QPointer<QObject> &t : handed) {
                    for (int i = 0; i < 2 && t; ++i) {
                        t->deleteLater();
                        QCoreApplication::sendPostedEvents(t, QEvent::DeferredDelete);
                    }
                }
            });
            h.inA("made = [];");
        });
        QTest::newRow("asked to go while in use, then moved") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var o = new QObject();"
                  "  o.customEvent = function() {"
                  "    this.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
                  "    this.moveToThread(anchor.thread());"
                  "  };"
                  "  QCoreApplication.postEvent(o, new QEvent(QEvent.User)); made.push(o);"
                  "}"
                  "hand(made);");
            // Gone there once out of use, though the script still has them.
            QTRY_COMPARE(handed.count(nullptr), handed.size());
        });
        QTest::newRow("two asked to go while in use, one then moved") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var a = new QObject(), b = new QObject();"
                  "  a.other = b; b.other = a;"
                  "  a.customEvent = function() {"
                  "    QCoreApplication.sendEvent(this.other, new QEvent(QEvent.User));"
                  "  };"
                  "  b.customEvent = function() {"
                  "    this.deleteLater(); this.other.deleteLater();"
                  "    QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
                  "    this.moveToThread(anchor.thread());"
                  "  };"
                  "  QCoreApplication.postEvent(a, new QEvent(QEvent.User)); made.push(a, b);"
                  "}"
                  "hand(made);");
            // Each goes once out of use, the one that stays and the one that left.
            QTRY_COMPARE(handed.count(nullptr), handed.size());
        });
        QTest::newRow("kept by its override while an engine of another thread lives")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inA("var k = new QObject(), asked = 0;"
                         "k.event = function(e) {"
                         "  return e.type() == QEvent.DeferredDelete && asked++ == 0;"
                         "};"
                         "k.deleteLater(); hand(k); made.push(k);");
                   spin(20);
                   QVERIFY(handed.value(0));
                   QCOMPARE(h.a.evaluate(QStringLiteral("asked")).toInt32(), 1);
               });
        QTest::newRow("deleted at a flush while an engine of another thread lives")
            << Round([](Host &h) {
                   h.engineOnWorker();
                   h.inA("var d = new QObject(); d.objectNameChanged.connect(function() {});"
                         "hand(d); d.deleteLater();"
                         "QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);");
                   // That engine never saw it: nothing waits for it there.
                   QVERIFY(!handed.value(0));
               });
        QTest::newRow("a family away and back, then under the host's object as its engine ends")
            << Round([](Host &h) {
                   h.makeC();
                   h.inC("var p = new QObject(), c = new QObject(p);"
                         "p.moveToThread(anchor.thread()); hand([p, c]);");
                   h.back();
                   spin(5);
                   h.inC("p.setParent(keeper); p = c = null;");
                   h.endC();
                   // The host's object keeps them both.
                   QVERIFY(handed.value(0) && handed.value(1));
                   delete handed.value(0).data();
               });
        QTest::newRow("translators away and back, then dropped") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTranslator(); t.moveToThread(anchor.thread()); made.push(t);"
                  "}"
                  "hand(made);");
            h.back();
            spin(5);
            h.inA("made = [];");
        });
        QTest::newRow("deleted by the host while their deletions wait for the engine")
            << Round([](Host &h) {
                   h.inA("for (var i = 0; i < 5; ++i) {"
                         "  var o = new QObject(); o.objectNameChanged.connect(function() {});"
                         "  o.moveToThread(anchor.thread()); o.deleteLater(); made.push(o);"
                         "}"
                         "hand(made);");
                   // Each waits there for this thread to let go of its record (its reports),
                   // and goes first.
                   h.onWorker([] {
                       QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                       for (const QPointer<QObject> &o : handed)
                           delete o.data();
                   });
                   h.inA("made = [];");
               });
        QTest::newRow("of no thread, collected, then deleted by the host") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) { var o = new QObject(); o.moveToThread(null); hand(o); }"
                  "o = null;");
            // Brought here to be deleted at the next turn, once its script object goes.
            scrubStack();
            h.a.collectGarbage();
            for (const QPointer<QObject> &o : handed)
                delete o.data();
        });
        QTest::newRow("moved, the unconnected dropped before a probe, the connected after")
            << Round([](Host &h) {
                   h.inA("for (var i = 0; i < 20; ++i) {"
                         "  var o = new QObject(); o.moveToThread(anchor.thread());"
                         "  if (i % 2) { o.objectNameChanged.connect(function() {}); made.push(o); }"
                         "}"
                         "o = null;");
                   // The probe's first collection takes the dropped; it keeps listing the others.
                   scrubStack();
                   spin(20);
                   h.inA("made = [];");
               });
        QTest::newRow("every posted event of the thread removed") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 10; ++i) {"
                  "  var t = new QTimer(); t.start(0); t.moveToThread(anchor.thread());"
                  "  t.timeout.connect(function() {}); t.deleteLater();"
                  "  var o = new QObject(); o.timer = o.startTimer(1); o.moveToThread(anchor.thread());"
                  "}");
            // Their deletions wait for this thread to let go of its records: the calls that do
            // it, and the plugin's own, are taken out of the queue.
            h.onWorker([] { QCoreApplication::sendPostedEvents(); });
            h.inA("QCoreApplication.removePostedEvents(null);");
            h.inB("QCoreApplication.removePostedEvents(null);");
        });
        QTest::newRow("a buffer on a script's bytes given to another engine's object")
            << Round([](Host &h) {
                   h.makeC();
                   h.inC("var b = new QBuffer(new QByteArray('abc')), runs = 0;"
                         "b.open(QIODevice.ReadWrite); b.customEvent = function() { ++runs; };"
                         "hand(b);");
                   h.inB("var keeps = new QObject(); keeps.timer = keeps.startTimer(10000); hand(keeps);");
                   QPointer<QBuffer> buffer = qobject_cast<QBuffer *>(handed.value(0));
                   buffer->setParent(handed.value(1));
                   h.inC("b = null;");
                   h.collect();
                   // Its script object (and bytes) gone, it works on bytes of its own, also once
                   // the engine that made it ends.
                   QCoreApplication::postEvent(buffer, new QEvent(QEvent::User));
                   spin(5);
                   QCOMPARE(h.c->evaluate(QStringLiteral("runs")).toInt32(), 0);
                   h.endC();
                   buffer->seek(0);
                   buffer->write("xyz");
                   QVERIFY(buffer->data().endsWith("xyz"));
                   h.inB("keeps.killTimer(keeps.timer); keeps = null;");
               });
        QTest::newRow("the host takes a child from a helper of a watcher") << Round([](Host &h) {
            h.inA("var w = new QFileSystemWatcher(), helper = w.children()[0];"
                  "var c = new QObject(helper), runs = 0;"
                  "c.customEvent = function() { ++runs; };"
                  "hand(c); w = helper = c = null;");
            QObject *taken = handed.value(0);
            QVERIFY(taken);
            taken->setParent(&h.keeper);
            h.collect();
            QVERIFY(taken == handed.value(0).data());
            QCoreApplication::postEvent(taken, new QEvent(QEvent::User));
            spin(5);
            QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 1);
            delete taken;
        });
        QTest::newRow("the host gives children to a script's object") << Round([](Host &h) {
            h.inA("var p = new QObject(), c = new QObject(), owner = new QObject(), runs = 0;"
                  "c.parentRef = p; hand([p, c, owner]);"
                  "var lones = [];"
                  "for (var i = 0; i < 5; ++i) {"
                  "  var lone = new QObject(); lone.customEvent = function() { ++runs; };"
                  "  lones.push(lone); hand(lone);"
                  "}"
                  "lone = null;");
            QObject *c = handed.value(1);
            c->setParent(handed.value(0));
            for (int i = 3; i < handed.size(); ++i)
                handed.at(i)->setParent(handed.value(2));
            spin(5);
            h.inA("p = c = lones = null;");
            h.collect();
            QVERIFY(!handed.value(0) && !handed.value(1));
            for (int i = 3; i < handed.size(); ++i)
                QCoreApplication::postEvent(handed.at(i), new QEvent(QEvent::User));
            spin(5);
            QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 5);
            h.inA("owner = null;");
        });
        QTest::newRow("the host removes posted events") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 10; ++i) {"
                  "  var o = new QObject(); QCoreApplication.postEvent(o, new QEvent(QEvent.User));"
                  "  o.deleteLater(); made.push(o);"
                  "}"
                  "hand(made); made = [];");
            for (const QPointer<QObject> &o : handed)
                QCoreApplication::removePostedEvents(o);
        });
        QTest::newRow("dropped there, its deletion taken out of the worker's queue") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var o = new QObject(); o.moveToThread(anchor.thread()); made.push(o);"
                  "}"
                  "hand(made); made = []; o = null;");
            // The deletion the collection asks for there is taken out before the worker runs it.
            for (int i = 0; i < 3; ++i) {
                scrubStack();
                h.a.collectGarbage();
                h.onWorker([] {
                    for (const QPointer<QObject> &o : handed)
                        QCoreApplication::removePostedEvents(o, QEvent::DeferredDelete);
                });
            }
            // It is asked for again there: they go without the script or the host.
            QTRY_VERIFY_WITH_TIMEOUT(std::none_of(handed.begin(), handed.end(),
                                                  [](const QPointer<QObject> &o) { return o; }), 5000);
        });
        QTest::newRow("a deletion posted to an object on the worker") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var o = new QObject(); o.moveToThread(anchor.thread());"
                  // The worker may delete it at once: nothing reads it afterwards.
                  "  QCoreApplication.postEvent(o, new QEvent(QEvent.DeferredDelete));"
                  "}");
        });
        QTest::newRow("a running process deleted on the worker") << Round([](Host &h) {
            h.inA("var p = new QProcess(); p.start('sleep', ['10']); p.waitForStarted();"
                  "p.moveToThread(anchor.thread()); hand(p); p = null;");
            QPointer<QObject> p = handed.value(0);
            h.onWorker([p] { delete p.data(); });
            h.inA("QCoreApplication.removePostedEvents(null);");
        });
        QTest::newRow("away and back, then the engine ends") << Round([](Host &h) {
            h.makeC();
            h.inC("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.timeout.connect(function() {}); t.start(1);"
                  "  made.push(t);"
                  "}"
                  "hand(made);");
            h.away();
            h.back();
            // Each hears of its return; the turn that owns them again comes after the end.
            for (const QPointer<QObject> &o : handed)
                QCoreApplication::sendPostedEvents(o, QEvent::MetaCall);
            h.endC();
            spin(5);
        });
        QTest::newRow("a deletion taken back, away and back, then the engine ends") << Round([](Host &h) {
            h.makeC();
            h.inC("var w = new QFileSystemWatcher([folder]); w.deleteLater(); hand(w);");
            QCoreApplication::removePostedEvents(handed.value(0));
            h.away();
            h.back();
            h.endC();
        });
        QTest::newRow("a moved watcher's child deleted there, then the engine ends")
            << Round([](Host &h) {
                   h.makeC();
                   h.inC("var w = new QFileSystemWatcher([folder]), c = new QObject(w);"
                         "c.timerEvent = function() {}; c.startTimer(1);"
                         "w.moveToThread(anchor.thread()); hand([w, c]);");
                   QPointer<QObject> c = handed.value(1);
                   h.onWorker([c] { delete c.data(); });
                   h.endC();
                   QPointer<QObject> w = handed.value(0);
                   h.onWorker([w] { delete w.data(); });
               });
        QTest::newRow("another engine's calls after the engine that made them ended")
            << Round([](Host &h) {
                   h.makeC();
                   h.inC("var o = new QObject(keeper); o.customEvent = function() {}; hand(o);");
                   h.endC();
                   h.share();
                   h.inB("var f = new QObject(), o = shared[0];"
                         "o.installEventFilter(f); o.removeEventFilter(f);"
                         "QCoreApplication.postEvent(o, new QEvent(QEvent.User));"
                         "o.installEventFilter(f);"
                         "f = o = shared = null;");
                   spin(5);
                   delete handed.value(0).data();
               });
        QTest::newRow("running timers and notifiers away and back, then stopped") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 10; ++i) {"
                  "  var t = new QTimer(); t.start(5); t.moveToThread(anchor.thread()); made.push(t);"
                  "}"
                  "hand(made);");
            h.back();
            spin(5);
            for (const QPointer<QObject> &o : handed)
                qobject_cast<QTimer *>(o)->stop();
            h.inA("made = [];");
        });
        QTest::newRow("moved to no thread") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 10; ++i) {"
                  "  var o = new QObject(), k = new QTimer(o); k.start(1);"
                  "  o.moveToThread(null); QCoreApplication.postEvent(o, new QEvent(QEvent.User));"
                  "  if (i % 2) o.destroyed.connect(function() {});"
                  "}");
        });
        QTest::newRow("to no thread with its deletion held back by a child's turn of the loop")
            << Round([](Host &h) {
                   h.inA("var t = new QTimer(), b = new QBuffer(), depth = 0;"
                         "b.startTimer(0);"
                         "b.event = function(e) {"
                         "  if (depth < 3) { ++depth; try { QCoreApplication.processEvents(); } finally { --depth; } }"
                         "  b.setParent(t); return false;"
                         "};"
                         "var l = new QEventLoop(), x = new QTimer();"
                         "x.singleShot = true; x.timeout.connect(function() { l.exit(0); }); x.start(2); l.exec();"
                         "t.deleteLater(); t.moveToThread(null);"
                         "for (var i = 0; i < 3; ++i) {"
                         "  QCoreApplication.processEvents();"
                         "  QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
                         "}"
                         "t = b = l = x = null;");
               });
        QTest::newRow("a reader's and a stream's device asked to go, then moved there")
            << Round([](Host &h) {
                   h.inA("for (var i = 0; i < 5; ++i) {"
                         "  var f = new QTemporaryFile(); f.open(); f.write(new QByteArray('<a/>')); f.seek(0);"
                         "  made.push(new QXmlStreamReader(f), new QTextStream(f));"
                         "  f.deleteLater(); f.moveToThread(anchor.thread());"
                         "}");
                   h.onWorker([] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
                   h.inA("made.forEach(function(u) {"
                         "  if (u.device() !== null) throw new Error('a device of another thread');"
                         "});");
               });
        QTest::newRow("back, and stopped before the loop turns") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.start(10); var o = new QObject(); o.id = o.startTimer(5);"
                  "  made.push(t, o);"
                  "}"
                  "hand(made);");
            h.away();
            h.back();
            h.inA("made.forEach(function(x) { if (x.id) x.killTimer(x.id); else x.stop(); });"
                  "made.forEach(function(x) { x.deleteLater(); }); made = [];");
        });
        QTest::newRow("back, its engine ended, then restarted by another engine") << Round([](Host &h) {
            h.makeC();
            h.inC("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.start(10); made.push(t);"
                  "}"
                  "hand(made);");
            h.away();
            h.back();
            h.endC();
            h.share();
            h.inB("shared.forEach(function(t) { t.start(0); t.stop(); t.deleteLater(); }); shared = null;");
            spin(20);
        });
        QTest::newRow("of no thread, taken by a worker and stopped there at once") << Round([](Host &h) {
            h.engineOnWorker();
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.start(1); t.moveToThread(null); made.push(t);"
                  "}"
                  "hand(made);");
            h.onWorker([&h] {
                QScriptValue list = h.far->newArray();
                quint32 i = 0;
                for (const QPointer<QObject> &o : handed) {
                    o->moveToThread(QThread::currentThread());
                    list.setProperty(i++, qScriptValueFromValue<QObject *>(h.far.get(), o.data()));
                }
                h.far->globalObject().setProperty(QStringLiteral("taken"), list);
                h.far->evaluate(QStringLiteral("taken.forEach(function(t) { t.stop(); }); taken = null;"));
                QVERIFY(!h.far->hasUncaughtException());
            });
            spin(20);
        });
        QTest::newRow("moved by the host, then stopped by a call it queued") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 5; ++i) {"
                  "  var t = new QTimer(); t.start(1); made.push(t);"
                  "}"
                  "hand(made); made = [];");
            h.away();
            // Queued after QtCore's hand-over of their timers: delivered after it, in order.
            for (const QPointer<QObject> &o : handed)
                QMetaObject::invokeMethod(o, "stop", Qt::QueuedConnection);
            h.onWorker([] {
                QCoreApplication::sendPostedEvents();
                qDeleteAll(handed);
            });
            h.onWorker([] { spin(20); });
        });
        QTest::newRow("moved by another engine's script while its child runs") << Round([](Host &h) {
            h.makeC();
            h.inC("var p = new QObject(), t = new QTimer(p); t.start(0); hand(p); p = t = null;");
            h.share();
            h.inB("shared[0].moveToThread(anchor.thread()); shared = null;");
            h.endC();
            spin(5);
        });
        QTest::newRow("a call the host queues to an object at home") << Round([](Host &h) {
            h.inA("var t = new QTimer(); hand(t);");
            // Away and back: the first call after the move caught up, the next need not.
            h.away();
            h.back();
            h.inA("t.start(50);");
            spin(5);
            QMetaObject::invokeMethod(handed.value(0), "start", Qt::QueuedConnection, Q_ARG(int, 5));
            // Only a move makes a script's call catch up with what is queued: the host's runs last.
            h.inA("t.start(50);");
            spin(5);
            h.inA("if (t.interval != 5) throw new Error('the queued call ran first'); t.stop(); t = null;");
        });
        QTest::newRow("a handler connected after a move") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) {"
                  "  var t = new QTimer(); t.moveToThread(anchor.thread());"
                  "  t.timeout.connect(function() {});"
                  "}");
        });
        QTest::newRow("a ThreadChange and no move") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 10; ++i) {"
                  "  var o = new QObject(), runs = 0; o.customEvent = function() { ++runs; };"
                  "  o.timer = o.startTimer(1000); made.push(o);"
                  "}"
                  "hand(made);");
            // Home again as it hears it did not move (before the turn of the loop that owns it).
            for (const QPointer<QObject> &o : handed) {
                QEvent change(QEvent::ThreadChange);
                QCoreApplication::sendEvent(o, &change);
                QCoreApplication::sendPostedEvents(o, QEvent::MetaCall);
                QEvent user(QEvent::User);
                QCoreApplication::sendEvent(o, &user);
            }
            spin(5);
            for (const QPointer<QObject> &o : handed)
                QCoreApplication::postEvent(o, new QEvent(QEvent::User));
            spin(5);
            QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 20);
            h.inA("made.forEach(function(o) { o.killTimer(o.timer); }); made = [];");
        });
        // Their thread finishes, the QThread kept: nothing delivers a deletion there any more. A
        // deletion asked for them (a handler of this thread's engine connected, which it waits
        // for) is carried out all the same, once, also where the thread starts again.
        QTest::newRow("deleted by the host once their thread finished") << Round([](Host &h) {
            h.inA(Connected);
            const auto stopped = h.stopWorker();
            for (const QPointer<QObject> &o : handed)
                delete o.data();
            QVERIFY(allGone());
        });
        QTest::newRow("their thread's finished signal connected to their deleteLater") << Round([](Host &h) {
            h.inA(Connected);
            h.inA("var f = new QFile(folder + '/log'); f.open(QIODevice.WriteOnly);"
                  "f.write(new QByteArray('bytes')); f.aboutToClose.connect(function() {});"
                  "f.moveToThread(anchor.thread()); hand(f); f = null;");
            for (const QPointer<QObject> &o : handed)
                QObject::connect(&h.worker.thread, &QThread::finished, o, &QObject::deleteLater);
            const auto stopped = h.stopWorker();
            QTRY_VERIFY(allGone());
            QCOMPARE(QFileInfo(h.dir.filePath(QStringLiteral("log"))).size(), 5);
        });
        QTest::newRow("deleted by the host on their thread just before it quits") << Round([](Host &h) {
            h.inA(Connected);
            h.onWorker([] { qDeleteAll(handed); });
            const auto stopped = h.stopWorker();
            QTRY_VERIFY(allGone());
        });
        QTest::newRow("deleted there just before it quits, the thread started again") << Round([](Host &h) {
            h.inA(Connected);
            h.onWorker([] { qDeleteAll(handed); });
            h.stopWorker().dismiss();
            h.worker.thread.start();
            QTRY_VERIFY(allGone());
        });
        QTest::newRow("the host's owning wrappers collected once their thread finished") << Round([](Host &h) {
            h.inA(Connected);
            h.wrap(h.a, "w", QScriptEngine::ScriptOwnership, {});
            const auto stopped = h.stopWorker();
            h.inA("w = null;");
            scrubStack();
            h.a.collectGarbage();
            QTRY_VERIFY(allGone());
        });
        QTest::newRow("a deletion asked for the new parent of a child on the move")
            << Round([](Host &h) {
                   h.inA("var from = new QObject(), to = new QObject(), c = new QObject(from);"
                         "from.childEvent = function(e) {"
                         "  if (e.type() == QEvent.ChildRemoved) QCoreApplication.processEvents();"
                         "};"
                         "to.deleteLater(); c.setParent(to);"
                         "from = to = c = null;");
               });
        // Its own script object, dropped, is collected meanwhile: it is deleted there once the
        // call here is over.
        QTest::newRow("moved there under a call through the host's wrapper") << Round([](Host &h) {
            h.inA("var pool = new QThreadPool(), r = new QRunnable(); hand(pool);"
                  "r.run = function() {"
                  "  w[0].moveToThread(anchor.thread()); pool = null;"
                  "  (function() { for (var k = 0; k < 3; ++k) { var junk = [];"
                  "    for (var n = 0; n < 3000; ++n) junk.push({}); gc(); } })();"
                  "  QCoreApplication.processEvents(); QCoreApplication.sendPostedEvents();"
                  "};"
                  "pool.start(r); r = null;");
            h.wrap(h.a, "w");
            h.inA("w[0].waitForDone(); w = null;");
        });
        // A native handler of what the call emits deletes the object's parent, the host's own:
        // the object goes inside its own slot or property write.
        QTest::newRow("the host deletes the parent inside a call on its child") << Round([](Host &h) {
            h.engineOnWorker();
            for (const char *call : {"o.objectName = 'x'", "l.setCurrentTime(500)"}) {
                for (QScriptEngine *e : {&h.a, h.far.get()}) {
                    const bool far = e != &h.a;
                    const auto here = [&](const std::function<void()> &f) { far ? h.onWorker(f) : f(); };
                    handed.clear();
                    here([e, call] {
                        e->globalObject().setProperty(QStringLiteral("hostParent"), e->newQObject(new QObject));
                        e->evaluate(QStringLiteral("var o = new QObject(hostParent), l = new QTimeLine(1000, hostParent);"
                                                   "hand([o, l]); hostParent = null;"));
                        QObject *parent = handed.value(0)->parent();
                        const auto gone = [parent] { delete parent; };
                        QObject::connect(handed.value(0), &QObject::objectNameChanged, parent, gone);
                        QObject::connect(qobject_cast<QTimeLine *>(handed.value(1)), &QTimeLine::valueChanged,
                                         parent, gone);
                        e->evaluate(QString::fromLatin1(call));
                        QVERIFY2(!e->hasUncaughtException(), qPrintable(failure(*e)));
                        QVERIFY(!handed.value(0) && !handed.value(1));
                        e->evaluate(QStringLiteral("o = l = null;"));
                    });
                }
            }
        });
        // A script's loop turns the next turn of the loop, where they join the family: the parentless
        // name their new parents, the members of another family have a handler that does.
        QTest::newRow("given natively, then a script turns the loop") << Round([](Host &h) {
            h.inA("for (var i = 0; i < 20; ++i) (function(i) {"
                  "  var p = new QObject(), c = new QObject(i % 2 ? null : new QObject()); hand([c, p]);"
                  "  if (i % 2) c.other = p; else c.objectNameChanged.connect(function() { p.objectName; });"
                  "})(i);");
            for (int i = 0; i < handed.size(); i += 2)
                handed.at(i)->setParent(handed.at(i + 1));
            h.inA("QCoreApplication.processEvents();");
        });
        QTest::newRow("given natively to another family inside a script's loop, the new parent kept")
            << Round([](Host &h) {
                   h.inA("var runs = 0, kept = []; for (var i = 0; i < 20; ++i) (function() {"
                         "  var to = new QObject(), c = new QObject(new QObject()); kept.push(to); hand([c, to]);"
                         "  c.customEvent = function() { ++runs; };"
                         "})();");
                   QMetaObject::invokeMethod(&h.keeper, [] {
                       for (int i = 0; i < handed.size(); i += 2)
                           handed.at(i)->setParent(handed.at(i + 1));
                   }, Qt::QueuedConnection);
                   h.inA("QCoreApplication.processEvents();");
                   h.collect();
                   for (int i = 0; i < handed.size(); i += 2)
                       QCoreApplication::postEvent(handed.at(i), new QEvent(QEvent::User));
                   spin(5);
                   QCOMPARE(h.a.evaluate(QStringLiteral("runs")).toInt32(), 20);
                   h.inA("kept = [];");
               });
    }

    void shapes()
    {
        QFETCH(Round, round);
        runRounds(round);
    }
};

QTEST_GUILESS_MAIN(tst_HostMoves)
#include "tst_hostmoves.moc"
