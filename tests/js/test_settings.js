// QSettings: an object class with shell. Every settings file goes to this test's scratch folder.

var base = QDir.tempPath() + "/settings";
QSettings.setPath(QSettings.NativeFormat, QSettings.UserScope, base + "/user");
QSettings.setPath(QSettings.IniFormat, QSettings.UserScope, base + "/user");
QSettings.setPath(QSettings.NativeFormat, QSettings.SystemScope, base + "/system");
QSettings.setPath(QSettings.IniFormat, QSettings.SystemScope, base + "/system");

function mismatch(fn, candidates) {
    return "QSettings::" + fn + "(): could not find a function match; candidates are:\n" + candidates.join("\n");
}
var candidates = [
    "QSettings(QObject parent)",
    "QSettings(Format format, Scope scope, String organization, String application, QObject parent)",
    "QSettings(Scope scope, String organization, String application, QObject parent)",
    "QSettings(String fileName, Format format, QObject parent)",
    "QSettings(String organization, String application, QObject parent)"];

test("construction picks the overload from the argument types", function() {
    var org = new QSettings("org");
    eq(org.organizationName(), "org");
    eq(org.applicationName(), "");
    eq(org.fileName(), base + "/user/org.conf");
    var app = new QSettings("org", "app");
    eq(app.applicationName(), "app");
    eq(app.fileName(), base + "/user/org/app.conf");
    ok(app.scope() === QSettings.UserScope);
    var file = new QSettings(base + "/file.ini", QSettings.IniFormat);
    eq(file.fileName(), base + "/file.ini");
    ok(file.format() === QSettings.IniFormat);
    var sys = new QSettings(QSettings.SystemScope, "org");
    ok(sys.scope() === QSettings.SystemScope);
    eq(sys.fileName(), base + "/system/org.conf");
    var ini = new QSettings(QSettings.IniFormat, QSettings.UserScope, "org", "ini");
    eq(ini.fileName(), base + "/user/org/ini.ini");
    var five = new QSettings(1, 1, "org", "five", null);
    ok(five.format() === QSettings.NativeFormat && five.scope() === QSettings.UserScope,
       "plain numbers give the first keys");
    throws(function() { new QSettings(1, "org"); }, mismatch("QSettings", candidates), "Error");
    throws(function() { new QSettings(5); }, mismatch("QSettings", candidates));
    throws(function() { new QSettings(1, 2, 3, 4, 5, 6); }, mismatch("QSettings", candidates));
    throws(function() { QSettings(); }, "QSettings(): Did you forget to construct with 'new'?", "Error");
});

test("a parent owns the settings object", function() {
    var parent = new QObject();
    var s = new QSettings(parent);
    ok(s.parent() === parent);
    eq(parent.children().length, 1);
    var t = new QSettings("org", "app", parent);
    ok(t.parent() === parent);
    var u = new QSettings(base + "/p.ini", QSettings.IniFormat, parent);
    ok(u.parent() === parent && u.format() === QSettings.IniFormat);
    var v = new QSettings(QSettings.UserScope, "org", "app", parent);
    ok(v.parent() === parent);
    eq(parent.children().length, 4);
    ok(Object.getPrototypeOf(QSettings.prototype) === QObject.prototype);
});

test("values, groups and arrays", function() {
    var s = new QSettings(base + "/values.ini", QSettings.IniFormat);
    s.clear();
    eq(s.value("missing"), undefined);
    eq(s.value("missing", 5), 5);
    s.setValue("text", "hello");
    eq(s.value("text"), "hello");
    s.setValue("number", 2.5);
    eq(s.value("number"), 2.5);
    s.setValue("flag", true);
    eq(s.value("flag"), true);
    s.setValue("list", ["a", "b"]);
    eq(s.value("list").join(), "a,b");
    ok(s.contains("text") && !s.contains("missing"));
    s.beginGroup("g");
    eq(s.group(), "g");
    s.setValue("inner", 1);
    eq(s.childKeys().join(), "inner");
    s.endGroup();
    eq(s.group(), "");
    eq(s.childGroups().join(), "g");
    eq(s.value("g/inner"), 1);
    s.remove("g");
    ok(!s.contains("g/inner"));
    eq(s.allKeys().sort().join(), "flag,list,number,text");

    s.beginWriteArray("open");
    s.setArrayIndex(0); s.setValue("v", "x");
    s.setArrayIndex(1); s.setValue("v", "y");
    s.endArray();
    eq(s.beginReadArray("open"), 2, "size -1: the entries written");
    s.setArrayIndex(1);
    eq(s.value("v"), "y");
    s.endArray();
    s.beginWriteArray("sized", 3);
    s.setArrayIndex(0); s.setValue("v", "x");
    s.endArray();
    eq(s.beginReadArray("sized"), 3, "the size given");
    s.endArray();
    s.sync();
    ok(s.status() === QSettings.NoError);
    ok(s.isWritable());
    s.setFallbacksEnabled(false);
    eq(s.fallbacksEnabled(), false);

    var again = new QSettings(base + "/values.ini", QSettings.IniFormat);
    eq(again.value("text"), "hello");
    eq(again.value("open/2/v"), "y");
    throws(function() { s.value(); }, mismatch("value", ["value(String key, Object defaultValue)"]));
    throws(function() { s.sync(1); }, mismatch("sync", ["sync()"]));
    throws(function() { s.setValue("k"); }, mismatch("setValue", ["setValue(String key, Object value)"]));
});

test("enumerations and static functions", function() {
    var s = new QSettings("org", "enums");
    ok(s.format() === QSettings.NativeFormat);
    eq(String(s.format()), "NativeFormat");
    ok(QSettings.Format(16) === QSettings.InvalidFormat);
    ok(QSettings.Format(32) === QSettings.CustomFormat16);
    throws(function() { QSettings.Format(2); }, "Format(): invalid enum value (2)", "Error");
    throws(function() { QSettings.Scope(-1); }, "Scope(): invalid enum value (-1)");
    throws(function() { QSettings.Status(3); }, "Status(): invalid enum value (3)");
    eq(QSettings.FormatError.valueOf(), 2);
    eq(QSettings.SystemScope.toString(), "SystemScope");
    throws(function() { QSettings.defaultFormat(1); }, mismatch("defaultFormat", ["defaultFormat()"]));
    throws(function() { QSettings.setPath(QSettings.IniFormat, QSettings.UserScope); },
           mismatch("setPath", ["setPath(Format format, Scope scope, String path)"]));
    QSettings.setDefaultFormat(QSettings.IniFormat);
    ok(QSettings.defaultFormat() === QSettings.IniFormat);
    ok(new QSettings().format() === QSettings.IniFormat, "the default format applies");
    QSettings.setDefaultFormat(1);
    ok(QSettings.defaultFormat() === QSettings.NativeFormat, "a plain number converts to 0");
    throws(function() { QSettings.prototype.allKeys.call(new QObject()); },
           "QSettings.allKeys(): this object is not a QSettings", "TypeError");
    eq(s.toString(), "QSettings");
    eq(s.toString(1, 2), "QSettings");
});

test("a script event override", function() {
    var s = new QSettings("org", "events"), seen = [];
    s.event = function(e) { seen.push(e.type()); return false; };
    eq(QCoreApplication.sendEvent(s, new QEvent(QEvent.User)), false);
    eq(seen.length, 1);
    ok(seen[0] === QEvent.User);
    delete s.event;
    QCoreApplication.sendEvent(s, new QEvent(QEvent.User));
    eq(seen.length, 1, "QSettings::event again");
});

// INI text: `list(n, rest)` is a value holding a list that announces n elements.
function writeFile(name, text) {
    var f = new QFile(name);
    f.open(QIODevice.WriteOnly);
    f.write(new QByteArray(text));
    f.close();
}
function zeros(n) { var s = ""; for (var i = 0; i < n; ++i) s += "\\0"; return s; }
var huge = "@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)";

test("a value announcing more elements than it holds makes its file unreadable", function() {
    writeFile("crafted.ini", "[General]\ny=2\nx=" + huge + "\n");
    var s = new QSettings("crafted.ini", QSettings.IniFormat);
    eq(s.status(), QSettings.FormatError);
    eq(s.value("y", 7), 7, "nothing is read");
    eq(s.value("x"), undefined);
    eq(s.allKeys().length + s.childKeys().length + s.childGroups().length, 0);
    eq(s.contains("y"), false);
    eq(s.beginReadArray("a"), 0);
    s.setValue("z", 1);
    s.remove("y");
    s.sync();
    var f = new QFile("crafted.ini");
    f.open(QIODevice.ReadOnly);
    ok(f.readAll().indexOf(new QByteArray("y=2")) >= 0, "nothing is changed");
    // In a list of values, quoted, or in a fallback file just the same.
    writeFile("listed.ini", "x=1, \"" + huge + "\"\n");
    eq(new QSettings("listed.ini", QSettings.IniFormat).status(), QSettings.FormatError);
    new QDir().mkpath(base + "/system");
    writeFile(base + "/system/crafted.conf", "x=" + huge + "\n");
    eq(new QSettings("crafted", "app").status(), QSettings.FormatError);
    QFile.remove(base + "/system/crafted.conf");
});

test("a list is believed up to four elements per byte-quad it has left", function() {
    // Count 4 with 17 bytes after it (the closing parenthesis included): read, and found short.
    writeFile("bound.ini", "x=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x4" + zeros(16) + ")\n");
    var s = new QSettings("bound.ini", QSettings.IniFormat);
    eq(s.status(), QSettings.NoError);
    eq(s.allKeys().join(), "x");
    writeFile("past.ini", "x=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x5" + zeros(16) + ")\n");
    eq(new QSettings("past.ini", QSettings.IniFormat).status(), QSettings.FormatError);
});

test("values nest 64 deep", function() {
    function nested(depth) {
        var t = "";
        for (var i = 0; i < depth; ++i) t += "\\0\\0\\0\\t\\0\\0\\0\\x1";
        return "x=@Variant(" + t + "\\0\\0\\0\\x2\\0\\0\\0\\x7)\n";
    }
    writeFile("deep.ini", nested(64));
    var s = new QSettings("deep.ini", QSettings.IniFormat), v = s.value("x");
    eq(s.status(), QSettings.NoError);
    for (var i = 0; i < 64; ++i) v = v[0];
    eq(v, 7);
    writeFile("deeper.ini", nested(65));
    eq(new QSettings("deeper.ini", QSettings.IniFormat).status(), QSettings.FormatError);
});

test("what QSettings writes reads back; a file made unsound later is refused at sync()", function() {
    var s = new QSettings("own.ini", QSettings.IniFormat);
    s.setValue("m", {a: [1, "x", [2, 3]], b: true, d: new Date(2020, 1, 2)});
    s.sync();
    var r = new QSettings("own.ini", QSettings.IniFormat);
    eq(r.status(), QSettings.NoError);
    eq(JSON.stringify(r.value("m").a), '[1,"x",[2,3]]');
    writeFile("own.ini", "m=" + huge + "\n");
    r.sync();
    eq(r.status(), QSettings.FormatError);
    eq(r.value("m"), undefined);
});

test("nothing was written outside the scratch folder", function() {
    var w = new QSettings("org", "written");
    w.setValue("a", 1);
    w.sync();
    var it = new QDirIterator(base, QDir.Filters(QDir.Files), QDirIterator.IteratorFlags(QDirIterator.Subdirectories));
    var files = [];
    while (it.hasNext()) files.push(it.next().substring(base.length + 1));
    eq(files.sort().join(), "user/org/written.conf,values.ini");
    eq(new QDir(QDir.homePath() + "/.config").entryList(QDir.Filters(QDir.AllEntries, QDir.NoDotAndDotDot)).join(), "");
});

finish();
