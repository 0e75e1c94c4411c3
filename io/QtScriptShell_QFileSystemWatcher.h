#ifndef QTSCRIPTSHELL_QFILESYSTEMWATCHER_H
#define QTSCRIPTSHELL_QFILESYSTEMWATCHER_H

#include "plugin/compat.h"
#include "plugin/shell.h"

#include <QtCore/QFileSystemWatcher>

#include <utility>

// The watcher's engine and its notifier emit the watcher's signals from their own events: they
// are watched as helpers (a polling engine comes only with paths, so adding paths watches again).
// A watcher that watches paths keeps its script object (and its handlers' receiver); QtCore lets
// go of a path whose file went, as it reports it.
class QtScriptShell_QFileSystemWatcher : public kit::ObjectShell<QFileSystemWatcher>
{
public:
    template <class... A>
    explicit QtScriptShell_QFileSystemWatcher(A &&...a) : ObjectShell(std::forward<A>(a)...)
    {
        kit::watchHelpers(this);
        compat::unblockWatcher(this);
    }
    bool working() const override { return !files().isEmpty() || !directories().isEmpty(); }
};

#endif
