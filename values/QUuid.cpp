#include "plugin/compat.h"
#include "plugin/enums.h"
#include "plugin/values.h"

static const char *const qtscript_QUuid_function_names[] = {
    "QUuid",
    // static
    "createUuid",
    // prototype
    "isNull", "equals", "operator_less", "readFrom", "toString", "variant", "version", "writeTo",
};

static const char *const qtscript_QUuid_function_signatures[] = {
    "\nString arg__1\nuint l, ushort w1, ushort w2, uchar b1, uchar b2, uchar b3, uchar b4, "
    "uchar b5, uchar b6, uchar b7, uchar b8",
    // static
    "",
    // prototype
    "", "QUuid orig", "QUuid other", "QDataStream arg__1", "", "", "", "QDataStream arg__1",
};

static const int qtscript_QUuid_function_lengths[] = {
    11,
    // static
    0,
    // prototype
    0, 1, 1, 1, 0, 0, 0, 1,
};

static constexpr kit::ClassTables qtscript_QUuid_tables =
    kit::tables("QUuid", qtscript_QUuid_function_names, qtscript_QUuid_function_signatures,
                qtscript_QUuid_function_lengths, 1);

static constexpr const char *qtscript_QUuid_Variant_keys[] = {
    "VarUnknown", "NCS", "DCE", "Microsoft", "Reserved",
};
static constexpr int qtscript_QUuid_Variant_values[] = {-1, 0, 2, 6, 7};
static constexpr kit::EnumInfo qtscript_QUuid_Variant = kit::enumeration<QUuid::Variant>(
    "QUuid", "Variant", qtscript_QUuid_Variant_keys, qtscript_QUuid_Variant_values,
    kit::KeyLookup::TableSearch);

static constexpr const char *qtscript_QUuid_Version_keys[] = {
    "VerUnknown", "Time", "EmbeddedPOSIX", "Name", "Random",
};
static constexpr int qtscript_QUuid_Version_values[] = {-1, 1, 2, 3, 4};
static constexpr kit::EnumInfo qtscript_QUuid_Version = kit::enumeration<QUuid::Version>(
    "QUuid", "Version", qtscript_QUuid_Version_keys, qtscript_QUuid_Version_values,
    kit::KeyLookup::TableSearch);

static QScriptValue qtscript_QUuid_prototype_call(kit::Call &call, kit::ValueHandle<QUuid> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->isNull());
    case kit::at(1, 1):
        return call.ret(*self == call.get<QUuid>(0));
    case kit::at(2, 1):
        return call.ret(*self < call.get<QUuid>(0));
    case kit::at(3, 1):
        return kit::readFrom(call, self);
    case kit::at(4, 0):
        return call.ret(self->toString());
    case kit::at(5, 0):
        return call.ret(self->variant());
    case kit::at(6, 0):
        return call.ret(QUuid::Version(compat::uuidVersionToQt4(self->version())));
    case kit::at(7, 1):
        return kit::writeTo(call, self);
    }
    return call.mismatch();
}

static QScriptValue qtscript_QUuid_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QUuid());
    case kit::at(0, 1):
        return call.wrapValue(QUuid(call.get<QString>(0)));
    case kit::at(0, 11): {
        const uint l = call.get<uint>(0);
        const ushort w1 = call.get<ushort>(1), w2 = call.get<ushort>(2);
        uchar b[8];
        for (int i = 0; i < 8; ++i)
            b[i] = uchar(call.arg(3 + i).toUInt32());
        return call.wrapValue(QUuid(l, w1, w2, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]));
    }
    case kit::at(1, 0):
        return call.ret(QUuid::createUuid());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QUuid_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::valueClass<QUuid, qtscript_QUuid_tables, qtscript_QUuid_static_call,
                                        qtscript_QUuid_prototype_call>(engine);
    kit::addEnum<qtscript_QUuid_Variant>(engine, ctor);
    kit::addEnum<qtscript_QUuid_Version>(engine, ctor);
    return ctor;
}
