#include "resources/dialog_templates.h"

#include "kartora_version.h"
#include "platform/win_types.h"
#include "resources/icons.h"
#include "resources/resource.h"

namespace
{

constexpr int IDC_STATIC = -1;

constexpr std::uint32_t HidDialog(int dialogId)
{
    return HID_BASE_RESOURCE + static_cast<std::uint32_t>(dialogId);
}

// Shorthands for the reference dialog's controls: every control there carries
// a help context number built from its id, except the ones made with Label().
ControlTemplate Ctl(int id, ControlKind kind, const char* text, int x, int y, int cx, int cy, std::uint32_t style)
{
    return {id, kind, text, x, y, cx, cy, style, HidReferenceDialogControl(id)};
}
ControlTemplate Label(int id, const char* text, int x, int y, int cx, int cy, std::uint32_t style = CS_NONE)
{
    return {id, ControlKind::Static, text, x, y, cx, cy, style, 0};
}

DialogTemplate MakeAboutBox()
{
    return {IDD_ABOUTBOX,
            "About Kartora",
            235,
            58,
            "MS Sans Serif",
            8,
            DS_MODALFRAME | DS_CAPTION | DS_SYSMENU,
            HidDialog(IDD_ABOUTBOX),
            {
                {IDC_STATIC, ControlKind::Icon, "130", 7, 7, 20, 20, CS_NONE, 0},
                {IDC_STATIC, ControlKind::Static, "Tesselo Version " KARTORA_VERSION, 40, 9, 119, 8, CS_NONE, 0},
                {IDC_STATIC, ControlKind::Static, "Map reference files for the Wayloft GPS device", 40, 23, 187, 8,
                 CS_NONE, 0},
                {IDOK, ControlKind::DefPushButton, "OK", 178, 37, 50, 14, CS_GROUP | CS_TABSTOP, 0},
            }};
}

// The reference dialog: 251 x 189 units of Arial 10 pt. Measured with
// Liberation Sans (Arial's metric twin) at 96 dpi, one horizontal unit is
// 2 px and one vertical unit 15/8 px (average character width 8 px, height
// 15 px).
//
// The coordinate rows are laid out again by the dialog at every format
// switch, from a table in units of two pixels. Their rectangles here are
// that table's "dec.Minute" column converted to dialog units at the
// measured font (x and width unchanged, y and height times 16/15, rounded),
// so that the dialog looks the same before and after its first layout: row 1
// (longitude) at y 105, row 2 (latitude) at y 126, from x 78 to x 212.
// Everything else is placed around those two rows:
//
//   y   7-37   map name and BMP file name; the language button top right
//   y  43-66   format, datum and height difference, label above each field
//   y  73-152  group "Reference Points": point buttons, "Ref.from Map" and
//              "Show Map" on one line, then pixel x / y left of each row
//   y 168-182  Load, Save on the left; Close, Cancel on the right
//
// Widths leave room for the longer German texts the dialog switches to
// ("Eingabe-Kartendatum" 126 px, "Schließen" 58 px plus the button frame).
// Creation order is the tab order: map name, file name, pixels, then the
// coordinate fields row by row (zone before northing).
DialogTemplate MakeReferenceDialog()
{
    constexpr auto kEdit = ControlKind::Edit;
    constexpr auto kPush = ControlKind::PushButton;
    constexpr std::uint32_t kTab = CS_TABSTOP;
    constexpr std::uint32_t kNumber = CS_TABSTOP | CS_RIGHT;

    return {IDD_REFERENCE_DIALOG,
            "Kartora for Wayloft",
            251,
            189,
            "Arial",
            10,
            DS_MODALFRAME | DS_CAPTION | DS_SYSMENU | DS_CONTEXTHELP | DS_MINIMIZEBOX,
            HidDialog(IDD_REFERENCE_DIALOG),
            {
                Label(IDC_MAP_NAME_LABEL, "Map Name", 7, 9, 58, 9),
                Ctl(IDC_MAP_NAME, kEdit, "", 68, 7, 132, 13, kTab),
                Label(IDC_BMP_FILE_NAME_LABEL, "BMP-File Name", 7, 26, 58, 9),
                Ctl(IDC_BMP_FILE_NAME, kEdit, "", 68, 24, 132, 13, kTab),

                Label(IDC_FORMAT_LABEL, "Input / Display Format", 7, 43, 76, 9),
                Ctl(IDC_FORMAT, ControlKind::DropList, "dec.Degree\ndec.Minute\ndec.Second\nUTM", 7, 53, 76, 60, kTab),
                Label(IDC_DATUM_LABEL, "Input / Map Datum", 90, 43, 72, 9),
                Ctl(IDC_DATUM, ControlKind::DropList, "WGS84\nEuropean\nPotsdam", 90, 53, 72, 50, kTab),
                Label(IDC_HEIGHT_DIFF_LABEL, "Height Difference", 170, 43, 74, 9),
                Ctl(IDC_HEIGHT_DIFF, kEdit, "", 170, 53, 50, 13, kTab),

                {IDC_REF_POINTS_GROUP, ControlKind::GroupBox, "Reference Points", 7, 73, 237, 79, CS_NONE, 0},
                Ctl(IDC_REF_POINT_1, ControlKind::RadioButton, "Ref.Point 1", 14, 88, 50, 10, CS_GROUP | kTab),
                Ctl(IDC_REF_POINT_2, ControlKind::RadioButton, "Ref.Point 2", 68, 88, 50, 10, CS_NONE),
                Ctl(IDC_REF_FROM_MAP, kPush, "Ref.from Map", 148, 86, 48, 14, CS_GROUP | kTab),
                Ctl(IDC_SHOW_MAP, kPush, "Show Map", 199, 86, 40, 14, CS_DISABLED | kTab),
                Label(IDC_PIXEL_X_LABEL, "X-Pixel", 14, 107, 25, 9),
                Ctl(IDC_PIXEL_X, kEdit, "", 40, 105, 32, 13, kTab),
                Label(IDC_PIXEL_Y_LABEL, "Y-Pixel", 14, 128, 25, 9),
                Ctl(IDC_PIXEL_Y, kEdit, "", 40, 126, 32, 13, kTab),

                // Row 1: longitude, or easting and zone.
                Ctl(IDC_LONG_DEGREE, kEdit, "", 78, 105, 20, 13, kNumber),
                Label(IDC_LONG_DEGREE_SIGN, "°", 100, 106, 8, 11),
                Ctl(IDC_LONG_MINUTE, kEdit, "", 108, 105, 32, 13, kNumber),
                Label(IDC_LONG_MINUTE_SIGN, "'", 142, 106, 8, 11),
                Ctl(IDC_LONG_SECOND, kEdit, "", 114, 105, 34, 13, kNumber | CS_HIDDEN),
                Label(IDC_LONG_SECOND_SIGN, "''", 114, 106, 34, 13, CS_HIDDEN),
                {IDC_LONG_SIGN, kPush, "E", 150, 105, 13, 13, kTab | CS_HIDDEN, 0},
                Ctl(IDC_LONG_LABEL, ControlKind::Static, "Long", 170, 106, 21, 11, CS_NONE),
                Ctl(IDC_EASTING, kEdit, "", 78, 105, 40, 13, kTab | CS_HIDDEN),
                Ctl(IDC_EASTING_LABEL, ControlKind::Static, "Easting", 120, 106, 28, 11, CS_HIDDEN),
                Ctl(IDC_ZONE, kEdit, "", 150, 105, 20, 13, kTab | CS_NUMBER | CS_HIDDEN),
                Ctl(IDC_ZONE_LABEL, ControlKind::Static, "Zone Number", 172, 106, 40, 11, CS_HIDDEN),

                // Row 2: latitude, or northing and hemisphere.
                Ctl(IDC_LAT_DEGREE, kEdit, "", 78, 126, 20, 13, kNumber),
                Label(IDC_LAT_DEGREE_SIGN, "°", 100, 127, 8, 11),
                Ctl(IDC_LAT_MINUTE, kEdit, "", 108, 126, 32, 13, kNumber),
                Label(IDC_LAT_MINUTE_SIGN, "'", 142, 127, 8, 11),
                Ctl(IDC_LAT_SECOND, kEdit, "", 114, 126, 34, 13, kNumber | CS_HIDDEN),
                Label(IDC_LAT_SECOND_SIGN, "''", 114, 127, 34, 13, CS_HIDDEN),
                {IDC_LAT_SIGN, kPush, "N", 150, 126, 13, 13, kTab | CS_HIDDEN, 0},
                Ctl(IDC_LAT_LABEL, ControlKind::Static, "Lat", 170, 127, 21, 11, CS_NONE),
                Ctl(IDC_NORTHING, kEdit, "", 78, 126, 40, 13, kTab | CS_HIDDEN),
                Ctl(IDC_NORTHING_LABEL, ControlKind::Static, "Northing", 120, 127, 28, 11, CS_HIDDEN),
                Ctl(IDC_HEMISPHERE_LABEL, ControlKind::Static, "Hemisphere", 172, 127, 40, 11, CS_HIDDEN),

                Ctl(IDC_LOAD, kPush, "Load", 7, 168, 44, 14, CS_GROUP | kTab),
                Ctl(IDC_SAVE, kPush, "Save", 55, 168, 44, 14, kTab),
                Ctl(IDOK, ControlKind::DefPushButton, "Close", 152, 168, 44, 14, kTab),
                Ctl(IDCANCEL, kPush, "Cancel", 200, 168, 44, 14, kTab),
                Ctl(IDC_LANGUAGE, kPush, "Deutsch", 210, 5, 34, 12, kTab),
            }};
}

// Where the reference dialog's coordinate rows stand (dialog units): every
// control from x 78 on between y 105 (row 1) and y 127 (row 2's labels).
constexpr int kCoordinateRowsX = 78;
constexpr int kCoordinateRowsTop = 105;
constexpr int kCoordinateRowsBottom = 127;

// Asks for the known position of a feature clicked on the map (a third
// point to check): the reference dialog's coordinate rows, moved
// to the top left under the prompt, in Arial 10 pt as there, so that the
// reference dialog's layout table places them in every format. The caption
// and the texts follow the language; the dialog sets them.
DialogTemplate MakeKnownPosition()
{
    DialogTemplate dialog = {
        IDD_KNOWN_POSITION,
        "Known Position",
        150,
        96,
        "Arial",
        10,
        DS_MODALFRAME | DS_CAPTION | DS_SYSMENU,
        HidDialog(IDD_KNOWN_POSITION),
        {{IDC_POSITION_PROMPT, ControlKind::Static, "", 7, 4, 136, 26, CS_NONE, 0}},
    };
    // The coordinate rows: the controls from x 78 on in the rows at y 105
    // and 126, moved; without the reference dialog's help numbers, so that
    // help on them shows this dialog's topic.
    for (ControlTemplate control : MakeReferenceDialog().controls)
    {
        if (control.x < kCoordinateRowsX || control.y < kCoordinateRowsTop || control.y > kCoordinateRowsBottom)
            continue;
        control.x += kKnownPositionShiftX;
        control.y += kKnownPositionShiftY;
        control.helpId = 0;
        dialog.controls.push_back(control);
    }
    dialog.controls.push_back({IDOK, ControlKind::DefPushButton, "OK", 39, 76, 34, 14, CS_GROUP | CS_TABSTOP, 0});
    dialog.controls.push_back({IDCANCEL, ControlKind::PushButton, "Cancel", 77, 76, 34, 14, CS_TABSTOP, 0});
    return dialog;
}

DialogTemplate MakeErrorMessage()
{
    // Created hidden: the window shows itself at each input error.
    return {IDD_ERROR_MESSAGE,
            "Error Message",
            131,
            32,
            "Arial",
            10,
            DS_CAPTION | DS_SYSMENU,
            HidDialog(IDD_ERROR_MESSAGE),
            {
                {IDC_ERROR_TEXT, ControlKind::Static, "Static", 7, 7, 93, 11, CS_NONE, 0},
            }};
}

DialogTemplate MakeLanguageDialog()
{
    return {IDD_LANGUAGE,
            "Select Language",
            80,
            79,
            "MS Sans Serif",
            8,
            DS_MODALFRAME | DS_CAPTION | DS_SYSMENU,
            HidDialog(IDD_LANGUAGE),
            {
                {IDC_LANGUAGE_LIST, ControlKind::DropList, "Deutsch\nEnglish", 7, 7, 66, 43, CS_TABSTOP, 0},
                {IDC_SEARCH_HELP, ControlKind::PushButton, "Search Help File", 7, 62, 66, 14, CS_TABSTOP, 0},
            }};
}

DialogTemplate MakeMessageBox()
{
    // "Cancel" stands where "No" stands: the two are never shown together
    // except in the Yes/No/Cancel set, where the box moves "No" aside.
    return {
        IDD_MESSAGE_BOX,
        "",
        166,
        52,
        "Arial",
        9,
        DS_MODALFRAME,
        HidDialog(IDD_MESSAGE_BOX),
        {
            {IDC_MESSAGE, ControlKind::Edit, "", 7, 7, 152, 19, CS_MULTILINE | CS_CENTER | CS_READONLY | CS_TABSTOP, 0},
            {IDC_YES, ControlKind::DefPushButton, "Yes", 7, 31, 36, 14, CS_TABSTOP, 0},
            {IDOK, ControlKind::PushButton, "Ok", 65, 31, 36, 14, CS_TABSTOP, 0},
            {IDC_NO, ControlKind::PushButton, "No", 123, 31, 36, 14, CS_TABSTOP, 0},
            {IDCANCEL, ControlKind::PushButton, "Cancel", 123, 31, 36, 14, CS_TABSTOP, 0},
        }};
}

} // namespace

const DialogTemplate& GetDialogTemplate(int id)
{
    // The dialogs' icon controls load their icons by resource path.
    RegisterResourceFiles();

    // Built once, on first use, and constant afterwards.
    static const DialogTemplate s_aboutBox = MakeAboutBox();
    static const DialogTemplate s_referenceDialog = MakeReferenceDialog();
    static const DialogTemplate s_errorMessage = MakeErrorMessage();
    static const DialogTemplate s_languageDialog = MakeLanguageDialog();
    static const DialogTemplate s_messageBox = MakeMessageBox();
    static const DialogTemplate s_knownPosition = MakeKnownPosition();
    static const DialogTemplate s_none = {0, "", 0, 0, "", 0, DS_NONE, 0, {}};

    switch (id)
    {
    case IDD_ABOUTBOX:
        return s_aboutBox;
    case IDD_REFERENCE_DIALOG:
        return s_referenceDialog;
    case IDD_ERROR_MESSAGE:
        return s_errorMessage;
    case IDD_LANGUAGE:
        return s_languageDialog;
    case IDD_MESSAGE_BOX:
        return s_messageBox;
    case IDD_KNOWN_POSITION:
        return s_knownPosition;
    default:
        return s_none;
    }
}
