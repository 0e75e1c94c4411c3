#include "kernel/QtScriptShell_QEvent.h"

#include "plugin/enums.h"

#include <QtCore/QDebug>

static const char *const qtscript_QEvent_function_names[] = {
    "QEvent",
    // static
    "registerEventType",
    // prototype
    "accept", "ignore", "isAccepted", "setAccepted", "spontaneous", "type", "toString",
};

static const char *const qtscript_QEvent_function_signatures[] = {
    "Type type",
    // static
    "int hint",
    // prototype
    "", "", "", "bool accepted", "", "",
};

static const int qtscript_QEvent_function_lengths[] = {
    1,
    // static
    1,
    // prototype
    0, 0, 0, 1, 0, 0, 0,
};

static constexpr kit::ClassTables qtscript_QEvent_tables =
    kit::tables("QEvent", qtscript_QEvent_function_names, qtscript_QEvent_function_signatures,
                qtscript_QEvent_function_lengths, 1);

// Qt 4.4's keys; Qt 5 lacks AccessibilityPrepare, AccessibilityHelp, AccessibilityDescription
// and MenubarUpdated, and its values without a key here reach scripts as undefined.
static constexpr const char *qtscript_QEvent_Type_keys[] = {
    "None", "Timer", "MouseButtonPress", "MouseButtonRelease", "MouseButtonDblClick", "MouseMove",
    "KeyPress", "KeyRelease", "FocusIn", "FocusOut", "Enter", "Leave", "Paint", "Move", "Resize",
    "Create", "Destroy", "Show", "Hide", "Close", "Quit", "ParentChange", "ThreadChange",
    "WindowActivate", "WindowDeactivate", "ShowToParent", "HideToParent", "Wheel",
    "WindowTitleChange", "WindowIconChange", "ApplicationWindowIconChange", "ApplicationFontChange",
    "ApplicationLayoutDirectionChange", "ApplicationPaletteChange", "PaletteChange", "Clipboard",
    "Speech", "MetaCall", "SockAct", "ShortcutOverride", "DeferredDelete", "DragEnter", "DragMove",
    "DragLeave", "Drop", "DragResponse", "ChildAdded", "ChildPolished", "ChildRemoved",
    "ShowWindowRequest", "PolishRequest", "Polish", "LayoutRequest", "UpdateRequest", "UpdateLater",
    "EmbeddingControl", "ActivateControl", "DeactivateControl", "ContextMenu", "InputMethod",
    "AccessibilityPrepare", "TabletMove", "LocaleChange", "LanguageChange", "LayoutDirectionChange",
    "Style", "TabletPress", "TabletRelease", "OkRequest", "HelpRequest", "IconDrag", "FontChange",
    "EnabledChange", "ActivationChange", "StyleChange", "IconTextChange", "ModifiedChange",
    "WindowBlocked", "WindowUnblocked", "WindowStateChange", "MouseTrackingChange", "ToolTip",
    "WhatsThis", "StatusTip", "ActionChanged", "ActionAdded", "ActionRemoved", "FileOpen",
    "Shortcut", "WhatsThisClicked", "AccessibilityHelp", "ToolBarChange", "ApplicationActivate",
    "ApplicationDeactivate", "QueryWhatsThis", "EnterWhatsThisMode", "LeaveWhatsThisMode",
    "ZOrderChange", "HoverEnter", "HoverLeave", "HoverMove", "AccessibilityDescription",
    "ParentAboutToChange", "WinEventAct", "AcceptDropsChange", "MenubarUpdated", "ZeroTimerEvent",
    "GraphicsSceneMouseMove", "GraphicsSceneMousePress", "GraphicsSceneMouseRelease",
    "GraphicsSceneMouseDoubleClick", "GraphicsSceneContextMenu", "GraphicsSceneHoverEnter",
    "GraphicsSceneHoverMove", "GraphicsSceneHoverLeave", "GraphicsSceneHelp",
    "GraphicsSceneDragEnter", "GraphicsSceneDragMove", "GraphicsSceneDragLeave",
    "GraphicsSceneDrop", "GraphicsSceneWheel", "KeyboardLayoutChange", "DynamicPropertyChange",
    "TabletEnterProximity", "TabletLeaveProximity", "NonClientAreaMouseMove",
    "NonClientAreaMouseButtonPress", "NonClientAreaMouseButtonRelease",
    "NonClientAreaMouseButtonDblClick", "MacSizeChange", "ContentsRectChange", "MacGLWindowChange",
    "FutureCallOut", "GraphicsSceneResize", "GraphicsSceneMove", "CursorChange", "ToolTipChange",
    "NetworkReplyUpdated", "GrabMouse", "UngrabMouse", "GrabKeyboard", "UngrabKeyboard", "User",
    "MaxUser",};
static constexpr int qtscript_QEvent_Type_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26,
    27, 31, 33, 34, 35, 36, 37, 38, 39, 40, 42, 43, 50, 51, 52, 60, 61, 62, 63, 64, 68, 69, 71, 73,
    74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99,
    100, 101, 102, 103, 104, 105, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
    122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 152, 153, 154, 155, 156, 157, 158, 159,
    160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 176, 177, 178,
    179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 1000, 65535,};
static constexpr kit::EnumInfo qtscript_QEvent_Type =
    kit::enumeration<QEvent::Type>("QEvent", "Type", qtscript_QEvent_Type_keys,
                                   qtscript_QEvent_Type_values, kit::KeyLookup::TableSearch);

static QScriptValue qtscript_QEvent_prototype_call(kit::Call &call, QEvent *&self)
{
    switch (call.at()) {
    case kit::at(0, 0):
        self->accept();
        return call.ret();
    case kit::at(1, 0):
        self->ignore();
        return call.ret();
    case kit::at(2, 0):
        return call.ret(self->isAccepted());
    case kit::at(3, 1):
        self->setAccepted(call.get<bool>(0));
        return call.ret();
    case kit::at(4, 0):
        return call.ret(self->spontaneous());
    case kit::at(5, 0):
        return call.ret(self->type());
    }
    if (call.index == 6) {
        QString text;
        QDebug(&text) << static_cast<const void *>(self);
        return call.ret(text);
    }
    return call.mismatch();
}

static QScriptValue qtscript_QEvent_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 1): {
        const QEvent::Type type = call.get<QEvent::Type>(0);
        if (type == QEvent::DeferredDelete)
            return call.wrapOwned<QEvent>(new QtScriptShell_QDeferredDeleteEvent);
        return call.wrapOwned<QEvent>(new QtScriptShell_QEvent(type));
    }
    case kit::at(1, 0):
    case kit::at(1, 1):
        return call.ret(QEvent::registerEventType(call.get<int>(0, -1)));
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QEvent_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::pointerClass<QEvent, qtscript_QEvent_tables, qtscript_QEvent_static_call,
                                          qtscript_QEvent_prototype_call>(engine);
    kit::addEnum<qtscript_QEvent_Type>(engine, ctor);
    return ctor;
}
