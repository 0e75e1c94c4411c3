// QRect and QRectF: construction, geometry on negative and empty rectangles, set operations,
// moves, Qt 4.4's toRect and comparisons, clamping at the ends of int's range.

var INT_MAX = 2147483647, INT_MIN = -2147483648;

function r4(r) { return r.left() + "," + r.top() + "," + r.right() + "," + r.bottom(); }
function xywh(r) { return r.x() + "," + r.y() + " " + r.width() + "x" + r.height(); }
function pt(p) { return p.x() + "," + p.y(); }
function mismatch(cls, name, lines) {
    return cls + "::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}
var rectCandidates = ["", "QPoint topleft, QPoint bottomright", "QPoint topleft, QSize size",
                      "int left, int top, int width, int height"];

test("construction", function() {
    var n = new QRect();
    eq(n.isNull() && n.isEmpty() && !n.isValid(), true);
    eq(xywh(n), "0,0 0x0");
    var r = new QRect(1, 2, 3, 4);
    eq(r4(r), "1,2,3,5");
    eq(xywh(r), "1,2 3x4");
    eq(r4(new QRect(new QPoint(1, 2), new QPoint(3, 4))), "1,2,3,4");
    eq(r4(new QRect(new QPoint(1, 2), new QSize(3, 4))), "1,2,3,5");
    throws(function() { new QRect(new QPoint(1, 2), 5); }, mismatch("QRect", "QRect", rectCandidates));
    throws(function() { new QRect(new QPointF(1, 2), new QPointF(3, 4)); }, mismatch("QRect", "QRect", rectCandidates));
    throws(function() { new QRect(1, 2, 3); }, mismatch("QRect", "QRect", rectCandidates));
    throws(function() { QRect(); }, "QRect(): Did you forget to construct with 'new'?");
    eq(new QRect(0, 0, 10, 10).toString(), "QRect(0,0 10x10) ");
    eq(new QRect().toString(3), new QRect().toString());
    throws(function() { new QRect().x(1); }, mismatch("QRect", "x", [""]));
    throws(function() { QRect.prototype.x(); }, "QRect.x(): this object is not a QRect", "TypeError");
});

test("contains: overloads chosen by argument tests", function() {
    var r = new QRect(new QPoint(0, 0), new QSize(10, 10));
    eq(r.contains(new QPoint(0, 0)), true);
    eq(r.contains(new QPoint(0, 0), true), false);
    eq(r.contains(5, 5), true);
    eq(r.contains(5, 5, true), true);
    eq(r.contains(9, 9), true);
    eq(r.contains(10, 10), false);
    eq(r.contains(new QRect(2, 2, 3, 3)), true);
    eq(r.contains(new QRect(0, 0, 10, 10), true), false);
    var c = mismatch("QRect", "contains", ["QPoint p, bool proper", "QRect r, bool proper",
                                           "int x, int y", "int x, int y, bool proper"]);
    throws(function() { r.contains("5", "5"); }, c);
    throws(function() { r.contains(new QPointF(1, 1)); }, c);
    throws(function() { r.contains({}); }, c);
    throws(function() { r.contains(new QPoint(1, 1), 1); }, c);
    throws(function() { r.contains(); }, c);
});

test("negative and empty rectangles", function() {
    var neg = new QRect(5, 5, -3, -3);   // corners (5, 5) and (1, 1)
    eq(r4(neg), "5,5,1,1");
    eq(xywh(neg), "5,5 -3x-3");
    eq(neg.isEmpty(), true);
    eq(neg.isValid(), false);
    eq(neg.isNull(), false);
    eq(r4(neg.normalized()), "1,1,5,5", "the corners are swapped");
    eq(neg.contains(3, 3), true, "contains takes the swapped edges");
    eq(neg.contains(new QPoint(1, 1)), true);
    eq(neg.contains(1, 1, true), false);
    eq(neg.contains(6, 3), false);
    eq(r4(neg.united(new QRect(10, 10, 2, 2))), "1,1,11,11");
    eq(r4(neg.intersected(new QRect(3, 3, 10, 10))), "3,3,5,5");
    eq(neg.intersects(new QRect(3, 3, 10, 10)), true);
    eq(neg.intersects(new QRect(6, 6, 2, 2)), false);
    eq(neg.intersected(new QRect(6, 6, 2, 2)).isNull(), true);
    var flat = new QRect(0, 0, 0, 5);
    eq(flat.isEmpty() && !flat.isNull(), true);
    eq(flat.contains(0, 0), false);
    eq(r4(flat.normalized()), "0,0,-1,4");
    var line = new QRect(0, 0, -1, 4);   // width -1: right edge at -2
    eq(r4(line.normalized()), "-2,0,0,3");
    var nul = new QRect();
    eq(r4(nul.united(neg)), r4(neg), "a null rectangle adds nothing");
    eq(r4(neg.united(nul)), r4(neg));
    eq(nul.intersects(neg), false);
    eq(nul.contains(0, 0), false);
    eq(new QRect(0, 0, 4, 4).contains(nul), false);
    eq(r4(new QRect(0, 0, 4, 4).united(new QRect(2, -3, 1, 1))), "0,-3,3,3");
    eq(r4(new QRect(0, 0, 4, 4).intersected(new QRect(2, 2, 4, 4))), "2,2,3,3");
});

test("moves and sizes change this rectangle only", function() {
    var r = new QRect(1, 1, 2, 2);
    eq(r.moveTo(5), undefined);
    eq(r4(r), "0,0,1,1", "a number is no point: (0, 0)");
    r.moveTo(2, 3);
    eq(xywh(r), "2,3 2x2");
    eq(r.translate(2, 3), undefined);
    eq(xywh(r), "4,6 2x2");
    var t = r.translated(new QPoint(-4, -6));
    eq(xywh(t), "0,0 2x2");
    eq(xywh(r), "4,6 2x2");
    var c = new QRect(new QPoint(-3, -3), new QSize(2, 2));
    eq(pt(c.center()), "-2,-2", "halving truncates towards zero");
    var s = new QRect(new QPoint(1, 1), new QPoint(2, 2));
    s.setSize(new QSize(10, 20));
    eq(r4(s), "1,1,10,20");
    var tl = s.topLeft();
    tl.setX(99);
    eq(s.left(), 1, "a returned point is a copy");
    var sz = s.size();
    sz.setWidth(99);
    eq(s.width(), 10);
    s.moveCenter(new QPoint(0, 0));
    eq(r4(s), "-4,-9,5,10");
    s.moveBottomRight(new QPoint(0, 0));
    eq(r4(s), "-9,-19,0,0");
    s.adjust(1, 2, 3, 4);
    eq(r4(s), "-8,-17,3,4");
    eq(r4(s.adjusted(-1, -2, -3, -4)), "-9,-19,0,0");
    s.setRect(1, 2, 3, 4);
    eq(r4(s), "1,2,3,5");
    s.setCoords(4, 3, 2, 1);
    eq(xywh(s), "4,3 -1x-1");
});

test("integer rectangles clamp at the ends of int's range", function() {
    var r = new QRect(INT_MIN, 0, INT_MAX, 10);
    eq(r.right(), -2);
    eq(r.width(), INT_MAX);
    var big = new QRect(new QPoint(INT_MIN, INT_MIN), new QPoint(INT_MAX, INT_MAX));
    eq(big.width(), INT_MAX, "4294967296 is clamped");
    eq(big.isNull(), false);
    eq(big.size().height(), INT_MAX);
    eq(pt(big.center()), "0,0");
    eq(big.contains(0, 0), true);
    eq(r4(big.intersected(new QRect(0, 0, 5, 5))), "0,0,4,4");
    var m = new QRect(0, 0, INT_MAX, INT_MAX);
    m.translate(10, 10);
    eq(r4(m), "10,10," + INT_MAX + "," + INT_MAX);
    m.moveLeft(INT_MIN);
    eq(m.left(), INT_MIN);
    m.setWidth(INT_MAX);
    m.moveRight(INT_MAX);
    eq(r4(m), "1,10," + INT_MAX + "," + INT_MAX);
    eq(r4(m.translated(INT_MAX, INT_MIN)), INT_MAX + "," + (INT_MIN + 10) + "," + INT_MAX + ",-1");
    var e = new QRect(INT_MIN, INT_MIN, 0, 0);   // right edge INT_MIN - 1: clamped
    eq(e.right(), INT_MIN);
    eq(e.isNull(), false);
    eq(new QRectF(1e300, -Infinity, NaN, 5).toRect().x(), INT_MAX);
    eq(r4(new QRectF(NaN, NaN, NaN, NaN).toRect()), "0,0,-1,-1");
    eq(r4(new QRectF(-1e20, 0, 1e20, 1).toAlignedRect()), INT_MIN + ",0," + (-1) + ",0");
    eq(new QRectF(0, 0, Infinity, 1).toAlignedRect().right(), INT_MAX - 1);
    eq(new QRectF(NaN, 0, 1, 1).toAlignedRect().left(), 0);
});

test("QRectF", function() {
    var n = new QRectF();
    eq(n.isNull(), true);
    eq(xywh(n), "0,0 0x0");
    var r = new QRectF(new QRect(1, 2, 3, 4));
    eq(xywh(r), "1,2 3x4");
    eq(r.right(), 4);
    eq(r.bottom(), 6);
    eq(xywh(new QRectF(new QPointF(1, 2), new QPointF(4, 0))), "1,2 3x-2");
    eq(xywh(new QRectF(new QPointF(1, 2), new QSizeF(0.5, 0.5))), "1,2 0.5x0.5");
    throws(function() { new QRectF(new QPoint(1, 2), new QPoint(3, 4)); });
    eq(r.contains(1, 2), true);
    eq(r.contains(new QPointF(4, 6)), true);
    eq(r.contains(new QRectF(2, 3, 1, 1)), true);
    throws(function() { r.contains(new QPoint(1, 2)); }, mismatch("QRectF", "contains",
        ["QPointF p", "QRectF r", "qreal x, qreal y"]));
    eq(pt(r.center()), "2.5,4");
    r.moveCenter(new QPointF(0, 0));
    eq(xywh(r), "-1.5,-2 3x4");
    eq(new QRectF(0, 0, 0, -0).isNull(), false, "-0 is not null");
    eq(new QRectF(0, 0, 2, 0).isEmpty(), true);
    eq(new QRectF(0, 0, 2, 1).isValid(), true);
    eq(xywh(new QRectF(0, 0, 2, 2).united(new QRectF(-1, -1, 1, 1))), "-1,-1 3x3");
    eq(xywh(new QRectF(0, 0, 2, 2).intersected(new QRectF(1, 1, 2, 2))), "1,1 1x1");
    eq(new QRectF(0.5, 0.5, 1, 1).toString(), "QRectF(0.5,0.5 1x1) ");
    ok(new QRectF(0.5, 0.5, 1, 1).size() instanceof QSizeF);
});

test("QRectF: Qt 4.4's toRect and equals", function() {
    var t = new QRectF(0.5, 1.5, 2.5, -0.5).toRect();
    ok(t instanceof QRect);
    eq(xywh(t), "1,2 3x0", "x, y, width and height rounded each");
    eq(xywh(new QRectF(-2.5, -0.5, 1.5, 1.5).toRect()), "-2,0 2x2");
    eq(r4(new QRectF(0.5, 0.5, 1, 1).toAlignedRect()), "0,0,1,1");
    var a = new QRectF(1, 2, 3, 4);
    eq(a.equals(new QRectF(1 + 1e-13, 2, 3, 4)), true);
    eq(new QRectF(0, 0, 1, 1).equals(new QRectF(1e-300, 0, 1, 1)), false);
    eq(a.equals(new QRectF(1, 2, 3, 4.001)), false);
});

test("getCoords and getRect take pointers no script can make", function() {
    var r = new QRectF(1, 2, 3, 4);
    throws(function() { r.getCoords(0, 0, 0, 0); }, mismatch("QRectF", "getCoords",
        ["qreal x1, qreal y1, qreal x2, qreal y2"]));
    throws(function() { r.getRect({}, {}, {}, {}); }, mismatch("QRectF", "getRect",
        ["qreal x, qreal y, qreal w, qreal h"]));
    throws(function() { r.getRect(); });
    eq(xywh(r), "1,2 3x4");
});

test("streams need a data stream", function() {
    [new QRect(), new QRectF()].forEach(function(v) {
        throws(function() { v.readFrom(v); });
        throws(function() { v.writeTo(new QByteArray()); });
    });
});

finish();
