// Class makers (classes.h) that are no templates.
#include "plugin/classes.h"
#include "plugin/compat.h"
#include "plugin/engines.h"
#include "plugin/metatypes.h"

#include <QtCore/QReadWriteLock>
#include <QtCore/QThread>

namespace kit {

using detail::HiddenFixed;
using detail::latin1;

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

} // namespace kit
