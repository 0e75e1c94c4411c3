// Objects in use: what native code below the running script still works on.
//
// A script can run while QtCore is still inside a call on an object (an override, a signal
// handler, an event filter), and from there delete that object at once (deleteLater and a flush
// of DeferredDelete, or the same on an ancestor). Busy marks name the objects in use; a
// DeferredDelete that would delete a marked object is held back and asked for again once the
// outermost mark on it has ended. Per thread: script code runs on its engine's thread.
#ifndef QTCORE_PLUGIN_BUSY_H
#define QTCORE_PLUGIN_BUSY_H

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptValue>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

QT_BEGIN_NAMESPACE
class QScriptEngine;
QT_END_NAMESPACE

namespace kit {

class Busy;
struct Away;

// Plain data in initial-exec storage: a mark costs a few stores, not a call.
struct BusyState {
    Busy *innermost;
    int postponed;              // deletions held back, waiting for marks to end
    int translating;            // translate overrides running
    int collecting;             // objects the collector (or the engine's end) is destroying
    int collectedShells;        // of which shells, innermost last in `collected`
    const void *deletingLater;  // the object a DeferredDelete is deleting now
    class DeletionOffer *offer; // the innermost DeferredDelete lent to a script override
    const class CollectorGuard *gone;  // the innermost object being destroyed that has its script object
    const void *collected[4];
    int settling;               // releases waiting for their objects to be out of use
    quint64 holding;            // objects held for what QtCore's state may end, as bits of
                                // their addresses (see holdingBit): read again when a mark on
                                // one ends (settleAfterMark)
};
extern __thread BusyState busyState __attribute__((tls_model("initial-exec")));

// An object's bit in BusyState::holding: a mark's end asks about the objects of few addresses.
inline quint64 holdingBit(const void *object)
{
    return quint64(1) << ((quintptr(object) >> 4) & 63);
}

// A mark also tells who asked for what runs now (see fromScript):
// - a script's call in an engine (a binding's frame, a running script override): what native
//   code reaches from there, that script reached through values it holds;
// - an event loop a script of an engine runs (exec, processEvents, a flush of posted events):
//   QtCore delivers from there what no script asked for;
// - a delivery of an event to an object: one that only an event queue or dispatcher delivers (a
//   timer, a posted call or deletion, a socket's activation) came unbidden, and names the engine
//   of the object's script object, so that script code QtCore runs inside the delivery (a signal
//   handler) can be told from QtCore's own handling of it; any other tells nothing by itself
//   (whoever sent it has the object in hand).
// Loops and deliveries note the engine's current context when they begin: a script function
// entered since has another.
class Busy
{
public:
    // A delivery, to an object of no engine or of one not asked about.
    explicit Busy(const QObject *object) noexcept : Busy(object, nullptr, Delivery, nullptr) {}
    // A script's call in `engine`.
    Busy(const QObject *object, const QScriptEngine *engine) noexcept
        : Busy(object, engine, Call, nullptr)
    {}
    // A script's call in `engine` on `object` through `via`, its `this`: the object's own script
    // object, or a wrapper the host made (or another engine's), through which the script reaches
    // nothing of the object's script side (see fromScript).
    Busy(const QObject *object, const QScriptEngine *engine, const QScriptValue &via) noexcept
        : Busy(object, engine, Call, nullptr)
    {
        m_via = &via;
    }
    // A call on `object` through such a wrapper, in an engine not known: the object is in use,
    // and the call reached nothing from script.
    static Busy foreign(const QObject *object) noexcept
    {
        return Busy(object, nullptr, Call, nullptr, false, true);
    }
    // Whether the innermost script's call came through such a wrapper (its `this` or an
    // argument).
    static bool throughWrapper();
    // The innermost call has such a wrapper of an object in hand (an argument): what it reaches
    // was not reached from script.
    static void foreignInHand()
    {
        if (Busy *b = busyState.innermost)
            b->m_foreign = true;
    }
    // A delivery of `event` to an object whose script object is of the engine `engineOf()`
    // gives (null: none), asked only for an unbidden kind. Made in place (guaranteed copy
    // elision), as marks must be: `const Busy mark = Busy::deliveryTo(...)`.
    template <class EngineOf>
    static Busy deliveryTo(const QObject *object, EngineOf &&engineOf, const QEvent *event) noexcept
    {
        if (!unbidden(event))
            return Busy(object, nullptr, Delivery, nullptr);
        QScriptEngine *engine = engineOf();
        return Busy(object, engine, Queued, engine ? contextOf(engine) : nullptr);
    }
    // An event loop a script of `engine` runs.
    static Busy loop(QScriptEngine *engine) noexcept
    {
        return Busy(nullptr, engine, Loop, contextOf(engine));
    }
    // Whether only an event queue or dispatcher delivers events like `event`.
    static bool unbidden(const QEvent *event)
    {
        switch (event->type()) {
        case QEvent::Timer:
        case QEvent::SockAct:
        case QEvent::DeferredDelete:
        case QEvent::MetaCall:
        case QEvent::FutureCallOut:
            return true;
        default:
            return false;
        }
    }
    // A delivery to `object` that QtCore goes on with once this mark ends (an event filter's):
    // its hold is not read again then, the event being still on its way.
    static Busy passing(const QObject *object) noexcept
    {
        return Busy(object, nullptr, Delivery, nullptr, true);
    }
    // The object a delivery of `event` names besides its receiver (a child added, polished or
    // taken out, unless it is being destroyed), in use while script code handles the event:
    // QtCore reads it once the event is over.
    static Busy namedBy(const QEvent *event) noexcept;
    ~Busy()
    {
        busyState.innermost = m_outer;
        const QObject *object = m_passing ? nullptr : m_object;
        if (Q_UNLIKELY(busyState.postponed | busyState.settling
                       | (object && (busyState.holding & holdingBit(object)))))
            ended(this, object);
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

    // True when deleting `receiver` would delete an object in use: it or a descendant is marked,
    // or a translation runs and it is or holds a translator. Reads only the receiver's subtree
    // (a mark may outlive its object).
    static bool blocks(const QObject *receiver) { return blocker(receiver) != nullptr; }
    // What blocks it: the outermost such mark (the last to end), or the translations (see
    // Translating); null when nothing does. What waits for it is read again when it ends, not at
    // the end of every mark.
    static const void *blocker(const QObject *receiver);
    // The destruction of `object` begins while marks name it (a native handler of what a call on
    // it emitted deleted it, or its parent, which cannot wait): they let go of it, and tell the
    // calls they mark that it is gone.
    static void objectGoes(const QObject *object);
    // Whether this mark's object went while it was marked: nothing may read it afterwards.
    bool gone() const { return m_gone; }
    // Whether `object` (only compared) went under a mark still in place.
    static bool wentUnderMark(const QObject *object);
    // Whether a call on this thread works on `object` itself now (only compared: it may live on
    // another thread).
    static bool marked(const QObject *object);
    // Asks again for the held-back deletions that nothing blocks any more, of those that waited
    // for `ended` (a mark, or the translations; null: all).
    static void releasePostponed(const void *ended = nullptr);
    // The mark `mark` on `object` ended while deletions or holds wait: held-back deletions, then
    // holds, that waited for it are read again.
    static void ended(const Busy *mark, const QObject *object);
    // True unless QtCore calls now what no script (nor the host) asked for: false inside a
    // delivery of an unbidden kind, or an event loop of `engine`'s script, that no script
    // function of `engine` was entered since, and under a script call of another engine. The
    // object reached is then one the caller holds, or reached through values it holds.
    static bool fromScript(QScriptEngine *engine)
    {
        // Most often a script's call lies right below a delivery that tells nothing.
        for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
            if (b->m_kind == Call && (b->m_engine || b->m_foreign))
                return callFromScript(b, engine);
            if (b->m_kind != Delivery || b->m_engine)
                return fromScriptSlow(b, engine);
        }
        // Native code has the object in hand: the host keeps its script value.
        return true;
    }
    // The same where native code is known to have asked for what runs now (a child comes to or
    // leaves an object only by a setParent call): only a script call of another engine, or one
    // through another wrapper, below tells otherwise; an event loop or delivery below does not
    // (the host's own handler re-parents there).
    static bool fromNative(QScriptEngine *engine);

private:
    enum Kind : unsigned char { Call, Loop, Delivery, Queued };
    Busy(const QObject *object, const QScriptEngine *engine, Kind kind, const void *context,
         bool passing = false, bool foreign = false) noexcept
        : m_object(object), m_engine(engine), m_context(context), m_kind(kind), m_passing(passing),
          m_foreign(foreign), m_outer(busyState.innermost)
    {
        busyState.innermost = this;
    }
    static const void *contextOf(QScriptEngine *engine);
    // fromScript from the mark `from` on.
    static bool fromScriptSlow(const Busy *from, QScriptEngine *engine);
    // Whether the call `call` (a script's, in some engine) is `engine`'s, through what reaches
    // the script side of what it works on.
    static bool callFromScript(const Busy *call, QScriptEngine *engine);

    const QObject *m_object;
    const QObject *m_went = nullptr;   // the object it let go of (objectGoes)
    const QScriptEngine *m_engine;
    const void *m_context;
    Kind m_kind;
    bool m_passing;
    bool m_foreign;
    bool m_gone = false;
    const QScriptValue *m_via = nullptr;
    Busy *m_outer;
};

bool dying(const QObject *object);

inline Busy Busy::namedBy(const QEvent *event) noexcept
{
    const QEvent::Type type = event->type();
    const QObject *child = type == QEvent::ChildAdded || type == QEvent::ChildPolished
                                   || type == QEvent::ChildRemoved
                               ? static_cast<const QChildEvent *>(event)->child()
                               : nullptr;
    return passing(child && !dying(child) ? child : nullptr);
}

// An event loop a script runs (exec, processEvents, a flush of posted events): QtCore delivers
// from there what no script asked for.
class LoopMark
{
public:
    explicit LoopMark(QScriptEngine *engine) noexcept : m_mark(Busy::loop(engine)) {}

private:
    const Busy m_mark;
};

// A DeferredDelete lent to an object's script override: QtCore's handling of it, reached from
// the override (the event binding called with it for that object), is left to the shell, which
// deletes the object once the override has returned.
class DeletionOffer
{
public:
    DeletionOffer(const QObject *object, const QEvent *event) noexcept
        : m_object(object), m_event(event), m_outer(busyState.offer)
    {
        busyState.offer = this;
    }
    ~DeletionOffer() { busyState.offer = m_outer; }
    DeletionOffer(const DeletionOffer &) = delete;
    DeletionOffer &operator=(const DeletionOffer &) = delete;
    bool taken() const { return m_taken; }
    // True when `event` is the DeferredDelete lent for `object` now: it is taken.
    static bool take(const QObject *object, const QEvent *event)
    {
        for (DeletionOffer *o = busyState.offer; o; o = o->m_outer) {
            if (o->m_object == object && o->m_event == event) {
                o->m_taken = true;
                return true;
            }
        }
        return false;
    }

private:
    const QObject *m_object;
    const QEvent *m_event;
    DeletionOffer *m_outer;
    bool m_taken = false;
};

// Whether QtCore is destroying the object (QObject's destructor has begun).
bool dying(const QObject *object);
// Whether events are still to come to the object: posted ones in QtCore's queue (a deletion
// included), or a deletion held back (holdDeferredDelete).
bool eventsAwaited(const QObject *object);
// Whether the object is deleting its children (its destructor deletes them).
bool deletingChildren(const QObject *object);

// The object leaves this thread: a deletion held back for it stays so until no call on this
// thread is under way (its marks could not be read there), then is asked for again wherever the
// object is by then (`away`).
void deletionLeaves(QObject *object, const std::shared_ptr<Away> &away);

// A deletion of an object of another thread (one whose thread delivers nothing any more, or one
// that moved there under a call), in use by a call on this thread: asked for again (deleteThere)
// once no call here is under way.
void deletionWaitsHere(const std::shared_ptr<Away> &away);

// A DeferredDelete of `receiver` was consumed (or removed from the queue): a later one is not
// dropped as a repeat of it. On the receiver's thread.
void deletionConsumed(QObject *receiver);

// An object of the plugin's own on this thread, for calls at a turn of its event loop (a script
// object's override could swallow them). Deleted as the thread finishes, with its children.
QObject *localReceiver();
// That receiver, or one of its children (the plugin's timers and guards): their events are the
// plugin's bookkeeping, which QtCore may deliver where no script can run (inside a collection).
// So are an engine's queued calls (the plugin's, and QtScript's drops of its records that other
// threads' destructions queue), which no script's filter of the application may consume.
bool pluginsOwn(const QObject *object, const QEvent *event);

// Reads again, on this thread, what QtCore may end unseen: `read` runs a second after wake(),
// then again while `count` is not zero, sooner when fewer are left, less often (to `longest` ms)
// while none go.
class Backoff
{
public:
    Backoff(size_t (*count)(), void (*read)(), int longest = 64000)
        : m_count(count), m_read(read), m_longest(longest)
    {}
    void wake();

private:
    size_t (*m_count)();
    void (*m_read)();
    const int m_longest;
    QPointer<QTimer> m_timer;
};

// QtCore hands a posted call to the thread that runs it under its queue's lock, which
// ThreadSanitizer does not see (uncontended, it is inline in QtCore): told by these.
void postedAcross();
void receivedAcross();
// The same for what a move hands to the object's new thread: its shell's state, written as it
// hears of the move (`object`'s ThreadChange) and read by whatever reaches it there next.
void handedOn(const void *object);
void takenOn(const void *object);
// Runs `f` at a turn of the event loop of `receiver`'s thread (wherever it is then; not if it
// goes first). A removal of posted events (a script's or the host's removePostedEvents) that
// takes the call out of the queue unrun posts it again: the plugin's own calls are not theirs to
// drop.
template <class F>
void postCall(QObject *receiver, F &&f, int again = 0);

// Runs `f` on this thread a while later (a timer's turn of its event loop).
void runLater(std::function<void()> f);

template <class F>
struct PostedCall {
    PostedCall(QObject *receiver, F f, int again) : receiver(receiver), f(std::move(f)), again(again)
    {}
    ~PostedCall()
    {
        // (Whoever removes a receiver's events keeps it alive meanwhile; one being destroyed reads
        // null, one of no thread would drop it again at once. The application's end drops every
        // event under QtCore's lock of the queue.)
        QObject *const r = receiver.data();
        if (ran.load(std::memory_order_acquire) || !r || !r->thread()
            || QCoreApplication::closingDown())
            return;
        // Dropped again and again (an event filter consumes every event, and flushes the queue
        // from inside, which delivers the call again at once): posted a while later, so that the
        // loop goes on meanwhile.
        if (again < 2) {
            postCall(r, std::move(f), again + 1);
            return;
        }
        auto later = std::make_shared<F>(std::move(f));
        runLater([receiver = receiver, later] {
            if (receiver)
                postCall(receiver.data(), std::move(*later));
        });
    }
    PostedCall(const PostedCall &) = delete;
    PostedCall &operator=(const PostedCall &) = delete;
    const QPointer<QObject> receiver;
    F f;
    const int again;   // times dropped unrun before
    // (Whichever thread drops the event last ends it: told so past QtCore's own count.)
    std::atomic<bool> ran{false};
};

// The posted event's function. Its last move builds it in the event, just before QtCore queues it
// (it may run at once on the other thread): the hand-over is told there; whoever runs or drops
// the event is told first.
template <class F>
struct Handed {
    explicit Handed(std::shared_ptr<PostedCall<F>> call) : call(std::move(call)) {}
    Handed(Handed &&other) noexcept : call(std::move(other.call)) { postedAcross(); }
    ~Handed() { receivedAcross(); }
    void operator()() const
    {
        receivedAcross();
        call->f();
        call->ran.store(true, std::memory_order_release);
    }
    // (Held by the posted event alone: whoever ends it reads whether it ran.)
    std::shared_ptr<PostedCall<F>> call;
};

template <class F>
void postCall(QObject *receiver, F &&f, int again)
{
    using Call = PostedCall<std::decay_t<F>>;
    Handed<std::decay_t<F>> handed(std::make_shared<Call>(receiver, std::forward<F>(f), again));
    QMetaObject::invokeMethod(receiver, std::move(handed), Qt::QueuedConnection);
}

// A DeferredDelete is about to delete `receiver`: true when it must not happen now (the object
// or a descendant is in use: it is held back and asked for again later) or ever (an object QtCore
// cannot lose); the event is then consumed.
bool holdDeferredDelete(QObject *receiver);

// Objects that QtCore or the host made and that scripts must never delete or re-parent: the
// application, engines, threads, event dispatchers, QtCore's global pool, what the host or QtCore
// keeps under the application, and the helpers of a script's objects (see watchHelpers).
bool isProtected(const QObject *object);

// A DeferredDelete reaches a QtCore-made object through an event filter: installed on each such
// object a script is handed, and on the application and the thread's dispatcher.
void guardDeletion(QObject *object);
// The same for the ancestors of a script's object that QtCore or the host made (a script may
// have reached them through the engine's own wrapping).
void guardAncestors(const QObject *object);
// The same for the application and the dispatcher of this thread, which no script wraps first.
void guardCoreObjects();

// Objects QtCore made under `owner` that call script code from their own events (a watcher's
// engine and its notifier, a process's notifiers): each event they receive is delivered inside
// a mark, so that the owner is not deleted under them; no script may delete them.
void watchHelpers(QObject *owner);

// Whether `child`, whose parent hears of it going now (ChildRemoved), is a helper QtCore is
// destroying: QtCore is in the middle of its cleanup of the owner (a process's end).
bool helperEnding(const QObject *child);

// A translate override is running: QtCore holds its translators' lock meanwhile.
class Translating
{
public:
    Translating() noexcept { ++busyState.translating; }
    ~Translating()
    {
        if (--busyState.translating == 0 && busyState.postponed)
            Busy::releasePostponed(blocker());
    }
    // What a deletion blocked by a translation waits for (Busy::blocker).
    static const void *blocker();
    Translating(const Translating &) = delete;
    Translating &operator=(const Translating &) = delete;
    static bool active() { return busyState.translating > 0; }
    static bool outermost() { return busyState.translating == 1; }
};

// The collector (or the engine's end) destroys objects: no script code may run meanwhile, so
// overrides fall back to QtCore's implementations.
inline bool collecting()
{
    return busyState.collecting > 0 || busyState.collectedShells > 0;
}
class Collecting
{
public:
    Collecting() noexcept { ++busyState.collecting; }
    ~Collecting() { --busyState.collecting; }
    Collecting(const Collecting &) = delete;
    Collecting &operator=(const Collecting &) = delete;
};

// A shell's destruction that QtScript itself caused (the collector's, or the engine's end) opens
// the bracket, and CollectorGuard, an empty first
// base destroyed after the whole QtCore object (its destroyed signal and children included),
// closes it.
void openCollecting(const void *guard);
class CollectorGuard
{
protected:
    CollectorGuard() = default;
    ~CollectorGuard();
    CollectorGuard(const CollectorGuard &) = delete;
    CollectorGuard &operator=(const CollectorGuard &) = delete;
    // A script call's mark on `object` that lasts until the whole object is gone (QObject's
    // destructor included), for what the destruction delivers.
    void markUntilGone(const QObject *object, const QScriptEngine *engine);
    // `self` stays the object's script object until it is gone (see selfWhileGone).
    void keepUntilGone(const QObject *object, const QScriptValue &self);

private:
    friend QScriptValue selfWhileGone(QScriptEngine *engine, const QObject *object);
    alignas(Busy) unsigned char m_mark[sizeof(Busy)];
    bool m_marked = false;
    const QObject *m_gone = nullptr;
    const CollectorGuard *m_outerGone = nullptr;
    QScriptValue m_self;
};

// The script object of an object of `engine` whose destruction has begun (QObject's destructor
// sends its parent a ChildRemoved), if a script made it and its script object was readable when
// the destruction began; else null. Wrapping such an object anew would connect it to the engine
// once it has let go of its connections.
QScriptValue selfWhileGone(QScriptEngine *engine, const QObject *object);

} // namespace kit

#endif
