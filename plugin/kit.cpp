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


} // namespace kit
