// Native twin of scheduler.js: the same timers, time lines, basic timers, posted events and
// object trees per tick, with the same counts.
#include <QtCore/QBasicTimer>
#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QTimeLine>
#include <QtCore/QTimer>
#include <QtCore/QTimerEvent>
#include <QtCore/QVariant>

#include <cmath>
#include <cstdio>
#include <functional>

// An object whose timerEvent and customEvent are given as functions, as a script overrides them.
class Worker : public QObject
{
public:
    std::function<void(QTimerEvent *)> onTimer;
    std::function<void(QEvent *)> onCustom;

protected:
    void timerEvent(QTimerEvent *e) override { if (onTimer) onTimer(e); }
    void customEvent(QEvent *e) override { if (onCustom) onCustom(e); }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 60;
    const int ticksPerSecond = 20;
    const int ticks = qMax(1, int(std::lround(seconds * ticksPerSecond)));

    long shots = 0, counted = 0, timelines = 0, basics = 0, events = 0;
    long pending = 0, objects = 0, frames = 0;
    int tick = 0;

    auto finished = [&](long &kind) {
        ++kind;
        if (--pending == 0 && tick == ticks)
            app.exit(0);
    };

    auto singleShot = [&](int t) {
        auto *shot = new QTimer;
        shot->setSingleShot(true);
        QObject::connect(shot, &QTimer::timeout, [&, shot] {
            // What the script drops, its collector takes; here both kinds go.
            shot->deleteLater();
            finished(shots);
        });
        ++pending;
        shot->start(t % 7);
    };

    auto countedTimer = [&] {
        auto *counter = new Worker;
        auto *count = new int(0);
        const int id = counter->startTimer(3);
        counter->onTimer = [&, counter, count, id](QTimerEvent *e) {
            if (e->timerId() != id || ++*count < 3)
                return;
            counter->killTimer(id);
            delete count;
            counter->deleteLater();
            finished(counted);
        };
        ++pending;
    };

    auto timeLine = [&] {
        auto *line = new QTimeLine(40);
        line->setUpdateInterval(10);
        line->setFrameRange(0, 8);
        QObject::connect(line, &QTimeLine::frameChanged, [&] { ++frames; });
        QObject::connect(line, &QTimeLine::finished, [&, line] {
            line->deleteLater();
            finished(timelines);
        });
        ++pending;
        line->start();
    };

    auto basicTimer = [&] {
        auto *target = new Worker;
        auto *timer = new QBasicTimer;
        auto *count = new int(0);
        target->onTimer = [&, target, timer, count](QTimerEvent *e) {
            if (e->timerId() != timer->timerId() || ++*count < 2)
                return;
            timer->stop();
            delete timer;
            delete count;
            target->deleteLater();
            finished(basics);
        };
        ++pending;
        timer->start(7, target);
    };

    auto postedEvent = [&] {
        auto *receiver = new Worker;
        receiver->onCustom = [&, receiver](QEvent *e) {
            if (e->type() == QEvent::User) {
                receiver->deleteLater();
                finished(events);
            }
        };
        ++pending;
        QCoreApplication::postEvent(receiver, new QEvent(QEvent::User));
    };

    auto tree = [&](int t) {
        auto *parent = new QObject;
        parent->setObjectName(QStringLiteral("tick ") + QString::number(t));
        for (int i = 0; i < 5; ++i) {
            auto *child = new QObject(parent);
            child->setProperty("index", i);
            (new QObject(child))->setObjectName(QStringLiteral("grandchild"));
        }
        objects += 11;
        if (t % 2)
            parent->deleteLater();
        else
            delete parent;
    };

    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const int t = tick;
        singleShot(t);
        if (t % 2 == 0)
            countedTimer();
        if (t % 3 == 0)
            basicTimer();
        if (t % 4 == 0)
            timeLine();
        if (t % 10 == 0)
            postedEvent();
        tree(t);
        if (++tick == ticks)
            ticker.stop();
    });
    ticker.start(1000 / ticksPerSecond);
    app.exec();

    std::printf("ticks %d, objects %ld\n", tick, objects);
    std::printf("single shots %ld, counted timers %ld, time lines %ld, basic timers %ld, "
                "posted events %ld\n", shots, counted, timelines, basics, events);
    std::printf("tasks %ld, pending %ld, frames seen: %s\n",
                shots + counted + timelines + basics + events, pending, frames > 0 ? "yes" : "no");
    return 0;
}
