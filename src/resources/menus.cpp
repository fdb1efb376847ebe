#include "resources/menus.h"

#include <QMenu>
#include <QMenuBar>

#include <array>

#include "resources/resource.h"

namespace
{

MenuItemTemplate Item(const char* caption, int commandId)
{
    return {caption, commandId, {}};
}
MenuItemTemplate Separator()
{
    return {};
}
MenuItemTemplate Popup(const char* caption, std::vector<MenuItemTemplate> items)
{
    return {caption, 0, std::move(items)};
}

const MenuTemplate& MainFrameMenu()
{
    static const MenuTemplate s_menu = {
        IDR_MAINFRAME,
        {
            // "Show Dialog" (F6, the next-pane key) is the keyboard's way back
            // from the map window to the hidden reference dialog.
            Popup("File", {Separator(), Item("Import Ref.Points", ID_IMPORT_REFPOINTS),
                           Item("Export calibration\u2026", ID_EXPORT_CALIBRATION),
                           Item("Import calibration\u2026", ID_IMPORT_CALIBRATION),
                           Item("Check calibration", ID_CHECK_CALIBRATION), Item("Grid", ID_GRID),
                           Item("Show Dialog\tF6", ID_SHOW_DIALOG), Item("Exit", ID_APP_EXIT)}),
            Popup("&?", {Item("Help", ID_HELP_FINDER), Separator(), Item("About Kartora...", ID_APP_ABOUT)}),
        }};
    return s_menu;
}

const MenuTemplate& ContextMenu()
{
    static const MenuTemplate s_menu = {
        IDR_CONTEXT_MENU,
        {
            Popup("", {Item("Ref. Point 1", ID_REF_POINT_1), Item("Ref. Point 2", ID_REF_POINT_2),
                       Item("Show Dialog", ID_SHOW_DIALOG), Item("Hide Dialog", ID_HIDE_DIALOG),
                       Item("Hide Map", ID_HIDE_MAP), Separator(), Item("Check point here\u2026", ID_CHECK_POINT),
                       Item("Add fit point here\u2026", ID_ADD_FIT_POINT),
                       Item("Check calibration", ID_CHECK_CALIBRATION), Item("Grid", ID_GRID)}),
        }};
    return s_menu;
}

// All virtual-key accelerators of the frame, less the three document commands.
const std::array<AcceleratorTemplate, 12> kMainFrameAccelerators = {{
    {Qt::Key_Z, Qt::ControlModifier, ID_EDIT_UNDO},
    {Qt::Key_X, Qt::ControlModifier, ID_EDIT_CUT},
    {Qt::Key_C, Qt::ControlModifier, ID_EDIT_COPY},
    {Qt::Key_V, Qt::ControlModifier, ID_EDIT_PASTE},
    {Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},
    {Qt::Key_Delete, Qt::ShiftModifier, ID_EDIT_CUT},
    {Qt::Key_Insert, Qt::ControlModifier, ID_EDIT_COPY},
    {Qt::Key_Insert, Qt::ShiftModifier, ID_EDIT_PASTE},
    {Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
    {Qt::Key_F6, Qt::ShiftModifier, ID_PREV_PANE},
    {Qt::Key_F1, Qt::ShiftModifier, ID_CONTEXT_HELP},
    {Qt::Key_F1, Qt::NoModifier, ID_HELP},
}};

// Pixels between a menu's frame and a separator that comes first: some
// styles give a separator no room of its own, and its line would lie on
// the frame.
constexpr int kLeadingSeparatorMargin = 3;

void AddItems(QMenu* menu, const std::vector<MenuItemTemplate>& items)
{
    // Every separator of a template is drawn: Qt would hide a leading one,
    // and the File menu begins with one.
    menu->setSeparatorsCollapsible(false);
    if (!items.empty() && items.front().IsSeparator())
        menu->setContentsMargins(0, kLeadingSeparatorMargin, 0, 0);
    for (const MenuItemTemplate& item : items)
    {
        if (item.IsSeparator())
            menu->addSeparator();
        else if (item.IsPopup())
            AddItems(menu->addMenu(QString::fromUtf8(item.caption)), item.popup);
        else
            menu->addAction(QString::fromUtf8(item.caption))->setData(item.commandId);
    }
}

// Kartora's own commands speak the language the user chose; the others keep
// the captions the menus always had.
struct CommandCaption
{
    int commandId;
    const char* german;
    const char* english;
};

constexpr CommandCaption kCommandCaptions[] = {
    {ID_EXPORT_CALIBRATION, "Kalibrierung exportieren\u2026", "Export calibration\u2026"},
    {ID_IMPORT_CALIBRATION, "Kalibrierung importieren\u2026", "Import calibration\u2026"},
    {ID_CHECK_CALIBRATION, "Kalibrierung pr\u00fcfen", "Check calibration"},
    {ID_CHECK_POINT, "Punkt hier pr\u00fcfen\u2026", "Check point here\u2026"},
    {ID_GRID, "Gitternetz", "Grid"},
    {ID_ADD_FIT_POINT, "Passpunkt hier hinzuf\u00fcgen\u2026", "Add fit point here\u2026"},
};

} // namespace

const char* CommandCaptionIn(int commandId, std::int32_t language)
{
    for (const CommandCaption& caption : kCommandCaptions)
        if (caption.commandId == commandId)
            return language == 1 ? caption.english : caption.german;
    return nullptr;
}

void SetMenuLanguage(QMenu* menu, std::int32_t language)
{
    for (QAction* action : menu->actions())
        if (const char* caption = CommandCaptionIn(action->data().toInt(), language))
            action->setText(QString::fromUtf8(caption));
}

const MenuTemplate& GetMenuTemplate(int id)
{
    static const MenuTemplate s_none;
    switch (id)
    {
    case IDR_MAINFRAME:
        return MainFrameMenu();
    case IDR_CONTEXT_MENU:
        return ContextMenu();
    default:
        return s_none;
    }
}

std::span<const AcceleratorTemplate> GetAccelerators(int id)
{
    if (id == IDR_MAINFRAME)
        return kMainFrameAccelerators;
    return {};
}

void LoadMenuBar(QMenuBar* menuBar, int menuId)
{
    for (const MenuItemTemplate& popup : GetMenuTemplate(menuId).items)
        AddItems(menuBar->addMenu(QString::fromUtf8(popup.caption)), popup.popup);
}

QMenu* LoadPopupMenu(int menuId, int index, QWidget* parent)
{
    const std::vector<MenuItemTemplate>& popups = GetMenuTemplate(menuId).items;
    if (index < 0 || index >= static_cast<int>(popups.size()))
        return nullptr;
    auto* menu = new QMenu(QString::fromUtf8(popups[static_cast<std::size_t>(index)].caption), parent);
    AddItems(menu, popups[static_cast<std::size_t>(index)].popup);
    return menu;
}
