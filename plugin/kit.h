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
#include "plugin/tables.h"
#include "plugin/errors.h"
#include "plugin/inuse.h"

namespace kit {

// The largest byte array the bindings make or let QtCore grow to: Qt 5 computes sizes in int and
// misbehaves once one passes it.
constexpr qint64 MaxBytes = std::numeric_limits<int>::max() - 32;

// ---------------------------------------------------------------------------------------------
// Conversion traits: Conv<T>::test(v), Conv<T>::from(v), Conv<T>::to(engine, value)

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

// The script value of an object: a shell of this engine comes back as its own script object;
// any other object is wrapped by the engine, reusing an existing wrapper.
QScriptValue objectToScriptValue(QScriptEngine *engine, QObject *object);

// QObject and its subclasses: through the engine's object wrapping.
template <class T>
struct Conv<T *, std::enable_if_t<isObjectClass<T>()>> {
    static T *from(const QScriptValue &v) { return qobject_cast<T *>(v.toQObject()); }
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

// A script-made object is kept by its script object while nothing else keeps it; once it has a
// parent, its script object (and so its overrides) lives as long as it does: held by the
// parent's script object when the parent is a script's shell (so that a parent and child that
// refer to each other still go together), natively when QtCore or the application made the
// parent. Called after the object's parent changed from `formerParent`.
void keepWhileParented(QObject *object, QObject *formerParent = nullptr);

// The link of a script-made object of this thread, or null.
SelfLink *linkOf(QObject *object);
// Objects QtCore calls unbidden keep their script object meanwhile (SelfLink): `inHand`, when
// valid, is the object's script object a script call has in hand.
// Its timers, a socket notifier's being enabled or its work (Linked::working) may have changed.
void retime(QObject *object, const QScriptValue &inHand = QScriptValue());
// The same once the current delivery is over (a signal of the end of its work is being emitted):
// at the next turn of the event loop.
void retimeLater(QObject *object);
// A script posted `event` to `receiver` (a DeferredDelete, or another).
void postedTo(QObject *receiver, const QEvent *event, const QScriptValue &inHand);
// Posted events of `type` (0: all) for `receiver` (null: every object) were taken out of the queue.
void unposted(QObject *receiver, int type);
// `filter` now filters `watched`'s events, or no longer does.
void filters(QObject *filter, QObject *watched, bool on);
// A translator was installed or removed.
void installed(QObject *translator, bool on, const QScriptValue &inHand);
// The object is about to move to another thread (QtCore's ThreadChange, sent to each object that
// moves, on the old thread): its script object lets go of it.
void leavingThread(QObject *object);
// The object (and its descendants) moved to another thread: script objects let go of those that
// did not hear of it.
void leftThread(QObject *object);

// Whether a link holds the script object of `object` or of one of its ancestors (which then
// holds it in turn): known reachable, where no script runs (at the engine's end).
bool familyHeld(const QObject *object);

// Where an object keeps script values (cells.h): its shell's script object, or none.
Holder holderOf(QObject *object);
// Where a pointer-class object keeps them: the script object `handle` that stands for it.
template <class T>
Holder holderOf(const QScriptValue &handle)
{
    return Holder{handle, cellOf<T>(handle)};
}

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
