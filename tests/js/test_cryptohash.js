// QCryptographicHash: digests against the published test vectors, incremental hashing, and the
// Algorithm enumeration.

function hexOf(ba) {
    var h = ba.toHex(), s = "";
    for (var i = 0; i < h.size(); ++i) s += String.fromCharCode(h.at(i));
    return s;
}
var million = new QByteArray(1000000, 97);
var eighty = new Array(9).join("1234567890");

var vectors = {
    // RFC 1320, appendix A.5
    Md4: [["", "31d6cfe0d16ae931b73c59d7e0c089c0"],
          ["a", "bde52cb31de33e46245e05fbdbd6fb24"],
          ["abc", "a448017aaf21d8525fc10ae87aa6729d"],
          ["message digest", "d9130a8164549fe818874806e1c7014b"],
          ["abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9"],
          ["ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
           "043f8582f241db351ce627e153e7f0e4"],
          [eighty, "e33b4ddc9c38f2199c3e7b164fcc0536"]],
    // RFC 1321, appendix A.5
    Md5: [["", "d41d8cd98f00b204e9800998ecf8427e"],
          ["a", "0cc175b9c0f1b6a831c399e269772661"],
          ["abc", "900150983cd24fb0d6963f7d28e17f72"],
          ["message digest", "f96b697d7cb7938d525a2f31aaf161d0"],
          ["abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"],
          ["ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
           "d174ab98d277d9f5a5611c2c9f419d9f"],
          [eighty, "57edf4a22be3c955ac49da2e2107b67a"]],
    // FIPS 180 examples
    Sha1: [["abc", "a9993e364706816aba3e25717850c26c9cd0d89d"],
           ["abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1"],
           [million, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"],
           ["", "da39a3ee5e6b4b0d3255bfef95601890afd80709"]]
};

test("digests match the published vectors", function() {
    for (var name in vectors) {
        var method = QCryptographicHash[name];
        vectors[name].forEach(function(v) {
            var data = typeof v[0] == "string" ? new QByteArray(v[0]) : v[0];
            eq(hexOf(QCryptographicHash.hash(data, method)), v[1], name + " hash");
            var h = new QCryptographicHash(method);
            h.addData(data);
            eq(hexOf(h.result()), v[1], name + " addData");
        });
    }
    eq(QCryptographicHash.hash(new QByteArray(), QCryptographicHash.Md5).size(), 16);
    eq(QCryptographicHash.hash(new QByteArray(), QCryptographicHash.Sha1).size(), 20);
});

test("a String is hashed as its text", function() {
    eq(hexOf(QCryptographicHash.hash("abc", QCryptographicHash.Md5)),
       "900150983cd24fb0d6963f7d28e17f72");
    var h = new QCryptographicHash(QCryptographicHash.Sha1);
    h.addData("ab");
    h.addData(new QByteArray("c"));
    eq(hexOf(h.result()), "a9993e364706816aba3e25717850c26c9cd0d89d");
});

test("incremental hashing and reset", function() {
    var h = new QCryptographicHash(QCryptographicHash.Sha1);
    ["a", "b", "c"].forEach(function(c) { h.addData(new QByteArray(c)); });
    eq(hexOf(h.result()), "a9993e364706816aba3e25717850c26c9cd0d89d");
    eq(hexOf(h.result()), "a9993e364706816aba3e25717850c26c9cd0d89d", "result does not consume");
    h.reset();
    eq(hexOf(h.result()), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    var empty = new QCryptographicHash(QCryptographicHash.Md5);
    ok(empty.result().equals(QCryptographicHash.hash(new QByteArray(), QCryptographicHash.Md5)));
});

test("an algorithm that is not an Algorithm value is Md4", function() {
    var h = new QCryptographicHash(1);
    h.addData(new QByteArray("abc"));
    eq(hexOf(h.result()), "a448017aaf21d8525fc10ae87aa6729d");
    eq(hexOf(QCryptographicHash.hash(new QByteArray("abc"), 2)), "a448017aaf21d8525fc10ae87aa6729d");
});

test("the Algorithm enumeration", function() {
    eq(QCryptographicHash.Algorithm(1), QCryptographicHash.Md5);
    eq(QCryptographicHash.Sha1.valueOf(), 2);
    eq(QCryptographicHash.Sha1.toString(), "Sha1");
    eq(QCryptographicHash.Md4.valueOf(), 0);
    throws(function() { QCryptographicHash.Algorithm(3); }, "Algorithm(): invalid enum value (3)");
    throws(function() { QCryptographicHash.Algorithm(-1); }, "Algorithm(): invalid enum value (-1)");
});

test("argument counts and this", function() {
    var mismatch = "QCryptographicHash::QCryptographicHash(): could not find a function match; " +
        "candidates are:\nQCryptographicHash(Algorithm method)";
    throws(function() { new QCryptographicHash(); }, mismatch);
    throws(function() { new QCryptographicHash(QCryptographicHash.Md5, 1); }, mismatch);
    throws(function() { QCryptographicHash(QCryptographicHash.Md5); },
           "QCryptographicHash(): Did you forget to construct with 'new'?");
    throws(function() { QCryptographicHash.hash(new QByteArray("a")); },
           "QCryptographicHash::hash(): could not find a function match; candidates are:\n" +
           "hash(QByteArray data, Algorithm method)");
    var h = new QCryptographicHash(QCryptographicHash.Md5);
    throws(function() { h.addData(); });
    throws(function() { h.result(1); });
    throws(function() { h.result.call(new QObject()); },
           "QCryptographicHash.result(): this object is not a QCryptographicHash", "TypeError");
    throws(function() { QCryptographicHash.prototype.reset(); },
           "QCryptographicHash.reset(): this object is not a QCryptographicHash", "TypeError");
    eq(h.toString(1, 2), "QCryptographicHash");
});

finish();
