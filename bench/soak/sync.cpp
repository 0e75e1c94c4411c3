// Native twin of sync.js: the same processes run, waited for, killed and closed in one loop that
// never returns to the event loop, with the same digest.
#include <QtCore/QCoreApplication>
#include <QtCore/QCryptographicHash>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QStringList>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 60;
    const int roundsPerSecond = 10;
    const int rounds = qMax(1, int(std::lround(seconds * roundsPerSecond)));
    const QString sh = QStringLiteral("/bin/sh"), sleep = QStringLiteral("sleep");

    QCryptographicHash digest(QCryptographicHash::Md5);
    long exitCodes = 0, killed = 0, closed = 0;
    QProcess kept;
    QElapsedTimer begun;
    begun.start();
    for (int round = 0; round < rounds; ++round) {
        QProcess fresh;
        fresh.start(sh, {"-c", "exit " + QString::number(round % 5)});
        fresh.waitForFinished();
        QString line = QString::number(fresh.exitCode());

        kept.start(sh, {"-c", "echo " + QString::number(round) + "; exit " + QString::number(round % 3)});
        kept.waitForFinished();
        line += ' ' + QString::number(kept.exitCode()) + ' ' +
                QString::fromLatin1(kept.readAllStandardOutput());
        exitCodes += fresh.exitCode() + kept.exitCode();

        QProcess sleeper;
        sleeper.start(sleep, {"10"});
        sleeper.waitForStarted();
        const qint64 due = qint64(round + 1) * 1000 / roundsPerSecond;
        if (!sleeper.waitForFinished(int(qMax<qint64>(0, due - begun.elapsed())))) {
            sleeper.kill();
            sleeper.waitForFinished();
        }
        const bool crashed = sleeper.exitStatus() == QProcess::CrashExit;
        if (crashed)
            ++killed;
        line += crashed ? " killed" : " exited";

        if (round % 3 == 0) {
            QProcess closing;
            closing.start(sleep, {"10"});
            closing.waitForStarted();
            closing.close();
            const bool stopped = closing.state() == QProcess::NotRunning;
            if (stopped)
                ++closed;
            line += stopped ? " closed" : " still running";
        }
        digest.addData((line + '\n').toLatin1());
    }

    std::printf("rounds %d\n", rounds);
    std::printf("exit codes %ld, killed %ld, closed %ld\n", exitCodes, killed, closed);
    std::printf("digest %s\n", digest.result().toHex().constData());
    return 0;
}
