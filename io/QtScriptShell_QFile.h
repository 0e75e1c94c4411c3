#ifndef QTSCRIPTSHELL_QFILE_H
#define QTSCRIPTSHELL_QFILE_H

#include "plugin/deviceshell.h"

#include <QtCore/QFile>

// Qt 5 removed the public file engine, so there is no fileEngine to override.
class QtScriptShell_QFile : public kit::DeviceShell<QFile>
{
public:
    using DeviceShell::DeviceShell;
};

#endif
