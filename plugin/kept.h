// Script values a native object uses (its device, its byte array, its resolver): kept alive as
// long as the object lives, one per slot; an invalid value empties the slot.
//
// A value is kept where the collector traces it: in the internal data of the user's own script
// object (its holder), so that a user and its values that refer to each other go together once
// no script reaches them. Where the user has no such object (QtCore made it), the value is a
// native root, kept until the user ends.
#ifndef QTCORE_PLUGIN_KEPT_H
#define QTCORE_PLUGIN_KEPT_H

#include <QtCore/QObject>
#include <QtScript/QScriptValue>

#include <functional>

#include "plugin/cells.h"

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace kit {

struct Holder {
    QScriptValue self;      // the user's script object, or invalid (values are native roots)
    // A pointer-class user's cell: scripts own the user, which then ends when `self` is
    // collected, so that it never outlives what `self` keeps. A user QtCore owns keeps its values
    // natively. An object-class user needs none: its wrapper's ownership ends it.
    Cell *cell = nullptr;
};

// For a user that may outlive the value's engine (a native parent keeps it) or works in its
// memory: `atEngineEnd` runs when the engine's end begins, while the value is still readable; it
// must not run script code.
void keepAlive(const void *user, const Holder &holder, int slot, const QScriptValue &value,
               std::function<void()> atEngineEnd = nullptr);
// For an object class: native slots empty when the object is destroyed.
void keepAlive(QObject *user, const Holder &holder, int slot, const QScriptValue &value,
               std::function<void()> atEngineEnd = nullptr);
// A device a native user works on (a stream's, a reader's, a writer's): its script value is kept
// as above, and the device watched; when something else deletes it (its parent, deleteLater),
// `lost` runs at once, while the user still lives, to leave the user without a device. A null
// device empties the slot. `atEngineEnd` as for keepAlive.
void keepDevice(const void *user, const Holder &holder, int slot, QIODevice *device,
                const QScriptValue &value, std::function<void()> lost,
                std::function<void()> atEngineEnd = nullptr);
// Lets go of what the user keeps natively (for a user that ends; its holder's values go with it).
void dropKept(const void *user);
// The same for a user that leaves its values' engine (it moved to another thread): what must
// hear of the engine's end hears of it now.
void leaveKept(const void *user);

// Runs `f` once the collector takes `self` (or its engine ends), on its engine's thread: for a
// native user that may outlive its script object (a parent keeps it) and works in the memory of
// values `self` keeps, which the collector frees with it, in any order. `f` runs no script code
// and reads no script value.
void whenCollected(const QScriptValue &self, std::function<void()> f);

// An object that ends with its script object `self` (which does not own it): once the collector
// takes `self`, `destroy` runs, unless the object ended first.
void endWith(const QScriptValue &self, QObject *object, void (*destroy)(void *));

// The byte array inside a script value's own variant, which stays where it is as long as the
// script object lives (keep the object alive while the pointer is used); null for anything else.
QByteArray *bytesInPlace(const QScriptValue &value);

} // namespace kit

#endif
