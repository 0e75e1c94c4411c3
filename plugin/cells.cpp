#include "plugin/cells.h"
#include "plugin/busy.h"
#include "plugin/metatypes.h"

#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QIODevice>
#include <QtCore/QMutex>
#include <QtCore/QVector>

namespace kit {

namespace {

// Cells by object address, for objects that scripts own or that are lent to them now.
struct Index {
    QBasicMutex mutex;
    QHash<const void *, Cell *> cells;
};

Index &index()
{
    // Never destroyed: an engine may outlive static destruction.
    static Index *const i = new Index;
    return *i;
}

void unindex(Cell *cell)
{
    if (!cell->indexed)
        return;
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    auto it = i.cells.find(cell->object);
    if (it != i.cells.end() && it.value() == cell)
        i.cells.erase(it);
    cell->indexed = false;
}

Cell *indexed(const void *object)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    return i.cells.value(object);
}

void indexCell(Cell *cell)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    Cell *&slot = i.cells[cell->object];
    if (slot)
        slot->indexed = false;  // an address reused while a stale cell stood for it
    slot = cell;
    cell->indexed = true;
}

// Ends a cell: its object is no longer reachable through it.
void finish(Cell *cell)
{
    if (!cell->object)
        return;
    void *object = cell->object;
    unindex(cell);
    cell->object = nullptr;
    cell->destroy = nullptr;
    dropKept(object);
}

} // namespace

void CellRef::drop(Cell *cell)
{
    if (cell->refs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    void *object = cell->object;
    void (*destroy)(void *) = cell->destroy;
    finish(cell);
    delete cell;
    if (object && destroy) {
        // Mostly the collector's sweep: no script code may run while the object goes.
        const Collecting collecting;
        destroy(object);
    }
}

Cell *ownedCell(void *object, void (*destroy)(void *))
{
    Cell *cell = new Cell;
    cell->object = object;
    cell->destroy = destroy;
    indexCell(cell);
    return cell;
}

Cell *borrowedCell(void *object)
{
    if (Cell *cell = indexed(object))
        return cell;
    Cell *cell = new Cell;
    cell->object = object;
    return cell;
}

void endCell(void *object)
{
    if (Cell *cell = indexed(object))
        finish(cell);
}

bool handOver(Cell *cell)
{
    if (!cell || !cell->object || !cell->destroy)
        return false;
    finish(cell);
    return true;
}

Loan::~Loan()
{
    for (const CellRef &ref : m_cells)
        finish(ref.cell());
}

Cell *Loan::lend(void *object)
{
    if (Cell *cell = indexed(object))
        return cell;
    Cell *cell = new Cell;
    cell->object = object;
    indexCell(cell);
    // The loan holds a reference until it has ended the cell.
    m_cells.emplace_back(cell);
    return cell;
}

// ---------------------------------------------------------------------------------------------
// Kept script values

namespace {

// Watches a device for its user: when something else deletes it, `lost` runs. Deleting the
// watch (the slot was replaced, the user ended) breaks the connection.
class DeviceWatch : public QObject
{
public:
    DeviceWatch(QIODevice *device, std::function<void()> lost) : m_lost(std::move(lost))
    {
        connect(device, &QObject::destroyed, this, [this] {
            const std::function<void()> lost = std::move(m_lost);
            m_lost = nullptr;
            if (lost)
                lost();
        });
    }

private:
    std::function<void()> m_lost;
};

struct KeptValue {
    int slot;
    QScriptValue value;
    std::shared_ptr<DeviceWatch> watch;
    std::function<void()> atEngineEnd;
};

struct Kept {
    QBasicMutex mutex;
    QHash<const void *, QVector<KeptValue>> byUser;
    QSet<QScriptEngine *> engines;   // whose end the values hear of
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
        k.engines.remove(engine);
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

void watchEngine(QScriptEngine *engine)
{
    if (!engine)
        return;
    {
        Kept &k = kept();
        QMutexLocker lock(&k.mutex);
        if (k.engines.contains(engine))
            return;
        k.engines.insert(engine);
    }
    QObject::connect(engine, &QObject::destroyed, [engine] { engineEnded(engine); });
}

} // namespace

void keepAlive(const void *user, int slot, const QScriptValue &value)
{
    setKept(user, KeptValue{slot, value, nullptr, nullptr});
}

void keepAlive(QObject *user, int slot, const QScriptValue &value,
               std::function<void()> atEngineEnd)
{
    keepAlive(user, slot, value);
    if (!value.isValid() || !atEngineEnd)
        return;
    watchEngine(value.engine());
    Kept &k = kept();
    QMutexLocker lock(&k.mutex);
    for (KeptValue &entry : k.byUser[user]) {
        if (entry.slot == slot)
            entry.atEngineEnd = std::move(atEngineEnd);
    }
}

void keepAlive(QObject *user, int slot, const QScriptValue &value)
{
    keepAlive(static_cast<const void *>(user), slot, value);
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

void keepDevice(const void *user, int slot, QIODevice *device, const QScriptValue &value,
                std::function<void()> lost)
{
    if (!device) {
        setKept(user, KeptValue{slot, QScriptValue(), nullptr, nullptr});
        return;
    }
    setKept(user, KeptValue{slot, value.isValid() ? value : QScriptValue(QScriptValue::NullValue),
                            std::make_shared<DeviceWatch>(device, std::move(lost)), nullptr});
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

QByteArray *bytesInPlace(const QScriptValue &value)
{
    if (!value.isVariant() || value.toVariant().userType() != QMetaType::QByteArray)
        return nullptr;
    return qscriptvalue_cast<QByteArray *>(value);
}

// ---------------------------------------------------------------------------------------------
// Weak self references

namespace {

// Held only by the script object's internal data: ends when the engine collects the object.
struct Token {
    std::shared_ptr<bool> alive;
    ~Token() { *alive = false; }
};
struct Watch {
    std::shared_ptr<Token> token;
};

} // namespace
} // namespace kit

Q_DECLARE_METATYPE(kit::Watch)

namespace kit {

void SelfLink::bind(QScriptEngine *engine, QScriptValue &self, const QObject *owner)
{
    m_engine = engine;
    m_owner = owner;
    m_id = self.objectId();
    m_alive = std::make_shared<bool>(true);
    auto token = std::make_shared<Token>();
    token->alive = m_alive;
    self.setData(engine->newVariant(QVariant::fromValue(Watch{token})));
}

QScriptValue SelfLink::get() const
{
    if (m_kept.isValid())
        return m_kept;
    if (!alive())
        return QScriptValue();
    return m_engine->objectById(m_id);
}

void SelfLink::unbind()
{
    m_kept = QScriptValue();
    m_alive.reset();
    m_engine = nullptr;
}

void SelfLink::keep(bool on)
{
    if (!on)
        m_kept = QScriptValue();
    else if (!m_kept.isValid() && alive())
        m_kept = m_engine->objectById(m_id);
}

} // namespace kit
