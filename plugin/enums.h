// Enumeration and flags classes, driven by tables: a class file states each enumeration as a
// keys table, a values table and an EnumInfo, and adds it to its owner with addEnum/addFlags.
#ifndef QTCORE_PLUGIN_ENUMS_H
#define QTCORE_PLUGIN_ENUMS_H

#include "plugin/kit.h"

namespace kit {

enum class KeyLookup {
    DirectIndex,   // values run without a gap from min to max
    TableSearch,   // any ascending values
    MetaObject     // keys of the owner's meta-object; read from the same literal tables, which
                   // hold exactly the keys the meta-object had (Qt 5's has renamed and added some)
};

struct EnumInfo {
    const char *owner;          // the owner's global name: "QEventLoop", "Qt"
    const char *name;           // unqualified: "ProcessEventsFlag"
    const char *const *keys;
    const int *values;
    int count;
    KeyLookup lookup;
    int (*typeId)();
    int min;
    int max;
    bool (*registerEquals)();
};

struct FlagsInfo {
    const EnumInfo &enumeration;
    const char *name;           // "ProcessEventsFlags"
    int (*typeId)();
    bool (*registerComparisons)();
};

namespace detail {
void tableError();  // not constexpr: reaching it in a constant expression stops the build
}

// Script == between two variant objects compares their values through QVariant, which looks a
// type without a comparator up by name under QtCore's lock: once registered, it compares at once.
template <class T>
bool registerEquals()
{
    return QMetaType::hasRegisteredComparators<T>() || QMetaType::registerEqualsComparator<T>();
}

// An enumeration's value read as the int it is stored as (as enumValue reads it). QVariant
// compares values of two enumerations by converting one to the other through its number, which
// may lie outside the other's range (QEvent.User as a QSocketNotifier.Type): compared as that
// enumeration, it would be loaded as a value the type cannot hold. Registered under the
// enumeration's meta type, this comparator compares the numbers.
template <class E>
struct EnumBits {
    static_assert(sizeof(E) == sizeof(int), "enumerations are stored as int");
    int stored;
    friend bool operator==(const EnumBits &a, const EnumBits &b) { return a.stored == b.stored; }
};

} // namespace kit

// EnumBits<E> stands for E's meta type.
template <class E>
struct QMetaTypeId<kit::EnumBits<E>> {
    enum { Defined = 1 };
    static int qt_metatype_id() { return qMetaTypeId<E>(); }
};

namespace kit {

// Builds an EnumInfo from its tables; the values must ascend, and a direct-index table must
// have no gap. Use it in a constexpr variable so that both are checked when compiling.
template <class E, int N>
constexpr EnumInfo enumeration(const char *owner, const char *name, const char *const (&keys)[N],
                               const int (&values)[N], KeyLookup lookup)
{
    for (int i = 1; i < N; ++i) {
        if (values[i] <= values[i - 1])
            detail::tableError();
        if (lookup == KeyLookup::DirectIndex && values[i] != values[i - 1] + 1)
            detail::tableError();
    }
    return EnumInfo{owner, name, keys, values, N, lookup, &qMetaTypeId<E>, values[0],
                    values[N - 1], &registerEquals<EnumBits<E>>};
}

// QVariant compares two values of different types by converting one to the other's: with the
// conversion C++ has from an enumeration to its flags, script == finds a flags value equal to a
// value of its own enumeration with the same bits, in either order.
template <class E>
bool registerFlagsComparisons()
{
    const bool converts = QMetaType::hasRegisteredConverterFunction<E, QFlags<E>>()
                          || QMetaType::registerConverter<E, QFlags<E>>();
    return registerEquals<QFlags<E>>() && converts;
}

template <class E>
constexpr FlagsInfo flags(const EnumInfo &enumeration, const char *name)
{
    return FlagsInfo{enumeration, name, &qMetaTypeId<QFlags<E>>, &registerFlagsComparisons<E>};
}

// The key of `value`, or a null string when it has none.
QString keyOf(const EnumInfo &info, int value);
// Whether the enumeration constructor accepts `value`.
bool hasKey(const EnumInfo &info, int value);

// The value held by a variant of the enumeration's or flags type, else 0.
int enumValue(const QVariant &v, int typeId);
int flagsValue(const QVariant &v, const FlagsInfo &info);

// Makes the enumeration's tables known to result conversions (once per process).
void registerEnum(const EnumInfo &info);
QScriptValue enumToScript(QScriptEngine *engine, const EnumInfo &info, int value);
QScriptValue makeEnumClass(QScriptEngine *engine, const EnumInfo &info);
void addEnumValues(QScriptEngine *engine, const EnumInfo &info, QScriptValue &owner);
QScriptValue makeFlagsClass(QScriptEngine *engine, const FlagsInfo &info);

// The engine's own conversion (a property's or a signal argument's value) crashes on the invalid
// value: an owner that lacks the key gives undefined.
template <const EnumInfo &D>
QScriptValue enumToScriptOf(QScriptEngine *engine, const void *value)
{
    QScriptValue v = enumToScript(engine, D, *static_cast<const int *>(value));
    if (!v.isValid())
        v = QScriptValue(QScriptValue::UndefinedValue);
    return v;
}

template <const EnumInfo &D>
void enumFromScriptOf(const QScriptValue &value, void *out)
{
    *static_cast<int *>(out) = enumValue(value.toVariant(), D.typeId());
}

template <const FlagsInfo &D>
QScriptValue flagsToScriptOf(QScriptEngine *engine, const void *value)
{
    return engine->newVariant(QVariant(D.typeId(), value));
}

template <const FlagsInfo &D>
void flagsFromScriptOf(const QScriptValue &value, void *out)
{
    *static_cast<int *>(out) = flagsValue(value.toVariant(), D);
}

// Adds the enumeration's value objects and then its class to the owner.
template <const EnumInfo &D>
void addEnum(QScriptEngine *engine, QScriptValue &owner)
{
    static const bool known = (registerEnum(D), D.registerEquals(), true);
    Q_UNUSED(known);
    QScriptValue cls = makeEnumClass(engine, D);
    qScriptRegisterMetaType_helper(engine, D.typeId(), &enumToScriptOf<D>,
                                   &enumFromScriptOf<D>,
                                   cls.property(QStringLiteral("prototype"),
                                                QScriptValue::ResolvePrototype));
    addEnumValues(engine, D, owner);
    owner.setProperty(QString::fromLatin1(D.name), cls, QScriptValue::KeepExistingFlags);
}

template <const FlagsInfo &D>
void addFlags(QScriptEngine *engine, QScriptValue &owner)
{
    static const bool known = D.registerComparisons();
    Q_UNUSED(known);
    QScriptValue cls = makeFlagsClass(engine, D);
    qScriptRegisterMetaType_helper(engine, D.typeId(), &flagsToScriptOf<D>, &flagsFromScriptOf<D>,
                                   cls.property(QStringLiteral("prototype"),
                                                QScriptValue::ResolvePrototype));
    owner.setProperty(QString::fromLatin1(D.name), cls, QScriptValue::KeepExistingFlags);
}

} // namespace kit

#endif
