#include "plugin/engines.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaMethod>
#include <QtCore/QPointer>

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

// The states of this thread's engines, newest first: a plain pointer, valid to the thread's very
// end (an engine may go after the thread's other storage).
__thread EngineState *threadStates = nullptr;

class EngineState : public QObjectUserData
{
public:
    explicit EngineState(QScriptEngine *engine) : engine(engine), next(threadStates)
    {
        if (next)
            next->previous = this;
        threadStates = this;
    }
    ~EngineState() override
    {
        stateEpoch.fetch_add(1, std::memory_order_release);
        (previous ? previous->next : threadStates) = next;
        if (next)
            next->previous = previous;
    }

    QScriptEngine *const engine;
    EngineState *next;
    EngineState *previous = nullptr;
    std::atomic<bool> ending{false};
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
    state->ending.store(true, std::memory_order_release);
    stateEpoch.fetch_add(1, std::memory_order_release);
    // A hook that adds a hook has it run at once (see atEngineEnd).
    const std::vector<std::function<void()>> hooks = std::move(state->hooks);
    state->hooks.clear();
    for (const auto &hook : hooks)
        hook();
    state->parts.clear();
    state->names.reset();
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

void dropScriptRecords(QObject *object)
{
    // QtScript connects an object's destroyed signal to this slot of its engine once the engine
    // keeps a record of the object; the slot deletes the record with its handlers' connections.
    static const int destroyed = QObject::staticMetaObject.indexOfSignal("destroyed(QObject*)");
    static const int slot =
        QScriptEngine::staticMetaObject.indexOfSlot("_q_objectDestroyed(QObject*)");
    Q_ASSERT(destroyed >= 0 && slot >= 0);
    for (EngineState *state = threadStates; state; state = state->next) {
        // By index: an engine whose end has begun is no QScriptEngine to its meta-object.
        if (QMetaObject::disconnect(object, destroyed, state->engine, slot)) {
            QScriptEngine::staticMetaObject.method(slot).invoke(state->engine, Qt::DirectConnection,
                                                                Q_ARG(QObject *, object));
        }
    }
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
