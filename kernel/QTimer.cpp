#include "kernel/QtScriptShell_QTimer.h"

static const char *const qtscript_QTimer_function_names[] = {
    "QTimer",
    // prototype
    "timerId", "toString",
};

static const char *const qtscript_QTimer_function_signatures[] = {
    "QObject parent",
    // prototype
    "",
};

static const int qtscript_QTimer_function_lengths[] = {
    1,
    // prototype
    0, 0,
};

static constexpr kit::ClassTables qtscript_QTimer_tables =
    kit::tables("QTimer", qtscript_QTimer_function_names, qtscript_QTimer_function_signatures,
                qtscript_QTimer_function_lengths, 0);

static QScriptValue qtscript_QTimer_prototype_call(kit::Call &call, QTimer *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->timerId());
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTimer_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapObject(new QtScriptShell_QTimer, call.argc ? call.get<QObject *>(0) : nullptr);
    return call.mismatch();
}

QScriptValue qtscript_create_QTimer_class(QScriptEngine *engine)
{
    return kit::objectClass<QTimer, qtscript_QTimer_tables, qtscript_QTimer_static_call,
                            qtscript_QTimer_prototype_call>(engine, QMetaType::QObjectStar);
}
