#ifndef QTSCRIPTSHELL_QTEXTSTREAM_H
#define QTSCRIPTSHELL_QTEXTSTREAM_H

#include "plugin/shell.h"

#include <QtCore/QTextStream>

namespace kit {
// setDevice first flushes the text still held into the old device: a failed status makes Qt
// skip that, so that a deleted device is never written to.
template <>
struct ReleaseDevice<QTextStream> {
    static void apply(QTextStream &stream)
    {
        stream.setStatus(QTextStream::WriteFailed);
        stream.setDevice(nullptr);
    }
};
} // namespace kit

class QtScriptShell_QTextStream : public kit::StreamShell<QTextStream>
{
};

#endif
