// What scripts cannot see of QTranslator: translation data from memory and files (a byte array
// reaches a script only from a host), and QtCore itself calling a script override.
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTranslator>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

namespace {

void put32(QByteArray &out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xff));
}

void putBlock(QByteArray &out, int tag, const QByteArray &block)
{
    out.append(char(tag));
    put32(out, quint32(block.size()));
    out.append(block);
}

quint32 elfHash(const QByteArray &text)
{
    quint32 h = 0;
    for (const char c : text) {
        h = (h << 4) + uchar(c);
        const quint32 g = h & 0xf0000000;
        if (g)
            h ^= g >> 24;
        h &= ~g;
    }
    return h ? h : 1;
}

// A .qm file of one message, "Hello" in context "ctx" -> "Bonjour", laid out as lrelease
// writes it: magic, a hash table, the messages.
QByteArray translationData()
{
    static const uchar magic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                    0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
    enum { TagEnd = 1, TagTranslation = 3, TagSourceText = 6, TagContext = 7 };
    enum { Hashes = 0x42, Messages = 0x69 };
    QByteArray message;
    const QString translation = QStringLiteral("Bonjour");
    message.append(char(TagTranslation));
    put32(message, quint32(translation.size() * 2));
    for (const QChar c : translation) {
        message.append(char(c.unicode() >> 8));
        message.append(char(c.unicode() & 0xff));
    }
    message.append(char(TagSourceText));
    put32(message, 5);
    message.append("Hello");
    message.append(char(TagContext));
    put32(message, 3);
    message.append("ctx");
    message.append(char(TagEnd));
    QByteArray hashes;
    put32(hashes, elfHash("Hello"));
    put32(hashes, 0);
    QByteArray data(reinterpret_cast<const char *>(magic), sizeof magic);
    putBlock(data, Hashes, hashes);
    putBlock(data, Messages, message);
    return data;
}

} // namespace

class tst_Translator : public QObject
{
    Q_OBJECT

private:
    QScriptValue eval(QScriptEngine &engine, const QString &code)
    {
        const QScriptValue v = engine.evaluate(code);
        if (engine.hasUncaughtException())
            qWarning("%s", qPrintable(engine.uncaughtException().toString()));
        return v;
    }
    static QTranslator *translatorOf(const QScriptValue &v) { return qobject_cast<QTranslator *>(v.toQObject()); }

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR)); }

    void loadFromMemoryKeepsTheBytes()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        {
            // The only reference left to the bytes after this block is the script's.
            const QByteArray data = translationData();
            QCOMPARE(QTranslator().load(reinterpret_cast<const uchar *>(data.constData()), data.size()), true);
            engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(data));
            engine.globalObject().setProperty(QStringLiteral("size"), data.size());
        }
        QCOMPARE(eval(engine, "var tr = new QTranslator(); tr.load(qm, size)").toBool(), true);
        QCOMPARE(eval(engine, "tr.isEmpty()").toBool(), false);
        QCOMPARE(eval(engine, "new QTranslator().load(qm, 10)").toBool(), false);
        QCOMPARE(eval(engine, "new QTranslator().load(qm, -5)").toBool(), false);
        QCOMPARE(eval(engine, "var big = new QTranslator(); big.load(qm, 1 << 30)").toBool(), true);
        eval(engine, "qm = null; gc();");
        QTranslator *tr = translatorOf(eval(engine, "tr"));
        QVERIFY(tr);
        QCOMPARE(tr->translate("ctx", "Hello"), QStringLiteral("Bonjour"));
        QCOMPARE(translatorOf(eval(engine, "big"))->translate("ctx", "Hello"), QStringLiteral("Bonjour"));
        QCOMPARE(tr->translate("other", "Hello"), QString());

        // A translator made natively cannot keep the bytes alive: refused.
        QTranslator native;
        engine.globalObject().setProperty(QStringLiteral("native"), engine.newQObject(&native));
        engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(translationData()));
        eval(engine, "try { QTranslator.prototype.load.call(native, qm, 100); } catch (e) { var refused = e.message; }");
        QCOMPARE(eval(engine, "refused").toString(),
                 QStringLiteral("QTranslator.load(): data can only be loaded into a translator made by a script"));
        QVERIFY(native.isEmpty());
    }

    void loadFromFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("greetings_fr.qm")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(translationData());
        file.close();
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("dir"), dir.path());
        QCOMPARE(eval(engine, "var a = new QTranslator(); a.load(dir + '/greetings_fr')").toBool(), true);
        QCOMPARE(eval(engine, "var b = new QTranslator(); b.load('greetings_fr', dir)").toBool(), true);
        QCOMPARE(eval(engine, "var c = new QTranslator(); c.load('greetings_fr_CA', dir, '_')").toBool(), true);
        QCOMPARE(eval(engine, "var d = new QTranslator(); d.load('greetings', dir, '_', '_fr.qm')").toBool(), true);
        for (const char *name : {"a", "b", "c", "d"})
            QCOMPARE(translatorOf(eval(engine, name))->translate("ctx", "Hello"), QStringLiteral("Bonjour"));
    }

    void qtCoreCallsTheScriptOverride()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(translationData()));
        eval(engine, "var real = new QTranslator(); real.load(qm, 1000);"
                     "var tr = new QTranslator(), kept;"
                     "tr.translate = function(c, s, d) { kept = arguments; return real.translate(c, s, d) + '!'; };"
                     "tr.isEmpty = function() { return false; };");
        QTranslator *tr = translatorOf(eval(engine, "tr"));
        QVERIFY(tr);
        QVERIFY(!tr->isEmpty());
        QCoreApplication::installTranslator(tr);
        {
            // The texts die with this block; the variants the script kept must not reach them.
            const QByteArray context("ctx"), source("Hello"), disambiguation("greeting");
            QCOMPARE(QCoreApplication::translate(context.constData(), source.constData(),
                                                 disambiguation.constData(), 3),
                     QStringLiteral("Bonjour!"));
            QCOMPARE(QCoreApplication::translate(context.constData(), source.constData()),
                     QStringLiteral("Bonjour!"));
        }
        QCOMPARE(eval(engine, "kept.length").toInt32(), 3);
        QCOMPARE(eval(engine, "real.translate(kept[0], kept[1], kept[2])").toString(), QString());
        QCoreApplication::removeTranslator(tr);
        eval(engine, "delete tr.translate; delete tr.isEmpty;");
        QVERIFY(tr->isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Translator)
#include "tst_translator.moc"
