// Objects no script value reaches any more, while QtCore still calls them: their overrides run
// for as long as QtCore calls them, and the collector (which finalises lazily, cell by cell,
// while script code allocates) never leaves one behind that a timer or a posted event reaches.
// Run many times in a release build (with MALLOC_PERTURB_) to see a fault.

// Script code that allocates: the collector runs on its own, in the middle of the rounds.
function churn(n) {
    var junk = [];
    for (var i = 0; i < n; ++i)
        junk.push({ index: i, text: "cell " + i, list: [i, i + 1] });
    return junk.length;
}

// Spins an event loop for about `ms` milliseconds.
function spin(ms) {
    var loop = new QEventLoop(), stop = new QTimer();
    stop.singleShot = true;
    stop.timeout.connect(function() { loop.exit(0); });
    stop.start(ms);
    loop.exec();
}

test("timers of objects nothing reaches tick their overrides to the end", function() {
    var ticks = 0, rounds = 12, perRound = 8, each = 4;
    function ticking() {
        var o = new QObject(), left = each;
        o.timerEvent = function(e) {
            ++ticks;
            churn(50);
            if (--left == 0)
                this.killTimer(e.timerId());
        };
        o.startTimer(0);
        // Started through the engine's own wrapping; the override stops it.
        var t = new QTimer();
        t.timerEvent = function(e) { ++ticks; churn(50); this.stop(); };
        t.start(0);
    }
    for (var round = 0; round < rounds; ++round) {
        for (var i = 0; i < perRound; ++i)
            ticking();
        churn(3000);
        spin(15);
    }
    ok(waitFor(function() { return ticks >= rounds * perRound * (each + 1); }), "ticks: " + ticks);
    spin(20);
    eq(ticks, rounds * perRound * (each + 1), "no override skipped, none run twice");
});

test("events posted to objects nothing reaches arrive at their overrides", function() {
    var arrived = 0, deletions = 0, rounds = 12, perRound = 8;
    function posting() {
        var o = new QObject();
        o.event = function(e) {
            if (e.type() == QEvent.User) {
                ++arrived;
                churn(50);
            }
            return true;
        };
        QCoreApplication.postEvent(o, new QEvent(QEvent.User));
        QCoreApplication.postEvent(o, new QEvent(QEvent.User), Qt.HighEventPriority);
        var d = new QObject();
        d.event = function(e) {
            if (e.type() == QEvent.DeferredDelete)
                ++deletions;
            churn(50);
            return false;
        };
        d.deleteLater();
    }
    for (var round = 0; round < rounds; ++round) {
        for (var i = 0; i < perRound; ++i)
            posting();
        churn(3000);
        spin(10);
    }
    ok(waitFor(function() { return arrived >= rounds * perRound * 2 && deletions >= rounds * perRound; }));
    eq(arrived, rounds * perRound * 2);
    eq(deletions, rounds * perRound);
});

test("a filter nothing reaches filters for as long as it is installed", function() {
    var watched = new QObject(), seen = 0, app = QCoreApplication.instance();
    (function() {
        var f = new QObject(), g = new QObject();
        f.eventFilter = function(o, e) {
            if (o === watched && e.type() == QEvent.User) {
                ++seen;
                churn(50);
            }
            return false;
        };
        g.eventFilter = f.eventFilter;
        watched.installEventFilter(f);
        app.installEventFilter(g);
    })();
    for (var round = 0; round < 10; ++round) {
        churn(3000);
        QCoreApplication.postEvent(watched, new QEvent(QEvent.User));
        spin(5);
    }
    ok(waitFor(function() { return seen >= 20; }));
    eq(seen, 20, "each event seen by both filters");
});

finish();
