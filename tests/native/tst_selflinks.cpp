// What keeps a script-made object's script object (and so its overrides) alive, counted
// natively: a parent, running timers, posted events, filters, installed translators, enabled
// notifiers each hold it while their reason lasts and let go once it ends; families nothing
// reaches go together; nothing is held from a call no script asked for, nor once the engine's
// end has begun.
#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValueIterator>
#include <QtTest/QtTest>

#include "worker.h"

#include <unistd.h>

namespace {

QString failure(QScriptEngine &engine)
{
    return engine.uncaughtException().toString() + QStringLiteral(" at line ")
           + QString::number(engine.uncaughtExceptionLineNumber());
}

#define EVAL(engine, text)                                                                   \
    do {                                                                                     \
        (engine).evaluate(QString::fromUtf8(text));                                          \
        QVERIFY2(!(engine).hasUncaughtException(), qPrintable(failure(engine)));             \
    } while (0)

// The collector scans the native stack conservatively: stale copies of script values in frames
// that have returned would keep what they point at.
Q_NEVER_INLINE void scrubStack()
{
    volatile char junk[64 * 1024];
    for (size_t i = 0; i < sizeof junk; i += 64)
        junk[i] = 0;
}

// Collections, with script code allocating between them (the collector finalises lazily).
Q_NEVER_INLINE void collect(QScriptEngine &engine)
{
    for (int round = 0; round < 3; ++round) {
        scrubStack();
        engine.collectGarbage();
        engine.evaluate(QStringLiteral(
            "(function() { var junk = []; for (var i = 0; i < 500; ++i) junk.push({ i: i }); })()"));
    }
}

// The objects of the script's array `made`, watched natively; the script keeps the array.
Q_NEVER_INLINE QList<QPointer<QObject>> watch(QScriptEngine &engine)
{
    QList<QPointer<QObject>> objects;
    QScriptValue made = engine.globalObject().property(QStringLiteral("made"));
    const quint32 n = made.property(QStringLiteral("length")).toUInt32();
    for (quint32 i = 0; i < n; ++i)
        objects << made.property(i).toQObject();
    return objects;
}

int living(const QList<QPointer<QObject>> &objects)
{
    int n = 0;
    for (const QPointer<QObject> &o : objects)
        n += o ? 1 : 0;
    return n;
}

// Counts script calls of reached().
int reachedCount = 0;
QScriptValue reached(QScriptContext *, QScriptEngine *)
{
    ++reachedCount;
    return QScriptValue();
}

void prepare(QScriptEngine &engine)
{
    engine.importExtension(QStringLiteral("qt.core"));
    engine.globalObject().setProperty(QStringLiteral("reached"), engine.newFunction(reached));
}

// How many held children (or wrappers of objects QtCore or the host made below it: 'w') a
// script object's internal data names.
int heldChildren(const QScriptValue &object, QChar kind = QLatin1Char('c'))
{
    int n = 0;
    QScriptValueIterator it(object.data());
    while (it.hasNext()) {
        it.next();
        n += it.name().startsWith(kind);
    }
    return n;
}

} // namespace

class tst_SelfLinks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QVERIFY(::pipe(m_pipe) == 0);
        // A byte waiting: the read end's notifier would be activated.
        QVERIFY(::write(m_pipe[1], "x", 1) == 1);
    }
    void cleanupTestCase()
    {
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
    void init() { reachedCount = 0; }

    // Each reason holds the script object of an object the script dropped, overrides included;
    // once the reason ends (through the script's own calls, or QtCore's delivery) the object is
    // the collector's again.
    void holdsEndWithTheirReason_data()
    {
        QTest::addColumn<QString>("make");    // o: the object, with its reason to be held
        QTest::addColumn<QString>("end");     // ends the reason (o as made), or empty
        QTest::addColumn<int>("native");      // what the host does to end it instead
        QTest::newRow("startTimer")
            << QStringLiteral("o = new QObject(); o.id = o.startTimer(60000);")
            << QStringLiteral("o.killTimer(o.id);") << 0;
        QTest::newRow("QTimer")
            << QStringLiteral("o = new QTimer(); o.start(60000);")
            << QStringLiteral("o.stop();") << 0;
        QTest::newRow("single shot that fired")
            << QStringLiteral("o = new QTimer(); o.singleShot = true; o.start(0);")
            << QString() << int(EndBySpinning);
        QTest::newRow("QBasicTimer")
            << QStringLiteral("o = new QObject(); o.basic = new QBasicTimer(); o.basic.start(60000, o);")
            << QStringLiteral("o.basic.stop();") << 0;
        QTest::newRow("QBasicTimer moved to another object")
            << QStringLiteral("o = new QObject(); o.basic = new QBasicTimer(); o.basic.start(60000, o);")
            << QStringLiteral("o.basic.start(60000, other);") << 0;
        QTest::newRow("posted event")
            << QStringLiteral("o = new QObject(); QCoreApplication.postEvent(o, new QEvent(QEvent.User));")
            << QString() << int(EndByDelivering);
        QTest::newRow("posted event a filter consumed")
            << QStringLiteral("o = new QObject(); o.installEventFilter(consumer);"
                              "QCoreApplication.postEvent(o, new QEvent(QEvent.User));")
            << QString() << int(EndByDelivering);
        QTest::newRow("posted event removed")
            << QStringLiteral("o = new QObject(); QCoreApplication.postEvent(o, new QEvent(QEvent.User));")
            << QStringLiteral("QCoreApplication.removePostedEvents(o);") << 0;
        QTest::newRow("posted events of all objects removed")
            << QStringLiteral("o = new QObject(); QCoreApplication.postEvent(o, new QEvent(QEvent.User));")
            << QStringLiteral("QCoreApplication.removePostedEvents(null, QEvent.User);") << 0;
        QTest::newRow("deletion taken back")
            << QStringLiteral("o = new QObject(); o.deleteLater();")
            << QStringLiteral("QCoreApplication.removePostedEvents(o, QEvent.DeferredDelete);") << 0;
        QTest::newRow("deletion taken back with all its events")
            << QStringLiteral("o = new QObject(); o.deleteLater();")
            << QStringLiteral("QCoreApplication.removePostedEvents(o);") << 0;
        QTest::newRow("posted deletion the override refused")
            << QStringLiteral("o = new QObject(); o.event = function(e) { if (e.type() != QEvent.DeferredDelete) this.customEvent(e); return true; };"
                              "QCoreApplication.postEvent(o, new QEvent(QEvent.DeferredDelete));")
            << QString() << int(EndByDelivering);
        QTest::newRow("deletion the override refused")
            << QStringLiteral("o = new QObject(); o.event = function(e) { if (e.type() != QEvent.DeferredDelete) this.customEvent(e); return true; };"
                              "o.deleteLater();")
            << QString() << int(EndByDelivering);
        QTest::newRow("filter of the application")
            << QStringLiteral("o = new QObject(); QCoreApplication.instance().installEventFilter(o);")
            << QStringLiteral("QCoreApplication.instance().removeEventFilter(o);") << 0;
        QTest::newRow("filter of a script's object")
            << QStringLiteral("o = new QObject(); other.installEventFilter(o);")
            << QStringLiteral("other.removeEventFilter(o);") << 0;
        QTest::newRow("filter of a host object")
            << QStringLiteral("o = new QObject(); host.installEventFilter(o);")
            << QStringLiteral("host.removeEventFilter(o);") << 0;
        QTest::newRow("filter of a host object deleted")
            << QStringLiteral("o = new QObject(); host.installEventFilter(o);")
            << QString() << int(EndByDeletingHost);
        QTest::newRow("installed translator")
            << QStringLiteral("o = new QTranslator(); QCoreApplication.installTranslator(o);")
            << QStringLiteral("QCoreApplication.removeTranslator(o);") << 0;
        QTest::newRow("enabled notifier")
            << QStringLiteral("o = new QSocketNotifier(fd, QSocketNotifier.Read);")
            << QStringLiteral("o.setEnabled(false);") << 0;
        QTest::newRow("host's child")
            << QStringLiteral("o = new QObject(host);")
            << QStringLiteral("o.setParent(null);") << 0;
        QTest::newRow("host's child moved to a script's object")
            << QStringLiteral("o = new QObject(host);")
            << QStringLiteral("o.setParent(new QObject());") << 0;
        // Ended by QtCore, by paths no call of the script's shows.
        QTest::newRow("posted events QtCore compressed")
            << QStringLiteral("o = new QObject(); QCoreApplication.postEvent(o, new QEvent(QEvent.Quit));"
                              "QCoreApplication.postEvent(o, new QEvent(QEvent.Quit));")
            << QString() << int(EndByDelivering);
        QTest::newRow("time line stopped by a property write")
            << QStringLiteral("o = new QTimeLine(60000); o.start();")
            << QStringLiteral("o.currentTime = o.duration;") << 0;
        QTest::newRow("QBasicTimer collected")
            << QStringLiteral("o = new QObject(); timers.push(new QBasicTimer()); timers[timers.length - 1].start(60000, o);")
            << QStringLiteral("timers = [];") << int(EndByCollecting);
        QTest::newRow("running process")
            << QStringLiteral("o = new QProcess(); o.start('/bin/sh', ['-c', 'read x']); o.waitForStarted();")
            << QStringLiteral("o.closeWriteChannel();") << int(EndBySpinning);
        QTest::newRow("process ending with its signals blocked")
            << QStringLiteral("o = new QProcess(); o.start('/bin/sh', ['-c', 'read x']); o.waitForStarted();"
                              "o.blockSignals(true);")
            << QStringLiteral("o.closeWriteChannel();") << int(EndBySpinning);
        QTest::newRow("process ended by close")
            << QStringLiteral("o = new QProcess(); o.start('/bin/sh', ['-c', 'read x']); o.waitForStarted();")
            << QStringLiteral("o.close();") << int(EndByDelivering);
        QTest::newRow("watcher watching a path")
            << QStringLiteral("o = new QFileSystemWatcher([dir]);")
            << QStringLiteral("o.removePath(dir);") << 0;
    }
    void holdsEndWithTheirReason()
    {
        QFETCH(QString, make);
        QFETCH(QString, end);
        QFETCH(int, native);
        const int n = 10;
        QScopedPointer<QObject> host(new QObject);
        QScriptEngine engine;
        prepare(engine);
        engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(host.data()));
        engine.globalObject().setProperty(QStringLiteral("fd"), m_pipe[0]);
        engine.globalObject().setProperty(QStringLiteral("dir"), QDir::currentPath());
        EVAL(engine, "var consumer = new QObject(), other = new QObject(), timers = [];"
                     "consumer.eventFilter = function(w, e) { return e.type() == QEvent.User; };"
                     "function make() { var o; " + make.toUtf8() + " return o; }");
        const QString mark = QStringLiteral("o.customEvent = function() { reached(); };");

        // Held: dropped by the script, alive and still overridden.
        EVAL(engine, "var made = []; for (var i = 0; i < " + QByteArray::number(n) + "; ++i) {"
                     "  var o = make(); " + mark.toUtf8() + " made.push(o); }");
        const QList<QPointer<QObject>> held = watch(engine);
        EVAL(engine, "made = [];");
        collect(engine);
        QCOMPARE(living(held), n);
        for (const QPointer<QObject> &o : held) {
            QEvent custom(QEvent::Type(QEvent::User + 1));
            QCoreApplication::sendEvent(o, &custom);
        }
        QCOMPARE(reachedCount, n);

        // Let go: the reason ended, the object goes with its script object.
        EVAL(engine, "made = []; for (var i = 0; i < " + QByteArray::number(n) + "; ++i) made.push(make());");
        const QList<QPointer<QObject>> ended = watch(engine);
        EVAL(engine, "made.forEach(function(o) { " + end.toUtf8() + " }); made = [];");
        switch (native) {
        case EndBySpinning:
            QTest::qWait(100);
            break;
        case EndByCollecting:
            collect(engine);
            QCoreApplication::sendPostedEvents();
            break;
        case EndByDelivering:
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            break;
        case EndByDeletingHost:
            host.reset();
            break;
        }
        collect(engine);
        QVERIFY2(living(ended) <= 2, qPrintable(QString::number(living(ended))));
        // The first ones, still held, are deleted by whoever keeps them at the engine's end.
    }

    // A parent's script object names the children it holds, deleted ones too until a sweep once
    // their count has doubled: a child moving back and forth between two parents, or given the
    // parent it has, is counted once, and starts no sweep however often it moves.
    void movingChildrenStartNoSweep()
    {
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "var p = new QObject(), q = new QObject(), c = new QObject(p), live = [];"
                     "for (var i = 0; i < 10; ++i) live.push(new QObject(p));"
                     "for (var i = 0; i < 30; ++i) new QObject(p).deleteLater();"
                     "QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);");
        const QScriptValue p = engine.globalObject().property(QStringLiteral("p"));
        QCOMPARE(heldChildren(p), 41);
        EVAL(engine, "for (var i = 0; i < 200; ++i) { c.setParent(q); c.setParent(p); c.setParent(p); }");
        QCOMPARE(heldChildren(p), 41);
        EVAL(engine, "c.setParent(q)");
        QCOMPARE(heldChildren(p), 40);
        QCOMPARE(heldChildren(engine.globalObject().property(QStringLiteral("q"))), 1);
        QCOMPARE(engine.evaluate(QStringLiteral("p.children().length")).toInt32(), 10);
    }

    // The host's own setParent lets the child go at once (its former parent hears of it); a sweep
    // lets go of the children deleted since, and of no other.
    void sweepsKeepOnlyChildrenLeft()
    {
        QObject owner;
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "var p = new QObject(), moved = [];"
                     "for (var i = 0; i < 40; ++i) moved.push(new QObject(p));");
        const QScriptValue p = engine.globalObject().property(QStringLiteral("p"));
        const QObjectList children = p.toQObject()->children();
        for (int i = 0; i < 20; ++i)
            children.at(i)->setParent(&owner);
        QCOMPARE(heldChildren(p), 20);
        for (int i = 20; i < 40; ++i)
            delete children.at(i);
        QCOMPARE(heldChildren(p), 20);
        EVAL(engine, "for (var i = 0; i < 100; ++i) new QObject(p);");
        QCOMPARE(heldChildren(p), 100);
        QCOMPARE(owner.children().size(), 20);

        // Wrappers of the host's children of it, which come and go, are swept as they grow.
        EVAL(engine, "var q = new QObject();");
        const QScriptValue q = engine.globalObject().property(QStringLiteral("q"));
        QObject gone;
        for (int i = 0; i < 300; ++i) {
            auto *made = new QObject(q.toQObject());
            EVAL(engine, "q.children()[0].objectName = 'wrapped';");
            QCOMPARE(made->objectName(), QStringLiteral("wrapped"));
            made->setParent(&gone);
        }
        QVERIFY2(heldChildren(q, QLatin1Char('w')) <= 2 * 64, qPrintable(QString::number(heldChildren(q, QLatin1Char('w')))));
    }

    // A parent whose script object is another engine's holds nothing of this engine: the child
    // is kept natively, overrides and all, however it got the parent. So is a filter of another
    // engine's object.
    void otherEnginesParentKeepsNatively()
    {
        QScriptEngine first, second;
        prepare(first);
        prepare(second);
        // One parent free, one held (its timer runs): neither holds the other engine's children.
        EVAL(first, "var p = new QObject(), held = new QObject(); held.startTimer(60000);");
        for (const char *name : {"p", "held"}) {
            QObject *parent = first.evaluate(QString::fromLatin1(name)).toQObject();
            QVERIFY(parent);
            second.globalObject().setProperty(QString::fromLatin1(name), second.newQObject(parent));
        }
        EVAL(second, "var made = [new QObject(p), new QTimer(p), new QObject(), new QObject(held)];"
                     "var q = new QObject(); made.push(new QObject(q));"
                     "made[2].setParent(p); made[4].setParent(held);"
                     "made.forEach(function(c) { c.customEvent = function() { reached(); }; });"
                     "var f = new QObject(); held.installEventFilter(f);"
                     "f.eventFilter = function(w, e) { if (e.type() == QEvent.User) reached(); return false; };");
        const QList<QPointer<QObject>> children = watch(second);
        EVAL(second, "made = []; p = held = q = f = null;");
        collect(second);
        collect(first);
        QCOMPARE(living(children), 5);
        for (const QPointer<QObject> &c : children) {
            QEvent custom(QEvent::User);
            QCoreApplication::sendEvent(c, &custom);
        }
        QCOMPARE(reachedCount, 5);
        QEvent filtered(QEvent::User);
        QCoreApplication::sendEvent(first.evaluate(QStringLiteral("held")).toQObject(), &filtered);
        QVERIFY2(reachedCount > 5, "the filter's override ran");
    }

    // Objects QtCore made under a script's object (a watcher's engine) belong to its family: a
    // filter of them, or a child of theirs, that refers back to the script's object goes with it
    // once nothing reaches either, and lives as long as it does while something reaches it.
    void familiesReachThroughQtCoresObjects()
    {
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "function helper(o) { return o.children()[0]; }"
                     "var made = [];"
                     "for (var i = 0; i < 4; ++i) {"
                     "  var w = new QFileSystemWatcher(); helper(w).installEventFilter(w);"
                     "  var v = new QFileSystemWatcher(), c = new QObject(helper(v)); c.watcher = v;"
                     "  var u = new QFileSystemWatcher(), d = new QObject(helper(u));"
                     "  d.customEvent = function() { reached(u); };"
                     "  var f = new QObject(); f.watcher = u; helper(u).installEventFilter(f);"
                     "  made.push(w, v, c, u, d, f);"
                     "}");
        const QList<QPointer<QObject>> dropped = watch(engine);
        QCOMPARE(living(dropped), 24);
        EVAL(engine, "made = []; w = v = c = u = d = f = null;");
        QCoreApplication::sendPostedEvents();
        collect(engine);
        QVERIFY2(living(dropped) <= 6, qPrintable(QString::number(living(dropped))));

        // The child of a helper stays the script's as long as its keeper does.
        EVAL(engine, "var keepers = [];"
                     "for (var i = 0; i < 4; ++i) {"
                     "  var k = new QFileSystemWatcher(), e = new QObject(helper(k));"
                     "  e.customEvent = function() { reached(); };"
                     "  k.kid = e; keepers.push(k); made.push(e);"
                     "}"
                     "made = [];");
        const QList<QPointer<QObject>> kept = QList<QPointer<QObject>>()
            << engine.evaluate(QStringLiteral("keepers[0].kid")).toQObject();
        QCoreApplication::sendPostedEvents();
        EVAL(engine, "keepers.forEach(function(k) { delete k.kid; });");
        collect(engine);
        QCOMPARE(living(kept), 1);
        QEvent custom(QEvent::User);
        QCoreApplication::sendEvent(kept.first(), &custom);
        QCOMPARE(reachedCount, 1);
        EVAL(engine, "keepers = [];");
        QCoreApplication::sendPostedEvents();
        collect(engine);
        QCOMPARE(living(kept), 0);

        // A helper the host hands the script itself (no member of the family in hand): what the
        // script reaches through it is wrapped as QtScript does, its keeper looked for no
        // further than the calls there are.
        EVAL(engine, "var lender = new QFileSystemWatcher();");
        QObject *lent = engine.evaluate(QStringLiteral("lender")).toQObject()->children().value(0);
        QVERIFY(lent);
        engine.globalObject().setProperty(QStringLiteral("lent"), engine.newQObject(lent));
        EVAL(engine, "var below = lent.children(); lent.objectName = 'lent';");
        QCOMPARE(engine.evaluate(QStringLiteral("below.length")).toInt32(), lent->children().size());
    }

    // A filter of an object no script made holds nothing once it is removed: installing and
    // removing it again and again leaves nothing behind.
    void filterToggledLeavesNothing()
    {
        struct Peek : QObject {
            using QObject::receivers;
        };
        QScriptEngine engine;
        prepare(engine);
        QObject *app = QCoreApplication::instance();
        EVAL(engine, "var f = new QObject(), app = QCoreApplication.instance();");
        const int before = (app->*(&Peek::receivers))(SIGNAL(destroyed(QObject*)));
        EVAL(engine, "for (var i = 0; i < 100; ++i) { app.installEventFilter(f); app.removeEventFilter(f); }"
                     "app.installEventFilter(f); app.installEventFilter(f);");
        QCOMPARE((app->*(&Peek::receivers))(SIGNAL(destroyed(QObject*))), before + 1);
        EVAL(engine, "app.removeEventFilter(f);");
        QCOMPARE((app->*(&Peek::receivers))(SIGNAL(destroyed(QObject*))), before);
    }

    // Parents, children and grandchildren that refer to each other go together once nothing
    // reaches any of them; a child a script reaches keeps its ancestors, with what the script set
    // on them, until it no longer does.
    void familiesGoTogether()
    {
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "var made = [];"
                     "for (var i = 0; i < 10; ++i) {"
                     "  var p = new QObject(), c = new QTimer(p), g = new QObject(c);"
                     "  c.up = p; g.childEvent = function() { reached(c); };"
                     "  p.customEvent = function() { reached(g); };"
                     "  made.push(p, c, g);"
                     "}");
        const QList<QPointer<QObject>> dropped = watch(engine);
        EVAL(engine, "made = [];");
        collect(engine);
        QVERIFY2(living(dropped) <= 6, qPrintable(QString::number(living(dropped))));

        EVAL(engine, "var kids = []; made = [];"
                     "for (var i = 0; i < 10; ++i) {"
                     "  var p = new QObject();"
                     "  p.mark = i; p.customEvent = function() { reached(); };"
                     "  kids.push(new QObject(new QObject(p)));"
                     "  made.push(p);"
                     "}");
        const QList<QPointer<QObject>> ancestors = watch(engine);
        EVAL(engine, "made = [];");
        collect(engine);
        QCOMPARE(living(ancestors), 10);
        for (const QPointer<QObject> &p : ancestors) {
            QEvent custom(QEvent::User);
            QCoreApplication::sendEvent(p, &custom);
        }
        QCOMPARE(reachedCount, 10);
        QCOMPARE(engine.evaluate(QStringLiteral(
                     "kids.filter(function(c, i) { return c.parent().parent().mark === i; }).length"))
                     .toInt32(),
                 10);
        EVAL(engine, "kids = [];");
        collect(engine);
        QVERIFY2(living(ancestors) <= 2, qPrintable(QString::number(living(ancestors))));

        // Moved on (to another parent, or none), a child no longer keeps its former parent.
        EVAL(engine, "var q = new QObject(); made = []; kids = [];"
                     "for (var i = 0; i < 10; ++i) {"
                     "  var p = new QObject(), c = new QObject(p);"
                     "  c.setParent(i % 2 ? q : null); made.push(p); kids.push(c);"
                     "}");
        const QList<QPointer<QObject>> former = watch(engine);
        EVAL(engine, "made = [];");
        collect(engine);
        QVERIFY2(living(former) <= 2, qPrintable(QString::number(living(former))));
        QCOMPARE(engine.evaluate(QStringLiteral("q.children().length")).toInt32(), 5);

        // Taken from its family by the host (a parent of the host's, natively): the family goes,
        // the host's parent keeps the child.
        QObject host;
        EVAL(engine, "made = [];"
                     "for (var i = 0; i < 10; ++i) {"
                     "  var c = new QObject(new QObject());"
                     "  c.customEvent = function() { reached(); };"
                     "  made.push(c);"
                     "}");
        const QList<QPointer<QObject>> taken = watch(engine);
        QList<QPointer<QObject>> families;
        for (const QPointer<QObject> &c : taken) {
            families << c->parent();
            c->setParent(&host);
        }
        EVAL(engine, "made = [];");
        collect(engine);
        QVERIFY2(living(families) <= 2, qPrintable(QString::number(living(families))));
        QCOMPARE(living(taken), 10);
        // Their script objects, overrides and all, stay with them (the host's parent holds them).
        reachedCount = 0;
        for (const QPointer<QObject> &c : taken) {
            QEvent custom(QEvent::User);
            QCoreApplication::sendEvent(c, &custom);
        }
        QCOMPARE(reachedCount, 10);
    }

    // An event another engine posts to an object is delivered to this engine's override; the
    // other engine's script object of it holds nothing. A call of another engine's script tells
    // nothing of what this engine's scripts reach: an object no reason holds then runs QtCore's
    // own implementation (its script object may be gone).
    void otherEnginesCalls()
    {
        QScriptEngine first, second;
        prepare(first);
        prepare(second);
        EVAL(first, "var o = new QObject(), types = [];"
                    "o.event = function(e) { types.push(e.type()); reached(); return true; };");
        QObject *o = first.evaluate(QStringLiteral("o")).toQObject();
        QVERIFY(o);
        second.globalObject().setProperty(QStringLiteral("o"), second.newQObject(o));
        EVAL(second, "QCoreApplication.postEvent(o, new QEvent(QEvent.User));");
        QCoreApplication::sendPostedEvents(o, QEvent::User);
        QCOMPARE(reachedCount, 1);
        EVAL(second, "QCoreApplication.sendEvent(o, new QEvent(QEvent.User));");
        QCOMPARE(reachedCount, 1);
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(o, &user);
        QCOMPARE(reachedCount, 2);
        QCOMPARE(first.evaluate(QStringLiteral("types.join()")).toString(), QStringLiteral("User,User"));
        // Posted by the host and delivered by the other engine's loop: no script asked for it.
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        EVAL(second, "QCoreApplication.processEvents();");
        QCOMPARE(reachedCount, 2);
        // Posted by the other engine's script: it keeps the object until it arrives, though this
        // engine's script dropped it meanwhile.
        EVAL(first, "var p = new QObject(); p.customEvent = function() { reached(); };");
        second.globalObject().setProperty(QStringLiteral("p"),
                                          second.newQObject(first.evaluate(QStringLiteral("p")).toQObject()));
        EVAL(second, "QCoreApplication.postEvent(p, new QEvent(QEvent.User)); p = null;");
        EVAL(first, "p = null;");
        collect(first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::User);
        QCOMPARE(reachedCount, 3);
        reachedCount = 2;
        // This engine's object being destroyed reaches the other engine's script (its parent
        // there hears of it) as null, never as this engine's script object.
        EVAL(second, "var heard = [], parent = new QObject(); parent.startTimer(60000);"
                     "parent.childEvent = function(e) {"
                     "  if (e.type() == QEvent.ChildRemoved) heard.push(e.child());"
                     "};");
        first.globalObject().setProperty(QStringLiteral("parent"),
                                         first.newQObject(second.evaluate(QStringLiteral("parent")).toQObject()));
        EVAL(first, "var child = new QObject(parent); child.deleteLater();");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(second.evaluate(QStringLiteral("heard.length")).toInt32(), 1);
        QVERIFY(second.evaluate(QStringLiteral("heard[0]")).isNull());

        // This engine's override that the other engine's call runs (on a held object: an event
        // sent, a device read) reaches what its script holds: a slot it calls as a plain
        // function (its `this` not the slot's object) holds its object, whose override then sees
        // the deletion asked for.
        EVAL(first, "var x = new QObject(), d = new QIODevice(), y = [new QObject(), new QObject()];"
                    "x.startTimer(60000); d.startTimer(60000); d.open(QIODevice.ReadOnly);"
                    "var del = [y[0].deleteLater, y[1].deleteLater];"
                    "y.forEach(function(o) {"
                    "  o.event = function(e) { if (e.type() == QEvent.DeferredDelete) reached(); return false; };"
                    "});"
                    "x.event = function(e) { if (e.type() == QEvent.User) del[0](); return false; };"
                    "d.readData = function(data, max) { del[1](); return 0; };");
        const QPointer<QObject> asked[] = {first.evaluate(QStringLiteral("y[0]")).toQObject(),
                                           first.evaluate(QStringLiteral("y[1]")).toQObject()};
        for (const char *name : {"x", "d"}) {
            second.globalObject().setProperty(QString::fromLatin1(name),
                                              second.newQObject(first.evaluate(QString::fromLatin1(name)).toQObject()));
        }
        EVAL(second, "QCoreApplication.sendEvent(x, new QEvent(QEvent.User)); d.read(1); x = d = null;");
        EVAL(first, "y = del = null;");
        collect(first);
        reachedCount = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(reachedCount, 2);
        QVERIFY(!asked[0] && !asked[1]);

        // A slot the other engine's connection calls from its timer's delivery takes no hold.
        EVAL(first, "var made = []; for (var i = 0; i < 10; ++i) made.push(new QTimer());");
        const QList<QPointer<QObject>> timers = watch(first);
        QScriptValue lent = second.newArray();
        for (int i = 0; i < timers.size(); ++i)
            lent.setProperty(quint32(i), second.newQObject(timers.at(i)));
        second.globalObject().setProperty(QStringLiteral("made"), lent);
        lent = QScriptValue();
        EVAL(second, "var s = new QTimer(); s.singleShot = true;"
                     "made.forEach(function(t) { s.timeout.connect(t, 'start()'); });"
                     "s.start(0); made = []; s = null;");
        EVAL(first, "made = [];");
        QTRY_VERIFY(static_cast<QTimer *>(timers.last().data())->isActive());
        collect(second);
        collect(first);
        QVERIFY2(living(timers) <= 2, qPrintable(QString::number(living(timers))));
    }

    // What QtCore delivers unbidden (timers, queued calls, and any event inside a script's event
    // loop that no script function entered since asked for) reaches the overrides of an object
    // only while a reason holds it: a script value may still reach it, or not, which the plugin
    // cannot tell. The host's own calls, and a script's, reach them.
    void unbiddenDeliveriesRunQtCoresOwn()
    {
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "var o = new QTimer(), f = new QObject(), seen = [];"
                     "o.event = function(e) { seen.push('event ' + e.type()); return false; };"
                     "o.timerEvent = function(e) { seen.push('timer'); };"
                     "f.eventFilter = function(w, e) { seen.push('filter ' + e.type()); return false; };"
                     "o.installEventFilter(f);"
                     "function taken() { var s = seen.join(); seen = []; return s; }");
        auto *o = qobject_cast<QTimer *>(engine.evaluate(QStringLiteral("o")).toQObject());
        QVERIFY(o);
        const auto taken = [&engine] { return engine.evaluate(QStringLiteral("taken()")).toString(); };
        // A timer the host started, and a queued call.
        const int id = static_cast<QObject *>(o)->startTimer(0);
        QMetaObject::invokeMethod(o, "start", Qt::QueuedConnection, Q_ARG(int, 60000));
        QTest::qWait(20);
        static_cast<QObject *>(o)->killTimer(id);
        QVERIFY(o->isActive());
        o->stop();
        QCOMPARE(taken(), QString());
        // Posted by the host: delivered by a script's loop (the application's, or one of its
        // own), then by the host's.
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        EVAL(engine, "QCoreApplication.processEvents();");
        QCOMPARE(taken(), QString());
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        EVAL(engine, "new QEventLoop().processEvents();");
        QCOMPARE(taken(), QString());
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(o, QEvent::User);
        QCOMPARE(taken(), QStringLiteral("filter 1000,event 1000"));
        // Sent by a script function QtCore runs inside a script's loop (a handler).
        EVAL(engine, "var loop = new QEventLoop(), go = new QTimer();"
                     "go.singleShot = true;"
                     "go.timeout.connect(function() {"
                     "  QCoreApplication.sendEvent(o, new QEvent(QEvent.User)); loop.quit();"
                     "});"
                     "go.start(0); loop.exec();");
        QCOMPARE(taken(), QStringLiteral("filter 1000,event 1000"));

        // A filter the host installed on a held object: nothing holds the filter, which no
        // script reaches (its script object may be collected at any time). Timer events
        // through it run QtCore's filter, before and after a collection.
        QObject keeper;
        EVAL(engine, "var held = new QObject(), g = new QObject(); held.startTimer(60000);"
                     "g.eventFilter = function(w, e) { seen.push('host filter ' + e.type()); return false; };");
        QObject *held = engine.evaluate(QStringLiteral("held")).toQObject();
        QPointer<QObject> filter = engine.evaluate(QStringLiteral("g")).toQObject();
        QVERIFY(held && filter);
        filter->setParent(&keeper);
        held->installEventFilter(filter);
        EVAL(engine, "g = null;");
        QTimerEvent tick(0);
        QCoreApplication::sendEvent(held, &tick);
        QCOMPARE(taken(), QString());
        collect(engine);
        QVERIFY(filter);
        QCoreApplication::sendEvent(held, &tick);
        QCOMPARE(taken(), QString());
    }

    // A slot a script's connection calls has its object in hand (the connection holds it): a
    // timer it starts holds the object, whose overrides run after the script dropped it, until
    // the timer stops. So does a slot connected as a plain function, whose `this` is not its
    // object. (A call another engine's connection makes holds nothing: otherEnginesCalls.)
    void connectedSlotsHoldWhatTheyStart()
    {
        QScriptEngine engine;
        prepare(engine);
        EVAL(engine, "var made = [];"
                     "for (var i = 0; i < 10; ++i) {"
                     "  var s = new QTimer(), t = new QTimer();"
                     "  t.timerEvent = function() { reached(); if (++this.ticks == 3) this.stop(); };"
                     "  t.ticks = 0;"
                     "  s.singleShot = true;"
                     "  if (i % 2) s.timeout.connect(t, 'start()'); else s.timeout.connect(t.start);"
                     "  s.start(0);"
                     "  made.push(t);"
                     "}"
                     "s = t = null;");
        const QList<QPointer<QObject>> timers = watch(engine);
        EVAL(engine, "made = [];");
        collect(engine);
        QTRY_COMPARE(reachedCount, 30);
        collect(engine);
        QVERIFY2(living(timers) <= 2, qPrintable(QString::number(living(timers))));
    }

    // Once the engine's end has begun, objects a native parent keeps run QtCore's own
    // implementation, whatever QtCore delivers or calls; none takes a hold of its script object
    // (a slot called, a re-parenting), and each goes on natively after the engine.
    void nothingRunsOnceTheEndBegan()
    {
        QObject owner, other;
        QPointer<QTimer> timer;
        QPointer<QObject> child, loose;
        int duringEnd = -1;
        {
            QScriptEngine engine;
            prepare(engine);
            engine.globalObject().setProperty(QStringLiteral("owner"), engine.newQObject(&owner));
            EVAL(engine, "var t = new QTimer(owner), c = new QObject(owner), l = new QObject();"
                         "[t, c, l].forEach(function(o) {"
                         "  o.event = function(e) { reached(); return false; };"
                         "  o.timerEvent = o.childEvent = o.customEvent = function() { reached(); };"
                         "  o.eventFilter = function() { reached(); return false; };"
                         "});"
                         "t.start(0);");
            timer = qobject_cast<QTimer *>(engine.evaluate(QStringLiteral("t")).toQObject());
            child = engine.evaluate(QStringLiteral("c")).toQObject();
            loose = engine.evaluate(QStringLiteral("l")).toQObject();
            QVERIFY(timer && child && loose);
            other.installEventFilter(child);
            // Connected after the plugin's own: runs once the end has begun.
            connect(&engine, &QObject::destroyed, this, [&] {
                reachedCount = 0;
                QEvent user(QEvent::User);
                QCoreApplication::sendEvent(timer, &user);
                QCoreApplication::sendEvent(child, &user);
                QCoreApplication::sendEvent(&other, &user);
                QTimerEvent tick(timer->timerId());
                QCoreApplication::sendEvent(timer, &tick);
                QMetaObject::invokeMethod(timer, "start", Q_ARG(int, 0));
                QMetaObject::invokeMethod(loose, "deleteLater");
                loose->setParent(child);
                child->setParent(timer);
                QCoreApplication::sendPostedEvents();
                duringEnd = reachedCount;
            });
        }
        QCOMPARE(duringEnd, 0);
        QVERIFY(timer && child);
        QCOMPARE(child->parent(), timer.data());
        int timeouts = 0;
        connect(timer, &QTimer::timeout, this, [&] { ++timeouts; });
        QTRY_VERIFY(timeouts >= 2);
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(child, &user);
        QCoreApplication::sendEvent(&other, &user);
    }

    // At the engine's end a buffer on a script's byte array moves onto a copy of it, at the same
    // position, when something still holds its family (a native owner of an ancestor); one whose
    // family nothing holds goes with the engine, and its array, which the collector may have
    // finalised already, is not read: nor is that of one the host keeps under an object of its
    // own (below a held script object) after the script dropped it.
    void buffersAtTheEnd()
    {
        QObject owner;
        QPointer<QBuffer> kept, free, truncating, hosted;
        QByteArray freeData("not read"), hostedData;
        qint64 keptPos = -1;
        {
            QScriptEngine engine;
            prepare(engine);
            engine.globalObject().setProperty(QStringLiteral("owner"), engine.newQObject(&owner));
            EVAL(engine, "var b = new QBuffer(new QByteArray('held bytes'), new QObject(new QObject(owner)));"
                         "b.open(QIODevice.ReadWrite); b.seek(5);"
                         "var t = new QBuffer(new QByteArray('gone'), owner);"
                         "t.open(QIODevice.OpenMode(QIODevice.ReadWrite, QIODevice.Truncate));"
                         "t.write(new QByteArray('written')); t.seek(2);"
                         "var f = new QBuffer(new QByteArray('free bytes'), new QObject());"
                         "f.open(QIODevice.ReadWrite); f.seek(5);");
            kept = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("b")).toQObject());
            free = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("f")).toQObject());
            truncating = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("t")).toQObject());
            QVERIFY(kept && free && truncating);
            EVAL(engine, "var ticking = new QObject(); ticking.startTimer(60000);"
                         "var h = new QBuffer(new QByteArray('hosted bytes')); h.open(QIODevice.ReadOnly);");
            hosted = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("h")).toQObject());
            QVERIFY(hosted);
            hosted->setParent(new QObject(engine.evaluate(QStringLiteral("ticking")).toQObject()));
            EVAL(engine, "h = null;");
            collect(engine);
            QVERIFY(hosted);
            connect(&engine, &QObject::destroyed, this, [&] {
                keptPos = kept->pos();
                if (free)
                    freeData = free->data();
                hostedData = hosted->data();
            });
        }
        QVERIFY(!free);
        QVERIFY2(!freeData.contains("free"), freeData.constData());
        // Empty, or a copy of bytes that still lived: never read from the collected array.
        QVERIFY2(hostedData.isEmpty() || hostedData == "hosted bytes", hostedData.constData());
        QVERIFY(kept);
        QCOMPARE(keptPos, qint64(5));
        QCOMPARE(kept->data(), QByteArray("held bytes"));
        QCOMPARE(kept->readAll(), QByteArray("bytes"));
        kept->write("!");
        QCOMPARE(kept->data(), QByteArray("held bytes!"));
        QVERIFY(truncating);
        QCOMPARE(truncating->data(), QByteArray("written"));
        QCOMPARE(truncating->readAll(), QByteArray("itten"));
    }

    // Objects moved to another thread go on with copies of the script values they worked on: a
    // buffer below the object moved keeps its bytes and position.
    void movedBuffersTakeTheirBytes()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine);
        engine.globalObject().setProperty(QStringLiteral("anchor"), engine.newQObject(&worker.anchor));
        EVAL(engine, "var bytes = new QByteArray('abc'), p = new QObject();"
                     "var b = new QBuffer(bytes, new QObject(p));"
                     "b.open(QIODevice.ReadWrite); b.seek(3);"
                     "p.moveToThread(anchor.thread());");
        auto *buffer = qobject_cast<QBuffer *>(engine.evaluate(QStringLiteral("b")).toQObject());
        QVERIFY(buffer);
        QByteArray data;
        QObject *top = engine.evaluate(QStringLiteral("p")).toQObject();
        worker.run([&] {
            buffer->write("def");
            data = buffer->data();
            delete top;
        });
        QCOMPARE(data, QByteArray("abcdef"));
        QCOMPARE(engine.evaluate(QStringLiteral("bytes.size()")).toInt32(), 3);
    }

    // An object moved away and back (by native code) is at home again: the host's events reach
    // its overrides; collected, it is deleted by a deferred deletion, as one that left is.
    void movedAwayAndBack()
    {
        Worker worker;
        QScriptEngine engine;
        prepare(engine);
        engine.globalObject().setProperty(QStringLiteral("anchor"), engine.newQObject(&worker.anchor));
        EVAL(engine, "var o = new QObject();"
                     "o.event = function(e) { reached(); return false; };"
                     "o.moveToThread(anchor.thread());");
        QPointer<QObject> o = engine.evaluate(QStringLiteral("o")).toQObject();
        QVERIFY(o);
        QThread *home = QThread::currentThread();
        worker.run([&] { o->moveToThread(home); });
        QCOMPARE(o->thread(), home);
        reachedCount = 0;   // its ThreadChange reached the override before it left
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(o, &user);
        QCOMPARE(reachedCount, 1);
        EVAL(engine, "o = null;");
        collect(engine);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!o);
    }

    // Of a family moved away, only the object moved goes once its script object is collected:
    // a descendant that found another owner there stays with it.
    void movedDescendantsStayWithTheirOwner()
    {
        Worker worker;
        QList<QPointer<QObject>> tops, kids;
        {
            QScriptEngine engine;
            prepare(engine);
            engine.globalObject().setProperty(QStringLiteral("anchor"), engine.newQObject(&worker.anchor));
            EVAL(engine, "var made = [];"
                         "for (var i = 0; i < 10; ++i) {"
                         "  var p = new QObject(), c = new QObject(p);"
                         "  p.moveToThread(anchor.thread());"
                         "  made.push(p, c);"
                         "}");
            const QList<QPointer<QObject>> moved = watch(engine);
            for (int i = 0; i < moved.size(); i += 2) {
                tops << moved.at(i);
                kids << moved.at(i + 1);
            }
            QObject *anchor = &worker.anchor;
            worker.run([&] {
                for (const QPointer<QObject> &c : kids)
                    c->setParent(anchor);
            });
            EVAL(engine, "made = [];");
            collect(engine);
            QTRY_VERIFY(living(tops) <= 5);
            worker.run([] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
            QCOMPARE(living(kids), 10);
        }
        // The engine's end hands the rest of the tops to their thread too.
        QTRY_COMPARE(living(tops), 0);
        worker.run([] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
        QCOMPARE(living(kids), 10);
    }

private:
    enum { EndBySpinning = 1, EndByDelivering, EndByDeletingHost, EndByCollecting };
    int m_pipe[2];
};

QTEST_GUILESS_MAIN(tst_SelfLinks)
#include "tst_selflinks.moc"
