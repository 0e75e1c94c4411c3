// QSocketNotifier: construction, the Type enumeration, and event() falling back on QtCore's
// (which emits activated). Descriptor 2 is writable wherever the tests run.

function done(n) { n.setEnabled(false); n.deleteLater(); }

test("construction and methods", function() {
    eq(QSocketNotifier.length, 3);
    var p = QSocketNotifier.prototype;
    eq(p.isEnabled.length + p.socket.length + p.type.length + p.toString.length, 0);
    eq(Object.getPrototypeOf(p), QObject.prototype);
    var n = new QSocketNotifier(0, QSocketNotifier.Read);
    eq(n.socket(), 0);
    ok(n.type() === QSocketNotifier.Read);
    eq(n.isEnabled(), true);
    n.setEnabled(false);
    eq(n.isEnabled(), false, "the slot reaches the object");
    eq(n.toString(1), "QSocketNotifier");
    done(n);

    var w = new QSocketNotifier(2, QSocketNotifier.Write);
    ok(w.type() === QSocketNotifier.Write, "type() is the value object itself");
    done(w);
    var x = new QSocketNotifier(2, 1);
    ok(x.type() === QSocketNotifier.Read, "a plain number is no Type value");
    done(x);
    var parent = new QObject(), c = new QSocketNotifier("2", QSocketNotifier.Exception, parent);
    eq(c.socket(), 2, "descriptor by toInt32");
    eq(c.parent().toString(), parent.toString());
    ok(c.type() === QSocketNotifier.Exception);
    done(c);
});

test("mismatches and this checks", function() {
    var ctor = "QSocketNotifier::QSocketNotifier(): could not find a function match; candidates are:\n" +
               "QSocketNotifier(int socket, Type arg__2, QObject parent)";
    throws(function() { new QSocketNotifier(); }, ctor);
    throws(function() { new QSocketNotifier(0); }, ctor);
    throws(function() { new QSocketNotifier(0, QSocketNotifier.Read, null, 4); }, ctor);
    throws(function() { QSocketNotifier(0, QSocketNotifier.Read); },
           "QSocketNotifier(): Did you forget to construct with 'new'?");
    var n = new QSocketNotifier(0, QSocketNotifier.Read);
    throws(function() { n.socket(1); },
           "QSocketNotifier::socket(): could not find a function match; candidates are:\nsocket()");
    throws(function() { QSocketNotifier.prototype.type.call(new QTimer()); },
           "QSocketNotifier.type(): this object is not a QSocketNotifier", "TypeError");
    throws(function() { QSocketNotifier.prototype.isEnabled.call(QSocketNotifier.prototype); },
           "QSocketNotifier.isEnabled(): this object is not a QSocketNotifier", "TypeError");
    done(n);
});

test("an invalid descriptor is QtCore's concern", function() {
    var n = new QSocketNotifier(-1, QSocketNotifier.Read);
    eq(n.socket(), -1);
    n.setEnabled(true);
    waitFor(function() { return false; }, 20);
    done(n);
});

test("the Type enumeration", function() {
    eq(QSocketNotifier.Write.valueOf(), 1);
    eq(QSocketNotifier.Write.toString(), "Write");
    ok(new QSocketNotifier.Type(2) === QSocketNotifier.Exception);
    ok(QSocketNotifier.Type() === QSocketNotifier.Read);
    throws(function() { QSocketNotifier.Type(3); }, "Type(): invalid enum value (3)");
    throws(function() { QSocketNotifier.Type(-1); }, "Type(): invalid enum value (-1)");
    var own = [];
    for (var k in QSocketNotifier) if (QSocketNotifier.hasOwnProperty(k)) own.push(k);
    eq(own.sort().join(), "Exception,Read,Type,Write");
});

test("event falls back on QSocketNotifier's, and a script override replaces it", function() {
    var n = new QSocketNotifier(2, QSocketNotifier.Write), fired = 0;
    n["activated(int)"].connect(function(fd) { eq(fd, 2); ++fired; n.setEnabled(false); });
    ok(waitFor(function() { return fired > 0; }), "activated emitted by QtCore's event()");
    done(n);

    var m = new QSocketNotifier(2, QSocketNotifier.Write), seen = 0, emitted = 0;
    m["activated(int)"].connect(function() { ++emitted; });
    m.event = function(e) { ++seen; this.setEnabled(false); return true; };
    ok(waitFor(function() { return seen > 0; }), "override receives the events");
    eq(emitted, 0, "QtCore's event() did not run");
    done(m);
});

finish();
