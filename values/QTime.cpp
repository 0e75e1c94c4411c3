#include "plugin/values.h"

static const char *const qtscript_QTime_function_names[] = {
    "QTime",
    // static
    "currentTime", "fromString", "isValid",
    // prototype
    "addMSecs", "addSecs", "elapsed", "hour", "isNull", "isValid", "minute", "msec", "msecsTo",
    "equals", "operator_less", "readFrom", "restart", "second", "secsTo", "setHMS", "start",
    "toString", "writeTo",
};

static const char *const qtscript_QTime_function_signatures[] = {
    "\nint h, int m, int s, int ms",
    // static
    "", "String s, DateFormat f\nString s, String format", "int h, int m, int s, int ms",
    // prototype
    "int ms", "int secs", "", "", "", "", "", "", "QTime arg__1", "QTime other", "QTime other",
    "QDataStream arg__1", "", "", "QTime arg__1", "int h, int m, int s, int ms", "",
    "DateFormat f\nString format", "QDataStream arg__1",
};

static const int qtscript_QTime_function_lengths[] = {
    4,
    // static
    0, 2, 4,
    // prototype
    1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1, 4, 0, 1, 1,
};

static constexpr kit::ClassTables qtscript_QTime_tables =
    kit::tables("QTime", qtscript_QTime_function_names, qtscript_QTime_function_signatures,
                qtscript_QTime_function_lengths, 3);

static QScriptValue qtscript_QTime_prototype_call(kit::Call &call, kit::ValueHandle<QTime> &self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->addMSecs(call.get<int>(0)));
    case kit::at(1, 1):
        return call.ret(self->addSecs(call.get<int>(0)));
    case kit::at(2, 0):
        return call.ret(self->elapsed());
    case kit::at(3, 0):
        return call.ret(self->hour());
    case kit::at(4, 0):
        return call.ret(self->isNull());
    case kit::at(5, 0):
        return call.ret(self->isValid());
    case kit::at(6, 0):
        return call.ret(self->minute());
    case kit::at(7, 0):
        return call.ret(self->msec());
    case kit::at(8, 1):
        return call.ret(self->msecsTo(call.get<QTime>(0)));
    case kit::at(9, 1):
        return call.ret(*self == call.get<QTime>(0));
    case kit::at(10, 1):
        return call.ret(*self < call.get<QTime>(0));
    case kit::at(11, 1):
        return kit::readFrom(call, self);
    case kit::at(12, 0):
        return call.ret(self.edit()->restart());
    case kit::at(13, 0):
        return call.ret(self->second());
    case kit::at(14, 1):
        return call.ret(self->secsTo(call.get<QTime>(0)));
    case kit::at(15, 3):
    case kit::at(15, 4): {
        const int h = call.get<int>(0), m = call.get<int>(1), s = call.get<int>(2);
        const int ms = call.get<int>(3, 0);
        return call.ret(self.edit()->setHMS(h, m, s, ms));
    }
    case kit::at(16, 0):
        self.edit()->start();
        return call.ret();
    case kit::at(17, 0):
        return call.ret(self->toString(Qt::TextDate));
    case kit::at(17, 1):
        if (call.is<Qt::DateFormat>(0))
            return call.ret(self->toString(call.get<Qt::DateFormat>(0)));
        if (call.is<QString>(0))
            return call.ret(self->toString(call.get<QString>(0)));
        break;
    case kit::at(18, 1):
        return kit::writeTo(call, self);
    }
    return call.mismatch();
}

static QScriptValue qtscript_QTime_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QTime());
    case kit::at(0, 2):
    case kit::at(0, 3):
    case kit::at(0, 4): {
        const int h = call.get<int>(0), m = call.get<int>(1);
        const int s = call.get<int>(2, 0), ms = call.get<int>(3, 0);
        return call.wrapValue(QTime(h, m, s, ms));
    }
    case kit::at(1, 0):
        return call.ret(QTime::currentTime());
    case kit::at(2, 1):
        return call.ret(QTime::fromString(call.get<QString>(0), Qt::TextDate));
    case kit::at(2, 2):
        if (call.are<QString, Qt::DateFormat>())
            return call.ret(QTime::fromString(call.get<QString>(0), call.get<Qt::DateFormat>(1)));
        if (call.are<QString, QString>())
            return call.ret(QTime::fromString(call.get<QString>(0), call.get<QString>(1)));
        break;
    case kit::at(3, 3):
    case kit::at(3, 4): {
        const int h = call.get<int>(0), m = call.get<int>(1), s = call.get<int>(2);
        return call.ret(QTime::isValid(h, m, s, call.get<int>(3, 0)));
    }
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTime_class(QScriptEngine *engine)
{
    return kit::valueClass<QTime, qtscript_QTime_tables, qtscript_QTime_static_call,
                           qtscript_QTime_prototype_call>(engine);
}
