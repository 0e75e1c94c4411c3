// Work that must grow with its input and no faster: counted where a script cannot count it.
#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (its allocator interface).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void *, size_t),
                                                         void (*)(const volatile void *));
#define QTCORE_COUNTS_ALLOCATIONS 1
#endif

// Freed memory goes back at once, so that the process's size shows what is still held.
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=0"; }

namespace {

qint64 residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 / 1024 : -1;
}

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

    // A script that makes large values and drops them, one after another, stays near the live
    // set: the collector hears of the bytes they hold.
    void droppedLargeValuesAreCollected_data()
    {
        QTest::addColumn<QString>("make");
        QTest::newRow("byte array made") << QStringLiteral("new QByteArray(size, 'x')");
        QTest::newRow("byte array grown") << QStringLiteral("(function() {"
                                                            " var b = new QByteArray('x');"
                                                            " b.fill('z', size); return b; })()");
        QTest::newRow("bit array made") << QStringLiteral("new QBitArray(size * 8, true)");
        QTest::newRow("buffer written")
            << QStringLiteral("(function() { var b = new QBuffer(); b.open(QIODevice.WriteOnly);"
                              " b.write(new QByteArray(size / 4, 'w')); b.write(chunk);"
                              " return b; })()");
        // Nothing made but the buffer's own bytes.
        QTest::newRow("buffer written from a kept array")
            << QStringLiteral("(function() { var b = new QBuffer(); b.open(QIODevice.WriteOnly);"
                              " b.write(chunk); return b; })()");
    }
    void droppedLargeValuesAreCollected()
    {
        QFETCH(QString, make);
        const int sizeMiB = 16;
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("size"), sizeMiB << 20);
        engine.evaluate(QStringLiteral("var chunk = new QByteArray(size, 'c');"));
        engine.collectGarbage();
        const qint64 base = residentMiB();
        qint64 peak = base;
        const int rounds = 24;
        for (int i = 0; i < rounds; ++i) {
            engine.evaluate(QStringLiteral("var kept = ") + make + QStringLiteral("; kept = null;"));
            QVERIFY2(!engine.hasUncaughtException(),
                     qPrintable(engine.uncaughtException().toString()));
            peak = std::max(peak, residentMiB());
        }
        // Unheard of, all of them stayed: rounds times the size.
        QVERIFY2(peak - base < 8 * sizeMiB,
                 qPrintable(QStringLiteral("%1 MiB resident over %2 MiB after %3 rounds of %4 MiB")
                                .arg(peak - base).arg(base).arg(rounds).arg(sizeMiB)));
    }
};

QTEST_MAIN(tst_Scale)
#include "tst_scale.moc"
