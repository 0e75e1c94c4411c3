// The self link (selflink.h): how it reads its script object, and the holds it takes, some of
// them in script objects' internal data (keeping.h).
#include "plugin/selflink.h"
#include "plugin/busy.h"
#include "plugin/engines.h"
#include "plugin/keeping.h"
#include "plugin/kept.h"
#include "plugin/linked.h"

#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QThread>
#include <QtScript/QScriptValueIterator>

#include <algorithm>
#include <utility>

namespace kit {

namespace {

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

QString wrapperKey(const QObject *object)
{
    return QLatin1Char('w') + QString::number(quintptr(object), 16);
}

// Lets go of held children and wrappers of objects that were deleted or moved elsewhere since.
void prune(const QScriptValue &keeping, Token &token, const QObject *owner)
{
    int left = 0;
    QScriptValueIterator it(keeping);
    while (it.hasNext()) {
        it.next();
        const QChar kind = it.name().at(0);
        if (kind != QLatin1Char('c') && kind != QLatin1Char('w'))
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

// Counts a new held child or wrapper of the keeper's, pruning as they grow.
void counted(const QScriptValue &keeping, const QObject *owner)
{
    Token &token = tokenOf(keeping);
    if (++token.children > token.pruneAt)
        prune(keeping, token, owner);
}

// The family links of `object` (a member's script object) and its keeper's go.
void unlinkFamily(const QScriptValue &object, qint64 id)
{
    QScriptValue childKeeping = object.isObject() ? keepingOf(object, false) : QScriptValue();
    if (!childKeeping.isValid())
        return;
    const QScriptValue keeper = childKeeping.property(parentKey());
    childKeeping.setProperty(parentKey(), QScriptValue());
    QScriptValue keeping = keeper.isObject() ? keepingOf(keeper, false) : QScriptValue();
    const QString key = childKey(id);
    if (!id || !keeping.isValid() || !keeping.property(key).isValid())
        return;
    keeping.setProperty(key, QScriptValue());
    --tokenOf(keeping).children;
}

// The links of this thread whose object the script owns as a family member (see inFamily).
thread_local QSet<SelfLink *> familyOwned;

const SelfLink *keeperLinkOf(const SelfLink *link)
{
    QObject *parent = link->owner() ? link->owner()->parent() : nullptr;
    const Linked *keeper = parent ? keeperOf(parent) : nullptr;
    return keeper ? &keeper->scriptSelf : nullptr;
}

} // namespace

SelfLink::~SelfLink()
{
    if (m_inFamily)
        familyOwned.remove(this);
    for (const Watching &w : m_watching)
        QObject::disconnect(w.gone);
}

void SelfLink::bind(QScriptEngine *engine, QScriptValue &self, const QObject *owner,
                    QScriptEngine::ValueOwnership ownership)
{
    m_engine = engine;
    m_owner = owner;
    m_ownership = ownership;
    m_boundOwnership = ownership;
    m_homeState = &busyState;
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

QScriptValue SelfLink::reparented() const
{
    if (!atHome())
        return QScriptValue();
    if (m_held)
        return kept();
    if (!alive() || engineEnding(m_engine) || collecting() || !Busy::fromNative(m_engine))
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

void SelfLink::own(bool family, const QScriptValue &self)
{
    m_inFamily = family;
    if (family && !m_left)
        familyOwned.insert(this);
    else
        familyOwned.remove(this);
    // A translator's wrapping never owns it (it ends with its script object by other means).
    const QScriptEngine::ValueOwnership ownership =
        family ? QScriptEngine::ScriptOwnership : QScriptEngine::AutoOwnership;
    if (m_ownership == ownership || m_ownership == QScriptEngine::QtOwnership || !m_owner
        || !self.isObject())
        return;
    if (family) {
        // Once per engine: its end lets go of the families that outlive it.
        struct FamilyEnd {};
        engineDataPointer<FamilyEnd>(m_engine, [engine = m_engine] {
            atEngineEnd(engine, [engine] { familyEnds(engine); });
            return std::make_shared<FamilyEnd>();
        });
    }
    QScriptValue wrapper = self;
    m_engine->newQObject(wrapper, const_cast<QObject *>(m_owner), ownership);
    m_ownership = ownership;
}

void SelfLink::familyEnds(QScriptEngine *engine)
{
    // A family whose keeper is held (a parent QtCore or the host made keeps it) outlives the
    // engine: its members are owned by their parents from now on. Their script objects are
    // reachable (through the held keeper), so they can be read.
    std::vector<SelfLink *> outliving;
    for (auto it = familyOwned.begin(); it != familyOwned.end();) {
        SelfLink *link = *it;
        if (link->m_engine != engine) {
            ++it;
            continue;
        }
        bool held = false;
        for (const SelfLink *l = link; l && !held; l = l->m_inFamily ? keeperLinkOf(l) : nullptr)
            held = l->m_held;
        if (held)
            outliving.push_back(link);
        it = familyOwned.erase(it);
    }
    for (SelfLink *link : outliving) {
        QScriptValue wrapper = engine->objectById(link->m_id);
        link->m_ownership = QScriptEngine::AutoOwnership;
        engine->newQObject(wrapper, const_cast<QObject *>(link->m_owner), link->m_ownership);
    }
}

void SelfLink::unbind()
{
    keepSelf(QScriptValue());
    m_alive.reset();
    m_engine = nullptr;
    if (m_away) {
        QMutexLocker lock(&m_away->mutex);
        m_away->engine = nullptr;
    }
}

void SelfLink::holdFor(bool hold, bool timed, const QScriptValue &inHand)
{
    if (!atHome())
        return;
    m_timed = timed;
    if (!hold) {
        keepSelf(QScriptValue());
        return;
    }
    if (held() || !alive() || engineEnding(m_engine))
        return;
    keepSelf(is(inHand) ? inHand : reachable());
}

QScriptValue SelfLink::swept() const
{
    return atHome() && alive() && !engineEnding(m_engine) ? m_engine->objectById(m_id)
                                                          : QScriptValue();
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
            entry.gone = QObject::connect(watched, &QObject::destroyed, owner, [this, owner, watched] {
                if (atHome()) {
                    filter(watched, nullptr, false);
                    settle(owner);
                }
            });
        }
        m_watching.push_back(std::move(entry));
    }
}

bool SelfLink::filtersNatively() const
{
    return std::any_of(m_watching.begin(), m_watching.end(),
                       [](const Watching &w) { return w.watched && !w.keeper; });
}

bool SelfLink::filtersHeld(const QObject *watched) const
{
    for (const Watching &w : m_watching) {
        if (w.watched == watched && w.keeper)
            return true;
    }
    return false;
}

void SelfLink::leaveHome(QObject *object)
{
    if (!atHome())
        return;
    // (Moved by another engine's script: a held child's script object names it.)
    QScriptValue self = get();
    for (QObject *child : object->children()) {
        if (self.isValid())
            break;
        const Linked *member = dynamic_cast<Linked *>(child);
        if (member && member->scriptSelf.boundEngine() == m_engine && member->scriptSelf.held())
            self = keeperNamedBy(member->scriptSelf.get());
    }
    // Its family no longer owns it (nor any set of this thread lists it); it stays a member of
    // the family's script objects.
    familyOwned.remove(this);
    m_left = true;
    m_homeward.store(false, std::memory_order_relaxed);
    m_timed = false;
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
        const QScriptValue keeping = keepingOf(self, true);
        if (keeping.isValid()) {
            Token &token = tokenOf(keeping);
            // Nor does what ends with it (a translator's) delete it here.
            handOver(token.anchor.cell());
            const std::shared_ptr<Away> &away = lifeline();
            {
                QMutexLocker lock(&away->mutex);
                away->byToken = true;
                away->engine = m_engine;
            }
            token.away = away;
            listAway(m_engine, m_id, m_alive, away);
        }
    }
    m_home.store(nullptr, std::memory_order_release);
}

bool SelfLink::cameBack() const
{
    // Its engine's thread reads it: nothing else does once the object lives here again. Until
    // it heard of a move elsewhere, it is still leaving (other objects of the same move hear of
    // it first, and their overrides may read it).
    if (!m_homeward.load(std::memory_order_acquire) || !m_owner
        || m_owner->thread() != QThread::currentThread() || !alive() || engineEnding(m_engine))
        return false;
    m_home.store(&busyState, std::memory_order_release);
    return true;
}

bool SelfLink::handOverDue(const QObject *object)
{
    const void *from = m_movedFrom.load(std::memory_order_acquire);
    if (Q_LIKELY(from == &m_movedFrom))
        return false;
    // Still on the thread it leaves (a move under way): the call is not there yet.
    const QThread *here = QThread::currentThread();
    if (from == here || object->thread() != here)
        return false;
    m_movedFrom.store(&m_movedFrom, std::memory_order_relaxed);
    return true;
}

void SelfLink::comeHome(const QScriptValue &self)
{
    m_left = false;
    // A translator's wrapping never owns it: it goes as one that left does (deleteThere), never
    // deleted by the collector during a translation.
    if (m_boundOwnership == QScriptEngine::QtOwnership || !is(self) || !m_owner)
        return;
    bool familyLeft = false;
    if (m_away) {
        // Collected, the collector deletes it here again.
        QMutexLocker lock(&m_away->mutex);
        m_away->byToken = false;
        familyLeft = std::exchange(m_away->familyLeft, false);
    }
    if (familyLeft)
        leaveFamily(self);
    QScriptValue wrapper = self;
    m_ownership = m_boundOwnership;
    m_engine->newQObject(wrapper, const_cast<QObject *>(m_owner), m_ownership);
    if (m_inFamily)
        own(true, self);
}

const std::shared_ptr<Away> &SelfLink::lifeline()
{
    if (!m_away)
        m_away = std::make_shared<Away>(const_cast<QObject *>(m_owner));
    return m_away;
}

void SelfLink::ended()
{
    // Off its engine's thread the link is read only once it answers that it left: this load
    // acquires what leaving published. One that came back (a translator) still has its record.
    m_home.load(std::memory_order_acquire);
    if (m_away) {
        QMutexLocker lock(&m_away->mutex);
        m_away->object = nullptr;
    }
}

bool SelfLink::hold(SelfLink &child, const QScriptValue &inHand)
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
    if (!keeping.property(key).isValid())
        counted(keeping, m_owner);
    keeping.setProperty(key, object);
    childKeeping.setProperty(parentKey(), self);
    child.own(true, object);
    return true;
}

void SelfLink::release(SelfLink &child, const QScriptValue &childSelf)
{
    // The keeper is read through the child (in hand), which holds it: no other way reaches it.
    const QScriptValue object = child.is(childSelf) ? childSelf : child.get();
    QScriptValue childKeeping = object.isObject() ? keepingOf(object, false) : QScriptValue();
    if (!childKeeping.isValid())
        return;
    const QScriptValue self = childKeeping.property(parentKey());
    if (!is(self))
        return;
    child.own(false, object);
    unlinkFamily(object, child.m_id);
}

void SelfLink::leaveFamily(const QScriptValue &self)
{
    unlinkFamily(self, m_id);
    m_inFamily = false;
}

void SelfLink::familyLeftAway()
{
    QScriptEngine *engine = nullptr;
    if (m_away) {
        QMutexLocker lock(&m_away->mutex);
        m_away->familyLeft = true;
        engine = m_away->engine;
    }
    if (engine)
        probeSoon(engine);
}

QScriptValue SelfLink::keeperNamedBy(const QScriptValue &member) const
{
    const QScriptValue keeping = member.isObject() ? keepingOf(member, false) : QScriptValue();
    const QScriptValue keeper = keeping.isValid() ? keeping.property(parentKey()) : QScriptValue();
    return is(keeper) ? keeper : QScriptValue();
}

QScriptValue SelfLink::familyWrapper(QObject *object, const QScriptValue &self,
                                     QScriptEngine::QObjectWrapOptions options)
{
    QScriptValue keeping = keepingOf(self, true);
    const QString key = wrapperKey(object);
    QScriptValue wrapper = keeping.property(key);
    if (wrapper.isQObject() && wrapper.toQObject() == object)
        return wrapper;
    if (!wrapper.isValid())
        counted(keeping, m_owner);
    wrapper = m_engine->newQObject(object, QScriptEngine::QtOwnership, options);
    QScriptValue wrapperKeeping = keepingOf(wrapper, true);
    if (!wrapperKeeping.isValid())
        return wrapper;
    wrapperKeeping.setProperty(parentKey(), self);
    keeping.setProperty(key, wrapper);
    return wrapper;
}

} // namespace kit
