#include "plugin/kit.h"

#include <QtCore/QDataStream>

#include <limits>

static const char *const qtscript_QBitArray_function_names[] = {
    "QBitArray",
    // prototype
    "at", "clear", "clearBit", "count", "fill", "isEmpty", "isNull", "operator_and_assign",
    "operator_assign", "equals", "operator_negate", "operator_or_assign", "operator_xor_assign",
    "readFrom", "resize", "setBit", "size", "testBit", "toggleBit", "truncate", "writeTo",
    "toString",
};

static const char *const qtscript_QBitArray_function_signatures[] = {
    "\nQBitArray other\nint size, bool val",
    // prototype
    "int i", "", "int i", "\nbool on", "bool val, int first, int last\nbool val, int size", "",
    "", "QBitArray arg__1", "QBitArray other", "QBitArray a", "", "QBitArray arg__1",
    "QBitArray arg__1", "QDataStream arg__1", "int size", "int i\nint i, bool val", "", "int i",
    "int i", "int pos", "QDataStream arg__1",
};

static const int qtscript_QBitArray_function_lengths[] = {
    2,
    // prototype
    1, 0, 1, 1, 3, 0, 0, 1, 1, 1, 0, 1, 1, 1, 1, 2, 0, 1, 1, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QBitArray_tables =
    kit::tables("QBitArray", qtscript_QBitArray_function_names,
                qtscript_QBitArray_function_signatures, qtscript_QBitArray_function_lengths, 0);

namespace {

// Qt 5 rounds a bit count up to bytes in int arithmetic: past this it overflows.
constexpr int MaxBits = std::numeric_limits<int>::max() - 64;

QScriptValue tooLarge(kit::Call &call)
{
    return kit::throwNativeFailure(call.context, "out of memory");
}

// QtCore 5 rounds the stream's bit count up to bytes in 32 bits: a count near 2^32 wraps to no
// bytes, leaving an array of negative size and the stream Ok. A count past what an array holds is
// corrupt data here; other counts are read as QtCore reads them (growing as the bytes come, bits
// past the count clear).
void readBits(QDataStream &in, QBitArray &bits)
{
    bits.clear();
    quint32 count = 0;
    in >> count;
    if (count > quint32(MaxBits)) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    const int bytes = int((count + 7) / 8);
    const int step = 8 << 20;
    QByteArray raw;
    for (int done = 0; done < bytes;) {
        const int block = qMin(step, bytes - done);
        raw.resize(done + block);
        if (in.readRawData(raw.data() + done, block) != block) {
            in.setStatus(QDataStream::ReadPastEnd);
            return;
        }
        done += block;
    }
    if ((count & 7) && (uchar(raw.at(bytes - 1)) >> (count & 7))) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    bits = QBitArray::fromBits(raw.constData(), count);
}

} // namespace

static QScriptValue qtscript_QBitArray_prototype_call(kit::Call &call,
                                                      kit::ValueHandle<QBitArray> &self)
{
    // Arguments are read before self.edit(): `this` may be one of them, and editing empties it.
    const QScriptValue &thisObject = self.object();
    switch (call.at()) {
    case kit::at(0, 1):
    case kit::at(17, 1): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= self->size())
            return call.outOfRange();
        return call.ret(self->testBit(i));
    }
    case kit::at(1, 0):
        self.edit()->clear();
        return call.ret();
    case kit::at(2, 1): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= self->size())
            return call.outOfRange();
        self.edit()->clearBit(i);
        return call.ret();
    }
    case kit::at(3, 0):
        return call.ret(self->count());
    case kit::at(3, 1):
        return call.ret(self->count(call.get<bool>(0)));
    case kit::at(4, 1):
    case kit::at(4, 2): {
        const bool val = call.get<bool>(0);
        const int size = call.get<int>(1, -1);
        if (size > MaxBits)
            return tooLarge(call);
        return call.ret(self.edit()->fill(val, size));
    }
    case kit::at(4, 3): {
        const bool val = call.get<bool>(0);
        const int first = call.get<int>(1);
        const int last = call.get<int>(2);
        // Qt 5 writes wherever the range says: it must lie inside the array.
        if (first < 0 || last > self->size())
            return call.outOfRange();
        if (first < last)
            self.edit()->fill(val, first, last);
        return call.ret();
    }
    case kit::at(5, 0):
        return call.ret(self->isEmpty());
    case kit::at(6, 0):
        return call.ret(self->isNull());
    case kit::at(7, 1): {
        const QBitArray other = call.get<QBitArray>(0);
        *self.edit() &= other;
        return thisObject;
    }
    case kit::at(8, 1): {
        const QBitArray other = call.get<QBitArray>(0);
        *self.edit() = other;
        return thisObject;
    }
    case kit::at(9, 1):
        return call.ret(*self == call.get<QBitArray>(0));
    case kit::at(10, 0):
        return call.ret(~*self);
    case kit::at(11, 1): {
        const QBitArray other = call.get<QBitArray>(0);
        *self.edit() |= other;
        return thisObject;
    }
    case kit::at(12, 1): {
        const QBitArray other = call.get<QBitArray>(0);
        *self.edit() ^= other;
        return thisObject;
    }
    case kit::at(13, 1):
        return kit::readFrom(call, self, readBits);
    case kit::at(14, 1): {
        // Qt 5 keeps a negative size as the array's size; an array never has fewer than 0 bits.
        const int size = qMax(0, call.get<int>(0));
        if (size > MaxBits)
            return tooLarge(call);
        self.edit()->resize(size);
        return call.ret();
    }
    case kit::at(15, 1):
    case kit::at(15, 2): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= self->size())
            return call.outOfRange();
        const bool val = call.get<bool>(1, true);
        self.edit()->setBit(i, val);
        return call.ret();
    }
    case kit::at(16, 0):
        return call.ret(self->size());
    case kit::at(18, 1): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= self->size())
            return call.outOfRange();
        return call.ret(self.edit()->toggleBit(i));
    }
    case kit::at(19, 1): {
        const int pos = qMax(0, call.get<int>(0));
        if (pos < self->size())
            self.edit()->truncate(pos);
        return call.ret();
    }
    case kit::at(20, 1):
        return kit::writeTo(call, self);
    }
    if (call.index == 21)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QBitArray_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QBitArray());
    case kit::at(0, 1):
        if (call.is<QBitArray>(0))
            return call.wrapValue(call.get<QBitArray>(0));
        if (call.is<int>(0)) {
            const int size = qMax(0, call.get<int>(0));
            if (size > MaxBits)
                return tooLarge(call);
            return call.wrapValue(QBitArray(size));
        }
        break;
    case kit::at(0, 2): {
        const int size = qMax(0, call.get<int>(0));
        if (size > MaxBits)
            return tooLarge(call);
        return call.wrapValue(QBitArray(size, call.get<bool>(1)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QBitArray_class(QScriptEngine *engine)
{
    return kit::valueClass<QBitArray, qtscript_QBitArray_tables, qtscript_QBitArray_static_call,
                           qtscript_QBitArray_prototype_call>(engine);
}
