// The calibration's checks in the program: the status bar's readout, "Check
// calibration", "Check point here..." and "Grid", on the sample harbour map
// with the README's sample reference file (lighthouse at 170,170 typed as
// 10 52.3500 E 54 3.1200 N; church at 640,460 as 10 55.5900 E 54 4.2900 N).
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBrowser>

#include "app/calibration_tools.h"
#include "app_fixture.h"
#include "checkwindows/check_report_wnd.h"
#include "checkwindows/fit_wnd.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"
#include "support/modal_answer.h"
#include "support/platform_observers.h"

namespace
{

class CalibrationToolsTest : public AppTest
{
public:
    /// The sample file and map copied to the test's folder; the program
    /// started with the file and the map shown through "Ref.from Map".
    void StartWithSampleMap()
    {
        for (const char* name : {"harbour.CAL", "harbour.bmp"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KARTORA_SAMPLES_DIR "/") + QLatin1String(name),
                                    m_dir.filePath(QLatin1String(name))));
        Start({CalPath()});
        m_files.Answer(m_dir.filePath(QStringLiteral("harbour.bmp")));
        Click(IDC_REF_FROM_MAP);
        Deliver();
        ASSERT_TRUE(View()->IsBitmapLoaded());
    }

    QString CalPath() const { return m_dir.filePath(QStringLiteral("harbour.CAL")); }

    /// Where bitmap pixel `pixel` (from the top row) is in the view's client area.
    QPoint ClientPoint(QPoint pixel) const { return pixel - View()->ScrollPosition(); }

    CCheckReportWnd* Report() const { return m_app->CalibrationTools()->ReportWindow(); }
};

} // namespace

TEST_F(CalibrationToolsTest, TheStatusBarShowsThePositionUnderTheMouseInTheDialogsFormat)
{
    StartWithSampleMap();
    Activate(Frame());
    QWidget* client = View()->viewport();
    // The lighthouse: column 170, row 430 from the top, y 170 as the dialog counts.
    const QPoint lighthouse = ClientPoint({170, 430});
    ASSERT_TRUE(client->rect().contains(lighthouse));
    QTest::mouseMove(client, lighthouse);
    EXPECT_TRUE(WaitFor([&] { return Frame()->PaneText(0).startsWith(QStringLiteral("x 170")); }));
    EXPECT_EQ(Frame()->PaneText(0), QString::fromUtf8("x 170, y 170:  10° 52.3500' E  54° 3.1200' N  (WGS84)"));

    // In dec.Degree: 52.35' = 0.8725°, 3.12' = 0.052°.
    auto* format = Dialog()->Item<CDropListCtrl>(IDC_FORMAT);
    format->setCurrentIndex(FORMAT_DEC_DEGREE);
    emit format->activated(FORMAT_DEC_DEGREE);
    EXPECT_TRUE(WaitFor([&] { return Frame()->PaneText(0).contains(QStringLiteral("10.872500")); }));
    EXPECT_EQ(Frame()->PaneText(0), QString::fromUtf8("x 170, y 170:  10.872500° E  54.052000° N  (WGS84)"));
}

TEST_F(CalibrationToolsTest, CheckCalibrationFindsNothingInTheSampleAndASaveWithAFindingOpensTheReport)
{
    StartWithSampleMap();
    MenuItem(ID_CHECK_CALIBRATION)->trigger();
    Deliver();
    ASSERT_NE(Report(), nullptr);
    EXPECT_TRUE(Report()->isVisible());
    EXPECT_TRUE(Report()->ReportText().contains(QStringLiteral("800 x 600")));
    EXPECT_TRUE(Report()->ReportText().contains(QStringLiteral("No finding.")));
    QTest::keyClick(Report(), Qt::Key_F1);
    EXPECT_EQ(LastHelpRequest().data, 0x20096u); // the report window, 150
    Report()->hide();

    // Point 2's latitude, 54°4.29', read as 4 minutes 29 seconds (4.4833',
    // which the converter's rounding writes as 4.4830').
    Click(IDC_REF_POINT_2);
    Enter(IDC_LAT_MINUTE, QStringLiteral("4.4833"));
    CMessageBoxWatch boxes(IDYES); // replace the file
    m_files.Answer(CalPath());
    Click(IDC_SAVE);
    Deliver();
    QFile file(CalPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("54\xB0"
                                 "4.4830'N"))
        << written.toStdString();
    ASSERT_TRUE(WaitFor([&] { return Report()->isVisible(); }));
    EXPECT_TRUE(Report()->ReportText().contains(QStringLiteral("warning (scale-mismatch)")));
}

TEST_F(CalibrationToolsTest, CheckPointHereMarksWhereTheCalibrationPutsTheKnownPosition)
{
    StartWithSampleMap();
    Activate(Frame());
    QString result;
    std::uintptr_t help = 0;
    // The lighthouse's position for a click 10 pixels east of it.
    auto answers = AnswerModals({[&](QWidget* ask)
                                 {
                                     auto* dialog = qobject_cast<CDialog*>(ask);
                                     ASSERT_NE(dialog, nullptr);
                                     QTest::keyClick(dialog->Item<QLineEdit>(IDC_LONG_DEGREE), Qt::Key_F1);
                                     help = LastHelpRequest().data;
                                     dialog->Item<QLineEdit>(IDC_LONG_MINUTE)->setText(QStringLiteral("52.35"));
                                     ClickControl(ask, IDOK);
                                 },
                                 [&](QWidget* box)
                                 {
                                     result = CMessageBoxDlg::s_strText;
                                     ClickControl(box, IDOK);
                                 }});
    CMenuChoice choice(ID_CHECK_POINT);
    QTest::mouseClick(View()->viewport(), Qt::RightButton, {}, ClientPoint({180, 430}));
    ASSERT_TRUE(WaitFor([&] { return answers->AllAnswered(); }));
    EXPECT_EQ(help, 0x20097u); // the known-position dialog, 151
    EXPECT_TRUE(result.startsWith(QStringLiteral("The calibration puts this position 75.2 m (10.0 pixels) west")))
        << result.toStdString();
    ASSERT_TRUE(View()->CheckMark().has_value());
    EXPECT_EQ(View()->CheckMark()->clicked, QPointF(180.5, 430.5));
    EXPECT_EQ(View()->CheckMark()->predicted, QPointF(170.5, 430.5));

    View()->OnCommand(ID_HIDE_MAP);
    EXPECT_FALSE(View()->CheckMark().has_value());
}

TEST_F(CalibrationToolsTest, TheGridIsOffAtFirstAndItsToggleIsRemembered)
{
    StartWithSampleMap();
    EXPECT_FALSE(View()->IsGridShown());
    MenuItem(ID_GRID)->trigger();
    EXPECT_TRUE(View()->IsGridShown());
    EXPECT_TRUE(MenuItem(ID_GRID)->isChecked());
    // 1' lines: 10°52' to 10°56', 54°03' and 54°04'; 10°52' at x 119.228
    // (0.35' west of the lighthouse at 470 px per 3.24'), drawn through the
    // pixel's middle.
    const std::vector<MapGridLine>& lines = View()->GridLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_NEAR(lines[0].position, 119.728, 0.001);
    EXPECT_EQ(lines[0].label, QString::fromUtf8("10°52' E"));
    EXPECT_EQ(QSettings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"))
                  .value(QStringLiteral("Settings/Grid"))
                  .toInt(),
              1);

    m_app.reset();
    Start();
    EXPECT_TRUE(View()->IsGridShown());
}

TEST_F(CalibrationToolsTest, FitPointsShowTheirResidualsAndUseFitPutsTheFittedPointsIntoTheDialog)
{
    StartWithSampleMap();
    Activate(Frame());
    // Grid crossings of the sample with positions from its file, minutes
    // rounded to the fields' 0.0001' (dialog pixels; rows from the top are 600 - y).
    struct Known
    {
        QPoint pixel;
        const char* lon;
        const char* lat;
    };
    const Known known[] = {{{100, 100}, "51.8674", "2.8376"},
                           {{700, 500}, "56.0036", "4.4514"},
                           {{300, 300}, "53.2462", "3.6445"},
                           {{700, 100}, "56.0036", "2.8376"}};
    const auto type = [](const char* lon, const char* lat)
    {
        return [=](QWidget* ask)
        {
            auto* dialog = qobject_cast<CDialog*>(ask);
            ASSERT_NE(dialog, nullptr);
            for (const auto& [id, text] : {std::pair{IDC_LONG_DEGREE, "10"},
                                           {IDC_LONG_MINUTE, lon},
                                           {IDC_LAT_DEGREE, "54"},
                                           {IDC_LAT_MINUTE, lat}})
                dialog->Item<QLineEdit>(id)->setText(QString::fromLatin1(text));
            ClickControl(ask, IDOK);
        };
    };
    for (const Known& point : known)
    {
        auto answer = AnswerNextModal(type(point.lon, point.lat));
        CMenuChoice choice(ID_ADD_FIT_POINT);
        QTest::mouseClick(View()->viewport(), Qt::RightButton, {},
                          ClientPoint({point.pixel.x(), 600 - point.pixel.y()}));
        ASSERT_TRUE(WaitFor([&] { return answer->AllAnswered(); }));
        Deliver();
    }
    CFitTool& tool = m_app->CalibrationTools()->FitTool();
    CFitWnd* window = tool.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->List()->rowCount(), 4);
    ASSERT_TRUE(tool.Current().has_value());
    EXPECT_LT(tool.Current()->rmsMetres, 0.1); // the fields' rounding alone
    EXPECT_EQ(View()->FitMarks().size(), 4u);

    // Point 3's latitude 0.01' (18.5 m) north: it becomes by far the worst.
    {
        auto answer = AnswerNextModal(type("53.2462", "3.6545"));
        window->SelectPoint(2);
        emit window->EditPoint(window->CurrentPoint());
        ASSERT_TRUE(answer->AllAnswered());
    }
    const calibration::Fit& fit = *tool.Current();
    EXPECT_EQ(fit.worst, 2u);
    EXPECT_NEAR(fit.residuals[2].metres, 0.727 * 18.5, 0.3); // (1 - leverage 3/11) of the shift
    for (std::size_t i : {0u, 1u, 3u})
        EXPECT_LT(fit.residuals[i].metres, fit.residuals[2].metres / 2) << i;
    EXPECT_TRUE(window->Summary().contains(QStringLiteral("Largest residual: point 3")))
        << window->Summary().toStdString();
    EXPECT_TRUE(View()->FitMarks()[2].bWorst);

    window->SelectPoint(2);
    QTest::keyClick(window->List(), Qt::Key_Delete);
    EXPECT_EQ(window->List()->rowCount(), 3);

    // Reference points at 10 % and 90 % of 800 x 600, from the sample's own mapping.
    emit window->UseFit();
    auto* dialog = qobject_cast<CReferenceDlg*>(Dialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->m_bModified);
    EXPECT_EQ(dialog->m_nPixel[0][0], 80u);
    EXPECT_EQ(dialog->m_nPixel[0][1], 60u);
    EXPECT_EQ(dialog->m_nPixel[1][0], 720u);
    EXPECT_EQ(dialog->m_nPixel[1][1], 540u);
    EXPECT_NEAR(dialog->m_dMinute[0][0], 51.729574, 1e-4);
    EXPECT_NEAR(dialog->m_dMinute[0][1], 2.676207, 1e-4);
    EXPECT_NEAR(dialog->m_dMinute[1][0], 56.141489, 1e-4);
    EXPECT_NEAR(dialog->m_dMinute[1][1], 4.612759, 1e-4);
    Deliver();
    EXPECT_EQ(View()->RefPoint(0), QPoint(80, 540)); // rows from the top
    EXPECT_EQ(View()->RefPoint(1), QPoint(720, 60));

    // The points were on the map that went.
    View()->OnCommand(ID_HIDE_MAP);
    EXPECT_TRUE(View()->FitMarks().empty());
    EXPECT_EQ(window->List()->rowCount(), 0);
}
