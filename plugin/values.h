// Value classes Qt 5 builds into its meta-type system (QPoint, QRect, QTime, QLocale, QUuid, ...):
// their conversions, text forms and stream methods.
#ifndef QTCORE_PLUGIN_VALUES_H
#define QTCORE_PLUGIN_VALUES_H

#include "plugin/kit.h"

#include <QtCore/QDataStream>
#include <QtCore/QDateTime>
#include <QtCore/QDebug>
#include <QtCore/QLocale>
#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QUuid>

namespace kit {

// The text QtCore's debug operator writes for a value, nothing trimmed.
template <class T>
QString debugText(const T &value)
{
    QString text;
    QDebug(&text) << value;
    return text;
}

// The compound assignments of points and sizes: this value becomes `value`, and the result is a
// new object holding a copy of it.
template <class T>
QScriptValue assign(Call &call, ValueHandle<T> &self, const T &value)
{
    *self.edit() = value;
    return call.ret(value);
}

} // namespace kit

#endif
