#include "plugin/compat.h"
#include "plugin/geometry.h"
#include "plugin/values.h"

static const char *const qtscript_QSizeF_function_names[] = {
    "QSizeF",
    // prototype
    "boundedTo", "expandedTo", "height", "isEmpty", "isNull", "isValid", "operator_add_assign",
    "operator_divide_assign", "equals", "operator_multiply_assign", "operator_subtract_assign",
    "readFrom", "scale", "setHeight", "setWidth", "toSize", "transpose", "width", "writeTo",
    "toString",
};

static const char *const qtscript_QSizeF_function_signatures[] = {
    "\nQSize sz\nqreal w, qreal h",
    // prototype
    "QSizeF arg__1", "QSizeF arg__1", "", "", "", "", "QSizeF arg__1", "qreal c", "QSizeF s2",
    "qreal c", "QSizeF arg__1", "QDataStream arg__1",
    "QSizeF s, AspectRatioMode mode\nqreal w, qreal h, AspectRatioMode mode", "qreal h",
    "qreal w", "", "", "", "QDataStream arg__1",
};

static const int qtscript_QSizeF_function_lengths[] = {
    2,
    // prototype
    1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 3, 1, 1, 0, 0, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QSizeF_tables =
    kit::tables("QSizeF", qtscript_QSizeF_function_names, qtscript_QSizeF_function_signatures,
                qtscript_QSizeF_function_lengths, 0);

static QScriptValue qtscript_QSizeF_prototype_call(kit::Call &call, kit::ValueHandle<QSizeF> &self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->boundedTo(call.get<QSizeF>(0)));
    case kit::at(1, 1):
        return call.ret(self->expandedTo(call.get<QSizeF>(0)));
    case kit::at(2, 0):
        return call.ret(self->height());
    case kit::at(3, 0):
        return call.ret(self->isEmpty());
    case kit::at(4, 0):
        return call.ret(compat::isNullBits(self->width()) && compat::isNullBits(self->height()));
    case kit::at(5, 0):
        return call.ret(self->isValid());
    case kit::at(6, 1):
        return kit::assign(call, self, *self + call.get<QSizeF>(0));
    case kit::at(7, 1): {
        // IEEE division (QtCore asserts on a divisor near 0).
        const double c = call.get<double>(0);
        return kit::assign(call, self, QSizeF(self->width() / c, self->height() / c));
    }
    case kit::at(8, 1): {
        const QSizeF s = call.get<QSizeF>(0);
        return call.ret(compat::fuzzyCompare(self->width(), s.width())
                        && compat::fuzzyCompare(self->height(), s.height()));
    }
    case kit::at(9, 1):
        return kit::assign(call, self, *self * call.get<double>(0));
    case kit::at(10, 1):
        return kit::assign(call, self, *self - call.get<QSizeF>(0));
    case kit::at(11, 1):
        return kit::readFrom(call, self);
    case kit::at(12, 2): {
        const QSizeF target = call.get<QSizeF>(0);
        const auto mode = call.get<Qt::AspectRatioMode>(1);
        self.edit()->scale(target, mode);
        return call.ret();
    }
    case kit::at(12, 3): {
        const QSizeF target(call.get<double>(0), call.get<double>(1));
        const auto mode = call.get<Qt::AspectRatioMode>(2);
        self.edit()->scale(target, mode);
        return call.ret();
    }
    case kit::at(13, 1): {
        const double h = call.get<double>(0);
        self.edit()->setHeight(h);
        return call.ret();
    }
    case kit::at(14, 1): {
        const double w = call.get<double>(0);
        self.edit()->setWidth(w);
        return call.ret();
    }
    case kit::at(15, 0):
        return call.ret(QSize(geometry::round(self->width()), geometry::round(self->height())));
    case kit::at(16, 0):
        self.edit()->transpose();
        return call.ret();
    case kit::at(17, 0):
        return call.ret(self->width());
    case kit::at(18, 1):
        return kit::writeTo(call, self);
    }
    if (call.index == 19)
        return call.ret(kit::debugText(*self));
    return call.mismatch();
}

static QScriptValue qtscript_QSizeF_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QSizeF());
    case kit::at(0, 1):
        return call.wrapValue(QSizeF(call.get<QSize>(0)));
    case kit::at(0, 2):
        return call.wrapValue(QSizeF(call.get<double>(0), call.get<double>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSizeF_class(QScriptEngine *engine)
{
    return kit::valueClass<QSizeF, qtscript_QSizeF_tables, qtscript_QSizeF_static_call,
                           qtscript_QSizeF_prototype_call>(engine);
}
