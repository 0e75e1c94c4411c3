#include "kernel/QtScriptShell_QTimeLine.h"

#include "plugin/enums.h"

static const char *const qtscript_QTimeLine_function_names[] = {
    "QTimeLine",
    // prototype
    "currentFrame", "currentValue", "endFrame", "frameForTime", "setEndFrame", "setFrameRange",
    "setStartFrame", "startFrame", "state", "valueForTime", "toString",
};

static const char *const qtscript_QTimeLine_function_signatures[] = {
    "int duration, QObject parent",
    // prototype
    "", "", "", "int msec", "int frame", "int startFrame, int endFrame", "int frame", "", "",
    "int msec",
};

static const int qtscript_QTimeLine_function_lengths[] = {
    2,
    // prototype
    0, 0, 0, 1, 1, 2, 1, 0, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QTimeLine_tables =
    kit::tables("QTimeLine", qtscript_QTimeLine_function_names,
                qtscript_QTimeLine_function_signatures, qtscript_QTimeLine_function_lengths, 0);

static constexpr const char *qtscript_QTimeLine_Direction_keys[] = {"Forward", "Backward"};
static constexpr int qtscript_QTimeLine_Direction_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QTimeLine_Direction =
    kit::enumeration<QTimeLine::Direction>("QTimeLine", "Direction",
                                           qtscript_QTimeLine_Direction_keys,
                                           qtscript_QTimeLine_Direction_values,
                                           kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QTimeLine_CurveShape_keys[] = {
    "EaseInCurve", "EaseOutCurve", "EaseInOutCurve", "LinearCurve", "SineCurve", "CosineCurve",
};
static constexpr int qtscript_QTimeLine_CurveShape_values[] = {0, 1, 2, 3, 4, 5};
static constexpr kit::EnumInfo qtscript_QTimeLine_CurveShape =
    kit::enumeration<QTimeLine::CurveShape>("QTimeLine", "CurveShape",
                                            qtscript_QTimeLine_CurveShape_keys,
                                            qtscript_QTimeLine_CurveShape_values,
                                            kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QTimeLine_State_keys[] = {"NotRunning", "Paused", "Running"};
static constexpr int qtscript_QTimeLine_State_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QTimeLine_State =
    kit::enumeration<QTimeLine::State>("QTimeLine", "State", qtscript_QTimeLine_State_keys,
                                       qtscript_QTimeLine_State_values,
                                       kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QTimeLine_prototype_call(kit::Call &call, QTimeLine *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->currentFrame());
    case kit::at(1, 0):
        return call.ret(double(self->currentValue()));
    case kit::at(2, 0):
        return call.ret(self->endFrame());
    case kit::at(3, 1):
        return call.ret(self->frameForTime(call.get<int>(0)));
    case kit::at(4, 1):
        self->setEndFrame(call.get<int>(0));
        return call.ret();
    case kit::at(5, 2):
        self->setFrameRange(call.get<int>(0), call.get<int>(1));
        return call.ret();
    case kit::at(6, 1):
        self->setStartFrame(call.get<int>(0));
        return call.ret();
    case kit::at(7, 0):
        return call.ret(self->startFrame());
    case kit::at(8, 0):
        return call.ret(self->state());
    case kit::at(9, 1):
        return call.ret(double(self->valueForTime(call.get<int>(0))));
    }
    if (call.index == 10)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTimeLine_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 2) {
        const int duration = call.get<int>(0, 1000);
        QObject *parent = call.get<QObject *>(1, nullptr);
        return call.wrapObject(new QtScriptShell_QTimeLine(duration, nullptr), parent);
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTimeLine_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QTimeLine, qtscript_QTimeLine_tables, qtscript_QTimeLine_static_call,
                         qtscript_QTimeLine_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QTimeLine_Direction>(engine, ctor);
    kit::addEnum<qtscript_QTimeLine_CurveShape>(engine, ctor);
    kit::addEnum<qtscript_QTimeLine_State>(engine, ctor);
    return ctor;
}
