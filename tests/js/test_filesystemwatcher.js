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
    QFile.remove("changing.txt");
});

finish();
