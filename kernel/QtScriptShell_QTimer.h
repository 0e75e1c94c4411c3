#ifndef QTSCRIPTSHELL_QTIMER_H
#define QTSCRIPTSHELL_QTIMER_H

#include "plugin/shell.h"

#include <QtCore/QTimer>

class QtScriptShell_QTimer : public kit::ObjectShell<QTimer>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
