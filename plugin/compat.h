// Adapters that give Qt 4.4 calls their Qt 4.4 meaning on Qt 5.15. Each says what Qt 5 changed.
#ifndef QTCORE_PLUGIN_COMPAT_H
#define QTCORE_PLUGIN_COMPAT_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

class QTextCodec;

namespace compat {

// Qt 5 dropped QTextCodec::setCodecForCStrings and converts C strings as UTF-8; the plugin keeps
// the setting itself (Latin-1 while unset) and applies it in its own text/byte conversions.
QTextCodec *codecForCStrings();
void setCodecForCStrings(QTextCodec *codec);
QByteArray toCString(const QString &text);
QString fromCString(const QByteArray &bytes);

} // namespace compat

#endif
