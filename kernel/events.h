// Rules for the events scripts hand to QtCore's delivery.
#ifndef QTCORE_KERNEL_EVENTS_H
#define QTCORE_KERNEL_EVENTS_H

#include "plugin/kit.h"

namespace events {

// QtCore reads some event types as a subclass (a Timer event as a QTimerEvent, ChildAdded as a
// QChildEvent, MetaCall as a QMetaCallEvent, ...) without checking. The class an event of its
// type must be, when it is not one; null when QtCore may read the event safely.
const char *misfit(const QEvent *event);

// Throws the TypeError "<Class>::<function>(): an event of type T must be a C".
QScriptValue throwMisfit(const kit::Call &call, const QEvent *event, const char *needed);

// How an event reaches its receiver: at once (sendEvent, notify, event, eventFilter) or
// through the queue (postEvent).
enum class Delivery { Send, Post };

// Checks a receiver and event before QtCore delivers one to the other: the invalid value when
// they may go; else what the call returns: the mismatch error for a missing receiver or event
// (QtCore dereferences both), the misfit TypeError for an event of the wrong class, a TypeError
// for a DeferredDelete event sent (it deletes the receiver at once, a running event loop inside
// its exec() or an object on the host's stack; only the queue delivers it when that is safe).
QScriptValue refuse(const kit::Call &call, const QObject *receiver, const QEvent *event,
                    Delivery delivery = Delivery::Send);

// A delivery at once, checked as refuse() does; an event it lets go is marked as being delivered
// for the call's duration, so that no script posts it meanwhile (QtCore would deliver it freed).
class Sending
{
public:
    Sending(const kit::Call &call, const QObject *receiver, const QEvent *event)
        : m_refused(refuse(call, receiver, event)),
          m_delivering(m_refused.isValid() ? nullptr : event, kit::Work::Delivery)
    {}
    // What the call returns instead of delivering, or the invalid value.
    const QScriptValue &refused() const { return m_refused; }

private:
    const QScriptValue m_refused;
    const kit::InUse m_delivering;
};

} // namespace events

#endif
