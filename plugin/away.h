// Objects on other threads than their engine's, and deletions across threads.
//
// QtScript records, per engine, each object it wrapped and the connections of its signals to
// script functions. A signal emitted on the object's thread reaches an engine of another thread as
// a report queued to that engine's record, which reads its sender when it arrives. So no object
// that an engine of another thread records may be deleted: first each such engine lets go of its
// records on its own thread (deleting a record cuts its connections and drops the reports still
// queued to it), then the object goes (awaitRecords).
//
// Its script object no longer owns an object that left its engine's thread (SelfLink::leaveHome):
// the collector's sweep must not delete it here while it lives there. Once the script object is
// collected, the object is deleted on its own thread (deleteThere). But QtScript keeps the script
// object of an object it does not own for as long as the object has a connection to a script
// function. So at times (as their number doubles, or a while after the last probe left some) a
// full collection finds those no script reaches: for that collection each script object wraps a
// stand-in of the engine's thread that the script owns; the collector deletes the stand-ins of
// those it takes, and each removes the engine's record of its object. The others wrap their
// objects again.
#ifndef QTCORE_PLUGIN_AWAY_H
#define QTCORE_PLUGIN_AWAY_H

#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtCore/QThread>
#include <QtScript/QScriptValue>

#include <memory>

QT_BEGIN_NAMESPACE
class QScriptEngine;
QT_END_NAMESPACE

namespace kit {

// A script-made object as any thread may reach it: its shell clears `object` under the lock as it
// ends, so that while the lock is held the object lives. (Recursive: an object of no thread is
// taken under it, and what its move delivers here may reach it again: a deletion asked for anew.)
struct Away {
    explicit Away(QObject *object) : object(object) {}
    QRecursiveMutex mutex;
    QObject *object;
    // It left its engine's thread: deleted once its script object goes (deleteThere), unless the
    // collector deletes it there again (it came back) or it has a parent by then.
    bool byToken = false;
    // The engine whose script object it left (only compared, under the registry's lock: see
    // onEngineThread), until the link lets go of it.
    QScriptEngine *engine = nullptr;
    // Away, it left its script family (its parent there heard of it): the engine's thread lets go
    // of the family's links.
    bool familyLeft = false;
};

// Deletes the object on its own thread (deleteLater), unless it ended or, `owned` false, has a
// parent there by then; one with no thread is first brought to this one, where QtCore lets it
// come, and one whose thread ended (threadEnded) is deleted here at the next turn of the loop.
// Every deletion the plugin asks for goes through here: one that ends without reaching the
// object (consumed, taken out of the queue) is asked for again a second later, and one sent to a
// thread that finishes before it arrives is asked for there as it finishes.
void deleteThere(const std::shared_ptr<Away> &away, bool owned = false);

// A thread that delivers nothing until it is started again (finished, or never started; not
// this one): QtCore lets any thread delete its objects meanwhile, and a deletion asked for one
// is carried out where it is asked for. Asked under a Crossing.
bool threadEnded(QThread *thread);

// A deletion of an object of another thread, from its beginning to its end: a start of that
// thread (a finished one started again) waits meanwhile, so that what threadEnded read holds.
class Crossing
{
public:
    explicit Crossing(const QObject *object);
    ~Crossing();
    Crossing(const Crossing &) = delete;
    Crossing &operator=(const Crossing &) = delete;

private:
    bool m_held = false;
};

// Deletions deleteThere asked for on this thread are asked for again, for those that have not
// reached their objects (taken out of the queue, perhaps).
void askDeletionsAgain();

// The object's DeferredDelete reached it, on its thread: its own handling decides from now on.
void deletionArrived(const QObject *object);

// An object of `engine` left its thread: its script object (`id`, collected once `*alive` reads
// false) is probed now and then (see above).
void listAway(QScriptEngine *engine, qint64 id, const std::shared_ptr<bool> &alive,
              const std::shared_ptr<Away> &away);

// An object of `engine` left its family while away: the engine looks at its moved objects soon
// (any thread).
void probeSoon(QScriptEngine *engine);

// `object` (a shell, with its descendants) is about to be deleted here, and engines of other
// threads have the plugin's state (enginesElsewhere): true when one of them still records the
// object or a descendant. Each such engine then lets go of its records on its thread, after which
// the object is asked for again (deleteLater, through `away`).
bool awaitRecords(QObject *object, const std::shared_ptr<Away> &away);

// `object` is being deleted here, and cannot wait (its parent's destruction deletes it): each
// engine of another thread that records it lets go of its record before the reports of the
// object's signals queued there reach it.
void dropRecordsAhead(QObject *object);

// The engines of this thread let go of their records of `object` now, as its destruction would
// have them (a record claimed by another thread and not dropped yet included): a deletion that
// waits must not leave a record whose connections name a wrapper the collector took.
void dropRecordsHere(QObject *object);

} // namespace kit

#endif
