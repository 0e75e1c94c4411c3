// Adapters that give Qt 4.4 calls their Qt 4.4 meaning on Qt 5.15. Each says what Qt 5 changed.
#ifndef QTCORE_PLUGIN_COMPAT_H
#define QTCORE_PLUGIN_COMPAT_H

#include <QtCore/QByteArray>
#include <QtCore/QFlags>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QFuture>
#include <QtCore/QUrl>
#include <QtCore/QXmlStreamAttribute>
#include <QtScript/QScriptValue>

#include <optional>

class QLocale;
struct QMetaObject;
class QIODevice;
class QTextBoundaryFinder;
class QTextCodec;

namespace compat {

// Qt 5 dropped QTextCodec::setCodecForCStrings and converts C strings as UTF-8; the plugin keeps
// the setting itself (Latin-1 while unset) and applies it in its own text/byte conversions.
QTextCodec *codecForCStrings();
void setCodecForCStrings(QTextCodec *codec);
QByteArray toCString(const QString &text);
// Every byte of the array, zero bytes included, as Qt 4.4's fromAscii(data, size) read them.
QString fromCString(const QByteArray &bytes);
// Qt 5 dropped QTextCodec::setCodecForTr as well; kept here so scripts read back what they set.
QTextCodec *codecForTr();
void setCodecForTr(QTextCodec *codec);

// Qt 5 swapped the values of QTextBoundaryFinder's Line and Sentence (Qt 4.4: Line 2, Sentence 3).
int boundaryTypeFromQt4(int type);
int boundaryTypeToQt4(int type);
// Qt 5 replaced the reasons StartWord (1) and EndWord (2) with StartOfItem and EndOfItem and
// added others; the others map to no Qt 4.4 reason.
int boundaryReasonsToQt4(int reasons);
// Qt 5's default-constructed finder leaves its position uninitialised; Qt 4.4's started at 0.
QTextBoundaryFinder defaultBoundaryFinder();

// Qt 5 made QAbstractFileEngine private: this stands in for it under its name, and scripts only
// ever see a null one.
struct FileEngine {};

// Qt 5 dropped Qt::AnchorAttribute; this stands in for it with Qt 4.4's values.
enum AnchorAttribute { AnchorName, AnchorHref };

// Qt 5's moc records the type of a property of an enumeration that is no Q_ENUM (QTimeLine's
// direction and curveShape) by its bare name, which nothing registers, and QMetaProperty then
// neither reads nor writes it: where `meta` has such a property of type `name`, the name becomes
// an alias of the enumeration's meta type `typeId`.
void registerEnumPropertyType(const QMetaObject &meta, const char *name, int typeId);

// Qt 5 gave Qt 4.4's AA_AttributeCount (5) to AA_PluginApplication and uses all 32 attribute
// bits: attributes 0-4 pass to Qt 5 unchanged, 5 is kept by the plugin as Qt 4.4 kept its bit.
void setApplicationAttribute(int attribute, bool on);
bool testApplicationAttribute(int attribute);

// Qt 5 renumbered QCoreApplication::Encoding (UnicodeUTF8 0, CodecForTr an alias of it) and
// dropped it from translate: scripts keep Qt 4.4's values, under the same meta-type name.
enum Encoding { CodecForTr = 0, UnicodeUTF8 = 1 };
// Qt 5's translate has no encoding and reads an untranslated text as UTF-8; Qt 4.4 read it through
// the codec for tr (Latin-1 while unset) unless told UnicodeUTF8. n < 0: no "%n" replacement.
QString translate(const char *context, const char *key, const char *comment, Encoding encoding,
                  int n);
// Qt 5 deprecates QCoreApplication::hasPendingEvents and flush; they live on the event dispatcher.
bool hasPendingEvents();
void flush();

// Qt 5 gave the numbers of Qt 4.4's Moldavian (81), SerboCroatian (101), Tagalog (115) and Twi
// (127) to other languages and renumbered their successors; scripts keep Qt 4.4's numbers. A Qt 5
// language without a Qt 4.4 number gives 166, one past Qt 4.4's last, which no key names.
int languageToQt5(int language);
int languageToQt4(int language);
// The same for the countries MetropolitanFrance (75), NetherlandsAntilles (152), Yugoslavia
// (238) and SerbiaAndMontenegro (241): each maps to the place that succeeded it in Qt 5. A Qt 5
// country without a Qt 4.4 number gives 242.
int countryToQt5(int country);
int countryToQt4(int country);
// Qt 5 split the imperial system into US (1, Qt 4.4's ImperialSystem) and UK (2).
int measurementSystemToQt4(int system);
// Qt 5 added number options beyond Qt 4.4's OmitGroupSeparator and RejectGroupSeparator.
int numberOptionsToQt4(int options);
// Qt 5's QLocale integer parsers dropped the base and read decimal only. Base 10 keeps Qt 5's
// locale-aware parser; base 0 (C prefixes 0x and 0) and 2 to 36 read the text with the locale's
// digits and signs in C form, its group separators where and as that parser reads them (between
// groups of digits and letters, refused when the locale rejects them). Nothing for a text that
// does not parse, a value outside [min, max], or another base.
std::optional<qlonglong> localeToInteger(const QLocale &locale, const QString &text, int base,
                                         qlonglong min, qlonglong max);
// Qt 5 names UUID versions 3 (Md5, Qt 4.4's Name) and 5 (Sha1), unknown to Qt 4.4.
int uuidVersionToQt4(int version);

// Qt 5's comparisons of QPointF treat a zero coordinate specially, and all of its fuzzy
// comparisons multiply; Qt 4.4: |a - b| <= 1e-12 * min(|a|, |b|).
bool fuzzyCompare(double a, double b);
// Qt 5's qIsNull takes -0 for null; Qt 4.4 tested for the all-zero bit pattern.
bool isNullBits(double d);
// Qt 5's QRectF::toRect rounds the edges; Qt 4.4 rounded x, y, width and height each.
QRect toRect(const QRectF &r);
// Qt 5 moved QDir::NoDotAndDotDot from 0x1000 to NoDot|NoDotDot (0x6000), and 0x1000 alone does
// nothing there: scripts keep Qt 4.4's bits, translated wherever filters reach QtCore or return.
int dirFiltersFromQt4(int filters);
int dirFiltersToQt4(int filters);

// Qt 5 renumbered QLibraryInfo's locations and dropped DemosPath: scripts keep Qt 4.4's numbers.
enum LibraryLocation {
    PrefixPath, DocumentationPath, HeadersPath, LibrariesPath, BinariesPath, PluginsPath,
    DataPath, TranslationsPath, SettingsPath, DemosPath, ExamplesPath
};
QString libraryLocation(LibraryLocation location);
// Qt 5 dropped QLibraryInfo::buildKey: the build key the plugin reports to Qt 4 loaders.
QString libraryBuildKey();

// Qt 5.15 deprecates QProcess's command-line forms of start, execute and startDetached: the
// command is split as QProcess::splitCommand splits it; the program is its first part (none for
// an empty command, which the program-and-arguments forms refuse as the old forms did).
QString splitCommand(const QString &command, QStringList &arguments);

// Qt 5's readLine calls readLineData without checking that the device is open for reading (an
// unopened QFile's then reads a null file engine); Qt 4.4 refused and read nothing.
bool canReadLineFrom(const QIODevice *device);
// Qt 5's QFutureIterator blocks on a running future, rethrows its stored exception and counts
// the back as behind only when results lie there: Qt 4.4's position queries over an index
// (0 the front, -1 the back), which never block.
struct FutureIterator {
    QFuture<QScriptValue> future;
    int index = 0;

    bool hasNext() const { return index >= 0 && (future.isRunning() || index < future.resultCount()); }
    bool hasPrevious() const { return index != 0; }
    void toBack() { index = -1; }
    void toFront() { index = 0; }
};

// Qt 5 added the stream status WriteFailed, which also stops later writes; Qt 4.4 reported a
// failed write as Ok. Scripts see Ok, and a status they set is taken as it would be on Ok.
template <class Stream>
typename Stream::Status streamStatus(const Stream &stream)
{
    return stream.status() == Stream::WriteFailed ? Stream::Ok : stream.status();
}
template <class Stream>
void setStreamStatus(Stream &stream, typename Stream::Status status)
{
    if (stream.status() == Stream::WriteFailed)
        stream.resetStatus();
    stream.setStatus(status);
}

// Qt 5 moved QUrl::StripTrailingSlash from 0x10000 to 0x400 and added options of its own:
// scripts keep Qt 4.4's values, under Qt 4.4's type names.
enum UrlFormattingOption {
    UrlNone = 0x0,
    RemoveScheme = 0x1,
    RemovePassword = 0x2,
    RemoveUserInfo = RemovePassword | 0x4,
    RemovePort = 0x8,
    RemoveAuthority = RemoveUserInfo | RemovePort | 0x10,
    RemovePath = 0x20,
    RemoveQuery = 0x40,
    RemoveFragment = 0x80,
    StripTrailingSlash = 0x10000
};
using UrlFormattingOptions = QFlags<UrlFormattingOption>;
// Qt 4.4's options as Qt 5's; bits Qt 4.4 did not define are dropped.
QUrl::FormattingOptions urlFormattingOptions(UrlFormattingOptions options);
// Qt 5 reads a URL component's '%' as the start of an escape where Qt 4.4's decoded setters and
// query items took it as itself: the decoded text with '%' escaped (a null text as empty, as Qt
// 4.4 always wrote a query item's delimiter).
QString percentLiteral(const QString &decoded);
// Qt 5 takes percent-encoded components as text: the bytes as that text. Read tolerantly, bytes
// above 127 are escaped (Qt 5 would turn invalid UTF-8 into U+FFFD) and so is a '%' that starts no
// escape (Qt 5's tolerant parser would then escape every '%', encoding the others twice). Read
// strictly, where an escaped host is refused, UTF-8 is read as its characters and only the bytes
// of no UTF-8 character are escaped.
QString fromEncodedComponent(const QByteArray &encoded, bool tolerant = true);
// As Qt 5's setEncodedUrl reads bytes: every byte above 127 escaped, the rest as it is.
QString escapedPastAscii(const QByteArray &encoded);
// Qt 5 gives a component as text: its encoded bytes, null for a null text, empty for an empty one.
QByteArray toEncodedComponent(const QString &encoded);
// Qt 5 refuses to decode the user info and authority fully: Qt 4.4's decoded forms, from the
// decoded parts.
QString urlUserInfo(const QUrl &url);
QString urlAuthority(const QUrl &url);

// Qt 5's QXmlStreamAttribute constructors from names and a value leave isDefault() unset (it reads
// whatever the memory held): an attribute made from them is no default one, as in Qt 4.4.
QXmlStreamAttribute xmlAttribute(const QString &qualifiedName, const QString &value);
QXmlStreamAttribute xmlAttribute(const QString &namespaceUri, const QString &name,
                                 const QString &value);

// Qt 5.15's inotify watcher reads its descriptor, blocking, once its notifier fires, also where a
// nested event loop in that delivery (a filter's) read every event already: it would wait for the
// next change. Non-blocking, that read finds nothing and returns.
void unblockWatcher(QObject *watcher);

} // namespace compat

#endif
