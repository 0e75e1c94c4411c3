// Who owns what scripts make and hold: handles that end with their object, objects the collector
// deletes, shells that come back as themselves.

test("a shell comes back as its own script object", function() {
    var p = new QObject(), c = new QObject(p);
    ok(c.parent() === p, "parent() is the script's object");
    p.mark = 7;
    eq(c.parent().mark, 7, "properties set on it are there");
    var got = 0;
    c.parent().customEvent = function() { ++got; };
    QCoreApplication.sendEvent(p, new QEvent(QEvent.User));
    eq(got, 1, "an override set through parent() runs");
    ok(p.children()[0] === c, "children() too");
});

test("a parented object keeps its overrides after the script dropped it", function() {
    var p = new QObject(), ticks = 0;
    (function() {
        var c = new QObject(p);
        c.timerEvent = function() { ++ticks; };
        c.startTimer(1);
    })();
    gc();
    ok(waitFor(function() { return ticks >= 3; }), "the child still ticks");
    eq(p.children().length, 1);
    p.children()[0].deleteLater();
});

test("a child a script reaches keeps its parent, whose script object stays its own", function() {
    var children = [];
    (function() {
        for (var i = 0; i < 200; ++i) {
            var p = new QObject();
            p.mark = i;
            children.push(new QTimer(p));
        }
    })();
    gc();
    var kept = 0;
    for (var i = 0; i < children.length; ++i) {
        var p = children[i].parent();
        if (p && p.mark === i)
            ++kept;
    }
    eq(kept, 200, "every parent is there, with what the script set on it");
    // Moved away, a child no longer keeps its former parent.
    children[0].setParent(null);
    eq(children[0].parent(), null);
});

test("re-parenting decides what keeps an object", function() {
    var p = new QObject(), ticks = 0, c = new QObject(p);
    c.setParent(null);
    c.setParent(p);
    c.timerEvent = function() { ++ticks; };
    c.startTimer(1);
    c = null;
    gc();
    ok(waitFor(function() { return ticks >= 2; }), "kept while it has a parent");
    p.children()[0].deleteLater();
});

test("a child moved to another parent is kept by that one", function() {
    var first = new QObject(), second = new QObject(), ticks = 0;
    (function() {
        var c = new QObject(first);
        c.timerEvent = function() { ++ticks; };
        c.setParent(second);
        c.startTimer(1);
    })();
    first.deleteLater();
    QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
    for (var i = 0; i < 3; ++i) gc();
    ok(waitFor(function() { return ticks >= 2; }), "the child still ticks");
    second.children()[0].deleteLater();
});

test("a family under an object QtCore made keeps its overrides", function() {
    var ticks = 0;
    (function() {
        var p = new QObject(QCoreApplication.instance());
        p.objectName = "family";
        var c = new QObject(new QObject(p));
        c.timerEvent = function() { ++ticks; p.mark = ticks; };
        c.startTimer(1);
    })();
    for (var i = 0; i < 3; ++i) gc();
    ok(waitFor(function() { return ticks >= 2; }), "the grandchild still ticks");
    var kids = QCoreApplication.instance().children();
    for (var i = 0; i < kids.length; ++i) {
        if (kids[i].objectName == "family") kids[i].deleteLater();
    }
});

test("a stream reached only through a variant ends with its script object", function() {
    // Its byte array went with that object: a handle kept elsewhere must not reach it.
    var holders = [];
    (function() {
        for (var i = 0; i < 50; ++i) {
            var o = new QObject(), s = new QDataStream(new QByteArray(), QIODevice.WriteOnly);
            o.setProperty("s", s);
            holders.push(o);
        }
    })();
    for (var i = 0; i < 3; ++i) gc();
    var ended = 0;
    for (var i = 0; i < holders.length; ++i) {
        try { holders[i].property("s").writeInt(1); }
        catch (e) { eq(e.message, "QDataStream.writeInt(): this object is not a QDataStream"); ++ended; }
    }
    ok(ended > 40, "ended: " + ended);
});

test("a parent's childEvent sees a whole object, which is the script's", function() {
    var p = new QObject(), seen = null, isTimer = false;
    p.childEvent = function(e) {
        if (e.added()) { seen = e.child(); isTimer = typeof seen.start == "function"; }
    };
    var t = new QTimer(p);
    ok(seen === t, "the child is the object the constructor returns");
    ok(isTimer, "with its own class's methods");
    eq(t.parent(), p);
});

test("an event filter that deletes the watched object: it goes once the delivery has ended", function() {
    var filter = new QObject(), received = 0, owner = new QObject(), target = new QObject(owner);
    target.customEvent = function() { ++received; };
    target.installEventFilter(filter);
    filter.eventFilter = function(watched, e) {
        if (e.type() == QEvent.User) {
            owner.deleteLater();
            QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
            eq(target.parent(), owner, "held back while QtCore delivers to it");
        }
        return false;
    };
    QCoreApplication.sendEvent(target, new QEvent(QEvent.User));
    eq(received, 1, "delivered");
    QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
    throws(function() { target.parent(); });
});

test("a posted event is QtCore's: every script value of it reads as empty", function() {
    var o = new QObject(), holder = {}, ev = new QEvent(QEvent.User), got = 0;
    holder.e = ev;
    var copies = [ev, holder.e];
    o.customEvent = function() { ++got; };
    QCoreApplication.postEvent(o, ev);
    throws(function() { holder.e.type(); }, "QEvent.type(): this object is not a QEvent", "TypeError");
    throws(function() { copies[0].accept(); }, "QEvent.accept(): this object is not a QEvent", "TypeError");
    var e = throws(function() { QCoreApplication.postEvent(o, holder.e); });
    ok(/could not find a function match/.test(e.message), "posting it again is a mismatch");
    QCoreApplication.sendPostedEvents();
    eq(got, 1, "delivered once");
});

test("the texts a translator lends an override end with the call", function() {
    var t = new QTranslator(), kept = [];
    t.translate = function(context, text, comment) { kept.push(context, text); return "x"; };
    QCoreApplication.installTranslator(t);
    eq(QCoreApplication.translate("ctx", "hello"), "x");
    QCoreApplication.removeTranslator(t);
    ok(kept.length >= 2);
    // Handed back to QtCore, a kept handle is no text any more: the next override gets null.
    var probe = new QTranslator(), received = [];
    probe.translate = function(context, text) { received.push(context === null, text === null); return ""; };
    QTranslator.prototype.translate.call(probe, kept[0], kept[1]);
    eq(received.join(), "true,true");
});

test("the application object offers no deleteLater", function() {
    var app = QCoreApplication.instance();
    eq(typeof app.deleteLater, "undefined");
    ok(typeof new QObject().deleteLater == "function");
});

test("an object kept in a dynamic property reads as null once it is deleted", function() {
    var o = new QObject(), target = new QObject();
    o.setProperty("other", target);
    ok(o.property("other") === target, "the script's own object");
    target.deleteLater();
    QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
    eq(o.property("other"), null);
});

test("an object kept in a setting reads as null once it is deleted", function() {
    var settings = new QSettings("kept.ini", QSettings.IniFormat), target = new QObject();
    settings.setValue("other", target);
    ok(settings.value("other") === target);
    target.deleteLater();
    QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);
    eq(settings.value("other"), null);
    eq(settings.value("missing", target), null, "a default kept as long");
});

test("a thread object reached through a property is out of a script's reach", function() {
    var o = new QObject();
    o.setProperty("t", o.thread());
    var t = o.property("t");
    eq(typeof t.deleteLater, "undefined");
    throws(function() { t.setParent(o); }, undefined, "TypeError");
});

test("objects made in a loop do not pile up", function() {
    var o = new QObject();
    for (var round = 0; round < 3; ++round) {
        for (var i = 0; i < 2000; ++i) {
            QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
            new QCryptographicHash(QCryptographicHash.Md5).addData(new QByteArray("x"));
            new QEventLoop();
        }
        gc();
    }
    eq(o.children().length, 0);
});

finish();
