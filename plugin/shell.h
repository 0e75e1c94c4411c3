// Shell forwarding: a shell's override of a virtual function calls the script function of the
// same name on the object's wrapper when there is one, and the nearest base implementation
// otherwise.
#ifndef QTCORE_PLUGIN_SHELL_H
#define QTCORE_PLUGIN_SHELL_H

#include "plugin/kit.h"

#include <QtCore/QEvent>

namespace kit {

// The script function that overrides `name` on `self` (own property or along the prototype
// chain), or an invalid value when the base implementation should run: no function, one of the
// bindings' own functions, or a member of the engine's QObject wrapping.
QScriptValue scriptOverride(const QScriptValue &self, const QString &name);

// What Qt lends an override (an event, say) lives only during the call: afterwards the script's
// handle is emptied, so that one a script kept reads as a null object instead of freed memory.
template <class T>
struct Lent {
    static void release(QScriptEngine *, const QScriptValue &) {}
};
template <class T>
struct Lent<T *> {
    static void release(QScriptEngine *engine, const QScriptValue &v)
    {
        if constexpr (!std::is_base_of<QObject, T>::value) {
            // Made once: a variant of a custom type costs registry look-ups to make and to free.
            // Never freed, so that no engine outliving static destruction meets a dead one.
            static const QVariant *const null = new QVariant(qMetaTypeId<T *>(), nullptr);
            if (v.isVariant())
                engine->newVariant(v, *null);
        }
    }
};

template <class... A>
QScriptValue callOverride(const QScriptValue &f, const QScriptValue &self, const A &...args)
{
    // Unused when the function has no arguments (isEmpty).
    [[maybe_unused]] QScriptEngine *engine = self.engine();
    QScriptValueList list;
    (void)std::initializer_list<int>{(list.append(Conv<Plain<A>>::to(engine, args)), 0)...};
    const QScriptValue result = QScriptValue(f).call(self, list);
    [[maybe_unused]] int i = 0;
    (void)std::initializer_list<int>{(Lent<Plain<A>>::release(engine, list.at(i++)), 0)...};
    return result;
}

template <class R, class Fallback, class... A>
R forward(const QScriptValue &self, const QString &name, Fallback &&base, const A &...args)
{
    const QScriptValue f = scriptOverride(self, name);
    if (!f.isValid())
        return base();
    const QScriptValue result = callOverride(f, self, args...);
    if constexpr (std::is_void<R>::value)
        return;
    else
        return qscriptvalue_cast<R>(result);
}

// The shell of a QObject class: the five event overrides every object shell has. `Base::f` is
// the nearest base implementation of f, whichever class of the chain declares it.
template <class Base>
class ObjectShell : public Base
{
public:
    using Base::Base;

    QScriptValue scriptSelf;

    bool event(QEvent *e) override
    {
        return forward<bool>(scriptSelf, QStringLiteral("event"), [&] { return Base::event(e); }, e);
    }
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        return forward<bool>(scriptSelf, QStringLiteral("eventFilter"),
                             [&] { return Base::eventFilter(watched, e); }, watched, e);
    }

protected:
    void timerEvent(QTimerEvent *e) override
    {
        forward<void>(scriptSelf, QStringLiteral("timerEvent"), [&] { Base::timerEvent(e); }, e);
    }
    void childEvent(QChildEvent *e) override
    {
        forward<void>(scriptSelf, QStringLiteral("childEvent"), [&] { Base::childEvent(e); }, e);
    }
    void customEvent(QEvent *e) override
    {
        forward<void>(scriptSelf, QStringLiteral("customEvent"), [&] { Base::customEvent(e); }, e);
    }
};

} // namespace kit

#endif
