// QEventLoop and its ProcessEventsFlag / ProcessEventsFlags classes.

test("lengths", function() {
    eq(QEventLoop.length, 1);
    var p = QEventLoop.prototype;
    eq(p.processEvents.length, 2);
    eq(p.exec.length, 1);
    eq(p.exit.length, 1);
    eq(p.isRunning.length, 0);
    eq(p.wakeUp.length, 0);
    eq(p.toString.length, 0);
});

test("methods", function() {
    var loop = new QEventLoop();
    eq(loop.isRunning(), false);
    eq(loop.exit(3), undefined);
    eq(typeof loop.processEvents(), "boolean");
    eq(typeof loop.processEvents(QEventLoop.ExcludeUserInputEvents), "boolean");
    eq(loop.processEvents(QEventLoop.AllEvents, 10), undefined);
    eq(loop.wakeUp(), undefined);
    eq(loop.toString(1, 2), "QEventLoop");
    throws(function() { loop.processEvents(1, 2, 3); },
           "QEventLoop::processEvents(): could not find a function match; candidates are:\n" +
           "processEvents(ProcessEventsFlags flags)\nprocessEvents(ProcessEventsFlags flags, int maximumTime)");
    throws(function() { loop.isRunning(1); },
           "QEventLoop::isRunning(): could not find a function match; candidates are:\nisRunning()");
    throws(function() { new QEventLoop(1, 2); },
           "QEventLoop::QEventLoop(): could not find a function match; candidates are:\nQEventLoop(QObject parent)");
    throws(function() { QEventLoop(); }, "QEventLoop(): Did you forget to construct with 'new'?");
});

test("this must be a QEventLoop", function() {
    throws(function() { QEventLoop.prototype.wakeUp.call(new QTimer()); },
           "QEventLoop.wakeUp(): this object is not a QEventLoop", "TypeError");
    throws(function() { QEventLoop.prototype.wakeUp.call(new QTimer(), 1, 2); },
           "QEventLoop.wakeUp(): this object is not a QEventLoop", "TypeError");
});

test("exec runs until exit, and returns the exit code", function() {
    var loop = new QEventLoop(), t = new QTimer(), running;
    t.singleShot = true;
    t.timeout.connect(function() { running = loop.isRunning(); loop.exit(7); });
    t.start(5);
    eq(loop.exec(), 7);
    eq(running, true);
    eq(loop.isRunning(), false);
});

test("a number is no flags value: exec(4) runs with flags 0", function() {
    // With WaitForMoreEvents, exec would block forever on an idle loop's single pass; with 0 it
    // runs until exit. The observable difference: both exit through the timer.
    var loop = new QEventLoop(), t = new QTimer();
    t.singleShot = true;
    t.timeout.connect(function() { loop.exit(1); });
    t.start(5);
    eq(loop.exec(4), 1);
    t.start(5);
    eq(loop.exec(QEventLoop.ProcessEventsFlags(4)), 1);
});

test("processEvents delivers posted work", function() {
    var o = new QObject(), seen = 0;
    o.timerEvent = function(e) { ++seen; };
    var id = o.startTimer(1);
    ok(waitFor(function() { return seen > 0; }), "timer events delivered");
    o.killTimer(id);
});

finish();
