// QLibraryInfo: static functions and Qt 4.4's location numbers.

test("QLibraryInfo cannot be constructed", function() {
    throws(function() { new QLibraryInfo(); }, "QLibraryInfo cannot be constructed", "TypeError");
    throws(function() { QLibraryInfo(); }, "QLibraryInfo cannot be constructed", "TypeError");
});

test("locations use Qt 4.4's numbers", function() {
    var at = function(k) { return QLibraryInfo.location(QLibraryInfo[k]); };
    ok(/\/plugins$/.test(at("PluginsPath")), at("PluginsPath"));
    ok(at("PluginsPath") != at("BinariesPath"));
    ok(/translations$/.test(at("TranslationsPath")), at("TranslationsPath"));
    ok(/examples$/.test(at("ExamplesPath")), at("ExamplesPath"));
    ok(/xdg$/.test(at("SettingsPath")), at("SettingsPath"));
    eq(at("DemosPath"), "", "no such location any more");
    ok(at("PrefixPath").length > 0);
    eq(QLibraryInfo.location(5), at("PrefixPath"), "a plain number converts to 0");
    throws(function() { QLibraryInfo.location(); },
           "QLibraryInfo::location(): could not find a function match; candidates are:\nlocation(LibraryLocation arg__1)");
    throws(function() { QLibraryInfo.buildKey(1); },
           "QLibraryInfo::buildKey(): could not find a function match; candidates are:\nbuildKey()");
});

test("LibraryLocation values", function() {
    ok(QLibraryInfo.LibraryLocation(10) === QLibraryInfo.ExamplesPath);
    eq(String(QLibraryInfo.ExamplesPath), "ExamplesPath");
    eq(QLibraryInfo.PluginsPath.valueOf(), 5);
    throws(function() { QLibraryInfo.LibraryLocation(11); }, "LibraryLocation(): invalid enum value (11)");
    throws(function() { QLibraryInfo.LibraryLocation(-1); }, "LibraryLocation(): invalid enum value (-1)");
});

test("build key and licence", function() {
    ok(/^\S+ linux g\+\+-\d+ full-config$/.test(QLibraryInfo.buildKey()), QLibraryInfo.buildKey());
    eq(typeof QLibraryInfo.licensee(), "string");
    eq(typeof QLibraryInfo.licensedProducts(), "string");
});

finish();
