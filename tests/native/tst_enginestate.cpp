// The plugin's state per engine (plugin/engines.*), linked in on its own: what it keeps for an
// engine, the beginning of the engine's end, and engines that end while a host still calls in.
#include "plugin/engines.h"

#include <QtCore/QCoreApplication>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <memory>
#include <new>

namespace {

// A part of the plugin's state, counting how often one is made.
struct Part {
    static int made;
    int value = 0;
};
int Part::made = 0;

std::shared_ptr<Part> part(QScriptEngine *engine, int value = 1)
{
    return kit::engineData<Part>(engine, [value] {
        ++Part::made;
        auto p = std::make_shared<Part>();
        p->value = value;
        return p;
    });
}

Part *partPointer(QScriptEngine *engine, int value = 1)
{
    return kit::engineDataPointer<Part>(engine, [value] {
        ++Part::made;
        auto p = std::make_shared<Part>();
        p->value = value;
        return p;
    });
}

// What the plugin's state answers about an engine whose end has begun, asked from a handler of
// its destroyed signal connected after the plugin's own.
struct AtEnd {
    bool asked = false;
    bool ending = false;
    bool names = true;
    bool data = true;
    bool pointer = true;
    int made = 0;
    int hookRan = 0;
    bool partReleased = false;

    // What differs from the answers for an engine that ends.
    QStringList wrong() const
    {
        QStringList w;
        const std::pair<bool, const char *> checks[] = {
            {asked, "not asked"}, {ending, "not ending"}, {!names, "names"}, {!data, "a part"},
            {!pointer, "a part's pointer"}, {made == 0, "a part made"}, {hookRan == 1, "a hook not run"}};
        for (const auto &c : checks) {
            if (!c.first)
                w << QLatin1String(c.second);
        }
        return w;
    }
};

void askAtEnd(QScriptEngine *engine, AtEnd &seen, const std::weak_ptr<Part> &kept = {})
{
    QObject::connect(engine, &QObject::destroyed, [engine, &seen, kept] {
        seen.asked = true;
        seen.partReleased = kept.expired();
        seen.ending = kit::engineEnding(engine);
        seen.names = kit::namesOf(engine) != nullptr;
        const int before = Part::made;
        seen.data = part(engine) != nullptr;
        seen.pointer = partPointer(engine) != nullptr;
        seen.made = Part::made - before;
        kit::atEngineEnd(engine, [&seen] { ++seen.hookRan; });
    });
}

} // namespace

class tst_EngineState : public QObject
{
    Q_OBJECT

private slots:
    void partsAreOnePerEngine()
    {
        QScriptEngine a, b;
        Part::made = 0;
        const std::shared_ptr<Part> first = part(&a, 1);
        QVERIFY(first);
        QCOMPARE(part(&a, 2), first);
        QCOMPARE(partPointer(&a, 3), first.get());
        const std::shared_ptr<Part> second = part(&b, 4);
        QCOMPARE(second->value, 4);
        QCOMPARE(partPointer(&b), second.get());
        QCOMPARE(partPointer(&a), first.get());
        QCOMPARE(Part::made, 2);
        QVERIFY(kit::namesOf(&a) && kit::namesOf(&a) != kit::namesOf(&b));
        QVERIFY(!kit::engineEnding(&a));
    }

    // At the beginning of the end, hooks run in order (one a hook adds runs at once), then parts
    // go; from then on the engine reads as ending, nothing new is made for it, what this thread
    // remembered of it is asked anew, and a hook added runs at once.
    void theEndBegins()
    {
        auto *engine = new QScriptEngine;
        QStringList order;
        bool partAtHooks = false;
        std::weak_ptr<Part> kept;
        {
            const std::shared_ptr<Part> p = part(engine);
            kept = p;
            // What this thread remembers last is this engine's part.
            QCOMPARE(partPointer(engine), p.get());
        }
        kit::atEngineEnd(engine, [&] {
            order << QStringLiteral("first");
            partAtHooks = !kept.expired() && kit::engineEnding(engine);
            kit::atEngineEnd(engine, [&] { order << QStringLiteral("added"); });
        });
        kit::atEngineEnd(engine, [&] { order << QStringLiteral("second"); });
        AtEnd seen;
        askAtEnd(engine, seen, kept);
        delete engine;
        QCOMPARE(order.join(QLatin1Char(',')), QStringLiteral("first,added,second"));
        QVERIFY(partAtHooks);
        QVERIFY(seen.partReleased);
        QCOMPARE(seen.wrong(), QStringList());
    }

    // An engine the plugin never had state for, asked about during its destruction: it has none
    // made for it.
    void noStateForAnEngineThatGoes()
    {
        auto *engine = new QScriptEngine;
        AtEnd seen;
        askAtEnd(engine, seen);
        delete engine;
        QCOMPARE(seen.wrong(), QStringList());
    }

    // An engine made where an ended one stood finds nothing of the ended one's, also through what
    // this thread remembered last.
    void anEngineWhereAnotherStood()
    {
        alignas(QScriptEngine) unsigned char place[sizeof(QScriptEngine)];
        for (int round = 0; round < 3; ++round) {
            auto *engine = new (place) QScriptEngine;
            QVERIFY(!kit::engineEnding(engine));
            QCOMPARE(partPointer(engine, round)->value, round);
            QCOMPARE(part(engine, -1)->value, round);
            engine->~QScriptEngine();
        }
    }
};

QTEST_GUILESS_MAIN(tst_EngineState)
#include "tst_enginestate.moc"
