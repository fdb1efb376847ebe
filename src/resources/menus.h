#pragma once
// Kartora's menus and accelerators as data, and their Qt form: the frame's
// menu bar (128), the map view's context menu (137) and the frame's
// accelerator table (128). Captions are UTF-8; "&" marks the mnemonic.

#include <QKeySequence>

#include <cstdint>
#include <span>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;

struct MenuItemTemplate
{
    const char* caption = nullptr;       ///< null for a separator
    int commandId = 0;                   ///< 0 for separators and pop-ups
    std::vector<MenuItemTemplate> popup; ///< the items of a pop-up, empty otherwise

    bool IsSeparator() const { return caption == nullptr; }
    bool IsPopup() const { return !popup.empty(); }
};

struct MenuTemplate
{
    int id = 0;
    std::vector<MenuItemTemplate> items; ///< top level: the pop-ups
};

/// Menu `id` (IDR_MAINFRAME or IDR_CONTEXT_MENU), or an empty menu with id 0.
const MenuTemplate& GetMenuTemplate(int id);

struct AcceleratorTemplate
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int commandId;

    QKeySequence Sequence() const { return QKeySequence(QKeyCombination(modifiers, key)); }
};

/// The accelerator table `id` (IDR_MAINFRAME), empty for any other id. It
/// has no Ctrl+N, Ctrl+O or Ctrl+S: a new or opened document would set the
/// map view up again, and that builds a second reference dialog.
std::span<const AcceleratorTemplate> GetAccelerators(int id);

/// The caption of command `commandId` in `language` (1 English, any other
/// value German) for the commands whose captions follow the user's language
/// (Export calibration..., Import calibration..., Check calibration, Check
/// point here..., Grid); null for the others.
const char* CommandCaptionIn(int commandId, std::int32_t language);

/// Gives the items of `menu` whose captions follow the language their
/// caption in `language`.
void SetMenuLanguage(QMenu* menu, std::int32_t language);

/// Fills `menuBar` with the pop-ups of menu `menuId`. Every command item is
/// a QAction whose data() is its command id.
void LoadMenuBar(QMenuBar* menuBar, int menuId);

/// Pop-up number `index` of menu `menuId` as a new QMenu owned by `parent`
/// (the caller may delete it earlier), or null when there is no such pop-up.
/// Every command item is a QAction whose data() is its command id.
QMenu* LoadPopupMenu(int menuId, int index, QWidget* parent);
