#pragma once
// Kartora's icons: 128 for the main frame, 130 for the dialogs. They are
// compiled in as the Qt resources ":/icons/<id>/<size>.png".

#include <QIcon>

/// Icon `id` (IDR_MAINFRAME or IDI_DIALOG) with all its sizes (16, 32, 48
/// and 256 pixels), or a null icon for any other id.
QIcon LoadResourceIcon(int id);

/// Makes the compiled-in icons reachable under ":/icons". LoadResourceIcon
/// and GetDialogTemplate do it themselves; anything that reads the resource
/// paths before either has run calls it first. Safe to call repeatedly.
void RegisterResourceFiles();
