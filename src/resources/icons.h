#pragma once
// Kartora's icons: 128 (IDR_MAINFRAME) for the main frame, 130 (IDI_DIALOG)
// for the dialogs, each at 16, 32, 48 and 256 pixels. They are compiled in
// as the Qt resources ":/icons/<id>/<size>.png", which LoadIconResource
// (platform/dialog.h) reads.

/// Makes the compiled-in icons reachable under ":/icons". GetDialogTemplate
/// does it itself; anything that loads an icon before a dialog template was
/// asked for calls it first. Safe to call repeatedly.
void RegisterResourceFiles();
