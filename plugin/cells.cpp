// Cells (cells.h): the index that finds an object's cell by its address, the end of a cell, and
// loans.
#include "plugin/cells.h"
#include "plugin/busy.h"
#include "plugin/keeping.h"
#include "plugin/kept.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>

namespace kit {

namespace {

// Cells by object address, for objects that scripts own or that are lent to them now.
struct Index {
    QBasicMutex mutex;
    QHash<const void *, Cell *> cells;
};

Index &index()
{
    // Never destroyed: an engine may outlive static destruction.
    static Index *const i = new Index;
    return *i;
}

void unindex(Cell *cell)
{
    if (!cell->indexed)
        return;
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    auto it = i.cells.find(cell->object);
    if (it != i.cells.end() && it.value() == cell)
        i.cells.erase(it);
    cell->indexed = false;
}

Cell *indexed(const void *object)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    return i.cells.value(object);
}

void indexCell(Cell *cell)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    Cell *&slot = i.cells[cell->object];
    if (slot)
        slot->indexed = false;  // an address reused while a stale cell stood for it
    slot = cell;
    cell->indexed = true;
}

// The indexed cell of `object`, or a new one indexed for it (`made`): one visit to the index.
Cell *indexedOrNew(void *object, bool &made)
{
    Index &i = index();
    QMutexLocker lock(&i.mutex);
    Cell *&slot = i.cells[object];
    made = !slot;
    if (made) {
        slot = new Cell;
        slot->object = object;
        slot->indexed = true;
    }
    return slot;
}

// Ends a cell: its object is no longer reachable through it.
void finish(Cell *cell)
{
    if (!cell->object)
        return;
    void *object = cell->object;
    unindex(cell);
    cell->object = nullptr;
    cell->destroy = nullptr;
    dropKept(object);
}

} // namespace

// Ends a cell and destroys the object it owns, if any. Mostly the collector's sweep: no script
// code may run while the object goes.
void finishOwned(Cell *cell)
{
    void *object = cell->object;
    void (*destroy)(void *) = cell->destroy;
    finish(cell);
    if (object && destroy) {
        const Collecting collecting;
        destroy(object);
    }
}

void CellRef::drop(Cell *cell)
{
    if (cell->refs.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    finishOwned(cell);
    delete cell;
}

Cell *ownedCell(void *object, void (*destroy)(void *))
{
    Cell *cell = new Cell;
    cell->object = object;
    cell->destroy = destroy;
    indexCell(cell);
    return cell;
}

Cell *borrowedCell(void *object)
{
    if (Cell *cell = indexed(object))
        return cell;
    Cell *cell = new Cell;
    cell->object = object;
    return cell;
}

void endCell(void *object)
{
    if (Cell *cell = indexed(object))
        finish(cell);
}

bool handOver(Cell *cell)
{
    if (!cell || !cell->object || !cell->destroy)
        return false;
    finish(cell);
    return true;
}

Loan::~Loan()
{
    if (m_first.cell())
        finish(m_first.cell());
    for (const CellRef &ref : m_more)
        finish(ref.cell());
}

Cell *Loan::lend(void *object)
{
    bool made;
    Cell *cell = indexedOrNew(object, made);
    if (!made)
        return cell;
    // The loan holds a reference until it has ended the cell.
    if (!m_first.cell())
        m_first = CellRef(cell);
    else
        m_more.emplace_back(cell);
    return cell;
}

} // namespace kit
