// Work spread over script runnables on thread pools: each job sums a slice of a range and
// releases a semaphore; a timer reports progress from the event loop until every job is done
// (QThreadPool, QRunnable, QSemaphore, QTimer, QEventLoop).
//
//     ./run.sh examples/pool.js -- [jobs] [numbers per job]
//
// The runs themselves happen on the engine's thread (a script engine serves one thread): the
// pool's threads hand them over and wait, so results need no lock.

var jobs = args.length > 0 ? parseInt(args[0], 10) : 12;
var perJob = args.length > 1 ? parseInt(args[1], 10) : 50000;
if (!(jobs > 0 && perJob > 0))
    throw new Error("usage: pool.js -- [jobs] [numbers per job]");

var done = new QSemaphore(0);
var partial = [];
var ownPool = new QThreadPool();
ownPool.maxThreadCount = 2;  // a property of the object

function job(index) {
    var r = new QRunnable();
    r.run = function() {
        var from = index * perJob + 1, to = from + perJob, sum = 0;
        for (var k = from; k < to; ++k)
            sum += k;
        partial[index] = sum;
        done.release(1);
    };
    return r;
}

// Half of the jobs on the global pool, half on a pool of our own.
for (var i = 0; i < jobs; ++i)
    (i % 2 ? ownPool : QThreadPool.globalInstance()).start(job(i));

var loop = new QEventLoop(), reports = 0;
var progress = new QTimer();
progress.timeout.connect(function() {
    ++reports;
    if (done.available() == jobs)
        loop.exit(0);
});
progress.start(5);
loop.exec();
progress.stop();

// Every job has released once: take them all.
done.acquire(jobs);
QThreadPool.globalInstance().waitForDone();
ownPool.waitForDone();

var total = 0;
for (var i = 0; i < jobs; ++i)
    total += partial[i];
var n = jobs * perJob;
print("jobs:", jobs, "numbers:", n);
print("sum:", total, "expected:", n * (n + 1) / 2, total == n * (n + 1) / 2 ? "(right)" : "(WRONG)");
print("progress reports:", reports > 0 ? "at least one" : "none");
