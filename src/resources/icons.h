#pragma once
// Kartora's icons: 128 for the main frame, 130 for the dialogs.

#include <QIcon>

/// Icon `id` (IDR_MAINFRAME or IDI_DIALOG) with all its sizes (16, 32, 48
/// and 256 pixels), or a null icon for any other id.
QIcon LoadResourceIcon(int id);
