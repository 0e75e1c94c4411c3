#ifndef QTSCRIPTSHELL_QOBJECT_H
#define QTSCRIPTSHELL_QOBJECT_H

#include "plugin/shell.h"

class QtScriptShell_QObject : public kit::ObjectShell<QObject>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
