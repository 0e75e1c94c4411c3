#include "plugin/geometry.h"

#include <cmath>
#include <limits>

namespace geometry {

namespace {

constexpr qint64 IntMin = std::numeric_limits<int>::min();
constexpr qint64 IntMax = std::numeric_limits<int>::max();

// The lower and upper edge of one axis, as QRect's tests take them: a negative extent swaps them.
void span(qint64 a1, qint64 a2, qint64 &low, qint64 &high)
{
    if (a2 < a1 - 1) {
        low = a2;
        high = a1;
    } else {
        low = a1;
        high = a2;
    }
}

struct Spans {
    explicit Spans(const QRect &r)
    {
        span(r.left(), r.right(), l, rt);
        span(r.top(), r.bottom(), t, b);
    }
    qint64 l, rt, t, b;
};

} // namespace

int clamp(qint64 v)
{
    return int(qBound(IntMin, v, IntMax));
}

int clamp(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(IntMax))
        return int(IntMax);
    if (v <= double(IntMin))
        return int(IntMin);
    return int(v);
}

int round(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= double(IntMax))
        return int(IntMax);
    if (d < double(IntMin) - 0.5)
        return int(IntMin);
    // QtCore's formula, in 64 bits where its int would overflow near the ends.
    if (d >= 0.0)
        return clamp(qint64(d + 0.5));
    const qint64 t = qint64(d - 1);
    return clamp(qint64(d - double(t) + 0.5) + t);
}

QPoint add(const QPoint &a, const QPoint &b)
{
    return QPoint(clamp(qint64(a.x()) + b.x()), clamp(qint64(a.y()) + b.y()));
}

QPoint subtract(const QPoint &a, const QPoint &b)
{
    return QPoint(clamp(qint64(a.x()) - b.x()), clamp(qint64(a.y()) - b.y()));
}

QPoint multiply(const QPoint &p, double factor)
{
    return QPoint(round(p.x() * factor), round(p.y() * factor));
}

QPoint divide(const QPoint &p, double divisor)
{
    return QPoint(round(p.x() / divisor), round(p.y() / divisor));
}

int manhattanLength(const QPoint &p)
{
    return clamp(qAbs(qint64(p.x())) + qAbs(qint64(p.y())));
}

QSize add(const QSize &a, const QSize &b)
{
    return QSize(clamp(qint64(a.width()) + b.width()), clamp(qint64(a.height()) + b.height()));
}

QSize subtract(const QSize &a, const QSize &b)
{
    return QSize(clamp(qint64(a.width()) - b.width()), clamp(qint64(a.height()) - b.height()));
}

QSize multiply(const QSize &s, double factor)
{
    return QSize(round(s.width() * factor), round(s.height() * factor));
}

QSize divide(const QSize &s, double divisor)
{
    return QSize(round(s.width() / divisor), round(s.height() / divisor));
}

QSize scaled(const QSize &s, const QSize &target, Qt::AspectRatioMode mode)
{
    const qint64 w = s.width();
    const qint64 h = s.height();
    if (mode == Qt::IgnoreAspectRatio || w == 0 || h == 0)
        return target;
    const qint64 rw = qint64(target.height()) * w / h;
    const bool useHeight = mode == Qt::KeepAspectRatio ? rw <= target.width() : rw >= target.width();
    if (useHeight)
        return QSize(clamp(rw), target.height());
    return QSize(target.width(), clamp(qint64(target.width()) * h / w));
}

QRect Rect::toRect() const
{
    QRect r;
    r.setCoords(clamp(x1), clamp(y1), clamp(x2), clamp(y2));
    return r;
}

void Rect::moveCenter(qint64 x, qint64 y)
{
    const qint64 w = x2 - x1;
    const qint64 h = y2 - y1;
    x1 = x - w / 2;
    y1 = y - h / 2;
    x2 = x1 + w;
    y2 = y1 + h;
}

QSize size(const QRect &r)
{
    const Rect w(r);
    return QSize(clamp(w.width()), clamp(w.height()));
}

bool isNull(const QRect &r)
{
    const Rect w(r);
    return w.width() == 0 && w.height() == 0;
}

QRect normalized(const QRect &r)
{
    const Spans s(r);
    QRect n;
    n.setCoords(int(s.l), int(s.t), int(s.rt), int(s.b));
    return n;
}

bool contains(const QRect &r, const QPoint &p, bool proper)
{
    const Spans s(r);
    if (proper)
        return p.x() > s.l && p.x() < s.rt && p.y() > s.t && p.y() < s.b;
    return p.x() >= s.l && p.x() <= s.rt && p.y() >= s.t && p.y() <= s.b;
}

bool contains(const QRect &r, const QRect &other, bool proper)
{
    if (isNull(r) || isNull(other))
        return false;
    const Spans a(r);
    const Spans b(other);
    if (proper)
        return b.l > a.l && b.rt < a.rt && b.t > a.t && b.b < a.b;
    return b.l >= a.l && b.rt <= a.rt && b.t >= a.t && b.b <= a.b;
}

bool intersects(const QRect &a, const QRect &b)
{
    if (isNull(a) || isNull(b))
        return false;
    const Spans s(a);
    const Spans o(b);
    return !(s.l > o.rt || o.l > s.rt || s.t > o.b || o.t > s.b);
}

QRect intersected(const QRect &a, const QRect &b)
{
    if (!intersects(a, b))
        return QRect();
    const Spans s(a);
    const Spans o(b);
    QRect r;
    r.setCoords(int(qMax(s.l, o.l)), int(qMax(s.t, o.t)), int(qMin(s.rt, o.rt)),
                int(qMin(s.b, o.b)));
    return r;
}

QRect united(const QRect &a, const QRect &b)
{
    if (isNull(a))
        return b;
    if (isNull(b))
        return a;
    const Spans s(a);
    const Spans o(b);
    QRect r;
    r.setCoords(int(qMin(s.l, o.l)), int(qMin(s.t, o.t)), int(qMax(s.rt, o.rt)),
                int(qMax(s.b, o.b)));
    return r;
}

QRectF toRectF(const QRect &r)
{
    const Rect w(r);
    return QRectF(r.left(), r.top(), double(w.width()), double(w.height()));
}

QRect toAlignedRect(const QRectF &r)
{
    const qint64 xmin = clamp(std::floor(r.x()));
    const qint64 xmax = clamp(std::ceil(r.x() + r.width()));
    const qint64 ymin = clamp(std::floor(r.y()));
    const qint64 ymax = clamp(std::ceil(r.y() + r.height()));
    return Rect(xmin, ymin, xmax - xmin, ymax - ymin).toRect();
}

} // namespace geometry
