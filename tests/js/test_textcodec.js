// QTextCodec: finding codecs, converting, the conversion flags, and the codec settings the
// plugin keeps for itself.

var utf8 = QTextCodec.codecForMib(106);
var latin1 = QTextCodec.codecForMib(4);

// The bytes of a byte array as a string of char codes 0-255.
function bytes(ba) { return latin1.toUnicode(ba); }
function hex(ba) {
    var s = bytes(ba), out = [];
    for (var i = 0; i < s.length; ++i) out.push((s.charCodeAt(i) + 0x100).toString(16).substr(1));
    return out.join("");
}

test("codecs cannot be constructed", function() {
    throws(function() { QTextCodec(); }, "QTextCodec cannot be constructed", "TypeError");
    throws(function() { new QTextCodec("UTF-8"); }, "QTextCodec cannot be constructed", "TypeError");
});

test("finding codecs", function() {
    eq(utf8.mibEnum(), 106);
    eq(QTextCodec.codecForMib(-12345), null);
    var names = QTextCodec.availableCodecs();
    ok(names.length > 10 && names[0] instanceof QByteArray, "names are byte arrays");
    ok(QTextCodec.availableMibs().indexOf(106) >= 0);
    var byName = QTextCodec.codecForName(utf8.name());
    eq(byName.mibEnum(), 106);
    ok(byName.name() instanceof QByteArray);
    eq(bytes(byName.name()), "UTF-8");
    eq(QTextCodec.codecForName(latin1.fromUnicode("no-such-codec")), null);
    ok(QTextCodec.codecForLocale() != null);
    throws(function() { QTextCodec.codecForName("UTF-8"); },
           "QTextCodec::codecForName(): could not find a function match; candidates are:\n" +
           "codecForName(QByteArray name)\ncodecForName(char name)");
    throws(function() { QTextCodec.availableCodecs(1); },
           "QTextCodec::availableCodecs(): could not find a function match; candidates are:\n" +
           "availableCodecs()");
});

test("codecForName takes a C-string handle while it lives", function() {
    var tr = new QTranslator(), found, kept;
    tr.translate = function(c, s, d) { found.push(QTextCodec.codecForName(c)); kept = c; return "t"; };
    found = [];
    // An encoder through a stand-in codec of the plugin's own, nameless to QtCore.
    QTextCodec.codecForMib(1019).makeEncoder();
    QCoreApplication.installTranslator(tr);
    eq(QCoreApplication.translate("UTF-8", "x"), "t");
    // No name without letters or digits finds the codecs the plugin makes for itself.
    eq(QCoreApplication.translate("-", "x"), "t");
    QCoreApplication.removeTranslator(tr);
    eq(found[0].mibEnum(), 106);
    eq(found[1], null);
    throws(function() { QTextCodec.codecForName(kept); },
           "QTextCodec::codecForName(): could not find a function match; candidates are:\n" +
           "codecForName(QByteArray name)\ncodecForName(char name)", "Error");
});

test("codecForHtml reads a String's text and takes a null default", function() {
    eq(QTextCodec.codecForHtml("<html><meta charset=\"utf-8\"></html>").mibEnum(), 106);
    eq(QTextCodec.codecForHtml("<p>plain</p>").mibEnum(), 4, "Latin-1 without a declaration");
    eq(QTextCodec.codecForHtml("<p>plain</p>", utf8).mibEnum(), 106);
    eq(QTextCodec.codecForHtml("<p>plain</p>", null), null);
    eq(QTextCodec.codecForHtml("<p>plain</p>", "not a codec"), null);
});

test("converting text", function() {
    eq(hex(latin1.fromUnicode("\u00e9a")), "e961");
    eq(hex(utf8.fromUnicode("\u00e9\u20ac")), "c3a9e282ac");
    eq(utf8.toUnicode(utf8.fromUnicode("\u00e9\u20ac\ud83d\ude00")), "\u00e9\u20ac\ud83d\ude00");
    eq(latin1.toUnicode(latin1.fromUnicode("abc")), "abc");
    eq(bytes(latin1.fromUnicode("")), "", "no byte-order mark from a codec");
    // A String where bytes are expected is not lost: it converts as a C string (Latin-1).
    eq(latin1.toUnicode("\u00e9x"), "\u00e9x");
    eq(utf8.toUnicode("\u00c3\u00a9"), "\u00e9");
});

test("canEncode", function() {
    eq(latin1.canEncode("abc\u00ff"), true);
    eq(latin1.canEncode("\u20ac"), false);
    eq(utf8.canEncode("\u20ac"), true);
    throws(function() { latin1.canEncode(65); },
           "QTextCodec::canEncode(): could not find a function match; candidates are:\n" +
           "canEncode(char arg__1)\ncanEncode(String arg__1)");
});

test("wrong this, toString", function() {
    throws(function() { QTextCodec.prototype.name(); },
           "QTextCodec.name(): this object is not a QTextCodec", "TypeError");
    throws(function() { QTextCodec.prototype.toString(); },
           "QTextCodec.toString(): this object is not a QTextCodec", "TypeError");
    throws(function() { utf8.toUnicode.call(utf8.makeDecoder(), "x"); },
           "QTextCodec.toUnicode(): this object is not a QTextCodec", "TypeError");
    eq(utf8.toString(), "QTextCodec");
    eq(utf8.toString(1, 2), "QTextCodec");
    eq(utf8.makeDecoder().toString(), "QTextDecoder");
    eq(utf8.makeEncoder().toString(), "QTextEncoder");
    ok(utf8.aliases() instanceof Array);
});

test("ConversionFlag and ConversionFlags", function() {
    eq(QTextCodec.ConvertInvalidToNull.valueOf(), -2147483648);
    ok(QTextCodec.ConversionFlag(1) === QTextCodec.IgnoreHeader);
    ok(new QTextCodec.ConversionFlag(1) === QTextCodec.IgnoreHeader);
    throws(function() { QTextCodec.ConversionFlag(2); }, "ConversionFlag(): invalid enum value (2)");
    eq(QTextCodec.ConversionFlags(0).toString(), "DefaultConversion");
    eq(QTextCodec.ConversionFlags(1).toString(), "DefaultConversion,IgnoreHeader");
    eq(QTextCodec.ConversionFlags(0x80000001).toString(),
       "ConvertInvalidToNull,DefaultConversion,IgnoreHeader");
    eq(QTextCodec.ConversionFlags(QTextCodec.ConvertInvalidToNull, QTextCodec.IgnoreHeader).valueOf(),
       -2147483647);
    throws(function() { QTextCodec.ConversionFlags(QTextCodec.IgnoreHeader, 1); },
           "ConversionFlags(): argument 1 is not of type ConversionFlag", "TypeError");
});

test("the codec for C strings is the plugin's own and drives its conversions", function() {
    eq(QTextCodec.codecForCStrings(), null);
    eq(latin1.toUnicode("\u00e9"), "\u00e9", "Latin-1 while unset");
    QTextCodec.setCodecForCStrings(utf8);
    try {
        eq(QTextCodec.codecForCStrings().mibEnum(), 106);
        eq(latin1.toUnicode("\u00e9"), "\u00c3\u00a9", "a String now converts as UTF-8");
        eq(new QByteArray("\u00e9").size(), 2);
    } finally {
        QTextCodec.setCodecForCStrings(null);
    }
    eq(QTextCodec.codecForCStrings(), null);
    eq(new QByteArray("\u00e9").size(), 1);
});

test("the codecs the bindings encode through stay out of sight", function() {
    var utf32 = QTextCodec.codecForMib(1019), e = utf32.makeEncoder();
    var ba = new QByteArray(), w = new QXmlStreamWriter(ba);
    w.setCodec(latin1);
    eq(w.codec().mibEnum(), 4);
    eq(QTextCodec.availableCodecs().filter(function(n) { return n.size() == 0; }).length, 0);
    eq(QTextCodec.codecForMib(-1), null);
    // QtCore matches names by their letters and digits: one with neither is a stand-in's.
    ["-", "\n", " ", "_", "--"].forEach(function(name) {
        eq(QTextCodec.codecForName(new QByteArray(name)), null, JSON.stringify(name));
    });
    var html = new QByteArray('<meta charset="-">');
    eq(QTextCodec.codecForHtml(html).mibEnum(), 4, "QtCore's default");
    eq(QTextCodec.codecForHtml(html, utf8).mibEnum(), 106);
    var s = new QTextStream(new QByteArray());
    s.setCodec(utf8);
    s.setCodec("-");
    eq(s.codec().mibEnum(), 106, "an unknown name changes nothing");
    w.setCodec(utf8);
    w.setCodec("_");
    eq(w.codec().mibEnum(), 106);
    QTextCodec.setCodecForCStrings(utf32);
    try {
        eq(hex(new QByteArray("\ud83d\ude00")), "fffe0000" + "00f60100", "C strings through UTF-32");
    } finally {
        QTextCodec.setCodecForCStrings(null);
    }
});

test("codecs for translations and the locale", function() {
    eq(QTextCodec.codecForTr(), null);
    QTextCodec.setCodecForTr(latin1);
    eq(QTextCodec.codecForTr().mibEnum(), 4);
    QTextCodec.setCodecForTr("not a codec");
    eq(QTextCodec.codecForTr(), null);
    // A script's text reaches QtCore in the codec for tr, which reads it back.
    QTextCodec.setCodecForTr(utf8);
    try {
        eq(QCoreApplication.translate("c", "caf\u00e9"), "caf\u00e9");
        eq(QCoreApplication.translate("c", "\u20ac 5"), "\u20ac 5");
        eq(QCoreApplication.translate("c", "%n \u20ac", "", QCoreApplication.CodecForTr, 2), "2 \u20ac");
        QTextCodec.setCodecForTr(QTextCodec.codecForName(new QByteArray("KOI8-R")));
        eq(QCoreApplication.translate("c", "\u0447\u0430\u0439"), "\u0447\u0430\u0439");
    } finally {
        QTextCodec.setCodecForTr(null);
    }

    var system = QTextCodec.codecForLocale().mibEnum();
    QTextCodec.setCodecForLocale(latin1);
    eq(QTextCodec.codecForLocale().mibEnum(), 4);
    QTextCodec.setCodecForLocale(null);
    eq(QTextCodec.codecForLocale().mibEnum(), system, "null restores the system's codec");
});

finish();
