#include "plugin/compat.h"

#include <QtCore/QTextCodec>

namespace compat {

namespace {
QTextCodec *cStringCodec = nullptr;
}

QTextCodec *codecForCStrings()
{
    return cStringCodec;
}

void setCodecForCStrings(QTextCodec *codec)
{
    cStringCodec = codec;
}

QByteArray toCString(const QString &text)
{
    return cStringCodec ? cStringCodec->fromUnicode(text) : text.toLatin1();
}

QString fromCString(const QByteArray &bytes)
{
    return cStringCodec ? cStringCodec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

} // namespace compat
