#include "plugin/enums.h"

#include <QtCore/QDebug>

static const char *const qtscript_QDir_function_names[] = {
    "QDir",
    // static
    "addSearchPath", "cleanPath", "convertSeparators", "current", "currentPath", "drives",
    "fromNativeSeparators", "home", "homePath", "isAbsolutePath", "isRelativePath", "match",
    "nameFiltersFromString", "root", "rootPath", "searchPaths", "separator", "setCurrent",
    "setSearchPaths", "temp", "tempPath", "toNativeSeparators",
    // prototype
    "absoluteFilePath", "absolutePath", "canonicalPath", "cd", "cdUp", "count", "dirName",
    "entryInfoList", "entryList", "exists", "filePath", "filter", "isAbsolute", "isReadable",
    "isRelative", "isRoot", "makeAbsolute", "mkdir", "mkpath", "nameFilters", "equals",
    "operator_subscript", "path", "refresh", "relativeFilePath", "remove", "rename", "rmdir",
    "rmpath", "setFilter", "setNameFilters", "setPath", "setSorting", "sorting", "toString",
};

static const char *const qtscript_QDir_function_signatures[] = {
    "QDir arg__1\nString path\nString path, String nameFilter, SortFlags sort, Filters filter",
    // static
    "String prefix, String path", "String path", "String pathName", "", "", "",
    "String pathName", "", "", "String path", "String path",
    "String filter, String fileName\nList filters, String fileName", "String nameFilter", "", "",
    "String prefix", "", "String path", "String prefix, List searchPaths", "", "",
    "String pathName",
    // prototype
    "String fileName", "", "", "String dirName", "", "", "",
    "Filters filters, SortFlags sort\nList nameFilters, Filters filters, SortFlags sort",
    "Filters filters, SortFlags sort\nList nameFilters, Filters filters, SortFlags sort",
    "\nString name", "String fileName", "", "", "", "", "", "", "String dirName",
    "String dirPath", "", "QDir dir", "int arg__1", "", "", "String fileName", "String fileName",
    "String oldName, String newName", "String dirName", "String dirPath", "Filters filter",
    "List nameFilters", "String path", "SortFlags sort", "",
};

static const int qtscript_QDir_function_lengths[] = {
    4,
    // static
    2, 1, 1, 0, 0, 0, 1, 0, 0, 1, 1, 2, 1, 0, 0, 1, 0, 1, 2, 0, 0, 1,
    // prototype
    1, 0, 0, 1, 0, 0, 0, 3, 3, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 2, 1, 1, 1, 1,
    1, 1, 0, 0,
};

static constexpr kit::ClassTables qtscript_QDir_tables =
    kit::tables("QDir", qtscript_QDir_function_names, qtscript_QDir_function_signatures,
                qtscript_QDir_function_lengths, 22);

static const char *const qtscript_QDir_Filter_keys[] = {
    "NoFilter", "Dirs", "Files", "Drives", "AllEntries", "NoSymLinks", "TypeMask", "Readable",
    "Writable", "Executable", "PermissionMask", "Modified", "Hidden", "System", "AccessMask",
    "AllDirs", "CaseSensitive", "NoDotAndDotDot",
};
static const int qtscript_QDir_Filter_values[] = {
    -1, 1, 2, 4, 7, 8, 15, 16, 32, 64, 112, 128, 256, 512, 1008, 1024, 2048, 4096,
};
static constexpr kit::EnumInfo qtscript_QDir_Filter = kit::enumeration<QDir::Filter>(
    "QDir", "Filter", qtscript_QDir_Filter_keys, qtscript_QDir_Filter_values,
    kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QDir_Filters =
    kit::flags<QDir::Filter>(qtscript_QDir_Filter, "Filters");

static const char *const qtscript_QDir_SortFlag_keys[] = {
    "NoSort", "Name", "Time", "Size", "Unsorted", "DirsFirst", "Reversed", "IgnoreCase",
    "DirsLast", "LocaleAware", "Type",
};
static const int qtscript_QDir_SortFlag_values[] = {-1, 0, 1, 2, 3, 4, 8, 16, 32, 64, 128};
static constexpr kit::EnumInfo qtscript_QDir_SortFlag = kit::enumeration<QDir::SortFlag>(
    "QDir", "SortFlag", qtscript_QDir_SortFlag_keys, qtscript_QDir_SortFlag_values,
    kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QDir_SortFlags =
    kit::flags<QDir::SortFlag>(qtscript_QDir_SortFlag, "SortFlags");

using Filters = QDir::Filters;
using SortFlags = QDir::SortFlags;

// entryList and entryInfoList share their overloads: (filters, sort) and (name filters,
// filters, sort), each defaulting to no filter and no sort.
template <class List>
static QScriptValue listEntries(kit::Call &call, const QDir &dir, List (QDir::*plain)(Filters, SortFlags) const,
                                List (QDir::*named)(const QStringList &, Filters, SortFlags) const)
{
    const Filters noFilter(QDir::NoFilter);
    const SortFlags noSort(QDir::NoSort);
    switch (call.argc) {
    case 0:
        return call.ret((dir.*plain)(noFilter, noSort));
    case 1:
        if (call.is<Filters>(0))
            return call.ret((dir.*plain)(call.get<Filters>(0), noSort));
        if (call.is<QStringList>(0))
            return call.ret((dir.*named)(call.get<QStringList>(0), noFilter, noSort));
        break;
    case 2:
        if (call.are<Filters, SortFlags>())
            return call.ret((dir.*plain)(call.get<Filters>(0), call.get<SortFlags>(1)));
        if (call.are<QStringList, Filters>())
            return call.ret((dir.*named)(call.get<QStringList>(0), call.get<Filters>(1), noSort));
        break;
    case 3:
        return call.ret((dir.*named)(call.get<QStringList>(0), call.get<Filters>(1),
                                     call.get<SortFlags>(2)));
    }
    return call.mismatch();
}

static QScriptValue qtscript_QDir_prototype_call(kit::Call &call, kit::ValueHandle<QDir> &self)
{
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->absoluteFilePath(call.get<QString>(0)));
    case kit::at(1, 0):
        return call.ret(self->absolutePath());
    case kit::at(2, 0):
        return call.ret(self->canonicalPath());
    case kit::at(3, 1): {
        const QString name = call.get<QString>(0);
        return call.ret(self.edit()->cd(name));
    }
    case kit::at(4, 0):
        return call.ret(self.edit()->cdUp());
    case kit::at(5, 0):
        return call.ret(self->count());
    case kit::at(6, 0):
        return call.ret(self->dirName());
    case kit::at(9, 0):
        return call.ret(self->exists());
    case kit::at(9, 1):
        return call.ret(self->exists(call.get<QString>(0)));
    case kit::at(10, 1):
        return call.ret(self->filePath(call.get<QString>(0)));
    case kit::at(11, 0):
        return call.ret(self->filter());
    case kit::at(12, 0):
        return call.ret(!self->isRelative());
    case kit::at(13, 0):
        return call.ret(self->isReadable());
    case kit::at(14, 0):
        return call.ret(self->isRelative());
    case kit::at(15, 0):
        return call.ret(self->isRoot());
    case kit::at(16, 0):
        return call.ret(self.edit()->makeAbsolute());
    case kit::at(17, 1):
        return call.ret(self->mkdir(call.get<QString>(0)));
    case kit::at(18, 1):
        return call.ret(self->mkpath(call.get<QString>(0)));
    case kit::at(19, 0):
        return call.ret(self->nameFilters());
    case kit::at(20, 1):
        return call.ret(*self == call.get<QDir>(0));
    case kit::at(21, 1): {
        // Qt 5 reads past the list for any index outside it.
        const int i = call.get<int>(0);
        if (i < 0 || uint(i) >= self->count())
            return call.outOfRange();
        return call.ret((*self)[i]);
    }
    case kit::at(22, 0):
        return call.ret(self->path());
    case kit::at(23, 0):
        // Const in QtCore, yet it detaches before it clears the cache: run on a copy, it would
        // refresh only the copy.
        self.edit()->refresh();
        return call.ret();
    case kit::at(24, 1):
        return call.ret(self->relativeFilePath(call.get<QString>(0)));
    case kit::at(25, 1): {
        const QString name = call.get<QString>(0);
        return call.ret(self.edit()->remove(name));
    }
    case kit::at(26, 2): {
        const QString oldName = call.get<QString>(0);
        const QString newName = call.get<QString>(1);
        return call.ret(self.edit()->rename(oldName, newName));
    }
    case kit::at(27, 1):
        return call.ret(self->rmdir(call.get<QString>(0)));
    case kit::at(28, 1):
        return call.ret(self->rmpath(call.get<QString>(0)));
    case kit::at(29, 1): {
        const Filters filters = call.get<Filters>(0);
        self.edit()->setFilter(filters);
        return call.ret();
    }
    case kit::at(30, 1): {
        const QStringList filters = call.get<QStringList>(0);
        self.edit()->setNameFilters(filters);
        return call.ret();
    }
    case kit::at(31, 1): {
        const QString path = call.get<QString>(0);
        self.edit()->setPath(path);
        return call.ret();
    }
    case kit::at(32, 1): {
        const SortFlags sort = call.get<SortFlags>(0);
        self.edit()->setSorting(sort);
        return call.ret();
    }
    case kit::at(33, 0):
        return call.ret(self->sorting());
    }
    switch (call.index) {
    case 7:
        return listEntries(call, *self, &QDir::entryInfoList, &QDir::entryInfoList);
    case 8:
        return listEntries(call, *self, &QDir::entryList, &QDir::entryList);
    case 34: {
        QString text;
        QDebug(&text) << *self;
        return call.ret(text);
    }
    }
    return call.mismatch();
}

static QScriptValue qtscript_QDir_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QDir(QString()));
    case kit::at(0, 1):
        if (call.is<QDir>(0))
            return call.wrapValue(call.get<QDir>(0));
        if (call.is<QString>(0))
            return call.wrapValue(QDir(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
    case kit::at(0, 3):
    case kit::at(0, 4):
        return call.wrapValue(QDir(call.get<QString>(0), call.get<QString>(1),
                                   call.get<SortFlags>(2, QDir::Name | QDir::IgnoreCase),
                                   call.get<Filters>(3, QDir::AllEntries)));
    case kit::at(1, 2):
        QDir::addSearchPath(call.get<QString>(0), call.get<QString>(1));
        return call.ret();
    case kit::at(2, 1):
        return call.ret(QDir::cleanPath(call.get<QString>(0)));
    case kit::at(3, 1):
    case kit::at(22, 1):
        return call.ret(QDir::toNativeSeparators(call.get<QString>(0)));
    case kit::at(4, 0):
        return call.ret(QDir::current());
    case kit::at(5, 0):
        return call.ret(QDir::currentPath());
    case kit::at(6, 0):
        return call.ret(QDir::drives());
    case kit::at(7, 1):
        return call.ret(QDir::fromNativeSeparators(call.get<QString>(0)));
    case kit::at(8, 0):
        return call.ret(QDir::home());
    case kit::at(9, 0):
        return call.ret(QDir::homePath());
    case kit::at(10, 1):
        return call.ret(!QDir::isRelativePath(call.get<QString>(0)));
    case kit::at(11, 1):
        return call.ret(QDir::isRelativePath(call.get<QString>(0)));
    case kit::at(12, 2):
        if (call.are<QString, QString>())
            return call.ret(QDir::match(call.get<QString>(0), call.get<QString>(1)));
        if (call.are<QStringList, QString>())
            return call.ret(QDir::match(call.get<QStringList>(0), call.get<QString>(1)));
        break;
    case kit::at(13, 1):
        return call.ret(QDir::nameFiltersFromString(call.get<QString>(0)));
    case kit::at(14, 0):
        return call.ret(QDir::root());
    case kit::at(15, 0):
        return call.ret(QDir::rootPath());
    case kit::at(16, 1):
        return call.ret(QDir::searchPaths(call.get<QString>(0)));
    case kit::at(17, 0):
        return call.ret(QDir::separator());
    case kit::at(18, 1):
        return call.ret(QDir::setCurrent(call.get<QString>(0)));
    case kit::at(19, 2):
        QDir::setSearchPaths(call.get<QString>(0), call.get<QStringList>(1));
        return call.ret();
    case kit::at(20, 0):
        return call.ret(QDir::temp());
    case kit::at(21, 0):
        return call.ret(QDir::tempPath());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QDir_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::valueClass<QDir, qtscript_QDir_tables, qtscript_QDir_static_call,
                                        qtscript_QDir_prototype_call>(engine);
    kit::addEnum<qtscript_QDir_Filter>(engine, ctor);
    kit::addFlags<qtscript_QDir_Filters>(engine, ctor);
    kit::addEnum<qtscript_QDir_SortFlag>(engine, ctor);
    kit::addFlags<qtscript_QDir_SortFlags>(engine, ctor);
    return ctor;
}
