// Events that only native code can make: types without a key in the script's table.
#include <QtCore/QCoreApplication>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

class tst_Events : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    void keylessTypeIsUndefined()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine.hasUncaughtException());
        const QScriptValue o = engine.evaluate(QStringLiteral(
            "var seen = []; var o = new QObject();"
            "o.event = function(e) { seen.push(typeof e.type(), e.type() === QEvent.MaxUser); return true; };"
            "o"));
        QObject *object = o.toQObject();
        QVERIFY(object);
        // 1001 and Qt 5's SockClose have no key; 65535 has.
        QEvent keyless(QEvent::Type(1001));
        QVERIFY(QCoreApplication::sendEvent(object, &keyless));
        QEvent qt5Only(QEvent::SockClose);
        QVERIFY(QCoreApplication::sendEvent(object, &qt5Only));
        QEvent max(QEvent::MaxUser);
        QVERIFY(QCoreApplication::sendEvent(object, &max));
        QCOMPARE(engine.evaluate(QStringLiteral("seen.join()")).toString(),
                 QStringLiteral("undefined,false,undefined,false,object,true"));
    }
};

QTEST_GUILESS_MAIN(tst_Events)
#include "tst_events.moc"
