#include "plugin/codecs.h"
#include "plugin/kit.h"

#include <QtCore/QTextCodec>

static const char *const qtscript_QTextEncoder_function_names[] = {
    "QTextEncoder",
    // prototype
    "fromUnicode", "toString",
};

static const char *const qtscript_QTextEncoder_function_signatures[] = {
    "QTextCodec codec",
    // prototype
    "String str",
};

static const int qtscript_QTextEncoder_function_lengths[] = {
    1,
    // prototype
    1, 0,
};

static constexpr kit::ClassTables qtscript_QTextEncoder_tables =
    kit::tables("QTextEncoder", qtscript_QTextEncoder_function_names,
                qtscript_QTextEncoder_function_signatures, qtscript_QTextEncoder_function_lengths,
                0);

static QScriptValue qtscript_QTextEncoder_prototype_call(kit::Call &call, QTextEncoder *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->fromUnicode(call.arg(0).toString()));
    }
    if (call.index == 1)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTextEncoder_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1):
        // An encoder without a codec would call through a null pointer at its first use.
        if (QTextCodec *codec = call.get<QTextCodec *>(0))
            return call.wrapOwned(new QTextEncoder(kit::standIn(codec, kit::CodecUse::Text)));
        break;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTextEncoder_class(QScriptEngine *engine)
{
    return kit::pointerClass<QTextEncoder, qtscript_QTextEncoder_tables,
                             qtscript_QTextEncoder_static_call,
                             qtscript_QTextEncoder_prototype_call>(engine);
}
