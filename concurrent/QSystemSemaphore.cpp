#include "plugin/enums.h"

#include <QtCore/QSystemSemaphore>

#include <limits>

static const char *const qtscript_QSystemSemaphore_function_names[] = {
    "QSystemSemaphore",
    // prototype
    "acquire", "error", "errorString", "key", "release", "setKey", "toString",
};

static const char *const qtscript_QSystemSemaphore_function_signatures[] = {
    "String key, int initialValue, AccessMode mode",
    // prototype
    "", "", "", "", "int n", "String key, int initialValue, AccessMode mode",
};

static const int qtscript_QSystemSemaphore_function_lengths[] = {
    3,
    // prototype
    0, 0, 0, 0, 1, 3, 0,
};

static constexpr kit::ClassTables qtscript_QSystemSemaphore_tables =
    kit::tables("QSystemSemaphore", qtscript_QSystemSemaphore_function_names,
                qtscript_QSystemSemaphore_function_signatures,
                qtscript_QSystemSemaphore_function_lengths, 0);

static const char *const qtscript_QSystemSemaphore_AccessMode_keys[] = {"Open", "Create"};
static const int qtscript_QSystemSemaphore_AccessMode_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QSystemSemaphore_AccessMode =
    kit::enumeration<QSystemSemaphore::AccessMode>(
        "QSystemSemaphore", "AccessMode", qtscript_QSystemSemaphore_AccessMode_keys,
        qtscript_QSystemSemaphore_AccessMode_values, kit::KeyLookup::DirectIndex);

static const char *const qtscript_QSystemSemaphore_SystemSemaphoreError_keys[] = {
    "NoError", "PermissionDenied", "KeyError", "AlreadyExists", "NotFound", "OutOfResources",
    "UnknownError"};
static const int qtscript_QSystemSemaphore_SystemSemaphoreError_values[] = {0, 1, 2, 3, 4, 5, 6};
static constexpr kit::EnumInfo qtscript_QSystemSemaphore_SystemSemaphoreError =
    kit::enumeration<QSystemSemaphore::SystemSemaphoreError>(
        "QSystemSemaphore", "SystemSemaphoreError",
        qtscript_QSystemSemaphore_SystemSemaphoreError_keys,
        qtscript_QSystemSemaphore_SystemSemaphoreError_values, kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QSystemSemaphore_prototype_call(kit::Call &call, QSystemSemaphore *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->acquire());
    case kit::at(1, 0):
        return call.ret(self->error());
    case kit::at(2, 0):
        return call.ret(self->errorString());
    case kit::at(3, 0):
        return call.ret(self->key());
    case kit::at(4, 0):
    case kit::at(4, 1): {
        // Qt 5 hands the count to the system as a short: 40000 would become a wait. QtCore
        // refuses a negative count itself.
        const int n = call.get<int>(0, 1);
        if (n > std::numeric_limits<short>::max())
            return call.countOutOfRange(n);
        return call.ret(self->release(n));
    }
    case kit::at(5, 1):
    case kit::at(5, 2):
    case kit::at(5, 3):
        self->setKey(call.get<QString>(0), call.get<int>(1, 0),
                     call.get<QSystemSemaphore::AccessMode>(2, QSystemSemaphore::Open));
        return call.ret();
    }
    if (call.index == 6)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QSystemSemaphore_static_call(kit::Call &call)
{
    // Owned by the script: deleted at the latest with the engine, which removes the semaphore
    // and its key file when this object created them.
    if (call.index == 0 && call.argc >= 1 && call.argc <= 3) {
        return call.wrapOwned(new QSystemSemaphore(
            call.get<QString>(0), call.get<int>(1, 0),
            call.get<QSystemSemaphore::AccessMode>(2, QSystemSemaphore::Open)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSystemSemaphore_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QSystemSemaphore, qtscript_QSystemSemaphore_tables,
                          qtscript_QSystemSemaphore_static_call,
                          qtscript_QSystemSemaphore_prototype_call>(engine);
    kit::addEnum<qtscript_QSystemSemaphore_AccessMode>(engine, ctor);
    kit::addEnum<qtscript_QSystemSemaphore_SystemSemaphoreError>(engine, ctor);
    return ctor;
}
