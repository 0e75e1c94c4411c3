#include "plugin/kit.h"

#include "plugin/compat.h"
#include "plugin/engines.h"
#include "plugin/enums.h"
#include "plugin/shell.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtCore/QMetaMethod>
#include <QtCore/QMutex>
#include <QtCore/QPointer>
#include <QtCore/QSocketNotifier>
#include <QtCore/QThread>
#include <QtCore/QThreadPool>
#include <QtScript/QScriptString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace kit {

using detail::HiddenFixed;
using detail::latin1;

QScriptValue Call::argumentAt(int i) const
{
    if (i < 0 || i >= argc)
        return context->argument(i);
    if (!m_arguments.filled() || !m_arguments.value().isObject()) {
        if (!m_arguments.fill([&] { return context->argumentsObject(); }).isObject())
            return context->argument(i);
    }
    return m_arguments.value().property(quint32(i));
}

QScriptValue Call::error(QScriptContext::Error kind, const char *text) const
{
    return context->throwError(kind, latin1(tables.name) + QLatin1String("::") + latin1(name())
                                         + QLatin1String("(): ") + latin1(text));
}

QScriptValue Call::mismatch() const
{
    // The default toString has no signatures entry; it accepts every count and never gets here.
    return throwMismatch(context, tables.name, name(), tables.signatures[m_entry]);
}

// ---------------------------------------------------------------------------------------------
// Conversions

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

// ---------------------------------------------------------------------------------------------
// Objects

Linked::~Linked() = default;

Linked *keeperOf(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (Linked *linked = dynamic_cast<Linked *>(o))
            return linked;
    }
    return nullptr;
}

const QObject *keeperOfParent(const QObject *child)
{
    const Linked *keeper = keeperOf(child->parent());
    return keeper ? dynamic_cast<const QObject *>(keeper) : nullptr;
}

namespace {

// Native holds whose holder is of a script's family (a child of a QtCore-made object under a
// script's object, a filter of such an object), taken while no call had the keeper's script
// object in hand. At the next turn of the event loop a full collection sweeps what no script
// reaches: every keeper whose script object is left is then reachable, and takes them into its
// own, so that a family that refers to itself through them still goes once nothing reaches it.
struct Adoptions {
    std::vector<QPointer<QObject>> waiting;
    bool asked = false;
};

bool sameHome(const Linked *keeper, const SelfLink &link)
{
    return keeper && keeper->scriptSelf.atHome() && keeper->scriptSelf.boundEngine() == link.boundEngine();
}

void adoptWaiting(QScriptEngine *engine)
{
    Adoptions *adoptions = engineDataPointer<Adoptions>(engine, [] { return nullptr; });
    if (!adoptions)
        return;
    adoptions->asked = false;
    std::vector<QPointer<QObject>> waiting = std::move(adoptions->waiting);
    if (waiting.empty() || engineEnding(engine))
        return;
    engine->collectGarbage();
    for (const QPointer<QObject> &object : waiting) {
        SelfLink *link = object ? linkOf(object) : nullptr;
        if (!link || !link->alive())
            continue;
        if (link->kept(SelfLink::Parented)) {
            Linked *keeper = keeperOf(object->parent());
            const QScriptValue keeperSelf = sameHome(keeper, *link) ? keeper->scriptSelf.swept()
                                                                     : QScriptValue();
            if (keeperSelf.isValid() && keeper->scriptSelf.hold(*link, keeperSelf))
                link->keep(SelfLink::Parented, false);
        }
        for (QObject *watched : link->heldNatively()) {
            Linked *keeper = keeperOf(watched);
            const QScriptValue keeperSelf = sameHome(keeper, *link) ? keeper->scriptSelf.swept()
                                                                     : QScriptValue();
            if (keeperSelf.isValid())
                link->filter(watched, &keeper->scriptSelf, true, keeperSelf);
        }
    }
}

// `object` is held natively where a keeper of its family could hold it.
void adoptLater(QObject *object, const SelfLink &link)
{
    QScriptEngine *engine = link.turningEngine();
    Adoptions *adoptions =
        engine ? engineDataPointer<Adoptions>(engine, [] { return std::make_shared<Adoptions>(); })
               : nullptr;
    if (!adoptions)
        return;
    adoptions->waiting.emplace_back(object);
    if (adoptions->asked)
        return;
    adoptions->asked = true;
    QMetaObject::invokeMethod(engine, [engine] { adoptWaiting(engine); }, Qt::QueuedConnection);
}

} // namespace

void keepWhileParented(QObject *object, QObject *formerParent)
{
    guardAncestors(object);
    Linked *linked = dynamic_cast<Linked *>(object);
    if (!linked)
        return;
    QObject *parent = object->parent();
    if (formerParent && formerParent != parent) {
        if (Linked *former = keeperOf(formerParent))
            former->scriptSelf.release(linked->scriptSelf);
    }
    // The keeper's script object is read where it is known reachable: the parent in hand (the
    // caller's argument), or held.
    Linked *const direct = dynamic_cast<Linked *>(parent);
    Linked *const keeper = direct ? direct : keeperOf(parent);
    const bool known = keeper && (keeper == direct || keeper->scriptSelf.held());
    const bool held = known && keeper->scriptSelf.hold(linked->scriptSelf);
    linked->scriptSelf.keep(SelfLink::Parented, parent && !held);
    if (parent && !held && !known && sameHome(keeper, linked->scriptSelf))
        adoptLater(object, linked->scriptSelf);
}

bool familyHeld(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        const Linked *linked = dynamic_cast<const Linked *>(o);
        // Under an object no script made, a held child would have been found.
        if (!linked)
            return false;
        if (linked->scriptSelf.held())
            return true;
    }
    return false;
}

SelfLink *linkOf(QObject *object)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return linked && linked->scriptSelf.atHome() ? &linked->scriptSelf : nullptr;
}

namespace {

bool hasTimers(QObject *object)
{
    // Only the object's own thread may ask its dispatcher.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && object->thread() == QThread::currentThread()
        && !dispatcher->registeredTimers(object).isEmpty();
}

bool armed(QObject *object)
{
    const auto *notifier = qobject_cast<const QSocketNotifier *>(object);
    return notifier && notifier->isEnabled();
}

int deleteLaterIndex()
{
    static const int index = QObject::staticMetaObject.indexOfMethod("deleteLater()");
    return index;
}

// Reads again what QtCore shows of the reasons it may call the object unbidden: its timers, a
// notifier's being enabled, its work.
void reread(QObject *object, Linked &linked, const QScriptValue &inHand)
{
    SelfLink &link = linked.scriptSelf;
    const bool timed = hasTimers(object), notifying = armed(object), working = linked.working();
    if (timed != link.kept(SelfLink::Timed))
        link.keep(SelfLink::Timed, timed, inHand);
    if (notifying != link.kept(SelfLink::Armed))
        link.keep(SelfLink::Armed, notifying, inHand);
    if (working != link.kept(SelfLink::Working))
        link.keep(SelfLink::Working, working, inHand);
}

} // namespace

bool Linked::working() const
{
    return false;
}

void retime(QObject *object, const QScriptValue &inHand)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    if (linked && linked->scriptSelf.atHome())
        reread(object, *linked, inHand);
}

void retimeLater(QObject *object)
{
    // Through the engine: the object's own event override could swallow the call.
    const SelfLink *link = linkOf(object);
    QScriptEngine *engine = link ? link->turningEngine() : nullptr;
    if (!engine)
        return;
    QMetaObject::invokeMethod(
        engine, [guard = QPointer<QObject>(object)] { if (guard) retime(guard); },
        Qt::QueuedConnection);
}

namespace {

// Objects of this thread that a script posted deletions to: a removal of posted events for all
// objects finds them. Entries that wait for nothing are swept as the list grows.
thread_local std::vector<QPointer<QObject>> awaiting;
thread_local size_t sweepAwaitingAt = 64;

void awaits(QObject *receiver, const SelfLink &link)
{
    if (link.awaits())
        return;
    if (awaiting.size() >= sweepAwaitingAt) {
        awaiting.erase(std::remove_if(awaiting.begin(), awaiting.end(),
                                      [](const QPointer<QObject> &o) {
                                          const SelfLink *l = o ? linkOf(o) : nullptr;
                                          return !l || !l->awaits();
                                      }),
                       awaiting.end());
        sweepAwaitingAt = std::max<size_t>(64, 2 * awaiting.size());
    }
    awaiting.emplace_back(receiver);
}

} // namespace

void postedTo(QObject *receiver, const QEvent *event, const QScriptValue &inHand)
{
    SelfLink *link = linkOf(receiver);
    if (!link)
        return;
    if (event->type() == QEvent::DeferredDelete) {
        awaits(receiver, *link);
        link->deleting(inHand);
    } else {
        link->posted(event, inHand);
    }
}

void unposted(QObject *receiver, int type)
{
    if (receiver) {
        if (SelfLink *link = linkOf(receiver))
            link->unposted(type);
        return;
    }
    for (const QPointer<QObject> &o : awaiting) {
        if (SelfLink *link = o ? linkOf(o) : nullptr)
            link->unposted(type);
    }
}

void filters(QObject *filter, QObject *watched, bool on)
{
    SelfLink *link = linkOf(filter);
    if (!link || !watched)
        return;
    // The keeper's script object is read where it is known reachable: the watched object or the
    // filter (the caller's `this` and argument), or held.
    Linked *keeper = keeperOf(watched);
    const bool known = keeper
                       && (keeper == dynamic_cast<Linked *>(watched)
                           || keeper == dynamic_cast<Linked *>(filter) || keeper->scriptSelf.held());
    link->filter(watched, known ? &keeper->scriptSelf : nullptr, on);
    if (on && !known && sameHome(keeper, *link))
        adoptLater(filter, *link);
}

void installed(QObject *translator, bool on, const QScriptValue &inHand)
{
    if (SelfLink *link = linkOf(translator))
        link->keep(SelfLink::Installed, on, inHand);
}

void leavingThread(QObject *object)
{
    // A moved object has no parent: the others move with it.
    if (Linked *linked = dynamic_cast<Linked *>(object))
        linked->scriptSelf.leaveHome(object, !object->parent());
}

void leftThread(QObject *object)
{
    if (object->thread() == QThread::currentThread())
        return;
    const QList<QObject *> below = object->findChildren<QObject *>();
    if (Linked *linked = dynamic_cast<Linked *>(object))
        linked->scriptSelf.leaveHome(object, true);
    for (QObject *child : below) {
        if (Linked *linked = dynamic_cast<Linked *>(child))
            linked->scriptSelf.leaveHome(child, false);
    }
}

Holder holderOf(QObject *object)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return Holder{linked ? linked->scriptSelf.get() : QScriptValue()};
}

QScriptValue objectToScriptValue(QScriptEngine *engine, QObject *object)
{
    if (!object)
        return engine->nullValue();
    // Never wrapped anew once its destructor has begun (it left its connections already).
    if (Q_UNLIKELY(dying(object)))
        return selfWhileGone(engine, object);
    if (Linked *linked = dynamic_cast<Linked *>(object)) {
        if (linked->scriptSelf.engine() == engine) {
            const QScriptValue self = linked->scriptSelf.get();
            if (self.isValid())
                return self;
        }
    }
    QScriptEngine::QObjectWrapOptions options = QScriptEngine::PreferExistingWrapperObject;
    // No script may delete the application object (often on the host's stack), the engine, a
    // thread, a dispatcher, QtCore's global pool or QtCore's own helpers.
    if (isProtected(object))
        options |= QScriptEngine::ExcludeDeleteLater;
    // A DeferredDelete that reaches a QtCore-made object is checked as a shell checks its own.
    guardDeletion(object);
    return engine->newQObject(object, QScriptEngine::QtOwnership, options);
}

// ---------------------------------------------------------------------------------------------
// Class makers

void registerOpaqueTypes()
{
    qMetaTypeId<Ref<char>>();
    qMetaTypeId<uchar *>();
    qMetaTypeId<qint64 *>();
    qMetaTypeId<qreal *>();
    qMetaTypeId<QChar *>();
    qMetaTypeId<QTextCodec::ConverterState *>();
    qMetaTypeId<compat::FileEngine *>();
    qMetaTypeId<QThread *>();
    qMetaTypeId<Ref<QReadWriteLock>>();
    qMetaTypeId<QPair<QString, QString>>();
    qMetaTypeId<QPair<QByteArray, QByteArray>>();
}

QScriptValue newBindingFunction(QScriptEngine *engine, QScriptEngine::FunctionWithArgSignature f,
                                int index, int length)
{
    const Names &names = *namesOf(engine);
    QScriptValue fn = engine->newFunction(f, reinterpret_cast<void *>(quintptr(index)));
    const QScriptValue tag(engine, uint(MethodTag + quint32(index)));
    // data() of a native function reads its own property "__qt_data__"; setData would make it a
    // plain property a script could rewrite or delete (and redefining it costs a delete), so it
    // is defined hidden and read-only at once. Shells and hosts read it.
    fn.setProperty(names.data, tag, HiddenFixed);
    fn.setProperty(names.length, QScriptValue(length), HiddenFixed);
    return fn;
}

QScriptValue makePrototype(QScriptEngine *engine, const ClassTables &tables,
                           const QVariant &nullPointer, int baseType,
                           QScriptEngine::FunctionWithArgSignature methods)
{
    engine->setDefaultPrototype(nullPointer.userType(), QScriptValue());
    QScriptValue proto = engine->newVariant(nullPointer);
    if (baseType)
        proto.setPrototype(engine->defaultPrototype(baseType));
    const int first = tables.staticCount + 1;
    for (int i = 0; i < tables.methodCount; ++i) {
        proto.setProperty(latin1(tables.names[first + i]),
                          newBindingFunction(engine, methods, i, tables.lengths[first + i]),
                          QScriptValue::SkipInEnumeration);
    }
    return proto;
}

QScriptValue makeConstructor(QScriptEngine *engine, const ClassTables &tables,
                             const QScriptValue &prototype,
                             QScriptEngine::FunctionWithArgSignature statics)
{
    const Names &names = *namesOf(engine);
    QScriptValue ctor = newBindingFunction(engine, statics, 0, tables.lengths[0]);
    if (prototype.isValid()) {
        ctor.setProperty(names.prototype, prototype,
                         QScriptValue::Undeletable | QScriptValue::SkipInEnumeration);
        QScriptValue(prototype).setProperty(names.constructor, ctor,
                                            QScriptValue::SkipInEnumeration);
    }
    for (int k = 1; k <= tables.staticCount; ++k) {
        ctor.setProperty(latin1(tables.names[k]),
                         newBindingFunction(engine, statics, k, tables.lengths[k]),
                         QScriptValue::SkipInEnumeration);
    }
    return ctor;
}

// ---------------------------------------------------------------------------------------------
// Enumerations and flags

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
    EnumRegistry &r = enumRegistry();
    QMutexLocker lock(&r.mutex);
    r.byType.insert(info.typeId(), &info);
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

#include "plugin/shell.h"

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

QScriptValue calledOn(const SelfLink &link)
{
    QScriptEngine *engine = link.engine();
    if (!engine || engineEnding(engine) || !engine->isEvaluating())
        return QScriptValue();
    QScriptContext *context = engine->currentContext();
    QScriptValue self = context ? context->thisObject() : QScriptValue();
    if (!link.is(self))
        self = QScriptValue();
    return self;
}

void metaCalled(QObject *object, Linked &linked, QMetaObject::Call call, int id,
                const QScriptValue &inHand)
{
    SelfLink &link = linked.scriptSelf;
    if (!link.engine())
        return;
    if (call == QMetaObject::InvokeMetaMethod && id == deleteLaterIndex()) {
        awaits(object, link);
        link.deleting(inHand);
    }
    reread(object, linked, inHand);
}

void timersMayHaveStopped(QObject *object, SelfLink &link)
{
    if (link.atHome() && !hasTimers(object))
        link.keep(SelfLink::Timed, false);
}

QScriptValue filterSelf(const SelfLink &filter, QObject *watched)
{
    const QScriptValue self = filter.get();
    if (self.isValid())
        return self;
    const Linked *keeper = keeperOf(watched);
    return keeper && keeper->scriptSelf.held() ? filter.getFiltering(watched) : QScriptValue();
}

bool overridden(QObject *object, const char *name)
{
    Linked *linked = dynamic_cast<Linked *>(object);
    return linked && Override(linked->scriptSelf, name).function.isValid();
}


} // namespace kit
