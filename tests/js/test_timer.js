// QTimer: a shell wrapped as an object, chained to QObject.

test("construction and chain", function() {
    var t = new QTimer();
    eq(Object.getPrototypeOf(t), QTimer.prototype);
    eq(Object.getPrototypeOf(QTimer.prototype), QObject.prototype);
    eq(t.blockSignals(true), false, "QObject methods work on timers");
    eq(t.toString(), "QTimer");
    eq(t.toString(7), "QTimer");
    eq(t.timerId(), -1, "not running");
    throws(function() { QTimer(); }, "QTimer(): Did you forget to construct with 'new'?", "Error");
    throws(function() { new QTimer(1, 2); },
           "QTimer::QTimer(): could not find a function match; candidates are:\nQTimer(QObject parent)", "Error");
    throws(function() { t.timerId(1); },
           "QTimer::timerId(): could not find a function match; candidates are:\ntimerId()");
});

test("this must be a QTimer", function() {
    throws(function() { QTimer.prototype.timerId.call(new QObject()); },
           "QTimer.timerId(): this object is not a QTimer", "TypeError");
    throws(function() { QTimer.prototype.timerId.call({}); },
           "QTimer.timerId(): this object is not a QTimer", "TypeError");
    throws(function() { QTimer.prototype.timerId.call(QTimer.prototype); },
           "QTimer.timerId(): this object is not a QTimer", "TypeError");
    throws(function() { QTimer.prototype.toString.call(new QEventLoop()); },
           "QTimer.toString(): this object is not a QTimer", "TypeError");
});

test("a timer runs and fires through the engine's signals", function() {
    var t = new QTimer(), fired = 0;
    t.singleShot = true;
    t.timeout.connect(function() { ++fired; });
    t.start(10);
    ok(t.timerId() > 0, "running timer has an id");
    ok(waitFor(function() { return fired == 1; }), "timeout fired");
});

test("a script timerEvent override replaces QTimer's own", function() {
    var t = new QTimer(), events = 0, timeouts = 0, ids = [];
    t.timerEvent = function(e) { ++events; ids.push(e); };
    t.timeout.connect(function() { ++timeouts; });
    t.start(5);
    ok(waitFor(function() { return events >= 2; }), "override called");
    t.stop();
    eq(timeouts, 0, "QTimer::timerEvent did not run");
    delete t.timerEvent;
    t.start(5);
    ok(waitFor(function() { return timeouts >= 1; }), "base behaviour back after delete");
    t.stop();
});

test("a parent deletes its timer", function() {
    var p = new QObject(), t = new QTimer(p);
    eq(p.children().length, 1);
    p.deleteLater();
    waitFor(function() { return false; }, 20);
    throws(function() { t.timerId(); });  // the engine's own "deleted QObject" error
    throws(function() { QTimer.prototype.timerId.call(t); },
           "QTimer.timerId(): this object is not a QTimer", "TypeError");
});

finish();
