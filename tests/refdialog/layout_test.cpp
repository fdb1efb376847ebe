// Dialog 130 as the user sees it: in both languages and all four formats
// every visible control lies inside the window, none covers another, and
// every text fits its control. With KARTORA_SCREENSHOT_DIR set, a picture of
// each combination is saved there for a look by eye.
#include "ref_dlg_fixture.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOption>

namespace
{

class Layout : public ReferenceDlgTest
{
protected:
    std::vector<QWidget*> VisibleControls() const
    {
        std::vector<QWidget*> controls;
        for (QObject* child : m_dlg->children())
        {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget != nullptr && widget->property("controlId").isValid() && widget->isVisible())
                controls.push_back(widget);
        }
        return controls;
    }
    /// Width (pixels) the control has for its text, or -1 for a control
    /// without one.
    static int TextRoom(QWidget* control, QString& text)
    {
        if (auto* label = qobject_cast<QLabel*>(control))
        {
            text = label->text();
            return label->contentsRect().width();
        }
        if (auto* button = qobject_cast<QAbstractButton*>(control))
        {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
            text = button->text();
            return button->style()
                ->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option,
                                 button)
                .width();
        }
        if (auto* box = qobject_cast<QGroupBox*>(control))
        {
            text = box->title();
            return box->width() - 2 * QFontMetrics(box->font()).averageCharWidth();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(control))
        {
            // A line edit keeps a few pixels of frame and margin on each side.
            text = edit->text();
            const QMargins margins = edit->textMargins();
            return edit->contentsRect().width() - margins.left() - margins.right() - 4;
        }
        return -1;
    }
};

TEST_F(Layout, EveryVisibleControlFitsTheWindowCoversNoOtherAndShowsItsWholeText)
{
    const QString screenshots = qEnvironmentVariable("KARTORA_SCREENSHOT_DIR");
    for (int language : {kGerman, kEnglish})
    {
        for (int format = 0; format < kFormatCount; ++format)
        {
            CReferenceDlg& dlg = Start(language);
            Choose(IDC_FORMAT, format);
            // The widest values the fields show in use.
            dlg.m_strMapName = QStringLiteral("Wasserwirtschaftsamt");
            dlg.m_strBmpFileName = QStringLiteral("Wasserwirtschaftsamt.bmp");
            dlg.m_nPixel[0][0] = 12345;
            dlg.m_nPixel[0][1] = 23456;
            dlg.m_dHeightDiff = -9999.99;
            dlg.m_dDegree[0][0] = 179.999999;
            dlg.m_dDegree[0][1] = 89.999999;
            dlg.m_nDegree[0][0] = 179;
            dlg.m_dMinute[0][0] = 59.9995;
            dlg.m_nMinute[0][0] = 59;
            dlg.m_dSecond[0][0] = 59.98;
            dlg.m_nUtm[0][0] = 833978;
            dlg.m_nUtm[0][1] = 9329005;
            dlg.m_nZone[0] = 60;
            dlg.m_nHemisphere[0][1] = 1;
            dlg.UpdateData(false);
            const std::string where =
                (language == kGerman ? "German, format " : "English, format ") + std::to_string(format) + ", control ";

            const QRect client = dlg.rect();
            const std::vector<QWidget*> controls = VisibleControls();
            for (QWidget* control : controls)
            {
                const std::string id = where + std::to_string(control->property("controlId").toInt());
                EXPECT_TRUE(client.contains(control->geometry())) << id;
                QString text;
                const int room = TextRoom(control, text);
                if (room >= 0)
                {
                    EXPECT_LE(QFontMetrics(control->font()).horizontalAdvance(text), room)
                        << id << " \"" << text.toStdString() << "\"";
                }
                for (QWidget* other : controls)
                {
                    if (other <= control || !control->geometry().intersects(other->geometry()))
                        continue;
                    // The group box only frames what stands inside it.
                    const bool framed = (control->property("controlId").toInt() == IDC_REF_POINTS_GROUP &&
                                         control->geometry().contains(other->geometry())) ||
                                        (other->property("controlId").toInt() == IDC_REF_POINTS_GROUP &&
                                         other->geometry().contains(control->geometry()));
                    EXPECT_TRUE(framed) << id << " overlaps " << other->property("controlId").toInt();
                }
            }
            if (!screenshots.isEmpty())
                dlg.grab().save(QStringLiteral("%1/dialog130-%2-%3.png")
                                    .arg(screenshots, language == kGerman ? QStringLiteral("de") : QStringLiteral("en"),
                                         QString::fromUtf8(g_formatNames[format])));
        }
    }
}

} // namespace
