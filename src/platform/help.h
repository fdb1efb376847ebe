#pragma once
// The help system: our help files are HTML documents in Windows-1252 with one
// anchor per help context number (<a name="0x808203EC">, 8 upper-case hex
// digits) and the anchor "contents" at the top. WinHelp shows a file in one
// help window (QTextBrowser), at a context number or at its contents page.
//
// Context-help mode (Shift+F1, or a dialog's "?" title-bar button): the next
// click on a widget asks for help on that widget instead of acting on it. A
// widget inside a CDialog gets CDialog::OnHelpInfo with its help context
// number; any other widget opens the application's help file at its "helpId"
// property (or its window's). A widget with Qt::WA_CustomWhatsThis (the
// frame's menu bar and menus) keeps working in the mode and asks for help
// itself.

#include <QString>

#include <cstdint>

#include "platform/win_types.h"

class QTextBrowser;
class QWidget;

/// Shows `helpFile` at context number `data` (HELP_CONTEXT) or at its
/// contents page (HELP_FINDER); HELP_QUIT closes the help window. False when
/// the file cannot be read (the help window then says so in one line, in the
/// current language). A context number without an anchor in the file shows
/// the top of the file. The file is read anew at every call. Any other
/// command shows the contents page.
bool WinHelp(const QString& helpFile, UINT command, std::uintptr_t data);

/// The anchor name of a context number: "0x808203EC".
QString HelpAnchorName(std::uint32_t contextId);

/// Starts context-help mode (the cursor becomes the help cursor). The next
/// left click asks for help on the widget under it and ends the mode; Escape
/// ends it without help.
void EnterContextHelpMode();

/// Routes help requests of context-help mode also when the window system
/// started the mode (a "?" title-bar button). Dialogs with DS_CONTEXTHELP
/// call it; EnterContextHelpMode does too. Needs a QApplication.
void InstallContextHelpRouting();

/// Asks for help on `widget` as a click in context-help mode does: its
/// dialog's OnHelpInfo, or the application's help file.
void RequestContextHelp(QWidget* widget);

/// Told of every WinHelp call, with its arguments, before it is carried out.
using HelpRequestObserver = void (*)(const QString& helpFile, UINT command, std::uintptr_t data);
/// Installs `observer` for all later WinHelp calls; null removes it.
void SetHelpRequestObserver(HelpRequestObserver observer);

/// The help window, or null when no help has been shown yet.
QTextBrowser* HelpWindow();
