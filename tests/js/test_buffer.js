// QBuffer: a device on a byte array, shared in place with the script's QByteArray object.

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function contents(b) { b.seek(0); return str(b.readAll()); }
var candidates = "QBuffer::QBuffer(): could not find a function match; candidates are:\n" +
    "QBuffer(QByteArray buf, QObject parent)\nQBuffer(QObject parent)";

test("construction and class shape", function() {
    eq(Object.getPrototypeOf(QBuffer.prototype), QIODevice.prototype);
    eq(QBuffer.length, 2);
    throws(function() { QBuffer(); }, "QBuffer(): Did you forget to construct with 'new'?");
    throws(function() { new QBuffer("text"); }, candidates);
    throws(function() { new QBuffer(null); }, candidates);
    throws(function() { new QBuffer(1, 2, 3); }, candidates);
    var p = new QObject();
    eq(new QBuffer(p).parent(), p);
    var own = new QBuffer("text", null);
    eq(own.parent(), null);
    ok(own.open(QIODevice.ReadWrite));
    eq(own.write(new QByteArray("abc")), 3);
    eq(contents(own), "abc");
    throws(function() { own.setData(); },
           "QBuffer::setData(): could not find a function match; candidates are:\nsetData(QByteArray data)");
    throws(function() { QBuffer.prototype.setBuffer.call(new QFile("x"), new QByteArray()); },
           "QBuffer.setBuffer(): this object is not a QBuffer", "TypeError");
    eq(own.toString(1), "QBuffer");
});

test("a buffer on a script array works on it in place", function() {
    var arr = new QByteArray("hello");
    var b = new QBuffer(arr);
    ok(b.open(QIODevice.ReadWrite));
    eq(b.write(new QByteArray("HE")), 2);
    eq(str(arr), "HEllo", "what the buffer writes, the array shows");
    arr.append(new QByteArray(" world"));
    eq(contents(b), "HEllo world", "what the script changes, the buffer reads");
    b.seek(arr.size());
    b.write("!");
    eq(str(arr), "HEllo world!");
});

test("setData copies; setBuffer replaces the array the buffer works on", function() {
    var b = new QBuffer();
    var data = new QByteArray("abc");
    b.setData(data);
    b.open(QIODevice.ReadWrite);
    b.write(new QByteArray("X"));
    eq(str(data), "abc", "the array given to setData stays apart");
    eq(contents(b), "Xbc");
    b.close();
    var first = new QByteArray("1"), second = new QByteArray("2");
    b.setBuffer(first);
    b.setBuffer(second);
    b.open(QIODevice.WriteOnly);
    b.write(new QByteArray("Z"));
    eq(str(first), "1");
    eq(str(second), "Z");
    b.setBuffer(new QByteArray("refused"));
    b.write(new QByteArray("Y"));
    eq(str(second), "ZY", "an open buffer keeps its array");
    b.close();
    b.setBuffer(5);
    b.open(QIODevice.ReadOnly);
    eq(b.size(), 0, "a value that is no array: an array of the buffer's own");
});

test("a setBuffer an open buffer refuses leaves it its own array, kept alive", function() {
    var buffers = [];
    for (var i = 0; i < 100; ++i) {
        var b = new QBuffer(new QByteArray("own " + i));
        ok(b.open(QIODevice.ReadOnly));
        b.setBuffer(new QByteArray("refused " + i));
        buffers.push(b);
    }
    for (var k = 0; k < 3; ++k) { gc(); new QByteArray(100000, 65); }
    var wrong = buffers.filter(function(b, i) { return contents(b) != "own " + i; });
    eq(wrong.length, 0, "buffers that lost their array");
});

test("the array stays alive while the buffer uses it", function() {
    var b = new QBuffer(new QByteArray("kept alive"));
    var c = new QBuffer();
    c.setBuffer(new QByteArray("set later"));
    for (var i = 0; i < 3; ++i) { gc(); new QByteArray(100000, 65); }
    b.open(QIODevice.ReadOnly);
    c.open(QIODevice.ReadOnly);
    eq(str(b.readAll()), "kept alive");
    eq(str(c.readAll()), "set later");
});

test("a buffer never grows past the largest byte array", function() {
    var arr = new QByteArray("abc");
    var b = new QBuffer(arr);
    b.open(QIODevice.ReadWrite);
    eq(b.seek(2147483648), false);
    eq(b.seek(1e15), false);
    eq(arr.size(), 3);
    ok(b.seek(10), "a short gap is filled with zeros");
    eq(str(arr), "abc\0\0\0\0\0\0\0");
});

test("device methods on a buffer: lines, peek, unget", function() {
    var b = new QBuffer(new QByteArray("one\ntwo\nthree"));
    b.open(QIODevice.ReadOnly);
    eq(b.canReadLine(), true);
    eq(str(b.peek(3)), "one");
    eq(str(b.readLine()), "one\n");
    eq(str(b.readLine(3)), "tw", "at most maxlen - 1 bytes");
    b.ungetChar(88);
    eq(str(b.read(1e9)), "Xo\nthree", "a huge maxlen reads what there is");
    eq(b.atEnd(), true);
    eq(b.putChar(65), false, "read-only");
});

finish();
