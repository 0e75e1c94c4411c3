// What the call paths leave for hosts to see: how handles are stored in variants, the equality
// comparators of enumeration and flags types, and enumeration results in several engines.
#include <QtCore/QCoreApplication>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <memory>
#include <new>

namespace {

std::unique_ptr<QScriptEngine> importing()
{
    std::unique_ptr<QScriptEngine> engine(new QScriptEngine);
    engine->importExtension(QStringLiteral("qt.core"));
    return engine;
}

// True when the engine's reader gives its own StartDocument value object.
bool ownTokenType(QScriptEngine &engine)
{
    return engine
        .evaluate(QStringLiteral("var r = new QXmlStreamReader('<a/>'); r.readNext();"
                                 "r.tokenType() === QXmlStreamReader.StartDocument"))
        .toBool();
}

} // namespace

class tst_Calls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    // Copies of a handle share one block: a pointer class's `this` is copied at every call.
    void handlesAreShared()
    {
        auto engine = importing();
        const QVariant reader = engine->evaluate(QStringLiteral("new QXmlStreamReader()")).toVariant();
        QCOMPARE(QMetaType::typeName(reader.userType()), "QXmlStreamReader*");
        QVERIFY(reader.data_ptr().is_shared);
        const QVariant copy = reader;
        QCOMPARE(copy.constData(), reader.constData());
        QVERIFY(!(QMetaType::typeFlags(reader.userType()) & QMetaType::MovableType));
    }

    void comparatorsAreRegistered()
    {
        auto engine = importing();
        for (const char *name : {"QXmlStreamReader::TokenType", "QEventLoop::ProcessEventsFlag",
                                 "QFlags<QEventLoop::ProcessEventsFlag>", "Qt::CursorShape",
                                 "QFlags<Qt::AlignmentFlag>"}) {
            const int id = QMetaType::type(name);
            QVERIFY2(id != QMetaType::UnknownType, name);
            QVERIFY2(QMetaType::hasRegisteredComparators(id), name);
            const int a = 1, b = 1, c = 2;
            int result = -1;
            QVERIFY(QMetaType::equals(&a, &b, id, &result));
            QCOMPARE(result, 0);
            QVERIFY(QMetaType::equals(&a, &c, id, &result));
            QVERIFY(result != 0);
        }
    }

    // Each engine's results are its own value objects, while others live and after they ended,
    // also for an engine made where an ended one stood.
    void enumerationResultsPerEngine()
    {
        auto first = importing();
        auto second = importing();
        QVERIFY(ownTokenType(*first));
        QVERIFY(ownTokenType(*second));
        second.reset();
        QVERIFY(ownTokenType(*first));
        first.reset();

        // One address for every engine.
        alignas(QScriptEngine) unsigned char place[sizeof(QScriptEngine)];
        for (int i = 0; i < 3; ++i) {
            struct Ended {
                QScriptEngine *engine;
                ~Ended() { engine->~QScriptEngine(); }
            } ended{new (place) QScriptEngine};
            QScriptEngine *engine = ended.engine;
            engine->importExtension(QStringLiteral("qt.core"));
            QVERIFY(ownTokenType(*engine));
            QVERIFY(engine->evaluate(QStringLiteral("QXmlStreamReader.TokenType(4) === QXmlStreamReader.StartElement")).toBool());
        }
    }
};

QTEST_GUILESS_MAIN(tst_Calls)
#include "tst_calls.moc"
