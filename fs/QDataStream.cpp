#include "fs/QtScriptShell_QDataStream.h"

#include "plugin/compat.h"
#include "plugin/enums.h"

#include <QtCore/QIODevice>

static const char *const qtscript_QDataStream_function_names[] = {
    "QDataStream",
    // prototype
    "atEnd", "device", "readBoolean", "readByte", "readDouble", "readFloat", "readInt",
    "readLongLong", "readShort", "readUInt", "readULongLong", "readUShort", "resetStatus",
    "setDevice", "setStatus", "setVersion", "skipRawData", "status", "unsetDevice", "version",
    "writeBoolean", "writeByte", "writeDouble", "writeFloat", "writeInt", "writeLongLong",
    "writeShort", "toString",
};

static const char *const qtscript_QDataStream_function_signatures[] = {
    "\nQByteArray arg__1, OpenMode flags\nQIODevice arg__1\nQByteArray arg__1",
    // prototype
    "", "", "", "", "", "", "", "", "", "", "", "", "", "QIODevice arg__1", "Status status",
    "int arg__1", "int len", "", "", "", "bool i", "unsigned char i", "double f", "float f",
    "int i", "qint64 i", "short i",
};

static const int qtscript_QDataStream_function_lengths[] = {
    2,
    // prototype
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QDataStream_tables =
    kit::tables("QDataStream", qtscript_QDataStream_function_names,
                qtscript_QDataStream_function_signatures, qtscript_QDataStream_function_lengths, 0);

static const char *const qtscript_QDataStream_Version_keys[] = {
    "Qt_1_0", "Qt_2_0", "Qt_2_1", "Qt_3_0", "Qt_3_1", "Qt_3_3", "Qt_4_0", "Qt_4_2", "Qt_4_3",
    "Qt_4_4",
};
static const int qtscript_QDataStream_Version_values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
static constexpr kit::EnumInfo qtscript_QDataStream_Version =
    kit::enumeration<QDataStream::Version>("QDataStream", "Version",
                                           qtscript_QDataStream_Version_keys,
                                           qtscript_QDataStream_Version_values,
                                           kit::KeyLookup::DirectIndex);

static const char *const qtscript_QDataStream_Status_keys[] = {
    "Ok", "ReadPastEnd", "ReadCorruptData",
};
static const int qtscript_QDataStream_Status_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QDataStream_Status =
    kit::enumeration<QDataStream::Status>("QDataStream", "Status",
                                          qtscript_QDataStream_Status_keys,
                                          qtscript_QDataStream_Status_values,
                                          kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QDataStream_prototype_call(kit::Call &call, QDataStream *&self)
{
    // Scripts get data streams only from the constructor, which makes shells.
    auto *shell = static_cast<QtScriptShell_QDataStream *>(self);
    // What reads, writes or replaces the device may run a script device's functions, which must
    // not use this stream meanwhile.
    const int i = call.index;
    const kit::AtWork atWork(self, i == 0 || (i >= 2 && i <= 11) || i == 13 || i == 16 || i == 18
                                       || (i >= 20 && i <= 26));
    if (atWork.refused())
        return call.inUse();
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->atEnd());
    case kit::at(1, 0):
        return call.ret(self->device());
    case kit::at(2, 0):
        return kit::readValue<bool>(call, *self);
    case kit::at(3, 0):
        return kit::readValue<quint8, int>(call, *self);
    case kit::at(4, 0):
        return kit::readValue<double>(call, *self);
    case kit::at(5, 0):
        return kit::readValue<float>(call, *self);
    case kit::at(6, 0):
        return kit::readValue<qint32, int>(call, *self);
    case kit::at(7, 0):
        return kit::readValue<qint64>(call, *self);
    case kit::at(8, 0):
        return kit::readValue<qint16, short>(call, *self);
    case kit::at(9, 0):
        return kit::readValue<quint32, uint>(call, *self);
    case kit::at(10, 0):
        return kit::readValue<quint64>(call, *self);
    case kit::at(11, 0):
        return kit::readValue<quint16, ushort>(call, *self);
    case kit::at(12, 0):
        self->resetStatus();
        return call.ret();
    case kit::at(13, 1):
        shell->useDevice(call.get<QIODevice *>(0), call.arg(0));
        return call.ret();
    case kit::at(14, 1):
        compat::setStreamStatus(*self, call.get<QDataStream::Status>(0));
        return call.ret();
    case kit::at(15, 1):
        self->setVersion(call.get<int>(0));
        return call.ret();
    case kit::at(16, 1):
        return call.ret(self->skipRawData(call.get<int>(0)));
    case kit::at(17, 0):
        return call.ret(compat::streamStatus(*self));
    case kit::at(18, 0):
        shell->useDevice(nullptr, QScriptValue());
        return call.ret();
    case kit::at(19, 0):
        return call.ret(self->version());
    case kit::at(20, 1):
        *self << call.get<bool>(0);
        return call.thisObject();
    case kit::at(21, 1):
        *self << quint8(call.get<int>(0));
        return call.thisObject();
    case kit::at(22, 1):
        *self << call.get<double>(0);
        return call.thisObject();
    case kit::at(23, 1):
        *self << call.get<float>(0);
        return call.thisObject();
    case kit::at(24, 1):
        *self << qint32(call.get<int>(0));
        return call.thisObject();
    case kit::at(25, 1):
        *self << qint64(call.get<qint64>(0));
        return call.thisObject();
    case kit::at(26, 1):
        *self << qint16(call.get<short>(0));
        return call.thisObject();
    }
    if (call.index == 27)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QDataStream_static_call(kit::Call &call)
{
    if (call.index != 0 || call.argc > 2)
        return call.mismatch();
    if (call.argc == 1 && !call.is<QIODevice *>(0) && !call.is<QByteArray>(0))
        return call.mismatch();
    auto *stream = new QtScriptShell_QDataStream;
    const QScriptValue wrapper = call.wrapShell<QDataStream>(stream);
    if (call.argc == 2) {
        // In place: what the stream writes, the script's byte array shows at once.
        stream->useBytes(kit::bytesInPlace(call.arg(0)), call.get<QIODevice::OpenMode>(1),
                         call.arg(0));
    } else if (call.argc == 1 && call.is<QIODevice *>(0)) {
        stream->useDevice(call.get<QIODevice *>(0), call.arg(0));
    } else if (call.argc == 1) {
        stream->useCopy(call.get<QByteArray>(0), QIODevice::ReadOnly);
    }
    return wrapper;
}

QScriptValue qtscript_create_QDataStream_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QDataStream, qtscript_QDataStream_tables,
                          qtscript_QDataStream_static_call,
                          qtscript_QDataStream_prototype_call>(engine);
    kit::addEnum<qtscript_QDataStream_Version>(engine, ctor);
    kit::addEnum<qtscript_QDataStream_Status>(engine, ctor);
    return ctor;
}
