// What scripts cannot see of the file-system classes: the bytes of a settings file, symbolic
// links, native files handed to QFileInfo, and values QtCore reports natively.
#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLibrary>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

class tst_Fs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir scratch;

    QScriptValue eval(QScriptEngine &engine, const QString &code)
    {
        const QScriptValue v = engine.evaluate(code);
        if (engine.hasUncaughtException())
            qWarning("%s", qPrintable(engine.uncaughtException().toString()));
        return v;
    }
    void prepare(QScriptEngine &engine)
    {
        engine.importExtension(QStringLiteral("qt.core"));
        engine.globalObject().setProperty(QStringLiteral("dir"), scratch.path());
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scratch.isValid());
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
    }

    void iniTextAfterSync()
    {
        QScriptEngine engine;
        prepare(engine);
        eval(engine, "QSettings.setPath(QSettings.IniFormat, QSettings.UserScope, dir + '/user');"
                     "var s = new QSettings(QSettings.IniFormat, QSettings.UserScope, 'org', 'app');"
                     "s.setValue('name', 'qt core');"
                     "s.setValue('count', 3);"
                     "s.setValue('ratio', 0.5);"
                     "s.setValue('on', true);"
                     "s.setValue('list', ['a', 'b']);"
                     "s.beginGroup('window');"
                     "s.setValue('title', 'a=b;c');"
                     "s.setValue('width', 640);"
                     "s.endGroup();"
                     "s.beginWriteArray('files');"
                     "s.setArrayIndex(0); s.setValue('path', '/x');"
                     "s.setArrayIndex(1); s.setValue('path', '/y');"
                     "s.endArray();"
                     "s.sync();");
        const QString path = scratch.path() + QStringLiteral("/user/org/app.ini");
        QCOMPARE(eval(engine, "s.fileName()").toString(), path);
        QCOMPARE(read(path), QByteArray("[General]\n"
                                        "count=3\n"
                                        "list=a, b\n"
                                        "name=qt core\n"
                                        "on=true\n"
                                        "ratio=0.5\n"
                                        "\n"
                                        "[files]\n"
                                        "1\\path=/x\n"
                                        "2\\path=/y\n"
                                        "size=2\n"
                                        "\n"
                                        "[window]\n"
                                        "title=\"a=b;c\"\n"
                                        "width=640\n"));

        // Removing a key and syncing rewrites the file.
        eval(engine, "s.remove('window'); s.remove('files'); s.remove('list'); s.sync();");
        QCOMPARE(read(path), QByteArray("[General]\ncount=3\nname=qt core\non=true\nratio=0.5\n"));

        // QtCore reads what the script wrote.
        QSettings native(path, QSettings::IniFormat);
        QCOMPARE(native.value(QStringLiteral("name")).toString(), QStringLiteral("qt core"));
        QCOMPARE(native.value(QStringLiteral("ratio")).toDouble(), 0.5);
    }

    void buildKeyIsTheVerificationKey()
    {
        QLibrary library(QStringLiteral(QTCORE_PLUGIN_FILE));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        auto data = reinterpret_cast<const char *(*)()>(library.resolve("qt_plugin_query_verification_data"));
        QVERIFY(data);
        const QList<QByteArray> lines = QByteArray(data()).split('\n');
        QScriptEngine engine;
        prepare(engine);
        QCOMPARE(QByteArray("buildkey=") + eval(engine, "QLibraryInfo.buildKey()").toString().toLatin1(),
                 lines.value(3));
        QCOMPARE(eval(engine, "QLibraryInfo.location(QLibraryInfo.PluginsPath)").toString(),
                 QLibraryInfo::location(QLibraryInfo::PluginsPath));
        QCOMPARE(eval(engine, "QLibraryInfo.location(QLibraryInfo.SettingsPath)").toString(),
                 QLibraryInfo::location(QLibraryInfo::SettingsPath));
    }

    void symbolicLinksAndTimes()
    {
        const QString target = scratch.path() + QStringLiteral("/target.txt");
        const QString link = scratch.path() + QStringLiteral("/link.txt");
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12345");
        file.close();
        QVERIFY(QFile::link(target, link));
        QScriptEngine engine;
        prepare(engine);
        eval(engine, "var l = new QFileInfo(dir + '/link.txt'), t = new QFileInfo(dir + '/target.txt');");
        QCOMPARE(eval(engine, "l.isSymLink()").toBool(), true);
        QCOMPARE(eval(engine, "l.symLinkTarget()").toString(), target);
        QCOMPARE(eval(engine, "t.symLinkTarget()").toString(), QString());
        QCOMPARE(eval(engine, "l.size()").toInt32(), 5);
        QCOMPARE(eval(engine, "l.canonicalFilePath()").toString(), QFileInfo(target).canonicalFilePath());
        QCOMPARE(eval(engine, "t.created().getTime()").toNumber(),
                 double(QFileInfo(target).created().toMSecsSinceEpoch()));
        QCOMPARE(eval(engine, "t.lastModified().getTime()").toNumber(),
                 double(QFileInfo(target).lastModified().toMSecsSinceEpoch()));
        // NoSymLinks leaves the link out of a walk.
        eval(engine, "var names = []; var it = new QDirIterator(dir, ['*.txt'], "
                     "QDir.Filters(QDir.Files, QDir.NoSymLinks));"
                     "while (it.hasNext()) { it.next(); names.push(it.fileName()); }");
        QCOMPARE(eval(engine, "names.join()").toString(), QStringLiteral("target.txt"));
        QVERIFY(QFile::remove(link));
        QVERIFY(QFile::remove(target));
    }

    void fileObjectsDescribeTheirFile()
    {
        const QString name = scratch.path() + QStringLiteral("/object.txt");
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.flush();
        QBuffer buffer;
        QScriptEngine engine;
        prepare(engine);
        engine.globalObject().setProperty(QStringLiteral("file"), engine.newQObject(&file));
        engine.globalObject().setProperty(QStringLiteral("buffer"), engine.newQObject(&buffer));
        QCOMPARE(eval(engine, "new QFileInfo(file).filePath()").toString(), name);
        QCOMPARE(eval(engine, "new QFileInfo(file).size()").toInt32(), 3);
        QCOMPARE(eval(engine, "var i = new QFileInfo(); i.setFile(file); i.fileName()").toString(),
                 QStringLiteral("object.txt"));
        eval(engine, "try { new QFileInfo(buffer); } catch (e) { var refused = e.message; }");
        QVERIFY(eval(engine, "refused").toString().startsWith(
            QStringLiteral("QFileInfo::QFileInfo(): could not find a function match")));
        eval(engine, "try { i.setFile(buffer); } catch (e) { var refusedSet = e.message; }");
        QVERIFY(eval(engine, "refusedSet").toString().startsWith(
            QStringLiteral("QFileInfo::setFile(): could not find a function match")));
        file.close();
        QVERIFY(file.remove());
    }
};

QTEST_GUILESS_MAIN(tst_Fs)
#include "tst_fs.moc"
