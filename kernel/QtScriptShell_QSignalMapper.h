#ifndef QTSCRIPTSHELL_QSIGNALMAPPER_H
#define QTSCRIPTSHELL_QSIGNALMAPPER_H

#include "plugin/shell.h"

#include <QtCore/QSignalMapper>

class QtScriptShell_QSignalMapper : public kit::ObjectShell<QSignalMapper>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
