// Objects of object classes, and their script objects.
//
// The engine may collect the script object of a script-made object (its shell is Linked,
// linked.h), and with it the object, once no script reaches it; while QtCore may still call the
// object unbidden, the script object is held instead. The functions here tell the object's self
// link (selflink.h) of what QtCore does not show (a parent in the family or not, filters, an
// installed translator, a move to another thread); settle (linked.h) reads the rest from QtCore's
// state. Any object reaches scripts through objectToScriptValue: a shell as its own script
// object, any other object through the engine's wrapping.
#ifndef QTCORE_PLUGIN_OBJECTS_H
#define QTCORE_PLUGIN_OBJECTS_H

#include <QtCore/QEvent>
#include <QtCore/QObject>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include "plugin/convert.h"
#include "plugin/kept.h"
#include "plugin/linked.h"

namespace kit {

// A script-made object is kept by its script object while nothing else keeps it; once it has a
// parent, its script object (and so its overrides) lives as long as it does: held by the
// parent's script object when the parent is a script's shell (so that a parent and child that
// refer to each other still go together), natively when QtCore or the application made the
// parent. Called after the object's parent changed from `formerParent`; `inHand`, when valid, is
// the object's script object, and `keeperInHand` its keeper's.
void keepWhileParented(QObject *object, QObject *formerParent = nullptr,
                       const QScriptValue &inHand = QScriptValue(),
                       const QScriptValue &keeperInHand = QScriptValue());

// The link of a script-made object of this thread, or null.
SelfLink *linkOf(QObject *object);
// Posted events for `receiver` (null: every object) were taken out of the queue.
void unposted(QObject *receiver);
// The object's hold is settled at the end of the next mark (a call or delivery), not now (the
// collector's sweep is under way).
void settleLaterFrom(QObject *object);
// `filter` now filters `watched`'s events, or no longer does.
void filters(QObject *filter, QObject *watched, bool on);
// A translator was installed or removed.
void installed(QObject *translator, bool on, const QScriptValue &inHand);


// Whether QtCore is moving `object`, an ancestor or a descendant of it now (it delivers their
// ThreadChange on this thread): a move begun there would leave their events and timers between
// two threads (QtCore crashes so natively), and is refused.
bool movingNow(const QObject *object);

// The object is about to move to another thread (QtCore's ThreadChange, sent to each object that
// moves, on the old thread): its script object lets go of it.
void leavingThread(QObject *object, Linked &linked);
// The object heard of a move (its ThreadChange, wherever it is): it hears where it arrives, and
// is at home again once back on its engine's thread.
void movingOn(QObject *object);
// Whether a link holds the script object of `object` or of one of its ancestors (which then
// holds it in turn): known reachable, where no script runs (at the engine's end).
bool familyHeld(const QObject *object);

// Where an object keeps script values (kept.h): its shell's script object, or none.
Holder holderOf(QObject *object);
// Where a pointer-class object keeps them: the script object `handle` that stands for it.
template <class T>
Holder holderOf(const QScriptValue &handle)
{
    return Holder{handle, cellOf<T>(handle)};
}

// The script value of an object: a shell of this engine comes back as its own script object;
// any other object is wrapped by the engine, reusing an existing wrapper.
QScriptValue objectToScriptValue(QScriptEngine *engine, QObject *object);

} // namespace kit

#endif
