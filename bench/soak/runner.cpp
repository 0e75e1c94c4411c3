// Native twin of runner.js: the same batches of child processes, input files and watchdogs
// under one QObject per batch, on the same schedule, with the same digest.
#include <QtCore/QCoreApplication>
#include <QtCore/QCryptographicHash>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryFile>
#include <QtCore/QTimer>
#include <QtCore/QVector>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 60;
    const int batchesPerSecond = 4, perBatch = 6;
    const int batches = qMax(1, int(std::lround(seconds * batchesPerSecond)));

    QCryptographicHash digest(QCryptographicHash::Md5);
    long processes = 0, exitCodes = 0, crashes = 0;
    int batch = 0;
    QTimer next;
    next.setSingleShot(true);
    QElapsedTimer begun;
    begun.start();

    auto command = [](int n, QString &program, QStringList &arguments) {
        switch (n % 3) {
        case 0:
            program = QStringLiteral("/bin/sh");
            arguments = QStringList{"-c", "read n; echo $((n * 2)); exit $((n % 7))"};
            break;
        case 1:
            program = QStringLiteral("true");
            arguments.clear();
            break;
        default:
            program = QStringLiteral("printf");
            arguments = QStringList{"run %s\n", QString::number(n)};
        }
    };

    auto batchDone = [&](int b, QObject *owner, const QStringList &results) {
        digest.addData((results.join(QLatin1Char('|')) + QLatin1Char('\n')).toLatin1());
        // What the script drops, its collector takes; here both kinds go.
        Q_UNUSED(b);
        owner->deleteLater();
        if (++batch == batches) {
            app.exit(0);
            return;
        }
        const qint64 due = qint64(batch) * 1000 / batchesPerSecond;
        next.start(int(qMax<qint64>(0, due - begun.elapsed())));
    };

    auto runBatch = [&](int b) {
        auto *owner = new QObject;
        auto *results = new QStringList;
        auto *left = new int(perBatch);
        for (int i = 0; i < perBatch; ++i) {
            const int n = b * perBatch + i;
            results->append(QString());
            auto *input = new QTemporaryFile(owner);
            input->open();
            input->write(QByteArray::number(n) + '\n');
            input->close();
            auto *process = new QProcess(owner);
            auto *watchdog = new QTimer(process);
            watchdog->setSingleShot(true);
            QObject::connect(watchdog, &QTimer::timeout, process, &QProcess::kill);
            QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                             [=, &processes, &exitCodes, &crashes](int code, QProcess::ExitStatus status) {
                watchdog->stop();
                const bool crashed = status == QProcess::CrashExit;
                (*results)[i] = QString::number(n) + ' ' + QString::number(code) + ' ' +
                                (crashed ? "crash" : "exit") + ' ' +
                                QString::fromLatin1(process->readAllStandardOutput());
                ++processes;
                exitCodes += code;
                if (crashed)
                    ++crashes;
                if (--*left == 0) {
                    const QStringList done = *results;
                    delete results;
                    delete left;
                    batchDone(b, owner, done);
                }
            });
            process->setStandardInputFile(input->fileName());
            QString program;
            QStringList arguments;
            command(n, program, arguments);
            process->start(program, arguments);
            watchdog->start(10000);
        }
    };

    QObject::connect(&next, &QTimer::timeout, [&] { runBatch(batch); });
    next.start(0);
    app.exec();

    std::printf("batches %d\n", batches);
    std::printf("processes %ld\n", processes);
    std::printf("exit codes %ld, crashes %ld\n", exitCodes, crashes);
    std::printf("digest %s\n", digest.result().toHex().constData());
    return 0;
}
