// QDataStream: byte layouts at Qt 4.4's format, streams on byte arrays (in place and copies) and
// on devices, the status and version rules, and the readFrom/writeTo of the classes it serves.

function hexOf(ba) {
    var h = ba.toHex(), s = "";
    for (var i = 0; i < h.size(); ++i) s += String.fromCharCode(h.at(i));
    return s;
}
function bytes(hex) { return QByteArray.fromHex(new QByteArray(hex)); }
function writer() {
    var b = new QByteArray();
    return { bytes: b, stream: new QDataStream(b, QIODevice.WriteOnly) };
}
// Whether the object behind a wrapper was deleted.
function gone(o) {
    try { o.objectName; return false; } catch (e) { return true; }
}
function mismatch(name, lines) {
    return "QDataStream::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("a script's stream starts at Qt 4.4's format", function() {
    eq(new QDataStream().version(), 10);
    eq(new QDataStream(new QByteArray()).version(), QDataStream.Qt_4_4.valueOf());
    var w = writer();
    eq(w.stream.version(), 10);
    w.stream.writeFloat(1.5);
    eq(hexOf(w.bytes), "3fc00000", "a float is 4 bytes at Qt_4_4");
    w.stream.setVersion(12);
    eq(w.stream.version(), 12);
    eq(typeof w.stream.version(), "number");
    w.stream.writeFloat(1.5);
    eq(hexOf(w.bytes), "3fc000003ff8000000000000", "Qt 4.6 and later write 8 bytes");
});

test("byte layouts of every fixed-width type at Qt_4_4", function() {
    var cases = [
        ["writeBoolean", true, "01"], ["writeBoolean", false, "00"],
        ["writeByte", 0x7f, "7f"], ["writeByte", -1, "ff"], ["writeByte", 256 + 5, "05"],
        ["writeShort", 0x1234, "1234"], ["writeShort", -2, "fffe"], ["writeShort", 65535, "ffff"],
        ["writeInt", 0x01020304, "01020304"], ["writeInt", -1, "ffffffff"],
        ["writeInt", 4294967297, "00000001"],
        ["writeLongLong", 0x0102030405, "0000000102030405"],
        ["writeLongLong", -3, "fffffffffffffffd"],
        ["writeFloat", -2.5, "c0200000"], ["writeFloat", 1e40, "7f800000"],
        ["writeDouble", 1, "3ff0000000000000"], ["writeDouble", -0.1, "bfb999999999999a"],
    ];
    cases.forEach(function(c) {
        var w = writer();
        eq(w.stream[c[0]](c[1]), w.stream, c[0] + " returns the stream");
        eq(hexOf(w.bytes), c[2], c[0] + "(" + c[1] + ")");
    });
});

test("reads take the same layouts, widening unsigned values", function() {
    var s = new QDataStream(bytes("01" + "ff" + "ffff" + "ffff" + "fffffffe" + "fffffffe" +
                                  "fffffffffffffffd" + "0000000000000400" + "c0200000" +
                                  "bfb999999999999a"));
    eq(s.readBoolean(), true);
    eq(s.readByte(), 255, "a byte reads as 0 to 255");
    eq(s.readShort(), -1);
    eq(s.readUShort(), 65535);
    eq(s.readInt(), -2);
    eq(s.readUInt(), 4294967294);
    eq(s.readLongLong(), -3);
    eq(s.readULongLong(), 1024);
    eq(s.readFloat(), -2.5);
    eq(s.readDouble(), -0.1);
    eq(s.atEnd(), true);
    eq(s.status(), QDataStream.Ok);
    eq(s.readInt(), 0);
    eq(s.status(), QDataStream.ReadPastEnd);
    s.resetStatus();
    eq(s.status(), QDataStream.Ok);
    eq(s.skipRawData(3), 0, "nothing left to skip");
    eq(new QDataStream().skipRawData(3), -1, "no device");
});

test("two arguments work on the script's byte array in place", function() {
    var b = new QByteArray("xy");
    var s = new QDataStream(b, QIODevice.ReadWrite);
    eq(s.readByte(), 0x78);
    s.writeShort(0x4142);
    eq(hexOf(b), "784142", "what the stream writes, the array shows at once");
    b.append(new QByteArray("C"));
    eq(s.readByte(), 0x43, "what the script appends, the stream reads");
    var kept = new QByteArray("abcd");
    new QDataStream(kept, QIODevice.WriteOnly).writeByte(0x7a);
    eq(hexOf(kept), "7a626364", "WriteOnly overwrites from the start");
    // Not a byte array: the stream writes into an array of its own.
    var t = new QDataStream("text", QIODevice.WriteOnly);
    t.writeInt(1);
    eq(t.status(), QDataStream.Ok);
});

test("the stream keeps its byte array alive", function() {
    var s = (function() { return new QDataStream(new QByteArray("abcdefgh"), QIODevice.ReadWrite); })();
    for (var i = 0; i < 20; ++i) { new QByteArray(4096, 0x20); gc(); }
    eq(s.readInt(), 0x61626364);
    s.writeInt(7);
    eq(s.status(), QDataStream.Ok);
});

test("one byte array argument reads a copy", function() {
    var b = new QByteArray("abcd");
    var s = new QDataStream(b);
    b.replace(0, 4, new QByteArray("wxyz"));
    eq(s.readInt(), 0x61626364, "later changes are not seen");
    var r = new QDataStream(new QByteArray("ab"));
    r.writeInt(5);
    eq(r.status(), QDataStream.Ok, "a failed write reports Ok, as Qt 4.4 did");
    r.setStatus(QDataStream.ReadCorruptData);
    eq(r.status(), QDataStream.ReadCorruptData, "a status set after a failed write is taken");
});

test("resetStatus lets writes through again after a failed one", function() {
    var b = new QByteArray();
    var dev = new QBuffer(b);
    dev.open(QIODevice.ReadOnly);
    var s = new QDataStream(dev);
    s.writeInt(1);
    eq(s.status(), QDataStream.Ok);
    dev.close();
    dev.open(QIODevice.WriteOnly);
    s.writeInt(2);
    eq(b.size(), 0, "Qt 5 writes nothing after a failed write");
    s.resetStatus();
    s.writeInt(3);
    eq(hexOf(b), "00000003");
});

test("status and version enumerations", function() {
    eq(QDataStream.Version(1), QDataStream.Qt_1_0);
    eq(QDataStream.Qt_1_0.toString(), "Qt_1_0");
    eq(QDataStream.Qt_4_4.toString(), "Qt_4_4");
    eq(QDataStream.Qt_4_4.valueOf(), 10);
    throws(function() { QDataStream.Version(0); }, "Version(): invalid enum value (0)");
    throws(function() { QDataStream.Version(11); }, "Version(): invalid enum value (11)");
    throws(function() { QDataStream.Status(-1); }, "Status(): invalid enum value (-1)");
    eq(QDataStream.Status(2), QDataStream.ReadCorruptData);
    var s = new QDataStream(new QByteArray());
    s.setStatus(1);
    eq(s.status(), QDataStream.Ok, "a plain number sets Ok");
    s.setStatus(QDataStream.ReadPastEnd);
    eq(s.status(), QDataStream.ReadPastEnd);
});

test("overloads, this and toString", function() {
    var four = ["", "QByteArray arg__1, OpenMode flags", "QIODevice arg__1", "QByteArray arg__1"];
    throws(function() { new QDataStream("abc"); }, mismatch("QDataStream", four));
    throws(function() { new QDataStream(1, 2, 3); }, mismatch("QDataStream", four));
    throws(function() { QDataStream(); }, "QDataStream(): Did you forget to construct with 'new'?");
    var s = new QDataStream();
    throws(function() { s.readInt(5); }, mismatch("readInt", [""]));
    throws(function() { s.writeInt(); }, mismatch("writeInt", ["int i"]));
    throws(function() { QDataStream.prototype.readInt(); },
           "QDataStream.readInt(): this object is not a QDataStream", "TypeError");
    throws(function() { QDataStream.prototype.toString.call(new QByteArray()); },
           "QDataStream.toString(): this object is not a QDataStream", "TypeError");
    eq(s.toString(1, 2), "QDataStream");
    eq(QDataStream.length, 2);
    eq(s.readInt.length, 1);
    eq(s.device(), null);
    eq(s.atEnd(), true);
    eq(s.readDouble(), 0, "no device: reads give 0");
    s.writeInt(1);
});

test("QByteArray and QBitArray round trips", function() {
    var w = writer();
    new QByteArray("abc").writeTo(w.stream);
    new QByteArray().writeTo(w.stream);
    new QByteArray("").writeTo(w.stream);
    var bits = new QBitArray(10);
    bits.setBit(0); bits.setBit(3); bits.setBit(9);
    bits.writeTo(w.stream);
    eq(hexOf(w.bytes), "00000003616263" + "ffffffff" + "00000000" + "0000000a" + "0902");
    var r = new QDataStream(w.bytes);
    var a = new QByteArray("old"), n = new QByteArray("x"), e = new QByteArray("y"), c = new QBitArray();
    a.readFrom(r); n.readFrom(r); e.readFrom(r); c.readFrom(r);
    eq(hexOf(a), "616263");
    eq(n.isNull(), true, "null comes back null");
    eq(e.isNull(), false, "empty comes back empty");
    eq(e.size(), 0);
    eq(c.equals(bits), true);
    eq(r.atEnd(), true);
    throws(function() { a.readFrom(5); },
           "QByteArray::readFrom(): could not find a function match; candidates are:\n" +
           "readFrom(QDataStream arg__1)");
});

test("counts near 2^31 and 2^32 with few bytes after: an empty value, the stream not Ok", function() {
    var counts = [0x7fffffc0, 0x7fffffff, 0x80000000, 0x80000001, 0xfffffff8, 0xfffffff9,
                  0xfffffffa, 0xfffffffb, 0xfffffffc, 0xfffffffd, 0xfffffffe, 0xffffffff];
    var kinds = [
        {name: "QByteArray", make: function() { return new QByteArray("old"); },
         empty: function(v) { return v.size() === 0; }, nullCount: true},
        {name: "QBitArray", make: function() { return new QBitArray(3, true); },
         empty: function(v) { return v.size() === 0; }},
        {name: "QLocale", make: function() { return new QLocale(QLocale.French); },
         empty: function(v) { return v.name() === "C"; }, nullCount: true},
        {name: "QUrl (bytes)", make: function() { return new QUrl("http://old"); },
         empty: function(v) { return v.isEmpty(); }, nullCount: true},
        {name: "QUrl (text)", make: function() { return new QUrl("http://old"); },
         empty: function(v) { return v.isEmpty(); }, nullCount: true, version: 13},
    ];
    kinds.forEach(function(kind) {
        counts.forEach(function(count) {
            var what = kind.name + " " + count.toString(16);
            var w = writer();
            w.stream.writeInt(count | 0);
            w.stream.writeByte(1); w.stream.writeByte(2); w.stream.writeByte(3);
            var r = new QDataStream(w.bytes);
            if (kind.version) r.setVersion(kind.version);
            var v = kind.make();
            v.readFrom(r);
            ok(kind.empty(v), what + ": empty");
            if (count == 0xffffffff && kind.nullCount)
                eq(r.status(), QDataStream.Ok, what + ": the null value");
            else
                ok(r.status() == QDataStream.ReadPastEnd || r.status() == QDataStream.ReadCorruptData,
                   what + ": status " + r.status());
            var out = writer();
            v.writeTo(out.stream);
            eq(out.stream.status(), QDataStream.Ok, what + ": written");
            var back = kind.make();
            back.readFrom(new QDataStream(out.bytes));
            ok(kind.empty(back), what + ": read back");
        });
    });
    // A bit array's count is read as QtCore reads it: bits past the count must be clear.
    var w = writer();
    w.stream.writeInt(3);
    w.stream.writeByte(0x0d);
    var bits = new QBitArray();
    var r = new QDataStream(w.bytes);
    bits.readFrom(r);
    eq(r.status(), QDataStream.ReadCorruptData, "a padding bit set");
    eq(bits.size(), 0);
    // The largest count an array holds is read (the bytes then run out); one more is corrupt.
    [[0x7fffffbf, QDataStream.ReadPastEnd], [0x7fffffc0, QDataStream.ReadCorruptData],
     [100, QDataStream.ReadPastEnd]].forEach(function(c) {
        var w = writer();
        w.stream.writeInt(c[0]);
        for (var i = 0; i < 5; ++i)
            w.stream.writeByte(0xff);
        var bits = new QBitArray(3, true), r = new QDataStream(w.bytes);
        bits.readFrom(r);
        eq(r.status(), c[1], "count " + c[0]);
        eq(bits.size(), 0);
    });
});

test("locale, geometry, time and UUID values through a stream at Qt_4_4", function() {
    var cases = [
        [new QPoint(1, -2), "00000001fffffffe"],
        [new QPointF(1.5, -2), "3ff8000000000000c000000000000000"],
        [new QSize(3, 4), "0000000300000004"],
        [new QSizeF(0.5, 2), "3fe00000000000004000000000000000"],
        [new QRect(1, 2, 3, 4), "00000001000000020000000300000005"],
        [new QRectF(1, 2, 3, 4), "3ff0000000000000400000000000000040080000000000004010000000000000"],
        [new QTime(1, 2, 3, 4), "0038cefc"],
        [new QTime(), "ffffffff"],
        [new QUuid("{67C8770B-44F1-410A-AB9A-F9B5446F13EE}"), "67c8770b44f1410aab9af9b5446f13ee"],
        [new QLocale("en_US"), "0000000a0065006e005f00550053"],
    ];
    cases.forEach(function(c) {
        var w = writer();
        eq(c[0].writeTo(w.stream), undefined);
        eq(hexOf(w.bytes), c[1], String(c[0].constructor.name || c[1]));
        var back = new c[0].constructor();
        back.readFrom(new QDataStream(w.bytes));
        ok(back.constructor === QLocale ? back.name() == c[0].name() : back.equals(c[0]),
           "read back " + c[1]);
    });
});

test("a device's script object is kept while the stream uses it", function() {
    var b = new QByteArray();
    var s = (function() {
        var dev = new QBuffer(b);
        dev.open(QIODevice.WriteOnly);
        return new QDataStream(dev);
    })();
    for (var i = 0; i < 20; ++i) { new QByteArray(4096, 0x20); gc(); }
    s.writeInt(9);
    eq(hexOf(b), "00000009");
    s.unsetDevice();
    eq(s.device(), null);
    s.setDevice(5);
    eq(s.device(), null, "not a device: none");
});

test("a device deleted by other means leaves the stream without one", function() {
    var parent = new QObject();
    var dev = new QBuffer(new QByteArray("abcdefgh"), parent);
    dev.open(QIODevice.ReadOnly);
    var s = new QDataStream(dev);
    eq(s.device(), dev);
    eq(s.readInt(), 0x61626364);
    parent.deleteLater();
    ok(waitFor(function() { return s.device() === null; }), "the device went");
    eq(s.readInt(), 0);
    s.writeInt(1);
    var b = new QByteArray("keep");
    b.readFrom(s);
    new QBitArray(3).writeTo(s);
    eq(s.atEnd(), true);

    // Blocked signals do not hide the deletion.
    var quiet = new QObject();
    var muted = new QBuffer(new QByteArray("abcd"), quiet);
    muted.open(QIODevice.ReadOnly);
    muted.blockSignals(true);
    var m = new QDataStream(muted);
    quiet.deleteLater();
    ok(waitFor(function() { return gone(muted); }), "the muted device went");
    var r = new QByteArray("x");
    r.readFrom(m);
    eq(r.isNull(), true);
    eq(m.device(), null);

    // The buffer of a byte-array stream, deleted through device().
    var t = new QDataStream(new QByteArray("abcd"));
    t.device().deleteLater();
    ok(waitFor(function() { return t.device() === null; }), "its own buffer went");
    eq(t.readInt(), 0);
    t.setDevice(new QBuffer());
    eq(t.device() !== null, true);
});

finish();
