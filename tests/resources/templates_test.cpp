// Each template built as a real dialog: every control at its id with its
// kind and caption; the reference dialog's help numbers and layout; menus,
// accelerators, strings, icons and help files.

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/dialog.h"
#include "resources/dialog_templates.h"
#include "resources/icons.h"
#include "resources/menus.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace
{

struct Expected
{
    int id;
    const char* className;
    const char* caption; ///< null: not fixed; drop lists: the items joined by "\n"
};

std::map<int, QWidget*> ControlsById(const CDialog& dialog)
{
    std::map<int, QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (const int id = child->property("controlId").toInt(); id > 0)
            controls[id] = child;
    return controls;
}

QString CaptionOf(const CDialog& dialog, int id)
{
    auto* combo = dialog.Item<QComboBox>(id);
    if (combo == nullptr)
        return dialog.GetDlgItemText(id);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items += combo->itemText(i);
    return items.join(u'\n');
}

// The reference dialog's controls with the captions of its template.
const std::vector<Expected> kReferenceControls = {
    {1019, "QPushButton", "Load"},
    {1020, "QPushButton", "Save"},
    {1, "QPushButton", "Close"},
    {2, "QPushButton", "Cancel"},
    {1024, "QPushButton", "Ref.from Map"},
    {1017, "QPushButton", "Show Map"},
    {1000, "CEditCtrl", ""},
    {1001, "CEditCtrl", ""},
    {1002, "CEditCtrl", ""},
    {1003, "CEditCtrl", ""},
    {1004, "CEditCtrl", ""},
    {1008, "CEditCtrl", ""},
    {1005, "CEditCtrl", ""},
    {1009, "CEditCtrl", ""},
    {1006, "CEditCtrl", ""},
    {1010, "CEditCtrl", ""},
    {1007, "QPushButton", nullptr},
    {1011, "QPushButton", nullptr},
    {1012, "CEditCtrl", ""},
    {1013, "CEditCtrl", ""},
    {1014, "CEditCtrl", ""},
    {1016, "CEditCtrl", ""},
    {1025, "QGroupBox", "Reference Points"},
    {1044, "QRadioButton", "Ref.Point 1"},
    {1045, "QRadioButton", "Ref.Point 2"},
    {1039, "CDropListCtrl", "dec.Degree\ndec.Minute\ndec.Second\nUTM"},
    {1040, "CDropListCtrl", "WGS84\nEuropean\nPotsdam"},
    {1048, "QPushButton", nullptr},
    {1066, "QLabel", "Map Name"},
    {1067, "QLabel", "BMP-File Name"},
    {1068, "QLabel", "X-Pixel"},
    {1069, "QLabel", "Y-Pixel"},
    {1033, "QLabel", "°"},
    {1034, "QLabel", "°"},
    {1035, "QLabel", "'"},
    {1036, "QLabel", "'"},
    {1022, "QLabel", "''"},
    {1023, "QLabel", "''"},
    {1037, "QLabel", "Long"},
    {1038, "QLabel", "Lat"},
    {1070, "QLabel", "Height Difference"},
    {1072, "QLabel", "Input / Display Format"},
    {1071, "QLabel", "Input / Map Datum"},
    {1057, "QLabel", "Easting"},
    {1059, "QLabel", "Northing"},
    {1061, "QLabel", "Zone Number"},
    {1063, "QLabel", "Hemisphere"},
};

// "dec.Minute" rectangles of the coordinate controls from the layout table,
// in units of two pixels of the client area.
const std::map<int, QRect> kDecMinuteLayout = {
    {1004, {78, 98, 20, 12}},  {1008, {78, 118, 20, 12}},  {1033, {100, 99, 8, 10}},   {1034, {100, 119, 8, 10}},
    {1005, {108, 98, 32, 12}}, {1009, {108, 118, 32, 12}}, {1035, {142, 99, 8, 10}},   {1036, {142, 119, 8, 10}},
    {1006, {114, 98, 34, 12}}, {1010, {114, 118, 34, 12}}, {1022, {114, 99, 34, 12}},  {1023, {114, 119, 34, 12}},
    {1007, {150, 98, 13, 12}}, {1011, {150, 118, 13, 12}}, {1037, {170, 99, 21, 10}},  {1038, {170, 119, 21, 10}},
    {1012, {78, 98, 40, 12}},  {1013, {78, 118, 40, 12}},  {1057, {120, 99, 28, 10}},  {1059, {120, 119, 28, 10}},
    {1014, {150, 98, 20, 12}}, {1061, {172, 99, 40, 10}},  {1063, {172, 119, 40, 10}},
};

/// Pixels that the coordinate controls of every format cover: x 78 to 212,
/// y 98 to 131 in units of two pixels.
const QRect kCoordinateArea(156, 196, 424 - 156, 262 - 196);

} // namespace

TEST(DialogTemplates, EachTemplateBuildsItsControlsAtTheirIdsWithTheirKindsAndCaptions)
{
    struct Row
    {
        int id;
        const char* title;
        QSize units;
        std::uint32_t helpId;
        std::vector<Expected> controls;
    };
    const Row rows[] = {
        {100, "About Kartora", {235, 58}, 0x20064, {{1, "QPushButton", "OK"}}},
        {130, "Kartora for Wayloft", {251, 189}, 0x20082, kReferenceControls},
        {134, "Error Message", {131, 32}, 0x20086, {{1046, "QLabel", "Static"}}},
        {137,
         "Select Language",
         {80, 79},
         0x20089,
         {{1049, "CDropListCtrl", "Deutsch\nEnglish"}, {1050, "QPushButton", "Search Help File"}}},
        {141,
         "",
         {166, 52},
         0x2008D,
         {{1055, "CMultiEditCtrl", ""},
          {1053, "QPushButton", "Yes"},
          {1, "QPushButton", "Ok"},
          {1052, "QPushButton", "No"},
          {2, "QPushButton", "Cancel"}}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.id);
        CDialog dialog(GetDialogTemplate(row.id));
        dialog.Create();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(row.title));
        EXPECT_EQ(dialog.size(), dialog.MapDialogRect(QRect(QPoint(0, 0), row.units)).size());
        EXPECT_EQ(dialog.property("helpId").toUInt(), row.helpId);

        std::set<int> expectedIds;
        for (const Expected& control : row.controls)
        {
            expectedIds.insert(control.id);
            QWidget* widget = dialog.GetDlgItem(control.id);
            ASSERT_NE(widget, nullptr) << control.id;
            EXPECT_STREQ(widget->metaObject()->className(), control.className) << control.id;
            if (control.caption != nullptr)
            {
                EXPECT_EQ(CaptionOf(dialog, control.id), QString::fromUtf8(control.caption)) << control.id;
            }
        }
        std::set<int> builtIds;
        for (const auto& [id, widget] : ControlsById(dialog))
        {
            builtIds.insert(id);
            EXPECT_TRUE(dialog.rect().contains(widget->geometry())) << id << " reaches outside";
        }
        EXPECT_EQ(builtIds, expectedIds);
    }
    EXPECT_TRUE(GetDialogTemplate(999).controls.empty());
}

TEST(DialogTemplates, TheAboutBoxShowsTheDialogIconAndTheVersionLine)
{
    CDialog about(GetDialogTemplate(IDD_ABOUTBOX));
    about.Create();
    QStringList texts;
    int icons = 0;
    for (const QLabel* label : about.findChildren<QLabel*>())
    {
        if (label->pixmap().isNull())
            texts += label->text();
        else
            ++icons;
    }
    EXPECT_EQ(icons, 1);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Tesselo Version 2.2.9"));
}

TEST(ReferenceDialogTemplate, StartsWithTheAlternativeFieldsHiddenAndHelpNumbersOnAllButLabelsAndSignButtons)
{
    CDialog dialog(GetDialogTemplate(IDD_REFERENCE_DIALOG));
    dialog.Create();
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(dialog.Item<QPushButton>(IDOK)->isDefault());
    EXPECT_FALSE(dialog.GetDlgItem(1017)->isEnabled());
    for (const int id : {1004, 1008, 1005, 1009, 1006, 1010})
        EXPECT_TRUE(dialog.Item<QLineEdit>(id)->alignment() & Qt::AlignRight) << id;
    QString zone = QStringLiteral("3a");
    int position = 0;
    EXPECT_EQ(dialog.Item<QLineEdit>(1014)->validator()->validate(zone, position), QValidator::Invalid);

    const std::set<int> hidden = {1006, 1010, 1022, 1023, 1007, 1011, 1012, 1013, 1014, 1057, 1059, 1061, 1063};
    const std::set<int> noHelp = {1066, 1067, 1068, 1069, 1070, 1071, 1072, 1033,
                                  1034, 1035, 1036, 1022, 1023, 1025, 1007, 1011};
    for (const auto& [id, widget] : ControlsById(dialog))
    {
        EXPECT_EQ(widget->isHidden(), hidden.count(id) == 1) << id;
        EXPECT_EQ(widget->property("helpId").toUInt(), noHelp.count(id) ? 0u : 0x80820000u + id) << id;
    }
    EXPECT_EQ(dialog.GetDlgItem(1000)->property("helpId").toUInt(), 0x808203E8u);
}

TEST(ReferenceDialogTemplate, CoordinateControlsStartWhereTheDecMinuteLayoutPutsThem)
{
    CDialog dialog(GetDialogTemplate(IDD_REFERENCE_DIALOG));
    dialog.Create();
    // Liberation Sans, Arial's metric twin, at 10 pt and 96 dpi.
    ASSERT_EQ(dialog.DialogBaseUnits(), QSize(8, 15));
    for (const auto& [id, twoPixels] : kDecMinuteLayout)
    {
        const QRect placed = dialog.GetDlgItem(id)->geometry();
        const QRect expected(twoPixels.topLeft() * 2, twoPixels.size() * 2);
        // 1 px: the template's rectangles are rounded to whole dialog units.
        EXPECT_LE((placed.topLeft() - expected.topLeft()).manhattanLength(), 1) << id;
        EXPECT_LE(std::abs(placed.height() - expected.height()), 1) << id;
        EXPECT_EQ(placed.width(), expected.width()) << id;
    }
}

TEST(ReferenceDialogTemplate, OtherControlsLeaveTheCoordinateRowsFreeAndHoldTheirTextsInBothLanguages)
{
    CDialog dialog(GetDialogTemplate(IDD_REFERENCE_DIALOG));
    dialog.Create();
    const QRect group = dialog.GetDlgItem(1025)->geometry();
    EXPECT_TRUE(group.contains(kCoordinateArea));
    const QRect language = dialog.GetDlgItem(1048)->geometry();
    std::vector<std::pair<int, QRect>> others;
    for (const auto& [id, widget] : ControlsById(dialog))
        if (kDecMinuteLayout.count(id) == 0 && id != 1025)
            others.emplace_back(id, widget->geometry());
    for (auto a = others.begin(); a != others.end(); ++a)
    {
        EXPECT_FALSE(a->second.intersects(kCoordinateArea)) << a->first;
        EXPECT_TRUE(group.contains(a->second) || !group.intersects(a->second)) << a->first << " crosses the frame";
        EXPECT_TRUE(language.top() <= a->second.top() && a->second.right() <= language.right()) << a->first;
        for (auto b = a + 1; b != others.end(); ++b)
            EXPECT_FALSE(a->second.intersects(b->second)) << a->first << " overlaps " << b->first;
    }

    // German, English and the template's own texts.
    const std::map<int, std::vector<const char*>> texts = {
        {1066, {"Kartenname", "Map Name"}},
        {1067, {"BMP-Filename", "BMP-File Name"}},
        {1025, {"Referenzpunkte", "Reference Points"}},
        {1044, {"Ref.Punkt 1", "Ref.Point 1"}},
        {1045, {"Ref.Punkt 2", "Ref.Point 2"}},
        {1071, {"Eingabe-Kartendatum", "Input Map Datum", "Input / Map Datum"}},
        {1072, {"Eingabeformat", "Input Format", "Input / Display Format"}},
        {1068, {"X-Pixel"}},
        {1069, {"Y-Pixel"}},
        {1070, {"Höhendifferenz", "Height Difference"}},
        {1024, {"Ref.von Karte", "Ref.from Map"}},
        {1017, {"Zeige Karte", "Show Map"}},
        {1019, {"Laden", "Load"}},
        {1020, {"Sichern", "Save"}},
        {1, {"Schließen", "Close"}},
        {2, {"Abbrechen", "Cancel"}},
        {1048, {"Deutsch", "English"}},
    };
    const QFontMetrics metrics(dialog.font());
    const QStyle* style = dialog.style();
    for (const auto& [id, captions] : texts)
    {
        QWidget* control = dialog.GetDlgItem(id);
        int frame = 0; // pixels a control needs besides its text
        if (qobject_cast<QPushButton*>(control))
            frame = style->pixelMetric(QStyle::PM_ButtonMargin) + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
        else if (qobject_cast<QRadioButton*>(control))
            frame = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                    style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        for (const char* caption : captions)
            EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(caption)) + frame, control->width()) << caption;
    }
}

TEST(Resources, MenusCarryTheirCommandIdsInOrderAndAcceleratorsBuildNoSecondDocument)
{
    using Items = std::vector<std::pair<QString, int>>; // an empty caption is a separator
    auto itemsOf = [](const QMenu* menu)
    {
        Items items;
        for (const QAction* action : menu->actions())
            items.emplace_back(action->isSeparator() ? QString() : action->text(), action->data().toInt());
        return items;
    };
    QMenuBar bar;
    LoadMenuBar(&bar, IDR_MAINFRAME);
    ASSERT_EQ(bar.actions().size(), 2);
    EXPECT_EQ(bar.actions()[0]->text(), QStringLiteral("File"));
    EXPECT_EQ(itemsOf(bar.actions()[0]->menu()), (Items{{QString(), 0},
                                                        {QStringLiteral("Import Ref.Points"), 1018},
                                                        {QString::fromUtf8("Export calibration\u2026"), 32784},
                                                        {QString::fromUtf8("Import calibration\u2026"), 32785},
                                                        {QStringLiteral("Check calibration"), 32800},
                                                        {QStringLiteral("Grid"), 32802},
                                                        {QStringLiteral("Show Dialog\tF6"), 32771},
                                                        {QStringLiteral("Exit"), 0xE141}}));
    EXPECT_EQ(bar.actions()[1]->text(), QStringLiteral("&?"));
    EXPECT_EQ(itemsOf(bar.actions()[1]->menu()),
              (Items{{QStringLiteral("Help"), 0xE143}, {QString(), 0}, {QStringLiteral("About Kartora..."), 0xE140}}));
    QWidget owner;
    EXPECT_EQ(itemsOf(LoadPopupMenu(IDR_CONTEXT_MENU, 0, &owner)),
              (Items{{QStringLiteral("Ref. Point 1"), 32780},
                     {QStringLiteral("Ref. Point 2"), 32781},
                     {QStringLiteral("Show Dialog"), 32771},
                     {QStringLiteral("Hide Dialog"), 32782},
                     {QStringLiteral("Hide Map"), 32783},
                     {QString(), 0},
                     {QString::fromUtf8("Check point here\u2026"), 32801},
                     {QString::fromUtf8("Add fit point here\u2026"), 32803},
                     {QStringLiteral("Check calibration"), 32800},
                     {QStringLiteral("Grid"), 32802}}));
    EXPECT_EQ(LoadPopupMenu(IDR_CONTEXT_MENU, 1, &owner), nullptr);

    std::map<QKeySequence, int> commands;
    for (const AcceleratorTemplate& accelerator : GetAccelerators(IDR_MAINFRAME))
        EXPECT_TRUE(commands.emplace(accelerator.Sequence(), accelerator.commandId).second) << "twice";
    EXPECT_EQ(commands.size(), 12u);
    for (const char* key : {"Ctrl+N", "Ctrl+O", "Ctrl+S"})
        EXPECT_EQ(commands.count(QKeySequence(QString::fromLatin1(key))), 0u) << key;
    EXPECT_EQ(commands[QKeySequence(QStringLiteral("F1"))], 0xE146);
    EXPECT_EQ(commands[QKeySequence(QStringLiteral("Shift+F1"))], 0xE145);
    EXPECT_EQ(commands[QKeySequence(QStringLiteral("Alt+Backspace"))], 0xE12B);
}

TEST(Resources, TheSeparatorAboveImportRefPointsIsDrawn)
{
    // Qt collapses a menu's leading separators: the File menu showed no line.
    QMenuBar bar;
    LoadMenuBar(&bar, IDR_MAINFRAME);
    QMenu* file = bar.actions()[0]->menu();
    file->popup(QPoint(0, 0));
    ASSERT_TRUE(file->actions()[0]->isSeparator());
    const QRect import = file->actionGeometry(file->actions()[1]);
    const QImage shown = file->grab().toImage();
    const QRgb background = shown.pixel(import.left() + 2, import.center().y());
    // Between the frame's top row and the first command, a row of another colour.
    bool bLine = false;
    for (int y = 1; y < import.top(); ++y)
        bLine = bLine || shown.pixel(shown.width() / 2, y) != background;
    EXPECT_TRUE(bLine);
    file->close();
}

TEST(Resources, StringsAndIconsAreFoundByIdAndOtherIdsFindNothing)
{
    const std::pair<int, const char*> strings[] = {{128, "Kartora\n\nKartora\n\n\nKartora.Document\nKartora Document"},
                                                   {57344, "Kartora"},
                                                   {57345, "Ready"},
                                                   {57670, "Shows help for the current operation or command. \nHelp"},
                                                   {59137, "CAP"},
                                                   {59139, "SCRL"},
                                                   {61203, "Activate Task List"}};
    for (const auto& [id, text] : strings)
        EXPECT_STREQ(LoadResourceString(id), text) << id;
    for (const int id : {0, 57347, 61204})
        EXPECT_EQ(LoadResourceString(id), nullptr) << id;

    RegisterResourceFiles();
    for (const int id : {128, 130})
        for (const int side : {16, 32, 48, 256})
            EXPECT_TRUE(LoadIconResource(id).availableSizes().contains(QSize(side, side))) << id << " " << side;
    EXPECT_TRUE(LoadIconResource(129).isNull());
}

TEST(Resources, TheHelpFilesStandBesideTheProgramWithAnAnchorForEveryTopicTheReferenceDialogOpens)
{
    auto read = [](const char* name)
    {
        QFile file(QStringLiteral(KARTORA_TEST_BIN_DIR "/") + QString::fromLatin1(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return file.readAll();
    };
    const QByteArray german = read("KartoraDEU.hlp");
    EXPECT_EQ(read("kartora.HLP"), german);

    // Help on a coordinate field or label opens the degrees' topic, on pixel
    // y pixel x's, on the second point the first point's.
    const std::set<int> coordinates = {1004, 1005, 1006, 1008, 1009, 1010, 1012, 1013,
                                       1014, 1037, 1038, 1057, 1059, 1061, 1063};
    std::set<std::uint32_t> topics = {0x20064, 0x20082, 0x20086, 0x2008D};
    for (const ControlTemplate& control : GetDialogTemplate(IDD_REFERENCE_DIALOG).controls)
        if (control.helpId != 0)
            topics.insert(0x80820000u + (coordinates.count(control.id) ? 1004
                                         : control.id == 1003          ? 1002
                                         : control.id == 1045          ? 1044
                                                                       : control.id));
    EXPECT_EQ(topics.size(), 4u + 15u);
    for (const QByteArray& html : {german, read("KartoraENG.hlp")})
        for (const std::uint32_t id : topics)
        {
            const QByteArray anchor = "name=\"0x" + QByteArray::number(id, 16).toUpper().rightJustified(8, '0') + '"';
            EXPECT_TRUE(html.contains(anchor)) << anchor.constData();
        }
}

TEST(Resources, EveryCommandOfTheFramesMenuHasAHelpTopicAndKartorasOwnFollowTheLanguage)
{
    QMenuBar bar;
    LoadMenuBar(&bar, IDR_MAINFRAME);
    for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
    {
        QFile file(QStringLiteral(KARTORA_TEST_BIN_DIR "/") + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray html = file.readAll();
        for (const QAction* popup : bar.actions())
            for (const QAction* item : popup->menu()->actions())
            {
                const int id = item->data().toInt();
                if (id == 0 || id == ID_APP_ABOUT) // About opens its dialog's topic
                    continue;
                const QByteArray anchor =
                    "name=\"0x" + QByteArray::number(HID_BASE_COMMAND + id, 16).toUpper().rightJustified(8, '0') + '"';
                EXPECT_TRUE(html.contains(anchor)) << name << " " << anchor.constData();
            }
    }
    QMenu* file = bar.actions()[0]->menu();
    SetMenuLanguage(file, 0);
    EXPECT_EQ(file->actions()[2]->text(), QString::fromUtf8("Kalibrierung exportieren\u2026"));
    EXPECT_EQ(file->actions()[1]->text(), QStringLiteral("Import Ref.Points")); // the menus' own captions stay
    SetMenuLanguage(file, 1);
    EXPECT_EQ(file->actions()[3]->text(), QString::fromUtf8("Import calibration\u2026"));
}
