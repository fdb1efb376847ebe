#pragma once
// The bilingual message catalogue: every text the program shows to the user
// as a message, in German and English, chosen by one process-wide language
// index. Standard C++ only; the message box that shows these texts lives in
// the Qt layer.

#include <cstdint>

/// Catalogue ids. The numbers are fixed: stored settings and the file formats
/// never hold them, but the catalogue table is laid out by them.
enum MessageId : int
{
    MSG_SEARCH_HELP_FILE = 0,
    MSG_BPP_NOT_4_OR_8,
    MSG_FORBIDDEN_CHARS,
    MSG_VALUE_TOO_SMALL,
    MSG_VALUE_TOO_LARGE,
    MSG_INPUT_ERROR,
    MSG_FILE_AND_MAP_NAME,
    MSG_CAL_AND_BMP_NAME,
    MSG_LOADING_NAME_DIFFERS,
    MSG_PIXEL_COORD_RELATION,
    MSG_STRING_EMPTY,
    MSG_STRING_TOO_LONG,
    MSG_NOT_A_BMP,
    MSG_HELP_FILE_NAME,
    MSG_FILE_EXISTS,
    MSG_FILE_NOT_FOUND,
    MSG_NO_KEYWORD_IN_LINE,
    MSG_TOO_FEW_KEYWORDS,
    // Kartora's own additions; the ids above are the original catalogue's.
    MSG_NO_POSITION,
    MSG_FILE_NOT_WRITTEN,
    MSG_DISCARD_CHANGES,
    MSG_LINE_TOO_LONG,
    MSG_WRITE_DEVICE_BMP,
    MSG_IMAGE_NOT_READ,
    MSG_LOADING_MAP,
    MSG_CANCEL_LOAD,
};

/// Number of messages in the catalogue (ids 0 to kMessageCount - 1).
constexpr int kMessageCount = 26;

/// Language of every catalogue lookup: 0 German (the default), 1 English.
/// The value comes from a stored setting and may hold any integer; every
/// value other than 1 reads the German texts.
extern std::int32_t g_nLanguage;

/// The text of message `id` in the language g_nLanguage, UTF-8, with the
/// first "%1" of the text replaced by `insert` (UTF-8). A text without "%1"
/// ignores the insert; the inserted text is not searched again, so an insert
/// that itself holds "%1" appears unchanged. A null insert counts as "".
/// An id outside 0..kMessageCount-1 gives the empty text.
///
/// The result points into one shared buffer that the next call overwrites:
/// copy it at once. Not reentrant; user-interface thread only.
const char* GetMessageText(MessageId id, const char* insert);
