#ifndef QTSCRIPTSHELL_QSETTINGS_H
#define QTSCRIPTSHELL_QSETTINGS_H

#include "plugin/shell.h"

#include <QtCore/QSettings>

class QtScriptShell_QSettings : public kit::ObjectShell<QSettings>
{
public:
    using ObjectShell::ObjectShell;

    // True once a file it reads holds a value QtCore must not decode (fs/inifiles.h): it then
    // reports FormatError, reads nothing and changes nothing.
    bool unsound = false;
};

#endif
