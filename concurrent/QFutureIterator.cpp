#include "plugin/kit.h"

static const char *const qtscript_QFutureIterator_function_names[] = {
    "QFutureIterator",
    // prototype
    "hasNext", "hasPrevious", "toBack", "toFront", "toString",
};

static const char *const qtscript_QFutureIterator_function_signatures[] = {
    "QFuture container",
    // prototype
    "", "", "", "",
};

static const int qtscript_QFutureIterator_function_lengths[] = {
    1,
    // prototype
    0, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QFutureIterator_tables =
    kit::tables("QFutureIterator", qtscript_QFutureIterator_function_names,
                qtscript_QFutureIterator_function_signatures,
                qtscript_QFutureIterator_function_lengths, 0);

static QScriptValue qtscript_QFutureIterator_prototype_call(kit::Call &call,
                                                            compat::FutureIterator *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->hasNext());
    case kit::at(1, 0):
        return call.ret(self->hasPrevious());
    case kit::at(2, 0):
        self->toBack();
        return call.ret();
    case kit::at(3, 0):
        self->toFront();
        return call.ret();
    }
    if (call.index == 4)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QFutureIterator_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc == 1)
        return call.wrapOwned(new compat::FutureIterator{call.get<QFuture<QScriptValue>>(0)});
    return call.mismatch();
}

QScriptValue qtscript_create_QFutureIterator_class(QScriptEngine *engine)
{
    return kit::pointerClass<compat::FutureIterator, qtscript_QFutureIterator_tables,
                             qtscript_QFutureIterator_static_call,
                             qtscript_QFutureIterator_prototype_call>(engine);
}
