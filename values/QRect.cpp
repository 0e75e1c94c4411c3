#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QRect_function_names[] = {
    "QRect",
    // prototype
    "adjust", "adjusted", "bottom", "bottomLeft", "bottomRight", "center", "contains", "height",
    "intersected", "intersects", "isEmpty", "isNull", "isValid", "left", "moveBottom",
    "moveBottomLeft", "moveBottomRight", "moveCenter", "moveLeft", "moveRight", "moveTo",
    "moveTop", "moveTopLeft", "moveTopRight", "normalized", "equals", "readFrom", "right",
    "setBottom", "setBottomLeft", "setBottomRight", "setCoords", "setHeight", "setLeft",
    "setRect", "setRight", "setSize", "setTop", "setTopLeft", "setTopRight", "setWidth", "setX",
    "setY", "size", "top", "topLeft", "topRight", "translate", "translated", "united", "width",
    "writeTo", "x", "y", "toString",
};

static const char *const qtscript_QRect_function_signatures[] = {
    "\nQPoint topleft, QPoint bottomright\nQPoint topleft, QSize size\n"
    "int left, int top, int width, int height",
    // prototype
    "int x1, int y1, int x2, int y2", "int x1, int y1, int x2, int y2", "", "", "", "",
    "QPoint p, bool proper\nQRect r, bool proper\nint x, int y\nint x, int y, bool proper", "",
    "QRect other", "QRect r", "", "", "", "", "int pos", "QPoint p", "QPoint p", "QPoint p",
    "int pos", "int pos", "QPoint p\nint x, int t", "int pos", "QPoint p", "QPoint p", "",
    "QRect arg__2", "QDataStream arg__1", "", "int pos", "QPoint p", "QPoint p",
    "int x1, int y1, int x2, int y2", "int h", "int pos", "int x, int y, int w, int h",
    "int pos", "QSize s", "int pos", "QPoint p", "QPoint p", "int w", "int x", "int y", "", "",
    "", "", "QPoint p\nint dx, int dy", "QPoint p\nint dx, int dy", "QRect other", "",
    "QDataStream arg__1", "", "",
};

static const int qtscript_QRect_function_lengths[] = {
    4,
    // prototype
    4, 4, 0, 0, 0, 0, 3, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1,
    4, 1, 1, 4, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 2, 2, 1, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QRect_tables =
    kit::tables("QRect", qtscript_QRect_function_names, qtscript_QRect_function_signatures,
                qtscript_QRect_function_lengths, 0);

using geometry::Rect;

// QtCore's arithmetic on the corners, in 64 bits, each corner clamped to int's range.
template <class F>
static QScriptValue qtscript_QRect_change(kit::Call &call, kit::ValueHandle<QRect> &self, F change)
{
    Rect r(*self);
    change(r);
    *self.edit() = r.toRect();
    return call.ret();
}

static QScriptValue qtscript_QRect_contains(kit::Call &call, const QRect &self)
{
    switch (call.argc) {
    case 1:
        if (call.is<QPoint>(0))
            return call.ret(geometry::contains(self, call.get<QPoint>(0), false));
        if (call.is<QRect>(0))
            return call.ret(geometry::contains(self, call.get<QRect>(0), false));
        break;
    case 2:
        if (call.are<QPoint, bool>())
            return call.ret(geometry::contains(self, call.get<QPoint>(0), call.get<bool>(1)));
        if (call.are<QRect, bool>())
            return call.ret(geometry::contains(self, call.get<QRect>(0), call.get<bool>(1)));
        if (call.are<int, int>())
            return call.ret(geometry::contains(self, QPoint(call.get<int>(0), call.get<int>(1)), false));
        break;
    case 3:
        return call.ret(geometry::contains(self, QPoint(call.get<int>(0), call.get<int>(1)),
                                           call.get<bool>(2)));
    }
    return call.mismatch();
}

static QScriptValue qtscript_QRect_prototype_call(kit::Call &call, kit::ValueHandle<QRect> &self)
{
    switch (call.at()) {
    case kit::at(0, 4):
    case kit::at(1, 4): {
        const int dx1 = call.get<int>(0), dy1 = call.get<int>(1);
        const int dx2 = call.get<int>(2), dy2 = call.get<int>(3);
        Rect r(*self);
        r.adjust(dx1, dy1, dx2, dy2);
        if (call.index == 1)
            return call.ret(r.toRect());
        *self.edit() = r.toRect();
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
    case kit::at(6, 2):
    case kit::at(6, 3):
        return qtscript_QRect_contains(call, *self);
    case kit::at(7, 0):
        return call.ret(geometry::size(*self).height());
    case kit::at(8, 1):
        return call.ret(geometry::intersected(*self, call.get<QRect>(0)));
    case kit::at(9, 1):
        return call.ret(geometry::intersects(*self, call.get<QRect>(0)));
    case kit::at(10, 0):
        return call.ret(self->isEmpty());
    case kit::at(11, 0):
        return call.ret(geometry::isNull(*self));
    case kit::at(12, 0):
        return call.ret(self->isValid());
    case kit::at(13, 0):
        return call.ret(self->left());
    case kit::at(14, 1): {
        const int pos = call.get<int>(0);
        return qtscript_QRect_change(call, self, [pos](Rect &r) { r.moveBottom(pos); });
    }
    case kit::at(15, 1): {
        const QPoint p = call.get<QPoint>(0);
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveLeft(p.x()); r.moveBottom(p.y()); });
    }
    case kit::at(16, 1): {
        const QPoint p = call.get<QPoint>(0);
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveRight(p.x()); r.moveBottom(p.y()); });
    }
    case kit::at(17, 1): {
        const QPoint p = call.get<QPoint>(0);
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveCenter(p.x(), p.y()); });
    }
    case kit::at(18, 1): {
        const int pos = call.get<int>(0);
        return qtscript_QRect_change(call, self, [pos](Rect &r) { r.moveLeft(pos); });
    }
    case kit::at(19, 1): {
        const int pos = call.get<int>(0);
        return qtscript_QRect_change(call, self, [pos](Rect &r) { r.moveRight(pos); });
    }
    case kit::at(20, 1):
    case kit::at(20, 2): {
        const QPoint p = call.argc == 1 ? call.get<QPoint>(0)
                                        : QPoint(call.get<int>(0), call.get<int>(1));
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveLeft(p.x()); r.moveTop(p.y()); });
    }
    case kit::at(21, 1): {
        const int pos = call.get<int>(0);
        return qtscript_QRect_change(call, self, [pos](Rect &r) { r.moveTop(pos); });
    }
    case kit::at(22, 1): {
        const QPoint p = call.get<QPoint>(0);
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveLeft(p.x()); r.moveTop(p.y()); });
    }
    case kit::at(23, 1): {
        const QPoint p = call.get<QPoint>(0);
        return qtscript_QRect_change(call, self, [p](Rect &r) { r.moveRight(p.x()); r.moveTop(p.y()); });
    }
    case kit::at(24, 0):
        return call.ret(geometry::normalized(*self));
    case kit::at(25, 1):
        return call.ret(*self == call.get<QRect>(0));
    case kit::at(26, 1):
        return kit::readFrom(call, self);
    case kit::at(27, 0):
        return call.ret(self->right());
    case kit::at(28, 1): {
        const int pos = call.get<int>(0);
        self.edit()->setBottom(pos);
        return call.ret();
    }
    case kit::at(29, 1): {
        const QPoint p = call.get<QPoint>(0);
        self.edit()->setBottomLeft(p);
        return call.ret();
    }
    case kit::at(30, 1): {
        const QPoint p = call.get<QPoint>(0);
        self.edit()->setBottomRight(p);
        return call.ret();
    }
    case kit::at(31, 4): {
        const int x1 = call.get<int>(0), y1 = call.get<int>(1);
        const int x2 = call.get<int>(2), y2 = call.get<int>(3);
        self.edit()->setCoords(x1, y1, x2, y2);
        return call.ret();
    }
    case kit::at(32, 1): {
        const int h = call.get<int>(0);
        return qtscript_QRect_change(call, self, [h](Rect &r) { r.setHeight(h); });
    }
    case kit::at(33, 1): {
        const int pos = call.get<int>(0);
        self.edit()->setLeft(pos);
        return call.ret();
    }
    case kit::at(34, 4): {
        const Rect r(call.get<int>(0), call.get<int>(1), call.get<int>(2), call.get<int>(3));
        *self.edit() = r.toRect();
        return call.ret();
    }
    case kit::at(35, 1): {
        const int pos = call.get<int>(0);
        self.edit()->setRight(pos);
        return call.ret();
    }
    case kit::at(36, 1): {
        const QSize s = call.get<QSize>(0);
        return qtscript_QRect_change(call, self, [s](Rect &r) { r.setWidth(s.width()); r.setHeight(s.height()); });
    }
    case kit::at(37, 1): {
        const int pos = call.get<int>(0);
        self.edit()->setTop(pos);
        return call.ret();
    }
    case kit::at(38, 1): {
        const QPoint p = call.get<QPoint>(0);
        self.edit()->setTopLeft(p);
        return call.ret();
    }
    case kit::at(39, 1): {
        const QPoint p = call.get<QPoint>(0);
        self.edit()->setTopRight(p);
        return call.ret();
    }
    case kit::at(40, 1): {
        const int w = call.get<int>(0);
        return qtscript_QRect_change(call, self, [w](Rect &r) { r.setWidth(w); });
    }
    case kit::at(41, 1): {
        const int x = call.get<int>(0);
        self.edit()->setX(x);
        return call.ret();
    }
    case kit::at(42, 1): {
        const int y = call.get<int>(0);
        self.edit()->setY(y);
        return call.ret();
    }
    case kit::at(43, 0):
        return call.ret(geometry::size(*self));
    case kit::at(44, 0):
        return call.ret(self->top());
    case kit::at(45, 0):
        return call.ret(self->topLeft());
    case kit::at(46, 0):
        return call.ret(self->topRight());
    case kit::at(47, 1):
    case kit::at(47, 2):
    case kit::at(48, 1):
    case kit::at(48, 2): {
        const QPoint d = call.argc == 1 ? call.get<QPoint>(0)
                                        : QPoint(call.get<int>(0), call.get<int>(1));
        Rect r(*self);
        r.translate(d.x(), d.y());
        if (call.index == 48)
            return call.ret(r.toRect());
        *self.edit() = r.toRect();
        return call.ret();
    }
    case kit::at(49, 1):
        return call.ret(geometry::united(*self, call.get<QRect>(0)));
    case kit::at(50, 0):
        return call.ret(geometry::size(*self).width());
    case kit::at(51, 1):
        return kit::writeTo(call, self);
    case kit::at(52, 0):
        return call.ret(self->x());
    case kit::at(53, 0):
        return call.ret(self->y());
    }
    if (call.index == 54)
        return call.ret(kit::debugText(*self));
    return call.mismatch();
}

static QScriptValue qtscript_QRect_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QRect());
    case kit::at(0, 2):
        if (call.are<QPoint, QPoint>())
            return call.wrapValue(QRect(call.get<QPoint>(0), call.get<QPoint>(1)));
        if (call.are<QPoint, QSize>()) {
            const QPoint p = call.get<QPoint>(0);
            const QSize s = call.get<QSize>(1);
            return call.wrapValue(Rect(p.x(), p.y(), s.width(), s.height()).toRect());
        }
        break;
    case kit::at(0, 4):
        return call.wrapValue(
            Rect(call.get<int>(0), call.get<int>(1), call.get<int>(2), call.get<int>(3)).toRect());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QRect_class(QScriptEngine *engine)
{
    return kit::valueClass<QRect, qtscript_QRect_tables, qtscript_QRect_static_call,
                           qtscript_QRect_prototype_call>(engine);
}
