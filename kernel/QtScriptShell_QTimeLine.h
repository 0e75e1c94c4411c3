#ifndef QTSCRIPTSHELL_QTIMELINE_H
#define QTSCRIPTSHELL_QTIMELINE_H

#include "plugin/shell.h"

#include <QtCore/QTimeLine>

// QTimeLine overrides timerEvent (it advances there); the shell falls back on it.
class QtScriptShell_QTimeLine : public kit::ObjectShell<QTimeLine>
{
public:
    using ObjectShell::ObjectShell;
    // QtCore's destructor stops a running time line: stopped here, while the whole object stands.
    ~QtScriptShell_QTimeLine() override
    {
        if (state() == Running)
            endWork([this] { stop(); }, [this] { return state() != Running; }, false);
    }

    qreal valueForTime(int msec) const override
    {
        return kit::forward<qreal>(scriptSelf, "valueForTime",
                                   [&] { return QTimeLine::valueForTime(msec); }, msec);
    }
};

#endif
