// The binding kit: everything a class binding is made of except its own tables and cases.
//
// A class file declares its names, signatures and lengths tables, a static dispatcher and a
// prototype dispatcher (a switch over the method index), and a creation function that hands
// them to one of the class makers below. Arguments and results cross the script boundary
// through one conversion trait per type, `Conv<T>`: its test (used for overload choice), its
// conversion from script and its conversion to script.
#ifndef QTCORE_PLUGIN_KIT_H
#define QTCORE_PLUGIN_KIT_H

#include <QtCore/QByteArray>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QIODevice>
#include <QtCore/QList>
#include <QtCore/QLocale>
#include <QtCore/QRect>
#include <QtCore/QUuid>
#include <QtCore/QMetaType>
#include <QtCore/QObject>
#include <QtCore/QStringList>
#include <QtCore/QVariant>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include <limits>
#include <new>
#include <type_traits>

#include "plugin/busy.h"
#include "plugin/cells.h"
#include "plugin/kept.h"
#include "plugin/selflink.h"
#include "plugin/linked.h"
#include "plugin/metatypes.h"
#include "plugin/convert.h"
#include "plugin/objects.h"
#include "plugin/tables.h"
#include "plugin/errors.h"
#include "plugin/inuse.h"

namespace kit {

// ---------------------------------------------------------------------------------------------
// Native `this` of a prototype method

// Object classes: the wrapped object, cast with the class's meta-object.
template <class T, class Enable = void>
struct Self {
    using Handle = T *;
    static T *get(QScriptContext *context) { return qobject_cast<T *>(context->thisObject().toQObject()); }
    // What the call keeps in use (see Busy): the object itself.
    static constexpr bool marks = true;
    static const QObject *inUse(T *self) { return self; }
};

// Value classes: read-only access to the value in `this`'s own variant; edit() hands out a
// pointer that is written back when the call ends. The object's own copy is released while the
// value is edited so that an implicitly shared value is not copied on every change.
template <class T>
class ValueHandle
{
public:
    ValueHandle(QScriptContext *context)
        : m_context(context), m_this(context->thisObject()), m_variant(m_this.toVariant())
    {}
    ~ValueHandle()
    {
        if (m_editing) {
            QScriptEngine *engine = m_context->engine();
            reportBytes(engine, nativeBytes(*m_edited) - m_bytes);
            engine->newVariant(m_this, m_variant);
        }
    }
    ValueHandle(const ValueHandle &) = delete;
    ValueHandle &operator=(const ValueHandle &) = delete;

    explicit operator bool() const { return m_variant.userType() == qMetaTypeId<T>(); }
    const T *operator->() const { return static_cast<const T *>(m_variant.constData()); }
    const T &operator*() const { return *operator->(); }
    T *edit()
    {
        if (!m_editing) {
            m_editing = true;
            // A trivially copyable value owns nothing the object's copy could share. The object
            // keeps an empty value of its type meanwhile: a buffer may be reading it in place.
            if (!std::is_trivially_copyable<T>::value) {
                static const QVariant *const empty = new QVariant(qMetaTypeId<T>(), nullptr);
                m_context->engine()->newVariant(m_this, *empty);
            }
            // The variant is our own from here on: the value stays where it is.
            m_edited = static_cast<T *>(m_variant.data());
            m_bytes = nativeBytes(*m_edited);
        }
        return m_edited;
    }
    // The script `this` (fetching it again from the context costs an allocation).
    const QScriptValue &object() const { return m_this; }

private:
    QScriptContext *m_context;
    QScriptValue m_this;
    QVariant m_variant;
    T *m_edited = nullptr;
    qint64 m_bytes = 0;     // before the edit
    bool m_editing = false;
};

// A class whose objects work on a device (streams, XML readers and writers).
template <class T, class Enable = void>
struct UsesDevice : std::false_type {};
template <class T>
struct UsesDevice<T, std::enable_if_t<std::is_convertible<
                         decltype(std::declval<const T &>().device()), const QIODevice *>::value>>
    : std::true_type {};

template <class T>
struct PointerSelf {
    using Handle = T *;
    static T *get(QScriptContext *context) { return pointerFrom<T>(context->thisObject().toVariant()); }
    // A call on a stream keeps its device in use; every call is a script's (see Busy).
    static constexpr bool marks = true;
    static const QObject *inUse(T *self)
    {
        if constexpr (UsesDevice<T>::value)
            return self->device();
        else
            return nullptr;
    }
};

template <class T>
struct ValueSelf {
    using Handle = ValueHandle<T>;
    static ValueHandle<T> get(QScriptContext *context) { return ValueHandle<T>(context); }
    static constexpr bool marks = false;
    static const QObject *inUse(const ValueHandle<T> &) { return nullptr; }
};

// ---------------------------------------------------------------------------------------------
// The dispatch frame

// Case label of a method index called with a number of arguments: `case kit::at(3, 1):`.
constexpr int at(int index, int argc)
{
    return index * 16 + argc;
}

// A script value made in place and replaced in place: copying a script value costs two atomic
// counts, and a value a function returns is built right here.
class ValueSlot
{
public:
    ValueSlot() = default;
    ValueSlot(const ValueSlot &) = delete;
    ValueSlot &operator=(const ValueSlot &) = delete;
    ~ValueSlot() { clear(); }

    bool filled() const { return m_filled; }
    const QScriptValue &value() const
    {
        return *std::launder(reinterpret_cast<const QScriptValue *>(&m_storage));
    }
    // Fills the slot with what `make` returns.
    template <class Make>
    const QScriptValue &fill(Make &&make)
    {
        clear();
        new (&m_storage) QScriptValue(make());
        m_filled = true;
        return value();
    }
    void clear()
    {
        if (m_filled)
            std::launder(reinterpret_cast<QScriptValue *>(&m_storage))->~QScriptValue();
        m_filled = false;
    }

private:
    std::aligned_storage_t<sizeof(QScriptValue), alignof(QScriptValue)> m_storage;
    bool m_filled = false;
};

class Call
{
public:
    Call(QScriptContext *context, QScriptEngine *engine, const ClassTables &tables, int index,
         int entry)
        : context(context), engine(engine), tables(tables), index(index),
          argc(context->argumentCount()), m_entry(entry)
    {}

    QScriptContext *const context;
    QScriptEngine *const engine;
    const ClassTables &tables;
    const int index;    // constructor 0, static k, or method i
    const int argc;

    // The case label of this call (see at()).
    int at() const { return kit::at(index, argc < 15 ? argc : 15); }

    // context->argument(i) makes the frame's arguments object on every call: it is fetched once
    // here, and the argument read last is kept (an overload test and its conversion read it twice).
    QScriptValue arg(int i) const { return kept(i); }
    // Tests and conversions read the kept argument in place (a copy costs two atomic counts).
    template <class T>
    bool is(int i) const { return Conv<Plain<T>>::test(kept(i)); }
    template <class T>
    Plain<T> get(int i) const { return Conv<Plain<T>>::from(kept(i)); }
    // The argument, or the default when the script omitted it.
    template <class T>
    Plain<T> get(int i, const Plain<T> &otherwise) const
    {
        return i < argc ? get<T>(i) : otherwise;
    }
    // True when the arguments pass the tests of the types, in order.
    template <class... T>
    bool are() const
    {
        int i = 0;
        bool ok = true;
        (void)std::initializer_list<int>{(ok = ok && is<T>(i++), 0)...};
        return ok;
    }
    template <class T>
    QScriptValue ret(T &&value) const { return Conv<Plain<T>>::to(engine, std::forward<T>(value)); }
    QScriptValue ret() const { return QScriptValue(QScriptValue::UndefinedValue); }

    const char *name() const { return tables.names[m_entry]; }
    QScriptValue mismatch() const;
    QScriptValue outOfRange() const { return throwIndexOutOfRange(context, tables.name, name()); }
    // Any other refused input: "Class::function(): text".
    QScriptValue error(QScriptContext::Error kind, const char *text) const;
    // A method that would change an object that is still at work in a call further up (see InUse).
    QScriptValue inUse() const { return throwInUse(context, tables.name, name()); }
    // A count QtCore would misread (a semaphore's): "X::f(): count n out of range".
    QScriptValue countOutOfRange(int n) const
    {
        return throwCountOutOfRange(context, tables.name, name(), n);
    }
    // The default toString: the class name.
    QScriptValue className() const { return QScriptValue(QString::fromLatin1(tables.name)); }

    // Wrapping what a constructor made, on the `this` object that `new` made.
    // An object class: the shell is made without a parent and gets `parent` once it is wrapped,
    // so that overrides (a parent's childEvent) only ever see a whole object.
    template <class Shell>
    QScriptValue wrapObject(Shell *shell, QObject *parent = nullptr,
                            QScriptEngine::ValueOwnership ownership = QScriptEngine::AutoOwnership) const
    {
        QScriptValue wrapper = engine->newQObject(context->thisObject(), shell, ownership);
        shell->scriptSelf.bind(engine, wrapper, shell, ownership);
        if (parent) {
            // The parent's childEvent runs script code, which must not delete the child meanwhile.
            const Busy mark(shell);
            const InUse reparenting(static_cast<QObject *>(shell), Work::Parent);
            shell->setParent(parent);
        }
        keepWhileParented(shell);
        // Made at work already (a watcher given paths).
        if (shell->working())
            retime(shell, wrapper);
        return wrapper;
    }
    template <class T>
    QScriptValue wrapValue(const T &value) const
    {
        reportBytes(engine, nativeBytes(value));
        return engine->newVariant(context->thisObject(), QVariant::fromValue(value));
    }
    // A pointer class: the script owns the object (as `Base`, the class bound).
    template <class Base = void, class T>
    QScriptValue wrapOwned(T *object) const
    {
        using B = std::conditional_t<std::is_void<Base>::value, T, Base>;
        return engine->newVariant(
            context->thisObject(), handleVariant<B>(scriptOwnedCell<B, T>(static_cast<B *>(object))));
    }
    // A pointer class with overrides: owned, and its shell refers to its script object.
    template <class Base, class Shell>
    QScriptValue wrapShell(Shell *shell) const
    {
        QScriptValue wrapper = wrapOwned<Base>(shell);
        shell->scriptSelf.bind(engine, wrapper);
        return wrapper;
    }
    // A new object the script owns from now on, as a result.
    template <class T>
    QScriptValue owned(T *object) const { return Conv<T *>::own(engine, object); }

private:
    QScriptValue argumentAt(int i) const;
    // Valid until the next argument is read.
    const QScriptValue &kept(int i) const
    {
        if (i != m_lastIndex) {
            m_last.fill([&] { return argumentAt(i); });
            m_lastIndex = i;
        }
        return m_last.value();
    }

    int m_entry;
    mutable int m_lastIndex = -1;
    // Filled only once an argument is read: a call without arguments pays nothing for them.
    mutable ValueSlot m_last;
    mutable ValueSlot m_arguments;
};

// readFrom and writeTo: QtCore's stream operators of the value (or `read`, a class's own
// reading). A script value that is no data stream gives no stream, and the call is the mismatch
// error.
template <class T, class Read>
QScriptValue readFrom(Call &call, ValueHandle<T> &self, Read &&read)
{
    QDataStream *stream = call.get<QDataStream *>(0);
    if (!stream)
        return call.mismatch();
    // The stream's device (perhaps a script's) is in use meanwhile.
    const Busy mark(stream->device(), call.engine);
    read(*stream, *self.edit());
    return call.ret();
}

template <class T>
QScriptValue readFrom(Call &call, ValueHandle<T> &self)
{
    return readFrom(call, self, [](QDataStream &stream, T &value) { stream >> value; });
}

template <class T>
QScriptValue writeTo(Call &call, const ValueHandle<T> &self)
{
    QDataStream *stream = call.get<QDataStream *>(0);
    if (!stream)
        return call.mismatch();
    const Busy mark(stream->device(), call.engine);
    *stream << *self;
    return call.ret();
}

using StaticCall = QScriptValue (*)(Call &);
template <class Handle>
using PrototypeCall = QScriptValue (*)(Call &, Handle &);

// QtScript 5 crashes when a native function returns the invalid value (a conversion that found
// nothing, an enumeration value without a key): the script gets undefined. The result is made in
// place: a copy of a script value costs two atomic counts.
template <class Produce>
QScriptValue valid(QScriptEngine *engine, Produce &&produce)
{
    QScriptValue result = produce();
    if (!result.isValid())
        result = engine->undefinedValue();
    return result;
}

// Runs a dispatcher's body: no C++ exception reaches the engine.
template <class Body>
QScriptValue guarded(QScriptContext *context, const ClassTables &tables, int entry, Body &&body)
{
    try {
        return body();
    } catch (const ListTooLong &) {
        return throwListTooLong(context, tables.name, tables.names[entry]);
    } catch (const std::bad_alloc &) {
        return throwNativeFailure(context, "out of memory");
    } catch (const std::exception &e) {
        return throwNativeFailure(context, e.what());
    } catch (...) {
        return throwNativeFailure(context, "unknown native exception");
    }
}

template <const ClassTables &Tables, StaticCall F>
QScriptValue staticEntry(QScriptContext *context, QScriptEngine *engine, void *arg)
{
    const int index = int(reinterpret_cast<quintptr>(arg));
    return guarded(context, Tables, index, [&] {
        if (index == 0) {
            if (!Tables.constructible)
                return throwCannotConstruct(context, Tables.name);
            if (!context->isCalledAsConstructor())
                return throwNotConstructedWithNew(context, Tables.name);
        }
        Call call(context, engine, Tables, index, index);
        // What the call reaches, the script reached (see Busy).
        const Busy mark(nullptr, engine);
        return valid(engine, [&] { return F(call); });
    });
}

template <class SelfTraits, const ClassTables &Tables,
          PrototypeCall<typename SelfTraits::Handle> F>
QScriptValue prototypeEntry(QScriptContext *context, QScriptEngine *engine, void *arg)
{
    const int index = int(reinterpret_cast<quintptr>(arg));
    const int entry = Tables.staticCount + 1 + index;
    return guarded(context, Tables, entry, [&] {
        auto self = SelfTraits::get(context);
        if (!self)
            return throwNotThis(context, Tables.name, Tables.names[entry]);
        Call call(context, engine, Tables, index, entry);
        if constexpr (SelfTraits::marks) {
            // Script code the call runs must not delete what it works on (see Busy).
            const Busy mark(SelfTraits::inUse(self), engine);
            return valid(engine, [&] { return F(call, self); });
        } else {
            return valid(engine, [&] { return F(call, self); });
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Class makers

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
    object = qobject_cast<T *>(value.toQObject());
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
