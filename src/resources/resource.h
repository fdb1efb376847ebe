#pragma once
// Resource ids of Kartora: dialogs, menus, icons, accelerators, strings,
// control ids and command ids. The numbers are fixed: help context numbers
// are built from them (0x20000 + dialog id, 0x80000000 + dialog id << 16 +
// control id, 0x10000 + command id), so the help files' anchors depend on
// them, and the framework's standard commands keep their usual values.
//
// IDOK (1) and IDCANCEL (2), also control ids, are in platform/win_types.h.

// Dialogs.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_REFERENCE_DIALOG = 130;
constexpr int IDD_ERROR_MESSAGE = 134;
constexpr int IDD_LANGUAGE = 137;
constexpr int IDD_MESSAGE_BOX = 141;
// Windows of the calibration checks (their help context numbers).
constexpr int IDD_CHECK_REPORT = 150;   ///< the report of "Check calibration"
constexpr int IDD_KNOWN_POSITION = 151; ///< asks for the position of a clicked feature
constexpr int IDD_FIT = 152;            ///< the fit points and their residuals

// Menus, icons, accelerators and the document template string.
constexpr int IDR_MAINFRAME = 128;    ///< frame menu, frame icon, accelerators, document string
constexpr int IDI_DIALOG = 130;       ///< the dialogs' icon
constexpr int IDR_CONTEXT_MENU = 137; ///< the map view's context menu

// Controls of the reference dialog (130).
constexpr int IDC_MAP_NAME = 1000;
constexpr int IDC_BMP_FILE_NAME = 1001;
constexpr int IDC_PIXEL_X = 1002;
constexpr int IDC_PIXEL_Y = 1003;
constexpr int IDC_LONG_DEGREE = 1004; ///< degrees, or decimal degrees, of longitude
constexpr int IDC_LONG_MINUTE = 1005;
constexpr int IDC_LONG_SECOND = 1006;
constexpr int IDC_LONG_SIGN = 1007; ///< east/west button
constexpr int IDC_LAT_DEGREE = 1008;
constexpr int IDC_LAT_MINUTE = 1009;
constexpr int IDC_LAT_SECOND = 1010;
constexpr int IDC_LAT_SIGN = 1011; ///< north/south button, the UTM hemisphere
constexpr int IDC_EASTING = 1012;
constexpr int IDC_NORTHING = 1013;
constexpr int IDC_ZONE = 1014;
constexpr int IDC_HEIGHT_DIFF = 1016;
constexpr int IDC_SHOW_MAP = 1017;
constexpr int IDC_LOAD = 1019;
constexpr int IDC_SAVE = 1020;
constexpr int IDC_LONG_SECOND_SIGN = 1022;
constexpr int IDC_LAT_SECOND_SIGN = 1023;
constexpr int IDC_REF_FROM_MAP = 1024;
constexpr int IDC_REF_POINTS_GROUP = 1025;
constexpr int IDC_LONG_DEGREE_SIGN = 1033;
constexpr int IDC_LAT_DEGREE_SIGN = 1034;
constexpr int IDC_LONG_MINUTE_SIGN = 1035;
constexpr int IDC_LAT_MINUTE_SIGN = 1036;
constexpr int IDC_LONG_LABEL = 1037;
constexpr int IDC_LAT_LABEL = 1038;
constexpr int IDC_FORMAT = 1039;
constexpr int IDC_DATUM = 1040;
constexpr int IDC_REF_POINT_1 = 1044;
constexpr int IDC_REF_POINT_2 = 1045;
constexpr int IDC_LANGUAGE = 1048;
constexpr int IDC_EASTING_LABEL = 1057;
constexpr int IDC_NORTHING_LABEL = 1059;
constexpr int IDC_ZONE_LABEL = 1061;
constexpr int IDC_HEMISPHERE_LABEL = 1063;
constexpr int IDC_MAP_NAME_LABEL = 1066;
constexpr int IDC_BMP_FILE_NAME_LABEL = 1067;
constexpr int IDC_PIXEL_X_LABEL = 1068;
constexpr int IDC_PIXEL_Y_LABEL = 1069;
constexpr int IDC_HEIGHT_DIFF_LABEL = 1070;
constexpr int IDC_DATUM_LABEL = 1071;
constexpr int IDC_FORMAT_LABEL = 1072;

// Controls of the known-position dialog (151); its coordinate fields have
// the reference dialog's ids.
constexpr int IDC_POSITION_PROMPT = 1080;

// Controls of the error window (134), the language dialog (137) and the message box (141).
constexpr int IDC_ERROR_TEXT = 1046;
constexpr int IDC_LANGUAGE_LIST = 1049;
constexpr int IDC_SEARCH_HELP = 1050;
constexpr int IDC_NO = 1052;
constexpr int IDC_YES = 1053;
constexpr int IDC_MESSAGE = 1055;

// Commands of Kartora's own menus.
constexpr int ID_IMPORT_REFPOINTS = 1018;
constexpr int ID_SHOW_DIALOG = 32771;
constexpr int ID_REF_POINT_1 = 32780;
constexpr int ID_REF_POINT_2 = 32781;
constexpr int ID_HIDE_DIALOG = 32782;
constexpr int ID_HIDE_MAP = 32783;
constexpr int ID_EXPORT_CALIBRATION = 32784;
constexpr int ID_IMPORT_CALIBRATION = 32785;
// The calibration's checks and grid.
constexpr int ID_CHECK_CALIBRATION = 32800;
constexpr int ID_CHECK_POINT = 32801;
constexpr int ID_GRID = 32802;
constexpr int ID_ADD_FIT_POINT = 32803;

// The framework's standard commands.
constexpr int ID_SEPARATOR = 0; ///< status bar: the message pane
constexpr int ID_EDIT_COPY = 0xE122;
constexpr int ID_EDIT_CUT = 0xE123;
constexpr int ID_EDIT_PASTE = 0xE125;
constexpr int ID_EDIT_UNDO = 0xE12B;
constexpr int ID_APP_ABOUT = 0xE140;
constexpr int ID_APP_EXIT = 0xE141;
constexpr int ID_HELP_INDEX = 0xE142;
constexpr int ID_HELP_FINDER = 0xE143;
constexpr int ID_HELP_USING = 0xE144;
constexpr int ID_CONTEXT_HELP = 0xE145;
constexpr int ID_HELP = 0xE146;
constexpr int ID_DEFAULT_HELP = 0xE147;
constexpr int ID_NEXT_PANE = 0xE150;
constexpr int ID_PREV_PANE = 0xE151;

// Status bar indicators; each is also the id of its text.
constexpr int ID_INDICATOR_EXT = 0xE700;
constexpr int ID_INDICATOR_CAPS = 0xE701;
constexpr int ID_INDICATOR_NUM = 0xE702;
constexpr int ID_INDICATOR_SCRL = 0xE703;
constexpr int ID_INDICATOR_OVR = 0xE704;
constexpr int ID_INDICATOR_REC = 0xE705;

/// Control id of the frame's status bar.
constexpr int AFX_IDW_STATUS_BAR = 59393;

// Strings of the framework.
constexpr int AFX_IDS_APP_TITLE = 0xE000;
constexpr int AFX_IDS_IDLEMESSAGE = 0xE001;
constexpr int AFX_IDS_HELPMODEMESSAGE = 0xE002;
// Status bar prompts of the window's system menu.
constexpr int AFX_IDS_SCSIZE = 0xEF00;
constexpr int AFX_IDS_SCMOVE = 0xEF01;
constexpr int AFX_IDS_SCMINIMIZE = 0xEF02;
constexpr int AFX_IDS_SCMAXIMIZE = 0xEF03;
constexpr int AFX_IDS_SCNEXTWINDOW = 0xEF04;
constexpr int AFX_IDS_SCPREVWINDOW = 0xEF05;
constexpr int AFX_IDS_SCCLOSE = 0xEF06;
constexpr int AFX_IDS_SCRESTORE = 0xEF12;
constexpr int AFX_IDS_SCTASKLIST = 0xEF13;

// Help context numbers.
constexpr unsigned HID_BASE_RESOURCE = 0x20000u; ///< + dialog or frame resource id
constexpr unsigned HID_BASE_COMMAND = 0x10000u;  ///< + command id
/// Help context number of control `controlId` of the reference dialog.
constexpr unsigned HidReferenceDialogControl(int controlId)
{
    return 0x80000000u + (static_cast<unsigned>(IDD_REFERENCE_DIALOG) << 16) + static_cast<unsigned>(controlId);
}
