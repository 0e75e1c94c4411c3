#include "plugin/enums.h"

#include <QtCore/QDirIterator>

static const char *const qtscript_QDirIterator_function_names[] = {
    "QDirIterator",
    // prototype
    "fileInfo", "fileName", "filePath", "hasNext", "next", "path", "toString",
};

static const char *const qtscript_QDirIterator_function_signatures[] = {
    "QDir dir, IteratorFlags flags\nString path, Filters filter, IteratorFlags flags\n"
    "String path, IteratorFlags flags\nString path, List nameFilters, Filters filters, "
    "IteratorFlags flags",
    // prototype
    "", "", "", "", "", "",
};

static const int qtscript_QDirIterator_function_lengths[] = {
    4,
    // prototype
    0, 0, 0, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QDirIterator_tables =
    kit::tables("QDirIterator", qtscript_QDirIterator_function_names,
                qtscript_QDirIterator_function_signatures, qtscript_QDirIterator_function_lengths,
                0);

static const char *const qtscript_QDirIterator_IteratorFlag_keys[] = {
    "NoIteratorFlags", "FollowSymlinks", "Subdirectories",
};
static const int qtscript_QDirIterator_IteratorFlag_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QDirIterator_IteratorFlag =
    kit::enumeration<QDirIterator::IteratorFlag>(
        "QDirIterator", "IteratorFlag", qtscript_QDirIterator_IteratorFlag_keys,
        qtscript_QDirIterator_IteratorFlag_values, kit::KeyLookup::DirectIndex);
static constexpr kit::FlagsInfo qtscript_QDirIterator_IteratorFlags =
    kit::flags<QDirIterator::IteratorFlag>(qtscript_QDirIterator_IteratorFlag, "IteratorFlags");

using Flags = QDirIterator::IteratorFlags;
using Filters = QDir::Filters;

static QScriptValue qtscript_QDirIterator_prototype_call(kit::Call &call, QDirIterator *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->fileInfo());
    case kit::at(1, 0):
        return call.ret(self->fileName());
    case kit::at(2, 0):
        return call.ret(self->filePath());
    case kit::at(3, 0):
        return call.ret(self->hasNext());
    case kit::at(4, 0):
        return call.ret(self->next());
    case kit::at(5, 0):
        return call.ret(self->path());
    }
    if (call.index == 6)
        return call.className();
    return call.mismatch();
}

// The forms are told apart by flags values only: an enumeration value object or a number passes
// no test, and reaches QtCore only through the untested four-argument form.
static QScriptValue qtscript_QDirIterator_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1):
        if (call.is<QDir>(0))
            return call.wrapOwned(new QDirIterator(call.get<QDir>(0)));
        if (call.is<QString>(0))
            return call.wrapOwned(new QDirIterator(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
        if (call.are<QDir, Flags>())
            return call.wrapOwned(new QDirIterator(call.get<QDir>(0), call.get<Flags>(1)));
        if (call.are<QString, Filters>())
            return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<Filters>(1)));
        if (call.are<QString, Flags>())
            return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<Flags>(1)));
        if (call.are<QString, QStringList>())
            return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<QStringList>(1)));
        break;
    case kit::at(0, 3):
        if (call.are<QString, Filters, Flags>())
            return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<Filters>(1),
                                                   call.get<Flags>(2)));
        if (call.are<QString, QStringList, Filters>())
            return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<QStringList>(1),
                                                   call.get<Filters>(2)));
        break;
    case kit::at(0, 4):
        return call.wrapOwned(new QDirIterator(call.get<QString>(0), call.get<QStringList>(1),
                                               call.get<Filters>(2), call.get<Flags>(3)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QDirIterator_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::pointerClass<QDirIterator, qtscript_QDirIterator_tables,
                          qtscript_QDirIterator_static_call,
                          qtscript_QDirIterator_prototype_call>(engine);
    kit::addEnum<qtscript_QDirIterator_IteratorFlag>(engine, ctor);
    kit::addFlags<qtscript_QDirIterator_IteratorFlags>(engine, ctor);
    return ctor;
}
