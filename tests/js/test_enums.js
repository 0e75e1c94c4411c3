// Enumeration and flags classes, on QEventLoop's ProcessEventsFlag and ProcessEventsFlags.

test("enumeration order of the owner", function() {
    var names = [];
    for (var k in QEventLoop)
        if (k != "connect" && k != "disconnect") names.push(k);
    eq(names.join(","), "AllEvents,ExcludeUserInputEvents,ExcludeSocketNotifiers,WaitForMoreEvents," +
       "X11ExcludeTimers,DeferredDeletion,ProcessEventsFlag,ProcessEventsFlags");
    for (var m in QEventLoop.prototype)
        fail("prototype method " + m + " is enumerable");
});

test("value objects are unique per key and per engine", function() {
    ok(QEventLoop.ProcessEventsFlag(4) === QEventLoop.WaitForMoreEvents);
    ok(new QEventLoop.ProcessEventsFlag(4) === QEventLoop.WaitForMoreEvents);
    ok(new QEventLoop.ProcessEventsFlag(16) === QEventLoop.DeferredDeletion);
    ok(QEventLoop.ProcessEventsFlag() === QEventLoop.AllEvents, "no argument is 0");
    ok(QEventLoop.ProcessEventsFlag("4") === QEventLoop.WaitForMoreEvents, "numeric text");
    ok(QEventLoop.ProcessEventsFlag(4.9) === QEventLoop.WaitForMoreEvents, "cut toward zero");
});

test("invalid values", function() {
    throws(function() { QEventLoop.ProcessEventsFlag(3); }, "ProcessEventsFlag(): invalid enum value (3)", "Error");
    throws(function() { QEventLoop.ProcessEventsFlag(32); }, "ProcessEventsFlag(): invalid enum value (32)", "Error");
    throws(function() { QEventLoop.ProcessEventsFlag(-1); }, "ProcessEventsFlag(): invalid enum value (-1)", "Error");
});

test("keys live on the owner", function() {
    eq(QEventLoop.ProcessEventsFlag.AllEvents, undefined);
    ok(QEventLoop.AllEvents instanceof QEventLoop.ProcessEventsFlag);
    eq(QEventLoop.AllEvents.constructor, QEventLoop.ProcessEventsFlag);
    eq(QEventLoop.WaitForMoreEvents.valueOf(), 4);
    eq(QEventLoop.WaitForMoreEvents.toString(), "WaitForMoreEvents");
    eq(QEventLoop.ProcessEventsFlag.length, 1);
    eq(QEventLoop.ProcessEventsFlags.length, 0);
});

test("value objects are read-only and undeletable; classes are not", function() {
    var v = QEventLoop.AllEvents;
    QEventLoop.AllEvents = 5;
    ok(QEventLoop.AllEvents === v, "assignment ignored");
    delete QEventLoop.AllEvents;
    ok(QEventLoop.AllEvents === v, "delete ignored");
    var cls = QEventLoop.ProcessEventsFlag;
    ok(delete QEventLoop.ProcessEventsFlag, "class deletable");
    eq(QEventLoop.ProcessEventsFlag, undefined);
    QEventLoop.ProcessEventsFlag = cls;
});

test("flags construction and text", function() {
    var f = QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents, QEventLoop.ExcludeSocketNotifiers);
    eq(f.valueOf(), 3);
    eq(f.toString(), "AllEvents,ExcludeUserInputEvents,ExcludeSocketNotifiers");
    eq(QEventLoop.ProcessEventsFlags(64).valueOf(), 64, "a single number is taken unchanged");
    eq(QEventLoop.ProcessEventsFlags(64).toString(), "AllEvents");
    eq(QEventLoop.ProcessEventsFlags().valueOf(), 0);
    eq(QEventLoop.ProcessEventsFlags().toString(), "AllEvents");
    eq(QEventLoop.ProcessEventsFlags(QEventLoop.WaitForMoreEvents).toString(), "AllEvents,WaitForMoreEvents");
});

test("flags refusals", function() {
    var text = "ProcessEventsFlags(): argument 0 is not of type ProcessEventsFlag";
    throws(function() { QEventLoop.ProcessEventsFlags("1"); }, text, "TypeError");
    throws(function() { QEventLoop.ProcessEventsFlags(1, 2); }, text, "TypeError");
    throws(function() { QEventLoop.ProcessEventsFlags(QEventLoop.AllEvents, 2); },
           "ProcessEventsFlags(): argument 1 is not of type ProcessEventsFlag", "TypeError");
    throws(function() { QEventLoop.ProcessEventsFlags(QEventLoop.ProcessEventsFlags(1)); }, text, "TypeError");
});

test("flags equality", function() {
    var a = QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents);
    var b = QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents);
    ok(a !== b, "a new object every time");
    ok(a.equals(b));
    ok(!a.equals(3));
    ok(!a.equals(QEventLoop.ExcludeUserInputEvents), "a value object is no flags value");
    ok(!a.equals(QEventLoop.ProcessEventsFlags(2)));
});

test("== compares values, within a type and across types", function() {
    ok(!(QEventLoop.AllEvents == QEventLoop.WaitForMoreEvents));
    ok(QEventLoop.AllEvents == 0, "a number through valueOf");
    ok(QXmlStreamReader.NoError == QXmlStreamReader.NoToken, "two enumerations, the same value");
    ok(QEventLoop.ProcessEventsFlags(1) == QEventLoop.ProcessEventsFlags(1));
    ok(!(QEventLoop.ProcessEventsFlags(1) == QEventLoop.ProcessEventsFlags(2)));
    ok(!(QEventLoop.ProcessEventsFlags(1) == QIODevice.OpenMode(1)), "two flags types");
});

// Values of two enumerations compare as their numbers, one outside the other's range included;
// flags equal only values of their own enumeration. <, > compare the numbers (valueOf).
test("comparisons across enumerations and flags", function() {
    // a, b, a == b, the numbers' order
    [[QSocketNotifier.Read, QEvent.User, false, -1],
     [QIODevice.Text, QEvent.User, false, -1],
     [QEvent.MaxUser, QSocketNotifier.Exception, false, 1],
     [QSocketNotifier.Write, QEvent.Timer, true, 0],
     [QIODevice.ReadOnly, QSocketNotifier.Write, true, 0],
     [new QIODevice.OpenMode(1000), QEvent.User, false, 0],
     [new QIODevice.OpenMode(1000), QIODevice.ReadOnly, false, 1],
     [new QIODevice.OpenMode(1), QSocketNotifier.Write, false, 0]
    ].forEach(function(r, i) {
        var a = r[0], b = r[1], what = "row " + i + ": ";
        eq(a == b, r[2], what + "==");
        eq(b == a, r[2], what + "== the other way");
        eq(a != b, !r[2], what + "!=");
        eq(b != a, !r[2], what + "!= the other way");
        eq(a < b, r[3] < 0, what + "<");
        eq(a > b, r[3] > 0, what + ">");
        eq(b < a, r[3] > 0, what + "< the other way");
    });
});

// As in C++, where an enumeration value converts to its flags: the same bits are equal, in either
// order; identity, equals and switch still tell them apart.
test("== between a flags value and a value of its own enumeration", function() {
    ok(QEventLoop.ExcludeUserInputEvents == QEventLoop.ProcessEventsFlags(1), "a value and flags");
    ok(QEventLoop.ProcessEventsFlags(1) == QEventLoop.ExcludeUserInputEvents, "flags and a value");
    ok(QEventLoop.AllEvents == QEventLoop.ProcessEventsFlags(), "no bits");
    ok(!(QEventLoop.ProcessEventsFlags(1) == QEventLoop.ExcludeSocketNotifiers));
    ok(!(QEventLoop.ExcludeSocketNotifiers == QEventLoop.ProcessEventsFlags(1)));
    ok(QEventLoop.ProcessEventsFlags(1) != QEventLoop.ExcludeSocketNotifiers);
    var both = QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents, QEventLoop.ExcludeSocketNotifiers);
    ok(!(both == QEventLoop.ExcludeUserInputEvents) && !(QEventLoop.ExcludeSocketNotifiers == both),
       "flags with more bits than the value");
    var file = new QFile(QCoreApplication.applicationFilePath());
    ok(file.open(QIODevice.ReadOnly));
    ok(file.openMode() == QIODevice.ReadOnly && QIODevice.ReadOnly == file.openMode());
    ok(!(file.openMode() == QIODevice.ReadWrite));
    ok(!(file.openMode() == QEventLoop.ExcludeUserInputEvents), "another enumeration's value");
    ok(!(Qt.AlignLeft == file.openMode()), "another enumeration's value, the other way");
    ok(file.openMode() !== QIODevice.ReadOnly, "=== is identity");
    ok(!file.openMode().equals(QIODevice.ReadOnly), "equals wants the flags type");
    var matched = "none";
    switch (file.openMode()) { case QIODevice.ReadOnly: matched = "value"; break; default: matched = "default"; }
    eq(matched, "default", "switch compares strictly");
    file.close();
});

test("results read the owner under its global name at every conversion", function() {
    var held = QEventLoop, cls = QEventLoop.ProcessEventsFlag;
    var reader = new QXmlStreamReader("<a/>"), readers = QXmlStreamReader;
    reader.readNext();
    var fixed = function(value) {
        var o = {};
        Object.defineProperty(o, "WaitForMoreEvents", {value: value, writable: false, configurable: false});
        return o;
    };
    try {
        ok(cls(4) === held.WaitForMoreEvents);
        QEventLoop = fixed(7);
        eq(cls(4), 7, "an owner of the script's own");
        QEventLoop = fixed(8);
        eq(cls(4), 8, "another owner");
        var n = 0, getter = {};
        Object.defineProperty(getter, "WaitForMoreEvents", {get: function() { return ++n; }, configurable: false});
        QEventLoop = getter;
        eq(cls(4), 1);
        eq(cls(4), 2, "a getter runs at every conversion");
        var proto = {WaitForMoreEvents: "a"};
        QEventLoop = Object.create(proto);
        eq(cls(4), "a");
        proto.WaitForMoreEvents = "b";
        eq(cls(4), "b", "an inherited key follows its prototype");
        var plain = {WaitForMoreEvents: 1};
        QEventLoop = plain;
        eq(cls(4), 1);
        plain.WaitForMoreEvents = 2;
        eq(cls(4), 2, "a writable key follows assignments");
        delete plain.WaitForMoreEvents;
        eq(cls(4), undefined);
        QEventLoop = held;
        ok(cls(4) === held.WaitForMoreEvents, "the class object again");
        // A native result takes the same road.
        ok(reader.tokenType() === readers.StartDocument);
        QXmlStreamReader = fixed(9);
        Object.defineProperty(QXmlStreamReader, "StartDocument", {value: 9, writable: false, configurable: false});
        eq(reader.tokenType(), 9);
        QXmlStreamReader = 3;
        eq(reader.tokenType(), undefined, "no owner");
        QXmlStreamReader = "StartDocument";
        eq(reader.tokenType(), undefined, "a string is no owner");
        QXmlStreamReader = readers;
        ok(reader.tokenType() === readers.StartDocument, "the class object again");
    } finally {
        QEventLoop = held;
        QXmlStreamReader = readers;
    }
    ok(reader.tokenType() === QXmlStreamReader.StartDocument);
});

test("a value under a key that a script can still change is read at every conversion", function() {
    var held = QEventLoop, cls = QEventLoop.ProcessEventsFlag;
    try {
        var readOnly = {};
        Object.defineProperty(readOnly, "WaitForMoreEvents", {value: 1, writable: false, configurable: true});
        QEventLoop = readOnly;
        eq(cls(4), 1);
        delete readOnly.WaitForMoreEvents;
        Object.defineProperty(readOnly, "WaitForMoreEvents", {value: 2, writable: false, configurable: true});
        eq(cls(4), 2, "read-only but deletable");
        var fixedKey = {};
        Object.defineProperty(fixedKey, "WaitForMoreEvents", {value: 3, writable: true, configurable: false});
        QEventLoop = fixedKey;
        eq(cls(4), 3);
        fixedKey.WaitForMoreEvents = 4;
        eq(cls(4), 4, "undeletable but writable");
    } finally {
        QEventLoop = held;
    }
    ok(cls(4) === QEventLoop.WaitForMoreEvents);
});

test("an owner the collector took is never taken for the next one", function() {
    // Each owner is dropped before the next is made, with a collection between them.
    var held = QEventLoop, cls = QEventLoop.ProcessEventsFlag, wrong = [];
    try {
        for (var i = 0; i < 100; ++i) {
            var o = {};
            Object.defineProperty(o, "WaitForMoreEvents", {value: i, writable: false, configurable: false});
            QEventLoop = o;
            if (cls(4) !== i) wrong.push(i + ":" + cls(4));
            QEventLoop = o = null;
            gc();
        }
    } finally {
        QEventLoop = held;
    }
    eq(wrong.join(), "");
});

test("valueOf and toString on foreign objects", function() {
    var valueOf = QEventLoop.ProcessEventsFlag.prototype.valueOf;
    var toString = QEventLoop.ProcessEventsFlag.prototype.toString;
    eq(valueOf.call(QEventLoop.ProcessEventsFlags(4)), 0);
    eq(valueOf.call({}), 0);
    eq(toString.call({}), "AllEvents", "the key of 0");
});

test("conversions into native calls", function() {
    var loop = new QEventLoop();
    // A single value object converts to a flags parameter; a plain number gives 0.
    eq(typeof loop.processEvents(QEventLoop.ExcludeSocketNotifiers), "boolean");
    eq(typeof loop.processEvents(2), "boolean");
});

finish();
