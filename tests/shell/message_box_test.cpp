#include "shell/message_box_dlg.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "messages/messages.h"
#include "platform/dialog.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"
#include "support/modal_answer.h"
#include "support/platform_observers.h"

namespace
{

/// What one showing of the box looked like.
struct Seen
{
    std::set<int> visible; ///< buttons shown and enabled, by id
    std::map<int, QString> captions;
    std::map<int, QRect> places;
    QString text;
    int pointSize = 0;
    int beeps = -1; ///< beeps so far when the box was up
    QSize size;
    int scrollRange = -1; ///< of the message field: 0 when the whole text shows
    int result = 0;       ///< what ShowMessageText returned
};

/// Shows `text` with `buttons` and answers by clicking `answerId`, or with
/// `key` when answerId is 0.
Seen Show(const QString& text, UINT buttons, int answerId, Qt::Key key = Qt::Key_unknown)
{
    Seen seen;
    const auto answer = AnswerNextModal(
        [&](QWidget* modal)
        {
            auto* box = qobject_cast<CDialog*>(modal);
            for (const int id : {IDC_YES, IDOK, IDC_NO, IDCANCEL})
            {
                const QPushButton* button = box->Item<QPushButton>(id);
                if (button->isVisible() && button->isEnabled())
                    seen.visible.insert(id);
                EXPECT_EQ(button->isVisible(), button->isEnabled()) << id;
                seen.captions[id] = button->text();
                seen.places[id] = button->geometry();
            }
            auto* field = qobject_cast<QTextEdit*>(box->GetDlgItem(IDC_MESSAGE));
            seen.text = field->toPlainText();
            seen.pointSize = field->font().pointSize();
            seen.scrollRange = field->verticalScrollBar()->maximum();
            seen.beeps = MessageBeepCount();
            seen.size = box->size();
            if (answerId != 0)
                ClickControl(modal, answerId);
            else
                QTest::keyClick(modal, key);
        });
    seen.result = ShowMessageText(text, buttons);
    return seen;
}

class MessageBoxTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetMessageBeepCount(); }
    void TearDown() override { g_nLanguage = 0; }
};

} // namespace

TEST_F(MessageBoxTest, EachButtonSetShowsItsButtonsAndAnswersWithItsResult)
{
    const struct
    {
        UINT buttons;
        std::set<int> shown;
        int press;
        int result;
    } rows[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDOK},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_YESNOCANCEL, {IDC_YES, IDC_NO, IDCANCEL}, IDC_YES, IDYES},
        {MB_YESNOCANCEL, {IDC_YES, IDC_NO, IDCANCEL}, IDC_NO, IDNO},
        {MB_YESNOCANCEL, {IDC_YES, IDC_NO, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_YESNO, {IDC_YES, IDC_NO}, IDC_YES, IDYES},
        {MB_YESNO, {IDC_YES, IDC_NO}, IDC_NO, IDNO},
    };
    int beeps = 0;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "set " << row.buttons << ", pressed " << row.press);
        const Seen seen = Show(QStringLiteral("?"), row.buttons, row.press);
        EXPECT_EQ(seen.visible, row.shown);
        EXPECT_EQ(seen.result, row.result);
        EXPECT_EQ(CMessageBoxDlg::s_nResult, row.result);
        EXPECT_EQ(seen.beeps, ++beeps); // the beep sounds before the box shows
    }
}

TEST_F(MessageBoxTest, EscapeAnswersCancelWhereOfferedNoToAYesNoQuestionAndEnterPressesTheFirstButton)
{
    const struct
    {
        UINT buttons;
        Qt::Key key;
        int result;
    } rows[] = {
        // Escape on a Yes/No question is No, never the previous answer (a
        // Yes given to the question before overwrote a file after Escape).
        {MB_YESNO, Qt::Key_Escape, IDNO},
        {MB_OK, Qt::Key_Escape, IDNO}, // no Cancel: the previous answer comes back
        {MB_OKCANCEL, Qt::Key_Escape, IDCANCEL},
        {MB_YESNOCANCEL, Qt::Key_Escape, IDCANCEL},
        {MB_OK, Qt::Key_Escape, IDCANCEL},
        // The template's default button "Yes" is hidden in the Ok sets.
        {MB_OK, Qt::Key_Return, IDOK},
        {MB_YESNO, Qt::Key_Return, IDYES},
        {MB_OKCANCEL, Qt::Key_Return, IDOK},
    };
    EXPECT_EQ(Show(QStringLiteral("?"), MB_YESNO, IDC_YES).result, IDYES);
    for (const auto& row : rows)
        EXPECT_EQ(Show(QStringLiteral("?"), row.buttons, 0, row.key).result, row.result)
            << "set " << row.buttons << ", key " << row.key;
}

TEST_F(MessageBoxTest, EnterAnswersYesAlsoAfterTheMouseAnsweredNoTheTimeBefore)
{
    // The box is one window for every message; the button clicked last time
    // must not keep the focus, and so Enter, for the next question.
    for (const UINT buttons : {MB_YESNO, MB_YESNOCANCEL})
    {
        SCOPED_TRACE(buttons);
        {
            const auto clickNo = AnswerNextModal(
                [](QWidget* modal)
                { QTest::mouseClick(qobject_cast<CDialog*>(modal)->Item<QPushButton>(IDC_NO), Qt::LeftButton); });
            EXPECT_EQ(ShowMessageText(QStringLiteral("?"), buttons), IDNO);
        }
        const auto pressReturn = AnswerNextModal(
            [](QWidget* modal)
            {
                // As the window system delivers a key: to the widget with the focus.
                QWidget* focused = modal->focusWidget();
                QTest::keyClick(focused != nullptr ? focused : modal, Qt::Key_Return);
            });
        EXPECT_EQ(ShowMessageText(QStringLiteral("?"), buttons), IDYES);
    }
}

TEST_F(MessageBoxTest, MessagesReadInTheCurrentLanguageUnderEnglishButtons)
{
    const std::map<int, QString> english = {{IDC_YES, QStringLiteral("Yes")},
                                            {IDOK, QStringLiteral("Ok")},
                                            {IDC_NO, QStringLiteral("No")},
                                            {IDCANCEL, QStringLiteral("Cancel")}};
    g_nLanguage = 0;
    const Seen german = Show(QString::fromUtf8(GetMessageText(MSG_FILE_EXISTS, "D:\\maps\\a.cal")), MB_YESNO, IDC_YES);
    EXPECT_EQ(german.text, QStringLiteral("Das File D:\\maps\\a.cal existiert bereits! Fortfahren?"));
    EXPECT_EQ(german.captions, english);
    EXPECT_EQ(german.pointSize, 12);

    g_nLanguage = 1;
    const Seen inEnglish = Show(QString::fromUtf8(GetMessageText(MSG_FILE_NOT_FOUND, "D:\\maps\\a.cal")), MB_OK, IDOK);
    EXPECT_EQ(inEnglish.text, QStringLiteral("D:\\maps\\a.cal not found. Check the path and file name!"));
    EXPECT_EQ(inEnglish.captions, english);

    const auto answer = AnswerNextModal(
        [](QWidget* modal)
        {
            EXPECT_EQ(qobject_cast<CDialog*>(modal)->GetDlgItemText(IDC_MESSAGE),
                      QStringLiteral("Pixel and Coordinates in wrong Relation!"));
            ClickControl(modal, IDOK);
        });
    EXPECT_EQ(ShowMessage(MSG_PIXEL_COORD_RELATION, MB_OK), IDOK);
}

TEST_F(MessageBoxTest, ALongQuestionShowsWholeAboveTheButtonsAndAShortOneKeepsTheTemplateSize)
{
    CDialog reference(GetDialogTemplate(IDD_MESSAGE_BOX));
    const QSize templateSize = reference.MapDialogRect(QRect(0, 0, 166, 52)).size();

    const Seen longOne = Show(QString::fromUtf8(GetMessageText(MSG_LOADING_NAME_DIFFERS, "")), MB_YESNO, IDC_NO);
    EXPECT_EQ(longOne.scrollRange, 0);
    EXPECT_EQ(longOne.size.width(), templateSize.width());
    EXPECT_GT(longOne.size.height(), templateSize.height());
    EXPECT_GT(longOne.places.at(IDC_YES).top(), reference.MapDialogRect(QRect(0, 31, 1, 1)).top());

    const Seen shortOne = Show(QStringLiteral("Ok?"), MB_YESNO, IDC_NO);
    EXPECT_EQ(shortOne.size, templateSize);
    EXPECT_EQ(shortOne.places.at(IDC_YES), reference.MapDialogRect(QRect(7, 31, 36, 14)));
}

TEST_F(MessageBoxTest, YesNoAndCancelStandSideBySideAndNoReturnsToItsPlaceAfterwards)
{
    const Seen three = Show(QStringLiteral("?"), MB_YESNOCANCEL, IDCANCEL);
    const QRect yes = three.places.at(IDC_YES), no = three.places.at(IDC_NO), cancel = three.places.at(IDCANCEL);
    EXPECT_TRUE(yes.right() < no.left() && no.right() < cancel.left());

    const Seen two = Show(QStringLiteral("?"), MB_YESNO, IDC_NO);
    EXPECT_EQ(two.places.at(IDC_NO), two.places.at(IDCANCEL)); // the template's shared place
}
