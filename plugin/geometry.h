// Integer geometry without overflow. QtCore computes QPoint, QSize and QRect in int and
// overflows (undefined behaviour) at the ends of the range; these do the same computations in
// 64 bits or in double and clamp each resulting coordinate to int's range, NaN giving 0.
#ifndef QTCORE_PLUGIN_GEOMETRY_H
#define QTCORE_PLUGIN_GEOMETRY_H

#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtCore/QSize>

namespace geometry {

int clamp(qint64 v);
// Truncates towards zero.
int clamp(double v);
// QtCore's qRound: halves go towards positive infinity (2.5 gives 3, -2.5 gives -2).
int round(double d);

QPoint add(const QPoint &a, const QPoint &b);
QPoint subtract(const QPoint &a, const QPoint &b);
QPoint multiply(const QPoint &p, double factor);
QPoint divide(const QPoint &p, double divisor);
int manhattanLength(const QPoint &p);

QSize add(const QSize &a, const QSize &b);
QSize subtract(const QSize &a, const QSize &b);
QSize multiply(const QSize &s, double factor);
QSize divide(const QSize &s, double divisor);
QSize scaled(const QSize &s, const QSize &target, Qt::AspectRatioMode mode);

// A rectangle's inclusive corners in 64 bits, changed as QRect's members change them.
struct Rect {
    explicit Rect(const QRect &r) : x1(r.left()), y1(r.top()), x2(r.right()), y2(r.bottom()) {}
    Rect(qint64 left, qint64 top, qint64 width, qint64 height)
        : x1(left), y1(top), x2(left + width - 1), y2(top + height - 1)
    {}

    QRect toRect() const;
    qint64 width() const { return x2 - x1 + 1; }
    qint64 height() const { return y2 - y1 + 1; }

    void setWidth(qint64 w) { x2 = x1 + w - 1; }
    void setHeight(qint64 h) { y2 = y1 + h - 1; }
    void moveLeft(qint64 pos) { x2 += pos - x1; x1 = pos; }
    void moveTop(qint64 pos) { y2 += pos - y1; y1 = pos; }
    void moveRight(qint64 pos) { x1 += pos - x2; x2 = pos; }
    void moveBottom(qint64 pos) { y1 += pos - y2; y2 = pos; }
    void moveCenter(qint64 x, qint64 y);
    void translate(qint64 dx, qint64 dy) { x1 += dx; y1 += dy; x2 += dx; y2 += dy; }
    void adjust(qint64 dx1, qint64 dy1, qint64 dx2, qint64 dy2)
    {
        x1 += dx1; y1 += dy1; x2 += dx2; y2 += dy2;
    }

    qint64 x1, y1, x2, y2;
};

QSize size(const QRect &r);
// Width and height both 0.
bool isNull(const QRect &r);
QRect normalized(const QRect &r);
bool contains(const QRect &r, const QPoint &p, bool proper);
bool contains(const QRect &r, const QRect &other, bool proper);
bool intersects(const QRect &a, const QRect &b);
QRect intersected(const QRect &a, const QRect &b);
QRect united(const QRect &a, const QRect &b);

QRectF toRectF(const QRect &r);
QRect toAlignedRect(const QRectF &r);

} // namespace geometry

#endif
