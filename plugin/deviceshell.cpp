#include "plugin/deviceshell.h"

#include <algorithm>

namespace kit {

namespace {
// The innermost destination lent on this thread; each links to the one it interrupted.
thread_local LentBuffer *innermost = nullptr;
} // namespace

LentBuffer::LentBuffer(char *data, qint64 capacity)
    : m_data(data), m_capacity(data ? qMax<qint64>(capacity, 0) : 0), m_outer(innermost)
{
    innermost = this;
}

LentBuffer::~LentBuffer()
{
    innermost = m_outer;
}

LentBuffer *LentBuffer::at(const char *data)
{
    for (LentBuffer *b = innermost; b; b = b->m_outer) {
        if (b->m_data == data)
            return b;
    }
    return nullptr;
}

qint64 transferCount(const QScriptValue &result, qint64 most)
{
    if (threw(result))
        return -1;
    return qBound<qint64>(-1, Conv<qint64>::from(result), qMax<qint64>(most, 0));
}

QScriptValue refuseInTransfer(const Call &call, const QIODevice *device,
                              std::initializer_list<int> indexes)
{
    if (!InUse::test(device, Work::Transfer)
        || std::find(indexes.begin(), indexes.end(), call.index) == indexes.end())
        return QScriptValue();
    return call.inUse();
}

QString missingFunction(const char *name)
{
    return QStringLiteral("%1() is not implemented: the device has no script function %1")
        .arg(QLatin1String(name));
}

} // namespace kit
