// The global Qt: a function that refuses to be called and carries the enumerations and flags
// types of namespace Qt, the value objects of their keys and their conversions. Each type is one
// row of data below; the kit's enumeration machinery builds it.
#include "plugin/enums.h"

#include "global/QtKeyTables.h"

static const char *const qtscript_Qt_function_names[] = {"Qt"};
static const char *const qtscript_Qt_function_signatures[] = {""};
static const int qtscript_Qt_function_lengths[] = {0};

static constexpr kit::ClassTables qtscript_Qt_tables =
    kit::tables("Qt", qtscript_Qt_function_names, qtscript_Qt_function_signatures,
                qtscript_Qt_function_lengths, 0, false);

#define QTSCRIPT_QT_ENUM(E, LOOKUP)                                                         \
    static constexpr kit::EnumInfo qtscript_Qt_##E = kit::enumeration<Qt::E>(              \
        "Qt", #E, qtscript_Qt_##E##_keys, qtscript_Qt_##E##_values, kit::KeyLookup::LOOKUP);
#define QTSCRIPT_QT_FLAGS(F, E)                                                             \
    static constexpr kit::FlagsInfo qtscript_Qt_##F = kit::flags<Qt::E>(qtscript_Qt_##E, #F);

// The meta-object lookups read the literal tables: they hold exactly the keys Qt 4.4's
// meta-object had, where Qt 5's renames some and accepts values that have no key.
QTSCRIPT_QT_ENUM(CursorShape, MetaObject)
QTSCRIPT_QT_ENUM(Corner, DirectIndex)
QTSCRIPT_QT_ENUM(Axis, DirectIndex)
QTSCRIPT_QT_ENUM(Orientation, MetaObject)
QTSCRIPT_QT_FLAGS(Orientations, Orientation)
QTSCRIPT_QT_ENUM(LayoutDirection, MetaObject)
QTSCRIPT_QT_ENUM(BGMode, MetaObject)
QTSCRIPT_QT_ENUM(AspectRatioMode, MetaObject)
QTSCRIPT_QT_ENUM(TextElideMode, MetaObject)
QTSCRIPT_QT_ENUM(SizeMode, DirectIndex)
QTSCRIPT_QT_ENUM(WindowType, TableSearch)
QTSCRIPT_QT_FLAGS(WindowFlags, WindowType)
QTSCRIPT_QT_ENUM(ItemDataRole, TableSearch)
QTSCRIPT_QT_ENUM(SortOrder, DirectIndex)
QTSCRIPT_QT_ENUM(MatchFlag, TableSearch)
QTSCRIPT_QT_FLAGS(MatchFlags, MatchFlag)
QTSCRIPT_QT_ENUM(PenJoinStyle, MetaObject)
QTSCRIPT_QT_ENUM(CaseSensitivity, MetaObject)
QTSCRIPT_QT_ENUM(BrushStyle, MetaObject)
QTSCRIPT_QT_ENUM(ClipOperation, MetaObject)
QTSCRIPT_QT_ENUM(FocusReason, DirectIndex)
QTSCRIPT_QT_ENUM(ToolBarArea, MetaObject)
QTSCRIPT_QT_FLAGS(ToolBarAreas, ToolBarArea)
QTSCRIPT_QT_ENUM(KeyboardModifier, TableSearch)
QTSCRIPT_QT_FLAGS(KeyboardModifiers, KeyboardModifier)
QTSCRIPT_QT_ENUM(WhiteSpaceMode, DirectIndex)
QTSCRIPT_QT_ENUM(DayOfWeek, MetaObject)
QTSCRIPT_QT_ENUM(EventPriority, DirectIndex)
QTSCRIPT_QT_ENUM(DateFormat, MetaObject)
QTSCRIPT_QT_ENUM(MaskMode, DirectIndex)
QTSCRIPT_QT_ENUM(UIEffect, DirectIndex)
QTSCRIPT_QT_ENUM(ContextMenuPolicy, MetaObject)
// Qt 5 has no AnchorAttribute: its values cross as the plugin's stand-in.
static constexpr kit::EnumInfo qtscript_Qt_AnchorAttribute = kit::enumeration<compat::AnchorAttribute>(
    "Qt", "AnchorAttribute", qtscript_Qt_AnchorAttribute_keys, qtscript_Qt_AnchorAttribute_values,
    kit::KeyLookup::DirectIndex);
QTSCRIPT_QT_ENUM(ScrollBarPolicy, MetaObject)
QTSCRIPT_QT_ENUM(ToolButtonStyle, MetaObject)
QTSCRIPT_QT_ENUM(TextFlag, TableSearch)
QTSCRIPT_QT_ENUM(ItemSelectionMode, MetaObject)
QTSCRIPT_QT_ENUM(SizeHint, DirectIndex)
QTSCRIPT_QT_ENUM(Key, MetaObject)
QTSCRIPT_QT_ENUM(ToolBarAreaSizes, DirectIndex)
QTSCRIPT_QT_ENUM(ArrowType, MetaObject)
QTSCRIPT_QT_ENUM(FocusPolicy, MetaObject)
QTSCRIPT_QT_ENUM(WindowFrameSection, DirectIndex)
QTSCRIPT_QT_ENUM(InputMethodQuery, DirectIndex)
QTSCRIPT_QT_ENUM(DropAction, TableSearch)
QTSCRIPT_QT_FLAGS(DropActions, DropAction)
QTSCRIPT_QT_ENUM(FillRule, MetaObject)
QTSCRIPT_QT_ENUM(GlobalColor, MetaObject)
QTSCRIPT_QT_ENUM(ConnectionType, DirectIndex)
QTSCRIPT_QT_ENUM(PenCapStyle, MetaObject)
QTSCRIPT_QT_ENUM(TransformationMode, DirectIndex)
QTSCRIPT_QT_ENUM(DockWidgetAreaSizes, DirectIndex)
QTSCRIPT_QT_ENUM(ApplicationAttribute, DirectIndex)
QTSCRIPT_QT_ENUM(ShortcutContext, MetaObject)
QTSCRIPT_QT_ENUM(TextInteractionFlag, MetaObject)
QTSCRIPT_QT_FLAGS(TextInteractionFlags, TextInteractionFlag)
QTSCRIPT_QT_ENUM(CheckState, DirectIndex)
QTSCRIPT_QT_ENUM(DockWidgetArea, MetaObject)
QTSCRIPT_QT_FLAGS(DockWidgetAreas, DockWidgetArea)
QTSCRIPT_QT_ENUM(TimeSpec, MetaObject)
QTSCRIPT_QT_ENUM(ImageConversionFlag, TableSearch)
QTSCRIPT_QT_FLAGS(ImageConversionFlags, ImageConversionFlag)
QTSCRIPT_QT_ENUM(WindowModality, MetaObject)
QTSCRIPT_QT_ENUM(Modifier, TableSearch)
QTSCRIPT_QT_ENUM(AlignmentFlag, TableSearch)
QTSCRIPT_QT_FLAGS(Alignment, AlignmentFlag)
QTSCRIPT_QT_ENUM(WidgetAttribute, TableSearch)
QTSCRIPT_QT_ENUM(TextFormat, MetaObject)
QTSCRIPT_QT_ENUM(MouseButton, TableSearch)
QTSCRIPT_QT_FLAGS(MouseButtons, MouseButton)
QTSCRIPT_QT_ENUM(WindowState, TableSearch)
QTSCRIPT_QT_FLAGS(WindowStates, WindowState)
QTSCRIPT_QT_ENUM(PenStyle, MetaObject)
QTSCRIPT_QT_ENUM(ItemFlag, TableSearch)
QTSCRIPT_QT_FLAGS(ItemFlags, ItemFlag)
QTSCRIPT_QT_ENUM(HitTestAccuracy, DirectIndex)

#undef QTSCRIPT_QT_ENUM
#undef QTSCRIPT_QT_FLAGS

// The types in the order they are added to Qt; each adds its keys (if any) and then its name.
struct QtType {
    void (*add)(QScriptEngine *, QScriptValue &);
    const kit::EnumInfo *enumeration;   // null for a flags type
    const kit::FlagsInfo *flags;        // null for an enumeration
};

#define E(NAME) {&kit::addEnum<qtscript_Qt_##NAME>, &qtscript_Qt_##NAME, nullptr}
#define F(NAME) {&kit::addFlags<qtscript_Qt_##NAME>, nullptr, &qtscript_Qt_##NAME}
static constexpr QtType qtscript_Qt_types[] = {
    E(CursorShape), E(Corner), E(Axis), E(Orientation), F(Orientations), E(LayoutDirection),
    E(BGMode), E(AspectRatioMode), E(TextElideMode), E(SizeMode), E(WindowType), F(WindowFlags),
    E(ItemDataRole), E(SortOrder), E(MatchFlag), F(MatchFlags), E(PenJoinStyle),
    E(CaseSensitivity), E(BrushStyle), E(ClipOperation), E(FocusReason), E(ToolBarArea),
    F(ToolBarAreas), E(KeyboardModifier), F(KeyboardModifiers), E(WhiteSpaceMode), E(DayOfWeek),
    E(EventPriority), E(DateFormat), E(MaskMode), E(UIEffect), E(ContextMenuPolicy),
    E(AnchorAttribute), E(ScrollBarPolicy), E(ToolButtonStyle), E(TextFlag),
    E(ItemSelectionMode), E(SizeHint), E(Key), E(ToolBarAreaSizes), E(ArrowType), E(FocusPolicy),
    E(WindowFrameSection), E(InputMethodQuery), E(DropAction), F(DropActions), E(FillRule),
    E(GlobalColor), E(ConnectionType), E(PenCapStyle), E(TransformationMode),
    E(DockWidgetAreaSizes), E(ApplicationAttribute), E(ShortcutContext), E(TextInteractionFlag),
    F(TextInteractionFlags), E(CheckState), E(DockWidgetArea), F(DockWidgetAreas), E(TimeSpec),
    E(ImageConversionFlag), F(ImageConversionFlags), E(WindowModality), E(Modifier),
    E(AlignmentFlag), F(Alignment), E(WidgetAttribute), E(TextFormat), E(MouseButton),
    F(MouseButtons), E(WindowState), F(WindowStates), E(PenStyle), E(ItemFlag), F(ItemFlags),
    E(HitTestAccuracy),
};
#undef E
#undef F

static constexpr int qtscript_Qt_count(bool keys)
{
    int n = 0;
    for (const QtType &t : qtscript_Qt_types)
        n += keys ? (t.enumeration ? t.enumeration->count : 0) : (t.enumeration ? 1 : 0);
    return n;
}
static_assert(sizeof(qtscript_Qt_types) / sizeof(QtType) == 76, "63 enumerations, 13 flags types");
static_assert(qtscript_Qt_count(false) == 63, "63 enumerations");
static_assert(qtscript_Qt_count(true) == 794, "794 keys");

static QScriptValue qtscript_Qt_static_call(kit::Call &call)
{
    // The kit refuses index 0 before getting here; no other function carries this dispatcher.
    return kit::throwCannotConstruct(call.context, call.tables.name);
}

// Qt 5 names its flags types after the typedef ("Qt::Alignment"); scripts and hosts know them
// by Qt 4.4's names ("QFlags<Qt::AlignmentFlag>").
static void qtscript_Qt_registerFlagsNames()
{
    for (const QtType &t : qtscript_Qt_types) {
        if (!t.flags)
            continue;
        const QByteArray name = QByteArrayLiteral("QFlags<Qt::")
            + QByteArray(t.flags->enumeration.name) + '>';
        QMetaType::registerNormalizedTypedef(name, t.flags->typeId());
    }
}

QScriptValue qtscript_create_Qt_class(QScriptEngine *engine)
{
    static const bool flagsNamed = (qtscript_Qt_registerFlagsNames(), true);
    Q_UNUSED(flagsNamed);
    QScriptValue ctor = kit::namespaceClass<qtscript_Qt_tables, qtscript_Qt_static_call>(engine);
    for (const QtType &t : qtscript_Qt_types)
        t.add(engine, ctor);
    return ctor;
}
