#include "plugin/busy.h"

#include "plugin/away.h"
#include "plugin/engines.h"
#include "plugin/linked.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QPointer>
#include <QtCore/QSet>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtCore/QTimer>
#include <QtCore/QTranslator>
#include <QtCore/QVarLengthArray>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>

#include <algorithm>
#include <new>
#include <vector>

namespace kit {

__thread BusyState busyState;

namespace {

// Deletions held back on this thread, in the order asked for. A record stays after its release
// while its object lives (a script override may keep it from going), counting the rounds.
struct Held {
    QPointer<QObject> object;
    bool waiting;
    int rounds;
    bool timed;     // asked for again after a timer, not arrived yet
    std::shared_ptr<Away> away;     // it left this thread
    const void *blocker;            // what it waits for (Busy::blocker)
};
thread_local std::vector<Held> heldObjects;

// An object held back again and again, each time its released deletion arrives (an override
// that swallows its own DeferredDelete and asks for another): asked for again after a timer from
// then on, which no flush of posted events delivers, so that the flush ends.
constexpr int RoundsBeforeTimer = 8;

bool isLinked(const QObject *o)
{
    return dynamic_cast<const Linked *>(o) != nullptr;
}

// A deletion asked for again: a script's object until it arrives (deleteThere); QtCore's helpers
// as QtCore would.
void askDeletion(QObject *object)
{
    if (Linked *linked = dynamic_cast<Linked *>(object))
        deleteThere(linked->scriptSelf.lifeline(), true);
    else
        object->deleteLater();
}

// Consumes the DeferredDelete events that must wait or never happen. Installed once per object:
// installing again would move it before the others, and a filter loop under way would call one
// of them twice.
class DeletionGuard : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // A guarded object the host moves to another thread is no longer this thread's to guard.
        if (e->type() == QEvent::ThreadChange) {
            watched->removeEventFilter(this);
            guarded.remove(watched);
        }
        // A child of a script's family that the host takes from an object QtCore made leaves it;
        // one it gives there joins it.
        if (e->type() == QEvent::ChildRemoved)
            childLeft(watched, static_cast<QChildEvent *>(e)->child());
        else if (e->type() == QEvent::ChildAdded)
            childCame(static_cast<QChildEvent *>(e)->child());
        return e->type() == QEvent::DeferredDelete && holdDeferredDelete(watched);
    }

    void guard(QObject *object)
    {
        if (guarded.contains(object))
            return;
        guarded.insert(object);
        connect(object, &QObject::destroyed, this, [this, object] { guarded.remove(object); });
        object->installEventFilter(this);
    }

private:
    QSet<const QObject *> guarded;
};

// Delivers each event of a helper itself, inside a mark on the helper. Installed once per helper:
// installing again would move it before filters installed later, which it would then skip.
// QtCore finishes its owner's work there (a process's end, a watched file gone): once the event
// is over, the owner's hold is read again, whether or not the owner's signals told.
class HelperGuard : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // QtCore ends some helpers itself (a dead process's notifier): they go once not in use.
        if (e->type() == QEvent::DeferredDelete)
            return holdDeferredDelete(watched);
        // One that moves with its owner is watched again if it comes back (watchHelpers).
        if (e->type() == QEvent::ThreadChange) {
            watched->removeEventFilter(this);
            helpers.remove(watched);
            return false;
        }
        // The helper may go in its own event; an owner being destroyed (its helpers hear of their
        // children going) has nothing left to hold.
        QObject *const above = watched->parent();
        const QPointer<QObject> parent(above && !dying(above) ? above : nullptr);
        {
            const Busy mark = Busy::deliveryTo(watched, [] { return nullptr; }, e);
            watched->event(e);
        }
        if (e->type() == QEvent::ChildRemoved) {
            childLeft(watched, static_cast<QChildEvent *>(e)->child());
        } else if (e->type() == QEvent::ChildAdded) {
            childCame(static_cast<QChildEvent *>(e)->child());
        }
        if (Linked *owner = parent ? keeperOf(parent) : nullptr)
            settle(dynamic_cast<QObject *>(owner));
        return true;
    }

    QSet<const QObject *> helpers;
};

// What marks a helper for as long as it lives: QtCore frees it with the helper's own record, after
// the helper's parent heard of it going, whichever filters or thread it went through.
class HelperMark : public QObjectUserData
{
};

uint helperSlot()
{
    static const uint slot = QObject::registerUserData();
    return slot;
}

// QtCore's own record of an object, public in QObjectData, which only QObject's subclasses reach.
struct StateOf : QObject {
    static QObjectData *of(const QObject *object) { return (object->*(&StateOf::d_ptr)).data(); }
};

// One of each per thread, under the thread's receiver: nothing a script can reach. They go with
// it as the thread finishes (objects that still name them as filters skip them then).
thread_local QPointer<DeletionGuard> deletionGuard;
thread_local QPointer<HelperGuard> helperGuard;

// What QtCore made under a script's object and keeps raw pointers to (see watchHelpers).
bool isHelper(const QObject *o)
{
    return helperGuard && helperGuard->helpers.contains(o);
}

// Deleting these always crashes something: the application (often on the host's stack), the
// loop's dispatcher.
bool neverDeleted(const QObject *o)
{
    return o == QCoreApplication::instance() || qobject_cast<const QAbstractEventDispatcher *>(o);
}

} // namespace

const void *Translating::blocker()
{
    static const char translations = 0;
    return &translations;
}

const void *Busy::blocker(const QObject *receiver)
{
    if (!receiver || (!busyState.innermost && !busyState.translating))
        return nullptr;
    // Innermost first: the outermost found blocks longest.
    QVarLengthArray<const Busy *, 16> marks;
    for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_object)
            marks.append(b);
    }
    int outermost = -1;
    bool translator = false;
    QVarLengthArray<const QObject *, 32> pending;
    pending.append(receiver);
    while (!pending.isEmpty() && outermost + 1 < marks.size()) {
        const QObject *o = pending.last();
        pending.removeLast();
        for (int i = marks.size() - 1; i > outermost; --i) {
            if (marks[i]->m_object == o) {
                outermost = i;
                break;
            }
        }
        translator = translator || (busyState.translating && qobject_cast<const QTranslator *>(o));
        for (const QObject *child : o->children())
            pending.append(child);
    }
    // (A translation ends within the marks that were there when it began.)
    if (outermost >= 0)
        return marks[outermost];
    return translator ? Translating::blocker() : nullptr;
}

void Busy::objectGoes(const QObject *object)
{
    for (Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_object == object) {
            b->m_object = nullptr;
            b->m_went = object;
            b->m_gone = true;
        }
    }
}

bool Busy::marked(const QObject *object)
{
    for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_object == object)
            return true;
    }
    return false;
}

bool Busy::wentUnderMark(const QObject *object)
{
    for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_went == object)
            return true;
    }
    return false;
}

const void *Busy::contextOf(QScriptEngine *engine)
{
    // Once its end has begun the engine is a QScriptEngine no more (a host's handler of its
    // destroyed signal may still deliver events to objects it made).
    return engineEnding(engine) ? nullptr : engine->currentContext();
}

bool Busy::callFromScript(const Busy *call, QScriptEngine *engine)
{
    if (call->m_foreign || call->m_engine != engine)
        return false;
    // A call through a wrapper that is not the object's own script object (the host's) has
    // nothing of the object's script side in hand: that may be gone already.
    const Linked *linked = call->m_via ? dynamic_cast<const Linked *>(call->m_object) : nullptr;
    return !linked || linked->scriptSelf.boundEngine() != engine || linked->scriptSelf.is(*call->m_via);
}

bool Busy::throughWrapper()
{
    for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_kind != Call || !(b->m_engine || b->m_foreign))
            continue;
        if (!b->m_foreign && callFromScript(b, const_cast<QScriptEngine *>(b->m_engine)))
            return false;
        // Not a script's when QtCore delivers it unbidden (another engine's connection calls a
        // slot from its timer, say), unless a script's call lies between.
        for (const Busy *o = b->m_outer; o; o = o->m_outer) {
            if (o->m_kind == Queued)
                return false;
            if (o->m_kind == Call && o->m_engine)
                break;
        }
        return true;
    }
    return false;
}

bool Busy::fromNative(QScriptEngine *engine)
{
    for (const Busy *b = busyState.innermost; b; b = b->m_outer) {
        if (b->m_kind == Call && (b->m_engine || b->m_foreign))
            return callFromScript(b, engine);
    }
    return true;
}

bool Busy::fromScriptSlow(const Busy *from, QScriptEngine *engine)
{
    bool queued = false;
    const void *now = nullptr;
    bool known = false;
    for (const Busy *b = from; b; b = b->m_outer) {
        if (b->m_kind == Call) {
            if (b->m_engine || b->m_foreign)
                return callFromScript(b, engine);
            continue;
        }
        if (b->m_engine != engine) {
            queued = queued || b->m_kind == Queued;
            continue;
        }
        if (!known) {
            now = contextOf(engine);
            known = true;
        }
        // A script function entered since the loop or the delivery began reached the object.
        if (now != b->m_context)
            return true;
        if (b->m_kind == Loop)
            return false;
        queued = queued || b->m_kind == Queued;
    }
    return !queued;
}

void Busy::ended(const Busy *mark, const QObject *object)
{
    // Deletions first: a hold reads the deletions asked for again.
    if (busyState.postponed)
        releasePostponed(mark);
    settleAfterMark(mark, object);
}

void Busy::releasePostponed(const void *ended)
{
    std::vector<Held> &list = heldObjects;
    std::vector<Held> ready;
    int waiting = 0;
    bool inUse = busyState.translating > 0;
    for (const Busy *b = busyState.innermost; b && !inUse; b = b->m_outer)
        inUse = b->m_object != nullptr;
    for (auto it = list.begin(); it != list.end();) {
        if (it->away) {
            // Gone elsewhere: asked for again there once nothing here is in use.
            if (inUse) {
                ++waiting;
                ++it;
                continue;
            }
            deleteThere(it->away, true);
            it = list.erase(it);
            continue;
        }
        QObject *o = it->object.data();
        if (!o) {
            it = list.erase(it);
            continue;
        }
        if (it->waiting && (!ended || it->blocker == ended)) {
            it->blocker = blocker(o);
            if (!it->blocker) {
                it->waiting = false;
                it->timed = it->rounds >= RoundsBeforeTimer;
                ready.push_back(*it);
            }
        }
        waiting += it->waiting;
        ++it;
    }
    busyState.postponed = waiting;
    // Asked for again at this level: QtCore's loop-level rules decide when it happens.
    for (const Held &h : ready) {
        if (!h.timed)
            askDeletion(h.object);
        else
            QTimer::singleShot(1, h.object.data(), [o = h.object] { askDeletion(o); });
    }
}

bool dying(const QObject *object)
{
    return StateOf::of(object)->wasDeleted;
}

bool eventsAwaited(const QObject *object)
{
    // QtCore counts an object's posted events under its queue's lock; any thread may post.
    if (__atomic_load_n(&StateOf::of(object)->postedEvents, __ATOMIC_RELAXED) > 0)
        return true;
    for (const Held &h : heldObjects) {
        if ((h.waiting || h.timed) && h.object == object)
            return true;
    }
    return false;
}

bool deletingChildren(const QObject *object)
{
    return StateOf::of(object)->isDeletingChildren;
}

void deletionLeaves(QObject *object, const std::shared_ptr<Away> &away)
{
    for (Held &h : heldObjects) {
        if (h.object != object)
            continue;
        // (Counted as waiting until asked for again there; its own count is not read.)
        if (!h.waiting)
            ++busyState.postponed;
        h.away = away;
        h.object.clear();
    }
}

void deletionWaitsHere(const std::shared_ptr<Away> &away)
{
    heldObjects.push_back(Held{nullptr, true, 0, false, away, nullptr});
    ++busyState.postponed;
}

void deletionConsumed(QObject *receiver)
{
    // QtCore would otherwise drop every later deleteLater of the object while it has other events
    // pending, as one already on its way.
    StateOf::of(receiver)->deleteLaterCalled = false;
}

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
namespace {
char handedAcross;
}
void postedAcross() { __tsan_release(&handedAcross); }
void receivedAcross() { __tsan_acquire(&handedAcross); }
void handedOn(const void *object) { __tsan_release(const_cast<void *>(object)); }
void takenOn(const void *object) { __tsan_acquire(const_cast<void *>(object)); }
#else
void postedAcross() {}
void receivedAcross() {}
void handedOn(const void *) {}
void takenOn(const void *) {}
#endif

namespace {
thread_local QObject *receiver = nullptr;
} // namespace

bool pluginsOwn(const QObject *object, const QEvent *event)
{
    // (Pointer tests first: application filters see every event.)
    return object
           && ((receiver && (object == receiver || object->parent() == receiver))
               || (event->type() == QEvent::MetaCall && qobject_cast<const QScriptEngine *>(object)));
}

QObject *localReceiver()
{
    QObject *&object = receiver;
    if (!object) {
        object = new QObject;
        object->setObjectName(QStringLiteral("qt.core calls"));   // (for a host's leak counts)
        // Emitted on the thread itself, before it lets go of its objects' events: the calls
        // still queued here run first (those that bring objects of no thread here to delete
        // them, whose deletions the thread's end then delivers).
        QObject::connect(QThread::currentThread(), &QThread::finished, object, [] {
            QCoreApplication::sendPostedEvents(receiver, QEvent::MetaCall);
            delete receiver;
            receiver = nullptr;
        }, Qt::DirectConnection);
    }
    return object;
}

void Backoff::wake()
{
    static constexpr int First = 1000;
    if (!m_timer) {
        m_timer = new QTimer(localReceiver());
        m_timer->setSingleShot(true);
        m_timer->setInterval(First);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
            const size_t before = m_count();
            m_read();
            const size_t left = m_count();
            // Nothing left to read: it rests (one a thread, gone with the thread's receiver).
            if (!left)
                m_timer->setInterval(First);
            else
                m_timer->start(left < before ? First : std::min(2 * m_timer->interval(), m_longest));
        });
    }
    if (!m_timer->isActive())
        m_timer->start();
}

namespace {

thread_local std::vector<std::function<void()>> later;
thread_local Backoff laterTimer([] { return later.size(); }, [] {
    std::vector<std::function<void()>> now;
    now.swap(later);
    for (const auto &f : now)
        f();
});

} // namespace

void runLater(std::function<void()> f)
{
    later.push_back(std::move(f));
    laterTimer.wake();
}

bool holdDeferredDelete(QObject *receiver)
{
    if (neverDeleted(receiver))
        return true;
    std::vector<Held> &list = heldObjects;
    auto it = std::find_if(list.begin(), list.end(),
                           [receiver](const Held &h) { return h.object == receiver; });
    if (it != list.end())
        it->timed = false;
    const void *blocker = Busy::blocker(receiver);
    if (!blocker)
        return false;
    // Consumed here, it deletes nothing.
    deletionConsumed(receiver);
    if (it == list.end()) {
        list.push_back(Held{receiver, true, 0, false, nullptr, blocker});
        ++busyState.postponed;
    } else if (!it->waiting) {
        it->waiting = true;
        it->blocker = blocker;
        ++it->rounds;
        ++busyState.postponed;
    }
    return true;
}

bool helperEnding(const QObject *child)
{
    // (A script may send one that names no child.)
    return child && dying(child) && child->userData(helperSlot());
}

bool isProtected(const QObject *o)
{
    if (!o)
        return false;
    if (neverDeleted(o) || isHelper(o) || qobject_cast<const QScriptEngine *>(o)
        || qobject_cast<const QThread *>(o)
        || (qobject_cast<const QThreadPool *>(o) && o == QThreadPool::globalInstance()))
        return true;
    // Other objects the host or QtCore keeps under the application.
    if (isLinked(o))
        return false;
    for (const QObject *p = o->parent(); p; p = p->parent()) {
        if (p == QCoreApplication::instance())
            return true;
    }
    return false;
}

void guardDeletion(QObject *object)
{
    if (!object || object->thread() != QThread::currentThread())
        return;
    if (!deletionGuard) {
        deletionGuard = new DeletionGuard;
        deletionGuard->setParent(localReceiver());
    }
    deletionGuard->guard(object);
}

void guardAncestors(const QObject *object)
{
    for (QObject *p = object ? object->parent() : nullptr; p; p = p->parent()) {
        if (!isLinked(p))
            guardDeletion(p);
    }
}

void guardCoreObjects()
{
    guardDeletion(QCoreApplication::instance());
    guardDeletion(QAbstractEventDispatcher::instance());
}

void watchHelpers(QObject *owner)
{
    if (!owner || Busy::wentUnderMark(owner) || owner->thread() != QThread::currentThread())
        return;
    if (!helperGuard) {
        helperGuard = new HelperGuard;
        helperGuard->setParent(localReceiver());
    }
    HelperGuard *guard = helperGuard;
    const QList<QObject *> found = owner->findChildren<QObject *>();
    for (QObject *helper : found) {
        if (isLinked(helper) || guard->helpers.contains(helper) || helper->thread() != owner->thread())
            continue;
        guard->helpers.insert(helper);
        if (!helper->userData(helperSlot()))
            helper->setUserData(helperSlot(), new HelperMark);
        QObject::connect(helper, &QObject::destroyed, guard, [guard, helper] {
            guard->helpers.remove(helper);
        });
        helper->installEventFilter(guard);
    }
}

void openCollecting(const void *guard)
{
    const int n = busyState.collectedShells;
    if (n > 0 && busyState.collected[n - 1] == guard)
        return;
    if (n < int(sizeof busyState.collected / sizeof busyState.collected[0]))
        busyState.collected[busyState.collectedShells++] = guard;
}

void CollectorGuard::markUntilGone(const QObject *object, const QScriptEngine *engine)
{
    if (m_marked)
        return;
    new (m_mark) Busy(object, engine);
    m_marked = true;
}

void CollectorGuard::keepUntilGone(const QObject *object, const QScriptValue &self)
{
    if (m_gone || !self.isObject())
        return;
    m_self = self;
    m_gone = object;
    m_outerGone = busyState.gone;
    busyState.gone = this;
}

QScriptValue selfWhileGone(QScriptEngine *engine, const QObject *object)
{
    for (const CollectorGuard *g = busyState.gone; g; g = g->m_outerGone) {
        if (g->m_gone == object)
            return g->m_self.engine() == engine ? g->m_self : engine->nullValue();
    }
    return engine->nullValue();
}

CollectorGuard::~CollectorGuard()
{
    if (m_gone) {
        busyState.gone = m_outerGone;
        m_self = QScriptValue();
    }
    if (m_marked)
        std::launder(reinterpret_cast<Busy *>(m_mark))->~Busy();
    const int n = busyState.collectedShells;
    if (n > 0 && busyState.collected[n - 1] == this)
        busyState.collectedShells = n - 1;
}

} // namespace kit
