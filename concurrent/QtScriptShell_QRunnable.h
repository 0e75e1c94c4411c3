#ifndef QTSCRIPTSHELL_QRUNNABLE_H
#define QTSCRIPTSHELL_QRUNNABLE_H

#include "plugin/shell.h"

#include <QtCore/QRunnable>

// A script's runnable. Pools never hold it (they run proxies, concurrent/jobs.h); it only ever
// runs on its engine's thread. Everything here is used on that thread only.
class QtScriptShell_QRunnable : public kit::PointerShell<QRunnable>
{
public:
    // QRunnable::run is pure: without a script "run" a runnable does nothing.
    void run() override { kit::forward<void>(scriptSelf, "run", [] {}); }

    // A start whose run is still to come: the script object (`self`, the start's argument: a
    // start through a host's wrapper of the pool reaches it only so) stays while there are any.
    void taken(const QScriptValue &self)
    {
        if (m_pending++ == 0)
            hold(true, self);
    }
    // After a run, or a start the pool refused: the last one lets the script object go and, with
    // auto-delete, deletes a runnable that ran (once, however often it was started).
    void released(bool ran)
    {
        m_ran = m_ran || ran;
        if (--m_pending > 0)
            return;
        if (m_ran && autoDelete() && kit::handOver(kit::cellOf<QRunnable>(scriptSelf.get()))) {
            delete this;
            return;
        }
        hold(false);
    }

private:
    void hold(bool pending, const QScriptValue &self = QScriptValue())
    {
        scriptSelf.record(pending);
        scriptSelf.holdFor(pending, false, self);
    }

    int m_pending = 0;
    bool m_ran = false;
};

#endif
