// A shell's reference to its own script object.
//
// An object shell holds its wrapper weakly (SelfLink): the engine may collect the wrapper, and
// with it (automatic ownership) an object that has no parent.
//
// The engine may collect a shell's script object: weakly referred to (by id), it lets the object
// go with it. But the collector finalises lazily: once a collection found the script object
// unreachable, it and what it refers to (the override functions) may be freed one by one at any
// later allocation, while the id still reads as that object. So the id is read only where the
// script object is known to be reachable:
// - held: the link keeps it strongly while QtCore can call the object unbidden (timers, posted
//   events, a parent or filtered object QtCore made, ...: settle, linked.h). What holds the
//   object is native state, which lets go by itself, so no cycle through the script object
//   keeps it;
// - or reached from script: the innermost call that is not a delivery is a script's call in this
//   engine (Busy::fromScript), and native code reached the object through what that script holds
//   (its `this`, an argument, values kept in script objects' data, parents and children, which
//   refer to each other's script objects);
// - or re-parented natively: a child comes or goes by the host's setParent, which keeps the
//   object's script value meanwhile, wherever it runs (an event loop a script turns included).
// Off its engine's thread (an object moved to another thread) a link reads nothing: overrides
// fall back to QtCore's implementation there.
#ifndef QTCORE_PLUGIN_SELFLINK_H
#define QTCORE_PLUGIN_SELFLINK_H

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include <atomic>
#include <memory>
#include <vector>

#include "plugin/away.h"
#include "plugin/busy.h"

namespace kit {

class SelfLink
{
public:
    SelfLink() = default;
    SelfLink(const SelfLink &) = delete;
    SelfLink &operator=(const SelfLink &) = delete;
    ~SelfLink();

    // Binds to the script object (a wrapper or variant object of `engine`) of `owner`, the shell
    // when it is an object (null for other shells).
    void bind(QScriptEngine *engine, QScriptValue &self, const QObject *owner = nullptr,
              QScriptEngine::ValueOwnership ownership = QScriptEngine::AutoOwnership);
    const QObject *owner() const { return m_owner; }
    // How the engine's wrapping owns the object (a wrapper's).
    QScriptEngine::ValueOwnership ownership() const { return m_ownership; }
    // The script object, or an invalid value: not bound, collected, its engine ending, off its
    // engine's thread, or neither held nor reached from script now.
    QScriptValue get() const
    {
        if (!atHome())
            return QScriptValue();
        return m_held ? kept() : reachable();
    }
    // The same where native code re-parents the object (a child comes or goes with no script's
    // call): the caller has it in hand and keeps its script value, also inside an event loop a
    // script runs (Busy::fromNative).
    QScriptValue reparented() const;
    // The engine, while the link is bound, on the engine's thread. Off it nothing else is read:
    // the collector's thread writes the rest.
    QScriptEngine *engine() const { return atHome() && alive() ? m_engine : nullptr; }
    // The same while the engine's end has not begun (it may be asked for its state).
    QScriptEngine *turningEngine() const;
    // The engine it was bound to, unchecked (for a script object in hand).
    QScriptEngine *boundEngine() const { return m_engine; }
    // On its engine's thread, and not left it. Off it, the link reads nothing else until this
    // answers: leaving home publishes what it changed (the other thread acquires it here). An
    // object that left and came back (it heard of a move elsewhere: headingOn) is home again;
    // one still moving away, not.
    bool atHome() const
    {
        const void *home = m_home.load(std::memory_order_acquire);
        return Q_LIKELY(home == &busyState) || (!home && m_homeState == &busyState && cameBack());
    }
    // Whether this thread is its engine's (wherever the object is).
    bool homeThread() const { return m_homeState == &busyState; }
    // Whether `value` is this link's script object (a value a script call has in hand).
    bool is(const QScriptValue &value) const;
    // A reason QtCore may call the object for that QtCore does not show (an installed
    // translator, a runnable's start whose run is still to come) began or ended; settle
    // (linked.h) reads the others from QtCore's own state.
    void record(bool on) { m_recorded = on; }
    bool recorded() const { return m_recorded; }
    // Holds the script object while `hold`, lets go otherwise; `timed`: held for running timers
    // (read again once the other reasons end). A hold is taken where the script object is
    // reachable: `inHand`, when valid, is it; else it is read as get() reads it. Nothing is taken
    // once the engine's end has begun.
    void holdFor(bool hold, bool timed, const QScriptValue &inHand = QScriptValue());
    // Held for running timers, as last read.
    bool timed() const { return m_timed; }
    // (The engine detaches a held value when it goes.)
    bool held() const { return atHome() && m_held && m_kept.isValid(); }
    // Lets go of the script object for good: overrides fall back to their base from now on (for
    // a shell that still works while it is destroyed, perhaps by the engine's end).
    void unbind();
    // Keeper and child (a parent, or the nearest ancestor a script made above objects QtCore or
    // the host made): each script object holds the other's in its internal data, so that a
    // family goes together once no script reaches any of it. False when either has no script
    // object, or they are of different engines. `self`, when valid, is this link's script object.
    bool hold(SelfLink &child, const QScriptValue &self = QScriptValue());
    // The child left this keeper (`childSelf`, when valid, its script object).
    void release(SelfLink &child, const QScriptValue &childSelf = QScriptValue());
    // It left its family (`self` its script object, in hand): the family's links go.
    void leaveFamily(const QScriptValue &self);
    // It left its family while away from its engine's thread (any thread): its engine's thread
    // lets go of the family's links soon, or as it comes back (leaveFamily).
    void familyLeftAway();
    // Whether a keeper's script object holds this one (hold). The engine's wrapping then owns the
    // object as the script's: QtScript keeps the wrapper of a sender that has a parent for as long
    // as it has a connection, unless the script owns it, and with it the whole family. A family
    // member goes with its keeper's script object anyway (collected together, or deleted with its
    // parent); any other object is owned automatically (a parent QtCore or the host made keeps
    // it). At the engine's end, a family that outlives it (a held keeper) is owned automatically.
    bool inFamily() const { return m_inFamily; }
    // The script object, read once a full collection has swept what no script reaches (whatever
    // is left is reachable): for the collection's caller, before any script code runs.
    QScriptValue swept() const;
    // The script object as a family member `member` (in hand) names its keeper, when that is
    // this link's: each member's script object holds its keeper's. Else the invalid value.
    QScriptValue keeperNamedBy(const QScriptValue &member) const;
    // The wrapper of `object`, which QtCore or the host made below this keeper (`self` its script
    // object, in hand), as a member of its family: kept in the keeper's script object (one
    // wrapper per object while the keeper's lives) and holding it in turn, so that a child or
    // filter a script hangs on the object keeps the keeper, and a family nothing reaches goes
    // together. The wrapping never owns the object.
    QScriptValue familyWrapper(QObject *object, const QScriptValue &self,
                               QScriptEngine::QObjectWrapOptions options);

    // This object filters `watched`'s events (installEventFilter), or no longer does. The keeper
    // of the watched object (itself or the nearest ancestor a script of this engine made, through
    // objects QtCore or the host made: `keeperLink`) holds the filter's script object in its
    // internal data; a watched object without one holds it natively, until it goes.
    void filter(QObject *watched, const SelfLink *keeperLink, bool on,
                const QScriptValue &keeperSelf = QScriptValue());
    // Whether filtering an object holds this one natively.
    bool filtersNatively() const;
    // Whether `watched` holds this filter's script object in its own.
    bool filtersHeld(const QObject *watched) const;
    // The script object for an event filtered for `watched`, which the caller found held, where
    // get() finds none: read through the watched object that holds it, if it does.
    QScriptValue getFiltering(const QObject *watched) const;

    // The object is moving to another thread (QtCore tells it before it moves): it lets go of
    // everything here, of what it keeps natively too, and reads nothing from now on; its script
    // object no longer owns it. When the collector takes its script object, the object is
    // deleted on its own thread, unless it has a parent there (away.h).
    void leaveHome(QObject *object);
    // The object that left heard of a move on another thread: where it arrives may be home.
    void headingOn() { m_homeward.store(true, std::memory_order_release); }
    // The object that left is on its engine's thread (a call posted to it ran here): at home.
    void arrived() { m_home.store(&busyState, std::memory_order_release); }
    // It left, and its engine's thread has not yet owned it again (comeHome).
    bool left() const { return m_left; }
    // The object hears of a move (a ThreadChange, on the thread it leaves, or any thread for one
    // of no thread): QtCore hands its timers over by a call posted to it.
    void moving(const QObject *object) { m_movedFrom.store(object->thread(), std::memory_order_release); }
    // Once, on the thread the object moved to: the hand-over may still wait in the queue there.
    bool handOverDue(const QObject *object);
    // The object that left is at home again (arrived), `self` its script object (read where it is
    // known reachable): owned as before it left.
    void comeHome(const QScriptValue &self);
    // The object as any thread may reach it (away.h), made on first request by the object's thread.
    const std::shared_ptr<Away> &lifeline();
    // The object is being destroyed (on whatever thread): the collector must not reach it.
    void ended();

    bool alive() const { return m_alive && *m_alive; }
    qint64 id() const { return m_id; }

    // Which virtual functions a script overrode at their last call, as bits by name (see
    // scriptOverride): how to look them up next time.
    quint64 &overrideHints() const { return m_overrideHints; }

private:
    // The script object read by id where it is known to be reachable (see above).
    QScriptValue reachable() const;
    // The held script object, unless the engine's end has begun.
    QScriptValue kept() const;
    void keepSelf(const QScriptValue &self);
    // Whether the object that left is on its engine's thread again: home from now on.
    bool cameBack() const;
    // Joins or leaves its keeper's family (`self` in hand).
    void own(bool family, const QScriptValue &self);
    static void familyEnds(QScriptEngine *engine);

    QScriptEngine *m_engine = nullptr;
    mutable quint64 m_overrideHints = 0;
    const QObject *m_owner = nullptr;
    mutable std::atomic<const void *> m_home{nullptr};
    const void *m_homeState = nullptr;      // the engine's thread's (written once, at bind)
    QScriptEngine::ValueOwnership m_boundOwnership = QScriptEngine::AutoOwnership;
    qint64 m_id = 0;
    std::shared_ptr<bool> m_alive;
    std::shared_ptr<Away> m_away;
    bool m_left = false;    // its engine's thread has not owned it again
    std::atomic<bool> m_homeward{false};
    std::atomic<const void *> m_movedFrom{&m_movedFrom};   // itself: no move to catch up with
    QScriptEngine::ValueOwnership m_ownership = QScriptEngine::AutoOwnership;
    bool m_recorded = false;
    bool m_timed = false;
    // Objects this one filters: held in their keeper's script object, or natively (`gone` lets
    // go once the watched object goes).
    struct Watching {
        QPointer<QObject> watched;
        QPointer<QObject> keeper;       // null: held natively
        QMetaObject::Connection gone;
    };
    std::vector<Watching> m_watching;
    QScriptValue m_kept;
    bool m_held = false;    // m_kept is valid
    bool m_inFamily = false;
};

} // namespace kit

#endif
