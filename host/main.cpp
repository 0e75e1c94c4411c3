// Our host: stands in for an application that embeds a script engine. It imports "qt.core"
// through Qt's plugin loader, offers print(), and runs the script files named on its command
// line in one engine, in order (standard input when none is named). Words after "--" are the
// scripts' own arguments, in the global Array `args`.
#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QTextStream>
#include <QtScript/QScriptEngine>

#include <cstdio>

static QScriptValue print(QScriptContext *context, QScriptEngine *)
{
    QString line;
    for (int i = 0; i < context->argumentCount(); ++i) {
        if (i)
            line += QLatin1Char(' ');
        line += context->argument(i).toString();
    }
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    return QScriptValue();
}

static bool report(QScriptEngine &engine)
{
    if (!engine.hasUncaughtException())
        return true;
    const QScriptValue e = engine.uncaughtException();
    QString file = e.property(QStringLiteral("fileName")).toString();
    std::fprintf(stderr, "%s:%d: %s\n", file.toLocal8Bit().constData(),
                 engine.uncaughtExceptionLineNumber(), e.toString().toLocal8Bit().constData());
    const QStringList trace = engine.uncaughtExceptionBacktrace();
    for (const QString &frame : trace)
        std::fprintf(stderr, "    %s\n", frame.toLocal8Bit().constData());
    return false;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
#ifdef QTCORE_PLUGIN_DIR
    QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
#endif
    int status = 0;
    {
        QScriptEngine engine;
        engine.globalObject().setProperty(QStringLiteral("print"), engine.newFunction(print));
        engine.importExtension(QStringLiteral("qt.core"));
        if (!report(engine))
            return 2;
        if (!engine.globalObject().property(QStringLiteral("QObject")).isFunction()) {
            std::fprintf(stderr, "qt.core was not found on the plugin path\n");
            return 2;
        }

        QStringList files = app.arguments().mid(1);
        QStringList scriptArguments;
        const int dashes = files.indexOf(QStringLiteral("--"));
        if (dashes >= 0) {
            scriptArguments = files.mid(dashes + 1);
            files = files.mid(0, dashes);
        }
        engine.globalObject().setProperty(QStringLiteral("args"),
                                          qScriptValueFromSequence(&engine, scriptArguments));
        if (files.isEmpty())
            files << QString();
        for (const QString &name : files) {
            QFile file;
            bool opened = name.isEmpty() ? file.open(stdin, QIODevice::ReadOnly)
                                         : (file.setFileName(name), file.open(QIODevice::ReadOnly));
            if (!opened) {
                std::fprintf(stderr, "cannot read %s\n", name.toLocal8Bit().constData());
                return 2;
            }
            const QString source = QString::fromUtf8(file.readAll());
            engine.evaluate(source, name.isEmpty() ? QStringLiteral("<stdin>") : name);
            if (!report(engine)) {
                status = 1;
                break;
            }
        }
    }
    return status;
}
