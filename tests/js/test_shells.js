// Shell forwarding: script overrides of virtual functions.

test("without an override the binding's own function is found and Qt's runs", function() {
    var o = new QObject(), fired = 0;
    eq(o.hasOwnProperty("timerEvent"), false);
    o.timerEvent = 5;  // not a function: Qt's own timerEvent stays in force
    var id = o.startTimer(1);
    ok(id > 0);
    waitFor(function() { return false; }, 30);
    o.killTimer(id);
});

test("timerEvent override receives the timer's events", function() {
    var o = new QObject(), ids = [], self;
    o.timerEvent = function(e) { ids.push(e); self = this; };
    var id = o.startTimer(2);
    ok(waitFor(function() { return ids.length >= 2; }), "events arrive");
    o.killTimer(id);
    ok(self === o, "this is the wrapper");
    delete o.timerEvent;
    var n = ids.length;
    id = o.startTimer(2);
    waitFor(function() { return false; }, 30);
    o.killTimer(id);
    eq(ids.length, n, "override removed at the next call");
});

test("an override on the prototype chain is found too", function() {
    var proto = Object.create(QObject.prototype), got = 0;
    proto.timerEvent = function() { ++got; };
    var o = new QObject();
    o.__proto__ = proto;
    var id = o.startTimer(1);
    ok(waitFor(function() { return got > 0; }));
    o.killTimer(id);
});

test("childEvent override and event override with results", function() {
    var p = new QObject(), kinds = 0;
    p.childEvent = function(e) { ++kinds; };
    var c = new QObject(p);
    ok(kinds >= 1, "child added event");
    c.setParent(null);
    ok(kinds >= 2, "child removed event");
});

test("an event Qt lent an override reads as no event afterwards, wherever it was kept", function() {
    var o = new QObject(), kept = null, holder = {}, typeInside = -1;
    o.timerEvent = function(e) { kept = e; holder.e = e; typeInside = e.timerId(); };
    var id = o.startTimer(1);
    ok(waitFor(function() { return kept !== null; }), "a timer event arrived");
    o.killTimer(id);
    eq(typeInside, id, "usable during the call");
    throws(function() { kept.timerId(); }, "QTimerEvent.timerId(): this object is not a QTimerEvent",
           "TypeError");
    throws(function() { holder.e.type(); }, "QEvent.type(): this object is not a QEvent", "TypeError");
    var e = throws(function() { QCoreApplication.sendEvent(o, holder.e); });
    ok(/could not find a function match/.test(e.message), "sending it is a mismatch");
});

test("a script's own event handed to an override stays the script's", function() {
    var o = new QObject(), seen = null, ev = new QEvent(QEvent.User);
    o.event = function(e) { seen = e; return true; };
    eq(QObject.prototype.event.call(o, ev), true, "through the shell");
    eq(seen.type(), QEvent.User, "still usable: the script owns it");
    eq(ev.type(), QEvent.User);
});

test("customEvent: a number leaves Qt's in force, a function receives user events", function() {
    var o = new QObject(), got = null;
    o.customEvent = 42;
    eq(QObject.prototype.event.call(o, new QEvent(QEvent.User)), true, "QObject::customEvent ran");
    o.customEvent = function(e) { got = e.type(); };
    QObject.prototype.event.call(o, new QEvent(QEvent.User));
    ok(got === QEvent.User, "the override received the event");
});

test("an own property that is no function hides an override on the chain, also after an own override", function() {
    var proto = Object.create(QObject.prototype), seen = [];
    proto.customEvent = function() { seen.push("chain"); };
    var o = new QObject();
    o.__proto__ = proto;
    o.customEvent = function() { seen.push("own"); };
    var send = function() { QCoreApplication.sendEvent(o, new QEvent(QEvent.User)); };
    send();
    o.customEvent = 3;
    send();
    delete o.customEvent;
    send();
    eq(seen.join(), "own,chain");
});

// Run on an object without children and on one with many (their lookup skips the children).
function overrideLookedUpAtEveryCall(o) {
    var seen = [];
    var send = function() { return QObject.prototype.event.call(o, new QEvent(QEvent.User)); };
    var mark = function(what, result) { return function(e) { seen.push(what); return result; }; };
    o.event = mark("own", false);
    eq(send(), false);
    eq(send(), false);
    delete o.event;
    eq(send(), true, "QObject::event");
    var proto = Object.create(QObject.prototype);
    proto.event = mark("chain", false);
    o.__proto__ = proto;
    eq(send(), false);
    o.event = mark("own again", false);
    eq(send(), false, "the own property shadows the chain");
    o.event = QObject.prototype.event;
    eq(send(), true, "the binding's own function");
    o.event = 3;
    eq(send(), true, "not a function");
    delete o.event;
    eq(send(), false, "the chain's again");
    delete proto.event;
    var reads = 0;
    Object.defineProperty(proto, "event", {get: function() { ++reads; return mark("getter", false); }});
    send(); send(); send();
    eq(reads, 3, "a getter runs once per call");
    eq(seen.join(), "own,own,chain,own again,chain,getter,getter,getter");
}

test("the override is looked up at every call, wherever it stands", function() {
    overrideLookedUpAtEveryCall(new QObject());
    var parent = new QObject();
    for (var i = 0; i < 20; ++i)
        new QObject(parent);
    overrideLookedUpAtEveryCall(parent);
});

// The engine's wrapping offers a child by name as a wrapper of its own (not the child's script
// object).
function named(child, name) {
    return child instanceof QObject && child.objectName === name;
}

test("an object with many children: its override runs for each, its children stay visible by name", function() {
    var p = new QObject(), added = 0, seenByName = 0;
    var kid = new QObject(p);
    kid.objectName = "kid";
    var ownBefore = [];
    for (var k in p) ownBefore.push(k);
    p.childEvent = function(e) {
        if (e.type() == QEvent.ChildAdded) ++added;
        if (named(this.kid, "kid")) ++seenByName;
    };
    var kids = [];
    for (var i = 0; i < 200; ++i)
        kids.push(new QObject(p));
    eq(added, 200, "the override ran for every child");
    eq(seenByName, 200, "a child read by name inside the override");
    ok(named(p.kid, "kid"), "and outside");
    ok(Object.getPrototypeOf(p) === QObject.prototype, "the prototype");
    var ownAfter = [];
    for (k in p) ownAfter.push(k);
    eq(ownAfter.join(), ownBefore.concat(["childEvent"]).join(), "the enumeration");
    // A child called like the override: the script reads the child under that name, while the
    // virtual call finds the override, as it does in C++ (with few children as with many).
    kids[0].objectName = "childEvent";
    ok(named(p.childEvent, "childEvent"));
    new QObject(p);
    eq(added, 201, "not hidden by the child");
    var few = new QObject(), fewAdded = 0, only = new QObject(few);
    only.objectName = "childEvent";
    few.childEvent = function(e) { if (e.type() == QEvent.ChildAdded) ++fewAdded; };
    new QObject(few);
    eq(fewAdded, 1, "nor with one child");
    // Nor with any number of children about the count from which the lookup skips them (the
    // named child last).
    for (var n = 1; n <= 6; ++n) {
        var o = new QObject(), custom = 0;
        for (var i = 0; i < n; ++i)
            new QObject(o).objectName = i == n - 1 ? "customEvent" : "";
        o.customEvent = function(e) { ++custom; };
        QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
        eq(custom, 1, "with " + n + " children");
    }
    kids[0].objectName = "";
    kids[1].setParent(null);
    kids[1].setParent(p);
    eq(added, 202, "and on re-parenting");
    delete p.childEvent;
    new QObject(p);
    eq(added, 202, "deleted: QtCore's own");
    QObject.prototype.childEvent = function(e) { ++added; };
    try {
        new QObject(p);
        eq(added, 203, "found along the chain");
    } finally {
        delete QObject.prototype.childEvent;
    }
    // A getter under the name runs with the children in view.
    var inGetter = null;
    Object.defineProperty(p, "customEvent", {get: function() {
        inGetter = named(this.kid, "kid");
        return function(e) {};
    }});
    QCoreApplication.sendEvent(p, new QEvent(QEvent.User));
    eq(inGetter, true, "a child read by name in a getter");
});

finish();
