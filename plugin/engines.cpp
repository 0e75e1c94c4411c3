#include "plugin/engines.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaMethod>
#include <QtCore/QMutex>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QVarLengthArray>
#include <QtScript/QScriptContext>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace kit {

// Bumped when an engine's end begins and when its state is deleted: what was remembered under an
// older count may be gone, and the engine's address taken by another engine.
std::atomic<quint64> detail::stateEpoch{1};

namespace {

using detail::stateEpoch;

class EngineState;

// Every engine the plugin has state for, whatever its thread, from its state's making to its
// state's end (after its heap's): another thread may ask it to let go of its records of an object
// (forOtherEngines), its own thread too (dropScriptRecords).
struct Registry {
    QBasicMutex mutex;
    std::vector<EngineState *> states;
};

Registry &registry()
{
    // Never destroyed: an engine may outlive static destruction.
    static Registry *const r = new Registry;
    return *r;
}

class EngineState : public QObjectUserData
{
public:
    explicit EngineState(QScriptEngine *engine)
        : engine(engine), thread(engine->thread()), guard(engine)
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        r.states.push_back(this);
    }
    ~EngineState() override
    {
        stateEpoch.fetch_add(1, std::memory_order_release);
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        r.states.erase(std::find(r.states.begin(), r.states.end(), this));
    }

    QScriptEngine *const engine;
    QThread *const thread;
    // Other threads post calls to the engine (guarded) while its state is listed, up to its
    // destroyed signal: QObject's destructor lets go of its guards' count before that, and frees it
    // unless a guard still holds it. Held from here until the state goes, a guard made elsewhere
    // meanwhile still finds it (reading null).
    const QPointer<QObject> guard;
    std::atomic<bool> ending{false};
    // Tells whether the engine collects (see qtScriptDeletes): its handler runs unless it does.
    std::unique_ptr<QBuffer> probe;
    bool heard = false;
    std::unique_ptr<Names> names;
    std::vector<std::function<void()>> hooks;
    QHash<const void *, std::shared_ptr<void>> parts;
};

uint stateSlot()
{
    static const uint slot = QObject::registerUserData();
    return slot;
}

// The state this thread found last: conversions ask for it at every call, and the user data of
// a QObject is a search.
struct LastState {
    const QObject *engine;
    EngineState *state;
    quint64 epoch;
};
thread_local LastState lastState __attribute__((tls_model("initial-exec"))) = {nullptr, nullptr, 0};

// Through QObject: the engine may be in its QObject destructor, where it is a QScriptEngine no
// more.
EngineState *existingState(QScriptEngine *engine)
{
    const QObject *object = engine;
    const quint64 epoch = stateEpoch.load(std::memory_order_acquire);
    if (lastState.engine == object && lastState.epoch == epoch)
        return lastState.state;
    auto *state = static_cast<EngineState *>(object->userData(stateSlot()));
    if (state)
        lastState = {object, state, epoch};
    return state;
}

// Once its destruction has begun (QScriptEngine's own destructor does nothing; the QObject
// destructor emits destroyed), an engine no longer casts to QScriptEngine.
bool destroying(QScriptEngine *engine)
{
    return !qobject_cast<QScriptEngine *>(static_cast<QObject *>(engine));
}

void end(EngineState *state)
{
    {
        // (Others read it under the registry's lock.)
        QMutexLocker lock(&registry().mutex);
        state->ending.store(true, std::memory_order_release);
    }
    stateEpoch.fetch_add(1, std::memory_order_release);
    // A hook that adds a hook has it run at once (see atEngineEnd).
    const std::vector<std::function<void()>> hooks = std::move(state->hooks);
    state->hooks.clear();
    for (const auto &hook : hooks)
        hook();
    state->parts.clear();
    state->names.reset();
    // (While its heap stands: the engine lets go of its record of the probe.)
    state->probe.reset();
}

QScriptValue heard(QScriptContext *, QScriptEngine *, void *state)
{
    static_cast<EngineState *>(state)->heard = true;
    return QScriptValue();
}

// The state of an engine, made unless the engine is going; null for an engine that is going and
// had none.
EngineState *stateOf(QScriptEngine *engine)
{
    if (EngineState *state = existingState(engine))
        return state;
    if (destroying(engine))
        return nullptr;
    auto *state = new EngineState(engine);
    state->names = std::make_unique<Names>(engine);
    state->probe = std::make_unique<QBuffer>();
    state->probe->setObjectName(QStringLiteral("qt.core probe"));   // (for a host's leak counts)
    qScriptConnect(state->probe.get(), SIGNAL(aboutToClose()), QScriptValue(),
                   engine->newFunction(heard, state));
    // Deleted with the engine's QObject part, after its heap.
    static_cast<QObject *>(engine)->setUserData(stateSlot(), state);
    QObject::connect(engine, &QObject::destroyed, [state] { end(state); });
    return state;
}

} // namespace

Names::Names(QScriptEngine *engine)
    : engine(engine), data(engine->toStringHandle(QStringLiteral("__qt_data__"))),
      length(engine->toStringHandle(QStringLiteral("length"))),
      prototype(engine->toStringHandle(QStringLiteral("prototype"))),
      constructor(engine->toStringHandle(QStringLiteral("constructor")))
{}

Names *namesOf(QScriptEngine *engine)
{
    EngineState *state = stateOf(engine);
    return state && !state->ending.load(std::memory_order_acquire) ? state->names.get() : nullptr;
}

bool engineEnding(QScriptEngine *engine)
{
    if (EngineState *state = existingState(engine))
        return state->ending.load(std::memory_order_acquire);
    return destroying(engine);
}

void atEngineEnd(QScriptEngine *engine, std::function<void()> hook)
{
    EngineState *state = stateOf(engine);
    if (!state || state->ending.load(std::memory_order_acquire)) {
        hook();
        return;
    }
    state->hooks.push_back(std::move(hook));
}

std::shared_ptr<void> detail::engineData(QScriptEngine *engine, const void *key,
                                         const std::function<std::shared_ptr<void>()> &make)
{
    EngineState *state = stateOf(engine);
    if (!state || state->ending.load(std::memory_order_acquire))
        return nullptr;
    if (std::shared_ptr<void> part = state->parts.value(key))
        return part;
    std::shared_ptr<void> made = make();
    state->parts.insert(key, made);
    return made;
}

void *detail::existingEngineData(QScriptEngine *engine, const void *key)
{
    EngineState *state = existingState(engine);
    if (!state || state->ending.load(std::memory_order_acquire))
        return nullptr;
    const auto it = state->parts.constFind(key);
    return it == state->parts.constEnd() ? nullptr : it.value().get();
}

void forOtherEngines(const std::function<void(QScriptEngine *)> &f)
{
    Registry &r = registry();
    QThread *const here = QThread::currentThread();
    QMutexLocker lock(&r.mutex);
    for (EngineState *state : r.states) {
        if (state->thread != here && !state->ending.load(std::memory_order_relaxed))
            f(state->engine);
    }
}

void withEngine(QScriptEngine *engine, const std::function<void(QScriptEngine *)> &f)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    const auto it = std::find_if(r.states.begin(), r.states.end(), [engine](const EngineState *state) {
        return state->engine == engine && !state->ending.load(std::memory_order_relaxed);
    });
    if (it != r.states.end())
        f(engine);
}

bool enginesElsewhere()
{
    Registry &r = registry();
    QThread *const here = QThread::currentThread();
    QMutexLocker lock(&r.mutex);
    return std::any_of(r.states.begin(), r.states.end(), [here](const EngineState *state) {
        return state->thread != here && !state->ending.load(std::memory_order_relaxed);
    });
}

namespace {

// QtScript connects an object's destroyed signal to this slot of its engine while the engine
// keeps a record of the object; the slot deletes the record with its handlers' connections. By
// index: an engine whose end has begun is no QScriptEngine to its meta-object.
const int destroyedSignal = QObject::staticMetaObject.indexOfSignal("destroyed(QObject*)");
const int recordSlot = QScriptEngine::staticMetaObject.indexOfSlot("_q_objectDestroyed(QObject*)");

} // namespace

bool claimRecord(QObject *object, QScriptEngine *engine)
{
    return QMetaObject::disconnect(object, destroyedSignal, engine, recordSlot);
}

void dropRecord(QObject *object, QScriptEngine *engine)
{
    QScriptEngine::staticMetaObject.method(recordSlot)
        .invoke(engine, Qt::DirectConnection, Q_ARG(QObject *, object));
}

void forEnginesHere(const std::function<void(QScriptEngine *)> &f)
{
    QVarLengthArray<QScriptEngine *, 4> here;
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        for (EngineState *state : r.states) {
            if (state->thread == QThread::currentThread())
                here.append(state->engine);
        }
    }
    for (QScriptEngine *engine : here)
        f(engine);
}

namespace {

// QtScript warns of each handler it refuses while it collects: not of the probe's. A handler of
// the process's messages mutes it while any thread probes, and hands every other message on. Its
// lock is held only to install and restore it, never across a probe (whose call into QtScript may
// finalise, and so delete, what a collection left).
const char refusal[] = "QtScript: can't execute signal handler during GC";
QBasicMutex mutingLock;
int probes = 0;     // under the lock
std::atomic<QtMessageHandler> unmuted{nullptr};
thread_local bool probingHere = false;
void muted(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (probingHere && message == QLatin1String(refusal))
        return;
    // (Another thread's message may come between its first installation and the handler it
    // replaced; one that comes after its removal goes to the handler it had replaced.)
    QtMessageHandler next;
    while (!(next = unmuted.load(std::memory_order_acquire)))
        QThread::yieldCurrentThread();
    next(type, context, message);
}

class Muting
{
public:
    Muting()
    {
        probingHere = true;
        QMutexLocker lock(&mutingLock);
        if (probes++ == 0)
            unmuted.store(qInstallMessageHandler(muted), std::memory_order_release);
    }
    ~Muting()
    {
        {
            QMutexLocker lock(&mutingLock);
            if (--probes == 0) {
                // (A handler installed meanwhile stays.)
                const QtMessageHandler now = qInstallMessageHandler(unmuted.load());
                if (now != muted)
                    qInstallMessageHandler(now);
            }
        }
        probingHere = false;
    }
    Muting(const Muting &) = delete;
    Muting &operator=(const Muting &) = delete;
};

// The engine's handler of its probe's signal does not run: it collects.
bool collects(EngineState *state)
{
    state->heard = false;
    state->probe->open(QIODevice::ReadOnly);
    state->probe->close();
    return !state->heard;
}

} // namespace

bool qtScriptDeletes()
{
    // A probe's call into QtScript may itself finalise what a collection left: that deletes.
    if (probingHere)
        return true;
    QVarLengthArray<EngineState *, 4> here;
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        for (EngineState *state : r.states) {
            if (state->thread == QThread::currentThread())
                here.append(state);
        }
    }
    if (here.isEmpty())
        return false;
    const Muting muting;
    return std::any_of(here.begin(), here.end(), [](EngineState *state) {
        return state->ending.load(std::memory_order_acquire) || !state->probe || collects(state);
    });
}

void dropScriptRecords(QObject *object)
{
    forEnginesHere([object](QScriptEngine *engine) {
        if (claimRecord(object, engine))
            dropRecord(object, engine);
    });
}

void detachBuffer(QBuffer *buffer, bool readable)
{
    const QSignalBlocker quiet(buffer);
    const QIODevice::OpenMode mode = buffer->openMode();
    const qint64 pos = buffer->QBuffer::pos();
    buffer->QBuffer::close();
    const QByteArray copy = readable ? buffer->data() : QByteArray();
    buffer->setBuffer(nullptr);
    buffer->setData(copy);
    if (mode != QIODevice::NotOpen && buffer->QBuffer::open(mode & ~QIODevice::Truncate))
        buffer->QBuffer::seek(pos);
}

std::function<void()> detachAtEngineEnd(QBuffer *buffer, bool (*held)(const QObject *))
{
    return [guard = QPointer<QBuffer>(buffer), held] {
        if (guard)
            detachBuffer(guard, held && held(guard));
    };
}

} // namespace kit
