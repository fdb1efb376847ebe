#include "messages/messages.h"

#include <string>
#include <string_view>

std::int32_t g_nLanguage = 0;

namespace
{

// German first, English second for every id: the text of `id` in language
// `lang` is entry 2 * id + lang.
constexpr const char* s_messageTexts[2 * kMessageCount] = {
    // MSG_SEARCH_HELP_FILE
    "Suchen und Auswählen des Hilfe-Files",
    "Search and Select Help File",
    // MSG_BPP_NOT_4_OR_8
    "Das Bitmap darf nur eine Farbtiefe von 4 oder 8 bpp haben! Fortfahren?",
    "Bitmaps must have only 4 oder 8 bpp! Continue?",
    // MSG_FORBIDDEN_CHARS
    "Nicht erlaubte Zeichen!",
    "Forbidden characters!",
    // MSG_VALUE_TOO_SMALL
    "Wert zu klein!",
    "Value too small!",
    // MSG_VALUE_TOO_LARGE
    "Wert zu groß!",
    "Value too large!",
    // MSG_INPUT_ERROR
    "Eingabefehler!",
    "Input Error!",
    // MSG_FILE_AND_MAP_NAME
    "File und Karte sollten den gleichen Namen haben! Fortfahren?",
    "File and map should have the same name! Continue?",
    // MSG_CAL_AND_BMP_NAME
    "CAL-File und BMP-File sollten den gleichen Namen haben! Fortfahren?",
    "CAL-File and BMP-File should have the same name! Continue?",
    // MSG_LOADING_NAME_DIFFERS
    "Der Name des zu ladenden Files ist verschieden zum eingegebenen BMP-Filenamen! Fortfahren?",
    "The name of the loading file is different to the input BMP-file name! Continue?",
    // MSG_PIXEL_COORD_RELATION
    "Pixel und Koordinaten in falscher Beziehung zueinander!",
    "Pixel and Coordinates in wrong Relation!",
    // MSG_STRING_EMPTY
    "Der String ist leer!",
    "The String is empty!",
    // MSG_STRING_TOO_LONG
    "Der String ist zu lang!",
    "The String is too long!",
    // MSG_NOT_A_BMP
    "War kein BMP-File! Nicht geladen!",
    "Was not a BMP-File! Not loaded!",
    // MSG_HELP_FILE_NAME
    "KartoraDEU.hlp",
    "KartoraENG.hlp",
    // MSG_FILE_EXISTS
    "Das File %1 existiert bereits! Fortfahren?",
    "The File %1 already exists! Continue?",
    // MSG_FILE_NOT_FOUND
    "%1 nicht gefunden. Pfad- und Filenamen prüfen!",
    "%1 not found. Check the path and file name!",
    // MSG_NO_KEYWORD_IN_LINE
    "In Zeile <%1> kein Schlüsselwort gefunden! Zeile ignoriert!",
    "No Keyword found in <%1>! Line ignored!",
    // MSG_TOO_FEW_KEYWORDS
    "Zu wenig Schlüsselwörter gefunden!",
    "Too less Keywords found!",
    // MSG_NO_POSITION: the values pass their fields' checks, but the datum
    // or the UTM grid has no point there.
    "Keine Position in diesem Datum!",
    "No position in this datum!",
    // MSG_FILE_NOT_WRITTEN, %1 = the file's full path
    "Das File %1 konnte nicht geschrieben werden!",
    "The File %1 could not be written!",
    // MSG_DISCARD_CHANGES: Cancel with unsaved changes
    "Änderungen verwerfen und beenden?",
    "Discard the changes and quit?",
    // MSG_LINE_TOO_LONG: a line far longer than any line of the files read
    // (the file is something else); reading stops there.
    "Zeile %1 ist zu lang!",
    "Line %1 is too long!",
    // MSG_WRITE_DEVICE_BMP: "Ref.from Map" chose a map that is no BMP with 4
    // or 8 bpp; %1 = the name of the BMP file that would be written beside it.
    "Das Gerät liest nur BMP-Files mit 4 oder 8 bpp! Die Karte als %1 mit 256 Farben daneben schreiben und "
    "verwenden?",
    "The device reads only BMP-Files with 4 or 8 bpp! Write the map as %1 with 256 colors beside it and use that?",
    // MSG_IMAGE_NOT_READ, %1 = the file's name; a map of a known image format
    // that is damaged, cut short or too large (the reason follows on a line
    // of its own).
    "Das Bild %1 konnte nicht gelesen werden! Nicht geladen!",
    "The image %1 could not be read! Not loaded!",
    // MSG_LOADING_MAP, %1 = the file's name: the label of a long load's progress.
    "Karte %1 wird geladen...",
    "Loading the map %1...",
    // MSG_CANCEL_LOAD: the button of a long load's progress that stops it.
    "Abbrechen",
    "Cancel",
};

// The shared result buffer of GetMessageText.
std::string s_strMessageBuffer;

} // namespace

const char* GetMessageText(MessageId id, const char* insert)
{
    s_strMessageBuffer.clear();
    const int nId = static_cast<int>(id);
    if (nId < 0 || nId >= kMessageCount)
        return s_strMessageBuffer.c_str();

    // A stored setting can hold any integer; only 1 selects English.
    const int nLanguage = g_nLanguage == 1 ? 1 : 0;
    const std::string_view entry = s_messageTexts[2 * nId + nLanguage];

    const std::size_t nPos = entry.find("%1");
    if (nPos == std::string_view::npos)
    {
        s_strMessageBuffer.assign(entry);
        return s_strMessageBuffer.c_str();
    }
    s_strMessageBuffer.assign(entry.substr(0, nPos));
    s_strMessageBuffer.append(insert != nullptr ? insert : "");
    s_strMessageBuffer.append(entry.substr(nPos + 2));
    return s_strMessageBuffer.c_str();
}
