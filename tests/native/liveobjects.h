// The number of QObjects alive in the process, counted through QtCore's hooks for tools that
// track objects (qhooks_p.h: slots 3 and 4 are called for every QObject made and destroyed, on
// any thread).
#ifndef QTCORE_TESTS_LIVEOBJECTS_H
#define QTCORE_TESTS_LIVEOBJECTS_H

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtCore/QSet>

#include <atomic>

extern quintptr Q_CORE_EXPORT qtHookData[];

namespace liveobjects {

inline std::atomic<qint64> count{0};
inline QBasicMutex mutex;
inline QSet<QObject *> objects;
inline void added(QObject *o)
{
    ++count;
    QMutexLocker lock(&mutex);
    objects.insert(o);
}
inline void removed(QObject *o)
{
    --count;
    QMutexLocker lock(&mutex);
    objects.remove(o);
}

// Timers this thread's dispatcher still runs for live objects (none are read: an object of
// another thread may be going meanwhile, its destruction waits on the lock).
inline int timersHere()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    QMutexLocker lock(&mutex);
    int n = 0;
    for (QObject *o : objects)
        n += dispatcher->registeredTimers(o).size();
    return n;
}

// From now on (false when another tool counts already).
inline bool start()
{
    if (qtHookData[3] || qtHookData[4])
        return false;
    qtHookData[3] = reinterpret_cast<quintptr>(&added);
    qtHookData[4] = reinterpret_cast<quintptr>(&removed);
    return true;
}
inline void stop() { qtHookData[3] = qtHookData[4] = 0; }

} // namespace liveobjects

#endif
