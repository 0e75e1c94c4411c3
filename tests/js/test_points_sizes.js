// QPoint, QPointF, QSize and QSizeF: values, compound assignments that return copies, the
// rounding and comparison rules of Qt 4.4, and integer results clamped to int's range.

var INT_MAX = 2147483647, INT_MIN = -2147483648;

function pt(p) { return p.x() + "," + p.y(); }
function sz(s) { return s.width() + "x" + s.height(); }
function mismatch(cls, name, lines) {
    return cls + "::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}

test("QPoint basics", function() {
    var p = new QPoint();
    eq(pt(p), "0,0");
    eq(p.isNull(), true);
    eq(pt(new QPoint(1.9, -1.9)), "1,-1", "truncates");
    eq(new QPoint(-3, 4).manhattanLength(), 7);
    eq(new QPoint(3, 4).toString(), "QPoint(3,4) ");
    eq(new QPoint(3, 4).toString(1, 2), "QPoint(3,4) ");
    eq(new QPoint(3, 4).equals(new QPoint(3, 4)), true);
    eq(new QPoint().equals(5), true, "a non-point is (0, 0)");
    throws(function() { new QPoint(1); }, mismatch("QPoint", "QPoint", ["", "int xpos, int ypos"]));
    throws(function() { QPoint(); }, "QPoint(): Did you forget to construct with 'new'?");
    throws(function() { new QPoint().x(1); }, mismatch("QPoint", "x", [""]));
    throws(function() { QPoint.prototype.x(); }, "QPoint.x(): this object is not a QPoint", "TypeError");
    throws(function() { QPoint.prototype.x.call(new QPointF()); }, "QPoint.x(): this object is not a QPoint");
});

test("compound assignments change this and return a distinct copy", function() {
    var p = new QPoint(3, 4);
    var q = p.operator_add_assign(new QPoint(1, 1));
    eq(pt(p), "4,5");
    eq(pt(q), "4,5");
    ok(p !== q);
    q.setX(0);
    eq(pt(p), "4,5");
    eq(pt(new QPoint(3, 5).operator_divide_assign(2)), "2,3");
    eq(pt(new QPoint(-3, -5).operator_divide_assign(2)), "-1,-2");
    eq(pt(new QPoint(3, -3).operator_multiply_assign(0.5)), "2,-1");
    eq(pt(new QPoint(5, 5).operator_subtract_assign(new QPoint(7, -1))), "-2,6");
    var s = new QSize(2, 2), r = s.operator_add_assign(new QSize(1, 3));
    eq(sz(s), "3x5");
    r.setWidth(9);
    eq(sz(s), "3x5");
    eq(sz(new QSize(3, 5).operator_divide_assign(2)), "2x3");
    eq(sz(new QSize(3, -3).operator_multiply_assign(0.5)), "2x-1");
});

test("integer results outside int's range are clamped, NaN gives 0", function() {
    eq(pt(new QPoint(INT_MAX, INT_MIN).operator_add_assign(new QPoint(1, -1))), INT_MAX + "," + INT_MIN);
    eq(pt(new QPoint(INT_MIN, INT_MAX).operator_subtract_assign(new QPoint(1, -1))), INT_MIN + "," + INT_MAX);
    eq(pt(new QPoint(3, -3).operator_divide_assign(0)), INT_MAX + "," + INT_MIN);
    eq(pt(new QPoint(0, 1).operator_divide_assign(0)), "0," + INT_MAX, "0/0 is NaN");
    eq(pt(new QPoint(INT_MAX, INT_MIN).operator_multiply_assign(3)), INT_MAX + "," + INT_MIN);
    eq(pt(new QPoint(1, 1).operator_multiply_assign(NaN)), "0,0");
    eq(pt(new QPoint(1, -1).operator_multiply_assign(Infinity)), INT_MAX + "," + INT_MIN);
    eq(new QPoint(INT_MIN, INT_MIN).manhattanLength(), INT_MAX);
    eq(sz(new QSize(INT_MAX, INT_MIN).operator_add_assign(new QSize(INT_MAX, INT_MIN))), INT_MAX + "x" + INT_MIN);
    eq(sz(new QSize(INT_MIN, 0).operator_subtract_assign(new QSize(1, 0))), INT_MIN + "x0");
    eq(sz(new QSize(5, -5).operator_divide_assign(0)), INT_MAX + "x" + INT_MIN);
    eq(sz(new QSize(5, 5).operator_multiply_assign(1e300)), INT_MAX + "x" + INT_MAX);
    eq(pt(new QPointF(1e300, -Infinity).toPoint()), INT_MAX + "," + INT_MIN);
    eq(pt(new QPointF(NaN, 2147483646.5).toPoint()), "0," + INT_MAX);
    eq(sz(new QSizeF(NaN, -1e20).toSize()), "0x" + INT_MIN);
    var s = new QSize(INT_MAX, 1);
    s.scale(1, INT_MAX, Qt.KeepAspectRatioByExpanding);
    eq(sz(s), INT_MAX + "x" + INT_MAX);
});

test("qRound: halves go towards positive infinity", function() {
    eq(pt(new QPointF(2.5, -2.5).toPoint()), "3,-2");
    eq(pt(new QPointF(1.5, -1.5).toPoint()), "2,-1");
    eq(pt(new QPointF(-0.5, -2.6).toPoint()), "0,-3");
    ok(new QPointF(2.5, -2.5).toPoint() instanceof QPoint, "carries the QPoint methods");
    eq(sz(new QSizeF(2.5, -0.5).toSize()), "3x0");
    eq(new QSizeF(2.5, -0.5).toSize().isValid(), true);
});

test("QPointF", function() {
    var p = new QPointF();
    eq(p.isNull(), true);
    eq(pt(new QPointF(new QPoint(3, 4))), "3,4");
    eq(pt(new QPointF(5)), "0,0", "a non-point is (0, 0)");
    var q = new QPointF(1, 2);
    eq(pt(q.operator_divide_assign(4)), "0.25,0.5");
    eq(pt(q), "0.25,0.5");
    eq(pt(new QPointF(1, 0).operator_divide_assign(0)), "Infinity,NaN");
    q.setX(1.5);
    eq(q.x(), 1.5);
    eq(new QPointF(1.5, 2).toString(), "QPointF(1.5,2) ");
    throws(function() { new QPointF(1, 2, 3); },
           mismatch("QPointF", "QPointF", ["", "QPoint p", "qreal xpos, qreal ypos"]));
});

test("QPointF, QSizeF: isNull tests the bit pattern, equals each coordinate", function() {
    eq(new QPointF(-0, 0).isNull(), false, "-0 is not null");
    eq(new QPointF(0, 0).isNull(), true);
    eq(new QSizeF(0, -0).isNull(), false);
    eq(new QSizeF(0, 0).isNull(), true);
    eq(new QPointF(1, 0).equals(new QPointF(1 + 1e-13, 0)), true);
    eq(new QPointF(0, 0).equals(new QPointF(1e-300, 0)), false, "a 0 matches only 0");
    eq(new QPointF(1, 1).equals(new QPointF(1.00001, 1)), false);
    eq(new QPointF(NaN, 0).equals(new QPointF(NaN, 0)), false);
    eq(new QSizeF(1, 0).equals(new QSizeF(1 + 1e-13, 0)), true);
    eq(new QSizeF(0, 1).equals(new QSizeF(1e-300, 1)), false);
});

test("QSize", function() {
    var s = new QSize();
    eq(sz(s), "-1x-1");
    eq(s.isValid(), false);
    eq(s.isEmpty(), true);
    eq(s.isNull(), false);
    var z = new QSize(0, 0);
    eq(z.isNull() && z.isEmpty() && z.isValid(), true);
    var a = new QSize(3, 8);
    eq(sz(a.boundedTo(new QSize(5, 4))), "3x4");
    eq(sz(a.expandedTo(new QSize(5, 4))), "5x8");
    eq(sz(a), "3x8");
    eq(a.equals(new QSize(3, 8)), true);
    var t = new QSize(2, 7);
    eq(t.transpose(), undefined);
    eq(sz(t), "7x2");
    eq(new QSize(3, 4).toString(), "QSize(3, 4) ");
    throws(function() { new QSize(1); }, mismatch("QSize", "QSize", ["", "int w, int h"]));
    throws(function() { new QSize().width(1); }, mismatch("QSize", "width", [""]));
    throws(function() { new QSize().scale(1); }, mismatch("QSize", "scale",
        ["QSize s, AspectRatioMode mode", "int w, int h, AspectRatioMode mode"]));
    eq(new QSize().toString(1, 2), new QSize().toString());
});

test("scale by aspect-ratio mode", function() {
    var s = new QSize(10, 20);
    s.scale(new QSize(40, 40), Qt.KeepAspectRatio);
    eq(sz(s), "20x40");
    s = new QSize(10, 20);
    s.scale(40, 40, Qt.KeepAspectRatioByExpanding);
    eq(sz(s), "40x80");
    s = new QSize(10, 20);
    s.scale(40, 40, 1);
    eq(sz(s), "40x40", "a plain number is IgnoreAspectRatio");
    s = new QSize(0, 20);
    s.scale(40, 30, Qt.KeepAspectRatio);
    eq(sz(s), "40x30", "an empty size takes the target");
    var f = new QSizeF(1, 2);
    f.scale(new QSizeF(4, 4), Qt.KeepAspectRatio);
    eq(sz(f), "2x4");
    f.scale(1.5, 1.5, Qt.IgnoreAspectRatio);
    eq(sz(f), "1.5x1.5");
});

test("QSizeF", function() {
    var s = new QSizeF();
    eq(sz(s), "-1x-1");
    eq(sz(new QSizeF(new QSize(3, 4))), "3x4");
    eq(sz(new QSizeF("x")), "-1x-1", "a non-size is QSize()");
    eq(sz(new QSizeF(1, 2).operator_divide_assign(4)), "0.25x0.5");
    eq(sz(new QSizeF(1, 0).operator_divide_assign(0)), "InfinityxNaN");
    eq(new QSizeF(0.5, 0).isEmpty(), true);
    eq(new QSizeF(0.5, 0.25).isEmpty(), false);
    eq(new QSizeF(NaN, 1).isValid(), false);
    eq(sz(new QSizeF(1, 2).boundedTo(new QSizeF(0.5, 3))), "0.5x2");
    eq(new QSizeF(1.5, -1).toString(), "QSizeF(1.5, -1) ");
    throws(function() { new QSizeF(1, 2, 3); },
           mismatch("QSizeF", "QSizeF", ["", "QSize sz", "qreal w, qreal h"]));
    ok(new QSizeF(2.5, 1).toSize() instanceof QSize);
});

test("streams need a data stream", function() {
    [new QPoint(), new QPointF(), new QSize(), new QSizeF()].forEach(function(v) {
        throws(function() { v.readFrom(v); });
        throws(function() { v.writeTo({}); });
    });
});

finish();
