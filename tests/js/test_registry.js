// What importing "qt.core" installs.

var installed = ["QObject", "QTimer", "QEventLoop"];

test("class objects are functions reachable by name", function() {
    for (var i = 0; i < installed.length; ++i)
        eq(typeof eval(installed[i]), "function", installed[i]);
});

test("data values carry the method tag and the index", function() {
    // Read from script: the data property is hidden and read-only.
    var f = QObject.prototype.blockSignals;
    var keys = [];
    for (var k in f) keys.push(k);
    ok(keys.indexOf("__qt_data__") < 0, "not enumerable");
    f.__qt_data__ = 0;
    ok(f.__qt_data__ !== 0, "read-only");
    delete f.__qt_data__;
    ok(f.__qt_data__ !== undefined, "undeletable");
    eq(new QObject().blockSignals(false), false, "the method still works");
});

test("object classes chain to QObject", function() {
    eq(Object.getPrototypeOf(QTimer.prototype), QObject.prototype);
    eq(Object.getPrototypeOf(QEventLoop.prototype), QObject.prototype);
});

finish();
