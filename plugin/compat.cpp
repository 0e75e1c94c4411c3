#include "plugin/compat.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QIODevice>
#include <QtCore/QLibraryInfo>
#include <QtCore/QProcess>
#include <QtCore/QTextBoundaryFinder>
#include <QtCore/QTextCodec>

#include "plugin/plugin.h"

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

} // namespace compat
