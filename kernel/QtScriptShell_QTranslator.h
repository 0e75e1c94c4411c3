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

    // Qt 5 added the plural count; a script override still receives the three texts, which
    // are the caller's and are lent for the call only.
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        const kit::Translating translating;
        return kit::forward<QString>(
            scriptSelf, "translate",
            [&] { return QTranslator::translate(context, sourceText, disambiguation, n); },
            const_cast<char *>(context), const_cast<char *>(sourceText),
            const_cast<char *>(disambiguation));
    }

    bool isEmpty() const override
    {
        return kit::forward<bool>(scriptSelf, "isEmpty",
                                  [&] { return QTranslator::isEmpty(); });
    }
};

#endif
