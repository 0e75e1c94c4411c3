// QObject: construction, the prototype methods, object conversions.

test("construction", function() {
    var a = new QObject(), b = new QObject(null);
    eq(a.parent(), null, "no parent");
    eq(b.parent(), null, "null parent");
    throws(function() { new QObject(a, b); },
           "QObject::QObject(): could not find a function match; candidates are:\nQObject(QObject parent)", "Error");
    throws(function() { QObject(); }, "QObject(): Did you forget to construct with 'new'?", "Error");
    eq(QObject.length, 1);
    ok(a instanceof QObject, "instanceof");
});

test("a constructor called as a method never re-targets its this", function() {
    var holder = { f: QObject };
    throws(function() { holder.f(); }, "QObject(): Did you forget to construct with 'new'?");
    eq(typeof holder.f, "function");
    var other = new QObject();
    other.f = QTimer;
    throws(function() { other.f(); }, "QTimer(): Did you forget to construct with 'new'?");
    eq(other.toString().indexOf("QObject("), 0, "still a QObject");
});

test("parent and children", function() {
    var p = new QObject(), c = new QObject(p);
    eq(c.parent().toString(), p.toString(), "parent wraps the same object");
    var kids = p.children();
    ok(Array.isArray(kids) || kids instanceof Array, "children is an Array");
    eq(kids.length, 1);
    eq(kids[0].toString(), c.toString());
    c.setParent(null);
    eq(p.children().length, 0, "setParent(null) detaches");
});

test("dynamic properties", function() {
    var o = new QObject();
    eq(o.setProperty("x", 5), false, "a dynamic property: Qt returns false");
    eq(o.property("x"), 5);
    var names = o.dynamicPropertyNames();
    eq(names.length, 1);
    ok(Object.getPrototypeOf(names[0]) === QByteArray.prototype, "a QByteArray");
    ok(names[0].equals(new QByteArray("x")), "holding x");
    eq(o.property("nothing"), undefined, "an unknown property");
    o.setProperty("s", "text");
    eq(o.property("s"), "text");
    ok(o.inherits("QObject"));
    ok(!o.inherits("QTimer"));
    ok(new QTimer().inherits("QTimer"));
    eq(o.isWidgetType(), false);
});

test("blockSignals", function() {
    var o = new QObject();
    eq(o.blockSignals(true), false);
    eq(o.blockSignals(true), true);
    eq(o.signalsBlocked(), true);
    o.blockSignals(false);
    eq(o.signalsBlocked(), false);
});

test("toString", function() {
    var o = new QObject();
    eq(o.toString(1, 2, 3), o.toString());
    ok(/^QObject\(0x[0-9a-f]+\)/.test(o.toString()), o.toString());
    eq(QObject.prototype.toString.length, 0);
    eq("" + o, o.toString(), "string concatenation works on wrappers");
});

test("threads cross as opaque handles", function() {
    var o = new QObject(), t = o.thread();
    eq(typeof t, "object");
    eq(t.moveToThread, undefined, "no methods on the handle");
    var other = new QObject();
    other.moveToThread(t);
    eq(other.thread().toString(), t.toString());
    throws(function() { other.moveToThread(new QObject()); },
           "QObject::moveToThread(): could not find a function match; candidates are:\nmoveToThread(Thread thread)");
    // No thread, as QtCore allows: nothing is delivered to it there, and this thread may take it
    // back (its timer comes with it).
    var seen = [], timed = new QObject();
    timed.timerEvent = function(e) { seen.push("timer"); this.killTimer(e.timerId()); };
    timed.customEvent = function() { seen.push("custom"); };
    timed.startTimer(1);
    timed.moveToThread(null);
    QCoreApplication.postEvent(timed, new QEvent(QEvent.User));
    QCoreApplication.sendPostedEvents();
    eq(seen.join(), "");
    timed.moveToThread(o.thread());
    QCoreApplication.postEvent(timed, new QEvent(QEvent.User));
    var loop = new QEventLoop(), t = new QTimer();
    t.singleShot = true; t.timeout.connect(function() { loop.exit(); }); t.start(30); loop.exec();
    eq(seen.sort().join(), "custom,custom,timer", "what was posted meanwhile comes with it");
});

test("this must be a QObject", function() {
    throws(function() { QObject.prototype.children.call({}); },
           "QObject.children(): this object is not a QObject", "TypeError");
    throws(function() { QObject.prototype.parent.call(QObject.prototype); },
           "QObject.parent(): this object is not a QObject", "TypeError");
    throws(function() { QObject.prototype.blockSignals.call(QEventLoop.AllEvents, true); },
           "QObject.blockSignals(): this object is not a QObject", "TypeError");
});

test("argument counts", function() {
    var o = new QObject();
    throws(function() { o.blockSignals(); },
           "QObject::blockSignals(): could not find a function match; candidates are:\nblockSignals(bool b)");
    throws(function() { o.children(1); },
           "QObject::children(): could not find a function match; candidates are:\nchildren()");
    throws(function() { o.setProperty("a"); },
           "QObject::setProperty(): could not find a function match; candidates are:\nsetProperty(char name, Object value)");
});

test("events Qt would misread never reach Qt", function() {
    var o = new QObject();
    o.childEvent = function(e) { e.child(); };
    throws(function() { o.event(new QEvent(QEvent.ChildAdded)); },
           "QObject::event(): an event of type ChildAdded must be a QChildEvent", "TypeError");
    throws(function() { o.eventFilter(o, new QEvent(QEvent.Timer)); },
           "QObject::eventFilter(): an event of type Timer must be a QTimerEvent", "TypeError");
    eq(o.event(new QEvent(QEvent.User)), true, "a user event reaches customEvent");
});

test("events that are no events never reach Qt", function() {
    var o = new QObject();
    throws(function() { o.event(5); },
           "QObject::event(): could not find a function match; candidates are:\nevent(QEvent arg__1)");
    throws(function() { o.eventFilter(o, null); });
});

test("a filter of an object no script made sees each event once", function() {
    // Handing the watched object to the script inside the filter must not reorder its filters.
    var app = QCoreApplication.instance();
    var f = new QObject(), seen = 0;
    f.eventFilter = function(w, e) { if (e.type() == QEvent.User) { ++seen; w.objectName; } return false; };
    app.installEventFilter(f);
    QCoreApplication.sendEvent(app, new QEvent(QEvent.User));
    QCoreApplication.sendEvent(app, new QEvent(QEvent.User));
    app.removeEventFilter(f);
    eq(seen, 2);
});

test("lengths of the prototype methods", function() {
    var expected = { blockSignals: 1, children: 0, dumpObjectInfo: 0, dumpObjectTree: 0,
        dynamicPropertyNames: 0, event: 1, eventFilter: 2, inherits: 1, installEventFilter: 1,
        isWidgetType: 0, killTimer: 1, moveToThread: 1, parent: 0, property: 1,
        removeEventFilter: 1, setParent: 1, setProperty: 2, signalsBlocked: 0, startTimer: 1,
        thread: 0, toString: 0 };
    for (var name in expected)
        eq(QObject.prototype[name].length, expected[name], name + ".length");
    for (var k in QObject.prototype)
        ok(!(k in expected), k + " must not be enumerable");
});

test("the prototype chain of QObject.prototype ends in Object.prototype", function() {
    eq(Object.getPrototypeOf(QObject.prototype), Object.prototype);
    eq(QObject.prototype.constructor, QObject);
});

finish();
