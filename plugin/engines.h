// What the plugin keeps for each engine, and the engine's end.
//
// An engine's state hangs on the engine object itself (QObject user data, which no script can
// reach), so that an engine made later at the same address never finds it; it goes with the
// engine. It is made when the plugin is installed, never for an engine whose destruction has
// begun. An engine's end begins with its destroyed signal, while its heap still stands: from then
// on the engine reads as ending, so that no override or handler of the plugin's runs script code
// again; the parts of the plugin let go of it (hooks); and its interned names go.
//
// An engine belongs to one thread: its state is used on that thread only.
#ifndef QTCORE_PLUGIN_ENGINES_H
#define QTCORE_PLUGIN_ENGINES_H

#include <QtCore/QHash>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptString>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

QT_BEGIN_NAMESPACE
class QBuffer;
QT_END_NAMESPACE

namespace kit {

// Interned names of one engine: a lookup by QString converts and hashes the name on every call,
// a QScriptString does it once.
class Names
{
public:
    explicit Names(QScriptEngine *engine);

    // A name of the bindings' constant tables (or a literal), found by its address.
    QScriptString ofTable(const char *name)
    {
        auto it = byAddress.constFind(name);
        if (it == byAddress.constEnd())
            it = byAddress.insert(name, engine->toStringHandle(QString::fromLatin1(name)));
        return it.value();
    }

    QScriptEngine *const engine;
    const QScriptString data;   // what QScriptValue::data() reads on a function
    const QScriptString length;
    const QScriptString prototype;
    const QScriptString constructor;
    QHash<const char *, QScriptString> byAddress;
};

// The names of an engine, made with its state at the first request; null once its end has begun.
Names *namesOf(QScriptEngine *engine);

// True from the beginning of the engine's end on (also for an engine being destroyed that the
// plugin never had state for). The engine must still exist: ask only with a value or object of
// it in hand.
bool engineEnding(QScriptEngine *engine);

// Runs `hook` at the beginning of the engine's end, once the engine reads as ending; hooks run in
// the order they were added and must not run script code. For an engine that ends already,
// `hook` runs at once.
void atEngineEnd(QScriptEngine *engine, std::function<void()> hook);

// Calls `f` with each engine of another thread than this one that has the plugin's state, under a
// lock that its end takes first: `f` may post to it, or disconnect what it connected, but must
// not wait for its thread.
void forOtherEngines(const std::function<void(QScriptEngine *)> &f);
// Calls `f` with `engine` if the engine has the plugin's state and its end has not begun (from
// any thread; the engine is only compared until then), under the lock that its end takes first:
// `f` may post to it.
void withEngine(QScriptEngine *engine, const std::function<void(QScriptEngine *)> &f);
// Whether engines of other threads have the plugin's state (a cheap first test).
bool enginesElsewhere();
// Calls `f` with each engine of this thread that has the plugin's state (none can go meanwhile
// unless `f` ends one).
void forEnginesHere(const std::function<void(QScriptEngine *)> &f);

// Whether QtScript itself is deleting objects on this thread now: an engine of this thread
// collects (a sweep, or an allocation that finalises what a collection found unreachable: a
// wrapper that owns an object deletes it then) or ends. No script code of that engine may run
// meanwhile. Asked of QtScript, which refuses to run a signal handler while it collects.
bool qtScriptDeletes();

namespace detail {
std::shared_ptr<void> engineData(QScriptEngine *engine, const void *key,
                                 const std::function<std::shared_ptr<void>()> &make);
void *existingEngineData(QScriptEngine *engine, const void *key);
extern std::atomic<quint64> stateEpoch;
template <class T>
inline const char engineDataKey = 0;
} // namespace detail

// What a part of the plugin keeps for one engine, one T per engine, made by `make` at the first
// request; released at the beginning of the engine's end, after the hooks. Null once the engine's
// end has begun: nothing is made for an engine that is going.
template <class T, class Make>
std::shared_ptr<T> engineData(QScriptEngine *engine, Make &&make)
{
    return std::static_pointer_cast<T>(detail::engineData(
        engine, &detail::engineDataKey<T>, [&]() -> std::shared_ptr<void> { return make(); }));
}

// The same as a plain pointer, for calls made often: it holds no reference, and stays valid until
// the engine's end begins (while the caller has a value or object of the engine in hand and runs
// no script code that could end it).
template <class T, class Make>
T *engineDataPointer(QScriptEngine *engine, Make &&make)
{
    // What this thread found last, while no engine's end has begun since.
    struct Last {
        const QScriptEngine *engine;
        quint64 epoch;
        T *data;
    };
    static thread_local Last last __attribute__((tls_model("initial-exec"))) = {nullptr, 0, nullptr};
    const quint64 epoch = detail::stateEpoch.load(std::memory_order_acquire);
    if (last.engine == engine && last.epoch == epoch)
        return last.data;
    T *data = static_cast<T *>(detail::existingEngineData(engine, &detail::engineDataKey<T>));
    if (!data)
        data = engineData<T>(engine, std::forward<Make>(make)).get();
    if (data)
        last = {engine, epoch, data};
    return data;
}

// QtScript's record of `object` in `engine`: its watch of the object's destruction is cut, which
// claims the record (true when there was one) for the caller to drop once (dropRecord, on the
// engine's thread), as QtScript does when the object's destruction tells it: the record goes
// with its handlers' connections and the reports still queued to them. The object lives while
// it is claimed; it is only a key when dropped.
bool claimRecord(QObject *object, QScriptEngine *engine);
void dropRecord(QObject *object, QScriptEngine *engine);

// Every engine of this thread lets go of its record of `object` now (its handlers' connections to
// the object's signals with it), as it does once the object's destruction tells it: what the
// object emits from then on reaches native receivers only.
void dropScriptRecords(QObject *object);

// Moves a buffer that works in place on a script's byte array onto a copy of that array, open
// as before (without truncating) at the same position, so that nothing writes into the script's
// memory once the engine is gone. QtCore's own functions do it, never a script's override, and
// no signal of the buffer reaches a script's handler meanwhile. When the array may be gone
// already (`readable` false: the collector found the buffer's script object unreachable, and
// finalises what it held in any order), the buffer moves onto an empty array instead: it goes
// with the engine anyway.
void detachBuffer(QBuffer *buffer, bool readable = true);
// The same as an engine-end hook: does nothing once the buffer is gone, and copies the array
// only while something holds the buffer's script object (`held`, asked then).
std::function<void()> detachAtEngineEnd(QBuffer *buffer, bool (*held)(const QObject *) = nullptr);

} // namespace kit

#endif
