// Error texts (errors.h).
#include "plugin/errors.h"
#include "plugin/tables.h"

#include <QtCore/QStringList>

namespace kit {

using detail::latin1;

QScriptValue throwNotConstructedWithNew(QScriptContext *context, const char *className)
{
    return context->throwError(latin1(className)
                               + QLatin1String("(): Did you forget to construct with 'new'?"));
}

QScriptValue throwCannotConstruct(QScriptContext *context, const char *className)
{
    return context->throwError(QScriptContext::TypeError,
                               latin1(className) + QLatin1String(" cannot be constructed"));
}

QScriptValue throwNotThis(QScriptContext *context, const char *className, const char *method)
{
    const QString cls = latin1(className);
    return context->throwError(QScriptContext::TypeError,
                               (cls + QLatin1String(".%0(): this object is not a ") + cls)
                                   .arg(latin1(method)));
}

QScriptValue throwMismatch(QScriptContext *context, const char *className, const char *function,
                           const char *signatures)
{
    const QString name = latin1(function);
    QStringList candidates;
    const QStringList lines = latin1(signatures).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        candidates.append(QString::fromLatin1("%0(%1)").arg(name).arg(line));
    return context->throwError(
        (latin1(className) + QLatin1String("::%0(): could not find a function match; candidates are:\n%1"))
            .arg(name)
            .arg(candidates.join(QLatin1Char('\n'))));
}

QScriptValue throwIndexOutOfRange(QScriptContext *context, const char *className, const char *method)
{
    return context->throwError(QScriptContext::RangeError,
                               latin1(className) + QLatin1String("::") + latin1(method)
                                   + QLatin1String("(): index out of range"));
}

QScriptValue throwListTooLong(QScriptContext *context, const char *className, const char *function)
{
    return context->throwError(QScriptContext::RangeError,
                               latin1(className) + QLatin1String("::") + latin1(function)
                                   + QLatin1String("(): list length out of range"));
}

QScriptValue throwInUse(QScriptContext *context, const char *className, const char *method)
{
    return context->throwError(latin1(className) + QLatin1String("::") + latin1(method)
                               + QLatin1String("(): called while this object is at work in another call"));
}

QScriptValue throwCountOutOfRange(QScriptContext *context, const char *className,
                                  const char *method, int count)
{
    return context->throwError(QScriptContext::RangeError,
                               QString::fromLatin1("%1::%2(): count %3 out of range")
                                   .arg(latin1(className), latin1(method))
                                   .arg(count));
}

QScriptValue throwNativeFailure(QScriptContext *context, const char *what)
{
    return context->throwError(QString::fromLatin1("native call failed: %0").arg(latin1(what)));
}

} // namespace kit
