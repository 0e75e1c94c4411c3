// The least a binding on QtScript's public API can take for each call of the call table and of the
// real work's loops, written by hand for that one call without the plugin's kit. Each function does what the bound call must:
// reads `this` and its variant (or object), checks its type and its argument count, reads and
// tests its arguments, calls QtCore and returns the same kind of result; a changed value is
// written back into `this`, an enumeration result is the value object that stands on its class
// object now, and a script override is looked up at every call (a buffer's readData and
// writeData at every transfer, as the plugin's buffer does). What it leaves out is what the
// plugin adds for safety and generality: its handles here are bare pointers that nothing ends
// when their objects go, and errors carry short texts.
#include "limit.h"

#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QDataStream>
#include <QtCore/QEvent>
#include <QtCore/QEventLoop>
#include <QtCore/QIODevice>
#include <QtCore/QPoint>
#include <QtCore/QStringMatcher>
#include <QtCore/QTextStream>
#include <QtCore/QTimer>
#include <QtCore/QXmlStreamReader>
#include <QtScript/QScriptString>

#include <cstring>
#include <memory>
#include <vector>

namespace limit {

// Held shared by their variants, as the plugin's handles are: copying `this`'s variant is a
// reference count. (A trivially copyable type would be held inline, and each copy constructed
// through QtCore's type registry.)
struct Reader {
    Reader(QXmlStreamReader *reader = nullptr) : reader(reader) {}
    Reader(const Reader &other) : reader(other.reader) {}
    QXmlStreamReader *reader;
};
struct Event {
    Event(QEvent *event = nullptr) : event(event) {}
    Event(const Event &other) : event(other.event) {}
    QEvent *event;
};
template <class S>
struct Stream {
    Stream(S *stream = nullptr) : stream(stream) {}
    Stream(const Stream &other) : stream(other.stream) {}
    S *stream;
};
using DataStream = Stream<QDataStream>;
using TextStream = Stream<QTextStream>;
// A value type of the bench's own, so that its default prototype is the hand-written one.
struct Attributes {
    QXmlStreamAttributes attributes;
};

} // namespace limit

Q_DECLARE_TYPEINFO(limit::Reader, Q_COMPLEX_TYPE);
Q_DECLARE_TYPEINFO(limit::Event, Q_COMPLEX_TYPE);
Q_DECLARE_TYPEINFO(limit::DataStream, Q_COMPLEX_TYPE);
Q_DECLARE_TYPEINFO(limit::TextStream, Q_COMPLEX_TYPE);
Q_DECLARE_METATYPE(limit::Reader)
Q_DECLARE_METATYPE(limit::Event)
Q_DECLARE_METATYPE(limit::DataStream)
Q_DECLARE_METATYPE(limit::TextStream)
Q_DECLARE_METATYPE(limit::Attributes)

namespace limit {

namespace {

const int TokenCount = 11;
const char *const TokenKeys[TokenCount] = {
    "NoToken", "Invalid", "StartDocument", "EndDocument", "StartElement", "EndElement",
    "Characters", "Comment", "DTD", "EntityReference", "ProcessingInstruction",
};

// What the functions share: names made once, the plugin's meta types found by name, the objects
// the factories made, and the value objects of QXmlStreamReader.TokenType last found.
struct State {
    QScriptString event, readData, writeData, data, readerClass;
    QScriptString tokenKeys[TokenCount];
    QScriptValue owner;
    QScriptValue tokens[TokenCount];
    bool kept[TokenCount] = {};
    int matcherType = 0, caseType = 0, flagType = 0, flagsType = 0, openModeFlag = 0, openMode = 0;
    std::vector<std::unique_ptr<QXmlStreamReader>> readers;
    std::vector<std::unique_ptr<QDataStream>> dataStreams;
    std::vector<std::unique_ptr<QTextStream>> textStreams;
    QEvent userEvent{QEvent::User};
};

State *state = nullptr;

QScriptValue notThis(QScriptContext *c)
{
    return c->throwError(QScriptContext::TypeError, QStringLiteral("this object is not the class"));
}

QScriptValue mismatch(QScriptContext *c)
{
    return c->throwError(QStringLiteral("could not find a function match"));
}

const QByteArray *bytesIn(const QVariant &v)
{
    return v.userType() == QMetaType::QByteArray ? static_cast<const QByteArray *>(v.constData())
                                                 : nullptr;
}

// QByteArray

QScriptValue bytesSize(QScriptContext *c, QScriptEngine *)
{
    const QVariant v = c->thisObject().toVariant();
    const QByteArray *b = bytesIn(v);
    if (!b)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(b->size());
}

QScriptValue bytesAt(QScriptContext *c, QScriptEngine *)
{
    const QVariant v = c->thisObject().toVariant();
    const QByteArray *b = bytesIn(v);
    if (!b)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    const int i = c->argument(0).toInt32();
    if (i < 0 || i >= b->size())
        return c->throwError(QScriptContext::RangeError, QStringLiteral("index out of range"));
    return QScriptValue(int(b->at(i)));
}

// The bytes of a byte array or of a String, in the order the overloads are tested.
bool bytesArgument(const QScriptValue &a, QByteArray &out)
{
    if (a.isVariant()) {
        const QVariant v = a.toVariant();
        if (const QByteArray *b = bytesIn(v)) {
            out = *b;
            return true;
        }
    }
    if (a.isString()) {
        out = a.toString().toLatin1();
        return true;
    }
    return false;
}

QScriptValue bytesIndexOf(QScriptContext *c, QScriptEngine *)
{
    const QVariant v = c->thisObject().toVariant();
    const QByteArray *b = bytesIn(v);
    if (!b)
        return notThis(c);
    QByteArray what;
    if (c->argumentCount() != 1 || !bytesArgument(c->argument(0), what))
        return mismatch(c);
    return QScriptValue(b->indexOf(what));
}

// The object's own copy is let go while the value grows, so that the array is not copied.
QScriptValue bytesAppend(QScriptContext *c, QScriptEngine *engine)
{
    QScriptValue self = c->thisObject();
    QVariant v = self.toVariant();
    if (!bytesIn(v))
        return notThis(c);
    QByteArray what;
    if (c->argumentCount() != 1 || !bytesArgument(c->argument(0), what))
        return mismatch(c);
    static const QVariant empty(QMetaType::QByteArray, nullptr);
    engine->newVariant(self, empty);
    static_cast<QByteArray *>(v.data())->append(what);
    engine->newVariant(self, v);
    return self;
}

// The constructors make their objects of the `this` that `new` made, which carries its prototype
// from the start, as the plugin's constructors do.
QScriptValue newBytes(QScriptContext *c, QScriptEngine *engine)
{
    return engine->newVariant(c->thisObject(), QVariant(c->argument(0).toString().toLatin1()));
}

// A static function

QScriptValue closingDown(QScriptContext *c, QScriptEngine *)
{
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(QCoreApplication::closingDown());
}

// QPoint

QScriptValue newPoint(QScriptContext *c, QScriptEngine *engine)
{
    if (!c->isCalledAsConstructor())
        return c->throwError(QStringLiteral("construct with 'new'"));
    if (c->argumentCount() != 2)
        return mismatch(c);
    const QScriptValue args = c->argumentsObject();
    return engine->newVariant(c->thisObject(),
                              QVariant(QPoint(args.property(0).toInt32(), args.property(1).toInt32())));
}

QScriptValue pointSetX(QScriptContext *c, QScriptEngine *engine)
{
    QScriptValue self = c->thisObject();
    QVariant v = self.toVariant();
    if (v.userType() != QMetaType::QPoint)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    static_cast<QPoint *>(v.data())->setX(c->argument(0).toInt32());
    engine->newVariant(self, v);
    return QScriptValue(QScriptValue::UndefinedValue);
}

// QStringMatcher, and an enumeration argument

QScriptValue matcherSetCaseSensitivity(QScriptContext *c, QScriptEngine *engine)
{
    QScriptValue self = c->thisObject();
    QVariant v = self.toVariant();
    if (v.userType() != state->matcherType)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    const QScriptValue a = c->argument(0);
    int cs = 0;
    if (a.isVariant()) {
        const QVariant e = a.toVariant();
        if (e.userType() == state->caseType)
            cs = *static_cast<const int *>(e.constData());
    }
    static_cast<QStringMatcher *>(v.data())->setCaseSensitivity(Qt::CaseSensitivity(cs));
    engine->newVariant(self, v);
    return QScriptValue(QScriptValue::UndefinedValue);
}

QScriptValue newMatcher(QScriptContext *c, QScriptEngine *engine)
{
    return engine->newVariant(c->thisObject(), QVariant(state->matcherType, nullptr));
}

// A flags constructor: values of its enumeration or-ed together, or a single number. (Where a call
// reads several arguments, the frame's arguments object is made once: argument(i) makes it anew.)

QScriptValue newFlags(QScriptContext *c, QScriptEngine *engine)
{
    const int argc = c->argumentCount();
    int bits = 0;
    if (argc == 1 && c->argument(0).isNumber()) {
        bits = c->argument(0).toInt32();
    } else {
        const QScriptValue args = c->argumentsObject();
        for (int i = 0; i < argc; ++i) {
            const QVariant v = args.property(quint32(i)).toVariant();
            if (v.userType() != state->flagType)
                return c->throwError(QScriptContext::TypeError, QStringLiteral("not a flag"));
            bits |= *static_cast<const int *>(v.constData());
        }
    }
    return engine->newVariant(QVariant(state->flagsType, &bits));
}

// Object classes

QScriptValue objectSignalsBlocked(QScriptContext *c, QScriptEngine *)
{
    QObject *o = c->thisObject().toQObject();
    if (!o)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(o->signalsBlocked());
}

QScriptValue loopIsRunning(QScriptContext *c, QScriptEngine *)
{
    QEventLoop *loop = qobject_cast<QEventLoop *>(c->thisObject().toQObject());
    if (!loop)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(loop->isRunning());
}

QScriptValue newTimer(QScriptContext *c, QScriptEngine *engine)
{
    return engine->newQObject(c->thisObject(), new QTimer, QScriptEngine::ScriptOwnership);
}

QScriptValue newEventLoop(QScriptContext *c, QScriptEngine *engine)
{
    return engine->newQObject(c->thisObject(), new QEventLoop, QScriptEngine::ScriptOwnership);
}

// QXmlStreamReader: a pointer class, an enumeration result, a value-class result

QXmlStreamReader *readerIn(const QVariant &v)
{
    return v.userType() == qMetaTypeId<Reader>() ? static_cast<const Reader *>(v.constData())->reader
                                                 : nullptr;
}

// The value object of a token type: whatever stands under its key on the object that stands
// under "QXmlStreamReader" now; kept while that object stays and no script can change the key.
QScriptValue tokenValue(QScriptEngine *engine, int token)
{
    if (token < 0 || token >= TokenCount)
        return QScriptValue(QScriptValue::UndefinedValue);
    State &s = *state;
    const QScriptValue owner = engine->globalObject().property(s.readerClass);
    if (!s.owner.isValid() || owner.objectId() != s.owner.objectId()) {
        s.owner = owner;
        for (bool &k : s.kept)
            k = false;
    }
    if (s.kept[token])
        return s.tokens[token];
    const QScriptValue v = owner.property(s.tokenKeys[token]);
    const QScriptValue::PropertyFlags fixed = QScriptValue::ReadOnly | QScriptValue::Undeletable;
    if ((owner.propertyFlags(s.tokenKeys[token], QScriptValue::ResolveLocal) & fixed) == fixed) {
        s.tokens[token] = v;
        s.kept[token] = true;
    }
    return v.isValid() ? v : QScriptValue(QScriptValue::UndefinedValue);
}

QScriptValue readerAtEnd(QScriptContext *c, QScriptEngine *)
{
    QXmlStreamReader *r = readerIn(c->thisObject().toVariant());
    if (!r)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(r->atEnd());
}

QScriptValue readerReadNext(QScriptContext *c, QScriptEngine *engine)
{
    QXmlStreamReader *r = readerIn(c->thisObject().toVariant());
    if (!r)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return tokenValue(engine, r->readNext());
}

QScriptValue readerTokenType(QScriptContext *c, QScriptEngine *engine)
{
    QXmlStreamReader *r = readerIn(c->thisObject().toVariant());
    if (!r)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return tokenValue(engine, r->tokenType());
}

QScriptValue readerAttributes(QScriptContext *c, QScriptEngine *engine)
{
    QXmlStreamReader *r = readerIn(c->thisObject().toVariant());
    if (!r)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return engine->newVariant(QVariant::fromValue(Attributes{r->attributes()}));
}

QScriptValue attributesSize(QScriptContext *c, QScriptEngine *)
{
    const QVariant v = c->thisObject().toVariant();
    if (v.userType() != qMetaTypeId<Attributes>())
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(static_cast<const Attributes *>(v.constData())->attributes.size());
}

// A reader on a text, or on a device (a QIODevice of the plugin's).
QScriptValue newReader(QScriptContext *c, QScriptEngine *engine)
{
    const QScriptValue a = c->argument(0);
    QXmlStreamReader *r;
    if (QIODevice *device = qobject_cast<QIODevice *>(a.toQObject()))
        r = new QXmlStreamReader(device);
    else
        r = new QXmlStreamReader(a.toString());
    state->readers.emplace_back(r);
    return engine->newVariant(c->thisObject(), QVariant::fromValue(Reader{r}));
}

// Streams: a data stream and a text stream on a device (a QIODevice of the plugin's). Each write
// returns `this`, so that writes chain; each read returns the value read.

template <class S>
S *streamIn(const QVariant &v)
{
    return v.userType() == qMetaTypeId<Stream<S>>()
        ? static_cast<const Stream<S> *>(v.constData())->stream : nullptr;
}

// writeX(value): `T` what QtCore's operator<< takes, `From` the conversion of the argument.
template <class S, class T, T (*From)(const QScriptValue &)>
QScriptValue streamWrite(QScriptContext *c, QScriptEngine *)
{
    const QScriptValue self = c->thisObject();
    S *s = streamIn<S>(self.toVariant());
    if (!s)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    *s << From(c->argument(0));
    return self;
}

// readX(): QtCore's operator>> into a T, returned as an R.
template <class S, class T, class R = T>
QScriptValue streamRead(QScriptContext *c, QScriptEngine *)
{
    S *s = streamIn<S>(c->thisObject().toVariant());
    if (!s)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    T value{};
    *s >> value;
    return QScriptValue(R(value));
}

qint32 toInt(const QScriptValue &v) { return v.toInt32(); }
qint16 toShort(const QScriptValue &v) { return qint16(v.toInt32()); }
double toDouble(const QScriptValue &v) { return v.toNumber(); }
QString toText(const QScriptValue &v) { return v.toString(); }

QScriptValue textReadLine(QScriptContext *c, QScriptEngine *)
{
    QTextStream *s = streamIn<QTextStream>(c->thisObject().toVariant());
    if (!s)
        return notThis(c);
    if (c->argumentCount() != 0)
        return mismatch(c);
    return QScriptValue(s->readLine());
}

QScriptValue textSeek(QScriptContext *c, QScriptEngine *)
{
    QTextStream *s = streamIn<QTextStream>(c->thisObject().toVariant());
    if (!s)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    return QScriptValue(s->seek(qint64(c->argument(0).toNumber())));
}

QIODevice *deviceArgument(QScriptContext *c)
{
    return qobject_cast<QIODevice *>(c->argument(0).toQObject());
}

// A script's data stream starts at Qt 4.4's format, as the plugin's do.
QScriptValue newDataStream(QScriptContext *c, QScriptEngine *engine)
{
    auto *s = new QDataStream(deviceArgument(c));
    s->setVersion(QDataStream::Qt_4_4);
    state->dataStreams.emplace_back(s);
    return engine->newVariant(c->thisObject(), QVariant::fromValue(DataStream{s}));
}

QScriptValue newTextStream(QScriptContext *c, QScriptEngine *engine)
{
    auto *s = new QTextStream(deviceArgument(c));
    state->textStreams.emplace_back(s);
    return engine->newVariant(c->thisObject(), QVariant::fromValue(TextStream{s}));
}

// A byte array to and from a data stream; reading changes the value, written back into `this`.
QScriptValue bytesWriteTo(QScriptContext *c, QScriptEngine *)
{
    const QVariant v = c->thisObject().toVariant();
    const QByteArray *b = bytesIn(v);
    if (!b)
        return notThis(c);
    QDataStream *s = c->argumentCount() == 1
        ? streamIn<QDataStream>(c->argument(0).toVariant()) : nullptr;
    if (!s)
        return mismatch(c);
    *s << *b;
    return QScriptValue(QScriptValue::UndefinedValue);
}

QScriptValue bytesReadFrom(QScriptContext *c, QScriptEngine *engine)
{
    QScriptValue self = c->thisObject();
    QVariant v = self.toVariant();
    if (!bytesIn(v))
        return notThis(c);
    QDataStream *s = c->argumentCount() == 1
        ? streamIn<QDataStream>(c->argument(0).toVariant()) : nullptr;
    if (!s)
        return mismatch(c);
    static const QVariant empty(QMetaType::QByteArray, nullptr);
    engine->newVariant(self, empty);
    *s >> *static_cast<QByteArray *>(v.data());
    engine->newVariant(self, v);
    return QScriptValue(QScriptValue::UndefinedValue);
}

// A shell override called from native code: the script function is looked up at every call and
// must be a script function (not a binding's own, not a member of the object wrapping); the event
// it receives is Qt's, emptied after the call. The own property is looked up first: then whether
// it is a member of the wrapping is told by the object's class (which has no method or property
// of the name) and its dynamic properties, without a second lookup through the wrapping.

bool tagged(const QScriptValue &f, const State &s)
{
    const QScriptValue data = f.scriptClass() ? f.data() : f.property(s.data, QScriptValue::ResolveLocal);
    return (data.toUInt32() & 0xFFFF0000u) == 0xBABE0000u;
}

// The override `name` (`latin` in Latin-1) of `object`, whose wrapper is `self`; invalid if none.
QScriptValue overrideOf(const QScriptValue &self, const QObject *object, const QScriptString &name,
                        const char *latin)
{
    const State &s = *state;
    QScriptValue f = self.property(name, QScriptValue::ResolveLocal);
    if (f.isValid()) {
        if (!f.isFunction() || tagged(f, s)
            || (!object->dynamicPropertyNames().isEmpty()
                && object->dynamicPropertyNames().contains(latin)
                && (self.propertyFlags(name, QScriptValue::ResolveLocal) & QScriptValue::QObjectMember)))
            f = QScriptValue();
        return f;
    }
    const QScriptValue proto = self.prototype();
    f = proto.property(name, QScriptValue::ResolvePrototype);
    if (!f.isFunction() || tagged(f, s)
        || (proto.propertyFlags(name, QScriptValue::ResolvePrototype) & QScriptValue::QObjectMember))
        f = QScriptValue();
    return f;
}

class Shell : public QObject
{
public:
    QScriptValue self;

    bool event(QEvent *e) override
    {
        QScriptValue f = self.isValid() ? overrideOf(self, this, state->event, "event")
                                              : QScriptValue();
        if (!f.isValid())
            return QObject::event(e);
        QScriptEngine *engine = self.engine();
        QScriptValue arg = engine->newVariant(QVariant::fromValue(Event{e}));
        const bool result = f.call(self, QScriptValueList() << arg).toBool();
        engine->newVariant(arg, QVariant());
        return result;
    }
};

// A buffer whose transfers a script may override, looked up at every call as the shell's event
// is: readData(maxSize) returns the bytes read, writeData(bytes) the count written.
class Buffer : public QBuffer
{
public:
    QScriptValue self;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        QScriptValue f = self.isValid() ? overrideOf(self, this, state->readData, "readData")
                                              : QScriptValue();
        if (!f.isValid())
            return QBuffer::readData(data, maxSize);
        const QByteArray read = qscriptvalue_cast<QByteArray>(
            f.call(self, QScriptValueList() << QScriptValue(double(maxSize))));
        const qint64 n = qMin<qint64>(read.size(), maxSize);
        std::memcpy(data, read.constData(), size_t(n));
        return n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        QScriptValue f = self.isValid() ? overrideOf(self, this, state->writeData, "writeData")
                                              : QScriptValue();
        if (!f.isValid())
            return QBuffer::writeData(data, size);
        const QScriptValue bytes = self.engine()->newVariant(QByteArray(data, int(size)));
        return qint64(f.call(self, QScriptValueList() << bytes).toNumber());
    }
};

Buffer *bufferIn(QScriptContext *c)
{
    return dynamic_cast<Buffer *>(c->thisObject().toQObject());
}

QScriptValue newBuffer(QScriptContext *c, QScriptEngine *engine)
{
    Buffer *b = new Buffer;
    b->self = engine->newQObject(c->thisObject(), b, QScriptEngine::ScriptOwnership);
    return b->self;
}

// open(mode): the mode an OpenModeFlag or OpenMode value of the plugin's.
QScriptValue bufferOpen(QScriptContext *c, QScriptEngine *)
{
    Buffer *b = bufferIn(c);
    if (!b)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    const QVariant mode = c->argument(0).toVariant();
    const bool isMode = mode.userType() == state->openModeFlag || mode.userType() == state->openMode;
    return QScriptValue(b->open(QIODevice::OpenMode(isMode ? *static_cast<const int *>(mode.constData()) : 0)));
}

QScriptValue bufferSeek(QScriptContext *c, QScriptEngine *)
{
    Buffer *b = bufferIn(c);
    if (!b)
        return notThis(c);
    if (c->argumentCount() != 1)
        return mismatch(c);
    return QScriptValue(b->seek(qint64(c->argument(0).toNumber())));
}

QScriptValue bufferClose(QScriptContext *c, QScriptEngine *)
{
    Buffer *b = bufferIn(c);
    if (!b)
        return notThis(c);
    b->close();
    return QScriptValue(QScriptValue::UndefinedValue);
}

QScriptValue newShell(QScriptContext *c, QScriptEngine *engine)
{
    Shell *s = new Shell;
    s->self = engine->newQObject(c->thisObject(), s, QScriptEngine::ScriptOwnership);
    return s->self;
}

QScriptValue event(QScriptContext *, QScriptEngine *engine)
{
    return engine->newVariant(QVariant::fromValue(Event{&state->userEvent}));
}

QScriptValue sendEvent(QScriptContext *c, QScriptEngine *)
{
    if (c->argumentCount() != 2)
        return mismatch(c);
    const QScriptValue args = c->argumentsObject();
    QObject *receiver = args.property(0).toQObject();
    const QVariant v = args.property(1).toVariant();
    QEvent *e = v.userType() == qMetaTypeId<Event>() ? static_cast<const Event *>(v.constData())->event
                                                     : nullptr;
    if (!receiver || !e)
        return mismatch(c);
    return QScriptValue(QCoreApplication::sendEvent(receiver, e));
}

using Native = QScriptValue (*)(QScriptContext *, QScriptEngine *);
using Functions = std::initializer_list<std::pair<const char *, Native>>;

QScriptValue withFunctions(QScriptEngine &engine, QScriptValue o, Functions list)
{
    for (const auto &f : list)
        o.setProperty(QString::fromLatin1(f.first), engine.newFunction(f.second),
                      QScriptValue::SkipInEnumeration);
    return o;
}

// A prototype as the plugin's are: a variant object (whose properties QtScript looks up more
// slowly than a plain object's).
QScriptValue prototype(QScriptEngine &engine, Functions list)
{
    return withFunctions(engine, engine.newVariant(QVariant(QMetaType::VoidStar, nullptr)), list);
}

} // namespace

void install(QScriptEngine &engine)
{
    delete state;
    state = new State;
    State &s = *state;
    s.event = engine.toStringHandle(QStringLiteral("event"));
    s.readData = engine.toStringHandle(QStringLiteral("readData"));
    s.writeData = engine.toStringHandle(QStringLiteral("writeData"));
    s.data = engine.toStringHandle(QStringLiteral("__qt_data__"));
    s.readerClass = engine.toStringHandle(QStringLiteral("QXmlStreamReader"));
    for (int i = 0; i < TokenCount; ++i)
        s.tokenKeys[i] = engine.toStringHandle(QString::fromLatin1(TokenKeys[i]));
    s.matcherType = QMetaType::type("QStringMatcher");
    s.caseType = QMetaType::type("Qt::CaseSensitivity");
    s.flagType = QMetaType::type("QEventLoop::ProcessEventsFlag");
    s.flagsType = QMetaType::type("QFlags<QEventLoop::ProcessEventsFlag>");
    s.openModeFlag = QMetaType::type("QIODevice::OpenModeFlag");
    s.openMode = QMetaType::type("QFlags<QIODevice::OpenModeFlag>");

    // Constructors with their prototypes, as many steps from their objects as the plugin's are.
    const QScriptValue objectProto = prototype(engine, {{"signalsBlocked", objectSignalsBlocked}});
    QScriptValue timerProto = prototype(engine, {});
    timerProto.setPrototype(objectProto);
    const struct {
        const char *name;
        Native construct;
        QScriptValue proto;
    } classes[] = {
        {"Bytes", newBytes,
         prototype(engine, {{"size", bytesSize}, {"at", bytesAt}, {"indexOf", bytesIndexOf},
                            {"append", bytesAppend}, {"writeTo", bytesWriteTo},
                            {"readFrom", bytesReadFrom}})},
        {"DataStream", newDataStream,
         prototype(engine, {{"writeInt", streamWrite<QDataStream, qint32, toInt>},
                            {"writeShort", streamWrite<QDataStream, qint16, toShort>},
                            {"writeDouble", streamWrite<QDataStream, double, toDouble>},
                            {"readInt", streamRead<QDataStream, qint32, int>},
                            {"readShort", streamRead<QDataStream, qint16, int>},
                            {"readDouble", streamRead<QDataStream, double>}})},
        {"TextStream", newTextStream,
         prototype(engine, {{"writeInt", streamWrite<QTextStream, qint32, toInt>},
                            {"writeDouble", streamWrite<QTextStream, double, toDouble>},
                            {"writeString", streamWrite<QTextStream, QString, toText>},
                            {"readInt", streamRead<QTextStream, int>},
                            {"readDouble", streamRead<QTextStream, double>},
                            {"readLine", textReadLine}, {"seek", textSeek}})},
        {"Point", newPoint, prototype(engine, {{"setX", pointSetX}})},
        {"Matcher", newMatcher, prototype(engine, {{"setCaseSensitivity", matcherSetCaseSensitivity}})},
        {"Flags", newFlags, QScriptValue()},
        {"Timer", newTimer, timerProto},
        {"EventLoop", newEventLoop, prototype(engine, {{"isRunning", loopIsRunning}})},
        {"Reader", newReader,
         prototype(engine, {{"atEnd", readerAtEnd}, {"readNext", readerReadNext},
                            {"tokenType", readerTokenType}, {"attributes", readerAttributes}})},
        {"Shell", newShell, prototype(engine, {})},
        {"Buffer", newBuffer,
         prototype(engine, {{"open", bufferOpen}, {"seek", bufferSeek}, {"close", bufferClose}})},
    };
    engine.setDefaultPrototype(qMetaTypeId<Attributes>(), prototype(engine, {{"size", attributesSize}}));
    // An event reaches an override with its class's methods.
    engine.setDefaultPrototype(qMetaTypeId<Event>(), prototype(engine, {}));

    QScriptValue l = withFunctions(engine, engine.newObject(),
                                   {{"closingDown", closingDown}, {"event", event},
                                    {"sendEvent", sendEvent}});
    for (const auto &c : classes) {
        l.setProperty(QString::fromLatin1(c.name), c.proto.isValid()
                                                       ? engine.newFunction(c.construct, c.proto)
                                                       : engine.newFunction(c.construct));
    }
    engine.globalObject().setProperty(QStringLiteral("L"), l);
}

} // namespace limit
