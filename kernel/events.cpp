#include "kernel/events.h"

#include <QtCore/QMetaEnum>

namespace events {

const char *misfit(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::Timer:
        return dynamic_cast<const QTimerEvent *>(event) ? nullptr : "QTimerEvent";
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
        return dynamic_cast<const QChildEvent *>(event) ? nullptr : "QChildEvent";
    case QEvent::DynamicPropertyChange:
        return dynamic_cast<const QDynamicPropertyChangeEvent *>(event)
            ? nullptr : "QDynamicPropertyChangeEvent";
    case QEvent::DeferredDelete:
        // Qt 5 writes the loop level into a posted one.
        return dynamic_cast<const QDeferredDeleteEvent *>(event) ? nullptr : "QDeferredDeleteEvent";
    case QEvent::ThreadChange:
        // Qt sends it only while moving an object: sent otherwise, it unregisters the object's
        // timers into a list that leaks.
        return "QThreadChangeEvent";
    case QEvent::MetaCall:
        // Would call a slot through whatever the event holds; never from a script.
        return "QMetaCallEvent";
    case QEvent::FutureCallOut:
        return "QFutureCallOutEvent";
    default:
        return nullptr;
    }
}

QScriptValue throwMisfit(const kit::Call &call, const QEvent *event, const char *needed)
{
    const char *key = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
    return call.context->throwError(
        QScriptContext::TypeError,
        QString::fromLatin1("%0::%1(): an event of type %2 must be a %3")
            .arg(QLatin1String(call.tables.name), QLatin1String(call.name()),
                 key ? QLatin1String(key) : QLatin1String("?"), QLatin1String(needed)));
}

QScriptValue refuse(const kit::Call &call, const QObject *receiver, const QEvent *event,
                    Delivery delivery)
{
    if (!receiver || !event)
        return call.mismatch();
    if (const char *needed = misfit(event))
        return throwMisfit(call, event, needed);
    if (event->type() == QEvent::DeferredDelete && delivery == Delivery::Send) {
        return call.context->throwError(
            QScriptContext::TypeError,
            QString::fromLatin1("%0::%1(): an event of type DeferredDelete can only be posted")
                .arg(QLatin1String(call.tables.name), QLatin1String(call.name())));
    }
    return QScriptValue();
}

} // namespace events
