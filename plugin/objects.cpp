// Objects (objects.h), and the hooks of object shells (shell.h) that tell a shell's link what
// QtCore's calls on the object changed.
#include "plugin/objects.h"
#include "plugin/engines.h"
#include "plugin/shell.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QPointer>
#include <QtCore/QSocketNotifier>
#include <QtCore/QThread>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace kit {

Linked::~Linked() = default;

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

// Native holds whose holder is of a script's family (a child of a QtCore-made object under a
// script's object, a filter of such an object), taken while no call had the keeper's script
// object in hand. At the next turn of the event loop a full collection sweeps what no script
// reaches: every keeper whose script object is left is then reachable, and takes them into its
// own, so that a family that refers to itself through them still goes once nothing reaches it.
struct Adoptions {
    std::vector<QPointer<QObject>> waiting;
    bool asked = false;
};

bool sameHome(const Linked *keeper, const SelfLink &link)
{
    return keeper && keeper->scriptSelf.atHome() && keeper->scriptSelf.boundEngine() == link.boundEngine();
}

void adoptWaiting(QScriptEngine *engine)
{
    Adoptions *adoptions = engineDataPointer<Adoptions>(engine, [] { return nullptr; });
    if (!adoptions)
        return;
    adoptions->asked = false;
    std::vector<QPointer<QObject>> waiting = std::move(adoptions->waiting);
    if (waiting.empty() || engineEnding(engine))
        return;
    engine->collectGarbage();
    for (const QPointer<QObject> &object : waiting) {
        SelfLink *link = object ? linkOf(object) : nullptr;
        if (!link || !link->alive())
            continue;
        if (link->kept(SelfLink::Parented)) {
            Linked *keeper = keeperOf(object->parent());
            const QScriptValue keeperSelf = sameHome(keeper, *link) ? keeper->scriptSelf.swept()
                                                                     : QScriptValue();
            if (keeperSelf.isValid() && keeper->scriptSelf.hold(*link, keeperSelf))
                link->keep(SelfLink::Parented, false);
        }
        for (QObject *watched : link->heldNatively()) {
            Linked *keeper = keeperOf(watched);
            const QScriptValue keeperSelf = sameHome(keeper, *link) ? keeper->scriptSelf.swept()
                                                                     : QScriptValue();
            if (keeperSelf.isValid())
                link->filter(watched, &keeper->scriptSelf, true, keeperSelf);
        }
    }
}

// `object` is held natively where a keeper of its family could hold it.
void adoptLater(QObject *object, const SelfLink &link)
{
    QScriptEngine *engine = link.turningEngine();
    Adoptions *adoptions =
        engine ? engineDataPointer<Adoptions>(engine, [] { return std::make_shared<Adoptions>(); })
               : nullptr;
    if (!adoptions)
        return;
    adoptions->waiting.emplace_back(object);
    if (adoptions->asked)
        return;
    adoptions->asked = true;
    QMetaObject::invokeMethod(engine, [engine] { adoptWaiting(engine); }, Qt::QueuedConnection);
}

} // namespace

void keepWhileParented(QObject *object, QObject *formerParent)
{
    guardAncestors(object);
    Linked *linked = dynamic_cast<Linked *>(object);
    if (!linked)
        return;
    QObject *parent = object->parent();
    if (formerParent && formerParent != parent) {
        if (Linked *former = keeperOf(formerParent))
            former->scriptSelf.release(linked->scriptSelf);
    }
    // The keeper's script object is read where it is known reachable: the parent in hand (the
    // caller's argument), or held.
    Linked *const direct = dynamic_cast<Linked *>(parent);
    Linked *const keeper = direct ? direct : keeperOf(parent);
    const bool known = keeper && (keeper == direct || keeper->scriptSelf.held());
    const bool held = known && keeper->scriptSelf.hold(linked->scriptSelf);
    linked->scriptSelf.keep(SelfLink::Parented, parent && !held);
    if (parent && !held && !known && sameHome(keeper, linked->scriptSelf))
        adoptLater(object, linked->scriptSelf);
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
    return linked && linked->scriptSelf.atHome() ? &linked->scriptSelf : nullptr;
}

namespace {

bool hasTimers(QObject *object)
{
    // Only the object's own thread may ask its dispatcher.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && object->thread() == QThread::currentThread()
        && !dispatcher->registeredTimers(object).isEmpty();
}

bool armed(QObject *object)
{
    const auto *notifier = qobject_cast<const QSocketNotifier *>(object);
    return notifier && notifier->isEnabled();
}

int deleteLaterIndex()
{
    static const int index = QObject::staticMetaObject.indexOfMethod("deleteLater()");
    return index;
}

// Reads again what QtCore shows of the reasons it may call the object unbidden: its timers, a
// notifier's being enabled, its work.
void reread(QObject *object, Linked &linked, const QScriptValue &inHand)
{
    SelfLink &link = linked.scriptSelf;
    const bool timed = hasTimers(object), notifying = armed(object), working = linked.working();
    if (timed != link.kept(SelfLink::Timed))
        link.keep(SelfLink::Timed, timed, inHand);
    if (notifying != link.kept(SelfLink::Armed))
        link.keep(SelfLink::Armed, notifying, inHand);
    if (working != link.kept(SelfLink::Working))
        link.keep(SelfLink::Working, working, inHand);
}

} // namespace

bool Linked::working() const
{
    return false;
}

void retime(QObject *object, const QScriptValue &inHand)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    if (linked && linked->scriptSelf.atHome())
        reread(object, *linked, inHand);
}

void retimeLater(QObject *object)
{
    // Through the engine: the object's own event override could swallow the call.
    const SelfLink *link = linkOf(object);
    QScriptEngine *engine = link ? link->turningEngine() : nullptr;
    if (!engine)
        return;
    QMetaObject::invokeMethod(
        engine, [guard = QPointer<QObject>(object)] { if (guard) retime(guard); },
        Qt::QueuedConnection);
}

namespace {

// Objects of this thread that a script posted deletions to: a removal of posted events for all
// objects finds them. Entries that wait for nothing are swept as the list grows.
thread_local std::vector<QPointer<QObject>> awaiting;
thread_local size_t sweepAwaitingAt = 64;

void awaits(QObject *receiver, const SelfLink &link)
{
    if (link.awaits())
        return;
    if (awaiting.size() >= sweepAwaitingAt) {
        awaiting.erase(std::remove_if(awaiting.begin(), awaiting.end(),
                                      [](const QPointer<QObject> &o) {
                                          const SelfLink *l = o ? linkOf(o) : nullptr;
                                          return !l || !l->awaits();
                                      }),
                       awaiting.end());
        sweepAwaitingAt = std::max<size_t>(64, 2 * awaiting.size());
    }
    awaiting.emplace_back(receiver);
}

} // namespace

void postedTo(QObject *receiver, const QEvent *event, const QScriptValue &inHand)
{
    SelfLink *link = linkOf(receiver);
    if (!link)
        return;
    if (event->type() == QEvent::DeferredDelete) {
        awaits(receiver, *link);
        link->deleting(inHand);
    } else {
        link->posted(event, inHand);
    }
}

void unposted(QObject *receiver, int type)
{
    if (receiver) {
        if (SelfLink *link = linkOf(receiver))
            link->unposted(type);
        return;
    }
    for (const QPointer<QObject> &o : awaiting) {
        if (SelfLink *link = o ? linkOf(o) : nullptr)
            link->unposted(type);
    }
}

void filters(QObject *filter, QObject *watched, bool on)
{
    SelfLink *link = linkOf(filter);
    if (!link || !watched)
        return;
    // The keeper's script object is read where it is known reachable: the watched object or the
    // filter (the caller's `this` and argument), or held.
    Linked *keeper = keeperOf(watched);
    const bool known = keeper
                       && (keeper == dynamic_cast<Linked *>(watched)
                           || keeper == dynamic_cast<Linked *>(filter) || keeper->scriptSelf.held());
    link->filter(watched, known ? &keeper->scriptSelf : nullptr, on);
    if (on && !known && sameHome(keeper, *link))
        adoptLater(filter, *link);
}

void installed(QObject *translator, bool on, const QScriptValue &inHand)
{
    if (SelfLink *link = linkOf(translator))
        link->keep(SelfLink::Installed, on, inHand);
}

void leavingThread(QObject *object)
{
    // A moved object has no parent: the others move with it.
    if (Linked *linked = dynamic_cast<Linked *>(object))
        linked->scriptSelf.leaveHome(object, !object->parent());
}

void leftThread(QObject *object)
{
    if (object->thread() == QThread::currentThread())
        return;
    const QList<QObject *> below = object->findChildren<QObject *>();
    if (Linked *linked = dynamic_cast<Linked *>(object))
        linked->scriptSelf.leaveHome(object, true);
    for (QObject *child : below) {
        if (Linked *linked = dynamic_cast<Linked *>(child))
            linked->scriptSelf.leaveHome(child, false);
    }
}

Holder holderOf(QObject *object)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return Holder{linked ? linked->scriptSelf.get() : QScriptValue()};
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
    QScriptEngine::QObjectWrapOptions options = QScriptEngine::PreferExistingWrapperObject;
    // No script may delete the application object (often on the host's stack), the engine, a
    // thread, a dispatcher, QtCore's global pool or QtCore's own helpers.
    if (isProtected(object))
        options |= QScriptEngine::ExcludeDeleteLater;
    // A DeferredDelete that reaches a QtCore-made object is checked as a shell checks its own.
    guardDeletion(object);
    return engine->newQObject(object, QScriptEngine::QtOwnership, options);
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

void metaCalled(QObject *object, Linked &linked, QMetaObject::Call call, int id,
                const QScriptValue &inHand)
{
    SelfLink &link = linked.scriptSelf;
    if (!link.engine())
        return;
    if (call == QMetaObject::InvokeMetaMethod && id == deleteLaterIndex()) {
        awaits(object, link);
        link.deleting(inHand);
    }
    reread(object, linked, inHand);
}

void timersMayHaveStopped(QObject *object, SelfLink &link)
{
    if (link.atHome() && !hasTimers(object))
        link.keep(SelfLink::Timed, false);
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
