// The override lookup behind a shell's forwarding (shell.h): the script function a shell's
// virtual function calls, or none. The rule is short (a function found along the prototype chain
// that is neither the bindings' own nor a member of the engine's QObject wrapping); the rest of
// the file finds the answer cheaply, as QtCore calls virtual functions often, and past an object's
// children.
#include "plugin/shell.h"
#include "plugin/engines.h"

#include <QtCore/QHash>
#include <QtCore/QMetaMethod>
#include <QtScript/QScriptString>

namespace kit {

namespace {

// Whether the class `meta` has a method or a property called `name`: only then may the engine's
// wrapping of its objects offer a member of that name (besides dynamic properties, and children,
// which are no functions). Classes do not change: the answer is kept.
bool mayNameMember(const QMetaObject *meta, const char *name)
{
    // Per thread, so that no lock is taken: a few classes and names each.
    thread_local QHash<QPair<const QMetaObject *, const char *>, bool> known;
    const QPair<const QMetaObject *, const char *> key(meta, name);
    const auto it = known.constFind(key);
    if (it != known.constEnd())
        return it.value();
    bool named = meta->indexOfProperty(name) >= 0;
    for (int i = 0; !named && i < meta->methodCount(); ++i)
        named = meta->method(i).name() == name;
    known.insert(key, named);
    return named;
}

// Whether the own property `id` (called `name`) of a QObject wrapper is a member of the engine's
// wrapping. Asking the engine for its flags costs a second lookup through the wrapping; it is
// asked only when the object could have such a member: when its class or its dynamic properties
// have the name (children have it too, but are no functions).
bool ownMember(const QScriptValue &wrapper, const QScriptString &id, const char *name)
{
    const QObject *object = wrapper.toQObject();
    if (!object)
        return false;
    const QList<QByteArray> dynamic = object->dynamicPropertyNames();
    if (!mayNameMember(object->metaObject(), name)
        && (dynamic.isEmpty() || !dynamic.contains(name)))
        return false;
    return wrapper.propertyFlags(id, QScriptValue::ResolveLocal) & QScriptValue::QObjectMember;
}

// Whether the function found is one of the bindings' own.
bool bindingFunction(const QScriptValue &f, const Names &names)
{
    // data() of a callable script-class object is the object's own data; of any other function,
    // its own "__qt_data__" property, read here by its interned name.
    const QScriptValue data = f.scriptClass() ? f.data()
                                              : f.property(names.data, QScriptValue::ResolveLocal);
    return (data.toUInt32() & 0xFFFF0000u) == MethodTag;
}

// The rule as it reads: the name along the prototype chain of `self`, then the tests. (One
// result variable throughout: returning another costs a copy, two atomic counts.)
QScriptValue overrideAlongChain(const QScriptValue &self, const QScriptString &id,
                                const Names &names)
{
    QScriptValue f = self.property(id, QScriptValue::ResolvePrototype);
    if (!f.isFunction() || bindingFunction(f, names)
        || (self.propertyFlags(id, QScriptValue::ResolvePrototype) & QScriptValue::QObjectMember))
        f = QScriptValue();
    return f;
}

// The same answer, the object's own property looked up first: where the function was found is
// then known, and whether it is a member of the engine's QObject wrapping needs no second lookup
// through the wrapping.
QScriptValue overrideOwnFirst(const QScriptValue &self, const QScriptString &id, const char *name,
                              const Names &names)
{
    QScriptValue f = self.property(id, QScriptValue::ResolveLocal);
    if (f.isValid()) {
        if (!f.isFunction() || bindingFunction(f, names)
            || (self.isQObject() && !self.isVariant() && ownMember(self, id, name)))
            f = QScriptValue();
        return f;
    }
    const QScriptValue proto = self.prototype();
    if (proto.isObject())
        f = overrideAlongChain(proto, id, names);
    return f;
}

// From this many children on, an object's override is looked up past its children (below).
constexpr int ManyChildren = 4;

// Whether a child of `object` is called `name`: the engine's wrapping offers it under that name,
// ahead of the script's own properties.
bool childNamed(const QObject *object, const char *name)
{
    const QString key = QString::fromLatin1(name);
    for (const QObject *child : object->children()) {
        if (child->objectName() == key)
            return true;
    }
    return false;
}

// The override past the object's children. The engine's wrapping compares the name with every
// child's objectName (building a string for each) before it reaches the script's own
// properties, which made an override's lookup, and so adding children one by one, quadratic;
// and a child of that name would hide the override, which a virtual call never minds. The
// wrapping is told to skip children for the lookup (its options changed in place and set back:
// a shell's wrapping is the kit's, with no options and the ownership its link knows). No script
// code runs meanwhile: a getter found under the name is run by the lookup as it reads.
QScriptValue overridePastChildren(const QScriptValue &self, QObject *object,
                                  const QScriptString &id, const Names &names,
                                  QScriptEngine::ValueOwnership ownership)
{
    QScriptEngine *engine = self.engine();
    engine->newQObject(self, object, ownership, QScriptEngine::ExcludeChildObjects);
    const QScriptValue::PropertyFlags flags =
        self.propertyFlags(id, QScriptValue::ResolvePrototype);
    const bool getter = flags & QScriptValue::PropertyGetter;
    QScriptValue f = getter ? QScriptValue() : self.property(id, QScriptValue::ResolvePrototype);
    engine->newQObject(self, object, ownership);
    if (getter)
        return overrideAlongChain(self, id, names);
    if (!f.isFunction() || bindingFunction(f, names) || (flags & QScriptValue::QObjectMember))
        f = QScriptValue();
    return f;
}

// A name without an override is looked up once along the chain; one that had an override at its
// last call (on this shell: a bit by name, shared by names that collide) is most likely
// overridden again, and its own property is looked up first. An object with many children, or
// one of whose children bears the name, is looked up past its children.
QScriptValue lookUpOverride(const QScriptValue &self, QObject *object, const char *name,
                            quint64 *hints, QScriptEngine::ValueOwnership ownership, Names &names)
{
    // A copy: a getter run by the lookup may forward another name and grow the table.
    const QScriptString id = names.ofTable(name);
    const quint64 bit = quint64(1) << ((quint64(quintptr(name)) * 0x9E3779B97F4A7C15u) >> 58);
    const int children = object ? object->children().size() : 0;
    QScriptValue f = children >= ManyChildren
                         ? overridePastChildren(self, object, id, names, ownership)
                     : hints && (*hints & bit) ? overrideOwnFirst(self, id, name, names)
                                               : overrideAlongChain(self, id, names);
    if (children && children < ManyChildren && !f.isValid() && childNamed(object, name))
        f = overridePastChildren(self, object, id, names, ownership);
    if (hints)
        *hints = f.isValid() ? *hints | bit : *hints & ~bit;
    return f;
}

} // namespace

QScriptValue scriptOverride(const QScriptValue &self, const char *name, const SelfLink *link)
{
    QScriptEngine *engine = self.engine();
    // Nothing runs script code once the engine's end has begun.
    Names *names = engine ? namesOf(engine) : nullptr;
    if (!names)
        return QScriptValue();
    // An object's wrapping (a link's owner) offers its children by name.
    QObject *object = link ? const_cast<QObject *>(link->owner()) : nullptr;
    return lookUpOverride(self, object, name, link ? &link->overrideHints() : nullptr,
                          link ? link->ownership() : QScriptEngine::AutoOwnership, *names);
}

bool overridden(QObject *object, const char *name)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return linked && Override(linked->scriptSelf, name).function.isValid();
}

} // namespace kit
