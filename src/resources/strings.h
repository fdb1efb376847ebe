#pragma once
// Kartora's string table: the document template string, the application
// title, the status bar's idle and help-mode texts, the status bar prompts of
// the frame's commands and window menu, and the indicator texts. Captions of
// menus and dialogs are in their own templates; the texts that follow the
// user's language are in the message catalogue.

/// String `id` (UTF-8), or null when the table holds no string with that id.
/// A prompt's tooltip form follows its status bar text after "\n".
const char* LoadResourceString(int id);
