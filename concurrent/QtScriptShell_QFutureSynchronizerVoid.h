#ifndef QTSCRIPTSHELL_QFUTURESYNCHRONIZERVOID_H
#define QTSCRIPTSHELL_QFUTURESYNCHRONIZERVOID_H

#include "plugin/selflink.h"

#include <QtCore/QFutureSynchronizer>
#include <QtScript/QScriptValue>

// QFutureSynchronizer has no virtual functions: the shell only refers to its script object.
class QtScriptShell_QFutureSynchronizerVoid : public QFutureSynchronizer<void>
{
public:
    kit::SelfLink scriptSelf;
};

#endif
