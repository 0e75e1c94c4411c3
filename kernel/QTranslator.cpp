#include "kernel/QtScriptShell_QTranslator.h"
#include "kernel/translations.h"

#include <QtCore/QFileInfo>

static const char *const qtscript_QTranslator_function_names[] = {
    "QTranslator",
    // prototype
    "isEmpty", "load", "translate", "toString",
};

static const char *const qtscript_QTranslator_function_signatures[] = {
    "QObject parent",
    // prototype
    "",
    "String filename, String directory, String search_delimiters, String suffix\nuchar data, int len",
    "char context, char sourceText, char comment",
};

static const int qtscript_QTranslator_function_lengths[] = {
    1,
    // prototype
    0, 4, 3, 0,
};

static constexpr kit::ClassTables qtscript_QTranslator_tables =
    kit::tables("QTranslator", qtscript_QTranslator_function_names,
                qtscript_QTranslator_function_signatures, qtscript_QTranslator_function_lengths, 0);

namespace {

// QTranslator's destructor takes the translators' lock, which QtCore holds while it translates:
// a translator the collector deleted during a translation would hang the thread. The script
// object does not own its translator; what ends with it deletes the translator, or asks for its
// deletion (which waits until no translation runs) when one translates now.
void destroyTranslator(void *p)
{
    auto *translator = static_cast<QtScriptShell_QTranslator *>(static_cast<QObject *>(p));
    if (translator->parent())
        return;
    if (kit::Translating::active())
        translator->deleteLater();
    else
        delete translator;
}

} // namespace

// The data form: Qt 5 reads the bytes in place and does not copy them, so they come from a byte
// array that the shell keeps (a raw "uchar*" has no known size and is refused).
static QScriptValue qtscript_QTranslator_load_data(kit::Call &call, QTranslator *self)
{
    auto *shell = dynamic_cast<QtScriptShell_QTranslator *>(self);
    if (!shell) {
        return call.context->throwError(QStringLiteral(
            "QTranslator.load(): data can only be loaded into a translator made by a script"));
    }
    const QByteArray data = call.get<QByteArray>(0);
    // QtCore would read past the bytes when told they are longer.
    const int len = qBound(0, call.get<int>(1), data.size());
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    bool loaded = false;
    if (translations::sound(bytes, len, QString()))
        loaded = shell->load(bytes, len);
    else
        shell->load(nullptr, 0);   // empty, as after data QtCore refuses
    // Only now does the translator no longer read the bytes kept before.
    shell->loadedData = loaded ? data : QByteArray();
    return call.ret(loaded);
}

// The file forms: the file QtCore would find is checked first, then loaded by its own name
// alone, so that QtCore's search cannot end on another file.
static QScriptValue qtscript_QTranslator_load_file(kit::Call &call, QTranslator *self)
{
    const QString directory = call.argc > 1 ? call.arg(1).toString() : QString();
    const QString path = translations::find(
        call.arg(0).toString(), directory, call.argc > 2 ? call.arg(2).toString() : QString(),
        call.argc > 3 ? call.arg(3).toString() : QString());
    if (path.isEmpty() || !translations::soundFile(path, directory)) {
        self->load(nullptr, 0);
        return call.ret(false);
    }
    // Empty, not null: no suffix added, no delimiters to cut the name at.
    const QString none = QStringLiteral("");
    return call.ret(self->load(QFileInfo(path).absoluteFilePath(), directory, none, none));
}

// Qt's search for a translation file is quadratic in the name's length; no file name or folder
// is longer than this, so longer ones load nothing without the search.
static bool qtscript_QTranslator_path_too_long(const kit::Call &call)
{
    const int paths = qMin(call.argc, 2);
    for (int i = 0; i < paths; ++i) {
        if (call.arg(i).toString().size() > 4096)
            return true;
    }
    return false;
}

static QScriptValue qtscript_QTranslator_prototype_call(kit::Call &call, QTranslator *&self)
{
    if (call.index == 1 && (call.argc == 1 || call.argc == 3 || call.argc == 4)
        && qtscript_QTranslator_path_too_long(call))
        return call.ret(false);
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(self->isEmpty());
    case kit::at(1, 1):
    case kit::at(1, 3):
    case kit::at(1, 4):
        return qtscript_QTranslator_load_file(call, self);
    case kit::at(1, 2):
        if (call.are<QString, QString>()) {
            if (qtscript_QTranslator_path_too_long(call))
                return call.ret(false);
            return qtscript_QTranslator_load_file(call, self);
        }
        if (call.are<QByteArray, double>())
            return qtscript_QTranslator_load_data(call, self);
        break;
    case kit::at(2, 2):
    case kit::at(2, 3):
        return call.ret(self->translate(call.get<char *>(0), call.get<char *>(1),
                                        call.get<char *>(2, nullptr)));
    }
    if (call.index == 3)
        return call.className();
    return call.mismatch();
}

static QScriptValue qtscript_QTranslator_static_call(kit::Call &call)
{
    if (call.index == 0 && call.argc <= 1) {
        auto *shell = new QtScriptShell_QTranslator;
        const QScriptValue wrapper = call.wrapObject(shell, call.argc ? call.get<QObject *>(0) : nullptr,
                                                     QScriptEngine::QtOwnership);
        kit::endWith(wrapper, static_cast<QObject *>(shell), &destroyTranslator);
        return wrapper;
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QTranslator_class(QScriptEngine *engine)
{
    return kit::objectClass<QTranslator, qtscript_QTranslator_tables,
                            qtscript_QTranslator_static_call, qtscript_QTranslator_prototype_call>(
        engine, QMetaType::QObjectStar);
}
