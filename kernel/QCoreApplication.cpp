#include "kernel/events.h"

#include "plugin/codecs.h"
#include "plugin/compat.h"
#include "plugin/enums.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>
#include <QtCore/QTextCodec>
#include <QtCore/QTranslator>

static const char *const qtscript_QCoreApplication_function_names[] = {
    "QCoreApplication",
    // static
    "addLibraryPath", "applicationDirPath", "applicationFilePath", "applicationPid", "closingDown",
    "exec", "exit", "flush", "hasPendingEvents", "installTranslator", "instance", "libraryPaths",
    "postEvent", "processEvents", "removeLibraryPath", "removePostedEvents", "removeTranslator",
    "sendEvent", "sendPostedEvents", "setAttribute", "setLibraryPaths", "startingUp",
    "testAttribute", "translate",
    // prototype
    "notify", "toString",
};

static const char *const qtscript_QCoreApplication_function_signatures[] = {
    "",
    // static
    "String arg__1", "", "", "", "", "", "int retcode", "", "", "QTranslator messageFile", "", "",
    "QObject receiver, QEvent event\nQObject receiver, QEvent event, int priority",
    "ProcessEventsFlags flags\nProcessEventsFlags flags, int maxtime", "String arg__1",
    "QObject receiver\nQObject receiver, int eventType", "QTranslator messageFile",
    "QObject receiver, QEvent event", "\nQObject receiver, int event_type",
    "ApplicationAttribute attribute, bool on", "List arg__1", "", "ApplicationAttribute attribute",
    "char context, char key, char comment, Encoding encoding\n"
    "char context, char key, char comment, Encoding encoding, int n",
    // prototype
    "QObject arg__1, QEvent arg__2",
};

static const int qtscript_QCoreApplication_function_lengths[] = {
    0,
    // static
    1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 3, 2, 1, 2, 1, 2, 2, 2, 1, 0, 1, 5,
    // prototype
    2, 0,
};

static constexpr kit::ClassTables qtscript_QCoreApplication_tables =
    kit::tables("QCoreApplication", qtscript_QCoreApplication_function_names,
                qtscript_QCoreApplication_function_signatures,
                qtscript_QCoreApplication_function_lengths, 24, false);

static constexpr const char *qtscript_QCoreApplication_Encoding_keys[] = {
    "CodecForTr", "UnicodeUTF8",
};
static constexpr int qtscript_QCoreApplication_Encoding_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QCoreApplication_Encoding =
    kit::enumeration<compat::Encoding>("QCoreApplication", "Encoding",
                                       qtscript_QCoreApplication_Encoding_keys,
                                       qtscript_QCoreApplication_Encoding_values,
                                       kit::KeyLookup::DirectIndex);

using Flags = QEventLoop::ProcessEventsFlags;

static QScriptValue qtscript_QCoreApplication_prototype_call(kit::Call &call,
                                                             QCoreApplication *&self)
{
    switch (call.at()) {
    case kit::at(0, 2): {
        QObject *receiver = call.get<QObject *>(0);
        QEvent *event = call.get<QEvent *>(1);
        const events::Sending sending(call, receiver, event);
        if (sending.refused().isValid())
            return sending.refused();
        return call.ret(self->notify(receiver, event));
    }
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

// QtCore holds its translators' lock while a translate override runs: changing the list then
// would wait for ever.
static QScriptValue translating(const kit::Call &call)
{
    return call.error(QScriptContext::UnknownError, "called while a translation is in progress");
}

// The C-string arguments of translate, kept alive for the call: the script's text in the codec
// that reads it back, the codec for tr (Latin-1 while unset), or UTF-8 where the script says its
// texts are UTF-8 (Latin-1 bytes read as UTF-8 would lose every character past ASCII).
static QByteArray cString(const kit::Call &call, int i, compat::Encoding encoding)
{
    const QString text = call.arg(i).toString();
    if (encoding == compat::UnicodeUTF8)
        return text.toUtf8();
    QTextCodec *const codec = compat::codecForTr();
    return codec ? kit::encode(codec, text) : text.toLatin1();
}

static QScriptValue qtscript_QCoreApplication_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(1, 1):
        QCoreApplication::addLibraryPath(call.get<QString>(0));
        return call.ret();
    case kit::at(2, 0):
        return call.ret(QCoreApplication::applicationDirPath());
    case kit::at(3, 0):
        return call.ret(QCoreApplication::applicationFilePath());
    case kit::at(4, 0):
        return call.ret(QCoreApplication::applicationPid());
    case kit::at(5, 0):
        return call.ret(QCoreApplication::closingDown());
    case kit::at(6, 0): {
        const kit::LoopMark loop(call.engine);
        return call.ret(QCoreApplication::exec());
    }
    case kit::at(7, 0):
    case kit::at(7, 1):
        QCoreApplication::exit(call.get<int>(0, 0));
        return call.ret();
    case kit::at(8, 0):
        compat::flush();
        return call.ret();
    case kit::at(9, 0):
        return call.ret(compat::hasPendingEvents());
    case kit::at(10, 1):
        if (kit::Translating::active())
            return translating(call);
        QCoreApplication::installTranslator(call.get<QTranslator *>(0));
        kit::installed(call.get<QTranslator *>(0), true, call.arg(0));
        return call.ret();
    case kit::at(11, 0):
        return call.ret(QCoreApplication::instance());
    case kit::at(12, 0):
        return call.ret(QCoreApplication::libraryPaths());
    case kit::at(13, 2):
    case kit::at(13, 3): {
        QObject *receiver = call.get<QObject *>(0);
        QEvent *event = call.get<QEvent *>(1);
        if (const QScriptValue refused =
                events::refuse(call, receiver, event, events::Delivery::Post);
            refused.isValid())
            return refused;
        if (event->type() == QEvent::DeferredDelete && kit::isProtected(receiver)) {
            return call.context->throwError(
                QScriptContext::TypeError,
                QStringLiteral("QCoreApplication::postEvent(): an object that QtCore keeps cannot be deleted"));
        }
        // QtCore deletes a posted event: only an event the script owns can be handed over (one
        // that Qt lent to an override lives on Qt's stack or in Qt's queue, one being delivered
        // is still in use). Every script value of it reads as empty from now on.
        if (kit::InUse::test(event, kit::Work::Delivery)
            || !kit::handOver(kit::cellOf<QEvent>(call.arg(1)))) {
            return call.context->throwError(
                QScriptContext::TypeError,
                QStringLiteral("QCoreApplication::postEvent(): only an event made by a script can be posted"));
        }
        // A receiver of another thread may go there at once: it is not read afterwards.
        const bool here = receiver->thread() == QThread::currentThread();
        QCoreApplication::postEvent(receiver, event, call.get<int>(2, Qt::NormalEventPriority));
        if (here)
            kit::settle(receiver, call.arg(0));
        return call.ret();
    }
    case kit::at(14, 0):
    case kit::at(14, 1): {
        const kit::LoopMark loop(call.engine);
        QCoreApplication::processEvents(call.get<Flags>(0, QEventLoop::AllEvents));
        return call.ret();
    }
    case kit::at(14, 2): {
        const kit::LoopMark loop(call.engine);
        QCoreApplication::processEvents(call.get<Flags>(0), call.get<int>(1));
        return call.ret();
    }
    case kit::at(15, 1):
        QCoreApplication::removeLibraryPath(call.get<QString>(0));
        return call.ret();
    case kit::at(16, 1):
    case kit::at(16, 2):
    {
        QObject *receiver = call.get<QObject *>(0);
        const bool here = !receiver || receiver->thread() == QThread::currentThread();
        QCoreApplication::removePostedEvents(receiver, call.get<int>(1, 0));
        if (here)
            kit::unposted(receiver);
        return call.ret();
    }
    case kit::at(17, 1):
        if (kit::Translating::active())
            return translating(call);
        QCoreApplication::removeTranslator(call.get<QTranslator *>(0));
        kit::installed(call.get<QTranslator *>(0), false, call.arg(0));
        return call.ret();
    case kit::at(18, 2): {
        QObject *receiver = call.get<QObject *>(0);
        QEvent *event = call.get<QEvent *>(1);
        const events::Sending sending(call, receiver, event);
        if (sending.refused().isValid())
            return sending.refused();
        return call.ret(QCoreApplication::sendEvent(receiver, event));
    }
    case kit::at(19, 0): {
        const kit::LoopMark loop(call.engine);
        QCoreApplication::sendPostedEvents(nullptr, 0);
        return call.ret();
    }
    case kit::at(19, 2): {
        const kit::LoopMark loop(call.engine);
        QCoreApplication::sendPostedEvents(call.get<QObject *>(0), call.get<int>(1));
        return call.ret();
    }
    case kit::at(20, 1):
    case kit::at(20, 2):
        compat::setApplicationAttribute(call.get<Qt::ApplicationAttribute>(0),
                                        call.get<bool>(1, true));
        return call.ret();
    case kit::at(21, 1):
        QCoreApplication::setLibraryPaths(call.get<QStringList>(0));
        return call.ret();
    case kit::at(22, 0):
        return call.ret(QCoreApplication::startingUp());
    case kit::at(23, 1):
        return call.ret(compat::testApplicationAttribute(call.get<Qt::ApplicationAttribute>(0)));
    case kit::at(24, 2):
    case kit::at(24, 3):
    case kit::at(24, 4):
    case kit::at(24, 5): {
        const compat::Encoding encoding = call.get<compat::Encoding>(3, compat::CodecForTr);
        const QByteArray context = cString(call, 0, encoding);
        const QByteArray key = cString(call, 1, encoding);
        const QByteArray comment = call.argc > 2 ? cString(call, 2, encoding) : QByteArray();
        return call.ret(compat::translate(context.constData(), key.constData(),
                                          call.argc > 2 ? comment.constData() : nullptr,
                                          encoding, call.get<int>(4, -1)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QCoreApplication_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QCoreApplication, qtscript_QCoreApplication_tables,
                         qtscript_QCoreApplication_static_call,
                         qtscript_QCoreApplication_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QCoreApplication_Encoding>(engine, ctor);
    return ctor;
}
