// Conversions (convert.h) that are not inline: clamped numbers, characters, variants, lists and
// bytes, and the report of native bytes to the collector.
#include "plugin/convert.h"
#include "plugin/compat.h"
#include "plugin/objects.h"

#include <QtCore/QPointer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kit {

qint64 Conv<qint64>::from(const QScriptValue &v)
{
    const double d = v.toNumber();
    // Out-of-range and NaN conversions are undefined in C++; clamp them.
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(d);
}

quint64 Conv<quint64>::from(const QScriptValue &v)
{
    const double d = v.toNumber();
    if (std::isnan(d) || d <= 0)
        return 0;
    if (d >= 18446744073709551615.0)
        return std::numeric_limits<quint64>::max();
    return quint64(d);
}

QChar Conv<QChar>::from(const QScriptValue &v)
{
    const QVariant var = variantOf(v);
    if (const QChar *c = exactly<QChar>(var, QMetaType::QChar))
        return *c;
    // As QtScript's own conversion: a String gives its first character.
    if (v.isString()) {
        const QString s = v.toString();
        return s.isEmpty() ? QChar() : s.at(0);
    }
    return QChar(ushort(v.toUInt32()));
}

QVariant guardObjects(const QVariant &v)
{
    if (!(QMetaType::typeFlags(v.userType()) & QMetaType::PointerToQObject))
        return v;
    return QVariant::fromValue(QPointer<QObject>(*static_cast<QObject *const *>(v.constData())));
}

QScriptValue Conv<QVariant>::to(QScriptEngine *engine, const QVariant &v)
{
    // Objects by the kit's own wrapping: a shell comes back as itself, and the objects no script
    // may delete keep their protection.
    if (QMetaType::typeFlags(v.userType()) & QMetaType::PointerToQObject)
        return objectToScriptValue(engine, *static_cast<QObject *const *>(v.constData()));
    if (v.userType() == qMetaTypeId<QPointer<QObject>>())
        return objectToScriptValue(engine, v.value<QPointer<QObject>>().data());
    reportBytes(engine, nativeBytes(v));
    QScriptValue result = qScriptValueFromValue_helper(engine, v.userType(), v.constData());
    if (!result.isValid())
        result = engine->newVariant(v);
    return result;
}

quint32 listLength(const QScriptValue &v, size_t elementSize)
{
    const quint32 n = v.property(QStringLiteral("length")).toUInt32();
    // A QList holds a pointer per element, a QVector the element itself.
    const size_t size = std::max(elementSize, sizeof(void *));
    const quint64 fits = quint64(MaxBytes) / size;
    if (n > (1u << 24) || n > fits)
        throw ListTooLong();
    return n;
}

QStringList Conv<QStringList>::from(const QScriptValue &v)
{
    QStringList list;
    const quint32 n = listLength(v, sizeof(QString));
    for (quint32 i = 0; i < n; ++i)
        list.append(v.property(i).toString());
    return list;
}

QScriptValue Conv<QStringList>::to(QScriptEngine *engine, const QStringList &l)
{
    QScriptValue a = engine->newArray(uint(l.size()));
    for (int i = 0; i < l.size(); ++i)
        a.setProperty(quint32(i), QScriptValue(l.at(i)));
    return a;
}

QByteArray Conv<QByteArray>::from(const QScriptValue &v)
{
    if (v.isString())
        return compat::toCString(v.toString());
    const QVariant var = variantOf(v);
    if (const QByteArray *b = exactly<QByteArray>(var, QMetaType::QByteArray))
        return *b;
    return QByteArray();
}

QScriptValue Conv<QByteArray>::to(QScriptEngine *engine, const QByteArray &b)
{
    reportBytes(engine, nativeBytes(b));
    return qScriptValueFromValue_helper(engine, QMetaType::QByteArray, &b);
}

qint64 nativeBytes(const QVariant &v)
{
    switch (v.userType()) {
    case QMetaType::QByteArray:
        return nativeBytes(*static_cast<const QByteArray *>(v.constData()));
    case QMetaType::QBitArray:
        return nativeBytes(*static_cast<const QBitArray *>(v.constData()));
    default:
        return 0;
    }
}

void reportLargeBytes(QScriptEngine *engine, qint64 bytes)
{
    // The engine takes an int; it may collect garbage at once.
    engine->reportAdditionalMemoryCost(int(std::min<qint64>(bytes, MaxBytes)));
}

} // namespace kit
