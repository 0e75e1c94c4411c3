#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QPoint_function_names[] = {
    "QPoint",
    // prototype
    "isNull", "manhattanLength", "operator_add_assign", "operator_divide_assign", "equals",
    "operator_multiply_assign", "operator_subtract_assign", "readFrom", "setX", "setY",
    "writeTo", "x", "y", "toString",
};

static const char *const qtscript_QPoint_function_signatures[] = {
    "\nint xpos, int ypos",
    // prototype
    "", "", "QPoint p", "qreal c", "QPoint p2", "qreal c", "QPoint p", "QDataStream arg__1",
    "int x", "int y", "QDataStream arg__1", "", "",
};

static const int qtscript_QPoint_function_lengths[] = {
    2,
    // prototype
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QPoint_tables =
    kit::tables("QPoint", qtscript_QPoint_function_names, qtscript_QPoint_function_signatures,
                qtscript_QPoint_function_lengths, 0);

// The compound assignments change this point and return a copy of the result; results outside
// int's range are clamped.
static QScriptValue qtscript_QPoint_prototype_call(kit::Call &call, kit::ValueHandle<QPoint> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->isNull());
    case kit::at(1, 0):
        return call.ret(geometry::manhattanLength(*self));
    case kit::at(2, 1):
        return kit::assign(call, self, geometry::add(*self, call.get<QPoint>(0)));
    case kit::at(3, 1):
        return kit::assign(call, self, geometry::divide(*self, call.get<double>(0)));
    case kit::at(4, 1):
        return call.ret(*self == call.get<QPoint>(0));
    case kit::at(5, 1):
        return kit::assign(call, self, geometry::multiply(*self, call.get<double>(0)));
    case kit::at(6, 1):
        return kit::assign(call, self, geometry::subtract(*self, call.get<QPoint>(0)));
    case kit::at(7, 1):
        return kit::readFrom(call, self);
    case kit::at(8, 1): {
        const int x = call.get<int>(0);
        self.edit()->setX(x);
        return call.ret();
    }
    case kit::at(9, 1): {
        const int y = call.get<int>(0);
        self.edit()->setY(y);
        return call.ret();
    }
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

static QScriptValue qtscript_QPoint_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QPoint());
    case kit::at(0, 2):
        return call.wrapValue(QPoint(call.get<int>(0), call.get<int>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QPoint_class(QScriptEngine *engine)
{
    return kit::valueClass<QPoint, qtscript_QPoint_tables, qtscript_QPoint_static_call,
                           qtscript_QPoint_prototype_call>(engine);
}
