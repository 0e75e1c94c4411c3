// What scripts make and drop is freed: memory stays flat over many rounds, and nothing of the
// plugin's hangs under the engine, where a script could reach it.
#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValueIterator>
#include <QtTest/QtTest>

#include "liveobjects.h"

#include <atomic>

#include <malloc.h>


// The sanitizers' count of the bytes allocated and not yet freed (absent without them).
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

// Freed memory goes back at once.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=0"; }

namespace {

// The bytes the process has allocated and not freed: exact, unlike its resident size, so that a
// few thousand objects show a leak.
qint64 heapBytes()
{
    if (__sanitizer_get_current_allocated_bytes)
        return qint64(__sanitizer_get_current_allocated_bytes());
    return qint64(mallinfo2().uordblks);
}


} // namespace

class tst_Lifetimes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QVERIFY(liveobjects::start());
    }
    void cleanupTestCase() { liveobjects::stop(); }

    void droppedObjectsAreFreed_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("sent events") << QStringLiteral("QCoreApplication.sendEvent(o, new QEvent(QEvent.User));");
        QTest::newRow("hashes") << QStringLiteral("new QCryptographicHash(QCryptographicHash.Sha1).addData(b);");
        QTest::newRow("event loops") << QStringLiteral("(function() { var l = new QEventLoop(); l.isRunning(); })();");
        QTest::newRow("timer events") << QStringLiteral("QCoreApplication.sendEvent(o, new QTimerEvent(3));");
        QTest::newRow("data streams") << QStringLiteral("new QDataStream(b, QIODevice.ReadWrite).writeInt(i);");
        QTest::newRow("text streams") << QStringLiteral("new QTextStream(b).writeString('x');");
    }

    void droppedObjectsAreFreed()
    {
        QFETCH(QString, body);
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine.hasUncaughtException());
        engine.evaluate(QStringLiteral("var o = new QObject(), b = new QByteArray(\"abc\");"
                                       "function round(n) { for (var i = 0; i < n; ++i) { %1 } gc(); }")
                            .arg(body));
        QScriptValue round = engine.globalObject().property(QStringLiteral("round"));
        const int n = 2000;
        for (int i = 0; i < 2; ++i)
            round.call(QScriptValue(), QScriptValueList() << n);
        const qint64 before = heapBytes();
        for (int i = 0; i < 4; ++i)
            round.call(QScriptValue(), QScriptValueList() << n);
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
        const qint64 grown = heapBytes() - before;
        // The heap is flat to a few hundred bytes; 8,000 objects kept, or as little as four bytes
        // leaked with each, would take more.
        QVERIFY2(grown < 32 * 1024, qPrintable(QStringLiteral("grew by %1 bytes").arg(grown)));
    }

    // Groups that refer to each other only through script values and the plugin's own references
    // (a stream's device, a child's parent, a reader's resolver) go once a script drops them. Each
    // group has QObjects, counted as they are made and destroyed.
    void droppedGroupsAreCollected_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("child refers to its parent") << QStringLiteral(
            "var p = new QObject(), c = new QObject(p); c.owner = p;");
        QTest::newRow("child's override refers to its parent") << QStringLiteral(
            "var p = new QTimer(), c = new QObject(new QObject(p));"
            "c.timerEvent = function() { p.stop(); };");
        QTest::newRow("child moved from a parent that stays") << QStringLiteral(
            "var c = new QObject(kept), q = new QObject(); c.setParent(q); c.owner = q;");
        QTest::newRow("child taken from a parent that stays") << QStringLiteral(
            "var c = new QObject(kept); c.setParent(null);");
        QTest::newRow("device refers to its text stream") << QStringLiteral(
            "var b = new QBuffer(); b.open(QIODevice.ReadWrite);"
            "var s = new QTextStream(b); b.user = s; s.writeString('x'); s.flush();");
        QTest::newRow("device's override refers to its data stream") << QStringLiteral(
            "var b = new QBuffer(), s = new QDataStream(b); b.open(QIODevice.ReadWrite);"
            "b.atEnd = function() { return s.atEnd(); }; s.writeInt(1);");
        QTest::newRow("bytes refer to their data stream") << QStringLiteral(
            "var bytes = new QByteArray(), s = new QDataStream(bytes, QIODevice.WriteOnly);"
            "bytes.user = s; bytes.tag = new QObject(); s.writeInt(1);");
        QTest::newRow("device refers to its reader") << QStringLiteral(
            "var b = new QBuffer(new QByteArray('<a/>')); b.open(QIODevice.ReadOnly);"
            "var r = new QXmlStreamReader(b); b.user = r; r.readNext();");
        QTest::newRow("device refers to its writer") << QStringLiteral(
            "var b = new QBuffer(); b.open(QIODevice.WriteOnly);"
            "var w = new QXmlStreamWriter(); w.setDevice(b); b.user = w; w.writeEmptyElement('a');");
        QTest::newRow("bytes refer to their writer") << QStringLiteral(
            "var bytes = new QByteArray(), w = new QXmlStreamWriter(bytes);"
            "bytes.user = w; bytes.tag = new QObject(); w.writeEmptyElement('a');");
        QTest::newRow("resolver's function refers to its reader") << QStringLiteral(
            "var r = new QXmlStreamReader('<!DOCTYPE a><a>&e;</a>'), res = new QXmlStreamEntityResolver();"
            "res.tag = new QObject(); res.resolveUndeclaredEntity = function() { return r.name(); };"
            "r.setEntityResolver(res); while (!r.atEnd()) r.readNext();");
        QTest::newRow("bytes refer to their buffer") << QStringLiteral(
            "var bytes = new QByteArray('x'), b = new QBuffer(bytes); bytes.user = b;");
    }

    void droppedGroupsAreCollected()
    {
        QFETCH(QString, body);
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine.hasUncaughtException());
        // The collector scans the native stack conservatively: groups are made in frames that
        // have returned, and collected several times over.
        engine.evaluate(QStringLiteral("var kept = new QObject();"
                                       "function group() { %1 }"
                                       "function round(n) { for (var i = 0; i < n; ++i) group(); }"
                                       "function collect() { for (var i = 0; i < 3; ++i) gc(); }")
                            .arg(body));
        QScriptValue round = engine.globalObject().property(QStringLiteral("round"));
        QScriptValue collect = engine.globalObject().property(QStringLiteral("collect"));
        const qint64 before = liveobjects::count;
        for (int i = 0; i < 3; ++i) {
            round.call(QScriptValue(), QScriptValueList() << 700);
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
            collect.call();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // A group kept would leave at least one object each: 2,100 here.
        const qint64 left = liveobjects::count - before;
        QVERIFY2(left < 200, qPrintable(QStringLiteral("%1 objects left").arg(left)));
    }

    // A parent's script object holds its children's in its internal data, where no script
    // reaches; children deleted since are let go as more arrive, so what it holds stays in
    // proportion to the children it has.
    void heldChildrenArePruned()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const QScriptValue p = engine.evaluate(QStringLiteral(
            "var p = new QObject(), few = [];"
            "for (var i = 0; i < 10; ++i) few.push(new QObject(p));"
            "for (var round = 0; round < 100; ++round) {"
            "  for (var i = 0; i < 100; ++i) new QObject(p).deleteLater();"
            "  QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
            "} p"));
        QVERIFY(!engine.hasUncaughtException());
        int held = 0;
        QScriptValueIterator it(p.data());
        while (it.hasNext()) {
            it.next();
            held += it.value().isQObject();
        }
        QVERIFY2(held >= 10 && held <= 256, qPrintable(QString::number(held)));
        QCOMPARE(engine.evaluate(QStringLiteral("p.children().length")).toInt32(), 10);
    }

    // A script reaches the engine as the watched object of an application-wide event filter.
    void engineIsOutOfReach()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.evaluate(QStringLiteral(
            "var report = [];"
            "var f = new QObject();"
            "f.eventFilter = function(watched, e) {"
            "  if (e.type() != QEvent.User || watched.objectName != 'the engine') return false;"
            "  report.push(typeof watched.deleteLater, QObject.prototype.children.call(watched).length);"
            "  try { watched.setParent(new QObject()); report.push('re-parented'); }"
            "  catch (err) { report.push(err.name); }"
            "  return true;"
            "};"
            "QCoreApplication.instance().installEventFilter(f);"));
        QVERIFY(!engine.hasUncaughtException());
        engine.setObjectName(QStringLiteral("the engine"));
        QVERIFY(engine.children().isEmpty());
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(&engine, &user);
        QCOMPARE(engine.evaluate(QStringLiteral("report.join()")).toString(),
                 QStringLiteral("undefined,0,TypeError"));
        QVERIFY(engine.parent() == nullptr);
        engine.evaluate(QStringLiteral("QCoreApplication.instance().removeEventFilter(f)"));
    }

    // Objects the host made and wrapped with the engine's own wrapping (deleteLater included),
    // deleted by a script while they are in use: the deletion waits for the call, then happens.
    void hostObjectsInUseWait_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("a script's child is in its override")
            << QStringLiteral("var c = new QObject(host);"
                              "c.event = function() { kill(host); return true; };"
                              "QCoreApplication.sendEvent(c, new QEvent(QEvent.User));");
        QTest::newRow("a bound call on it runs a script's override")
            << QStringLiteral("var p = new QObject();"
                              "p.childEvent = function(e) { if (e.type() == QEvent.ChildAdded) kill(host); };"
                              "QObject.prototype.setParent.call(host, p);"
                              "QObject.prototype.setParent.call(host, null);");
    }
    void hostObjectsInUseWait()
    {
        QFETCH(QString, script);
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QPointer<QObject> host = new QObject;
        engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(host));
        engine.evaluate(QStringLiteral(
            "var during = [];"
            "function kill(o) {"
            "  o.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
            "  during.push(o.objectName !== undefined);"
            "}") + script);
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
        QCOMPARE(engine.evaluate(QStringLiteral("during.join()")).toString(),
                 QStringLiteral("true"));
        QVERIFY(host);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!host);
    }

    // The loop's dispatcher, handed to a script with the engine's own wrapping, is never deleted.
    void dispatcherStays()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        engine.globalObject().setProperty(QStringLiteral("d"), engine.newQObject(dispatcher));
        engine.evaluate(QStringLiteral(
            "d.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"));
        QVERIFY(!engine.hasUncaughtException());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QAbstractEventDispatcher::instance(), dispatcher);
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        QTRY_VERIFY(fired);
    }
};

QTEST_GUILESS_MAIN(tst_Lifetimes)
#include "tst_lifetimes.moc"
