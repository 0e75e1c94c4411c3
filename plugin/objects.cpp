// Objects (objects.h), and the hooks of object shells (shell.h) that tell a shell's link what
// QtCore's calls on the object changed.
#include "plugin/objects.h"
#include "plugin/engines.h"
#include "plugin/shell.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace kit {

Linked *keeperOf(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (Linked *linked = dynamic_cast<Linked *>(o))
            return linked;
    }
    return nullptr;
}

const QObject *keeperOfParent(const QObject *child)
{
    const Linked *keeper = keeperOf(child->parent());
    return keeper ? dynamic_cast<const QObject *>(keeper) : nullptr;
}

namespace {

// Contexts up the stack whose `this` is looked at (see keeperSelf).
constexpr int ContextsLookedAt = 8;

// The keeper's script object, where it is known reachable: held, or named by what the script
// call under way has in hand (the `this` or an argument of the current call, the `this` of the
// calls below it), which is the keeper's script object or one of its family's (each of which
// holds the keeper's). Else the invalid value.
QScriptValue keeperSelf(const Linked *keeper, QScriptEngine *engine)
{
    const SelfLink &link = keeper->scriptSelf;
    if (link.held())
        return link.get();
    if (!engine || !link.alive() || link.boundEngine() != engine || !link.atHome()
        || engineEnding(engine))
        return QScriptValue();
    const auto named = [&](const QScriptValue &value) {
        return link.is(value) ? value : link.keeperNamedBy(value);
    };
    QScriptContext *context = engine->currentContext();
    for (int i = 0; context && i < context->argumentCount(); ++i) {
        const QScriptValue self = named(context->argument(i));
        if (self.isValid())
            return self;
    }
    for (int depth = 0; context && depth < ContextsLookedAt; ++depth) {
        const QScriptValue self = named(context->thisObject());
        if (self.isValid())
            return self;
        context = context->parentContext();
    }
    return QScriptValue();
}

} // namespace

void keepWhileParented(QObject *object, QObject *formerParent, const QScriptValue &inHand,
                       const QScriptValue &keeperInHand)
{
    guardAncestors(object);
    Linked *linked = dynamic_cast<Linked *>(object);
    if (!linked || !linked->scriptSelf.alive())
        return;
    QObject *parent = object->parent();
    if (formerParent && formerParent != parent) {
        if (Linked *former = keeperOf(formerParent))
            former->scriptSelf.release(linked->scriptSelf);
    }
    // The keeper's script object is read where it is known reachable: in hand, the parent in
    // hand (the caller's argument), held, or named by a member of its family in hand. Where it is
    // not (an object QtCore made that a script got otherwise), the object is held natively. (A
    // keeper of another engine holds nothing of this one.)
    Linked *const direct = dynamic_cast<Linked *>(parent);
    Linked *const keeper = direct ? direct : keeperOf(parent);
    if (keeper) {
        const QScriptValue self = keeper->scriptSelf.is(keeperInHand) ? keeperInHand
                                  : direct ? direct->scriptSelf.get()
                                           : keeperSelf(keeper, linked->scriptSelf.boundEngine());
        if (self.isValid())
            keeper->scriptSelf.hold(linked->scriptSelf, self);
    }
    settle(object, inHand);
}

bool familyHeld(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        const Linked *linked = dynamic_cast<const Linked *>(o);
        // Under an object no script made, a held child would have been found.
        if (!linked)
            return false;
        if (linked->scriptSelf.held())
            return true;
    }
    return false;
}

SelfLink *linkOf(QObject *object)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return linked && linked->scriptSelf.atHome() && linked->scriptSelf.alive() ? &linked->scriptSelf
                                                                               : nullptr;
}

namespace {

bool hasTimers(QObject *object)
{
    // Only the object's own thread may ask its dispatcher.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && object->thread() == QThread::currentThread()
        && !dispatcher->registeredTimers(object).isEmpty();
}

// Why QtCore may call the object while no script reaches it, as QtCore shows it now.
struct Reasons {
    // A parent QtCore or the host made (or one of another engine), filtering an object no script
    // of this engine made, or what the link recorded: these end through the plugin's calls.
    bool told = false;
    // Events still to come to it (a deletion included), work QtCore does unbidden (a running
    // process, an enabled notifier, a watcher watching paths): QtCore may end these in any call on
    // the object or delivery to it.
    bool running = false;
    // Running timers, read only where they may run (a search of all the thread's timers).
    bool timed = false;
};

Reasons reasonsOf(QObject *object, const Linked &linked, bool timers)
{
    const SelfLink &link = linked.scriptSelf;
    Reasons r;
    r.told = link.recorded() || (object->parent() && !link.inFamily()) || link.filtersNatively();
    r.running = eventsAwaited(object) || linked.working();
    // Held for another reason, timers are read again once that one ends.
    r.timed = (timers || link.timed()) && (r.told || r.running || hasTimers(object));
    return r;
}

// The objects of this thread held for a reason QtCore may end in any call on them or delivery to
// them (running, timed), settled again once such a call or delivery is over; and those whose
// release waits until they are out of use. busyState counts both, so that the end of a
// mark asks only while there are any.
thread_local QHash<const QObject *, Linked *> fromState;
// (Each with what it waits for: a mark (Busy::blocker), or null for the next end of any.)
struct Unsettled {
    QPointer<QObject> object;
    const void *blocker;
};
thread_local std::vector<Unsettled> unsettled;

void recount()
{
    // The bits of objects let go of stay until none is held (they only cost a lookup).
    if (fromState.isEmpty())
        busyState.holding = 0;
    busyState.settling = int(unsettled.size());
}

// Events the host takes out of the queue natively end a hold unseen: the objects held for what
// QtCore may end are read again now and then while any is (after a second, then less often while
// none lets go).
thread_local Backoff poller([] { return size_t(fromState.size()); }, [] {
    const QList<const QObject *> held = fromState.keys();
    for (const QObject *o : held)
        settle(const_cast<QObject *>(o));
});

void track(QObject *object, Linked *linked, bool on)
{
    if (on == fromState.contains(object))
        return;
    if (on) {
        fromState.insert(object, linked);
        busyState.holding |= holdingBit(object);
        poller.wake();
    } else {
        fromState.remove(object);
    }
    recount();
}

void settleWaiting(const void *ended);

void settleLater(QObject *object, const void *blocker = nullptr)
{
    for (Unsettled &u : unsettled) {
        if (u.object == object) {
            u.blocker = blocker;
            return;
        }
    }
    unsettled.push_back(Unsettled{object, blocker});
    recount();
    // Read again at the end of the next mark, or at the next turn of the event loop.
    static thread_local bool asked = false;
    if (asked)
        return;
    asked = true;
    postCall(localReceiver(), [] { asked = false; settleWaiting(nullptr); });
}

} // namespace

bool Linked::working() const
{
    return false;
}

Linked::~Linked()
{
    if (!fromState.isEmpty() && fromState.value(scriptSelf.owner()) == this) {
        fromState.remove(scriptSelf.owner());
        recount();
    }
}

void settle(QObject *object, const QScriptValue &inHand, bool timers)
{
    // (A native handler of what the call emitted may have deleted it.)
    if (Busy::wentUnderMark(object))
        return;
    Linked *linked = dynamic_cast<Linked *>(object);
    // (Once its engine went, nothing holds.)
    if (!linked || !linked->scriptSelf.atHome() || !linked->scriptSelf.alive() || dying(object))
        return;
    SelfLink &link = linked->scriptSelf;
    const Reasons reasons = reasonsOf(object, *linked, timers);
    const bool hold = reasons.told || reasons.running || reasons.timed;
    if (!hold && link.held()) {
        if (const void *blocker = Busy::blocker(object)) {
            settleLater(object, blocker);
            return;
        }
    }
    QScriptValue self = inHand;
    QScriptEngine *engine = link.boundEngine();
    const bool elsewhere = self.isObject() && self.engine() != engine;
    if (hold && !link.held() && !link.is(self) && (elsewhere || Busy::throughWrapper())
        && !collecting() && !engineEnding(engine)) {
        // Another engine's script has the object in hand (it posted to it, say), or a script
        // called it through a wrapper the host made: what this engine's scripts reach is known
        // once a full collection has swept what none reaches.
        const QPointer<QObject> guard(object);
        engine->collectGarbage();
        if (!guard)
            return;
        self = link.swept();
    }
    link.holdFor(hold, reasons.timed, self);
    const bool fromQtCore = link.held() && (reasons.running || reasons.timed);
    if (fromQtCore || (busyState.holding & holdingBit(object)))
        track(object, linked, fromQtCore);
}

namespace {

// Those that waited for `ended` (null: all) are read again.
void settleWaiting(const void *ended)
{
    if (unsettled.empty())
        return;
    std::vector<Unsettled> waiting;
    waiting.swap(unsettled);
    // (One that went meanwhile reads as null: neither blocked nor settled.)
    for (Unsettled &u : waiting) {
        if (ended && u.blocker && u.blocker != ended) {
            unsettled.push_back(u);
            continue;
        }
        if ((u.blocker = Busy::blocker(u.object)))
            unsettled.push_back(u);
        else
            settle(u.object);
    }
    recount();
}

} // namespace

void settleAfterMark(const void *mark, const QObject *object)
{
    settleWaiting(mark);
    if (object && fromState.contains(object))
        settle(const_cast<QObject *>(object));
}

void settleLaterFrom(QObject *object)
{
    if (Linked *linked = dynamic_cast<Linked *>(object)) {
        if (linked->scriptSelf.atHome())
            settleLater(object);
    }
}

void unposted(QObject *receiver)
{
    askDeletionsAgain();
    if (receiver) {
        settle(receiver);
        return;
    }
    const QList<const QObject *> all = fromState.keys();
    for (const QObject *o : all)
        settle(const_cast<QObject *>(o));
}

namespace {

// A script's filter may consume the deletions the plugin asks for, which are asked for again a
// second later: from its engine's end on it consumes nothing, and those of this thread are asked
// for again at the next turn (their objects go with the engine).
void askAgainAtEnd(QScriptEngine *engine)
{
    struct AskAtEnd {};
    engineDataPointer<AskAtEnd>(engine, [engine] {
        atEngineEnd(engine, [] { postCall(localReceiver(), [] { askDeletionsAgain(); }); });
        return std::make_shared<AskAtEnd>();
    });
}

} // namespace

void filters(QObject *filter, QObject *watched, bool on)
{
    SelfLink *link = linkOf(filter);
    // QtCore refuses a filter of another thread.
    if (!link || !watched || (on && watched->thread() != filter->thread()))
        return;
    if (on)
        askAgainAtEnd(link->boundEngine());
    // The keeper's script object is read where it is known reachable (see keepWhileParented).
    Linked *keeper = keeperOf(watched);
    const QScriptValue self = keeper ? keeperSelf(keeper, link->boundEngine()) : QScriptValue();
    link->filter(watched, self.isValid() ? &keeper->scriptSelf : nullptr, on, self);
    settle(filter);
}

void installed(QObject *translator, bool on, const QScriptValue &inHand)
{
    if (SelfLink *link = linkOf(translator)) {
        link->record(on);
        settle(translator, inHand);
    }
}

namespace {

thread_local QMultiHash<const QObject *, BasicTiming *> basicTimers;

} // namespace

void BasicTiming::set(QObject *object, QBasicTimer *timer)
{
    if (m_object)
        basicTimers.remove(m_object, this);
    m_object = object;
    m_timer = timer;
    if (m_object)
        basicTimers.insert(m_object, this);
}

void stopBasicTimers(QObject *object)
{
    const QList<BasicTiming *> timings = basicTimers.values(object);
    basicTimers.remove(object);
    for (BasicTiming *timing : timings) {
        timing->m_object = nullptr;
        timing->m_timer->stop();
    }
}

void childLeft(QObject *parent, QObject *child)
{
    Linked *linked = dynamic_cast<Linked *>(child);
    if (!linked || !linked->scriptSelf.inFamily() || dying(child) || InUse::test(child, Work::Parent))
        return;
    if (!linked->scriptSelf.atHome()) {
        linked->scriptSelf.familyLeftAway();
        return;
    }
    const QScriptValue self = linked->scriptSelf.reparented();
    if (Linked *keeper = keeperOf(parent))
        keeper->scriptSelf.release(linked->scriptSelf, self);
    settle(child, self);
}

void leavingThread(QObject *object, Linked &linked)
{
    track(object, &linked, false);
    unsettled.erase(std::remove_if(unsettled.begin(), unsettled.end(),
                                   [object](const Unsettled &u) { return u.object == object; }),
                    unsettled.end());
    recount();
    linked.scriptSelf.leaveHome(object);
    deletionLeaves(object, linked.scriptSelf.lifeline());
}

namespace {

// Objects whose script objects are read at the next turn of the loop, once a full collection of
// their engine has swept what no script reaches: those back on their engine's thread, and those
// the host gave a script's object as a child.
struct Sweeping {
    QPointer<QObject> object;
    bool given;
};
thread_local std::vector<Sweeping> sweeping;

// An object that left, on its engine's thread again and not yet owned there.
SelfLink *returning(QObject *object)
{
    Linked *linked = object ? dynamic_cast<Linked *>(object) : nullptr;
    SelfLink *link = linked ? &linked->scriptSelf : nullptr;
    return link && link->left() && link->homeThread() && link->alive()
                   && object->thread() == QThread::currentThread()
               ? link
               : nullptr;
}

// A child the host gave a script's object of the same engine, not yet a member of its family.
SelfLink *given(QObject *child)
{
    Linked *linked = child ? dynamic_cast<Linked *>(child) : nullptr;
    SelfLink *link = linked ? &linked->scriptSelf : nullptr;
    if (!link || !link->atHome() || !link->alive() || link->inFamily() || !child->parent())
        return nullptr;
    const Linked *keeper = keeperOf(child->parent());
    return keeper && keeper->scriptSelf.alive() && keeper->scriptSelf.atHome()
                   && keeper->scriptSelf.boundEngine() == link->boundEngine()
               ? link
               : nullptr;
}

SelfLink *pending(const Sweeping &s)
{
    return s.given ? given(s.object) : returning(s.object);
}

void sweepAndRead()
{
    std::vector<Sweeping> now;
    now.swap(sweeping);
    if (collecting())
        return;
    QList<QScriptEngine *> swept;
    for (const Sweeping &s : now) {
        SelfLink *link = pending(s);
        QScriptEngine *engine = link ? link->boundEngine() : nullptr;
        if (engine && !swept.contains(engine) && !engineEnding(engine)) {
            engine->collectGarbage();
            swept << engine;
        }
    }
    // Whatever is left is reachable: read at once, before anything allocates (a collection then
    // would leave ids of what it took), the keeper's too (a script's event loop may turn this
    // one, where a link reads nothing as reached from script).
    struct Found {
        QScriptValue self;
        QScriptValue keeper;
    };
    std::vector<Found> found(now.size());
    for (size_t i = 0; i < now.size(); ++i) {
        SelfLink *link = pending(now[i]);
        if (!link || !swept.contains(link->boundEngine()))
            continue;
        found[i].self = link->boundEngine()->objectById(link->id());
        const Linked *keeper = now[i].given ? keeperOf(now[i].object->parent()) : nullptr;
        found[i].keeper = keeper ? keeper->scriptSelf.swept() : QScriptValue();
    }
    for (size_t i = 0; i < now.size(); ++i) {
        const Sweeping &s = now[i];
        SelfLink *link = pending(s);
        if (!link || !link->is(found[i].self))
            continue;
        if (s.given) {
            keepWhileParented(s.object, nullptr, found[i].self, found[i].keeper);
            continue;
        }
        link->comeHome(found[i].self);
        watchHelpers(s.object);
        settle(s.object, found[i].self, true);
    }
}

void sweepThenRead(QObject *object, bool given)
{
    sweeping.push_back(Sweeping{object, given});
    if (sweeping.size() == 1)
        postCall(localReceiver(), sweepAndRead);
}

void arrived(QObject *object)
{
    // QtCore's hand-over of its timers ran before this.
    if (Linked *linked = dynamic_cast<Linked *>(object))
        linked->scriptSelf.handOverDue(object);
    // Where it arrives is its engine's thread: at home again (also where a ThreadChange came with
    // no move), owned again from the next turn of the loop (its delivery is no place for a
    // collection).
    SelfLink *link = returning(object);
    if (!link)
        return;
    link->arrived();
    sweepThenRead(object, false);
}

} // namespace

void catchUp(QObject *object, SelfLink &link)
{
    if (link.handOverDue(object))
        QCoreApplication::sendPostedEvents(object, QEvent::MetaCall);
}

void catchUp(QObject *object)
{
    if (Linked *linked = dynamic_cast<Linked *>(object))
        catchUp(object, linked->scriptSelf);
}

void childCame(QObject *child)
{
    // A script's own setParent (or constructor) holds it as it returns.
    SelfLink *link = InUse::test(child, Work::Parent) ? nullptr : given(child);
    if (!link)
        return;
    // It joins at the next turn, once what no script reaches is swept; until then its parent
    // holds it (the host's call has it in hand), so that a script that drops it meanwhile does
    // not lose it.
    const QScriptValue self = link->reparented();
    if (self.isValid())
        settle(child, self);
    sweepThenRead(child, true);
}

void movingOn(QObject *object)
{
    // A call posted to the object moves with it: it runs wherever the object goes (or here, where
    // a ThreadChange was sent and no move followed).
    postCall(object, [object] { arrived(object); });
}

Holder holderOf(QObject *object)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return Holder{linked ? linked->scriptSelf.get() : QScriptValue()};
}

bool movingNow(const QObject *object)
{
    const auto above = [](const QObject *upper, const QObject *o) {
        for (; o; o = o->parent()) {
            if (o == upper)
                return true;
        }
        return false;
    };
    return InUse::any(Work::Move, [&](const void *marked) {
        const QObject *m = static_cast<const QObject *>(marked);
        return above(m, object) || above(object, m);
    });
}

QObject *objectInHand(const QScriptValue &v)
{
    QObject *object = v.toQObject();
    const Linked *linked = object ? dynamic_cast<const Linked *>(object) : nullptr;
    if (linked && linked->scriptSelf.boundEngine() == v.engine() && !linked->scriptSelf.is(v))
        Busy::foreignInHand();
    return object;
}

bool deferDeletion(QObject *object, SelfLink &link)
{
    // Its own DeferredDelete has waited for all that already; a parent's destruction cannot wait.
    QObject *const parent = object->parent();
    if (busyState.deletingLater == object)
        return false;
    if (parent && deletingChildren(parent)) {
        if (enginesElsewhere())
            dropRecordsAhead(object);
        return false;
    }
    if (QCoreApplication::closingDown())
        return false;
    if (!object->thread() && !parent) {
        // Of no thread (any thread may take one): taken here first and given its timers back, so
        // that its destruction stops them on their own thread. No script runs meanwhile.
        const Collecting quiet;
        object->moveToThread(QThread::currentThread());
        catchUp(object, link);
    }
    QThread *const thread = object->thread();
    if (!thread)
        return false;
    // QtScript's records here go now, as if it were gone: the next collection would read the
    // wrapper the collector takes now wherever a handler was connected through it. (Before its
    // thread can delete it.)
    const bool here = thread == QThread::currentThread();
    if (!here && !threadEnded(thread)) {
        // (A wrapper an engine of this thread owns it through: its own thread deletes it.)
        dropRecordsHere(object);
        deleteThere(link.lifeline(), true);
        return true;
    }
    // Here, or where its thread delivers nothing any more (QtCore lets this one delete it).
    const bool inUse = Busy::blocks(object);
    if (!inUse && !(enginesElsewhere() && awaitRecords(object, link.lifeline())))
        return false;
    // The wrapper that owned it is going (its own script object, perhaps): nothing of the
    // script's side is read from now on.
    if (link.homeThread())
        link.unbind();
    dropRecordsHere(object);
    if (inUse && here)
        deleteThere(link.lifeline(), true);
    else if (inUse)
        deletionWaitsHere(link.lifeline());
    return true;
}

QBasicMutex &crossingDeletions()
{
    static QBasicMutex mutex;
    return mutex;
}

void readAsGone(QObject *object)
{
    if (!enginesElsewhere())
        return;
    // What QPointer reads (QtCore's own, in a public header); the object keeps its reference to
    // the count until QObject's destructor.
    QtSharedPointer::ExternalRefCountData *count = QtSharedPointer::ExternalRefCountData::getAndRef(object);
    count->strongref.storeRelease(0);
    count->weakref.deref();
}

QScriptValue objectToScriptValue(QScriptEngine *engine, QObject *object)
{
    if (!object)
        return engine->nullValue();
    // Never wrapped anew once its destructor has begun (it left its connections already).
    if (Q_UNLIKELY(dying(object)))
        return selfWhileGone(engine, object);
    if (Linked *linked = dynamic_cast<Linked *>(object)) {
        if (linked->scriptSelf.engine() == engine) {
            const QScriptValue self = linked->scriptSelf.get();
            if (self.isValid())
                return self;
        }
    }
    QScriptEngine::QObjectWrapOptions options;
    // No script may delete the application object (often on the host's stack), the engine, a
    // thread, a dispatcher, QtCore's global pool or QtCore's own helpers.
    if (isProtected(object))
        options |= QScriptEngine::ExcludeDeleteLater;
    // A DeferredDelete that reaches a QtCore-made object is checked as a shell checks its own.
    guardDeletion(object);
    // An object QtCore made below a script's object is a member of that family, reached through
    // it (or the keeper is held).
    Linked *keeper = object->parent() ? keeperOf(object->parent()) : nullptr;
    if (keeper && keeper->scriptSelf.atHome() && keeper->scriptSelf.boundEngine() == engine) {
        const QScriptValue self = keeperSelf(keeper, engine);
        if (self.isValid())
            return keeper->scriptSelf.familyWrapper(object, self, options);
    }
    return engine->newQObject(object, QScriptEngine::QtOwnership,
                              options | QScriptEngine::PreferExistingWrapperObject);
}

QScriptValue calledOn(const SelfLink &link)
{
    QScriptEngine *engine = link.engine();
    if (!engine || engineEnding(engine) || !engine->isEvaluating())
        return QScriptValue();
    QScriptContext *context = engine->currentContext();
    QScriptValue self = context ? context->thisObject() : QScriptValue();
    if (!link.is(self))
        self = QScriptValue();
    return self;
}

bool calledThroughWrapper(const QObject *object)
{
    bool through = false;
    forEnginesHere([&](QScriptEngine *engine) {
        QScriptContext *context = !through && !engineEnding(engine) && engine->isEvaluating()
                                      ? engine->currentContext()
                                      : nullptr;
        through = context && context->thisObject().toQObject() == object;
    });
    return through;
}

QScriptValue filterSelf(const SelfLink &filter, QObject *watched)
{
    const QScriptValue self = filter.get();
    if (self.isValid())
        return self;
    const Linked *keeper = keeperOf(watched);
    return keeper && keeper->scriptSelf.held() ? filter.getFiltering(watched) : QScriptValue();
}

} // namespace kit
