// The keys of the global Qt against Qt 5.15's own enumerators, and the conversions of its types
// as native code sees them.
#include <QtCore/QCoreApplication>
#include <QtCore/QMetaEnum>
#include <QtScript/QScriptEngine>
#include <QtScript/QScriptValueIterator>
#include <QtTest/QtTest>

// Keys whose Qt 4.4 value scripts keep although Qt 5.15 has no enumerator of the name, or gives
// it another value: the tables hold Qt 4.4's numbers on purpose.
static const QHash<QByteArray, const char *> &keptFromQt4()
{
    static const QHash<QByteArray, const char *> kept = {
        {"AnchorName", "Qt 5 dropped AnchorAttribute"},
        {"AnchorHref", "Qt 5 dropped AnchorAttribute"},
        {"UniteClip", "dropped"},
        {"AutoCompatConnection", "dropped"},
        {"LogText", "renamed MarkdownText"},
        {"WA_PaintOutsidePaintEvent", "dropped"},
        {"WindowOkButtonHint", "dropped"},
        {"WindowCancelButtonHint", "dropped"},
        {"UserRole", "256 in Qt 5"},
        {"ImMicroFocus", "Qt 5 made the queries bits"},
        {"ImFont", "Qt 5 made the queries bits"},
        {"ImCursorPosition", "Qt 5 made the queries bits"},
        {"ImSurroundingText", "Qt 5 made the queries bits"},
        {"ImCurrentSelection", "Qt 5 made the queries bits"},
        {"BlockingQueuedConnection", "3 in Qt 5, after AutoCompatConnection went"},
        {"AA_AttributeCount", "Qt 5 added attributes"},
        {"WA_AttributeCount", "Qt 5 added attributes"},
        {"AlignVertical_Mask", "Qt 5 added AlignBaseline"},
        {"MouseButtonMask", "Qt 5 added buttons"},
    };
    return kept;
}

// Enumerators Qt 5 keeps out of its meta-object (whole enumerations, and MPenStyle, which is
// hidden from moc): their values as C++ constants.
static const QHash<QByteArray, int> &outsideMetaObject()
{
    static const QHash<QByteArray, int> values = {
        {"WhiteSpaceModeUndefined", Qt::WhiteSpaceModeUndefined},
        {"WhiteSpaceNormal", Qt::WhiteSpaceNormal},
        {"WhiteSpacePre", Qt::WhiteSpacePre},
        {"WhiteSpaceNoWrap", Qt::WhiteSpaceNoWrap},
        {"LowEventPriority", Qt::LowEventPriority},
        {"NormalEventPriority", Qt::NormalEventPriority},
        {"HighEventPriority", Qt::HighEventPriority},
        {"UI_General", Qt::UI_General},
        {"UI_AnimateMenu", Qt::UI_AnimateMenu},
        {"UI_FadeMenu", Qt::UI_FadeMenu},
        {"UI_AnimateCombo", Qt::UI_AnimateCombo},
        {"UI_AnimateTooltip", Qt::UI_AnimateTooltip},
        {"UI_FadeTooltip", Qt::UI_FadeTooltip},
        {"UI_AnimateToolBox", Qt::UI_AnimateToolBox},
        {"NToolBarAreas", Qt::NToolBarAreas},
        {"NDockWidgetAreas", Qt::NDockWidgetAreas},
        {"NoSection", Qt::NoSection},
        {"LeftSection", Qt::LeftSection},
        {"TopLeftSection", Qt::TopLeftSection},
        {"TopSection", Qt::TopSection},
        {"TopRightSection", Qt::TopRightSection},
        {"RightSection", Qt::RightSection},
        {"BottomRightSection", Qt::BottomRightSection},
        {"BottomSection", Qt::BottomSection},
        {"BottomLeftSection", Qt::BottomLeftSection},
        {"TitleBarArea", Qt::TitleBarArea},
        {"MODIFIER_MASK", int(Qt::MODIFIER_MASK)},
        {"UNICODE_ACCEL", Qt::UNICODE_ACCEL},
        {"SHIFT", Qt::SHIFT},
        {"CTRL", Qt::CTRL},
        {"ALT", Qt::ALT},
        {"META", Qt::META},
        {"MPenStyle", Qt::MPenStyle},
        {"ExactHit", Qt::ExactHit},
        {"FuzzyHit", Qt::FuzzyHit},
    };
    return values;
}

struct Key {
    QByteArray name;
    QByteArray type;    // meta-type name of the value object
    int value;
};

class tst_QtKeys : public QObject
{
    Q_OBJECT

private:
    QScriptEngine *engine = nullptr;

    static QScriptEngine *newEngine()
    {
        auto *e = new QScriptEngine;
        e->importExtension(QStringLiteral("qt.core"));
        return e;
    }

    QScriptValue qt() const { return engine->globalObject().property(QStringLiteral("Qt")); }

    QList<Key> keys() const
    {
        QList<Key> list;
        QScriptValueIterator it(qt());
        while (it.hasNext()) {
            it.next();
            if (it.value().isFunction() || (it.flags() & QScriptValue::SkipInEnumeration))
                continue;
            const QVariant v = it.value().toVariant();
            list.append({it.name().toLatin1(), QMetaType::typeName(v.userType()),
                         *static_cast<const int *>(v.constData())});
        }
        return list;
    }

    // Qt 5.15's enumerator of the enumeration: by its name, or the flags enumerator of it.
    static QMetaEnum qt5Enum(const QByteArray &name)
    {
        const QMetaObject &mo = *qt_getQtMetaObject();
        const int i = mo.indexOfEnumerator(name.constData());
        if (i >= 0)
            return mo.enumerator(i);
        for (int j = 0; j < mo.enumeratorCount(); ++j) {
            if (name == mo.enumerator(j).enumName())
                return mo.enumerator(j);
        }
        return QMetaEnum();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::addLibraryPath(QStringLiteral(QTCORE_PLUGIN_DIR));
        engine = newEngine();
        QVERIFY(!engine->hasUncaughtException());
        QVERIFY(qt().isFunction());
    }

    void cleanupTestCase() { delete engine; }

    void everyKeyAgainstQt5()
    {
        const QList<Key> list = keys();
        QCOMPARE(list.size(), 794);
        QStringList problems;
        QSet<QByteArray> keptSeen;
        for (const Key &k : list) {
            QVERIFY2(k.type.startsWith("Qt::"), k.name.constData());
            bool known = false;
            int qt5 = 0;
            const QMetaEnum me = qt5Enum(k.type.mid(4));
            if (me.isValid())
                qt5 = me.keyToValue(k.name.constData(), &known);
            if (!known) {
                const auto it = outsideMetaObject().constFind(k.name);
                known = it != outsideMetaObject().constEnd();
                qt5 = known ? *it : 0;
            }
            if (keptFromQt4().contains(k.name)) {
                keptSeen.insert(k.name);
                // Keep the list honest: each entry really differs.
                if (known && qt5 == k.value)
                    problems << QString::fromLatin1("%1 is the same in Qt 5").arg(k.name.constData());
            } else if (!known) {
                problems << QString::fromLatin1("%1 unknown to Qt 5").arg(k.name.constData());
            } else if (qt5 != k.value) {
                problems << QString::fromLatin1("%1: %2, Qt 5 %3").arg(k.name.constData()).arg(k.value).arg(qt5);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1String("; "))));
        QCOMPARE(keptSeen.size(), keptFromQt4().size());
    }

    void metaTypeNames()
    {
        for (const Key &k : keys())
            QCOMPARE(QMetaType::type(k.type.constData()) != QMetaType::UnknownType, true);
        QVERIFY(QMetaType::type("Qt::AnchorAttribute") != QMetaType::UnknownType);
        QCOMPARE(QMetaType::type("Qt::CursorShape"), qMetaTypeId<Qt::CursorShape>());
        QCOMPARE(QMetaType::type("QFlags<Qt::AlignmentFlag>"), qMetaTypeId<Qt::Alignment>());
        QCOMPARE(QMetaType::type("QFlags<Qt::WindowType>"), qMetaTypeId<Qt::WindowFlags>());
        QCOMPARE(QMetaType::type("QFlags<Qt::Orientation>"), qMetaTypeId<Qt::Orientations>());
        QCOMPARE(QMetaType::type("QFlags<Qt::ItemFlag>"), qMetaTypeId<Qt::ItemFlags>());
        QCOMPARE(QMetaType::type("QFlags<Qt::KeyboardModifier>"),
                 qMetaTypeId<Qt::KeyboardModifiers>());
    }

    void conversions()
    {
        const QScriptValue wait = qt().property(QStringLiteral("WaitCursor"));
        QCOMPARE(qscriptvalue_cast<Qt::CursorShape>(wait), Qt::WaitCursor);
        QVERIFY(qScriptValueFromValue(engine, Qt::WaitCursor).strictlyEquals(wait));
        // A value without a key in the tables: 19 is Qt 5's DragCopyCursor. Undefined, not the
        // invalid value, on which the engine's own conversions (properties, signals) crash.
        QVERIFY(qScriptValueFromValue(engine, Qt::CursorShape(19)).isUndefined());
        // A plain number is not an enumeration value.
        QCOMPARE(qscriptvalue_cast<Qt::CursorShape>(QScriptValue(engine, 3)), Qt::ArrowCursor);
        // A flags parameter takes a single value of its enumeration.
        const QScriptValue left = qt().property(QStringLiteral("AlignLeft"));
        QCOMPARE(qscriptvalue_cast<Qt::Alignment>(left), Qt::Alignment(Qt::AlignLeft));
        const QScriptValue f1 = qScriptValueFromValue(engine, Qt::Alignment(Qt::AlignLeft));
        const QScriptValue f2 = qScriptValueFromValue(engine, Qt::Alignment(Qt::AlignLeft));
        QVERIFY(!f1.strictlyEquals(f2));
        QCOMPARE(f1.property(QStringLiteral("toString")).call(f1).toString(),
                 QStringLiteral("AlignLeft"));
    }

    void attributeCountStaysWithThePlugin()
    {
        // Qt 4.4's AA_AttributeCount is 5, Qt 5's AA_PluginApplication.
        engine->evaluate(QStringLiteral("QCoreApplication.setAttribute(Qt.AA_AttributeCount, true)"));
        QVERIFY(!engine->hasUncaughtException());
        QVERIFY(!QCoreApplication::testAttribute(Qt::AA_PluginApplication));
        QVERIFY(engine->evaluate(QStringLiteral("QCoreApplication.testAttribute(Qt.AA_AttributeCount)"))
                    .toBool());
        engine->evaluate(QStringLiteral("QCoreApplication.setAttribute(Qt.AA_AttributeCount, false)"));
    }

    void ownerReadAnew()
    {
        QScriptEngine *e = newEngine();
        e->evaluate(QStringLiteral("var held = Qt; Qt = {};"));
        QVERIFY(qScriptValueFromValue(e, Qt::WaitCursor).isUndefined());
        e->evaluate(QStringLiteral("Qt = held;"));
        QVERIFY(qScriptValueFromValue(e, Qt::WaitCursor).isObject());
        delete e;
    }

    void secondEngine()
    {
        const int before = QMetaType::type("Qt::MatchFlag");
        QVERIFY(before != QMetaType::UnknownType);
        QScriptEngine *e = newEngine();
        const QScriptValue own = e->globalObject().property(QStringLiteral("Qt"));
        QVERIFY(own.isFunction());
        QVERIFY(own.engine() == e);
        const QScriptValue exactly = own.property(QStringLiteral("MatchExactly"));
        QCOMPARE(exactly.toVariant().userType(), before);
        const int value = 0;
        QVERIFY(qScriptValueFromValue_helper(e, before, &value).strictlyEquals(exactly));
        QVERIFY(qScriptValueFromValue_helper(engine, before, &value)
                    .strictlyEquals(qt().property(QStringLiteral("MatchExactly"))));
        delete e;
    }
};

QTEST_GUILESS_MAIN(tst_QtKeys)
#include "tst_qtkeys.moc"
