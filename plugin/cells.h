// Lifetimes of native objects that scripts hold.
//
// A pointer class's script value does not hold a raw pointer: its variant holds a Ref, a counted
// reference to the object's one Cell. The cell ends when the object ends or QtCore takes it, and
// every copy of the script value, wherever it went, then reads as an empty handle. An object a
// script made is owned by its cell and deleted when the last reference goes (the engine collected
// the last script value, at the latest when the engine ends).
#ifndef QTCORE_PLUGIN_CELLS_H
#define QTCORE_PLUGIN_CELLS_H

#include <QtCore/QMetaType>
#include <QtCore/QObject>

#include <atomic>
#include <type_traits>
#include <utility>
#include <vector>

namespace kit {

struct Cell {
    std::atomic<int> refs{0};
    void *object = nullptr;             // null once the object ended or was handed on
    void (*destroy)(void *) = nullptr;  // set while scripts own the object
    bool indexed = false;               // found by its object's address
};

// A counted reference to a cell; copies share it.
class CellRef
{
public:
    CellRef() = default;
    explicit CellRef(Cell *cell) : m_cell(cell) { if (m_cell) m_cell->refs.fetch_add(1, std::memory_order_relaxed); }
    CellRef(const CellRef &o) : CellRef(o.m_cell) {}
    CellRef(CellRef &&o) noexcept : m_cell(o.m_cell) { o.m_cell = nullptr; }
    CellRef &operator=(CellRef o) noexcept
    {
        std::swap(m_cell, o.m_cell);
        return *this;
    }
    ~CellRef() { if (m_cell) drop(m_cell); }

    void *object() const { return m_cell ? m_cell->object : nullptr; }
    Cell *cell() const { return m_cell; }

private:
    static void drop(Cell *cell);
    Cell *m_cell = nullptr;
};

// The variant payload of a pointer class, registered under the class's pointer name ("QEvent*").
template <class T>
class Ref : public CellRef
{
public:
    using CellRef::CellRef;
    T *get() const { return static_cast<T *>(object()); }
};

// A new cell that owns `object` (deleted with `destroy` when the last reference goes).
Cell *ownedCell(void *object, void (*destroy)(void *));
// The cell of an object scripts already hold, or a new one that does not own it.
Cell *borrowedCell(void *object);
// Ends the object's cell, if it has one: every reference reads empty. For objects deleted by
// other means (a shell's destructor calls it).
void endCell(void *object);
// QtCore takes the object: its cell ends without deleting it. False when scripts did not own it.
bool handOver(Cell *cell);

// What Qt lends a script override (an event, a buffer) lives only during the call: a cell made
// for the loan ends with it; an object scripts already held keeps its own cell.
class Loan
{
public:
    Loan() = default;
    Loan(const Loan &) = delete;
    Loan &operator=(const Loan &) = delete;
    ~Loan();
    Cell *lend(void *object);

private:
    // Most calls lend one object: it needs no list.
    CellRef m_first;
    std::vector<CellRef> m_more;
};

template <class T>
void deleteAs(void *p)
{
    delete static_cast<T *>(p);
}
// An object held as its bound class B, deleted as what it is.
template <class B, class T>
void deleteDerived(void *p)
{
    delete static_cast<T *>(static_cast<B *>(p));
}

// A QObject class that scripts hold by handle, as a pointer class, rather than as an object:
// specialise to true beside its meta type (plugin/metatypes.h).
template <class T>
struct HeldByHandle : std::false_type {};

// An object class: a QObject subclass that scripts reach as an object.
template <class T>
constexpr bool isObjectClass()
{
    return std::is_base_of<QObject, T>::value && !HeldByHandle<T>::value;
}

// The owning cell of an object a script made, deleted as D (what it is: a shell of a class without
// a virtual destructor). A QObject held by handle may also go with its parent: its cell ends
// then, and the cell deletes it only while it has no parent.
template <class T, class D = T>
Cell *scriptOwnedCell(T *object)
{
    if constexpr (std::is_base_of<QObject, T>::value) {
        void *key = object;
        QObject::connect(object, &QObject::destroyed, [key] { endCell(key); });
        return ownedCell(object, [](void *p) {
            T *o = static_cast<T *>(p);
            if (!o->parent())
                delete o;
        });
    } else {
        return ownedCell(object, &deleteDerived<T, D>);
    }
}

} // namespace kit

// Not movable: a variant then keeps a handle in a shared block, so that copying it (every
// toVariant() of a script value) is a reference count, not a construction through QtCore's type
// registry under its lock.
QT_BEGIN_NAMESPACE
template <class T>
Q_DECLARE_TYPEINFO_BODY(kit::Ref<T>, Q_COMPLEX_TYPE);
QT_END_NAMESPACE

#endif
