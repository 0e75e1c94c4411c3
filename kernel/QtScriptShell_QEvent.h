#ifndef QTSCRIPTSHELL_QEVENT_H
#define QTSCRIPTSHELL_QEVENT_H

#include "plugin/shell.h"

#include <QtCore/QEvent>

class QtScriptShell_QEvent : public kit::PointerShell<QEvent>
{
public:
    using PointerShell::PointerShell;
};

// Qt 5 reads a DeferredDelete event as a QDeferredDeleteEvent (Qt 4.4 took a plain QEvent):
// `new QEvent(QEvent.DeferredDelete)` makes one, so that posting it still deletes the receiver.
class QtScriptShell_QDeferredDeleteEvent : public kit::PointerShell<QDeferredDeleteEvent>
{
public:
    using PointerShell::PointerShell;
};

#endif
