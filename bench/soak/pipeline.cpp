// Native twin of pipeline.js: the same pairs of cat piped into md5sum over temporary files, one
// QObject per pipeline, on the same schedule, with the same digest.
#include <QtCore/QCoreApplication>
#include <QtCore/QCryptographicHash>
#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryFile>
#include <QtCore/QTimer>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

static QByteArray data(int n)
{
    QByteArray text;
    const int lines = (n * 37) % 1000;
    for (int i = 0; i < lines; ++i)
        text.append("line " + QByteArray::number(i) + " of input " + QByteArray::number(n) + "\n");
    return text;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 60;
    const int roundsPerSecond = 4, perRound = 2;
    const int rounds = qMax(1, int(std::lround(seconds * roundsPerSecond)));

    QCryptographicHash digest(QCryptographicHash::Md5);
    long pipelines = 0, wrong = 0, bytes = 0;
    int round = 0;
    QTimer next;
    next.setSingleShot(true);
    QElapsedTimer begun;
    begun.start();

    auto runPipeline = [&](int n, std::function<void(const QString &)> done) {
        auto *owner = new QObject;
        auto *input = new QTemporaryFile(owner);
        const QByteArray text = data(n);
        input->open();
        input->write(text);
        input->close();
        auto *from = new QProcess(owner), *to = new QProcess(owner);
        from->setStandardOutputProcess(to);
        if (n % 2)
            from->setStandardInputFile(input->fileName());
        // The pipeline is over when both have finished: md5sum may answer before cat is reaped.
        struct State { int left = 2, catCode = 0; QString answer; };
        auto state = std::make_shared<State>();
        auto finished = [=, &wrong, &bytes] {
            if (--state->left)
                return;
            const QString expected =
                QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
            if (state->catCode != 0 || state->answer != "0 " + expected)
                ++wrong;
            bytes += text.size();
            owner->deleteLater();
            done(QString::number(n) + ' ' + QString::number(state->catCode) + ' ' + state->answer);
        };
        QObject::connect(from, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         [=](int code) {
            state->catCode = code;
            finished();
        });
        QObject::connect(to, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         [=](int code) {
            state->answer = QString::number(code) + ' ' +
                            QString::fromLatin1(to->readAllStandardOutput()).split(' ')[0];
            finished();
        });
        to->start(QStringLiteral("md5sum"), QStringList());
        from->start(QStringLiteral("cat"), n % 2 ? QStringList() : QStringList{input->fileName()});
    };

    auto roundDone = [&](const QStringList &answers) {
        digest.addData((answers.join(QLatin1Char('|')) + QLatin1Char('\n')).toLatin1());
        if (++round == rounds) {
            app.exit(0);
            return;
        }
        const qint64 due = qint64(round) * 1000 / roundsPerSecond;
        next.start(int(qMax<qint64>(0, due - begun.elapsed())));
    };

    auto runRound = [&](int r) {
        auto answers = std::make_shared<QStringList>();
        auto left = std::make_shared<int>(perRound);
        for (int i = 0; i < perRound; ++i)
            answers->append(QString());
        for (int i = 0; i < perRound; ++i) {
            runPipeline(r * perRound + i, [=, &roundDone, &pipelines](const QString &answer) {
                (*answers)[i] = answer;
                ++pipelines;
                if (--*left == 0)
                    roundDone(*answers);
            });
        }
    };

    QObject::connect(&next, &QTimer::timeout, [&] { runRound(round); });
    next.start(0);
    app.exec();

    std::printf("rounds %d\n", rounds);
    std::printf("pipelines %ld, bytes %ld, wrong sums %ld\n", pipelines, bytes, wrong);
    std::printf("digest %s\n", digest.result().toHex().constData());
    return 0;
}
