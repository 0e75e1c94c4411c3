// The dispatch frame
//
// A binding function's entry (staticEntry, prototypeEntry) checks how it was called and on what,
// marks what the call works on (see Busy), keeps every C++ exception from the engine, and hands
// the class's dispatcher a Call: the frame through which a case reads its arguments (tested and
// converted by their traits, convert.h), returns its result, throws its errors and wraps what a
// constructor made.
#ifndef QTCORE_PLUGIN_CALL_H
#define QTCORE_PLUGIN_CALL_H

#include <QtCore/QDataStream>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include <new>
#include <type_traits>
#include <utility>

#include "plugin/busy.h"
#include "plugin/convert.h"
#include "plugin/errors.h"
#include "plugin/inuse.h"
#include "plugin/objects.h"
#include "plugin/self.h"
#include "plugin/tables.h"

namespace kit {

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
    // The script `this`, fetched once: each fetch from the context makes a new value.
    const QScriptValue &thisObject() const
    {
        if (!m_this.filled())
            m_this.fill([&] { return context->thisObject(); });
        return m_this.value();
    }
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
        QScriptValue wrapper = engine->newQObject(thisObject(), shell, ownership);
        shell->scriptSelf.bind(engine, wrapper, shell, ownership);
        if (parent) {
            // The parent's childEvent runs script code, which must not delete the child meanwhile
            // (nor the parent: see staticEntry).
            const Busy mark(shell);
            const InUse reparenting(static_cast<QObject *>(shell), Work::Parent);
            shell->setParent(parent);
        }
        // Made at work already (a watcher given paths, an enabled notifier).
        keepWhileParented(shell, nullptr, wrapper);
        return wrapper;
    }
    template <class T>
    QScriptValue wrapValue(const T &value) const
    {
        reportBytes(engine, nativeBytes(value));
        return engine->newVariant(thisObject(), QVariant::fromValue(value));
    }
    // A pointer class: the script owns the object (as `Base`, the class bound).
    template <class Base = void, class T>
    QScriptValue wrapOwned(T *object) const
    {
        using B = std::conditional_t<std::is_void<Base>::value, T, Base>;
        return engine->newVariant(
            thisObject(), handleVariant<B>(scriptOwnedCell<B, T>(static_cast<B *>(object))));
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
    mutable ValueSlot m_this;
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
        // What the call reaches, the script reached (see Busy). A constructor's parent (its last
        // argument, as in every QtCore constructor) is in use while the object is made and
        // parented: script code may run meanwhile (a filter of the application hears of a child
        // the new object makes of its own), which must not delete the parent.
        const Busy mark(index == 0 && call.argc ? call.arg(call.argc - 1).toQObject() : nullptr, engine);
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
        Call call(context, engine, Tables, index, entry);
        auto self = SelfTraits::get(context, call.thisObject());
        if (!self)
            return throwNotThis(context, Tables.name, Tables.names[entry]);
        if constexpr (SelfTraits::marks && SelfTraits::throughThis) {
            // Script code the call runs must not delete what it works on (see Busy), whichever
            // wrapper of it the call came through.
            const Busy mark(SelfTraits::inUse(self), engine, call.thisObject());
            return valid(engine, [&] { return F(call, self); });
        } else if constexpr (SelfTraits::marks) {
            const Busy mark(SelfTraits::inUse(self), engine);
            return valid(engine, [&] { return F(call, self); });
        } else {
            return valid(engine, [&] { return F(call, self); });
        }
    });
}

} // namespace kit

#endif
