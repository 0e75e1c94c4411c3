// Schedules small timed tasks from a repeating timer, for a number of ticks: a single-shot timer
// per tick, an object counting its own timer (startTimer/killTimer in a timerEvent override),
// time lines run to their end, a QBasicTimer on an object, an event posted to an object's
// customEvent, and a small tree of objects made and let go every tick. Objects are dropped when
// their task is done, some with deleteLater. Prints how many tasks of each kind completed, which
// the tick count alone decides. Twin of scheduler.cpp.
//
//     ./run.sh bench/soak/scheduler.js -- <seconds>

var seconds = Number(args[0] || 60);
var ticksPerSecond = 20;
var ticks = Math.max(1, Math.round(seconds * ticksPerSecond));

var done = { shot: 0, counted: 0, timeline: 0, basic: 0, event: 0 };
var pending = 0, objects = 0, tick = 0, frames = 0;
var loop = new QEventLoop();

function finished(kind) {
    ++done[kind];
    if (--pending == 0 && tick == ticks)
        loop.exit(0);
}

function singleShot(t) {
    var shot = new QTimer();
    shot.singleShot = true;
    shot.timeout.connect(function() {
        if (t % 2)
            shot.deleteLater();
        finished("shot");
    });
    ++pending;
    shot.start(t % 7);
}

function countedTimer() {
    var counter = new QObject(), events = 0;
    counter.timerEvent = function(e) {
        if (e.timerId() != id || ++events < 3)
            return;
        this.killTimer(id);
        finished("counted");
    };
    ++pending;
    var id = counter.startTimer(3);
}

function timeLine(t) {
    var line = new QTimeLine(40);
    line.updateInterval = 10;
    line.setFrameRange(0, 8);
    line.frameChanged.connect(function() { ++frames; });
    line.finished.connect(function() {
        if (t % 8 == 0)
            line.deleteLater();
        finished("timeline");
    });
    ++pending;
    line.start();
}

function basicTimer() {
    var timer = new QBasicTimer(), target = new QObject(), events = 0;
    target.timerEvent = function(e) {
        if (e.timerId() != timer.timerId() || ++events < 2)
            return;
        timer.stop();
        finished("basic");
    };
    ++pending;
    timer.start(7, target);
}

function postedEvent() {
    var receiver = new QObject();
    receiver.customEvent = function(e) {
        if (e.type() == QEvent.User)
            finished("event");
    };
    ++pending;
    QCoreApplication.postEvent(receiver, new QEvent(QEvent.User));
}

// A parent with five children, each with one of its own, named and given a property.
function tree(t) {
    var parent = new QObject();
    parent.objectName = "tick " + t;
    for (var i = 0; i < 5; ++i) {
        var child = new QObject(parent);
        child.setProperty("index", i);
        new QObject(child).objectName = "grandchild";
    }
    objects += 11;
    if (t % 2)
        parent.deleteLater();
}

var ticker = new QTimer();
ticker.timeout.connect(function() {
    var t = tick;
    singleShot(t);
    if (t % 2 == 0)
        countedTimer();
    if (t % 3 == 0)
        basicTimer();
    if (t % 4 == 0)
        timeLine(t);
    if (t % 10 == 0)
        postedEvent();
    tree(t);
    if (++tick == ticks)
        ticker.stop();
});
ticker.start(1000 / ticksPerSecond);
loop.exec();

print("ticks " + tick + ", objects " + objects);
print("single shots " + done.shot + ", counted timers " + done.counted + ", time lines " +
      done.timeline + ", basic timers " + done.basic + ", posted events " + done.event);
print("tasks " + (done.shot + done.counted + done.timeline + done.basic + done.event) +
      ", pending " + pending + ", frames seen: " + (frames > 0 ? "yes" : "no"));
