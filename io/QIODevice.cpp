#include "io/QtScriptShell_QIODevice.h"

#include "plugin/compat.h"
#include "plugin/enums.h"

#include <QtCore/QBuffer>

#include <cstring>

static const char *const qtscript_QIODevice_function_names[] = {
    "QIODevice",
    // prototype
    "atEnd", "bytesAvailable", "bytesToWrite", "canReadLine", "close", "errorString", "getChar",
    "isOpen", "isReadable", "isSequential", "isTextModeEnabled", "isWritable", "open", "openMode",
    "peek", "pos", "putChar", "read", "readAll", "readLine", "reset", "seek", "setTextModeEnabled",
    "size", "ungetChar", "waitForBytesWritten", "waitForReadyRead", "write", "toString",
};

static const char *const qtscript_QIODevice_function_signatures[] = {
    "\nQObject parent",
    // prototype
    "", "", "", "", "", "", "char c", "", "", "", "", "", "OpenMode mode", "", "qint64 maxlen", "",
    "char c", "qint64 maxlen", "", "qint64 maxlen", "", "qint64 pos", "bool enabled", "", "char c",
    "int msecs", "int msecs", "QByteArray data",
};

static const int qtscript_QIODevice_function_lengths[] = {
    1,
    // prototype
    0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QIODevice_tables =
    kit::tables("QIODevice", qtscript_QIODevice_function_names,
                qtscript_QIODevice_function_signatures, qtscript_QIODevice_function_lengths, 0);

static constexpr const char *qtscript_QIODevice_OpenModeFlag_keys[] = {
    "NotOpen", "ReadOnly", "WriteOnly", "ReadWrite", "Append", "Truncate", "Text", "Unbuffered",
};
static constexpr int qtscript_QIODevice_OpenModeFlag_values[] = {0, 1, 2, 3, 4, 8, 16, 32};
static constexpr kit::EnumInfo qtscript_QIODevice_OpenModeFlag =
    kit::enumeration<QIODevice::OpenModeFlag>("QIODevice", "OpenModeFlag",
                                              qtscript_QIODevice_OpenModeFlag_keys,
                                              qtscript_QIODevice_OpenModeFlag_values,
                                              kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QIODevice_OpenMode =
    kit::flags<QIODevice::OpenModeFlag>(qtscript_QIODevice_OpenModeFlag, "OpenMode");

namespace {

// Reads of a large maxlen grow their array as the bytes come, from this size on, instead of
// allocating maxlen at once (a short device answers read(1e9) without a gigabyte).
constexpr qint64 FirstChunk = 64 * 1024;

QByteArray readUpTo(QIODevice *device, qint64 maxlen)
{
    if (maxlen <= FirstChunk)
        return device->read(maxlen);
    const qint64 limit = qMin(maxlen, kit::MaxBytes);
    QByteArray result;
    qint64 total = 0;
    for (qint64 chunk = FirstChunk; total < limit; chunk *= 2) {
        const qint64 want = qMin(chunk, limit - total);
        result.resize(int(total + want));
        const qint64 got = device->read(result.data() + total, want);
        total += qMax<qint64>(got, 0);
        if (got < want)
            break;
    }
    result.resize(int(total));
    return result;
}

// QBuffer peeks at its own bytes from the position without a bounds check: bytes that a script
// readData supplied, or ungetChar at the start, can leave the position outside them.
bool peekable(QIODevice *device)
{
    auto *buffer = qobject_cast<QBuffer *>(device);
    if (!buffer)
        return true;
    const qint64 pos = buffer->QIODevice::pos();
    return pos >= 0 && pos <= buffer->QBuffer::size();
}

QByteArray peekUpTo(QIODevice *device, qint64 maxlen)
{
    if (!peekable(device))
        return QByteArray();
    if (maxlen <= FirstChunk)
        return device->peek(maxlen);
    const qint64 limit = qMin(maxlen, kit::MaxBytes);
    QByteArray result;
    for (qint64 want = FirstChunk;; want = qMin(want * 2, limit)) {
        result.resize(int(want));
        const qint64 got = device->peek(result.data(), want);
        if (got < want || want == limit) {
            result.resize(int(qMax<qint64>(got, 0)));
            return result;
        }
    }
}

// A line is looked for in chunks from this size on, doubling up to the largest.
constexpr qint64 FirstLineChunk = 256;
constexpr qint64 LargestLineChunk = 1024 * 1024;

// As QtCore's readLine(maxlen): at most maxlen - 1 bytes (0: no limit), up to and including a
// newline. QtCore reads a line of a sequential file a byte per system call: here the line is
// peeked in chunks and read up to its newline. A short peek is not the end (a device may give a
// few bytes per readData): only one that gives nothing is, as a byte read of nothing is for
// QtCore. A script's readLineData, and text mode, which changes what a line holds, keep QtCore's
// reading, in growing steps for a large maxlen.
QByteArray readLineUpTo(QIODevice *device, qint64 maxlen)
{
    const bool chunked = (maxlen == 0 || maxlen > 1) && device->isReadable()
                         && !(device->openMode() & QIODevice::Text)
                         && !kit::overridden(device, "readLineData");
    if (!chunked && maxlen <= FirstChunk)   // 0 (no limit) included: QtCore grows its array
        return device->readLine(maxlen);
    const qint64 limit = (maxlen == 0 ? kit::MaxBytes : qMin(maxlen, kit::MaxBytes)) - 1;
    QByteArray result;
    qint64 total = 0;
    for (qint64 chunk = chunked ? FirstLineChunk : FirstChunk; total < limit;) {
        const qint64 want = qMin(chunk, limit - total);
        if (result.capacity() < total + want)
            result.reserve(int(qMin(qMax(2 * total, total + want), limit)));
        if (chunked) {
            result.resize(int(total + want));
            char *at = result.data() + total;
            const qint64 got = peekable(device) ? device->peek(at, want) : 0;
            if (got <= 0)
                break;
            const void *newline = memchr(at, '\n', size_t(got));
            const qint64 line = newline ? static_cast<const char *>(newline) - at + 1 : got;
            const qint64 read = device->read(at, line);
            if (read <= 0)
                break;
            total += read;
            if (at[read - 1] == '\n')
                break;
            // Only a full peek asks for more at once: a device that gives a few bytes per call
            // keeps its step, and its line its size.
            if (got == want)
                chunk = qMin(chunk * 2, LargestLineChunk);
        } else {
            result.resize(int(total + want + 1));   // room for the terminating 0 readLine writes
            const qint64 got = device->readLine(result.data() + total, want + 1);
            total += qMax<qint64>(got, 0);
            if (got < want || result.at(int(total - 1)) == '\n')
                break;
            chunk *= 2;
        }
    }
    result.resize(int(total));
    return result;
}

// getChar stores its byte only in the destination a script readData is filling now. A handle
// kept from an earlier call, or one of QtCore's read-only texts, is refused; any other value
// drops the byte.
QScriptValue getChar(kit::Call &call, QIODevice *self)
{
    const QVariant v = kit::variantOf(call.arg(0));
    const kit::CellRef *handle = kit::handleFrom<char>(v);
    if (!handle)
        return call.ret(self->getChar(nullptr));
    kit::LentBuffer *destination = kit::LentBuffer::at(static_cast<const char *>(handle->object()));
    if (!handle->object() || !destination)
        return call.mismatch();
    if (destination->full())
        return call.ret(false);
    char c;
    const bool got = self->getChar(&c);
    // The read may have run script code that ended the destination's call.
    if (got && kit::LentBuffer::at(static_cast<const char *>(handle->object())) == destination)
        destination->put(c);
    return call.ret(got);
}

} // namespace

static QScriptValue qtscript_QIODevice_prototype_call(kit::Call &call, QIODevice *&self)
{
    // Reads, writes and moves, refused inside the device's own readData or writeData.
    if (const QScriptValue refused = kit::refuseInTransfer(
            call, self, {4, 6, 12, 14, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26, 27});
        refused.isValid())
        return refused;
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->atEnd());
    case kit::at(1, 0):
        return call.ret(self->bytesAvailable());
    case kit::at(2, 0):
        return call.ret(self->bytesToWrite());
    case kit::at(3, 0):
        return call.ret(self->canReadLine());
    case kit::at(4, 0):
        self->close();
        return call.ret();
    case kit::at(5, 0):
        return call.ret(self->errorString());
    case kit::at(6, 1):
        return getChar(call, self);
    case kit::at(7, 0):
        return call.ret(self->isOpen());
    case kit::at(8, 0):
        return call.ret(self->isReadable());
    case kit::at(9, 0):
        return call.ret(self->isSequential());
    case kit::at(10, 0):
        return call.ret(self->isTextModeEnabled());
    case kit::at(11, 0):
        return call.ret(self->isWritable());
    case kit::at(12, 1):
        return call.ret(self->open(call.get<QIODevice::OpenMode>(0)));
    case kit::at(13, 0):
        return call.ret(self->openMode());
    case kit::at(14, 1):
        return call.ret(peekUpTo(self, call.get<qint64>(0)));
    case kit::at(15, 0):
        return call.ret(self->pos());
    case kit::at(16, 1):
        return call.ret(self->putChar(call.get<char>(0)));
    case kit::at(17, 1):
        return call.ret(readUpTo(self, call.get<qint64>(0)));
    case kit::at(18, 0):
        return call.ret(self->readAll());
    case kit::at(19, 0):
    case kit::at(19, 1):
        if (!compat::canReadLineFrom(self))
            return call.ret(QByteArray());
        return call.ret(readLineUpTo(self, call.get<qint64>(0, 0)));
    case kit::at(20, 0):
        return call.ret(self->reset());
    case kit::at(21, 1):
        return call.ret(self->seek(call.get<qint64>(0)));
    case kit::at(22, 1):
        self->setTextModeEnabled(call.get<bool>(0));
        return call.ret();
    case kit::at(23, 0):
        return call.ret(self->size());
    case kit::at(24, 1):
        self->ungetChar(call.get<char>(0));
        return call.ret();
    case kit::at(25, 1):
        return call.ret(self->waitForBytesWritten(call.get<int>(0)));
    case kit::at(26, 1):
        return call.ret(self->waitForReadyRead(call.get<int>(0)));
    case kit::at(27, 1): {
        // A buffer grows by memory the engine's collector does not see.
        const QBuffer *buffer = qobject_cast<QBuffer *>(self);
        const qint64 before = buffer ? kit::nativeBytes(buffer->buffer()) : 0;
        const qint64 written = self->write(call.get<QByteArray>(0));
        if (buffer)
            kit::reportBytes(call.engine, kit::nativeBytes(buffer->buffer()) - before);
        return call.ret(written);
    }
    }
    if (call.index == 28)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QIODevice_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1)
        return call.wrapObject(new QtScriptShell_QIODevice, call.argc ? call.get<QObject *>(0) : nullptr);
    return call.mismatch();
}

QScriptValue qtscript_create_QIODevice_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QIODevice, qtscript_QIODevice_tables, qtscript_QIODevice_static_call,
                         qtscript_QIODevice_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QIODevice_OpenModeFlag>(engine, ctor);
    kit::addFlags<qtscript_QIODevice_OpenMode>(engine, ctor);
    return ctor;
}
