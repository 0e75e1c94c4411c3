#include "fs/QtScriptShell_QSettings.h"

#include "fs/inifiles.h"
#include "plugin/enums.h"

static const char *const qtscript_QSettings_function_names[] = {
    "QSettings",
    // static
    "defaultFormat", "setDefaultFormat", "setPath",
    // prototype
    "allKeys", "applicationName", "beginGroup", "beginReadArray", "beginWriteArray",
    "childGroups", "childKeys", "clear", "contains", "endArray", "endGroup", "fallbacksEnabled",
    "fileName", "format", "group", "isWritable", "organizationName", "remove", "scope",
    "setArrayIndex", "setFallbacksEnabled", "setValue", "status", "sync", "value", "toString",
};

static const char *const qtscript_QSettings_function_signatures[] = {
    "QObject parent\n"
    "Format format, Scope scope, String organization, String application, QObject parent\n"
    "Scope scope, String organization, String application, QObject parent\n"
    "String fileName, Format format, QObject parent\n"
    "String organization, String application, QObject parent",
    // static
    "", "Format format", "Format format, Scope scope, String path",
    // prototype
    "", "", "String prefix", "String prefix", "String prefix, int size", "", "", "", "String key",
    "", "", "", "", "", "", "", "", "String key", "", "int i", "bool b", "String key, Object value",
    "", "", "String key, Object defaultValue",
};

static const int qtscript_QSettings_function_lengths[] = {
    5,
    // static
    0, 1, 3,
    // prototype
    0, 0, 1, 1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 2, 0, 0, 2, 0,
};

static constexpr kit::ClassTables qtscript_QSettings_tables =
    kit::tables("QSettings", qtscript_QSettings_function_names,
                qtscript_QSettings_function_signatures, qtscript_QSettings_function_lengths, 3);

static const char *const qtscript_QSettings_Format_keys[] = {
    "NativeFormat", "IniFormat", "InvalidFormat", "CustomFormat1", "CustomFormat2",
    "CustomFormat3", "CustomFormat4", "CustomFormat5", "CustomFormat6", "CustomFormat7",
    "CustomFormat8", "CustomFormat9", "CustomFormat10", "CustomFormat11", "CustomFormat12",
    "CustomFormat13", "CustomFormat14", "CustomFormat15", "CustomFormat16",
};
static const int qtscript_QSettings_Format_values[] = {
    0, 1, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32,
};
static constexpr kit::EnumInfo qtscript_QSettings_Format = kit::enumeration<QSettings::Format>(
    "QSettings", "Format", qtscript_QSettings_Format_keys, qtscript_QSettings_Format_values,
    kit::KeyLookup::TableSearch);

static const char *const qtscript_QSettings_Status_keys[] = {"NoError", "AccessError", "FormatError"};
static const int qtscript_QSettings_Status_values[] = {0, 1, 2};
static constexpr kit::EnumInfo qtscript_QSettings_Status = kit::enumeration<QSettings::Status>(
    "QSettings", "Status", qtscript_QSettings_Status_keys, qtscript_QSettings_Status_values,
    kit::KeyLookup::DirectIndex);

static const char *const qtscript_QSettings_Scope_keys[] = {"UserScope", "SystemScope"};
static const int qtscript_QSettings_Scope_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QSettings_Scope = kit::enumeration<QSettings::Scope>(
    "QSettings", "Scope", qtscript_QSettings_Scope_keys, qtscript_QSettings_Scope_values,
    kit::KeyLookup::DirectIndex);

using Format = QSettings::Format;
using Scope = QSettings::Scope;
using Shell = QtScriptShell_QSettings;

namespace {

// The files a settings object reads: its own and, for one named by organization and
// application, the fallbacks QtCore reads with it. Only INI files are read by QtCore's parser.
QStringList filesOf(const QSettings &settings)
{
    const Format format = settings.format();
    if (format != QSettings::IniFormat && format != QSettings::NativeFormat)
        return QStringList();
    QStringList files(settings.fileName());
    const QString organization = settings.organizationName();
    const QString application = settings.applicationName();
    if (organization.isEmpty() && application.isEmpty())
        return files;
    const auto fileOf = [&](Scope scope, const QString &app) {
        return QSettings(format, scope, organization, app).fileName();
    };
    if (settings.scope() == QSettings::UserScope && !application.isEmpty())
        files << fileOf(QSettings::UserScope, QString());
    if (settings.scope() == QSettings::UserScope)
        files << fileOf(QSettings::SystemScope, application);
    if (!application.isEmpty())
        files << fileOf(QSettings::SystemScope, QString());
    return files;
}

// Marks a settings object whose files (read again by QtCore just now) hold an unsound value.
void check(Shell *settings)
{
    const QStringList files = filesOf(*settings);
    for (const QString &file : files) {
        if (!inifiles::soundFile(file))
            settings->unsound = true;
    }
}

QScriptValue wrap(const kit::Call &call, Shell *settings, QObject *parent = nullptr)
{
    check(settings);
    return call.wrapObject(settings, parent);
}

// The calls that read or change values (QtCore decodes a file's values on their first use).
bool usesValues(const kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0): case kit::at(3, 1): case kit::at(4, 1): case kit::at(4, 2):
    case kit::at(5, 0): case kit::at(6, 0): case kit::at(7, 0): case kit::at(8, 1):
    case kit::at(9, 0): case kit::at(17, 1): case kit::at(19, 1): case kit::at(21, 2):
    case kit::at(22, 0): case kit::at(23, 0): case kit::at(24, 1): case kit::at(24, 2):
        return true;
    }
    return false;
}

// What a settings object with an unsound file answers them: nothing read, nothing changed.
QScriptValue refuse(const kit::Call &call)
{
    switch (call.index) {
    case 0: case 5: case 6:
        return call.ret(QStringList());
    case 3:
        return call.ret(0);
    case 8:
        return call.ret(false);
    case 22:
        return call.ret(QSettings::FormatError);
    case 24:
        return call.ret(call.get<QVariant>(1, QVariant()));
    }
    return call.ret();
}

} // namespace

static QScriptValue qtscript_QSettings_prototype_call(kit::Call &call, QSettings *&self)
{
    auto *shell = dynamic_cast<Shell *>(self);
    if (shell && shell->unsound && usesValues(call))
        return refuse(call);
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->allKeys());
    case kit::at(1, 0):
        return call.ret(self->applicationName());
    case kit::at(2, 1):
        self->beginGroup(call.get<QString>(0));
        return call.ret();
    case kit::at(3, 1):
        return call.ret(self->beginReadArray(call.get<QString>(0)));
    case kit::at(4, 1):
    case kit::at(4, 2):
        self->beginWriteArray(call.get<QString>(0), call.get<int>(1, -1));
        return call.ret();
    case kit::at(5, 0):
        return call.ret(self->childGroups());
    case kit::at(6, 0):
        return call.ret(self->childKeys());
    case kit::at(7, 0):
        self->clear();
        return call.ret();
    case kit::at(8, 1):
        return call.ret(self->contains(call.get<QString>(0)));
    case kit::at(9, 0):
        self->endArray();
        return call.ret();
    case kit::at(10, 0):
        self->endGroup();
        return call.ret();
    case kit::at(11, 0):
        return call.ret(self->fallbacksEnabled());
    case kit::at(12, 0):
        return call.ret(self->fileName());
    case kit::at(13, 0):
        return call.ret(self->format());
    case kit::at(14, 0):
        return call.ret(self->group());
    case kit::at(15, 0):
        return call.ret(self->isWritable());
    case kit::at(16, 0):
        return call.ret(self->organizationName());
    case kit::at(17, 1):
        self->remove(call.get<QString>(0));
        return call.ret();
    case kit::at(18, 0):
        return call.ret(self->scope());
    case kit::at(19, 1):
        self->setArrayIndex(call.get<int>(0));
        return call.ret();
    case kit::at(20, 1):
        self->setFallbacksEnabled(call.get<bool>(0));
        return call.ret();
    case kit::at(21, 2):
        self->setValue(call.get<QString>(0), call.get<QVariant>(1));
        return call.ret();
    case kit::at(22, 0):
        return call.ret(self->status());
    case kit::at(23, 0):
        self->sync();
        if (shell)
            check(shell);
        return call.ret();
    case kit::at(24, 1):
    case kit::at(24, 2):
        return call.ret(self->value(call.get<QString>(0), call.get<QVariant>(1, QVariant())));
    }
    if (call.index == 25)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QSettings_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return wrap(call, new Shell);
    case kit::at(0, 1):
        if (call.is<QObject *>(0))
            return wrap(call, new Shell, call.get<QObject *>(0));
        if (call.is<QString>(0))
            return wrap(call, new Shell(call.get<QString>(0)));
        break;
    case kit::at(0, 2):
        if (call.are<Scope, QString>())
            return wrap(call, new Shell(call.get<Scope>(0), call.get<QString>(1)));
        if (call.are<QString, Format>())
            return wrap(call, new Shell(call.get<QString>(0), call.get<Format>(1)));
        if (call.are<QString, QString>())
            return wrap(call, new Shell(call.get<QString>(0), call.get<QString>(1)));
        break;
    case kit::at(0, 3):
        if (call.are<Format, Scope, QString>())
            return wrap(call, new Shell(call.get<Format>(0), call.get<Scope>(1),
                                        call.get<QString>(2)));
        if (call.are<Scope, QString, QString>())
            return wrap(call, new Shell(call.get<Scope>(0), call.get<QString>(1),
                                        call.get<QString>(2)));
        if (call.are<QString, Format, QObject *>())
            return wrap(call, new Shell(call.get<QString>(0), call.get<Format>(1)),
                              call.get<QObject *>(2));
        if (call.are<QString, QString, QObject *>())
            return wrap(call, new Shell(call.get<QString>(0), call.get<QString>(1)),
                              call.get<QObject *>(2));
        break;
    case kit::at(0, 4):
        if (call.are<Format, Scope, QString, QString>())
            return wrap(call, new Shell(call.get<Format>(0), call.get<Scope>(1),
                                        call.get<QString>(2), call.get<QString>(3)));
        if (call.are<Scope, QString, QString, QObject *>())
            return wrap(call, new Shell(call.get<Scope>(0), call.get<QString>(1),
                                        call.get<QString>(2)),
                              call.get<QObject *>(3));
        break;
    case kit::at(0, 5):
        return wrap(call, new Shell(call.get<Format>(0), call.get<Scope>(1),
                                    call.get<QString>(2), call.get<QString>(3)),
                          call.get<QObject *>(4));
    case kit::at(1, 0):
        return call.ret(QSettings::defaultFormat());
    case kit::at(2, 1):
        QSettings::setDefaultFormat(call.get<Format>(0));
        return call.ret();
    case kit::at(3, 3):
        QSettings::setPath(call.get<Format>(0), call.get<Scope>(1), call.get<QString>(2));
        return call.ret();
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QSettings_class(QScriptEngine *engine)
{
    QScriptValue ctor =
        kit::objectClass<QSettings, qtscript_QSettings_tables, qtscript_QSettings_static_call,
                         qtscript_QSettings_prototype_call>(engine, QMetaType::QObjectStar);
    kit::addEnum<qtscript_QSettings_Format>(engine, ctor);
    kit::addEnum<qtscript_QSettings_Status>(engine, ctor);
    kit::addEnum<qtscript_QSettings_Scope>(engine, ctor);
    return ctor;
}
