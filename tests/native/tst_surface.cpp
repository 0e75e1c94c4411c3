// The part of the surface a script cannot see, against tests/surface/expected.js: the meta-type
// names every installed class registers, the method tags of its functions and the property flags
// of its functions, enumeration classes and value objects. Classes not installed are skipped
// (the script surface test decides whether all must be installed).
#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QMetaType>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValueIterator>
#include <QtTest/QtTest>

class tst_Surface : public QObject
{
    Q_OBJECT

private:
    QScriptEngine *engine = nullptr;
    QScriptValue surface;

    static QStringList strings(const QScriptValue &array)
    {
        QStringList out;
        const quint32 n = array.property(QStringLiteral("length")).toUInt32();
        for (quint32 i = 0; i < n; ++i)
            out << array.property(i).toString();
        return out;
    }

    // One data row per class of the surface; a class the plugin does not install is skipped.
    void classRows()
    {
        QTest::addColumn<int>("row");
        const quint32 n = surface.property(QStringLiteral("length")).toUInt32();
        for (quint32 i = 0; i < n; ++i)
            QTest::newRow(qPrintable(entry(int(i)).property(QStringLiteral("name")).toString())) << int(i);
    }

    QScriptValue entry(int row) { return surface.property(quint32(row)); }
    static int typeId(const QString &name) { return QMetaType::type(name.toLatin1().constData()); }

    // The class object of a surface entry, or an invalid value when it is not installed.
    QScriptValue classObject(const QScriptValue &c)
    {
        const QString name = c.property(QStringLiteral("name")).toString();
        const QScriptValue v = engine->globalObject().property(name);
        return v.isFunction() ? v : QScriptValue();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        engine = new QScriptEngine(this);
        engine->importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine->hasUncaughtException());
        QFile file(QStringLiteral(QTCORE_SURFACE_FILE));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        engine->evaluate(QString::fromUtf8(file.readAll()), file.fileName());
        QVERIFY(!engine->hasUncaughtException());
        surface = engine->globalObject().property(QStringLiteral("SURFACE"));
        QVERIFY(surface.isArray());
    }

    void metaTypes_data() { classRows(); }
    void metaTypes()
    {
        QFETCH(int, row);
        const QScriptValue c = entry(row);
        if (!classObject(c).isValid())
            QSKIP("not installed");
        for (const QString &name : strings(c.property(QStringLiteral("metaTypes")))) {
            QVERIFY2(typeId(name) != QMetaType::UnknownType, qPrintable(name));
        }
    }

    void functions_data() { classRows(); }
    void functions()
    {
        QFETCH(int, row);
        const QScriptValue c = entry(row), C = classObject(c);
        if (!C.isValid())
            QSKIP("not installed");
        QCOMPARE(C.data().toUInt32(), 0xBABE0000u);
        const QScriptValue fns = c.property(QStringLiteral("functions"));
        const int statics = c.property(QStringLiteral("statics")).toInt32();
        const int count = fns.property(QStringLiteral("length")).toInt32();
        const QScriptValue proto = C.property(QStringLiteral("prototype"));
        for (int i = 1; i < count; ++i) {
            const QString name = fns.property(quint32(i)).property(0).toString();
            const bool isStatic = i <= statics;
            const QScriptValue holder = isStatic ? C : proto;
            const QScriptValue fn = holder.property(name);
            QVERIFY2(fn.isFunction(), qPrintable(name));
            const uint index = uint(isStatic ? i : i - statics - 1);
            QVERIFY2(fn.data().toUInt32() == 0xBABE0000u + index, qPrintable(name));
            QVERIFY2(holder.propertyFlags(name) == QScriptValue::SkipInEnumeration, qPrintable(name));
        }
    }

    void enumerations_data() { classRows(); }
    void enumerations()
    {
        QFETCH(int, row);
        const QScriptValue c = entry(row), C = classObject(c);
        if (!C.isValid())
            QSKIP("not installed");
        const QScriptValue enums = c.property(QStringLiteral("enums"));
        const quint32 n = enums.property(QStringLiteral("length")).toUInt32();
        for (quint32 i = 0; i < n; ++i) {
            const QScriptValue e = enums.property(i);
            const QString name = e.property(QStringLiteral("name")).toString();
            const bool flags = e.property(QStringLiteral("kind")).toString() == QLatin1String("flags");
            QVERIFY2(C.propertyFlags(name) == 0, qPrintable(name));
            const QScriptValue proto = C.property(name).property(QStringLiteral("prototype"));
            QStringList pieces{QStringLiteral("valueOf"), QStringLiteral("toString")};
            if (flags)
                pieces << QStringLiteral("equals");
            for (const QString &piece : pieces) {
                const QByteArray what = (name + QLatin1Char('.') + piece).toLatin1();
                QVERIFY2(proto.property(piece).isFunction(), what);
                QVERIFY2(proto.propertyFlags(piece) == QScriptValue::SkipInEnumeration, what);
                QVERIFY2(!proto.property(piece).data().isValid(), what);
            }
            if (flags)
                continue;
            // Value objects: variants of the enumeration's meta type, read-only and undeletable.
            const int type = typeId(e.property(QStringLiteral("metaType")).toString());
            const QScriptValue keys = e.property(QStringLiteral("keys"));
            const quint32 k = keys.property(QStringLiteral("length")).toUInt32();
            for (quint32 j = 0; j < k; ++j) {
                const QString key = keys.property(j).property(0).toString();
                const QScriptValue v = C.property(key);
                QVERIFY2(v.isVariant() && v.toVariant().userType() == type, qPrintable(key));
                QVERIFY2(C.propertyFlags(key) == (QScriptValue::ReadOnly | QScriptValue::Undeletable),
                         qPrintable(key));
            }
        }
    }

    void cleanupTestCase() { delete engine; }
};

QTEST_GUILESS_MAIN(tst_Surface)
#include "tst_surface.moc"
