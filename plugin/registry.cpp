// The registry: the class objects "qt.core" installs, in a fixed order. A class comes after
// every class whose prototype it chains to (it reads the base's default prototype). Rows of
// classes not built yet stand commented out in their places.
#include "plugin/plugin.h"
#include "plugin/engines.h"
#include "plugin/kit.h"

#include <QtScript/QScriptEngine>

#define QTCORE_CLASS(name) QScriptValue qtscript_create_##name##_class(QScriptEngine *engine);
    QTCORE_CLASS(QtConcurrent)
    QTCORE_CLASS(QByteArrayMatcher)
    QTCORE_CLASS(QFileInfo)
    QTCORE_CLASS(QDirIterator)
    QTCORE_CLASS(QMutex)
    QTCORE_CLASS(QFutureVoid)
    QTCORE_CLASS(QRectF)
    QTCORE_CLASS(QRunnable)
    QTCORE_CLASS(QXmlStreamEntityResolver)
    QTCORE_CLASS(QTextEncoder)
    QTCORE_CLASS(QFutureWatcher)
    QTCORE_CLASS(QXmlStreamEntityDeclaration)
    QTCORE_CLASS(QEvent)
    QTCORE_CLASS(QStringMatcher)
    QTCORE_CLASS(QXmlStreamReader)
    QTCORE_CLASS(QTextBoundaryFinder)
    QTCORE_CLASS(QFutureIterator)
    QTCORE_CLASS(QSizeF)
    QTCORE_CLASS(QUuid)
    QTCORE_CLASS(QXmlStreamWriter)
    QTCORE_CLASS(QLocale)
    QTCORE_CLASS(QRect)
    QTCORE_CLASS(QXmlStreamAttributes)
    QTCORE_CLASS(QDir)
    QTCORE_CLASS(QXmlStreamNamespaceDeclaration)
    QTCORE_CLASS(QDataStream)
    QTCORE_CLASS(QObject)
    QTCORE_CLASS(QFutureWatcherVoid)
    QTCORE_CLASS(QCryptographicHash)
    QTCORE_CLASS(QTextStream)
    QTCORE_CLASS(QUrl)
    QTCORE_CLASS(QTextCodec)
    QTCORE_CLASS(QWaitCondition)
    QTCORE_CLASS(QSize)
    QTCORE_CLASS(QFutureSynchronizer)
    QTCORE_CLASS(QXmlStreamNotationDeclaration)
    QTCORE_CLASS(QTime)
    QTCORE_CLASS(QLibraryInfo)
    QTCORE_CLASS(QTextDecoder)
    QTCORE_CLASS(QBasicTimer)
    QTCORE_CLASS(Qt)
    QTCORE_CLASS(QFuture)
    QTCORE_CLASS(QSystemSemaphore)
    QTCORE_CLASS(QFutureSynchronizerVoid)
    QTCORE_CLASS(QBitArray)
    QTCORE_CLASS(QPointF)
    QTCORE_CLASS(QXmlStreamAttribute)
    QTCORE_CLASS(QSemaphore)
    QTCORE_CLASS(QByteArray)
    QTCORE_CLASS(QPoint)
    QTCORE_CLASS(QTimer)
    QTCORE_CLASS(QTranslator)
    QTCORE_CLASS(QTimerEvent)
    QTCORE_CLASS(QThreadPool)
    QTCORE_CLASS(QCoreApplication)
    QTCORE_CLASS(QTimeLine)
    QTCORE_CLASS(QSignalMapper)
    QTCORE_CLASS(QFileSystemWatcher)
    QTCORE_CLASS(QIODevice)
    QTCORE_CLASS(QSocketNotifier)
    QTCORE_CLASS(QDynamicPropertyChangeEvent)
    QTCORE_CLASS(QChildEvent)
    QTCORE_CLASS(QSettings)
    QTCORE_CLASS(QEventLoop)
    QTCORE_CLASS(QProcess)
    QTCORE_CLASS(QBuffer)
    QTCORE_CLASS(QFile)
    QTCORE_CLASS(QTemporaryFile)
#undef QTCORE_CLASS

static const char *const qtscript_com_kelvatori_qt_core_class_names[] = {
    "QtConcurrent",
    "QByteArrayMatcher",
    "QFileInfo",
    "QDirIterator",
    "QMutex",
    "QFutureVoid",
    "QRectF",
    "QRunnable",
    "QXmlStreamEntityResolver",
    "QTextEncoder",
    "QFutureWatcher",
    "QXmlStreamEntityDeclaration",
    "QEvent",
    "QStringMatcher",
    "QXmlStreamReader",
    "QTextBoundaryFinder",
    "QFutureIterator",
    "QSizeF",
    "QUuid",
    "QXmlStreamWriter",
    "QLocale",
    "QRect",
    "QXmlStreamAttributes",
    "QDir",
    "QXmlStreamNamespaceDeclaration",
    "QDataStream",
    "QObject",
    "QFutureWatcherVoid",
    "QCryptographicHash",
    "QTextStream",
    "QUrl",
    "QTextCodec",
    "QWaitCondition",
    "QSize",
    "QFutureSynchronizer",
    "QXmlStreamNotationDeclaration",
    "QTime",
    "QLibraryInfo",
    "QTextDecoder",
    "QBasicTimer",
    "Qt",
    "QFuture",
    "QSystemSemaphore",
    "QFutureSynchronizerVoid",
    "QBitArray",
    "QPointF",
    "QXmlStreamAttribute",
    "QSemaphore",
    "QByteArray",
    "QPoint",
    "QTimer",
    "QTranslator",
    "QTimerEvent",
    "QThreadPool",
    "QCoreApplication",
    "QTimeLine",
    "QSignalMapper",
    "QFileSystemWatcher",
    "QIODevice",
    "QSocketNotifier",
    "QDynamicPropertyChangeEvent",
    "QChildEvent",
    "QSettings",
    "QEventLoop",
    "QProcess",
    "QBuffer",
    "QFile",
    "QTemporaryFile",
};

typedef QScriptValue (*QtBindingCreator)(QScriptEngine *engine);
static const QtBindingCreator qtscript_com_kelvatori_qt_core_class_functions[] = {
    qtscript_create_QtConcurrent_class,
    qtscript_create_QByteArrayMatcher_class,
    qtscript_create_QFileInfo_class,
    qtscript_create_QDirIterator_class,
    qtscript_create_QMutex_class,
    qtscript_create_QFutureVoid_class,
    qtscript_create_QRectF_class,
    qtscript_create_QRunnable_class,
    qtscript_create_QXmlStreamEntityResolver_class,
    qtscript_create_QTextEncoder_class,
    qtscript_create_QFutureWatcher_class,
    qtscript_create_QXmlStreamEntityDeclaration_class,
    qtscript_create_QEvent_class,
    qtscript_create_QStringMatcher_class,
    qtscript_create_QXmlStreamReader_class,
    qtscript_create_QTextBoundaryFinder_class,
    qtscript_create_QFutureIterator_class,
    qtscript_create_QSizeF_class,
    qtscript_create_QUuid_class,
    qtscript_create_QXmlStreamWriter_class,
    qtscript_create_QLocale_class,
    qtscript_create_QRect_class,
    qtscript_create_QXmlStreamAttributes_class,
    qtscript_create_QDir_class,
    qtscript_create_QXmlStreamNamespaceDeclaration_class,
    qtscript_create_QDataStream_class,
    qtscript_create_QObject_class,
    qtscript_create_QFutureWatcherVoid_class,
    qtscript_create_QCryptographicHash_class,
    qtscript_create_QTextStream_class,
    qtscript_create_QUrl_class,
    qtscript_create_QTextCodec_class,
    qtscript_create_QWaitCondition_class,
    qtscript_create_QSize_class,
    qtscript_create_QFutureSynchronizer_class,
    qtscript_create_QXmlStreamNotationDeclaration_class,
    qtscript_create_QTime_class,
    qtscript_create_QLibraryInfo_class,
    qtscript_create_QTextDecoder_class,
    qtscript_create_QBasicTimer_class,
    qtscript_create_Qt_class,
    qtscript_create_QFuture_class,
    qtscript_create_QSystemSemaphore_class,
    qtscript_create_QFutureSynchronizerVoid_class,
    qtscript_create_QBitArray_class,
    qtscript_create_QPointF_class,
    qtscript_create_QXmlStreamAttribute_class,
    qtscript_create_QSemaphore_class,
    qtscript_create_QByteArray_class,
    qtscript_create_QPoint_class,
    qtscript_create_QTimer_class,
    qtscript_create_QTranslator_class,
    qtscript_create_QTimerEvent_class,
    qtscript_create_QThreadPool_class,
    qtscript_create_QCoreApplication_class,
    qtscript_create_QTimeLine_class,
    qtscript_create_QSignalMapper_class,
    qtscript_create_QFileSystemWatcher_class,
    qtscript_create_QIODevice_class,
    qtscript_create_QSocketNotifier_class,
    qtscript_create_QDynamicPropertyChangeEvent_class,
    qtscript_create_QChildEvent_class,
    qtscript_create_QSettings_class,
    qtscript_create_QEventLoop_class,
    qtscript_create_QProcess_class,
    qtscript_create_QBuffer_class,
    qtscript_create_QFile_class,
    qtscript_create_QTemporaryFile_class,
};

static_assert(sizeof(qtscript_com_kelvatori_qt_core_class_names) / sizeof(const char *)
                  == sizeof(qtscript_com_kelvatori_qt_core_class_functions) / sizeof(QtBindingCreator),
              "one creation function per class name");

void qtscript_com_kelvatori_qt_core_install(QScriptEngine *engine)
{
    // An engine that is going gets nothing (and no state is made for it).
    if (kit::engineEnding(engine))
        return;
    kit::registerOpaqueTypes();
    kit::guardCoreObjects();
    QScriptValue global = engine->globalObject();
    const int count = int(sizeof(qtscript_com_kelvatori_qt_core_class_names) / sizeof(const char *));
    for (int i = 0; i < count; ++i) {
        global.setProperty(QString::fromLatin1(qtscript_com_kelvatori_qt_core_class_names[i]),
                           qtscript_com_kelvatori_qt_core_class_functions[i](engine),
                           QScriptValue::SkipInEnumeration);
    }
}
