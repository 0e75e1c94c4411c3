// QTextDecoder and QTextEncoder: conversions in pieces that keep their state between calls.

var utf8 = QTextCodec.codecForMib(106);
var latin1 = QTextCodec.codecForMib(4);

// Bytes written as a string of char codes 0-255, and read back the same way.
function raw(s) { return latin1.fromUnicode(s); }
function bytes(ba) { return latin1.toUnicode(ba); }

test("a character cut across two calls decodes whole", function() {
    var d = new QTextDecoder(utf8);
    eq(d.toUnicode(raw("\u00c3")), "");
    eq(d.toUnicode(raw("\u00a9")), "\u00e9");
    var m = utf8.makeDecoder();
    eq(m.toUnicode(raw("\u00f0\u009f")) + m.toUnicode(raw("\u0098\u0080")), "\ud83d\ude00");
    eq(d.hasFailure(), false);
    eq(m.hasFailure(), false);
});

test("a decoder reports invalid input", function() {
    var d = new QTextDecoder(utf8);
    d.toUnicode(raw("a\u00ffb"));
    eq(d.hasFailure(), true);
});

test("a decoder reads a String's text as a C string", function() {
    eq(new QTextDecoder(latin1).toUnicode("\u00e9t\u00e9"), "\u00e9t\u00e9");
    eq(new QTextDecoder(utf8).toUnicode("\u00c3\u00a9"), "\u00e9");
});

test("encoders", function() {
    var e = new QTextEncoder(latin1);
    ok(e.fromUnicode("") instanceof QByteArray);
    eq(bytes(e.fromUnicode("")), "", "no byte-order mark from Latin-1");
    eq(bytes(e.fromUnicode("\u00e9")), "\u00e9");
    // UTF-8 writes a byte-order mark on its first call only.
    var u = utf8.makeEncoder();
    eq(bytes(u.fromUnicode("a")), "\u00ef\u00bb\u00bfa");
    eq(bytes(u.fromUnicode("\u00e9")), "\u00c3\u00a9");
    // A surrogate pair cut across two calls encodes whole.
    eq(bytes(u.fromUnicode("\ud83d")) + bytes(u.fromUnicode("\ude00")), "\u00f0\u009f\u0098\u0080");
});

test("UTF-32 results hold only the bytes written, from codecs and encoders alike", function() {
    function hex(ba) { return bytes(ba.toHex()); }
    var le = QTextCodec.codecForName(raw("UTF-32LE")), two = "\ud83d\ude00\ud83d\ude00";
    for (var i = 0; i < 3; ++i)
        eq(hex(le.fromUnicode(two)), "fffe0000" + "00f60100" + "00f60100", "a mark and two characters");
    eq(hex(le.fromUnicode("a\ud83d")), "fffe0000" + "61000000" + "fdff0000", "a lone half is replaced");
    eq(hex(le.fromUnicode("")), "fffe0000");
    var e = le.makeEncoder(), be = new QTextEncoder(QTextCodec.codecForMib(1018));
    eq(hex(e.fromUnicode(two)), "fffe0000" + "00f60100" + "00f60100", "a mark on the first call only");
    eq(hex(e.fromUnicode("a\ud83d\ude00")), "61000000" + "00f60100");
    eq(hex(be.fromUnicode("\ud83d\ude00")), "0000feff" + "0001f600");
    eq(hex(new QTextEncoder(utf8).fromUnicode("\ud83d\ude00")), "efbbbf" + "f09f9880");
});

test("a converter needs a codec", function() {
    var only = "could not find a function match; candidates are:\n";
    throws(function() { new QTextDecoder(); }, "QTextDecoder::QTextDecoder(): " + only + "QTextDecoder(QTextCodec codec)");
    throws(function() { new QTextDecoder(utf8, utf8); }, "QTextDecoder::QTextDecoder(): " + only + "QTextDecoder(QTextCodec codec)");
    [null, undefined, "UTF-8", 106, QTextCodec.prototype, new QTextEncoder(utf8)].forEach(function(v) {
        throws(function() { new QTextDecoder(v); }, "QTextDecoder::QTextDecoder(): " + only + "QTextDecoder(QTextCodec codec)");
        throws(function() { new QTextEncoder(v); }, "QTextEncoder::QTextEncoder(): " + only + "QTextEncoder(QTextCodec codec)");
    });
    throws(function() { QTextDecoder(utf8); }, "QTextDecoder(): Did you forget to construct with 'new'?");
    throws(function() { QTextEncoder(utf8); }, "QTextEncoder(): Did you forget to construct with 'new'?");
});

test("wrong this, argument counts, toString", function() {
    var d = new QTextDecoder(utf8), e = new QTextEncoder(utf8);
    throws(function() { d.toUnicode.call(e, raw("x")); },
           "QTextDecoder.toUnicode(): this object is not a QTextDecoder", "TypeError");
    throws(function() { e.fromUnicode.call(d, "x"); },
           "QTextEncoder.fromUnicode(): this object is not a QTextEncoder", "TypeError");
    throws(function() { QTextDecoder.prototype.hasFailure(); },
           "QTextDecoder.hasFailure(): this object is not a QTextDecoder", "TypeError");
    throws(function() { d.toUnicode(); },
           "QTextDecoder::toUnicode(): could not find a function match; candidates are:\ntoUnicode(QByteArray ba)");
    throws(function() { e.fromUnicode("a", "b"); },
           "QTextEncoder::fromUnicode(): could not find a function match; candidates are:\nfromUnicode(String str)");
    eq(d.toString(7), "QTextDecoder");
    eq(e.toString(), "QTextEncoder");
});

finish();
