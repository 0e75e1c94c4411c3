// Work that must grow with its input and no faster: counted where a script cannot count it.
#include <QtCore/QCoreApplication>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (its allocator interface).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void *, size_t),
                                                         void (*)(const volatile void *));
#define QTCORE_COUNTS_ALLOCATIONS 1
#endif

namespace {

#ifdef QTCORE_COUNTS_ALLOCATIONS
std::atomic<qint64> allocations{0};
void counted(const volatile void *, size_t) { ++allocations; }
void uncounted(const volatile void *) {}
#endif

} // namespace

class tst_Scale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
#ifdef QTCORE_COUNTS_ALLOCATIONS
        QVERIFY(__sanitizer_install_malloc_and_free_hooks(counted, uncounted));
#endif
    }

    // Each child costs the same number of allocations whether its parent has a few hundred
    // children or thousands (the engine's wrapping builds a string per child when it looks a name
    // up among them).
    void childrenCostTheSameEach_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("add");
        QTest::newRow("made, no override") << QString() << QStringLiteral("new QObject(p)");
        QTest::newRow("made, childEvent override")
            << QStringLiteral("p.childEvent = function(e) { ++seen; };")
            << QStringLiteral("new QObject(p)");
        QTest::newRow("re-parented, event override")
            << QStringLiteral("p.event = function(e) { ++seen; return false; };")
            << QStringLiteral("spare[i].setParent(p)");
    }
    void childrenCostTheSameEach()
    {
#ifndef QTCORE_COUNTS_ALLOCATIONS
        QSKIP("allocations are counted in the sanitizer build");
#else
        QFETCH(QString, setup);
        QFETCH(QString, add);
        auto perChild = [&](int n) {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            engine.evaluate(QStringLiteral("var seen = 0, p = new QObject(), spare = [];"
                                           "for (var i = 0; i < %1; ++i) spare.push(new QObject());")
                                .arg(n)
                            + setup);
            QScriptValue adding = engine.evaluate(
                QStringLiteral("(function(n) { for (var i = 0; i < n; ++i) %1; return seen; })").arg(add));
            engine.collectGarbage();
            const qint64 before = allocations;
            const int seen = adding.call(QScriptValue(), QScriptValueList() << n).toInt32();
            const double each = double(allocations - before) / n;
            [&] {
                QVERIFY2(!engine.hasUncaughtException(),
                         qPrintable(engine.uncaughtException().toString()));
                QVERIFY(setup.isEmpty() || seen >= n);
            }();
            return each;
        };
        const double few = perChild(250);
        const double many = perChild(2500);
        QVERIFY2(many < few * 1.5,
                 qPrintable(QStringLiteral("%1 allocations a child among 250, %2 among 2500")
                                .arg(few).arg(many)));
#endif
    }
};

QTEST_MAIN(tst_Scale)
#include "tst_scale.moc"
