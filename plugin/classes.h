// Class makers
//
// A class file's creation function hands its tables and dispatchers to the maker of its kind of
// class: an object, value or pointer class, or a namespace. The maker builds the prototype with
// the methods and the constructor with the statics (binding functions, each tagged), and makes
// the prototype the default one of the class's types in the engine.
#ifndef QTCORE_PLUGIN_CLASSES_H
#define QTCORE_PLUGIN_CLASSES_H

#include <QtCore/QVariant>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include "plugin/call.h"
#include "plugin/objects.h"
#include "plugin/self.h"
#include "plugin/tables.h"

namespace kit {

// Registers the types that cross only as opaque arguments, so that hosts find them by name.
void registerOpaqueTypes();

// A native function of the bindings: index as its argument, the tag plus index as its data
// (kept hidden and read-only), and its length.
QScriptValue newBindingFunction(QScriptEngine *engine, QScriptEngine::FunctionWithArgSignature f,
                                int index, int length);

// Creation steps 1-4: resets the default prototype of `pointerType`, makes the prototype
// object (a variant of a null pointer), chains it to the default prototype of `baseType` when
// given, and adds the prototype methods.
QScriptValue makePrototype(QScriptEngine *engine, const ClassTables &tables,
                           const QVariant &nullPointer, int baseType,
                           QScriptEngine::FunctionWithArgSignature methods);

// Creation steps 6-7: the constructor function with its prototype and the static functions.
QScriptValue makeConstructor(QScriptEngine *engine, const ClassTables &tables,
                             const QScriptValue &prototype,
                             QScriptEngine::FunctionWithArgSignature statics);

// Object conversions of an object class.
template <class T>
QScriptValue objectToScript(QScriptEngine *engine, T *const &object)
{
    return objectToScriptValue(engine, object);
}
template <class T>
void objectFromScript(const QScriptValue &value, T *&object)
{
    object = qobject_cast<T *>(objectInHand(value));
}

// The class makers; each returns the constructor. `baseType` is the pointer meta type of the
// bound base class, or 0.
template <class T, const ClassTables &Tables, StaticCall S, PrototypeCall<T *> P>
QScriptValue objectClass(QScriptEngine *engine, int baseType = 0)
{
    const int pointerType = qMetaTypeId<T *>();
    QScriptValue proto = makePrototype(engine, Tables, QVariant(pointerType, nullptr), baseType,
                                       &prototypeEntry<Self<T>, Tables, P>);
    // A variant prototype's valueOf throws on wrappers ('' + obj would fail): the root of the
    // object classes chains to Object.prototype instead.
    if (!baseType)
        proto.setPrototype(engine->newObject().prototype());
    qScriptRegisterMetaType<T *>(engine, objectToScript<T>, objectFromScript<T>, proto);
    return makeConstructor(engine, Tables, proto, &staticEntry<Tables, S>);
}

template <class T, const ClassTables &Tables, StaticCall S, PrototypeCall<ValueHandle<T>> P>
QScriptValue valueClass(QScriptEngine *engine)
{
    const int pointerType = qMetaTypeId<T *>();
    QScriptValue proto = makePrototype(engine, Tables, QVariant(pointerType, nullptr), 0,
                                       &prototypeEntry<ValueSelf<T>, Tables, P>);
    engine->setDefaultPrototype(qMetaTypeId<T>(), proto);
    engine->setDefaultPrototype(pointerType, proto);
    return makeConstructor(engine, Tables, proto, &staticEntry<Tables, S>);
}

template <class T, const ClassTables &Tables, StaticCall S, PrototypeCall<T *> P>
QScriptValue pointerClass(QScriptEngine *engine, int baseType = 0)
{
    const int pointerType = pointerTypeId<T>();
    QScriptValue proto = makePrototype(engine, Tables, QVariant(pointerType, nullptr), baseType,
                                       &prototypeEntry<PointerSelf<T>, Tables, P>);
    engine->setDefaultPrototype(pointerType, proto);
    return makeConstructor(engine, Tables, proto, &staticEntry<Tables, S>);
}

// A namespace object: a constructor without prototype that only carries enumerations.
template <const ClassTables &Tables, StaticCall S>
QScriptValue namespaceClass(QScriptEngine *engine)
{
    return makeConstructor(engine, Tables, QScriptValue(), &staticEntry<Tables, S>);
}

} // namespace kit

#endif
