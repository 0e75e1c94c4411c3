// Native twin of watcher.js: the same churn in a scratch folder under a file system watcher that
// is replaced every 50 rounds, with the same final listing.
#include <QtCore/QCoreApplication>
#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileSystemWatcher>
#include <QtCore/QTimer>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 60;
    const int roundsPerSecond = 10, names = 16;
    const int rounds = qMax(1, int(std::lround(seconds * roundsPerSecond)));

    const QString base = QDir::tempPath() + "/soak-watcher-" +
                         QString::number(QCoreApplication::applicationPid());
    QDir folder(base);
    if (!folder.mkpath(base)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(base));
        return 1;
    }

    long created = 0, appended = 0, renamed = 0, removed = 0, watchers = 0, reported = 0;
    QFileSystemWatcher *watcher = nullptr;
    auto path = [&](const QString &name) { return base + '/' + name; };
    auto append = [&](const QString &name, const QByteArray &text) {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            qFatal("cannot write %s", qPrintable(name));
        file.write(text);
    };
    auto files = [&] { return folder.entryList(QDir::Files, QDir::Name); };

    auto newWatcher = [&] {
        if (watcher) {
            if (!watcher->files().isEmpty())
                watcher->removePaths(watcher->files());
            watcher->removePath(base);
            // What the script drops, its collector takes; here both kinds go.
            watcher->deleteLater();
        }
        const QStringList present = files();
        watcher = new QFileSystemWatcher(QStringList{base});
        QStringList paths;
        for (const QString &name : present)
            paths << path(name);
        if (!paths.isEmpty())
            watcher->addPaths(paths);
        QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, [&] { ++reported; });
        QObject::connect(watcher, &QFileSystemWatcher::fileChanged, [&] { ++reported; });
        ++watchers;
    };

    auto churn = [&](int r) {
        const QString a = "a" + QString::number(r % names);
        const bool fresh = !QFile::exists(path(a));
        append(a, "round " + QByteArray::number(r) + "\n");
        if (fresh) {
            watcher->addPath(path(a));
            ++created;
        } else {
            ++appended;
        }
        if (r % 2 == 0) {
            const int j = (r * 5) % names;
            const QString from = "a" + QString::number(j), to = "b" + QString::number(j);
            if (QFile::exists(path(from)) && !QFile::exists(path(to))) {
                watcher->removePath(path(from));
                QFile::rename(path(from), path(to));
                watcher->addPath(path(to));
                ++renamed;
            }
        }
        if (r % 3 == 0) {
            const QString gone = "b" + QString::number((r * 7) % names);
            if (QFile::exists(path(gone))) {
                watcher->removePath(path(gone));
                QFile::remove(path(gone));
                ++removed;
            }
        }
        if (r % 5 == 0) {
            const QString b = "b" + QString::number((r * 3) % names);
            if (QFile::exists(path(b))) {
                append(b, "appended in round " + QByteArray::number(r) + "\n");
                ++appended;
            }
        }
        if (r % 50 == 49)
            newWatcher();
    };

    QTimer next;
    next.setSingleShot(true);
    QElapsedTimer begun;
    begun.start();
    int round = 0;
    QObject::connect(&next, &QTimer::timeout, [&] {
        churn(round);
        if (++round == rounds) {
            app.exit(0);
            return;
        }
        const qint64 due = qint64(round) * 1000 / roundsPerSecond;
        next.start(int(qMax<qint64>(0, due - begun.elapsed())));
    });
    newWatcher();
    next.start(0);
    app.exec();

    std::printf("rounds %d\n", rounds);
    std::printf("created %ld, appended %ld, renamed %ld, removed %ld, watchers %ld\n",
                created, appended, renamed, removed, watchers);
    std::printf("watching %d files, %d folders; changes reported: %s\n",
                int(watcher->files().size()), int(watcher->directories().size()),
                reported > 0 ? "yes" : "no");
    const QStringList listing = files();
    for (const QString &name : listing) {
        QFile file(path(name));
        file.open(QIODevice::ReadOnly);
        const QByteArray hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
        std::printf("%s %lld %s\n", qPrintable(name), file.size(), hash.toHex().constData());
    }

    if (!watcher->files().isEmpty())
        watcher->removePaths(watcher->files());
    delete watcher;
    for (const QString &name : listing)
        QFile::remove(path(name));
    folder.rmdir(base);
    return 0;
}
