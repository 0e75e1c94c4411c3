#ifndef QTSCRIPTSHELL_QDATASTREAM_H
#define QTSCRIPTSHELL_QDATASTREAM_H

#include "plugin/shell.h"

#include <QtCore/QDataStream>

// A script's data stream starts at Qt 4.4's format: Qt 5's default writes a float as 8 bytes,
// and data that existing scripts wrote would no longer read back.
class QtScriptShell_QDataStream : public kit::StreamShell<QDataStream>
{
public:
    QtScriptShell_QDataStream() { setVersion(QDataStream::Qt_4_4); }
};

#endif
