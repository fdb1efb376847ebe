#include "shell/error_message_dlg.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "messages/messages.h"
#include "platform/winapp.h"
#include "resources/resource.h"
#include "support/platform_observers.h"
#include "support/settings_sandbox.h"

namespace
{

const QString kSection = QStringLiteral("Settings");

class ErrorWindowTest : public SettingsTest
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey(QStringLiteral("Quarnby Applications"));
        g_nLanguage = 1;
        ResetMessageBeepCount();
    }
    void TearDown() override { g_nLanguage = 0; }

    QPoint Stored() const
    {
        return {m_app.GetProfileInt(kSection, QStringLiteral("ErrorWindowX"), -1),
                m_app.GetProfileInt(kSection, QStringLiteral("ErrorWindowY"), -1)};
    }

    CWinApp m_app{QStringLiteral("Kartora")};
};

QPoint Place(const QWidget& window)
{
    return window.frameGeometry().topLeft();
}

} // namespace

TEST_F(ErrorWindowTest, OnAFirstRunTheFirstErrorShowsTheWindowAt200_400OnTopWithABeep)
{
    auto owned = std::make_unique<CErrorMessageDlg>();
    const CErrorMessageDlg& window = *owned;
    const std::unique_ptr<IErrorWindow> owner = std::move(owned); // as the converter owns it
    EXPECT_FALSE(window.isVisible());

    owner->ShowError(MSG_FORBIDDEN_CHARS);

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Place(window), QPoint(200, 400));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Input Error!"));
    EXPECT_EQ(window.GetDlgItemText(IDC_ERROR_TEXT), QStringLiteral("Forbidden characters!"));
    EXPECT_EQ(window.GetDlgItem(IDC_ERROR_TEXT)->font().pointSize(), 12);
    EXPECT_EQ(MessageBeepCount(), 1);
}

TEST_F(ErrorWindowTest, ASecondErrorReplacesTheTextBeepsAgainAndStaysWhereTheUserPutIt)
{
    CErrorMessageDlg window;
    window.ShowError(MSG_VALUE_TOO_SMALL);
    window.move(310, 250); // dragged by the user
    window.ShowError(MSG_VALUE_TOO_LARGE);
    EXPECT_EQ(window.GetDlgItemText(IDC_ERROR_TEXT), QStringLiteral("Value too large!"));
    EXPECT_EQ(MessageBeepCount(), 2);
    EXPECT_EQ(Place(window), QPoint(310, 250));

    // The language counts at each showing.
    g_nLanguage = 0;
    window.ShowError(MSG_VALUE_TOO_LARGE);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Eingabefehler!"));
    EXPECT_EQ(window.GetDlgItemText(IDC_ERROR_TEXT), QStringLiteral("Wert zu groß!"));
}

TEST_F(ErrorWindowTest, OnlySavePositionStoresThePlaceAndTheNextWindowStartsThereEvenOffTheScreen)
{
    {
        CErrorMessageDlg window;
        window.ShowError(MSG_FORBIDDEN_CHARS);
        window.move(40, 60); // and the program ends other than by "Close"
    }
    EXPECT_EQ(Stored(), QPoint(-1, -1));
    {
        CErrorMessageDlg window;
        window.ShowError(MSG_FORBIDDEN_CHARS);
        window.move(-500, 9000);
        window.HideError(); // the last place counts also when hidden
        window.SavePosition();
    }
    EXPECT_EQ(Stored(), QPoint(-500, 9000));
    CErrorMessageDlg next;
    next.ShowError(MSG_FORBIDDEN_CHARS);
    EXPECT_EQ(Place(next), QPoint(-500, 9000));
}

TEST_F(ErrorWindowTest, EscapeEnterAndTheCloseBoxHideTheWindowButItCountsAsShownUntilHideError)
{
    CErrorMessageDlg window;
    window.HideError(); // nothing shown, nothing to hide
    EXPECT_EQ(window.IsErrorShown(), 0);
    const std::function<void()> closers[] = {
        [&] { QTest::keyClick(&window, Qt::Key_Escape); },
        [&] { QTest::keyClick(&window, Qt::Key_Return); },
        [&] { window.close(); },
        [&] { window.HideError(); },
    };
    for (std::size_t i = 0; i < std::size(closers); ++i)
    {
        window.ShowError(MSG_FORBIDDEN_CHARS);
        EXPECT_EQ(window.IsErrorShown(), 1);
        closers[i]();
        EXPECT_FALSE(window.isVisible()) << i;
        EXPECT_EQ(window.IsErrorShown(), i == 3 ? 0 : 1) << i;
        window.HideError();
        EXPECT_EQ(window.IsErrorShown(), 0) << i;
    }
    EXPECT_EQ(MessageBeepCount(), 4); // one per showing, none for hiding
}
