// Adapters that give Qt 4.4 calls their Qt 4.4 meaning on Qt 5.15. Each says what Qt 5 changed.
#ifndef QTCORE_PLUGIN_COMPAT_H
#define QTCORE_PLUGIN_COMPAT_H

#include <QtCore/QByteArray>
#include <QtCore/QFlags>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QUrl>

class QIODevice;
class QTextBoundaryFinder;
class QTextCodec;

namespace compat {

// Qt 5 dropped QTextCodec::setCodecForCStrings and converts C strings as UTF-8; the plugin keeps
// the setting itself (Latin-1 while unset) and applies it in its own text/byte conversions.
QTextCodec *codecForCStrings();
void setCodecForCStrings(QTextCodec *codec);
QByteArray toCString(const QString &text);
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

// Qt 5 dropped Qt::AnchorAttribute; this stands in for it with Qt 4.4's values.
enum AnchorAttribute { AnchorName, AnchorHref };

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

// Qt 5.15 deprecates QProcess's command-line forms of start, execute and startDetached: the
// command is split as QProcess::splitCommand splits it; the program is its first part (none for
// an empty command, which the program-and-arguments forms refuse as the old forms did).
QString splitCommand(const QString &command, QStringList &arguments);

// Qt 5's readLine calls readLineData without checking that the device is open for reading (an
// unopened QFile's then reads a null file engine); Qt 4.4 refused and read nothing.
bool canReadLineFrom(const QIODevice *device);

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
// escape (Qt 5's tolerant parser would then escape every '%', encoding the others twice).
QString fromEncodedComponent(const QByteArray &encoded, bool tolerant = true);
// Qt 5 gives a component as text: its encoded bytes, null for a null text, empty for an empty one.
QByteArray toEncodedComponent(const QString &encoded);
// Qt 5 refuses to decode the user info and authority fully: Qt 4.4's decoded forms, from the
// decoded parts.
QString urlUserInfo(const QUrl &url);
QString urlAuthority(const QUrl &url);

} // namespace compat

#endif
