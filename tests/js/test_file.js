// QFile and QTemporaryFile, in the test's scratch folder (the working directory; TMPDIR is in it).

function str(ba) {
    var s = "";
    for (var i = 0; i < ba.size(); ++i) s += String.fromCharCode(ba.at(i) & 0xff);
    return s;
}
function writeFile(name, data) {
    var f = new QFile(name);
    ok(f.open(QIODevice.WriteOnly), "open " + name + " for writing");
    eq(f.write(data), typeof data == "string" ? data.length : data.size());
    f.close();
}
function readFile(name) {
    var f = new QFile(name);
    ok(f.open(QIODevice.ReadOnly), "open " + name + " for reading");
    var all = f.readAll();
    f.close();
    return all;
}

test("construction, enumerations and flags", function() {
    eq(Object.getPrototypeOf(QFile.prototype), QIODevice.prototype);
    eq(Object.getPrototypeOf(QTemporaryFile.prototype), QFile.prototype);
    throws(function() { QFile("a"); }, "QFile(): Did you forget to construct with 'new'?");
    throws(function() { new QFile(5); },
           "QFile::QFile(): could not find a function match; candidates are:\n" +
           "QFile()\nQFile(QObject parent)\nQFile(String name)\nQFile(String name, QObject parent)");
    var g = new QFile("g");
    var child = new QFile(g);
    eq(child.parent(), g, "an object is a parent before it is a name");
    eq(child.fileName(), "");
    eq(new QFile("a", 5).fileName(), "a");
    eq(new QFile("a").error(), QFile.NoError);
    eq(new QFile.FileError(14), QFile.CopyError);
    throws(function() { new QFile.FileError(-1); }, "FileError(): invalid enum value (-1)");
    eq(new QFile.MemoryMapFlags(0), QFile.NoOptions);
    eq(new QFile.Permissions(QFile.ReadOwner, QFile.WriteOwner).toString(), "WriteOwner,ReadOwner");
    throws(function() { new QFile.Permissions(QFile.ReadOwner, 4); },
           "Permissions(): argument 1 is not of type Permission", "TypeError");
    throws(function() { QFile.exists(); },
           "QFile::exists(): could not find a function match; candidates are:\nexists(String fileName)");
    throws(function() { QFile.prototype.fileName.call(new QBuffer()); },
           "QFile.fileName(): this object is not a QFile", "TypeError");
    eq(g.fileEngine(), null, "Qt 5 has no public file engine");
    eq(g.toString(1, 2), "QFile");
});

test("binary round trip with every byte value", function() {
    var all = new QByteArray();
    for (var round = 0; round < 4; ++round)
        for (var i = 0; i < 256; ++i) all.appendByte(i);
    writeFile("binary.dat", all);
    eq(QFile.exists("binary.dat"), true);
    var back = readFile("binary.dat");
    eq(back.size(), 1024);
    ok(back.equals(all), "the bytes come back unchanged");
    var f = new QFile("binary.dat");
    f.open(QIODevice.ReadOnly);
    f.seek(255);
    eq(f.read(2).toHex().toUpper().at(0), 70, "0xff then 0x00");
    eq(f.pos(), 257);
    eq(f.handle() >= 0, true);
    f.close();
    eq(f.remove(), true);
    eq(QFile.exists("binary.dat"), false);
});

test("a 10 MB file read whole and by lines", function() {
    var line = new QByteArray(99, 120);
    line.append("\n");
    var f = new QFile("big.txt");
    ok(f.open(QIODevice.WriteOnly));
    var block = new QByteArray();
    for (var i = 0; i < 1000; ++i) block.append(line);
    for (var j = 0; j < 100; ++j) f.write(block);
    f.close();
    eq(f.size(), 10000000);
    var whole = readFile("big.txt");
    eq(whole.size(), 10000000);
    eq(whole.count(new QByteArray("\n")), 100000);
    f.open(QIODevice.ReadOnly);
    var lines = 0, bytes = 0, bad = 0;
    while (!f.atEnd()) {
        var l = f.readLine();
        if (l.size() != 100 || l.at(99) != 10) ++bad;
        bytes += l.size();
        ++lines;
    }
    eq(lines, 100000);
    eq(bytes, 10000000);
    eq(bad, 0);
    f.seek(0);
    eq(f.readLine(200000).size(), 100, "a large maxlen still stops at the newline");
    eq(f.read(20000000).size(), 10000000 - 100);
    f.close();
    f.remove();
});

test("a line is read in chunks, not a byte per system call", function() {
    function readCalls() { return Number(/syscr: (\d+)/.exec(str(readFile("/proc/self/io")))[1]); }
    var zero = new QFile("/dev/zero");
    ok(zero.open(QIODevice.ReadOnly) && zero.isSequential());
    var before = readCalls();
    eq(zero.readLine(1 << 20).size(), (1 << 20) - 1);
    var calls = readCalls() - before;
    ok(calls < 1000, "read calls: " + calls);
    // Lines around the chunk sizes come whole, or cut at maxlen - 1 bytes.
    var f = new QFile("lines.txt"), sizes = [1, 255, 256, 257, 1 << 20, (1 << 20) + 1, 300000];
    f.open(QIODevice.WriteOnly);
    for (var i = 0; i < sizes.length; ++i) {
        f.write(new QByteArray(sizes[i] - 1, 120));
        f.write(new QByteArray("\n"));
    }
    f.close();
    f.open(QIODevice.ReadOnly);
    var got = [];
    for (var i = 0; i < sizes.length - 1; ++i) got.push(f.readLine().size());
    eq(got.join(), sizes.slice(0, -1).join());
    eq(f.readLine(257).size(), 256);
    eq(f.readLine().size(), 300000 - 256);
    eq(f.readLine().size(), 0);
    f.close();
    f.remove();
});

test("strings write their text; file operations by name and on the object", function() {
    writeFile("a.txt", "caf\u00e9");
    eq(str(readFile("a.txt")), "caf\u00e9", "Latin-1 text, byte for byte");
    eq(QFile.copy("a.txt", "b.txt"), true);
    eq(QFile.copy("a.txt", "b.txt"), false, "copy never overwrites");
    var b = new QFile("b.txt");
    eq(b.rename("c.txt"), true);
    eq(b.fileName(), "c.txt");
    eq(QFile.rename("c.txt", "d.txt"), true);
    eq(QFile.link("d.txt", "e.lnk"), true);
    ok(/d\.txt$/.test(QFile.symLinkTarget("e.lnk")), QFile.symLinkTarget("e.lnk"));
    eq(new QFile("e.lnk").symLinkTarget(), QFile.symLinkTarget("e.lnk"));
    eq(QFile.resize("d.txt", 2), true);
    eq(readFile("d.txt").size(), 2);
    var d = new QFile("d.txt");
    eq(d.resize(7), true);
    eq(d.size(), 7);
    // The user bits say what this process may do, whatever the mode (all, for root).
    function modeBits(name) { return QFile.permissions(name).valueOf() & ~0x700; }
    var perms = new QFile.Permissions(QFile.ReadOwner, QFile.WriteOwner, QFile.ReadGroup);
    eq(QFile.setPermissions("d.txt", perms), true);
    eq(modeBits("d.txt"), perms.valueOf());
    eq(d.setPermissions(0x4000), true);
    eq(modeBits("d.txt"), 0, "a plain number is no flags value: no permissions");
    d.setPermissions(perms);
    ok(QFile.prototype.copy.call(d, "f.txt"));
    eq(str(QFile.encodeName("name.txt")), "name.txt");
    eq(QFile.decodeName(QFile.encodeName("x\u00e9")), "x\u00e9");
    var missing = new QFile("missing/nothing");
    eq(missing.open(QIODevice.ReadOnly), false);
    eq(missing.error(), QFile.OpenError);
    missing.unsetError();
    eq(missing.error(), QFile.NoError);
    ["a.txt", "d.txt", "e.lnk", "f.txt"].forEach(function(n) { eq(QFile.remove(n), true, n); });
});

test("unopened files: reads give nothing", function() {
    var t = new QTemporaryFile();
    eq(t.readLine().size(), 0);
    eq(new QFile("none").readLine(10).size(), 0);
    eq(new QFile("none").read(10).size(), 0);
});

test("temporary files", function() {
    throws(function() { QTemporaryFile(); }, "QTemporaryFile(): Did you forget to construct with 'new'?");
    throws(function() { new QTemporaryFile(5); },
           "QTemporaryFile::QTemporaryFile(): could not find a function match; candidates are:\n" +
           "QTemporaryFile()\nQTemporaryFile(QObject parent)\nQTemporaryFile(String templateName)\n" +
           "QTemporaryFile(String templateName, QObject parent)");
    var t = new QTemporaryFile("tmp-XXXXXX.txt");
    eq(t.fileTemplate(), "tmp-XXXXXX.txt");
    ok(t.open());
    throws(function() { t.open(QIODevice.ReadOnly); },
           "QTemporaryFile::open(): could not find a function match; candidates are:\nopen()");
    var name = t.uniqueFilename();
    ok(/tmp-.{6}\.txt$/.test(name), name);
    eq(t.fileName(), name);
    eq(t.write(new QByteArray("temp")), 4);
    eq(t.autoRemove(), true);
    eq(QFile.exists(name), true);
    throws(function() { QTemporaryFile.prototype.autoRemove.call(new QFile("a")); },
           "QTemporaryFile.autoRemove(): this object is not a QTemporaryFile", "TypeError");
    throws(function() { QTemporaryFile.createLocalFile(5); },
           "QTemporaryFile::createLocalFile(): could not find a function match; candidates are:\n" +
           "createLocalFile(QFile file)\ncreateLocalFile(String fileName)");
    eq(QTemporaryFile.createLocalFile(t), null, "a file on the local disk needs no copy");
    eq(t.toString(1), "QTemporaryFile");
    t = null;
    for (var i = 0; i < 3 && QFile.exists(name); ++i) gc();
    eq(QFile.exists(name), false, "gone once its object is");

    var kept = new QTemporaryFile();
    kept.setAutoRemove(0);
    ok(kept.open());
    var keptName = kept.fileName();
    kept.close();
    kept = null;
    gc();
    eq(QFile.exists(keptName), true, "auto-removal off");
    eq(QFile.remove(keptName), true);
});

finish();
