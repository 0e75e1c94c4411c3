#include "io/QtScriptShell_QBuffer.h"
#include "plugin/engines.h"

#include <QtCore/QPointer>
#include <QtCore/QThread>

static const char *const qtscript_QBuffer_function_names[] = {
    "QBuffer",
    // prototype
    "setBuffer", "setData", "toString",
};

static const char *const qtscript_QBuffer_function_signatures[] = {
    "QByteArray buf, QObject parent\nQObject parent",
    // prototype
    "QByteArray a", "QByteArray data",
};

static const int qtscript_QBuffer_function_lengths[] = {
    2,
    // prototype
    1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QBuffer_tables =
    kit::tables("QBuffer", qtscript_QBuffer_function_names, qtscript_QBuffer_function_signatures,
                qtscript_QBuffer_function_lengths, 0);

// The script byte array a buffer works on in place is kept alive in this slot while it does.
constexpr int BytesSlot = 0;

// Works on `bytes` in place. At the engine's end a buffer that outlives it (a native parent keeps
// it) moves onto a copy of the array, keeping its open mode and position; one whose script object
// the collector takes while it lives on (the host gave it a parent) onto an empty array.
static void useInPlace(QBuffer *buffer, const QScriptValue &bytes)
{
    const kit::Holder holder = kit::holderOf(buffer);
    kit::keepAlive(buffer, holder, BytesSlot, bytes,
                   kit::detachAtEngineEnd(buffer, &kit::familyHeld));
    if (!holder.self.isObject())
        return;
    const QByteArray *array = kit::bytesInPlace(bytes);
    kit::whenCollected(holder.self, [guard = QPointer<QBuffer>(buffer), array] {
        // (Not one that moved away, nor one on other bytes since: it has its own.)
        if (guard && guard->thread() == QThread::currentThread() && &guard->buffer() == array)
            kit::detachBuffer(guard, false);
    });
}

static QScriptValue qtscript_QBuffer_prototype_call(kit::Call &call, QBuffer *&self)
{
    // Replacing the bytes, refused inside the device's own readData or writeData.
    if (const QScriptValue refused = kit::refuseInTransfer(call, self, {0, 1}); refused.isValid())
        return refused;
    switch (call.at()) {
    case kit::at(0, 1): {
        QByteArray *bytes = kit::bytesInPlace(call.arg(0));
        // An open buffer keeps its array (QtCore refuses the change with a warning).
        const bool accepted = !self->isOpen();
        self->setBuffer(bytes);
        if (accepted && bytes)
            useInPlace(self, call.arg(0));
        else if (accepted)
            kit::keepAlive(self, kit::holderOf(self), BytesSlot, QScriptValue());
        return call.ret();
    }
    case kit::at(1, 1):
        self->setData(call.get<QByteArray>(0));
        return call.ret();
    }
    if (call.index == 2)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QBuffer_static_call(kit::Call &call)
{
    if (call.index != 0)
        return call.mismatch();
    QByteArray *bytes = nullptr;
    QObject *parent = nullptr;
    switch (call.argc) {
    case 0:
        break;
    case 1:
        bytes = kit::bytesInPlace(call.arg(0));
        if (!bytes && !call.arg(0).isQObject())
            return call.mismatch();
        if (!bytes)
            parent = call.get<QObject *>(0);
        break;
    case 2:
        bytes = kit::bytesInPlace(call.arg(0));
        parent = call.get<QObject *>(1);
        break;
    default:
        return call.mismatch();
    }
    auto *buffer = new QtScriptShell_QBuffer(bytes, nullptr);
    const QScriptValue wrapper = call.wrapObject(buffer, parent);
    if (bytes)
        useInPlace(buffer, call.arg(0));
    return wrapper;
}

QScriptValue qtscript_create_QBuffer_class(QScriptEngine *engine)
{
    return kit::objectClass<QBuffer, qtscript_QBuffer_tables, qtscript_QBuffer_static_call,
                            qtscript_QBuffer_prototype_call>(engine, qMetaTypeId<QIODevice *>());
}
