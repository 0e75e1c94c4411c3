#include "plugin/kit.h"

static const char *const qtscript_QStringMatcher_function_names[] = {
    "QStringMatcher",
    // prototype
    "caseSensitivity", "indexIn", "pattern", "setCaseSensitivity", "setPattern", "toString",
};

static const char *const qtscript_QStringMatcher_function_signatures[] = {
    "\nString pattern, CaseSensitivity cs\nQStringMatcher other",
    // prototype
    "", "String str, int from", "", "CaseSensitivity cs", "String pattern",
};

static const int qtscript_QStringMatcher_function_lengths[] = {
    2,
    // prototype
    0, 2, 0, 1, 1, 0,
};

static constexpr kit::ClassTables qtscript_QStringMatcher_tables =
    kit::tables("QStringMatcher", qtscript_QStringMatcher_function_names,
                qtscript_QStringMatcher_function_signatures,
                qtscript_QStringMatcher_function_lengths, 0);

static QScriptValue qtscript_QStringMatcher_prototype_call(kit::Call &call,
                                                           kit::ValueHandle<QStringMatcher> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->caseSensitivity());
    case kit::at(1, 1):
    case kit::at(1, 2): {
        const QString str = call.arg(0).toString();
        const int from = call.get<int>(1, 0);
        // Qt 5 steps its search pointer past the text for an offset beyond the end; a pattern
        // longer than the text cannot be in it.
        if (from > str.size() || self->pattern().size() > str.size())
            return call.ret(-1);
        return call.ret(self->indexIn(str, from));
    }
    case kit::at(2, 0):
        return call.ret(self->pattern());
    case kit::at(3, 1): {
        const Qt::CaseSensitivity cs = call.get<Qt::CaseSensitivity>(0);
        self.edit()->setCaseSensitivity(cs);
        return call.ret();
    }
    case kit::at(4, 1): {
        const QString pattern = call.arg(0).toString();
        self.edit()->setPattern(pattern);
        return call.ret();
    }
    }
    if (call.index == 5)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QStringMatcher_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QStringMatcher());
    case kit::at(0, 1):
        if (call.is<QString>(0))
            return call.wrapValue(QStringMatcher(call.get<QString>(0), Qt::CaseSensitive));
        if (call.is<QStringMatcher>(0))
            return call.wrapValue(call.get<QStringMatcher>(0));
        break;
    case kit::at(0, 2):
        return call.wrapValue(QStringMatcher(call.arg(0).toString(),
                                             call.get<Qt::CaseSensitivity>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QStringMatcher_class(QScriptEngine *engine)
{
    return kit::valueClass<QStringMatcher, qtscript_QStringMatcher_tables,
                           qtscript_QStringMatcher_static_call,
                           qtscript_QStringMatcher_prototype_call>(engine);
}
