// Integer geometry through the bindings against QtCore's own results: where nothing
// overflows, the bindings' overflow-free arithmetic must give exactly what QtCore gives.
#include <QtCore/QCoreApplication>
#include <QtCore/QRandomGenerator>
#include <QtCore/QRect>
#include <QtScript/QScriptEngine>
#include <QtTest/QtTest>

class tst_Geometry : public QObject
{
    Q_OBJECT

private:
    QScriptEngine *engine = nullptr;
    QRandomGenerator random{20240611};

    int small(int low, int high) { return low + int(random.bounded(quint32(high - low + 1))); }
    QRect anyRect() { return QRect(small(-6, 6), small(-6, 6), small(-4, 6), small(-4, 6)); }
    QPoint anyPoint() { return QPoint(small(-8, 8), small(-8, 8)); }
    QScriptValue value(const QVariant &v) { return engine->newVariant(v); }
    QScriptValue call(const char *function, const QScriptValueList &args)
    {
        QScriptValue f = engine->evaluate(QString::fromLatin1(function));
        const QScriptValue result = f.call(QScriptValue(), args);
        if (engine->hasUncaughtException())
            qFatal("%s", qPrintable(engine->uncaughtException().toString()));
        return result;
    }
    static QRect rect(const QScriptValue &v) { return v.toVariant().toRect(); }

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        engine = new QScriptEngine(this);
        engine->importExtension(QStringLiteral("qt.core"));
        QVERIFY(!engine->hasUncaughtException());
        QVERIFY(engine->globalObject().property(QStringLiteral("QRect")).isFunction());
    }

    void rectangleTestsAndSetOperations()
    {
        const char *f = "(function(a, b, p, proper) { return [a.normalized(), a.contains(p, proper),"
                        " a.contains(b, proper), a.intersects(b), a.intersected(b), a.united(b),"
                        " a.isNull(), a.isEmpty(), a.isValid(), a.width(), a.height(), a.center()]; })";
        for (int i = 0; i < 3000; ++i) {
            const QRect a = anyRect(), b = i % 7 ? anyRect() : QRect();
            const QPoint p = anyPoint();
            const bool proper = i % 2;
            const QScriptValue r = call(f, {value(a), value(b), value(p), QScriptValue(proper)});
            const QString what = QStringLiteral("a=(%1,%2 %3x%4) b=(%5,%6 %7x%8)")
                .arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height())
                .arg(b.x()).arg(b.y()).arg(b.width()).arg(b.height());
            QVERIFY2(rect(r.property(0)) == a.normalized(), qPrintable(what));
            QVERIFY2(r.property(1).toBool() == a.contains(p, proper), qPrintable(what));
            QVERIFY2(r.property(2).toBool() == a.contains(b, proper), qPrintable(what));
            QVERIFY2(r.property(3).toBool() == a.intersects(b), qPrintable(what));
            QVERIFY2(rect(r.property(4)) == a.intersected(b), qPrintable(what));
            QVERIFY2(rect(r.property(5)) == a.united(b), qPrintable(what));
            QCOMPARE(r.property(6).toBool(), a.isNull());
            QCOMPARE(r.property(7).toBool(), a.isEmpty());
            QCOMPARE(r.property(8).toBool(), a.isValid());
            QCOMPARE(r.property(9).toInt32(), a.width());
            QCOMPARE(r.property(10).toInt32(), a.height());
            QCOMPARE(r.property(11).toVariant().toPoint(), a.center());
        }
    }

    void rectangleMoves()
    {
        const char *f = "(function(a, p, n) { var r = [];"
                        " var m = ['moveLeft', 'moveRight', 'moveTop', 'moveBottom', 'setWidth', 'setHeight'];"
                        " m.forEach(function(name) { var c = new QRect(a.x(), a.y(), a.width(), a.height());"
                        "   c[name](n); r.push(c); });"
                        " m = ['moveCenter', 'moveTopLeft', 'moveTopRight', 'moveBottomLeft', 'moveBottomRight', 'moveTo', 'translate'];"
                        " m.forEach(function(name) { var c = new QRect(a.x(), a.y(), a.width(), a.height());"
                        "   c[name](p); r.push(c); });"
                        " var c = new QRect(a.x(), a.y(), a.width(), a.height()); c.setSize(new QSize(p.x(), p.y())); r.push(c);"
                        " r.push(a.adjusted(n, p.x(), p.y(), -n)); r.push(a.translated(p.x(), n));"
                        " r.push(new QRect(p, new QSize(n, n))); return r; })";
        for (int i = 0; i < 2000; ++i) {
            const QRect a = anyRect();
            const QPoint p = anyPoint();
            const int n = small(-8, 8);
            const QScriptValue r = call(f, {value(a), value(p), QScriptValue(n)});
            QRect e[18] = {a, a, a, a, a, a, a, a, a, a, a, a, a, a};
            e[0].moveLeft(n); e[1].moveRight(n); e[2].moveTop(n); e[3].moveBottom(n);
            e[4].setWidth(n); e[5].setHeight(n);
            e[6].moveCenter(p); e[7].moveTopLeft(p); e[8].moveTopRight(p);
            e[9].moveBottomLeft(p); e[10].moveBottomRight(p); e[11].moveTo(p); e[12].translate(p);
            e[13].setSize(QSize(p.x(), p.y()));
            e[14] = a.adjusted(n, p.x(), p.y(), -n);
            e[15] = a.translated(p.x(), n);
            e[16] = QRect(p, QSize(n, n));
            for (int k = 0; k < 17; ++k)
                QVERIFY2(rect(r.property(quint32(k))) == e[k], qPrintable(QString::number(k)));
        }
    }

    void sizesAndPoints()
    {
        const char *f = "(function(s, t, m, p, c) { var a = new QSize(s.width(), s.height()); a.scale(t, m);"
                        " return [a, new QPoint(p.x(), p.y()).operator_multiply_assign(c),"
                        " new QPoint(p.x(), p.y()).operator_divide_assign(c), new QPointF(c * 7, -c * 7).toPoint()]; })";
        const Qt::AspectRatioMode modes[] = {Qt::IgnoreAspectRatio, Qt::KeepAspectRatio,
                                             Qt::KeepAspectRatioByExpanding};
        const QScriptValue qt = engine->globalObject().property(QStringLiteral("Qt"));
        const char *modeKeys[] = {"IgnoreAspectRatio", "KeepAspectRatio", "KeepAspectRatioByExpanding"};
        for (int i = 0; i < 2000; ++i) {
            const QSize s(small(-50, 50), small(-50, 50)), t(small(-50, 50), small(-50, 50));
            const int mode = i % 3;
            const QPoint p = anyPoint();
            const double c = small(1, 40) / 8.0 * (i % 2 ? 1 : -1);
            const QScriptValue r = call(f, {value(s), value(t), qt.property(QLatin1String(modeKeys[mode])),
                                            value(p), QScriptValue(c)});
            QCOMPARE(r.property(0).toVariant().toSize(), s.scaled(t, modes[mode]));
            QCOMPARE(r.property(1).toVariant().toPoint(), p * c);
            QCOMPARE(r.property(2).toVariant().toPoint(), p / c);
            QCOMPARE(r.property(3).toVariant().toPoint(), QPointF(c * 7, -c * 7).toPoint());
        }
    }

    void alignedRectangles()
    {
        const char *f = "(function(x, y, w, h) { return new QRectF(x, y, w, h).toAlignedRect(); })";
        for (int i = 0; i < 2000; ++i) {
            const QRectF r(small(-80, 80) / 8.0, small(-80, 80) / 8.0, small(-80, 80) / 8.0,
                           small(-80, 80) / 8.0);
            const QScriptValue v = call(f, {QScriptValue(r.x()), QScriptValue(r.y()),
                                            QScriptValue(r.width()), QScriptValue(r.height())});
            QCOMPARE(rect(v), r.toAlignedRect());
        }
    }
};

QTEST_MAIN(tst_Geometry)
#include "tst_geometry.moc"
