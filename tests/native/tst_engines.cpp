// Many engines in one process: engines made and deleted one after another never leave a later
// engine anything of theirs, whatever their scripts left for the engine's end; and engines on
// several threads at once compute what one engine computes on the main thread.
#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

// As the plugin declares it: a script byte array's own array, found in place.
Q_DECLARE_METATYPE(QByteArray *)

// Freed memory is reused at once, as in a release build: a later engine often lands where an
// earlier one was.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=0"; }

namespace {

QScriptValue print(QScriptContext *context, QScriptEngine *engine)
{
    QStringList words;
    for (int i = 0; i < context->argumentCount(); ++i)
        words << context->argument(i).toString();
    QScriptValue out = engine->globalObject().property(QStringLiteral("printed__"));
    out.setProperty(out.property(QStringLiteral("length")).toUInt32(),
                    words.join(QLatin1Char(' ')));
    return QScriptValue();
}

// An engine as a host makes one: print() collecting lines, no arguments, "qt.core" imported.
void prepare(QScriptEngine &engine)
{
    engine.importExtension(QStringLiteral("qt.core"));
    engine.globalObject().setProperty(QStringLiteral("print"), engine.newFunction(print));
    engine.globalObject().setProperty(QStringLiteral("printed__"), engine.newArray());
    engine.globalObject().setProperty(QStringLiteral("args"), engine.newArray());
}

QString failure(QScriptEngine &engine)
{
    return engine.uncaughtException().toString() + QStringLiteral(" at line ")
           + QString::number(engine.uncaughtExceptionLineNumber());
}

// What an import gives, read by a script: functions with their lengths on prototypes and
// constructors, enumeration values, and conversions to enumeration values and flags.
const char *const importProbe =
    "[typeof QEventLoop.prototype.exec, QEventLoop.prototype.exec.length, QObject.length,"
    " typeof new QTimer().timerId, QTimer.length, QByteArray.prototype.indexOf.length,"
    " QFile.exists.length,"
    " QEventLoop.WaitForMoreEvents.valueOf(), QEventLoop.WaitForMoreEvents.toString(),"
    " QEventLoop.ProcessEventsFlag(4) === QEventLoop.WaitForMoreEvents,"
    " new QFile().error() === QFile.NoError, new QTextStream().status() === QTextStream.Ok,"
    " QIODevice.OpenMode(QIODevice.ReadOnly, QIODevice.Text).toString(),"
    " Qt.AlignLeft.valueOf(), QEventLoop.prototype.constructor === QEventLoop,"
    " QObject.prototype.hasOwnProperty('findChild')].join()";

// Leaves work for the engine's end: a buffer that outlives the engine (its parent is the
// application) working in place on a script's byte array, with overrides that would keep it
// open and misplace it and a handler of its closing; text waiting in streams on it, on a device
// written in script and on the private buffers of a data stream and an XML writer; a runnable
// queued on a pool and a timer with an override. reached() counts script code that runs.
const char *const leaveWork =
    "var app = QCoreApplication.instance();"
    "var bytes = new QByteArray('0123456789');"
    "var buffer = new QBuffer(bytes, app);"
    "buffer.objectName = 'outlives its engine';"
    "buffer.open(QIODevice.ReadWrite);"
    "buffer.seek(4);"
    "buffer.close = function() { reached(); };"
    "buffer.open = function() { reached(); return false; };"
    "buffer.seek = function() { reached(); return false; };"
    "buffer.pos = function() { reached(); return 1; };"
    "buffer.isSequential = function() { reached(); return true; };"
    "buffer.size = function() { reached(); return 0; };"
    "buffer.aboutToClose.connect(function() { reached(); buffer.write(new QByteArray('late')); });"
    "var onBuffer = new QTextStream(buffer);"
    "onBuffer.writeString('pending');"
    "var dataBytes = new QByteArray();"
    "var data = new QDataStream(dataBytes, QIODevice.WriteOnly);"
    "data.writeInt(7);"
    "var onData = new QTextStream(data.device());"
    "onData.writeString('into a private buffer');"
    "var xmlBytes = new QByteArray();"
    "var writer = new QXmlStreamWriter(xmlBytes);"
    "writer.writeStartDocument();"
    "var onWriter = new QTextStream(writer.device());"
    "onWriter.writeString('into a private buffer');"
    "var device = new QIODevice();"
    "device.writeData = function(d, n) { reached(); return n; };"
    "device.open(QIODevice.WriteOnly);"
    "var onDevice = new QTextStream(device);"
    "onDevice.writeString('pending');"
    "var pool = new QThreadPool(), runnable = new QRunnable();"
    "runnable.run = function() { reached(); };"
    "pool.start(runnable);"
    "var timer = new QTimer();"
    "timer.timerEvent = function() { reached(); };"
    "timer.start(0);"
    "'left';";

int reachedCount = 0;

QScriptValue reached(QScriptContext *, QScriptEngine *)
{
    ++reachedCount;
    return QScriptValue();
}

// Besides the examples: byte arrays written in place, overrides, enumeration results, the
// process-wide codec for C strings, set over and over, and a timer's override in an event loop.
const char *const workload = R"(
var out = [], bytes = new QByteArray(), buffer = new QBuffer(bytes);
buffer.open(QIODevice.WriteOnly);
var ts = new QTextStream(buffer);
for (var i = 0; i < 300; ++i)
    ts.writeString('line ' + i + '\n');
ts.flush();
new QDataStream(bytes, QIODevice.Append).writeDouble(2.5);
var hash = QCryptographicHash.hash(bytes, QCryptographicHash.Md5).toHex();
out.push(bytes.size(), QTextCodec.codecForMib(106).toUnicode(hash));
var o = new QObject();
o.event = function(e) { return e.type() == QEvent.User; };
out.push(QCoreApplication.sendEvent(o, new QEvent(QEvent.User)), QEventLoop.WaitForMoreEvents,
         new QFile('/nonexistent/x').error(), new QIODevice.OpenMode(QIODevice.Append));
var latin1 = QTextCodec.codecForName(new QByteArray('ISO-8859-1'));
for (var i = 0; i < 50; ++i) {
    QTextCodec.setCodecForCStrings(i % 2 ? latin1 : null);
    out.push(new QByteArray('caf\u00e9').size());
}
QTextCodec.setCodecForCStrings(null);
var loop = new QEventLoop(), ticks = 0, timer = new QTimer();
timer.timerEvent = function(e) {
    if (++ticks == 3)
        loop.exit(ticks);
};
timer.start(1);
out.push(loop.exec());
print(out.join(' '));
)";

// A script and the name it runs under.
using Workload = QPair<QString, QString>;

// Each workload in an engine of its own, on the calling thread: what each printed, or its failure.
QStringList runWorkloads(const QVector<Workload> &workloads)
{
    QStringList results;
    for (const Workload &w : workloads) {
        QScriptEngine engine;
        prepare(engine);
        engine.evaluate(w.second, w.first);
        results << (engine.hasUncaughtException()
                        ? failure(engine)
                        : engine.evaluate(QStringLiteral("printed__.join('\\n')")).toString());
    }
    return results;
}

class Worker : public QThread
{
public:
    explicit Worker(const QVector<Workload> &workloads) : m_workloads(workloads) {}
    QStringList results;

protected:
    void run() override { results = runWorkloads(m_workloads); }

private:
    const QVector<Workload> m_workloads;
};

} // namespace

class tst_Engines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    void laterEnginesImportWhole()
    {
        QString whole;
        {
            QScriptEngine first;
            prepare(first);
            whole = first.evaluate(QLatin1String(importProbe)).toString();
        }
        QCOMPARE(whole, QStringLiteral("function,1,1,function,1,2,1,4,WaitForMoreEvents,true,true,"
                                       "true,NotOpen,ReadOnly,Text,1,true,false"));
        // Every other engine stands where the one two rounds before stood (the allocator seldom
        // gives an ended engine's address to the next).
        alignas(QScriptEngine) static unsigned char place[sizeof(QScriptEngine)];
        for (int round = 0; round < 200; ++round) {
            const bool placed = round % 2;
            auto *engine = placed ? new (place) QScriptEngine : new QScriptEngine;
            prepare(*engine);
            engine->globalObject().setProperty(QStringLiteral("reached"), engine->newFunction(reached));
            const QString probe = engine->evaluate(QLatin1String(importProbe)).toString();
            if (probe != whole)
                QFAIL(qPrintable(QStringLiteral("round %1: %2").arg(round).arg(probe)));
            const QString left = engine->evaluate(QLatin1String(leaveWork)).toString();
            if (left != QLatin1String("left"))
                QFAIL(qPrintable(QStringLiteral("round %1: %2").arg(round).arg(failure(*engine))));
            // Once the engine's end has begun (the plugin hears of it first), no buffer works
            // on a script's array any more.
            QStringList inPlace;
            for (const char *pair : {"buffer bytes", "data.device() dataBytes",
                                     "writer.device() xmlBytes"}) {
                const QStringList names = QString::fromLatin1(pair).split(QLatin1Char(' '));
                auto *device = qobject_cast<QBuffer *>(engine->evaluate(names[0]).toQObject());
                auto *bytes = qscriptvalue_cast<QByteArray *>(engine->evaluate(names[1]));
                QVERIFY(device && bytes && &device->buffer() == bytes);
                connect(engine, &QObject::destroyed, [device, bytes, name = names[0], &inPlace] {
                    if (&device->buffer() == bytes)
                        inPlace << name;
                });
            }
            reachedCount = 0;
            if (placed)
                engine->~QScriptEngine();
            else
                delete engine;
            QCOMPARE(reachedCount, 0);
            QCOMPARE(inPlace, QStringList());
            // The buffer left the script's array for a copy of it, with its mode and position,
            // and the stream's text went there; it goes on working natively.
            auto *buffer = QCoreApplication::instance()->findChild<QBuffer *>(
                QStringLiteral("outlives its engine"), Qt::FindDirectChildrenOnly);
            QVERIFY(buffer);
            QCOMPARE(buffer->openMode() & ~QIODevice::Unbuffered, QIODevice::ReadWrite);
            QCOMPARE(buffer->pos(), qint64(11));
            QCOMPARE(buffer->write("!"), qint64(1));
            QCOMPARE(buffer->data(), QByteArray("0123pending!"));
            delete buffer;
        }
    }

    // A buffer that outlives its engine, opened by the script to truncate its byte array: it moves
    // onto a copy of what it holds, where it was, and does not truncate it again.
    void bufferOutlivingItsEngineKeepsItsBytes()
    {
        auto *engine = new QScriptEngine;
        prepare(*engine);
        engine->evaluate(QStringLiteral(
            "var bytes = new QByteArray('0123456789');"
            "var buffer = new QBuffer(bytes, QCoreApplication.instance());"
            "buffer.objectName = 'truncating';"
            "buffer.open(QIODevice.OpenMode(QIODevice.WriteOnly, QIODevice.Truncate));"
            "buffer.write(new QByteArray('abcd'));"
            "buffer.seek(3);"));
        QVERIFY2(!engine->hasUncaughtException(), qPrintable(failure(*engine)));
        delete engine;
        QScopedPointer<QBuffer> buffer(QCoreApplication::instance()->findChild<QBuffer *>(
            QStringLiteral("truncating"), Qt::FindDirectChildrenOnly));
        QVERIFY(buffer);
        QCOMPARE(buffer->data(), QByteArray("abcd"));
        QCOMPARE(buffer->pos(), qint64(3));
        QVERIFY(buffer->openMode() & QIODevice::WriteOnly);
        QCOMPARE(buffer->write("!"), qint64(1));
        QCOMPARE(buffer->data(), QByteArray("abc!"));
    }

    // A host converts an enumeration value once the engine's end has begun (in a handler of its
    // destroyed signal), right after a conversion on the same thread: nothing of the engine's
    // enumeration values is used any more.
    void conversionsOnceTheEndBegan()
    {
        auto *engine = new QScriptEngine;
        prepare(*engine);
        const int type = QMetaType::type("QFile::FileError");
        QVERIFY(type != QMetaType::UnknownType);
        QVERIFY(engine->evaluate(QStringLiteral("new QFile('/nonexistent').error() === QFile.NoError")).toBool());
        QString seen;
        connect(engine, &QObject::destroyed, [engine, type, &seen] {
            const int value = 0;
            const QScriptValue v = qScriptValueFromValue_helper(engine, type, &value);
            seen = v.isValid() ? v.toString() : QStringLiteral("invalid");
        });
        delete engine;
        QCOMPARE(seen, QStringLiteral("undefined"));
    }

    // Objects a host's object keeps run QtCore's own functions, not their script overrides, from
    // the beginning of their engine's end on: also one a script re-parents meanwhile (a host that
    // evaluates from a handler of the engine's destroyed signal).
    void keptObjectsRunNoScriptOnceTheEndBegan()
    {
        QObject host;
        auto *engine = new QScriptEngine;
        prepare(*engine);
        engine->globalObject().setProperty(QStringLiteral("reached"), engine->newFunction(reached));
        engine->globalObject().setProperty(QStringLiteral("host"), engine->newQObject(&host));
        engine->evaluate(QStringLiteral(
            "var c = new QObject(host), other = new QObject(host);"
            "c.objectName = 'kept'; other.objectName = 'other';"
            "c.event = function() { reached(); return true; };"
            "c.eventFilter = function() { reached(); return true; };"
            "other.installEventFilter(c);"));
        QVERIFY2(!engine->hasUncaughtException(), qPrintable(failure(*engine)));
        QPointer<QObject> kept = host.findChild<QObject *>(QStringLiteral("kept"));
        QPointer<QObject> other = host.findChild<QObject *>(QStringLiteral("other"));
        QVERIFY(kept && other);
        QEvent user(QEvent::User);
        reachedCount = 0;
        QVERIFY(QCoreApplication::sendEvent(kept, &user));
        QCOMPARE(reachedCount, 1);
        // QObject's event() takes no event of type None, and its eventFilter() filters nothing:
        // the script's functions would take both.
        QEvent none(QEvent::None);
        bool taken = false;
        connect(engine, &QObject::destroyed, [&] {
            taken = QCoreApplication::sendEvent(kept, &none);
            engine->evaluate(QStringLiteral("c.setParent(other)"));
            taken = taken || QCoreApplication::sendEvent(other, &none)
                    || QCoreApplication::sendEvent(kept, &none);
        });
        reachedCount = 0;
        delete engine;
        QCOMPARE(reachedCount, 0);
        QVERIFY(!taken);
        QVERIFY(kept && kept->parent() == other);
        QVERIFY(!QCoreApplication::sendEvent(kept, &none));
        QVERIFY(!QCoreApplication::sendEvent(other, &none));
        QCOMPARE(reachedCount, 0);
    }

    // Families a host's object keeps outlive their engine, whose end hands their members to their
    // parents; the families of another engine go on as they were.
    void familiesOutliveTheirEngine()
    {
        QObject host;
        QScriptEngine other;
        prepare(other);
        other.globalObject().setProperty(QStringLiteral("reached"), other.newFunction(reached));
        auto *engine = new QScriptEngine;
        prepare(*engine);
        for (QScriptEngine *e : {engine, &other}) {
            e->globalObject().setProperty(QStringLiteral("host"), e->newQObject(&host));
            e->evaluate(QStringLiteral(
                "for (var i = 0; i < 10; ++i) new QObject(new QObject(new QObject(host)));"));
            QVERIFY2(!e->hasUncaughtException(), qPrintable(failure(*e)));
        }
        other.evaluate(QStringLiteral("var kept = new QObject(); new QObject(kept).customEvent = function() { reached(); };"));
        QVERIFY2(!other.hasUncaughtException(), qPrintable(failure(other)));
        QList<QPointer<QObject>> grandchildren;
        for (QObject *o : host.findChildren<QObject *>()) {
            if (o->parent() && o->parent()->parent() == &host)
                grandchildren << o->children().value(0);
        }
        QCOMPARE(grandchildren.size(), 20);
        delete engine;
        for (const QPointer<QObject> &o : grandchildren)
            QVERIFY(o);
        // The other engine's own family is as it was.
        other.collectGarbage();
        reachedCount = 0;
        QEvent custom(QEvent::User);
        QObject *kid = other.evaluate(QStringLiteral("kept.children()[0]")).toQObject();
        QVERIFY(kid);
        QCoreApplication::sendEvent(kid, &custom);
        QCOMPARE(reachedCount, 1);
    }

    // The buffers streams and writers keep on a script's byte array, deleted by the script before
    // the engine ends: the end reaches none of them.
    void ownBuffersDeletedBeforeTheEnd()
    {
        auto *engine = new QScriptEngine;
        prepare(*engine);
        const QString devices = engine->evaluate(QStringLiteral(
            "var users = [new QDataStream(new QByteArray(), QIODevice.WriteOnly),"
            "             new QTextStream(new QByteArray()), new QXmlStreamWriter(new QByteArray())];"
            "users.forEach(function(u) { u.device().deleteLater(); });"
            "QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
            "users.map(function(u) { return u.device(); }).join()")).toString();
        QVERIFY2(!engine->hasUncaughtException(), qPrintable(failure(*engine)));
        QCOMPARE(devices, QStringLiteral(",,"));
        delete engine;
    }

    // The same scripts in four engines on four threads at once, twice over, print what they
    // print in an engine on the main thread.
    void threadsMatchMainThread()
    {
        QVector<Workload> workloads{{QStringLiteral("workload"), QLatin1String(workload)}};
        for (const char *name : {"pool.js", "xml_csv.js", "locales.js"}) {
            QFile file(QStringLiteral(QTCORE_SOURCE_DIR "/examples/") + QLatin1String(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            workloads.append({file.fileName(), QString::fromUtf8(file.readAll())});
        }
        const QStringList expected = runWorkloads(workloads);
        for (const QString &result : expected)
            QVERIFY2(!result.contains(QLatin1String(" at line ")), qPrintable(result));
        std::vector<std::unique_ptr<Worker>> workers;
        for (int i = 0; i < 4; ++i)
            workers.push_back(std::make_unique<Worker>(workloads + workloads));
        for (auto &worker : workers)
            worker->start();
        for (auto &worker : workers)
            QVERIFY(worker->wait(60000));
        for (auto &worker : workers)
            QCOMPARE(worker->results, expected + expected);
    }
};

QTEST_GUILESS_MAIN(tst_Engines)
#include "tst_engines.moc"
