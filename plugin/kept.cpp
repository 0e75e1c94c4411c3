// Values kept for native users (kept.h): in their holders' internal data (keeping.h) where they
// may live there, natively otherwise.
#include "plugin/kept.h"
#include "plugin/engines.h"
#include "plugin/keeping.h"
#include "plugin/metatypes.h"

#include <QtCore/QHash>
#include <QtCore/QIODevice>
#include <QtCore/QMutex>
#include <QtCore/QSet>
#include <QtCore/QVector>

#include <memory>
#include <utility>
#include <vector>

namespace kit {

QScriptValue keepingOf(QScriptValue self, bool make)
{
    QScriptValue data = self.data();
    if (data.isVariant() && data.toVariant().userType() == qMetaTypeId<Watch>())
        return data;
    if (!make || !self.engine())
        return QScriptValue();
    data = self.engine()->newVariant(QVariant::fromValue(Watch{std::make_shared<Token>()}));
    self.setData(data);
    return data;
}

Token &tokenOf(const QScriptValue &keeping)
{
    return *keeping.toVariant().value<Watch>().token;
}

namespace {

// True when `value` may live in the holder's script object: the user cannot outlive it.
bool holds(const Holder &holder, const QScriptValue &value)
{
    if (!holder.self.isObject() || !value.isValid())
        return false;
    if (value.engine() && value.engine() != holder.self.engine())
        return false;
    return !holder.cell || (holder.cell->object && holder.cell->destroy);
}

// Puts the value in its slot of the holder's script object (`held`), or takes the slot's value
// out of it.
void place(const Holder &holder, int slot, const QScriptValue &value, bool held)
{
    if (!holder.self.isObject())
        return;
    QScriptValue keeping = keepingOf(holder.self, held);
    if (!keeping.isValid())
        return;
    if (held && holder.cell) {
        Token &token = tokenOf(keeping);
        if (!token.anchor.cell())
            token.anchor = CellRef(holder.cell);
    }
    keeping.setProperty(quint32(slot), held ? value : QScriptValue());
}

// Watches a device for its user: when something else deletes it, `lost` runs. Deleting the
// watch (the slot was replaced, the user ended) breaks the connection. A device of another thread
// may be deleted there at any time, which could not tell the user here before it is gone: one
// that moves away (it hears of it first, here) or is elsewhere already is lost as well.
class DeviceWatch : public QObject
{
public:
    DeviceWatch(QIODevice *device, std::function<void()> lost) : m_lost(std::move(lost))
    {
        if (device->thread() != thread()) {
            leave();
            return;
        }
        connect(device, &QObject::destroyed, this, [this] { leave(); });
        device->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *device, QEvent *e) override
    {
        if (e->type() == QEvent::ThreadChange) {
            device->removeEventFilter(this);
            device->disconnect(this);
            leave();
        }
        return false;
    }

private:
    void leave()
    {
        const std::function<void()> lost = std::move(m_lost);
        m_lost = nullptr;
        if (lost)
            lost();
    }

    std::function<void()> m_lost;
};

// A slot a user keeps natively: its value when it is a native root; a held value leaves an entry
// only for its device's watch or its engine-end call (the value is then a mark: null, or
// undefined of the value's engine).
struct KeptValue {
    int slot;
    QScriptValue value;
    std::shared_ptr<DeviceWatch> watch;
    std::function<void()> atEngineEnd;
};

struct Kept {
    QBasicMutex mutex;
    QHash<const void *, QVector<KeptValue>> byUser;
    QSet<const void *> watchedUsers; // objects whose destruction empties their slots
};

Kept &kept()
{
    static Kept *const k = new Kept;
    return *k;
}

// Sets (or, for an invalid value, empties) one slot; what it held is released after the lock.
void setKept(const void *user, KeptValue entry)
{
    KeptValue dropped{0, QScriptValue(), nullptr, nullptr};
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    auto &entries = k.byUser[user];
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].slot == entry.slot) {
            dropped = std::move(entries[i]);
            if (entry.value.isValid())
                entries[i] = std::move(entry);
            else
                entries.remove(i);
            if (entries.isEmpty())
                k.byUser.remove(user);
            lock.unlock();
            return;
        }
    }
    if (entry.value.isValid())
        entries.append(std::move(entry));
    else if (entries.isEmpty())
        k.byUser.remove(user);
}

// The engine's heap goes right after its destroyed signal: users that outlive it let go first.
void engineEnded(QScriptEngine *engine)
{
    std::vector<std::function<void()>> calls;
    {
        Kept &k = kept();
        QMutexLocker lock(&k.mutex);
        for (auto &entries : k.byUser) {
            for (KeptValue &entry : entries) {
                if (entry.atEngineEnd && entry.value.engine() == engine)
                    calls.push_back(std::move(entry.atEngineEnd));
                if (entry.value.engine() == engine)
                    entry.atEngineEnd = nullptr;
            }
        }
    }
    for (const auto &call : calls)
        call();
}

// The values of an engine hear of its end. False when it ends already.
struct EngineWatch {};
bool watchEngine(QScriptEngine *engine)
{
    return engine && engineData<EngineWatch>(engine, [engine] {
        atEngineEnd(engine, [engine] { engineEnded(engine); });
        return std::make_shared<EngineWatch>();
    });
}

// Gives the slot its engine-end hook; a value whose engine ends already has it run at once.
void setEngineEnd(const void *user, int slot, const QScriptValue &value,
                  std::function<void()> atEngineEnd)
{
    if (!value.isValid() || !atEngineEnd)
        return;
    if (!watchEngine(value.engine())) {
        atEngineEnd();
        return;
    }
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    for (KeptValue &entry : k.byUser[user]) {
        if (entry.slot == slot)
            entry.atEngineEnd = std::move(atEngineEnd);
    }
}

// A native slot of an object-class user, emptied when the user is destroyed.
void keepNatively(QObject *user, int slot, const QScriptValue &value)
{
    setKept(user, KeptValue{slot, value, nullptr, nullptr});
    if (!value.isValid())
        return;
    {
        Kept &k = kept();
        QMutexLocker lock(&k.mutex);
        if (k.watchedUsers.contains(user))
            return;
        k.watchedUsers.insert(user);
    }
    QObject::connect(user, &QObject::destroyed, [user] {
        dropKept(user);
        Kept &k = kept();
        QMutexLocker lock(&k.mutex);
        k.watchedUsers.remove(user);
    });
}

// What stands natively for a value its holder keeps: nothing, unless the slot must hear of the
// value's engine's end (the engine's undefined names that engine).
QScriptValue markOf(const QScriptValue &value, const std::function<void()> &atEngineEnd)
{
    return atEngineEnd && value.engine() ? value.engine()->undefinedValue() : QScriptValue();
}

// Puts the value in its holder where it may live there; what then stands for it natively.
QScriptValue placed(const Holder &holder, int slot, const QScriptValue &value,
                    const std::function<void()> &atEngineEnd)
{
    const bool held = holds(holder, value);
    place(holder, slot, value, held);
    return held ? markOf(value, atEngineEnd) : value;
}

} // namespace

void keepAlive(const void *user, const Holder &holder, int slot, const QScriptValue &value,
               std::function<void()> atEngineEnd)
{
    const QScriptValue entry = placed(holder, slot, value, atEngineEnd);
    setKept(user, KeptValue{slot, entry, nullptr, nullptr});
    setEngineEnd(user, slot, entry, std::move(atEngineEnd));
}

void keepAlive(QObject *user, const Holder &holder, int slot, const QScriptValue &value,
               std::function<void()> atEngineEnd)
{
    const QScriptValue entry = placed(holder, slot, value, atEngineEnd);
    keepNatively(user, slot, entry);
    setEngineEnd(user, slot, entry, std::move(atEngineEnd));
}

void keepDevice(const void *user, const Holder &holder, int slot, QIODevice *device,
                const QScriptValue &value, std::function<void()> lost,
                std::function<void()> atEngineEnd)
{
    if (!device) {
        place(holder, slot, value, false);
        setKept(user, KeptValue{slot, QScriptValue(), nullptr, nullptr});
        return;
    }
    const QScriptValue entry = placed(holder, slot, value, atEngineEnd);
    setKept(user, KeptValue{slot, entry.isValid() ? entry : QScriptValue(QScriptValue::NullValue),
                            std::make_shared<DeviceWatch>(device, std::move(lost)), nullptr});
    setEngineEnd(user, slot, entry, std::move(atEngineEnd));
}

void leaveKept(const void *user)
{
    std::vector<std::function<void()>> calls;
    {
        Kept &k = kept();
        QMutexLocker lock(&k.mutex);
        auto it = k.byUser.find(user);
        if (it == k.byUser.end())
            return;
        for (KeptValue &entry : it.value()) {
            if (entry.atEngineEnd)
                calls.push_back(std::move(entry.atEngineEnd));
        }
    }
    for (const auto &call : calls)
        call();
    dropKept(user);
}

void dropKept(const void *user)
{
    QVector<KeptValue> dropped;
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    auto it = k.byUser.find(user);
    if (it == k.byUser.end())
        return;
    dropped = std::move(it.value());
    k.byUser.erase(it);
    lock.unlock();
}

void whenCollected(const QScriptValue &self, std::function<void()> f)
{
    const QScriptValue keeping = keepingOf(self, true);
    if (keeping.isValid())
        tokenOf(keeping).collected.push_back(std::move(f));
}

void endWith(const QScriptValue &self, QObject *object, void (*destroy)(void *))
{
    const QScriptValue keeping = keepingOf(self, true);
    if (!keeping.isValid())
        return;
    void *key = object;
    QObject::connect(object, &QObject::destroyed, [key] { endCell(key); });
    tokenOf(keeping).anchor = CellRef(ownedCell(object, destroy));
}

QByteArray *bytesInPlace(const QScriptValue &value)
{
    if (!value.isVariant() || value.toVariant().userType() != QMetaType::QByteArray)
        return nullptr;
    return qscriptvalue_cast<QByteArray *>(value);
}

} // namespace kit
