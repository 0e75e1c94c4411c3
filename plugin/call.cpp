// The dispatch frame's calls that are not inline (call.h).
#include "plugin/call.h"

namespace kit {

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

} // namespace kit
