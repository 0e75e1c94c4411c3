// QBitArray: construction, checked bit access, fills, combinations and sizes.

function bits(b) {
    var s = "";
    for (var i = 0; i < b.size(); ++i) s += b.testBit(i) ? "1" : "0";
    return s;
}
function make(text) {
    var b = new QBitArray(text.length);
    for (var i = 0; i < text.length; ++i) if (text[i] == "1") b.setBit(i);
    return b;
}

test("construction", function() {
    eq(new QBitArray().size(), 0);
    eq(new QBitArray().isNull(), true);
    eq(bits(new QBitArray(5)), "00000");
    eq(bits(new QBitArray(5, true)), "11111");
    eq(new QBitArray(-3).size(), 0);
    eq(new QBitArray(-3, true).size(), 0);
    var a = make("101");
    var copy = new QBitArray(a);
    copy.setBit(1);
    eq(bits(a), "101");
    eq(bits(copy), "111");
    throws(function() { new QBitArray("5"); },
           "QBitArray::QBitArray(): could not find a function match; candidates are:\n" +
           "QBitArray()\nQBitArray(QBitArray other)\nQBitArray(int size, bool val)");
    throws(function() { QBitArray(); }, "QBitArray(): Did you forget to construct with 'new'?");
    eq(a.toString(1, 2), "QBitArray");
});

test("every bit access checks its index", function() {
    var b = new QBitArray(8);
    eq(b.at(7), false);
    b.setBit(7, true);
    eq(b.at(7), true);
    ["at", "testBit", "setBit", "clearBit", "toggleBit"].forEach(function(name) {
        [8, -1, 2147483647].forEach(function(i) {
            throws(function() { b[name](i); },
                   "QBitArray::" + name + "(): index out of range", "RangeError");
        });
    });
    throws(function() { b.setBit(8, false); }, "QBitArray::setBit(): index out of range", "RangeError");
    eq(bits(b), "00000001", "refused calls change nothing");
});

test("setBit, clearBit and toggleBit", function() {
    var b = new QBitArray(4);
    eq(b.toggleBit(2), false);
    eq(b.testBit(2), true);
    eq(b.toggleBit(2), true);
    eq(b.testBit(2), false);
    b.setBit(0);
    b.setBit(1, true);
    b.setBit(1, false);
    b.setBit(3);
    b.clearBit(3);
    eq(bits(b), "1000");
});

test("fill", function() {
    var b = new QBitArray(4);
    eq(b.fill(true), true);
    eq(bits(b), "1111");
    eq(b.fill(true, 10), true);
    eq(b.size(), 10);
    eq(b.fill(false, -1), true);
    eq(bits(b), "0000000000");
    b.fill(true);
    eq(b.fill(false, 1, 3), undefined);
    eq(bits(b), "1001111111");
    b.fill(false, 2, 2);
    b.fill(false, 9, 3);
    eq(bits(b), "1001111111", "an empty range changes nothing");
    b.fill(false, 0, 10);
    eq(bits(b), "0000000000");
    throws(function() { b.fill(true, -1, 3); }, "QBitArray::fill(): index out of range", "RangeError");
    throws(function() { b.fill(true, 0, 11); }, "QBitArray::fill(): index out of range", "RangeError");
    throws(function() { b.fill(true, 8, 2147483647); }, "QBitArray::fill(): index out of range");
    eq(bits(b), "0000000000");
});

test("count and size", function() {
    var b = make("01010000");
    eq(b.count(), 8);
    eq(b.size(), 8);
    eq(b.count(true), 2);
    eq(b.count(false), 6);
    eq(b.isEmpty(), false);
    b.clear();
    eq(b.isEmpty(), true);
});

test("resize and truncate never leave a negative size", function() {
    var b = make("1011001110");
    b.truncate(20);
    eq(b.size(), 10);
    b.truncate(4);
    eq(bits(b), "1011");
    b.truncate(-1);
    eq(b.size(), 0);
    b.resize(3);
    eq(bits(b), "000");
    b.resize(-1);
    eq(b.size(), 0);
    eq(b.count(true), 0);
});

test("sizes that do not fit are an Error, not an abort", function() {
    var big = "native call failed: out of memory";
    throws(function() { new QBitArray(2147483647); }, big, "Error");
    throws(function() { new QBitArray(2147483647, true); }, big, "Error");
    var b = new QBitArray(3);
    throws(function() { b.resize(2147483647); }, big, "Error");
    throws(function() { b.fill(true, 2147483647); }, big, "Error");
    eq(b.size(), 3);
});

test("combinations", function() {
    var a = make("1100");
    var b = make("1010");
    eq(a.operator_and_assign(b), a);
    eq(bits(a), "1000");
    eq(bits(b), "1010");
    eq(bits(make("1100").operator_or_assign(b)), "1110");
    eq(bits(make("1100").operator_xor_assign(b)), "0110");
    eq(bits(make("11").operator_or_assign(make("0001"))), "1101", "the shorter grows");
    eq(bits(make("1111").operator_and_assign(new QBitArray())), "0000");
    var n = b.operator_negate();
    ok(n !== b);
    eq(bits(n), "0101");
    eq(bits(b), "1010");
    ok(b.equals(make("1010")));
    ok(!b.equals(make("10100")));
    ok(!b.equals("1010"));
    var c = make("11");
    eq(c.operator_assign(b), c);
    eq(bits(c), "1010");
    c.setBit(0, false);
    eq(bits(b), "1010");
    eq(c.operator_assign("text"), c);
    eq(c.size(), 0);
    var self = make("1100");
    self.operator_xor_assign(self);
    eq(bits(self), "0000");
});

test("this must be a bit array", function() {
    throws(function() { QBitArray.prototype.size.call(new QByteArray("a")); },
           "QBitArray.size(): this object is not a QBitArray", "TypeError");
    throws(function() { QBitArray.prototype.toString(); },
           "QBitArray.toString(): this object is not a QBitArray", "TypeError");
});

test("streams: anything but a stream is a mismatch", function() {
    var b = make("101");
    throws(function() { b.writeTo(undefined); },
           "QBitArray::writeTo(): could not find a function match; candidates are:\n" +
           "writeTo(QDataStream arg__1)");
    throws(function() { b.readFrom(b); });
    eq(bits(b), "101");
});

finish();
