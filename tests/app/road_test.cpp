// The road of one reference file through the program's windows: choose the
// map in the dialog, see it, pick both points from the map's context menu,
// type their coordinates, save, compare the file, and close.
#include <QDate>
#include <QRadioButton>
#include <QTimer>

#include "app_fixture.h"
#include "resources/resource.h"

namespace
{

const std::vector<BmpColour> kPalette = {{170, 210, 240}, {230, 220, 180}, {40, 40, 40}};

// Sea on the left, land on the right, a dark pier head and a dark church.
int Harbour(int x, int y)
{
    if ((x - 150) * (x - 150) + (y - 430) * (y - 430) < 36 || (x - 640) * (x - 640) + (y - 140) * (y - 140) < 36)
        return 2;
    return x < 300 ? 0 : 1;
}

} // namespace

TEST_F(AppTest, OneReferenceFileFromMapToSavedFile)
{
    Start();
    const QString bmpPath = m_dir.filePath(QStringLiteral("harbour.bmp"));
    WriteFile(bmpPath, MakeIndexedBmp(1600, 1200, 8, kPalette, Harbour));
    CMessageBoxWatch boxes; // none is expected on this road

    // "Ref.from Map": the dialog gives way to the map.
    m_files.Answer(bmpPath);
    Click(IDC_REF_FROM_MAP);
    Deliver();
    ASSERT_TRUE(View()->IsBitmapLoaded());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("/harbour.bmp"));
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_MAP_NAME), QStringLiteral("harbour"));
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_BMP_FILE_NAME), QStringLiteral("harbour.bmp"));

    // Drag the map 30 pixels left and 20 up, then pick the pier head.
    Activate(Frame());
    QWidget* client = View()->viewport();
    QTest::mousePress(client, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(client, QPoint(170, 180));
    QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(170, 180));
    ASSERT_EQ(View()->ScrollPosition(), QPoint(30, 20));

    const auto pick = [&](QPoint bitmapPixel, int command)
    {
        const QPoint at = bitmapPixel - View()->ScrollPosition();
        ASSERT_TRUE(client->rect().contains(at)) << "pixel not in view";
        CMenuChoice choice(command);
        QTest::mouseClick(client, Qt::RightButton, {}, at);
        ASSERT_TRUE(WaitFor([&] { return choice.Done(); }));
        Deliver();
        EXPECT_TRUE(Dialog()->isVisible()) << "a picked point shows the dialog";
    };

    // Point 1: the pier head at column 150, row 430 (y 770 from the bottom).
    pick({150, 430}, ID_REF_POINT_1);
    EXPECT_TRUE(Dialog()->Item<QRadioButton>(IDC_REF_POINT_1)->isChecked());
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_PIXEL_X), QStringLiteral("150"));
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_PIXEL_Y), QStringLiteral("770"));
    Enter(IDC_LONG_DEGREE, QStringLiteral("10"));
    Enter(IDC_LONG_MINUTE, QStringLiteral("52.35"));
    Enter(IDC_LAT_DEGREE, QStringLiteral("54"));
    Enter(IDC_LAT_MINUTE, QStringLiteral("3.12"));

    // Point 2: the church at column 640, row 140 (y 1060).
    pick({640, 140}, ID_REF_POINT_2);
    EXPECT_TRUE(Dialog()->Item<QRadioButton>(IDC_REF_POINT_2)->isChecked());
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_PIXEL_X), QStringLiteral("640"));
    EXPECT_EQ(Dialog()->GetDlgItemText(IDC_PIXEL_Y), QStringLiteral("1060"));
    Enter(IDC_LONG_DEGREE, QStringLiteral("10"));
    Enter(IDC_LONG_MINUTE, QStringLiteral("55.59"));
    Enter(IDC_LAT_DEGREE, QStringLiteral("54"));
    Enter(IDC_LAT_MINUTE, QStringLiteral("4.29"));

    EXPECT_EQ(View()->RefPoint(0), QPoint(150, 430));
    EXPECT_EQ(View()->RefPoint(1), QPoint(640, 140));

    // Save under the map's name.
    const QString calPath = m_dir.filePath(QStringLiteral("harbour.CAL"));
    m_files.Answer(calPath);
    Click(IDC_SAVE);
    Deliver();
    EXPECT_TRUE(boxes.m_texts.isEmpty()) << boxes.m_texts.join(QLatin1Char('|')).toStdString();

    // The file as the device reads it: Windows-1252, CR LF, degree sign 0xB0,
    // "O" for east. WGS84 in dec.Minute comes out as typed: each minute
    // value is a whole number of 0.0006' (0.00001 degree) and so survives
    // the converter's rounding unchanged.
    QFile file(calPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QList<QByteArray> expected = {
        "TYPE:       RASTERMAP\r",
        "NAME:       harbour\r",
        "DATE:       dd/mm/yyyy\r", // aside
        "VISIBLE:    YES\r",
        "REFERENCE_POINT: (150,770) ==> (10\xB0"
        "52.3500'O,54\xB0"
        "3.1200'N)\r",
        "REFERENCE_POINT: (640,1060) ==> (10\xB0"
        "55.5900'O,54\xB0"
        "4.2900'N)\r",
        "HEIGHTDIFF:      0.0\r",
        "PROJECTION:      UTM\r",
        "ELLIPSOID:       WGS84\r",
        "FILENAME:        harbour.bmp\r",
        "", // after the last line end
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
    {
        if (i == 2)
            continue;
        EXPECT_EQ(lines[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
    }
    const QDate today = QDate::currentDate();
    EXPECT_TRUE(lines[2] == "DATE:       " + today.toString(QStringLiteral("dd/MM/yyyy")).toLatin1() + '\r' ||
                lines[2] == "DATE:       " + today.addDays(-1).toString(QStringLiteral("dd/MM/yyyy")).toLatin1() + '\r')
        << lines[2].toStdString();

    // Close (Enter presses it) with nothing unsaved ends the program.
    QTimer::singleShot(0,
                       [&]
                       {
                           Activate(Dialog());
                           Dialog()->GetDlgItem(IDC_MAP_NAME)->setFocus();
                           QTest::keyClick(Dialog()->GetDlgItem(IDC_MAP_NAME), Qt::Key_Return);
                       });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    EXPECT_EQ(QApplication::exec(), 0) << "Close did not end the program";
    EXPECT_TRUE(boxes.m_texts.isEmpty()) << boxes.m_texts.join(QLatin1Char('|')).toStdString();
}
