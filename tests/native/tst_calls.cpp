// What the call paths leave for hosts to see: how handles are stored in variants, the equality
// comparators of enumeration and flags types, enumeration results in several engines, and script
// overrides beside members of the engine's QObject wrapping that only a host can make.
#include <QtCore/QCoreApplication>
#include <QtCore/QTimeLine>
#include <QtScript/QScriptClass>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include <memory>
#include <new>

// QtScript registers it under this name and converts such a variant to the value it holds.
Q_DECLARE_METATYPE(QScriptValue)

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

// A host object whose wrapper offers a member called "event" that is a script function.
class Host : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QScriptValue event READ eventMember)
public:
    QScriptValue member;
    QScriptValue eventMember() const { return member; }
};

// An owner whose key reads as read-only and undeletable and counts its reads.
class Counting : public QScriptClass
{
public:
    using QScriptClass::QScriptClass;
    QueryFlags queryProperty(const QScriptValue &, const QScriptString &, QueryFlags, uint *) override
    {
        return HandlesReadAccess;
    }
    QScriptValue property(const QScriptValue &, const QScriptString &, uint) override
    {
        return QScriptValue(++reads);
    }
    QScriptValue::PropertyFlags propertyFlags(const QScriptValue &, const QScriptString &, uint) override
    {
        return QScriptValue::ReadOnly | QScriptValue::Undeletable;
    }

private:
    int reads = 0;
};

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

    // Enumeration properties whose types Qt 5 leaves unregistered (QTimeLine's) read and write
    // through the property system without a warning, for a script's time line and a host's.
    void unregisteredEnumerationProperties()
    {
        static int warnings;
        warnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &) { ++warnings; });
        auto engine = importing();
        const bool scripted = engine->evaluate(QStringLiteral(
            "var tl = new QTimeLine(); tl.direction = QTimeLine.Backward;"
            "tl.curveShape = QTimeLine.SineCurve;"
            "tl.direction === QTimeLine.Backward && tl.curveShape === QTimeLine.SineCurve")).toBool();
        QTimeLine native;
        const QVariant direction = native.property("direction");
        const bool written = native.setProperty("curveShape", engine->evaluate(
            QStringLiteral("QTimeLine.LinearCurve")).toVariant());
        qInstallMessageHandler(previous);
        QCOMPARE(warnings, 0);
        QVERIFY(scripted);
        QCOMPARE(QMetaType::typeName(direction.userType()), "QTimeLine::Direction");
        QVERIFY(written);
        QCOMPARE(native.curveShape(), QTimeLine::LinearCurve);
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

    // An enumeration result of a type this engine has no class of the plugin's for (its host
    // registered a conversion of its own in its place) is made by the engine's conversion.
    void enumerationResultsWithoutOurClass()
    {
        auto engine = importing();
        const int type = QMetaType::type("QXmlStreamReader::TokenType");
        QVERIFY(type != QMetaType::UnknownType);
        qScriptRegisterMetaType_helper(
            engine.get(), type,
            [](QScriptEngine *, const void *value) {
                return QScriptValue(QStringLiteral("token %1").arg(*static_cast<const int *>(value)));
            },
            [](const QScriptValue &, void *) {}, QScriptValue());
        QCOMPARE(engine->evaluate(QStringLiteral("var r = new QXmlStreamReader('<a/>'); r.readNext();"
                                                 "r.tokenType()")).toString(),
                 QStringLiteral("token 2"));
    }

    // A script object made in one engine and reached from another: the other engine wraps it as
    // any object, without the first engine's properties and overrides.
    void objectsOfAnotherEngine()
    {
        auto first = importing();
        auto second = importing();
        QObject *made = first->evaluate(QStringLiteral(
            "var o = new QObject(); o.objectName = 'made in the first'; o.mark = 'first'; o")).toQObject();
        QVERIFY(made);
        QObject *parent = second->evaluate(QStringLiteral("var p = new QObject(); p")).toQObject();
        made->setParent(parent);
        QCOMPARE(second->evaluate(QStringLiteral("var c = p.children()[0];"
                                                 "[c.objectName, typeof c.mark, c instanceof QObject].join()"))
                     .toString(),
                 QStringLiteral("made in the first,undefined,true"));
        made->setParent(nullptr);
        QCOMPARE(first->evaluate(QStringLiteral("o.mark")).toString(), QStringLiteral("first"));
    }

    // An owner of a host's script class whose key reads as read-only and undeletable: its class
    // answers as it likes, so its value is read at every conversion.
    void scriptClassOwnersReadAtEveryConversion()
    {
        auto engine = importing();
        engine->evaluate(QStringLiteral("var held = QEventLoop, cls = QEventLoop.ProcessEventsFlag;"));
        Counting counting(engine.get());
        engine->globalObject().setProperty(QStringLiteral("QEventLoop"), engine->newObject(&counting));
        QCOMPARE(engine->evaluate(QStringLiteral("[cls(4), cls(4)].join()")).toString(),
                 QStringLiteral("1,2"));
        engine->evaluate(QStringLiteral("QEventLoop = held"));
    }

    // A member is never an override, whether the shell's own object has it (a dynamic property)
    // or an object on its prototype chain (a host's wrapper), and whether or not the name had an
    // override at the call before.
    void membersAreNoOverrides()
    {
        auto engine = importing();
        QScriptValue o = engine->evaluate(QStringLiteral(
            "var calls = []; var o = new QObject();"
            "function mark(what) {"
            "  return function(e) { if (e.type() == QEvent.User) calls.push(what); return true; };"
            "}"
            "o.event = mark('own'); o"));
        QObject *object = o.toQObject();
        QVERIFY(object);
        const QScriptValue member = engine->evaluate(QStringLiteral("mark('member')"));
        QEvent user(QEvent::User);
        auto send = [&] { return QCoreApplication::sendEvent(object, &user); };
        auto calls = [&] { return engine->evaluate(QStringLiteral("calls.join()")).toString(); };

        QVERIFY(send());
        object->setProperty("event", QVariant::fromValue(member));
        QVERIFY(send());   // QObject::event: a user event is handled
        QVERIFY(send());
        object->setProperty("event", QVariant());
        QVERIFY(send());
        QCOMPARE(calls(), QStringLiteral("own,own"));

        Host host;
        host.member = member;
        engine->globalObject().setProperty(QStringLiteral("host"), engine->newQObject(&host));
        engine->evaluate(QStringLiteral("calls = []; o.__proto__ = host;"));
        QVERIFY(send());   // the own override still shadows the chain
        engine->evaluate(QStringLiteral("delete o.event;"));
        QVERIFY(send());
        QVERIFY(send());
        QCOMPARE(calls(), QStringLiteral("own"));
        QVERIFY(QScriptValue(o).propertyFlags(QStringLiteral("event"), QScriptValue::ResolvePrototype)
                & QScriptValue::QObjectMember);
    }
};

QTEST_GUILESS_MAIN(tst_Calls)
#include "tst_calls.moc"
