#include "plugin/compat.h"
#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QRectF_function_names[] = {
    "QRectF",
    // prototype
    "adjust", "adjusted", "bottom", "bottomLeft", "bottomRight", "center", "contains",
    "getCoords", "getRect", "height", "intersected", "intersects", "isEmpty", "isNull",
    "isValid", "left", "moveBottom", "moveBottomLeft", "moveBottomRight", "moveCenter",
    "moveLeft", "moveRight", "moveTo", "moveTop", "moveTopLeft", "moveTopRight", "normalized",
    "equals", "readFrom", "right", "setBottom", "setBottomLeft", "setBottomRight", "setCoords",
    "setHeight", "setLeft", "setRect", "setRight", "setSize", "setTop", "setTopLeft",
    "setTopRight", "setWidth", "setX", "setY", "size", "toAlignedRect", "toRect", "top",
    "topLeft", "topRight", "translate", "translated", "united", "width", "writeTo", "x", "y",
    "toString",
};

static const char *const qtscript_QRectF_function_signatures[] = {
    "\nQPointF topleft, QPointF bottomRight\nQPointF topleft, QSizeF size\nQRect rect\n"
    "qreal left, qreal top, qreal width, qreal height",
    // prototype
    "qreal x1, qreal y1, qreal x2, qreal y2", "qreal x1, qreal y1, qreal x2, qreal y2", "", "",
    "", "", "QPointF p\nQRectF r\nqreal x, qreal y", "qreal x1, qreal y1, qreal x2, qreal y2",
    "qreal x, qreal y, qreal w, qreal h", "", "QRectF other", "QRectF r", "", "", "", "",
    "qreal pos", "QPointF p", "QPointF p", "QPointF p", "qreal pos", "qreal pos",
    "QPointF p\nqreal x, qreal t", "qreal pos", "QPointF p", "QPointF p", "", "QRectF arg__2",
    "QDataStream arg__1", "", "qreal pos", "QPointF p", "QPointF p",
    "qreal x1, qreal y1, qreal x2, qreal y2", "qreal h", "qreal pos",
    "qreal x, qreal y, qreal w, qreal h", "qreal pos", "QSizeF s", "qreal pos", "QPointF p",
    "QPointF p", "qreal w", "qreal pos", "qreal pos", "", "", "", "", "", "",
    "QPointF p\nqreal dx, qreal dy", "QPointF p\nqreal dx, qreal dy", "QRectF other", "",
    "QDataStream arg__1", "", "",
};

static const int qtscript_QRectF_function_lengths[] = {
    4,
    // prototype
    4, 4, 0, 0, 0, 0, 2, 4, 4, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 0, 1, 1, 0,
    1, 1, 1, 4, 1, 1, 4, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 2, 2, 1, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QRectF_tables =
    kit::tables("QRectF", qtscript_QRectF_function_names, qtscript_QRectF_function_signatures,
                qtscript_QRectF_function_lengths, 0);

// The point a move or translation takes: a QPointF, or two reals.
static QPointF qtscript_QRectF_point(kit::Call &call)
{
    if (call.argc == 1)
        return call.get<QPointF>(0);
    const double x = call.get<double>(0);
    return QPointF(x, call.get<double>(1));
}

static QScriptValue qtscript_QRectF_prototype_call(kit::Call &call,
                                                   kit::ValueHandle<QRectF> &self)
{
    switch (call.at()) {
    case kit::at(0, 4):
    case kit::at(1, 4): {
        const double dx1 = call.get<double>(0), dy1 = call.get<double>(1);
        const double dx2 = call.get<double>(2), dy2 = call.get<double>(3);
        if (call.index == 1)
            return call.ret(self->adjusted(dx1, dy1, dx2, dy2));
        self.edit()->adjust(dx1, dy1, dx2, dy2);
        return call.ret();
    }
    case kit::at(2, 0):
        return call.ret(self->bottom());
    case kit::at(3, 0):
        return call.ret(self->bottomLeft());
    case kit::at(4, 0):
        return call.ret(self->bottomRight());
    case kit::at(5, 0):
        return call.ret(self->center());
    case kit::at(6, 1):
        if (call.is<QPointF>(0))
            return call.ret(self->contains(call.get<QPointF>(0)));
        if (call.is<QRectF>(0))
            return call.ret(self->contains(call.get<QRectF>(0)));
        break;
    case kit::at(6, 2):
        return call.ret(self->contains(qtscript_QRectF_point(call)));
    // getCoords and getRect (7, 8) write through "qreal*" arguments no script can make: every
    // call is the mismatch error.
    case kit::at(9, 0):
        return call.ret(self->height());
    case kit::at(10, 1):
        return call.ret(self->intersected(call.get<QRectF>(0)));
    case kit::at(11, 1):
        return call.ret(self->intersects(call.get<QRectF>(0)));
    case kit::at(12, 0):
        return call.ret(self->isEmpty());
    case kit::at(13, 0):
        return call.ret(compat::isNullBits(self->width()) && compat::isNullBits(self->height()));
    case kit::at(14, 0):
        return call.ret(self->isValid());
    case kit::at(15, 0):
        return call.ret(self->left());
    case kit::at(16, 1): {
        const double pos = call.get<double>(0);
        self.edit()->moveBottom(pos);
        return call.ret();
    }
    case kit::at(17, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->moveBottomLeft(p);
        return call.ret();
    }
    case kit::at(18, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->moveBottomRight(p);
        return call.ret();
    }
    case kit::at(19, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->moveCenter(p);
        return call.ret();
    }
    case kit::at(20, 1): {
        const double pos = call.get<double>(0);
        self.edit()->moveLeft(pos);
        return call.ret();
    }
    case kit::at(21, 1): {
        const double pos = call.get<double>(0);
        self.edit()->moveRight(pos);
        return call.ret();
    }
    case kit::at(22, 1):
    case kit::at(22, 2): {
        const QPointF p = qtscript_QRectF_point(call);
        self.edit()->moveTo(p);
        return call.ret();
    }
    case kit::at(23, 1): {
        const double pos = call.get<double>(0);
        self.edit()->moveTop(pos);
        return call.ret();
    }
    case kit::at(24, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->moveTopLeft(p);
        return call.ret();
    }
    case kit::at(25, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->moveTopRight(p);
        return call.ret();
    }
    case kit::at(26, 0):
        return call.ret(self->normalized());
    case kit::at(27, 1): {
        const QRectF r = call.get<QRectF>(0);
        return call.ret(compat::fuzzyCompare(self->x(), r.x()) && compat::fuzzyCompare(self->y(), r.y())
                        && compat::fuzzyCompare(self->width(), r.width())
                        && compat::fuzzyCompare(self->height(), r.height()));
    }
    case kit::at(28, 1):
        return kit::readFrom(call, self);
    case kit::at(29, 0):
        return call.ret(self->right());
    case kit::at(30, 1): {
        const double pos = call.get<double>(0);
        self.edit()->setBottom(pos);
        return call.ret();
    }
    case kit::at(31, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->setBottomLeft(p);
        return call.ret();
    }
    case kit::at(32, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->setBottomRight(p);
        return call.ret();
    }
    case kit::at(33, 4):
    case kit::at(36, 4): {
        const double a = call.get<double>(0), b = call.get<double>(1);
        const double c = call.get<double>(2), d = call.get<double>(3);
        if (call.index == 33)
            self.edit()->setCoords(a, b, c, d);
        else
            self.edit()->setRect(a, b, c, d);
        return call.ret();
    }
    case kit::at(34, 1): {
        const double h = call.get<double>(0);
        self.edit()->setHeight(h);
        return call.ret();
    }
    case kit::at(35, 1):
    case kit::at(43, 1): {
        const double pos = call.get<double>(0);
        self.edit()->setLeft(pos);
        return call.ret();
    }
    case kit::at(37, 1): {
        const double pos = call.get<double>(0);
        self.edit()->setRight(pos);
        return call.ret();
    }
    case kit::at(38, 1): {
        const QSizeF s = call.get<QSizeF>(0);
        self.edit()->setSize(s);
        return call.ret();
    }
    case kit::at(39, 1):
    case kit::at(44, 1): {
        const double pos = call.get<double>(0);
        self.edit()->setTop(pos);
        return call.ret();
    }
    case kit::at(40, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->setTopLeft(p);
        return call.ret();
    }
    case kit::at(41, 1): {
        const QPointF p = call.get<QPointF>(0);
        self.edit()->setTopRight(p);
        return call.ret();
    }
    case kit::at(42, 1): {
        const double w = call.get<double>(0);
        self.edit()->setWidth(w);
        return call.ret();
    }
    case kit::at(45, 0):
        return call.ret(self->size());
    case kit::at(46, 0):
        return call.ret(geometry::toAlignedRect(*self));
    case kit::at(47, 0):
        return call.ret(compat::toRect(*self));
    case kit::at(48, 0):
        return call.ret(self->top());
    case kit::at(49, 0):
        return call.ret(self->topLeft());
    case kit::at(50, 0):
        return call.ret(self->topRight());
    case kit::at(51, 1):
    case kit::at(51, 2): {
        const QPointF d = qtscript_QRectF_point(call);
        self.edit()->translate(d);
        return call.ret();
    }
    case kit::at(52, 1):
    case kit::at(52, 2):
        return call.ret(self->translated(qtscript_QRectF_point(call)));
    case kit::at(53, 1):
        return call.ret(self->united(call.get<QRectF>(0)));
    case kit::at(54, 0):
        return call.ret(self->width());
    case kit::at(55, 1):
        return kit::writeTo(call, self);
    case kit::at(56, 0):
        return call.ret(self->x());
    case kit::at(57, 0):
        return call.ret(self->y());
    }
    if (call.index == 58)
        return call.ret(kit::debugText(*self));
    return call.mismatch();
}

static QScriptValue qtscript_QRectF_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QRectF());
    case kit::at(0, 1):
        return call.wrapValue(geometry::toRectF(call.get<QRect>(0)));
    case kit::at(0, 2):
        if (call.are<QPointF, QPointF>())
            return call.wrapValue(QRectF(call.get<QPointF>(0), call.get<QPointF>(1)));
        if (call.are<QPointF, QSizeF>())
            return call.wrapValue(QRectF(call.get<QPointF>(0), call.get<QSizeF>(1)));
        break;
    case kit::at(0, 4): {
        const double x = call.get<double>(0), y = call.get<double>(1);
        const double w = call.get<double>(2), h = call.get<double>(3);
        return call.wrapValue(QRectF(x, y, w, h));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QRectF_class(QScriptEngine *engine)
{
    return kit::valueClass<QRectF, qtscript_QRectF_tables, qtscript_QRectF_static_call,
                           qtscript_QRectF_prototype_call>(engine);
}
