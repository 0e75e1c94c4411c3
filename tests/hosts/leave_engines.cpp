// A host that leaves its engines alive at exit, with script runs queued for them on pools: on
// the global pool and on pools the application owns. "main": two engines of the main thread;
// "thread": an engine made on a thread that then ends, before the host waits for the global
// pool. Prints "left" and returns.
// "again": no engine left; an application whose engine ran scripts on the global pool ends, and
// a second one does the same: prints how many runs ran under each.
#include <QtCore/QCoreApplication>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtScript/QScriptEngine>

#include <cstdio>

namespace {

// Never deleted, and still reachable at exit.
QScriptEngine *engines[3];

// `owner`: the application on the main thread, null on another.
const char script[] = "var n = 0, own = new QThreadPool(owner);"
                      "for (var i = 0; i < 8; ++i) {"
                      "  var r = new QRunnable(); r.run = function() { ++n; };"
                      "  (i % 2 ? own : QThreadPool.globalInstance()).start(r);"
                      "}";

QScriptEngine *leave(int i, QObject *owner)
{
    engines[i] = new QScriptEngine;
    engines[i]->importExtension(QStringLiteral("qt.core"));
    engines[i]->globalObject().setProperty(QStringLiteral("owner"), engines[i]->newQObject(owner));
    engines[i]->evaluate(QLatin1String(script));
    if (engines[i]->hasUncaughtException())
        std::fprintf(stdout, "%s\n", qPrintable(engines[i]->uncaughtException().toString()));
    return engines[i];
}

class Worker : public QThread
{
protected:
    void run() override { leave(2, nullptr); }
};

int again(int argc, char **argv)
{
    for (int round = 0; round < 2; ++round) {
        QCoreApplication app(argc, argv);
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const QScriptValue ran = engine.evaluate(QStringLiteral(
            "var n = 0;"
            "for (var i = 0; i < 4; ++i) {"
            "  var r = new QRunnable(); r.run = function() { ++n; };"
            "  QThreadPool.globalInstance().start(r);"
            "}"
            "QThreadPool.globalInstance().waitForDone(); n"));
        std::fprintf(stdout, "%s\n", qPrintable(ran.toString()));
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "again") == 0)
        return again(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
    const QStringList arguments = app.arguments();
    if (arguments.contains(QStringLiteral("main"))) {
        leave(0, &app);
        leave(1, &app);
    }
    Worker worker;
    if (arguments.contains(QStringLiteral("thread"))) {
        worker.start();
        worker.wait();
        // Before the application's end: the thread's end let the pool threads go.
        if (!QThreadPool::globalInstance()->waitForDone(5000))
            std::fprintf(stdout, "the pool still waits for the thread that ended\n");
    }
    std::fprintf(stdout, "left\n");
    std::fflush(stdout);
    return 0;
}
