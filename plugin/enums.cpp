// Enumeration and flags classes (enums.h): their constructors and methods, and the value object a
// result converts to (the one stored on the enumeration's owner, found again without the
// engine's conversion).
#include "plugin/enums.h"
#include "plugin/engines.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>
#include <QtScript/QScriptString>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace kit {

using detail::HiddenFixed;
using detail::latin1;

void detail::tableError() {}

namespace {

int indexOfValue(const EnumInfo &info, int value)
{
    if (info.lookup == KeyLookup::DirectIndex)
        return value >= info.min && value <= info.max ? value - info.min : -1;
    // Ascending values: binary search finds the one entry with the value.
    int lo = 0;
    int hi = info.count - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (info.values[mid] == value)
            return mid;
        if (info.values[mid] < value)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

const EnumInfo &infoOf(void *arg)
{
    return *static_cast<const EnumInfo *>(arg);
}

const FlagsInfo &flagsInfoOf(void *arg)
{
    return *static_cast<const FlagsInfo *>(arg);
}

QScriptValue enumValueOf(QScriptContext *context, QScriptEngine *, void *arg)
{
    return QScriptValue(enumValue(context->thisObject().toVariant(), infoOf(arg).typeId()));
}

QScriptValue enumToString(QScriptContext *context, QScriptEngine *, void *arg)
{
    const EnumInfo &info = infoOf(arg);
    const QString key = keyOf(info, enumValue(context->thisObject().toVariant(), info.typeId()));
    return QScriptValue(key.isNull() ? QString(QLatin1String("")) : key);
}

QScriptValue enumConstruct(QScriptContext *context, QScriptEngine *engine, void *arg)
{
    const EnumInfo &info = infoOf(arg);
    const int value = context->argument(0).toInt32();
    if (!hasKey(info, value)) {
        return context->throwError(
            (latin1(info.name) + QLatin1String("(): invalid enum value (%0)")).arg(value));
    }
    // A value whose key is gone from the owner: QtScript 5 crashes on an invalid result.
    const QScriptValue result = enumToScript(engine, info, value);
    return result.isValid() ? result : engine->undefinedValue();
}

QScriptValue flagsValueOf(QScriptContext *context, QScriptEngine *, void *arg)
{
    return QScriptValue(flagsValue(context->thisObject().toVariant(), flagsInfoOf(arg)));
}

QScriptValue flagsToString(QScriptContext *context, QScriptEngine *, void *arg)
{
    const FlagsInfo &info = flagsInfoOf(arg);
    const EnumInfo &e = info.enumeration;
    const int bits = flagsValue(context->thisObject().toVariant(), info);
    QString text;
    for (int i = 0; i < e.count; ++i) {
        if ((e.values[i] & bits) == e.values[i]) {
            if (!text.isEmpty())
                text += QLatin1Char(',');
            text += latin1(e.keys[i]);
        }
    }
    return QScriptValue(text);
}

QScriptValue flagsEquals(QScriptContext *context, QScriptEngine *, void *arg)
{
    const FlagsInfo &info = flagsInfoOf(arg);
    const QVariant self = context->thisObject().toVariant();
    const QVariant other = context->argument(0).toVariant();
    return QScriptValue(self.userType() == other.userType()
                        && flagsValue(self, info) == flagsValue(other, info));
}

QScriptValue flagsConstruct(QScriptContext *context, QScriptEngine *engine, void *arg)
{
    const FlagsInfo &info = flagsInfoOf(arg);
    const int enumType = info.enumeration.typeId();
    const int argc = context->argumentCount();
    // Several arguments are read through the frame's arguments object, made once (each
    // argument(i) makes it anew).
    const QScriptValue args = argc > 1 ? context->argumentsObject() : QScriptValue();
    const QScriptValue first = argc == 1 ? context->argument(0) : QScriptValue();
    int bits = 0;
    if (argc == 1 && first.isNumber()) {
        bits = first.toInt32();
    } else {
        for (int i = 0; i < argc; ++i) {
            const QVariant v = (argc == 1 ? first : args.property(quint32(i))).toVariant();
            if (v.userType() != enumType) {
                return context->throwError(
                    QScriptContext::TypeError,
                    (latin1(info.name) + QLatin1String("(): argument %0 is not of type ")
                     + latin1(info.enumeration.name))
                        .arg(i));
            }
            bits |= *static_cast<const int *>(v.constData());
        }
    }
    return engine->newVariant(QVariant(info.typeId(), &bits));
}

QScriptValue makeClass(QScriptEngine *engine, QScriptEngine::FunctionWithArgSignature construct,
                       int length, std::initializer_list<std::pair<const char *, QScriptEngine::FunctionWithArgSignature>> functions,
                       const void *info)
{
    void *arg = const_cast<void *>(info);
    QScriptValue proto = engine->newObject();
    for (const auto &f : functions) {
        proto.setProperty(latin1(f.first), engine->newFunction(f.second, arg),
                          QScriptValue::SkipInEnumeration);
    }
    const Names &names = *namesOf(engine);
    QScriptValue cls = engine->newFunction(construct, arg);
    cls.setProperty(names.length, QScriptValue(length), HiddenFixed);
    cls.setProperty(names.prototype, proto,
                    QScriptValue::Undeletable | QScriptValue::SkipInEnumeration);
    proto.setProperty(names.constructor, cls, QScriptValue::SkipInEnumeration);
    return cls;
}

} // namespace

QString keyOf(const EnumInfo &info, int value)
{
    const int i = indexOfValue(info, value);
    return i < 0 ? QString() : latin1(info.keys[i]);
}

bool hasKey(const EnumInfo &info, int value)
{
    return indexOfValue(info, value) >= 0;
}

int enumValue(const QVariant &v, int typeId)
{
    return v.userType() == typeId ? *static_cast<const int *>(v.constData()) : 0;
}

int flagsValue(const QVariant &v, const FlagsInfo &info)
{
    const int type = v.userType();
    if (type == info.typeId() || type == info.enumeration.typeId())
        return *static_cast<const int *>(v.constData());
    return 0;
}

namespace {

// Enumerations the kit made classes for, by meta type: the conversion of a result finds its
// tables here. Written when a class is made, read when an engine first converts a value.
struct EnumRegistry {
    QBasicMutex mutex;
    QHash<int, const EnumInfo *> byType;
};

EnumRegistry &enumRegistry()
{
    static EnumRegistry *const r = new EnumRegistry;
    return *r;
}

// The value objects one engine's conversions of one enumeration returned, and the owner they were
// read from. Only what no script can change is kept: an own, read-only, undeletable data property
// of an ordinary object. The owner is read from the global object at every conversion all the
// same, so that a script that puts another object under its name sees that object's values.
struct EnumValues {
    enum State : quint8 { Unknown, Kept, Read };  // Read: looked up at every conversion

    EnumValues(const EnumInfo &info, const QScriptString &ownerName)
        : info(info), ownerName(ownerName), values(size_t(info.count)), states(size_t(info.count))
    {}

    const EnumInfo &info;
    const QScriptString ownerName;
    QScriptValue owner;     // held, so that its identity is not reused while compared
    qint64 ownerId = -1;
    std::vector<QScriptValue> values;
    std::vector<State> states;
};

// An engine's enumeration values (its state, plugin/engines.h: it ends with the engine), by meta
// type less QMetaType::User; each made at its enumeration's first conversion.
struct EngineEnums {
    Names *names;   // the engine's, which end after its parts
    std::vector<std::unique_ptr<EnumValues>> byType;
};

// Whether what `owner` holds under `key` is its own and no script can change it.
bool unchangeable(const QScriptValue &owner, const QScriptString &key)
{
    if (owner.isQObject() || owner.scriptClass())
        return false;
    const QScriptValue::PropertyFlags flags = owner.propertyFlags(key, QScriptValue::ResolveLocal);
    const QScriptValue::PropertyFlags fixed = QScriptValue::ReadOnly | QScriptValue::Undeletable;
    return (flags & fixed) == fixed
           && !(flags & (QScriptValue::PropertyGetter | QScriptValue::PropertySetter));
}

QScriptValue valueObject(QScriptEngine *engine, Names &names, EnumValues &cache, int value)
{
    const int i = indexOfValue(cache.info, value);
    if (i < 0)
        return QScriptValue();
    // The owner is whatever stands under its global name now.
    const QScriptValue owner = engine->globalObject().property(cache.ownerName,
                                                                QScriptValue::ResolvePrototype);
    // The kept owner is held, so no other value can take its identity.
    const qint64 id = owner.objectId();
    if (id != cache.ownerId || id == -1) {
        if (!owner.isObject())
            return QScriptValue();
        cache.owner = owner;
        cache.ownerId = id;
        std::fill(cache.values.begin(), cache.values.end(), QScriptValue());
        std::fill(cache.states.begin(), cache.states.end(), EnumValues::Unknown);
    }
    const size_t k = size_t(i);
    if (cache.states[k] == EnumValues::Kept)
        return cache.values[k];
    const QScriptString key = names.ofTable(cache.info.keys[i]);
    const QScriptValue v = owner.property(key, QScriptValue::ResolvePrototype);
    if (cache.states[k] == EnumValues::Unknown) {
        if (unchangeable(owner, key)) {
            cache.values[k] = v;
            cache.states[k] = EnumValues::Kept;
        } else {
            cache.states[k] = EnumValues::Read;
        }
    }
    return v;
}

// The value object of `value` of the enumeration of meta type `typeId` (whose tables are `info`
// when the caller knows them). `ours` false: the kit made no class for the type in this engine.
QScriptValue valueObject(QScriptEngine *engine, int typeId, const EnumInfo *info, int value,
                         bool &ours)
{
    ours = typeId >= QMetaType::User;
    // Nothing is converted once the engine's end has begun.
    EngineEnums *enums = ours ? engineDataPointer<EngineEnums>(engine, [engine] {
        return std::make_shared<EngineEnums>(EngineEnums{namesOf(engine), {}});
    }) : nullptr;
    if (!enums || !enums->names)
        return QScriptValue();
    Names &names = *enums->names;
    const size_t slot = size_t(typeId - QMetaType::User);
    if (slot >= enums->byType.size() || !enums->byType[slot]) {
        if (!info && engine->defaultPrototype(typeId).isValid()) {
            EnumRegistry &r = enumRegistry();
            QMutexLocker lock(&r.mutex);
            info = r.byType.value(typeId);
        }
        if (!info) {
            ours = false;
            return QScriptValue();
        }
        if (slot >= enums->byType.size())
            enums->byType.resize(slot + 1);
        enums->byType[slot] = std::make_unique<EnumValues>(*info, names.ofTable(info->owner));
    }
    return valueObject(engine, names, *enums->byType[slot], value);
}

} // namespace

void registerEnum(const EnumInfo &info)
{
    {
        EnumRegistry &r = enumRegistry();
        QMutexLocker lock(&r.mutex);
        r.byType.insert(info.typeId(), &info);
    }
    // The owner's Qt properties of this type, where it is a class bound as an object.
    const int owner = QMetaType::type(QByteArray(info.owner).append('*').constData());
    if (const QMetaObject *meta = QMetaType::metaObjectForType(owner))
        compat::registerEnumPropertyType(*meta, info.name, info.typeId());
}

QScriptValue enumToScript(QScriptEngine *engine, const EnumInfo &info, int value)
{
    bool ours;
    return valueObject(engine, info.typeId(), &info, value, ours);
}

QScriptValue enumResult(QScriptEngine *engine, int typeId, int value)
{
    bool ours;
    QScriptValue v = valueObject(engine, typeId, nullptr, value, ours);
    // No class of ours in this engine: the engine's own conversion.
    if (!ours)
        v = qScriptValueFromValue_helper(engine, typeId, &value);
    return v;
}

QScriptValue makeEnumClass(QScriptEngine *engine, const EnumInfo &info)
{
    return makeClass(engine, enumConstruct, 1, {{"valueOf", enumValueOf}, {"toString", enumToString}},
                     &info);
}

void addEnumValues(QScriptEngine *engine, const EnumInfo &info, QScriptValue &owner)
{
    const int type = info.typeId();
    for (int i = 0; i < info.count; ++i) {
        owner.setProperty(latin1(info.keys[i]),
                          engine->newVariant(QVariant(type, &info.values[i])),
                          QScriptValue::ReadOnly | QScriptValue::Undeletable);
    }
}

QScriptValue makeFlagsClass(QScriptEngine *engine, const FlagsInfo &info)
{
    return makeClass(engine, flagsConstruct, 0,
                     {{"valueOf", flagsValueOf}, {"toString", flagsToString}, {"equals", flagsEquals}},
                     &info);
}

} // namespace kit
