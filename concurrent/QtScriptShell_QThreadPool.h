#ifndef QTSCRIPTSHELL_QTHREADPOOL_H
#define QTSCRIPTSHELL_QTHREADPOOL_H

#include "concurrent/jobs.h"
#include "plugin/shell.h"

#include <QtCore/QThreadPool>

class QtScriptShell_QThreadPool : public kit::ObjectShell<QThreadPool>
{
public:
    using ObjectShell::ObjectShell;
    // Before QThreadPool's destructor waits for its runs: they must not wait for this thread.
    ~QtScriptShell_QThreadPool() override { jobs::poolEnding(this); }
};

#endif
