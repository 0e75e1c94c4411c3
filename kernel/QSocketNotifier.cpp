#include "kernel/QtScriptShell_QSocketNotifier.h"

#include "plugin/enums.h"

static const char *const qtscript_QSocketNotifier_function_names[] = {
    "QSocketNotifier",
    // prototype
    "isEnabled", "socket", "type", "toString",
};

static const char *const qtscript_QSocketNotifier_function_signatures[] = {
    "int socket, Type arg__2, QObject parent",
    // prototype
    "", "", "",
};

static const int qtscript_QSocketNotifier_function_lengths[] = {
    3,
    // prototype
    0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QSocketNotifier_tables =
    kit::tables("QSocketNotifier", qtscript_QSocketNotifier_function_names,
                qtscript_QSocketNotifier_function_signatures,
                qtscript_QSocketNotifier_function_lengths, 0);

static constexpr const char *qtscript_QSocketNotifier_Type_keys[] = {"Read", "Write", "Exception"};
static constexpr int qtscript_QSocketNotifier_Type_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QSocketNotifier_Type =
    kit::enumeration<QSocketNotifier::Type>("QSocketNotifier", "Type",
                                            qtscript_QSocketNotifier_Type_keys,
                                            qtscript_QSocketNotifier_Type_values,
                                            kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QSocketNotifier_prototype_call(kit::Call &call, QSocketNotifier *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->isEnabled());
    case kit::at(1, 0):
        // Qt 5 holds the descriptor as a qintptr.
        return call.ret(qint64(self->socket()));
    case kit::at(2, 0):
        return call.ret(self->type());
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QSocketNotifier_static_call(kit::Call &call)
{
    if (call.index == 0 && (call.argc == 2 || call.argc == 3)) {
        const qintptr socket = call.get<int>(0);
        const auto type = call.get<QSocketNotifier::Type>(1);
        QObject *parent = call.get<QObject *>(2, nullptr);
        auto *shell = new QtScriptShell_QSocketNotifier(socket, type, nullptr);
        // Enabled, QtCore delivers its activations unbidden (wrapObject holds it).
        return call.wrapObject(shell, parent);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSocketNotifier_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QSocketNotifier, qtscript_QSocketNotifier_tables,
                         qtscript_QSocketNotifier_static_call,
                         qtscript_QSocketNotifier_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QSocketNotifier_Type>(engine, ctor);
    return ctor;
}
