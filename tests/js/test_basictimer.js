// QBasicTimer: a value class whose copies share one timer.

test("construction, methods and errors", function() {
    var t = new QBasicTimer();
    eq(QBasicTimer.length, 0);
    eq(t.isActive(), false);
    eq(t.timerId(), 0);
    eq(t.toString("x"), "QBasicTimer");
    throws(function() { new QBasicTimer(5); },
           "QBasicTimer::QBasicTimer(): could not find a function match; candidates are:\nQBasicTimer()", "Error");
    throws(function() { QBasicTimer(); }, "QBasicTimer(): Did you forget to construct with 'new'?", "Error");
    throws(function() { t.start(10); },
           "QBasicTimer::start(): could not find a function match; candidates are:\nstart(int msec, QObject obj)");
    throws(function() { t.isActive(1); },
           "QBasicTimer::isActive(): could not find a function match; candidates are:\nisActive()");
    throws(function() { QBasicTimer.prototype.isActive.call(new QTimer()); },
           "QBasicTimer.isActive(): this object is not a QBasicTimer", "TypeError");
    throws(function() { QBasicTimer.prototype.stop(); },
           "QBasicTimer.stop(): this object is not a QBasicTimer", "TypeError");
    throws(function() { QBasicTimer.prototype.timerId.call(new QEvent(QEvent.Timer)); },
           "QBasicTimer.timerId(): this object is not a QBasicTimer", "TypeError");
});

test("the timer keeps ticking across method calls", function() {
    var o = new QObject(), t = new QBasicTimer(), ids = [];
    o.timerEvent = function(e) { ids.push(e.timerId()); };
    t.start(5, o);
    // Each call reads `this`; none of them may stop the running timer.
    for (var i = 0; i < 20; ++i) {
        ok(t.isActive(), "active after " + i + " calls");
        ok(t.timerId() > 0, "id");
        t.toString();
    }
    ok(waitFor(function() { return ids.length >= 3; }), "events keep coming");
    eq(ids[0], t.timerId(), "events carry the timer's id");
    t.start(5, o);  // restart: a new id, still running
    ok(t.isActive());
    var n = ids.length;
    ok(waitFor(function() { return ids.length >= n + 2; }), "restarted timer ticks");
    t.stop();
    eq(t.isActive(), false);
    eq(t.timerId(), 0);
    n = ids.length;
    waitFor(function() { return false; }, 40);
    eq(ids.length, n, "no events after stop");
});

test("start with something that is no object starts nothing", function() {
    var t = new QBasicTimer();
    t.start(5, 7);
    eq(t.isActive(), false);
    var o = new QObject(), got = 0;
    o.timerEvent = function() { ++got; };
    t.start(5, o);
    ok(t.isActive());
    t.start(5, null);  // Qt stops the old timer and starts none
    eq(t.isActive(), false);
    waitFor(function() { return false; }, 30);
    eq(got, 0);
});
finish();
