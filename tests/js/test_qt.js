// The global Qt: its enumerations, flags types and keys.

// The types in the order they stand on Qt, with the number of keys that come before each
// enumeration's name (0 for a flags type).
var types = [
    ["CursorShape", 21], ["Corner", 4], ["Axis", 3], ["Orientation", 2], ["Orientations", 0],
    ["LayoutDirection", 2], ["BGMode", 2], ["AspectRatioMode", 3], ["TextElideMode", 4],
    ["SizeMode", 2], ["WindowType", 27], ["WindowFlags", 0], ["ItemDataRole", 15],
    ["SortOrder", 2], ["MatchFlag", 10], ["MatchFlags", 0], ["PenJoinStyle", 5],
    ["CaseSensitivity", 2], ["BrushStyle", 19], ["ClipOperation", 4], ["FocusReason", 9],
    ["ToolBarArea", 6], ["ToolBarAreas", 0], ["KeyboardModifier", 8], ["KeyboardModifiers", 0],
    ["WhiteSpaceMode", 4], ["DayOfWeek", 7], ["EventPriority", 3], ["DateFormat", 8],
    ["MaskMode", 2], ["UIEffect", 7], ["ContextMenuPolicy", 5], ["AnchorAttribute", 2],
    ["ScrollBarPolicy", 3], ["ToolButtonStyle", 4], ["TextFlag", 12], ["ItemSelectionMode", 4],
    ["SizeHint", 5], ["Key", 316], ["ToolBarAreaSizes", 1], ["ArrowType", 5], ["FocusPolicy", 5],
    ["WindowFrameSection", 10], ["InputMethodQuery", 5], ["DropAction", 6], ["DropActions", 0],
    ["FillRule", 2], ["GlobalColor", 20], ["ConnectionType", 5], ["PenCapStyle", 4],
    ["TransformationMode", 2], ["DockWidgetAreaSizes", 1], ["ApplicationAttribute", 6],
    ["ShortcutContext", 4], ["TextInteractionFlag", 8], ["TextInteractionFlags", 0],
    ["CheckState", 3], ["DockWidgetArea", 6], ["DockWidgetAreas", 0], ["TimeSpec", 3],
    ["ImageConversionFlag", 12], ["ImageConversionFlags", 0], ["WindowModality", 3],
    ["Modifier", 6], ["AlignmentFlag", 11], ["Alignment", 0], ["WidgetAttribute", 100],
    ["TextFormat", 4], ["MouseButton", 7], ["MouseButtons", 0], ["WindowState", 5],
    ["WindowStates", 0], ["PenStyle", 8], ["ItemFlag", 8], ["ItemFlags", 0],
    ["HitTestAccuracy", 2]
];

test("870 properties: each enumeration's keys, then its name, then its flags type", function() {
    var own = [];
    for (var p in Qt) {
        if (Qt.hasOwnProperty(p)) own.push(p);
    }
    eq(own.length, 870);
    var i = 0;
    for (var t = 0; t < types.length; ++t) {
        var name = types[t][0], cls = Qt[name];
        eq(typeof cls, "function", name);
        for (var k = 0; k < types[t][1]; ++k, ++i) {
            ok(Qt[own[i]] instanceof cls, own[i] + " is a " + name);
            if (k) ok(Qt[own[i]].valueOf() > Qt[own[i - 1]].valueOf(), own[i] + " ascends");
        }
        eq(own[i++], name);
        eq(cls.length, types[t][1] ? 1 : 0, name + ".length");
    }
    eq(i, 870);
    // The engine adds its own connect and disconnect to every function's enumeration.
    var all = [];
    for (p in Qt) all.push(p);
    eq(all.length, 872);
});

test("Qt refuses to be called", function() {
    eq(typeof Qt, "function");
    eq(Qt.length, 0);
    throws(function() { Qt(); }, "Qt cannot be constructed", "TypeError");
    throws(function() { new Qt(); }, "Qt cannot be constructed", "TypeError");
    throws(function() { Qt.call({}, 1); }, "Qt cannot be constructed", "TypeError");
    // A tampered data value changes nothing.
    Qt.__qt_data__ = 0xBABE0003;
    throws(function() { Qt(); }, "Qt cannot be constructed", "TypeError");
});

test("keys live on Qt only, read-only and undeletable", function() {
    eq(Qt.WaitCursor.valueOf(), 3);
    eq(Qt.WaitCursor.toString(), "WaitCursor");
    eq(Qt.CursorShape.WaitCursor, undefined);
    eq(Qt.AlignmentFlag.AlignLeft, undefined);
    eq(Qt.WaitCursor.constructor, Qt.CursorShape);
    var wait = Qt.WaitCursor;
    Qt.WaitCursor = 7;
    eq(Qt.WaitCursor, wait);
    delete Qt.WaitCursor;
    eq(Qt.WaitCursor, wait);
    for (var k in Qt.CursorShape.prototype) fail("prototype method " + k + " enumerates");
});

test("twin values of different enumerations", function() {
    eq(Qt.KeyboardModifierMask.valueOf(), -33554432);
    eq(Qt.MODIFIER_MASK.valueOf(), -33554432);
    ok(Qt.KeyboardModifierMask instanceof Qt.KeyboardModifier);
    ok(Qt.MODIFIER_MASK instanceof Qt.Modifier);
    ok(!(Qt.MODIFIER_MASK instanceof Qt.KeyboardModifier));
    eq(Qt.NoModifier.valueOf(), 0);
    eq(Qt.UNICODE_ACCEL.valueOf(), 0);
    eq(Qt.KeyboardModifier(-33554432), Qt.KeyboardModifierMask);
    eq(Qt.Modifier(0), Qt.UNICODE_ACCEL);
    throws(function() { Qt.KeyboardModifiers(Qt.MODIFIER_MASK); },
           "KeyboardModifiers(): argument 0 is not of type KeyboardModifier", "TypeError");
    eq(Qt.KeyboardModifier.prototype.valueOf.call(Qt.MODIFIER_MASK), 0);
});

test("enumeration constructors", function() {
    eq(new Qt.CursorShape(3), Qt.WaitCursor);
    eq(Qt.CursorShape(3), Qt.WaitCursor);
    eq(new Qt.Corner(), Qt.TopLeftCorner);
    eq(new Qt.Corner("2"), Qt.BottomLeftCorner);
    eq(new Qt.Corner(2.7), Qt.BottomLeftCorner);
    eq(new Qt.Corner(Qt.BottomLeftCorner), Qt.BottomLeftCorner);
    throws(function() { new Qt.Corner(4); }, "Corner(): invalid enum value (4)", "Error");
    throws(function() { new Qt.Corner(-1); }, "Corner(): invalid enum value (-1)", "Error");
    throws(function() { new Qt.AlignmentFlag(); }, "AlignmentFlag(): invalid enum value (0)");
    throws(function() { new Qt.AlignmentFlag(3); }, "AlignmentFlag(): invalid enum value (3)");
    eq(Qt.AlignmentFlag(132), Qt.AlignCenter);
    throws(function() { Qt.DayOfWeek(0); }, "DayOfWeek(): invalid enum value (0)");
    eq(Qt.DayOfWeek(7), Qt.Sunday);
    eq(Qt.TextFlag(256), Qt.TextSingleLine);
    eq(Qt.TextFlag(0x8000000), Qt.TextIncludeTrailingSpaces);
    throws(function() { Qt.TextFlag(0); }, "TextFlag(): invalid enum value (0)");
    eq(Qt.ItemDataRole(32), Qt.UserRole);
    throws(function() { Qt.ItemDataRole(14); }, "ItemDataRole(): invalid enum value (14)");
    eq(Qt.WidgetAttribute(117), Qt.WA_AttributeCount);
    throws(function() { Qt.WidgetAttribute(6); }, "WidgetAttribute(): invalid enum value (6)");
    eq(Qt.AnchorAttribute(1), Qt.AnchorHref);
    eq(Qt.AnchorHref.toString(), "AnchorHref");
});

test("direct index from -1 and single-key tables", function() {
    eq(new Qt.EventPriority(-1), Qt.LowEventPriority);
    eq(new Qt.EventPriority(0), Qt.NormalEventPriority);
    eq(Qt.LowEventPriority.toString(), "LowEventPriority");
    eq(Qt.HighEventPriority.toString(), "HighEventPriority");
    throws(function() { new Qt.EventPriority(2); }, "EventPriority(): invalid enum value (2)");
    throws(function() { new Qt.EventPriority(-2); }, "EventPriority(): invalid enum value (-2)");
    eq(Qt.WhiteSpaceModeUndefined.valueOf(), -1);
    eq(Qt.WhiteSpaceModeUndefined.toString(), "WhiteSpaceModeUndefined");
    eq(new Qt.WhiteSpaceMode(-1), Qt.WhiteSpaceModeUndefined);
    eq(new Qt.ToolBarAreaSizes(4), Qt.NToolBarAreas);
    eq(Qt.NToolBarAreas.toString(), "NToolBarAreas");
    throws(function() { new Qt.ToolBarAreaSizes(); }, "ToolBarAreaSizes(): invalid enum value (0)");
    throws(function() { Qt.ToolBarAreaSizes(5); }, "ToolBarAreaSizes(): invalid enum value (5)");
    eq(new Qt.DockWidgetAreaSizes(4), Qt.NDockWidgetAreas);
    eq(Qt.NDockWidgetAreas.toString(), "NDockWidgetAreas");
    throws(function() { new Qt.DockWidgetAreaSizes(3); }, "DockWidgetAreaSizes(): invalid enum value (3)");
});

test("meta-object lookups keep Qt 4.4's keys", function() {
    // Qt 5's meta-object would know 19 as DragCopyCursor and 0x1000085 as a key.
    throws(function() { Qt.CursorShape(19); }, "CursorShape(): invalid enum value (19)");
    throws(function() { Qt.CursorShape(23); }, "CursorShape(): invalid enum value (23)");
    eq(Qt.CursorShape(24), Qt.BitmapCursor);
    throws(function() { Qt.Key(0x1000085); }, "Key(): invalid enum value (16777349)");
    eq(Qt.Key(0x1FFFFFF), Qt.Key_unknown);
    eq(Qt.Key_Escape.toString(), "Key_Escape");
    eq(Qt.TextFormat(3), Qt.LogText);
    eq(Qt.LogText.toString(), "LogText");
    eq(Qt.ClipOperation(3), Qt.UniteClip);
    eq(Qt.UserRole.valueOf(), 32);
    eq(Qt.BlockingQueuedConnection.valueOf(), 4);
    eq(Qt.AA_AttributeCount.valueOf(), 5);
});

test("valueOf and toString of an enumeration with a foreign this", function() {
    eq(Qt.ItemFlag.prototype.toString.call({}), "NoItemFlags");
    eq(Qt.ItemFlag.prototype.valueOf.call({}), 0);
    eq(Qt.AlignmentFlag.prototype.toString.call({}), "");
    eq(Qt.ItemFlag.prototype.valueOf.call(Qt.ItemIsEditable), 2);
    eq(Qt.ItemFlag.prototype.valueOf.call(Qt.Vertical), 0);
    eq(Qt.ItemFlag.prototype.toString.call(Qt.ItemFlags(2)), "NoItemFlags");
    eq(Qt.DayOfWeek.prototype.toString.call(Qt.Monday), "Monday");
    eq(Qt.DayOfWeek.prototype.toString.call(3), "");
});

test("flags values with no argument", function() {
    eq(Qt.DropActions().valueOf(), 0);
    eq(Qt.DropActions().toString(), "IgnoreAction");
    eq(Qt.Alignment().toString(), "");
    eq(Qt.Orientations().toString(), "");
    eq(Qt.ImageConversionFlags().toString(), "AutoColor");
});

test("flags toString lists keys in table order", function() {
    eq(Qt.DropActions(Qt.CopyAction).toString(), "IgnoreAction,CopyAction");
    eq(Qt.DropActions(Qt.MoveAction).toString(), "IgnoreAction,MoveAction");
    eq(Qt.DropActions(Qt.TargetMoveAction).valueOf(), 32770);
    eq(Qt.DropActions(Qt.TargetMoveAction).toString(), "IgnoreAction,MoveAction,TargetMoveAction");
    var a = Qt.Alignment(Qt.AlignTop, Qt.AlignLeft);
    eq(a.valueOf(), 33);
    eq(a.toString(), "AlignLeft,AlignTop");
    eq(new Qt.Alignment(Qt.AlignLeft, Qt.AlignTop).valueOf(), 33);
    eq(Qt.Alignment(Qt.AlignCenter).toString(), "AlignHCenter,AlignVCenter,AlignCenter");
    eq(Qt.WindowFlags(Qt.Dialog).toString(), "Widget,Window,Dialog");
    eq(Qt.WindowFlags(Qt.Tool).toString(), "Widget,Window,Dialog,Popup,Tool");
    eq(Qt.MatchFlags(Qt.MatchWildcard).toString(),
       "MatchExactly,MatchContains,MatchRegExp,MatchWildcard");
    eq(Qt.TextInteractionFlags(Qt.TextEditorInteraction).toString(),
       "NoTextInteraction,TextSelectableByMouse,TextSelectableByKeyboard,TextEditable,TextEditorInteraction");
    // Orientation's own key comes from the meta-object kind; its flags still walk the table.
    eq(Qt.Orientations(Qt.Horizontal, Qt.Vertical).toString(), "Horizontal,Vertical");
    eq(Qt.ToolBarAreas(15).toString(),
       "NoToolBarArea,LeftToolBarArea,RightToolBarArea,TopToolBarArea,BottomToolBarArea,ToolBarArea_Mask");
});

test("keyboard modifiers: the negative mask comes first", function() {
    var m = Qt.KeyboardModifiers(Qt.ShiftModifier, Qt.ControlModifier);
    eq(m.valueOf(), 100663296);
    eq(m.toString(), "NoModifier,ShiftModifier,ControlModifier");
    var all = Qt.KeyboardModifiers(Qt.KeyboardModifierMask);
    eq(all.valueOf(), -33554432);
    eq(all.toString(), "KeyboardModifierMask,NoModifier,ShiftModifier,ControlModifier,AltModifier," +
       "MetaModifier,KeypadModifier,GroupSwitchModifier");
});

test("a single number is taken unchecked", function() {
    eq(Qt.DropActions(-1).toString(),
       "IgnoreAction,CopyAction,MoveAction,LinkAction,ActionMask,TargetMoveAction");
    eq(Qt.DropActions(7).toString(), "IgnoreAction,CopyAction,MoveAction,LinkAction");
    eq(Qt.DropActions(1.9).valueOf(), 1);
    eq(Qt.ItemFlags(1000).valueOf(), 1000);
    eq(Qt.MouseButtons(0x100).toString(), "NoButton");
});

test("flags constructors refuse what is not their enumeration", function() {
    var msg = "DropActions(): argument 0 is not of type DropAction";
    throws(function() { Qt.DropActions("1"); }, msg, "TypeError");
    throws(function() { Qt.DropActions(1, 2); }, msg, "TypeError");
    throws(function() { Qt.DropActions(Qt.DropActions(1)); }, msg, "TypeError");
    throws(function() { Qt.DropActions(Qt.Horizontal); }, msg, "TypeError");
    throws(function() { Qt.DropActions(Qt.CopyAction, 2); },
           "DropActions(): argument 1 is not of type DropAction", "TypeError");
    throws(function() { Qt.WindowFlags(Qt.AlignLeft); },
           "WindowFlags(): argument 0 is not of type WindowType", "TypeError");
    throws(function() { Qt.Alignment(Qt.AlignLeft, Qt.AlignTop, {}); },
           "Alignment(): argument 2 is not of type AlignmentFlag", "TypeError");
});

test("flags construction with or without new, and equals", function() {
    var a = new Qt.MouseButtons(Qt.LeftButton), b = Qt.MouseButtons(Qt.LeftButton);
    ok(a !== b, "a new value each time");
    ok(a.equals(b));
    eq(b.toString(), "NoButton,LeftButton");
    var c = Qt.DropActions(Qt.CopyAction);
    eq(c.equals(Qt.DropActions(1)), true);
    eq(c.equals(Qt.CopyAction), false);
    eq(c.equals(1), false);
    eq(c.equals(), false);
    eq(c.equals(Qt.MouseButtons(1)), false);
});

test("flags methods with a foreign this", function() {
    eq(Qt.DropActions.prototype.toString.call(Qt.CopyAction), "IgnoreAction,CopyAction");
    eq(Qt.DropActions.prototype.valueOf.call(Qt.CopyAction), 1);
    eq(Qt.DropActions.prototype.valueOf.call(Qt.Horizontal), 0);
    eq(Qt.DropActions.prototype.toString.call(Qt.Horizontal), "IgnoreAction");
    eq(Qt.DropActions.prototype.valueOf.call({}), 0);
});

test("Qt 4.4's AA_AttributeCount is not Qt 5's attribute 5", function() {
    var before = QCoreApplication.testAttribute(Qt.AA_ImmediateWidgetCreation);
    QCoreApplication.setAttribute(Qt.AA_AttributeCount, true);
    eq(QCoreApplication.testAttribute(Qt.AA_AttributeCount), true);
    eq(QCoreApplication.testAttribute(Qt.AA_ImmediateWidgetCreation), before);
    QCoreApplication.setAttribute(Qt.AA_AttributeCount, false);
    eq(QCoreApplication.testAttribute(Qt.AA_AttributeCount), false);
});

test("class properties can be replaced and deleted", function() {
    var cls = Qt.CursorShape;
    Qt.CursorShape = 1;
    eq(Qt.CursorShape, 1);
    ok(delete Qt.CursorShape);
    eq(Qt.CursorShape, undefined);
    // The conversions and the value objects stay.
    ok(Qt.WaitCursor instanceof cls);
    eq(cls(3), Qt.WaitCursor);
    Qt.CursorShape = cls;
});

test("conversions read the owner under its global name", function() {
    var held = Qt, cls = Qt.CursorShape, flags = Qt.DropActions;
    Qt = {};
    eq(cls(3), undefined);
    eq(flags(held.CopyAction).valueOf(), 1);
    Qt = {WaitCursor: 42};
    eq(cls(3), 42);
    Qt = held;
    eq(cls(3), Qt.WaitCursor);
});

finish();
