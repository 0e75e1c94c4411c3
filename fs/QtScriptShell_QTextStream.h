#ifndef QTSCRIPTSHELL_QTEXTSTREAM_H
#define QTSCRIPTSHELL_QTEXTSTREAM_H

#include "plugin/codecs.h"
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
public:
    // The codec a script set, or the one a byte-order mark chose, is mended before the stream
    // writes through it; the codec checked last is not asked again (a call costs less).
    void mendCodec()
    {
        QTextCodec *const codec = this->codec();
        if (codec == m_checked)
            return;
        QTextCodec *const mended = kit::standIn(codec, kit::CodecUse::Text);
        if (mended != codec)
            setCodec(mended);
        m_checked = mended;
    }

private:
    QTextCodec *m_checked = nullptr;
};

#endif
