#ifndef QTSCRIPTSHELL_QSETTINGS_H
#define QTSCRIPTSHELL_QSETTINGS_H

#include "plugin/shell.h"

#include <QtCore/QSettings>

class QtScriptShell_QSettings : public kit::ObjectShell<QSettings>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
