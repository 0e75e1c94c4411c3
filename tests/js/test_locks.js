// Mutexes, semaphores and wait conditions: their surface, and waits that runnables end or that
// nothing can end.

var pool = QThreadPool.globalInstance();

function runnable(fn) {
    var r = new QRunnable();
    r.run = fn;
    return r;
}

test("mutex recursion modes come only from RecursionMode values", function() {
    var r = new QMutex(QMutex.Recursive);
    ok(r.tryLock() && r.tryLock(), "a recursive mutex locks twice");
    r.unlock(); r.unlock();
    var n = new QMutex(1);
    ok(n.tryLock(), "a free mutex");
    ok(!n.tryLock(), "a number gives a non-recursive one");
    n.unlock();
    ok(new QMutex.RecursionMode(1) === QMutex.Recursive);
    throws(function() { new QMutex.RecursionMode(2); }, "RecursionMode(): invalid enum value (2)");
    throws(function() { new QMutex.RecursionMode(-1); }, "RecursionMode(): invalid enum value (-1)");
    eq(QMutex.Recursive.toString(), "Recursive");
    throws(function() { new QMutex(1, 2); },
           "QMutex::QMutex(): could not find a function match; candidates are:\nQMutex(RecursionMode mode)");
    throws(function() { QMutex.prototype.lock.call(new QSemaphore()); },
           "QMutex.lock(): this object is not a QMutex", "TypeError");
    eq(new QMutex().toString(1, 2), "QMutex");
});

test("semaphore counts", function() {
    eq(new QSemaphore().available(), 0);
    var s = new QSemaphore(3);
    s.acquire();
    eq(s.available(), 2);
    s.release(2);
    eq(s.available(), 4);
    eq(s.tryAcquire(5), false, "too many: false at once");
    eq(s.tryAcquire(5, 50), false, "no runnable can release: false at once");
    eq(s.tryAcquire(2, 50), true);
    throws(function() { s.release(-1); }, "QSemaphore::release(): count -1 out of range", "RangeError");
    throws(function() { s.acquire(-1); }, "QSemaphore::acquire(): count -1 out of range", "RangeError");
    throws(function() { s.release(2147483647); }, "QSemaphore::release(): count 2147483647 out of range");
    throws(function() { new QSemaphore(-5); }, "QSemaphore::QSemaphore(): count -5 out of range");
    eq(s.available(), 2, "a refused count changes nothing");
});

test("wait takes a mutex and an unsigned long", function() {
    var c = new QWaitCondition(), m = new QMutex();
    var candidates = "QWaitCondition::wait(): could not find a function match; candidates are:\n"
        + "wait(QMutex mutex, unsigned long time)\nwait(QReadWriteLock readWriteLock, unsigned long time)";
    throws(function() { c.wait(5); }, candidates);
    throws(function() { c.wait(m, 100); }, candidates);
    throws(function() { new QWaitCondition(1); },
           "QWaitCondition::QWaitCondition(): could not find a function match; candidates are:\nQWaitCondition()");
    m.lock();
    eq(c.wait(new QMutex(QMutex.Recursive)), false, "QtCore refuses recursive mutexes");
    m.unlock();
    eq(c.wait(m), false, "a mutex nobody holds: at once");
    eq(m.tryLock(), true, "and still free");
    m.unlock();
});

test("a runnable releases what the script acquires", function() {
    for (var i = 0; i < 50; ++i) {
        var s = new QSemaphore(0);
        pool.start(runnable(function() { s.release(2); }));
        s.acquire(2);
        eq(s.available(), 0);
    }
    var t = new QSemaphore(0);
    pool.start(runnable(function() { t.release(); }));
    eq(t.tryAcquire(1, 10000), true, "a timed acquire too");
});

test("a runnable unlocks a mutex the script waits for", function() {
    var m = new QMutex();
    m.lock();
    pool.start(runnable(function() { m.unlock(); }));
    m.lock();
    m.unlock();
    m.lock();
    pool.start(runnable(function() { m.unlock(); }));
    eq(m.tryLock(10000), true);
    m.unlock();
});

test("a wait condition woken by a runnable", function() {
    var m = new QMutex(), c = new QWaitCondition();
    for (var i = 0; i < 200; ++i) {
        var flag = false;
        m.lock();
        pool.start(runnable(function() { m.lock(); flag = true; c.wakeOne(); m.unlock(); }));
        while (!flag)
            eq(c.wait(m), true);
        ok(!m.tryLock(), "wait returns holding the mutex");
        m.unlock();
    }
});

test("wakeOne wakes the innermost waiter, wakeAll every waiter", function() {
    var m = new QMutex(), c = new QWaitCondition(), order = [];
    var inner = runnable(function() {
        m.lock();
        pool.start(runnable(function() { m.lock(); c.wakeOne(); m.unlock(); }));
        c.wait(m);
        order.push("inner");
        m.unlock();
        m.lock(); c.wakeOne(); m.unlock();
    });
    m.lock();
    pool.start(inner);
    c.wait(m);
    order.push("outer");
    m.unlock();
    eq(order.join(), "inner,outer");

    var woken = 0;
    m.lock();
    pool.start(runnable(function() {
        m.lock();
        pool.start(runnable(function() { m.lock(); c.wakeAll(); m.unlock(); }));
        c.wait(m);
        ++woken;
        m.unlock();
    }));
    c.wait(m);
    ++woken;
    m.unlock();
    pool.waitForDone();
    eq(woken, 2);
});

test("one wakeOne wakes one waiter: the outer of two nested waits waits on", function() {
    var m = new QMutex(), c = new QWaitCondition(), order = [];
    m.lock();
    pool.start(runnable(function() {
        m.lock();
        pool.start(runnable(function() { m.lock(); c.wakeOne(); m.unlock(); }));
        order.push(c.wait(m));
        m.unlock();
    }));
    throws(function() { c.wait(m); },
           "QWaitCondition::wait(): deadlock: nothing left to run on this thread can wake the condition");
    m.unlock();
    pool.waitForDone();
    eq(order.join(), "true", "the inner wait returned");
});

test("waits nothing can end are deadlock errors", function() {
    pool.waitForDone();
    var m = new QMutex();
    m.lock();
    throws(function() { m.lock(); },
           "QMutex::lock(): deadlock: the mutex is locked, and nothing left to run on this thread can unlock it");
    throws(function() { m.tryLock(-1); },
           "QMutex::tryLock(): deadlock: the mutex is locked, and nothing left to run on this thread can unlock it");
    eq(m.tryLock(100), false, "a timed lock just fails");
    m.unlock();
    throws(function() { new QSemaphore(1).acquire(2); },
           "QSemaphore::acquire(): deadlock: too few resources, and nothing left to run on this thread can release them");
    var c = new QWaitCondition();
    m.lock();
    throws(function() { c.wait(m); },
           "QWaitCondition::wait(): deadlock: nothing left to run on this thread can wake the condition");
    ok(!m.tryLock(), "the mutex is held again");
    m.unlock();
});

test("a run that needs a lock its waiting caller holds gets the deadlock error", function() {
    var m = new QMutex(), error;
    m.lock();
    pool.start(runnable(function() {
        try { m.lock(); } catch (e) { error = e.message; }
    }));
    pool.waitForDone();
    m.unlock();
    ok(/^QMutex::lock\(\): deadlock/.test(error), error);
});

finish();
