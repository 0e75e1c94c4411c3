// The whole script surface against tests/surface/expected.js (SURFACE, loaded before this file):
// for every installed class its place among the globals, its functions with their lengths and
// candidate lists, its prototype chain, its enumeration and flags classes with their keys and
// values, and the overrides of its shell. Classes not installed are listed as skipped.

// Set to true once every class is installed: a class missing from the globals then fails.
var REQUIRE_ALL = true;

var global = this;

// No constructor, static function or method accepts 14 arguments: a call with 14 reaches only
// the mismatch error, never QtCore.
var ARGS = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0];

// Properties every function object has of its own (__qt_data__: the hidden method tag).
var FUNCTION_OWN = {prototype: 1, length: 1, name: 1, arguments: 1, caller: 1, __qt_data__: 1};

var installed = [], skipped = [], byName = {};
SURFACE.forEach(function(c) {
    byName[c.name] = c;
    if (typeof global[c.name] == "function") installed.push(c);
    else skipped.push(c.name);
});

// Collects every difference of one class, so that one run reports all of them.
function Diffs(what) { this.what = what; this.list = []; }
Diffs.prototype.check = function(cond, message) { if (!cond) this.list.push(message); };
Diffs.prototype.same = function(actual, expected, message) {
    if (actual !== expected) this.list.push(message + ": expected " + show(expected) + ", got " + show(actual));
};
Diffs.prototype.throws = function(f, text, message) { this.same(thrown(f), text, message); };
Diffs.prototype.done = function() {
    if (this.list.length) fail(this.what + ":\n    " + this.list.join("\n    "));
};

function own(o) { return Object.getOwnPropertyNames(o); }
function setOf(list) { var s = {}; list.forEach(function(k) { s[k] = 1; }); return s; }
function missingFrom(list, set) { return list.filter(function(k) { return !set.hasOwnProperty(k); }); }

function statics(c) { return c.functions.slice(1, 1 + c.statics); }
function methods(c) { return c.kind == "namespace" ? [] : c.functions.slice(1 + c.statics); }

// An instance to call prototype methods on; null where a script cannot make one.
var MAKE = {
    QCoreApplication: function() { return QCoreApplication.instance(); },
    QTextCodec: function() { return QTextCodec.codecForMib(106); },
    QEvent: function() { return new QEvent(QEvent.User); },
    QChildEvent: function() { return new QChildEvent(QEvent.ChildAdded, new QObject()); },
    QTimerEvent: function() { return new QTimerEvent(1); },
    QDynamicPropertyChangeEvent: function() { return new QDynamicPropertyChangeEvent(new QByteArray("p")); },
    QCryptographicHash: function() { return new QCryptographicHash(QCryptographicHash.Md5); },
    QTextDecoder: function() { return new QTextDecoder(QTextCodec.codecForMib(106)); },
    QTextEncoder: function() { return new QTextEncoder(QTextCodec.codecForMib(106)); },
    QSocketNotifier: function() { var n = new QSocketNotifier(2, QSocketNotifier.Write); n.setEnabled(false); return n; },
    QTimeLine: function() { return new QTimeLine(1000); },
    QFutureIterator: function() { return new QFutureIterator(new QFuture()); },
    QSystemSemaphore: function() { return new QSystemSemaphore(""); },   // no key: no system object
    QDirIterator: function() { return new QDirIterator("."); },
    QSettings: function() { return new QSettings("surface-unsaved.ini", QSettings.IniFormat); },
    Qt: null, QtConcurrent: null, QLibraryInfo: null,
};
function instanceOf(c) {
    if (MAKE.hasOwnProperty(c.name))
        return MAKE[c.name] && MAKE[c.name]();
    var C = global[c.name];
    return new C();
}

function mismatchText(c, name, signatures) {
    return "Error: " + c.name + "::" + name + "(): could not find a function match; candidates are:\n"
        + signatures.map(function(s) { return name + "(" + s + ")"; }).join("\n");
}

// Calls f and returns the message it throws ("no error" when it returns).
function thrown(f) {
    try { f(); } catch (e) { return e.name + ": " + e.message; }
    return "no error";
}

test("every class is installed", function() {
    print("not installed, skipped: " + (skipped.length ? skipped.join(", ") : "none"));
    if (REQUIRE_ALL) eq(skipped.join(", "), "", "classes not installed");
});

// Where two lists of names first differ, or "" when they are the same.
function firstDifference(actual, expected) {
    for (var i = 0; i < Math.max(actual.length, expected.length); ++i)
        if (actual[i] !== expected[i])
            return "at " + i + ": expected " + show(expected[i]) + ", got " + show(actual[i]);
    return "";
}

// (QtScript 5's global object enumerates every property: the globals' flags are not checked.)
test("globals in registry order", function() {
    var names = own(global).filter(function(k) { return byName.hasOwnProperty(k); });
    eq(firstDifference(names, installed.map(function(c) { return c.name; })), "");
});

installed.forEach(function(c) {
    var C = global[c.name];

    test(c.name + ": constructor and static functions", function() {
        var d = new Diffs(c.name);
        d.same(C.length, c.functions[0][2], "constructor length");
        if (!c.constructible) {
            var refused = "TypeError: " + c.name + " cannot be constructed";
            d.throws(function() { C(); }, refused, "call");
            d.throws(function() { new C(); }, refused, "new");
        } else {
            d.throws(function() { C(); }, "Error: " + c.name + "(): Did you forget to construct with 'new'?",
                     "call without new");
            d.throws(function() { new C(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); },
                     mismatchText(c, c.name, c.functions[0][1]), "constructor candidates");
        }
        var expected = [];
        statics(c).forEach(function(f) {
            expected.push(f[0]);
            var fn = C[f[0]];
            if (typeof fn != "function") { d.check(false, "static " + f[0] + " missing"); return; }
            d.same(fn.length, f[2], "length of static " + f[0]);
            d.check(!C.propertyIsEnumerable(f[0]), "static " + f[0] + " enumerable");
            d.throws(function() { fn.apply(C, ARGS); }, mismatchText(c, f[0], f[1]), "candidates of static " + f[0]);
        });
        c.enums.forEach(function(e) {
            expected.push(e.name);
            if (e.kind == "enum") e.keys.forEach(function(kv) { expected.push(kv[0]); });
        });
        var actual = own(C).filter(function(k) { return !FUNCTION_OWN.hasOwnProperty(k); });
        d.same(missingFrom(actual, setOf(expected)).join(","), "", "class object properties not expected");
        d.same(missingFrom(expected, setOf(actual)).join(","), "", "class object properties missing");
        d.done();
    });

    if (c.kind == "namespace")
        return;

    test(c.name + ": prototype methods", function() {
        var d = new Diffs(c.name), P = C.prototype;
        var expected = methods(c).map(function(f) { return f[0]; });
        var actual = own(P).filter(function(k) { return k != "constructor"; });
        d.same(firstDifference(actual, expected), "", "prototype methods in order");
        d.check(P.constructor === C, "prototype.constructor");
        var self = instanceOf(c);
        d.check(self !== null || !expected.length, "no instance to call methods on");
        if (self && c.constructible)
            d.check(Object.getPrototypeOf(self) === P, "an instance's prototype");
        methods(c).forEach(function(f) {
            var fn = P[f[0]];
            if (typeof fn != "function") return;
            d.same(fn.length, f[2], "length of " + f[0]);
            d.check(!P.propertyIsEnumerable(f[0]), f[0] + " enumerable");
            d.throws(function() { fn.call(P); }, "TypeError: " + c.name + "." + f[0] + "(): this object is not a " + c.name,
                     f[0] + " on the prototype");
            if (f[1] !== null && self)
                d.throws(function() { fn.apply(self, ARGS); }, mismatchText(c, f[0], f[1]), "candidates of " + f[0]);
        });
        d.done();
    });

    test(c.name + ": prototype chain", function() {
        var up = Object.getPrototypeOf(C.prototype);
        if (c.base !== null) {
            ok(typeof global[c.base] == "function", "base " + c.base + " installed");
            ok(up === global[c.base].prototype, "chains to " + c.base);
            return;
        }
        for (var p = up; p; p = Object.getPrototypeOf(p))
            installed.forEach(function(b) { ok(p !== global[b.name].prototype, "chains to " + b.name); });
    });
});

installed.forEach(function(c) {
    if (!c.enums.length) return;
    var C = global[c.name];
    test(c.name + ": enumerations and flags", function() {
        var d = new Diffs(c.name), enums = {};
        c.enums.forEach(function(e) {
            var E = C[e.name];
            if (typeof E != "function") { d.check(false, e.name + " missing"); return; }
            d.check(C.propertyIsEnumerable(e.name), e.name + " not enumerable");
            if (e.kind == "enum") {
                enums[e.name] = e;
                d.same(E.length, 1, e.name + ".length");
                d.same(own(E.prototype).sort().join(","), "constructor,toString,valueOf", e.name + " prototype");
                e.keys.forEach(function(kv) {
                    var v = C[kv[0]], key = e.name + " key " + kv[0];
                    if (!v) { d.check(false, key + " missing"); return; }
                    d.check(Object.getPrototypeOf(v) === E.prototype, key + " is no " + e.name + " value");
                    d.same(v.valueOf(), kv[1], key + " value");
                    d.same(v.toString(), kv[0], key + " text");
                    var made = e.name + "(" + kv[1] + ")";
                    d.throws(function() { d.same(E(kv[1]), v, made + " is the value object"); }, "no error", made);
                });
                d.same(E[e.keys[0][0]], undefined, e.name + " carries its keys");
            } else {
                var of = enums[e.of];
                d.check(of !== undefined, e.name + " before its enumeration " + e.of);
                d.same(E.length, 0, e.name + ".length");
                d.same(own(E.prototype).sort().join(","), "constructor,equals,toString,valueOf",
                       e.name + " prototype");
                if (!of) return;
                var bits = 0, keys = [];
                of.keys.forEach(function(kv) { if (kv[1] > 0) bits |= kv[1]; });
                of.keys.forEach(function(kv) { if ((kv[1] & bits) == kv[1]) keys.push(kv[0]); });
                var values = of.keys.filter(function(kv) { return kv[1] > 0; });
                var all = E.apply(null, values.map(function(kv) { return C[kv[0]]; }));
                d.same(all.valueOf(), bits, e.name + " of every " + e.of);
                d.same(all.toString(), keys.join(","), e.name + " text");
                d.same(E(bits).valueOf(), bits, e.name + "(" + bits + ")");
            }
        });
        d.done();
    });
});

test("Qt: keys before their class, in table order", function() {
    if (!byName.Qt || typeof Qt != "function") return;
    var expected = [];
    byName.Qt.enums.forEach(function(e) {
        if (e.kind == "enum") e.keys.forEach(function(kv) { expected.push(kv[0]); });
        expected.push(e.name);
    });
    var actual = own(Qt).filter(function(k) { return !FUNCTION_OWN.hasOwnProperty(k); });
    eq(firstDifference(actual, expected), "");
});

// Shells: a script function set under each override name runs when QtCore calls that virtual.
function send(receiver, event) { QCoreApplication.sendEvent(receiver, event); }
function opened(o, f) {
    var P = QIODevice.prototype;
    if (!P.open.call(o, QIODevice.ReadWrite)) return false;
    f(o);
    P.close.call(o);
    return true;
}
// Each returns false when it could not reach the virtual on this object.
var TRIGGER = {
    event: function(o) { send(o, new QEvent(QEvent.User)); },
    eventFilter: function(o) {
        var watched = new QObject();
        watched.installEventFilter(o);
        send(watched, new QEvent(QEvent.User));
        watched.removeEventFilter(o);
    },
    timerEvent: function(o) { send(o, new QTimerEvent(12345)); },
    childEvent: function(o) { send(o, new QChildEvent(QEvent.ChildAdded, new QObject())); },
    customEvent: function(o) { send(o, new QEvent(QEvent.User)); },
    // A device's open is the virtual behind every class's own open.
    open: function(o) { QIODevice.prototype.open.call(o, QIODevice.ReadOnly); },
    // Qt 5 has no public file engine: nothing calls it.
    fileEngine: function() { return false; },
    readData: function(o) { return opened(o, function(o) { o.read(1); }); },
    readLineData: function(o) { return opened(o, function(o) { o.readLine(); }); },
    writeData: function(o) { return opened(o, function(o) { o.write(new QByteArray("x")); }); },
};
// Other overrides are reached through the bound method of the same name, with these arguments.
var ARGUMENTS = {
    translate: ["context", "source", "comment"], valueForTime: [0], seek: [0],
    waitForReadyRead: [0], waitForBytesWritten: [0], resolveEntity: ["public", "system"],
    resolveUndeclaredEntity: ["name"], open: function() { return [QIODevice.ReadOnly]; },
};
// What an override returns, by name; undefined otherwise.
var RESULT = {
    event: false, eventFilter: false, translate: "t", isEmpty: false, valueForTime: 0.5,
    isSequential: false, open: false, pos: 0, size: 0, seek: true, atEnd: true, reset: true,
    bytesAvailable: 0, bytesToWrite: 0, canReadLine: false, waitForReadyRead: false,
    waitForBytesWritten: false, readData: 0, readLineData: 0, writeData: 1,
    resolveEntity: "", resolveUndeclaredEntity: "",
};

installed.forEach(function(c) {
    if (!c.shell || !c.shell.length) return;
    test(c.name + ": shell overrides", function() {
        var d = new Diffs(c.name), o = instanceOf(c), untried = [];
        c.shell.forEach(function(name) {
            var trigger = TRIGGER[name], bound = global[c.name].prototype[name];
            if (!trigger && typeof bound == "function") {
                var args = ARGUMENTS[name] || [];
                trigger = function(o) { bound.apply(o, typeof args == "function" ? args() : args); };
            }
            if (!trigger) { untried.push(name); return; }
            var calls = 0, reached;
            o[name] = function() { ++calls; return RESULT[name]; };
            var error = thrown(function() { reached = trigger(o) !== false; });
            delete o[name];
            d.same(error, "no error", name + " trigger");
            if (!reached) untried.push(name);
            else d.check(calls > 0, name + " override not called");
        });
        if (untried.length) print(c.name + ": overrides not exercised here: " + untried.join(", "));
        d.done();
    });
});

finish();
