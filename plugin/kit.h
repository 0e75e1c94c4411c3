// The binding kit: everything a class binding is made of except its own tables and cases.
//
// A class file declares its names, signatures and lengths tables, a static dispatcher and a
// prototype dispatcher (a switch over the method index), and a creation function that hands
// them to one of the class makers. The kit has a file for each of its concerns:
//   tables.h    a class's constant tables, the method tag
//   errors.h    error texts
//   convert.h   conversion traits, Conv<T>
//   self.h      the native `this` of a prototype method
//   inuse.h     objects at work in a call further up
//   call.h      the dispatch frame and the binding functions' entries
//   classes.h   class makers
//   objects.h   objects of object classes and their script objects (linked.h: Linked)
//   cells.h     object handles, cells and loans
//   kept.h      script values kept for native users
//   selflink.h  a shell's reference to its own script object
// besides busy.h (objects in use) and metatypes.h (meta-type declarations), which it includes,
// and enums.h (enumeration and flags classes) and shell.h (forwarding to script overrides),
// which include it.
#ifndef QTCORE_PLUGIN_KIT_H
#define QTCORE_PLUGIN_KIT_H

#include "plugin/busy.h"
#include "plugin/call.h"
#include "plugin/cells.h"
#include "plugin/classes.h"
#include "plugin/convert.h"
#include "plugin/errors.h"
#include "plugin/inuse.h"
#include "plugin/kept.h"
#include "plugin/linked.h"
#include "plugin/metatypes.h"
#include "plugin/objects.h"
#include "plugin/self.h"
#include "plugin/selflink.h"
#include "plugin/tables.h"

#endif
