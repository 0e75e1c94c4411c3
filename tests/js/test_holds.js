// Objects the script dropped while QtCore still has a reason to call them (an installed
// translator, a basic timer, an enabled notifier, events and deletions they ask for themselves, a
// family one member of which ticks): their overrides run for as long as the reason lasts, with
// collections and allocating script code in between. Run many times in a release build (with
// MALLOC_PERTURB_) to see a fault.

function churn(n) {
    var junk = [];
    for (var i = 0; i < n; ++i)
        junk.push({ index: i, text: "cell " + i });
    return junk.length;
}

function collect() {
    for (var i = 0; i < 3; ++i) {
        churn(2000);
        gc();
    }
}

test("an installed translator nothing reaches goes on translating", function() {
    var calls = 0;
    (function() {
        for (var i = 0; i < 5; ++i) {
            var t = new QTranslator();
            // The texts arrive as C strings a script cannot read.
            t.translate = function() {
                ++calls;
                churn(20);
                return "held";
            };
            QCoreApplication.installTranslator(t);
        }
    })();
    collect();
    eq(QCoreApplication.translate("holds", "text"), "held");
    collect();
    eq(QCoreApplication.translate("holds", "text"), "held", "still installed");
    ok(calls >= 2, "calls: " + calls);
    // They stay installed until the engine's end, which deletes them.
});

test("an object a basic timer ticks, nothing else reaching it, ticks until stopped", function() {
    var ticks = 0, timers = [];
    (function() {
        for (var i = 0; i < 5; ++i) {
            var o = new QObject(), t = new QBasicTimer();
            o.timerEvent = function(e) { ++ticks; churn(20); };
            t.start(1, o);
            timers.push(t);
        }
    })();
    collect();
    ok(waitFor(function() { return ticks >= 20; }), "ticks: " + ticks);
    collect();
    var before = ticks;
    ok(waitFor(function() { return ticks >= before + 10; }), "still ticking: " + ticks);
    timers.forEach(function(t) { t.stop(); });
    collect();
});

test("an enabled notifier nothing reaches is activated until disabled", function() {
    var seen = 0, file = new QFile("/dev/zero");
    ok(file.open(QIODevice.ReadOnly));
    (function() {
        for (var i = 0; i < 3; ++i) {
            var n = new QSocketNotifier(file.handle(), QSocketNotifier.Read);
            n.event = function(e) {
                if (e.type() == QEvent.SockAct) {
                    ++seen;
                    churn(20);
                    if (seen >= 30)
                        this.setEnabled(false);
                }
                return true;
            };
        }
    })();
    collect();
    ok(waitFor(function() { return seen >= 30; }), "activations: " + seen);
    var after = seen;
    waitFor(function() { return false; }, 30);
    ok(seen <= after + 2, "each stops once disabled: " + seen);
    file.close();
});

test("events an object posts itself keep it until the last arrives, a deletion it refuses too", function() {
    var arrived = 0, refused = 0;
    function asking() {
        var o = new QObject(), left = 10;
        o.event = function(e) {
            churn(20);
            if (e.type() == QEvent.User) {
                ++arrived;
                if (--left > 0)
                    QCoreApplication.postEvent(this, new QEvent(QEvent.User));
                return true;
            }
            // Refused: the object stays, as a C++ override's would.
            if (e.type() == QEvent.DeferredDelete) {
                ++refused;
                return true;
            }
            return false;
        };
        QCoreApplication.postEvent(o, new QEvent(QEvent.User));
        o.deleteLater();
    }
    for (var i = 0; i < 5; ++i)
        asking();
    collect();
    ok(waitFor(function() { collect(); return arrived >= 50 && refused >= 5; }),
       "arrived " + arrived + ", refused " + refused);
    eq(arrived, 50);
    eq(refused, 5);
});

test("a family one member of which ticks keeps every member's overrides", function() {
    var seen = [];
    (function() {
        var p = new QObject(), c = new QObject(p), g = new QTimer(c);
        p.childEvent = function(e) {
            if (e.type() == QEvent.ChildRemoved)
                seen.push("p");
        };
        p.tag = "parent";
        c.customEvent = function() { seen.push("c"); };
        g.timerEvent = function() {
            churn(20);
            if (seen.length == 0) {
                QCoreApplication.postEvent(c, new QEvent(QEvent.User));
            } else if (seen.length == 1) {
                this.stop();
                seen.push(c.parent().tag);
                c.setParent(null);
            }
        };
        g.start(5);
    })();
    collect();
    ok(waitFor(function() { collect(); return seen.length >= 3; }), seen.join());
    eq(seen.join(), "c,parent,p");
});

// A temporary file in each family shows whether the family went: its file goes with it. One more
// family is made than is counted: the collector scans conservatively, and a stale copy of the
// last values made may keep it a while.
function families(n, make) {
    var names = [];
    (function() {
        for (var i = 0; i <= n; ++i) {
            var g = new QObject(), file = new QTemporaryFile(g);
            file.open();
            names.push(file.fileName());
            make(g, i);
        }
    })();
    names.pop();
    return names;
}
function left(names) {
    collect();
    return names.filter(function(name) { return QFile.exists(name); }).length;
}

test("a family goes once nothing reaches it, whatever its members' signals are connected to", function() {
    var other = new QTimer(), ran = 0;
    var shapes = [
        function(g) { new QTimer(g).timeout.connect(function() { ++ran; }); },
        function(g) { new QTimer(g).timeout.connect(new Function("")); },
        function(g) { new QTimer(g).timeout.connect(function() { return g; }); },
        function(g) { new QTimer(g).timeout.connect(other, other.stop); },
        function(g) { new QObject(new QObject(g)).destroyed.connect(function() { ++ran; }); },
        // Reasons that ended: a single shot that fired, a time line that finished.
        function(g) {
            var t = new QTimer(g);
            t.singleShot = true;
            t.timeout.connect(function() { ++ran; });
            t.start(0);
        },
        function(g) {
            var t = new QTimeLine(1, g);
            t.finished.connect(function() { ++ran; });
            t.start();
        },
    ];
    var names = families(7 * 4, function(g, i) { shapes[i % 7](g); });
    ok(waitFor(function() { return ran >= 8; }), "fired: " + ran);
    collect();
    ok(waitFor(function() { collect(); return left(names) == 0; }), left(names) + " families left");
});

test("a deletion a filter consumed holds nothing: the object goes with its script object", function() {
    var f = new QObject(), app = QCoreApplication.instance();
    f.eventFilter = function(w, e) { return e.type() == QEvent.DeferredDelete; };
    var onObjects = families(10, function(g) { g.installEventFilter(f); g.deleteLater(); });
    app.installEventFilter(f);
    var onApp = families(10, function(g) { g.deleteLater(); });
    var later = families(10, function(g) {
        g.installEventFilter(f);
        g.deleteLater();
        // Removed once the deletion was consumed.
        var t = new QTimer(g);
        t.singleShot = true;
        t.timeout.connect(function() { g.removeEventFilter(f); });
        t.start(0);
    });
    waitFor(function() { return false; }, 20);
    app.removeEventFilter(f);
    collect();
    eq(left(onObjects), 0, "filtered on the object");
    eq(left(onApp), 0, "filtered on the application");
    eq(left(later), 0, "filter removed later");
});

test("filters in a family hold nothing outside it", function() {
    var seen = 0;
    var count = function(w, e) {
        if (e.type() == QEvent.User)
            ++seen;
        return false;
    };
    // A filter of its own object, which it refers to; an object filtering its own child: both go
    // with the next collections, no turn of the event loop needed.
    var own = families(5, function(g) {
        var f = new QObject();
        f.watched = g;
        f.eventFilter = count;
        g.installEventFilter(f);
    });
    var child = families(5, function(g) {
        g.eventFilter = count;
        new QObject(g).installEventFilter(g);
    });
    // Removed from one of two objects of its family (a watcher and its own helper), a filter the
    // script dropped goes on filtering the other.
    var kept = (function() {
        var g = new QFileSystemWatcher(), helper = g.children()[0], f = new QObject();
        f.eventFilter = count;
        g.installEventFilter(f);
        helper.installEventFilter(f);
        helper.removeEventFilter(f);
        return g;
    })();
    collect();
    eq(left(own), 0, "a filter of its own object");
    eq(left(child), 0, "an object filtering its child");
    QCoreApplication.sendEvent(kept, new QEvent(QEvent.User));
    eq(seen, 1, "the filter left on the other object");
});

test("a parent hears of its child's deletion the script asked for", function() {
    var seen = [];
    (function() {
        for (var i = 0; i < 5; ++i) {
            var p = new QObject(), c = new QObject(p);
            p.childEvent = function(e) {
                churn(20);
                if (e.type() == QEvent.ChildRemoved)
                    seen.push(i);
            };
            c.deleteLater();
        }
    })();
    collect();
    ok(waitFor(function() { return seen.length >= 5; }), "heard: " + seen.length);
    eq(seen.length, 5);
});

test("no script override runs while the collector deletes a stream", function() {
    // The devices stay; the streams, with text still in their buffers, go.
    var written = 0, devices = [];
    (function() {
        for (var i = 0; i < 20; ++i) {
            var device = new QIODevice();
            device.writeData = function(data, n) { ++written; churn(50); return n; };
            device.open(QIODevice.WriteOnly);
            devices.push(device);
            new QTextStream(device).writeString("left in the stream's buffer");
        }
    })();
    for (var i = 0; i < 5; ++i)
        collect();
    eq(written, 0, "the text goes with the stream");
    devices[0].write(new QByteArray("later"));
    eq(written, 1, "the override runs again afterwards");
});

finish();
