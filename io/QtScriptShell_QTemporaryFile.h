#ifndef QTSCRIPTSHELL_QTEMPORARYFILE_H
#define QTSCRIPTSHELL_QTEMPORARYFILE_H

#include "plugin/deviceshell.h"

#include <QtCore/QTemporaryFile>

// Qt 5 removed the public file engine, so there is no fileEngine to override.
class QtScriptShell_QTemporaryFile : public kit::DeviceShell<QTemporaryFile>
{
public:
    using DeviceShell::DeviceShell;
};

#endif
