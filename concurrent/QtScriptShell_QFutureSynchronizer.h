#ifndef QTSCRIPTSHELL_QFUTURESYNCHRONIZER_H
#define QTSCRIPTSHELL_QFUTURESYNCHRONIZER_H

#include "plugin/selflink.h"

#include <QtCore/QFutureSynchronizer>
#include <QtScript/QScriptValue>

// QFutureSynchronizer has no virtual functions: the shell only refers to its script object.
class QtScriptShell_QFutureSynchronizer : public QFutureSynchronizer<QScriptValue>
{
public:
    kit::SelfLink scriptSelf;
};

#endif
