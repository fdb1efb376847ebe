// The application object's profile and help path, and the counted beep.
#include "platform/beep.h"
#include "platform/winapp.h"

#include "support/platform_observers.h"
#include "support/settings_sandbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace
{

const QString kSection = QStringLiteral("Settings");

class Profile : public SettingsTest
{
protected:
    Profile() { m_app.SetRegistryKey(QStringLiteral("Quarnby Applications")); }

    // Writes the profile file by hand, as an editor or another program might.
    void WriteProfileFile(const QByteArray& content)
    {
        const QString dir = m_settings.Path() + QStringLiteral("/user/Quarnby Applications");
        ASSERT_TRUE(QDir().mkpath(dir));
        QFile file(dir + QStringLiteral("/Kartora.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    CWinApp m_app{QStringLiteral("Kartora")};
};

TEST_F(Profile, ValuesWrittenAreReadBackAndMissingOnesGiveTheDefault)
{
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("LatDegree1"), 53), 53);
    EXPECT_EQ(m_app.GetProfileString(kSection, QStringLiteral("CalDir"), QStringLiteral("/home/")),
              QStringLiteral("/home/"));

    ASSERT_TRUE(m_app.WriteProfileInt(kSection, QStringLiteral("ErrorWindowX"), -250));
    ASSERT_TRUE(m_app.WriteProfileString(kSection, QStringLiteral("CalDir"), QStringLiteral("/maps/Küste, alt/")));
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("ErrorWindowX"), 200), -250);
    EXPECT_EQ(m_app.GetProfileString(kSection, QStringLiteral("CalDir")), QStringLiteral("/maps/Küste, alt/"));
    EXPECT_EQ(m_app.GetProfileString(kSection, QStringLiteral("ErrorWindowX")), QStringLiteral("-250"));
    EXPECT_EQ(m_app.GetProfileInt(QStringLiteral("Other"), QStringLiteral("ErrorWindowX"), 7), 7)
        << "sections are separate";
}

TEST_F(Profile, AnythingButAWholeNumberInThe32BitRangeGivesTheDefault)
{
    WriteProfileFile("[Settings]\n"
                     "Max=2147483647\n"
                     "Min=-2147483648\n"
                     "Signed=+12\n"
                     "Padded=\" 42 \"\n"
                     "Letters=abc\n"
                     "Trailing=12abc\n"
                     "Empty=\n"
                     "Decimal=1.5\n"
                     "Comma=1,5\n"
                     "Hex=0x10\n"
                     "Above=2147483648\n"
                     "Below=-2147483649\n"
                     "Huge=99999999999999999999999\n"
                     "List=1, 2\n"
                     "Bytes=@ByteArray(12)\n"
                     "Point=@Point(1 2)\n"
                     "Garbage=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5garbage)\n"
                     "Nested\\Deeper=3\n");
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("Max"), 0), 2147483647);
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("Min"), 0), -2147483647 - 1);
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("Signed"), 0), 12);
    EXPECT_EQ(m_app.GetProfileInt(kSection, QStringLiteral("Padded"), 0), 42);
    for (const char* entry : {"Letters", "Trailing", "Empty", "Decimal", "Comma", "Hex", "Above", "Below", "Huge",
                              "List", "Bytes", "Point", "Garbage", "Nested"})
        EXPECT_EQ(m_app.GetProfileInt(kSection, QString::fromLatin1(entry), -42), -42) << entry;
}

TEST(HelpPath, TheProgramsExtensionIsReplacedByHlpOrHlpIsAppended)
{
    EXPECT_EQ(DefaultHelpFilePath(QStringLiteral("C:/tools/Kartora.exe")), QStringLiteral("C:/tools/Kartora.HLP"));
    EXPECT_EQ(DefaultHelpFilePath(QStringLiteral("/usr/bin/kartora")), QStringLiteral("/usr/bin/kartora.HLP"));
    // A dot in a directory name is no extension of the program.
    EXPECT_EQ(DefaultHelpFilePath(QStringLiteral("/opt/kartora-2.2/kartora")),
              QStringLiteral("/opt/kartora-2.2/kartora.HLP"));
    EXPECT_EQ(DefaultHelpFilePath(QStringLiteral("/opt/k/kartora.old.exe")), QStringLiteral("/opt/k/kartora.old.HLP"));

    CWinApp app(QStringLiteral("Kartora"));
    EXPECT_EQ(app.m_pszHelpFilePath, QCoreApplication::applicationFilePath() + QStringLiteral(".HLP"));
}

TEST(WinApp, TheOneApplicationObjectIsReachableWhileItLives)
{
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app(QStringLiteral("Kartora"));
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(Beep, EveryBeepIsCounted)
{
    ResetMessageBeepCount();
    MessageBeep(MB_ICONHAND);
    MessageBeep(MB_ICONHAND);
    EXPECT_EQ(MessageBeepCount(), 2);
    ResetMessageBeepCount();
    EXPECT_EQ(MessageBeepCount(), 0);
}

} // namespace
