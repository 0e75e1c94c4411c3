// The keys and values of the enumerations of namespace Qt, as Qt 4.4 numbered them. They are
// literals on purpose: Qt 5 renamed, renumbered or dropped some of them (see tst_qtkeys).
// Included by global/Qt.cpp only.
#ifndef QTCORE_GLOBAL_QTKEYTABLES_H
#define QTCORE_GLOBAL_QTKEYTABLES_H

static constexpr const char *qtscript_Qt_CursorShape_keys[] = {
    "ArrowCursor", "UpArrowCursor", "CrossCursor", "WaitCursor", "IBeamCursor", "SizeVerCursor",
    "SizeHorCursor", "SizeBDiagCursor", "SizeFDiagCursor", "SizeAllCursor", "BlankCursor",
    "SplitVCursor", "SplitHCursor", "PointingHandCursor", "ForbiddenCursor", "WhatsThisCursor",
    "BusyCursor", "OpenHandCursor", "ClosedHandCursor", "BitmapCursor", "CustomCursor",
};
static constexpr int qtscript_Qt_CursorShape_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 24, 25,
};

static constexpr const char *qtscript_Qt_Corner_keys[] = {
    "TopLeftCorner", "TopRightCorner", "BottomLeftCorner", "BottomRightCorner",
};
static constexpr int qtscript_Qt_Corner_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_Axis_keys[] = {
    "XAxis", "YAxis", "ZAxis",
};
static constexpr int qtscript_Qt_Axis_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_Orientation_keys[] = {
    "Horizontal", "Vertical",
};
static constexpr int qtscript_Qt_Orientation_values[] = {
    1, 2,
};

static constexpr const char *qtscript_Qt_LayoutDirection_keys[] = {
    "LeftToRight", "RightToLeft",
};
static constexpr int qtscript_Qt_LayoutDirection_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_BGMode_keys[] = {
    "TransparentMode", "OpaqueMode",
};
static constexpr int qtscript_Qt_BGMode_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_AspectRatioMode_keys[] = {
    "IgnoreAspectRatio", "KeepAspectRatio", "KeepAspectRatioByExpanding",
};
static constexpr int qtscript_Qt_AspectRatioMode_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_TextElideMode_keys[] = {
    "ElideLeft", "ElideRight", "ElideMiddle", "ElideNone",
};
static constexpr int qtscript_Qt_TextElideMode_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_SizeMode_keys[] = {
    "AbsoluteSize", "RelativeSize",
};
static constexpr int qtscript_Qt_SizeMode_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_WindowType_keys[] = {
    "Widget", "Window", "Dialog", "Sheet", "Drawer", "Popup", "Tool", "ToolTip", "SplashScreen",
    "Desktop", "SubWindow", "WindowType_Mask", "MSWindowsFixedSizeDialogHint", "MSWindowsOwnDC",
    "X11BypassWindowManagerHint", "FramelessWindowHint", "WindowTitleHint", "WindowSystemMenuHint",
    "WindowMinimizeButtonHint", "WindowMaximizeButtonHint", "WindowMinMaxButtonsHint",
    "WindowContextHelpButtonHint", "WindowShadeButtonHint", "WindowStaysOnTopHint",
    "WindowOkButtonHint", "WindowCancelButtonHint", "CustomizeWindowHint",
};
static constexpr int qtscript_Qt_WindowType_values[] = {
    0, 1, 3, 5, 7, 9, 11, 13, 15, 17, 18, 255, 256, 512, 1024, 2048, 0x1000, 0x2000, 0x4000,
    0x8000, 0xC000, 0x10000, 0x20000, 0x40000, 0x80000, 0x100000, 0x2000000,
};

static constexpr const char *qtscript_Qt_ItemDataRole_keys[] = {
    "DisplayRole", "DecorationRole", "EditRole", "ToolTipRole", "StatusTipRole", "WhatsThisRole",
    "FontRole", "TextAlignmentRole", "BackgroundColorRole", "TextColorRole", "CheckStateRole",
    "AccessibleTextRole", "AccessibleDescriptionRole", "SizeHintRole", "UserRole",
};
static constexpr int qtscript_Qt_ItemDataRole_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 32,
};

static constexpr const char *qtscript_Qt_SortOrder_keys[] = {
    "AscendingOrder", "DescendingOrder",
};
static constexpr int qtscript_Qt_SortOrder_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_MatchFlag_keys[] = {
    "MatchExactly", "MatchContains", "MatchStartsWith", "MatchEndsWith", "MatchRegExp",
    "MatchWildcard", "MatchFixedString", "MatchCaseSensitive", "MatchWrap", "MatchRecursive",
};
static constexpr int qtscript_Qt_MatchFlag_values[] = {
    0, 1, 2, 3, 4, 5, 8, 16, 32, 64,
};

static constexpr const char *qtscript_Qt_PenJoinStyle_keys[] = {
    "MiterJoin", "BevelJoin", "RoundJoin", "SvgMiterJoin", "MPenJoinStyle",
};
static constexpr int qtscript_Qt_PenJoinStyle_values[] = {
    0, 64, 128, 256, 448,
};

static constexpr const char *qtscript_Qt_CaseSensitivity_keys[] = {
    "CaseInsensitive", "CaseSensitive",
};
static constexpr int qtscript_Qt_CaseSensitivity_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_BrushStyle_keys[] = {
    "NoBrush", "SolidPattern", "Dense1Pattern", "Dense2Pattern", "Dense3Pattern", "Dense4Pattern",
    "Dense5Pattern", "Dense6Pattern", "Dense7Pattern", "HorPattern", "VerPattern", "CrossPattern",
    "BDiagPattern", "FDiagPattern", "DiagCrossPattern", "LinearGradientPattern",
    "RadialGradientPattern", "ConicalGradientPattern", "TexturePattern",
};
static constexpr int qtscript_Qt_BrushStyle_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 24,
};

static constexpr const char *qtscript_Qt_ClipOperation_keys[] = {
    "NoClip", "ReplaceClip", "IntersectClip", "UniteClip",
};
static constexpr int qtscript_Qt_ClipOperation_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_FocusReason_keys[] = {
    "MouseFocusReason", "TabFocusReason", "BacktabFocusReason", "ActiveWindowFocusReason",
    "PopupFocusReason", "ShortcutFocusReason", "MenuBarFocusReason", "OtherFocusReason",
    "NoFocusReason",
};
static constexpr int qtscript_Qt_FocusReason_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8,
};

static constexpr const char *qtscript_Qt_ToolBarArea_keys[] = {
    "NoToolBarArea", "LeftToolBarArea", "RightToolBarArea", "TopToolBarArea", "BottomToolBarArea",
    "ToolBarArea_Mask",
};
static constexpr int qtscript_Qt_ToolBarArea_values[] = {
    0, 1, 2, 4, 8, 15,
};

static constexpr const char *qtscript_Qt_KeyboardModifier_keys[] = {
    "KeyboardModifierMask", "NoModifier", "ShiftModifier", "ControlModifier", "AltModifier",
    "MetaModifier", "KeypadModifier", "GroupSwitchModifier",
};
static constexpr int qtscript_Qt_KeyboardModifier_values[] = {
    -33554432, 0, 0x2000000, 0x4000000, 0x8000000, 0x10000000, 0x20000000, 0x40000000,
};

static constexpr const char *qtscript_Qt_WhiteSpaceMode_keys[] = {
    "WhiteSpaceModeUndefined", "WhiteSpaceNormal", "WhiteSpacePre", "WhiteSpaceNoWrap",
};
static constexpr int qtscript_Qt_WhiteSpaceMode_values[] = {
    -1, 0, 1, 2,
};

static constexpr const char *qtscript_Qt_DayOfWeek_keys[] = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday",
};
static constexpr int qtscript_Qt_DayOfWeek_values[] = {
    1, 2, 3, 4, 5, 6, 7,
};

static constexpr const char *qtscript_Qt_EventPriority_keys[] = {
    "LowEventPriority", "NormalEventPriority", "HighEventPriority",
};
static constexpr int qtscript_Qt_EventPriority_values[] = {
    -1, 0, 1,
};

static constexpr const char *qtscript_Qt_DateFormat_keys[] = {
    "TextDate", "ISODate", "SystemLocaleDate", "LocaleDate", "SystemLocaleShortDate",
    "SystemLocaleLongDate", "DefaultLocaleShortDate", "DefaultLocaleLongDate",
};
static constexpr int qtscript_Qt_DateFormat_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7,
};

static constexpr const char *qtscript_Qt_MaskMode_keys[] = {
    "MaskInColor", "MaskOutColor",
};
static constexpr int qtscript_Qt_MaskMode_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_UIEffect_keys[] = {
    "UI_General", "UI_AnimateMenu", "UI_FadeMenu", "UI_AnimateCombo", "UI_AnimateTooltip",
    "UI_FadeTooltip", "UI_AnimateToolBox",
};
static constexpr int qtscript_Qt_UIEffect_values[] = {
    0, 1, 2, 3, 4, 5, 6,
};

static constexpr const char *qtscript_Qt_ContextMenuPolicy_keys[] = {
    "NoContextMenu", "DefaultContextMenu", "ActionsContextMenu", "CustomContextMenu",
    "PreventContextMenu",
};
static constexpr int qtscript_Qt_ContextMenuPolicy_values[] = {
    0, 1, 2, 3, 4,
};

static constexpr const char *qtscript_Qt_AnchorAttribute_keys[] = {
    "AnchorName", "AnchorHref",
};
static constexpr int qtscript_Qt_AnchorAttribute_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_ScrollBarPolicy_keys[] = {
    "ScrollBarAsNeeded", "ScrollBarAlwaysOff", "ScrollBarAlwaysOn",
};
static constexpr int qtscript_Qt_ScrollBarPolicy_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_ToolButtonStyle_keys[] = {
    "ToolButtonIconOnly", "ToolButtonTextOnly", "ToolButtonTextBesideIcon",
    "ToolButtonTextUnderIcon",
};
static constexpr int qtscript_Qt_ToolButtonStyle_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_TextFlag_keys[] = {
    "TextSingleLine", "TextDontClip", "TextExpandTabs", "TextShowMnemonic", "TextWordWrap",
    "TextWrapAnywhere", "TextDontPrint", "TextHideMnemonic", "TextJustificationForced",
    "TextForceLeftToRight", "TextForceRightToLeft", "TextIncludeTrailingSpaces",
};
static constexpr int qtscript_Qt_TextFlag_values[] = {
    256, 512, 1024, 2048, 0x1000, 0x2000, 0x4000, 0x8000, 0x10000, 0x20000, 0x40000, 0x8000000,
};

static constexpr const char *qtscript_Qt_ItemSelectionMode_keys[] = {
    "ContainsItemShape", "IntersectsItemShape", "ContainsItemBoundingRect",
    "IntersectsItemBoundingRect",
};
static constexpr int qtscript_Qt_ItemSelectionMode_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_SizeHint_keys[] = {
    "MinimumSize", "PreferredSize", "MaximumSize", "MinimumDescent", "NSizeHints",
};
static constexpr int qtscript_Qt_SizeHint_values[] = {
    0, 1, 2, 3, 4,
};

static constexpr const char *qtscript_Qt_Key_keys[] = {
    "Key_Space", "Key_Exclam", "Key_QuoteDbl", "Key_NumberSign", "Key_Dollar", "Key_Percent",
    "Key_Ampersand", "Key_Apostrophe", "Key_ParenLeft", "Key_ParenRight", "Key_Asterisk",
    "Key_Plus", "Key_Comma", "Key_Minus", "Key_Period", "Key_Slash", "Key_0", "Key_1", "Key_2",
    "Key_3", "Key_4", "Key_5", "Key_6", "Key_7", "Key_8", "Key_9", "Key_Colon", "Key_Semicolon",
    "Key_Less", "Key_Equal", "Key_Greater", "Key_Question", "Key_At", "Key_A", "Key_B", "Key_C",
    "Key_D", "Key_E", "Key_F", "Key_G", "Key_H", "Key_I", "Key_J", "Key_K", "Key_L", "Key_M",
    "Key_N", "Key_O", "Key_P", "Key_Q", "Key_R", "Key_S", "Key_T", "Key_U", "Key_V", "Key_W",
    "Key_X", "Key_Y", "Key_Z", "Key_BracketLeft", "Key_Backslash", "Key_BracketRight",
    "Key_AsciiCircum", "Key_Underscore", "Key_QuoteLeft", "Key_BraceLeft", "Key_Bar",
    "Key_BraceRight", "Key_AsciiTilde", "Key_nobreakspace", "Key_exclamdown", "Key_cent",
    "Key_sterling", "Key_currency", "Key_yen", "Key_brokenbar", "Key_section", "Key_diaeresis",
    "Key_copyright", "Key_ordfeminine", "Key_guillemotleft", "Key_notsign", "Key_hyphen",
    "Key_registered", "Key_macron", "Key_degree", "Key_plusminus", "Key_twosuperior",
    "Key_threesuperior", "Key_acute", "Key_mu", "Key_paragraph", "Key_periodcentered",
    "Key_cedilla", "Key_onesuperior", "Key_masculine", "Key_guillemotright", "Key_onequarter",
    "Key_onehalf", "Key_threequarters", "Key_questiondown", "Key_Agrave", "Key_Aacute",
    "Key_Acircumflex", "Key_Atilde", "Key_Adiaeresis", "Key_Aring", "Key_AE", "Key_Ccedilla",
    "Key_Egrave", "Key_Eacute", "Key_Ecircumflex", "Key_Ediaeresis", "Key_Igrave", "Key_Iacute",
    "Key_Icircumflex", "Key_Idiaeresis", "Key_ETH", "Key_Ntilde", "Key_Ograve", "Key_Oacute",
    "Key_Ocircumflex", "Key_Otilde", "Key_Odiaeresis", "Key_multiply", "Key_Ooblique",
    "Key_Ugrave", "Key_Uacute", "Key_Ucircumflex", "Key_Udiaeresis", "Key_Yacute", "Key_THORN",
    "Key_ssharp", "Key_division", "Key_ydiaeresis", "Key_Escape", "Key_Tab", "Key_Backtab",
    "Key_Backspace", "Key_Return", "Key_Enter", "Key_Insert", "Key_Delete", "Key_Pause",
    "Key_Print", "Key_SysReq", "Key_Clear", "Key_Home", "Key_End", "Key_Left", "Key_Up",
    "Key_Right", "Key_Down", "Key_PageUp", "Key_PageDown", "Key_Shift", "Key_Control", "Key_Meta",
    "Key_Alt", "Key_CapsLock", "Key_NumLock", "Key_ScrollLock", "Key_F1", "Key_F2", "Key_F3",
    "Key_F4", "Key_F5", "Key_F6", "Key_F7", "Key_F8", "Key_F9", "Key_F10", "Key_F11", "Key_F12",
    "Key_F13", "Key_F14", "Key_F15", "Key_F16", "Key_F17", "Key_F18", "Key_F19", "Key_F20",
    "Key_F21", "Key_F22", "Key_F23", "Key_F24", "Key_F25", "Key_F26", "Key_F27", "Key_F28",
    "Key_F29", "Key_F30", "Key_F31", "Key_F32", "Key_F33", "Key_F34", "Key_F35", "Key_Super_L",
    "Key_Super_R", "Key_Menu", "Key_Hyper_L", "Key_Hyper_R", "Key_Help", "Key_Direction_L",
    "Key_Direction_R", "Key_Back", "Key_Forward", "Key_Stop", "Key_Refresh", "Key_VolumeDown",
    "Key_VolumeMute", "Key_VolumeUp", "Key_BassBoost", "Key_BassUp", "Key_BassDown",
    "Key_TrebleUp", "Key_TrebleDown", "Key_MediaPlay", "Key_MediaStop", "Key_MediaPrevious",
    "Key_MediaNext", "Key_MediaRecord", "Key_HomePage", "Key_Favorites", "Key_Search",
    "Key_Standby", "Key_OpenUrl", "Key_LaunchMail", "Key_LaunchMedia", "Key_Launch0",
    "Key_Launch1", "Key_Launch2", "Key_Launch3", "Key_Launch4", "Key_Launch5", "Key_Launch6",
    "Key_Launch7", "Key_Launch8", "Key_Launch9", "Key_LaunchA", "Key_LaunchB", "Key_LaunchC",
    "Key_LaunchD", "Key_LaunchE", "Key_LaunchF", "Key_AltGr", "Key_Multi_key", "Key_Kanji",
    "Key_Muhenkan", "Key_Henkan", "Key_Romaji", "Key_Hiragana", "Key_Katakana",
    "Key_Hiragana_Katakana", "Key_Zenkaku", "Key_Hankaku", "Key_Zenkaku_Hankaku", "Key_Touroku",
    "Key_Massyo", "Key_Kana_Lock", "Key_Kana_Shift", "Key_Eisu_Shift", "Key_Eisu_toggle",
    "Key_Hangul", "Key_Hangul_Start", "Key_Hangul_End", "Key_Hangul_Hanja", "Key_Hangul_Jamo",
    "Key_Hangul_Romaja", "Key_Codeinput", "Key_Hangul_Jeonja", "Key_Hangul_Banja",
    "Key_Hangul_PreHanja", "Key_Hangul_PostHanja", "Key_SingleCandidate", "Key_MultipleCandidate",
    "Key_PreviousCandidate", "Key_Hangul_Special", "Key_Mode_switch", "Key_Dead_Grave",
    "Key_Dead_Acute", "Key_Dead_Circumflex", "Key_Dead_Tilde", "Key_Dead_Macron", "Key_Dead_Breve",
    "Key_Dead_Abovedot", "Key_Dead_Diaeresis", "Key_Dead_Abovering", "Key_Dead_Doubleacute",
    "Key_Dead_Caron", "Key_Dead_Cedilla", "Key_Dead_Ogonek", "Key_Dead_Iota",
    "Key_Dead_Voiced_Sound", "Key_Dead_Semivoiced_Sound", "Key_Dead_Belowdot", "Key_Dead_Hook",
    "Key_Dead_Horn", "Key_MediaLast", "Key_Select", "Key_Yes", "Key_No", "Key_Cancel",
    "Key_Printer", "Key_Execute", "Key_Sleep", "Key_Play", "Key_Zoom", "Key_Context1",
    "Key_Context2", "Key_Context3", "Key_Context4", "Key_Call", "Key_Hangup", "Key_Flip",
    "Key_unknown",
};
static constexpr int qtscript_Qt_Key_values[] = {
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x7B, 0x7C, 0x7D, 0x7E, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA,
    0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA,
    0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA,
    0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA,
    0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xF7, 0xFF, 0x1000000, 0x1000001, 0x1000002, 0x1000003,
    0x1000004, 0x1000005, 0x1000006, 0x1000007, 0x1000008, 0x1000009, 0x100000A, 0x100000B,
    0x1000010, 0x1000011, 0x1000012, 0x1000013, 0x1000014, 0x1000015, 0x1000016, 0x1000017,
    0x1000020, 0x1000021, 0x1000022, 0x1000023, 0x1000024, 0x1000025, 0x1000026, 0x1000030,
    0x1000031, 0x1000032, 0x1000033, 0x1000034, 0x1000035, 0x1000036, 0x1000037, 0x1000038,
    0x1000039, 0x100003A, 0x100003B, 0x100003C, 0x100003D, 0x100003E, 0x100003F, 0x1000040,
    0x1000041, 0x1000042, 0x1000043, 0x1000044, 0x1000045, 0x1000046, 0x1000047, 0x1000048,
    0x1000049, 0x100004A, 0x100004B, 0x100004C, 0x100004D, 0x100004E, 0x100004F, 0x1000050,
    0x1000051, 0x1000052, 0x1000053, 0x1000054, 0x1000055, 0x1000056, 0x1000057, 0x1000058,
    0x1000059, 0x1000060, 0x1000061, 0x1000062, 0x1000063, 0x1000064, 0x1000070, 0x1000071,
    0x1000072, 0x1000073, 0x1000074, 0x1000075, 0x1000076, 0x1000077, 0x1000080, 0x1000081,
    0x1000082, 0x1000083, 0x1000084, 0x1000090, 0x1000091, 0x1000092, 0x1000093, 0x1000094,
    0x10000A0, 0x10000A1, 0x10000A2, 0x10000A3, 0x10000A4, 0x10000A5, 0x10000A6, 0x10000A7,
    0x10000A8, 0x10000A9, 0x10000AA, 0x10000AB, 0x10000AC, 0x10000AD, 0x10000AE, 0x10000AF,
    0x10000B0, 0x10000B1, 0x1001103, 0x1001120, 0x1001121, 0x1001122, 0x1001123, 0x1001124,
    0x1001125, 0x1001126, 0x1001127, 0x1001128, 0x1001129, 0x100112A, 0x100112B, 0x100112C,
    0x100112D, 0x100112E, 0x100112F, 0x1001130, 0x1001131, 0x1001132, 0x1001133, 0x1001134,
    0x1001135, 0x1001136, 0x1001137, 0x1001138, 0x1001139, 0x100113A, 0x100113B, 0x100113C,
    0x100113D, 0x100113E, 0x100113F, 0x100117E, 0x1001250, 0x1001251, 0x1001252, 0x1001253,
    0x1001254, 0x1001255, 0x1001256, 0x1001257, 0x1001258, 0x1001259, 0x100125A, 0x100125B,
    0x100125C, 0x100125D, 0x100125E, 0x100125F, 0x1001260, 0x1001261, 0x1001262, 0x100FFFF,
    0x1010000, 0x1010001, 0x1010002, 0x1020001, 0x1020002, 0x1020003, 0x1020004, 0x1020005,
    0x1020006, 0x1100000, 0x1100001, 0x1100002, 0x1100003, 0x1100004, 0x1100005, 0x1100006,
    0x1FFFFFF,
};

static constexpr const char *qtscript_Qt_ToolBarAreaSizes_keys[] = {
    "NToolBarAreas",
};
static constexpr int qtscript_Qt_ToolBarAreaSizes_values[] = {
    4,
};

static constexpr const char *qtscript_Qt_ArrowType_keys[] = {
    "NoArrow", "UpArrow", "DownArrow", "LeftArrow", "RightArrow",
};
static constexpr int qtscript_Qt_ArrowType_values[] = {
    0, 1, 2, 3, 4,
};

static constexpr const char *qtscript_Qt_FocusPolicy_keys[] = {
    "NoFocus", "TabFocus", "ClickFocus", "StrongFocus", "WheelFocus",
};
static constexpr int qtscript_Qt_FocusPolicy_values[] = {
    0, 1, 2, 11, 15,
};

static constexpr const char *qtscript_Qt_WindowFrameSection_keys[] = {
    "NoSection", "LeftSection", "TopLeftSection", "TopSection", "TopRightSection", "RightSection",
    "BottomRightSection", "BottomSection", "BottomLeftSection", "TitleBarArea",
};
static constexpr int qtscript_Qt_WindowFrameSection_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
};

static constexpr const char *qtscript_Qt_InputMethodQuery_keys[] = {
    "ImMicroFocus", "ImFont", "ImCursorPosition", "ImSurroundingText", "ImCurrentSelection",
};
static constexpr int qtscript_Qt_InputMethodQuery_values[] = {
    0, 1, 2, 3, 4,
};

static constexpr const char *qtscript_Qt_DropAction_keys[] = {
    "IgnoreAction", "CopyAction", "MoveAction", "LinkAction", "ActionMask", "TargetMoveAction",
};
static constexpr int qtscript_Qt_DropAction_values[] = {
    0, 1, 2, 4, 255, 0x8002,
};

static constexpr const char *qtscript_Qt_FillRule_keys[] = {
    "OddEvenFill", "WindingFill",
};
static constexpr int qtscript_Qt_FillRule_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_GlobalColor_keys[] = {
    "color0", "color1", "black", "white", "darkGray", "gray", "lightGray", "red", "green", "blue",
    "cyan", "magenta", "yellow", "darkRed", "darkGreen", "darkBlue", "darkCyan", "darkMagenta",
    "darkYellow", "transparent",
};
static constexpr int qtscript_Qt_GlobalColor_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
};

static constexpr const char *qtscript_Qt_ConnectionType_keys[] = {
    "AutoConnection", "DirectConnection", "QueuedConnection", "AutoCompatConnection",
    "BlockingQueuedConnection",
};
static constexpr int qtscript_Qt_ConnectionType_values[] = {
    0, 1, 2, 3, 4,
};

static constexpr const char *qtscript_Qt_PenCapStyle_keys[] = {
    "FlatCap", "SquareCap", "RoundCap", "MPenCapStyle",
};
static constexpr int qtscript_Qt_PenCapStyle_values[] = {
    0, 16, 32, 48,
};

static constexpr const char *qtscript_Qt_TransformationMode_keys[] = {
    "FastTransformation", "SmoothTransformation",
};
static constexpr int qtscript_Qt_TransformationMode_values[] = {
    0, 1,
};

static constexpr const char *qtscript_Qt_DockWidgetAreaSizes_keys[] = {
    "NDockWidgetAreas",
};
static constexpr int qtscript_Qt_DockWidgetAreaSizes_values[] = {
    4,
};

static constexpr const char *qtscript_Qt_ApplicationAttribute_keys[] = {
    "AA_ImmediateWidgetCreation", "AA_MSWindowsUseDirect3DByDefault", "AA_DontShowIconsInMenus",
    "AA_NativeWindows", "AA_DontCreateNativeWidgetSiblings", "AA_AttributeCount",
};
static constexpr int qtscript_Qt_ApplicationAttribute_values[] = {
    0, 1, 2, 3, 4, 5,
};

static constexpr const char *qtscript_Qt_ShortcutContext_keys[] = {
    "WidgetShortcut", "WindowShortcut", "ApplicationShortcut", "WidgetWithChildrenShortcut",
};
static constexpr int qtscript_Qt_ShortcutContext_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_TextInteractionFlag_keys[] = {
    "NoTextInteraction", "TextSelectableByMouse", "TextSelectableByKeyboard",
    "LinksAccessibleByMouse", "LinksAccessibleByKeyboard", "TextBrowserInteraction",
    "TextEditable", "TextEditorInteraction",
};
static constexpr int qtscript_Qt_TextInteractionFlag_values[] = {
    0, 1, 2, 4, 8, 13, 16, 19,
};

static constexpr const char *qtscript_Qt_CheckState_keys[] = {
    "Unchecked", "PartiallyChecked", "Checked",
};
static constexpr int qtscript_Qt_CheckState_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_DockWidgetArea_keys[] = {
    "NoDockWidgetArea", "LeftDockWidgetArea", "RightDockWidgetArea", "TopDockWidgetArea",
    "BottomDockWidgetArea", "DockWidgetArea_Mask",
};
static constexpr int qtscript_Qt_DockWidgetArea_values[] = {
    0, 1, 2, 4, 8, 15,
};

static constexpr const char *qtscript_Qt_TimeSpec_keys[] = {
    "LocalTime", "UTC", "OffsetFromUTC",
};
static constexpr int qtscript_Qt_TimeSpec_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_ImageConversionFlag_keys[] = {
    "AutoColor", "MonoOnly", "ColorMode_Mask", "OrderedAlphaDither", "DiffuseAlphaDither",
    "AlphaDither_Mask", "OrderedDither", "ThresholdDither", "Dither_Mask", "PreferDither",
    "AvoidDither", "DitherMode_Mask",
};
static constexpr int qtscript_Qt_ImageConversionFlag_values[] = {
    0, 2, 3, 4, 8, 12, 16, 32, 48, 64, 128, 192,
};

static constexpr const char *qtscript_Qt_WindowModality_keys[] = {
    "NonModal", "WindowModal", "ApplicationModal",
};
static constexpr int qtscript_Qt_WindowModality_values[] = {
    0, 1, 2,
};

static constexpr const char *qtscript_Qt_Modifier_keys[] = {
    "MODIFIER_MASK", "UNICODE_ACCEL", "SHIFT", "CTRL", "ALT", "META",
};
static constexpr int qtscript_Qt_Modifier_values[] = {
    -33554432, 0, 0x2000000, 0x4000000, 0x8000000, 0x10000000,
};

static constexpr const char *qtscript_Qt_AlignmentFlag_keys[] = {
    "AlignLeft", "AlignRight", "AlignHCenter", "AlignJustify", "AlignAbsolute",
    "AlignHorizontal_Mask", "AlignTop", "AlignBottom", "AlignVCenter", "AlignCenter",
    "AlignVertical_Mask",
};
static constexpr int qtscript_Qt_AlignmentFlag_values[] = {
    1, 2, 4, 8, 16, 31, 32, 64, 128, 132, 224,
};

static constexpr const char *qtscript_Qt_WidgetAttribute_keys[] = {
    "WA_Disabled", "WA_UnderMouse", "WA_MouseTracking", "WA_ContentsPropagated",
    "WA_OpaquePaintEvent", "WA_StaticContents", "WA_LaidOut", "WA_PaintOnScreen",
    "WA_NoSystemBackground", "WA_UpdatesDisabled", "WA_Mapped", "WA_MacNoClickThrough",
    "WA_PaintOutsidePaintEvent", "WA_InputMethodEnabled", "WA_WState_Visible", "WA_WState_Hidden",
    "WA_ForceDisabled", "WA_KeyCompression", "WA_PendingMoveEvent", "WA_PendingResizeEvent",
    "WA_SetPalette", "WA_SetFont", "WA_SetCursor", "WA_NoChildEventsFromChildren",
    "WA_WindowModified", "WA_Resized", "WA_Moved", "WA_PendingUpdate", "WA_InvalidSize",
    "WA_MacBrushedMetal", "WA_CustomWhatsThis", "WA_LayoutOnEntireRect", "WA_OutsideWSRange",
    "WA_GrabbedShortcut", "WA_TransparentForMouseEvents", "WA_PaintUnclipped", "WA_SetWindowIcon",
    "WA_NoMouseReplay", "WA_DeleteOnClose", "WA_RightToLeft", "WA_SetLayoutDirection",
    "WA_NoChildEventsForParent", "WA_ForceUpdatesDisabled", "WA_WState_Created",
    "WA_WState_CompressKeys", "WA_WState_InPaintEvent", "WA_WState_Reparented",
    "WA_WState_ConfigPending", "WA_WState_Polished", "WA_WState_DND", "WA_WState_OwnSizePolicy",
    "WA_WState_ExplicitShowHide", "WA_ShowModal", "WA_MouseNoMask", "WA_GroupLeader",
    "WA_NoMousePropagation", "WA_Hover", "WA_InputMethodTransparent", "WA_QuitOnClose",
    "WA_KeyboardFocusChange", "WA_AcceptDrops", "WA_DropSiteRegistered", "WA_WindowPropagation",
    "WA_NoX11EventCompression", "WA_TintedBackground", "WA_X11OpenGLOverlay",
    "WA_AlwaysShowToolTips", "WA_MacOpaqueSizeGrip", "WA_SetStyle", "WA_SetLocale",
    "WA_MacShowFocusRect", "WA_MacNormalSize", "WA_MacSmallSize", "WA_MacMiniSize",
    "WA_LayoutUsesWidgetRect", "WA_StyledBackground", "WA_MSWindowsUseDirect3D",
    "WA_CanHostQMdiSubWindowTitleBar", "WA_MacAlwaysShowToolWindow", "WA_StyleSheet",
    "WA_ShowWithoutActivating", "WA_X11BypassTransientForHint", "WA_NativeWindow",
    "WA_DontCreateNativeAncestors", "WA_MacVariableSize", "WA_DontShowOnScreen",
    "WA_X11NetWmWindowTypeDesktop", "WA_X11NetWmWindowTypeDock", "WA_X11NetWmWindowTypeToolBar",
    "WA_X11NetWmWindowTypeMenu", "WA_X11NetWmWindowTypeUtility", "WA_X11NetWmWindowTypeSplash",
    "WA_X11NetWmWindowTypeDialog", "WA_X11NetWmWindowTypeDropDownMenu",
    "WA_X11NetWmWindowTypePopupMenu", "WA_X11NetWmWindowTypeToolTip",
    "WA_X11NetWmWindowTypeNotification", "WA_X11NetWmWindowTypeCombo", "WA_X11NetWmWindowTypeDND",
    "WA_AttributeCount",
};
static constexpr int qtscript_Qt_WidgetAttribute_values[] = {
    0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 32, 33, 34, 35, 36, 37, 38, 39, 41, 42,
    43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 66, 67,
    68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91,
    92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111,
    112, 113, 114, 115, 116, 117,
};

static constexpr const char *qtscript_Qt_TextFormat_keys[] = {
    "PlainText", "RichText", "AutoText", "LogText",
};
static constexpr int qtscript_Qt_TextFormat_values[] = {
    0, 1, 2, 3,
};

static constexpr const char *qtscript_Qt_MouseButton_keys[] = {
    "NoButton", "LeftButton", "RightButton", "MidButton", "XButton1", "XButton2",
    "MouseButtonMask",
};
static constexpr int qtscript_Qt_MouseButton_values[] = {
    0, 1, 2, 4, 8, 16, 255,
};

static constexpr const char *qtscript_Qt_WindowState_keys[] = {
    "WindowNoState", "WindowMinimized", "WindowMaximized", "WindowFullScreen", "WindowActive",
};
static constexpr int qtscript_Qt_WindowState_values[] = {
    0, 1, 2, 4, 8,
};

static constexpr const char *qtscript_Qt_PenStyle_keys[] = {
    "NoPen", "SolidLine", "DashLine", "DotLine", "DashDotLine", "DashDotDotLine", "CustomDashLine",
    "MPenStyle",
};
static constexpr int qtscript_Qt_PenStyle_values[] = {
    0, 1, 2, 3, 4, 5, 6, 15,
};

static constexpr const char *qtscript_Qt_ItemFlag_keys[] = {
    "NoItemFlags", "ItemIsSelectable", "ItemIsEditable", "ItemIsDragEnabled", "ItemIsDropEnabled",
    "ItemIsUserCheckable", "ItemIsEnabled", "ItemIsTristate",
};
static constexpr int qtscript_Qt_ItemFlag_values[] = {
    0, 1, 2, 4, 8, 16, 32, 64,
};

static constexpr const char *qtscript_Qt_HitTestAccuracy_keys[] = {
    "ExactHit", "FuzzyHit",
};
static constexpr int qtscript_Qt_HitTestAccuracy_values[] = {
    0, 1,
};

#endif
