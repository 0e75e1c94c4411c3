// QIODevice: the device methods, the open-mode enumeration and flags, and devices written in
// script through the shell's readData/readLineData/writeData.

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function source(text) {
    var b = new QBuffer(new QByteArray(text));
    b.open(QIODevice.ReadOnly);
    return b;
}

test("class shape, enumeration and flags", function() {
    eq(Object.getPrototypeOf(QIODevice.prototype), QObject.prototype);
    eq(QIODevice.length, 1);
    eq(new QIODevice.OpenModeFlag(3), QIODevice.ReadWrite);
    throws(function() { new QIODevice.OpenModeFlag(5); }, "OpenModeFlag(): invalid enum value (5)");
    eq(new QIODevice.OpenMode().toString(), "NotOpen");
    eq(new QIODevice.OpenMode(QIODevice.ReadOnly, QIODevice.Text).valueOf(), 17);
    eq(new QIODevice.OpenMode(QIODevice.ReadWrite).toString(), "NotOpen,ReadOnly,WriteOnly,ReadWrite");
    throws(function() { new QIODevice.OpenMode(QIODevice.ReadOnly, 2); },
           "OpenMode(): argument 1 is not of type OpenModeFlag", "TypeError");
    throws(function() { QIODevice.prototype.isOpen(); },
           "QIODevice.isOpen(): this object is not a QIODevice", "TypeError");
    throws(function() { new QIODevice().isOpen(1); },
           "QIODevice::isOpen(): could not find a function match; candidates are:\nisOpen()");
    throws(function() { new QIODevice(1, 2); },
           "QIODevice::QIODevice(): could not find a function match; candidates are:\n" +
           "QIODevice()\nQIODevice(QObject parent)");
    eq(new QIODevice("x").parent(), null);
    eq(new QIODevice().toString(1, 2), "QIODevice");
});

test("a fresh device answers as QtCore's, and a plain number opens nothing", function() {
    var d = new QIODevice();
    eq(d.isOpen(), false);
    eq(d.isSequential(), false);
    eq(d.pos(), 0);
    eq(d.size(), 0);
    d.open(QIODevice.ReadOnly | QIODevice.Text);
    eq(d.openMode().valueOf(), 0, "17 is no flags value");
    eq(d.isOpen(), false);
    eq(d.open(new QIODevice.OpenMode(QIODevice.ReadOnly, QIODevice.Text)), true);
    eq(d.openMode().valueOf(), 17);
    eq(d.isTextModeEnabled(), true);
    var m = d.openMode();
    eq(Object.getPrototypeOf(m), QIODevice.OpenMode.prototype, "a flags result");
    ok(m !== d.openMode() && m == d.openMode(), "a new flags value each time");
});

test("a device without readData or writeData fails and says which is missing", function() {
    var d = new QIODevice();
    d.open(QIODevice.ReadWrite);
    eq(d.read(4).size(), 0);
    ok(d.errorString().indexOf("readData") >= 0, d.errorString());
    eq(d.write(new QByteArray("abc")), -1);
    ok(d.errorString().indexOf("writeData") >= 0, d.errorString());
    eq(d.getChar(null), false);
});

test("a device written in script: bytes come through getChar into the lent buffer", function() {
    var src = source("hello\nworld\n");
    var d = new QIODevice(), calls = [];
    d.readData = function(buf, max) {
        calls.push(typeof max);
        var n = 0;
        while (n < max && src.getChar(buf)) ++n;
        return n;
    };
    d.isSequential = function() { return true; };
    var modes = [];
    d.open = function(mode) { modes.push(mode.valueOf()); return 0; };
    eq(QIODevice.prototype.open.call(d, QIODevice.ReadOnly), false, "the override decides");
    eq(d.isOpen(), false);
    eq(modes[0], 1);
    delete d.open;
    ok(d.open(QIODevice.ReadOnly));
    eq(str(d.readLine()), "hello\n");
    eq(d.canReadLine(), true);
    eq(str(d.readAll()), "world\n");
    eq(calls[0], "number");
});

test("counts a script reports are clamped to what it supplied", function() {
    var d = new QIODevice();
    d.readData = function(buf, max) { return max; };       // claims bytes it never wrote
    d.open(QIODevice.ReadOnly);
    eq(d.read(100).size(), 0);
    var src = source("ab");
    var e = new QIODevice();
    e.readData = function(buf, max) { src.getChar(buf); src.getChar(buf); return 1e12; };
    e.open(QIODevice.ReadOnly);
    eq(str(e.read(10)), "ab");
    var w = new QIODevice(), seen = 0;
    w.writeData = function(buf, len) { seen += len; return len * 10; };
    w.open(QIODevice.WriteOnly);
    eq(w.write(new QByteArray("abcdef")), 6);
    eq(w.write("text"), 4, "a String is written as its text");
    eq(seen, 10);
    w.writeData = function(buf, len) { return -7; };
    eq(w.write(new QByteArray("x")), -1);
});

test("buffer handles are lent for the call only", function() {
    var src = source("0123456789");
    var kept, keptSource;
    var d = new QIODevice();
    d.readData = function(buf, max) { kept = buf; return src.getChar(buf) ? 1 : 0; };
    d.open(QIODevice.ReadOnly);
    eq(str(d.read(1)), "0");
    var before = src.pos();
    throws(function() { src.getChar(kept); },
           "QIODevice::getChar(): could not find a function match; candidates are:\ngetChar(char c)");
    eq(src.pos(), before, "nothing was read for a kept handle");
    var w = new QIODevice(), threw = "";
    w.writeData = function(buf, len) {
        keptSource = buf;
        try { src.getChar(buf); } catch (e) { threw = e.message; }
        return len;
    };
    w.open(QIODevice.WriteOnly);
    eq(w.write(new QByteArray("abc")), 3);
    ok(threw.indexOf("could not find a function match") >= 0, "writeData's source takes no byte");
    eq(src.getChar(5), true, "an ordinary value drops the byte");
    eq(src.pos(), before + 1);
});

test("overrides that lie about the position cannot move a buffer's copies", function() {
    var arr = new QByteArray("abcdef");
    var b = new QBuffer(arr);
    b.pos = function() { return -1000; };
    b.size = function() { return 1e9; };
    b.bytesAvailable = function() { return -5; };
    ok(b.open(QIODevice.ReadWrite));
    eq(str(b.read(3)), "abc");
    eq(b.write(new QByteArray("XY")), 2);
    eq(str(arr), "abcXYf");
    eq(b.pos(), -1000, "scripts still see their override");
});

test("a readData that reads on past what it was asked for stops at the buffer's end", function() {
    var src = source(new Array(101).join("a"));
    var d = new QIODevice(), asked = [];
    d.readData = function(buf, max) {
        asked.push(max);
        var n = 0;
        while (src.getChar(buf)) ++n;
        return n;
    };
    d.open(new QIODevice.OpenMode(QIODevice.ReadOnly, QIODevice.Unbuffered));
    eq(str(d.read(4)), "aaaa");
    eq(asked.join(), "4");
    eq(src.pos(), 4, "the fifth byte was refused before it was read");
});

// Reads past the 64 KB at which the bindings start growing their array in steps.
test("read, peek and readLine at the chunk size, just past it, and far past it", function() {
    function buffer(bytes) {
        var b = new QBuffer(bytes);
        b.open(QIODevice.ReadOnly);
        return b;
    }
    function line(n, rest) {   // n bytes that end in a newline, then `rest` bytes
        var ba = new QByteArray(n - 1, 120);
        ba.append(new QByteArray("\n"));
        ba.append(new QByteArray(rest, 121));
        return ba;
    }
    var b = buffer(new QByteArray(200000, 120));
    eq(b.readLine(100000).size(), 99999, "maxlen counts the terminating zero");
    eq(b.peek(100000).size(), 100000);
    eq(b.pos(), 99999, "peek does not move");
    eq(b.read(100000).size(), 100000);
    eq(b.read(100000).size(), 1);
    [65535, 65536, 65537].forEach(function(n) {
        var d = buffer(new QByteArray(200000, 120));
        eq(d.peek(n).size(), n, "peek " + n);
        eq(d.read(n).size(), n, "read " + n);
        eq(d.readLine(n).size(), n - 1, "readLine " + n);
        eq(d.pos(), 2 * n - 1);
        eq(buffer(new QByteArray(n, 120)).read(n + 70000).size(), n, "a device shorter than asked");
        eq(buffer(new QByteArray(n, 120)).peek(n + 70000).size(), n);
    });
    // A newline at the end of the first step, just after it, and far past it.
    [65536, 65537, 150000].forEach(function(n) {
        var d = buffer(line(n, 10));
        eq(d.readLine(200000).size(), n, "a line of " + n);
        eq(d.readLine(200000).size(), 10);
        eq(d.readLine(200000).size(), 0);
    });
});

// A device that gives a few bytes per readData: a line still runs to its newline, the limit or a
// read of nothing, as QtCore reads it byte by byte.
test("readLine on a device that gives 1, 2 or 3 bytes per call", function() {
    function piecemeal(text, per, sequential, pauseAt) {
        var src = source(text), d = new QIODevice();
        d.isSequential = function() { return sequential; };
        d.readData = function(buf, max) {
            if (max > 0 && src.pos() === pauseAt) { pauseAt = -1; return 0; }
            var n = 0;
            while (n < per && n < max && src.getChar(buf)) ++n;
            return n;
        };
        d.open(QIODevice.ReadOnly);
        return d;
    }
    function expected(text, limit) {   // the lines QtCore's readLine(limit) gives, in order
        var lines = [], at = 0;
        while (at < text.length) {
            var end = text.indexOf("\n", at) + 1 || text.length;
            if (limit) end = Math.min(end, at + limit - 1);
            lines.push(text.substring(at, end));
            at = end;
        }
        return lines;
    }
    // Lines longer than the first chunk the bindings peek, and than the limit.
    var text = "one\ntwo\n\nthree-is-long\n" + new Array(1001).join("l") + "\nend";
    [true, false].forEach(function(sequential) {
        [1, 2, 3].forEach(function(per) {
            [0, 3, 6, 300, 100000].forEach(function(limit) {
                var what = "sequential " + sequential + ", " + per + " a call, limit " + limit;
                var d = piecemeal(text, per, sequential);
                var want = expected(text, limit);
                for (var i = 0; i < want.length; ++i)
                    eq(str(limit ? d.readLine(limit) : d.readLine()), want[i], what + ", line " + i);
                eq(d.readLine().size(), 0, what + ": nothing after the end");
                eq(d.readAll().size(), 0, what);
            });
        });
        var paused = piecemeal("one\ntwo\n", 2, sequential, 2);
        eq(str(paused.readLine()), "on", "a read of nothing ends the line");
        eq(str(paused.readLine()), "e\n");
        eq(str(paused.readLine()), "two\n");
    });
});

finish();
