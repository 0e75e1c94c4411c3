// QByteArray: construction, editing in place, searching, encodings, number conversions, and how
// byte arrays cross between scripts and native code.

// The bytes of an array as a string of char codes 0-255.
function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function hex(text) { return QByteArray.fromHex(new QByteArray(text)); }
function mismatch(name, lines) {
    return "QByteArray::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("construction", function() {
    var e = new QByteArray();
    eq(e.size(), 0);
    eq(e.isNull(), true);
    eq(new QByteArray("").isNull(), false);
    throws(function() { QByteArray(); }, "QByteArray(): Did you forget to construct with 'new'?");
    var a = new QByteArray("abc");
    var b = new QByteArray(a);
    b.append("d");
    eq(str(a), "abc");
    eq(str(b), "abcd");
    eq(str(new QByteArray(3, 120)), "xxx");
    eq(new QByteArray(-5, 120).size(), 0);
    throws(function() { new QByteArray(1, 2, 3); },
           mismatch("QByteArray", ["", "QByteArray arg__1", "int size, char c"]));
    eq(a.toString(), "QByteArray");
    eq(a.toString(1, 2), "QByteArray");
});

test("a String where bytes are converted without a test keeps its text", function() {
    eq(str(new QByteArray("h\u00e9")), "h\u00e9");
    eq(str(new QByteArray().append("\u00ff\u0100")), "\u00ff?", "Latin-1 up to U+00FF, '?' beyond");
    eq(str(QByteArray.fromBase64("Zm9v")), "foo");
    eq(str(new QByteArray("abc").prepend("x")), "xabc");
    var a = new QByteArray("abc");
    eq(str(a.operator_assign("xyz")), "xyz");
    eq(str(a), "xyz");
});

test("overload tests: a String or number never passes a byte-array or char test", function() {
    var a = new QByteArray("abcabc");
    throws(function() { a.count("a"); }, mismatch("count", ["char c", "QByteArray a"]));
    throws(function() { a.count(97); }, mismatch("count", ["char c", "QByteArray a"]));
    eq(a.count(new QByteArray("bc")), 2);
    eq(a.count(new QByteArray()), 7);
    eq(a.indexOf("ca"), 2);
    eq(a.indexOf("c", 3), 5);
    eq(a.lastIndexOf("b"), 4);
    eq(a.lastIndexOf(new QByteArray("b"), 3), 1);
    throws(function() { a.indexOf("a", "b"); },
           mismatch("indexOf", ["QByteArray a, int from", "String s, int from"]));
    eq(a.indexOfByte(99), 2);
    eq(a.lastIndexOfByte(99), 5);
    eq(a.startsWith(new QByteArray("ab")), true);
    eq(a.endsWith(new QByteArray("ab")), false);
    throws(function() { a.startsWith("ab"); });
});

test("mutators change this object and return it; other objects keep their copy", function() {
    var a = new QByteArray("abc");
    var copy = new QByteArray(a);
    eq(a.append("d"), a);
    eq(a.appendByte(101), a);
    eq(a.prependByte(95), a);
    eq(a.insert(1, "-"), a);
    eq(a.insertByte(0, 33), a);
    eq(str(a), "!_-abcde");
    eq(a.remove(0, 3), a);
    eq(str(a), "abcde");
    eq(a.fill(122), a);
    eq(str(a), "zzzzz");
    eq(a.fill(121, 2), a);
    eq(str(a), "yy");
    eq(a.setInt(255, 16), a);
    eq(str(a), "ff");
    eq(str(a.setDouble(2.5)), "2.5");
    eq(str(a.setShort(-3)), "-3");
    eq(str(a.setUShort(65535, 16)), "ffff");
    eq(str(a.setLongLong(-1099511627776)), "-1099511627776");
    eq(str(a.setULongLong(1099511627776, 2)), "1" + new Array(41).join("0"));
    eq(str(a.setFloat(0.5)), "0.5");
    eq(str(a.setInt(7, 1)), "7", "an invalid base is 10");
    eq(str(copy), "abc");
    var left = copy.left(2);
    ok(left !== copy);
    eq(str(left), "ab");
    eq(str(copy), "abc");
    var other = new QByteArray("xyz");
    var assigned = copy.operator_assign(other);
    ok(assigned !== copy);
    eq(str(copy), "xyz");
    eq(str(assigned), "xyz");
});

test("an array appended or inserted into itself", function() {
    var a = new QByteArray("ab");
    a.append(a);
    eq(str(a), "abab");
    a.insert(1, a);
    eq(str(a), "aababbab");
    a.replace(new QByteArray("ab"), a);
    eq(a.size(), 8 + 3 * 6);
    a.prepend(a);
    eq(a.size(), 52);
});

test("replace", function() {
    var a = new QByteArray("a-b-c");
    eq(a.replace("-", new QByteArray("+")), a);
    eq(str(a), "a+b+c");
    eq(str(a.replace(new QByteArray("+"), new QByteArray("::"))), "a::b::c");
    eq(str(a.replace(1, 2, "_")), "a_b::c");
    eq(str(a.replace(4, 100, "!")), "a_b:!");
    eq(str(a.replace(-1, 1, "?")), "a_b:!", "a negative index changes nothing");
    throws(function() { a.replace(2147483647, 1, "?"); }, "native call failed: out of memory");
    eq(str(a.replace(3, 2147483647, "")), "a_b");
    eq(str(new QByteArray("ab").replace(new QByteArray(), new QByteArray("-"))), "-a-b-");
    throws(function() { a.replace("a", "b"); });
});

test("at checks its index", function() {
    var a = new QByteArray("xyz");
    eq(a.at(2), 122);
    throws(function() { a.at(3); }, "QByteArray::at(): index out of range", "RangeError");
    throws(function() { a.at(-1); }, "QByteArray::at(): index out of range", "RangeError");
    eq(hex("ff").at(0), -1, "a char is signed");
});

test("queries and copies", function() {
    var a = new QByteArray("  Hello   World ");
    eq(str(a.simplified()), "Hello World");
    eq(str(a.trimmed()), "Hello   World");
    eq(str(a.toUpper()), "  HELLO   WORLD ");
    eq(str(a.toLower()), "  hello   world ");
    eq(str(a.mid(2, 5)), "Hello");
    eq(str(a.mid(10)), "World ");
    eq(str(a.right(3)), "ld ");
    eq(a.length(), 16);
    eq(a.isEmpty(), false);
    eq(str(new QByteArray("ab").leftJustified(4, 46)), "ab..");
    eq(str(new QByteArray("abcdef").leftJustified(3, 46, true)), "abc");
    eq(str(new QByteArray("ab").rightJustified(4)), "  ab");
    // A width of 2^31 wraps to INT_MIN: no padding, no write outside the array.
    eq(str(new QByteArray("ab").rightJustified(2147483648)), "ab");
    eq(str(new QByteArray("ab").leftJustified(-5, 46)), "ab");
    var parts = new QByteArray("a,b,,c").split(44);
    eq(parts.length, 4);
    eq(str(parts[3]), "c");
    eq(parts[2].isEmpty(), true);
    var one = new QByteArray("abc").split(44);
    eq(one.length, 1);
    ok(one[0].equals(new QByteArray("abc")));
    var b = new QByteArray("abcdef");
    b.chop(2);
    eq(str(b), "abcd");
    b.truncate(-5);
    eq(b.size(), 0);
    b.resize(3);
    eq(b.size(), 3);
    b.reserve(100);
    ok(b.capacity() >= 100);
    b.squeeze();
    b.clear();
    eq(b.isNull(), true);
});

test("searches never run outside the array", function() {
    var big = "x";
    while (big.length < (1 << 24)) big += big;
    var needle = new QByteArray(big), ab = new QByteArray("ab"), hex = QByteArray.fromHex;
    eq(ab.lastIndexOf(needle, 0), -1, "a 16 MiB needle from 0");
    eq(ab.lastIndexOf(needle), -1);
    eq(ab.lastIndexOf(new QByteArray("abc"), 1), -1);
    eq(ab.lastIndexOf("abc", 0), -1, "a String needle");
    eq(ab.indexOf(needle, -1), -1);
    eq(ab.count(needle), 0);
    eq(ab.startsWith(needle), false);
    eq(ab.endsWith(needle), false);
    // The two bytes before the array's data are zeros in QtCore's header: a start before the
    // beginning must not find them.
    var abc = new QByteArray("abc");
    eq(abc.indexOf(hex("000061"), -5), -1);
    eq(new QByteArray("xxab").indexOf(ab, -100), 2, "searched from the start");
    eq(new QByteArray("abxab").indexOf(ab, -2), 3, "from counts back from the end");
    // One byte from the size: the terminator is no byte of the array.
    eq(ab.lastIndexOfByte(0, 2), -1);
    eq(ab.lastIndexOf(hex("00"), 2), -1);
    eq(hex("610062").lastIndexOfByte(0, 3), 1);
    eq(ab.lastIndexOfByte(98, 2), 1);
    // The empty needle, as QtCore answers it.
    eq(ab.lastIndexOf(new QByteArray(), -1), 2);
    eq(ab.lastIndexOf(new QByteArray(), 1), 1);
    eq(ab.lastIndexOf(new QByteArray(), 3), -1);
    eq(ab.indexOf(new QByteArray(), -7), -7);
});

test("negative capacities and sizes are harmless", function() {
    var a = new QByteArray("abc");
    var shared = new QByteArray(a);
    shared.reserve(-1);
    shared.reserve(-2);
    eq(str(shared), "abc");
    shared.resize(-4);
    eq(shared.size(), 0);
    eq(str(a.fill(120, -7)), "xxx");
    eq(str(a.leftJustified(-3)), "xxx");
    eq(a.mid(-2147483647, 2147483647).size(), 0);
});

test("sizes that do not fit are an Error, not an abort", function() {
    var big = "native call failed: out of memory";
    var a = new QByteArray("abc");
    throws(function() { a.resize(2147483647); }, big, "Error");
    throws(function() { a.reserve(2147483647); }, big, "Error");
    throws(function() { a.fill(0, 2147483647); }, big, "Error");
    throws(function() { a.insert(2147483647, "x"); }, big, "Error");
    throws(function() { a.insertByte(2147483646, 1); }, big, "Error");
    throws(function() { a.leftJustified(2147483647); }, big, "Error");
    throws(function() { a.rightJustified(2147483647); }, big, "Error");
    throws(function() { new QByteArray(2147483647, 0); }, big, "Error");
    throws(function() { QByteArray.number(1.5, 102, 2147483647); },
           "QByteArray::number(): precision out of range", "RangeError");
    throws(function() { a.setDouble(1.5, 101, 2000000000); },
           "QByteArray::setDouble(): precision out of range", "RangeError");
    eq(str(a), "abc", "refused calls leave the array unchanged");
});

test("a loop of appends stays linear", function() {
    var a = new QByteArray();
    var chunk = new QByteArray(1000, 97);
    var start = new Date().getTime();
    for (var i = 0; i < 20000; ++i)
        a.append(chunk);
    eq(a.size(), 20000000);
    ok(new Date().getTime() - start < 15000, "appends copied the array");
});

test("number parsers return null when the text does not parse", function() {
    eq(new QByteArray("12").toInt(), 12);
    eq(new QByteArray("ff").toInt(), null);
    eq(new QByteArray("ff").toInt(16), 255);
    eq(new QByteArray("0x1f").toInt(0), 31);
    eq(new QByteArray("11").toInt(1), null, "an invalid base parses nothing");
    eq(new QByteArray("11").toInt(37), null);
    eq(new QByteArray("x").toDouble(), null);
    eq(new QByteArray("2.5").toDouble(), 2.5);
    eq(new QByteArray("0.25").toFloat(), 0.25);
    eq(new QByteArray("65535").toUShort(), 65535);
    eq(new QByteArray("65536").toUShort(), null);
    eq(new QByteArray("7f").toUShort(16), 127);
});

test("numbers", function() {
    eq(str(QByteArray.number(2.5)), "2.5");
    eq(str(QByteArray.number(2.5, 102, 2)), "2.50");
    eq(str(QByteArray.fromInt(255, 16)), "ff");
    eq(str(QByteArray.fromInt(-12)), "-12");
    eq(str(QByteArray.fromInt(5, 0)), "5");
    eq(str(QByteArray.fromLongLong(-8589934592)), "-8589934592");
    eq(str(QByteArray.fromULongLong(8589934592, 16)), "200000000");
    throws(function() { QByteArray.number(1, 2, 3, 4); },
           mismatch("number", ["double arg__1, char f, int prec"]));
});

test("base64 (RFC 4648 vectors), hex and percent encoding", function() {
    var vectors = [["", ""], ["f", "Zg=="], ["fo", "Zm8="], ["foo", "Zm9v"], ["foob", "Zm9vYg=="],
                   ["fooba", "Zm9vYmE="], ["foobar", "Zm9vYmFy"]];
    vectors.forEach(function(v) {
        eq(str(new QByteArray(v[0]).toBase64()), v[1]);
        eq(str(QByteArray.fromBase64(new QByteArray(v[1]))), v[0]);
    });
    eq(str(new QByteArray("foobar").toHex()), "666f6f626172");
    eq(str(QByteArray.fromHex(new QByteArray("666F6F626172"))), "foobar");
    eq(str(hex("00ff10").toHex()), "00ff10");
    eq(str(new QByteArray("a b/c").toPercentEncoding()), "a%20b%2Fc");
    eq(str(new QByteArray("a b/c").toPercentEncoding(new QByteArray("/"))), "a%20b/c");
    eq(str(new QByteArray("a-b").toPercentEncoding(new QByteArray(), new QByteArray("-"), 35)),
       "a#2Db");
    eq(str(QByteArray.fromPercentEncoding(new QByteArray("a%20b"))), "a b");
    eq(str(QByteArray.fromPercentEncoding(new QByteArray("a#20b"), 35)), "a b");
});

test("equals and operator_less compare all bytes of a byte array", function() {
    ok(!hex("00ff").equals(hex("0001")), "digests sharing a first zero byte");
    ok(!hex("ff").equals(hex("fe")));
    ok(hex("0001").equals(hex("0001")));
    ok(hex("fe").operator_less(hex("ff")));
    ok(!hex("ff").operator_less(hex("fe")));
    ok(hex("0001").operator_less(hex("0002")));
    ok(hex("00").operator_less(hex("0000")));
    // Against a String: the text up to the first zero byte, as Latin-1.
    ok(hex("616200ff").equals("ab"));
    ok(new QByteArray("h\u00e9").equals("h\u00e9"));
    ok(new QByteArray("abc").operator_less("abd"));
    ok(!new QByteArray("abd").operator_less("abc"));
    // This array's text for operator_less is all of its bytes.
    ok(!hex("61007a").operator_less("a\0b"), "bytes after a zero byte order it");
    ok(hex("610062").operator_less("a\0c"));
    throws(function() { hex("00").equals(1); },
           mismatch("equals", ["QByteArray a2", "String s2"]));
});

test("the codec for C strings converts Strings and text comparisons", function() {
    if (typeof QTextCodec != "function") return;
    var utf8 = QTextCodec.codecForMib(106);
    QTextCodec.setCodecForCStrings(utf8);
    try {
        eq(str(new QByteArray("\u00e9")), "\u00c3\u00a9");
        eq(str(new QByteArray("x").append("\u00e9")), "x\u00c3\u00a9");
        ok(hex("c3a9").equals("\u00e9"));
        eq(new QByteArray("a\u00e9").indexOf("\u00e9"), 1);
    } finally {
        QTextCodec.setCodecForCStrings(null);
    }
    ok(!hex("c3a9").equals("\u00e9"));
    eq(str(new QByteArray("x").append("\u00e9\u20ac\ud83d\ude00")), "x\u00e9???", "Latin-1, '?' for the rest");
    var grown = new QByteArray();
    for (var i = 0; i < 100; ++i)
        grown.append(i % 2 ? "" : "ab");
    eq(grown.size(), 100);
    eq(str(grown).slice(-3), "bab");
});

test("this must be a byte array", function() {
    throws(function() { QByteArray.prototype.size(); },
           "QByteArray.size(): this object is not a QByteArray", "TypeError");
    throws(function() { QByteArray.prototype.toString.call(new QObject()); },
           "QByteArray.toString(): this object is not a QByteArray", "TypeError");
    throws(function() { new QByteArray("a").append.call({}, "b"); },
           "QByteArray.append(): this object is not a QByteArray", "TypeError");
});

test("streams: anything but a stream is a mismatch", function() {
    var a = new QByteArray("abc");
    throws(function() { a.writeTo(null); }, mismatch("writeTo", ["QDataStream arg__1"]));
    throws(function() { a.readFrom(new QObject()); }, mismatch("readFrom", ["QDataStream arg__1"]));
    eq(str(a), "abc");
});

test("byte arrays other bindings return carry the methods", function() {
    var o = new QObject();
    o.setProperty("alpha", 1);
    o.setProperty("beta", 2);
    var names = o.dynamicPropertyNames();
    eq(names.length, 2);
    eq(names[0].size(), 5);
    eq(str(names[1].toHex()), "62657461");
    ok(names[0].equals(new QByteArray("alpha")));
    eq(Object.getPrototypeOf(names[0]), QByteArray.prototype);
});

finish();
