#ifndef QTSCRIPTSHELL_QXMLSTREAMENTITYRESOLVER_H
#define QTSCRIPTSHELL_QXMLSTREAMENTITYRESOLVER_H

#include "plugin/shell.h"

#include <QtCore/QHash>
#include <QtCore/QVector>
#include <QtCore/QXmlStreamReader>

class QtScriptShell_QXmlStreamEntityResolver
    : public kit::PointerShell<QXmlStreamEntityResolver>
{
public:
    // Qt 5's reader parses a resolver's answer again, so an answer that refers to itself would be
    // resolved for ever. The answers that one reference of the document leads to may nest this
    // deep, and the answers of one read may hold this many characters in all (the largest
    // string); past either the entity stays unresolved and the read ends with an error that names
    // the limit.
    static constexpr int MaxDepth = 64;
    static constexpr qint64 MaxCharacters = kit::MaxBytes / 2;

    // One readNext or readElementText that a script started: while it runs, the resolvers it
    // reaches answer under the limits.
    class Read
    {
    public:
        explicit Read(QXmlStreamReader *reader);
        ~Read();
        Read(const Read &) = delete;
        Read &operator=(const Read &) = delete;

        // After the read: the error of a limit that was reached replaces the reader's own for the
        // entity left unresolved, in this read or the next (then true); a DTD's declared entities
        // are noted for the reader's script resolver.
        bool finish(QXmlStreamReader::TokenType token);

    private:
        friend class QtScriptShell_QXmlStreamEntityResolver;
        QXmlStreamReader *m_reader;
        qint64 m_characters = 0;
        QString m_refusal;
        Read *m_outer;
        static inline thread_local Read *s_current __attribute__((tls_model("initial-exec"))) = nullptr;
    };

    QString resolveEntity(const QString &publicId, const QString &systemId) override
    {
        return answer("resolveEntity", QString(),
                      [&] { return QXmlStreamEntityResolver::resolveEntity(publicId, systemId); },
                      publicId, systemId);
    }
    QString resolveUndeclaredEntity(const QString &name) override
    {
        return answer("resolveUndeclaredEntity", name,
                      [&] { return QXmlStreamEntityResolver::resolveUndeclaredEntity(name); },
                      name);
    }

private:
    // What the reader is parsing of the answers it was given at one place in the document: the
    // texts it takes in turn (the answers, and the declared entities they refer to), innermost
    // last, each with the references it holds still ahead. A reference a resolver is asked about
    // at the same place comes from one of them; the document's own text is not seen.
    struct Text {
        QStringList references;
        int next = 0;
        QString entity;   // a declared entity's name; null for an answer
    };
    struct Expansion {
        qint64 offset = -1;
        QVector<Text> texts;
        QHash<QString, QStringList> declared;   // the references in each declared entity's text
        // The limit that left an entity unresolved, until the reader reports its error (QtCore
        // may first deliver the text before the entity) or moves on without one.
        QString refusal;

        int follow(const QString &name);
        void declare(const QXmlStreamEntityDeclarations &declarations);
    };

    // The depth the answer to `name` would nest at for the read in progress, after placing its
    // reference among the texts the reader was given; 0 outside a read.
    int place(Read *read, const QString &name);
    // Whether the answer fits in the read's limits; else the read is refused with `why`.
    static bool allowed(Read *read, bool fits, const QString &name, const QString &why);
    void given(Read *read, const QString &text);

    template <class Base, class... A>
    QString answer(const char *function, const QString &name, Base &&base, const A &...args)
    {
        Read *read = Read::s_current;
        const int depth = read && !name.isNull() ? place(read, name) : 0;
        if (!allowed(read, depth <= MaxDepth, name,
                     QStringLiteral("answers nested more than %1 deep").arg(MaxDepth)))
            return QString();
        const kit::Override o(scriptSelf, function);
        if (!o.function.isValid())
            return base();
        const QScriptValue r = kit::callOverride(o.function, o.self, args...);
        // No answer (undefined, null, or a function that threw) leaves the entity unresolved
        // rather than resolving it to the text "undefined" or to an error's message.
        if (r.isUndefined() || r.isNull() || !r.isValid() || kit::threw(r))
            return QString();
        const QString text = r.toString();
        if (read) {
            read->m_characters += text.size();
            if (!allowed(read, read->m_characters <= MaxCharacters, name,
                         QStringLiteral("answers of more than %1 characters in one read")
                             .arg(MaxCharacters)))
                return QString();
            if (depth)
                given(read, text);
        }
        return text;
    }

    // Per reader that asked this resolver, until its document ends.
    QHash<const QXmlStreamReader *, Expansion> m_expansions;
};

#endif
