// Deletions of objects in use that a script asks for where only a host sees the outcome: calls
// QtCore makes outside any script call or event, translations, engines on other threads, and the
// collector's deletions after an override kept an object.
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QThread>
#include <QtCore/QTimeLine>
#include <QtCore/QTranslator>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include "watchdog.h"

namespace {

// Deletes at once, as far as QtCore lets it, and tells whether the object is still there.
const char *const helpers =
    "function kill(o) { o.deleteLater(); QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete); }"
    "function alive(o) { try { QObject.prototype.parent.call(o); return true; } catch (e) { return false; } }";

QScriptValue eval(QScriptEngine &engine, const QString &code)
{
    const QScriptValue v = engine.evaluate(code);
    if (engine.hasUncaughtException())
        qWarning("%s", qPrintable(engine.uncaughtException().toString()));
    return v;
}

// Objects a script noted, watched without holding their script values.
QList<QPointer<QObject>> noted;
QScriptValue note(QScriptContext *context, QScriptEngine *)
{
    noted << context->argument(0).toQObject();
    return QScriptValue();
}

// A host function that deletes an object at once.
QScriptValue destroyNow(QScriptContext *context, QScriptEngine *)
{
    delete context->argument(0).toQObject();
    return QScriptValue();
}

void prepare(QScriptEngine &engine)
{
    engine.importExtension(QStringLiteral("qt.core"));
    eval(engine, QLatin1String(helpers));
    engine.globalObject().setProperty(QStringLiteral("note"), engine.newFunction(note));
    engine.globalObject().setProperty(QStringLiteral("destroyNow"), engine.newFunction(destroyNow));
}

// A script's object `c` under a host's object `host` that only the engine's own wrapping gave
// the script, on a thread of its own (no filter on the application sees this thread's events):
// `script` deletes `target` from an override of c's and tells in `during` whether c is still
// there.
class ForeignThread : public QThread
{
public:
    ForeignThread(const char *script, const char *target, bool awayAndBack)
        : m_script(script), m_target(target), m_awayAndBack(awayAndBack)
    {}

    bool during = false;
    bool afterCall = false;
    bool afterFlush = true;
    QString error;

protected:
    void run() override
    {
        QScriptEngine engine;
        prepare(engine);
        QPointer<QObject> host = new QObject;
        engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(host));
        eval(engine, QStringLiteral("var during, c = new QObject(host);"));
        if (m_awayAndBack) {
            // The host takes its object to another thread and back; the script wraps it again.
            QThread other;
            other.start();
            host->moveToThread(&other);
            QObject anchor;
            anchor.moveToThread(&other);
            QThread *here = QThread::currentThread();
            QMetaObject::invokeMethod(&anchor, [&] { host->moveToThread(here); },
                                      Qt::BlockingQueuedConnection);
            other.quit();
            other.wait();
            eval(engine, QStringLiteral("c.parent();"));
        }
        eval(engine, QLatin1String(m_script)
                         + QStringLiteral("QCoreApplication.sendEvent(c, new QEvent(QEvent.User));"));
        if (engine.hasUncaughtException())
            error = engine.uncaughtException().toString();
        during = eval(engine, QStringLiteral("during")).toBool();
        const QPointer<QObject> target = eval(engine, QLatin1String(m_target)).toQObject();
        afterCall = !target.isNull();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        afterFlush = !target.isNull();
        delete host.data();
    }

private:
    const char *m_script;
    const char *m_target;
    bool m_awayAndBack;
};

} // namespace

class tst_Deletions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    // A translate override deletes another translator: QtCore holds its translators' lock, which
    // QTranslator's destructor takes. The deletion waits until the translation has ended, and
    // goes at the next flush.
    void translatorsWaitForTheTranslation()
    {
        QScriptEngine engine;
        prepare(engine);
        QPointer<QObject> other = eval(engine, QStringLiteral(
            "var during, other = new QTranslator(), t = new QTranslator();"
            "t.translate = function() { kill(other); during = alive(other); return 'translated'; };"
            "QCoreApplication.installTranslator(t);"
            "other")).toQObject();
        QVERIFY(other);
        {
            const Watchdog dog("a translator deleted during a translation", std::chrono::seconds(20));
            QCOMPARE(QCoreApplication::translate("c", "text"), QStringLiteral("translated"));
        }
        QCOMPARE(eval(engine, QStringLiteral("during")).toBool(), true);
        QVERIFY(other);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!other);
        eval(engine, QStringLiteral("QCoreApplication.removeTranslator(t)"));
    }

    // Overrides QtCore calls from its own functions, called here by the host: no script call and
    // no event marks the object, the override's own call does.
    void overridesQtCoreCalls_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("call");
        QTest::newRow("valueForTime from setCurrentTime")
            << QStringLiteral("var o = new QTimeLine(1000);"
                              "o.valueForTime = function() { kill(o); during = alive(o); return 0.5; };")
            << 0;
        QTest::newRow("isEmpty from installTranslator")
            << QStringLiteral("var o = new QTranslator();"
                              "o.isEmpty = function() { kill(o); during = alive(o); return false; };")
            << 1;
        QTest::newRow("translate from QCoreApplication::translate")
            << QStringLiteral("var o = new QTranslator();"
                              "o.translate = function() { kill(o); during = alive(o); return 'x'; };"
                              "QCoreApplication.installTranslator(o);")
            << 2;
    }
    void overridesQtCoreCalls()
    {
        QFETCH(QString, script);
        QFETCH(int, call);
        QScriptEngine engine;
        prepare(engine);
        QPointer<QObject> o = eval(engine, QStringLiteral("var during;") + script + QStringLiteral("o")).toQObject();
        QVERIFY(o);
        {
            const Watchdog dog("a deletion from an override", std::chrono::seconds(20));
            if (call == 0)
                qobject_cast<QTimeLine *>(o)->setCurrentTime(500);
            else if (call == 1)
                QCoreApplication::installTranslator(qobject_cast<QTranslator *>(o));
            else
                QCoreApplication::translate("c", "text");
        }
        QCOMPARE(eval(engine, QStringLiteral("during")).toBool(), true);
        QVERIFY(o);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!o);
    }

    // On a thread other than the application's, a DeferredDelete reaches only the object and the
    // filters on it: a host's object has the one the kit put there when a script made a child
    // under it; a script's own object holds it back itself.
    void inUseOnAnotherThread_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("awayAndBack");
        QTest::newRow("a host's object above")
            << QStringLiteral("c.customEvent = function() { kill(host); during = alive(c); };")
            << QStringLiteral("host") << false;
        QTest::newRow("a host's object above, back from another thread")
            << QStringLiteral("c.customEvent = function() { kill(host); during = alive(c); };")
            << QStringLiteral("host") << true;
        QTest::newRow("the script's object itself")
            << QStringLiteral("c.customEvent = function() { kill(c); during = alive(c); };")
            << QStringLiteral("c") << false;
    }
    void inUseOnAnotherThread()
    {
        QFETCH(QString, script);
        QFETCH(QString, target);
        QFETCH(bool, awayAndBack);
        const QByteArray s = script.toLatin1(), t = target.toLatin1();
        ForeignThread thread(s.constData(), t.constData(), awayAndBack);
        thread.start();
        QVERIFY(thread.wait(30000));
        QCOMPARE(thread.error, QString());
        QVERIFY(thread.during);
        QVERIFY(thread.afterCall);
        QVERIFY(!thread.afterFlush);
    }

    // A translation inside a translation (an override that translates): the translators a script
    // dropped stay until the outermost one has ended (the collector would delete them, and their
    // destructors wait for QtCore's translators' lock), and go after it.
    void droppedTranslatorsStayThroughNestedTranslations()
    {
        QScriptEngine engine;
        prepare(engine);
        noted.clear();
        eval(engine, QStringLiteral(
            "(function() {"
            "  for (var i = 0; i < 20; ++i) note(new QTranslator());"
            "  var t = new QTranslator(), depth = 0;"
            "  t.translate = function() {"
            "    if (++depth == 1) { QCoreApplication.translate('c', 'inner'); gc(); }"
            "    --depth;"
            "    return 'translated';"
            "  };"
            "  QCoreApplication.installTranslator(t);"
            "  note(t);"
            "})()"));
        {
            const Watchdog dog("translators collected during a translation", std::chrono::seconds(20));
            QCOMPARE(QCoreApplication::translate("c", "outer"), QStringLiteral("translated"));
        }
        QCOMPARE(noted.count(nullptr), 0);
        // Those the collector took meanwhile go at the next flush of deletions.
        for (int round = 0; round < 5; ++round) {
            engine.collectGarbage();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY2(noted.count(nullptr) >= 18, qPrintable(QString::number(noted.count(nullptr))));
        QCoreApplication::removeTranslator(qobject_cast<QTranslator *>(noted.last().data()));
    }

    // What the host keeps under the application, and below that, is QtCore's to a script: no
    // deleteLater, no other parent, no DeferredDelete.
    // A script's filter that has the host delete the object it watches (at once, natively): QtCore
    // delivers the event no further.
    void filterHasTheWatchedObjectDeleted()
    {
        QScriptEngine engine;
        prepare(engine);
        QPointer<QObject> host = new QObject;
        engine.globalObject().setProperty(QStringLiteral("host"), engine.newQObject(host));
        eval(engine, QStringLiteral(
            "var f = new QObject();"
            "f.eventFilter = function(w, e) { if (e.type() == QEvent.User) destroyNow(w); return false; };"
            "host.installEventFilter(f);"));
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(host, &user);
        QVERIFY(!host);

        // A child the host moved under a script's object natively (out of another family) and
        // then deletes reaches its new parent's handler as itself.
        engine.globalObject().setProperty(QStringLiteral("reparent"), engine.newFunction(
            [](QScriptContext *context, QScriptEngine *) {
                context->argument(0).toQObject()->setParent(context->argument(1).toQObject());
                return QScriptValue();
            }));
        const QString seen = eval(engine, QStringLiteral(
            "var seen = [], p = new QObject(), d = new QObject(new QObject());"
            "p.childEvent = function(e) { if (e.removed()) seen.push(e.child() === d); };"
            "reparent(d, p); destroyNow(d); seen.join()")).toString();
        QCOMPARE(seen, QStringLiteral("true"));
    }

    void hostObjectsUnderTheApplication()
    {
        QScriptEngine engine;
        prepare(engine);
        QPointer<QObject> kept = new QObject(QCoreApplication::instance());
        kept->setObjectName(QStringLiteral("kept by the host"));
        QPointer<QObject> below = new QObject(kept);
        const QString report = eval(engine, QStringLiteral(
            "var report = [], kids = QCoreApplication.instance().children();"
            "for (var i = 0; i < kids.length; ++i) {"
            "  if (kids[i].objectName != 'kept by the host') continue;"
            "  [kids[i], kids[i].children()[0]].forEach(function(o) {"
            "    report.push(typeof o.deleteLater);"
            "    try { o.setParent(null); report.push('moved'); } catch (e) { report.push(e.name); }"
            "    try { QCoreApplication.postEvent(o, new QEvent(QEvent.DeferredDelete)); report.push('posted'); }"
            "    catch (e) { report.push(e.name); }"
            "  });"
            "}"
            "QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
            "report.join()")).toString();
        QCOMPARE(report, QStringLiteral("undefined,TypeError,TypeError,undefined,TypeError,TypeError"));
        QVERIFY(kept && kept->parent() == QCoreApplication::instance());
        QVERIFY(below && below->parent() == kept);
        delete below.data();
        delete kept.data();
    }

    // An override kept its object from a DeferredDelete; when the collector deletes the object
    // later, no script code runs meanwhile (here: an application-wide filter that would see the
    // LanguageChange a translator's destructor sends; the host installs it, as one the script
    // installed stays until it is removed).
    void collectedAfterAnOverrideKeptIt()
    {
        QScriptEngine engine;
        prepare(engine);
        eval(engine, QStringLiteral(
            "var calls = 0, f = new QObject();"
            "f.eventFilter = function(w, e) { if (e.type() == QEvent.LanguageChange) ++calls; return false; };"
            "QCoreApplication.instance().installEventFilter(f);"
            "function make() {"
            "  var t = new QTranslator();"
            "  t.event = function(e) { return true; };"
            "  note(t);"
            "  t.deleteLater();"
            "  QCoreApplication.sendPostedEvents(null, QEvent.DeferredDelete);"
            "  return alive(t);"
            "}"));
        noted.clear();
        for (int round = 0; round < 10; ++round) {
            QVERIFY(eval(engine, QStringLiteral("make()")).toBool());
            QCoreApplication::installTranslator(qobject_cast<QTranslator *>(noted.last().data()));
            eval(engine, QStringLiteral("calls = 0"));
            engine.collectGarbage();
            QCOMPARE(eval(engine, QStringLiteral("calls")).toInt32(), 0);
        }
        for (int round = 0; round < 3; ++round)
            engine.collectGarbage();
        QCOMPARE(eval(engine, QStringLiteral("calls")).toInt32(), 0);
        // The collector scans the stack conservatively: most went.
        QCOMPARE(noted.size(), 10);
        QVERIFY(noted.count(nullptr) >= 7);
        eval(engine, QStringLiteral("QCoreApplication.instance().removeEventFilter(f)"));
        for (const QPointer<QObject> &t : noted)
            QCoreApplication::removeTranslator(qobject_cast<QTranslator *>(t.data()));
    }
};

QTEST_GUILESS_MAIN(tst_Deletions)
#include "tst_deletions.moc"
