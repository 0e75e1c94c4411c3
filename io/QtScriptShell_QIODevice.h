#ifndef QTSCRIPTSHELL_QIODEVICE_H
#define QTSCRIPTSHELL_QIODEVICE_H

#include "plugin/deviceshell.h"

// A device whose data come from script functions: readData and writeData have no base, so a
// device without them fails its reads and writes with an error string naming the function.
class QtScriptShell_QIODevice : public kit::DeviceShell<QIODevice>
{
public:
    using DeviceShell::DeviceShell;
};

#endif
