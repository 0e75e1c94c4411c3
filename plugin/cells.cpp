#include "plugin/cells.h"
#include "plugin/busy.h"
#include "plugin/engines.h"
#include "plugin/linked.h"
#include "plugin/metatypes.h"

#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QIODevice>
#include <QtCore/QMutex>
#include <QtCore/QVector>
#include <QtScript/QScriptValueIterator>

#include <algorithm>

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

// The indexed cell of `object`, or a new one indexed for it (`made`): one visit to the index.
Cell *indexedOrNew(void *object, bool &made)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    Cell *&slot = i.cells[object];
    made = !slot;
    if (made) {
        slot = new Cell;
        slot->object = object;
        slot->indexed = true;
    }
    return slot;
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

// Ends a cell and destroys the object it owns, if any. Mostly the collector's sweep: no script
// code may run while the object goes.
void finishOwned(Cell *cell)
{
    void *object = cell->object;
    void (*destroy)(void *) = cell->destroy;
    finish(cell);
    if (object && destroy) {
        const Collecting collecting;
        destroy(object);
    }
}

} // namespace

void CellRef::drop(Cell *cell)
{
    if (cell->refs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    finishOwned(cell);
    delete cell;
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
    if (m_first.cell())
        finish(m_first.cell());
    for (const CellRef &ref : m_more)
        finish(ref.cell());
}

Cell *Loan::lend(void *object)
{
    bool made;
    Cell *cell = indexedOrNew(object, made);
    if (!made)
        return cell;
    // The loan holds a reference until it has ended the cell.
    if (!m_first.cell())
        m_first = CellRef(cell);
    else
        m_more.emplace_back(cell);
    return cell;
}

// ---------------------------------------------------------------------------------------------
// What a script object keeps for its native object

namespace {

// Children held by a script object before their stale entries (children since deleted) are
// swept out; then twice the number left.
constexpr int FirstPrune = 64;

} // namespace

// An object that left its engine's thread: deleted on its own thread once its script object is
// collected, unless it ended first.
struct Away {
    QBasicMutex mutex;
    QObject *object = nullptr;
};

namespace {

// The native side of a script object's internal data; it ends when the engine collects the
// object (or the engine ends).
struct Token {
    std::shared_ptr<bool> alive;    // a SelfLink's: false from then on
    CellRef anchor;                 // a user that ends with its script object
    std::shared_ptr<Away> away;
    int children = 0;               // held, stale ones included
    int pruneAt = FirstPrune;

    ~Token()
    {
        if (alive)
            *alive = false;
        // A user that ends with its script object, unless QtCore has taken it since.
        Cell *cell = anchor.cell();
        if (cell && cell->destroy)
            finishOwned(cell);
        if (away) {
            QMutexLocker lock(&away->mutex);
            if (away->object)
                away->object->deleteLater();
        }
    }
};
struct Watch {
    std::shared_ptr<Token> token;
};

} // namespace
} // namespace kit

Q_DECLARE_METATYPE(kit::Watch)

namespace kit {

namespace {

// The internal data of `self` where the kit keeps what its native object holds: a variant object
// of the token, whose properties are the kept values (by slot) and held children (by id). Made
// when `make` and there is none.
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

// Names in a script object's internal data: held children by id, the parent, filters by id.
QString childKey(qint64 id)
{
    return QLatin1Char('c') + QString::number(id);
}
QString filterKey(qint64 id)
{
    return QLatin1Char('f') + QString::number(id);
}
const QString &parentKey()
{
    static const QString key = QStringLiteral("p");
    return key;
}

// Lets go of held children that were deleted or moved elsewhere since.
void prune(const QScriptValue &keeping, Token &token, const QObject *owner)
{
    int left = 0;
    QScriptValueIterator it(keeping);
    while (it.hasNext()) {
        it.next();
        if (!it.name().startsWith(QLatin1Char('c')))
            continue;
        const QObject *child = it.value().toQObject();
        if (child && (child->parent() == owner || keeperOfParent(child) == owner))
            ++left;
        else
            it.remove();
    }
    token.children = left;
    token.pruneAt = qMax(FirstPrune, 2 * left);
}

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

// ---------------------------------------------------------------------------------------------
// Self references

namespace {

// The events a script posted that hold their receiver, by address: the receiver's link. Per
// thread: a link at home only ever meets its own thread's events.
thread_local QHash<const void *, SelfLink *> postedEvents;

} // namespace

SelfLink::~SelfLink()
{
    if (atHome() && !m_posted.empty())
        forgetPosted();
    for (const Watching &w : m_watching)
        QObject::disconnect(w.gone);
}

void SelfLink::bind(QScriptEngine *engine, QScriptValue &self, const QObject *owner,
                    QScriptEngine::ValueOwnership ownership)
{
    m_engine = engine;
    m_owner = owner;
    m_ownership = ownership;
    m_home.store(&busyState, std::memory_order_relaxed);
    m_id = self.objectId();
    m_alive = std::make_shared<bool>(true);
    auto token = std::make_shared<Token>();
    token->alive = m_alive;
    self.setData(engine->newVariant(QVariant::fromValue(Watch{token})));
}

QScriptEngine *SelfLink::turningEngine() const
{
    QScriptEngine *engine = this->engine();
    return engine && !engineEnding(engine) ? engine : nullptr;
}

bool SelfLink::is(const QScriptValue &value) const
{
    return m_id && value.isObject() && value.engine() == m_engine && value.objectId() == m_id;
}

void SelfLink::keepSelf(const QScriptValue &self)
{
    m_kept = self;
    m_held = m_kept.isValid();
}

// Once the engine's end has begun, the script object is out of reach: overrides fall back to
// their base, and nothing reads the heap as it goes. Once the engine has gone, its values read
// as invalid: it is not asked then.
QScriptValue SelfLink::kept() const
{
    return !m_kept.isValid() || engineEnding(m_engine) ? QScriptValue() : m_kept;
}

QScriptValue SelfLink::reachable() const
{
    if (!alive() || engineEnding(m_engine) || !Busy::fromScript(m_engine))
        return QScriptValue();
    return m_engine->objectById(m_id);
}

QScriptValue SelfLink::getFiltering(const QObject *watched) const
{
    // The watched object (held, the caller found) holds this filter's script object.
    return atHome() && filtersHeld(watched) && alive() && !engineEnding(m_engine)
               ? m_engine->objectById(m_id)
               : QScriptValue();
}

void SelfLink::unbind()
{
    keepSelf(QScriptValue());
    m_alive.reset();
    m_engine = nullptr;
}

void SelfLink::update(const QScriptValue &inHand)
{
    if (!atHome())
        return;
    unsigned reasons = m_reasons & ~(Posted | Deleting | Filtering);
    if (!m_posted.empty())
        reasons |= Posted;
    if (m_deletes > 0)
        reasons |= Deleting;
    for (const Watching &w : m_watching) {
        if (w.watched && !w.keeper)
            reasons |= Filtering;
    }
    m_reasons = reasons;
    if (!reasons) {
        keepSelf(QScriptValue());
        return;
    }
    if (held() || !alive() || engineEnding(m_engine))
        return;
    keepSelf(is(inHand) ? inHand : reachable());
}

void SelfLink::keep(Reason reason, bool on, const QScriptValue &inHand)
{
    if (!atHome())
        return;
    if (on)
        m_reasons |= reason;
    else
        m_reasons &= ~reason;
    update(inHand);
}

void SelfLink::posted(const void *event, const QScriptValue &inHand)
{
    if (!atHome())
        return;
    m_posted.push_back(event);
    postedEvents.insert(event, this);
    update(inHand);
}

void SelfLink::eventEnded(const void *event)
{
    if (Q_LIKELY(postedEvents.isEmpty()))
        return;
    SelfLink *link = postedEvents.take(event);
    if (!link)
        return;
    link->m_posted.erase(std::find(link->m_posted.begin(), link->m_posted.end(), event));
    link->update();
}

void SelfLink::forgetPosted()
{
    for (const void *event : m_posted)
        postedEvents.remove(event);
    m_posted.clear();
}

void SelfLink::unposted(int type)
{
    if (!atHome() || m_deletes == 0)
        return;
    if (!type || type == QEvent::DeferredDelete)
        m_deletes = 0;
    update();
}

void SelfLink::deleting(const QScriptValue &inHand)
{
    if (!atHome())
        return;
    ++m_deletes;
    update(inHand);
}

void SelfLink::deleteAnswered(int before)
{
    m_deletes = qMax(0, m_deletes - before);
    update();
}

void SelfLink::filter(QObject *watched, const SelfLink *keeperLink, bool on,
                      const QScriptValue &keeperSelf)
{
    if (!atHome())
        return;
    QObject *formerKeeper = nullptr;
    for (auto it = m_watching.begin(); it != m_watching.end();) {
        if (it->watched && it->watched != watched) {
            ++it;
            continue;
        }
        QObject::disconnect(it->gone);
        if (it->watched)
            formerKeeper = it->keeper;
        it = m_watching.erase(it);
    }
    const bool sameKeeper = keeperLink && keeperLink->m_engine == m_engine && keeperLink->atHome();
    // A keeper lets go of the filter once it keeps it for no watched object (one in hand).
    if (formerKeeper && sameKeeper && keeperLink->m_owner == formerKeeper) {
        const bool still = std::any_of(m_watching.begin(), m_watching.end(), [&](const Watching &w) {
            return w.watched && w.keeper == formerKeeper;
        });
        const QScriptValue target = still ? QScriptValue() : keeperLink->get();
        QScriptValue keeping = target.isObject() ? keepingOf(target, false) : QScriptValue();
        if (keeping.isValid())
            keeping.setProperty(filterKey(m_id), QScriptValue());
    }
    if (on && watched) {
        Watching entry{watched, nullptr, {}};
        if (sameKeeper) {
            const QScriptValue self = get();
            const QScriptValue target = keeperLink->is(keeperSelf) ? keeperSelf : keeperLink->get();
            QScriptValue keeping = target.isObject() && self.isObject() ? keepingOf(target, true)
                                                                         : QScriptValue();
            if (keeping.isValid()) {
                keeping.setProperty(filterKey(m_id), self);
                entry.keeper = const_cast<QObject *>(keeperLink->m_owner);
            }
        }
        if (!entry.keeper && m_owner) {
            // Held natively: until the watched object goes, if nothing lets go before.
            QObject *owner = const_cast<QObject *>(m_owner);
            entry.gone = QObject::connect(watched, &QObject::destroyed, owner, [this, watched] {
                if (atHome())
                    filter(watched, nullptr, false);
            });
        }
        m_watching.push_back(std::move(entry));
    }
    update();
}

std::vector<QObject *> SelfLink::heldNatively() const
{
    std::vector<QObject *> watched;
    for (const Watching &w : m_watching) {
        if (w.watched && !w.keeper)
            watched.push_back(w.watched);
    }
    return watched;
}

bool SelfLink::filtersHeld(const QObject *watched) const
{
    for (const Watching &w : m_watching) {
        if (w.watched == watched && w.keeper)
            return true;
    }
    return false;
}

void SelfLink::leaveHome(QObject *object, bool top)
{
    if (!atHome())
        return;
    const QScriptValue self = get();
    m_reasons = 0;
    m_deletes = 0;
    forgetPosted();
    for (const Watching &w : m_watching)
        QObject::disconnect(w.gone);
    m_watching.clear();
    // Held while what it keeps hears of it (in hand: the values it keeps are readable).
    keepSelf(self);
    leaveKept(object);
    keepSelf(QScriptValue());
    if (self.isObject() && object && alive() && !engineEnding(m_engine)) {
        // Its script object no longer owns it: the collector's sweep would delete it on this
        // thread while it lives on another.
        QScriptValue wrapper = self;
        m_ownership = QScriptEngine::QtOwnership;
        m_engine->newQObject(wrapper, object, m_ownership);
        const QScriptValue keeping = keepingOf(self, false);
        if (keeping.isValid()) {
            Token &token = tokenOf(keeping);
            // Nor does what ends with it (a translator's) delete it here.
            handOver(token.anchor.cell());
            if (top) {
                m_away = std::make_shared<Away>();
                m_away->object = object;
                token.away = m_away;
            }
        }
    }
    m_home.store(nullptr, std::memory_order_release);
}

void SelfLink::ended()
{
    // Off its engine's thread the link is read only once it answers that it left.
    if (!atHome() && m_away) {
        QMutexLocker lock(&m_away->mutex);
        m_away->object = nullptr;
    }
}

bool SelfLink::hold(const SelfLink &child, const QScriptValue &inHand)
{
    if (!alive() || !child.alive() || child.m_engine != m_engine)
        return false;
    const QScriptValue self = is(inHand) ? inHand : get();
    const QScriptValue object = child.get();
    if (!self.isObject() || !object.isObject())
        return false;
    QScriptValue keeping = keepingOf(self, true);
    QScriptValue childKeeping = keepingOf(object, true);
    if (!keeping.isValid() || !childKeeping.isValid())
        return false;
    const QString key = childKey(child.m_id);
    if (!keeping.property(key).isValid()) {
        Token &token = tokenOf(keeping);
        if (++token.children > token.pruneAt)
            prune(keeping, token, m_owner);
    }
    keeping.setProperty(key, object);
    childKeeping.setProperty(parentKey(), self);
    return true;
}

void SelfLink::release(const SelfLink &child)
{
    // The keeper is read through the child (in hand), which holds it: no other way reaches it.
    const QScriptValue object = child.get();
    QScriptValue childKeeping = object.isObject() ? keepingOf(object, false) : QScriptValue();
    if (!childKeeping.isValid())
        return;
    const QScriptValue self = childKeeping.property(parentKey());
    if (!is(self))
        return;
    childKeeping.setProperty(parentKey(), QScriptValue());
    QScriptValue keeping = keepingOf(self, false);
    const QString key = childKey(child.m_id);
    if (!child.m_id || !keeping.isValid() || !keeping.property(key).isValid())
        return;
    keeping.setProperty(key, QScriptValue());
    --tokenOf(keeping).children;
}

QScriptValue SelfLink::swept() const
{
    return atHome() && alive() && !engineEnding(m_engine) ? m_engine->objectById(m_id)
                                                          : QScriptValue();
}

} // namespace kit
