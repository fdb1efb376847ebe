#pragma once
// Kartora's dialog templates: the About box (100), the reference dialog
// (130), the error window (134), the language dialog (137), the message
// box (141) and the known-position dialog (151), as data for CDialog.
// Rectangles are in dialog units of each template's font; captions are UTF-8.

#include "platform/dialog_template.h"

/// The template with resource id `id` (one of the IDD_ constants), or an
/// empty template with id 0, no caption and no controls for any other id.
/// Also registers the icons that the templates' icon controls show.
const DialogTemplate& GetDialogTemplate(int id);

/// How far the known-position dialog's coordinate rows stand from the
/// reference dialog's, in dialog units of the same font (x, y).
constexpr int kKnownPositionShiftX = -71;
constexpr int kKnownPositionShiftY = -72;
