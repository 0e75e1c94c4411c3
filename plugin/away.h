// Objects that left their engine's thread (SelfLink::leaveHome).
//
// Its script object no longer owns a moved object: the collector's sweep must not delete it on
// the engine's thread while it lives on another. But QtScript keeps the wrapper of an object it
// does not own for as long as the object has a connection to a script function, and with it the
// object, for good. So moved objects with a connection are held here instead, and at times (as
// their number doubles, or a while after the last probe left some) a full collection finds those
// no script reaches: for that collection each script
// object wraps a stand-in of the engine's thread that the script owns. The collector deletes the
// stand-ins of those it takes; a stand-in then removes QtScript's record of its object's
// connections (a report already on its way from the other thread finds none, never a handler the
// collector took) and, for the object moved (not its descendants), asks the object's own thread
// to delete it. The others wrap their objects again.
#ifndef QTCORE_PLUGIN_AWAY_H
#define QTCORE_PLUGIN_AWAY_H

#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtScript/QScriptValue>

#include <memory>

namespace kit {

// A moved object's record, shared by its link (which clears it when the object ends, on
// whatever thread) and what deletes it once its script object is collected.
struct Away {
    Away(QObject *object, bool top) : object(object), top(top) {}
    QBasicMutex mutex;
    QObject *object;    // while the object lives
    const bool top;     // the object moved, not a descendant: deleted once collected
};

// `self`, the script object of an object that left its engine's thread (`away`) with a signal
// connected, is held until a collection finds that no script reaches it.
void holdAway(const QScriptValue &self, const std::shared_ptr<Away> &away);

} // namespace kit

#endif
