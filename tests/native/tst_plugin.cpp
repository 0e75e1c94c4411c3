// What scripts cannot see: the module's entry points, the plugin object, and forwarding
// reached from native calls.
#include <QtCore/QCoreApplication>
#include <QtCore/QLibrary>
#include <QtCore/QPluginLoader>
#include <QtCore/QPointer>
#include <QtScript/QScriptClass>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptExtensionPlugin>
#include <QtScript/QScriptValueIterator>
#include <QtTest/QtTest>

// A script-class object scripts can call: answers true.
class CallableClass : public QScriptClass
{
public:
    using QScriptClass::QScriptClass;
    bool supportsExtension(Extension extension) const override { return extension == Callable; }
    QVariant extension(Extension, const QVariant &) override { return QVariant(true); }
};

class tst_Plugin : public QObject
{
    Q_OBJECT

private:
    QLibrary library{QStringLiteral(QTCORE_PLUGIN_FILE)};

    template <class F>
    F entry(const char *name)
    {
        return reinterpret_cast<F>(library.resolve(name));
    }
    QScriptExtensionPlugin *plugin()
    {
        auto instance = entry<QObject *(*)()>("qt_plugin_instance");
        return instance ? qobject_cast<QScriptExtensionPlugin *>(instance()) : nullptr;
    }
    static QStringList globalNames(QScriptEngine &engine)
    {
        QStringList names;
        QScriptValueIterator it(engine.globalObject());
        while (it.hasNext()) {
            it.next();
            names << it.name();
        }
        return names;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
    }

    void verificationData()
    {
        auto data = entry<const char *(*)()>("qt_plugin_query_verification_data");
        QVERIFY(data);
        const QByteArray first(data());
        QCOMPARE(QByteArray(data()), first);
        const QList<QByteArray> lines = first.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QByteArray("pattern=QT_PLUGIN_VERIFICATION_DATA"));
        QCOMPARE(lines[1], QByteArray("version=" QT_VERSION_STR));
        QVERIFY(lines[2] == "debug=false" || lines[2] == "debug=true");
        QVERIFY(lines[3].startsWith("buildkey="));
        QVERIFY(!first.endsWith('\n'));
    }

    void metadataIsReadByQtsLoader()
    {
        QPluginLoader loader(QStringLiteral(QTCORE_PLUGIN_FILE));
        const QJsonObject meta = loader.metaData();
        QCOMPARE(meta.value(QStringLiteral("IID")).toString(),
                 QStringLiteral("org.qt-project.Qt.QScriptExtensionInterface"));
        QCOMPARE(meta.value(QStringLiteral("className")).toString(),
                 QStringLiteral("com_kelvatori_qt_core_ScriptPlugin"));
    }

    void singleInstance()
    {
        auto instance = entry<QObject *(*)()>("qt_plugin_instance");
        QVERIFY(instance);
        QPointer<QObject> first = instance();
        QVERIFY(first);
        QCOMPARE(instance(), first.data());
        QCOMPARE(first->parent(), static_cast<QObject *>(nullptr));
        // No meta-object of its own: Qt sees a QScriptExtensionPlugin.
        QCOMPARE(QByteArray(first->metaObject()->className()), QByteArray("QScriptExtensionPlugin"));
        delete first.data();
        QObject *second = instance();
        QVERIFY(second);
        QVERIFY(!first);
        QCOMPARE(instance(), second);
    }

    void keys()
    {
        QScriptExtensionPlugin *p = plugin();
        QVERIFY(p);
        QCOMPARE(p->keys(), (QStringList{QStringLiteral("qt"), QStringLiteral("qt.core")}));
    }

    void initializeOtherKeysDoesNothing()
    {
        QScriptExtensionPlugin *p = plugin();
        QScriptEngine engine;
        const QStringList before = globalNames(engine);
        p->initialize(QStringLiteral("qt"), &engine);
        p->initialize(QStringLiteral("Qt.Core"), &engine);
        p->initialize(QStringLiteral("qt.gui"), &engine);
        QCOMPARE(globalNames(engine), before);
        QVERIFY(!engine.globalObject().property(QStringLiteral("QObject")).isValid());
    }

    void initializeInstallsClasses()
    {
        QScriptEngine engine;
        plugin()->initialize(QStringLiteral("qt.core"), &engine);
        const QScriptValue global = engine.globalObject();
        for (const char *name : {"QObject", "QTimer", "QEventLoop"}) {
            const QString n = QString::fromLatin1(name);
            QVERIFY2(global.property(n).isFunction(), name);
        }
        // A second initialize replaces the class objects.
        const QScriptValue old = global.property(QStringLiteral("QObject"));
        plugin()->initialize(QStringLiteral("qt.core"), &engine);
        QVERIFY(!global.property(QStringLiteral("QObject")).strictlyEquals(old));
        QCOMPARE(engine.evaluate(QStringLiteral("new QTimer().toString()")).toString(), QStringLiteral("QTimer"));
    }

    void importThroughThePluginLoader()
    {
        QScriptEngine engine;
        QVERIFY(engine.availableExtensions().contains(QStringLiteral("qt.core")));
        engine.importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine.hasUncaughtException());
        QVERIFY(engine.importedExtensions().contains(QStringLiteral("qt.core")));
        QVERIFY(engine.globalObject().property(QStringLiteral("QTimer")).isFunction());
    }

    void dataValuesCarryTheTag()
    {
        QScriptEngine engine;
        plugin()->initialize(QStringLiteral("qt.core"), &engine);
        const QScriptValue timer = engine.globalObject().property(QStringLiteral("QTimer"));
        QCOMPARE(timer.data().toUInt32(), 3133014016u);
        const QScriptValue proto = timer.property(QStringLiteral("prototype"));
        QCOMPARE(proto.property(QStringLiteral("timerId")).data().toUInt32(), 3133014016u);
        QCOMPARE(proto.property(QStringLiteral("toString")).data().toUInt32(), 3133014016u + 1);
        const QScriptValue object = engine.globalObject().property(QStringLiteral("QObject"));
        QCOMPARE(object.property(QStringLiteral("prototype")).property(QStringLiteral("thread")).data().toUInt32(),
                 3133014016u + 19);
        // Tampering from script changes neither the data nor the dispatch.
        engine.evaluate(QStringLiteral("QTimer.prototype.timerId.__qt_data__ = 3133014017;"));
        QCOMPARE(proto.property(QStringLiteral("timerId")).data().toUInt32(), 3133014016u);
    }

    void forwardingFromNativeCalls()
    {
        QScriptEngine engine;
        plugin()->initialize(QStringLiteral("qt.core"), &engine);
        QScriptValue o = engine.evaluate(QStringLiteral(
            "var o = new QObject(); o.seen = 0;"
            "o.event = function(e) { ++this.seen; return this.seen == 1; }; o"));
        QObject *native = o.toQObject();
        QVERIFY(native);
        QEvent e(QEvent::Enter);  // QObject::event answers false for it
        QCOMPARE(QCoreApplication::sendEvent(native, &e), true);
        QCOMPARE(QCoreApplication::sendEvent(native, &e), false);
        QCOMPARE(o.property(QStringLiteral("seen")).toInt32(), 2);

        // An override that throws answers nothing (not handled) and the exception stays pending.
        engine.evaluate(QStringLiteral("o.event = function() { throw new Error('boom'); }"));
        QCOMPARE(QCoreApplication::sendEvent(native, &e), false);
        QVERIFY(engine.hasUncaughtException());
        engine.clearExceptions();

        // eventFilter receives the watched object and the event.
        QScriptValue f = engine.evaluate(QStringLiteral(
            "var f = new QObject(); f.watched = null;"
            "f.eventFilter = function(w, e) { this.watched = w; return true; }; f"));
        native->installEventFilter(f.toQObject());
        QCOMPARE(QCoreApplication::sendEvent(native, &e), true);
        QCOMPARE(f.property(QStringLiteral("watched")).toQObject(), native);
        // One that throws consumes nothing: the object's own override answers.
        engine.evaluate(QStringLiteral("f.eventFilter = function() { throw new Error('boom'); };"
                                       "o.event = function() { this.seen = 'reached'; return false; }"));
        QCOMPARE(QCoreApplication::sendEvent(native, &e), false);
        QCOMPARE(o.property(QStringLiteral("seen")).toString(), QStringLiteral("reached"));
        engine.clearExceptions();

        // Without an override Qt's own implementation answers.
        engine.evaluate(QStringLiteral("delete o.event;"));
        native->removeEventFilter(f.toQObject());
        QCOMPARE(QCoreApplication::sendEvent(native, &e), false);
    }

    void forwardingInSeveralEngines()
    {
        // Forwarding keeps interned names per engine: engines made and freed in turn (a new one
        // may take a freed one's address) must each find their own overrides.
        QEvent e(QEvent::Enter);
        for (int round = 0; round < 4; ++round) {
            auto *a = new QScriptEngine;
            auto *b = new QScriptEngine;
            plugin()->initialize(QStringLiteral("qt.core"), a);
            plugin()->initialize(QStringLiteral("qt.core"), b);
            const QScriptValue oa = a->evaluate(QStringLiteral(
                "var o = new QObject(); o.n = 0; o.event = function() { ++this.n; return true; }; o"));
            const QScriptValue ob = b->evaluate(QStringLiteral(
                "var o = new QObject(); o.n = 0; o.customEvent = function() { ++this.n; }; o"));
            QCOMPARE(QCoreApplication::sendEvent(oa.toQObject(), &e), true);
            QCOMPARE(QCoreApplication::sendEvent(ob.toQObject(), &e), false);
            QEvent custom(QEvent::User);
            QCoreApplication::sendEvent(ob.toQObject(), &custom);
            QCOMPARE(oa.property(QStringLiteral("n")).toInt32(), 1);
            QCOMPARE(ob.property(QStringLiteral("n")).toInt32(), 1);
            // A function whose data carries the method tag counts as the bindings' own.
            a->evaluate(QStringLiteral("o.event.__qt_data__ = 0xBABE0007;"));
            QCOMPARE(QCoreApplication::sendEvent(oa.toQObject(), &e), false);
            QCOMPARE(oa.property(QStringLiteral("n")).toInt32(), 1);
            // A callable script-class object: its own data decides, not a property.
            CallableClass callable(a);
            QScriptValue c = a->newObject(&callable);
            c.setData(QScriptValue(0xBABE0003u));
            QScriptValue(oa).setProperty(QStringLiteral("event"), c);
            QCOMPARE(QCoreApplication::sendEvent(oa.toQObject(), &e), false);
            c.setData(QScriptValue(3));
            QCOMPARE(QCoreApplication::sendEvent(oa.toQObject(), &e), true);
            delete (round % 2 ? a : b);
            QScriptEngine *left = round % 2 ? b : a;
            const QScriptValue ol = round % 2 ? ob : oa;
            left->evaluate(QStringLiteral("o.event = function() { ++this.n; return true; };"));
            QCOMPARE(QCoreApplication::sendEvent(ol.toQObject(), &e), true);
            QCOMPARE(ol.property(QStringLiteral("n")).toInt32(), 2);
            delete left;
        }
    }

    void nativeObjectsWithoutWrapperUseTheBase()
    {
        QScriptEngine engine;
        plugin()->initialize(QStringLiteral("qt.core"), &engine);
        // The constructor assigns scriptSelf only after the native constructor ran: a child
        // added to an object under construction reaches no script.
        QScriptValue r = engine.evaluate(QStringLiteral(
            "var p = new QObject(); var n = 0; p.childEvent = function() { ++n; };"
            "new QTimer(p); n"));
        QVERIFY(r.toInt32() >= 1);
    }
};

QTEST_GUILESS_MAIN(tst_Plugin)
#include "tst_plugin.moc"
