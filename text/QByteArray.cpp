#include "plugin/compat.h"
#include "plugin/kit.h"

#include <QtCore/QDataStream>

#include <limits>

static const char *const qtscript_QByteArray_function_names[] = {
    "QByteArray",
    // static
    "fromBase64", "fromHex", "fromInt", "fromLongLong", "fromPercentEncoding", "fromULongLong",
    "number",
    // prototype
    "append", "appendByte", "at", "capacity", "chop", "clear", "count", "endsWith", "fill",
    "indexOf", "indexOfByte", "insert", "insertByte", "isEmpty", "isNull", "lastIndexOf",
    "lastIndexOfByte", "left", "leftJustified", "length", "mid", "operator_assign", "equals",
    "operator_less", "prepend", "prependByte", "readFrom", "remove", "replace", "reserve",
    "resize", "right", "rightJustified", "setDouble", "setFloat", "setInt", "setLongLong",
    "setShort", "setULongLong", "setUShort", "simplified", "size", "split", "squeeze",
    "startsWith", "toBase64", "toDouble", "toFloat", "toHex", "toInt", "toLower",
    "toPercentEncoding", "toUShort", "toUpper", "trimmed", "truncate", "writeTo", "toString",
};

static const char *const qtscript_QByteArray_function_signatures[] = {
    "\nQByteArray arg__1\nint size, char c",
    // static
    "QByteArray base64", "QByteArray hexEncoded", "int arg__1, int base",
    "qlonglong arg__1, int base", "QByteArray pctEncoded, char percent",
    "qulonglong arg__1, int base", "double arg__1, char f, int prec",
    // prototype
    "QByteArray a\nString s", "char c", "int i", "", "int n", "", "char c\nQByteArray a",
    "char c\nQByteArray a", "char c, int size", "QByteArray a, int from\nString s, int from",
    "char c, int from", "int i, QByteArray a\nint i, String s", "int i, char c", "", "",
    "QByteArray a, int from\nString s, int from", "char c, int from", "int len",
    "int width, char fill, bool truncate", "", "int index, int len", "QByteArray arg__1",
    "QByteArray a2\nString s2", "QByteArray a2\nString s2", "QByteArray a", "char c",
    "QDataStream arg__1", "int index, int len",
    "char before, char after\nchar before, QByteArray after\nchar c, String after\n"
    "QByteArray before, QByteArray after\nString before, QByteArray after\n"
    "int index, int len, QByteArray s",
    "int size", "int size", "int len", "int width, char fill, bool truncate",
    "double arg__1, char f, int prec", "float arg__1, char f, int prec", "int arg__1, int base",
    "qlonglong arg__1, int base", "short arg__1, int base", "qulonglong arg__1, int base",
    "ushort arg__1, int base", "", "", "char sep", "", "char c\nQByteArray a", "", "", "", "",
    "int base", "", "QByteArray exclude, QByteArray include, char percent", "int base", "", "",
    "int pos", "QDataStream arg__1",
};

static const int qtscript_QByteArray_function_lengths[] = {
    2,
    // static
    1, 1, 2, 2, 2, 2, 3,
    // prototype
    1, 1, 1, 0, 1, 0, 1, 1, 2, 2, 2, 2, 2, 0, 0, 2, 2, 1, 3, 0, 2, 1, 1, 1, 1, 1, 1, 2, 3, 1,
    1, 1, 3, 3, 3, 2, 2, 2, 2, 2, 0, 0, 1, 0, 1, 0, 1, 1, 0, 2, 0, 3, 2, 0, 0, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QByteArray_tables =
    kit::tables("QByteArray", qtscript_QByteArray_function_names,
                qtscript_QByteArray_function_signatures, qtscript_QByteArray_function_lengths, 7);

namespace {

// A result that could not fit is refused before Qt is called, with the error a failed
// allocation gives.
using kit::MaxBytes;

QScriptValue tooLarge(kit::Call &call)
{
    return kit::throwNativeFailure(call.context, "out of memory");
}

// Qt 5 divides by the base unchecked (base 0 or 1 crash it); Qt's checked builds use 10.
int numberBase(int base)
{
    return base >= 2 && base <= 36 ? base : 10;
}

// Qt 5's parsers take 0 (from the prefix) or 2 to 36.
bool parseBase(int base)
{
    return base == 0 || (base >= 2 && base <= 36);
}

// Qt 5 aborts on a precision whose buffer size overflows; far below that it only adds zeros.
constexpr int MaxPrecision = 1000000;

QScriptValue badPrecision(kit::Call &call)
{
    return call.context->throwError(QScriptContext::RangeError,
                                    QString::fromLatin1("QByteArray::%0(): precision out of range")
                                        .arg(QLatin1String(call.name())));
}

// How often a pattern occurs, an empty one matching at every position (Qt 5 returns garbage).
qint64 occurrences(const QByteArray &in, const QByteArray &pattern)
{
    if (pattern.size() > in.size())
        return 0;
    return pattern.isEmpty() ? qint64(in.size()) + 1 : in.count(pattern);
}

// Searches QtCore runs outside the array. indexOf of two bytes or more from before the start
// (-size > from) reads before the array: it searches from 0, as the one-byte form does.
int indexOfBytes(const QByteArray &in, const QByteArray &needle, int from)
{
    if (needle.size() < 2)
        return in.indexOf(needle, from);
    if (needle.size() > in.size())
        return -1;
    return in.indexOf(needle, from < -in.size() ? 0 : from);
}

// lastIndexOf of a needle longer than the array reads before it; of one byte from the size,
// reads the terminator and finds a zero byte there; of none, reads the byte at from.
int lastIndexOfBytes(const QByteArray &in, const QByteArray &needle, int from)
{
    if (needle.isEmpty())
        return from < 0 ? in.size() : (from > in.size() ? -1 : from);
    if (needle.size() > in.size())
        return -1;
    return in.lastIndexOf(needle, from == in.size() ? from - 1 : from);
}

int lastIndexOfByte(const QByteArray &in, char c, int from)
{
    return in.lastIndexOf(c, from == in.size() ? from - 1 : from);
}

// The size after replacing every `before` by `after`.
qint64 sizeAfterReplace(const QByteArray &in, const QByteArray &before, qint64 afterSize)
{
    const qint64 grow = afterSize - before.size();
    if (grow <= 0 || in.isNull())
        return in.size();
    return in.size() + occurrences(in, before) * grow;
}

// The size after inserting `count` bytes at `pos` (Qt pads with blanks up to pos).
qint64 sizeAfterInsert(const QByteArray &in, int pos, qint64 count)
{
    return pos < 0 ? in.size() : qMax<qint64>(pos, in.size()) + count;
}

QScriptValue parsed(kit::Call &call, bool ok, double value)
{
    return ok ? QScriptValue(value) : call.engine->nullValue();
}

// QString::toLatin1(), appended: '?' for what Latin-1 lacks.
void appendLatin1(QByteArray &bytes, const QString &text)
{
    const int at = bytes.size();
    bytes.resize(at + text.size());
    char *out = bytes.data() + at;
    for (const QChar c : text)
        *out++ = c.unicode() > 0xff ? '?' : char(c.unicode());
}

// Text of a byte array up to its first zero byte, decoded as C strings are.
QString textOf(const QByteArray &bytes)
{
    return compat::fromCString(QByteArray(bytes.constData()));
}

} // namespace

// setNum(n, format, precision) and setNum(n, base) for each number type; they return `this`.
template <class N>
static QScriptValue setReal(kit::Call &call, kit::ValueHandle<QByteArray> &self)
{
    const N n = call.get<N>(0);
    const char f = call.get<char>(1, 'g');
    const int prec = call.get<int>(2, 6);
    if (prec > MaxPrecision)
        return badPrecision(call);
    self.edit()->setNum(n, f, prec);
    return self.object();
}

template <class N>
static QScriptValue setInteger(kit::Call &call, kit::ValueHandle<QByteArray> &self)
{
    const N n = call.get<N>(0);
    const int base = numberBase(call.get<int>(1, 10));
    self.edit()->setNum(n, base);
    return self.object();
}

static QScriptValue qtscript_QByteArray_prototype_call(kit::Call &call,
                                                       kit::ValueHandle<QByteArray> &self)
{
    // Arguments are read before self.edit(): `this` may be one of them, and editing empties it.
    const QScriptValue &thisObject = self.object();
    switch (call.at()) {
    case kit::at(0, 1): {
        QByteArray a;
        if (call.is<QByteArray>(0)) {
            a = call.get<QByteArray>(0);
        } else if (call.is<QString>(0)) {
            const QString text = call.get<QString>(0);
            // Without a codec for C strings a String's bytes are its Latin-1, one per unit:
            // written in place, as a byte array of their own would cost an allocation.
            if (!compat::codecForCStrings()) {
                if (self->size() + qint64(text.size()) > MaxBytes)
                    return tooLarge(call);
                appendLatin1(*self.edit(), text);
                return thisObject;
            }
            a = compat::toCString(text);
        } else {
            break;
        }
        if (self->size() + qint64(a.size()) > MaxBytes)
            return tooLarge(call);
        self.edit()->append(a);
        return thisObject;
    }
    case kit::at(1, 1): {
        const char c = call.get<char>(0);
        if (self->size() + qint64(1) > MaxBytes)
            return tooLarge(call);
        self.edit()->append(c);
        return thisObject;
    }
    case kit::at(2, 1): {
        const int i = call.get<int>(0);
        if (i < 0 || i >= self->size())
            return call.outOfRange();
        return call.ret(self->at(i));
    }
    case kit::at(3, 0):
        return call.ret(self->capacity());
    case kit::at(4, 1): {
        const int n = call.get<int>(0);
        self.edit()->chop(n);
        return call.ret();
    }
    case kit::at(5, 0):
        self.edit()->clear();
        return call.ret();
    case kit::at(6, 1):
        if (call.is<char>(0))
            return call.ret(self->count(call.get<char>(0)));
        if (call.is<QByteArray>(0))
            return call.ret(int(occurrences(*self, call.get<QByteArray>(0))));
        break;
    case kit::at(7, 1):
        if (call.is<char>(0))
            return call.ret(self->endsWith(call.get<char>(0)));
        if (call.is<QByteArray>(0))
            return call.ret(self->endsWith(call.get<QByteArray>(0)));
        break;
    case kit::at(8, 1):
    case kit::at(8, 2): {
        const char c = call.get<char>(0);
        const int size = call.get<int>(1, -1);
        if (size > MaxBytes)
            return tooLarge(call);
        self.edit()->fill(c, size);
        return thisObject;
    }
    case kit::at(9, 1):
    case kit::at(9, 2): {
        if (call.argc == 2 && !call.is<int>(1))
            break;
        const int from = call.get<int>(1, 0);
        if (call.is<QByteArray>(0))
            return call.ret(indexOfBytes(*self, call.get<QByteArray>(0), from));
        if (call.is<QString>(0))
            return call.ret(indexOfBytes(*self, compat::toCString(call.get<QString>(0)), from));
        break;
    }
    case kit::at(10, 1):
    case kit::at(10, 2):
        return call.ret(self->indexOf(call.get<char>(0), call.get<int>(1, 0)));
    case kit::at(11, 2): {
        if (!call.is<int>(0))
            break;
        const int i = call.get<int>(0);
        QByteArray a;
        if (call.is<QByteArray>(1))
            a = call.get<QByteArray>(1);
        else if (call.is<QString>(1))
            a = compat::toCString(call.get<QString>(1));
        else
            break;
        if (sizeAfterInsert(*self, i, a.size()) > MaxBytes)
            return tooLarge(call);
        self.edit()->insert(i, a);
        return thisObject;
    }
    case kit::at(12, 2): {
        const int i = call.get<int>(0);
        const char c = call.get<char>(1);
        if (sizeAfterInsert(*self, i, 1) > MaxBytes)
            return tooLarge(call);
        self.edit()->insert(i, c);
        return thisObject;
    }
    case kit::at(13, 0):
        return call.ret(self->isEmpty());
    case kit::at(14, 0):
        return call.ret(self->isNull());
    case kit::at(15, 1):
    case kit::at(15, 2): {
        if (call.argc == 2 && !call.is<int>(1))
            break;
        const int from = call.get<int>(1, -1);
        if (call.is<QByteArray>(0))
            return call.ret(lastIndexOfBytes(*self, call.get<QByteArray>(0), from));
        if (call.is<QString>(0))
            return call.ret(lastIndexOfBytes(*self, compat::toCString(call.get<QString>(0)), from));
        break;
    }
    case kit::at(16, 1):
    case kit::at(16, 2):
        return call.ret(lastIndexOfByte(*self, call.get<char>(0), call.get<int>(1, -1)));
    case kit::at(17, 1):
        return call.ret(self->left(call.get<int>(0)));
    case kit::at(18, 1):
    case kit::at(18, 2):
    case kit::at(18, 3): {
        // A negative width pads nothing; Qt's own arithmetic overflows on INT_MIN.
        const int width = qMax(0, call.get<int>(0));
        if (width > MaxBytes)
            return tooLarge(call);
        return call.ret(self->leftJustified(width, call.get<char>(1, ' '), call.get<bool>(2, false)));
    }
    case kit::at(19, 0):
        return call.ret(self->length());
    case kit::at(20, 1):
    case kit::at(20, 2):
        return call.ret(self->mid(call.get<int>(0), call.get<int>(1, -1)));
    case kit::at(21, 1): {
        const QByteArray a = call.get<QByteArray>(0);
        *self.edit() = a;
        return call.ret(a);
    }
    case kit::at(22, 1):
        // Bytes against bytes, all of them; a String against the text up to the first zero.
        if (call.is<QByteArray>(0))
            return call.ret(*self == call.get<QByteArray>(0));
        if (call.is<QString>(0))
            return call.ret(textOf(*self) == call.get<QString>(0));
        break;
    case kit::at(23, 1):
        if (call.is<QByteArray>(0))
            return call.ret(*self < call.get<QByteArray>(0));
        if (call.is<QString>(0))
            return call.ret(compat::fromCString(*self) < call.get<QString>(0));
        break;
    case kit::at(24, 1): {
        const QByteArray a = call.get<QByteArray>(0);
        if (self->size() + qint64(a.size()) > MaxBytes)
            return tooLarge(call);
        self.edit()->prepend(a);
        return thisObject;
    }
    case kit::at(25, 1): {
        const char c = call.get<char>(0);
        if (self->size() + qint64(1) > MaxBytes)
            return tooLarge(call);
        self.edit()->prepend(c);
        return thisObject;
    }
    case kit::at(26, 1):
        return kit::readFrom(call, self);
    case kit::at(27, 2): {
        const int index = call.get<int>(0);
        const int len = call.get<int>(1);
        self.edit()->remove(index, len);
        return thisObject;
    }
    case kit::at(28, 2): {
        QByteArray before;
        QByteArray after;
        if (call.are<char, char>()) {
            before = QByteArray(1, call.get<char>(0));
            after = QByteArray(1, call.get<char>(1));
        } else if (call.are<char, QByteArray>()) {
            before = QByteArray(1, call.get<char>(0));
            after = call.get<QByteArray>(1);
        } else if (call.are<char, QString>()) {
            before = QByteArray(1, call.get<char>(0));
            after = compat::toCString(call.get<QString>(1));
        } else if (call.are<QByteArray, QByteArray>()) {
            before = call.get<QByteArray>(0);
            after = call.get<QByteArray>(1);
        } else if (call.are<QString, QByteArray>()) {
            before = compat::toCString(call.get<QString>(0));
            after = call.get<QByteArray>(1);
        } else {
            break;
        }
        if (sizeAfterReplace(*self, before, after.size()) > MaxBytes)
            return tooLarge(call);
        self.edit()->replace(before, after);
        return thisObject;
    }
    case kit::at(28, 3): {
        const int index = call.get<int>(0);
        int len = call.get<int>(1);
        const QByteArray s = call.get<QByteArray>(2);
        // Qt 5 writes before the array for a negative index, and past it when index + len
        // overflows; a negative index changes nothing (as Qt's own remove and insert do), and a
        // length past the end means "to the end".
        if (index < 0)
            return thisObject;
        const int size = self->size();
        if (len > 0 && qint64(index) + len > size)
            len = qMax(0, size - index);
        const qint64 removed = len > 0 && index < size ? len : 0;
        if (qMax<qint64>(index, size) - removed + s.size() > MaxBytes)
            return tooLarge(call);
        self.edit()->replace(index, len, s);
        return thisObject;
    }
    case kit::at(29, 1): {
        // Qt 5 copies the array into a buffer of no size when asked for a negative capacity.
        const int size = qMax(0, call.get<int>(0));
        if (size > MaxBytes)
            return tooLarge(call);
        self.edit()->reserve(size);
        return call.ret();
    }
    case kit::at(30, 1): {
        const int size = call.get<int>(0);
        if (size > MaxBytes)
            return tooLarge(call);
        self.edit()->resize(size);
        return call.ret();
    }
    case kit::at(31, 1):
        return call.ret(self->right(call.get<int>(0)));
    case kit::at(32, 1):
    case kit::at(32, 2):
    case kit::at(32, 3): {
        // A negative width pads nothing; Qt's own arithmetic overflows on INT_MIN.
        const int width = qMax(0, call.get<int>(0));
        if (width > MaxBytes)
            return tooLarge(call);
        return call.ret(self->rightJustified(width, call.get<char>(1, ' '), call.get<bool>(2, false)));
    }
    case kit::at(33, 1):
    case kit::at(33, 2):
    case kit::at(33, 3):
        return setReal<double>(call, self);
    case kit::at(34, 1):
    case kit::at(34, 2):
    case kit::at(34, 3):
        return setReal<float>(call, self);
    case kit::at(35, 1):
    case kit::at(35, 2):
        return setInteger<int>(call, self);
    case kit::at(36, 1):
    case kit::at(36, 2):
        return setInteger<qlonglong>(call, self);
    case kit::at(37, 1):
    case kit::at(37, 2):
        return setInteger<short>(call, self);
    case kit::at(38, 1):
    case kit::at(38, 2):
        return setInteger<qulonglong>(call, self);
    case kit::at(39, 1):
    case kit::at(39, 2):
        return setInteger<ushort>(call, self);
    case kit::at(40, 0):
        return call.ret(self->simplified());
    case kit::at(41, 0):
        return call.ret(self->size());
    case kit::at(42, 1):
        return call.ret(self->split(call.get<char>(0)));
    case kit::at(43, 0):
        self.edit()->squeeze();
        return call.ret();
    case kit::at(44, 1):
        if (call.is<char>(0))
            return call.ret(self->startsWith(call.get<char>(0)));
        if (call.is<QByteArray>(0))
            return call.ret(self->startsWith(call.get<QByteArray>(0)));
        break;
    case kit::at(45, 0):
        if ((self->size() + qint64(2)) / 3 * 4 > MaxBytes)
            return tooLarge(call);
        return call.ret(self->toBase64());
    case kit::at(46, 0): {
        bool ok = false;
        const double d = self->toDouble(&ok);
        return parsed(call, ok, d);
    }
    case kit::at(47, 0): {
        bool ok = false;
        const float f = self->toFloat(&ok);
        return parsed(call, ok, double(f));
    }
    case kit::at(48, 0):
        if (self->size() * qint64(2) > MaxBytes)
            return tooLarge(call);
        return call.ret(self->toHex());
    case kit::at(49, 0):
    case kit::at(49, 1): {
        const int base = call.get<int>(0, 10);
        bool ok = false;
        const int n = parseBase(base) ? self->toInt(&ok, base) : 0;
        return parsed(call, ok, n);
    }
    case kit::at(50, 0):
        return call.ret(self->toLower());
    case kit::at(51, 0):
    case kit::at(51, 1):
    case kit::at(51, 2):
    case kit::at(51, 3): {
        if (self->size() * qint64(3) > MaxBytes)
            return tooLarge(call);
        return call.ret(self->toPercentEncoding(call.get<QByteArray>(0, QByteArray()),
                                                call.get<QByteArray>(1, QByteArray()),
                                                call.get<char>(2, '%')));
    }
    case kit::at(52, 0):
    case kit::at(52, 1): {
        const int base = call.get<int>(0, 10);
        bool ok = false;
        const ushort n = parseBase(base) ? self->toUShort(&ok, base) : 0;
        return parsed(call, ok, n);
    }
    case kit::at(53, 0):
        return call.ret(self->toUpper());
    case kit::at(54, 0):
        return call.ret(self->trimmed());
    case kit::at(55, 1): {
        const int pos = call.get<int>(0);
        self.edit()->truncate(pos);
        return call.ret();
    }
    case kit::at(56, 1):
        return kit::writeTo(call, self);
    }
    if (call.index == 57)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QByteArray_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QByteArray());
    case kit::at(0, 1):
        return call.wrapValue(call.get<QByteArray>(0));
    case kit::at(0, 2): {
        const int size = call.get<int>(0);
        if (size > MaxBytes)
            return tooLarge(call);
        return call.wrapValue(QByteArray(size, call.get<char>(1)));
    }
    case kit::at(1, 1):
        return call.ret(QByteArray::fromBase64(call.get<QByteArray>(0)));
    case kit::at(2, 1):
        return call.ret(QByteArray::fromHex(call.get<QByteArray>(0)));
    case kit::at(3, 1):
    case kit::at(3, 2):
        return call.ret(QByteArray::number(call.get<int>(0), numberBase(call.get<int>(1, 10))));
    case kit::at(4, 1):
    case kit::at(4, 2):
        return call.ret(QByteArray::number(call.get<qlonglong>(0), numberBase(call.get<int>(1, 10))));
    case kit::at(5, 1):
    case kit::at(5, 2):
        return call.ret(QByteArray::fromPercentEncoding(call.get<QByteArray>(0),
                                                        call.get<char>(1, '%')));
    case kit::at(6, 1):
    case kit::at(6, 2):
        return call.ret(QByteArray::number(call.get<qulonglong>(0), numberBase(call.get<int>(1, 10))));
    case kit::at(7, 1):
    case kit::at(7, 2):
    case kit::at(7, 3): {
        const int prec = call.get<int>(2, 6);
        if (prec > MaxPrecision)
            return badPrecision(call);
        return call.ret(QByteArray::number(call.get<double>(0), call.get<char>(1, 'g'), prec));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QByteArray_class(QScriptEngine *engine)
{
    return kit::valueClass<QByteArray, qtscript_QByteArray_tables, qtscript_QByteArray_static_call,
                           qtscript_QByteArray_prototype_call>(engine);
}
