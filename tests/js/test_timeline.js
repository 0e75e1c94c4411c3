// QTimeLine: frames, values, the enumerations, and a script valueForTime curve.

test("construction and class shape", function() {
    eq(QTimeLine.length, 2);
    eq(Object.getPrototypeOf(QTimeLine.prototype), QObject.prototype);
    eq(new QTimeLine().duration, 1000);
    eq(new QTimeLine(250).duration, 250);
    var p = new QObject(), tl = new QTimeLine(300, p);
    eq(tl.parent().toString(), p.toString());
    eq(tl.duration, 300);
    throws(function() { QTimeLine(); }, "QTimeLine(): Did you forget to construct with 'new'?");
    throws(function() { new QTimeLine(1, p, 3); },
           "QTimeLine::QTimeLine(): could not find a function match; candidates are:\nQTimeLine(int duration, QObject parent)");
    eq(tl.toString(1, 2), "QTimeLine");
    var own = [];
    for (var k in QTimeLine) if (QTimeLine.hasOwnProperty(k)) own.push(k);
    eq(own.length, 14, "eleven keys and three classes are enumerable");
    var methods = 0;
    for (var m in QTimeLine.prototype) if (QTimeLine.prototype.hasOwnProperty(m)) ++methods;
    eq(methods, 0, "methods are not enumerable");
});

test("frames", function() {
    var tl = new QTimeLine(1000);
    tl.setFrameRange(10, 110);
    eq(tl.startFrame(), 10);
    eq(tl.endFrame(), 110);
    tl.setStartFrame(0);
    tl.setEndFrame("200");
    eq(tl.endFrame(), 200, "frames by toInt32");
    eq(tl.currentFrame(), 0);
    eq(tl.frameForTime(1000), 200);
    eq(tl.frameForTime(-50), 0, "QtCore clamps the time");
    eq(tl.currentValue(), 0);
    ok(tl.state() === QTimeLine.NotRunning);
    eq(tl.valueForTime(0), 0);
    eq(tl.valueForTime(1000), 1);
    ok(Math.abs(tl.valueForTime(500) - 0.5) < 1e-9, "QtCore's curve at the middle");
});

test("mismatches and this checks", function() {
    var tl = new QTimeLine();
    throws(function() { tl.setFrameRange(1); },
           "QTimeLine::setFrameRange(): could not find a function match; candidates are:\n" +
           "setFrameRange(int startFrame, int endFrame)");
    throws(function() { tl.currentFrame(1); },
           "QTimeLine::currentFrame(): could not find a function match; candidates are:\ncurrentFrame()");
    throws(function() { QTimeLine.prototype.currentFrame.call(new QTimer()); },
           "QTimeLine.currentFrame(): this object is not a QTimeLine", "TypeError");
    throws(function() { QTimeLine.prototype.currentFrame.call(new QTimer(), 1, 2); },
           "QTimeLine.currentFrame(): this object is not a QTimeLine", "TypeError");
});

test("enumerations", function() {
    eq(QTimeLine.Running.valueOf(), 2);
    eq(QTimeLine.Running.toString(), "Running");
    ok(new QTimeLine.State(1) === QTimeLine.Paused);
    ok(QTimeLine.CurveShape() === QTimeLine.EaseInCurve);
    ok(QTimeLine.Direction(1) === QTimeLine.Backward);
    eq(QTimeLine.CosineCurve.valueOf(), 5);
    throws(function() { QTimeLine.State(3); }, "State(): invalid enum value (3)");
    throws(function() { QTimeLine.Direction(-1); }, "Direction(): invalid enum value (-1)");
    throws(function() { QTimeLine.CurveShape(6); }, "CurveShape(): invalid enum value (6)");
});

test("direction and curveShape read and write as their enumeration values", function() {
    var tl = new QTimeLine(1000);
    ok(tl.direction === QTimeLine.Forward, "direction: " + tl.direction);
    ok(tl.curveShape === QTimeLine.EaseInOutCurve, "curveShape: " + tl.curveShape);
    tl.curveShape = QTimeLine.LinearCurve;
    ok(tl.curveShape === QTimeLine.LinearCurve);
    eq(tl.valueForTime(250), 0.25, "the linear curve");
    tl.direction = QTimeLine.Backward;
    ok(tl.direction === QTimeLine.Backward);
    tl.start();
    eq(tl.currentTime, 1000, "a backward time line starts at its end");
    tl.stop();
    tl.toggleDirection();
    ok(tl.direction === QTimeLine.Forward, "QtCore's own change reads back");
    tl.curveShape = 3;
    ok(tl.curveShape === QTimeLine.EaseInCurve, "a plain number is no CurveShape: 0");
});

test("a script valueForTime replaces the curve for QtCore's callers too", function() {
    var tl = new QTimeLine(1000), args = [];
    tl.setFrameRange(0, 100);
    tl.valueForTime = function(ms) { args.push(ms); return ms / 4000; };
    eq(QTimeLine.prototype.valueForTime.call(tl, 500), 0.125);
    eq(args[0], 500);
    eq(tl.frameForTime(1000), 25, "frameForTime calls the override");
    eq(tl.currentValue(), 0);
    tl.valueForTime = function() {};
    ok(isNaN(QTimeLine.prototype.valueForTime.call(tl, 500)), "undefined gives NaN");
    tl.valueForTime = function() { return "0.75"; };
    eq(QTimeLine.prototype.valueForTime.call(tl, 1), 0.75);
    delete tl.valueForTime;
    eq(tl.valueForTime(1000), 1, "QtCore's curve is back");
});

test("a running time line advances through QTimeLine's timerEvent", function() {
    var tl = new QTimeLine(60), values = [], finished = false;
    tl.updateInterval = 10;
    tl.valueForTime = function(ms) { return ms < 60 ? 0.5 : 1; };
    tl.valueChanged.connect(function(v) { values.push(v); });
    tl.finished.connect(function() { finished = true; });
    tl.start();
    ok(tl.state() === QTimeLine.Running);
    ok(waitFor(function() { return finished; }), "finished");
    ok(tl.state() === QTimeLine.NotRunning);
    ok(values.length > 0 && values.every(function(v) { return v == 0.5 || v == 1; }),
       "valueChanged carries the script's values: " + values);
});

finish();
