// QFileSystemWatcher: paths in the scratch folder, and a change reported within an event loop.

function touch(name, text) {
    var f = new QFile(name);
    f.open(new QIODevice.OpenMode(QIODevice.WriteOnly, QIODevice.Append));
    f.write(text);
    f.close();
}

test("construction and path lists", function() {
    eq(Object.getPrototypeOf(QFileSystemWatcher.prototype), QObject.prototype);
    var candidates = "QFileSystemWatcher::QFileSystemWatcher(): could not find a function match; " +
        "candidates are:\nQFileSystemWatcher(QObject parent)\nQFileSystemWatcher(List paths, QObject parent)";
    throws(function() { QFileSystemWatcher(); },
           "QFileSystemWatcher(): Did you forget to construct with 'new'?");
    throws(function() { new QFileSystemWatcher("a"); }, candidates);
    throws(function() { new QFileSystemWatcher([], null, 1); }, candidates);
    touch("watched.txt", "x");
    var p = new QObject();
    eq(new QFileSystemWatcher(p).parent(), p);
    var w = new QFileSystemWatcher(["watched.txt"]);
    eq(w.parent(), null);
    eq(w.files().join(), "watched.txt");
    eq(w.directories().length, 0);
    eq(new QFileSystemWatcher(["watched.txt"], 5).files().length, 1);
    eq(w.addPath("."), undefined);
    eq(w.directories().join(), ".");
    eq(w.removePath("watched.txt"), undefined);
    eq(w.files().length, 0);
    eq(w.addPaths(["watched.txt", "no-such-file"]), undefined);
    eq(w.files().join(), "watched.txt", "what cannot be watched is left out");
    eq(w.removePaths(["watched.txt", "."]), undefined);
    eq(w.files().length + w.directories().length, 0);
    throws(function() { w.addPath(); },
           "QFileSystemWatcher::addPath(): could not find a function match; candidates are:\naddPath(String file)");
    throws(function() { w.addPath("a", "b"); });
    eq(w.toString(1), "QFileSystemWatcher");
    QFile.remove("watched.txt");
});

test("a changed file is reported within an event loop", function() {
    touch("changing.txt", "first");
    var w = new QFileSystemWatcher(["changing.txt"]);
    var changed = [];
    w.fileChanged.connect(function(path) { changed.push(path); });
    touch("changing.txt", " and more");
    ok(waitFor(function() { return changed.length > 0; }, 10000), "fileChanged arrived");
    eq(changed[0], "changing.txt");
    // A filter of the application that turns a loop inside every delivery, the notifier's too,
    // with a change waiting: QtCore reads its descriptor again where the first delivery goes on.
    var depth = 0, filter = new QObject();
    filter.eventFilter = function() {
        if (depth < 3) { ++depth; waitFor(function() { return false; }, 1); --depth; }
        return false;
    };
    QCoreApplication.instance().installEventFilter(filter);
    QDir.current().mkdir("watched");
    w.addPath("watched");
    touch("watched/new.txt", "x");
    w.removePaths(w.directories());
    touch("changing.txt", " and the last");
    ok(waitFor(function() { return changed.length > 1; }, 10000), "fileChanged arrived again");
    QCoreApplication.instance().removeEventFilter(filter);
    QFile.remove("changing.txt");
});

function collect() {
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 2000; ++k)
            junk.push({ k: k });
        gc();
    }
}

test("what a script hangs on a watcher's own helper keeps the watcher, and goes with it", function() {
    var ran = [];
    // Overrides made apart, so that no closure of theirs reaches the watcher.
    var noting = function(what) {
        return function(w, e) {
            if (!e || e.type() == QEvent.User)
                ran.push(what);
            return false;
        };
    };
    var made = function(mark) {
        var u = new QFileSystemWatcher();
        u.mark = mark;
        var helper = u.children()[0];
        var c = new QObject(helper), file = new QTemporaryFile(c);
        file.open();
        c.file = file.fileName();
        c.customEvent = noting("child of " + mark);
        var f = new QObject();
        f.eventFilter = noting("filter of " + mark);
        helper.installEventFilter(f);
        return c;
    };
    // Nothing reaches the others; one more is made, which a stale copy of the last values made
    // may keep a while (the collector scans conservatively).
    var kept, files = [];
    (function() {
        kept = made("kept");
        for (var i = 0; i <= 3; ++i)
            files.push(made("dropped").file);
        files.pop();
    })();
    for (var i = 0; i < 3; ++i) {
        waitFor(function() { return false; }, 5);
        collect();
    }
    eq(kept.parent().parent().mark, "kept");
    ok(kept.parent() === kept.parent().parent().children()[0], "one wrapper for the helper");
    QCoreApplication.sendEvent(kept, new QEvent(QEvent.User));
    QCoreApplication.sendEvent(kept.parent(), new QEvent(QEvent.User));
    eq(ran.join(), "child of kept,filter of kept");
    eq(files.filter(function(name) { return QFile.exists(name); }).length, 0, "the others went");
});

test("a watcher dropped while it watches paths reports until it stops watching", function() {
    touch("held.txt", "x");
    var seen = [];
    var heard = function(what) { return function() { seen.push(what); }; };
    var files = [];
    (function() {
        var a = new QFileSystemWatcher();
        a.addPath("held.txt");
        a.fileChanged.connect(heard("addPath"));
        var b = new QFileSystemWatcher();
        b.addPaths(["held.txt"]);
        b.fileChanged.connect(heard("addPaths"));
        var c = new QFileSystemWatcher(["held.txt"]);
        c.fileChanged.connect(heard("made with a file"));
        // Once it stops watching, the next collection takes it (its file goes with it).
        for (var i = 0; i <= 1; ++i) {
            var d = new QFileSystemWatcher(["held.txt"]), file = new QTemporaryFile(d);
            file.open();
            files.push(file.fileName());
            d.removePaths(["held.txt"]);
        }
        files.pop();
    })();
    collect();
    eq(files.filter(function(name) { return QFile.exists(name); }).length, 0, "stopped watching");
    touch("held.txt", "more");
    ok(waitFor(function() { return seen.length >= 3; }, 10000), seen.join());
    eq(seen.sort().join(), "addPath,addPaths,made with a file");
    QFile.remove("held.txt");
});

test("children under a held watcher's helper stay with it, however many", function() {
    var ran = 0;
    var kept = (function() {
        var u = new QFileSystemWatcher();
        u.mark = "held";
        u.tid = u.startTimer(60000);
        var helper = u.children()[0];
        for (var i = 0; i < 70; ++i)
            new QObject(helper).customEvent = function() { ++ran; };
        return helper;
    })();
    collect();
    var u = kept.parent();
    eq(u.mark, "held");
    // (The helper has a child of QtCore's own.)
    var children = kept.children().filter(function(c) { return typeof c.customEvent == "function"; });
    eq(children.length, 70, "none collected, overrides and all");
    children.forEach(function(c) { QCoreApplication.sendEvent(c, new QEvent(QEvent.User)); });
    eq(ran, 70, "their overrides run");
    // Held by its timer only, it keeps a child the script keeps once the timer stops.
    var child = children[0];
    children = null;
    u.killTimer(u.tid);
    u = kept = null;
    collect();
    eq(child.parent().parent().mark, "held");
});

finish();
