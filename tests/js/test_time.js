// QTime: construction, static functions, arithmetic on valid and null times, formats, stopwatch.

function mismatch(name, lines) {
    return "QTime::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}
function hms(t) { return t.toString("hh:mm:ss.zzz"); }

test("construction and validity", function() {
    var n = new QTime();
    eq(n.isNull(), true);
    eq(n.isValid(), false);
    eq(hms(new QTime(12, 30)), "12:30:00.000");
    eq(hms(new QTime(1, 2, 3)), "01:02:03.000");
    eq(hms(new QTime(1, 2, 3, 4)), "01:02:03.004");
    var bad = new QTime(24, 0);
    eq(bad.isValid(), false, "out-of-range fields give QtCore's invalid time");
    throws(function() { new QTime(1); }, mismatch("QTime", ["", "int h, int m, int s, int ms"]));
    throws(function() { new QTime(1, 2, 3, 4, 5); }, mismatch("QTime", ["", "int h, int m, int s, int ms"]));
    throws(function() { QTime(); }, "QTime(): Did you forget to construct with 'new'?");
    eq(QTime.isValid(23, 59, 59), true);
    eq(QTime.isValid(24, 0, 0), false);
    eq(QTime.isValid(1, 2, 3, 1000), false);
    throws(function() { QTime.isValid(1, 2); }, mismatch("isValid", ["int h, int m, int s, int ms"]));
    ok(QTime.currentTime().isValid());
    ok(QTime.currentTime() instanceof QTime);
    throws(function() { QTime.prototype.hour.call(new QUuid()); }, "QTime.hour(): this object is not a QTime", "TypeError");
});

test("fields and arithmetic", function() {
    var t = new QTime(23, 59, 58, 7);
    eq(t.hour(), 23);
    eq(t.minute(), 59);
    eq(t.second(), 58);
    eq(t.msec(), 7);
    var later = t.addSecs(60);
    eq(hms(later), "00:00:58.007", "wraps at midnight");
    eq(hms(t), "23:59:58.007", "this is unchanged");
    eq(hms(t.addMSecs(-8)), "23:59:57.999");
    eq(new QTime(1, 0).secsTo(new QTime(2, 0)), 3600);
    eq(new QTime(2, 0).msecsTo(new QTime(1, 0)), -3600000);
    eq(t.setHMS(1, 2, 3), true);
    eq(hms(t), "01:02:03.000");
    eq(t.setHMS(1, 2, 3, 4), true);
    eq(t.msec(), 4);
    eq(t.setHMS(1, 60, 0), false);
    eq(t.isValid(), false);
    throws(function() { t.setHMS(1, 2); }, mismatch("setHMS", ["int h, int m, int s, int ms"]));
});

test("null times: what QtCore gives", function() {
    var n = new QTime();
    eq(n.addSecs(60).isNull(), true);
    eq(n.msecsTo(new QTime(1, 0)), 0);
    eq(new QTime(1, 0).secsTo("x"), 0, "a non-time is the null time");
    eq(n.equals(new QTime()), true);
    eq(n.operator_less(new QTime(0, 0)), true);
    eq(new QTime(0, 0).operator_less(new QTime(0, 0, 0, 1)), true);
    eq(new QTime(1, 0).equals(new QTime(1, 0, 0, 0)), true);
    eq(new QTime(1, 0).equals(5), false);
    eq(n.toString(), "");
});

test("text forms", function() {
    var t = new QTime(13, 4, 5, 60);
    eq(t.toString(), "13:04:05");
    eq(t.toString(Qt.ISODate), "13:04:05");
    eq(t.toString("h.m.s ap"), "1.4.5 pm");
    var c = mismatch("toString", ["DateFormat f", "String format"]);
    throws(function() { t.toString(1); }, c);
    throws(function() { t.toString(Qt.ISODate, "x"); }, c);
    eq(hms(QTime.fromString("12:34:56")), "12:34:56.000");
    eq(QTime.fromString("12:34:56.789", Qt.ISODate).msec(), 789);
    eq(hms(QTime.fromString("1.2.3", "h.m.s")), "01:02:03.000");
    eq(QTime.fromString("no time").isValid(), false);
    throws(function() { QTime.fromString("12:00", 1); },
           mismatch("fromString", ["String s, DateFormat f", "String s, String format"]));
    throws(function() { QTime.fromString(); });
});

test("a stopwatch on the object itself", function() {
    var w = new QTime(), other = new QTime(5, 0);
    eq(w.start(), undefined);
    ok(w.isValid());
    var deadline = new Date().getTime() + 20;
    while (new Date().getTime() < deadline) {}
    var e = w.elapsed();
    ok(e >= 15 && e < 5000, "elapsed " + e);
    ok(w.restart() >= e);
    ok(w.elapsed() < 1000);
    eq(hms(other), "05:00:00.000", "another object is unaffected");
});

test("streams need a data stream", function() {
    var t = new QTime(1, 2);
    throws(function() { t.readFrom(t); }, mismatch("readFrom", ["QDataStream arg__1"]));
    throws(function() { t.writeTo(1); }, mismatch("writeTo", ["QDataStream arg__1"]));
});

finish();
