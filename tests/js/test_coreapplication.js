// QCoreApplication: static functions, the application instance, Encoding.

function mismatchText(fn, candidates) {
    return "QCoreApplication::" + fn + "(): could not find a function match; candidates are:\n" + candidates;
}

test("the class object cannot construct", function() {
    eq(QCoreApplication.length, 0);
    throws(function() { new QCoreApplication(); }, "QCoreApplication cannot be constructed", "TypeError");
    throws(function() { QCoreApplication(1); }, "QCoreApplication cannot be constructed", "TypeError");
});

test("enumerable and fixed properties", function() {
    var own = [];
    for (var k in QCoreApplication) if (QCoreApplication.hasOwnProperty(k)) own.push(k);
    eq(own.join(), "CodecForTr,UnicodeUTF8,Encoding");
    var methods = [];
    for (var m in QCoreApplication.prototype) methods.push(m);
    eq(methods.indexOf("notify"), -1);
    var before = QCoreApplication.UnicodeUTF8;
    QCoreApplication.UnicodeUTF8 = 0;
    ok(QCoreApplication.UnicodeUTF8 === before);
    eq(delete QCoreApplication.CodecForTr, false);
    eq(typeof QCoreApplication.translate, "function");
    eq(QCoreApplication.translate.length, 5);
    eq(QCoreApplication.postEvent.length, 3);
});

test("Encoding", function() {
    throws(function() { QCoreApplication.Encoding(2); }, "Encoding(): invalid enum value (2)", "Error");
    throws(function() { QCoreApplication.Encoding(-1); }, "Encoding(): invalid enum value (-1)");
    ok(QCoreApplication.Encoding() === QCoreApplication.CodecForTr);
    ok(new QCoreApplication.Encoding(1) === QCoreApplication.UnicodeUTF8);
    eq(QCoreApplication.UnicodeUTF8.valueOf(), 1);
    eq(QCoreApplication.UnicodeUTF8.toString(), "UnicodeUTF8");
    eq(QCoreApplication.CodecForTr.valueOf(), 0);
});

test("the application instance", function() {
    var app = QCoreApplication.instance();
    ok(app === QCoreApplication.instance(), "the same wrapper");
    eq(app.toString(1, 2), "QCoreApplication");
    ok(app instanceof QObject, "chained to QObject");
    throws(function() { QCoreApplication.prototype.toString(); },
           "QCoreApplication.toString(): this object is not a QCoreApplication", "TypeError");
    throws(function() { QCoreApplication.prototype.notify.call(new QObject(), new QObject(), new QEvent(QEvent.User)); },
           "QCoreApplication.notify(): this object is not a QCoreApplication", "TypeError");
    throws(function() { app.notify(app); }, mismatchText("notify", "notify(QObject arg__1, QEvent arg__2)"), "Error");
    var o = new QObject(), got = null;
    o.event = function(e) { got = e.type(); return false; };
    eq(app.notify(o, new QEvent(QEvent.User)), false);
    ok(got === QEvent.User, "delivered through notify");
    throws(function() { app.notify(o, 5); }, mismatchText("notify", "notify(QObject arg__1, QEvent arg__2)"));
    throws(function() { app.notify(5, new QEvent(QEvent.User)); }, mismatchText("notify", "notify(QObject arg__1, QEvent arg__2)"));
});

test("process facts", function() {
    ok(QCoreApplication.applicationPid() > 0);
    ok(/qtcore-host$/.test(QCoreApplication.applicationFilePath()), QCoreApplication.applicationFilePath());
    ok(QCoreApplication.applicationFilePath().indexOf(QCoreApplication.applicationDirPath()) == 0);
    eq(QCoreApplication.closingDown(), false);
    eq(QCoreApplication.startingUp(), false);
    eq(typeof QCoreApplication.hasPendingEvents(), "boolean");
    eq(QCoreApplication.flush(), undefined);
    throws(function() { QCoreApplication.applicationPid(1); }, mismatchText("applicationPid", "applicationPid()"));
});

test("library paths", function() {
    var saved = QCoreApplication.libraryPaths();
    ok(saved instanceof Array);
    var dir = QCoreApplication.applicationDirPath();
    QCoreApplication.removeLibraryPath(dir);
    QCoreApplication.addLibraryPath(dir);
    ok(QCoreApplication.libraryPaths().indexOf(dir) >= 0, "added");
    QCoreApplication.removeLibraryPath(dir);
    eq(QCoreApplication.libraryPaths().indexOf(dir), -1, "removed");
    QCoreApplication.setLibraryPaths([dir]);
    eq(QCoreApplication.libraryPaths().join(), dir);
    QCoreApplication.setLibraryPaths(saved);
    eq(QCoreApplication.libraryPaths().join(), saved.join());
});

test("exec and exit", function() {
    var t = new QTimer();
    t.singleShot = true;
    t.timeout.connect(function() { QCoreApplication.exit(3); });
    t.start(5);
    eq(QCoreApplication.exec(), 3);
    var u = new QTimer();
    u.singleShot = true;
    u.timeout.connect(function() { QCoreApplication.exit(); });
    u.start(5);
    eq(QCoreApplication.exec(), 0, "exit() means 0");
});

test("sending events", function() {
    var o = new QObject(), result = true, calls = 0;
    o.event = function(e) { ++calls; return result; };
    var e = new QEvent(QEvent.User);
    eq(QCoreApplication.sendEvent(o, e), true);
    result = false;
    eq(QCoreApplication.sendEvent(o, e), false, "the delivery result, the same event again");
    eq(calls, 2);
    eq(e.spontaneous(), false);
    var both = "QObject receiver, QEvent event";
    throws(function() { QCoreApplication.sendEvent(5, e); }, mismatchText("sendEvent", "sendEvent(" + both + ")"), "Error");
    throws(function() { QCoreApplication.sendEvent(o, null); }, mismatchText("sendEvent", "sendEvent(" + both + ")"));
    throws(function() { QCoreApplication.sendEvent(o, {}); }, mismatchText("sendEvent", "sendEvent(" + both + ")"));
    throws(function() { QCoreApplication.postEvent(o, null); });
    throws(function() { QCoreApplication.postEvent(null, new QEvent(QEvent.User)); });
    eq(calls, 2);
});

test("posted events: priority, removal, sendPostedEvents", function() {
    var o = new QObject(), got = [];
    o.customEvent = function(e) { got.push(e.type().valueOf()); };
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.postEvent(o, new QEvent(QEvent.MaxUser), 1);  // Qt.HighEventPriority
    QCoreApplication.sendPostedEvents(o, 0);
    eq(got.join(), "65535,1000", "higher priority first");
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.removePostedEvents(o);
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.postEvent(o, new QEvent(QEvent.MaxUser));
    QCoreApplication.removePostedEvents(o, 1000);
    QCoreApplication.sendPostedEvents();
    eq(got.join(), "65535,1000,65535");
    throws(function() { QCoreApplication.sendPostedEvents(o); },
           mismatchText("sendPostedEvents", "sendPostedEvents()\nsendPostedEvents(QObject receiver, int event_type)"));
});

test("processEvents", function() {
    var o = new QObject(), got = 0;
    o.customEvent = function() { ++got; };
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.processEvents();
    eq(got, 1);
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.processEvents(QEventLoop.AllEvents, 50);
    eq(got, 2);
    QCoreApplication.postEvent(o, new QEvent(QEvent.User));
    QCoreApplication.processEvents(QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents));
    eq(got, 3);
    throws(function() { QCoreApplication.processEvents(1, 2, 3); },
           mismatchText("processEvents", "processEvents(ProcessEventsFlags flags)\nprocessEvents(ProcessEventsFlags flags, int maxtime)"));
});

test("attributes", function() {
    if (typeof Qt == "undefined" || Qt.AA_ImmediateWidgetCreation === undefined) {
        print("SKIP attributes: Qt.AA_* are not built");
        return;
    }
    QCoreApplication.setAttribute(Qt.AA_ImmediateWidgetCreation);
    eq(QCoreApplication.testAttribute(Qt.AA_ImmediateWidgetCreation), true, "on defaults to true");
    QCoreApplication.setAttribute(Qt.AA_ImmediateWidgetCreation, false);
    eq(QCoreApplication.testAttribute(Qt.AA_ImmediateWidgetCreation), false);
    QCoreApplication.setAttribute(Qt.AA_DontShowIconsInMenus, 1);
    eq(QCoreApplication.testAttribute(Qt.AA_DontShowIconsInMenus), true);
    eq(QCoreApplication.testAttribute(0), false, "a plain number is attribute 0");
    QCoreApplication.setAttribute(Qt.AA_DontShowIconsInMenus, false);
    // Qt 4.4's AA_AttributeCount is Qt 5's AA_PluginApplication: it must not reach Qt 5.
    eq(QCoreApplication.testAttribute(Qt.AA_AttributeCount), false);
    QCoreApplication.setAttribute(Qt.AA_AttributeCount);
    eq(QCoreApplication.testAttribute(Qt.AA_AttributeCount), true);
    QCoreApplication.setAttribute(Qt.AA_AttributeCount, false);
    eq(QCoreApplication.testAttribute(Qt.AA_AttributeCount), false);
    throws(function() { QCoreApplication.setAttribute(); },
           mismatchText("setAttribute", "setAttribute(ApplicationAttribute attribute, bool on)"));
});

test("translate without a translator", function() {
    eq(QCoreApplication.translate("ctx", "text"), "text");
    eq(QCoreApplication.translate("ctx", "caf\u00e9"), "caf\u00e9", "CodecForTr reads Latin-1");
    eq(QCoreApplication.translate("ctx", "caf\u00e9", "c", 1), "caf\u00e9", "a number is CodecForTr");
    eq(QCoreApplication.translate("ctx", "caf\u00e9", null, QCoreApplication.UnicodeUTF8), "caf\u00e9",
       "UnicodeUTF8 hands the text over as UTF-8");
    eq(QCoreApplication.translate("ctx", "\u6e2c\u8a66", null, QCoreApplication.UnicodeUTF8), "\u6e2c\u8a66");
    eq(QCoreApplication.translate("ctx", "%n files", "", QCoreApplication.CodecForTr, 3), "3 files");
    eq(QCoreApplication.translate(1, 2), "2");
    throws(function() { QCoreApplication.translate("ctx"); },
           mismatchText("translate", "translate(char context, char key, char comment, Encoding encoding)\n"
                        + "translate(char context, char key, char comment, Encoding encoding, int n)"));
});

test("translators", function() {
    QCoreApplication.installTranslator(5);  // no translator: Qt ignores it
    QCoreApplication.removeTranslator(null);
    if (typeof QTranslator != "function") {
        print("SKIP translators: QTranslator is not built");
        return;
    }
    var tr = new QTranslator();
    tr.translate = function() { return "translated"; };
    tr.isEmpty = function() { return false; };
    eq(QCoreApplication.installTranslator(tr), undefined);
    eq(QCoreApplication.translate("ctx", "text"), "translated");
    QCoreApplication.removeTranslator(tr);
    eq(QCoreApplication.translate("ctx", "text"), "text");
});

finish();
