#ifndef QTSCRIPTSHELL_QEVENT_H
#define QTSCRIPTSHELL_QEVENT_H

#include <QtCore/QEvent>
#include <QtScript/QScriptValue>

// Keeps the wrapper reachable from the native event.
class QtScriptShell_QEvent : public QEvent
{
public:
    using QEvent::QEvent;
    QScriptValue scriptSelf;
};

// Qt 5 reads a DeferredDelete event as a QDeferredDeleteEvent (Qt 4.4 took a plain QEvent):
// `new QEvent(QEvent.DeferredDelete)` makes one, so that posting it still deletes the receiver.
class QtScriptShell_QDeferredDeleteEvent : public QDeferredDeleteEvent
{
public:
    QScriptValue scriptSelf;
};

#endif
