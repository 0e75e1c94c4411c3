#include "plugin/compat.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QLocale>
#include <QtCore/QMetaProperty>
#include <QtCore/QDir>
#include <QtCore/QIODevice>
#include <QtCore/QLibraryInfo>
#include <QtCore/QProcess>
#include <QtCore/QSocketNotifier>
#include <QtCore/QTextBoundaryFinder>
#include <QtCore/QTextCodec>

#include "plugin/codecs.h"
#include "plugin/geometry.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <new>
#include <fcntl.h>
#include "plugin/plugin.h"

namespace compat {

namespace {
// Process-wide, as Qt 4.4's were, and read by every engine's thread: codecs live for the
// process, so a reader only needs the pointer whole.
std::atomic<QTextCodec *> cStringCodec{nullptr};
std::atomic<QTextCodec *> trCodec{nullptr};
}

QTextCodec *codecForCStrings()
{
    return cStringCodec.load(std::memory_order_acquire);
}

void setCodecForCStrings(QTextCodec *codec)
{
    cStringCodec.store(codec, std::memory_order_release);
}

QByteArray toCString(const QString &text)
{
    QTextCodec *codec = codecForCStrings();
    return codec ? kit::encode(codec, text) : text.toLatin1();
}

QString fromCString(const QByteArray &bytes)
{
    QTextCodec *codec = codecForCStrings();
    // Every byte: Qt 5's fromLatin1 of a QByteArray stops at the first zero byte.
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes.constData(), bytes.size());
}

QTextCodec *codecForTr()
{
    return trCodec.load(std::memory_order_acquire);
}

void setCodecForTr(QTextCodec *codec)
{
    trCodec.store(codec, std::memory_order_release);
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
std::atomic<bool> qt4AttributeCountSet{false};
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

void registerEnumPropertyType(const QMetaObject &meta, const char *name, int typeId)
{
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty p = meta.property(i);
        // An unknown type: the alias takes no name another type has.
        if (!p.isEnumType() && p.userType() == QMetaType::UnknownType
            && qstrcmp(p.typeName(), name) == 0) {
            QMetaType::registerTypedef(name, typeId);
            return;
        }
    }
}

QString translate(const char *context, const char *key, const char *comment, Encoding encoding,
                  int n)
{
    if (encoding == UnicodeUTF8 || !key)
        return QCoreApplication::translate(context, key, comment, n);
    // Hand Qt 5 the text as UTF-8, so that its untranslated fallback gives what the codec for tr
    // read; translations made with Qt 5's tools are keyed in UTF-8 too.
    QTextCodec *codec = codecForTr();
    const auto decode = [codec](const char *s) {
        return codec ? codec->toUnicode(s) : QString::fromLatin1(s);
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

namespace {

struct Renumbered {
    int qt4;
    int qt5;    // what the Qt 4.4 number meant, in Qt 5
    bool back;  // the way back from qt5
};

constexpr Renumbered languageRows[] = {
    {81, QLocale::Romanian, false},  // Moldavian
    {101, QLocale::Serbian, false},  // SerboCroatian
    {115, QLocale::Filipino, true},  // Tagalog
    {127, QLocale::Akan, false},     // Twi
};
constexpr Renumbered countryRows[] = {
    {75, QLocale::France, false},     // MetropolitanFrance
    {152, QLocale::CuraSao, true},    // NetherlandsAntilles: Curaçao kept its seat and number
    {238, QLocale::Serbia, false},    // Yugoslavia
    {241, QLocale::Serbia, true},     // SerbiaAndMontenegro
};

template <int N>
int toQt5(const Renumbered (&rows)[N], int value)
{
    for (const Renumbered &r : rows) {
        if (r.qt4 == value)
            return r.qt5;
    }
    return value;
}

// Qt 4.4's numbers run from 0 to `last`; a number Qt 5 gave to another place has no key.
template <int N>
int toQt4(const Renumbered (&rows)[N], int value, int last)
{
    for (const Renumbered &r : rows) {
        if (r.back && r.qt5 == value)
            return r.qt4;
    }
    for (const Renumbered &r : rows) {
        if (r.qt4 == value)
            return last + 1;
    }
    return value >= 0 && value <= last ? value : last + 1;
}

} // namespace

int languageToQt5(int language)
{
    return toQt5(languageRows, language);
}

int languageToQt4(int language)
{
    return toQt4(languageRows, language, 165);
}

int countryToQt5(int country)
{
    return toQt5(countryRows, country);
}

int countryToQt4(int country)
{
    return toQt4(countryRows, country, 241);
}

int measurementSystemToQt4(int system)
{
    return system == QLocale::MetricSystem ? 0 : 1;
}

int numberOptionsToQt4(int options)
{
    return options & (QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
}

namespace {

// The text in C form for a base other than 10, or nothing. Where group separators may stand, and
// which characters are one, QtCore's own decimal parser decides: the text with every digit and
// letter read as 0 must parse as a decimal. Then the separators go, and the locale's digits and
// signs become ASCII.
std::optional<QString> cNumber(const QLocale &locale, const QString &text)
{
    const ushort zero = locale.zeroDigit().unicode();
    const auto isDigitOrLetter = [zero](ushort u) {
        return ushort(u - zero) < 10 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z')
               || (u >= 'A' && u <= 'Z');
    };
    QString shape = text;
    for (QChar &ch : shape) {
        if (isDigitOrLetter(ch.unicode()))
            ch = QLatin1Char('0');
    }
    bool ok = false;
    locale.toLongLong(shape, &ok);
    if (!ok)
        return std::nullopt;
    const QChar group = locale.groupSeparator();
    // QtCore reads a plain space for a separator that looks like one.
    const bool spaceGroups = group == QChar(0xa0) || group == QChar(0x202f);
    const QChar minus = locale.negativeSign();
    const QChar plus = locale.positiveSign();
    QString c;
    c.reserve(text.size());
    for (const QChar ch : text) {
        const ushort digit = ushort(ch.unicode() - zero);
        if (digit < 10)
            c += QLatin1Char(char('0' + digit));
        else if (ch == group || (spaceGroups && ch == QLatin1Char(' ')))
            continue;
        else if (ch == minus)
            c += QLatin1Char('-');
        else if (ch == plus)
            c += QLatin1Char('+');
        else
            c += ch;
    }
    return c;
}

} // namespace

std::optional<qlonglong> localeToInteger(const QLocale &locale, const QString &text, int base,
                                         qlonglong min, qlonglong max)
{
    if (base != 0 && base != 10 && (base < 2 || base > 36))
        return std::nullopt;   // QString would warn and read decimal
    std::optional<QString> c;
    if (base != 10 && !(c = cNumber(locale, text)))
        return std::nullopt;
    bool ok = false;
    qlonglong value = 0;
    if (min >= 0) {
        const qulonglong u = base == 10 ? locale.toULongLong(text, &ok) : c->toULongLong(&ok, base);
        ok = ok && u <= qulonglong(max);
        value = qlonglong(u);
    } else {
        value = base == 10 ? locale.toLongLong(text, &ok) : c->toLongLong(&ok, base);
    }
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

int uuidVersionToQt4(int version)
{
    return version >= 1 && version <= 4 ? version : -1;
}

bool fuzzyCompare(double a, double b)
{
    return qAbs(a - b) <= 0.000000000001 * qMin(qAbs(a), qAbs(b));
}

bool isNullBits(double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits == 0;
}

QRect toRect(const QRectF &r)
{
    return geometry::Rect(geometry::round(r.x()), geometry::round(r.y()),
                          geometry::round(r.width()), geometry::round(r.height()))
        .toRect();
}

namespace {
const int Qt4NoDotAndDotDot = 0x1000;
const int Qt5DotBits = QDir::NoDot | QDir::NoDotDot;
}

int dirFiltersFromQt4(int filters)
{
    if (filters == QDir::NoFilter)
        return filters;
    // Qt 5's NoDot and NoDotDot alone have no Qt 4.4 meaning.
    const int rest = filters & ~(Qt4NoDotAndDotDot | Qt5DotBits);
    return filters & Qt4NoDotAndDotDot ? rest | Qt5DotBits : rest;
}

int dirFiltersToQt4(int filters)
{
    if (filters == QDir::NoFilter)
        return filters;
    const int rest = filters & ~(Qt4NoDotAndDotDot | Qt5DotBits);
    return (filters & Qt5DotBits) == Qt5DotBits ? rest | Qt4NoDotAndDotDot : rest;
}

QString libraryLocation(LibraryLocation location)
{
    static const int qt5[] = {
        QLibraryInfo::PrefixPath, QLibraryInfo::DocumentationPath, QLibraryInfo::HeadersPath,
        QLibraryInfo::LibrariesPath, QLibraryInfo::BinariesPath, QLibraryInfo::PluginsPath,
        QLibraryInfo::DataPath, QLibraryInfo::TranslationsPath, QLibraryInfo::SettingsPath,
        -1, QLibraryInfo::ExamplesPath,
    };
    const uint i = uint(location);
    if (i >= sizeof qt5 / sizeof *qt5 || qt5[i] < 0)
        return QString();
    return QLibraryInfo::location(QLibraryInfo::LibraryLocation(qt5[i]));
}

QString libraryBuildKey()
{
    return QString::fromLatin1(QTCORE_BUILD_KEY);
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

namespace {

// The length of the well-formed UTF-8 sequence that starts at `i`, or 0.
int utf8Length(const QByteArray &bytes, int i)
{
    const uchar lead = uchar(bytes.at(i));
    const int n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (n == 0 || i + n > bytes.size())
        return 0;
    uint c = lead & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        const uchar b = uchar(bytes.at(i + k));
        if ((b & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (b & 0x3F);
    }
    static const uint least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool ok = c >= least[n] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    return ok ? n : 0;
}

void appendEscape(QString &text, uchar b)
{
    static const char hex[] = "0123456789ABCDEF";
    text += QLatin1Char('%');
    text += QLatin1Char(hex[b >> 4]);
    text += QLatin1Char(hex[b & 0xF]);
}

} // namespace

QString escapedPastAscii(const QByteArray &encoded)
{
    QString text;
    text.reserve(encoded.size());
    for (const char c : encoded) {
        if (uchar(c) < 0x80)
            text += QLatin1Char(c);
        else
            appendEscape(text, uchar(c));
    }
    return text;
}

QString fromEncodedComponent(const QByteArray &encoded, bool tolerant)
{
    if (encoded.isNull())
        return QString();
    const auto isHex = [](char c) { return std::isxdigit(uchar(c)) != 0; };
    QString text;
    text.reserve(encoded.size());
    for (int i = 0; i < encoded.size(); ++i) {
        const uchar b = uchar(encoded.at(i));
        const bool startsEscape =
            i + 2 < encoded.size() && isHex(encoded.at(i + 1)) && isHex(encoded.at(i + 2));
        const int utf8 = b >= 0x80 && !tolerant ? utf8Length(encoded, i) : 0;
        if (utf8) {
            text += QString::fromUtf8(encoded.constData() + i, utf8);
            i += utf8 - 1;
        } else if (b >= 0x80 || (tolerant && b == '%' && !startsEscape)) {
            appendEscape(text, b);
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

namespace {

// Made in zeroed memory, which the constructor leaves as it is where isDefault() is kept.
template <class... A>
QXmlStreamAttribute zeroedAttribute(const A &...args)
{
    alignas(QXmlStreamAttribute) unsigned char storage[sizeof(QXmlStreamAttribute)] = {};
    auto *made = new (storage) QXmlStreamAttribute(args...);
    QXmlStreamAttribute attribute(*made);
    made->~QXmlStreamAttribute();
    return attribute;
}

} // namespace

QXmlStreamAttribute xmlAttribute(const QString &qualifiedName, const QString &value)
{
    return zeroedAttribute(qualifiedName, value);
}

QXmlStreamAttribute xmlAttribute(const QString &namespaceUri, const QString &name,
                                 const QString &value)
{
    return zeroedAttribute(namespaceUri, name, value);
}

void unblockWatcher(QObject *watcher)
{
    for (QSocketNotifier *notifier : watcher->findChildren<QSocketNotifier *>()) {
        const QObject *engine = notifier->parent();
        if (!engine || qstrcmp(engine->metaObject()->className(), "QInotifyFileSystemWatcherEngine"))
            continue;
        const int fd = int(notifier->socket());
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags != -1 && !(flags & O_NONBLOCK))
            ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    }
}

} // namespace compat
