// Script runnables on the global pool and on pools of their own: they run on the engine's
// thread, whenever the script waits or the event loop runs.

var global = QThreadPool.globalInstance();

function runnable(fn) {
    var r = new QRunnable();
    r.run = fn;
    return r;
}

test("runnable and pool surface", function() {
    var r = new QRunnable();
    eq(r.autoDelete(), true);
    r.setAutoDelete("");
    eq(r.autoDelete(), false);
    eq(r.toString(1), "QRunnable");
    throws(function() { new QRunnable(1); },
           "QRunnable::QRunnable(): could not find a function match; candidates are:\nQRunnable()");
    throws(function() { QRunnable(); }, "QRunnable(): Did you forget to construct with 'new'?");
    throws(function() { QRunnable.prototype.autoDelete(); },
           "QRunnable.autoDelete(): this object is not a QRunnable", "TypeError");
    eq(r.run(), undefined, "a runnable without run does nothing");
    var p = new QThreadPool();
    eq(p.toString(), "QThreadPool");
    ok(QThreadPool.globalInstance() === global, "the same wrapper comes back");
    throws(function() { global.start(); },
           "QThreadPool::start(): could not find a function match; candidates are:\nstart(QRunnable runnable, int priority)");
    throws(function() { global.start(5); }, undefined);
    throws(function() { QThreadPool.prototype.start.call(new QRunnable(), r); },
           "QThreadPool.start(): this object is not a QThreadPool", "TypeError");
    var parent = new QObject();
    ok(new QThreadPool(parent).parent() === parent);
});

test("the global pool cannot be deleted by scripts", function() {
    eq(global.deleteLater, undefined);
    global.event = function() { throw new Error("not a shell"); };
    QCoreApplication.sendEvent(global, new QEvent(QEvent.User));
});

test("eight runnables adding to one counter, 100 times, on the global pool and an own pool", function() {
    var pools = [global, new QThreadPool()];
    for (var p = 0; p < pools.length; ++p) {
        for (var round = 0; round < 100; ++round) {
            var counter = {n: 0};
            for (var i = 0; i < 8; ++i)
                pools[p].start(runnable(function() { for (var k = 0; k < 100; ++k) counter.n++; }), i % 3);
            pools[p].waitForDone();
            eq(counter.n, 800, "round " + round);
        }
    }
});

test("tryStart, priorities, and runs in the event loop", function() {
    var ran = 0;
    var result = global.tryStart(runnable(function() { ++ran; }));
    eq(typeof result, "boolean");
    global.start(runnable(function() { ++ran; }), 5);
    ok(waitFor(function() { return ran == (result ? 2 : 1); }), "the event loop runs them");
    // One thread: the first runs, those queued meanwhile run by priority.
    var one = new QThreadPool(), order = [];
    one.maxThreadCount = 1;
    [0, 1, 5, 3].forEach(function(priority, k) { one.start(runnable(function() { order.push(k); }), priority); });
    one.waitForDone();
    eq(order.join(), "0,2,3,1");
    // Runs that together hold the loop up for a while: it gets back to those left.
    var pool = new QThreadPool(), slow = 0;
    pool.maxThreadCount = 8;
    for (var i = 0; i < 8; ++i)
        pool.start(runnable(function() { for (var t0 = new Date(); new Date() - t0 < 8;) {} ++slow; }));
    ok(waitFor(function() { return slow == 8; }), "runs: " + slow);
});

test("a runnable started twice runs twice and is deleted once, after its last run", function() {
    var n = 0, r = runnable(function() { ++n; });
    global.start(r);
    global.start(r);
    global.waitForDone();
    eq(n, 2);
    throws(function() { r.autoDelete(); }, "QRunnable.autoDelete(): this object is not a QRunnable", "TypeError");
    throws(function() { global.start(r); },
           "QThreadPool::start(): could not find a function match; candidates are:\nstart(QRunnable runnable, int priority)");

    var kept = runnable(function() { ++n; });
    kept.setAutoDelete(false);
    global.start(kept);
    global.start(kept);
    global.waitForDone();
    eq(n, 4);
    eq(kept.autoDelete(), false, "without auto-delete it stays");
});

test("a runnable keeps running after the script dropped it, and goes once it ran", function() {
    var n = 0, names = [];
    (function() {
        for (var i = 0; i < 20; ++i)
            global.start(runnable(function() { ++n; }));
        // Kept past its runs (no auto-delete), it goes with its script object afterwards: a
        // temporary file it refers to goes with it. (One more than counted: a stale copy of the
        // last made may keep it a while.)
        for (var i = 0; i <= 3; ++i) {
            var r = runnable(function() { ++n; }), file = new QTemporaryFile();
            r.setAutoDelete(false);
            file.open();
            r.file = file;
            names.push(file.fileName());
            global.start(r);
        }
        names.pop();
    })();
    gc();
    global.waitForDone();
    eq(n, 24);
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 5000; ++k)
            junk.push({});
        gc();
    }
    eq(names.filter(function(name) { return QFile.exists(name); }).length, 0, "gone after their runs");
});

test("a run that throws does not stop the others or the waiting script", function() {
    var n = 0;
    for (var i = 0; i < 4; ++i)
        global.start(runnable(function() { ++n; throw new Error("run"); }));
    global.waitForDone();
    eq(n, 4);
});

test("a runnable starts another and waits for it", function() {
    var order = [];
    global.start(runnable(function() {
        var s = new QSemaphore();
        global.start(runnable(function() { order.push("inner"); s.release(); }));
        s.acquire();
        order.push("outer");
    }));
    global.waitForDone();
    eq(order.join(), "inner,outer");
});

test("waitForDone from a runnable of the same pool is a deadlock error", function() {
    var p = new QThreadPool(), error, other = 0;
    p.start(runnable(function() {
        try { p.waitForDone(); } catch (e) { error = e.message; }
    }));
    p.start(runnable(function() { ++other; }));
    p.waitForDone();
    eq(error, "QThreadPool::waitForDone(): deadlock: a run of this pool that has to end first is a "
       + "caller lower on this stack");
    eq(other, 1, "the other runs ran first");
    var q = new QThreadPool(), fromOther = false;
    global.start(runnable(function() { q.waitForDone(); fromOther = true; }));
    q.start(runnable(function() {}));
    global.waitForDone();
    ok(fromOther, "waiting for another pool is fine");
});

test("pools the collector takes, or that go with their parent, still run what was started", function() {
    var n = 0;
    (function() {
        for (var i = 0; i < 10; ++i) {
            var p = new QThreadPool();
            for (var k = 0; k < 4; ++k)
                p.start(runnable(function() { ++n; }));
        }
    })();
    gc();
    ok(waitFor(function() { return n == 40; }), "collected pools: " + n);

    var parent = new QObject(), m = 0;
    var q = new QThreadPool(parent);
    for (var k = 0; k < 8; ++k)
        q.start(runnable(function() { ++m; }));
    parent.deleteLater();
    ok(waitFor(function() { return m == 8; }), "a deleted pool's runs: " + m);
    throws(function() { q.waitForDone(); }, "cannot access member `waitForDone' of deleted QObject");
});

test("a start the pool refuses leaves the runnable to the script", function() {
    var p = new QThreadPool(), n = 0, r = runnable(function() { ++n; });
    p.start(runnable(function() {}));   // QtCore always starts a pool's first thread
    for (var i = 0; i < 64; ++i)
        p.reserveThread();
    eq(p.tryStart(r), false, "every thread reserved");
    eq(r.autoDelete(), true, "not deleted");
    for (var i = 0; i < 64; ++i)
        p.releaseThread();
    p.start(r);
    p.waitForDone();
    eq(n, 1);
    throws(function() { r.autoDelete(); }, "QRunnable.autoDelete(): this object is not a QRunnable", "TypeError");
});

finish();
