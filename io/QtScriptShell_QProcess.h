#ifndef QTSCRIPTSHELL_QPROCESS_H
#define QTSCRIPTSHELL_QPROCESS_H

#include "plugin/deviceshell.h"

#include <QtCore/QProcess>

#include <utility>

// setupChildProcess is not overridden: QtCore calls it in the child between fork and exec, where
// a threaded process may run only async-signal-safe calls, so no script can run there.
class QtScriptShell_QProcess : public kit::DeviceShell<QProcess>
{
public:
    // A running process keeps its script object (and its handlers' receiver) until it has
    // finished and reported, once the call or delivery in which it finished is over.
    using DeviceShell::DeviceShell;
    bool working() const override { return state() != QProcess::NotRunning; }

    // A process dropped while it runs is killed and reaped here. No script runs meanwhile (the
    // collector or the engine's end is deleting it): signals are blocked, and the events its
    // ending sends (its pipes' notifiers go) reach no override.
    ~QtScriptShell_QProcess() override
    {
        if (state() == QProcess::NotRunning)
            return;
        scriptSelf.unbind();
        blockSignals(true);
        kill();
        waitForFinished();
    }

    // Qt 4.4's QProcess had no open of its own: open sets the mode and starts nothing.
    bool open(OpenMode mode) override
    {
        return kit::forward<bool>(scriptSelf, "open",
                                  [&] { return QIODevice::open(mode); }, mode);
    }
};

#endif
