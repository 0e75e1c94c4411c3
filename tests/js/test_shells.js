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

test("an event kept after the override reads as no event", function() {
    var o = new QObject(), kept = null, typeInside = -1;
    o.event = function(e) { kept = e; typeInside = e.type(); return true; };
    eq(QObject.prototype.event.call(o, new QEvent(QEvent.User)), true, "through the shell");
    ok(typeInside !== -1, "usable during the call");
    throws(function() { kept.type(); }, "QEvent.type(): this object is not a QEvent", "TypeError");
});

test("customEvent: a number leaves Qt's in force, a function receives user events", function() {
    var o = new QObject(), got = null;
    o.customEvent = 42;
    eq(QObject.prototype.event.call(o, new QEvent(QEvent.User)), true, "QObject::customEvent ran");
    o.customEvent = function(e) { got = e.type(); };
    QObject.prototype.event.call(o, new QEvent(QEvent.User));
    ok(got === QEvent.User, "the override received the event");
});

finish();
