#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QSize_function_names[] = {
    "QSize",
    // prototype
    "boundedTo", "expandedTo", "height", "isEmpty", "isNull", "isValid", "operator_add_assign",
    "operator_divide_assign", "equals", "operator_multiply_assign", "operator_subtract_assign",
    "readFrom", "scale", "setHeight", "setWidth", "transpose", "width", "writeTo", "toString",
};

static const char *const qtscript_QSize_function_signatures[] = {
    "\nint w, int h",
    // prototype
    "QSize arg__1", "QSize arg__1", "", "", "", "", "QSize arg__1", "qreal c", "QSize s2",
    "qreal c", "QSize arg__1", "QDataStream arg__1",
    "QSize s, AspectRatioMode mode\nint w, int h, AspectRatioMode mode", "int h", "int w", "", "",
    "QDataStream arg__1",
};

static const int qtscript_QSize_function_lengths[] = {
    2,
    // prototype
    1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 3, 1, 1, 0, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QSize_tables =
    kit::tables("QSize", qtscript_QSize_function_names, qtscript_QSize_function_signatures,
                qtscript_QSize_function_lengths, 0);

// The compound assignments and scale change this size; results outside int's range are clamped.
static QScriptValue qtscript_QSize_prototype_call(kit::Call &call, kit::ValueHandle<QSize> &self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->boundedTo(call.get<QSize>(0)));
    case kit::at(1, 1):
        return call.ret(self->expandedTo(call.get<QSize>(0)));
    case kit::at(2, 0):
        return call.ret(self->height());
    case kit::at(3, 0):
        return call.ret(self->isEmpty());
    case kit::at(4, 0):
        return call.ret(self->isNull());
    case kit::at(5, 0):
        return call.ret(self->isValid());
    case kit::at(6, 1):
        return kit::assign(call, self, geometry::add(*self, call.get<QSize>(0)));
    case kit::at(7, 1):
        return kit::assign(call, self, geometry::divide(*self, call.get<double>(0)));
    case kit::at(8, 1):
        return call.ret(*self == call.get<QSize>(0));
    case kit::at(9, 1):
        return kit::assign(call, self, geometry::multiply(*self, call.get<double>(0)));
    case kit::at(10, 1):
        return kit::assign(call, self, geometry::subtract(*self, call.get<QSize>(0)));
    case kit::at(11, 1):
        return kit::readFrom(call, self);
    case kit::at(12, 2): {
        const QSize target = call.get<QSize>(0);
        const auto mode = call.get<Qt::AspectRatioMode>(1);
        *self.edit() = geometry::scaled(*self, target, mode);
        return call.ret();
    }
    case kit::at(12, 3): {
        const QSize target(call.get<int>(0), call.get<int>(1));
        const auto mode = call.get<Qt::AspectRatioMode>(2);
        *self.edit() = geometry::scaled(*self, target, mode);
        return call.ret();
    }
    case kit::at(13, 1): {
        const int h = call.get<int>(0);
        self.edit()->setHeight(h);
        return call.ret();
    }
    case kit::at(14, 1): {
        const int w = call.get<int>(0);
        self.edit()->setWidth(w);
        return call.ret();
    }
    case kit::at(15, 0):
        self.edit()->transpose();
        return call.ret();
    case kit::at(16, 0):
        return call.ret(self->width());
    case kit::at(17, 1):
        return kit::writeTo(call, self);
    }
    if (call.index == 18)
        return call.ret(kit::debugText(*self));
    return call.mismatch();
}

static QScriptValue qtscript_QSize_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QSize());
    case kit::at(0, 2):
        return call.wrapValue(QSize(call.get<int>(0), call.get<int>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSize_class(QScriptEngine *engine)
{
    return kit::valueClass<QSize, qtscript_QSize_tables, qtscript_QSize_static_call,
                           qtscript_QSize_prototype_call>(engine);
}
