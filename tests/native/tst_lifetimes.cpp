// What scripts make and drop is freed: memory stays flat over many rounds, and nothing of the
// plugin's hangs under the engine, where a script could reach it.
#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtCore/QFile>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

// Freed memory goes back at once, so that the process's size shows what is still held.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=0"; }

namespace {

qint64 residentKiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 : -1;
}

} // namespace

class tst_Lifetimes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

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
        const int n = 25000;
        for (int i = 0; i < 2; ++i)
            round.call(QScriptValue(), QScriptValueList() << n);
        const qint64 before = residentKiB();
        for (int i = 0; i < 8; ++i)
            round.call(QScriptValue(), QScriptValueList() << n);
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
        const qint64 grown = residentKiB() - before;
        // Kept objects would take tens of megabytes here (200,000 of them).
        QVERIFY2(grown < 8 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
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
