#ifndef QTSCRIPTSHELL_QTRANSLATOR_H
#define QTSCRIPTSHELL_QTRANSLATOR_H

#include "plugin/shell.h"

#include <QtCore/QTranslator>

// Bytes loaded with load(data, len): QTranslator reads them in place, so they must outlive it.
// A base before QTranslator, so that they are released only after QTranslator's destructor.
struct QtScriptShell_QTranslatorData {
    QByteArray loadedData;
};

class QtScriptShell_QTranslator : public QtScriptShell_QTranslatorData,
                                  public kit::ObjectShell<QTranslator>
{
public:
    using ObjectShell::ObjectShell;

    // Qt 5 added the plural count; a script override still receives the three texts. They are
    // the caller's and live only during the call: the variants handed over are emptied after
    // it, so that one a script kept can no longer reach them.
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        const QScriptValue f = kit::scriptOverride(scriptSelf, QStringLiteral("translate"));
        if (!f.isValid())
            return QTranslator::translate(context, sourceText, disambiguation, n);
        QScriptEngine *engine = scriptSelf.engine();
        QScriptValueList args;
        for (const char *text : {context, sourceText, disambiguation})
            args.append(kit::Conv<char *>::to(engine, const_cast<char *>(text)));
        const QScriptValue result = QScriptValue(f).call(scriptSelf, args);
        for (QScriptValue &arg : args)
            engine->newVariant(arg, QVariant::fromValue<char *>(nullptr));
        return qscriptvalue_cast<QString>(result);
    }

    bool isEmpty() const override
    {
        return kit::forward<bool>(scriptSelf, QStringLiteral("isEmpty"),
                                  [&] { return QTranslator::isEmpty(); });
    }
};

#endif
