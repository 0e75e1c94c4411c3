#include "plugin/codecs.h"
#include "plugin/compat.h"
#include "plugin/enums.h"
#include "plugin/kit.h"

#include <QtCore/QTextCodec>

#include <climits>

static const char *const qtscript_QTextCodec_function_names[] = {
    "QTextCodec",
    // static
    "availableCodecs", "availableMibs", "codecForCStrings", "codecForHtml", "codecForLocale",
    "codecForMib", "codecForName", "codecForTr", "setCodecForCStrings", "setCodecForLocale",
    "setCodecForTr",
    // prototype
    "aliases", "canEncode", "fromUnicode", "makeDecoder", "makeEncoder", "mibEnum", "name",
    "toUnicode", "toString",
};

static const char *const qtscript_QTextCodec_function_signatures[] = {
    "",
    // static
    "", "", "", "QByteArray ba\nQByteArray ba, QTextCodec defaultCodec", "", "int mib",
    "QByteArray name\nchar name", "", "QTextCodec c", "QTextCodec c", "QTextCodec c",
    // prototype
    "", "char arg__1\nString arg__1", "String uc", "", "", "", "", "QByteArray arg__1",
};

static const int qtscript_QTextCodec_function_lengths[] = {
    0,
    // static
    0, 0, 0, 2, 0, 1, 1, 0, 1, 1, 1,
    // prototype
    0, 1, 1, 0, 0, 0, 0, 1, 0,
};

static constexpr kit::ClassTables qtscript_QTextCodec_tables =
    kit::tables("QTextCodec", qtscript_QTextCodec_function_names,
                qtscript_QTextCodec_function_signatures, qtscript_QTextCodec_function_lengths, 11,
                false);

static constexpr const char *qtscript_QTextCodec_ConversionFlag_keys[] = {
    "ConvertInvalidToNull", "DefaultConversion", "IgnoreHeader",
};
static constexpr int qtscript_QTextCodec_ConversionFlag_values[] = {INT_MIN, 0, 1};
static constexpr kit::EnumInfo qtscript_QTextCodec_ConversionFlag =
    kit::enumeration<QTextCodec::ConversionFlag>(
        "QTextCodec", "ConversionFlag", qtscript_QTextCodec_ConversionFlag_keys,
        qtscript_QTextCodec_ConversionFlag_values, kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QTextCodec_ConversionFlags =
    kit::flags<QTextCodec::ConversionFlag>(qtscript_QTextCodec_ConversionFlag, "ConversionFlags");

static QScriptValue qtscript_QTextCodec_prototype_call(kit::Call &call, QTextCodec *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->aliases());
    case kit::at(1, 1):
        if (call.is<QChar>(0))
            return call.ret(self->canEncode(call.get<QChar>(0)));
        if (call.is<QString>(0))
            return call.ret(self->canEncode(call.get<QString>(0)));
        break;
    case kit::at(2, 1):
        return call.ret(kit::encode(self, call.arg(0).toString()));
    case kit::at(3, 0):
        return call.owned(self->makeDecoder());
    case kit::at(4, 0):
        return call.owned(kit::standIn(self, kit::CodecUse::Text)->makeEncoder());
    case kit::at(5, 0):
        return call.ret(self->mibEnum());
    case kit::at(6, 0):
        return call.ret(self->name());
    case kit::at(7, 1):
        return call.ret(self->toUnicode(call.get<QByteArray>(0)));
    }
    if (call.index == 8)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTextCodec_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(1, 0): {
        // The stand-ins the bindings encode through are QtCore's too, without names.
        QList<QByteArray> names = QTextCodec::availableCodecs();
        names.removeAll(QByteArray());
        return call.ret(names);
    }
    case kit::at(2, 0):
        return call.ret(QTextCodec::availableMibs());
    case kit::at(3, 0):
        return call.ret(compat::codecForCStrings());
    case kit::at(4, 1):
    case kit::at(4, 2): {
        // A null default is QtCore's own "no codec found" answer; it is never dereferenced.
        QTextCodec *const fallback = call.argc == 1 ? QTextCodec::codecForMib(4)   // Latin-1
                                                    : call.get<QTextCodec *>(1);
        QTextCodec *const codec = QTextCodec::codecForHtml(call.get<QByteArray>(0), fallback);
        // A charset without letters or digits named a stand-in.
        return call.ret(kit::codecBehind(codec) == codec ? codec : fallback);
    }
    case kit::at(5, 0):
        return call.ret(QTextCodec::codecForLocale());
    case kit::at(6, 1): {
        QTextCodec *codec = QTextCodec::codecForMib(call.get<int>(0));
        return call.ret(kit::codecBehind(codec) == codec ? codec : nullptr);
    }
    case kit::at(7, 1):
        // A script String is no name: only a byte array or a C-string handle passes.
        if (call.is<QByteArray>(0))
            return call.ret(kit::codecForName(call.get<QByteArray>(0)));
        if (const char *name = call.get<char *>(0))
            return call.ret(kit::codecForName(QByteArray(name)));
        break;
    case kit::at(8, 0):
        return call.ret(compat::codecForTr());
    case kit::at(9, 1):
        compat::setCodecForCStrings(call.get<QTextCodec *>(0));
        return call.ret();
    case kit::at(10, 1):
        // Null resets QtCore to the system's codec.
        QTextCodec::setCodecForLocale(call.get<QTextCodec *>(0));
        return call.ret();
    case kit::at(11, 1):
        compat::setCodecForTr(call.get<QTextCodec *>(0));
        return call.ret();
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTextCodec_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::pointerClass<QTextCodec, qtscript_QTextCodec_tables,
                                          qtscript_QTextCodec_static_call,
                                          qtscript_QTextCodec_prototype_call>(engine);
    kit::addEnum<qtscript_QTextCodec_ConversionFlag>(engine, ctor);
    kit::addFlags<qtscript_QTextCodec_ConversionFlags>(engine, ctor);
    return ctor;
}
