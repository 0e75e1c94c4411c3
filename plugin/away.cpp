#include "plugin/away.h"
#include "plugin/busy.h"
#include "plugin/engines.h"
#include "plugin/linked.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtCore/QSet>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

namespace kit {

namespace {

// Asks for the deletion of an object again once every engine it waited for let go of its records
// (the last of the calls that hold it has run, or gone with its engine).
class AskAgain
{
public:
    explicit AskAgain(std::shared_ptr<Away> away) : m_away(std::move(away)) {}
    ~AskAgain()
    {
        // (Not as the application ends: QtCore drops the calls that waited under its lock.)
        if (m_away && !QCoreApplication::closingDown())
            deleteThere(m_away, true);
    }
    // Nothing waited.
    void cancel() { m_away.reset(); }
    const std::shared_ptr<Away> &away() const { return m_away; }
    AskAgain(const AskAgain &) = delete;
    AskAgain &operator=(const AskAgain &) = delete;

private:
    std::shared_ptr<Away> m_away;
};

// Records another thread claimed, whose engine's thread has not dropped them yet: whichever of
// its calls comes first drops each (a collection that takes the script object must, at once), then
// lets go of the deletions that waited for it (each is asked for again once none waits).
using Waiting = std::vector<std::shared_ptr<AskAgain>>;
struct Claimed {
    QBasicMutex mutex;
    QHash<QPair<const QScriptEngine *, const QObject *>, Waiting> records;
};
Claimed &claimed()
{
    static Claimed *const c = new Claimed;
    return *c;
}
// Claims the record of `object` in `engine` (its watch of the object's destruction is cut), or
// finds it claimed earlier and not dropped yet: `again` waits for its drop, and the result is
// true. `fresh` tells whether the claim is this call's (its caller has it dropped). One claim at a
// time, under the lock: QtCore's disconnect may tell two threads that race both that they cut it.
bool claim(QScriptEngine *engine, QObject *object, const std::shared_ptr<AskAgain> &again,
           bool *fresh)
{
    const auto key = qMakePair<const QScriptEngine *, const QObject *>(engine, object);
    QMutexLocker lock(&claimed().mutex);
    auto it = claimed().records.find(key);
    *fresh = false;
    if (it == claimed().records.end()) {
        if (!claimRecord(object, engine))
            return false;
        it = claimed().records.insert(key, Waiting());
        *fresh = true;
    }
    it->push_back(again);
    return true;
}
// A record claimed there, taken once: the caller drops it, then lets the waiting go.
struct Claim {
    bool taken = false;
    Waiting waiting;
};
Claim takeClaimed(QScriptEngine *engine, QObject *object)
{
    QMutexLocker lock(&claimed().mutex);
    const auto it = claimed().records.find(qMakePair<const QScriptEngine *, const QObject *>(engine, object));
    if (it == claimed().records.end())
        return Claim();
    Claim claim{true, std::move(it.value())};
    claimed().records.erase(it);
    return claim;
}

// The records an engine of another thread claimed, dropped on the engine's thread (an engine that
// ends drops its records itself; what waited for them then goes on as well).
class Drops
{
public:
    Drops(QScriptEngine *engine, std::vector<QObject *> objects)
        : m_engine(engine), m_objects(std::move(objects))
    {}
    ~Drops()
    {
        for (QObject *o : m_objects)
            takeClaimed(m_engine, o);
    }
    Drops(const Drops &) = delete;
    Drops &operator=(const Drops &) = delete;
    void run()
    {
        for (QObject *o : m_objects) {
            const Claim claim = takeClaimed(m_engine, o);
            if (claim.taken && !engineEnding(m_engine))
                dropRecord(o, m_engine);
        }
    }

private:
    QScriptEngine *const m_engine;
    const std::vector<QObject *> m_objects;
};

// What QtScript does as an object's destruction reaches an engine of another thread (it drops
// its record of the object, with the reports of its signals still queued to the handlers), posted
// ahead of those reports: they would reach QtScript first, which reads their sender, gone by then.
class DropAhead : public QEvent
{
public:
    DropAhead(QScriptEngine *engine, QObject *object)
        : QEvent(Type), m_engine(engine), m_object(object)
    {}
    ~DropAhead() override
    {
        // Delivered, or dropped there (the engine ending lets go of its records itself).
        const Claim claim = takeClaimed(m_engine, m_object);
        if (claim.taken && m_engine->thread() == QThread::currentThread() && !engineEnding(m_engine))
            dropRecord(m_object, m_engine);
    }

private:
    static const QEvent::Type Type;
    QScriptEngine *const m_engine;
    QObject *const m_object;
};
const QEvent::Type DropAhead::Type = QEvent::Type(QEvent::registerEventType());

// The objects whose records the stand-ins a collection took claimed: dropped once it is over
// (QtScript's records never go inside its own sweep), before any report to them can arrive (no
// turn of the event loop comes between).
thread_local std::vector<QObject *> swept;
void dropSwept(QScriptEngine *engine)
{
    std::vector<QObject *> objects;
    objects.swap(swept);
    if (!objects.empty())
        Drops(engine, std::move(objects)).run();
}

// What a moved object's script object wraps during a collection that may take it (see away.h).
class StandIn : public QObject
{
public:
    StandIn(QScriptEngine *engine, std::shared_ptr<Away> away)
        : m_engine(engine), m_away(std::move(away))
    {}
    ~StandIn() override
    {
        if (!m_collected)
            return;
        // The engine's record of the object would read the collected script object as its
        // sender's: claimed here or there already (the token of the script object deletes the
        // object, which waits for the claim), it goes right after this collection (see swept).
        QMutexLocker lock(&m_away->mutex);
        QObject *object = m_away->object;
        bool fresh = false;
        if (object && m_engine && claim(m_engine, object, nullptr, &fresh))
            swept.push_back(object);
    }
    // Its script object was not collected: it wraps its object again, this goes quietly.
    void survived() { m_collected = false; }

private:
    QPointer<QScriptEngine> m_engine;
    std::shared_ptr<Away> m_away;
    bool m_collected = true;
};

struct Listed {
    qint64 id;
    std::shared_ptr<bool> alive;
    std::shared_ptr<Away> away;
};

// First wait for a probe of those left; it doubles while some stay, up to the longest.
constexpr int FirstWait = 1000, LongestWait = 64000;

struct AwayList {
    std::vector<Listed> listed;
    size_t probeAt = 16;    // soon, once this many are listed
    bool soon = false;
    int wait = FirstWait;
    std::unique_ptr<QTimer> later;
};

// Listed while its script object lives and it is away from the engine's thread.
bool stillAway(const Listed &l)
{
    if (!*l.alive)
        return false;
    QMutexLocker lock(&l.away->mutex);
    return l.away->object && l.away->object->thread() != QThread::currentThread();
}

void prune(AwayList &list)
{
    list.listed.erase(std::remove_if(list.listed.begin(), list.listed.end(),
                                     [](const Listed &l) { return !stillAway(l); }),
                      list.listed.end());
}

void probe(QScriptEngine *engine);

// Probes soon (their number doubled), or after a while (some are left).
void ask(QScriptEngine *engine, AwayList &list)
{
    if (list.listed.size() >= list.probeAt) {
        if (!list.soon) {
            list.soon = true;
            postCall(engine, [engine] { probe(engine); });
        }
    } else if (!list.listed.empty() && !list.later->isActive()) {
        list.later->start(list.wait);
    }
}

// An object that left its family while away lets go of the family's links (`self` its script
// object, read where it is known reachable).
void familyLeftAway(const QScriptValue &self, Away &away)
{
    QMutexLocker lock(&away.mutex);
    if (!std::exchange(away.familyLeft, false) || !away.object)
        return;
    if (Linked *linked = dynamic_cast<Linked *>(away.object))
        linked->scriptSelf.leaveFamily(self);
}

// The collector scans the native stack for anything that looks like a cell's address, and an id
// is one: the stack the stand-ins were made on is cleared before the collection, so that no id
// left there keeps its script object (and what its handlers reach).
Q_NEVER_INLINE void scrub()
{
    char junk[32 * 1024];
    memset(junk, 0, sizeof junk);
    asm volatile("" : : "r"(junk) : "memory");
}

struct Probed {
    Listed listed;
    QPointer<StandIn> standIn;
};
// Each listed script object wraps a stand-in (in a frame of its own: see scrub).
Q_NEVER_INLINE std::vector<Probed> standIns(QScriptEngine *engine, AwayList *list)
{
    std::vector<Probed> probed;
    for (const Listed &l : list->listed) {
        // Read just before its id: the collector may reuse a collected one's (the allocations of
        // this loop may collect too).
        if (!stillAway(l))
            continue;
        QScriptValue self = engine->objectById(l.id);
        familyLeftAway(self, *l.away);
        auto *standIn = new StandIn(engine, l.away);
        engine->newQObject(self, standIn, QScriptEngine::ScriptOwnership);
        probed.push_back(Probed{l, standIn});
    }
    list->listed.clear();
    return probed;
}

void probe(QScriptEngine *engine)
{
    AwayList *list = engineDataPointer<AwayList>(engine, [] { return nullptr; });
    if (!list)
        return;
    list->soon = false;
    list->later->stop();
    if (collecting())
        return;
    prune(*list);
    // Nothing to probe costs no collection.
    if (list->listed.empty()) {
        list->wait = FirstWait;
        return;
    }
    // What no script reaches goes first; whatever is left can be read by id.
    engine->collectGarbage();
    const std::vector<Probed> probed = standIns(engine, list);
    scrub();
    engine->collectGarbage();
    dropSwept(engine);
    for (const Probed &p : probed) {
        if (!p.standIn)
            continue;
        QScriptValue self = engine->objectById(p.listed.id);
        {
            // (One its thread deleted meanwhile reads as deleted once its stand-in goes.)
            QMutexLocker lock(&p.listed.away->mutex);
            if (p.listed.away->object)
                engine->newQObject(self, p.listed.away->object, QScriptEngine::QtOwnership);
        }
        p.standIn->survived();
        delete p.standIn.data();
        list->listed.push_back(p.listed);
    }
    list->probeAt = std::max<size_t>(16, 2 * list->listed.size());
    list->wait = list->listed.empty() ? FirstWait : std::min(2 * list->wait, LongestWait);
    ask(engine, *list);
}

// A deletion the plugin asked for: it tells when it ends, delivered or not (consumed by a filter,
// taken out of the queue); one that reached its object was struck off the list before.
class AskedDeletion : public QDeferredDeleteEvent
{
public:
    explicit AskedDeletion(std::shared_ptr<std::atomic<bool>> ended) : m_ended(std::move(ended)) {}
    ~AskedDeletion() override { m_ended->store(true); }

private:
    const std::shared_ptr<std::atomic<bool>> m_ended;
};

// The deletions the plugin asked for on this thread, asked for again a second after one ended
// without reaching its object: a script or the host may take them out of the queue
// (removePostedEvents, a filter that consumes them), as QtCore would let it; once it stops, they
// arrive. One still queued waits for its turn (QtCore's loop-level rules decide it).
// (`owned`: even once the object has a parent.)
struct Asked {
    std::shared_ptr<Away> away;
    bool owned;
    std::shared_ptr<std::atomic<bool>> ended;
};
thread_local std::vector<Asked> asked;
thread_local Backoff retry([] { return asked.size(); }, askDeletionsAgain, 1000);

// Asks QtCore to delete the object at a turn of its event loop (a deletion removed from the queue
// before would have it drop this one as a repeat).
void postDeletion(QObject *object, Asked &entry)
{
    deletionConsumed(object);
    entry.ended = std::make_shared<std::atomic<bool>>(false);
    QCoreApplication::postEvent(object, new AskedDeletion(entry.ended));
}

// On the object's thread: deleted (unless it has a parent and `owned` is false).
void deleteHere(QObject *object, const std::shared_ptr<Away> &away, bool owned)
{
    if (object->parent() && !owned)
        return;
    auto it = std::find_if(asked.begin(), asked.end(), [&](const Asked &a) { return a.away == away; });
    if (it == asked.end())
        it = asked.insert(asked.end(), Asked{away, owned, nullptr});
    else
        it->owned = it->owned || owned;
    postDeletion(object, *it);
    // (A thread that finishes delivers it as it ends, and keeps no timer.)
    if (!QThread::currentThread()->isFinished()) {
        retry.wake();
        return;
    }
    // But not one asked for while QtCore runs those last deletions: the application's thread
    // asks for it again once this one has finished (it goes there, unless started again first).
    QCoreApplication *const app = QCoreApplication::instance();
    if (app && app->thread() != QThread::currentThread())
        postCall(app, [away, owned] { deleteThere(away, owned); });
}

// Deletions sent to a thread that runs, until they arrive there: those left as it finishes are
// asked for there and then (see finishing).
struct Sent {
    Sent(QThread *thread, std::shared_ptr<Away> away, bool owned)
        : thread(thread), away(std::move(away)), owned(owned)
    {}
    // Once: where it arrives, or as its thread finishes.
    bool take() { return !taken.exchange(true); }
    QThread *const thread;
    const std::shared_ptr<Away> away;
    const bool owned;
    std::atomic<bool> taken{false};
};

// Threads that may end with deletions sent to them, and those deletions (each held by the call
// that brings it, which goes unrun with its object). Its lock is held by a deletion of an object
// of another thread (Crossing) and by a start of such a thread, which waits.
using SentList = std::vector<std::weak_ptr<Sent>>;
struct Ends {
    QRecursiveMutex mutex;
    QSet<const QThread *> watched;
    QHash<const QThread *, SentList> sent;
};
Ends &ends()
{
    static Ends *const e = new Ends;
    return *e;
}

void finishing(QThread *thread);

// An object whose deletion waits (for engines elsewhere) on its own thread as that thread
// finishes: nothing asks for it there again, and the thread's dispatcher goes with what is
// registered there (timers, notifiers), which QtCore could then take down on no other thread.
// Taken off the thread (to none, as its own thread may take it), its timers and notifiers are
// taken down here, and the deletion asked for again brings it where it is asked for.
void leaveEndingThread(QObject *object)
{
    QThread *const here = QThread::currentThread();
    if (!object->parent() && object->thread() == here && here->isFinished())
        object->moveToThread(nullptr);
}

// The objects whose deletions wait for records claimed (any thread's).
std::vector<std::shared_ptr<Away>> waitingForRecords()
{
    std::vector<std::shared_ptr<Away>> found;
    QMutexLocker lock(&claimed().mutex);
    for (const Waiting &waiting : qAsConst(claimed().records)) {
        for (const std::shared_ptr<AskAgain> &again : waiting) {
            if (again && again->away()
                && std::find(found.begin(), found.end(), again->away()) == found.end())
                found.push_back(again->away());
        }
    }
    return found;
}

// Under the lock: the thread's start and end are heard of, on the thread itself (emitted there).
void watchEnds(QThread *thread)
{
    Ends &e = ends();
    if (e.watched.contains(thread))
        return;
    e.watched.insert(thread);
    QObject::connect(thread, &QThread::started, [] { QMutexLocker lock(&ends().mutex); });
    QObject::connect(thread, &QThread::finished, [thread] { finishing(thread); });
    QObject::connect(thread, &QObject::destroyed, [thread] {
        QMutexLocker lock(&ends().mutex);
        ends().watched.remove(thread);
        ends().sent.remove(thread);
    });
}

// Under the lock: a deletion sent to `thread` is struck off (null: none), with those whose
// calls went unrun with their objects.
void strikeOff(const QThread *thread, const Sent *sent)
{
    const auto it = ends().sent.find(thread);
    if (it == ends().sent.end())
        return;
    it->erase(std::remove_if(it->begin(), it->end(),
                             [sent](const std::weak_ptr<Sent> &w) {
                                 const std::shared_ptr<Sent> s = w.lock();
                                 return !s || s.get() == sent;
                             }),
              it->end());
    if (it->empty())
        ends().sent.erase(it);
}

// On the thread, as it finishes (its finished signal): the deletions sent to it that have not
// arrived are asked for here, and QtCore delivers them right after, with the thread's last
// deletions (its posted calls, never). Still queued, a call that brought one finds it taken.
void finishing(QThread *thread)
{
    for (const std::shared_ptr<Away> &away : waitingForRecords()) {
        QMutexLocker lock(&away->mutex);
        QObject *object = away->object;
        if (!object || object->thread() != thread)
            continue;
        lock.unlock();
        leaveEndingThread(object);
    }
    std::vector<std::shared_ptr<Sent>> left;
    {
        QMutexLocker lock(&ends().mutex);
        for (const std::weak_ptr<Sent> &w : ends().sent.take(thread)) {
            if (std::shared_ptr<Sent> s = w.lock())
                left.push_back(std::move(s));
        }
    }
    for (const std::shared_ptr<Sent> &s : left) {
        if (!s->take())
            continue;
        QMutexLocker lock(&s->away->mutex);
        QObject *object = s->away->object;
        if (!object)
            continue;
        const bool here = object->thread() == thread;
        lock.unlock();
        if (here)
            deleteHere(object, s->away, s->owned);
        else
            deleteThere(s->away, s->owned);
    }
}

// Its thread ended (threadEnded): deleted here, unless `owned` is false and it has a parent by
// then. One whose thread runs again (or that went elsewhere) is asked for there.
void deleteEnded(const std::shared_ptr<Away> &away, bool owned)
{
    QMutexLocker ended(&ends().mutex);
    QMutexLocker lock(&away->mutex);
    QObject *object = away->object;
    if (!object)
        return;
    QThread *const thread = object->thread();
    if (!thread || thread == QThread::currentThread() || !threadEnded(thread)) {
        lock.unlock();
        deleteThere(away, owned);
        return;
    }
    if (object->parent() && !owned)
        return;
    // (Its destruction clears the lifeline under its lock; nothing else deletes it meanwhile.)
    lock.unlock();
    delete object;
}

// An object of no thread is brought here (QtCore lets any thread take one), unless it ended.
void bring(const std::shared_ptr<Away> &away)
{
    QMutexLocker lock(&away->mutex);
    if (away->object && !away->object->thread())
        away->object->moveToThread(QThread::currentThread());
}

} // namespace

bool threadEnded(QThread *thread)
{
    QMutexLocker lock(&ends().mutex);
    // (Heard of first: a start from now on waits for the lock.)
    watchEnds(thread);
    return thread->wait(0);
}

Crossing::Crossing(const QObject *object)
{
    QThread *const thread = object->thread();
    if (thread && thread != QThread::currentThread()) {
        ends().mutex.lock();
        m_held = true;
    }
}

Crossing::~Crossing()
{
    if (m_held)
        ends().mutex.unlock();
}

void deleteThere(const std::shared_ptr<Away> &away, bool owned)
{
    QMutexLocker ended(&ends().mutex);
    QMutexLocker lock(&away->mutex);
    QObject *object = away->object;
    if (!object)
        return;
    if (!object->thread()) {
        // Nothing delivers its events: brought to this thread at its next turn (QtCore lets any
        // thread take an object of none), or now where this thread finishes (no turn comes; the
        // deletion asked for here arrives with the deletions QtCore runs as it finishes).
        if (!QThread::currentThread()->isFinished()) {
            postCall(localReceiver(), [away, owned] {
                bring(away);
                deleteThere(away, owned);
            });
            return;
        }
        bring(away);
        object = away->object;
        if (!object || object->thread() != QThread::currentThread())
            return;
    }
    QThread *const thread = object->thread();
    if (thread == QThread::currentThread()) {
        // (Only this thread deletes it now; what deleting it later starts may deliver events.)
        lock.unlock();
        ended.unlock();
        deleteHere(object, away, owned);
        return;
    }
    if (Busy::marked(object)) {
        // It moved there under a call here, which still works on it (the host's move, say).
        lock.unlock();
        ended.unlock();
        deletionWaitsHere(away);
        return;
    }
    if (threadEnded(thread)) {
        // Nothing delivers it there: deleted here, at a turn of the loop (a collection may be
        // under way now).
        postCall(localReceiver(), [away, owned] { deleteEnded(away, owned); });
        return;
    }
    if (thread->isFinished()) {
        // Finishing there, past its last deliveries perhaps: asked for again once it ended.
        runLater([away, owned] { deleteThere(away, owned); });
        return;
    }
    // Its thread tells whether the host gave it a parent there meanwhile.
    auto sent = std::make_shared<Sent>(thread, away, owned);
    // (Those whose calls went unrun are struck off as their number doubles.)
    const size_t listed = ends().sent[thread].size();
    if (listed >= 16 && !(listed & (listed - 1)))
        strikeOff(thread, nullptr);
    ends().sent[thread].push_back(sent);
    postCall(object, [object, sent] {
        if (!sent->take())
            return;
        {
            QMutexLocker lock(&ends().mutex);
            strikeOff(sent->thread, sent.get());
        }
        deleteHere(object, sent->away, sent->owned);
    });
}

void probeSoon(QScriptEngine *engine)
{
    withEngine(engine, [](QScriptEngine *e) { postCall(e, [e] { probe(e); }); });
}

void askDeletionsAgain()
{
    std::vector<Asked> elsewhere;
    for (auto it = asked.begin(); it != asked.end();) {
        QMutexLocker lock(&it->away->mutex);
        QObject *object = it->away->object;
        // Gone, or another thread's now: a deletion still queued went with it, one that ended
        // without arriving is asked for there. Of no thread, nothing delivers it: brought here.
        if (!object || object->thread() != QThread::currentThread()) {
            if (object && (it->ended->load() || !object->thread()))
                elsewhere.push_back(*it);
            lock.unlock();
            it = asked.erase(it);
            continue;
        }
        if (it->ended->load() && (it->owned || !object->parent()))
            postDeletion(object, *it);
        ++it;
    }
    // (Once the list is read: it may come back meanwhile, and be listed here again.)
    for (const Asked &a : elsewhere)
        deleteThere(a.away, a.owned);
}

void deletionArrived(const QObject *object)
{
    for (auto it = asked.begin(); it != asked.end(); ++it) {
        QMutexLocker lock(&it->away->mutex);
        if (it->away->object == object) {
            lock.unlock();
            asked.erase(it);
            return;
        }
    }
}

void listAway(QScriptEngine *engine, qint64 id, const std::shared_ptr<bool> &alive,
              const std::shared_ptr<Away> &away)
{
    AwayList *list = engineDataPointer<AwayList>(engine, [engine] {
        auto made = std::make_shared<AwayList>();
        // Not the engine's child: no script may reach it.
        made->later = std::make_unique<QTimer>();
        made->later->setSingleShot(true);
        QObject::connect(made->later.get(), &QTimer::timeout, engine, [engine] { probe(engine); });
        return made;
    });
    if (!list)
        return;
    // One entry a script object: it may leave again before a probe. (An entry of a collected
    // one whose cell this one took is replaced.)
    const auto it = std::find_if(list->listed.begin(), list->listed.end(),
                                 [id](const Listed &l) { return l.id == id; });
    if (it == list->listed.end())
        list->listed.push_back(Listed{id, alive, away});
    else if (it->alive != alive)
        *it = Listed{id, alive, away};
    ask(engine, *list);
}

bool awaitRecords(QObject *object, const std::shared_ptr<Away> &away)
{
    QList<QObject *> tree = object->findChildren<QObject *>();
    tree.prepend(object);
    const auto again = std::make_shared<AskAgain>(away);
    bool waiting = false;
    forOtherEngines([&](QScriptEngine *engine) {
        // The watch of a destruction cut here (the objects live on this thread) is the claim: the
        // engine's own thread removes the records (their reports still queued there go with them).
        // A record claimed before and not yet dropped is waited for too (a second deletion
        // asked for meanwhile).
        std::vector<QObject *> recorded;
        for (QObject *o : tree) {
            bool fresh = false;
            if (claim(engine, o, again, &fresh))
                waiting = true;
            if (fresh)
                recorded.push_back(o);
        }
        if (recorded.empty())
            return;
        auto drops = std::make_shared<Drops>(engine, std::move(recorded));
        postCall(engine, [drops] { drops->run(); });
    });
    if (!waiting) {
        again->cancel();
        return false;
    }
    deletionConsumed(object);
    // (Its thread may finish before the engines have let go: heard of then.)
    {
        QMutexLocker lock(&ends().mutex);
        watchEnds(object->thread());
    }
    leaveEndingThread(object);
    return true;
}

void dropRecordsAhead(QObject *object)
{
    forOtherEngines([object](QScriptEngine *engine) {
        bool fresh = false;
        if (claim(engine, object, nullptr, &fresh) && fresh)
            QCoreApplication::postEvent(engine, new DropAhead(engine, object), Qt::HighEventPriority);
    });
}

void dropRecordsHere(QObject *object)
{
    forEnginesHere([object](QScriptEngine *engine) {
        bool fresh = false;
        if (!engineEnding(engine) && claim(engine, object, nullptr, &fresh) && takeClaimed(engine, object).taken)
            dropRecord(object, engine);
    });
}

} // namespace kit
