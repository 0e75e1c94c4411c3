#ifndef QTSCRIPTSHELL_QSOCKETNOTIFIER_H
#define QTSCRIPTSHELL_QSOCKETNOTIFIER_H

#include "plugin/shell.h"

#include <QtCore/QSocketNotifier>

// QSocketNotifier overrides event() (it emits activated there); the shell falls back on it.
// Enabled, QtCore delivers its activations unbidden: its script object is kept meanwhile.
class QtScriptShell_QSocketNotifier : public kit::ObjectShell<QSocketNotifier>
{
public:
    using ObjectShell::ObjectShell;
    bool working() const override { return isEnabled(); }
};

#endif
