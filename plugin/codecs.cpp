#include "plugin/codecs.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QPair>
#include <QtCore/QTextCodec>

namespace kit {

namespace {

bool isUtf32(const QTextCodec *codec)
{
    const int mib = codec->mibEnum();
    return mib >= 1017 && mib <= 1019;
}

// QtCore's UTF-32 result holds 4 bytes per UTF-16 unit, and 4 for the byte-order mark where it
// writes one; it wrote 4 per character.
void trimUtf32(QByteArray &bytes, const QChar *in, int length)
{
    int pairs = 0;
    for (int i = 0; i + 1 < length; ++i) {
        if (in[i].isHighSurrogate() && in[i + 1].isLowSurrogate()) {
            ++pairs;
            ++i;
        }
    }
    const qint64 reserved = 4 * qint64(length);
    if (pairs && (bytes.size() == reserved || bytes.size() == reserved + 4))
        bytes.truncate(bytes.size() - 4 * pairs);
}

class StandIn : public QTextCodec
{
public:
    StandIn(QTextCodec *codec, CodecUse use)
        : m_codec(codec), m_references(use == CodecUse::Xml && !encodesEverything(codec)),
          m_utf32(isUtf32(codec))
    {}
    QTextCodec *codec() const { return m_codec; }

    QByteArray name() const override { return QByteArray(); }
    int mibEnum() const override { return -1; }

protected:
    // The encoder's state is the script codec's own: input split across calls converts as it
    // would through that codec.
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override
    {
        return m_codec->toUnicode(in, length, state);
    }
    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *state) const override
    {
        return m_references ? withReferences(in, length, state) : plain(in, length, state);
    }

private:
    QByteArray plain(const QChar *in, int length, ConverterState *state) const
    {
        QByteArray bytes = m_codec->fromUnicode(in, length, state);
        if (m_utf32)
            trimUtf32(bytes, in, length);
        return bytes;
    }

    // The codec never sees a character it cannot encode (its state would count the failure, and
    // QtCore's writer then drops all it writes): a run it can encode passes whole, the rest is
    // halved down to single characters, each written as a character reference.
    QByteArray withReferences(const QChar *in, int length, ConverterState *state) const
    {
        if (length == 0 || m_codec->canEncode(QStringView(in, length)))
            return plain(in, length, state);
        const bool pair = length == 2 && in[0].isHighSurrogate() && in[1].isLowSurrogate();
        if (length == 1 || pair) {
            const uint c = pair ? QChar::surrogateToUcs4(in[0], in[1]) : in[0].unicode();
            const QString reference = QLatin1String("&#x") + QString::number(c, 16).toUpper()
                                      + QLatin1Char(';');
            return plain(reference.constData(), reference.size(), state);
        }
        int half = length / 2;
        if (in[half - 1].isHighSurrogate() && in[half].isLowSurrogate())
            ++half;
        return withReferences(in, half, state) + withReferences(in + half, length - half, state);
    }

    QTextCodec *const m_codec;
    const bool m_references;
    const bool m_utf32;
};

} // namespace

bool encodesEverything(const QTextCodec *codec)
{
    const int mib = codec->mibEnum();
    return mib == 106 || (mib >= 1013 && mib <= 1015) || (mib >= 1017 && mib <= 1019);
}

QTextCodec *standIn(QTextCodec *codec, CodecUse use)
{
    // A stand-in's number is -1: for text it needs nothing, for XML the cast below finds it.
    if (!codec || (!isUtf32(codec) && (use == CodecUse::Text || encodesEverything(codec))))
        return codec;
    if (dynamic_cast<StandIn *>(codec))
        return codec;
    // One per codec and use, for the life of the process: QtCore owns codecs once they are made.
    static QMutex mutex;
    static auto *made = new QHash<QPair<QTextCodec *, int>, StandIn *>;
    const QMutexLocker lock(&mutex);
    StandIn *&s = (*made)[qMakePair(codec, int(use))];
    if (!s)
        s = new StandIn(codec, use);
    return s;
}

QTextCodec *codecBehind(QTextCodec *codec)
{
    const auto *s = dynamic_cast<const StandIn *>(codec);
    return s ? s->codec() : codec;
}

QTextCodec *codecForName(const QByteArray &name)
{
    QTextCodec *codec = QTextCodec::codecForName(name);
    return codecBehind(codec) == codec ? codec : nullptr;
}

QByteArray encode(QTextCodec *codec, const QString &text)
{
    QByteArray bytes = codec->fromUnicode(text);
    if (isUtf32(codec))
        trimUtf32(bytes, text.constData(), text.size());
    return bytes;
}

} // namespace kit
