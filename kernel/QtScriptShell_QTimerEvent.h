#ifndef QTSCRIPTSHELL_QTIMEREVENT_H
#define QTSCRIPTSHELL_QTIMEREVENT_H

#include <QtCore/QEvent>
#include <QtScript/QScriptValue>

class QtScriptShell_QTimerEvent : public QTimerEvent
{
public:
    using QTimerEvent::QTimerEvent;
    QScriptValue scriptSelf;
};

#endif
