// Shell forwarding: a shell's override of a virtual function calls the script function of the
// same name on the object's script object when there is one, and the nearest base implementation
// otherwise.
#ifndef QTCORE_PLUGIN_SHELL_H
#define QTCORE_PLUGIN_SHELL_H

#include "plugin/engines.h"
#include "plugin/kit.h"

#include <QtCore/QBuffer>
#include <QtCore/QEvent>
#include <QtCore/QMetaMethod>
#include <QtCore/QPointer>

#include <new>

namespace kit {

// The script function that overrides `name` on `self` (own property or along the prototype
// chain), or an invalid value when the base implementation should run: no function, one of the
// bindings' own functions, or a member of the engine's QObject wrapping. `link`, a shell's own,
// tells the object whose children to look past, and its overrideHints() keep which way to look
// the name up next time.
QScriptValue scriptOverride(const QScriptValue &self, const char *name,
                            const SelfLink *link = nullptr);
// Whether a script overrides `name` on an object's own script object (a shell's).
bool overridden(QObject *object, const char *name);

// A shell's script object and its override of `name`; no function when the base implementation
// runs. Nothing is read while the collector destroys objects: no script code may run then (it
// could allocate, collect again and finalise the same object twice). Both are made in place: a
// copy of a script value costs two atomic counts.
struct Override {
    Override(const SelfLink &link, const char *name)
        : self(collecting() ? QScriptValue() : link.get()),
          function(self.isValid() ? scriptOverride(self, name, &link) : QScriptValue())
    {}
    // The script object found by other means (see SelfLink): the invalid value for none.
    template <class Find>
    Override(const SelfLink &link, const char *name, Find &&find)
        : self(collecting() ? QScriptValue() : find()),
          function(self.isValid() ? scriptOverride(self, name, &link) : QScriptValue())
    {}
    const QScriptValue self;
    const QScriptValue function;
};

// The script object, when the engine's own wrapping calls a member on it now (its current
// context's `this`); else the invalid value.
QScriptValue calledOn(const SelfLink &link);
// Whether an engine of this thread calls a member on `object` now through another wrapper of it
// (one the host made, another engine's), not its own script object.
bool calledThroughWrapper(const QObject *object);
// The script object of a filter for an event of `watched`, when `watched` is a held shell that
// holds the filter's script object (QtCore delivers it unbidden); else as get() finds it.
QScriptValue filterSelf(const SelfLink &filter, QObject *watched);

// An argument handed to an override. What Qt lends (an event, a buffer) is valid only during the
// call: the loan ends afterwards, and a handle a script kept reads as empty.
template <class T, class Enable = void>
struct Argument {
    static QScriptValue to(QScriptEngine *engine, const T &value, Loan &)
    {
        return Conv<T>::to(engine, value);
    }
};
template <class T>
struct Argument<T *, std::enable_if_t<!isObjectClass<T>()>> {
    static QScriptValue to(QScriptEngine *engine, T *value, Loan &loan)
    {
        return Conv<T *>::lend(engine, value, loan);
    }
};

template <class... A>
QScriptValue callOverride(const QScriptValue &f, const QScriptValue &self, const A &...args)
{
    // Unused when the function has no arguments (isEmpty).
    [[maybe_unused]] QScriptEngine *engine = self.engine();
    Loan loan;
    QScriptValueList list;
    (void)std::initializer_list<int>{(list.append(Argument<Plain<A>>::to(engine, args, loan)), 0)...};
    // call() leaves the function as it is; a copy to call it on would cost two atomic counts.
    return const_cast<QScriptValue &>(f).call(self, list);
}

// Whether a script function's call threw: its result is the error then, which is no answer (a
// filter that throws consumes nothing, an override that throws returns R's default, a transfer
// that throws fails). (The engine keeps an earlier error it did not report across a call.)
inline bool threw(const QScriptValue &result)
{
    QScriptEngine *engine = result.engine();
    return engine && engine->hasUncaughtException() && result.strictlyEquals(engine->uncaughtException());
}

// Calls the override found (its function valid) as the shell's virtual function returning R.
template <class R, class... A>
Q_ALWAYS_INLINE R callForwarded(const Override &o, const SelfLink &link, const A &...args)
{
    // The override must not delete its own object under QtCore's call; its script reaches what
    // it holds.
    const Busy mark(link.owner(), link.boundEngine());
    const QScriptValue result = callOverride(o.function, o.self, args...);
    if constexpr (std::is_void<R>::value)
        return;
    else
        return threw(result) ? R() : qscriptvalue_cast<R>(result);
}

template <class R, class Fallback, class... A>
R forward(const SelfLink &link, const char *name, Fallback &&base, const A &...args)
{
    const Override o(link, name);
    if (!o.function.isValid())
        return base();
    return callForwarded<R>(o, link, args...);
}

// What QtCore is in the middle of on the receiver of an event, for script code that handles the
// event (an override of event and what it calls, a filter's eventFilter, which QtCore calls
// first): a helper of the receiver destroyed (a process's notifier as it ends), where what would
// end its work again refuses, as inside its own transfers (natively, that deletes the helper
// twice); a move, which cannot begin again inside itself (see movingNow). Made in place:
// `const InUse working = underway(receiver, e)`.
inline InUse underway(const QObject *receiver, const QEvent *e)
{
    if (e->type() == QEvent::ThreadChange)
        return InUse(receiver, Work::Move);
    const bool ending = e->type() == QEvent::ChildRemoved
                        && helperEnding(static_cast<const QChildEvent *>(e)->child());
    return InUse(ending ? receiver : nullptr, Work::Transfer);
}

// The shell of a QObject class: the five event overrides every object shell has. `Base::f` is
// the nearest base implementation of f, whichever class of the chain declares it.
//
// The shell is in use (Busy) while it receives an event and while the engine calls its members
// (slots, properties, signals): a DeferredDelete of it, or of an ancestor, waits until then.
template <class Base>
class ObjectShell : public CollectorGuard, public Base, public Linked
{
public:
    using Base::Base;
    ~ObjectShell() override
    {
        scriptSelf.ended();
        const QObject *self = this;
        if (collectorsDeletion()) {
            openCollecting(static_cast<const CollectorGuard *>(this));
            return;
        }
        if (busyState.deletingLater == self && self->parent() && scriptSelf.held()) {
            // Its parent hears of it (ChildRemoved) while QObject's destructor runs: held until
            // now, its script object still reaches the parent's.
            markUntilGone(self->parent(), scriptSelf.engine());
        }
        // What QObject's destructor sends (a ChildRemoved to its parent) may hand it to a script:
        // as its own script object, never wrapped anew.
        if (!collecting())
            keepUntilGone(self, scriptSelf.get());
    }

    // Whoever deletes the object, it goes through deferDeletion first (linked.h).
    void operator delete(ObjectShell *shell, std::destroying_delete_t)
    {
        takenOn(shell);
        // (A thread that delivers nothing to it waits to start until it is gone.)
        const Crossing crossing(shell);
        if (deletionBegins(shell, shell->m_ending, [shell] {
                const QObject *const parent = static_cast<QObject *>(shell)->parent();
                if (busyState.deletingLater != static_cast<QObject *>(shell)
                    && !(parent && deletingChildren(parent)))
                    shell->m_byQtScript = qtScriptDeletes();
                return deferDeletion(shell, shell->scriptSelf);
            }))
            return;
        if (!shell->scriptSelf.homeThread())
            readAsGone(shell);
        // From the most derived shell's destructor on: what it ends natively (a process's
        // notifiers) reaches filters, which must not run script inside a collection.
        if (shell->collectorsDeletion())
            openCollecting(static_cast<const CollectorGuard *>(shell));
        Busy::objectGoes(static_cast<QObject *>(shell));
        void *const memory = dynamic_cast<void *>(shell);
        shell->~ObjectShell();
        ::operator delete(memory);
    }

    bool event(QEvent *e) override
    {
        takenOn(this);
        if (e->type() == QEvent::DeferredDelete)
            return deferredDelete(e);
        const bool moving = e->type() == QEvent::ThreadChange;
        const InUse working = underway(this, e);
        if (moving) {
            scriptSelf.moving(this);
            if (scriptSelf.atHome())
                stopBasicTimers(this);
        }
        const Busy mark = Busy::deliveryTo(this, engineAsked(), e);
        const Busy named = Busy::namedBy(e);
        const Override o(scriptSelf, "event");
        bool result;
        if (!o.function.isValid()) {
            result = Base::event(e);
        } else {
            result = callForwarded<bool>(o, scriptSelf, e);
            // QtCore moves the object's timers to its new thread there; a script cannot reach
            // QObject::event (its own call is virtual), and timers left behind would fire at the
            // object once it is gone.
            if (e->type() == QEvent::ThreadChange)
                Base::event(e);
        }
        if (mark.gone())
            return result;
        // QtCore tells the object before it moves it: the script's side lets go here, on the
        // engine's thread, before the other thread can deliver anything.
        if (e->type() == QEvent::ThreadChange) {
            if (scriptSelf.atHome())
                leavingThread(this, *this);
            else
                scriptSelf.headingOn();
            movingOn(this);
            handedOn(this);
        } else if (e->type() == QEvent::ChildRemoved) {
            childLeft(this, static_cast<QChildEvent *>(e)->child());
        } else if (e->type() == QEvent::ChildAdded) {
            childCame(static_cast<QChildEvent *>(e)->child());
        }
        return result;
    }
    // The engines' own wrapping calls slots here, for a script of any engine through any wrapper
    // of the object (QtCore's own posted calls come through its static tables). Each call lets
    // QtCore finish a move's hand-over first, keeps the object in use meanwhile, and reads again
    // what it may have started or ended.
    int qt_metacall(QMetaObject::Call c, int id, void **a) override
    {
        takenOn(this);
        // (Its own link: no cast on every call.)
        catchUp(this, scriptSelf);
        // Off its engine's thread (a script may call deleteLater on an object that moved) the
        // object may be gone once the call returns: nothing is read of it then.
        if (!scriptSelf.atHome()) {
            const Busy mark = Busy::foreign(this);
            return Base::qt_metacall(c, id, a);
        }
        // A call through the object's own script object, in hand; through another wrapper; or
        // what a connection delivers.
        const QScriptValue inHand = calledOn(scriptSelf);
        const Busy mark = inHand.isValid()              ? Busy(this, inHand.engine())
                          : calledThroughWrapper(this) ? Busy::foreign(this)
                                                       : Busy(this);
        const int result = Base::qt_metacall(c, id, a);
        if (mark.gone())
            return result;
        // A slot, or a property written (a time line's currentTime stops it), may start or end
        // what QtCore calls the object for (a timer, a deletion asked for).
        if (c == QMetaObject::InvokeMetaMethod || c == QMetaObject::WriteProperty
            || c == QMetaObject::ResetProperty)
            settle(this, inHand, true);
        return result;
    }
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // (A script filter of the application sees nothing of the plugin's own objects.)
        if (pluginsOwn(watched, e))
            return Base::eventFilter(watched, e);
        // QtCore consults filters before the watched object's own delivery begins.
        const Busy delivery = Busy::deliveryTo(nullptr, engineAsked(), e);
        const Override o(scriptSelf, "eventFilter", [&] { return filterSelf(scriptSelf, watched); });
        if (!o.function.isValid())
            return Base::eventFilter(watched, e);
        // QtCore goes on delivering to the watched object afterwards.
        const Busy filtering(this, o.self.engine());
        const Busy delivering = Busy::passing(watched);
        const Busy named = Busy::namedBy(e);
        const InUse working = underway(watched, e);
        const QPointer<QObject> guard(watched);
        const QScriptValue answer = callOverride(o.function, o.self, watched, e);
        const bool filtered = !threw(answer) && qscriptvalue_cast<bool>(answer);
        // An override that deleted the watched object: QtCore must not deliver to it.
        if (!guard)
            return true;
        // A move goes on to the object's own handling, which moves its timers with it: a filter
        // cannot consume it (timers left behind would fire at the object from the old thread).
        if (e->type() == QEvent::ThreadChange)
            return false;
        // Consumed: no delivery to the watched object follows, which would read its hold again.
        if (filtered)
            settleLaterFrom(watched);
        return filtered;
    }

protected:
    // Neither a DeferredDelete nor a parent deletes the object, but QtScript itself: the collector
    // (through a wrapper that owns it) or the engine's end, as QtScript answers when it begins.
    bool collectorsDeletion() const
    {
        const QObject *self = this;
        const QObject *parent = self->parent();
        return busyState.deletingLater != self && !(parent && deletingChildren(parent)) && m_byQtScript;
    }

    // Ends, in a shell's destructor while the whole object stands, work QtCore would end in its
    // own (`end`, a running process killed and reaped; `done` once it has ended): native
    // receivers hear what it emits, as from QtCore's destructor, and the script's handlers and
    // overrides where script code may run (not in the collector's deletion, nor once the engine's
    // end has begun). Work a handler starts again is ended with no script told. Off its engine's
    // thread nothing hears it when `quietAway` (a process's reports would reach that engine's
    // handlers after it is gone); otherwise what would hear it natively does (the engines of the
    // thread, whose records of it stay). A handler's deletion of the object, or of an ancestor,
    // waits until it is gone.
    template <class End, class Done>
    void endWork(End &&end, Done &&done, bool quietAway = true)
    {
        QScriptEngine *engine = scriptSelf.engine();
        if (engine && !engineEnding(engine) && !collecting() && !collectorsDeletion()) {
            const Busy mark(this);
            end();
            if (done())
                return;
        }
        const bool home = scriptSelf.atHome();
        scriptSelf.unbind();
        if (home)
            dropScriptRecords(this);
        else if (quietAway)
            Base::blockSignals(true);
        const Busy mark(home || quietAway ? nullptr : this);
        end();
    }

    // The engine a delivery names, asked only when it must be (see Busy::deliveryTo).
    auto engineAsked() const
    {
        return [this] { return scriptSelf.turningEngine(); };
    }

    // A DeferredDelete: an override that accepts it (returns true) keeps the object, as in C++;
    // one that does not, or that hands it to QtCore's handling (QObject.prototype.event with the
    // event lent to it), has the object deleted once it has returned.
    bool deferredDelete(QEvent *e)
    {
        // A move's hand-over first, as for a call: QtCore would lose the timers it queued to give
        // back (a flush of deletions only delivers the deletion).
        catchUp(this, scriptSelf);
        deletionArrived(this);
        if (holdDeferredDelete(this)
            || (enginesElsewhere() && awaitRecords(this, scriptSelf.lifeline())))
            return true;
        // Unbidden, it marks no object: this one is to go.
        const Busy delivery = Busy::deliveryTo(nullptr, engineAsked(), e);
        const Override o(scriptSelf, "event");
        if (o.function.isValid()) {
            const QPointer<QObject> guard(this);
            const DeletionOffer offer(this, e);
            const bool accepted = callForwarded<bool>(o, scriptSelf, e);
            if (!guard)
                return true;
            // Kept: the deletion asked for no longer holds it (read again as the override's
            // call ends).
            if (accepted && !offer.taken())
                return true;
            // In use again (the override started work on it): the deletion waits for that.
            if (holdDeferredDelete(this))
                return true;
        }
        const void *outer = busyState.deletingLater;
        busyState.deletingLater = static_cast<QObject *>(this);
        const bool result = Base::event(e);   // deletes this
        busyState.deletingLater = outer;
        return result;
    }

    void timerEvent(QTimerEvent *e) override
    {
        forward<void>(scriptSelf, "timerEvent", [&] { Base::timerEvent(e); }, e);
    }
    void childEvent(QChildEvent *e) override
    {
        forward<void>(scriptSelf, "childEvent", [&] { Base::childEvent(e); }, e);
    }
    void customEvent(QEvent *e) override
    {
        forward<void>(scriptSelf, "customEvent", [&] { Base::customEvent(e); }, e);
    }

private:
    bool m_byQtScript = false;   // its deletion came from QtScript itself
    bool m_ending = false;       // its destruction has begun (deletionBegins)
};

// The shell of a pointer class. Deleted by other means (QtCore took it), it ends its handle, so
// that no script value can reach it afterwards.
template <class Base>
class PointerShell : public Base
{
public:
    using Base::Base;
    ~PointerShell() override
    {
        endCell(static_cast<Base *>(this));
    }

    SelfLink scriptSelf;
};

// A read method of a stream: one value of type T through the stream's operator>>, given to the
// script as R.
template <class T, class R = T, class Stream>
QScriptValue readValue(Call &call, Stream &stream)
{
    T value{};
    stream >> value;
    return call.ret(R(value));
}

// How a device user lets go of a device that was deleted, without reaching it.
template <class Base>
struct ReleaseDevice {
    static void apply(Base &user) { user.setDevice(nullptr); }
};

// The shell of a class that reads or writes a device (a stream). The device's script object stays
// alive while the object uses it (kept in the stream's own script object: wrap the stream first),
// and a device deleted by other means (its parent, deleteLater) is let go at once (keepDevice),
// never reached. A byte array is read and written through a buffer of the shell's own, which a
// script may get through device() and delete like any device.
// Not a PointerShell: QDataStream's destructor is not virtual; the kit deletes the shell as itself.
template <class Base>
class StreamShell : public Base
{
public:
    StreamShell() = default;
    ~StreamShell()
    {
        dropKept(user());
        if (m_own) {
            Base::setDevice(nullptr);
            delete m_own.data();
        }
        endCell(static_cast<Base *>(this));
    }

    SelfLink scriptSelf;

    // Uses `device` (null: none), whose script object is `script`.
    void useDevice(QIODevice *device, const QScriptValue &script,
                   std::function<void()> atEngineEnd = nullptr)
    {
        Base::setDevice(device);
        const QScriptValue self = scriptSelf.get();
        keepDevice(user(), holderOf<Base>(self), 0, device, script,
                   [this] { ReleaseDevice<Base>::apply(*this); }, std::move(atEngineEnd));
        if (m_own && m_own != device)
            delete m_own.data();
    }
    // Uses a buffer of its own on `bytes` in place (null: on an empty array of the buffer's own);
    // `script` is the byte array's script object, kept alive meanwhile. At the engine's end the
    // buffer leaves the array for an empty one of its own (a script may have given it to a
    // stream that writes while the engine goes; the stream goes with the engine, and the
    // collector may have freed the array already).
    void useBytes(QByteArray *bytes, QIODevice::OpenMode mode, const QScriptValue &script)
    {
        QBuffer *buffer = new QBuffer(bytes);
        buffer->open(mode);
        if (bytes)
            useDevice(buffer, script, detachAtEngineEnd(buffer));
        else
            useDevice(buffer, QScriptValue());
        m_own = buffer;
    }
    // Uses a buffer of its own on a copy of `bytes`.
    void useCopy(const QByteArray &bytes, QIODevice::OpenMode mode)
    {
        QBuffer *buffer = new QBuffer;
        buffer->setData(bytes);
        buffer->open(mode);
        useDevice(buffer, QScriptValue());
        m_own = buffer;
    }

private:
    const void *user() const { return static_cast<const Base *>(this); }

    QPointer<QBuffer> m_own;
};

} // namespace kit

#endif
