// Objects a native call still uses, while script code it runs tries to delete, re-enter or
// re-parent them: deletions wait until the call returns, re-entry throws, QtCore's own objects
// stay.

// Deletes at once, as far as QtCore lets it: deleteLater and a flush at the same level.
function kill(o) {
    o.deleteLater();
    QCoreApplication.sendPostedEvents(o, QEvent.DeferredDelete);
}
function flush() { QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); }
function alive(o) { try { QObject.prototype.parent.call(o); return true; } catch (e) { return false; } }
function inUse(cls, method) { return cls + "::" + method + "(): called while this object is at work in another call"; }

// A script device reading from `text`, byte by byte through getChar.
function source(text) {
    var b = new QBuffer();
    b.setData(new QByteArray(text));
    b.open(QIODevice.ReadOnly);
    return b;
}
function device(text, onRead, onWrite, d) {
    d = d || new QIODevice();
    var src = source(text);
    d.readData = function(data, max) {
        if (onRead) onRead(d);
        var n = 0;
        while (n < max && src.getChar(data)) ++n;
        return n;
    };
    d.writeData = function(data, len) { if (onWrite) onWrite(d); return len; };
    d.open(QIODevice.ReadWrite);
    return d;
}

test("a device deleted by its own readData or writeData goes after the call", function() {
    var users = {
        read: function(d) { return d.read(4).size(); },
        readLine: function(d) { return d.readLine().size(); },
        peek: function(d) { return d.peek(4).size(); },
        write: function(d) { return d.write(new QByteArray("abc")); },
        dataStream: function(d) { return new QDataStream(d).readInt(); },
        textStream: function(d) { return new QTextStream(d).readLine(); },
        xmlReader: function(d) { var r = new QXmlStreamReader(d); r.readNext(); return r.readNext(); },
        xmlWriter: function(d) { var w = new QXmlStreamWriter(d); w.writeStartDocument(); w.writeEndDocument(); }
    };
    for (var name in users) {
        var during = null;
        var kills = function(d) { if (during === null) { kill(d); during = alive(d); } };
        var d = device("<a>line\n</a>", kills, kills);
        users[name](d);
        eq(during, true, name + ": still there inside the call");
        ok(alive(d), name + ": still there after the call");
        flush();
        ok(!alive(d), name + ": gone at the next flush");
    }
});

test("a device's read and write cannot be re-entered from its own readData", function() {
    var errors = [];
    var d = device("0123456789abcdefghijklmnopqrstuvwxyz", function(d) {
        try { d.readAll(); } catch (e) { errors.push(e.message); }
        try { d.write(new QByteArray("x")); } catch (e) { errors.push(e.message); }
        try { d.seek(0); } catch (e) { errors.push(e.message); }
        eq(d.isOpen(), true, "what only reads its state still answers");
    });
    eq(d.readAll().size(), 36, "exactly the source's bytes");
    eq(errors[0], inUse("QIODevice", "readAll"));
    eq(errors[1], inUse("QIODevice", "write"));
    eq(errors[2], inUse("QIODevice", "seek"));
    eq(d.read(1).size(), 0, "usable again after the call");

    var b = new QBuffer(), error;
    b.setData(new QByteArray("abc"));
    b.readData = function(data, max) {
        try { b.setData(new QByteArray("x")); } catch (e) { error = e.message; }
        return 0;
    };
    b.open(QIODevice.ReadOnly);
    b.read(1);
    eq(error, inUse("QBuffer", "setData"), "a subclass's own changes too");
    // Its readData supplied a byte the buffer does not hold: nothing to peek at.
    var c = device("xy", null, null, new QBuffer());
    eq(c.getChar(null), true);
    eq(c.peek(100).size() + c.peek(100000).size(), 0);
    c.readLine();
});

test("streams cannot be changed from inside their own reads", function() {
    var ts, ds, errors = [];
    ts = new QTextStream(device("line one\nline two\n", function() {
        try { ts.setDevice(null); } catch (e) { errors.push(e.message); }
        try { ts.readAll(); } catch (e) { errors.push(e.message); }
        eq(ts.fieldWidth(), 0, "what does not use the device still answers");
    }));
    eq(ts.readLine(), "line one");
    eq(errors.join("|"), [inUse("QTextStream", "setDevice"), inUse("QTextStream", "readAll")].join("|"));
    errors = [];
    ds = new QDataStream(device("abcd", function() {
        try { ds.setDevice(null); } catch (e) { errors.push(e.message); }
        try { ds.unsetDevice(); } catch (e) { errors.push(e.message); }
        eq(ds.version(), 10, "what does not use the device still answers");
    }));
    eq(ds.readInt(), 0x61626364);
    eq(errors.join("|"), [inUse("QDataStream", "setDevice"), inUse("QDataStream", "unsetDevice")].join("|"));
    ok(ts.device() !== null && ds.device() !== null);
});

test("a runnable that deletes the pool being waited for", function() {
    var pool = new QThreadPool(), during;
    var r = new QRunnable();
    r.run = function() { kill(pool); during = alive(pool); };
    pool.start(r);
    pool.waitForDone();
    eq(during, true);
    ok(alive(pool));
    flush();
    ok(!alive(pool), "gone once the wait returned");

    var outer = new QThreadPool(), inner = new QThreadPool();
    var r1 = new QRunnable(), r2 = new QRunnable();
    r1.run = function() { inner.start(r2); inner.waitForDone(); };
    r2.run = function() { kill(outer); kill(inner); };
    outer.start(r1);
    outer.waitForDone();
    ok(alive(outer) && alive(inner));
    flush();
    ok(!alive(outer) && !alive(inner));
});

test("objects deleted from their own signals and overrides", function() {
    var p = new QProcess(), during;
    p.stateChanged.connect(function() { if (during === undefined) { kill(p); during = alive(p); } });
    p.start("/bin/true");
    eq(during, true, "a process deleted from stateChanged inside start");
    ok(alive(p));
    flush();
    ok(!alive(p));

    // Its notifiers emit readyRead and finished from their own events.
    var q = new QProcess(), done = false;
    q.readyRead.connect(function() { kill(q); done = true; });
    q.start("/bin/echo", ["hello"]);
    ok(waitFor(function() { return done && !alive(q); }), "a process deleted from readyRead");

    var tl = new QTimeLine(1000);
    tl.valueForTime = function(t) { kill(tl); during = alive(tl); return 0.5; };
    tl.setCurrentTime(500);
    eq(during, true, "a time line deleted from valueForTime inside setCurrentTime");
    flush();
    ok(!alive(tl));

    var loop = new QEventLoop(), timer = new QTimer();
    timer.singleShot = true;
    timer.timeout.connect(function() { loop.deleteLater(); flush(); loop.exit(5); });
    timer.start(0);
    eq(loop.exec(), 5, "a loop deleted from a timer while it runs");
    flush();
    ok(!alive(loop));
});

test("a basic timer of a deleted object stops", function() {
    var o = new QObject(), t = new QBasicTimer(), fired = 0;
    o.timerEvent = function() { ++fired; };
    t.start(1, o);
    ok(t.isActive());
    o.deleteLater();
    flush();
    eq(t.isActive(), false);
    var until = new Date().getTime() + 30;
    while (new Date().getTime() < until) QCoreApplication.processEvents();
    eq(fired, 0);
});

test("a watcher deleted from fileChanged", function() {
    var names = ["w1.txt", "w2.txt"];
    for (var i = 0; i < names.length; ++i) {
        var f = new QFile(names[i]);
        f.open(QIODevice.WriteOnly);
        f.write(new QByteArray("x"));
        f.close();
    }
    var w = new QFileSystemWatcher(names), seen = 0;
    w.fileChanged.connect(function() { ++seen; kill(w); });
    QFile.remove(names[0]);
    QFile.remove(names[1]);
    ok(waitFor(function() { return seen > 0 && !alive(w); }), "reported, then deleted");
});

test("a parent deleted while its child gets it", function() {
    var p = new QObject(), kids = 0;
    p.childEvent = function(e) { if (e.type() == QEvent.ChildAdded) { ++kids; kill(p); } };
    var c = new QObject(p);
    ok(alive(p) && c.parent() === p, "new QObject(p)");
    flush();
    ok(!alive(p) && !alive(c), "both go, once");

    p = new QObject();
    var d = new QObject();
    p.childEvent = function(e) { if (e.type() == QEvent.ChildAdded) { kill(d); kill(p); } };
    d.setParent(p);
    ok(alive(p) && alive(d), "setParent");
    flush();
    ok(!alive(p) && !alive(d));
});

test("QtCore's objects cannot be deleted or re-parented", function() {
    var app = QCoreApplication.instance();
    var dispatcher = app.children()[0];
    eq(dispatcher.deleteLater, undefined);
    throws(function() { dispatcher.setParent(new QObject()); },
           "QObject.setParent(): an object that QtCore keeps cannot be re-parented", "TypeError");
    throws(function() { QCoreApplication.postEvent(app, new QEvent(QEvent.DeferredDelete)); },
           "QCoreApplication::postEvent(): an object that QtCore keeps cannot be deleted", "TypeError");
    throws(function() { QCoreApplication.postEvent(dispatcher, new QEvent(QEvent.DeferredDelete)); },
           undefined, "TypeError");
    var timer = new QTimer(), fired = false;
    timer.singleShot = true;
    timer.timeout.connect(function() { fired = true; });
    timer.start(0);
    ok(waitFor(function() { return fired; }), "timers still fire");

    // A process's notifiers are QtCore's too.
    var p = new QProcess();
    p.start("/bin/cat");
    ok(p.waitForStarted());
    var helpers = p.children();
    ok(helpers.length > 0);
    for (var i = 0; i < helpers.length; ++i) {
        eq(helpers[i].deleteLater, undefined);
        throws(function() { helpers[i].setParent(null); }, undefined, "TypeError");
        throws(function() { QCoreApplication.postEvent(helpers[i], new QEvent(QEvent.DeferredDelete)); },
               undefined, "TypeError");
    }
    p.write(new QByteArray("echo\n"));
    p.closeWriteChannel();
    ok(p.waitForFinished());
    eq(p.readAllStandardOutput().size(), 5);
});

test("an object below a QtCore-made object, deleted with it while in use", function() {
    var w = new QXmlStreamWriter(new QByteArray());
    var b = w.device(), c = new QObject(b), during;
    c.event = function() { kill(b); during = alive(b) && alive(c); return true; };
    QCoreApplication.sendEvent(c, new QEvent(QEvent.User));
    eq(during, true);
    flush();
    ok(!alive(b) && !alive(c));
    w.writeStartDocument();  // left without a device
    eq(w.device(), null);
});

test("a deletion held back twice goes once its object's second use ends", function() {
    // Released after the first use, its deletion arrives while the object is in use again.
    var o = new QObject(), step = 0, during = [];
    o.customEvent = function() {
        if (step == 1) kill(o);
        else flush();
        during.push(alive(o));
    };
    step = 1;
    QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
    ok(alive(o), "held back during the first use");
    step = 2;
    QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
    eq(during.join(), "true,true");
    ok(alive(o), "held back during the second use");
    flush();
    ok(!alive(o), "gone at the next flush");
});

test("a deletion an override swallows and asks for again waits for a timer after eight rounds", function() {
    // Each round the override asks for its deletion inside its own call: it is held back, and
    // asked for again once the call has returned, for the next flush.
    var o = new QObject(), rounds = 0;
    o.event = function(e) {
        if (e.type() != QEvent.DeferredDelete)
            return false;
        if (++rounds == 30) {
            delete o.event;   // the next one deletes it
            o.deleteLater();
            return true;
        }
        o.deleteLater();
        flush();
        return true;
    };
    o.deleteLater();
    for (var i = 0; i < 20; ++i)
        flush();
    // The first delivery and eight rounds held back, each asked for again at once; then a timer.
    eq(rounds, 9, "rounds delivered by flushes");
    ok(alive(o));
    ok(waitFor(function() { return !alive(o); }), "the timers go on until the override lets it go");
    eq(rounds, 30);
    // One that keeps its object in the end (past the timer's rounds) holds it no longer: it goes
    // with its script object (a temporary file under it shows it).
    var names = [];
    var refusing = function(rounds) {
        var n = 0;
        return function(e) {
            if (e.type() != QEvent.DeferredDelete || ++n == rounds)
                return true;
            this.deleteLater();
            flush();
            return true;
        };
    };
    (function() {
        for (var i = 0; i <= 1; ++i) {
            var kept = new QObject(), file = new QTemporaryFile(kept);
            file.open();
            names.push(file.fileName());
            kept.event = refusing(12);
            kept.deleteLater();
        }
        names.pop();
    })();
    waitFor(function() { return false; }, 200);
    for (var i = 0; i < 3; ++i) {
        var junk = [];
        for (var k = 0; k < 5000; ++k)
            junk.push({});
        gc();
    }
    ok(!QFile.exists(names[0]), "collected once kept");
});

test("an object a script made under the application is the script's to move and delete", function() {
    var app = QCoreApplication.instance(), o = new QObject(app);
    eq(typeof o.deleteLater, "function");
    o.setParent(null);
    eq(o.parent(), null);
    o.setParent(app);
    ok(o.parent() === app);
    QCoreApplication.postEvent(o, new QEvent(QEvent.DeferredDelete));
    flush();
    ok(!alive(o));
});

test("a deletion held back through many calls inside the use goes at the next flush after it", function() {
    var o = new QObject(), during = [];
    o.customEvent = function() {
        kill(o);
        for (var i = 0; i < 12; ++i) {
            during.push(alive(o));   // a call on it begins and ends
            flush();
        }
    };
    QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
    eq(during.join(), "true,true,true,true,true,true,true,true,true,true,true,true");
    ok(alive(o));
    flush();
    ok(!alive(o));
});

test("deleted from the engine's own calls and from signals, objects go after the call", function() {
    // A slot the engine calls emits a signal whose handler deletes the slot's object.
    var m = new QSignalMapper(), sender = new QObject(), during;
    m.setMappingById(sender, 7);
    m.mappedInt.connect(function() { kill(m); during = alive(m); });
    m["map(QObject*)"](sender);
    eq(during, true, "a mapper deleted from mappedInt inside map()");
    flush();
    ok(!alive(m));

    // A timer's timeout comes from its own timerEvent, which no override handles.
    var t = new QTimer();
    during = undefined;
    t.singleShot = true;
    t.timeout.connect(function() { kill(t); during = alive(t); });
    t.start(0);
    ok(waitFor(function() { return during !== undefined; }));
    eq(during, true, "a timer deleted from its timeout");
    flush();
    ok(!alive(t));

    // A parent's childEvent deletes the child that new is making.
    var p = new QObject(), child;
    during = undefined;
    p.childEvent = function(e) {
        if (e.type() == QEvent.ChildAdded) { child = e.child(); kill(child); during = alive(child); }
    };
    var c = new QObject(p);
    eq(during, true, "a child deleted from its parent's childEvent inside new");
    ok(c === child && alive(c));
    flush();
    ok(!alive(c));
});

test("overrides run while deleteLater deletes an object", function() {
    var f = new QObject(), seen = 0;
    f.eventFilter = function(w, e) { if (e.type() == QEvent.LanguageChange) ++seen; return false; };
    var t = new QTranslator();
    QCoreApplication.installTranslator(t);
    QCoreApplication.instance().installEventFilter(f);
    t.deleteLater();
    flush();
    QCoreApplication.instance().removeEventFilter(f);
    ok(seen > 0, "the LanguageChange a deleted translator sends");
});

test("setParent of a device at other work succeeds; only one under way is refused", function() {
    var p = new QObject(), parented;
    var d = device("abc", function(d) { d.setParent(p); parented = d.parent() === p; });
    eq(new QTextStream(d).readAll(), "abc");
    ok(parented, "re-parented from its own readData");
    // Read while it is being re-parented (its new parent hears of it).
    var q = new QObject(), got;
    q.childEvent = function(e) {
        if (e.type() == QEvent.ChildAdded)
            got = e.child().readAll().size();
    };
    source("abcd").setParent(q);
    eq(got, 4, "read from its new parent's childEvent");
});

test("a held-back deletion asked for again beside another pending event still deletes", function() {
    var o = new QObject(), during;
    o.customEvent = function(e) {
        if (e.type() != QEvent.User)
            return;
        o.deleteLater();
        flush();
        during = alive(o);
        QCoreApplication.postEvent(o, new QEvent(QEvent.User + 1));
    };
    QCoreApplication.sendEvent(o, new QEvent(QEvent.User));
    ok(during, "held back while in use");
    ok(waitFor(function() { flush(); return !alive(o); }), "deleted afterwards");
});

test("setParent is not re-entered from childEvent", function() {
    var p = new QObject(), other = new QObject(), c = new QObject(p), error;
    p.childEvent = function(e) {
        if (e.type() == QEvent.ChildRemoved) {
            try { c.setParent(other); } catch (err) { error = err.message; }
        }
    };
    c.setParent(null);
    eq(error, inUse("QObject", "setParent"));
    eq(c.parent(), null);
    eq(other.children().length, 0);
    c.setParent(other);
    eq(other.children()[0], c, "and works again afterwards");
});

test("a child moved on from its new parent's ChildAdded ends where it was moved", function() {
    var a = new QObject(), b = new QObject(), seen = [];
    a.childEvent = function(e) {
        seen.push(e.type());
        if (e.added() && e.child().objectName != "stays")
            e.child().setParent(e.child().objectName == "orphan" ? null : b);
    };
    var c = new QObject();
    c.setParent(a);
    ok(c.parent() === b, "moved to b");
    var made = new QObject(a);
    ok(made.parent() === b, "made under a, moved to b");
    var orphan = new QObject();
    orphan.objectName = "orphan";
    orphan.setParent(a);
    eq(orphan.parent(), null);
    eq(a.children().length, 0, "a keeps none");
    eq(b.children().length, 2);
    ok(b.children()[0] === c && b.children()[1] === made);
    eq(seen.join(), [QEvent.ChildAdded, QEvent.ChildRemoved, QEvent.ChildAdded, QEvent.ChildRemoved,
                     QEvent.ChildAdded, QEvent.ChildRemoved].join());
    // Both families still hold their members: deleting them deletes each once.
    var stays = new QObject();
    stays.objectName = "stays";
    stays.setParent(a);
    a.deleteLater();
    b.deleteLater();
    flush();
    ok(!alive(c) && !alive(made) && !alive(stays) && alive(orphan));
});

test("an event being delivered cannot be posted", function() {
    var target = new QObject(), f = new QObject(), e = new QEvent(QEvent.User), error;
    f.eventFilter = function(w, ev) {
        try { QCoreApplication.postEvent(target, e); } catch (err) { error = err.message; }
        return false;
    };
    target.installEventFilter(f);
    QCoreApplication.sendEvent(target, e);
    eq(error, "QCoreApplication::postEvent(): only an event made by a script can be posted");
    eq(e.type(), QEvent.User, "still the script's");
    QCoreApplication.postEvent(target, e);
});

test("translators are not changed while they translate", function() {
    var t = new QTranslator(), errors = [], during;
    t.translate = function() {
        try { QCoreApplication.removeTranslator(t); } catch (e) { errors.push(e.message); }
        try { QCoreApplication.installTranslator(new QTranslator()); } catch (e) { errors.push(e.message); }
        kill(t);
        during = alive(t);
        return "translated";
    };
    QCoreApplication.installTranslator(t);
    eq(QCoreApplication.translate("c", "text"), "translated");
    eq(errors.join("|"), "QCoreApplication::removeTranslator(): called while a translation is in progress|" +
                         "QCoreApplication::installTranslator(): called while a translation is in progress");
    eq(during, true);
    flush();
    ok(!alive(t));
    eq(QCoreApplication.translate("c", "text"), "text");
});

test("the collector deletes no translator while one translates", function() {
    var calls = 0;
    (function() {
        for (var i = 0; i < 50; ++i) new QTranslator();
        var t = new QTranslator();
        t.translate = function() { ++calls; gc(); return "translated"; };
        QCoreApplication.installTranslator(t);  // and dropped: the one translating is garbage too
    })();
    eq(QCoreApplication.translate("c", "text"), "translated");
    eq(QCoreApplication.translate("c", "text"), "translated");
    eq(calls, 2);
    // That they go after it is tested natively (tst_translator): here a frame may still hold one.
});

test("no script code runs while the collector deletes", function() {
    var f = new QObject(), calls = 0;
    f.eventFilter = function(w, e) {
        if (e.type() == QEvent.LanguageChange) {
            ++calls;
            var junk = [];
            for (var i = 0; i < 2000; ++i) junk.push({a: [i]});
            gc();
        }
        return false;
    };
    QCoreApplication.instance().installEventFilter(f);
    (function() {
        for (var i = 0; i < 50; ++i) QCoreApplication.installTranslator(new QTranslator());
    })();
    for (var k = 0; k < 10; ++k) gc();
    QCoreApplication.instance().removeEventFilter(f);
    eq(calls, 0, "collected translators send LanguageChange past script filters");
});

test("a deletion held back in a call is asked for again for the loop it was asked in, once unless consumed", function() {
    // Not inside a nested loop.
    var d, outer = new QEventLoop();
    function after(ms, f) { var t = new QTimer(); t.singleShot = true; t.timeout.connect(f); t.start(ms); }
    after(0, function() {
        d = device("abc", function(d) { kill(d); });
        d.read(1);   // in use: held back, asked for again as the call returns
        var inner = new QEventLoop();
        after(1500, function() { inner.exit(0); });
        inner.exec();
        outer.exit(alive(d) ? 0 : 1);
    });
    eq(outer.exec(), 0, "deleted inside the nested loop");
    ok(waitFor(function() { return !alive(d); }));
    // Once: an override that refuses it keeps its object.
    var k = device("abc", function(k) { kill(k); });
    k.event = function(e) { return e.type() == QEvent.DeferredDelete; };
    k.read(1);
    waitFor(function() { return false; }, 2500);
    ok(alive(k), "deleted after its override refused");
    // One a filter consumes is asked for again a second later, until it arrives.
    var c = device("abc", function(c) { kill(c); }), consumed = 0, f = new QObject();
    c.objectName = "c";
    f.eventFilter = function(w, e) { return e.type() == QEvent.DeferredDelete && w.objectName == "c" && ++consumed > 0; };
    c.read(1);
    QCoreApplication.instance().installEventFilter(f);
    waitFor(function() { return false; }, 2500);
    QCoreApplication.instance().removeEventFilter(f);
    ok(consumed >= 2 && consumed <= 4, "consumed " + consumed + " times in 2.5 s");
    ok(waitFor(function() { return !alive(c); }), "arrives once the filter lets it");
});

finish();
