#include "io/QtScriptShell_QFile.h"

#include "plugin/enums.h"

static const char *const qtscript_QFile_function_names[] = {
    "QFile",
    // static
    "copy", "decodeName", "encodeName", "exists", "link", "permissions", "remove", "rename",
    "resize", "setPermissions", "symLinkTarget",
    // prototype
    "copy", "error", "exists", "fileEngine", "fileName", "flush", "handle", "link", "permissions",
    "remove", "rename", "resize", "setFileName", "setPermissions", "symLinkTarget", "unsetError",
    "toString",
};

static const char *const qtscript_QFile_function_signatures[] = {
    "\nQObject parent\nString name\nString name, QObject parent",
    // static
    "String fileName, String newName", "QByteArray localFileName", "String fileName",
    "String fileName", "String oldname, String newName", "String filename", "String fileName",
    "String oldName, String newName", "String filename, qint64 sz",
    "String filename, Permissions permissionSpec", "String fileName",
    // prototype
    "String newName", "", "", "", "", "", "", "String newName", "", "", "String newName",
    "qint64 sz", "String name", "Permissions permissionSpec", "", "",
};

static const int qtscript_QFile_function_lengths[] = {
    2,
    // static
    2, 1, 1, 1, 2, 1, 1, 2, 2, 2, 1,
    // prototype
    1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QFile_tables =
    kit::tables("QFile", qtscript_QFile_function_names, qtscript_QFile_function_signatures,
                qtscript_QFile_function_lengths, 11);

static constexpr const char *qtscript_QFile_FileError_keys[] = {
    "NoError", "ReadError", "WriteError", "FatalError", "ResourceError", "OpenError",
    "AbortError", "TimeOutError", "UnspecifiedError", "RemoveError", "RenameError",
    "PositionError", "ResizeError", "PermissionsError", "CopyError",
};
static constexpr int qtscript_QFile_FileError_values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
static constexpr kit::EnumInfo qtscript_QFile_FileError = kit::enumeration<QFileDevice::FileError>(
    "QFile", "FileError", qtscript_QFile_FileError_keys, qtscript_QFile_FileError_values,
    kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QFile_MemoryMapFlags_keys[] = {"NoOptions"};
static constexpr int qtscript_QFile_MemoryMapFlags_values[] = {0};
static constexpr kit::EnumInfo qtscript_QFile_MemoryMapFlags =
    kit::enumeration<QFileDevice::MemoryMapFlags>("QFile", "MemoryMapFlags",
                                                  qtscript_QFile_MemoryMapFlags_keys,
                                                  qtscript_QFile_MemoryMapFlags_values,
                                                  kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QFile_Permission_keys[] = {
    "ExeOther", "WriteOther", "ReadOther", "ExeGroup", "WriteGroup", "ReadGroup",
    "ExeUser", "WriteUser", "ReadUser", "ExeOwner", "WriteOwner", "ReadOwner",
};
static constexpr int qtscript_QFile_Permission_values[] = {
    0x1, 0x2, 0x4, 0x10, 0x20, 0x40, 0x100, 0x200, 0x400, 0x1000, 0x2000, 0x4000,
};
static constexpr kit::EnumInfo qtscript_QFile_Permission = kit::enumeration<QFileDevice::Permission>(
    "QFile", "Permission", qtscript_QFile_Permission_keys, qtscript_QFile_Permission_values,
    kit::KeyLookup::TableSearch);
static constexpr kit::FlagsInfo qtscript_QFile_Permissions =
    kit::flags<QFileDevice::Permission>(qtscript_QFile_Permission, "Permissions");

using Permissions = QFileDevice::Permissions;

static QScriptValue qtscript_QFile_prototype_call(kit::Call &call, QFile *&self)
{
    // Copies, flushes, moves and renames, refused inside the device's own readData or writeData.
    if (const QScriptValue refused = kit::refuseInTransfer(call, self, {0, 5, 9, 10, 11, 12}); refused.isValid())
        return refused;
    switch (call.at()) {
    case kit::at(0, 1):
        return call.ret(self->copy(call.get<QString>(0)));
    case kit::at(1, 0):
        return call.ret(self->error());
    case kit::at(2, 0):
        return call.ret(self->exists());
    case kit::at(3, 0):
        // Qt 5 has no public file engine.
        return call.engine->nullValue();
    case kit::at(4, 0):
        return call.ret(self->fileName());
    case kit::at(5, 0):
        return call.ret(self->flush());
    case kit::at(6, 0):
        return call.ret(self->handle());
    case kit::at(7, 1):
        return call.ret(self->link(call.get<QString>(0)));
    case kit::at(8, 0):
        return call.ret(self->permissions());
    case kit::at(9, 0):
        return call.ret(self->remove());
    case kit::at(10, 1):
        return call.ret(self->rename(call.get<QString>(0)));
    case kit::at(11, 1):
        return call.ret(self->resize(call.get<qint64>(0)));
    case kit::at(12, 1):
        self->setFileName(call.get<QString>(0));
        return call.ret();
    case kit::at(13, 1):
        return call.ret(self->setPermissions(call.get<Permissions>(0)));
    case kit::at(14, 0):
        return call.ret(self->symLinkTarget());
    case kit::at(15, 0):
        self->unsetError();
        return call.ret();
    }
    if (call.index == 16)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QFile_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapObject(new QtScriptShell_QFile);
    case kit::at(0, 1):
        if (call.arg(0).isQObject())
            return call.wrapObject(new QtScriptShell_QFile, call.get<QObject *>(0));
        if (call.is<QString>(0))
            return call.wrapObject(new QtScriptShell_QFile(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
        return call.wrapObject(new QtScriptShell_QFile(call.get<QString>(0)), call.get<QObject *>(1));
    case kit::at(1, 2):
        return call.ret(QFile::copy(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(2, 1):
        return call.ret(QFile::decodeName(call.get<QByteArray>(0)));
    case kit::at(3, 1):
        return call.ret(QFile::encodeName(call.get<QString>(0)));
    case kit::at(4, 1):
        return call.ret(QFile::exists(call.get<QString>(0)));
    case kit::at(5, 2):
        return call.ret(QFile::link(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(6, 1):
        return call.ret(QFile::permissions(call.get<QString>(0)));
    case kit::at(7, 1):
        return call.ret(QFile::remove(call.get<QString>(0)));
    case kit::at(8, 2):
        return call.ret(QFile::rename(call.get<QString>(0), call.get<QString>(1)));
    case kit::at(9, 2):
        return call.ret(QFile::resize(call.get<QString>(0), call.get<qint64>(1)));
    case kit::at(10, 2):
        return call.ret(QFile::setPermissions(call.get<QString>(0), call.get<Permissions>(1)));
    case kit::at(11, 1):
        return call.ret(QFile::symLinkTarget(call.get<QString>(0)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QFile_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QFile, qtscript_QFile_tables, qtscript_QFile_static_call,
                         qtscript_QFile_prototype_call>(engine, qMetaTypeId<QIODevice *>());
    kit::addEnum<qtscript_QFile_FileError>(engine, ctor);
    kit::addEnum<qtscript_QFile_MemoryMapFlags>(engine, ctor);
    kit::addEnum<qtscript_QFile_Permission>(engine, ctor);
    kit::addFlags<qtscript_QFile_Permissions>(engine, ctor);
    return ctor;
}
