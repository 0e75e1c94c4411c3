// QByteArrayMatcher and QStringMatcher: prepared searches, copies and case sensitivity.

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}

test("byte matcher searches", function() {
    var m = new QByteArrayMatcher(new QByteArray("abc"));
    var hay = new QByteArray("xxabc");
    eq(m.indexIn(hay), 2);
    eq(m.indexIn(hay, 3), -1);
    eq(m.indexIn(hay, -5), 2);
    eq(m.indexIn(hay, 2147483647), -1);
    eq(m.indexIn("..abc"), 2, "a String is searched as its bytes");
    eq(new QByteArrayMatcher().indexIn(hay, 5), 5);
    eq(new QByteArrayMatcher().indexIn(hay, 6), -1);
    eq(QByteArrayMatcher.prototype.toString.call(m, 1, 2), "QByteArrayMatcher");
    eq(m.indexIn(new QByteArray("ab")), -1, "a pattern longer than the data");
    eq(m.indexIn(new QByteArray()), -1);
    eq(new QStringMatcher("abc").indexIn("ab"), -1);
    eq(new QStringMatcher("ABC", Qt.CaseInsensitive).indexIn("ab", -3), -1);
});

test("byte matcher construction", function() {
    throws(function() { new QByteArrayMatcher("abc"); },
           "QByteArrayMatcher::QByteArrayMatcher(): could not find a function match; candidates are:\n" +
           "QByteArrayMatcher()\nQByteArrayMatcher(QByteArray pattern)\n" +
           "QByteArrayMatcher(QByteArrayMatcher other)");
    throws(function() { new QByteArrayMatcher(new QByteArray("a"), 1); });
    throws(function() { QByteArrayMatcher(); },
           "QByteArrayMatcher(): Did you forget to construct with 'new'?");
});

test("byte matcher patterns are copies", function() {
    var m = new QByteArrayMatcher(new QByteArray("abc"));
    var p = m.pattern();
    ok(p !== m.pattern());
    p.append("d");
    eq(str(m.pattern()), "abc");
    var copy = new QByteArrayMatcher(m);
    m.setPattern(new QByteArray("zz"));
    eq(str(copy.pattern()), "abc");
    eq(copy.indexIn(new QByteArray("abc")), 0);
    eq(m.indexIn(new QByteArray("abzz")), 2);
    m.setPattern("bz");
    eq(m.indexIn(new QByteArray("abzz")), 1);
    eq(str(new QByteArrayMatcher().pattern()), "");
});

test("string matcher is case-sensitive by default", function() {
    var m = new QStringMatcher("Ab");
    eq(m.indexIn("xab"), -1);
    eq(m.indexIn("xAb"), 1);
    eq(m.indexIn("xAbAb", 2), 3);
    eq(m.indexIn("xAb", 4), -1);
    eq(m.indexIn("xAb", 2147483647), -1);
    eq(m.pattern(), "Ab");
    eq(new QStringMatcher().indexIn("abc"), 0);
    eq(m.toString(7), "QStringMatcher");
});

test("case sensitivity comes only from a Qt.CaseSensitivity value", function() {
    if (typeof Qt == "undefined" || Qt.CaseInsensitive === undefined) return;
    eq(new QStringMatcher("Ab", Qt.CaseInsensitive).indexIn("xab"), 1);
    eq(new QStringMatcher("Ab", Qt.CaseSensitive).indexIn("xab"), -1);
    var m = new QStringMatcher("Ab", 1);
    eq(m.indexIn("xab"), 1, "a plain number is CaseInsensitive");
    eq(m.caseSensitivity(), Qt.CaseInsensitive);
    eq(new QStringMatcher("Ab").caseSensitivity(), Qt.CaseSensitive);
    m.setCaseSensitivity(Qt.CaseSensitive);
    eq(m.indexIn("xab"), -1);
    m.setCaseSensitivity(1);
    eq(m.caseSensitivity(), Qt.CaseInsensitive);
});

test("string matcher copies and patterns", function() {
    var m = new QStringMatcher("abc");
    var copy = new QStringMatcher(m);
    m.setPattern("zz");
    eq(copy.pattern(), "abc");
    eq(copy.indexIn("xabc"), 1);
    eq(m.indexIn("xzz"), 1);
    m.setPattern(12);
    eq(m.indexIn("012"), 1);
    throws(function() { new QStringMatcher(5); },
           "QStringMatcher::QStringMatcher(): could not find a function match; candidates are:\n" +
           "QStringMatcher()\nQStringMatcher(String pattern, CaseSensitivity cs)\n" +
           "QStringMatcher(QStringMatcher other)");
    throws(function() { m.indexIn(); });
});

test("this must be the matcher's class", function() {
    throws(function() { QStringMatcher.prototype.pattern.call(new QByteArrayMatcher()); },
           "QStringMatcher.pattern(): this object is not a QStringMatcher", "TypeError");
    throws(function() { QByteArrayMatcher.prototype.indexIn(new QByteArray("a")); },
           "QByteArrayMatcher.indexIn(): this object is not a QByteArrayMatcher", "TypeError");
});

finish();
