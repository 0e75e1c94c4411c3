#include "plugin/enums.h"

static const char *const qtscript_QLibraryInfo_function_names[] = {
    "QLibraryInfo",
    // static
    "buildKey", "licensedProducts", "licensee", "location",
};

static const char *const qtscript_QLibraryInfo_function_signatures[] = {
    "",
    // static
    "", "", "", "LibraryLocation arg__1",
};

static const int qtscript_QLibraryInfo_function_lengths[] = {
    0,
    // static
    0, 0, 0, 1,
};

static constexpr kit::ClassTables qtscript_QLibraryInfo_tables =
    kit::tables("QLibraryInfo", qtscript_QLibraryInfo_function_names,
                qtscript_QLibraryInfo_function_signatures, qtscript_QLibraryInfo_function_lengths,
                4, false);

static const char *const qtscript_QLibraryInfo_LibraryLocation_keys[] = {
    "PrefixPath", "DocumentationPath", "HeadersPath", "LibrariesPath", "BinariesPath",
    "PluginsPath", "DataPath", "TranslationsPath", "SettingsPath", "DemosPath", "ExamplesPath",
};
static const int qtscript_QLibraryInfo_LibraryLocation_values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
static constexpr kit::EnumInfo qtscript_QLibraryInfo_LibraryLocation =
    kit::enumeration<compat::LibraryLocation>(
        "QLibraryInfo", "LibraryLocation", qtscript_QLibraryInfo_LibraryLocation_keys,
        qtscript_QLibraryInfo_LibraryLocation_values, kit::KeyLookup::DirectIndex);

static QScriptValue qtscript_QLibraryInfo_prototype_call(kit::Call &call, QLibraryInfo *&)
{
    return call.mismatch();
}

static QScriptValue qtscript_QLibraryInfo_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(1, 0):
        return call.ret(compat::libraryBuildKey());
    case kit::at(2, 0):
        return call.ret(QLibraryInfo::licensedProducts());
    case kit::at(3, 0):
        return call.ret(QLibraryInfo::licensee());
    case kit::at(4, 1):
        return call.ret(compat::libraryLocation(call.get<compat::LibraryLocation>(0)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QLibraryInfo_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QLibraryInfo, qtscript_QLibraryInfo_tables,
                          qtscript_QLibraryInfo_static_call,
                          qtscript_QLibraryInfo_prototype_call>(engine);
    kit::addEnum<qtscript_QLibraryInfo_LibraryLocation>(engine, ctor);
    return ctor;
}
