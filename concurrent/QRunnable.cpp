#include "concurrent/QtScriptShell_QRunnable.h"

static const char *const qtscript_QRunnable_function_names[] = {
    "QRunnable",
    // prototype
    "autoDelete", "run", "setAutoDelete", "toString",
};

static const char *const qtscript_QRunnable_function_signatures[] = {
    "",
    // prototype
    "", "", "bool _autoDelete",
};

static const int qtscript_QRunnable_function_lengths[] = {
    0,
    // prototype
    0, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QRunnable_tables =
    kit::tables("QRunnable", qtscript_QRunnable_function_names,
                qtscript_QRunnable_function_signatures, qtscript_QRunnable_function_lengths, 0);

static QScriptValue qtscript_QRunnable_prototype_call(kit::Call &call, QRunnable *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->autoDelete());
    case kit::at(1, 0):
        self->run();
        return call.ret();
    case kit::at(2, 1):
        self->setAutoDelete(call.get<bool>(0));
        return call.ret();
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QRunnable_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc == 0)
        return call.wrapShell<QRunnable>(new QtScriptShell_QRunnable);
    return call.mismatch();
}

QScriptValue qtscript_create_QRunnable_class(QScriptEngine *engine)
{
    return kit::pointerClass<QRunnable, qtscript_QRunnable_tables, qtscript_QRunnable_static_call,
                             qtscript_QRunnable_prototype_call>(engine);
}
