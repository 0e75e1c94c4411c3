#ifndef QTSCRIPTSHELL_QTIMEREVENT_H
#define QTSCRIPTSHELL_QTIMEREVENT_H

#include "plugin/shell.h"

#include <QtCore/QEvent>

class QtScriptShell_QTimerEvent : public kit::PointerShell<QTimerEvent>
{
public:
    using PointerShell::PointerShell;
};

#endif
