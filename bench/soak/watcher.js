// Watches a scratch folder and its files while they churn: files created and appended to,
// renamed and removed, each change of the watched set told to the watcher; every 50 rounds the
// watcher is replaced by a new one (the old one dropped, or every other time deleteLater). The
// handlers count what is reported, which depends on timing, so what is printed is what is not:
// the folder's final listing with each file's size and MD5, the work done, and what the last
// watcher watches. Twin of watcher.cpp.
//
//     ./run.sh bench/soak/watcher.js -- <seconds>

var seconds = Number(args[0] || 60);
var roundsPerSecond = 10, names = 16;
var rounds = Math.max(1, Math.round(seconds * roundsPerSecond));

var latin1 = QTextCodec.codecForMib(4);
var base = QDir.tempPath() + "/soak-watcher-" + QCoreApplication.applicationPid();
var folder = new QDir(base);
if (!folder.mkpath(base))
    throw new Error("cannot make " + base);

var created = 0, appended = 0, renamed = 0, removed = 0, watchers = 0;
var reported = 0;
var watcher = null;

function path(name) { return base + "/" + name; }

function append(name, text) {
    var file = new QFile(path(name));
    if (!file.open(new QIODevice.OpenMode(QIODevice.WriteOnly, QIODevice.Append)))
        throw new Error("cannot write " + name + ": " + file.errorString());
    file.write(text);
    file.close();
}

function newWatcher() {
    if (watcher) {
        watcher.removePaths(watcher.files());
        watcher.removePath(base);
        if (watchers % 2)
            watcher.deleteLater();
    }
    var files = folder.entryList(QDir.Filters(QDir.Files), QDir.SortFlags(QDir.Name));
    watcher = new QFileSystemWatcher([base]);
    if (files.length)
        watcher.addPaths(files.map(path));
    watcher.directoryChanged.connect(function() { ++reported; });
    watcher.fileChanged.connect(function() { ++reported; });
    ++watchers;
}

function churn(r) {
    var a = "a" + r % names;
    var fresh = !QFile.exists(path(a));
    append(a, "round " + r + "\n");
    if (fresh) {
        watcher.addPath(path(a));
        ++created;
    } else {
        ++appended;
    }
    if (r % 2 == 0) {
        var j = (r * 5) % names, from = "a" + j, to = "b" + j;
        if (QFile.exists(path(from)) && !QFile.exists(path(to))) {
            watcher.removePath(path(from));
            QFile.rename(path(from), path(to));
            watcher.addPath(path(to));
            ++renamed;
        }
    }
    if (r % 3 == 0) {
        var gone = "b" + (r * 7) % names;
        if (QFile.exists(path(gone))) {
            watcher.removePath(path(gone));
            QFile.remove(path(gone));
            ++removed;
        }
    }
    if (r % 5 == 0) {
        var b = "b" + (r * 3) % names;
        if (QFile.exists(path(b))) {
            append(b, "appended in round " + r + "\n");
            ++appended;
        }
    }
    if (r % 50 == 49)
        newWatcher();
}

var loop = new QEventLoop();
var next = new QTimer();
next.singleShot = true;
var begun = Date.now(), round = 0;
next.timeout.connect(function() {
    churn(round);
    if (++round == rounds) {
        loop.exit(0);
        return;
    }
    var due = begun + round * 1000 / roundsPerSecond;
    next.start(Math.max(0, Math.round(due - Date.now())));
});
newWatcher();
next.start(0);
loop.exec();

print("rounds " + rounds);
print("created " + created + ", appended " + appended + ", renamed " + renamed +
      ", removed " + removed + ", watchers " + watchers);
print("watching " + watcher.files().length + " files, " + watcher.directories().length +
      " folders; changes reported: " + (reported > 0 ? "yes" : "no"));
var listing = folder.entryList(QDir.Filters(QDir.Files), QDir.SortFlags(QDir.Name));
listing.forEach(function(name) {
    var file = new QFile(path(name));
    file.open(QIODevice.ReadOnly);
    var hash = QCryptographicHash.hash(file.readAll(), QCryptographicHash.Md5);
    file.close();
    print(name + " " + file.size() + " " + latin1.toUnicode(hash.toHex()));
});

watcher.removePaths(watcher.files());
listing.forEach(function(name) { QFile.remove(path(name)); });
folder.rmdir(base);
