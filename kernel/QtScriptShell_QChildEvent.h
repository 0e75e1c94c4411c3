#ifndef QTSCRIPTSHELL_QCHILDEVENT_H
#define QTSCRIPTSHELL_QCHILDEVENT_H

#include "plugin/shell.h"

#include <QtCore/QEvent>
#include <QtCore/QPointer>

class QtScriptShell_QChildEvent : public kit::PointerShell<QChildEvent>
{
public:
    QtScriptShell_QChildEvent(QEvent::Type type, QObject *child) : PointerShell(type, child), guard(child) {}
    // A script's event outlives its moment: child() must not hand out a deleted object.
    QPointer<QObject> guard;
};

#endif
