// The call fuzzer. It imports "qt.core" into a script engine, finds every global the plugin
// installs, and calls each constructor, static function, enumeration and flags class and each
// prototype method (inherited ones included) with `this` and arguments drawn from a pool of
// hostile values. No list of classes is kept here: a new class is fuzzed from the day it is
// registered. Functions that block or reach outside the process's scratch folder are handled
// by skiplist.txt beside this file.
//
// Deterministic for a seed; bounded in calls and in time. A call that runs too long is aborted
// (script) or ends the run (native). Prints per class the calls made and how many threw, then
// "N calls, M script errors, 0 crashes".
#include <QtCore/QBitArray>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QRegularExpression>
#include <QtCore/QSettings>
#include <QtCore/QTextStream>
#include <QtCore/QTimer>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValueIterator>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

#include "sanitizers.h"

namespace {

// ---------------------------------------------------------------------------------------------
// What is running now, readable from a signal handler and from the watchdog thread.

char g_current[2048];
std::atomic<long long> g_callNumber{-1};
std::atomic<long long> g_callStartMs{0};   // 0: no call running
unsigned long long g_seed = 1;

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void writeErr(const char *s)
{
    ssize_t ignored = ::write(2, s, std::strlen(s));
    (void)ignored;
}

void reportCurrent()
{
    const long long n = g_callNumber.load();
    if (n < 0) {
        writeErr("qtcore-fuzz: died outside a fuzzed call\n");
        return;
    }
    char line[256];
    std::snprintf(line, sizeof line, "qtcore-fuzz: died in call #%lld (seed %llu): ", n, g_seed);
    writeErr(line);
    writeErr(g_current);
    std::snprintf(line, sizeof line,
                  "\nqtcore-fuzz: replay with --seed %llu --calls %lld --verbose\n", g_seed, n + 1);
    writeErr(line);
}

void onFatalSignal(int sig)
{
    reportCurrent();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// ---------------------------------------------------------------------------------------------
// Deterministic random numbers (splitmix64).

class Random
{
public:
    explicit Random(unsigned long long seed) : m_state(seed) {}
    unsigned long long next()
    {
        unsigned long long z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % unsigned(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    unsigned long long m_state;
};

// ---------------------------------------------------------------------------------------------
// The skip list: "member | action | reason" per line. The member is a pattern ('*' matches
// anything) over "Class" (the constructor), "Class.static", "Class.Enum" (an enumeration or
// flags class), "Class.prototype.method"; an inherited method matches under its own class's
// name too. The action is "skip", or "args" followed by a script array of argument lists, the
// only ones the function is called with.

struct Rule {
    QString pattern;
    QRegularExpression re;
    bool skip = true;
    QString args;
    QString reason;
    int line = 0;
    int uses = 0;
};

bool readSkipList(const QString &path, QList<Rule> &rules)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "qtcore-fuzz: cannot read the skip list %s\n", qPrintable(path));
        return false;
    }
    bool good = true;
    int lineNo = 0;
    while (!f.atEnd()) {
        ++lineNo;
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('|'));
        Rule r;
        r.line = lineNo;
        if (parts.size() == 3) {
            r.pattern = parts.at(0).trimmed();
            const QString action = parts.at(1).trimmed();
            r.reason = parts.at(2).trimmed();
            if (action == QLatin1String("skip")) {
                r.skip = true;
            } else if (action.startsWith(QLatin1String("args "))) {
                r.skip = false;
                r.args = action.mid(5).trimmed();
            } else {
                r.reason.clear();
            }
        }
        if (r.pattern.isEmpty() || r.reason.isEmpty()) {
            std::fprintf(stderr, "%s:%d: want \"member | skip or args [[...], ...] | reason\"\n",
                         qPrintable(path), lineNo);
            good = false;
            continue;
        }
        r.re = QRegularExpression(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(r.pattern).replace(QLatin1String("\\*"), QLatin1String(".*"))));
        rules.append(r);
    }
    return good;
}

// ---------------------------------------------------------------------------------------------
// Targets and the value pool

enum class Kind { Constructor, Static, EnumClass, EnumMethod, Method };

struct Target {
    int cls;                // index into classes: the class whose counts the call adds to
    Kind kind;
    QString label;          // "QTimer.prototype.start"
    QScriptValue fn;
    QScriptValue owner;     // static functions: the object they hang on
    int enumClass = -1;     // enumeration methods: index into enums
    int maxArgs = 0;
    Rule *rule = nullptr;
    QList<QScriptValueList> safeArgs;

    Target(int cls, Kind kind, const QString &label, const QScriptValue &fn,
           const QScriptValue &owner)
        : cls(cls), kind(kind), label(label), fn(fn), owner(owner)
    {}
};

struct ClassInfo {
    QString name;
    QScriptValue object;
    QScriptValue proto;     // invalid when the class has none
    QList<QScriptValue> instances;
    long long calls = 0;
    long long threw = 0;
    long long skipped = 0;
};

struct EnumClass {
    QString label;
    QScriptValue cls;
    QScriptValue proto;
    QList<QScriptValue> values;
};

struct Labeled {
    QScriptValue value;
    QString label;
};

// Values larger than this (bytes, characters, bits / 8) make one linear call on them (split,
// replace, toHex, ...) cost seconds under the sanitizers: they do not join the pool, and an
// instance that grew past it (appended to itself, filled, resized) is dropped.
constexpr qint64 MaxPoolSize = 64 * 1024;

qint64 sizeOf(const QScriptValue &v)
{
    if (v.isString())
        return v.toString().size();
    if (!v.isVariant())
        return 0;
    const QVariant var = v.toVariant();
    switch (var.userType()) {
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(var.constData())->size();
    case QMetaType::QString:
        return static_cast<const QString *>(var.constData())->size();
    case QMetaType::QBitArray:
        return static_cast<const QBitArray *>(var.constData())->size() / 8;
    default:
        return 0;
    }
}

bool tooBig(const QScriptValue &v)
{
    return sizeOf(v) > MaxPoolSize;
}

QString describe(const QScriptValue &v)
{
    if (v.isString()) {
        const QString s = v.toString();
        if (s.size() > 24)
            return QStringLiteral("<string of %1>").arg(s.size());
        return QLatin1Char('"') + s + QLatin1Char('"');
    }
    if (!v.isObject())
        return v.toString();
    if (const qint64 size = sizeOf(v))
        return QStringLiteral("<%1 of %2>").arg(QLatin1String(v.toVariant().typeName())).arg(size);
    return QStringLiteral("<object>");
}

// Calls pass up to this many arguments, past the 15 that the dispatcher tells apart.
constexpr int MaxArgs = 20;

int g_hangs = 0;
int g_warnings = 0;
bool g_verbose = false;

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qtcore-fuzz: Qt fatal: %s\n", qPrintable(text));
        reportCurrent();
        std::abort();
    }
    ++g_warnings;
    if (g_verbose)
        std::fprintf(stderr, "  qt: %s\n", qPrintable(text));
}

class Fuzzer
{
public:
    Fuzzer(QScriptEngine &engine, QList<Rule> &rules, unsigned long long seed)
        : m_engine(engine), m_rules(rules), m_random(seed)
    {}

    bool discover(const QStringList &before, const QStringList &only);
    void makePool();
    void makeInstances();
    void addHostileInstances();
    void run(long long calls, long long timeMs, int callLimitMs);
    void report() const;

    long long totalCalls = 0;
    long long scriptErrors = 0;

private:
    Rule *ruleFor(const QStringList &keys);
    void addTarget(Target t, const QStringList &keys);
    QScriptValue pick(int cls);
    QScriptValue pickThis(const Target &t);
    void callOne(const Target &t, long long number);
    void drop(const QScriptValue &v);
    void settle();

    QScriptEngine &m_engine;
    QList<Rule> &m_rules;
    Random m_random;
    QList<ClassInfo> m_classes;
    QList<EnumClass> m_enums;
    QList<Target> m_targets;
    QList<Labeled> m_primitives;
    QList<Labeled> m_enumValues;
    QList<QScriptValue> m_results;
    int m_resultNext = 0;
    QString m_desc;
};

QStringList ownNames(const QScriptValue &object)
{
    QStringList names;
    QScriptValueIterator it(object);
    while (it.hasNext()) {
        it.next();
        names.append(it.name());
    }
    return names;
}

Rule *Fuzzer::ruleFor(const QStringList &keys)
{
    for (Rule &r : m_rules) {
        for (const QString &key : keys) {
            if (r.re.match(key).hasMatch())
                return &r;
        }
    }
    return nullptr;
}

void Fuzzer::addTarget(Target t, const QStringList &keys)
{
    t.rule = ruleFor(keys);
    if (t.rule && !t.rule->skip) {
        const QScriptValue lists = m_engine.evaluate(t.rule->args);
        if (m_engine.hasUncaughtException() || !lists.isArray()) {
            std::fprintf(stderr, "skiplist line %d: %s: the arguments do not evaluate (%s)\n",
                         t.rule->line, qPrintable(t.label), qPrintable(lists.toString()));
            m_engine.clearExceptions();
            t.safeArgs.append(QScriptValueList());
        }
        const quint32 n = lists.property(QStringLiteral("length")).toUInt32();
        for (quint32 i = 0; i < n && i < 64; ++i) {
            const QScriptValue list = lists.property(i);
            QScriptValueList args;
            const quint32 m = list.property(QStringLiteral("length")).toUInt32();
            for (quint32 j = 0; j < m && j < 16; ++j)
                args.append(list.property(j));
            t.safeArgs.append(args);
        }
    }
    if (t.rule)
        ++t.rule->uses;
    const int length = t.fn.property(QStringLiteral("length")).toInt32();
    t.maxArgs = qBound(0, length, 8) + 1;
    m_targets.append(t);
}

bool Fuzzer::discover(const QStringList &before, const QStringList &only)
{
    const QScriptValue global = m_engine.globalObject();
    const QScriptValue objectProto = global.property(QStringLiteral("Object")).property(QStringLiteral("prototype"));
    for (const QString &name : ownNames(global)) {
        if (before.contains(name))
            continue;
        const QScriptValue object = global.property(name);
        if (!object.isObject())
            continue;
        ClassInfo c;
        c.name = name;
        c.object = object;
        const QScriptValue proto = object.property(QStringLiteral("prototype"));
        if (proto.isObject() && !proto.strictlyEquals(objectProto))
            c.proto = proto;
        m_classes.append(c);
    }
    // The owner class of each prototype object, to name inherited methods.
    auto ownerOf = [this](const QScriptValue &proto) -> QString {
        for (const ClassInfo &c : qAsConst(m_classes)) {
            if (c.proto.isValid() && c.proto.strictlyEquals(proto))
                return c.name;
        }
        const QString ctor = proto.property(QStringLiteral("constructor")).property(QStringLiteral("name")).toString();
        return ctor.isEmpty() ? QStringLiteral("?") : ctor;
    };

    for (int ci = 0; ci < m_classes.size(); ++ci) {
        ClassInfo &c = m_classes[ci];
        const bool fuzzed = only.isEmpty() || only.contains(c.name);
        if (c.object.isFunction() && fuzzed) {
            Target t{ci, Kind::Constructor, c.name, c.object, QScriptValue()};
            addTarget(t, {c.name});
        }
        // Static functions, enumeration and flags classes, enumeration values.
        QScriptValueIterator it(c.object);
        while (it.hasNext()) {
            it.next();
            const QString key = it.name();
            if (key == QLatin1String("prototype") || key == QLatin1String("constructor"))
                continue;
            const QScriptValue v = it.value();
            const QString label = c.name + QLatin1Char('.') + key;
            if (!v.isFunction()) {
                if (v.isObject())
                    m_enumValues.append({v, label});
                continue;
            }
            // Enumeration and flags classes are the functions that are not the bindings' own
            // (those carry a tag) and whose prototype has its own valueOf.
            const QScriptValue p = v.property(QStringLiteral("prototype"));
            const bool enumLike = !v.property(QStringLiteral("__qt_data__")).isNumber()
                && p.isObject() && ownNames(p).contains(QStringLiteral("valueOf"));
            if (!enumLike) {
                if (fuzzed)
                    addTarget(Target(ci, Kind::Static, label, v, c.object), {label});
                continue;
            }
            EnumClass e{label, v, p, {}};
            m_enums.append(e);
            if (!fuzzed)
                continue;
            addTarget(Target(ci, Kind::EnumClass, label, v, c.object), {label});
            QScriptValueIterator pit(p);
            while (pit.hasNext()) {
                pit.next();
                if (pit.name() == QLatin1String("constructor") || !pit.value().isFunction())
                    continue;
                const QString mlabel = label + QLatin1String(".prototype.") + pit.name();
                Target t{ci, Kind::EnumMethod, mlabel, pit.value(), QScriptValue()};
                t.enumClass = m_enums.size() - 1;
                addTarget(t, {mlabel});
            }
        }
        if (!c.proto.isValid() || !fuzzed)
            continue;
        // Every method along the prototype chain, the nearest definition of each name.
        QStringList seen;
        for (QScriptValue p = c.proto; p.isObject() && !p.strictlyEquals(objectProto); p = p.prototype()) {
            const QString owner = ownerOf(p);
            QScriptValueIterator pit(p);
            while (pit.hasNext()) {
                pit.next();
                const QString key = pit.name();
                if (key == QLatin1String("constructor") || seen.contains(key) || !pit.value().isFunction())
                    continue;
                seen.append(key);
                const QString label = c.name + QLatin1String(".prototype.") + key;
                addTarget(Target(ci, Kind::Method, label, pit.value(), QScriptValue()),
                          {label, owner + QLatin1String(".prototype.") + key});
            }
        }
    }
    // Values of every enumeration class: its class called with no argument and with 1.
    for (const EnumClass &e : qAsConst(m_enums)) {
        for (int arg = 0; arg < 2; ++arg) {
            m_desc = e.label + QStringLiteral("(...) for the pool");
            qstrncpy(g_current, qPrintable(m_desc), sizeof g_current);
            g_callStartMs.store(nowMs());
            const QScriptValue v = arg ? QScriptValue(e.cls).call(QScriptValue(), {QScriptValue(1)})
                                       : QScriptValue(e.cls).call();
            if (m_engine.hasUncaughtException())
                m_engine.clearExceptions();
            else if (v.isObject())
                m_enumValues.append({v, e.label + QStringLiteral("(%1)").arg(arg)});
            g_callStartMs.store(0);
        }
    }
    return !m_targets.isEmpty();
}

void Fuzzer::makePool()
{
    static const char *const expressions[] = {
        "undefined", "null", "true", "false", "0", "-1", "2147483648", "-9007199254740992",
        "NaN", "Infinity", "-Infinity", "1.5", "4294967296", "\"\"", "\"x\"",
        "(function () { var s = 'x'; while (s.length < 65536) s += s; return s; })()",
        "[]", "[1, 2]", "['x', null, {}]", "({})", "({length: 4e9})", "({length: -1})",
        "(function () { var a = [1, 2]; a.length = 1000; return a; })()",
        "(function () { return 1; })", "(function () { throw new Error('hostile'); })",
        "new Date(0)", "/x/", "({valueOf: function () { throw new Error('hostile'); }, "
        "toString: function () { throw new Error('hostile'); }})",
    };
    for (const char *e : expressions) {
        const QScriptValue v = m_engine.evaluate(QString::fromLatin1(e));
        m_primitives.append({v, QString::fromLatin1(e).left(40)});
    }
}

void Fuzzer::makeInstances()
{
    for (int ci = 0; ci < m_classes.size(); ++ci) {
        ClassInfo &c = m_classes[ci];
        c.instances.clear();
        if (!c.object.isFunction() || !c.proto.isValid())
            continue;
        Rule *rule = ruleFor({c.name});
        if (rule && rule->skip)
            continue;
        // The first ways that construct: no argument, then single pool values.
        QList<QScriptValueList> tries{QScriptValueList()};
        for (const Labeled &p : qAsConst(m_primitives))
            tries.append(QScriptValueList{p.value});
        if (rule)
            tries = QList<QScriptValueList>();
        if (rule) {
            for (const Target &t : qAsConst(m_targets)) {
                if (t.rule == rule && t.kind == Kind::Constructor)
                    tries = t.safeArgs;
            }
        }
        for (const QScriptValueList &args : qAsConst(tries)) {
            m_desc = QStringLiteral("new %1(...) for the pool").arg(c.name);
            qstrncpy(g_current, qPrintable(m_desc), sizeof g_current);
            g_callStartMs.store(nowMs());
            const QScriptValue v = QScriptValue(c.object).construct(args);
            g_callStartMs.store(0);
            if (m_engine.hasUncaughtException()) {
                m_engine.clearExceptions();
                continue;
            }
            c.instances.append(v);
            break;
        }
        // More instances, made with arguments from the whole pool (an event of any type, ...).
        for (int i = 0; i < 3 && !rule; ++i) {
            QScriptValueList args;
            const int argc = 1 + m_random.below(2);
            for (int a = 0; a < argc; ++a)
                args.append(pick(ci));
            g_callStartMs.store(nowMs());
            const QScriptValue v = QScriptValue(c.object).construct(args);
            g_callStartMs.store(0);
            if (m_engine.hasUncaughtException())
                m_engine.clearExceptions();
            else if (!tooBig(v))   // a size from the pool may be an enumeration value in the millions
                c.instances.append(v);
        }
    }
    addHostileInstances();
}

// Instances whose overrides turn on what QtCore is doing with them: devices whose readData and
// writeData delete or re-enter their device, runnables that delete their pool, objects whose
// overrides delete or re-parent themselves or their parent. Each is made anew with the pool.
void Fuzzer::addHostileInstances()
{
    static const char *const script = R"(
(function () {
    function kill(o) {
        try { o.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); } catch (e) {}
    }
    function tryAll(fs) { for (var i = 0; i < fs.length; ++i) try { fs[i](); } catch (e) {} }
    var made = [];
    function device(cls, parent) {
        var d = parent ? new cls(parent) : new cls();
        var src = new QBuffer();
        src.setData(new QByteArray("<a>one\ntwo\n</a>"));
        src.open(QIODevice.ReadOnly);
        d.readData = function (data, max) {
            tryAll([function () { d.read(2); }, function () { d.readLine(); }, function () { d.seek(0); },
                    function () { d.close(); }]);
            if (Math.random() < 0.3) kill(Math.random() < 0.5 || !parent ? d : parent);
            var n = 0;
            while (n < max && src.getChar(data)) ++n;
            return n;
        };
        d.writeData = function (data, len) {
            tryAll([function () { d.write(new QByteArray("x")); }, function () { d.readAll(); }]);
            if (Math.random() < 0.3) kill(Math.random() < 0.5 || !parent ? d : parent);
            return len;
        };
        try { d.open(QIODevice.ReadWrite); } catch (e) {}
        return d;
    }
    made.push(["QIODevice", device(QIODevice)], ["QIODevice", device(QIODevice, new QObject())],
              ["QBuffer", device(QBuffer, new QObject())]);
    var pool = new QThreadPool(), runnable = new QRunnable();
    runnable.run = function () { kill(pool); };
    runnable.setAutoDelete(false);
    pool.start(runnable);
    made.push(["QThreadPool", pool], ["QRunnable", runnable]);
    var parent = new QObject(), o = new QObject(parent), other = new QObject();
    o.childEvent = function (e) {
        tryAll([function () { e.child().setParent(Math.random() < 0.5 ? null : other); }]);
        if (Math.random() < 0.3) kill(Math.random() < 0.5 ? o : parent);
    };
    o.event = function (e) {
        if (e.type() == QEvent.User || e.type() == QEvent.Timer) {
            tryAll([function () { o.setParent(Math.random() < 0.5 ? null : other); }]);
            kill(Math.random() < 0.5 ? o : parent);
        }
        return false;
    };
    o.eventFilter = function (w, e) { if (e.type() == QEvent.User) kill(w); return false; };
    made.push(["QObject", o], ["QObject", parent]);
    var tl = new QTimeLine(100, new QObject());
    tl.valueForTime = function (t) { kill(Math.random() < 0.5 ? tl : tl.parent()); return 0.5; };
    made.push(["QTimeLine", tl]);
    var t = new QTranslator();
    t.translate = function () {
        tryAll([function () { QCoreApplication.removeTranslator(t); }, function () { kill(t); }]);
        return "x";
    };
    made.push(["QTranslator", t]);
    return made;
})()
)";
    const QScriptValue made = m_engine.evaluate(QString::fromUtf8(script));
    if (m_engine.hasUncaughtException()) {
        std::fprintf(stderr, "qtcore-fuzz: hostile instances: %s\n",
                     qPrintable(m_engine.uncaughtException().toString()));
        m_engine.clearExceptions();
        return;
    }
    const quint32 n = made.property(QStringLiteral("length")).toUInt32();
    for (quint32 i = 0; i < n; ++i) {
        const QScriptValue pair = made.property(i);
        const QString cls = pair.property(0).toString();
        for (ClassInfo &c : m_classes) {
            if (c.name == cls && c.proto.isValid())
                c.instances.append(pair.property(1));
        }
    }
}

QScriptValue Fuzzer::pick(int cls)
{
    const int r = m_random.below(100);
    if (r < 40 || m_classes.isEmpty())
        return m_primitives.at(m_random.below(m_primitives.size())).value;
    if (r < 75) {
        const ClassInfo &c = m_classes.at(r < 65 ? m_random.below(m_classes.size()) : cls);
        if (!c.instances.isEmpty() && m_random.chance(75))
            return c.instances.at(m_random.below(c.instances.size()));
        if (c.proto.isValid())
            return c.proto;
        return c.object;
    }
    if (r < 90 && !m_enumValues.isEmpty())
        return m_enumValues.at(m_random.below(m_enumValues.size())).value;
    if (!m_results.isEmpty())
        return m_results.at(m_random.below(m_results.size()));
    return m_primitives.at(m_random.below(m_primitives.size())).value;
}

QScriptValue Fuzzer::pickThis(const Target &t)
{
    const ClassInfo &c = m_classes.at(t.cls);
    switch (t.kind) {
    case Kind::Method:
        if (!c.instances.isEmpty() && m_random.chance(60))
            return c.instances.at(m_random.below(c.instances.size()));
        break;
    case Kind::Static:
    case Kind::EnumClass:
        if (m_random.chance(50))
            return t.owner;
        break;
    case Kind::EnumMethod: {
        const EnumClass &e = m_enums.at(t.enumClass);
        if (m_random.chance(50) && !m_enumValues.isEmpty()) {
            // A value of this enumeration, when one of the pool's has its prototype.
            for (int tries = 0; tries < 8; ++tries) {
                const QScriptValue v = m_enumValues.at(m_random.below(m_enumValues.size())).value;
                if (v.prototype().strictlyEquals(e.proto))
                    return v;
            }
        }
        break;
    }
    case Kind::Constructor:
        break;
    }
    return pick(t.cls);
}

void Fuzzer::callOne(const Target &t, long long number)
{
    ClassInfo &c = m_classes[t.cls];
    if (t.rule && t.rule->skip) {
        ++c.skipped;
        return;
    }
    QScriptValue self = pickThis(t);
    QScriptValueList args;
    if (t.rule) {
        args = t.safeArgs.at(m_random.below(t.safeArgs.size()));
        // Safe arguments are safe for the class's own objects only.
        if (t.kind == Kind::Method && !c.instances.isEmpty())
            self = c.instances.at(m_random.below(c.instances.size()));
        else if (t.kind == Kind::Static || t.kind == Kind::EnumClass)
            self = t.owner;
    } else {
        // Mostly up to one more than the function's length; now and then up to MaxArgs. At most
        // two arguments whose toString throws: for each exception QtScript converts every argument
        // of every frame to text, and each throw in there starts over (minutes with four).
        const int argc = m_random.below((m_random.chance(10) ? MaxArgs : t.maxArgs) + 1);
        int throwingText = 0;
        for (int i = 0; i < argc; ++i) {
            QScriptValue v = pick(t.cls);
            if (v.isObject()) {
                v.toString();
                if (m_engine.hasUncaughtException()) {
                    m_engine.clearExceptions();
                    if (++throwingText > 2)
                        v = QScriptValue(i);
                }
            }
            args.append(v);
        }
    }
    const bool construct = (t.kind == Kind::Constructor || t.kind == Kind::EnumClass)
        && m_random.chance(t.kind == Kind::Constructor ? 75 : 30);

    m_desc = (construct ? QStringLiteral("new ") : QString()) + t.label + QLatin1Char('(');
    for (int i = 0; i < args.size(); ++i)
        m_desc += (i ? QStringLiteral(", ") : QString()) + describe(args.at(i));
    m_desc += QLatin1Char(')');
    if (!construct)
        m_desc += QStringLiteral(" on ") + describe(self);
    qstrncpy(g_current, qPrintable(m_desc), sizeof g_current);
    if (g_verbose)
        std::fprintf(stdout, "#%lld %s\n", number, qPrintable(m_desc));

    g_callNumber.store(number);
    g_callStartMs.store(nowMs());
    QScriptValue result = construct ? QScriptValue(t.fn).construct(args)
                                    : QScriptValue(t.fn).call(self, args);
    bool threw = m_engine.hasUncaughtException();
    if (threw) {
        m_engine.clearExceptions();
    } else if (result.isObject()) {
        // Results are converted back, as a script would, and join the pool.
        result.toString();
        if (m_engine.hasUncaughtException()) {
            m_engine.clearExceptions();
            threw = true;
        }
        if (!tooBig(result)) {
            if (m_results.size() < 32)
                m_results.append(result);
            else
                m_results[m_resultNext++ % 32] = result;
        }
    }
    if (tooBig(self))
        drop(self);
    const long long took = nowMs() - g_callStartMs.load();
    g_callStartMs.store(0);
    if (took > 1000)
        std::fprintf(stderr, "qtcore-fuzz: slow call (%lld ms): %s\n", took, g_current);
    ++c.calls;
    ++totalCalls;
    if (threw) {
        ++c.threw;
        ++scriptErrors;
    }
    if (g_verbose && threw)
        std::fprintf(stdout, "   threw\n");
}

// Takes a value that grew too big out of the pool.
void Fuzzer::drop(const QScriptValue &v)
{
    auto same = [&v](const QScriptValue &x) { return x.strictlyEquals(v); };
    for (ClassInfo &c : m_classes)
        c.instances.erase(std::remove_if(c.instances.begin(), c.instances.end(), same), c.instances.end());
    m_results.erase(std::remove_if(m_results.begin(), m_results.end(), same), m_results.end());
}

// Lets deferred deletions, timers and posted events run, and collects garbage, so that objects
// the calls deleted or dropped are gone before the next calls use them.
void Fuzzer::settle()
{
    qstrncpy(g_current, "(settling: events and garbage collection)", sizeof g_current);
    g_callStartMs.store(nowMs());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    m_engine.collectGarbage();
    g_callStartMs.store(0);
}

void Fuzzer::run(long long calls, long long timeMs, int callLimitMs)
{
    Q_UNUSED(callLimitMs);
    QElapsedTimer clock;
    clock.start();
    long long number = 0;
    QList<int> order;
    for (int i = 0; i < m_targets.size(); ++i)
        order.append(i);
    while (number < calls && (timeMs <= 0 || clock.elapsed() < timeMs)) {
        // Rounds over every target in a shuffled order, so that a small budget still reaches all.
        for (int i = order.size() - 1; i > 0; --i)
            order.swapItemsAt(i, m_random.below(i + 1));
        for (int i = 0; i < order.size() && number < calls; ++i) {
            callOne(m_targets.at(order.at(i)), number);
            ++number;
            if (number % 64 == 0) {
                settle();
                if (timeMs > 0 && clock.elapsed() >= timeMs)
                    break;
            }
            if (number % 512 == 0) {
                // Fresh instances: the old ones have been mutated, reparented and deleted.
                makeInstances();
                m_results.clear();
            }
        }
    }
    g_callNumber.store(-1);
    settle();
}

void Fuzzer::report() const
{
    QList<const ClassInfo *> sorted;
    for (const ClassInfo &c : m_classes)
        sorted.append(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const ClassInfo *a, const ClassInfo *b) { return a->name < b->name; });
    for (const ClassInfo *c : qAsConst(sorted)) {
        std::fprintf(stdout, "%-32s %8lld calls %8lld threw%s\n", qPrintable(c->name), c->calls,
                     c->threw,
                     c->skipped ? qPrintable(QStringLiteral(" (%1 skipped)").arg(c->skipped)) : "");
    }
    int unused = 0;
    for (const Rule &r : m_rules) {
        if (r.uses == 0) {
            ++unused;
            std::fprintf(stdout, "skip-list entry matches nothing: %s\n", qPrintable(r.pattern));
        }
    }
    std::fprintf(stdout, "%d classes, %d targets, %d pool values, %d skip-list entries (%d match no "
                 "installed function), %d Qt warnings\n",
                 int(m_classes.size()), int(m_targets.size()),
                 int(m_primitives.size() + m_enumValues.size()), int(m_rules.size()), unused,
                 g_warnings);
}

void watchdog(int hardLimitMs)
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long long start = g_callStartMs.load();
        if (start && nowMs() - start > hardLimitMs) {
            char line[128];
            std::snprintf(line, sizeof line, "qtcore-fuzz: HANG: a call ran more than %d ms\n",
                          hardLimitMs);
            writeErr(line);
            reportCurrent();
            std::_Exit(3);
        }
    }
}

void usage()
{
    std::fprintf(stderr,
                 "usage: qtcore-fuzz [--seed N] [--calls N] [--time SECONDS] [--call-limit MS]\n"
                 "                   [--only CLASS,...] [--skiplist FILE] [--verbose] [--keep]\n"
                 "QTCORE_FUZZ_SEED and QTCORE_FUZZ_CALLS, when set, override --seed and --calls.\n");
}

bool makeScratch(QByteArray &scratch)
{
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    QByteArray templ = base + "/qtcore-fuzz-XXXXXX";
    if (!::mkdtemp(templ.data())) {
        std::perror("qtcore-fuzz: mkdtemp");
        return false;
    }
    scratch = templ;
    static const char *const dirs[][2] = {
        {"HOME", "/home"}, {"TMPDIR", "/tmp"}, {"XDG_CONFIG_HOME", "/home/.config"},
        {"XDG_DATA_HOME", "/home/.local/share"}, {"XDG_CACHE_HOME", "/home/.cache"},
        {"XDG_STATE_HOME", "/home/.local/state"}, {"XDG_RUNTIME_DIR", "/run"},
        {"XDG_CONFIG_DIRS", "/etc/xdg"}, {"XDG_DATA_DIRS", "/usr/share"}, {"PWD", "/work"},
    };
    for (const auto &d : dirs) {
        const QByteArray path = scratch + d[1];
        QDir().mkpath(QString::fromLocal8Bit(path));
        ::chmod(path.constData(), 0700);
        ::setenv(d[0], path.constData(), 1);
    }
    // Settings of both scopes stay in the scratch folder (the system scope is /etc/xdg otherwise).
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, QString::fromLocal8Bit(scratch + "/home/.config"));
        QSettings::setPath(format, QSettings::SystemScope, QString::fromLocal8Bit(scratch + "/etc/xdg"));
    }
    if (::chdir((scratch + "/work").constData()) != 0) {
        std::perror("qtcore-fuzz: chdir");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    long long calls = 20000;
    long long seconds = 600;
    int callLimitMs = 20000;
    QString skipList = QStringLiteral(QTCORE_FUZZ_SKIPLIST);
    QStringList only;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--seed" && hasValue)
            g_seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--calls" && hasValue)
            calls = std::strtoll(argv[++i], nullptr, 10);
        else if (a == "--time" && hasValue)
            seconds = std::strtoll(argv[++i], nullptr, 10);
        else if (a == "--call-limit" && hasValue)
            callLimitMs = std::atoi(argv[++i]);
        else if (a == "--only" && hasValue)
            only = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(','));
        else if (a == "--skiplist" && hasValue)
            skipList = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--verbose")
            g_verbose = true;
        else if (a == "--keep")
            keep = true;
        else {
            usage();
            return 2;
        }
    }
    if (!qEnvironmentVariableIsEmpty("QTCORE_FUZZ_SEED"))
        g_seed = qgetenv("QTCORE_FUZZ_SEED").toULongLong();
    if (!qEnvironmentVariableIsEmpty("QTCORE_FUZZ_CALLS"))
        calls = qgetenv("QTCORE_FUZZ_CALLS").toLongLong();
    skipList = QFileInfo(skipList).absoluteFilePath();

    QByteArray scratch;
    if (!makeScratch(scratch))
        return 2;
    std::signal(SIGABRT, onFatalSignal);
#ifdef QTCORE_FUZZ_DEATH_CALLBACK
    __sanitizer_set_death_callback(reportCurrent);
#else
    std::signal(SIGSEGV, onFatalSignal);
    std::signal(SIGBUS, onFatalSignal);
    std::signal(SIGFPE, onFatalSignal);
#endif
    qInstallMessageHandler(messageHandler);

    std::fprintf(stdout, "qtcore-fuzz: seed %llu, at most %lld calls in %lld s, scratch %s\n",
                 g_seed, calls, seconds, scratch.constData());
    std::fflush(stdout);
    int status = 0;
    {
        QCoreApplication app(argc, argv);
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QList<Rule> rules;
        if (!readSkipList(skipList, rules))
            return 2;

        QScriptEngine engine;
        const QStringList before = ownNames(engine.globalObject());
        engine.importExtension(QStringLiteral("qt.core"));
        if (engine.hasUncaughtException()) {
            std::fprintf(stderr, "qtcore-fuzz: importing qt.core failed: %s\n",
                         qPrintable(engine.uncaughtException().toString()));
            return 2;
        }
        // A script that loops is stopped by abortEvaluation from this timer, which the engine's
        // event processing lets run; a native call that blocks wakes it too (and is ended by
        // the watchdog thread past the hard limit).
        engine.setProcessEventsInterval(50);
        QTimer limiter;
        const int softLimitMs = qMax(100, callLimitMs / 4);
        QObject::connect(&limiter, &QTimer::timeout, [&engine, softLimitMs] {
            const long long start = g_callStartMs.load();
            if (start && nowMs() - start > softLimitMs && engine.isEvaluating()) {
                std::fprintf(stderr, "qtcore-fuzz: aborting a call that ran over %d ms: %s\n",
                             softLimitMs, g_current);
                ++g_hangs;
                engine.abortEvaluation(engine.currentContext()->throwError(QStringLiteral("time limit")));
            }
        });
        limiter.start(50);
        std::thread(watchdog, callLimitMs).detach();

        Fuzzer fuzzer(engine, rules, g_seed);
        if (!fuzzer.discover(before, only)) {
            std::fprintf(stderr, "qtcore-fuzz: found nothing to call\n");
            return 2;
        }
        fuzzer.makePool();
        fuzzer.makeInstances();
        fuzzer.run(calls, seconds * 1000, callLimitMs);
        fuzzer.report();
        std::fprintf(stdout, "%lld calls, %lld script errors, 0 crashes%s\n", fuzzer.totalCalls,
                     fuzzer.scriptErrors,
                     g_hangs ? qPrintable(QStringLiteral(", %1 calls over the time limit").arg(g_hangs)) : "");
        std::fflush(stdout);
        if (g_hangs)
            status = 1;
        g_callNumber.store(-1);
        qstrncpy(g_current, "(engine teardown)", sizeof g_current);
    }
    if (!keep)
        QDir(QString::fromLocal8Bit(scratch)).removeRecursively();
    return status;
}
