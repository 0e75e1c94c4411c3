// Settings written in INI format, read back and listed (QSettings, QDir, QFileInfo).
//
//     ./run.sh examples/settings.js -- [folder]
//
// The settings file goes into the folder given, or into a scratch folder of its own in the
// temporary folder, which is removed at the end. Nothing is written anywhere else.

var given = args.length > 0;
var folder = given ? args[0]
                   : QDir.tempPath() + "/qtcore-settings-" + QCoreApplication.applicationPid();
if (!new QDir().mkpath(folder))
    throw new Error("cannot make " + folder);
var path = new QDir(folder).absoluteFilePath("example.ini");

// Writing: plain keys, groups, an array of entries.
var settings = new QSettings(path, QSettings.IniFormat);
settings.clear();
settings.setValue("title", "Settings example");
settings.setValue("window/width", 640);
settings.setValue("window/height", 480);
settings.beginGroup("user");
settings.setValue("name", "Ada");
settings.setValue("languages", ["en", "fr"]);
settings.endGroup();
var recent = ["/tmp/a.txt", "/tmp/b.txt", "/tmp/c.txt"];
settings.beginWriteArray("recent");
for (var i = 0; i < recent.length; ++i) {
    settings.setArrayIndex(i);
    settings.setValue("file", recent[i]);
}
settings.endArray();
settings.sync();
print("status:", settings.status() == QSettings.NoError ? "written" : "failed");

// Reading back, through a second object on the same file.
var again = new QSettings(path, QSettings.IniFormat);
print("title:", again.value("title"));
print("window:", again.value("window/width") + "x" + again.value("window/height"));
print("user:", again.value("user/name"), "speaks", again.value("user/languages").join(", "));
var n = again.beginReadArray("recent");
var files = [];
for (var i = 0; i < n; ++i) {
    again.setArrayIndex(i);
    files.push(again.value("file"));
}
again.endArray();
print("recent:", files.join(" "));
print("groups:", again.childGroups().join(", "));
print("all keys:");
var keys = again.allKeys();
for (var i = 0; i < keys.length; ++i)
    print("  " + keys[i] + " = " + again.value(keys[i]));
print("missing with default:", again.value("nowhere", "the default"));

var info = new QFileInfo(path);
print("file:", info.fileName(), "exists:", info.exists(), "non-empty:", info.size() > 0);

if (!given) {
    new QDir(folder).remove("example.ini");
    new QDir().rmdir(folder);
    print("scratch folder removed:", !new QFileInfo(folder).exists());
}
