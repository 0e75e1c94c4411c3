// Data and text streams on devices made natively: a device deleted behind the script's back is
// let go by every stream on it, whichever class's method uses the stream next, and a stream the
// engine deletes at its end leaves its text in a device that is still there.
#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

class tst_Streams : public QObject
{
    Q_OBJECT

private:
    static void load(QScriptEngine &engine)
    {
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine.hasUncaughtException());
    }
    static QString run(QScriptEngine &engine, const QString &code)
    {
        const QScriptValue result = engine.evaluate(code);
        if (engine.hasUncaughtException())
            return QStringLiteral("uncaught: ") + engine.uncaughtException().toString();
        return result.toString();
    }

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    void deviceDeletedNatively()
    {
        QScriptEngine engine;
        load(engine);
        auto *device = new QBuffer;
        device->setObjectName(QStringLiteral("native"));
        device->open(QIODevice::ReadWrite);
        engine.globalObject().setProperty(QStringLiteral("dev"), engine.newQObject(device));
        QCOMPARE(run(engine, QStringLiteral(
                     "var ds = new QDataStream(dev), ts = new QTextStream(dev);"
                     "ds.writeInt(7); ts.writeString('pending');"
                     "[ds.device().objectName, ts.device().objectName].join()")),
                 QStringLiteral("native,native"));
        QCOMPARE(device->data(), QByteArray("\0\0\0\7", 4));
        delete device;
        // The first use after the deletion is another class's: it must find no device either.
        QCOMPARE(run(engine, QStringLiteral(
                     "var b = new QByteArray('x'); b.readFrom(ds);"
                     "new QUrl('http://h/').writeTo(ds);"
                     "ts.writeString('more'); ts.flush();"
                     "[b.isNull(), ds.device(), ds.atEnd(), ts.device(),"
                     " ts.status() == QTextStream.Ok].join()")),
                 QStringLiteral("true,,true,,true"));
    }

    void engineEndFlushesIntoLiveDevice()
    {
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        {
            QScriptEngine engine;
            load(engine);
            engine.globalObject().setProperty(QStringLiteral("dev"), engine.newQObject(&device));
            QCOMPARE(run(engine, QStringLiteral(
                         "var ts = new QTextStream(dev); ts.writeString('left in the stream');"
                         "new QDataStream(dev).writeShort(0x4142); 'ok'")),
                     QStringLiteral("ok"));
            QCOMPARE(device.data(), QByteArray("AB"));
        }
        QCOMPARE(device.data(), QByteArray("ABleft in the stream"));
    }

    void ownBufferGoesWithTheStream()
    {
        QPointer<QObject> buffer;
        {
            QScriptEngine engine;
            load(engine);
            const QScriptValue dev = engine.evaluate(
                QStringLiteral("var s = new QDataStream(new QByteArray('abcd')); s.device()"));
            buffer = dev.toQObject();
            QVERIFY(buffer);
            QCOMPARE(run(engine, QStringLiteral("s.readInt()")), QStringLiteral("1633837924"));
        }
        QVERIFY(!buffer);
    }
};

QTEST_GUILESS_MAIN(tst_Streams)
#include "tst_streams.moc"
