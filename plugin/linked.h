// Linked, the base every object shell has, in a header of its own: the marks of objects in use
// (busy.cpp) and the self links' holds need only this of the kit, so that the parts below the
// kit do not include it.
#ifndef QTCORE_PLUGIN_LINKED_H
#define QTCORE_PLUGIN_LINKED_H

#include "plugin/selflink.h"

#include <QtCore/QBasicTimer>
#include <QtCore/QMutex>
#include <QtCore/QThread>

namespace kit {

// Every object shell derives from this: how the kit finds the script object of an object that
// a script made.
class Linked
{
public:
    virtual ~Linked();
    // Whether QtCore works for the object unbidden (a running process, an enabled socket
    // notifier, a watcher watching paths): its script object is kept meanwhile.
    virtual bool working() const;
    SelfLink scriptSelf;
};

// The nearest object a script made: `object` itself or an ancestor, through objects QtCore or the
// host made under it (which go with it). Null when there is none.
Linked *keeperOf(QObject *object);

// The keeper of a child's family: the nearest object a script made above it (see keeperOf).
const QObject *keeperOfParent(const QObject *child);

// Reads again, from QtCore's own state, every reason QtCore may call a script-made object for
// while no script reaches it, and holds its script object while one holds:
// taken where the script object is reachable (`inHand`, when it is the object's, or as the link
// reads it), let go once none holds and the object is no longer in use (a call on it, or a
// delivery to it or to one of its descendants, is over: until then QtCore may still use it,
// and the collector must not delete it). Called where a call or delivery may have changed them:
// `timers` where timers may have started (only a running hold for timers reads them otherwise).
void settle(QObject *object, const QScriptValue &inHand = QScriptValue(), bool timers = false);
// The mark `mark` on `object` (null: none) ended (busy.h): objects whose hold QtCore may have
// ended meanwhile, and those whose release waited for it, are settled.
void settleAfterMark(const void *mark, const QObject *object);

// A child left `parent` (its ChildRemoved) by other means than a script's setParent (the host's):
// a member of the parent's family leaves it, owned as QtScript owns it by default from now on
// (a parent the host gave it keeps it).
void childLeft(QObject *parent, QObject *child);
// A child came to an object of a script's family (its ChildAdded) by other means than a script's
// call (the host's): a script's object of the same engine joins the family from the next turn of
// the event loop (its script object is read after a full collection).
void childCame(QObject *child);

// Every deletion of a script-made object comes here first (its shell's operator delete),
// whoever asks for it: the collector or the engine's end (through any wrapper that owns it), a
// parent's destruction, a native delete, QtCore's handling of a DeferredDelete. One that must
// wait (the object or a descendant is in use by a call below, or recorded by an engine of another
// thread; or it lives on another thread that still delivers) is turned into a deletion asked for
// (deleteLater), which waits as a DeferredDelete does: true then, and the object stays. A
// parent's destruction, and a DeferredDelete that waited already, go on at once.
bool deferDeletion(QObject *object, SelfLink &link);

// Deletions of one object on two threads at once: QtScript deleting, through a wrapper that owns
// it, an object that lives on another thread, which deletes it meanwhile (a DeferredDelete, a
// parent). A deletion from another thread runs `defer` (deferDeletion) under one lock, and the
// object's own destruction marks it `ending` under that lock before it begins: whichever comes
// second does nothing of the object's. True when the object stays (or is going already).
QBasicMutex &crossingDeletions();
// Where engines of other threads have the plugin's state, guarded pointers to `object` read it as
// gone from now on, not only from QObject's destructor on: QtScript, deleting through a wrapper
// that owns it on another thread, checks one and then deletes with nothing of ours between, which
// would destroy again an object inside its destructors. (Called away from its engine's thread:
// there, handlers that its destructors call, a process's as it is killed, still reach it.)
void readAsGone(QObject *object);
template <class Defer>
bool deletionBegins(QObject *object, bool &ending, Defer &&defer)
{
    QMutexLocker lock(&crossingDeletions());
    if (ending)
        return true;
    const bool across = object->thread() && object->thread() != QThread::currentThread();
    if (!across)
        lock.unlock();
    if (defer())
        return true;
    if (!across)
        lock.relock();
    ending = true;
    return false;
}

// A call on an object just moved to this thread (back home, or of another engine): QtCore
// finishes its move first (it gives the object its timers back at a turn of the event loop; a
// timer killed before then would come back and fire at the object once it is gone, natively too).
void catchUp(QObject *object);
void catchUp(QObject *object, SelfLink &link);

// What a script's basic timer (of this thread) times, while it does: the object is about to move
// to another thread, and its timer stops (stopBasicTimers). QtCore would move its registration
// with the object, where it would fire after the timer (of this thread) has gone.
class BasicTiming
{
public:
    BasicTiming() = default;
    BasicTiming(const BasicTiming &) = delete;
    BasicTiming &operator=(const BasicTiming &) = delete;
    ~BasicTiming() { set(nullptr, nullptr); }
    // `timer` times `object` from now on (null: nothing).
    void set(QObject *object, QBasicTimer *timer);

private:
    friend void stopBasicTimers(QObject *object);
    QObject *m_object = nullptr;
    QBasicTimer *m_timer = nullptr;
};
void stopBasicTimers(QObject *object);

} // namespace kit

#endif
