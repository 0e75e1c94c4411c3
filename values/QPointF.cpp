#include "plugin/compat.h"
#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QPointF_function_names[] = {
    "QPointF",
    // prototype
    "isNull", "operator_add_assign", "operator_divide_assign", "equals",
    "operator_multiply_assign", "operator_subtract_assign", "readFrom", "setX", "setY",
    "toPoint", "writeTo", "x", "y", "toString",
};

static const char *const qtscript_QPointF_function_signatures[] = {
    "\nQPoint p\nqreal xpos, qreal ypos",
    // prototype
    "", "QPointF p", "qreal c", "QPointF p2", "qreal c", "QPointF p", "QDataStream arg__1",
    "qreal x", "qreal y", "", "QDataStream arg__1", "", "",
};

static const int qtscript_QPointF_function_lengths[] = {
    2,
    // prototype
    0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QPointF_tables =
    kit::tables("QPointF", qtscript_QPointF_function_names, qtscript_QPointF_function_signatures,
                qtscript_QPointF_function_lengths, 0);

static QScriptValue qtscript_QPointF_prototype_call(kit::Call &call,
                                                    kit::ValueHandle<QPointF> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(compat::isNullBits(self->x()) && compat::isNullBits(self->y()));
    case kit::at(1, 1):
        return kit::assign(call, self, *self + call.get<QPointF>(0));
    case kit::at(2, 1): {
        // IEEE division: a divisor of 0 gives infinities, or NaN where the coordinate is 0.
        const double c = call.get<double>(0);
        return kit::assign(call, self, QPointF(self->x() / c, self->y() / c));
    }
    case kit::at(3, 1): {
        const QPointF p = call.get<QPointF>(0);
        return call.ret(compat::fuzzyCompare(self->x(), p.x())
                        && compat::fuzzyCompare(self->y(), p.y()));
    }
    case kit::at(4, 1):
        return kit::assign(call, self, *self * call.get<double>(0));
    case kit::at(5, 1):
        return kit::assign(call, self, *self - call.get<QPointF>(0));
    case kit::at(6, 1):
        return kit::readFrom(call, self);
    case kit::at(7, 1): {
        const double x = call.get<double>(0);
        self.edit()->setX(x);
        return call.ret();
    }
    case kit::at(8, 1): {
        const double y = call.get<double>(0);
        self.edit()->setY(y);
        return call.ret();
    }
    case kit::at(9, 0):
        return call.ret(QPoint(geometry::round(self->x()), geometry::round(self->y())));
    case kit::at(10, 1):
        return kit::writeTo(call, self);
    case kit::at(11, 0):
        return call.ret(self->x());
    case kit::at(12, 0):
        return call.ret(self->y());
    }
    if (call.index == 13)
        return call.ret(kit::debugText(*self));
    return call.mismatch();
}

static QScriptValue qtscript_QPointF_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QPointF());
    case kit::at(0, 1):
        return call.wrapValue(QPointF(call.get<QPoint>(0)));
    case kit::at(0, 2):
        return call.wrapValue(QPointF(call.get<double>(0), call.get<double>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QPointF_class(QScriptEngine *engine)
{
    return kit::valueClass<QPointF, qtscript_QPointF_tables, qtscript_QPointF_static_call,
                           qtscript_QPointF_prototype_call>(engine);
}
