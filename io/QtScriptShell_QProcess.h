#ifndef QTSCRIPTSHELL_QPROCESS_H
#define QTSCRIPTSHELL_QPROCESS_H

#include "plugin/deviceshell.h"

#include <QtCore/QDebug>
#include <QtCore/QDir>
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

    // A process that goes while it runs is killed and reaped here, as QProcess's own destructor
    // would, but while the whole object still stands.
    ~QtScriptShell_QProcess() override
    {
        if (state() == QProcess::NotRunning)
            return;
        qWarning().nospace() << "QProcess: Destroyed while process ("
                             << QDir::toNativeSeparators(program()) << ") is still running.";
        endWork(
            [this] {
                kill();
                waitForFinished();
            },
            [this] { return state() == QProcess::NotRunning; });
    }

    // Qt 4.4's QProcess had no open of its own: open sets the mode and starts nothing.
    bool open(OpenMode mode) override
    {
        return kit::forward<bool>(scriptSelf, "open",
                                  [&] { return QIODevice::open(mode); }, mode);
    }
};

#endif
