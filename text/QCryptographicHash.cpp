#include "plugin/enums.h"

static const char *const qtscript_QCryptographicHash_function_names[] = {
    "QCryptographicHash",
    // static
    "hash",
    // prototype
    "addData", "reset", "result", "toString",
};

static const char *const qtscript_QCryptographicHash_function_signatures[] = {
    "Algorithm method",
    // static
    "QByteArray data, Algorithm method",
    // prototype
    "QByteArray data", "", "",
};

static const int qtscript_QCryptographicHash_function_lengths[] = {
    1,
    // static
    2,
    // prototype
    1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QCryptographicHash_tables =
    kit::tables("QCryptographicHash", qtscript_QCryptographicHash_function_names,
                qtscript_QCryptographicHash_function_signatures,
                qtscript_QCryptographicHash_function_lengths, 1);

static const char *const qtscript_QCryptographicHash_Algorithm_keys[] = {"Md4", "Md5", "Sha1"};
static const int qtscript_QCryptographicHash_Algorithm_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QCryptographicHash_Algorithm =
    kit::enumeration<QCryptographicHash::Algorithm>(
        "QCryptographicHash", "Algorithm", qtscript_QCryptographicHash_Algorithm_keys,
        qtscript_QCryptographicHash_Algorithm_values, kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QCryptographicHash_prototype_call(kit::Call &call,
                                                               QCryptographicHash *&self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        self->addData(call.get<QByteArray>(0));
        return call.ret();
    case kit::at(1, 0):
        self->reset();
        return call.ret();
    case kit::at(2, 0):
        return call.ret(self->result());
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QCryptographicHash_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1): {
        return call.wrapOwned(new QCryptographicHash(call.get<QCryptographicHash::Algorithm>(0)));
    }
    case kit::at(1, 2):
        return call.ret(QCryptographicHash::hash(call.get<QByteArray>(0),
                                                 call.get<QCryptographicHash::Algorithm>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QCryptographicHash_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QCryptographicHash, qtscript_QCryptographicHash_tables,
                          qtscript_QCryptographicHash_static_call,
                          qtscript_QCryptographicHash_prototype_call>(engine);
    kit::addEnum<qtscript_QCryptographicHash_Algorithm>(engine, ctor);
    return ctor;
}
