#include "plugin/plugin.h"

#include <QtCore/QPointer>
#include <QtCore/QtPlugin>
#include <QtScript/QScriptEngine>

com_kelvatori_qt_core_ScriptPlugin::~com_kelvatori_qt_core_ScriptPlugin() = default;

QStringList com_kelvatori_qt_core_ScriptPlugin::keys() const
{
    return QStringList{QString::fromLatin1("qt"), QString::fromLatin1("qt.core")};
}

void com_kelvatori_qt_core_ScriptPlugin::initialize(const QString &key, QScriptEngine *engine)
{
    if (key == QLatin1String("qt"))
        return;
    if (key == QLatin1String("qt.core") && engine)
        qtscript_com_kelvatori_qt_core_install(engine);
}

// Module entry points. Qt 5's loader reads hand-written metadata (the class has no moc output):
// "QTMETADATA !", metadata version, Qt major and minor, architecture requirements, then the
// CBOR map {2: interface id, 3: class name}.
QT_PLUGIN_METADATA_SECTION
static const unsigned char qt_pluginMetaData[] = {
    'Q', 'T', 'M', 'E', 'T', 'A', 'D', 'A', 'T', 'A', ' ', '!',
    0, QT_VERSION_MAJOR, QT_VERSION_MINOR, qPluginArchRequirements(),
    0xbf,
    0x02, 0x78, 43,
    'o', 'r', 'g', '.', 'q', 't', '-', 'p', 'r', 'o', 'j', 'e', 'c', 't', '.', 'Q', 't', '.',
    'Q', 'S', 'c', 'r', 'i', 'p', 't', 'E', 'x', 't', 'e', 'n', 's', 'i', 'o', 'n',
    'I', 'n', 't', 'e', 'r', 'f', 'a', 'c', 'e',
    0x03, 0x78, 34,
    'c', 'o', 'm', '_', 'k', 'e', 'l', 'v', 'a', 't', 'o', 'r', 'i', '_', 'q', 't', '_',
    'c', 'o', 'r', 'e', '_', 'S', 'c', 'r', 'i', 'p', 't', 'P', 'l', 'u', 'g', 'i', 'n',
    0xff,
};

#ifdef QT_NO_DEBUG
#define QTCORE_DEBUG "false"
#else
#define QTCORE_DEBUG "true"
#endif

static const char *const qt_plugin_verification_data =
    "pattern=QT_PLUGIN_VERIFICATION_DATA\n"
    "version=" QT_VERSION_STR "\n"
    "debug=" QTCORE_DEBUG "\n"
    "buildkey=" QTCORE_BUILD_KEY;

extern "C" Q_DECL_EXPORT const char *qt_plugin_query_metadata()
{
    return reinterpret_cast<const char *>(qt_pluginMetaData);
}

extern "C" Q_DECL_EXPORT const char *qt_plugin_query_verification_data()
{
    return qt_plugin_verification_data;
}

extern "C" Q_DECL_EXPORT QObject *qt_plugin_instance()
{
    // Reads null once the plugin object has been destroyed; never deletes it at exit.
    static QPointer<QObject> instance;
    if (!instance)
        instance = new com_kelvatori_qt_core_ScriptPlugin;
    return instance;
}
