// Run by Qt's own example interpreter (qscript), with QT_PLUGIN_PATH on our build's plugins.
qt.script.importExtension("qt.core");

function check(cond, what) { if (!cond) throw new Error("check failed: " + what); }

check(typeof QObject == "function" && typeof QTimer == "function" && typeof QEventLoop == "function", "classes installed");
var parent = new QObject();
var timer = new QTimer(parent);
check(parent.children().length == 1, "children");
check(timer.toString() == "QTimer", "QTimer.toString");
check(Object.getPrototypeOf(QTimer.prototype) === QObject.prototype, "chain");
var loop = new QEventLoop();
var fired = false;
timer.singleShot = true;
timer.timeout.connect(function() { fired = true; loop.exit(3); });
timer.start(10);
check(loop.exec() == 3, "exec returns the exit code");
check(fired, "timer fired");
check(QEventLoop.ProcessEventsFlags(QEventLoop.WaitForMoreEvents).toString() == "AllEvents,WaitForMoreEvents", "flags");
var threw = false;
try { QTimer(); } catch (e) { threw = e.message == "QTimer(): Did you forget to construct with 'new'?"; }
check(threw, "new test");
print("stock host: qt.core checks passed");
