#include "plugin/compat.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QIODevice>
#include <QtCore/QProcess>
#include <QtCore/QTextBoundaryFinder>
#include <QtCore/QTextCodec>

#include <cctype>

namespace compat {

namespace {
QTextCodec *cStringCodec = nullptr;
QTextCodec *trCodec = nullptr;
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

QTextCodec *codecForTr()
{
    return trCodec;
}

void setCodecForTr(QTextCodec *codec)
{
    trCodec = codec;
}

int boundaryTypeFromQt4(int type)
{
    switch (type) {
    case 2:
        return QTextBoundaryFinder::Line;
    case 3:
        return QTextBoundaryFinder::Sentence;
    default:
        return type == 1 ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Grapheme;
    }
}

int boundaryTypeToQt4(int type)
{
    switch (type) {
    case QTextBoundaryFinder::Line:
        return 2;
    case QTextBoundaryFinder::Sentence:
        return 3;
    default:
        return type == QTextBoundaryFinder::Word ? 1 : 0;
    }
}

int boundaryReasonsToQt4(int reasons)
{
    return (reasons & QTextBoundaryFinder::StartOfItem ? 1 : 0)
        | (reasons & QTextBoundaryFinder::EndOfItem ? 2 : 0);
}

QTextBoundaryFinder defaultBoundaryFinder()
{
    QTextBoundaryFinder finder;
    finder.toStart();
    return finder;
}

namespace {
const int Qt4AttributeCount = 5;
bool qt4AttributeCountSet = false;
}

void setApplicationAttribute(int attribute, bool on)
{
    if (attribute == Qt4AttributeCount)
        qt4AttributeCountSet = on;
    else if (attribute >= 0 && attribute < Qt4AttributeCount)
        QCoreApplication::setAttribute(Qt::ApplicationAttribute(attribute), on);
}

bool testApplicationAttribute(int attribute)
{
    if (attribute == Qt4AttributeCount)
        return qt4AttributeCountSet;
    return attribute >= 0 && attribute < Qt4AttributeCount
        && QCoreApplication::testAttribute(Qt::ApplicationAttribute(attribute));
}

QString translate(const char *context, const char *key, const char *comment, Encoding encoding,
                  int n)
{
    if (encoding == UnicodeUTF8 || !key)
        return QCoreApplication::translate(context, key, comment, n);
    // Hand Qt 5 the text as UTF-8, so that its untranslated fallback gives what the codec for tr
    // read; translations made with Qt 5's tools are keyed in UTF-8 too.
    const auto decode = [](const char *s) {
        return trCodec ? trCodec->toUnicode(s) : QString::fromLatin1(s);
    };
    const QByteArray c = context ? decode(context).toUtf8() : QByteArray();
    const QByteArray k = decode(key).toUtf8();
    const QByteArray m = comment ? decode(comment).toUtf8() : QByteArray();
    return QCoreApplication::translate(context ? c.constData() : nullptr, k.constData(),
                                       comment ? m.constData() : nullptr, n);
}

bool hasPendingEvents()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->hasPendingEvents();
}

void flush()
{
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->flush();
}

QString splitCommand(const QString &command, QStringList &arguments)
{
    arguments = QProcess::splitCommand(command);
    return arguments.isEmpty() ? QString() : arguments.takeFirst();
}

bool canReadLineFrom(const QIODevice *device)
{
    return device->isReadable();
}

QUrl::FormattingOptions urlFormattingOptions(UrlFormattingOptions options)
{
    const int kept = int(options) & 0xFF;
    return QUrl::FormattingOptions(QUrl::UrlFormattingOption(kept))
        | (options & StripTrailingSlash ? QUrl::StripTrailingSlash : QUrl::None);
}

QString percentLiteral(const QString &decoded)
{
    QString text = decoded.isNull() ? QString(QLatin1String("")) : decoded;
    return text.replace(QLatin1Char('%'), QLatin1String("%25"));
}

QString fromEncodedComponent(const QByteArray &encoded, bool tolerant)
{
    if (!tolerant || encoded.isNull())
        return QString::fromLatin1(encoded);
    static const char hex[] = "0123456789ABCDEF";
    const auto isHex = [](char c) { return std::isxdigit(uchar(c)) != 0; };
    QString text;
    text.reserve(encoded.size());
    for (int i = 0; i < encoded.size(); ++i) {
        const uchar b = uchar(encoded.at(i));
        const bool startsEscape =
            i + 2 < encoded.size() && isHex(encoded.at(i + 1)) && isHex(encoded.at(i + 2));
        if (b >= 0x80 || (b == '%' && !startsEscape)) {
            text += QLatin1Char('%');
            text += QLatin1Char(hex[b >> 4]);
            text += QLatin1Char(hex[b & 0xF]);
        } else {
            text += QLatin1Char(char(b));
        }
    }
    return text;
}

QByteArray toEncodedComponent(const QString &encoded)
{
    if (encoded.isEmpty())
        return encoded.isNull() ? QByteArray() : QByteArray("");
    return encoded.toLatin1();
}

QString urlUserInfo(const QUrl &url)
{
    QString info = url.userName(QUrl::FullyDecoded);
    const QString password = url.password(QUrl::FullyDecoded);
    if (!password.isEmpty())
        info += QLatin1Char(':') + password;
    return info;
}

QString urlAuthority(const QUrl &url)
{
    QString authority = urlUserInfo(url);
    if (!authority.isEmpty())
        authority += QLatin1Char('@');
    const QString host = url.host(QUrl::FullyDecoded);
    // An IPv6 address keeps its brackets, so that the authority still reads as one.
    if (host.contains(QLatin1Char(':')))
        authority += QLatin1Char('[') + host + QLatin1Char(']');
    else
        authority += host;
    if (url.port() != -1)
        authority += QLatin1Char(':') + QString::number(url.port());
    return authority;
}

} // namespace compat
