#pragma once
// Dialog templates held as data: what a resource script described for each
// dialog. Rectangles are in dialog units of the template's font: one
// horizontal unit is a quarter of the font's average character width, one
// vertical unit an eighth of its height. Texts are UTF-8.

#include <cstdint>
#include <vector>

enum class ControlKind
{
    PushButton,
    DefPushButton, ///< the push button that Enter presses
    RadioButton,   ///< an automatic radio button
    CheckBox,
    GroupBox,
    Static, ///< a text label
    Icon,   ///< a static picture showing an icon resource (text = icon id as decimal)
    Edit,
    DropList, ///< a combo box with a drop-down list and no edit field
};

/// Control styles, combinable.
enum ControlStyle : std::uint32_t
{
    CS_NONE = 0,
    CS_HIDDEN = 0x0001,    ///< not visible at creation
    CS_DISABLED = 0x0002,  ///< disabled at creation
    CS_TABSTOP = 0x0004,   ///< reached with Tab
    CS_GROUP = 0x0008,     ///< first control of a group (radio buttons)
    CS_RIGHT = 0x0010,     ///< edit or static: text right-aligned
    CS_CENTER = 0x0020,    ///< edit or static: text centred
    CS_MULTILINE = 0x0040, ///< edit: several lines, word-wrapped
    CS_READONLY = 0x0080,  ///< edit: not editable
    CS_NUMBER = 0x0100,    ///< edit: digits only
};

struct ControlTemplate
{
    int id; ///< control id; -1 for labels nobody addresses
    ControlKind kind;
    const char* text;     ///< caption or initial text; DropList: the items, separated by '\n'
    int x, y, cx, cy;     ///< dialog units
    std::uint32_t style;  ///< ControlStyle bits
    std::uint32_t helpId; ///< help context number, 0 for none
};

/// Dialog styles, combinable.
enum DialogStyle : std::uint32_t
{
    DS_NONE = 0,
    DS_CAPTION = 0x0001,     ///< title bar
    DS_SYSMENU = 0x0002,     ///< close box in the title bar
    DS_MODALFRAME = 0x0004,  ///< dialog frame
    DS_CONTEXTHELP = 0x0008, ///< "?" button in the title bar: context-help mode
    DS_MINIMIZEBOX = 0x0010,
    DS_VISIBLE = 0x0020, ///< visible at creation
    DS_TOPMOST = 0x0040,
};

struct DialogTemplate
{
    int id; ///< resource id
    const char* caption;
    int cx, cy; ///< dialog units
    const char* fontName;
    int pointSize;
    std::uint32_t style;                   ///< DialogStyle bits
    std::uint32_t helpId;                  ///< help context number of the dialog itself
    std::vector<ControlTemplate> controls; ///< in creation (z and tab) order
};
