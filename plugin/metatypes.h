// Meta-type declarations shared by the bindings, one per type, under the names scripts and
// hosts see. Qt 5 declares QObject-subclass pointers and Q_ENUM enumerations itself. A pointer
// class's pointer name ("QEvent*") stands for its handle (plugin/cells.h), never a raw pointer.
#ifndef QTCORE_PLUGIN_METATYPES_H
#define QTCORE_PLUGIN_METATYPES_H

#include <QtCore/QBasicTimer>
#include <QtCore/QPointer>
#include <QtCore/QBitArray>
#include <QtCore/QByteArray>
#include <QtCore/QByteArrayMatcher>
#include <QtCore/QCryptographicHash>
#include <QtCore/QDataStream>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QEvent>
#include <QtCore/QEventLoop>
#include <QtCore/QLocale>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLibraryInfo>
#include <QtCore/QIODevice>
#include <QtCore/QFuture>
#include <QtCore/QFutureWatcher>
#include <QtCore/QMutex>
#include <QtCore/QReadWriteLock>
#include <QtCore/QRunnable>
#include <QtCore/QSemaphore>
#include <QtCore/QSystemSemaphore>
#include <QtCore/QWaitCondition>
#include <QtConcurrent/qtconcurrentreducekernel.h>
#include <QtConcurrent/qtconcurrentthreadengine.h>
#include <QtScript/QScriptValue>
#include <QtCore/QMetaType>
#include <QtCore/QReadWriteLock>
#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtCore/QSharedPointer>
#include <QtCore/QSize>
#include <QtCore/QStringMatcher>
#include <QtCore/QTextBoundaryFinder>
#include <QtCore/QTextCodec>
#include <QtCore/QTextStream>
#include <QtCore/QTimeLine>
#include <QtCore/QUrl>
#include <QtCore/QUuid>
#include <QtCore/QXmlStreamReader>
#include <QtCore/QXmlStreamWriter>

#include "plugin/cells.h"
#include "plugin/linked.h"
#include "plugin/compat.h"

// Declares a flags type under the name "QFlags<Owner::Enum>" (Qt 5 would name it after the
// typedef, or not declare it at all).
#define QTCORE_DECLARE_FLAGS_METATYPE(FLAGS, NAME)                                          \
    QT_BEGIN_NAMESPACE                                                                      \
    template <>                                                                             \
    struct QMetaTypeId<FLAGS> {                                                             \
        enum { Defined = 1 };                                                               \
        static int qt_metatype_id()                                                         \
        {                                                                                   \
            static QBasicAtomicInt id = Q_BASIC_ATOMIC_INITIALIZER(0);                      \
            if (const int known = id.loadAcquire())                                         \
                return known;                                                               \
            const int newId = qRegisterMetaType<FLAGS>(NAME, reinterpret_cast<FLAGS *>(quintptr(-1))); \
            id.storeRelease(newId);                                                         \
            return newId;                                                                   \
        }                                                                                   \
    };                                                                                      \
    QT_END_NAMESPACE

// A type declared under a name of our choice.
#define QTCORE_DECLARE_NAMED_METATYPE(TYPE, NAME) QTCORE_DECLARE_FLAGS_METATYPE(TYPE, NAME)
// The handle of a pointer class, under the class's pointer name ("QEvent*").
#define QTCORE_DECLARE_POINTER_METATYPE(TYPE, NAME) QTCORE_DECLARE_NAMED_METATYPE(kit::Ref<TYPE>, NAME)
// The handle of a QObject class that scripts hold as a pointer class.
#define QTCORE_DECLARE_OBJECT_HANDLE_METATYPE(TYPE, NAME)                                   \
    QTCORE_DECLARE_POINTER_METATYPE(TYPE, NAME)                                             \
    template <>                                                                             \
    struct kit::HeldByHandle<TYPE> : std::true_type {};

Q_DECLARE_METATYPE(QByteArray *)
Q_DECLARE_METATYPE(QBitArray *)
Q_DECLARE_METATYPE(QByteArrayMatcher)
Q_DECLARE_METATYPE(QByteArrayMatcher *)
Q_DECLARE_METATYPE(QStringMatcher)
Q_DECLARE_METATYPE(QStringMatcher *)
QTCORE_DECLARE_POINTER_METATYPE(QCryptographicHash, "QCryptographicHash*")
QTCORE_DECLARE_POINTER_METATYPE(QDataStream, "QDataStream*")
Q_DECLARE_METATYPE(QDataStream::Version)
Q_DECLARE_METATYPE(QDataStream::Status)
QTCORE_DECLARE_POINTER_METATYPE(QTextStream, "QTextStream*")
Q_DECLARE_METATYPE(QTextStream::RealNumberNotation)
Q_DECLARE_METATYPE(QTextStream::NumberFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QTextStream::NumberFlags, "QFlags<QTextStream::NumberFlag>")
Q_DECLARE_METATYPE(QTextStream::FieldAlignment)
Q_DECLARE_METATYPE(QTextStream::Status)
Q_DECLARE_METATYPE(QUrl *)
Q_DECLARE_METATYPE(QUrl::ParsingMode)
QTCORE_DECLARE_NAMED_METATYPE(compat::UrlFormattingOption, "QUrl::FormattingOption")
QTCORE_DECLARE_FLAGS_METATYPE(compat::UrlFormattingOptions, "QFlags<QUrl::FormattingOption>")
QTCORE_DECLARE_POINTER_METATYPE(QEvent, "QEvent*")
QTCORE_DECLARE_POINTER_METATYPE(QTimerEvent, "QTimerEvent*")
QTCORE_DECLARE_POINTER_METATYPE(QChildEvent, "QChildEvent*")
QTCORE_DECLARE_POINTER_METATYPE(QDynamicPropertyChangeEvent, "QDynamicPropertyChangeEvent*")
Q_DECLARE_METATYPE(QEventLoop::ProcessEventsFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QEventLoop::ProcessEventsFlags, "QFlags<QEventLoop::ProcessEventsFlag>")
// Types that only cross as opaque arguments (out-parameters, raw data, handles QtCore keeps to
// itself): scripts cannot make them, hosts find them by name.
Q_DECLARE_METATYPE(uchar *)
Q_DECLARE_METATYPE(qint64 *)
Q_DECLARE_METATYPE(qreal *)
Q_DECLARE_METATYPE(QChar *)
Q_DECLARE_METATYPE(QTextCodec::ConverterState *)
QTCORE_DECLARE_NAMED_METATYPE(compat::FileEngine *, "QAbstractFileEngine*")
// Texts a translator hands to a script override, opaque to scripts.
QTCORE_DECLARE_POINTER_METATYPE(char, "char*")
// Devices and files: Qt 5 declares neither, and names the file enumerations after QFileDevice.
Q_DECLARE_METATYPE(QIODevice::OpenModeFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QIODevice::OpenMode, "QFlags<QIODevice::OpenModeFlag>")
QTCORE_DECLARE_NAMED_METATYPE(QFileDevice::FileError, "QFile::FileError")
QTCORE_DECLARE_NAMED_METATYPE(QFileDevice::MemoryMapFlags, "QFile::MemoryMapFlags")
QTCORE_DECLARE_NAMED_METATYPE(QFileDevice::Permission, "QFile::Permission")
QTCORE_DECLARE_FLAGS_METATYPE(QFileDevice::Permissions, "QFlags<QFile::Permission>")
// QTimeLine declares its enumerations without Q_ENUM.
Q_DECLARE_METATYPE(QTimeLine::Direction)
Q_DECLARE_METATYPE(QTimeLine::CurveShape)
Q_DECLARE_METATYPE(QTimeLine::State)
QTCORE_DECLARE_POINTER_METATYPE(QTextCodec, "QTextCodec*")
QTCORE_DECLARE_POINTER_METATYPE(QTextDecoder, "QTextDecoder*")
QTCORE_DECLARE_POINTER_METATYPE(QTextEncoder, "QTextEncoder*")
Q_DECLARE_METATYPE(QTextCodec::ConversionFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QTextCodec::ConversionFlags, "QFlags<QTextCodec::ConversionFlag>")
Q_DECLARE_METATYPE(QTextBoundaryFinder)
Q_DECLARE_METATYPE(QTextBoundaryFinder *)
Q_DECLARE_METATYPE(QTextBoundaryFinder::BoundaryType)
Q_DECLARE_METATYPE(QTextBoundaryFinder::BoundaryReason)
QTCORE_DECLARE_FLAGS_METATYPE(QTextBoundaryFinder::BoundaryReasons,
                              "QFlags<QTextBoundaryFinder::BoundaryReason>")

// Pointers to value classes Qt 5 builds in (the values need no declaration), and the
// enumerations of QLocale and QUuid that Qt 5 declares without Q_ENUM (Language, Country and
// MeasurementSystem it names "QLocale::E" itself).
Q_DECLARE_METATYPE(QPoint *)
Q_DECLARE_METATYPE(QPointF *)
Q_DECLARE_METATYPE(QSize *)
Q_DECLARE_METATYPE(QSizeF *)
Q_DECLARE_METATYPE(QRect *)
Q_DECLARE_METATYPE(QRectF *)
Q_DECLARE_METATYPE(QTime *)
Q_DECLARE_METATYPE(QLocale *)
Q_DECLARE_METATYPE(QUuid *)
Q_DECLARE_METATYPE(QLocale::FormatType)
Q_DECLARE_METATYPE(QLocale::NumberOption)
QTCORE_DECLARE_FLAGS_METATYPE(QLocale::NumberOptions, "QFlags<QLocale::NumberOption>")
Q_DECLARE_METATYPE(QUuid::Variant)
Q_DECLARE_METATYPE(QUuid::Version)

// Namespace Qt: the enumerations Qt 5 declares without Q_ENUM (the others it names "Qt::E"
// itself), and the stand-in for one it dropped.
Q_DECLARE_METATYPE(Qt::MatchFlag)
Q_DECLARE_METATYPE(Qt::KeyboardModifier)
Q_DECLARE_METATYPE(Qt::WhiteSpaceMode)
Q_DECLARE_METATYPE(Qt::EventPriority)
Q_DECLARE_METATYPE(Qt::UIEffect)
Q_DECLARE_METATYPE(Qt::ToolBarAreaSizes)
Q_DECLARE_METATYPE(Qt::WindowFrameSection)
Q_DECLARE_METATYPE(Qt::DockWidgetAreaSizes)
Q_DECLARE_METATYPE(Qt::ImageConversionFlag)
Q_DECLARE_METATYPE(Qt::Modifier)
Q_DECLARE_METATYPE(Qt::AlignmentFlag)
Q_DECLARE_METATYPE(Qt::MouseButton)
Q_DECLARE_METATYPE(Qt::ItemFlag)
Q_DECLARE_METATYPE(Qt::HitTestAccuracy)
QTCORE_DECLARE_FLAGS_METATYPE(compat::AnchorAttribute, "Qt::AnchorAttribute")

QTCORE_DECLARE_POINTER_METATYPE(QXmlStreamReader, "QXmlStreamReader*")
QTCORE_DECLARE_POINTER_METATYPE(QXmlStreamWriter, "QXmlStreamWriter*")
QTCORE_DECLARE_POINTER_METATYPE(QXmlStreamEntityResolver, "QXmlStreamEntityResolver*")
Q_DECLARE_METATYPE(QXmlStreamReader::Error)
Q_DECLARE_METATYPE(QXmlStreamReader::TokenType)
Q_DECLARE_METATYPE(QXmlStreamAttribute)
Q_DECLARE_METATYPE(QXmlStreamAttribute *)
Q_DECLARE_METATYPE(QXmlStreamAttributes)
Q_DECLARE_METATYPE(QXmlStreamAttributes *)
Q_DECLARE_METATYPE(QXmlStreamEntityDeclaration)
Q_DECLARE_METATYPE(QXmlStreamEntityDeclaration *)
Q_DECLARE_METATYPE(QXmlStreamNamespaceDeclaration)
Q_DECLARE_METATYPE(QXmlStreamNamespaceDeclaration *)
Q_DECLARE_METATYPE(QXmlStreamNotationDeclaration)
Q_DECLARE_METATYPE(QXmlStreamNotationDeclaration *)

// A script's basic timer watches the object it times: QtCore keeps a basic timer of a deleted
// object registered and fires it at freed memory, so the object's end stops the timer.
struct ScriptBasicTimer : QBasicTimer {
    ScriptBasicTimer() = default;
    // Stops the timer: the object it timed is let go of once nothing else times it.
    ~ScriptBasicTimer();
    QMetaObject::Connection watch;
    QPointer<QObject> object;   // what it times, which keeps its script object meanwhile
    kit::BasicTiming timing;
};
// Qt 5 stops a QBasicTimer when any copy of it is destroyed, and QtScript copies a variant's
// value whenever a method reads `this`: scripts hold the timer through this handle, whose copies
// share one timer (stopped when the last copy goes).
struct QBasicTimerHandle {
    QSharedPointer<ScriptBasicTimer> timer = QSharedPointer<ScriptBasicTimer>::create();
};
QTCORE_DECLARE_NAMED_METATYPE(QBasicTimerHandle, "QBasicTimer")
QTCORE_DECLARE_NAMED_METATYPE(QBasicTimerHandle *, "QBasicTimer*")
QTCORE_DECLARE_NAMED_METATYPE(compat::Encoding, "QCoreApplication::Encoding")

// Threads and concurrency.
QTCORE_DECLARE_POINTER_METATYPE(QMutex, "QMutex*")
Q_DECLARE_METATYPE(QMutex::RecursionMode)
QTCORE_DECLARE_POINTER_METATYPE(QSemaphore, "QSemaphore*")
QTCORE_DECLARE_POINTER_METATYPE(QWaitCondition, "QWaitCondition*")
QTCORE_DECLARE_POINTER_METATYPE(QReadWriteLock, "QReadWriteLock*")
QTCORE_DECLARE_POINTER_METATYPE(QSystemSemaphore, "QSystemSemaphore*")
Q_DECLARE_METATYPE(QSystemSemaphore::AccessMode)
Q_DECLARE_METATYPE(QSystemSemaphore::SystemSemaphoreError)
QTCORE_DECLARE_POINTER_METATYPE(QRunnable, "QRunnable*")
Q_DECLARE_METATYPE(QtConcurrent::ReduceOption)
QTCORE_DECLARE_FLAGS_METATYPE(QtConcurrent::ReduceOptions, "QFlags<QtConcurrent::ReduceOption>")
Q_DECLARE_METATYPE(QtConcurrent::ThreadFunctionResult)
// The futures hosts hand in, under the names they look up.
QTCORE_DECLARE_NAMED_METATYPE(QFuture<QScriptValue>, "QtScriptFuture")
QTCORE_DECLARE_NAMED_METATYPE(QFuture<QScriptValue> *, "QtScriptFuture*")
QTCORE_DECLARE_NAMED_METATYPE(QFuture<void>, "QtScriptVoidFuture")
QTCORE_DECLARE_NAMED_METATYPE(QFuture<void> *, "QtScriptVoidFuture*")
QTCORE_DECLARE_POINTER_METATYPE(compat::FutureIterator, "QtScriptFutureIterator*")
// Qt 5 registers both watchers as "QFutureWatcherBase*": each gets a name and id of its own.
QTCORE_DECLARE_OBJECT_HANDLE_METATYPE(QFutureWatcher<QScriptValue>, "QtScriptFutureWatcher*")
QTCORE_DECLARE_OBJECT_HANDLE_METATYPE(QFutureWatcher<void>, "QtScriptVoidFutureWatcher*")
class QtScriptShell_QFutureSynchronizer;
class QtScriptShell_QFutureSynchronizerVoid;
QTCORE_DECLARE_POINTER_METATYPE(QtScriptShell_QFutureSynchronizer, "QtScriptFutureSynchronizer*")
QTCORE_DECLARE_POINTER_METATYPE(QtScriptShell_QFutureSynchronizerVoid, "QtScriptVoidFutureSynchronizer*")
// The file system. QDir's filters hold Qt 4.4's bits (compat::dirFiltersFromQt4); Qt 5 declares
// QFileInfo itself, and QSettings' enumerations with Q_ENUM.
Q_DECLARE_METATYPE(QDir)
Q_DECLARE_METATYPE(QDir *)
Q_DECLARE_METATYPE(QDir::Filter)
QTCORE_DECLARE_FLAGS_METATYPE(QDir::Filters, "QFlags<QDir::Filter>")
Q_DECLARE_METATYPE(QDir::SortFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QDir::SortFlags, "QFlags<QDir::SortFlag>")
Q_DECLARE_METATYPE(QFileInfo *)
QTCORE_DECLARE_POINTER_METATYPE(QDirIterator, "QDirIterator*")
Q_DECLARE_METATYPE(QDirIterator::IteratorFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QDirIterator::IteratorFlags, "QFlags<QDirIterator::IteratorFlag>")
QTCORE_DECLARE_POINTER_METATYPE(QLibraryInfo, "QLibraryInfo*")
QTCORE_DECLARE_NAMED_METATYPE(compat::LibraryLocation, "QLibraryInfo::LibraryLocation")

#endif
