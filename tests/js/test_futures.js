// Futures a script can hold (default ones and copies), their iterators, watchers and
// synchronizers, and the QtConcurrent constants. Futures with results come from the host, and
// system semaphores need a scratch folder: see tests/native/tst_futures.cpp.

test("a default future is started, finished and canceled, with no results", function() {
    var f = new QFuture();
    eq(f.isStarted(), true);
    eq(f.isFinished(), true);
    eq(f.isCanceled(), true);
    eq(f.isRunning(), false);
    eq(f.isPaused(), false);
    eq(f.resultCount(), 0);
    eq(f.isResultReadyAt(0), false);
    eq(f.waitForFinished(), undefined);
    var v = new QFutureVoid();
    eq(v.isFinished(), true);
    eq(v.isStarted(), true);
    eq(v.isRunning(), false);
    eq(v.isCanceled(), true);
    eq(v.isPaused(), false);
    eq(v.isResultReadyAt, undefined);
    eq(v.resultCount, undefined);
    eq(v.toString(), "QFutureVoid");
    eq(f.toString(1, 2), "QFuture");
});

test("copies share one state", function() {
    var f = new QFuture(), g = new QFuture(f);
    ok(g.equals(f) && f.equals(g));
    f.pause();
    eq(g.isPaused(), true);
    g.togglePaused();
    eq(f.isPaused(), false);
    g.setPaused(1);
    eq(f.isPaused(), true);
    f.resume();
    eq(g.isPaused(), false);
    eq(new QFuture().equals(new QFuture()), false, "two default futures");
    eq(f.equals(5), false);
    eq(new QFuture(5).isFinished(), true, "anything else gives a default future");
    var v = new QFutureVoid(f);
    eq(v.equals(new QFutureVoid(v)), true);
    eq(new QFutureVoid().equals(f), false, "a QFuture is no void future");
});

test("future errors", function() {
    var f = new QFuture();
    throws(function() { QFuture(); }, "QFuture(): Did you forget to construct with 'new'?");
    throws(function() { new QFuture(1, 2); },
           "QFuture::QFuture(): could not find a function match; candidates are:\nQFuture()\nQFuture(QFuture other)");
    throws(function() { f.isResultReadyAt(); },
           "QFuture::isResultReadyAt(): could not find a function match; candidates are:\nisResultReadyAt(int index)");
    throws(function() { f.cancel(1); },
           "QFuture::cancel(): could not find a function match; candidates are:\ncancel()");
    throws(function() { QFuture.prototype.isCanceled(); },
           "QFuture.isCanceled(): this object is not a QFuture", "TypeError");
    throws(function() { QFuture.prototype.cancel.call(new QFutureVoid()); },
           "QFuture.cancel(): this object is not a QFuture", "TypeError");
});

test("an iterator at both ends", function() {
    var it = new QFutureIterator(new QFuture());
    eq(it.hasNext(), false);
    eq(it.hasPrevious(), false);
    it.toBack();
    eq(it.hasNext(), false);
    eq(it.hasPrevious(), true);
    it.toFront();
    eq(it.hasNext(), false);
    eq(it.hasPrevious(), false);
    eq(new QFutureIterator(5).hasNext(), false);
    eq(new QFutureIterator(new QFutureVoid()).hasPrevious(), false);
    throws(function() { new QFutureIterator(); },
           "QFutureIterator::QFutureIterator(): could not find a function match; candidates are:\nQFutureIterator(QFuture container)");
    throws(function() { it.hasNext(1); },
           "QFutureIterator::hasNext(): could not find a function match; candidates are:\nhasNext()");
    throws(function() { QFutureIterator.prototype.hasNext(); },
           "QFutureIterator.hasNext(): this object is not a QFutureIterator", "TypeError");
    eq(it.toString(1), "QFutureIterator");
});

test("watchers of both kinds are distinct handles, not objects", function() {
    var w = new QFutureWatcher(), v = new QFutureWatcherVoid();
    eq(w.setFuture(new QFuture()), undefined);
    eq(w.setFuture(new QFutureVoid()), undefined, "anything else gives a default future");
    eq(v.setFuture(new QFutureVoid()), undefined);
    eq(w.toString(), "QFutureWatcher");
    eq(w.parent, undefined);
    eq(w.moveToThread, undefined);
    throws(function() { QFutureWatcher.prototype.setFuture.call(v, new QFuture()); },
           "QFutureWatcher.setFuture(): this object is not a QFutureWatcher", "TypeError");
    throws(function() { QFutureWatcherVoid.prototype.setFuture.call(w, new QFutureVoid()); },
           "QFutureWatcherVoid.setFuture(): this object is not a QFutureWatcherVoid", "TypeError");
    throws(function() { w.setFuture(); },
           "QFutureWatcher::setFuture(): could not find a function match; candidates are:\nsetFuture(QFuture future)");
    throws(function() { new QFutureWatcher(1, 2); },
           "QFutureWatcher::QFutureWatcher(): could not find a function match; candidates are:\nQFutureWatcher(QObject _parent)");
    throws(function() { QFutureWatcherVoid(); }, "QFutureWatcherVoid(): Did you forget to construct with 'new'?");
    new QFutureWatcher(5);
});

test("a watcher that goes with its parent reads as gone", function() {
    var parent = new QTimer();
    var w = new QFutureWatcher(parent);
    eq(parent.children().length, 1);
    w.setFuture(new QFuture());
    parent.deleteLater();
    ok(waitFor(function() {
        try { w.setFuture(new QFuture()); return false; } catch (e) { return true; }
    }));
    throws(function() { w.setFuture(new QFuture()); },
           "QFutureWatcher.setFuture(): this object is not a QFutureWatcher", "TypeError");
});

test("watchers a script dropped live on while their parent does", function() {
    var parent = new QObject();
    for (var i = 0; i < 200; ++i) {
        new QFutureWatcher(parent);
        new QFutureWatcherVoid(parent);
    }
    for (var k = 0; k < 3; ++k) { gc(); new QByteArray(100000, 65); }
    eq(parent.children().length, 400);
});

test("synchronizers have only their constructors", function() {
    var s = new QFutureSynchronizer(), v = new QFutureSynchronizerVoid();
    eq(Object.getOwnPropertyNames(Object.getPrototypeOf(s)).join(), "constructor");
    eq(s.waitForFinished, undefined);
    eq(v.setFuture, undefined);
    eq(QFutureSynchronizer.length, 0);
    throws(function() { new QFutureSynchronizer(new QFuture()); },
           "QFutureSynchronizer::QFutureSynchronizer(): could not find a function match; candidates are:\nQFutureSynchronizer()");
    throws(function() { QFutureSynchronizerVoid(); },
           "QFutureSynchronizerVoid(): Did you forget to construct with 'new'?");
});

test("QtConcurrent constants", function() {
    throws(function() { QtConcurrent(); }, "QtConcurrent cannot be constructed", "TypeError");
    throws(function() { new QtConcurrent(); }, "QtConcurrent cannot be constructed", "TypeError");
    eq(QtConcurrent.OrderedReduce.valueOf(), 2);
    eq(QtConcurrent.OrderedReduce.toString(), "OrderedReduce");
    eq(QtConcurrent.ThreadFinished.valueOf(), 1);
    ok(new QtConcurrent.ReduceOption(4) === QtConcurrent.SequentialReduce);
    throws(function() { new QtConcurrent.ReduceOption(3); }, "ReduceOption(): invalid enum value (3)");
    throws(function() { new QtConcurrent.ThreadFunctionResult(-1); },
           "ThreadFunctionResult(): invalid enum value (-1)");
    var o = new QtConcurrent.ReduceOptions(QtConcurrent.UnorderedReduce, QtConcurrent.SequentialReduce);
    eq(o.valueOf(), 5);
    eq(o.toString(), "UnorderedReduce,SequentialReduce");
    eq(new QtConcurrent.ReduceOptions(8).toString(), "");
    throws(function() { new QtConcurrent.ReduceOptions(QtConcurrent.OrderedReduce, 2); },
           "ReduceOptions(): argument 1 is not of type ReduceOption", "TypeError");
    var keys = [];
    for (var k in QtConcurrent) if (QtConcurrent.hasOwnProperty(k)) keys.push(k);
    eq(keys.join(), "UnorderedReduce,OrderedReduce,SequentialReduce,ReduceOption,ReduceOptions,"
       + "ThrottleThread,ThreadFinished,ThreadFunctionResult");
});

finish();
