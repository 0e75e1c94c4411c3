// The number of QObjects alive in the process, counted through QtCore's hooks for tools that
// track objects (qhooks_p.h: slots 3 and 4 are called for every QObject made and destroyed, on
// any thread).
#ifndef QTCORE_TESTS_LIVEOBJECTS_H
#define QTCORE_TESTS_LIVEOBJECTS_H

#include <QtCore/QObject>

#include <atomic>

extern quintptr Q_CORE_EXPORT qtHookData[];

namespace liveobjects {

inline std::atomic<qint64> count{0};
inline void added(QObject *) { ++count; }
inline void removed(QObject *) { --count; }

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
