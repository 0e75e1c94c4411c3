#include "plugin/kit.h"

#include <QtCore/QTextCodec>

static const char *const qtscript_QTextDecoder_function_names[] = {
    "QTextDecoder",
    // prototype
    "hasFailure", "toUnicode", "toString",
};

static const char *const qtscript_QTextDecoder_function_signatures[] = {
    "QTextCodec codec",
    // prototype
    "", "QByteArray ba",
};

static const int qtscript_QTextDecoder_function_lengths[] = {
    1,
    // prototype
    0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QTextDecoder_tables =
    kit::tables("QTextDecoder", qtscript_QTextDecoder_function_names,
                qtscript_QTextDecoder_function_signatures, qtscript_QTextDecoder_function_lengths,
                0);

static QScriptValue qtscript_QTextDecoder_prototype_call(kit::Call &call, QTextDecoder *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->hasFailure());
    case kit::at(1, 1):
        return call.ret(self->toUnicode(call.get<QByteArray>(0)));
    }
    if (call.index == 2)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTextDecoder_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1):
        // A decoder without a codec would call through a null pointer at its first use.
        if (QTextCodec *codec = call.get<QTextCodec *>(0))
            return call.wrapOwned(new QTextDecoder(codec));
        break;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTextDecoder_class(QScriptEngine *engine)
{
    return kit::pointerClass<QTextDecoder, qtscript_QTextDecoder_tables,
                             qtscript_QTextDecoder_static_call,
                             qtscript_QTextDecoder_prototype_call>(engine);
}
