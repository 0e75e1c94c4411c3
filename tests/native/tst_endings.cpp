// Handlers that run while a script's object ends: each object class, each signal QtCore emits as
// its objects end, each way an object ends, named or not. A handler reads what a native handler
// reads there; nothing crashes, and no handler runs inside the collector's deletion.
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QTemporaryDir>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <unistd.h>

namespace {

// A script's object (`o`, given its parent once made), at work as QtCore ends it, and a signal
// QtCore emits as it ends (QtScript never calls a script's handler of `destroyed`). Some are
// held, never collected: a running process or time line, an enabled notifier, a translator whose
// signal a script connected (its wrapping never owns it).
struct Family {
    const char *make, *start, *signal;
    bool held;
};
const char Running[] = "o.start('sleep', ['10']); o.waitForStarted();";
const char Written[] = "o.open(QIODevice.WriteOnly);";
const Family families[] = {
    {"new QFile(folder + '/log')", Written, "aboutToClose", false},
    {"new QTemporaryFile()", "o.open();", "aboutToClose", false},
    {"new QProcess()", Running, "stateChanged", true},
    {"new QProcess()", Running, "finished(int,QProcess::ExitStatus)", true},
    {"new QTimeLine(1000)", "o.start();", "stateChanged", true},
    {"new QObject()", "", "destroyed", false},
    {"new QTimer()", "", "destroyed", false},
    {"new QEventLoop()", "", "destroyed", false},
    {"new QSignalMapper()", "", "destroyed", false},
    {"new QSocketNotifier(fd, QSocketNotifier.Read)", "", "destroyed", true},
    {"new QTimeLine(1000)", "", "destroyed", false},
    {"new QTranslator()", "", "destroyed", true},
    {"new QThreadPool()", "", "destroyed", false},
    {"new QSettings(folder + '/s.ini', QSettings.IniFormat)", "", "destroyed", false},
    {"new QFileSystemWatcher()", "", "destroyed", false},
    {"new QIODevice()", "o.open(QIODevice.ReadOnly);", "destroyed", false},
    {"new QBuffer()", "o.open(QIODevice.ReadWrite);", "destroyed", false},
    {"new QFile(folder + '/log')", Written, "destroyed", false},
    {"new QTemporaryFile()", "o.open();", "destroyed", false},
    {"new QProcess()", Running, "destroyed", true},
};

// Its parent (a script's, the host's `keeper`, none); what the script does, then the host;
// whether handlers hear it (not in the collector's deletion); what `parent()` reads then (a
// parent being destroyed: its own script object).
struct Ending {
    const char *name, *parent, *script;
    enum { Flush, Collect, Delete } then;
    bool heard;
    const char *parentRead;
};
const Ending endings[] = {
    {"deleteLater", "null", "o.deleteLater();", Ending::Flush, true, "null"},
    {"its parent's deleteLater", "new QObject()", "parent.deleteLater();", Ending::Flush, true, "parent"},
    {"collected", "null", "o = kid = null;", Ending::Collect, false, ""},
    {"its parent collected", "new QObject()", "o = kid = parent = null;", Ending::Collect, false, ""},
    {"the host's delete", "keeper", "", Ending::Delete, true, "keeper"},
    {"the host's delete, nothing else owning it", "null", "", Ending::Delete, true, "null"},
    {"the host's delete, under a script's parent", "new QObject()", "", Ending::Delete, true, "parent"},
    // (The parent's deletion waits until the object is gone.)
    {"the host's delete, its handler deleting its parent", "new QObject()", "cut = true;", Ending::Delete,
     true, "parent"},
};

// A handler that reads nothing of `o` keeps nothing (QtScript keeps a handler while its sender
// lives).
const char Made[] =
    "var parent = %1, o = %2; o.setParent(parent); %3 var kid = new QObject(o), heard = null, cut = false;"
    "if (%4) o.objectName = 'log';"
    "o.setProperty('tag', 7); hand(o);"
    "function read(f) { try { return f(); } catch (e) { return e; } }"
    "o['%5'].connect(%6 ? function() { heard = true; } : function() { heard = [read(function() {"
    "  return o.objectName; }), read(function() { return o.property('tag'); }), read(function() {"
    "  var p = o.parent(); return !p ? 'null' : p === parent ? 'parent' : p.objectName; }),"
    "  read(function() { return o.children().indexOf(kid) >= 0 ? 'kid' : o.children(); }),"
    "  read(function() { return String(o); })].join('|');"
    "  if (cut) { parent.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); } });";

QPointer<QObject> handed;
QScriptValue hand(QScriptContext *context, QScriptEngine *)
{
    handed = context->argument(0).toQObject();
    return QScriptValue();
}

// QtScript's word for a handler it refused to call inside a collection.
bool refused = false;
QtMessageHandler previous = nullptr;
void watch(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    refused = refused || text.contains(QLatin1String("during GC"));
    previous(type, context, text);
}

} // namespace

class tst_Endings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        previous = qInstallMessageHandler(watch);
    }

    void handlers_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("ending");
        QTest::addColumn<QString>("heard");
        for (const Family &f : families) {
            const QString make = QString::fromLatin1(f.make);
            const QString name = make.mid(4, make.indexOf(QLatin1Char('(')) - 4);
            for (const Ending &e : endings) {
                for (const bool named : {false, true}) {
                    if (f.held && e.then == Ending::Collect)
                        continue;
                    const auto is = [](bool b) { return QLatin1String(b ? "true" : "false"); };
                    const QString script =
                        QString::fromLatin1(Made).arg(QLatin1String(e.parent), make, QLatin1String(f.start),
                                                      is(named), QLatin1String(f.signal),
                                                      is(e.then == Ending::Collect))
                        + QLatin1String(e.script)
                        + QLatin1String(e.then == Ending::Flush
                                            ? "QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
                                            : "");
                    QString heard;
                    if (e.heard && qstrcmp(f.signal, "destroyed"))
                        heard = QStringLiteral("%1|7|%2|kid|%3")
                                    .arg(QLatin1String(named ? "log" : ""), QLatin1String(e.parentRead), name);
                    QTest::addRow("%s %s, %s, %s", qPrintable(name), f.signal, e.name,
                                  named ? "named" : "unnamed")
                        << script << int(&e - endings) << heard;
                }
            }
        }
    }
    void handlers()
    {
        QFETCH(QString, script);
        QFETCH(int, ending);
        QFETCH(QString, heard);
        static int fds[2] = {-1, -1};
        QVERIFY(fds[0] >= 0 || ::pipe(fds) == 0);
        QTemporaryDir dir;
        QObject keeper;
        keeper.setObjectName(QStringLiteral("keeper"));
        refused = false;
        {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            QScriptValue global = engine.globalObject();
            global.setProperty(QStringLiteral("hand"), engine.newFunction(hand));
            global.setProperty(QStringLiteral("keeper"), engine.newQObject(&keeper));
            global.setProperty(QStringLiteral("folder"), dir.path());
            global.setProperty(QStringLiteral("fd"), fds[0]);
            engine.evaluate(script);
            QVERIFY2(!engine.hasUncaughtException(), qPrintable(engine.uncaughtException().toString()));
            if (endings[ending].then == Ending::Delete)
                delete handed.data();
            // (The collector scans the native stack conservatively: a few rounds.)
            for (int i = 0; i < 10 && handed; ++i) {
                engine.collectGarbage();
                QCoreApplication::sendPostedEvents();
            }
            QVERIFY2(!handed, "the object stays");
            const QScriptValue read = engine.evaluate(QStringLiteral("heard"));
            QCOMPARE(read.isNull() ? QString() : read.toString(), heard);
        }
        QVERIFY2(!refused, "QtScript refused to call a handler inside a collection");
    }
};

QTEST_MAIN(tst_Endings)
#include "tst_endings.moc"
