// What scripts cannot see of QTranslator: translation data from memory and files (a byte array
// reaches a script only from a host), and QtCore itself calling a script override.
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QDataStream>
#include <QtCore/QFile>
#include <QtCore/QLibraryInfo>
#include <QtCore/QPointer>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTranslator>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

#include "watchdog.h"

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

enum { TagEnd = 1, TagTranslation = 3, TagObsolete1 = 5, TagSourceText = 6, TagContext = 7,
       TagComment = 8 };
enum { Contexts = 0x2f, Hashes = 0x42, Messages = 0x69, Dependencies = 0x96 };

QByteArray magicNumber()
{
    static const uchar magic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                    0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
    return QByteArray(reinterpret_cast<const char *>(magic), sizeof magic);
}

// A .qm file of one message, "Hello" in context "ctx" -> "Bonjour", laid out as lrelease
// writes it: magic, a hash table, the messages.
QByteArray translationData()
{
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
    QByteArray data = magicNumber();
    putBlock(data, Hashes, hashes);
    putBlock(data, Messages, message);
    return data;
}

// A .qm file of several messages in context "ctx", sources given as the bytes lrelease keys them by.
QByteArray messagesData(const QList<QPair<QByteArray, QString>> &messages)
{
    QMap<quint32, quint32> offsets;   // the hash table is sorted by hash
    QByteArray records;
    for (const auto &m : messages) {
        offsets.insert(elfHash(m.first), quint32(records.size()));
        records.append(char(TagTranslation));
        put32(records, quint32(m.second.size() * 2));
        for (const QChar c : m.second) {
            records.append(char(c.unicode() >> 8));
            records.append(char(c.unicode() & 0xff));
        }
        records.append(char(TagSourceText));
        put32(records, quint32(m.first.size()));
        records.append(m.first);
        records.append(char(TagContext));
        put32(records, 3);
        records.append("ctx");
        records.append(char(TagEnd));
    }
    QByteArray hashes;
    for (auto it = offsets.cbegin(); it != offsets.cend(); ++it) {
        put32(hashes, it.key());
        put32(hashes, it.value());
    }
    QByteArray data = magicNumber();
    putBlock(data, Hashes, hashes);
    putBlock(data, Messages, records);
    return data;
}

QByteArray be16(quint16 v)
{
    return QByteArray(1, char(v >> 8)) + char(v & 0xff);
}

// A context table of `buckets` buckets, all empty but the first, which holds the chain `chain`
// at the given offset (in 2-byte units past the buckets).
QByteArray contextTable(quint16 buckets, quint16 offset, const QByteArray &chain)
{
    QByteArray t = be16(buckets) + be16(offset);
    for (int i = 1; i < buckets; ++i)
        t += be16(0);
    return t + QByteArray(2 * offset, '\0') + chain;
}

// translationData() with a context table and further blocks after it.
QByteArray withBlocks(const QByteArray &contexts, const QByteArray &more = QByteArray())
{
    QByteArray data = translationData();
    if (!contexts.isNull())
        putBlock(data, Contexts, contexts);
    return data + more;
}

// A hash table entry for "Hello" and the message at `offset`.
QByteArray helloAt(quint32 offset)
{
    QByteArray entry;
    put32(entry, elfHash("Hello"));
    put32(entry, offset);
    return entry;
}

QByteArray qmFile(const QByteArray &hashes, const QByteArray &messages)
{
    QByteArray data = magicNumber();
    putBlock(data, Hashes, hashes);
    putBlock(data, Messages, messages);
    return data;
}

// The data with one message record in place of the good one.
QByteArray withMessage(const QByteArray &record)
{
    return qmFile(helloAt(0), record);
}

QByteArray field(int tag, quint32 length, const QByteArray &bytes = QByteArray())
{
    QByteArray f(1, char(tag));
    put32(f, length);
    return f + bytes;
}

QByteArray dependencies(const QStringList &names)
{
    QByteArray block;
    QDataStream stream(&block, QIODevice::WriteOnly);
    for (const QString &name : names)
        stream << name;
    QByteArray out;
    putBlock(out, Dependencies, block);
    return out;
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
        // Told the bytes are longer than they are, QtCore would read on past them.
        QCOMPARE(eval(engine, "new QTranslator().load(qm.left(size - 12), size)").toBool(), false);
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

    // Data whose tables QtCore would follow out of its blocks, or divide by, is refused; sound
    // data with the same tables loads and translates.
    void untrustworthyData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("loads");
        const QByteArray chain = QByteArray(1, 3) + "ctx" + QByteArray(1, 0);
        QTest::newRow("sound context table") << withBlocks(contextTable(1, 1, chain)) << true;
        QTest::newRow("sound context table, 3 buckets") << withBlocks(contextTable(3, 2, chain)) << true;
        QTest::newRow("context table of no buckets") << withBlocks(be16(0) + chain) << false;
        QTest::newRow("context table of one byte") << withBlocks(QByteArray(1, 1)) << false;
        QTest::newRow("buckets past the block") << withBlocks(be16(40) + be16(1)) << false;
        QTest::newRow("bucket offset past the block") << withBlocks(contextTable(1, 300, QByteArray())) << false;
        QTest::newRow("context name past the block")
            << withBlocks(contextTable(1, 1, QByteArray(1, 9) + "ctx")) << false;
        QTest::newRow("context chain without its end")
            << withBlocks(contextTable(1, 1, QByteArray(1, 3) + "ctx")) << false;
        const QByteArray source = field(TagSourceText, 5, "Hello");
        const QByteArray context = field(TagContext, 3, "ctx");
        const QByteArray translation = field(TagTranslation, 2, QByteArray("\0x", 2));
        const QByteArray message = translation + source + context + char(TagEnd);
        QTest::newRow("sound message") << withMessage(message) << true;
        QTest::newRow("two entries, one message") << qmFile(helloAt(0) + helloAt(0), message) << true;
        QTest::newRow("hash table of 12 bytes") << qmFile(helloAt(0) + QByteArray(4, 0), message) << false;
        QTest::newRow("message offset past the block") << qmFile(helloAt(0) + helloAt(40), message) << false;
        QTest::newRow("hash table without messages") << qmFile(helloAt(0), QByteArray()) << false;
        QTest::newRow("null translation, as lrelease writes it")
            << withMessage(field(TagTranslation, 0xffffffffu) + translation + source + char(TagEnd)) << true;
        QTest::newRow("message without its end") << withMessage(translation + source + context) << true;
        QTest::newRow("source text past the block") << withMessage(translation + field(TagSourceText, 500, "Hello")) << false;
        QTest::newRow("translation length below zero")
            << withMessage(field(TagTranslation, 0x80000000u, "xx") + source + char(TagEnd)) << false;
        QTest::newRow("length cut short") << withMessage(translation + source + QByteArray(1, TagContext) + "ab") << false;
        QTest::newRow("empty comment at the end") << withMessage(translation + source + field(TagComment, 0)) << false;
        QTest::newRow("empty comment") << withMessage(translation + field(TagComment, 0) + source + char(TagEnd)) << true;
        QTest::newRow("obsolete field past the end") << withMessage(translation + source + char(TagObsolete1) + "ab") << false;
    }

    void untrustworthyData()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, loads);
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("good"), engine.toScriptValue(translationData()));
        engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(data));
        QCOMPARE(eval(engine, "var tr = new QTranslator(); tr.load(good, 1000) && tr.load(qm, qm.size())").toBool(),
                 loads);
        QCOMPARE(eval(engine, "tr.isEmpty()").toBool(), !loads);
        QTranslator *tr = translatorOf(eval(engine, "tr"));
        QVERIFY(tr);
        // What loaded is safe to look up, matching or not.
        tr->translate("ctx", "Hello");
        tr->translate("ctx", "Hello", "comment", 2);
        tr->translate("other", "Hello");
        tr->translate("", "");

        // The same bytes from a file, which QtCore finds by its own search.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("data_fr.qm")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.close();
        engine.globalObject().setProperty(QStringLiteral("dir"), dir.path());
        QCOMPARE(eval(engine, "var f = new QTranslator(); f.load(good, 1000) && f.load('data_fr_CA', dir)").toBool(),
                 loads);
        QCOMPARE(eval(engine, "f.isEmpty()").toBool(), !loads);
        if (loads)
            QCOMPARE(translatorOf(eval(engine, "f"))->translate("ctx", "Hello"), tr->translate("ctx", "Hello"));
    }

    void soundContextsTranslate()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const QByteArray chain = QByteArray(1, 3) + "ctx" + QByteArray(1, 0);
        engine.globalObject().setProperty(QStringLiteral("qm"),
                                          engine.toScriptValue(withBlocks(contextTable(1, 1, chain))));
        QCOMPARE(eval(engine, "var tr = new QTranslator(); tr.load(qm, qm.size())").toBool(), true);
        QTranslator *tr = translatorOf(eval(engine, "tr"));
        QCOMPARE(tr->translate("ctx", "Hello"), QStringLiteral("Bonjour"));
        QCOMPARE(tr->translate("other", "Hello"), QString());
    }

    // QtCore loads the files a .qm file names as dependencies, and follows a cycle of them until
    // the stack ends; each dependency passes the same checks.
    void dependencies()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        auto write = [&dir](const char *name, const QByteArray &data) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(data);
        };
        write("base_fr.qm", translationData());
        write("meta_fr.qm", magicNumber() + ::dependencies({QStringLiteral("base_fr")}));
        write("self_fr.qm", magicNumber() + ::dependencies({QStringLiteral("self_fr")}));
        write("ping_fr.qm", magicNumber() + ::dependencies({QStringLiteral("pong_fr")}));
        write("pong_fr.qm", magicNumber() + ::dependencies({QStringLiteral("base_fr"), QStringLiteral("ping_fr")}));
        write("bad_fr.qm", withBlocks(be16(0)));
        write("usesbad_fr.qm", magicNumber() + ::dependencies({QStringLiteral("base_fr"), QStringLiteral("bad_fr")}));
        write("twice_fr.qm", magicNumber() + ::dependencies({QStringLiteral("meta_fr"), QStringLiteral("base_fr"),
                                                              QStringLiteral("meta_fr")}));
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("dir"), dir.path());
        QCOMPARE(eval(engine, "var meta = new QTranslator(); meta.load('meta_fr', dir)").toBool(), true);
        QCOMPARE(translatorOf(eval(engine, "meta"))->translate("ctx", "Hello"), QStringLiteral("Bonjour"));
        QCOMPARE(eval(engine, "new QTranslator().load('twice_fr', dir)").toBool(), true);
        QCOMPARE(eval(engine, "new QTranslator().load('self_fr', dir)").toBool(), false);
        QCOMPARE(eval(engine, "new QTranslator().load('ping_fr', dir)").toBool(), false);
        QCOMPARE(eval(engine, "new QTranslator().load('usesbad_fr', dir)").toBool(), false);
        QCOMPARE(eval(engine, "new QTranslator().load('missing_fr', dir)").toBool(), false);
        // Data from memory finds its dependencies from the directory QtCore is given: none.
        engine.globalObject().setProperty(QStringLiteral("qm"),
                                          engine.toScriptValue(magicNumber() + ::dependencies({dir.filePath(QStringLiteral("self_fr"))})));
        QCOMPARE(eval(engine, "new QTranslator().load(qm, qm.size())").toBool(), false);
        engine.globalObject().setProperty(QStringLiteral("qm"),
                                          engine.toScriptValue(magicNumber() + ::dependencies({dir.filePath(QStringLiteral("meta_fr"))})));
        QCOMPARE(eval(engine, "new QTranslator().load(qm, qm.size())").toBool(), false);
    }

    // Every cut and many corruptions of sound data load or fail, and what loads translates.
    void truncatedAndCorruptData()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        const QByteArray chain = QByteArray(1, 3) + "ctx" + QByteArray(1, 0);
        const QByteArray data = withBlocks(contextTable(2, 1, chain));
        QList<QByteArray> variants;
        for (int cut = 0; cut <= data.size(); ++cut)
            variants.append(data.left(cut));
        quint32 state = 12345;
        for (int i = 0; i < 2000; ++i) {
            QByteArray d = data;
            for (int flips = 0; flips < 1 + i % 3; ++flips) {
                state = state * 1103515245u + 12345u;
                d[int((state >> 8) % quint32(d.size()))] = char(state >> 24);
            }
            variants.append(d);
        }
        QTranslator *tr = translatorOf(eval(engine, "var tr = new QTranslator(); tr"));
        QVERIFY(tr);
        for (const QByteArray &d : qAsConst(variants)) {
            engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(d));
            if (eval(engine, "tr.load(qm, qm.size())").toBool()) {
                tr->translate("ctx", "Hello");
                tr->translate("ctx", "Hello", "c", 1);
                tr->translate("x", "y");
            }
        }
    }

    // Qt's own translation catalogues, where installed, load as QtCore alone loads them.
    void realCatalogues()
    {
        const QString dir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
        const QStringList names = QDir(dir).entryList({QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
        if (names.isEmpty())
            QSKIP("no translation catalogues installed");
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("dir"), dir);
        int loaded = 0;
        for (const QString &name : names) {
            const QString base = QFileInfo(name).completeBaseName();
            QTranslator native;
            const bool expected = native.load(base, dir);
            engine.globalObject().setProperty(QStringLiteral("name"), base);
            QVERIFY2(eval(engine, "var tr = new QTranslator(); tr.load(name, dir)").toBool() == expected,
                     qPrintable(name));
            loaded += expected;
        }
        QVERIFY(loaded > 0);
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

    // With UnicodeUTF8 a script's texts reach QtCore as UTF-8: untranslated, they come back as
    // given; a translator finds sources lrelease keyed in UTF-8, through a script override too.
    // Without it they are Latin-1 bytes, read through the codec for tr.
    void translateTakesUtf8Texts()
    {
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(
            QStringLiteral("qm"),
            engine.toScriptValue(messagesData({{QByteArray("caf\xc3\xa9"), QStringLiteral("coffee")},
                                              {QByteArray("\xe6\xb8\xac\xe8\xa9\xa6"), QStringLiteral("test")}})));
        const QString calls = QStringLiteral(
            "var U = QCoreApplication.UnicodeUTF8;"
            "[QCoreApplication.translate('ctx', 'caf\\u00e9', '', U),"
            " QCoreApplication.translate('ctx', '\\u6e2c\\u8a66', '', U),"
            " QCoreApplication.translate('ctx', '%n caf\\u00e9', '', U, 2),"
            " QCoreApplication.translate('ctx', 'caf\\u00e9'),"
            " QCoreApplication.translate('ctx', 'caf\\u00e9', '', QCoreApplication.CodecForTr)].join('|')");
        const QString cafe = QString::fromUtf8("caf\xc3\xa9");
        QCOMPARE(eval(engine, calls).toString(),
                 QStringList({cafe, QString::fromUtf8("\xe6\xb8\xac\xe8\xa9\xa6"), QStringLiteral("2 ") + cafe,
                              cafe, cafe}).join(QLatin1Char('|')));
        QCOMPARE(eval(engine, "var real = new QTranslator(); real.load(qm, qm.size())").toBool(), true);
        eval(engine, "QCoreApplication.installTranslator(real)");
        QCOMPARE(eval(engine, calls).toString(), QStringLiteral("coffee|test|2 caf\u00e9|coffee|coffee"));
        eval(engine, "QCoreApplication.removeTranslator(real);"
                     "var tr = new QTranslator();"
                     "tr.translate = function(c, s, d) { return '[' + real.translate(c, s, d) + ']'; };"
                     "QCoreApplication.installTranslator(tr)");
        QCOMPARE(eval(engine, calls).toString(), QStringLiteral("[coffee]|[test]|[]|[coffee]|[coffee]"));
        // Through a codec for tr the texts reach QtCore in it: found, or back as given.
        const QString viaCodec = QStringLiteral(
            "QTextCodec.setCodecForTr(QTextCodec.codecForMib(106));"
            "var found = [QCoreApplication.translate('ctx', 'caf\\u00e9'),"
            "             QCoreApplication.translate('ctx', '\\u6e2c\\u8a66'),"
            "             QCoreApplication.translate('ctx', '\\u20ac 5')].join('|');"
            "QTextCodec.setCodecForTr(null); found");
        QCOMPARE(eval(engine, viaCodec).toString(), QStringLiteral("[coffee]|[test]|[]"));
        eval(engine, "QCoreApplication.removeTranslator(tr); QCoreApplication.installTranslator(real)");
        QCOMPARE(eval(engine, viaCodec).toString(), QStringLiteral("coffee|test|\u20ac 5"));
        eval(engine, "QCoreApplication.removeTranslator(real)");
    }

    // Translators the script dropped are held while a translation runs (a collection then would
    // hang in QTranslator's destructor: test_inuse.js) and go after it; an installed one stays
    // until it is removed. Some of them have children and had their override looked up (past
    // the children) before.
    void droppedTranslatorsGoAfterTheTranslation()
    {
        const Watchdog watchdog("translation", std::chrono::seconds(20));
        QScriptEngine engine;
        engine.importExtension(QStringLiteral("qt.core"));
        QList<QPointer<QObject>> dropped;
        QScriptValue list = eval(engine,
            "(function() {"
            "  var made = [];"
            "  for (var i = 0; i < 20; ++i) made.push(new QTranslator());"
            "  made.slice(0, 5).forEach(function(t) {"
            "    for (var k = 0; k < 4; ++k) new QObject(t);"
            "    t.translate = function() { return 'looked up'; };"
            "    QCoreApplication.installTranslator(t);"
            "    QCoreApplication.translate('c', 'text');"
            "    QCoreApplication.removeTranslator(t);"
            "  });"
            "  return made;"
            "})()");
        // Installed, it stays (with what its override reaches): it reaches none of them.
        list.setProperty(20, eval(engine,
            "(function() {"
            "  var t = new QTranslator();"
            "  t.translate = function() { gc(); return 'translated'; };"
            "  QCoreApplication.installTranslator(t);"
            "  return t;"
            "})()"));
        for (int i = 0; i < 21; ++i)
            dropped << list.property(quint32(i)).toQObject();
        QVERIFY(dropped.last());
        list = QScriptValue();
        QCOMPARE(QCoreApplication::translate("c", "text"), QStringLiteral("translated"));
        for (const QPointer<QObject> &p : dropped)
            QVERIFY(p);
        auto collect = [&engine] {
            for (int round = 0; round < 5; ++round) {
                engine.collectGarbage();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        };
        collect();
        int left = 0;
        for (int i = 0; i < 20; ++i)
            left += dropped.at(i) ? 1 : 0;
        QVERIFY2(left <= 2, qPrintable(QString::number(left)));   // the stack is scanned conservatively
        QVERIFY(dropped.last());
        QCOMPARE(QCoreApplication::translate("c", "text"), QStringLiteral("translated"));
        QCoreApplication::removeTranslator(qobject_cast<QTranslator *>(dropped.last().data()));
    }

    // A translator a script made under the host's object is the host's: the engine's end leaves
    // it there, installed and translating natively.
    void hostParentKeepsItsTranslator()
    {
        QObject owner;
        QPointer<QTranslator> kept;
        {
            QScriptEngine engine;
            engine.importExtension(QStringLiteral("qt.core"));
            engine.globalObject().setProperty(QStringLiteral("owner"), engine.newQObject(&owner));
            engine.globalObject().setProperty(QStringLiteral("qm"), engine.toScriptValue(translationData()));
            kept = translatorOf(eval(engine, "var t = new QTranslator(owner); t.load(qm, qm.size());"
                                             "QCoreApplication.installTranslator(t); t"));
            QVERIFY(kept);
        }
        QVERIFY(kept);
        QCOMPARE(kept->parent(), &owner);
        QCOMPARE(QCoreApplication::translate("ctx", "Hello"), QStringLiteral("Bonjour"));
        QCoreApplication::removeTranslator(kept);
    }
};

QTEST_GUILESS_MAIN(tst_Translator)
#include "tst_translator.moc"
