// A class's constant tables, and the method tag.
//
// A class file states its class in three constant tables (names, signatures and lengths, in the
// order constructor, statics, methods), which the class makers and the dispatch frame read. Every
// native function the bindings make carries the method tag, by which shells and hosts tell the
// bindings' functions from a script's.
#ifndef QTCORE_PLUGIN_TABLES_H
#define QTCORE_PLUGIN_TABLES_H

#include <QtCore/QString>
#include <QtScript/QScriptValue>

namespace kit {

// The method tag: the data value of every native function the bindings make is this plus the
// function's index. Shells read it to tell binding functions from script overrides.
constexpr quint32 MethodTag = 0xBABE0000u;

// The three constant tables of a class, and what the class makers need to know of it.
struct ClassTables {
    const char *name;                   // the class name, also the script-visible name
    const char *const *names;           // S + P + 1 entries: constructor, statics, methods
    const char *const *signatures;      // parallel to names; none for the default toString
    const int *lengths;                 // parallel to names
    int staticCount;                    // S
    int methodCount;                    // P, toString included
    bool constructible = true;          // false: "X cannot be constructed"
};

// Builds a ClassTables from arrays, checking their sizes against each other at compile time.
template <int N, int NS, int NL>
constexpr ClassTables tables(const char *name, const char *const (&names)[N],
                             const char *const (&signatures)[NS], const int (&lengths)[NL],
                             int staticCount, bool constructible = true)
{
    static_assert(N == NL, "one length per name");
    static_assert(NS == N || NS == N - 1, "one signature per name but the default toString");
    return ClassTables{name, names, signatures, lengths, staticCount, N - 1 - staticCount,
                       constructible};
}

namespace detail {
// For the kit's own sources: a binding function's tag and length are hidden and read-only, and
// the names in the tables are Latin-1.
const QScriptValue::PropertyFlags HiddenFixed =
    QScriptValue::ReadOnly | QScriptValue::Undeletable | QScriptValue::SkipInEnumeration;

inline QString latin1(const char *s)
{
    return QString::fromLatin1(s);
}
} // namespace detail

} // namespace kit

#endif
