#include "plugin/kit.h"

static const char *const qtscript_QByteArrayMatcher_function_names[] = {
    "QByteArrayMatcher",
    // prototype
    "indexIn", "pattern", "setPattern", "toString",
};

static const char *const qtscript_QByteArrayMatcher_function_signatures[] = {
    "\nQByteArray pattern\nQByteArrayMatcher other",
    // prototype
    "QByteArray ba, int from", "", "QByteArray pattern",
};

static const int qtscript_QByteArrayMatcher_function_lengths[] = {
    1,
    // prototype
    2, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QByteArrayMatcher_tables =
    kit::tables("QByteArrayMatcher", qtscript_QByteArrayMatcher_function_names,
                qtscript_QByteArrayMatcher_function_signatures,
                qtscript_QByteArrayMatcher_function_lengths, 0);

static QScriptValue qtscript_QByteArrayMatcher_prototype_call(kit::Call &call,
                                                              kit::ValueHandle<QByteArrayMatcher> &self)
{
    switch (call.at()) {
    case kit::at(0, 1):
    case kit::at(0, 2): {
        const QByteArray ba = call.get<QByteArray>(0);
        const int from = call.get<int>(1, 0);
        // Qt 5 steps its search pointer past the data for an offset beyond the end; a pattern
        // longer than the data cannot be in it.
        if (from > ba.size() || self->pattern().size() > ba.size())
            return call.ret(-1);
        return call.ret(self->indexIn(ba, from));
    }
    case kit::at(1, 0):
        return call.ret(self->pattern());
    case kit::at(2, 1): {
        const QByteArray pattern = call.get<QByteArray>(0);
        self.edit()->setPattern(pattern);
        return call.ret();
    }
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QByteArrayMatcher_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QByteArrayMatcher());
    case kit::at(0, 1):
        if (call.is<QByteArray>(0))
            return call.wrapValue(QByteArrayMatcher(call.get<QByteArray>(0)));
        if (call.is<QByteArrayMatcher>(0))
            return call.wrapValue(call.get<QByteArrayMatcher>(0));
        break;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QByteArrayMatcher_class(QScriptEngine *engine)
{
    return kit::valueClass<QByteArrayMatcher, qtscript_QByteArrayMatcher_tables,
                           qtscript_QByteArrayMatcher_static_call,
                           qtscript_QByteArrayMatcher_prototype_call>(engine);
}
