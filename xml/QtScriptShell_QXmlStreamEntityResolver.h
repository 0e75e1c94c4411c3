#ifndef QTSCRIPTSHELL_QXMLSTREAMENTITYRESOLVER_H
#define QTSCRIPTSHELL_QXMLSTREAMENTITYRESOLVER_H

#include "plugin/shell.h"

#include <QtCore/QXmlStreamReader>

class QtScriptShell_QXmlStreamEntityResolver
    : public kit::PointerShell<QXmlStreamEntityResolver>
{
public:
    // Qt 5's reader parses a resolver's answer again, so an answer that refers to itself would be
    // resolved for ever, each time holding all of it once more. A read that a script started gives
    // the resolvers it reaches this many answers, of this many characters in all; after that they
    // answer "unresolved", and the reader stops with its error for an undeclared entity.
    static constexpr int AnswersPerRead = 4096;
    static constexpr qint64 CharactersPerRead = qint64(1) << 24;

    class Budget
    {
    public:
        Budget() : m_outer(s_current) { s_current = this; }
        ~Budget() { s_current = m_outer; }
        Budget(const Budget &) = delete;
        Budget &operator=(const Budget &) = delete;

        // False once the read in progress on this thread has used its answers up.
        static bool spend()
        {
            return !s_current
                || (s_current->m_characters <= CharactersPerRead && ++s_current->m_used <= AnswersPerRead);
        }
        // False when an answer of `characters` does not fit in what is left.
        static bool take(qint64 characters)
        {
            return !s_current || (s_current->m_characters += characters) <= CharactersPerRead;
        }

    private:
        int m_used = 0;
        qint64 m_characters = 0;
        Budget *m_outer;
        static inline thread_local Budget *s_current __attribute__((tls_model("initial-exec"))) = nullptr;
    };

    QString resolveEntity(const QString &publicId, const QString &systemId) override
    {
        return answer("resolveEntity",
                      [&] { return QXmlStreamEntityResolver::resolveEntity(publicId, systemId); },
                      publicId, systemId);
    }
    QString resolveUndeclaredEntity(const QString &name) override
    {
        return answer("resolveUndeclaredEntity",
                      [&] { return QXmlStreamEntityResolver::resolveUndeclaredEntity(name); },
                      name);
    }

private:
    template <class Base, class... A>
    QString answer(const char *function, Base &&base, const A &...args)
    {
        if (!Budget::spend())
            return QString();
        const kit::Override o(scriptSelf, function);
        if (!o.function.isValid())
            return base();
        const QScriptValue r = kit::callOverride(o.function, o.self, args...);
        // No answer (undefined, null, or a function that threw) leaves the entity unresolved
        // rather than resolving it to the text "undefined" or to an error's message.
        if (r.isUndefined() || r.isNull() || !r.isValid()
            || (r.engine() && r.engine()->hasUncaughtException()))
            return QString();
        const QString text = r.toString();
        return Budget::take(text.size()) ? text : QString();
    }
};

#endif
