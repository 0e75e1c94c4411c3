#ifndef QTSCRIPTSHELL_QEVENTLOOP_H
#define QTSCRIPTSHELL_QEVENTLOOP_H

#include "plugin/shell.h"

#include <QtCore/QEventLoop>

// Qt 5's QEventLoop overrides event(); the shell falls back on it.
class QtScriptShell_QEventLoop : public kit::ObjectShell<QEventLoop>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
