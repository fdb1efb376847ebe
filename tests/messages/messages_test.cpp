#include "messages/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace
{

std::string Text(std::int32_t nLanguage, MessageId id, const char* insert = "")
{
    g_nLanguage = nLanguage;
    std::string text = GetMessageText(id, insert);
    g_nLanguage = 0;
    return text;
}

} // namespace

TEST(MessageCatalogue, TheInsertTakesThePlaceOfTheFirstPercentOneInEitherLanguage)
{
    EXPECT_EQ(Text(1, MSG_FILE_EXISTS, "D:\\maps\\a.cal"), "The File D:\\maps\\a.cal already exists! Continue?");
    EXPECT_EQ(Text(0, MSG_FILE_EXISTS, "D:\\maps\\a.cal"), "Das File D:\\maps\\a.cal existiert bereits! Fortfahren?");
    // Not searched again once inserted; a null insert is empty.
    EXPECT_EQ(Text(1, MSG_NO_KEYWORD_IN_LINE, "%1 and %1"), "No Keyword found in <%1 and %1>! Line ignored!");
    EXPECT_EQ(Text(0, MSG_FILE_NOT_FOUND, nullptr), " nicht gefunden. Pfad- und Filenamen prüfen!");
    // A message without "%1" drops the insert.
    EXPECT_EQ(Text(1, MSG_INPUT_ERROR, "x"), "Input Error!");
    EXPECT_EQ(Text(0, MSG_INPUT_ERROR, "x"), "Eingabefehler!");
}

TEST(MessageCatalogue, TheFirstAndLastIdsHoldTheirOwnTextsSoTheTableIsNotShifted)
{
    EXPECT_EQ(Text(0, MSG_SEARCH_HELP_FILE), "Suchen und Auswählen des Hilfe-Files");
    EXPECT_EQ(Text(1, MSG_SEARCH_HELP_FILE), "Search and Select Help File");
    EXPECT_EQ(Text(0, MSG_HELP_FILE_NAME), "KartoraDEU.hlp");
    EXPECT_EQ(Text(1, MSG_HELP_FILE_NAME), "KartoraENG.hlp");
    EXPECT_EQ(Text(0, MSG_TOO_FEW_KEYWORDS), "Zu wenig Schlüsselwörter gefunden!");
    EXPECT_EQ(Text(1, MSG_TOO_FEW_KEYWORDS), "Too less Keywords found!");
    EXPECT_EQ(Text(0, MSG_CANCEL_LOAD), "Abbrechen");
    EXPECT_EQ(Text(1, MSG_CANCEL_LOAD), "Cancel");
}

TEST(MessageCatalogue, OutOfRangeLanguagesReadGermanAndOutOfRangeIdsGiveNothing)
{
    // A stored setting may hold any integer; no value may read past the table.
    for (const std::int32_t nLanguage : {-1, 2, INT32_MAX, INT32_MIN})
        EXPECT_EQ(Text(nLanguage, MSG_TOO_FEW_KEYWORDS), "Zu wenig Schlüsselwörter gefunden!") << nLanguage;
    for (const int nId : {-1, kMessageCount, INT_MIN, INT_MAX})
        EXPECT_EQ(Text(1, static_cast<MessageId>(nId), "x"), "") << nId;
}
