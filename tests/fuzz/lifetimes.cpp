// The lifetime fuzzer. Seeded random sequences of what makes and ends the objects scripts make:
// scripts create, re-parent, connect, override, filter, post, delete, drop and move objects to
// worker threads, by the hundred now and then, through their own script objects, the host's
// wrappers of each ownership or another engine's; the host moves, re-parents and deletes the same
// objects natively on their own threads, stops workers, and starts and ends engines (three on the
// main thread, one on each worker) while their objects live on. A script error is fine; a crash,
// a sanitizer report, a step that hangs, a thread rule QtCore saw broken, or QObjects left once
// everything ended is a failure.
//
// Each case runs in a child process (this program with --replay), so that a crash ends only the
// case. Every step is made from the case's seed and its own index, whatever came before (a step
// whose object is missing throws a script error or is skipped), so a failing case is cut down by
// delta debugging over its step indices and printed with the command that replays it.
#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QFileSystemWatcher>
#include <QtCore/QMap>
#include <QtCore/QPointer>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QSemaphore>
#include <QtCore/QSet>
#include <QtCore/QSocketNotifier>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtCore/QTimer>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <utility>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sanitizers.h"
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
extern "C" const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
#endif

// QtCore's hooks for tools (private/qhooks_p.h, not installed): version, size, Qt version, then
// the callbacks for each QObject made and destroyed.
extern "C" Q_CORE_EXPORT quintptr qtHookData[];
extern char **environ;

namespace {

constexpr int Slots = 4;         // o[0..Slots) in each engine
constexpr int MainEngines = 3;   // e0-e2 on the main thread; e3 and e4 on workers 1 and 2
constexpr int Engines = 5;
constexpr int Threads = 3;       // 0: the main thread; 1 and 2: workers

int threadOf(int e) { return e < MainEngines ? 0 : 1 + e - MainEngines; }

// ---------------------------------------------------------------------------------------------
// What runs now (a step, or what comes before, between and after them), for the watchdog, a
// fatal message and the sanitizer's death callback.

char g_current[4096];
std::atomic<long long> g_since{0};
int g_stepLimitMs = 8000;
bool g_verbose = false;
// The folder whose script/ holds the plugin under test: this build's, or another's (--plugins).
QByteArray g_plugins = QTCORE_PLUGIN_DIR;
bool g_leaks = true;   // QObjects left count (--no-leaks: aimed at a build known to leave some)

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

void reportCurrent()
{
    // No allocation: a signal handler and the sanitizer's death callback call it.
    for (const char *s : {"lifefuzz: in ", static_cast<const char *>(g_current), "\n"}) {
        ssize_t ignored = ::write(2, s, std::strlen(s));
        (void)ignored;
    }
}

// Watches what starts now, for `slack` ms more than a step may take.
void watch(const char *what, int slack = 0)
{
    qstrncpy(g_current, what, sizeof g_current);
    g_since.store(nowMs() + slack);
}

#ifdef QTCORE_FUZZ_DEATH_CALLBACK
// A hang's report shows where each thread waits: the watchdog signals them one by one.
std::atomic<int> g_shown{0};
void showStack(int)
{
    __sanitizer_print_stack_trace();
    ++g_shown;
}

void showStacks()
{
    std::signal(SIGUSR2, showStack);
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const int tid = task.toInt(), shown = g_shown;
        if (tid == int(::syscall(SYS_gettid)))
            continue;
        std::fprintf(stderr, "lifefuzz: thread %d waits in:\n", tid);
        ::syscall(SYS_tgkill, ::getpid(), tid, SIGUSR2);
        for (int k = 0; k < 100 && g_shown == shown; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
#endif

void watchdog()
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long long since = g_since.load();
        if (since && nowMs() - since > g_stepLimitMs) {
            std::fprintf(stderr, "lifefuzz: HANG: more than %d ms\n", g_stepLimitMs);
            reportCurrent();
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
            showStacks();
#endif
            std::_Exit(3);
        }
    }
}

// Workers stopped now: their objects are any thread's to delete (nothing is delivered there).
std::atomic<int> g_stopped{0};

void onMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    static std::atomic<int> shown{0};
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "lifefuzz: Qt fatal: %s\n", qPrintable(text));
        reportCurrent();
        std::abort();
    }
    // QtCore's word that a thread rule was broken: neither the host nor the steps break one (its
    // refusals, "in another thread", "in a different thread", are no such word). But an object of
    // a stopped worker deleted elsewhere has QtCore say so of the timers and notifiers it dropped
    // with the worker's dispatcher (natively too).
    const bool dropped = text.contains(QLatin1String("Timers cannot be stopped from another thread"))
                         || text.contains(QLatin1String("Socket notifiers cannot be enabled or disabled from another thread"));
    if ((text.contains(QLatin1String("from another thread")) && !(dropped && g_stopped.load()))
        || text.contains(QLatin1String("owned by a different thread"))) {
        std::fprintf(stderr, "lifefuzz: THREAD RULE: %s\n", qPrintable(text));
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
        __sanitizer_print_stack_trace();
#endif
        reportCurrent();
        std::_Exit(5);
    }
    // A worker that spins on a warning would fill the disk.
    if (g_verbose && ++shown <= 300)
        std::fprintf(stdout, "   qt: %s\n", qPrintable(text));
}

// ---------------------------------------------------------------------------------------------
// Live QObjects, counted through QtCore's hooks (chained to a tool's that was there first), and
// kept by address to name what is left behind.

using ObjectHook = void (*)(QObject *);
ObjectHook g_formerAdd = nullptr, g_formerRemove = nullptr;
std::atomic<long> g_live{0};
std::mutex g_liveMutex;
std::unordered_set<QObject *> g_liveSet;

template <bool Add>
void onObject(QObject *o)
{
    Add ? ++g_live : --g_live;
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        Add ? void(g_liveSet.insert(o)) : void(g_liveSet.erase(o));
    }
    if (ObjectHook former = Add ? g_formerAdd : g_formerRemove)
        former(o);
}

bool installHooks()
{
    enum { Version = 0, Size = 1, AddQObject = 3, RemoveQObject = 4 };
    if (qtHookData[Version] < 1 || qtHookData[Size] <= RemoveQObject)
        return false;
    g_formerAdd = reinterpret_cast<ObjectHook>(qtHookData[AddQObject]);
    g_formerRemove = reinterpret_cast<ObjectHook>(qtHookData[RemoveQObject]);
    qtHookData[AddQObject] = reinterpret_cast<quintptr>(&onObject<true>);
    qtHookData[RemoveQObject] = reinterpret_cast<quintptr>(&onObject<false>);
    return true;
}

bool isSingleShot(const QObject *o) { return !std::strcmp(o->metaObject()->className(), "QSingleShotTimer"); }
// The plugin's timers of a thread (made once a thread, when first needed).
bool pluginTimer(const QObject *o)
{
    return o->parent() && o->parent()->objectName() == QLatin1String("qt.core calls");
}

// QObjects alive but QtCore's pending single shots: the plugin's "probe a while later" timer (up
// to a minute) outlives an engine that ended before it fired, as QtCore's own object that holds
// nothing. Read only while no worker runs.

long counted()
{
    std::lock_guard<std::mutex> lock(g_liveMutex);
    long n = g_live.load();
    for (QObject *o : g_liveSet)
        n -= isSingleShot(o) || pluginTimer(o);
    return n;
}

// QtCore's own reason to keep an object, when it has one.
QString stateOf(QObject *o)
{
    if (auto *n = qobject_cast<QSocketNotifier *>(o))
        return n->isEnabled() ? QStringLiteral(", enabled") : QStringLiteral(", disabled");
    if (auto *p = qobject_cast<QProcess *>(o))
        return QStringLiteral(", state %1").arg(int(p->state()));
    return {};
}

// Those made since `before`, by class, thread and parent.
QString leftBehind(const std::unordered_set<QObject *> &before)
{
    std::lock_guard<std::mutex> lock(g_liveMutex);
    QMap<QString, int> counts;
    for (QObject *o : g_liveSet) {
        if (before.count(o) || isSingleShot(o) || pluginTimer(o))
            continue;
        const QThread *t = o->thread();
        ++counts[QStringLiteral("%1 '%4' on %2, parent %3")
                     .arg(QLatin1String(o->metaObject()->className()),
                          t == QCoreApplication::instance()->thread() ? QStringLiteral("the main thread")
                                                                     : QStringLiteral("an ended worker"),
                          QLatin1String(o->parent() ? o->parent()->metaObject()->className() : "-"),
                          o->objectName()) + stateOf(o)];
    }
    QString text;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        text += QStringLiteral("  %1 x %2\n").arg(it.value()).arg(it.key());
    return text;
}

// ---------------------------------------------------------------------------------------------
// Steps, each made from the case's seed and its index alone (splitmix64).

struct Random {
    unsigned long long state;
    unsigned long long next()
    {
        unsigned long long z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % unsigned(n)); }
};

struct Step {
    int index = -1;
    int op = 0;
    int e = 0;   // the engine whose script runs it, or whose slot the host acts on
    int i = 0;   // slot
    int j = 0;   // second slot
    int v = 0;   // variant
    int w = 0;   // the wrapper its calls go through (Throughs), the object's own below OwnWrappers
    int d = 0;   // deeds (the later table's prelude)
};

// Wrappers the host makes of an object, by name ($t, wrap() and take()). An owning one deletes
// the object when it is collected (QtScript's rule): the host gives one only in an engine of the
// object's own thread, a wrapper of Qt's anywhere else.
struct Through {
    const char *name;
    QScriptEngine::ValueOwnership ownership;
    bool existing;   // PreferExistingWrapperObject
};
const Through Throughs[] = {
    {"qt", QScriptEngine::QtOwnership, true},         {"qt-new", QScriptEngine::QtOwnership, false},
    {"auto", QScriptEngine::AutoOwnership, true},     {"auto-new", QScriptEngine::AutoOwnership, false},
    {"script", QScriptEngine::ScriptOwnership, true}, {"script-new", QScriptEngine::ScriptOwnership, false},
};
constexpr int Kinds = int(sizeof Throughs / sizeof *Throughs);
constexpr int OwnWrappers = 10;   // of the 16 values of Step::w

const Through &throughNamed(const QString &name)
{
    for (const Through &t : Throughs) {
        if (name == QLatin1String(t.name))
            return t;
    }
    return Throughs[0];
}

class Lab;
struct Op {
    const char *name;
    int weight;
    const char *text;                    // the script engine e runs, or what the host does
    bool (*host)(Lab &, const Step &) = nullptr;   // host ops: false when skipped
    int since = 0;                       // the first table it is drawn from (below)
};

// Ops are only ever added, each to a new table: a case found on an earlier table replays on it
// ("0/SEED:STEPS"), its steps drawn as they were then. The newest table needs no prefix.
constexpr int Tables = 3;
int g_table = Tables - 1;

// A step's text: $i and $j are the slots o[i] and o[j], $x is o[i] through the step's wrapper
// (its own script object, or one the host makes now), $t a kind of the host's wrappers, $e its
// engine, $k another engine, $m the number j, $v a number, and each <<a|b|...>> (none within
// another) one of its alternatives, chosen by the variant.
QString expand(const char *text, const Step &s)
{
    QString t = QString::fromLatin1(text);
    int v = s.v;
    for (int at; (at = t.indexOf(QLatin1String("<<"))) >= 0;) {
        const int end = t.indexOf(QLatin1String(">>"), at);
        const QStringList alternatives = t.mid(at + 2, end - at - 2).split(QLatin1Char('|'));
        t.replace(at, end + 2 - at, alternatives[v % alternatives.size()]);
        v /= alternatives.size();
    }
    const QString through = QLatin1String(Throughs[s.w % Kinds].name);
    return t.replace(QLatin1String("$x"), s.w < OwnWrappers ? QStringLiteral("$i") : QStringLiteral("wrap($i, '%1')").arg(through))
        .replace(QLatin1String("$i"), QStringLiteral("o[%1]").arg(s.i))
        .replace(QLatin1String("$j"), QStringLiteral("o[%1]").arg(s.j))
        .replace(QLatin1String("$t"), through)
        .replace(QLatin1String("$e"), QString::number(s.e))
        .replace(QLatin1String("$k"), QString::number((s.e + 1 + s.v % (Engines - 1)) % Engines))
        .replace(QLatin1String("$m"), QString::number(s.j))
        .replace(QLatin1String("$v"), QString::number(s.v % 60))
        .replace(QLatin1String("$d"), QString::number(s.d));
}

// What every engine has before its first step: the slots, the threads, helpers that choose a
// signal and an action by the object's class (instanceof reads no native object: safe on moved
// ones), and the application filters its steps installed.
const char Prelude[] = R"(
var o = [], hits = 0, filters = [], app = QCoreApplication.instance();
var W = [home.thread(), anchor1.thread(), anchor2.thread()];
function away(k) { return W[(T + 1 + k % 2) % 3]; }
function unfilter() {
  filters.forEach(function(f) { try { app.removeEventFilter(f); } catch (e) {} });
  filters = [];
}
function sig(x, k) {
  var n = x instanceof QProcess ? ['finished(int,QProcess::ExitStatus)', 'started', 'stateChanged']
    : x instanceof QTimer ? ['timeout', 'timeout']
    : x instanceof QTimeLine ? ['finished', 'valueChanged', 'frameChanged']
    : x instanceof QFileSystemWatcher ? ['directoryChanged', 'fileChanged']
    : x instanceof QSocketNotifier ? ['activated(int)', 'activated(int)']
    : x instanceof QIODevice ? ['readyRead', 'bytesWritten', 'aboutToClose'] : [];
  n = n.concat(['objectNameChanged', 'destroyed']);
  return n[k % n.length];
}
function act(x, k) {
  if (!here(x)) return;
  if (x instanceof QTimer) { if (k % 3) x.start(k % 2 ? 1 : 10); else x.stop(); }
  else if (x instanceof QTimeLine) { if (k % 2) x.start(); else x.stop(); }
  else if (x instanceof QTranslator && here(app)) {   // QtCore tells the application at once
    if (k % 2) QCoreApplication.installTranslator(x); else QCoreApplication.removeTranslator(x);
  } else if (x instanceof QProcess) {
    switch (k % 5) {
    case 0: x.start('sleep', ['1']); break;
    case 1: x.start('cat'); break;
    case 2: x.kill(); break;
    case 3: x.close(); break;
    default: x.waitForFinished(50);
    }
  } else if (x instanceof QFileSystemWatcher) { if (k % 2) x.addPath(dir); else x.removePath(dir); }
  else if (x instanceof QSocketNotifier) x.setEnabled(k % 2 == 1);
  else if (x instanceof QBuffer || x instanceof QFile) {
    if (k % 2) { x.open(QIODevice.ReadWrite); x.write(new QByteArray('x')); } else x.close();
  } else if (x instanceof QSignalMapper) { if (k % 2) x.setMapping(x, k); else x.removeMappings(x); }
  else if (x instanceof QEventLoop) x.processEvents();
  else if (x instanceof QThreadPool) {
    var r = new QRunnable(); r.run = function() { ++hits; }; x.start(r); if (k % 2) x.waitForDone(50);
  }
  x.objectName = 'n' + k;
}
// What handlers, overrides, filters and runnables of the later table do: one to three deeds, each
// on o[k % 4] (y) or on the function's own object (x), by the digits of d. Their nested turns of
// the loop go three deep at the most (deeper is unbounded recursion, natively too), and a hundred
// deeds in a tenth of a second is all (events that each post or wake another never end, natively
// too).
var s = [], depth = 0, spent = 0, since = 0;
function nest(f) { if (depth < 3) { ++depth; try { f(); } finally { --depth; } } }
function deeds(d, x) {
  if (Date.now() - since > 100) { since = Date.now(); spent = 0; }
  for (var n = d % 3; n >= 0 && ++spent < 100; --n) { d = Math.floor(d / 3); deed(d % 84, x); d = Math.floor(d / 84); }
}
function deed(k, x) {
  var y = o[k % 4], h = here(x) ? x : null;
  switch (Math.floor(k / 4)) {
  case 0: ++hits; break;
  case 1: throw new Error('deed');
  case 2: o[k % 4] = null; break;
  case 3: y.deleteLater(); break;
  case 4: x.deleteLater(); break;
  case 5: gc(); break;
  case 6: nest(function() { var l = new QEventLoop(), t = new QTimer(); t.singleShot = true;
            t.timeout.connect(function() { l.exit(0); }); t.start(k % 3 * 5); l.exec(); }); break;
  case 7: nest(function() { QCoreApplication.processEvents(); }); break;
  case 8: QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); break;
  case 9: if (here(y)) y.setParent(h); break;
  case 10: if (h) h.setParent(here(y) ? y : null); break;
  case 11: QCoreApplication.postEvent(y, new QEvent(k % 2 ? QEvent.User : QEvent.DeferredDelete)); break;
  case 12: act(y, k >> 2); break;
  case 13: act(x, k >> 2); break;
  case 14: if (here(y)) y.moveToThread(k % 2 ? null : away(k)); break;
  case 15: if (h) h.moveToThread(away(k)); break;
  case 16: if (here(y) && h) y.installEventFilter(h); break;
  case 17: if (y) QCoreApplication.removePostedEvents(y); break;   // (with none, the host's own queued calls too)
  case 18: o[k % 4] = k % 2 ? new QTimer(h) : new QBuffer(h); break;
  case 19: use(k % 4, k); break;
  default: if (h) h.blockSignals(k % 2 == 1);
  }
}
// Streams, readers and basic timers on the slots' objects (s[m] on o[m] first), used on their
// device's thread.
function use(m, k) {
  var t = s[m], d = t && t.device ? t.device() : null;
  if (t instanceof QBasicTimer) { if (t.isActive()) t.stop(); else if (here(o[k % 4])) t.start(2, o[k % 4]); }
  else if (!here(d)) return;
  else if (t instanceof QXmlStreamReader) { t.readNext(); t.readNext(); }
  else if (t instanceof QTextStream) { t.writeString('w'); t.flush(); t.readLine(); }
  else if (t instanceof QDataStream) { t.writeInt(k); t.readInt(); t.resetStatus(); }
}
)";

// ---------------------------------------------------------------------------------------------
// The host: engines, workers and its own objects, the one place that acts on a thread, and the
// slots it keeps natively (what each held last, dropped by the script or not).

struct Worker {
    Worker()
    {
        anchor.moveToThread(&thread);
        thread.start();
        host->moveToThread(&thread);
    }
    QThread thread;
    QObject anchor;
    QObject *host = new QObject;   // a parent the host owns there
    bool running = true;           // (its engine, if any, is ended before it stops)
};

class Lab
{
public:
    Lab(const QString &dir, int fd) : m_dir(dir), m_fd(fd) {}
    void round(unsigned long long seed, const QList<int> &indices, const QList<Step> &fixed = {});
    QObject *held(int e, int i) const { return m_held[e][i]; }
    QThread *thread(int t) const { return t ? &m_workers[t]->thread : QCoreApplication::instance()->thread(); }

    QScriptValue wrapper(QScriptEngine *engine, const std::function<QObject *()> &find, const QString &kind);
    void moveNatively(QObject *object, QThread *to, bool back);
    bool onSlot(const Step &s, const std::function<void(QObject *)> &f);
    bool deletes(const Step &s, bool now);
    bool setParent(const Step &s);
    bool toggleWorker(const Step &s);
    bool dropHost(int t);
    bool removeAll(int t, int type);
    bool startEngine(int e);
    bool endEngine(int e);
    bool isHost(const QObject *object) const
    {
        return object && (object == m_host || std::any_of(m_workers + 1, m_workers + Threads, [object](const auto &w) {
                              return w && w->host == object;
                          }));
    }

    long steps = 0, errors = 0, skipped = 0;

private:
    void run(const Step &s);
    void runOn(Worker *w, const std::function<void()> &f);
    bool inEngine(int e, const std::function<void(QScriptEngine *)> &f);
    void still(const std::function<void()> &f);
    bool onItsThread(QObject *object, const std::function<void()> &f);
    Worker *workerOf(QThread *thread) const;
    QSet<QObject *> connected(QThread *except = nullptr) const;
    void sync();
    void spin(int times);
    void cleanup();

    QString m_dir;
    int m_fd;   // a pipe with nothing to read (one that always has would flood the handlers)
    QScriptEngine *m_engines[Engines] = {};
    QPointer<QObject> m_held[Engines][Slots];
    QList<QPointer<QObject>> m_connected[Engines];   // what a script of the engine connected to
    std::unique_ptr<Worker> m_workers[Threads];      // [0] unused: the main thread
    QObject *m_host = nullptr;                       // the host's own object, lent to scripts
    QList<QPointer<QObject>> m_left;   // what ended engines left to the host (see endEngine)
    bool m_removed = false;     // posted events were taken out of a queue this round
};

Lab *g_lab = nullptr;

QScriptValue here(QScriptContext *context, QScriptEngine *)
{
    const QObject *object = context->argument(0).toQObject();
    return object && object->thread() == QThread::currentThread();
}

// take(e, i, kind): another engine's object, wrapped by this one (engines hand objects over
// through the host).
QScriptValue take(QScriptContext *context, QScriptEngine *engine)
{
    const int e = context->argument(0).toInt32(), i = context->argument(1).toInt32();
    if (e < 0 || e >= Engines || i < 0 || i >= Slots)
        return QScriptValue(QScriptValue::NullValue);
    return g_lab->wrapper(engine, [e, i] { return g_lab->held(e, i); }, context->argument(2).toString());
}

// wrap(x, kind): a wrapper the host makes of the object x in this engine (x itself if it is none).
QScriptValue wrap(QScriptContext *context, QScriptEngine *engine)
{
    const QScriptValue x = context->argument(0);
    if (!x.isQObject())
        return x;
    return g_lab->wrapper(engine, [&x] { return x.toQObject(); }, context->argument(1).toString());
}

// carry(x, thread, back): the host moves x, of this thread and with no parent, to the thread
// natively; with `back`, that thread (a running worker) moves it straight back.
QScriptValue carry(QScriptContext *context, QScriptEngine *)
{
    QObject *object = context->argument(0).toQObject();
    auto *to = qobject_cast<QThread *>(context->argument(1).toQObject());
    if (!object || !to || object->thread() != QThread::currentThread() || object->parent())
        return false;
    g_lab->moveNatively(object, to, context->argument(2).toBool());
    return true;
}

// Script ops call here() before what only the object's own thread may do; the rest (connect,
// deleteLater, postEvent, removePostedEvents) QtCore allows from any thread. Repeating timers run
// at 1 ms at the least: at 0 ms on a worker, reporting to a script's handler on a slower thread,
// they flood that thread's queue faster than it empties it, and its loop never reaches its timers
// (natively too, with a handler of 20 us).
const Op Ops[] = {
    {"new", 20, "(function() { var p = <<null|null|here($j) ? $j : null|host>>, x; <<"
                "x = new QObject(p);|x = new QTimer(p);|x = new QTimer(p); x.start(1);|"
                "x = new QTimer(p); x.start(10);|"
                "x = new QTimeLine(200, p);|x = new QTimeLine(200, p); x.start();|x = new QTranslator(p);|"
                "x = new QTranslator(p); if (here(app)) QCoreApplication.installTranslator(x);|"
                "x = new QBuffer(new QByteArray('abc'), p); x.open(QIODevice.ReadWrite);|"
                "x = new QFile(dir + '/f', p);|x = new QProcess(p);|"
                "x = new QProcess(p); x.start('sleep', ['1']);|x = new QProcess(p); x.start('cat');|"
                "x = new QFileSystemWatcher([dir], p);|x = new QSocketNotifier(fd, QSocketNotifier.Read, p);|"
                "x = new QSignalMapper(p);|"
                "x = new QEventLoop(p);|x = new QThreadPool(p);|"
                // not objects: every object call on them throws
                "x = new QByteArray('decoy');|x = new QPoint(1, 2);|x = new QEvent(QEvent.User);>> $i = x; })();"},
    {"drop", 6, "$i = null;"},
    {"gc", 5, "<<gc();|(function() { for (var k = 0; k < 3; ++k) { var junk = [];"
              " for (var n = 0; n < 3000; ++n) junk.push({}); gc(); } })();>>"},
    // (A collection at every report would fall behind a 0 ms timer that moved away, as any slow
    // handler of a queued signal falls behind natively.)
    {"connect", 10, "$x[sig($i, <<0|1|2|3|4|5|6>>)].connect(function() { ++hits;<< if (hits % 32 == 0) gc();||||>> });"},
    {"override", 6, "if (here($i)) $i.<<"
                    "event = function(e) { ++hits; return false; }|"
                    "event = function(e) { return e.type() == QEvent.User; }|"
                    "event = function(e) { this.parent(); this.children(); return false; }|"
                    "event = function(e) { gc(); return false; }|"
                    "timerEvent = function(e) { ++hits; }|"
                    "timerEvent = function(e) { this.killTimer(e.timerId()); }|"
                    "timerEvent = function(e) { this.children(); gc(); }|"
                    "childEvent = function(e) { this.children(); }|"
                    "childEvent = function(e) { this.parent(); gc(); }|"
                    "customEvent = function(e) { ++hits; this.parent(); }|"
                    "eventFilter = function(w, e) { ++hits; return false; }|"
                    "eventFilter = function(w, e) { return e.type() == QEvent.User; }|"
                    "eventFilter = function(w, e) { return e.type() == QEvent.DeferredDelete; }|"
                    "eventFilter = function(w, e) { w.children(); gc(); return false; }>>;"},
    // Overrides that move or delete their own object, set off at once now and then (QtCore
    // crashes on a move from inside the ThreadChange of a move: the plugin refuses it).
    {"override.self", 4, "(function(now) { if (!here($i)) return; <<"
                         "$i.event = function(e) { if (e.type() == QEvent.ThreadChange) this.moveToThread(away($v));"
                         " return false; }; if (now) $i.moveToThread(away($v + 1));|"
                         "$i.event = function(e) { if (e.type() == QEvent.ThreadChange) { this.deleteLater();"
                         " QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); } return false; };"
                         " if (now) $i.moveToThread(away($v));|"
                         "$i.event = function(e) { if (e.type() == QEvent.ThreadChange) this.moveToThread(null);"
                         " return false; }; if (now) $i.moveToThread(away($v));|"
                         "$i.customEvent = function(e) { this.deleteLater();"
                         " QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); };"
                         " if (now) QCoreApplication.postEvent($i, new QEvent(QEvent.User));|"
                         "$i.customEvent = function(e) { this.moveToThread(away($v)); };"
                         " if (now) QCoreApplication.postEvent($i, new QEvent(QEvent.User));|"
                         "$i.timerEvent = function(e) { this.deleteLater();"
                         " QCoreApplication.sendPostedEvents(this, QEvent.DeferredDelete); }; if (now) $i.startTimer(1);|"
                         "$i.timerEvent = function(e) { this.moveToThread(away($v)); }; if (now) $i.startTimer(1);|"
                         "$i.timerEvent = function(e) { this.killTimer(e.timerId()); this.moveToThread(null); };"
                         " if (now) $i.startTimer(1);>> })(<<true|false>>);"},
    {"filter", 3, "<<if (here($x)) $x.installEventFilter($j);|if (here($x)) $x.removeEventFilter($j);|"
                  "host.installEventFilter($x);>>"},
    // An application filter that consumes events and flushes deletions from inside, with script
    // runnables queued meanwhile, until a later step (or the cleanup) removes it. Timer events it
    // consumes for a while only: a loop whose every timer event goes never ends, natively too (and
    // every third event can be the same timer's each time). Not at a signal's report: a flush from
    // inside the loop's pass of posted events extends the pass to whatever was posted since, which
    // never ends beside a worker's 0 ms timer reporting here, natively too.
    {"appFilter", 4, "(function() { <<||unfilter(); return;>> if (!here(app)) return;"
                     " var f = new QObject(), until = Date.now() + <<100|300>>, seen = 0, depth = 0; filters.push(f);"
                     " f.eventFilter = function(w, e) {"
                     "  if (depth < 8 && e.type() != QEvent.MetaCall) { ++depth;"
                     "   try { QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); } finally { --depth; } }"
                     "  return <<Date.now() < until|e.type() != QEvent.Timer && ++seen % 3 == 0|e.type() == QEvent.DeferredDelete|"
                     "e.type() == QEvent.User|false>>;"
                     " };"
                     " app.installEventFilter(f);"
                     " for (var n = 0; n < <<1|3>>; ++n) {"
                     "  var r = new QRunnable(); r.run = function() { ++hits;<<| gc();| QCoreApplication.processEvents();>> };"
                     "  QThreadPool.globalInstance().start(r);"
                     " }"
                     " <<|$i = f;|var d = new QObject(); d.deleteLater();|$x.deleteLater();>>"
                     "})();"},
    {"startTimer", 3, "if (here($x)) $x.startTimer(<<0|1|10|60000>>);"},
    {"post", 5, "QCoreApplication.postEvent($x, new QEvent(QEvent.<<DeferredDelete|User|User>>));"},
    {"deleteLater", 4, "$x.deleteLater();"},
    {"moveToThread", 10, "if (here($x)) $x.moveToThread(<<W[1]|W[2]|W[1]|W[2]|W[0]|null>>);"},
    // Made, connected, moved away (by the script, or the host natively from inside its call),
    // deleted or dropped by the hundred, in batches with loop turns and collections between them;
    // or single shots the host moves away and straight back, and families with a running timer
    // it moves away.
    {"soak", 3, "(function() { var until = Date.now() + <<200|300|500>>, n = 0;"
                " while (Date.now() < until) {"
                "  for (var b = 0; b < <<50|100>>; ++b, ++n) { <<"
                "   var x = new QObject(); x[n % 2 ? 'destroyed' : 'objectNameChanged'].connect(function() { ++hits; });"
                "   x.objectName = 's' + n;"
                "   switch (n % 6) {"
                "   case 0: x.moveToThread(away(n)); break;"
                "   case 1: carry(x, away(n)); break;"
                "   case 2: x.deleteLater(); break;"
                "   case 3: x.moveToThread(away(n)); x.deleteLater(); break;"
                "   case 4: carry(x, away(n)); x.deleteLater(); break;"
                "   }|"
                "   var s = new QTimer(); s.singleShot = true; s.timeout.connect(function() { ++hits; });"
                "   s.start(n % 3); carry(s, away(n), true);"
                "   if (n % 10 == 0) {"
                "    var p = new QObject(), k = new QTimer(p); k.timeout.connect(function() { ++hits; });"
                "    k.start(20); carry(p, away(n));"
                "   }>>"
                "  }"
                "  <<QCoreApplication.processEvents();|QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);>>"
                "  if (n % 3 == 0) gc();"
                " } })();"},
    // Objects a function keeps in an array, each with a handler made there (every closure reaches
    // the array), some moved away, then dropped.
    {"closure", 3, "(function() { var all = [];"
                   " for (var n = 0; n < 4 + 3 * $m; ++n) {"
                   "  var x = <<new QObject()|new QTimer()|new QTimer()>>; all.push(x);"
                   "  <<x[sig(x, n)].connect(function() { ++hits; all.length; });|"
                   "x.customEvent = function() { all.length; }; QCoreApplication.postEvent(x, new QEvent(QEvent.User));>>"
                   "  if (x instanceof QTimer) x.start(n % 3 ? 10 : 1); else x.objectName = 'c' + n;"
                   "  switch (n % <<3|4|5>>) {"
                   "  case 1: x.moveToThread(away(n)); break;"
                   "  case 2: carry(x, away(n)); break;"
                   "  case 3: x.moveToThread(null); break;"
                   "  }"
                   " }"
                   " <<|$i = all[1];|gc();|all[0].deleteLater();|QCoreApplication.processEvents();>>"
                   "})();"},
    // The plugin probes moved objects with a connected signal a second after it began to hold
    // them: a long turn now and then lets it.
    {"loop", 8, "(function() { var l = new QEventLoop(), t = new QTimer(); t.singleShot = true;"
                " t.timeout.connect(function() { l.exit(0); }); t.start(<<0|10|20|0|10|1100>>); l.exec(); })();"},
    {"processEvents", 3, "QCoreApplication.processEvents();"},
    {"removePosted", 2, "QCoreApplication.removePostedEvents(<<$x|$x, QEvent.DeferredDelete|null, QEvent.User>>);"},
    {"sendPosted", 2, "QCoreApplication.sendPostedEvents(<<$x, 0|null, QEvent.DeferredDelete|>>);"},
    {"setParent", 4, "if (here($x)) $x.setParent(<<$j|null|host>>);"},
    {"act", 7, "act($x, $v);"},
    {"take", 4, "$i = take($k, $m, '$t');"},
    // The host, natively, on the object's own thread.
    {"host.move", 10, "host: move e$e.$i to thread <<0 (the main thread)|1|2>>", [](Lab &lab, const Step &s) {
         QThread *to = lab.thread(s.v % Threads);
         return lab.onSlot(s, [to](QObject *o) { o->moveToThread(to); });
     }},
    // Never to no parent: the host would own the object then, and leak it.
    {"host.setParent", 5, "host: give e$e.$i to <<e$e.$j|the next engine's $j|the host's object of its thread|"
                          "a QtCore-made object (its engine if $j is a watcher, else a worker's event dispatcher)|"
                          "no parent, out of its family, then at once to the host's object of its thread>>",
     [](Lab &lab, const Step &s) { return lab.setParent(s); }},
    {"host.delete", 2, "host: delete e$e.$i", [](Lab &lab, const Step &s) { return lab.deletes(s, true); }},
    {"host.deleteLater", 2, "host: deleteLater e$e.$i",
     [](Lab &lab, const Step &s) { return lab.deletes(s, false); }},
    {"host.removePosted", 1, "host: remove <<posted User events|all posted events>> of e$e.$i",
     [](Lab &lab, const Step &s) {
         const int type = s.v % 2 ? 0 : int(QEvent::User);
         return lab.onSlot(s, [type](QObject *o) { QCoreApplication::removePostedEvents(o, type); });
     }},
    // Only to an object without timers: QtCore takes them off at a ThreadChange and registers them
    // again by a queued call, so one stopped in between comes back unknown to the object and
    // fires at it once it is deleted (plain QtCore crashes so).
    {"host.threadChange", 2, "host: send a ThreadChange to e$e.$i (it stays)", [](Lab &lab, const Step &s) {
         bool sent = false;
         lab.onSlot(s, [&sent](QObject *o) {
             QEvent change(QEvent::ThreadChange);
             if ((sent = QAbstractEventDispatcher::instance()->registeredTimers(o).isEmpty()))
                 QCoreApplication::sendEvent(o, &change);
         });
         return sent;
     }},
    {"host.worker", 2, "host: stop worker <<1|2>> (e$e.$i moved there first, e$e.$j to no thread if idle, neither"
                       " with a parent; its engine ended right before), or start it again<<| with an engine>>",
     [](Lab &lab, const Step &s) { return lab.toggleWorker(s); }},
    {"engine.new", 2, "host: start engine $e", [](Lab &lab, const Step &s) { return lab.startEngine(s.e); }},
    {"engine.end", 2, "host: end engine $e", [](Lab &lab, const Step &s) { return lab.endEngine(s.e); }},
    // The later table: what the objects' handlers, overrides and filters do reaches the other
    // slots (deeds, in the prelude), with streams on the objects and more of the host's events.
    {"handler", 10, "$x[sig($i, $v)].connect(<<function() { deeds($d); }|"
                    "(function(x) { return function() { deeds($d, x); }; })($i)|$j, function() { deeds($d, this); }>>);",
     nullptr, 1},
    {"slot", 2, "$x[sig($i, $v)].connect($j, $j.<<deleteLater|deleteLater|stop|start|quit|kill|blockSignals>>);",
     nullptr, 1},
    {"override.deeds", 10, "if (here($i)) $i.<<event|eventFilter|eventFilter|childEvent|timerEvent|customEvent>> ="
                           " function(a, b) { deeds($d, this); return <<false|false|(b ? b : a).type() == QEvent.User>>; };",
     nullptr, 1},
    // (On the object an event is for only if it is one of the slots': a filter that stops the
    // timer of a loop, or deletes the host's own object, is the script's own fault, natively too.)
    {"appFilter.deeds", 2, "(function() { <<unfilter(); return;||>> if (!here(app)) return; var f = new QObject();"
                           " filters.push(f); f.eventFilter = function(w, e) { if (e.type() != QEvent.MetaCall)"
                           " deeds($d, <<this|o.indexOf(w) < 0 ? this : w>>); return false; }; app.installEventFilter(f); <<|$i = f;>> })();",
     nullptr, 1},
    {"runnable", 3, "(function() { var p = <<$x|$x|QThreadPool.globalInstance()>>, r = new QRunnable();"
                    " if (!(p instanceof QThreadPool)) return; r.run = function() { deeds($d, p); }; p.start(r);"
                    " <<|if (here(p)) nest(function() { p.waitForDone(); });>> })();", nullptr, 1},
    {"stream", 5, "<<s[$m] = new QXmlStreamReader($x);|s[$m] = new QTextStream($x);|s[$m] = new QDataStream($x);|"
                  "s[$m] = new QBasicTimer(); if (here($i)) s[$m].start(1 + $v % 5, $x);|use($m, $v);|use($m, $v);|"
                  "s[$m] = null;>>", nullptr, 1},
    {"deeds", 6, "deeds($d, $x);", nullptr, 1},
    {"host.post", 3, "host: post <<a User event|a deletion|a LanguageChange event>> to e$e.$i",
     [](Lab &lab, const Step &s) {
         const QEvent::Type type = s.v % 3 == 0 ? QEvent::User
             : s.v % 3 == 1 ? QEvent::DeferredDelete : QEvent::LanguageChange;
         return lab.onSlot(s, [type](QObject *o) {
             QCoreApplication::postEvent(o, type == QEvent::DeferredDelete ? new QDeferredDeleteEvent : new QEvent(type));
         });
     }, 1},
    {"host.send", 2, "host: send <<a User event|a LanguageChange event>> to e$e.$i", [](Lab &lab, const Step &s) {
         return lab.onSlot(s, [&s](QObject *o) {
             QEvent event(s.v % 2 ? QEvent::LanguageChange : QEvent::User);
             QCoreApplication::sendEvent(o, &event);
         });
     }, 1},
    {"host.startTimer", 2, "host: start a timer of e$e.$i at <<1|10>> ms", [](Lab &lab, const Step &s) {
         return lab.onSlot(s, [&s](QObject *o) { o->startTimer(s.v % 2 ? 10 : 1); });
     }, 1},
    {"engine.again", 8, "host: start engine $e if it ended", [](Lab &lab, const Step &s) { return lab.startEngine(s.e); },
     1},
    {"host.dropHost", 1, "host: delete its object of thread <<0|1|2>> with its children, and lend a new one",
     [](Lab &lab, const Step &s) { return lab.dropHost(s.v % Threads); }, 1},
    // The third table: objects of the slots as filters of one another, of themselves and of the
    // application, and the host's removal of every posted event of a thread.
    {"filters", 4, "<<if (here($x)) $x.installEventFilter($j);|if (here($x)) $x.installEventFilter($x);|"
                   "if (here($j)) $j.installEventFilter($x);|if (here($x)) $x.removeEventFilter($j);|"
                   "if (here(app) && $i) { app.installEventFilter($x); filters.push($x); }>>", nullptr, 2},
    {"host.removeAll", 1, "host: remove <<all posted events|all posted deletions>> of thread <<0|1|2>>",
     [](Lab &lab, const Step &s) { return lab.removeAll(s.v / 2 % Threads, s.v % 2 ? QEvent::DeferredDelete : 0); },
     2},
};

int weightOf(const Op &op) { return op.since <= g_table ? op.weight : 0; }
int engineOf(int pick) { return pick < 14 ? 0 : pick < 19 ? 1 : pick < 20 ? 2 : pick < 23 ? 3 : 4; }

Step makeStep(unsigned long long seed, int index)
{
    int total = 0;
    for (const Op &op : Ops)
        total += weightOf(op);
    Random r{seed * 0xD1B54A32D192ED03ull + unsigned(index) * 0x9E3779B97F4A7C15ull + 1};
    r.next();
    Step s;
    s.index = index;
    for (int pick = r.below(total); pick >= weightOf(Ops[s.op]); pick -= weightOf(Ops[s.op++])) {}
    s.e = engineOf(r.below(25));
    s.i = r.below(Slots);
    s.j = r.below(Slots);
    s.v = r.below(1 << 16);
    s.w = r.below(16);
    s.d = r.below(1 << 30);
    // The later table keeps to a few objects for a while: most steps of a run of eight act on the
    // run's engine and slots, so that what one step sets up the next ones use.
    if (g_table >= 1 && r.below(4)) {
        Random run{seed * 0x9E3779B97F4A7C15ull + unsigned(index / 8) * 0xD1B54A32D192ED03ull + 2};
        run.next();
        s.e = engineOf(run.below(25));
        s.i = run.below(Slots);
        s.j = run.below(Slots);
    }
    return s;
}

Step fixedStep(const char *op, int e, int i, int v)
{
    Step s;
    while (std::strcmp(Ops[s.op].name, op))
        ++s.op;
    s.e = e, s.i = i, s.v = v;
    return s;
}

QString describe(const Step &s)
{
    const Op &op = Ops[s.op];
    return QStringLiteral("#%1 %2%3: %4").arg(s.index).arg(op.host ? QString() : QStringLiteral("e%1 ").arg(s.e),
                                               QLatin1String(op.name), expand(op.text, s));
}

// ---------------------------------------------------------------------------------------------
// Thread dispatch and settling.

// Waits quietly (this thread does nothing meanwhile, so nothing it posts races with the host's
// reads after the wait); a pool's runs wait for their engine's thread, so a worker deleting a pool
// needs it to turn: after a while it does.
void await(QSemaphore &done)
{
    if (done.tryAcquire(1, 2000))
        return;
    while (!done.tryAcquire(1, 5))
        QCoreApplication::processEvents();
}

void Lab::runOn(Worker *w, const std::function<void()> &f)
{
    auto done = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(&w->anchor, [f, done] { f(); done->release(); }, Qt::QueuedConnection);
    await(*done);
}

// Runs `f` on engine e's thread: false when it has none.
bool Lab::inEngine(int e, const std::function<void(QScriptEngine *)> &f)
{
    QScriptEngine *engine = m_engines[e];
    Worker *w = m_workers[threadOf(e)].get();
    if (!engine || (w && !w->running))
        return false;
    if (w)
        runOn(w, [&] { f(engine); });
    else
        f(engine);
    return true;
}

// Runs `f` while every other running worker waits (the main thread waits for a worker's engine's
// step already): an object of theirs it reads is not deleted under it.
void Lab::still(const std::function<void()> &f)
{
    QList<std::shared_ptr<QSemaphore>> gates;
    for (int t = 1; t < Threads; ++t) {
        Worker *w = m_workers[t].get();
        if (!w->running || &w->thread == QThread::currentThread())
            continue;
        auto entered = std::make_shared<QSemaphore>(), go = std::make_shared<QSemaphore>();
        QMetaObject::invokeMethod(&w->anchor, [entered, go] { entered->release(); go->acquire(); },
                                  Qt::QueuedConnection);
        await(*entered);
        gates << go;
    }
    f();
    for (const auto &go : gates)
        go->release();
}

QScriptValue Lab::wrapper(QScriptEngine *engine, const std::function<QObject *()> &find, const QString &kind)
{
    const Through &through = throughNamed(kind);
    QScriptValue result(QScriptValue::NullValue);
    still([&] {
        if (QObject *object = find()) {
            const bool ours = object->thread() == QThread::currentThread();
            result = engine->newQObject(object, ours ? through.ownership : QScriptEngine::QtOwnership,
                                        through.existing ? QScriptEngine::PreferExistingWrapperObject
                                                         : QScriptEngine::QObjectWrapOptions());
        }
    });
    return result;
}

void Lab::moveNatively(QObject *object, QThread *to, bool back)
{
    QThread *home = QThread::currentThread();
    QPointer<QObject> o = object;
    o->moveToThread(to);
    Worker *w = workerOf(to);
    if (back && w && w->running && to != home) {
        runOn(w, [o, home] {
            if (o && o->thread() == QThread::currentThread())
                o->moveToThread(home);
        });
    }
}

Worker *Lab::workerOf(QThread *thread) const
{
    for (int t = 1; t < Threads; ++t) {
        if (&m_workers[t]->thread == thread)
            return m_workers[t].get();
    }
    return nullptr;
}

// The one place the host acts on an object: on the thread it lives on. False when that thread
// is not running (its objects wait for it).
bool Lab::onItsThread(QObject *object, const std::function<void()> &f)
{
    QThread *t = object->thread();
    if (t == QThread::currentThread()) {
        f();
        return true;
    }
    Worker *w = workerOf(t);
    if (!w || !w->running)
        return false;
    runOn(w, f);
    return true;
}

bool Lab::onSlot(const Step &s, const std::function<void(QObject *)> &f)
{
    QPointer<QObject> object = m_held[s.e][s.i];
    return object && onItsThread(object, [&] {
        if (object)
            f(object);
    });
}

// After each step every worker has run what was posted to it, deletions included: the host reads
// its pointers and the objects' threads only then.
void Lab::sync()
{
    for (int round = 0; round < 2; ++round) {
        for (int t = 1; t < Threads; ++t) {
            if (m_workers[t]->running)
                runOn(m_workers[t].get(), [] {});
        }
    }
}

void Lab::spin(int times)
{
    for (int k = 0; k < times; ++k) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sync();
    }
}

// QtScript reads the sender of a queued report of a signal connected to a script's handler when
// it delivers it: a sender deleted on another thread while such reports are on their way leaves
// it reading freed memory (README, "What it does not do"). The host's own deletions skip objects
// with descendants an engine of another thread connected to, as a host must: what scripts of
// engines other than those of `except` connected to.
QSet<QObject *> Lab::connected(QThread *except) const
{
    QSet<QObject *> set;
    for (int e = 0; e < Engines; ++e) {
        if (thread(threadOf(e)) == except)
            continue;
        for (const QPointer<QObject> &o : m_connected[e])
            set.insert(o.data());
    }
    set.remove(nullptr);
    return set;
}

bool subtreeIn(QObject *root, const QSet<QObject *> &set)
{
    const QList<QObject *> below = root->findChildren<QObject *>();
    return set.contains(root)
        || std::any_of(below.begin(), below.end(), [&](QObject *o) { return set.contains(o); });
}

// ---------------------------------------------------------------------------------------------
// Host ops that need more than a line.

// A deletion asked for (deleteLater) waits for the engines of other threads (README).
bool Lab::deletes(const Step &s, bool now)
{
    QPointer<QObject> object = m_held[s.e][s.i];
    bool done = false;
    object && onItsThread(object, [&] {
        if (object && !now) {
            object->deleteLater();
            done = true;
            return;
        }
        // Its reports from another thread to this thread's engines first (their handlers run: a
        // collection there may take it).
        if (object && subtreeIn(object, connected()))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        if (object && !subtreeIn(object, connected(QThread::currentThread()))) {
            delete object.data();
            done = true;
        }
    });
    return done;
}

bool Lab::setParent(const Step &s)
{
    QPointer<QObject> child = m_held[s.e][s.i];
    const int kind = s.v % 5;
    QPointer<QObject> basis = m_held[kind == 1 ? (s.e + 1) % Engines : s.e][s.j];
    if (!child || (kind < 2 && !basis))
        return false;
    QThread *where = child->thread();
    if (basis && basis->thread() != where)
        basis = nullptr;
    Worker *w = workerOf(where);
    QObject *host = w ? w->host : m_host;
    const QSet<QObject *> set = connected();
    bool done = false;
    onItsThread(child, [&] {
        if (kind == 4) {
            if (child && child->parent() && child->parent() != host) {
                child->setParent(nullptr);
                child->setParent(host);
                done = true;
            }
            return;
        }
        QObject *parent = kind < 2 ? basis.data() : kind == 2 ? host : nullptr;
        if (kind == 3 && !(w && subtreeIn(child, set))) {
            // A watcher's engine, or the worker's event dispatcher (deleted there when it stops).
            if (auto *watcher = qobject_cast<QFileSystemWatcher *>(basis.data()))
                parent = watcher->children().value(0);
            else if (w)
                parent = QAbstractEventDispatcher::instance();
        }
        for (QObject *p = parent; p; p = p->parent()) {
            if (p == child)
                return;   // QtCore checks no cycle
        }
        if (child && parent) {
            child->setParent(parent);
            done = true;
        }
    });
    return done;
}

// The host's object of a thread goes with its children (not those a script of another thread's
// engine connected to, as in deletes()); each engine is lent the new one.
bool Lab::dropHost(int t)
{
    Worker *w = m_workers[t].get();
    QObject *&host = w ? w->host : m_host;
    bool done = false;
    const auto drop = [&] {
        if (subtreeIn(host, connected()))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        if (subtreeIn(host, connected(QThread::currentThread())))
            return;
        delete host;
        host = new QObject;
        done = true;
    };
    if (w && !w->running)
        return false;
    w ? runOn(w, drop) : drop();
    for (int e = 0; done && e < Engines; ++e) {
        inEngine(e, [&](QScriptEngine *engine) {
            if (threadOf(e) == t)
                engine->globalObject().setProperty(QStringLiteral("host"), engine->newQObject(host));
            if (!t)
                engine->globalObject().setProperty(QStringLiteral("home"), engine->newQObject(host));
        });
    }
    return done;
}

// Every event of a type posted to any object of thread t is taken out of its queue (QtCore's
// removal with no receiver).
bool Lab::removeAll(int t, int type)
{
    Worker *w = m_workers[t].get();
    if (w && !w->running)
        return false;
    const auto remove = [type] { QCoreApplication::removePostedEvents(nullptr, type); };
    w ? runOn(w, remove) : remove();
    m_removed = true;
    return true;
}

// No timer of it or of a descendant is registered on this thread (QtCore loses those of one that
// moves to no thread).
bool idle(QObject *root)
{
    QList<QObject *> all = root->findChildren<QObject *>();
    all << root;
    return std::all_of(all.begin(), all.end(), [](QObject *o) {
        return QAbstractEventDispatcher::instance()->registeredTimers(o).isEmpty();
    });
}

bool Lab::toggleWorker(const Step &s)
{
    const int t = 1 + s.v % 2;
    Worker *w = m_workers[t].get();
    if (!w->running) {
        w->thread.start();
        w->running = true;
        --g_stopped;
        if (s.v / 2 % 2)
            startEngine(MainEngines + t - 1);
        return true;
    }
    // It ends with objects on it and of no thread, its engine right before.
    QThread *to = &w->thread;
    onSlot(s, [to](QObject *o) {
        if (!o->parent())
            o->moveToThread(to);
    });
    Step other = s;
    other.i = s.j;
    onSlot(other, [](QObject *o) {
        if (!o->parent() && idle(o))
            o->moveToThread(nullptr);
    });
    endEngine(MainEngines + t - 1);
    // Its end deletes its event dispatcher there, and the host's children of it.
    const QSet<QObject *> set = connected();
    bool connectedBelow = false;
    runOn(w, [&] { connectedBelow = subtreeIn(QAbstractEventDispatcher::instance(), set); });
    if (connectedBelow)
        return false;
    w->thread.quit();
    w->thread.wait();
    w->running = false;
    ++g_stopped;
    return true;
}

// Made, used and deleted on its thread (a worker's while it runs).
bool Lab::startEngine(int e)
{
    const int t = threadOf(e);
    Worker *w = m_workers[t].get();
    if (m_engines[e] || (w && !w->running))
        return false;
    const auto make = [this, e, t] {
        auto *engine = m_engines[e] = new QScriptEngine;
        const QScriptValue imported = engine->importExtension(QStringLiteral("qt.core"));
        if (engine->hasUncaughtException()) {
            std::fprintf(stderr, "lifefuzz: no plugin under %s: %s\n", g_plugins.constData(),
                         qPrintable(imported.toString()));
            std::_Exit(2);
        }
        QScriptValue global = engine->globalObject();
        // The host's object of the engine's thread, and the main thread's.
        global.setProperty(QStringLiteral("host"), engine->newQObject(t ? m_workers[t]->host : m_host));
        global.setProperty(QStringLiteral("home"), engine->newQObject(m_host));
        global.setProperty(QStringLiteral("T"), t);
        for (int k = 1; k < Threads; ++k)
            global.setProperty(QStringLiteral("anchor%1").arg(k), engine->newQObject(&m_workers[k]->anchor));
        global.setProperty(QStringLiteral("here"), engine->newFunction(here, 1));
        global.setProperty(QStringLiteral("take"), engine->newFunction(take, 3));
        global.setProperty(QStringLiteral("wrap"), engine->newFunction(wrap, 2));
        global.setProperty(QStringLiteral("carry"), engine->newFunction(carry, 3));
        global.setProperty(QStringLiteral("dir"), m_dir);
        global.setProperty(QStringLiteral("fd"), m_fd);
        engine->evaluate(QString::fromLatin1(Prelude));
        if (engine->hasUncaughtException()) {
            std::fprintf(stderr, "lifefuzz: the prelude failed: %s\n",
                         qPrintable(engine->uncaughtException().toString()));
            std::_Exit(2);
        }
    };
    if (w)
        runOn(w, make);
    else
        make();
    return true;
}

bool Lab::endEngine(int e)
{
    if (!m_engines[e])
        return false;
    // A script's object that outlives its engine (a parent of the host's keeps it) is the host's
    // from then on: one a script of another engine takes from that parent through a wrapper of
    // Qt's ownership is no one's, as in QtScript, and the host deletes it in the end.
    for (const QPointer<QObject> &o : m_held[e]) {
        const auto note = [&] {
            if (o && isHost(o->parent()))
                m_left << o;
        };
        if (o && o->thread())
            onItsThread(o, note);
        else
            note();
    }
    if (!inEngine(e, [](QScriptEngine *engine) { delete engine; }))
        return false;
    m_engines[e] = nullptr;
    m_connected[e].clear();   // QtScript's records went with it
    return true;
}

// ---------------------------------------------------------------------------------------------
// Rounds.

void Lab::run(const Step &s)
{
    const Op &op = Ops[s.op];
    // (A filter that consumes events may take deletions the plugin asked for, as a removal does;
    // a move to no thread leaves them where nothing delivers them.)
    const QByteArray name(op.name);
    m_removed = m_removed || name.contains("removePosted") || name == "appFilter" || name == "host.worker"
                || name == "moveToThread" || name == "filters";
    const QString what = describe(s);
    watch(what.toUtf8().constData());
    if (g_verbose)
        std::fprintf(stdout, "%s\n", qPrintable(what));
    const bool ran = op.host ? op.host(*this, s) : inEngine(s.e, [&](QScriptEngine *engine) {
        engine->evaluate(expand(op.text, s));
        if (engine->hasUncaughtException()) {
            ++errors;
            if (g_verbose)
                std::fprintf(stdout, "   threw %s\n", qPrintable(engine->uncaughtException().toString()));
        }
    });
    ++steps;
    skipped += !ran;
    if (g_verbose && !ran)
        std::fprintf(stdout, "   skipped\n");
    std::fflush(stdout);
    for (int e = 0; e < Engines; ++e)
        inEngine(e, [](QScriptEngine *engine) { engine->clearExceptions(); });
    sync();
    if (ran && !op.host) {
        // (A slot may hold an object of another thread.)
        inEngine(s.e, [&](QScriptEngine *engine) {
            still([&] {
                const QScriptValue array = engine->globalObject().property(QStringLiteral("o"));
                for (int i = 0; i < Slots; ++i) {
                    if (QObject *object = array.property(quint32(i)).toQObject())
                        m_held[s.e][i] = object;
                }
            });
        });
        if (!std::strcmp(op.name, "connect"))
            m_connected[s.e] << m_held[s.e][s.i];
    }
}

void Lab::round(unsigned long long seed, const QList<int> &indices, const QList<Step> &fixed)
{
    watch("(setting up)");
    for (auto &row : m_held) {
        for (QPointer<QObject> &p : row)
            p = nullptr;
    }
    for (int t = 1; t < Threads; ++t)
        m_workers[t].reset(new Worker);
    m_host = new QObject;
    for (int e : {0, 1, 3, 4})
        startEngine(e);
    for (const Step &s : fixed)
        run(s);
    for (int index : indices)
        run(makeStep(seed, index));
    cleanup();
}

// Ends everything, then lets both threads deliver what is left: engines first (their objects
// that live on go to their threads or stay with their native parents), then the host's objects,
// then the workers.
void Lab::cleanup()
{
    watch("(cleanup)");
    for (int t = 1; t < Threads; ++t) {
        if (!m_workers[t]->running) {
            m_workers[t]->thread.start();
            --g_stopped;
        }
        m_workers[t]->running = true;
    }
    sync();
    // (An application filter that consumes events would starve what comes.)
    for (int e = 0; e < Engines; ++e)
        inEngine(e, [](QScriptEngine *engine) { engine->evaluate(QStringLiteral("unfilter();")); });
    for (int e = 0; e < Engines; ++e)
        endEngine(e);
    spin(5);
    // The plugin asks again a second later for the deletions it asked for that were taken out of
    // the queue (and reads holds again).
    if (std::exchange(m_removed, false))
        spin(60);
    for (const QPointer<QObject> &o : std::exchange(m_left, {})) {
        const auto drop = [o] {
            if (o && !o->parent())
                delete o.data();
        };
        if (o && o->thread())
            onItsThread(o, drop);
        else
            drop();
    }
    delete m_host;
    for (int t = 1; t < Threads; ++t) {
        QObject *host = m_workers[t]->host;
        runOn(m_workers[t].get(), [host] { delete host; });
    }
    spin(5);
    for (int t = 1; t < Threads; ++t) {
        m_workers[t]->thread.quit();
        m_workers[t]->thread.wait();
        m_workers[t].reset();
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // QtCore keeps the global pool's threads a while after their last runnable, and those that
    // expired until the pool next starts one: how many are left depends on timing, not the case.
    QThreadPool::globalInstance()->waitForDone(5000);
}

// Steps a warm-up round takes, so that what QtCore and the plugin make once per process (the
// plugin's own objects, a pool, QtCore's helpers) is there before the counted round. Gently: it
// must pass on a plugin with faults in what the cases try.
QList<Step> warmUp()
{
    QList<Step> steps;
    for (int k = 0; k < 21; ++k)   // each of the objects "new" makes
        steps << fixedStep("new", 0, k % Slots, 4 * k) << fixedStep("act", 0, k % Slots, k + 1)
              << fixedStep("connect", 0, k % Slots, k);
    steps << fixedStep("new", 0, 0, 0) << fixedStep("moveToThread", 0, 0, 1) << fixedStep("host.move", 0, 0, 0)
          << fixedStep("take", 1, 0, 3) << fixedStep("loop", 0, 0, 2) << fixedStep("gc", 0, 0, 0);
    // A worker's engine, its object in e0; the global pool's threads (an application filter that
    // consumes nothing, three runnables).
    steps << fixedStep("new", 3, 0, 0) << fixedStep("act", 3, 0, 1) << fixedStep("take", 0, 1, 2)
          << fixedStep("connect", 0, 1, 0) << fixedStep("appFilter", 0, 0, 54) << fixedStep("loop", 0, 0, 2)
          << fixedStep("appFilter", 0, 0, 2) << fixedStep("gc", 0, 0, 0);
    return steps;
}

// "seed:0-3,7,9", after "table/" for an earlier table
bool parseReplay(QString text, unsigned long long &seed, QList<int> &indices)
{
    bool ok = true;
    if (text.contains(QLatin1Char('/'))) {
        g_table = text.section(QLatin1Char('/'), 0, 0).toInt(&ok);
        ok = ok && g_table >= 0 && g_table < Tables;
        text = text.section(QLatin1Char('/'), 1);
    }
    bool number = false;
    seed = text.section(QLatin1Char(':'), 0, 0).toULongLong(&number);
    ok = ok && number;
    for (const QString &item : text.section(QLatin1Char(':'), 1).split(QLatin1Char(','))) {
        if (item.isEmpty())
            continue;
        bool a = false, b = false;
        const int from = item.section(QLatin1Char('-'), 0, 0).toInt(&a);
        const int to = item.contains(QLatin1Char('-')) ? item.section(QLatin1Char('-'), 1).toInt(&b)
                                                       : (b = true, from);
        for (int k = from; a && b && k <= to; ++k)
            indices << k;
        ok = ok && a && b;
    }
    return ok && text.contains(QLatin1Char(':'));
}

QString replayText(unsigned long long seed, const QList<int> &indices)
{
    QStringList runs;
    for (int k = 0; k < indices.size();) {
        int end = k;
        while (end + 1 < indices.size() && indices[end + 1] == indices[end] + 1)
            ++end;
        runs << (end > k ? QStringLiteral("%1-%2").arg(indices[k]).arg(indices[end]) : QString::number(indices[k]));
        k = end + 1;
    }
    return (g_table < Tables - 1 ? QStringLiteral("%1/").arg(g_table) : QString()) + QString::number(seed)
        + QLatin1Char(':') + runs.join(QLatin1Char(','));
}

// The checks of one case, in this process: a warm-up round, then the case's round, counted.
int replay(int argc, char **argv, unsigned long long seed, const QList<int> &indices, const QString &scratch)
{
    if (!installHooks()) {
        std::fprintf(stderr, "lifefuzz: QtCore's hooks are not of a known version\n");
        return 2;
    }
    qInstallMessageHandler(onMessage);
    std::signal(SIGABRT, [](int sig) { reportCurrent(); std::signal(sig, SIG_DFL); std::raise(sig); });
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
    __sanitizer_set_death_callback(reportCurrent);
#endif
    std::thread(watchdog).detach();
    watch("(starting)");
    QCoreApplication app(argc, argv);
    QCoreApplication::addLibraryPath(QFile::decodeName(g_plugins));
    const QString dir = scratch + QStringLiteral("/case-%1").arg(::getpid());
    QDir().mkpath(dir);
    int pipe[2];
    if (::pipe(pipe))
        return 2;

    Lab lab(dir, pipe[0]);
    g_lab = &lab;
    const bool verbose = std::exchange(g_verbose, false);
    if (g_leaks)
        lab.round(0, {}, warmUp());
    if ((g_verbose = verbose))
        std::fprintf(stdout, "every engine's prelude:%s", Prelude);
    lab.steps = lab.errors = lab.skipped = 0;
    std::unordered_set<QObject *> before;
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        before = g_liveSet;
    }
    const long base = counted();
    lab.round(seed, indices);
    const long first = counted();
    int status = 0;
    if (first > base && g_leaks) {
        // What QtCore or the plugin makes once for good the warm-up may have missed: a second
        // round of the same steps must leave more again.
        const QString left = leftBehind(before);
        {
            std::lock_guard<std::mutex> lock(g_liveMutex);
            before = g_liveSet;
        }
        lab.round(seed, indices);
        const long second = counted();
        if (second > first) {
            std::fprintf(stderr, "lifefuzz: LEAK: %ld QObjects more after the case, %ld more after it ran "
                         "again; left after the first:\n%sand after the second:\n%s", first - base,
                         second - first, qPrintable(left), qPrintable(leftBehind(before)));
            status = 4;
        } else if (g_verbose) {
            std::fprintf(stdout, "made once for good (%ld):\n%s", first - base, qPrintable(left));
        }
    }
    std::printf("lifefuzz-result steps=%ld errors=%ld skipped=%ld\n", lab.steps, lab.errors, lab.skipped);
    QDir(dir).removeRecursively();
    watch("(the process's end: QtCore's, and the leak check's)", 20000);
    return status;
}

// ---------------------------------------------------------------------------------------------
// The driver: cases in child processes, a failure cut down by delta debugging.

struct Outcome {
    QString kind;   // empty: passed
    QString output;
    long steps = 0, errors = 0, skipped = 0;
};

// QtCore's own leak: a ThreadChange to an object with timers queues a list of them to the object
// (QObject::event), lost when the object goes before that call runs (a deletion posted before its
// move, its events removed). Leak reports of that alone, with no frame of ours above QtCore's
// handler, are no failure (indirect leaks are what those lists hold; QtCore's own frames are cut
// short there).
bool onlyQtCoresTimerLists(const QString &text)
{
    const QStringList blocks = text.split(QRegularExpression(QStringLiteral("(Direct|Indirect) leak of ")));
    for (int k = 1; k < blocks.size(); ++k) {
        const int at = blocks[k].indexOf(QLatin1String(" in QObject::event(QEvent*)"));
        if (text.contains(QStringLiteral("Direct leak of ") + blocks[k])
            && (at < 0 || blocks[k].left(at).contains(QLatin1String(QTCORE_SOURCE_DIR))))
            return false;
    }
    return blocks.size() > 1;
}

QString kindOf(const QString &text, int status)
{
    const int asan = text.indexOf(QLatin1String("ERROR: AddressSanitizer: "));
    if (asan >= 0)
        return QStringLiteral("asan:") + text.mid(asan + 25).remove(QRegularExpression(QStringLiteral("^attempting ")))
            .section(QLatin1Char(' '), 0, 0).trimmed();
    static const char *const marks[][2] = {{"runtime error:", "ubsan"}, {"lifefuzz: HANG", "hang"},
                                           {"lifefuzz: LEAK", "leak"}, {"lifefuzz: Qt fatal", "qfatal"},
                                           {"lifefuzz: THREAD RULE", "thread"}};
    for (const auto &mark : marks) {
        if (text.contains(QLatin1String(mark[0])))
            return QLatin1String(mark[1]);
    }
    if (text.contains(QLatin1String("ERROR: LeakSanitizer")))
        return onlyQtCoresTimerLists(text) ? QString() : QStringLiteral("lsan");
    if (WIFSIGNALED(status))
        return QStringLiteral("signal %1").arg(WTERMSIG(status));
    return WEXITSTATUS(status) ? QStringLiteral("exit %1").arg(WEXITSTATUS(status)) : QString();
}

QString lineAfter(const QString &text, const char *mark)
{
    return text.section(QLatin1String(mark), 1).section(QLatin1Char('\n'), 0, 0);
}

// The first frame of the plugin's (any build's) in the sanitizer's first stack, with the next
// other function of the plugin's that called it (a call's wrapping aside); else the first frame.
QString frameOf(const QString &report)
{
    static const QRegularExpression frame(QStringLiteral("^\\s*#\\d+ 0x[0-9a-f]+ in (.+?) (\\S+)$"));
    static const QRegularExpression plugin(
        QStringLiteral("(^|/)(plugin|kernel|io|text|values|xml|fs|global|concurrent)/"));
    QString first, found;
    for (const QString &line : report.split(QLatin1Char('\n')).mid(1, 600)) {
        const QRegularExpressionMatch m = frame.match(line);
        if (line.startsWith(QLatin1String("SUMMARY: ")) || (!m.hasMatch() && !first.isEmpty() && line.trimmed().isEmpty()))
            break;
        const QString function = m.captured(1).section(QLatin1Char('('), 0, 0), where = m.captured(2);
        if (m.hasMatch() && first.isEmpty())
            first = function;
        if (!m.hasMatch() || !where.contains(plugin))
            continue;
        const QString at = function + QLatin1Char('@') + where.section(QLatin1Char('/'), -1);
        if (found.isEmpty())
            found = at;
        else if (!at.startsWith(found.section(QLatin1Char('@'), 0, 0) + QLatin1Char('@')) && !at.contains(QLatin1String("call.h")))
            return found + QLatin1Char('<') + at;
    }
    return found.isEmpty() ? first.isEmpty() ? QStringLiteral("?") : first : found;
}

// What tells failures of one kind from one another: the op a hang was in, the rule QtCore saw
// broken, the plugin's frames of a sanitizer's report.
QString whereOf(const QString &kind, const QString &output)
{
    if (kind == QLatin1String("hang"))
        return lineAfter(output, "lifefuzz: in ").section(QLatin1Char(':'), 0, 0).section(QLatin1Char(' '), -1);
    if (kind == QLatin1String("thread"))
        return lineAfter(output, "THREAD RULE: ");
    const int asan = output.indexOf(QLatin1String("ERROR: AddressSanitizer: "));
    if (asan >= 0)
        return frameOf(output.mid(asan));
    return lineAfter(output, "SUMMARY: ").section(QLatin1String(" in "), 1);
}

// What a case cut down must still show: its kind, and where for all but a hang (which may come
// in another step).
QString signatureOf(const Outcome &o)
{
    return o.kind.startsWith(QLatin1String("hang")) ? o.kind : o.kind + QLatin1Char(' ') + whereOf(o.kind, o.output);
}

Outcome runChild(const QByteArray &self, const QString &scratch, const QString &what, int timeoutS)
{
    static int count = 0;
    const QByteArray out = QFile::encodeName(scratch + QStringLiteral("/out-%1.txt").arg(++count));
    const QByteArray replayBytes = what.toLatin1(), limit = QByteArray::number(g_stepLimitMs);
    const char *args[] = {self.constData(), "--replay", replayBytes.constData(), "--step-limit", limit.constData(),
                          "--plugins", g_plugins.constData(), g_leaks ? nullptr : "--no-leaks", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    Outcome result;
    const bool started = !posix_spawn(&pid, self.constData(), &actions, nullptr, const_cast<char **>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    QElapsedTimer clock;
    clock.start();
    while (started && ::waitpid(pid, &status, WNOHANG) == 0) {
        if (clock.elapsed() > timeoutS * 1000LL) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.kind = QStringLiteral("hang (killed)");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    QFile file(QFile::decodeName(out));
    if (file.open(QIODevice::ReadOnly))
        result.output = QString::fromLocal8Bit(file.read(1 << 20));
    file.remove();
    if (result.kind.isEmpty())
        result.kind = started ? kindOf(result.output, status) : QStringLiteral("cannot start");
    const QString counts = lineAfter(result.output, "lifefuzz-result ");
    result.steps = counts.section(QLatin1String("steps="), 1).section(QLatin1Char(' '), 0, 0).toLong();
    result.errors = counts.section(QLatin1String("errors="), 1).section(QLatin1Char(' '), 0, 0).toLong();
    result.skipped = counts.section(QLatin1String("skipped="), 1).toLong();
    return result;
}

// The report's first lines: the sanitizer's error and its first frames, or ours.
QString firstLines(const QString &output)
{
    const int at = output.indexOf(QRegularExpression(QStringLiteral("ERROR: |runtime error:|lifefuzz: ")));
    const int line = output.lastIndexOf(QLatin1Char('\n'), qMax(at, 0)) + 1;
    QStringList lines = output.mid(line).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    lines = lines.mid(0, 18);
    return QStringLiteral("  ") + lines.join(QStringLiteral("\n  "));
}

struct Driver {
    QByteArray self;
    QString scratch;
    QElapsedTimer clock;
    long long deadlineMs = 0;
    int childTimeoutS = 120;
    int runs = 0;

    // Failures that depend on timing may not come every time: a candidate gets two tries.
    bool fails(unsigned long long seed, const QList<int> &indices, const QString &kind, QString *output,
               int tries = 2)
    {
        for (int k = 0; k < tries && clock.elapsed() < deadlineMs; ++k) {
            ++runs;
            const Outcome o = runChild(self, scratch, replayText(seed, indices), childTimeoutS);
            if (signatureOf(o) == kind) {
                *output = o.output;
                return true;
            }
        }
        return false;
    }

    // Delta debugging (ddmin) over step indices, within the run's time.
    QList<int> minimize(unsigned long long seed, QList<int> steps, const QString &kind, QString *output)
    {
        int n = 2;
        while (steps.size() >= 2 && clock.elapsed() < deadlineMs) {
            QList<QList<int>> chunks;
            for (int k = 0; k < n; ++k)
                chunks << steps.mid(k * steps.size() / n, (k + 1) * steps.size() / n - k * steps.size() / n);
            bool reduced = false;
            for (int k = 0; !reduced && k < n; ++k) {
                if (fails(seed, chunks[k], kind, output))
                    steps = chunks[k], n = 2, reduced = true;
            }
            for (int k = 0; !reduced && n > 2 && k < n; ++k) {
                QList<int> rest;
                for (int m = 0; m < n; ++m)
                    rest << (m == k ? QList<int>() : chunks[m]);
                if (fails(seed, rest, kind, output))
                    steps = rest, n = qMax(n - 1, 2), reduced = true;
            }
            if (!reduced && n >= steps.size())
                break;
            if (!reduced)
                n = qMin(int(steps.size()), 2 * n);
        }
        // A failure that came by chance kept steps it does not need: each goes if three tries
        // fail without it.
        for (int k = steps.size() - 1; k >= 0 && steps.size() > 1; --k) {
            QList<int> rest = steps;
            rest.removeAt(k);
            if (fails(seed, rest, kind, output, 3))
                steps = rest;
        }
        return steps;
    }
};

} // namespace

int main(int argc, char **argv)
{
    unsigned long long seed = 1;
    int cases = 20, stepCount = 60;
    long long seconds = 300;
    bool keepGoing = false, minimizing = true;
    QString replayArg, caseArg;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--verbose" || a == "--keep-going" || a == "--no-minimize" || a == "--no-leaks") {
            (a == "--verbose" ? g_verbose : a == "--keep-going" ? keepGoing : a == "--no-leaks" ? g_leaks : minimizing) =
                !a.startsWith("--no-");
            continue;
        }
        static const QByteArrayList valued{"--seed", "--cases", "--steps", "--time", "--replay", "--step-limit",
                                           "--plugins", "--case"};
        if (!value || !valued.contains(a)) {
            std::fprintf(stderr, "usage: qtcore-lifefuzz [--seed S] [--cases N] [--steps K] [--time SECONDS]\n"
                                 "  [--replay \"S:i,j,k-l\"] [--case \"S:i,j,k-l\" (cut down)] [--verbose] [--keep-going]\n"
                                 "  [--no-minimize] [--no-leaks]"
                                 "  [--step-limit MS] [--plugins DIR (another build's, DIR/script/*.so)]\n");
            return 2;
        }
        ++i;
        if (a == "--seed")
            seed = std::strtoull(value, nullptr, 10);
        else if (a == "--replay" || a == "--case")
            (a == "--replay" ? replayArg : caseArg) = QString::fromLatin1(value);
        else if (a == "--plugins")
            g_plugins = QFile::encodeName(QFileInfo(QFile::decodeName(value)).absoluteFilePath());
        else if (a == "--time")
            seconds = std::atoll(value);
        else
            (a == "--cases" ? cases : a == "--steps" ? stepCount : g_stepLimitMs) = std::atoi(value);
    }

    // Children share their parent's scratch folder, which goes with the parent.
    QByteArray scratch = qgetenv("QTCORE_LIFEFUZZ_SCRATCH");
    const bool ownScratch = scratch.isEmpty();
    if (ownScratch) {
        const QByteArray tmp = qgetenv("TMPDIR");
        scratch = (tmp.isEmpty() ? QByteArray("/tmp") : tmp) + "/qtcore-lifefuzz-XXXXXX";
        if (!::mkdtemp(scratch.data()))
            return 2;
        qputenv("QTCORE_LIFEFUZZ_SCRATCH", scratch);
    }
    const struct Remove {
        QString path;
        ~Remove() { if (!path.isEmpty()) QDir(path).removeRecursively(); }
    } remove{ownScratch ? QFile::decodeName(scratch) : QString()};

    if (!replayArg.isEmpty() && ownScratch) {
        // By hand, a replay runs in a child too, so that the scratch folder goes whatever happens
        // (with QTCORE_LIFEFUZZ_SCRATCH set, it runs in this process, as under a debugger).
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, environ) || ::waitpid(pid, &status, 0) < 0)
            return 2;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (!replayArg.isEmpty()) {
        QList<int> indices;
        if (!parseReplay(replayArg, seed, indices)) {
            std::fprintf(stderr, "qtcore-lifefuzz: a replay is \"SEED:STEP,STEP,FIRST-LAST,...\"\n");
            return 2;
        }
        return replay(argc, argv, seed, indices, QFile::decodeName(scratch));
    }

    Driver d;
    d.self = QFile::encodeName(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    d.scratch = QFile::decodeName(scratch);
    d.clock.start();
    d.deadlineMs = seconds * 1000;

    QList<int> all;
    for (int k = 0; k < stepCount; ++k)
        all << k;
    // One given case (one a run found without cutting it down, say), run and cut down.
    unsigned long long given = 0;
    if (!caseArg.isEmpty()) {
        all.clear();
        cases = 1;
        if (!parseReplay(caseArg, given, all)) {
            std::fprintf(stderr, "qtcore-lifefuzz: a case is \"SEED:STEP,STEP,FIRST-LAST,...\"\n");
            return 2;
        }
    }
    long steps = 0, errors = 0, skipped = 0;
    int done = 0, failures = 0;
    QSet<QString> seen;
    for (int c = 0; c < cases && d.clock.elapsed() < d.deadlineMs; ++c) {
        const unsigned long long caseSeed = given ? given : Random{seed * 0x2545F4914F6CDD1Dull + unsigned(c)}.next() >> 16;
        const Outcome o = runChild(d.self, d.scratch, replayText(caseSeed, all), d.childTimeoutS);
        ++done;
        steps += o.steps, errors += o.errors, skipped += o.skipped;
        if (g_verbose)
            std::printf("case %d (seed %llu): %s\n", c, caseSeed, o.kind.isEmpty() ? "ok" : qPrintable(o.kind));
        if (o.kind.isEmpty())
            continue;
        ++failures;
        const QString where = whereOf(o.kind, o.output);
        const bool known = seen.contains(o.kind + where);
        seen.insert(o.kind + where);
        std::printf("\nFAILED case %d (seed %llu): %s %s, found after %.1f s (%d cases)\n", c, caseSeed,
                    qPrintable(o.kind), qPrintable(where), d.clock.elapsed() / 1000.0, done);
        QList<int> minimal = all;
        QString output = o.output;
        if (minimizing && !known) {
            const long long from = d.clock.elapsed();
            const int runs = d.runs;
            minimal = d.minimize(caseSeed, all, signatureOf(o), &output);
            std::printf("minimized from %d to %d steps in %d runs, %.1f s\n", int(all.size()), int(minimal.size()),
                        d.runs - runs, (d.clock.elapsed() - from) / 1000.0);
        }
        std::printf("replay: %s --replay \"%s\"%s%s --verbose\n", argv[0], qPrintable(replayText(caseSeed, minimal)),
                    g_plugins == QTCORE_PLUGIN_DIR ? "" : qPrintable(QStringLiteral(" --plugins ") + QFile::decodeName(g_plugins)),
                    g_leaks ? "" : " --no-leaks");
        if (!known) {
            for (int index : qAsConst(minimal))
                std::printf("  %s\n", qPrintable(describe(makeStep(caseSeed, index))));
            std::printf("report:\n%s\n", qPrintable(firstLines(output)));
            // The first run's whole output (its stacks of allocation and release), in the folder
            // the fuzzer runs in: a race may not come back.
            QFile full(QStringLiteral("lifefuzz-%1.txt").arg(caseSeed));
            if (full.open(QIODevice::WriteOnly) && full.write(o.output.toLocal8Bit()) >= 0)
                std::printf("whole report: %s\n", qPrintable(QFileInfo(full).absoluteFilePath()));
        }
        std::fflush(stdout);
        if (!keepGoing)
            break;
    }
    std::printf("qtcore-lifefuzz: seed %llu, %d cases, %ld steps (%ld script errors, %ld skipped), %d failures, "
                "%.1f s\n", seed, done, steps, errors, skipped, failures, d.clock.elapsed() / 1000.0);
    return failures ? 1 : 0;
}
