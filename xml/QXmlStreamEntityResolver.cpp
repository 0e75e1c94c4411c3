#include "xml/QtScriptShell_QXmlStreamEntityResolver.h"

#include <algorithm>
#include <utility>

namespace {

// The entity references in a text, in order, but for the predefined entities and character
// references, which the reader resolves itself. References in comments and CDATA sections are
// listed too: never asked about, they are passed over.
QStringList referencesIn(const QString &text)
{
    static const QStringList predefined = {QStringLiteral("lt"), QStringLiteral("gt"),
                                           QStringLiteral("amp"), QStringLiteral("apos"),
                                           QStringLiteral("quot")};
    QStringList references;
    for (int at = text.indexOf(QLatin1Char('&')); at >= 0; at = text.indexOf(QLatin1Char('&'), at + 1)) {
        const int end = text.indexOf(QLatin1Char(';'), at + 1);
        if (end < 0)
            break;
        const QString name = text.mid(at + 1, end - at - 1);
        const bool isName = !name.isEmpty() && !name.startsWith(QLatin1Char('#'))
                            && std::none_of(name.cbegin(), name.cend(), [](QChar c) {
                                   return c.isSpace() || c == QLatin1Char('&') || c == QLatin1Char('<');
                               });
        if (isName && !predefined.contains(name))
            references << name;
    }
    return references;
}

} // namespace

using Shell = QtScriptShell_QXmlStreamEntityResolver;

Shell::Read::Read(QXmlStreamReader *reader) : m_reader(reader), m_outer(s_current)
{
    s_current = this;
}

Shell::Read::~Read()
{
    s_current = m_outer;
}

bool Shell::Read::finish(QXmlStreamReader::TokenType token)
{
    using Reader = QXmlStreamReader;
    const bool error = token == Reader::Invalid;
    // A document that starts or ends leaves nothing of its answers to follow; one that waits for
    // more data goes on.
    const bool over = token == Reader::StartDocument || token == Reader::EndDocument
                      || (error && m_reader->error() != Reader::PrematureEndOfDocumentError);
    if (m_refusal.isNull() && !error && !over && token != Reader::DTD)
        return false;
    auto *shell = dynamic_cast<Shell *>(m_reader->entityResolver());
    if (!shell)
        return false;
    auto &expansions = shell->m_expansions;
    if (token == Reader::DTD)
        expansions[m_reader].declare(m_reader->entityDeclarations());
    if (!m_refusal.isNull())
        expansions[m_reader].refusal = m_refusal;
    const auto found = expansions.find(m_reader);
    if (found == expansions.end())
        return false;
    const bool refused = error && !found->refusal.isNull();
    if (refused)
        m_reader->raiseError(std::exchange(found->refusal, QString()));
    if (over)
        expansions.erase(found);
    return refused;
}

void Shell::Expansion::declare(const QXmlStreamEntityDeclarations &declarations)
{
    for (const QXmlStreamEntityDeclaration &d : declarations) {
        // An external or unparsed entity's text is not the reader's to parse.
        if (d.systemId().isEmpty() && d.notationName().isEmpty())
            declared.insert(d.name().toString(), referencesIn(d.value().toString()));
    }
}

// The reader takes its texts last in, first out, and each from its start: the reference asked
// about is the first one ahead that bears its name. A declared entity's reference ahead of it was
// resolved by the reader (unless it is being resolved already: then the reader refused it), and
// its text comes first; any other was never asked about.
int Shell::Expansion::follow(const QString &name)
{
    while (!texts.isEmpty()) {
        Text &top = texts.last();
        if (top.next == top.references.size()) {
            texts.removeLast();
            continue;
        }
        const QString reference = top.references.at(top.next++);
        if (reference == name)
            break;
        const auto d = declared.constFind(reference);
        const bool open = std::any_of(texts.cbegin(), texts.cend(),
                                      [&](const Text &t) { return t.entity == reference; });
        if (d != declared.cend() && !open)
            texts.append(Text{*d, 0, reference});
    }
    return 1 + int(std::count_if(texts.cbegin(), texts.cend(),
                                 [](const Text &t) { return t.entity.isNull(); }));
}

int Shell::place(Read *read, const QString &name)
{
    Expansion &expansion = m_expansions[read->m_reader];
    expansion.refusal.clear();
    const qint64 offset = read->m_reader->characterOffset();
    // Once the reader has moved on in the document, it has parsed all it was given.
    if (offset != expansion.offset) {
        expansion.offset = offset;
        expansion.texts.clear();
    }
    return expansion.follow(name);
}

void Shell::given(Read *read, const QString &text)
{
    // Looked up again: the script may have used this resolver for another reader meanwhile.
    m_expansions[read->m_reader].texts.append(Text{referencesIn(text), 0, QString()});
}

bool Shell::allowed(Read *read, bool fits, const QString &name, const QString &why)
{
    if (fits)
        return true;
    if (read->m_refusal.isNull())
        read->m_refusal = QStringLiteral("Entity '%1' not resolved: %2.").arg(name, why);
    return false;
}

static const char *const qtscript_QXmlStreamEntityResolver_function_names[] = {
    "QXmlStreamEntityResolver",
    // prototype
    "resolveEntity", "resolveUndeclaredEntity", "toString",
};

static const char *const qtscript_QXmlStreamEntityResolver_function_signatures[] = {
    "",
    // prototype
    "String publicId, String systemId", "String name",
};

static const int qtscript_QXmlStreamEntityResolver_function_lengths[] = {
    0,
    // prototype
    2, 1, 0,
};

static constexpr kit::ClassTables qtscript_QXmlStreamEntityResolver_tables =
    kit::tables("QXmlStreamEntityResolver", qtscript_QXmlStreamEntityResolver_function_names,
                qtscript_QXmlStreamEntityResolver_function_signatures,
                qtscript_QXmlStreamEntityResolver_function_lengths, 0);

static QScriptValue qtscript_QXmlStreamEntityResolver_prototype_call(kit::Call &call,
                                                                     QXmlStreamEntityResolver *&self)
{
    switch (call.at()) {
    case kit::at(0, 2):
        return call.ret(self->resolveEntity(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(1, 1):
        return call.ret(self->resolveUndeclaredEntity(call.get<QString>(0)));
    }
    if (call.index == 2)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QXmlStreamEntityResolver_static_call(kit::Call &call)
{
    if (call.at() == kit::at(0, 0))
        return call.wrapShell<QXmlStreamEntityResolver>(new QtScriptShell_QXmlStreamEntityResolver());
    return call.mismatch();
}

QScriptValue qtscript_create_QXmlStreamEntityResolver_class(QScriptEngine *engine)
{
    return kit::pointerClass<QXmlStreamEntityResolver, qtscript_QXmlStreamEntityResolver_tables,
                             qtscript_QXmlStreamEntityResolver_static_call,
                             qtscript_QXmlStreamEntityResolver_prototype_call>(engine);
}
