#include "fs/QtScriptShell_QTextStream.h"

#include "plugin/codecs.h"
#include "plugin/compat.h"
#include "plugin/enums.h"

#include <QtCore/QIODevice>
#include <QtCore/QTextCodec>

#include <limits>

static const char *const qtscript_QTextStream_function_names[] = {
    "QTextStream",
    // prototype
    "atEnd", "autoDetectUnicode", "codec", "device", "fieldAlignment", "fieldWidth", "flush",
    "generateByteOrderMark", "integerBase", "numberFlags", "padChar", "pos", "read", "readAll",
    "readByte", "readDouble", "readFloat", "readInt", "readLine", "readLongLong", "readShort",
    "readUInt", "readULongLong", "readUShort", "realNumberNotation", "realNumberPrecision",
    "reset", "resetStatus", "seek", "setAutoDetectUnicode", "setCodec", "setDevice",
    "setFieldAlignment", "setFieldWidth", "setGenerateByteOrderMark", "setIntegerBase",
    "setNumberFlags", "setPadChar", "setRealNumberNotation", "setRealNumberPrecision",
    "setStatus", "skipWhiteSpace", "status", "writeBoolean", "writeByte", "writeByteArray",
    "writeDouble", "writeFloat", "writeInt", "writeLongLong", "writeShort", "writeString",
    "toString",
};

static const char *const qtscript_QTextStream_function_signatures[] = {
    "\nQIODevice device\nQByteArray array, OpenMode openMode",
    // prototype
    "", "", "", "", "", "", "", "", "", "", "", "", "qint64 maxlen", "", "", "", "", "",
    "qint64 maxlen", "", "", "", "", "", "", "", "", "", "qint64 pos", "bool enabled",
    "QTextCodec codec\nchar codecName", "QIODevice device", "FieldAlignment alignment",
    "int width", "bool generate", "int base", "NumberFlags flags", "char ch",
    "RealNumberNotation notation", "int precision", "Status status", "", "", "QBool b",
    "char ch", "QByteArray array", "double f", "float f", "signed int i", "qlonglong i",
    "signed short i", "String s",
};

static const int qtscript_QTextStream_function_lengths[] = {
    2,
    // prototype
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QTextStream_tables =
    kit::tables("QTextStream", qtscript_QTextStream_function_names,
                qtscript_QTextStream_function_signatures, qtscript_QTextStream_function_lengths, 0);

static const char *const qtscript_QTextStream_RealNumberNotation_keys[] = {
    "SmartNotation", "FixedNotation", "ScientificNotation",
};
static const int qtscript_QTextStream_RealNumberNotation_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QTextStream_RealNumberNotation =
    kit::enumeration<QTextStream::RealNumberNotation>(
        "QTextStream", "RealNumberNotation", qtscript_QTextStream_RealNumberNotation_keys,
        qtscript_QTextStream_RealNumberNotation_values, kit::KeyLookup::DirectIndex);

static const char *const qtscript_QTextStream_NumberFlag_keys[] = {
    "ShowBase", "ForcePoint", "ForceSign", "UppercaseBase", "UppercaseDigits",
};
static const int qtscript_QTextStream_NumberFlag_values[] = {1, 2, 4, 8, 16};
static constexpr kit::EnumInfo qtscript_QTextStream_NumberFlag =
    kit::enumeration<QTextStream::NumberFlag>("QTextStream", "NumberFlag",
                                              qtscript_QTextStream_NumberFlag_keys,
                                              qtscript_QTextStream_NumberFlag_values,
                                              kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QTextStream_NumberFlags =
    kit::flags<QTextStream::NumberFlag>(qtscript_QTextStream_NumberFlag, "NumberFlags");

static const char *const qtscript_QTextStream_FieldAlignment_keys[] = {
    "AlignLeft", "AlignRight", "AlignCenter", "AlignAccountingStyle",
};
static const int qtscript_QTextStream_FieldAlignment_values[] = {0, 1, 2, 3};
static constexpr kit::EnumInfo qtscript_QTextStream_FieldAlignment =
    kit::enumeration<QTextStream::FieldAlignment>("QTextStream", "FieldAlignment",
                                                  qtscript_QTextStream_FieldAlignment_keys,
                                                  qtscript_QTextStream_FieldAlignment_values,
                                                  kit::KeyLookup::DirectIndex);

static const char *const qtscript_QTextStream_Status_keys[] = {
    "Ok", "ReadPastEnd", "ReadCorruptData",
};
static const int qtscript_QTextStream_Status_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QTextStream_Status =
    kit::enumeration<QTextStream::Status>("QTextStream", "Status",
                                          qtscript_QTextStream_Status_keys,
                                          qtscript_QTextStream_Status_values,
                                          kit::KeyLookup::DirectIndex);

namespace {

// Writes one value and returns the stream, so that writes chain.
template <class T>
QScriptValue writeValue(kit::Call &call, QTextStream &stream, const T &value)
{
    stream << value;
    return call.thisObject();
}

// QtCore builds a whole padded field, or all of a number's digits, in memory before it writes:
// a width or precision past this (a million characters, far beyond any real use) is refused
// rather than asking for gigabytes.
constexpr int MaxFormatting = 1 << 20;

} // namespace

static QScriptValue qtscript_QTextStream_prototype_call(kit::Call &call, QTextStream *&self)
{
    // Scripts get text streams only from the constructor, which makes shells.
    auto *shell = static_cast<QtScriptShell_QTextStream *>(self);
    // What reads, writes, moves or replaces the device (or its codec) may run a script device's
    // functions, which must not use this stream meanwhile.
    const int i = call.index;
    const kit::AtWork atWork(self, i == 0 || i == 6 || (i >= 11 && i <= 23) || i == 28 || i == 30
                                       || i == 31 || i == 41 || (i >= 43 && i <= 51));
    if (atWork.refused())
        return call.inUse();
    shell->mendCodec();
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->atEnd());
    case kit::at(1, 0):
        return call.ret(self->autoDetectUnicode());
    case kit::at(2, 0):
        return call.ret(kit::codecBehind(self->codec()));
    case kit::at(3, 0):
        return call.ret(self->device());
    case kit::at(4, 0):
        return call.ret(self->fieldAlignment());
    case kit::at(5, 0):
        return call.ret(self->fieldWidth());
    case kit::at(6, 0):
        self->flush();
        return call.ret();
    case kit::at(7, 0):
        return call.ret(self->generateByteOrderMark());
    case kit::at(8, 0):
        return call.ret(self->integerBase());
    case kit::at(9, 0):
        return call.ret(self->numberFlags());
    case kit::at(10, 0):
        return call.ret(self->padChar());
    case kit::at(11, 0):
        return call.ret(self->pos());
    case kit::at(12, 1):
        // QtCore counts the characters in int: a larger maxlen would wrap and corrupt its buffer.
        return call.ret(self->read(qMin<qint64>(call.get<qint64>(0), std::numeric_limits<int>::max())));
    case kit::at(13, 0):
        return call.ret(self->readAll());
    case kit::at(14, 0):
        return kit::readValue<char, int>(call, *self);
    case kit::at(15, 0):
        return kit::readValue<double>(call, *self);
    case kit::at(16, 0):
        return kit::readValue<float>(call, *self);
    case kit::at(17, 0):
        return kit::readValue<int>(call, *self);
    case kit::at(18, 0):
    case kit::at(18, 1):
        return call.ret(self->readLine(call.get<qint64>(0, 0)));
    case kit::at(19, 0):
        return kit::readValue<qlonglong, qint64>(call, *self);
    case kit::at(20, 0):
        return kit::readValue<short>(call, *self);
    case kit::at(21, 0):
        return kit::readValue<uint>(call, *self);
    case kit::at(22, 0):
        return kit::readValue<qulonglong, quint64>(call, *self);
    case kit::at(23, 0):
        return kit::readValue<ushort>(call, *self);
    case kit::at(24, 0):
        return call.ret(self->realNumberNotation());
    case kit::at(25, 0):
        return call.ret(self->realNumberPrecision());
    case kit::at(26, 0):
        self->reset();
        return call.ret();
    case kit::at(27, 0):
        self->resetStatus();
        return call.ret();
    case kit::at(28, 1):
        return call.ret(self->seek(call.get<qint64>(0)));
    case kit::at(29, 1):
        self->setAutoDetectUnicode(call.get<bool>(0));
        return call.ret();
    case kit::at(30, 1):
        if (call.is<QTextCodec *>(0)) {
            self->setCodec(call.get<QTextCodec *>(0));
            return call.ret();
        }
        if (call.arg(0).isString()) {
            // An unknown name changes nothing, as in QtCore.
            if (QTextCodec *codec = kit::codecForName(call.arg(0).toString().toLatin1()))
                self->setCodec(codec);
            return call.ret();
        }
        break;
    case kit::at(31, 1):
        shell->useDevice(call.get<QIODevice *>(0), call.arg(0));
        return call.ret();
    case kit::at(32, 1):
        self->setFieldAlignment(call.get<QTextStream::FieldAlignment>(0));
        return call.ret();
    case kit::at(33, 1): {
        const int width = call.get<int>(0);
        if (width > MaxFormatting)
            return call.error(QScriptContext::RangeError, "width out of range");
        self->setFieldWidth(width);
        return call.ret();
    }
    case kit::at(34, 1):
        self->setGenerateByteOrderMark(call.get<bool>(0));
        return call.ret();
    case kit::at(35, 1): {
        // QtCore formats in these bases only: base 1 never ends.
        const int base = call.get<int>(0);
        if (base != 0 && base != 2 && base != 8 && base != 10 && base != 16)
            return call.error(QScriptContext::RangeError, "base must be 0, 2, 8, 10 or 16");
        self->setIntegerBase(base);
        return call.ret();
    }
    case kit::at(36, 1):
        self->setNumberFlags(call.get<QTextStream::NumberFlags>(0));
        return call.ret();
    case kit::at(37, 1):
        self->setPadChar(call.get<QChar>(0));
        return call.ret();
    case kit::at(38, 1):
        self->setRealNumberNotation(call.get<QTextStream::RealNumberNotation>(0));
        return call.ret();
    case kit::at(39, 1): {
        const int precision = call.get<int>(0);
        if (precision > MaxFormatting)
            return call.error(QScriptContext::RangeError, "precision out of range");
        self->setRealNumberPrecision(precision);
        return call.ret();
    }
    case kit::at(40, 1):
        compat::setStreamStatus(*self, call.get<QTextStream::Status>(0));
        return call.ret();
    case kit::at(41, 0):
        self->skipWhiteSpace();
        return call.ret();
    case kit::at(42, 0):
        return call.ret(compat::streamStatus(*self));
    case kit::at(43, 1):
        return writeValue(call, *self, call.get<bool>(0) ? 1 : 0);
    case kit::at(44, 1):
        return writeValue(call, *self, compat::fromCString(QByteArray(1, call.get<char>(0))));
    case kit::at(45, 1):
        // Qt 4.4 read the bytes as C-string text; Qt 5 would read UTF-8.
        return writeValue(call, *self, compat::fromCString(call.get<QByteArray>(0)));
    case kit::at(46, 1):
        return writeValue(call, *self, call.get<double>(0));
    case kit::at(47, 1):
        return writeValue(call, *self, call.get<float>(0));
    case kit::at(48, 1):
        return writeValue(call, *self, call.get<int>(0));
    case kit::at(49, 1):
        return writeValue(call, *self, qlonglong(call.get<qint64>(0)));
    case kit::at(50, 1):
        return writeValue(call, *self, call.get<short>(0));
    case kit::at(51, 1):
        return writeValue(call, *self, call.arg(0).toString());
    }
    if (call.index == 52)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTextStream_static_call(kit::Call &call)
{
    if (call.index != 0)
        return call.mismatch();
    QIODevice *device = nullptr;
    QByteArray bytes;
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    switch (call.argc) {
    case 0:
        break;
    case 1:
        if (call.is<QIODevice *>(0))
            device = call.get<QIODevice *>(0);
        else if (call.is<QByteArray>(0))
            bytes = call.get<QByteArray>(0);
        else
            return call.mismatch();
        break;
    case 2:
        bytes = call.get<QByteArray>(0);
        mode = call.get<QIODevice::OpenMode>(1);
        break;
    default:
        return call.mismatch();
    }
    auto *stream = new QtScriptShell_QTextStream;
    const QScriptValue wrapper = call.wrapShell<QTextStream>(stream);
    if (device)
        stream->useDevice(device, call.arg(0));
    else if (call.argc > 0)
        // A copy: what the stream writes never reaches the script's byte array.
        stream->useCopy(bytes, mode);
    return wrapper;
}

QScriptValue qtscript_create_QTextStream_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QTextStream, qtscript_QTextStream_tables,
                          qtscript_QTextStream_static_call,
                          qtscript_QTextStream_prototype_call>(engine);
    kit::addEnum<qtscript_QTextStream_RealNumberNotation>(engine, ctor);
    kit::addEnum<qtscript_QTextStream_NumberFlag>(engine, ctor);
    kit::addFlags<qtscript_QTextStream_NumberFlags>(engine, ctor);
    kit::addEnum<qtscript_QTextStream_FieldAlignment>(engine, ctor);
    kit::addEnum<qtscript_QTextStream_Status>(engine, ctor);
    return ctor;
}
