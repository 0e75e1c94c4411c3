// QUuid: RFC 4122's examples, fields, text forms, order, variants and versions.

function mismatch(name, lines) {
    return "QUuid::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("RFC 4122's examples", function() {
    // Section 3's time-based UUID, its 11 fields, and the name spaces of appendix C.
    var u = new QUuid("{f81d4fae-7dec-11d0-a765-00a0c91e6bf6}");
    eq(u.toString(), "{f81d4fae-7dec-11d0-a765-00a0c91e6bf6}");
    eq(u.variant(), QUuid.DCE);
    eq(u.version(), QUuid.Time);
    var fields = new QUuid(0xf81d4fae, 0x7dec, 0x11d0, 0xa7, 0x65, 0x00, 0xa0, 0xc9, 0x1e, 0x6b, 0xf6);
    eq(fields.equals(u), true);
    var dns = new QUuid("{6ba7b810-9dad-11d1-80b4-00c04fd430c8}");
    var url = new QUuid("{6ba7b811-9dad-11d1-80b4-00c04fd430c8}");
    eq(dns.version(), QUuid.Time);
    eq(dns.operator_less(url), true);
    eq(url.operator_less(dns), false);
    eq(dns.equals(url), false);
    // Appendix B's name-based (MD5) example: version 3, Qt 5's Md5, is Name.
    var md5 = new QUuid("{e902893a-9d22-3c7e-a7b8-d6e313b71d9f}");
    eq(md5.version(), QUuid.Name);
    eq(md5.variant(), QUuid.DCE);
    // A SHA-1 name-based UUID (version 5) has no key here.
    eq(new QUuid("{886313e1-3b8a-5372-9b90-0c9aee199e5d}").version(), QUuid.VerUnknown);
    eq(new QUuid("{00000000-0000-0000-0000-000000000000}").isNull(), true);
    eq(new QUuid("{00000000-0000-0000-0000-000000000000}").variant(), QUuid.VarUnknown);
});

test("fields convert as the engine converts them", function() {
    var u = new QUuid(-1, 65537, -1, 256, 257, 0, 0, 0, 0, 0, -1);
    eq(u.toString(), "{ffffffff-0001-ffff-0001-0000000000ff}");
    eq(new QUuid(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11).toString(), "{00000001-0002-0003-0405-060708090a0b}");
    eq(new QUuid(0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0).variant(), QUuid.VarUnknown, "null");
    eq(new QUuid(1, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0).variant(), QUuid.NCS);
    eq(new QUuid(1, 0, 0, 0xc0, 0, 0, 0, 0, 0, 0, 0).variant(), QUuid.Microsoft);
    eq(new QUuid(1, 0, 0, 0xe0, 0, 0, 0, 0, 0, 0, 0).variant(), QUuid.Reserved);
    eq(new QUuid(1, 0, 0x2000, 0x80, 0, 0, 0, 0, 0, 0, 0).version(), QUuid.EmbeddedPOSIX);
    eq(new QUuid(1, 0, 0x6000, 0x80, 0, 0, 0, 0, 0, 0, 0).version(), QUuid.VerUnknown);
    eq(new QUuid(1, 0, 0x4000, 0xc0, 0, 0, 0, 0, 0, 0, 0).version(), QUuid.VerUnknown, "not DCE");
});

test("construction", function() {
    eq(new QUuid().isNull(), true);
    eq(new QUuid("no uuid").isNull(), true);
    eq(new QUuid(42).isNull(), true);
    var r = QUuid.createUuid();
    eq(r.isNull(), false);
    ok(r instanceof QUuid);
    eq(r.variant(), QUuid.DCE);
    eq(r.version(), QUuid.Random);
    eq(new QUuid(r.toString()).equals(r), true);
    eq(QUuid.createUuid().equals(r), false);
    throws(function() { new QUuid(1, 2); }, mismatch("QUuid", ["", "String arg__1",
        "uint l, ushort w1, ushort w2, uchar b1, uchar b2, uchar b3, uchar b4, uchar b5, uchar b6, uchar b7, uchar b8"]));
    throws(function() { QUuid(); }, "QUuid(): Did you forget to construct with 'new'?");
    throws(function() { QUuid.createUuid(1); }, mismatch("createUuid", [""]));
    throws(function() { r.toString(1); }, mismatch("toString", [""]));
    throws(function() { QUuid.prototype.isNull.call(new QTime()); }, "QUuid.isNull(): this object is not a QUuid", "TypeError");
    eq(new QUuid().equals("{f81d4fae-7dec-11d0-a765-00a0c91e6bf6}"), true, "a string is no UUID: null");
    eq(new QUuid().operator_less(r), true);
});

test("enumerations", function() {
    eq(QUuid.VarUnknown.valueOf(), -1);
    eq(QUuid.Microsoft.valueOf(), 6);
    eq(QUuid.Variant(6), QUuid.Microsoft);
    eq(new QUuid.Variant(6), QUuid.Microsoft);
    throws(function() { QUuid.Variant(1); }, "Variant(): invalid enum value (1)");
    throws(function() { QUuid.Version(5); }, "Version(): invalid enum value (5)");
    eq(QUuid.Version(-1), QUuid.VerUnknown);
    eq(QUuid.Name.toString(), "Name");
});

test("streams need a data stream", function() {
    var u = QUuid.createUuid();
    throws(function() { u.readFrom(u); }, mismatch("readFrom", ["QDataStream arg__1"]));
    throws(function() { u.writeTo(); }, mismatch("writeTo", ["QDataStream arg__1"]));
});

finish();
