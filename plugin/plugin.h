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

// The registry: installs every class object into the engine's global object.
void qtscript_com_kelvatori_qt_core_install(QScriptEngine *engine);

#endif
