// The host of the tables of host moves: engines A and B (and C, made and ended by a round) on the
// test's thread, an engine on a worker, two workers, and the host's own acts between the scripts'
// steps.
#ifndef QTCORE_TESTS_HOSTING_H
#define QTCORE_TESTS_HOSTING_H

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QScopeGuard>
#include <QtCore/QSemaphore>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include "liveobjects.h"
#include "worker.h"

#include <algorithm>
#include <cstring>
#include <atomic>
#include <functional>
#include <memory>

namespace {

QString failure(QScriptEngine &engine)
{
    return engine.uncaughtException().toString() + QStringLiteral(" at line ")
           + QString::number(engine.uncaughtExceptionLineNumber());
}

// The collector scans the native stack conservatively: stale copies of script values in frames
// that have returned would keep what they point at.
Q_NEVER_INLINE void scrubStack()
{
    char junk[64 * 1024];
    memset(junk, 0, sizeof junk);
    asm volatile("" : : "r"(junk) : "memory");
}

// An event loop for a while, as a host's (deferred deletions asked for outside any loop run there).
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Objects a script hands the host (an object or an Array of them), watched without holding them.
QList<QPointer<QObject>> handed;
QScriptValue hand(QScriptContext *context, QScriptEngine *)
{
    const QScriptValue v = context->argument(0);
    if (v.isArray()) {
        const quint32 n = v.property(QStringLiteral("length")).toUInt32();
        for (quint32 i = 0; i < n; ++i)
            handed << v.property(i).toQObject();
    } else {
        handed << v.toQObject();
    }
    return QScriptValue();
}

// Whether every object handed over is gone.
bool allGone()
{
    return std::none_of(handed.begin(), handed.end(), [](const QPointer<QObject> &o) { return o; });
}

// The steps of one round: script text in an engine, and the host's native acts.
class Host
{
public:
    Host()
    {
        for (QScriptEngine *e : {&a, &b})
            prepare(*e);
    }
    ~Host() { ended(); }

    // Script text in engine A (B, C): an exception fails the case.
    void inA(const char *text) { run(a, text); }
    void inB(const char *text) { run(b, text); }
    void inC(const char *text) { run(*c, text); }
    // Objects A handed over appear in B's global `shared`, wrapped by B.
    void share()
    {
        QScriptValue list = b.newArray();
        quint32 i = 0;
        for (const QPointer<QObject> &o : handed)
            list.setProperty(i++, qScriptValueFromValue<QObject *>(&b, o.data()));
        b.globalObject().setProperty(QStringLiteral("shared"), list);
    }
    // Each handed object of this thread moves to the worker, natively.
    void away()
    {
        for (const QPointer<QObject> &o : handed) {
            if (o && o->thread() == QThread::currentThread() && !o->parent())
                o->moveToThread(&worker.thread);
        }
    }
    // Each handed object on the worker moves back here, natively on the worker.
    void back()
    {
        QThread *home = QThread::currentThread();
        worker.run([home] {
            for (const QPointer<QObject> &o : handed) {
                if (o && o->thread() == QThread::currentThread() && !o->parent())
                    o->moveToThread(home);
            }
        });
    }
    // Runs `f` on the worker and waits for it.
    template <class F>
    void onWorker(F &&f) { worker.run(std::forward<F>(f)); }
    // An engine on the worker for the rest of the round (its thread has the plugin's state too).
    void engineOnWorker()
    {
        worker.run([this] {
            far = std::make_unique<QScriptEngine>();
            prepare(*far);
        });
    }
    // Script text in the worker's engine, on the worker.
    void inFar(const char *text)
    {
        worker.run([this, text] { run(*far, text); });
    }
    // The handed objects as wrappers the host makes in `e`: its global `name`, an Array.
    void wrap(QScriptEngine &e, const char *name,
              QScriptEngine::ValueOwnership ownership = QScriptEngine::QtOwnership,
              QScriptEngine::QObjectWrapOptions options = QScriptEngine::PreferExistingWrapperObject)
    {
        QScriptValue list = e.newArray();
        quint32 i = 0;
        for (const QPointer<QObject> &o : handed)
            list.setProperty(i++, o ? e.newQObject(o, ownership, options) : e.nullValue());
        e.globalObject().setProperty(QString::fromLatin1(name), list);
    }
    // The worker waits until the semaphore returned is released: what is posted to it meanwhile
    // stays queued.
    std::shared_ptr<QSemaphore> holdWorker()
    {
        auto go = std::make_shared<QSemaphore>();
        QMetaObject::invokeMethod(&worker.anchor, [go] { go->acquire(); }, Qt::QueuedConnection);
        return go;
    }
    // The worker finishes (its QThread kept), and starts again as the guard returned goes.
    auto stopWorker()
    {
        worker.thread.quit();
        worker.thread.wait();
        return qScopeGuard([this] { worker.thread.start(); });
    }
    // A third engine, made now (and ended by endC).
    void makeC()
    {
        c = std::make_unique<QScriptEngine>();
        prepare(*c);
    }
    void endC() { c.reset(); }
    // Collections in each engine with the event loop turning between them (a moved object is
    // deleted there; a probe of moved objects runs there).
    void collect()
    {
        for (int i = 0; i < 3; ++i) {
            scrubStack();
            for (QScriptEngine *e : {&a, &b})
                e->collectGarbage();
            if (c)
                c->collectGarbage();
            spin(10);
            worker.run([] { QCoreApplication::sendPostedEvents(); });
            spin(10);
        }
    }
    // The end of a round: every script forgets, the host deletes what it handed that is still
    // here with no owner (not the worker's: the probes and deferred deletions take those).
    void ended()
    {
        for (QScriptEngine *e : {&a, &b})
            e->evaluate(QStringLiteral("made = []; shared = null;"));
        if (c)
            c->evaluate(QStringLiteral("made = [];"));
        handed.clear();
        if (far)
            worker.run([this] { far.reset(); });
        collect();
    }

    // Destroyed after the engines: what their ends hand the workers is done there first.
    struct Workers {
        ~Workers()
        {
            for (int i = 0; i < 3; ++i) {
                spin(5);
                for (Worker *w : {&worker, &further})
                    w->run([] { QCoreApplication::sendPostedEvents(); });
            }
        }
        Worker worker, further;
    } workers;
    Worker &worker = workers.worker;
    Worker &further = workers.further;
    QObject keeper;     // the host's own object, on this thread
    QTemporaryDir dir;
    QScriptEngine a, b;
    std::unique_ptr<QScriptEngine> c;
    std::unique_ptr<QScriptEngine> far;

private:
    void prepare(QScriptEngine &e)
    {
        e.importExtension(QStringLiteral("qt.core"));
        QScriptValue global = e.globalObject();
        global.setProperty(QStringLiteral("anchor"), e.newQObject(&worker.anchor));
        global.setProperty(QStringLiteral("further"), e.newQObject(&further.anchor));
        global.setProperty(QStringLiteral("keeper"), e.newQObject(&keeper));
        global.setProperty(QStringLiteral("hand"), e.newFunction(hand));
        global.setProperty(QStringLiteral("made"), e.newArray());
        global.setProperty(QStringLiteral("folder"), dir.path());
    }
    static void run(QScriptEngine &e, const char *text)
    {
        e.evaluate(QString::fromUtf8(text));
        if (e.hasUncaughtException())
            QFAIL(qPrintable(failure(e)));
    }
};

using Round = std::function<void(Host &)>;

// A shape, round after round: the number of live objects comes back to its level (that after the
// third round), and the plugin runs no timer of its own but at most one probe of moved objects an
// engine (the next, which will find none).
void runRounds(const Round &round, int rounds = 8)
{
    // One part of the table, when the runner splits it (QTCORE_TEST_PART="k/n": the rows whose
    // position is k modulo n), so that the parts of a long table run side by side.
    static int position = -1;
    const QByteArray part = qgetenv("QTCORE_TEST_PART");
    const int k = part.split('/').value(0).toInt(), n = part.split('/').value(1).toInt();
    if (++position % qMax(n, 1) != k % qMax(n, 1))
        QSKIP("a row of another part");
    Host host;
    qint64 level = 0;
    for (int i = 0; i < rounds; ++i) {
        round(host);
        if (QTest::currentTestFailed())
            return;
        host.ended();
        if (i == 2)
            level = liveobjects::count;
    }
    // (Holds QtCore may end unseen are read again after a second.)
    QElapsedTimer clock;
    clock.start();
    do
        host.collect();
    while (liveobjects::count - level > 4 && clock.elapsed() < 3000);
    QVERIFY2(liveobjects::count - level <= 4,
             qPrintable(QStringLiteral("%1 objects more than after round 3").arg(liveobjects::count - level)));
    QTRY_VERIFY(liveobjects::timersHere() <= 2);
}

} // namespace

Q_DECLARE_METATYPE(Round)

#endif
