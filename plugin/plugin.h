#ifndef QTCORE_PLUGIN_PLUGIN_H
#define QTCORE_PLUGIN_PLUGIN_H

#include <QtScript/QScriptExtensionPlugin>

// The plugin object. It declares no meta-object of its own: to Qt it is a
// QScriptExtensionPlugin.
class com_kelvatori_qt_core_ScriptPlugin : public QScriptExtensionPlugin
{
public:
    com_kelvatori_qt_core_ScriptPlugin() : QScriptExtensionPlugin(nullptr) {}
    ~com_kelvatori_qt_core_ScriptPlugin() override;

    QStringList keys() const override;
    void initialize(const QString &key, QScriptEngine *engine) override;
};

// The build key reported to Qt 4 plugin loaders: architecture, OS and compiler of this build.
#define QTCORE_STR2(x) #x
#define QTCORE_STR(x) QTCORE_STR2(x)
#if defined(__x86_64__)
#define QTCORE_ARCH "x86_64"
#elif defined(__aarch64__)
#define QTCORE_ARCH "aarch64"
#elif defined(__i386__)
#define QTCORE_ARCH "i386"
#else
#define QTCORE_ARCH "unknown"
#endif
#define QTCORE_BUILD_KEY QTCORE_ARCH " linux g++-" QTCORE_STR(__GNUC__) " full-config"

// The registry: installs every class object into the engine's global object.
void qtscript_com_kelvatori_qt_core_install(QScriptEngine *engine);

#endif
