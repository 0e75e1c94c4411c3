// QTranslator: loading, translate/isEmpty through the shell. Loading real data and native
// callers of the overrides are in tests/native/tst_translator.cpp.

function propertyNames(o) { var n = []; for (var k in o) n.push(k); return n; }

test("construction and class shape", function() {
    eq(QTranslator.length, 1);
    var tr = new QTranslator();
    eq(Object.getPrototypeOf(QTranslator.prototype), QObject.prototype);
    eq(tr.parent(), null);
    var p = new QObject(), child = new QTranslator(p);
    eq(child.parent().toString(), p.toString());
    eq(new QTranslator(5).parent(), null, "a non-object parent is none");
    throws(function() { QTranslator(); }, "QTranslator(): Did you forget to construct with 'new'?", "Error");
    throws(function() { new QTranslator(p, p); },
           "QTranslator::QTranslator(): could not find a function match; candidates are:\nQTranslator(QObject parent)");
    eq(tr.toString(1, 2), "QTranslator");
    var p2 = QTranslator.prototype;
    eq(p2.isEmpty.length, 0); eq(p2.load.length, 4); eq(p2.translate.length, 3); eq(p2.toString.length, 0);
    eq(propertyNames(p2).filter(function(k) { return /^(isEmpty|load|translate|toString)$/.test(k); }).length, 0,
       "methods are not enumerable");
});

test("this must be a QTranslator", function() {
    throws(function() { QTranslator.prototype.toString(); },
           "QTranslator.toString(): this object is not a QTranslator", "TypeError");
    throws(function() { QTranslator.prototype.isEmpty.call(new QObject()); },
           "QTranslator.isEmpty(): this object is not a QTranslator", "TypeError");
    throws(function() { QTranslator.prototype.load.call(new QTimer()); },
           "QTranslator.load(): this object is not a QTranslator", "TypeError");
});

test("load: the file forms and the mismatches", function() {
    var tr = new QTranslator();
    eq(tr.load("no-such-translation"), false);
    eq(tr.load("no-such-translation", "/nonexistent"), false);
    eq(tr.load("no-such-translation", "/nonexistent", "_."), false);
    eq(tr.load("no-such-translation", "/nonexistent", "_.", ".qm"), false);
    eq(tr.load(42), false, "a non-text file name is its text");
    var both = "QTranslator::load(): could not find a function match; candidates are:\n" +
               "load(String filename, String directory, String search_delimiters, String suffix)\n" +
               "load(uchar data, int len)";
    throws(function() { tr.load("name", 5); }, both, "Error");
    throws(function() { tr.load(); }, both);
    throws(function() { tr.load("a", "b", "c", "d", "e"); }, both);
    throws(function() { tr.load(new QObject(), 3); }, both);  // an object is no byte array
    eq(tr.isEmpty(), true);
});

test("translate: script strings are no C strings", function() {
    var tr = new QTranslator();
    eq(tr.translate("ctx", "Hello"), "", "null texts give QtCore's empty answer");
    eq(tr.translate("ctx", "Hello", "comment"), "");
    throws(function() { tr.translate("ctx"); },
           "QTranslator::translate(): could not find a function match; candidates are:\n" +
           "translate(char context, char sourceText, char comment)");
    throws(function() { tr.translate(1, 2, 3, 4); });
});

test("isEmpty override through the virtual call", function() {
    var tr = new QTranslator();
    eq(QTranslator.prototype.isEmpty.call(tr), true);
    tr.isEmpty = function() { return false; };
    eq(QTranslator.prototype.isEmpty.call(tr), false, "override runs");
    tr.isEmpty = function() { return 0; };
    eq(QTranslator.prototype.isEmpty.call(tr), false, "result converted to boolean");
    delete tr.isEmpty;
    eq(tr.isEmpty(), true, "QtCore's answer is back");
    tr.isEmpty = "not a function";
    eq(QTranslator.prototype.isEmpty.call(tr), true);
});

test("translate override receives three char* variants", function() {
    var tr = new QTranslator(), got, self;
    tr.translate = function(c, s, d) { got = arguments; self = this; return 7; };
    eq(QTranslator.prototype.translate.call(tr, "ctx", "Hello"), "7", "result converted to text");
    eq(got.length, 3);
    ok(self === tr);
    for (var i = 0; i < 3; ++i)
        eq(typeof got[i], "object", "argument " + i + " is a variant");
    // Passed on to another translator, the (null) texts reach QtCore's translate; passed to
    // the same one they would call the override again, until the engine's stack runs out.
    var other = new QTranslator();
    tr.translate = function(c, s, d) { return "[" + other.translate(c, s, d) + "]"; };
    eq(QTranslator.prototype.translate.call(tr, "ctx", "Hello"), "[]");
    tr.translate = function(c, s, d) { return this.translate(c, s, d); };
    throws(function() { QTranslator.prototype.translate.call(tr, "ctx", "Hello"); }, undefined, "RangeError");
    delete tr.translate;
    eq(tr.translate("ctx", "Hello"), "");
});

test("an override on the prototype chain and a throwing one", function() {
    var proto = Object.create(QTranslator.prototype);
    proto.isEmpty = function() { return false; };
    var tr = new QTranslator();
    tr.__proto__ = proto;
    eq(QTranslator.prototype.isEmpty.call(tr), false);
    tr.isEmpty = function() { throw new Error("boom"); };
    throws(function() { QTranslator.prototype.isEmpty.call(tr); }, "boom");
});

test("an overlong file name loads nothing, at once", function() {
    var tr = new QTranslator(), name = new Array(70000).join("_");
    var start = new Date().getTime();
    eq(tr.load(name, ".", "_"), false);
    eq(tr.load(name, "."), false);
    eq(tr.load(name), false);
    ok(new Date().getTime() - start < 2000, "no quadratic search");
});

finish();
