// QDir, QFileInfo and QDirIterator, on a tree made inside this test's scratch folder.

var root = QDir.tempPath() + "/tree";

// A file of n + 13 bytes ("[General]\nk=" n times "x" "\n"), written by an INI settings object.
function makeFile(path, n) {
    var s = new QSettings(path, QSettings.IniFormat);
    s.setValue("k", new Array(n + 1).join("x"));
    s.sync();
}

function removeTree(path) {
    var d = new QDir(path);
    if (!d.exists()) return;
    var entries = d.entryInfoList(QDir.Filters(QDir.AllEntries, QDir.Hidden, QDir.NoDotAndDotDot));
    for (var i = 0; i < entries.length; ++i) {
        if (entries[i].isDir()) removeTree(entries[i].filePath());
        else ok(d.remove(entries[i].fileName()), "removed " + entries[i].filePath());
    }
    ok(new QDir().rmdir(path), "removed " + path);
}

// root/a.txt (1 byte of x), root/B.txt (20), root/c.log (5), root/sub/d.txt (3),
// root/sub/deep/e.txt (2), root/Zdir (empty)
function makeTree() {
    removeTree(root);
    ok(new QDir().mkpath(root + "/sub/deep"));
    ok(new QDir(root).mkdir("Zdir"));
    makeFile(root + "/a.txt", 1);
    makeFile(root + "/B.txt", 20);
    makeFile(root + "/c.log", 5);
    makeFile(root + "/sub/d.txt", 3);
    makeFile(root + "/sub/deep/e.txt", 2);
}

function mismatch(cls, fn, candidates) {
    return cls + "::" + fn + "(): could not find a function match; candidates are:\n" + candidates.join("\n");
}

var dirCandidates = ["QDir(QDir arg__1)", "QDir(String path)",
                     "QDir(String path, String nameFilter, SortFlags sort, Filters filter)"];

makeTree();

test("the scratch folder holds home and temporary folders", function() {
    ok(/\/scratch\/js_test_dir\/home$/.test(QDir.homePath()), QDir.homePath());
    ok(/\/scratch\/js_test_dir\/tmp$/.test(QDir.tempPath()), QDir.tempPath());
    eq(QDir.home().path(), QDir.homePath());
    eq(QDir.temp().path(), QDir.tempPath());
    eq(QDir.current().path(), QDir.currentPath());
});

test("QDir construction and value semantics", function() {
    var d = new QDir();
    eq(d.path(), ".");
    var a = new QDir(root), b = new QDir(a);
    ok(a.cd("sub"));
    eq(b.path(), root, "the copy is independent");
    eq(a.path(), root + "/sub");
    var two = new QDir(root, "*.txt");
    eq(two.sorting().valueOf(), 16);
    eq(two.filter().valueOf(), 7);
    eq(two.nameFilters().join(), "*.txt");
    eq(new QDir(root, "*", 3).sorting().valueOf(), 0, "a plain number is an empty flags value");
    eq(new QDir(root, "*", QDir.SortFlags(QDir.Size), QDir.Filters(QDir.Files)).filter().valueOf(), 2);
    throws(function() { new QDir(5); }, mismatch("QDir", "QDir", dirCandidates), "Error");
    throws(function() { new QDir(1, 2, 3, 4, 5); }, mismatch("QDir", "QDir", dirCandidates));
    throws(function() { QDir(root); }, "QDir(): Did you forget to construct with 'new'?", "Error");
    throws(function() { QDir.prototype.path(); }, "QDir.path(): this object is not a QDir", "TypeError");
    throws(function() { QDir.prototype.absolutePath.call({}); },
           "QDir.absolutePath(): this object is not a QDir", "TypeError");
    throws(function() { QDir.prototype.toString(); }, "QDir.toString(): this object is not a QDir");
    ok(d.equals("anything"), "a string compares with QDir(QString())");
    ok(!new QDir(root).equals(new QDir(root + "/sub")));
    var text = new QDir(root).toString(1, 2);
    ok(text.indexOf(root) >= 0 && text.indexOf("QDir(") == 0, text);
});

test("Filter and SortFlag enumerations and flags", function() {
    ok(QDir.Filter(7) === QDir.AllEntries);
    throws(function() { QDir.Filter(5); }, "Filter(): invalid enum value (5)", "Error");
    throws(function() { QDir.Filter(); }, "Filter(): invalid enum value (0)");
    ok(QDir.SortFlag() === QDir.Name);
    eq(QDir.Dirs.toString(), "Dirs");
    eq(QDir.Dirs.valueOf(), 1);
    eq(QDir.NoSort.valueOf(), -1);
    eq(QDir.NoDotAndDotDot.valueOf(), 4096);
    eq(QDir.Filters(7).toString(), "Dirs,Files,Drives,AllEntries");
    eq(QDir.Filters(12345).valueOf(), 12345);
    eq(QDir.Filters().valueOf(), 0);
    eq(QDir.Filters(0).toString(), "");
    var all = QDir.Filters(-1).toString().split(",");
    eq(all.length, 18);
    eq(all[0], "NoFilter");
    eq(QDir.SortFlags(16).toString(), "Name,IgnoreCase");
    eq(QDir.SortFlags(0).toString(), "Name");
    throws(function() { QDir.Filters(QDir.Dirs, 2); }, "Filters(): argument 1 is not of type Filter", "TypeError");
    throws(function() { QDir.Filters(QDir.Filters(1)); }, "Filters(): argument 0 is not of type Filter");
    throws(function() { QDir.SortFlags(QDir.Dirs); }, "SortFlags(): argument 0 is not of type SortFlag");
    ok(QDir.Filters(QDir.Dirs).equals(QDir.Filters(1)));
    ok(!QDir.Filters(1).equals(QDir.Dirs));
    ok(!QDir.Filters(16).equals(QDir.SortFlags(16)));
});

test("NoDotAndDotDot keeps its meaning both ways", function() {
    var d = new QDir(root + "/sub");
    eq(d.entryList(QDir.Filters(QDir.AllEntries), QDir.SortFlags(QDir.Name)).join(), ".,..,d.txt,deep");
    eq(d.entryList(QDir.Filters(QDir.AllEntries, QDir.NoDotAndDotDot), QDir.SortFlags(QDir.Name)).join(),
       "d.txt,deep");
    d.setFilter(QDir.Filters(QDir.Dirs, QDir.NoDotAndDotDot));
    eq(d.filter().valueOf(), 0x1001, "filter() gives the number scripts set");
    eq(d.filter().toString(), "Dirs,NoDotAndDotDot");
    eq(d.entryList().join(), "deep");
    eq(d.count(), 1);
    d.setFilter(d.filter());
    eq(d.entryList().join(), "deep", "filter() is accepted unchanged");
    var four = new QDir(root + "/sub", "*", QDir.SortFlags(QDir.Name), QDir.Filters(QDir.Files, QDir.Dirs, QDir.NoDotAndDotDot));
    eq(four.entryList().join(), "d.txt,deep");
    eq(four.filter().valueOf(), 0x1003);
    var it = new QDirIterator(root + "/sub", QDir.Filters(QDir.AllEntries, QDir.NoDotAndDotDot));
    var names = [];
    while (it.hasNext()) { it.next(); names.push(it.fileName()); }
    eq(names.sort().join(), "d.txt,deep");
    d.setFilter(QDir.NoDotAndDotDot);
    eq(d.filter().valueOf(), 0x1000, "a single value object converts");
    d.setFilter(1);
    eq(d.filter().valueOf(), 0, "a plain number is an empty filter");
});

test("a directory listing with filters and sorting", function() {
    var d = new QDir(root);
    var files = QDir.Filters(QDir.Files);
    eq(d.entryList(["*.txt"], files, QDir.SortFlags(QDir.Name)).join(), "B.txt,a.txt");
    eq(d.entryList(["*.txt"], files, QDir.SortFlags(QDir.Name, QDir.IgnoreCase)).join(), "a.txt,B.txt");
    eq(d.entryList(files, QDir.SortFlags(QDir.Size)).join(), "B.txt,c.log,a.txt", "largest first");
    eq(d.entryList(files, QDir.SortFlags(QDir.Size, QDir.Reversed)).join(), "a.txt,c.log,B.txt");
    var all = QDir.Filters(QDir.AllEntries, QDir.NoDotAndDotDot);
    eq(d.entryList(all, QDir.SortFlags(QDir.Name, QDir.IgnoreCase, QDir.DirsFirst)).join(),
       "sub,Zdir,a.txt,B.txt,c.log");
    eq(d.entryList(all, QDir.SortFlags(QDir.Name, QDir.DirsLast)).join(), "B.txt,a.txt,c.log,Zdir,sub");
    eq(d.entryList(QDir.Filters(QDir.Dirs, QDir.NoDotAndDotDot), QDir.SortFlags(QDir.Name)).join(), "Zdir,sub");
    eq(d.entryList(["*.log"]).join(), "c.log", "name filters alone");
    eq(d.entryList(["*.log", "a*"], 0, 0).join(), "", "plain numbers give no filters");
    eq(d.entryList().join(), ".,..,a.txt,B.txt,c.log,sub,Zdir", "the directory's own filter and sorting");
    var infos = d.entryInfoList(["*.txt"], files, QDir.SortFlags(QDir.Size));
    eq(infos.length, 2);
    eq(infos[0].fileName(), "B.txt");
    eq(infos[0].size(), 33);
    eq(infos[1].size(), 14);
    ok(infos[0].isFile() && !infos[0].isDir());
    eq(d.entryInfoList(files).length, 3);
    throws(function() { d.entryList(QDir.Dirs); },
           mismatch("QDir", "entryList", ["entryList(Filters filters, SortFlags sort)",
                                          "entryList(List nameFilters, Filters filters, SortFlags sort)"]));
    throws(function() { d.entryInfoList(files, 1); }, undefined, "Error");
    throws(function() { d.entryList(1, 2, 3, 4); }, undefined, "Error");
    d.setNameFilters(["*.txt"]);
    d.setSorting(QDir.SortFlags(QDir.Name));
    d.setFilter(files);
    eq(d.entryList().join(), "B.txt,a.txt");
    eq(d.nameFilters().join(), "*.txt");
    eq(d.sorting().toString(), "Name");
    throws(function() { d.setNameFilters({length: 4e9}); }, "QDir::setNameFilters(): list length out of range", "RangeError");
    throws(function() { d.entryList({length: -1}, 0, 0); }, "QDir::entryList(): list length out of range");
    eq(d.nameFilters().join(), "*.txt", "a refused list changes nothing");
});

test("operator_subscript reads entries inside the list only", function() {
    var d = new QDir(root, "*.txt", QDir.SortFlags(QDir.Name), QDir.Filters(QDir.Files));
    eq(d.count(), 2);
    eq(d.operator_subscript(0), "B.txt");
    eq(d.operator_subscript(1), "a.txt");
    throws(function() { d.operator_subscript(2); }, "QDir::operator_subscript(): index out of range", "RangeError");
    throws(function() { d.operator_subscript(-1); }, "QDir::operator_subscript(): index out of range", "RangeError");
    throws(function() { new QDir(root + "/none").operator_subscript(0); }, undefined, "RangeError");
});

test("QDir static path functions", function() {
    eq(QDir.convertSeparators("a/b\\c"), QDir.toNativeSeparators("a/b\\c"));
    eq(QDir.convertSeparators("a/b"), "a/b");
    eq(QDir.fromNativeSeparators("a/b"), "a/b");
    eq(QDir.cleanPath("a//b/../c/"), "a/c");
    eq(QDir.cleanPath(12), "12", "converted without a test");
    ok(QDir.isAbsolutePath("/x") && !QDir.isRelativePath("/x"));
    ok(QDir.isRelativePath("x") && !QDir.isAbsolutePath("x"));
    ok(QDir.match("*.txt", "a.txt"));
    ok(!QDir.match("*.txt", "a.log"));
    ok(QDir.match(["*.c", "*.txt"], "a.txt"));
    throws(function() { QDir.match(1, "x"); },
           mismatch("QDir", "match", ["match(String filter, String fileName)", "match(List filters, String fileName)"]));
    eq(QDir.nameFiltersFromString("*.c;*.h").join("|"), "*.c|*.h");
    eq(QDir.separator(), 47);
    eq(QDir.rootPath(), "/");
    ok(QDir.root().isRoot());
    throws(function() { QDir.currentPath(1); },
           mismatch("QDir", "currentPath", ["currentPath()"]));
});

test("QDir makes, renames and removes", function() {
    var d = new QDir(root);
    ok(d.mkdir("made"));
    ok(!d.mkdir("made"), "already there");
    ok(d.exists("made"));
    ok(d.rename("made", "renamed"));
    ok(!d.exists("made") && d.exists("renamed"));
    ok(d.rmdir("renamed"));
    ok(!d.rmdir("renamed"));
    ok(d.mkpath("p/q/r"));
    ok(new QDir(root + "/p/q/r").exists());
    ok(d.rmpath("p/q/r"));
    ok(!d.exists("p"));
    makeFile(root + "/gone.txt", 0);
    ok(d.remove("gone.txt"));
    ok(!d.remove("gone.txt"));
    throws(function() { d.exists(1, 2); }, mismatch("QDir", "exists", ["exists()", "exists(String name)"]));
    var e = new QDir(root + "/sub");
    ok(e.cdUp());
    eq(e.path(), root);
    ok(!e.cd("none"));
    eq(e.path(), root, "a failed cd leaves the path");
    eq(e.dirName(), "tree");
    eq(e.filePath("x"), root + "/x");
    eq(e.absoluteFilePath("x"), root + "/x");
    eq(e.relativeFilePath(root + "/sub/d.txt"), "sub/d.txt");
    var r = new QDir("sub-relative");
    ok(r.isRelative() && !r.isAbsolute());
    ok(r.makeAbsolute());
    ok(r.isAbsolute());
    eq(r.path(), QDir.currentPath() + "/sub-relative");
    eq(new QDir(root + "/sub/..").canonicalPath(), root);
    ok(new QDir(root).isReadable());
    var p = new QDir(root);
    p.setPath(root + "/sub");
    eq(p.absolutePath(), root + "/sub");
    var n = p.count();
    makeFile(root + "/sub/new.txt", 1);
    eq(p.count(), n, "the listing is cached");
    var copy = new QDir(p);
    p.refresh();
    eq(p.count(), n + 1, "refresh reads the folder again");
    eq(p.entryList().indexOf("new.txt") >= 0, true);
    eq(copy.count(), n, "a copy keeps its own listing");
    ok(p.remove("new.txt"));
});

test("QFileInfo describes entries", function() {
    var candidates = ["QFileInfo()", "QFileInfo(QDir dir, String file)", "QFileInfo(QFile file)",
                      "QFileInfo(QFileInfo fileinfo)", "QFileInfo(String file)"];
    throws(function() { new QFileInfo(5); }, mismatch("QFileInfo", "QFileInfo", candidates), "Error");
    throws(function() { new QFileInfo(new QDir(root)); }, mismatch("QFileInfo", "QFileInfo", candidates));
    throws(function() { new QFileInfo(1, 2, 3); }, mismatch("QFileInfo", "QFileInfo", candidates));
    throws(function() { QFileInfo("a"); }, "QFileInfo(): Did you forget to construct with 'new'?", "Error");
    eq(new QFileInfo(5, "name").fileName(), "name", "a default QDir");
    var f = new QFileInfo(root + "/sub/d.txt");
    ok(f.exists() && f.isFile() && !f.isDir() && !f.isSymLink());
    eq(f.size(), 16);
    eq(f.fileName(), "d.txt");
    eq(f.path(), root + "/sub");
    eq(f.absolutePath(), root + "/sub");
    eq(f.dir().path(), root + "/sub");
    eq(f.dir().entryList(QDir.Filters(QDir.Files)).join(), "d.txt", "dir() carries the QDir methods");
    eq(f.absoluteDir().dirName(), "sub");
    eq(f.canonicalFilePath(), root + "/sub/d.txt");
    eq(f.symLinkTarget(), "");
    ok(f.isAbsolute() && !f.isRelative());
    ok(f.isReadable() && f.isWritable());
    ok(f.lastModified() instanceof Date && !isNaN(f.lastModified().getTime()));
    ok(f.created() instanceof Date && !isNaN(f.created().getTime()));
    ok(f.lastRead() instanceof Date);
    ok(typeof f.ownerId() == "number" && typeof f.groupId() == "number");
    eq(typeof f.owner(), "string");
    eq(f.permission(4), true, "a plain number tests an empty set");
    var n = new QFileInfo("a.tar.gz");
    eq(n.baseName(), "a");
    eq(n.completeBaseName(), "a.tar");
    eq(n.suffix(), "gz");
    eq(n.completeSuffix(), "tar.gz");
    ok(!n.exists() && n.isRelative());
    eq(n.size(), 0);
    ok(n.makeAbsolute());
    eq(n.filePath(), QDir.currentPath() + "/a.tar.gz");
    var copy = new QFileInfo(f);
    copy.setFile(new QDir(root), "a.txt");
    eq(f.fileName(), "d.txt", "copies are independent");
    eq(copy.size(), 14);
    copy.setFile(root + "/c.log");
    eq(copy.size(), 18);
    ok(copy.equals(new QFileInfo(root + "/c.log")));
    ok(!copy.equals(5));
    ok(new QFileInfo(root).isDir());
    eq(f.toString(1, 2), "QFileInfo");
    throws(function() { QFileInfo.prototype.toString(); }, "QFileInfo.toString(): this object is not a QFileInfo", "TypeError");
    throws(function() { f.exists(1); }, mismatch("QFileInfo", "exists", ["exists()"]));
    var setFile = ["setFile(QDir dir, String file)", "setFile(QFile file)", "setFile(String file)"];
    throws(function() { f.setFile(5); }, mismatch("QFileInfo", "setFile", setFile));
    throws(function() { f.setFile(); }, mismatch("QFileInfo", "setFile", setFile));
    f.setCaching(false);
    eq(f.caching(), false);
    makeFile(root + "/grow.txt", 1);
    var g = new QFileInfo(root + "/grow.txt");
    eq(g.size(), 14);
    makeFile(root + "/grow.txt", 11);
    g.refresh();
    eq(g.size(), 24, "refresh reads the file again");
    ok(new QDir(root).remove("grow.txt"));
});

test("QFileInfo of files and their permissions", function() {
    var f = new QFile(root + "/a.txt");
    eq(new QFileInfo(f).size(), 14);
    f.setFileName(root + "/c.log");
    eq(new QFileInfo(f).fileName(), "c.log", "the file's current name");
    var i = new QFileInfo();
    i.setFile(f);
    eq(i.filePath(), root + "/c.log");
    var t = new QTemporaryFile(root + "/tmpXXXXXX");
    ok(t.open());
    eq(new QFileInfo(t).filePath(), t.fileName(), "a temporary file is a file");
    t.remove();
    var candidates = ["QFileInfo()", "QFileInfo(QDir dir, String file)", "QFileInfo(QFile file)",
                      "QFileInfo(QFileInfo fileinfo)", "QFileInfo(String file)"];
    throws(function() { new QFileInfo(new QBuffer()); }, mismatch("QFileInfo", "QFileInfo", candidates));
    throws(function() { i.setFile(new QBuffer()); }, undefined, "Error");

    ok(QFile.setPermissions(root + "/a.txt", QFile.Permissions(QFile.ReadOwner, QFile.WriteOwner)));
    var p = new QFileInfo(root + "/a.txt");
    ok(p.permission(QFile.ReadOwner), "one value object");
    ok(!p.permission(QFile.ExeOwner));
    ok(p.permission(QFile.Permissions(QFile.ReadOwner, QFile.WriteOwner)));
    ok(!p.permission(QFile.Permissions(QFile.ReadOwner, QFile.ReadOther)));
    var perms = p.permissions();
    ok(perms.equals(QFile.Permissions(perms.valueOf())), "a QFile.Permissions value");
    eq(perms.valueOf() & 0x7777, 0x6000 | (perms.valueOf() & 0x0700));
    ok(perms.toString().indexOf("WriteOwner,ReadOwner") >= 0, perms.toString());
    ok(QFile.setPermissions(root + "/a.txt", QFile.Permissions(0x6644)));
});

test("QDirIterator walks a tree", function() {
    var candidates = ["QDirIterator(QDir dir, IteratorFlags flags)",
                      "QDirIterator(String path, Filters filter, IteratorFlags flags)",
                      "QDirIterator(String path, IteratorFlags flags)",
                      "QDirIterator(String path, List nameFilters, Filters filters, IteratorFlags flags)"];
    var m = mismatch("QDirIterator", "QDirIterator", candidates);
    throws(function() { new QDirIterator(); }, m, "Error");
    throws(function() { new QDirIterator(root, QDirIterator.Subdirectories); }, m);
    throws(function() { new QDirIterator(root, QDir.Files); }, m);
    throws(function() { new QDirIterator(root, 0); }, m);
    throws(function() { new QDirIterator(5); }, m);
    throws(function() { QDirIterator(root); }, "QDirIterator(): Did you forget to construct with 'new'?");

    function walk(it) {
        var paths = [];
        while (it.hasNext()) paths.push(it.next().substring(root.length + 1));
        return paths.sort().join();
    }
    var recursive = QDirIterator.IteratorFlags(QDirIterator.Subdirectories);
    eq(walk(new QDirIterator(root, QDir.Filters(QDir.Files), recursive)),
       "B.txt,a.txt,c.log,sub/d.txt,sub/deep/e.txt");
    eq(walk(new QDirIterator(root, [], QDir.Files, QDirIterator.Subdirectories)),
       "B.txt,a.txt,c.log,sub/d.txt,sub/deep/e.txt", "value objects in the untested form");
    eq(walk(new QDirIterator(root, ["*.txt"], QDir.Filters(QDir.Files))), "B.txt,a.txt");
    eq(walk(new QDirIterator(root, ["d*", "e*"], QDir.Filters(QDir.Files), recursive)), "sub/d.txt,sub/deep/e.txt");
    eq(walk(new QDirIterator(root + "/sub", ["*.txt"])), "sub/d.txt", "name filters, no filter");
    eq(walk(new QDirIterator(root + "/sub", recursive)),
       "sub/.,sub/..,sub/d.txt,sub/deep,sub/deep/.,sub/deep/..,sub/deep/e.txt");
    eq(walk(new QDirIterator(new QDir(root + "/sub", "*.txt", QDir.SortFlags(0), QDir.Filters(QDir.Files)), recursive)),
       "sub/d.txt,sub/deep/e.txt", "a QDir's filters");
    eq(walk(new QDirIterator(new QDir(root + "/sub/deep"))), "sub/deep/.,sub/deep/..,sub/deep/e.txt");

    var odd = new QDirIterator(5, [], 0, 0);
    eq(odd.path(), "5");
    ok(!odd.hasNext());

    var it = new QDirIterator(root + "/sub/deep", QDir.Filters(QDir.Files));
    eq(it.path(), root + "/sub/deep");
    ok(it.hasNext());
    eq(it.next(), root + "/sub/deep/e.txt");
    eq(it.fileName(), "e.txt");
    eq(it.filePath(), root + "/sub/deep/e.txt");
    var i1 = it.fileInfo(), i2 = it.fileInfo();
    i1.setFile(root + "/a.txt");
    eq(i2.fileName(), "e.txt", "each fileInfo is a value of its own");
    eq(i2.size(), 15);
    ok(!it.hasNext());
    eq(it.next(), "", "past the end");
    throws(function() { it.next(1); }, mismatch("QDirIterator", "next", ["next()"]));
    eq(it.toString(1), "QDirIterator");
    throws(function() { QDirIterator.prototype.hasNext(); },
           "QDirIterator.hasNext(): this object is not a QDirIterator", "TypeError");
    throws(function() { QDirIterator.prototype.hasNext.call(new QDir()); },
           "QDirIterator.hasNext(): this object is not a QDirIterator", "TypeError");
});

test("IteratorFlag and IteratorFlags", function() {
    ok(QDirIterator.IteratorFlag(2) === QDirIterator.Subdirectories);
    ok(QDirIterator.IteratorFlag() === QDirIterator.NoIteratorFlags);
    throws(function() { QDirIterator.IteratorFlag(3); }, "IteratorFlag(): invalid enum value (3)");
    throws(function() { QDirIterator.IteratorFlag(-1); }, "IteratorFlag(): invalid enum value (-1)");
    eq(QDirIterator.IteratorFlags(3).toString(), "NoIteratorFlags,FollowSymlinks,Subdirectories");
    eq(QDirIterator.IteratorFlags().toString(), "NoIteratorFlags");
    eq(QDirIterator.IteratorFlags(8).valueOf(), 8);
    eq(QDirIterator.IteratorFlags(8).toString(), "NoIteratorFlags");
    throws(function() { QDirIterator.IteratorFlags(1, 2); },
           "IteratorFlags(): argument 0 is not of type IteratorFlag", "TypeError");
    ok(!QDirIterator.IteratorFlags(QDirIterator.FollowSymlinks).equals(QDirIterator.FollowSymlinks));
    ok(QDirIterator.IteratorFlags(1).equals(QDirIterator.IteratorFlags(QDirIterator.FollowSymlinks)));
    var saved = QDirIterator, lookup = QDirIterator.IteratorFlag;
    try {
        QDirIterator = {Subdirectories: 42};
        eq(lookup(2), 42, "value objects are found through the global object");
    } finally {
        QDirIterator = saved;
    }
});

removeTree(root);
test("the tree is gone", function() { ok(!new QDir(root).exists()); });
finish();
