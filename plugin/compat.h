// Adapters that give Qt 4.4 calls their Qt 4.4 meaning on Qt 5.15. Each says what Qt 5 changed.
#ifndef QTCORE_PLUGIN_COMPAT_H
#define QTCORE_PLUGIN_COMPAT_H

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

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

} // namespace compat

#endif
