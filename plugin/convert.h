// Conversion traits: Conv<T>::test(v), Conv<T>::from(v), Conv<T>::to(engine, value)
//
// Arguments and results cross the script boundary through one conversion trait per type,
// `Conv<T>`: its test (used for overload choice), its conversion from script and its conversion
// to script. A value class crosses as a variant of exactly its type, a pointer class as a variant
// of its object's handle (cells.h), an object class through the engine's object wrapping.
#ifndef QTCORE_PLUGIN_CONVERT_H
#define QTCORE_PLUGIN_CONVERT_H

#include <QtCore/QByteArray>
#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QList>
#include <QtCore/QLocale>
#include <QtCore/QMetaType>
#include <QtCore/QObject>
#include <QtCore/QRect>
#include <QtCore/QStringList>
#include <QtCore/QUuid>
#include <QtCore/QVariant>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValue>

#include <limits>
#include <type_traits>
#include <utility>

#include "plugin/cells.h"
#include "plugin/metatypes.h"

namespace kit {

// The largest byte array the bindings make or let QtCore grow to: Qt 5 computes sizes in int and
// misbehaves once one passes it.
constexpr qint64 MaxBytes = std::numeric_limits<int>::max() - 32;

// Reads the value of a variant only when it holds exactly the type `id`.
template <class T>
inline const T *exactly(const QVariant &v, int id)
{
    return v.userType() == id ? static_cast<const T *>(v.constData()) : nullptr;
}

// The variant a script value holds, or an invalid one: toVariant() of any other value converts
// it (a String, an Array, an Object) into a variant that no test here wants, and costs more.
inline QVariant variantOf(const QScriptValue &v)
{
    return v.isVariant() ? v.toVariant() : QVariant();
}
inline int variantType(const QScriptValue &v)
{
    return v.isVariant() ? v.toVariant().userType() : int(QMetaType::UnknownType);
}

// Native bytes a value holds for a script. The engine's collector paces itself by its own cells
// and never sees these: a value made (or grown) with at least ReportedBytes is reported to it, so
// that a script dropping large values one after another lets it free them in time.
constexpr qint64 ReportedBytes = 4 * 1024;
inline qint64 nativeBytes(const QByteArray &b) { return b.capacity(); }
inline qint64 nativeBytes(const QBitArray &b) { return b.size() / 8; }
template <class T>
constexpr qint64 nativeBytes(const T &) { return 0; }
qint64 nativeBytes(const QVariant &v);
void reportLargeBytes(QScriptEngine *engine, qint64 bytes);
inline void reportBytes(QScriptEngine *engine, qint64 bytes)
{
    if (Q_UNLIKELY(bytes >= ReportedBytes))
        reportLargeBytes(engine, bytes);
}

template <class T, class Enable = void>
struct Conv;

template <>
struct Conv<bool> {
    static bool test(const QScriptValue &v) { return v.isBoolean(); }
    static bool from(const QScriptValue &v) { return v.toBoolean(); }
    static QScriptValue to(QScriptEngine *, bool b) { return QScriptValue(b); }
};

template <>
struct Conv<int> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static int from(const QScriptValue &v) { return v.toInt32(); }
    static QScriptValue to(QScriptEngine *, int i) { return QScriptValue(i); }
};

template <>
struct Conv<uint> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static uint from(const QScriptValue &v) { return v.toUInt32(); }
    static QScriptValue to(QScriptEngine *, uint i) { return QScriptValue(i); }
};

template <>
struct Conv<double> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static double from(const QScriptValue &v) { return v.toNumber(); }
    static QScriptValue to(QScriptEngine *, double d) { return QScriptValue(d); }
};

template <>
struct Conv<qint64> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static qint64 from(const QScriptValue &v);
    static QScriptValue to(QScriptEngine *, qint64 i) { return QScriptValue(double(i)); }
};

template <>
struct Conv<quint64> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static quint64 from(const QScriptValue &v);
    static QScriptValue to(QScriptEngine *, quint64 i) { return QScriptValue(double(i)); }
};

template <>
struct Conv<QString> {
    static bool test(const QScriptValue &v) { return v.isString(); }
    static QString from(const QScriptValue &v) { return v.toString(); }
    static QScriptValue to(QScriptEngine *, const QString &s) { return QScriptValue(s); }
};

template <>
struct Conv<short> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static short from(const QScriptValue &v) { return short(v.toInt32()); }
    static QScriptValue to(QScriptEngine *, short i) { return QScriptValue(int(i)); }
};

template <>
struct Conv<ushort> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static ushort from(const QScriptValue &v) { return ushort(v.toUInt32()); }
    static QScriptValue to(QScriptEngine *, ushort i) { return QScriptValue(int(i)); }
};

template <>
struct Conv<float> {
    static bool test(const QScriptValue &v) { return v.isNumber(); }
    static float from(const QScriptValue &v)
    {
        // Beyond float's range the conversion is undefined in C++: saturate as IEEE rounding does.
        const double d = v.toNumber();
        if (d > double(std::numeric_limits<float>::max()))
            return std::numeric_limits<float>::infinity();
        if (d < -double(std::numeric_limits<float>::max()))
            return -std::numeric_limits<float>::infinity();
        return float(d);
    }
    static QScriptValue to(QScriptEngine *, float f) { return QScriptValue(double(f)); }
};

// A char or QChar result is a number; a String argument gives its first character as a QChar.
template <>
struct Conv<char> {
    static bool test(const QScriptValue &v) { return variantType(v) == QMetaType::Char; }
    static char from(const QScriptValue &v) { return char(v.toInt32()); }
    static QScriptValue to(QScriptEngine *, char c) { return QScriptValue(int(c)); }
};

template <>
struct Conv<QChar> {
    static bool test(const QScriptValue &v) { return variantType(v) == QMetaType::QChar; }
    static QChar from(const QScriptValue &v);
    static QScriptValue to(QScriptEngine *, QChar c) { return QScriptValue(int(c.unicode())); }
};

// A variant QtCore may keep (a dynamic property, a setting): an object in it is held by a guarded
// pointer, so that reading it back after the object went gives null, not freed memory.
QVariant guardObjects(const QVariant &v);

// "Object": any script value as a QVariant, objects in it guarded; a result by its own type.
template <>
struct Conv<QVariant> {
    static bool test(const QScriptValue &) { return true; }
    static QVariant from(const QScriptValue &v) { return guardObjects(v.toVariant()); }
    static QScriptValue to(QScriptEngine *engine, const QVariant &v);
};

// Lists arrive through their "length", read as an unsigned 32-bit number (0 when absent). A length
// beyond what a list of `elementSize` elements can hold, or beyond 2^24, is refused before
// anything is read or allocated: `{length: 4e9}` would run for minutes and exhaust memory. The
// dispatch frame turns the refusal into a RangeError.
struct ListTooLong : std::exception {
    const char *what() const noexcept override { return "list length out of range"; }
};
quint32 listLength(const QScriptValue &v, size_t elementSize);

template <>
struct Conv<QStringList> {
    static bool test(const QScriptValue &v) { return v.isArray(); }
    static QStringList from(const QScriptValue &v);
    static QScriptValue to(QScriptEngine *engine, const QStringList &l);
};

template <>
struct Conv<QDateTime> {
    static bool test(const QScriptValue &v) { return v.isDate(); }
    static QDateTime from(const QScriptValue &v) { return v.toDateTime(); }
    static QScriptValue to(QScriptEngine *engine, const QDateTime &d) { return engine->newDate(d); }
};

// Bytes: a String where bytes are expected converts as the C-string conversions do, so that a
// script's text is never silently dropped; the overload test still wants a real byte array.
template <>
struct Conv<QByteArray> {
    static bool test(const QScriptValue &v) { return variantType(v) == QMetaType::QByteArray; }
    static QByteArray from(const QScriptValue &v);
    static QScriptValue to(QScriptEngine *engine, const QByteArray &b);
};

// QBitArray is built in, so the value-class conversion below does not take it.
template <>
struct Conv<QBitArray> {
    static bool test(const QScriptValue &v) { return variantType(v) == QMetaType::QBitArray; }
    static QBitArray from(const QScriptValue &v)
    {
        const QVariant var = variantOf(v);
        const QBitArray *b = exactly<QBitArray>(var, QMetaType::QBitArray);
        return b ? *b : QBitArray();
    }
    static QScriptValue to(QScriptEngine *engine, const QBitArray &b)
    {
        reportBytes(engine, nativeBytes(b));
        return qScriptValueFromValue_helper(engine, QMetaType::QBitArray, &b);
    }
};

// The object a script value wraps, as an argument of the call under way: a wrapper of a script's
// object that is not the object's own script object (the host's, say) tells the call that what it
// reaches was not reached from script (Busy::foreignInHand).
QObject *objectInHand(const QScriptValue &v);

// QObject and its subclasses: through the engine's object wrapping.
template <class T>
struct Conv<T *, std::enable_if_t<isObjectClass<T>()>> {
    static T *from(const QScriptValue &v) { return qobject_cast<T *>(objectInHand(v)); }
    static bool test(const QScriptValue &v)
    {
        if (std::is_same<T, QObject>::value)
            return v.isQObject();
        return from(v) != nullptr;
    }
    static QScriptValue to(QScriptEngine *engine, T *o)
    {
        return qScriptValueFromValue_helper(engine, qMetaTypeId<T *>(), &o);
    }
};

// The meta type of a class's pointer: the object pointer of an object class, the handle of any
// other class.
template <class T>
int pointerTypeId()
{
    if constexpr (isObjectClass<T>())
        return qMetaTypeId<T *>();
    else
        return qMetaTypeId<Ref<T>>();
}

// Subclasses a pointer class accepts as itself (QEvent takes QTimerEvent, ...): specialise
// Derived<T> with a static `const int *ids()` list ending in 0.
template <class T>
struct Derived {
    static const int *ids() { return nullptr; }
};

template <>
struct Derived<QEvent> {
    static const int *ids()
    {
        static const int list[] = {pointerTypeId<QTimerEvent>(), pointerTypeId<QChildEvent>(),
                                   pointerTypeId<QDynamicPropertyChangeEvent>(), 0};
        return list;
    }
};

// The handle in a variant holding exactly a pointer class's handle or that of a bound
// subclass; null for anything else.
template <class T>
const CellRef *handleFrom(const QVariant &v)
{
    static_assert(!isObjectClass<T>(), "objects are not held by handles");
    const int type = v.userType();
    if (type == pointerTypeId<T>())
        return static_cast<const CellRef *>(v.constData());
    if (const int *ids = Derived<T>::ids()) {
        for (; *ids; ++ids) {
            if (type == *ids)
                return static_cast<const CellRef *>(v.constData());
        }
    }
    return nullptr;
}

// The object of a pointer class, or null (also once its object ended). Bound subclasses are
// single-inheritance subclasses: same address.
template <class T>
T *pointerFrom(const QVariant &v)
{
    const CellRef *ref = handleFrom<T>(v);
    return ref ? static_cast<T *>(ref->object()) : nullptr;
}

// The cell behind a value of a pointer class, or null.
template <class T>
Cell *cellOf(const QScriptValue &v)
{
    const QVariant var = variantOf(v);
    const CellRef *ref = handleFrom<T>(var);
    return ref ? ref->cell() : nullptr;
}

// A variant of meta type `typeId` (whose values are Us) holding `value`, moved in: a shared
// value is counted once, not copied into the variant and dropped.
template <class U>
QVariant variantMovedIn(int typeId, U &&value)
{
    QVariant v(typeId, nullptr);
    *static_cast<std::decay_t<U> *>(v.data()) = std::forward<U>(value);
    return v;
}

// A variant holding a new handle of `cell`.
template <class T>
QVariant handleVariant(Cell *cell)
{
    return variantMovedIn(pointerTypeId<T>(), CellRef(cell));
}

// Pointer classes: a variant holding the object's handle. So are the C strings that cross as
// opaque "char*" handles (a translator's texts, passed on unread): a script String is none.
template <class T>
struct Conv<T *, std::enable_if_t<!isObjectClass<T>()>> {
    static bool test(const QScriptValue &v) { return from(v) != nullptr; }
    static T *from(const QScriptValue &v) { return pointerFrom<T>(variantOf(v)); }
    // An object QtCore hands out: the cell scripts already have for it, or one that does not own it.
    static QScriptValue to(QScriptEngine *engine, T *p)
    {
        if (!p)
            return engine->nullValue();
        return engine->newVariant(handleVariant<T>(borrowedCell(p)));
    }
    // An object lent to an override for the call's duration.
    static QScriptValue lend(QScriptEngine *engine, T *p, Loan &loan)
    {
        if (!p)
            return engine->nullValue();
        return engine->newVariant(handleVariant<T>(loan.lend(p)));
    }
    // An object the script now owns: deleted when the last script value referring to it goes.
    static QScriptValue own(QScriptEngine *engine, T *p)
    {
        return engine->newVariant(handleVariant<T>(scriptOwnedCell(p)));
    }
};

// The value object of an enumeration value (plugin/enums.h): the one stored on its owner, found
// without the engine's conversion; the engine's conversion for a type the kit made no class for.
QScriptValue enumResult(QScriptEngine *engine, int typeId, int value);

// Enumerations: read only from a value of exactly that enumeration (a number gives 0).
template <class E>
struct Conv<E, std::enable_if_t<std::is_enum<E>::value>> {
    static_assert(sizeof(E) == sizeof(int), "enumerations cross as 32-bit values");
    static bool test(const QScriptValue &v) { return variantType(v) == qMetaTypeId<E>(); }
    static E from(const QScriptValue &v)
    {
        const QVariant var = variantOf(v);
        const E *e = exactly<E>(var, qMetaTypeId<E>());
        return e ? *e : E(0);
    }
    static QScriptValue to(QScriptEngine *engine, E e)
    {
        // A value without a key converts to the invalid value, which QtScript 5 cannot return.
        QScriptValue v = enumResult(engine, qMetaTypeId<E>(), int(e));
        if (!v.isValid())
            v = engine->undefinedValue();
        return v;
    }
};

// Flags: from a flags value of the type or a single value of its enumeration; else 0.
template <class E>
struct FlagsConv {
    static bool test(const QScriptValue &v) { return variantType(v) == qMetaTypeId<QFlags<E>>(); }
    static QFlags<E> from(const QScriptValue &v)
    {
        const QVariant var = variantOf(v);
        if (const QFlags<E> *f = exactly<QFlags<E>>(var, qMetaTypeId<QFlags<E>>()))
            return *f;
        if (const E *e = exactly<E>(var, qMetaTypeId<E>()))
            return QFlags<E>(*e);
        return QFlags<E>();
    }
    // A new flags value, as the conversion registered for the type makes it (plugin/enums.h).
    static QScriptValue to(QScriptEngine *engine, QFlags<E> f)
    {
        return engine->newVariant(QVariant(qMetaTypeId<QFlags<E>>(), &f));
    }
};

template <class E>
struct Conv<QFlags<E>> : FlagsConv<E> {};

// QDir's filters: scripts hold Qt 4.4's bits, QtCore gets and gives Qt 5's.
template <>
struct Conv<QDir::Filters> {
    static bool test(const QScriptValue &v) { return FlagsConv<QDir::Filter>::test(v); }
    static QDir::Filters from(const QScriptValue &v)
    {
        return QDir::Filters(QFlag(compat::dirFiltersFromQt4(int(FlagsConv<QDir::Filter>::from(v)))));
    }
    static QScriptValue to(QScriptEngine *engine, QDir::Filters f)
    {
        return FlagsConv<QDir::Filter>::to(engine, QDir::Filters(QFlag(compat::dirFiltersToQt4(int(f)))));
    }
};

template <class T>
struct IsTemplateOfQt : std::false_type {};
template <class T>
struct IsTemplateOfQt<QList<T>> : std::true_type {};
template <class T>
struct IsTemplateOfQt<QFlags<T>> : std::true_type {};

// Value classes Qt 5 builds in (QPoint, QLocale, ...) that convert as the others do.
template <class T>
struct BuiltInValue : std::false_type {};
// Held by value like the value classes Qt 5 does not build in; a QDate becomes a script Date.
template <> struct BuiltInValue<QPoint> : std::true_type {};
template <> struct BuiltInValue<QPointF> : std::true_type {};
template <> struct BuiltInValue<QSize> : std::true_type {};
template <> struct BuiltInValue<QSizeF> : std::true_type {};
template <> struct BuiltInValue<QRect> : std::true_type {};
template <> struct BuiltInValue<QRectF> : std::true_type {};
template <> struct BuiltInValue<QDate> : std::true_type {};
template <> struct BuiltInValue<QTime> : std::true_type {};
template <> struct BuiltInValue<QLocale> : std::true_type {};
template <> struct BuiltInValue<QUuid> : std::true_type {};
template <> struct BuiltInValue<QUrl> : std::true_type {};

// Value classes: a copy of the value held by a variant of exactly the class's type.
template <class T>
struct Conv<T, std::enable_if_t<std::is_class<T>::value && QMetaTypeId2<T>::Defined
                                && (!QMetaTypeId2<T>::IsBuiltIn || BuiltInValue<T>::value)
                                && !IsTemplateOfQt<T>::value>> {
    static bool test(const QScriptValue &v) { return variantType(v) == qMetaTypeId<T>(); }
    static T from(const QScriptValue &v)
    {
        const QVariant var = variantOf(v);
        const T *t = exactly<T>(var, qMetaTypeId<T>());
        return t ? *t : T();
    }
    static QScriptValue to(QScriptEngine *engine, const T &t)
    {
        reportBytes(engine, nativeBytes(t));
        // A type of our own becomes a variant object with its default prototype straight away;
        // the engine's conversion would look its name up first. Qt's own types keep the engine's
        // conversion, which makes some of them script values of their own.
        if constexpr (QMetaTypeId2<T>::IsBuiltIn)
            return qScriptValueFromValue_helper(engine, qMetaTypeId<T>(), &t);
        else
            return engine->newVariant(QVariant::fromValue(t));
    }
    // A result QtCore handed over: moved into the variant, not copied (a shared value's copy
    // costs two atomic counts).
    static QScriptValue to(QScriptEngine *engine, T &&t)
    {
        if constexpr (QMetaTypeId2<T>::IsBuiltIn) {
            return to(engine, static_cast<const T &>(t));
        } else {
            reportBytes(engine, nativeBytes(t));
            return engine->newVariant(variantMovedIn(qMetaTypeId<T>(), std::move(t)));
        }
    }
};

// Lists of bound values: an Array element by element.
template <class T>
struct Conv<QList<T>, std::enable_if_t<!std::is_same<T, QString>::value>> {
    static bool test(const QScriptValue &v) { return v.isArray(); }
    static QList<T> from(const QScriptValue &v)
    {
        QList<T> list;
        const quint32 n = listLength(v, sizeof(T));
        for (quint32 i = 0; i < n; ++i)
            list.append(Conv<T>::from(v.property(i)));
        return list;
    }
    static QScriptValue to(QScriptEngine *engine, const QList<T> &list)
    {
        QScriptValue a = engine->newArray(uint(list.size()));
        for (int i = 0; i < list.size(); ++i)
            a.setProperty(quint32(i), Conv<T>::to(engine, list.at(i)));
        return a;
    }
};

template <class T>
using Plain = std::remove_cv_t<std::remove_reference_t<T>>;

} // namespace kit

#endif
