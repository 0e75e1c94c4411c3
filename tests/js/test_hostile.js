// Hostile scripts: tampered objects, stolen functions, replaced globals, overrides that
// misbehave, objects used after deletion. Each must end in a value or a script error.

// Calls fn; a script error is fine, a crash is not. Returns what it returned or threw.
function attempt(fn) {
    try {
        return fn();
    } catch (e) {
        return e;
    }
}

function isError(v) { return v instanceof Error; }

// Runs fn with the global `name` replaced by `value`, then puts the original back.
function withGlobal(name, value, fn) {
    var saved = this[name];
    this[name] = value;
    try {
        fn(saved);
    } finally {
        this[name] = saved;
    }
}

test("prototypes swapped between classes", function () {
    var t = new QTimer();
    t.__proto__ = QEventLoop.prototype;
    throws(function () { t.isRunning(); }, "QEventLoop.isRunning(): this object is not a QEventLoop", "TypeError");
    throws(function () { t.processEvents(); }, undefined, "TypeError");
    t.__proto__ = QTimer.prototype;
    eq(t.timerId(), -1, "the timer works again under its own prototype");

    var loop = new QEventLoop();
    loop.__proto__ = QTimer.prototype;
    throws(function () { loop.timerId(); }, "QTimer.timerId(): this object is not a QTimer", "TypeError");

    var e = new QEvent(QEvent.User);
    e.__proto__ = QTimerEvent.prototype;
    throws(function () { e.timerId(); }, undefined, "TypeError");
    var te = new QTimerEvent(7);
    te.__proto__ = QEvent.prototype;
    eq(te.type(), QEvent.Timer, "a subclass object under its base's prototype");

    var b = new QByteArray("abc");
    b.__proto__ = QBitArray.prototype;
    throws(function () { b.size(); }, undefined, "TypeError");
    b.__proto__ = QObject.prototype;
    throws(function () { b.children(); }, undefined, "TypeError");

    // Plain objects and primitives posing as instances.
    var fake = {__proto__: QObject.prototype};
    throws(function () { fake.parent(); }, "QObject.parent(): this object is not a QObject", "TypeError");
    throws(function () { QTimer.prototype.start.call(5, 0); }, undefined, "TypeError");
    throws(function () { QByteArray.prototype.append.call("x", "y"); }, undefined, "TypeError");
    throws(function () { QObject.prototype.children.call(QObject.prototype); }, undefined, "TypeError");
    throws(function () { QObject.prototype.setParent.call(QEventLoop.AllEvents, null); }, undefined, "TypeError");
});

test("__qt_data__ cannot be rewritten or deleted", function () {
    var f = QObject.prototype.event;
    var before = f.__qt_data__;
    ok(typeof before == "number", "binding functions carry their tag");
    f.__qt_data__ = 0;
    eq(f.__qt_data__, before, "read-only");
    eq(delete f.__qt_data__, false, "undeletable");
    eq(f.__qt_data__, before);
    QObject.__qt_data__ = "x";
    delete QObject.__qt_data__;
    ok(isError(attempt(function () { return QObject(); })), "the constructor still refuses a call without new");

    // An override that carries a forged tag: either it runs or the base does.
    var o = new QObject();
    var seen = 0;
    var forged = function (e) { ++seen; return true; };
    forged.__qt_data__ = before;
    o.event = forged;
    eq(typeof QCoreApplication.sendEvent(o, new QEvent(QEvent.User)), "boolean");
    ok(seen <= 1);

    // The binding's own function set as an override is no override: no endless recursion.
    var p = new QObject();
    p.event = QObject.prototype.event;
    eq(QCoreApplication.sendEvent(p, new QEvent(QEvent.User)), true, "the base took the user event");
    var objectData = p.__qt_data__;
    p.__qt_data__ = 1;
    delete p.__qt_data__;
    eq(p.children().length, 0);
    eq(objectData === undefined || typeof objectData == "number", true);
});

test("constructors called as methods", function () {
    var t = new QTimer();
    throws(function () { QObject.call(t); }, "QObject(): Did you forget to construct with 'new'?");
    throws(function () { QTimer.call(t, t); }, "QTimer(): Did you forget to construct with 'new'?");
    throws(function () { QTimer.apply(QEventLoop.AllEvents, []); });
    throws(function () { QByteArray.call(QEventLoop.WaitForMoreEvents, "x"); });
    var holder = {make: QEventLoop};
    throws(function () { holder.make(); });
    t.make = QObject;
    throws(function () { t.make(t); });
    eq(t.timerId(), -1, "the object lives on");

    // Enumeration and flags classes and their methods on foreign objects.
    eq(QEventLoop.ProcessEventsFlag.call(t, 4), QEventLoop.WaitForMoreEvents);
    eq(QEventLoop.ProcessEventsFlag.call(QTimeLine.NotRunning, 0), QEventLoop.AllEvents);
    throws(function () { QEventLoop.ProcessEventsFlag(12345); });
    throws(function () { QEventLoop.ProcessEventsFlags(QTimeLine.NotRunning); }, undefined, "TypeError");
    var valueOf = QEventLoop.AllEvents.valueOf;
    eq(valueOf.call(t), 0);
    eq(valueOf.call(QTimeLine.Running), 0, "a value of another enumeration reads as 0");
    eq(typeof QEventLoop.AllEvents.toString.call({}), "string");
    var flags = QEventLoop.ProcessEventsFlags(QEventLoop.WaitForMoreEvents);
    eq(flags.equals.call(t, flags), false);
    eq(flags.valueOf.call(null), 0);
    eq(typeof flags.toString.call(QEventLoop.prototype), "string");

    // `new` on what is no constructor.
    ok(isError(attempt(function () { return new QObject.prototype.parent(); })));
    ok(isError(attempt(function () { return new QEventLoop.AllEvents.valueOf(); })) || true);
    attempt(function () { return new QTimer.singleShot(0, function () {}); });
});

test("global class objects replaced, then results converted", function () {
    var t = new QTimer();
    var child = new QObject(t);
    withGlobal("QObject", 0, function (SavedQObject) {
        var o = new SavedQObject(t);
        eq(t.children().length, 2, "object results convert without the global");
        ok(o.parent() !== null);
        eq(typeof String(t.children()[0]), "string");
        o.setParent(null);
    });
    withGlobal("QTimeLine", 0, function (Saved) {
        var line = new Saved(100);
        var state = attempt(function () { return line.state(); });
        ok(!isError(state) || state instanceof Error, "an enumeration result without its owner");
        attempt(function () { return String(state); });
    });
    withGlobal("QTimeLine", {NotRunning: "impostor"}, function (Saved) {
        var line = new Saved(100);
        attempt(function () { return String(line.state()); });
        attempt(function () { return line.setCurveShape(line.curveShape()); });
    });
    // The engine's own conversions (a signal's argument, a property) meet the same owner.
    var watched = new QTimeLine(100), states = [];
    watched.stateChanged.connect(function (s) { states.push(s); });
    withGlobal("QTimeLine", {}, function () {
        watched.start();
        watched.stop();
        eq(watched.direction, undefined, "a property's value without its owner's key");
    });
    eq(states.length, 2);
    eq(states[0], undefined, "a signal's argument without its owner's key");
    var throwing = {};
    throwing.__defineGetter__("NotRunning", function () { throw new Error("hostile getter"); });
    withGlobal("QTimeLine", throwing, function (Saved) {
        var line = new Saved(100);
        attempt(function () { return line.state(); });
    });
    withGlobal("QEventLoop", null, function (Saved) {
        var loop = new Saved();
        loop.processEvents();
        eq(loop.isRunning(), false);
    });
    withGlobal("QEvent", "text", function (Saved) {
        var e = new Saved(Saved.User);
        attempt(function () { return String(e.type()); });
    });
    eq(child.parent() !== null, true);
    eq(new QTimeLine(10).state(), QTimeLine.NotRunning, "all is well once the globals are back");
});

test("enumeration and flags classes deleted", function () {
    var savedFlags = QEventLoop.ProcessEventsFlags;
    var savedFlag = QEventLoop.ProcessEventsFlag;
    var savedState = QTimeLine.State;
    var stateToString = savedState.prototype.toString, stateValueOf = savedState.prototype.valueOf;
    try {
        delete QEventLoop.ProcessEventsFlags;
        delete QEventLoop.ProcessEventsFlag;
        delete QTimeLine.State;
        eq(delete QEventLoop.AllEvents, false, "value objects stay");
        var loop = new QEventLoop();
        loop.processEvents(QEventLoop.AllEvents);
        loop.processEvents(savedFlags(QEventLoop.AllEvents), 1);
        var line = new QTimeLine(100);
        var s = line.state();
        eq(String(s), "NotRunning", "a result still converts");
        eq(s.valueOf(), 0);
        eq(QEventLoop.AllEvents.toString(), "AllEvents");
        // Their prototypes tampered with as well.
        savedState.prototype.toString = function () { throw new Error("hostile toString"); };
        ok(isError(attempt(function () { return String(line.state()); })));
        savedState.prototype.valueOf = function () { return "not a number"; };
        attempt(function () { return line.setCurrentTime(line.state()); });
        attempt(function () { return line.setDirection(line.state()); });
        eq(line.frameForTime(0), 0);
    } finally {
        savedState.prototype.toString = stateToString;
        savedState.prototype.valueOf = stateValueOf;
        QEventLoop.ProcessEventsFlags = savedFlags;
        QEventLoop.ProcessEventsFlag = savedFlag;
        QTimeLine.State = savedState;
    }
    eq(String(new QTimeLine(10).state()), "NotRunning");
});

test("overrides that recurse, throw, or return the wrong type", function () {
    var o = new QObject();
    var depth = 0;
    o.event = function (e) { ++depth; return QCoreApplication.sendEvent(o, e); };
    ok(isError(attempt(function () { return QCoreApplication.sendEvent(o, new QEvent(QEvent.User)); })),
       "endless recursion through the native side ends in an error");
    ok(depth > 1);

    var p = new QObject();
    // The base called through the prototype reaches the override again (the call is virtual).
    p.event = function (e) { return QObject.prototype.event.call(this, e); };
    ok(isError(attempt(function () { return QCoreApplication.sendEvent(p, new QEvent(QEvent.User)); })));
    var q = new QObject();
    q.event = function (e) { return q.event(e); };
    ok(isError(attempt(function () { return QCoreApplication.sendEvent(q, new QEvent(QEvent.User)); })));

    var r = new QObject();
    r.event = function () { throw new Error("hostile event"); };
    ok(isError(attempt(function () { return QCoreApplication.sendEvent(r, new QEvent(QEvent.User)); })));
    var wrong = [undefined, null, "yes", {}, [], 2.5, function () {},
                 {valueOf: function () { throw new Error("hostile"); }}];
    for (var i = 0; i < wrong.length; ++i) {
        var w = wrong[i];
        r.event = function () { return w; };
        var got = attempt(function () { return QCoreApplication.sendEvent(r, new QEvent(QEvent.User)); });
        ok(typeof got == "boolean" || isError(got), "event override returning " + typeof w);
    }

    // Overrides run from the event loop, where no script called them.
    var t = new QTimer();
    var fired = 0;
    t.timerEvent = function () { ++fired; throw new Error("hostile timerEvent"); };
    t.start(0);
    waitFor(function () { return fired >= 2; }, 2000);
    t.stop();
    ok(fired >= 1, "the throwing override kept being called");
    var filtered = 0;
    var filter = new QObject();
    filter.eventFilter = function () { ++filtered; return {length: 4e9}; };
    var watched = new QTimer();
    watched.installEventFilter(filter);
    watched.start(0);
    waitFor(function () { return filtered >= 2; }, 2000);
    watched.stop();
    watched.removeEventFilter(filter);
    ok(filtered >= 1);
    var c = new QObject();
    c.childEvent = function (e) { return c.childEvent(e); };
    attempt(function () { return new QObject(c); });
    eq(c.children().length, 1, "the child was added despite the override");
});

test("a QObject deleted, then used", function () {
    var o = new QObject();
    var child = new QObject(o);
    var t = new QTimer(o);
    o.deleteLater();
    QCoreApplication.sendPostedEvents(o, QEvent.DeferredDelete.valueOf());
    // The engine's wrapping refuses members of a deleted object; the bindings, called
    // directly, find no object.
    throws(function () { o.parent(); });
    throws(function () { QObject.prototype.parent.call(o); }, "QObject.parent(): this object is not a QObject", "TypeError");
    throws(function () { QObject.prototype.children.call(child); }, undefined, "TypeError");
    throws(function () { QObject.prototype.setParent.call(o, null); }, undefined, "TypeError");
    throws(function () { QTimer.prototype.timerId.call(t); }, undefined, "TypeError");
    throws(function () { QObject.prototype.startTimer.call(t, 10); }, undefined, "TypeError");
    attempt(function () { return String(o); });
    var n = new QObject(o);
    eq(n.parent(), null, "a deleted object is no parent");
    var m = new QObject();
    m.setParent(o);
    eq(m.parent(), null);
    ok(isError(attempt(function () { return QCoreApplication.sendEvent(o, new QEvent(QEvent.User)); })));
    attempt(function () { QCoreApplication.postEvent(o, new QEvent(QEvent.User)); });
    attempt(function () { new QObject().installEventFilter(o); });
    attempt(function () { return QEventLoop.prototype.isRunning.call(o); });
    attempt(function () { o.deleteLater(); });
    QCoreApplication.processEvents();
});

test("objects refuse parent cycles and the application a parent", function () {
    var a = new QObject();
    var b = new QObject(a);
    var c = new QObject(b);
    throws(function () { a.setParent(a); }, "QObject.setParent(): an object cannot be its own ancestor", "TypeError");
    throws(function () { a.setParent(c); }, "QObject.setParent(): an object cannot be its own ancestor", "TypeError");
    eq(a.parent(), null);
    c.setParent(a);
    eq(a.children().length, 2);
    throws(function () { QCoreApplication.instance().setParent(a); },
           "QObject.setParent(): the application object cannot have a parent", "TypeError");
    QCoreApplication.instance().setParent(null);
});

test("events of the wrong class are refused before Qt reads them", function () {
    var o = new QObject();
    throws(function () { o.event(new QEvent(QEvent.MetaCall)); }, undefined, "TypeError");
    throws(function () { o.event(new QEvent(QEvent.Timer)); }, undefined, "TypeError");
    throws(function () { o.eventFilter(o, new QEvent(QEvent.ChildAdded)); }, undefined, "TypeError");
    eq(o.event(new QTimerEvent(1)), true);
});

test("list arguments with a huge length are refused before they are read", function () {
    var paths = QCoreApplication.libraryPaths();
    throws(function () { QCoreApplication.setLibraryPaths({length: 4e9}); },
           "QCoreApplication::setLibraryPaths(): list length out of range", "RangeError");
    eq(QCoreApplication.libraryPaths().join(), paths.join(), "nothing was set");
});

// The dispatcher's case labels hold 16 argument counts per function: a call with 16 or more
// arguments must not reach the next function's cases (chop, then clear; postEvent, then
// processEvents with none or one argument).
test("16 or 17 arguments are a mismatch, never the next function", function () {
    function args(n) { var a = [1]; while (a.length < n) a.push(0); return a; }
    function mismatch(cls, fn, call) {
        var e = throws(call, undefined, "Error");
        eq(e.message.indexOf(cls + "::" + fn + "(): could not find a function match"), 0, e.message);
    }
    var a = new QByteArray("abc");
    for (var n = 15; n <= 17; ++n) {
        mismatch("QByteArray", "chop", function () { return a.chop.apply(a, args(n)); });
        mismatch("QCoreApplication", "postEvent",
                 function () { return QCoreApplication.postEvent.apply(QCoreApplication, args(n)); });
    }
    eq(a.size(), 3, "not cleared");
});

finish();
