#pragma once
// Kartora's dialog templates: the About box (100), the reference dialog
// (130), the error window (134), the language dialog (137) and the message
// box (141), as data for CDialog. Rectangles are in dialog units of each
// template's font; captions are UTF-8.

#include "platform/dialog_template.h"

/// The template with resource id `id` (one of the IDD_ constants), or an
/// empty template with id 0, no caption and no controls for any other id.
/// Also registers the icons that the templates' icon controls show.
const DialogTemplate& GetDialogTemplate(int id);
