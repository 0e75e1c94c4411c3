// Native `this` of a prototype method
//
// A prototype method finds its native object in the script `this`, as its kind of class keeps
// it: an object class's wrapped object (Self<T>), a value class's value in the object's own
// variant (ValueSelf<T>, through a ValueHandle that writes an edited value back), a pointer
// class's object through its handle (PointerSelf<T>). Each says what the call keeps in use
// meanwhile (see Busy).
#ifndef QTCORE_PLUGIN_SELF_H
#define QTCORE_PLUGIN_SELF_H

#include <QtCore/QIODevice>
#include <QtCore/QObject>
#include <QtCore/QVariant>
#include <QtScript/QScriptContext>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include <type_traits>
#include <utility>

#include "plugin/convert.h"

namespace kit {

// Object classes: the wrapped object, cast with the class's meta-object.
template <class T, class Enable = void>
struct Self {
    using Handle = T *;
    static T *get(QScriptContext *, const QScriptValue &thisObject)
    {
        return qobject_cast<T *>(thisObject.toQObject());
    }
    // What the call keeps in use (see Busy): the object itself, reached through `this`.
    static constexpr bool marks = true;
    static constexpr bool throughThis = true;
    static const QObject *inUse(T *self) { return self; }
};

// Value classes: read-only access to the value in `this`'s own variant; edit() hands out a
// pointer that is written back when the call ends. The object's own copy is released while the
// value is edited so that an implicitly shared value is not copied on every change.
template <class T>
class ValueHandle
{
public:
    // `thisObject` outlives the handle (the call's own).
    ValueHandle(QScriptContext *context, const QScriptValue &thisObject)
        : m_context(context), m_this(thisObject), m_variant(m_this.toVariant())
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
    // The script `this`.
    const QScriptValue &object() const { return m_this; }

private:
    QScriptContext *m_context;
    const QScriptValue &m_this;
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
    static T *get(QScriptContext *, const QScriptValue &thisObject)
    {
        return pointerFrom<T>(thisObject.toVariant());
    }
    // A call on a stream keeps its device in use; every call is a script's (see Busy).
    static constexpr bool marks = true;
    static constexpr bool throughThis = false;
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
    static ValueHandle<T> get(QScriptContext *context, const QScriptValue &thisObject)
    {
        return ValueHandle<T>(context, thisObject);
    }
    static constexpr bool marks = false;
    static constexpr bool throughThis = false;
    static const QObject *inUse(const ValueHandle<T> &) { return nullptr; }
};

} // namespace kit

#endif
