#include "plugin/kit.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

static const char *const qtscript_QFileInfo_function_names[] = {
    "QFileInfo",
    // prototype
    "absoluteDir", "absoluteFilePath", "absolutePath", "baseName", "bundleName", "caching",
    "canonicalFilePath", "canonicalPath", "completeBaseName", "completeSuffix", "created", "dir",
    "exists", "fileName", "filePath", "group", "groupId", "isAbsolute", "isBundle", "isDir",
    "isExecutable", "isFile", "isHidden", "isReadable", "isRelative", "isRoot", "isSymLink",
    "isWritable", "lastModified", "lastRead", "makeAbsolute", "equals", "owner", "ownerId", "path",
    "permission", "permissions", "refresh", "setCaching", "setFile", "size", "suffix",
    "symLinkTarget", "toString",
};

static const char *const qtscript_QFileInfo_function_signatures[] = {
    "\nQDir dir, String file\nQFile file\nQFileInfo fileinfo\nString file",
    // prototype
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "QFileInfo fileinfo", "", "", "", "Permissions permissions",
    "", "", "bool on", "QDir dir, String file\nQFile file\nString file", "", "", "",
};

static const int qtscript_QFileInfo_function_lengths[] = {
    2,
    // prototype
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 0, 0, 0, 1, 0, 0, 1, 2, 0, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QFileInfo_tables =
    kit::tables("QFileInfo", qtscript_QFileInfo_function_names,
                qtscript_QFileInfo_function_signatures, qtscript_QFileInfo_function_lengths, 0);

static QScriptValue qtscript_QFileInfo_prototype_call(kit::Call &call,
                                                      kit::ValueHandle<QFileInfo> &self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->absoluteDir());
    case kit::at(1, 0):
        return call.ret(self->absoluteFilePath());
    case kit::at(2, 0):
        return call.ret(self->absolutePath());
    case kit::at(3, 0):
        return call.ret(self->baseName());
    case kit::at(4, 0):
        return call.ret(self->bundleName());
    case kit::at(5, 0):
        return call.ret(self->caching());
    case kit::at(6, 0):
        return call.ret(self->canonicalFilePath());
    case kit::at(7, 0):
        return call.ret(self->canonicalPath());
    case kit::at(8, 0):
        return call.ret(self->completeBaseName());
    case kit::at(9, 0):
        return call.ret(self->completeSuffix());
    case kit::at(10, 0):
        return call.ret(self->created());
    case kit::at(11, 0):
        return call.ret(self->dir());
    case kit::at(12, 0):
        return call.ret(self->exists());
    case kit::at(13, 0):
        return call.ret(self->fileName());
    case kit::at(14, 0):
        return call.ret(self->filePath());
    case kit::at(15, 0):
        return call.ret(self->group());
    case kit::at(16, 0):
        return call.ret(self->groupId());
    case kit::at(17, 0):
        return call.ret(!self->isRelative());
    case kit::at(18, 0):
        return call.ret(self->isBundle());
    case kit::at(19, 0):
        return call.ret(self->isDir());
    case kit::at(20, 0):
        return call.ret(self->isExecutable());
    case kit::at(21, 0):
        return call.ret(self->isFile());
    case kit::at(22, 0):
        return call.ret(self->isHidden());
    case kit::at(23, 0):
        return call.ret(self->isReadable());
    case kit::at(24, 0):
        return call.ret(self->isRelative());
    case kit::at(25, 0):
        return call.ret(self->isRoot());
    case kit::at(26, 0):
        return call.ret(self->isSymLink());
    case kit::at(27, 0):
        return call.ret(self->isWritable());
    case kit::at(28, 0):
        return call.ret(self->lastModified());
    case kit::at(29, 0):
        return call.ret(self->lastRead());
    case kit::at(30, 0):
        return call.ret(self.edit()->makeAbsolute());
    case kit::at(31, 1):
        return call.ret(*self == call.get<QFileInfo>(0));
    case kit::at(32, 0):
        return call.ret(self->owner());
    case kit::at(33, 0):
        return call.ret(self->ownerId());
    case kit::at(34, 0):
        return call.ret(self->path());
    case kit::at(35, 1):
        return call.ret(self->permission(call.get<QFile::Permissions>(0)));
    case kit::at(36, 0):
        return call.ret(self->permissions());
    case kit::at(37, 0):
        self.edit()->refresh();
        return call.ret();
    case kit::at(38, 1): {
        const bool on = call.get<bool>(0);
        self.edit()->setCaching(on);
        return call.ret();
    }
    case kit::at(39, 1):
        if (QFile *file = call.get<QFile *>(0)) {
            self.edit()->setFile(*file);
            return call.ret();
        }
        if (call.is<QString>(0)) {
            const QString name = call.get<QString>(0);
            self.edit()->setFile(name);
            return call.ret();
        }
        break;
    case kit::at(39, 2): {
        const QDir dir = call.get<QDir>(0);
        const QString name = call.get<QString>(1);
        self.edit()->setFile(dir, name);
        return call.ret();
    }
    case kit::at(40, 0):
        return call.ret(self->size());
    case kit::at(41, 0):
        return call.ret(self->suffix());
    case kit::at(42, 0):
        return call.ret(self->symLinkTarget());
    }
    if (call.index == 43)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QFileInfo_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QFileInfo());
    case kit::at(0, 1):
        if (QFile *file = call.get<QFile *>(0))
            return call.wrapValue(QFileInfo(*file));
        if (call.is<QFileInfo>(0))
            return call.wrapValue(call.get<QFileInfo>(0));
        if (call.is<QString>(0))
            return call.wrapValue(QFileInfo(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
        return call.wrapValue(QFileInfo(call.get<QDir>(0), call.get<QString>(1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QFileInfo_class(QScriptEngine *engine)
{
    return kit::valueClass<QFileInfo, qtscript_QFileInfo_tables, qtscript_QFileInfo_static_call,
                           qtscript_QFileInfo_prototype_call>(engine);
}
