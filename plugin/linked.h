// Linked, the base every object shell has, in a header of its own: the marks of objects in use
// (busy.cpp) and the self links' holds need only this of the kit, so that the parts below the
// kit do not include it.
#ifndef QTCORE_PLUGIN_LINKED_H
#define QTCORE_PLUGIN_LINKED_H

#include "plugin/selflink.h"

namespace kit {

// Every object shell derives from this: how the kit finds the script object of an object that
// a script made.
class Linked
{
public:
    virtual ~Linked();
    // Whether QtCore still works for the object unbidden, to finish on its own (a running
    // process): its script object is kept meanwhile.
    virtual bool working() const;
    SelfLink scriptSelf;
};

// The nearest object a script made: `object` itself or an ancestor, through objects QtCore or the
// host made under it (which go with it). Null when there is none.
Linked *keeperOf(QObject *object);

// The keeper of a child's family: the nearest object a script made above it (see keeperOf).
const QObject *keeperOfParent(const QObject *child);

} // namespace kit

#endif
