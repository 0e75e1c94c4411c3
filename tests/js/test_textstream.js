// QTextStream: formatted round trips, copies of byte arrays, codecs, the number-flag classes and
// a stream whose device goes away.

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function hexOf(ba) { return str(ba.toHex()); }
// A text stream writing into `bytes` through a buffer.
function onBytes(bytes) {
    var dev = new QBuffer(bytes);
    dev.open(QIODevice.WriteOnly);
    return new QTextStream(dev);
}
function mismatch(name, lines) {
    return "QTextStream::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("a round trip with field width, padding, alignment and number bases", function() {
    var b = new QByteArray();
    var s = onBytes(b);
    s.setFieldWidth(8);
    s.setPadChar("*");
    s.writeInt(42);
    s.setFieldAlignment(QTextStream.AlignLeft);
    s.writeString("ab");
    s.setFieldAlignment(QTextStream.AlignCenter);
    s.writeShort(-7);
    s.setFieldAlignment(QTextStream.AlignAccountingStyle);
    s.writeInt(-5);
    s.setFieldWidth(0);
    s.writeString(" ");
    s.setIntegerBase(16);
    s.setNumberFlags(QTextStream.NumberFlags(QTextStream.ShowBase, QTextStream.UppercaseDigits));
    s.writeInt(255).writeString(" ");
    s.setNumberFlags(QTextStream.NumberFlags(QTextStream.ShowBase, QTextStream.UppercaseBase));
    s.writeLongLong(4096).writeString(" ");
    s.setIntegerBase(8);
    s.setNumberFlags(QTextStream.ShowBase);
    s.writeInt(8).writeString(" ");
    s.setIntegerBase(2);
    s.writeInt(5).writeString(" ");
    s.setIntegerBase(10);
    s.setNumberFlags(QTextStream.ForceSign);
    s.writeInt(3).writeString(" ");
    s.setNumberFlags(QTextStream.NumberFlags());
    s.setRealNumberNotation(QTextStream.FixedNotation);
    s.setRealNumberPrecision(2);
    s.writeDouble(3.14159).writeString(" ");
    s.setRealNumberNotation(QTextStream.ScientificNotation);
    s.writeFloat(1500).writeString(" ");
    s.writeBoolean(true).writeBoolean(false);
    eq(b.size(), 0, "text waits in the stream until flush");
    s.flush();
    var text = "******42ab*********-7***-******5 0xFF 0X1000 010 0b101 +3 3.14 1.50e+03 10";
    eq(str(b), text);

    var r = new QTextStream(b);
    eq(r.read(32), text.substring(0, 32));
    eq(r.readInt(), 255, "integer base 0 reads the prefixes back");
    eq(r.readLongLong(), 4096);
    eq(r.readInt(), 8);
    eq(r.readUInt(), 5);
    eq(r.readInt(), 3);
    eq(r.readDouble(), 3.14);
    eq(r.readFloat(), 1500);
    eq(r.readInt(), 10);
    eq(r.atEnd(), true);
    eq(r.status(), QTextStream.Ok);
    var n = new QTextStream(new QByteArray("65535 -32768 x"));
    eq(n.readUShort(), 65535);
    eq(n.readShort(), -32768);
    eq(n.readULongLong(), 0);
    eq(n.status(), QTextStream.ReadCorruptData);
});

test("settings read back", function() {
    var s = new QTextStream();
    eq(s.fieldWidth(), 0);
    eq(s.padChar(), 32);
    s.setPadChar(0x2d);
    eq(s.padChar(), 0x2d);
    eq(s.integerBase(), 0);
    eq(s.fieldAlignment(), QTextStream.AlignRight);
    eq(s.realNumberNotation(), QTextStream.SmartNotation);
    eq(s.realNumberPrecision(), 6);
    s.setNumberFlags(QTextStream.NumberFlags(QTextStream.ShowBase, QTextStream.ForceSign));
    eq(s.numberFlags().toString(), "ShowBase,ForceSign");
    s.setNumberFlags(1);
    eq(s.numberFlags().valueOf(), 0, "a plain number passes no flags");
    s.setFieldAlignment(1);
    eq(s.fieldAlignment(), QTextStream.AlignLeft, "a plain number passes 0");
    s.reset();
    eq(s.padChar(), 32);
    throws(function() { s.setIntegerBase(1); },
           "QTextStream::setIntegerBase(): base must be 0, 2, 8, 10 or 16", "RangeError");
    throws(function() { s.setRealNumberPrecision(2147483647); },
           "QTextStream::setRealNumberPrecision(): precision out of range", "RangeError");
    eq(s.integerBase(), 0);
    eq(s.device(), null);
    eq(s.pos(), -1);
    eq(s.atEnd(), true);
});

test("field widths and precisions go up to a million characters", function() {
    var b = new QBuffer(), s = new QTextStream(b), most = 1 << 20;
    b.open(QIODevice.WriteOnly);
    s.setFieldWidth(most);
    s.writeString("x");
    s.setFieldWidth(0);
    s.setRealNumberNotation(QTextStream.FixedNotation);
    s.setRealNumberPrecision(most);
    s.writeDouble(0.5);
    s.flush();
    eq(b.size(), most + 2 + most, "the padded field, then 0. and the digits");
    throws(function() { s.setFieldWidth(most + 1); },
           "QTextStream::setFieldWidth(): width out of range", "RangeError");
    throws(function() { s.setRealNumberPrecision(most + 1); },
           "QTextStream::setRealNumberPrecision(): precision out of range", "RangeError");
    eq(s.fieldWidth(), 0);
    eq(s.realNumberPrecision(), most, "a refused value changes nothing");
});

test("byte-array constructors work on a copy", function() {
    var b = new QByteArray("abc");
    var s = new QTextStream(b, QIODevice.WriteOnly);
    s.writeString("xyz");
    s.flush();
    eq(str(b), "abc", "the script's array is unchanged");
    var r = new QTextStream(b);
    b.append(new QByteArray("def"));
    eq(r.readAll(), "abc");
    eq(r.atEnd(), true);
    var lines = new QTextStream(new QByteArray("one\ntwo three\nfour"));
    eq(lines.readLine(), "one");
    eq(lines.read(3), "two");
    eq(lines.readLine(0), " three");
    eq(lines.pos(), 14);
    eq(lines.seek(4), true);
    eq(lines.readLine(2), "tw");
    lines.skipWhiteSpace();
    eq(lines.readByte(), "o".charCodeAt(0));
    var both = new QTextStream(new QByteArray("old"), QIODevice.ReadWrite);
    both.writeString("xyz");
    both.flush();
    eq(both.seek(0), true);
    eq(both.readAll(), "xyz", "a copy open for reading and writing");
    eq(both.status(), QTextStream.Ok);
    var latin = new QTextStream(new QByteArray("\xe9"));
    latin.setCodec("ISO-8859-1");
    eq(latin.readByte(), -23, "a char reads signed");
});

test("writeByteArray and writeByte write bytes as Latin-1 text", function() {
    var b = new QByteArray();
    var s = onBytes(b);
    s.setCodec("UTF-8");
    eq(str(s.codec().name()), "UTF-8");
    s.writeByteArray(QByteArray.fromHex(new QByteArray("41e9ff")));
    s.writeByte(0xb5);
    s.flush();
    eq(hexOf(b), "41c3a9c3bfc2b5", "each byte is one character, encoded as UTF-8");
    var c = new QByteArray();
    var t = onBytes(c);
    t.setCodec(QTextCodec.codecForName(new QByteArray("ISO-8859-1")));
    eq(t.codec().mibEnum(), 4);
    t.writeString("\u00e9");
    t.flush();
    eq(hexOf(c), "e9");
    throws(function() { t.setCodec(5); },
           mismatch("setCodec", ["QTextCodec codec", "char codecName"]));
    var d = new QByteArray(), u = onBytes(d);
    u.setCodec("UTF-32BE");
    eq(u.codec().mibEnum(), 1018, "the script's codec");
    u.writeString("\ud83d\ude00\ud83d\ude00a");
    u.flush();
    eq(hexOf(d), "0001f600" + "0001f600" + "00000061", "four bytes per character");
    var e = QByteArray.fromHex(new QByteArray("fffe000061000000")), buf = new QBuffer(e);
    buf.open(QIODevice.ReadWrite);
    var v = new QTextStream(buf);
    eq(v.readAll(), "a");
    eq(v.codec().mibEnum(), 1019, "the byte-order mark chose the codec");
    v.writeString("\ud83d\ude00");
    v.flush();
    eq(hexOf(e), "fffe0000" + "61000000" + "00f60100");
});

test("zero bytes are written as characters, with and without codecs", function() {
    var codecs = { "": ["00", "610062", "", "41"],
                   "ISO-8859-1": ["00", "610062", "", "41"],
                   "UTF-16BE": ["0000", "006100000062", "", "0041"],
                   "UTF-16LE": ["0000", "610000006200", "", "4100"] };
    for (var name in codecs) {
        var b = new QByteArray(), s = onBytes(b);
        if (name) s.setCodec(name);
        s.writeByte(0).writeByteArray(new QByteArray("a\0b")).writeByteArray(new QByteArray())
            .writeByte(0x41);
        s.flush();
        eq(hexOf(b), codecs[name].join(""), name || "no codec");
    }
    var nul = new QByteArray(), n = onBytes(nul);
    n.writeByteArray(new QByteArray(1, 0)).flush();
    eq(hexOf(nul), "00", "an array of one zero byte");
});

test("a failed write reports Ok; resetStatus lets writes through again", function() {
    var b = new QByteArray();
    var dev = new QBuffer(b);
    dev.open(QIODevice.ReadOnly);
    var s = new QTextStream(dev);
    s.writeString("lost");
    s.flush();
    eq(s.status(), QTextStream.Ok);
    s.setStatus(QTextStream.ReadPastEnd);
    eq(s.status(), QTextStream.ReadPastEnd, "a status set after a failed write is taken");
    s.resetStatus();
    dev.close();
    dev.open(QIODevice.WriteOnly);
    s.writeString("kept");
    s.flush();
    eq(str(b), "kept");
});

test("enumerations and flags", function() {
    eq(QTextStream.NumberFlags(QTextStream.ShowBase, QTextStream.ForceSign).toString(),
       "ShowBase,ForceSign");
    eq(QTextStream.NumberFlags(5).equals(QTextStream.NumberFlags(QTextStream.ShowBase, QTextStream.ForceSign)), true);
    eq(QTextStream.NumberFlags().toString(), "");
    throws(function() { QTextStream.NumberFlags(1, 2); },
           "NumberFlags(): argument 0 is not of type NumberFlag", "TypeError");
    throws(function() { QTextStream.NumberFlag(3); }, "NumberFlag(): invalid enum value (3)");
    throws(function() { QTextStream.FieldAlignment(-1); }, "FieldAlignment(): invalid enum value (-1)");
    throws(function() { QTextStream.RealNumberNotation(3); }, "RealNumberNotation(): invalid enum value (3)");
    throws(function() { QTextStream.Status(3); }, "Status(): invalid enum value (3)");
    eq(QTextStream.UppercaseDigits.valueOf(), 16);
    eq(QTextStream.AlignAccountingStyle.toString(), "AlignAccountingStyle");
});

test("overloads, this and toString", function() {
    throws(function() { new QTextStream("abc"); },
           mismatch("QTextStream", ["", "QIODevice device", "QByteArray array, OpenMode openMode"]));
    var s = new QTextStream(new QByteArray("x"));
    throws(function() { s.readLine(1, 2); }, mismatch("readLine", ["qint64 maxlen"]));
    throws(function() { s.read(); }, mismatch("read", ["qint64 maxlen"]));
    throws(function() { QTextStream.prototype.readAll(); },
           "QTextStream.readAll(): this object is not a QTextStream", "TypeError");
    eq(s.toString(1, 2, 3), "QTextStream");
    eq(QTextStream.length, 2);
    eq(s.readLine.length, 1);
});

test("a device deleted by other means leaves the stream without one", function() {
    var parent = new QObject();
    var b = new QByteArray();
    var dev = new QBuffer(b, parent);
    dev.open(QIODevice.WriteOnly);
    var s = new QTextStream(dev);
    s.writeString("pending");
    parent.deleteLater();
    ok(waitFor(function() { return s.device() === null; }), "the device went");
    s.writeString("more");
    s.flush();
    eq(s.status(), QTextStream.Ok);
    s.setDevice(new QBuffer());
    eq(s.device() !== null, true);
    var t = new QTextStream(new QByteArray("abc"));
    t.device().deleteLater();
    ok(waitFor(function() { return t.device() === null; }), "its own buffer went");
    eq(t.readAll(), "");
});

test("read beyond int's range reads what there is, and the stream stays sound", function() {
    var s = new QTextStream(new QByteArray("one two"));
    eq(s.read(2147483648), "one two");
    s.skipWhiteSpace();
    eq(s.atEnd(), true);
    eq(s.readAll(), "");
});

finish();
