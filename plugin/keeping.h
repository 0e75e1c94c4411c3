// What a script object keeps for its native object, in its internal data: the values a native
// user keeps (kept.h), and a shell's held children, parent and filters (selflink.h). Internal to
// those two: the data is a variant object of a Token, whose end (the collector took the script
// object) tells the link so, ends a user that ends with its script object, and deletes an object
// that left for another thread.
#ifndef QTCORE_PLUGIN_KEEPING_H
#define QTCORE_PLUGIN_KEEPING_H

#include <QtCore/QMetaType>
#include <QtCore/QMutex>
#include <QtCore/QObject>
#include <QtScript/QScriptValue>

#include <functional>
#include <memory>
#include <vector>

#include "plugin/away.h"
#include "plugin/cells.h"

namespace kit {

// Children held by a script object before their stale entries (children since deleted) are
// swept out; then twice the number left.
constexpr int FirstPrune = 64;

// Ends a cell and destroys the object it owns, if any (cells.cpp).
void finishOwned(Cell *cell);

inline bool byToken(Away &away)
{
    QMutexLocker lock(&away.mutex);
    return away.byToken;
}

// The native side of a script object's internal data; it ends when the engine collects the
// object (or the engine ends).
struct Token {
    std::shared_ptr<bool> alive;    // a SelfLink's: false from then on
    CellRef anchor;                 // a user that ends with its script object
    std::shared_ptr<Away> away;
    int children = 0;               // held, stale ones included
    int pruneAt = FirstPrune;
    std::vector<std::function<void()>> collected;   // see whenCollected

    ~Token()
    {
        if (alive)
            *alive = false;
        for (const auto &f : collected)
            f();
        // A user that ends with its script object, unless QtCore has taken it since.
        Cell *cell = anchor.cell();
        if (cell && cell->destroy)
            finishOwned(cell);
        // An object that left its engine's thread goes on its own thread.
        if (away && byToken(*away))
            deleteThere(away);
    }
};
struct Watch {
    std::shared_ptr<Token> token;
};

} // namespace kit

Q_DECLARE_METATYPE(kit::Watch)

namespace kit {

// The internal data of `self` where the kit keeps what its native object holds: a variant object
// of the token, whose properties are the kept values (by slot) and held children (by id). Made
// when `make` and there is none.
QScriptValue keepingOf(QScriptValue self, bool make);
Token &tokenOf(const QScriptValue &keeping);

} // namespace kit

#endif
