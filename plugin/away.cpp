#include "plugin/away.h"
#include "plugin/busy.h"
#include "plugin/engines.h"

#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtScript/QScriptEngine>

#include <algorithm>
#include <vector>

namespace kit {

namespace {

// What a moved object's script object wraps during a collection that may take it (see away.h).
class StandIn : public QObject
{
public:
    StandIn(QScriptEngine *engine, std::shared_ptr<Away> away)
        : m_engine(engine), m_away(std::move(away))
    {}
    ~StandIn() override
    {
        if (m_collected)
            lettingGo();
    }
    // Its script object was not collected: it wraps its object again, this goes quietly.
    void survived() { m_collected = false; }

private:
    void lettingGo()
    {
        // Its object cannot end meanwhile: ending, it clears the record under the lock first.
        QMutexLocker lock(&m_away->mutex);
        QObject *object = m_away->object;
        if (!object || !m_engine)
            return;
        // QtScript's record of the object exists exactly while QtScript watches its destruction.
        if (QObject::disconnect(object, SIGNAL(destroyed(QObject*)), m_engine,
                                SLOT(_q_objectDestroyed(QObject*))))
            QMetaObject::invokeMethod(m_engine, "_q_objectDestroyed", Qt::DirectConnection,
                                      Q_ARG(QObject *, object));
        if (m_away->top)
            object->deleteLater();
    }

    QPointer<QScriptEngine> m_engine;
    std::shared_ptr<Away> m_away;
    bool m_collected = true;
};

struct Held {
    QScriptValue self;
    std::shared_ptr<Away> away;
};

// First wait for a probe of those left; it doubles while some stay, up to the longest.
constexpr int FirstWait = 1000, LongestWait = 64000;

struct AwayList {
    std::vector<Held> held;
    size_t probeAt = 16;    // soon, once this many are held
    bool soon = false;
    bool later = false;     // at a timer's end
    int wait = FirstWait;
};

// Gone, or back on the engine's thread (which holds it by other means from now on).
bool leftForGood(const Away &away)
{
    QMutexLocker lock(&const_cast<QBasicMutex &>(away.mutex));
    return away.object && away.object->thread() != QThread::currentThread();
}

void probe(QScriptEngine *engine);

// Probes soon (their number doubled), or after a while (some are left).
void ask(QScriptEngine *engine, AwayList &list)
{
    if (list.held.size() >= list.probeAt) {
        if (!list.soon) {
            list.soon = true;
            QMetaObject::invokeMethod(engine, [engine] { probe(engine); }, Qt::QueuedConnection);
        }
    } else if (!list.held.empty() && !list.later) {
        list.later = true;
        QTimer::singleShot(list.wait, engine, [engine] { probe(engine); });
    }
}

void probe(QScriptEngine *engine)
{
    AwayList *list = engineDataPointer<AwayList>(engine, [] { return nullptr; });
    if (!list)
        return;
    list->soon = list->later = false;
    if (engineEnding(engine) || collecting())
        return;
    std::vector<Held> held;
    held.swap(list->held);
    held.erase(std::remove_if(held.begin(), held.end(),
                              [](const Held &h) { return !leftForGood(*h.away); }),
               held.end());
    // Nothing to probe costs no collection.
    if (held.empty())
        return;
    struct Probed {
        qint64 id;
        QPointer<StandIn> standIn;
        std::shared_ptr<Away> away;
        QPointer<QObject> object;
    };
    std::vector<Probed> probed;
    for (Held &h : held) {
        auto *standIn = new StandIn(engine, h.away);
        QPointer<QObject> object;
        {
            QMutexLocker lock(&h.away->mutex);
            object = h.away->object;
        }
        engine->newQObject(h.self, standIn, QScriptEngine::ScriptOwnership);
        probed.push_back(Probed{h.self.objectId(), standIn, h.away, object});
    }
    held.clear();
    engine->collectGarbage();
    for (const Probed &p : probed) {
        if (!p.standIn)
            continue;
        // Whatever the full collection left is reachable: read by id.
        QScriptValue self = engine->objectById(p.id);
        engine->newQObject(self, p.object.data(), QScriptEngine::QtOwnership);
        p.standIn->survived();
        delete p.standIn.data();
        list->held.push_back(Held{self, p.away});
    }
    list->probeAt = std::max<size_t>(16, 2 * list->held.size());
    list->wait = list->held.empty() ? FirstWait : std::min(2 * list->wait, LongestWait);
    ask(engine, *list);
}

} // namespace

void holdAway(const QScriptValue &self, const std::shared_ptr<Away> &away)
{
    QScriptEngine *engine = self.engine();
    AwayList *list = engine ? engineDataPointer<AwayList>(
                                  engine, [] { return std::make_shared<AwayList>(); })
                            : nullptr;
    if (!list)
        return;
    list->held.push_back(Held{self, away});
    ask(engine, *list);
}

} // namespace kit
