// What scripts cannot see of devices and processes: native readers calling a device written in
// script, and processes that the engine's end or its collector ends (killed and reaped).
#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QPointer>
#include <QtCore/QProcess>
#include <QtCore/QTextStream>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace {

// Gone for good: no process, not even a zombie waiting to be reaped.
bool reaped(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

qint64 pidOf(QScriptEngine &engine, const QString &name)
{
    const auto *p = qobject_cast<QProcess *>(engine.globalObject().property(name).toQObject());
    return p ? p->processId() : 0;
}

enum End { HostDeletes, Collected, EngineEnds };

// Fails on QtScript's own warning that it refused a handler inside a collection: the plugin lets
// none be called there.
struct NoScriptRefusals {
    NoScriptRefusals() { previous = qInstallMessageHandler(check); }
    ~NoScriptRefusals() { qInstallMessageHandler(previous); }
    static void check(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (text.startsWith(QLatin1String("QtScript:")))
            qFatal("%s", qPrintable(text));
        previous(type, context, text);
    }
    static inline QtMessageHandler previous = nullptr;
};

} // namespace

class tst_IO : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    // QtCore's own readers call the script's readData and take only what it supplied.
    void nativeReaderOfAScriptDevice()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const QScriptValue device = engine.evaluate(QStringLiteral(
            "var src = new QBuffer(new QByteArray('first line\\nsecond line\\n'));"
            "src.open(QIODevice.ReadOnly);"
            "var d = new QIODevice();"
            "d.isSequential = function() { return true; };"
            "d.readData = function(buf, max) { return src.getChar(buf) ? 5 : 0; };"
            "d.open(QIODevice.ReadOnly); d;"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
        auto *io = qobject_cast<QIODevice *>(device.toQObject());
        QVERIFY(io);
        QTextStream stream(io);
        QCOMPARE(stream.readLine(), QStringLiteral("first line"));
        QCOMPARE(stream.readLine(), QStringLiteral("second line"));
        QVERIFY(stream.atEnd());
    }

    void runningProcessesEndWithTheEngine()
    {
        qint64 pids[2] = {0, 0};
        QElapsedTimer clock;
        {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            engine.evaluate(QStringLiteral(
                "var p = new QProcess(); p.start('/bin/sh', ['-c', 'sleep 60']); p.waitForStarted();"
                "var parent = new QObject();"
                "var q = new QProcess(parent); q.start('/bin/sh', ['-c', 'sleep 60']); q.waitForStarted();"
                "p.stateChanged.connect(function() { throw new Error('no script runs now'); });"));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
            pids[0] = pidOf(engine, QStringLiteral("p"));
            pids[1] = pidOf(engine, QStringLiteral("q"));
            QVERIFY(pids[0] > 0 && pids[1] > 0);
            clock.start();
        }
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(reaped(pids[0]));
        QVERIFY(reaped(pids[1]));
    }

    // A process dropped while it runs goes on and reports, as a native one does until it is
    // deleted; once it has finished the collector takes it.
    void droppedProcessesFinishFirst()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.evaluate(QStringLiteral(
            "var code = -1, p = new QProcess();"
            "p['finished(int,QProcess::ExitStatus)'].connect(function(c) { code = c; });"
            "p.start('/bin/sh', ['-c', 'sleep 0.3; exit 3']); p.waitForStarted();"));
        QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
        const qint64 pid = pidOf(engine, QStringLiteral("p"));
        QVERIFY(pid > 0);
        const QPointer<QObject> process = engine.globalObject().property(QStringLiteral("p")).toQObject();
        engine.evaluate(QStringLiteral("p = null;"));
        for (int i = 0; i < 3; ++i) {
            engine.collectGarbage();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(process);
        QTRY_COMPARE(engine.evaluate(QStringLiteral("code")).toInt32(), 3);
        QTRY_VERIFY((engine.collectGarbage(), process.isNull()));
        QVERIFY(reaped(pid));
    }

    // A process that goes while it runs is killed and reaped, and reports it as QtCore's own
    // destructor does: to native receivers always; to the script's handlers only where a script
    // may run (not while the collector deletes it, nor at the engine's end).
    void runningProcessReportsItsEnd_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("scriptHears");
        QTest::newRow("host's delete") << QStringLiteral("null") << int(HostDeletes) << true;
        QTest::newRow("host's delete of a script object's child")
            << QStringLiteral("new QObject()") << int(HostDeletes) << true;
        QTest::newRow("host's delete of a host object's child")
            << QStringLiteral("owner") << int(HostDeletes) << true;
        QTest::newRow("collected, started by the host")
            << QStringLiteral("null") << int(Collected) << false;
        QTest::newRow("engine's end") << QStringLiteral("null") << int(EngineEnds) << false;
    }
    void runningProcessReportsItsEnd()
    {
        QFETCH(QString, parent);
        QFETCH(int, end);
        QFETCH(bool, scriptHears);
        QObject owner;
        QStringList native;
        qint64 pid = 0;
        QTest::ignoreMessage(QtWarningMsg,
                             "QProcess: Destroyed while process (\"/bin/sh\") is still running.");
        {
            const NoScriptRefusals refusals;
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            engine.globalObject().setProperty(QStringLiteral("owner"), engine.newQObject(&owner));
            engine.evaluate(QStringLiteral(
                "function hear(s) { owner.objectName += String(s) + ' '; }"
                "var p = new QProcess(%1); p.stateChanged.connect(hear);"
                "p['finished(int,QProcess::ExitStatus)'].connect(function(c, s) { hear(s); });")
                                .arg(parent));
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
            const QPointer<QProcess> process = qobject_cast<QProcess *>(
                engine.globalObject().property(QStringLiteral("p")).toQObject());
            QVERIFY(process);
            // Started natively, the process is held by nothing: its script object goes.
            if (end == Collected)
                process->start(QStringLiteral("/bin/sh"),
                               {QStringLiteral("-c"), QStringLiteral("sleep 60")});
            else
                engine.evaluate(QStringLiteral("p.start('/bin/sh', ['-c', 'sleep 60']);"));
            QVERIFY(process->waitForStarted());
            pid = process->processId();
            owner.setObjectName(QString());
            QObject::connect(process, &QProcess::stateChanged,
                             [&](QProcess::ProcessState s) { native << QString::number(s); });
            QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                             [&](int, QProcess::ExitStatus s) { native << QString::number(s); });
            if (end == HostDeletes)
                delete process.data();
            if (end == Collected) {
                engine.evaluate(QStringLiteral("p = null;"));
                QTRY_VERIFY((engine.collectGarbage(), process.isNull()));
            }
        }
        // NotRunning (0), then CrashExit (1).
        QCOMPARE(native.join(QLatin1Char(',')), QStringLiteral("0,1"));
        QCOMPARE(owner.objectName(),
                 scriptHears ? QStringLiteral("NotRunning CrashExit ") : QString());
        QVERIFY(reaped(pid));
    }

    // A buffer on a script's byte array that a native parent keeps past the engine's end has
    // taken a copy of the array, at its open mode and position.
    void bufferOutlivesItsEngine()
    {
        QObject owner;
        QBuffer *buffer = nullptr;
        {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            engine.globalObject().setProperty(QStringLiteral("owner"), engine.newQObject(&owner));
            const QScriptValue b = engine.evaluate(QStringLiteral(
                "var bytes = new QByteArray('hello');"
                "var b = new QBuffer(bytes, owner);"
                "b.open(QIODevice.OpenMode(QIODevice.ReadWrite)); b.seek(5); b.write(' world');"
                "b.seek(6); b"));
            QVERIFY(!engine.hasUncaughtException());
            buffer = qobject_cast<QBuffer *>(b.toQObject());
            QVERIFY(buffer);
        }
        QCOMPARE(buffer->data(), QByteArray("hello world"));
        QVERIFY(buffer->isOpen());
        QCOMPARE(buffer->pos(), qint64(6));
        QCOMPARE(buffer->readAll(), QByteArray("world"));
        buffer->write("!");
        QCOMPARE(buffer->data(), QByteArray("hello world!"));
    }
};

QTEST_GUILESS_MAIN(tst_IO)
#include "tst_io.moc"
