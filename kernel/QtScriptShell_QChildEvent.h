#ifndef QTSCRIPTSHELL_QCHILDEVENT_H
#define QTSCRIPTSHELL_QCHILDEVENT_H

#include <QtCore/QEvent>
#include <QtCore/QPointer>
#include <QtScript/QScriptValue>

class QtScriptShell_QChildEvent : public QChildEvent
{
public:
    QtScriptShell_QChildEvent(QEvent::Type type, QObject *child) : QChildEvent(type, child), guard(child) {}
    QScriptValue scriptSelf;
    // A script's event outlives its moment: child() must not hand out a deleted object.
    QPointer<QObject> guard;
};

#endif
