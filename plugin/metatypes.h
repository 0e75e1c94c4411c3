// Meta-type declarations shared by the bindings, one per type, under the names scripts and
// hosts see. Qt 5 declares QObject-subclass pointers and Q_ENUM enumerations itself.
#ifndef QTCORE_PLUGIN_METATYPES_H
#define QTCORE_PLUGIN_METATYPES_H

#include <QtCore/QByteArray>
#include <QtCore/QEvent>
#include <QtCore/QEventLoop>
#include <QtCore/QMetaType>

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

Q_DECLARE_METATYPE(QByteArray *)
Q_DECLARE_METATYPE(QEvent *)
Q_DECLARE_METATYPE(QTimerEvent *)
Q_DECLARE_METATYPE(QChildEvent *)
Q_DECLARE_METATYPE(QEventLoop::ProcessEventsFlag)
QTCORE_DECLARE_FLAGS_METATYPE(QEventLoop::ProcessEventsFlags, "QFlags<QEventLoop::ProcessEventsFlag>")

#endif
