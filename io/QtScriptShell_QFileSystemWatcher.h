#ifndef QTSCRIPTSHELL_QFILESYSTEMWATCHER_H
#define QTSCRIPTSHELL_QFILESYSTEMWATCHER_H

#include "plugin/shell.h"

#include <QtCore/QFileSystemWatcher>

class QtScriptShell_QFileSystemWatcher : public kit::ObjectShell<QFileSystemWatcher>
{
public:
    using ObjectShell::ObjectShell;
};

#endif
