// Checksums of every file under a folder, printed as md5sum prints them: "<md5>  <path>", the
// path relative to the folder, sorted. Each file is read in 64 KB chunks.
//
//     ./run.sh examples/checksums.js -- <folder>
//
// With no folder it makes a small tree of its own in the temporary folder, sums it and removes it.

var latin1 = QTextCodec.codecForMib(4);

function md5Of(path) {
    var file = new QFile(path);
    if (!file.open(QIODevice.ReadOnly))
        throw new Error("cannot read " + path + ": " + file.errorString());
    var hash = new QCryptographicHash(QCryptographicHash.Md5);
    while (!file.atEnd())
        hash.addData(file.read(64 * 1024));
    file.close();
    return latin1.toUnicode(hash.result().toHex());
}

function checksums(folder) {
    folder = new QFileInfo(folder).absoluteFilePath();
    var root = new QDir(folder), lines = [];
    var files = new QDirIterator(folder, QDir.Filters(QDir.Files, QDir.Hidden),
                                 QDirIterator.IteratorFlags(QDirIterator.Subdirectories));
    while (files.hasNext()) {
        var path = files.next();
        lines.push(md5Of(path) + "  " + root.relativeFilePath(path));
    }
    // md5sum's order: by the path's bytes.
    return lines.sort(function(a, b) { a = a.substr(34); b = b.substr(34); return a < b ? -1 : a > b; });
}

// A sample tree: text, every byte value, an empty file, a file over one chunk, nested folders.
function makeSample() {
    var base = QDir.tempPath() + "/qtcore-checksums-" + QCoreApplication.applicationPid();
    var dir = new QDir();
    dir.mkpath(base + "/docs/deeper");
    dir.mkpath(base + "/data");
    function write(name, bytes) {
        var f = new QFile(base + "/" + name);
        if (!f.open(QIODevice.OpenMode(QIODevice.WriteOnly)))
            throw new Error("cannot write " + name);
        f.write(bytes);
        f.close();
    }
    write("readme.txt", new QByteArray("Checksums of a whole tree.\n"));
    var all = new QByteArray();
    for (var i = 0; i < 256; ++i)
        all.appendByte(i);
    write("data/bytes.bin", all);
    write("data/empty", new QByteArray());
    write("docs/deeper/large.bin", new QByteArray(200000, 97));
    write("docs/.hidden", new QByteArray("hidden files count too\n"));
    return base;
}

var folder = args.length ? args[0] : makeSample();
if (!new QFileInfo(folder).isDir())
    throw new Error(folder + " is not a folder");
var result = checksums(folder);
for (var i = 0; i < result.length; ++i)
    print(result[i]);
if (!args.length)
    removeTree(folder);

function removeTree(path) {
    var dir = new QDir(path);
    var entries = dir.entryInfoList(QDir.Filters(QDir.AllEntries, QDir.Hidden, QDir.NoDotAndDotDot));
    for (var i = 0; i < entries.length; ++i) {
        if (entries[i].isDir())
            removeTree(entries[i].filePath());
        else
            dir.remove(entries[i].fileName());
    }
    new QDir().rmdir(path);
}
