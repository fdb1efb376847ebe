// Dialogs built from templates, driven as a user drives them: keys, clicks,
// focus changes; and the data exchange with its failure path.
#include "platform/data_exchange.h"
#include "platform/dialog.h"

#include "support/modal_answer.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <stdexcept>
#include <vector>

namespace
{

constexpr std::uint32_t kDialogHelp = 0x000200C8;

// clang-format off
DialogTemplate SmallTemplate()
{
    return {200, "Small", 120, 80, "Arial", 10, DS_MODALFRAME | DS_CAPTION | DS_SYSMENU | DS_CONTEXTHELP, kDialogHelp,
        {
            {100, ControlKind::Static, "Name", 7, 4, 40, 9, CS_NONE, 0},
            {101, ControlKind::Edit, "", 50, 7, 60, 13, CS_TABSTOP | CS_RIGHT, 0x80C80065},
            {102, ControlKind::Edit, "", 50, 22, 60, 13, CS_TABSTOP, 0x80C80066},
            {108, ControlKind::Edit, "", 50, 37, 60, 13, CS_TABSTOP, 0},
            {103, ControlKind::DropList, "one\ntwo\nthree", 7, 22, 40, 60, CS_TABSTOP, 0x80C80067},
            {104, ControlKind::RadioButton, "A", 7, 58, 20, 10, CS_GROUP | CS_TABSTOP, 0},
            {105, ControlKind::RadioButton, "B", 30, 58, 20, 10, CS_NONE, 0},
            {106, ControlKind::PushButton, "More", 7, 37, 40, 14, CS_GROUP | CS_TABSTOP | CS_DISABLED, 0},
            {107, ControlKind::PushButton, "Hidden", 7, 37, 40, 14, CS_HIDDEN, 0},
            {IDOK, ControlKind::DefPushButton, "OK", 55, 58, 30, 14, CS_TABSTOP, 0},
            {IDCANCEL, ControlKind::PushButton, "Cancel", 88, 58, 30, 14, CS_TABSTOP, 0},
        }};
}
// clang-format on

// Field 102 refuses any text containing "bad", as a numeric check would.
void DDX_NoBad(CDataExchange* pDX, int id, QString& value)
{
    QLineEdit* edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate)
    {
        edit->setText(value);
        return;
    }
    if (edit->text().contains(QStringLiteral("bad")))
        pDX->Fail();
    value = edit->text();
}

class CSmallDlg final : public CDialog
{
public:
    explicit CSmallDlg(const DialogTemplate& dialogTemplate = SmallTemplate()) : CDialog(dialogTemplate) {}

    QString m_strFirst = QStringLiteral("first");
    QString m_strSecond = QStringLiteral("second");
    QString m_strThird = QStringLiteral("third");
    bool m_bThrowOther = false;
    std::vector<QString> m_log;

    bool OnHelpInfo(std::uint32_t helpId) override
    {
        m_log.push_back(QStringLiteral("help %1").arg(helpId, 0, 16));
        return true;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, 101, m_strFirst);
        DDX_NoBad(pDX, 102, m_strSecond);
        DDX_Text(pDX, 108, m_strThird);
        if (m_bThrowOther)
            throw std::runtime_error("not a failed check");
    }
    void OnOK() override
    {
        m_log.push_back(QStringLiteral("OK"));
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        m_log.push_back(QStringLiteral("Cancel"));
        CDialog::OnCancel();
    }
    void OnCommand(int id) override { m_log.push_back(QStringLiteral("command %1").arg(id)); }
};

void ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << "focus tests need an active window";
}

TEST(Dialog, ControlsStandAtTheirIdsWithKindCaptionGeometryAndInitialState)
{
    CSmallDlg dlg;
    dlg.Create();
    if (dlg.logicalDpiY() != 96)
        GTEST_SKIP() << "the figures below are for 96 dpi";

    // Liberation Sans 10 pt at 96 dpi (13 1/3 px): the 52 letters advance
    // 62138/2048 em = 404.5 px, (404 / 26 + 1) / 2 = 8; ascent 12 + descent 3.
    EXPECT_EQ(dlg.DialogBaseUnits(), QSize(8, 15));
    // Horizontal units are 2 px; vertical ones 15/8 px, rounded half up:
    // y 4 -> 7.5 -> 8, 7 -> 13.1 -> 13, 13 -> 24.4 -> 24, 22 -> 41.25 -> 41.
    EXPECT_EQ(dlg.size(), QSize(240, 150));
    EXPECT_EQ(dlg.GetDlgItem(100)->geometry(), QRect(14, 8, 80, 17));
    EXPECT_EQ(dlg.GetDlgItem(101)->geometry(), QRect(100, 13, 120, 24));
    EXPECT_EQ(dlg.GetDlgItem(102)->geometry(), QRect(100, 41, 120, 24));

    EXPECT_NE(dlg.Item<QLabel>(100), nullptr);
    EXPECT_EQ(dlg.GetDlgItemText(100), QStringLiteral("Name"));
    ASSERT_NE(dlg.Item<CEditCtrl>(101), nullptr);
    EXPECT_TRUE(dlg.Item<CEditCtrl>(101)->alignment() & Qt::AlignRight);
    ASSERT_NE(dlg.Item<CDropListCtrl>(103), nullptr);
    EXPECT_EQ(dlg.Item<CDropListCtrl>(103)->count(), 3);
    EXPECT_EQ(dlg.Item<CDropListCtrl>(103)->itemText(2), QStringLiteral("three"));
    EXPECT_NE(dlg.Item<QRadioButton>(104), nullptr);
    ASSERT_NE(dlg.Item<QPushButton>(IDOK), nullptr);
    EXPECT_TRUE(dlg.Item<QPushButton>(IDOK)->isDefault());
    EXPECT_FALSE(dlg.GetDlgItem(106)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(107)->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.GetDlgItem(999), nullptr);

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Small"));
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dlg.isVisible()) << "a template without DS_VISIBLE stays hidden";

    DialogTemplate bare = SmallTemplate();
    bare.style = DS_MODALFRAME;
    CSmallDlg box(bare);
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
}

TEST(Dialog, EnterEscapeAndTheCloseBoxRunOkAndCancelOtherButtonsTheirCommand)
{
    CSmallDlg dlg;
    dlg.Create();
    ShowActive(&dlg);
    dlg.GetDlgItem(101)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(101), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible()) << "OK ends a modeless dialog by hiding it";

    ShowActive(&dlg);
    QTest::keyClick(dlg.GetDlgItem(101), Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());

    ShowActive(&dlg);
    dlg.close(); // what the title bar's close box does
    EXPECT_FALSE(dlg.isVisible());

    ShowActive(&dlg);
    QTest::mouseClick(dlg.GetDlgItem(104), Qt::LeftButton);
    QTest::mouseClick(dlg.GetDlgItem(106), Qt::LeftButton); // disabled: nothing
    const std::vector<QString> expected = {QStringLiteral("OK"), QStringLiteral("Cancel"), QStringLiteral("Cancel"),
                                           QStringLiteral("command 104")};
    EXPECT_EQ(dlg.m_log, expected);
}

TEST(Dialog, DoModalReturnsTheCodeGivenToEndDialog)
{
    CSmallDlg dlg;
    auto escape = AnswerNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    auto ok = AnswerNextModal([](QWidget* modal) { ClickControl(modal, IDOK); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(Dialog, RadioButtonsOfAGroupExcludeEachOtherAndTheGroupMayBeLeftUnchecked)
{
    CSmallDlg dlg;
    dlg.Create();
    dlg.CheckDlgButton(104, true);
    dlg.CheckDlgButton(105, true);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(104));
    EXPECT_TRUE(dlg.IsDlgButtonChecked(105));
    dlg.CheckDlgButton(105, false);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(105)) << "a dialog may uncheck the checked button of its group";
    QTest::mouseClick(dlg.GetDlgItem(104), Qt::LeftButton);
    EXPECT_TRUE(dlg.IsDlgButtonChecked(104));
}

TEST(Dialog, DropListReportsOpeningBeforeTheListShowsAndEveryChoiceOfTheUser)
{
    CSmallDlg dlg;
    dlg.Create();
    ShowActive(&dlg);
    auto* combo = dlg.Item<CDropListCtrl>(103);
    combo->setCurrentIndex(2);
    int nSelChanges = 0;
    bool bListWasOpen = true;
    QObject::connect(combo, &CDropListCtrl::selChange, [&] { ++nSelChanges; });
    QObject::connect(combo, &CDropListCtrl::dropDown,
                     [&]
                     {
                         bListWasOpen = combo->view()->isVisible();
                         combo->setCurrentIndex(0); // as the datum list selects its first entry
                     });
    EXPECT_EQ(nSelChanges, 0) << "a selection made by the program is no choice";

    combo->showPopup();
    EXPECT_FALSE(bListWasOpen);
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(combo->view()->currentIndex().row(), 0) << "the list opens on the entry the handler selected";
    QTest::keyClick(combo->view(), Qt::Key_Return); // choose the entry already selected
    EXPECT_EQ(nSelChanges, 1);
    EXPECT_EQ(combo->currentIndex(), 0);

    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(nSelChanges, 2);
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST(Dialog, F1AsksForHelpOnTheFocusedControlOrElseOnTheDialog)
{
    CSmallDlg dlg;
    dlg.Create();
    ShowActive(&dlg);
    dlg.GetDlgItem(102)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(102), Qt::Key_F1);
    dlg.GetDlgItem(108)->setFocus(); // has no help number of its own
    QTest::keyClick(dlg.GetDlgItem(108), Qt::Key_F1);
    const std::vector<QString> expected = {QStringLiteral("help 80c80066"), QStringLiteral("help 200c8")};
    EXPECT_EQ(dlg.m_log, expected);
}

TEST(Dialog, KillFocusFiresOnTabAndWhenTheDialogIsHiddenButNeverAfterItsDestruction)
{
    int nKills = 0;
    {
        CSmallDlg dlg;
        dlg.Create();
        ShowActive(&dlg);
        auto* first = dlg.Item<CEditCtrl>(101);
        QObject::connect(first, &CEditCtrl::killFocus, &dlg,
                         [&]
                         {
                             ++nKills;
                             dlg.UpdateData(true); // what a focus-loss handler does, also while hiding
                         });
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Tab);
        EXPECT_EQ(nKills, 1);
        EXPECT_EQ(QApplication::focusWidget(), dlg.GetDlgItem(102));

        first->setFocus();
        dlg.EndDialog(IDOK);
        EXPECT_EQ(nKills, 2) << "hiding the dialog takes the focus from the field";

        ShowActive(&dlg);
        first->setFocus();
        QObject::connect(first, &CEditCtrl::killFocus, [&] { ++nKills; }); // outlives the dialog
    }
    EXPECT_EQ(nKills, 2) << "no focus-loss handler may run while the dialog is destroyed";
}

TEST(DataExchange, AFailedCheckPutsTheFocusBackOnTheFieldWithItsTextSelected)
{
    CSmallDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItemText(102), QStringLiteral("second")) << "OnInitDialog writes the members";
    ShowActive(&dlg);
    dlg.SetDlgItemText(101, QStringLiteral("new first"));
    dlg.SetDlgItemText(102, QStringLiteral("so bad"));
    dlg.SetDlgItemText(108, QStringLiteral("new third"));
    dlg.GetDlgItem(101)->setFocus();

    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strFirst, QStringLiteral("new first")) << "fields before the failing one are stored";
    EXPECT_EQ(dlg.m_strSecond, QStringLiteral("second"));
    EXPECT_EQ(dlg.m_strThird, QStringLiteral("third")) << "fields after it keep their values";
    EXPECT_EQ(QApplication::focusWidget(), dlg.GetDlgItem(102));
    EXPECT_EQ(dlg.Item<CEditCtrl>(102)->selectedText(), QStringLiteral("so bad"));
}

TEST(DataExchange, LeavingAFailingFieldWithTabBringsTheFocusBack)
{
    CSmallDlg dlg;
    dlg.Create();
    ShowActive(&dlg);
    auto* second = dlg.Item<CEditCtrl>(102);
    int nResults = 0;
    bool bLastResult = true;
    QObject::connect(second, &CEditCtrl::killFocus, &dlg,
                     [&]
                     {
                         ++nResults;
                         bLastResult = dlg.UpdateData(true);
                     });
    second->setFocus();
    QTest::keyClicks(second, QStringLiteral("bad"));
    QTest::keyClick(second, Qt::Key_Tab);

    EXPECT_EQ(nResults, 1);
    EXPECT_FALSE(bLastResult);
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(second->selectedText(), QStringLiteral("secondbad"));
}

TEST(DataExchange, NoExceptionOfAnExchangeEscapesUpdateData)
{
    CSmallDlg dlg;
    dlg.Create();
    dlg.m_bThrowOther = true;
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_FALSE(dlg.UpdateData(false));
}

} // namespace
