// Markers, labels, picking points from the context menu, panning and the
// messages exchanged with the reference dialog.
#include <QMouseEvent>
#include <QTest>

#include "resources/resource.h"
#include "view_fixture.h"

namespace
{

const std::vector<BmpColour> kPalette = {{0, 128, 0}, {0, 0, 160}};
const QRgb kGreen = qRgb(0, 128, 0) & 0xFFFFFFu;
const QRgb kRed = qRgb(255, 0, 0) & 0xFFFFFFu;

} // namespace

class MarkerTest : public MapViewTest
{
protected:
    /// A one-colour (green) 8-bit map of `width` x `height` pixels.
    void LoadGreenMap(int width, int height, std::array<std::uint32_t, 4> picked = {})
    {
        const QString path = FilePath(QStringLiteral("green.bmp"));
        WriteFile(path, MakeIndexedBmp(width, height, 8, kPalette, [](int, int) { return 0; }));
        Load(path, picked);
        ASSERT_TRUE(m_view->IsBitmapLoaded());
    }

    /// Right-clicks client position `client` and chooses `commandId` from
    /// the context menu; the menu's top-left corner on the screen.
    QPoint RightClickAndChoose(QPoint client, int commandId)
    {
        CMenuChoice choice(commandId);
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, client);
        EXPECT_TRUE(WaitFor([&] { return choice.Done(); }));
        Deliver();
        return choice.MenuPosition();
    }

    /// Sends a mouse event to the client area as the window system would.
    void Mouse(QEvent::Type type, QPoint client, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, client, m_view->viewport()->mapToGlobal(client), button, buttons, modifiers);
        QCoreApplication::sendEvent(m_view->viewport(), &event);
    }

    /// The marker drawn at bitmap pixel `p`: red cross, red ring of radius 10, the map inside.
    void ExpectMarkerAt(const QImage& painted, QPoint p)
    {
        for (const QPoint arm : {QPoint(-5, 0), QPoint(5, 0), QPoint(0, -5), QPoint(0, 5), QPoint(-10, 0)})
            EXPECT_EQ(At(painted, p + arm), kRed) << "cross at offset " << arm.x() << "," << arm.y();
        // On the ring at 45 degrees (radius 9.9 px) and between ring and cross.
        for (const QPoint ring : {QPoint(7, 7), QPoint(-7, 7), QPoint(7, -7), QPoint(-7, -7)})
            EXPECT_EQ(At(painted, p + ring), kRed) << "ring at offset " << ring.x() << "," << ring.y();
        for (const QPoint inside : {QPoint(4, 4), QPoint(-4, -4), QPoint(3, -4)})
            EXPECT_EQ(At(painted, p + inside), kGreen) << "inside at offset " << inside.x() << "," << inside.y();
        for (const QPoint outside : {QPoint(10, 10), QPoint(-10, -10), QPoint(13, 0)})
            EXPECT_EQ(At(painted, p + outside), kGreen) << "outside at offset " << outside.x() << "," << outside.y();
    }

    /// Nothing of a marker around bitmap pixel `p`.
    void ExpectNoMarkerAt(const QImage& painted, QPoint p)
    {
        EXPECT_EQ(CountOtherThan(painted, QRect(p - QPoint(12, 12), QSize(25, 25)), kGreen), 0);
    }
};

TEST_F(MarkerTest, APointCountedFromTheBottomIsMarkedCountedFromTheTop)
{
    // 600 rows: the dialog's y 100 is row 500 from the top. Point 2 has y 0
    // and is not marked; point 1 is marked all the same.
    LoadGreenMap(400, 600, {120, 100, 250, 0});
    m_frame->resize(500, 700); // the whole map in view
    ASSERT_TRUE(WaitFor([&] { return m_view->viewport()->height() >= 600; }));

    EXPECT_EQ(m_view->RefPoint(0), QPoint(120, 500));
    EXPECT_FALSE(m_view->IsRefPointSet(1));
    const QImage painted = Painted();
    ExpectMarkerAt(painted, {120, 500});
    ExpectNoMarkerAt(painted, {120, 100}); // not at the unconverted row
    ExpectNoMarkerAt(painted, {250, 12});  // point 2's raw position
    EXPECT_EQ(CountOtherThan(painted, QRect(0, 0, 400, 600), kGreen),
              CountOtherThan(painted, QRect(95, 475, 110, 50), kGreen))
        << "one marker with its label, nothing else";
}

TEST_F(MarkerTest, TheLabelMovesLeftOfAMarkerThatComesWithin60PixelsOfTheWindowsWidth)
{
    // Marker 1 at x 741, marker 2 at x 740, in a view window 800 pixels wide.
    LoadGreenMap(1200, 600, {741, 400, 740, 200});
    m_frame->resize(m_frame->width() + 800 - m_view->width(), 500);
    ASSERT_TRUE(WaitFor([&] { return m_view->width() == 800; }));

    const QImage painted = Painted();
    // The labels' boxes: left at x 691 (741 - 50) and at x 760 (740 + 20), from the marker's row down.
    const QRect leftOf1(691, 202, 20, 8), rightOf1(762, 202, 18, 8);
    const QRect leftOf2(690, 402, 20, 8), rightOf2(762, 402, 18, 8);
    EXPECT_GT(CountOtherThan(painted, leftOf1, kGreen), 40) << "label of point 1 left of its marker";
    EXPECT_EQ(CountOtherThan(painted, rightOf1, kGreen), 0);
    EXPECT_GT(CountOtherThan(painted, rightOf2, kGreen), 40) << "label of point 2 right of its marker";
    EXPECT_EQ(CountOtherThan(painted, leftOf2, kGreen), 0);
}

TEST_F(MarkerTest, ARightClickPicksTheBitmapPixelUnderTheCursor)
{
    LoadGreenMap(1000, 600);
    m_frame->resize(500, 400);
    ASSERT_TRUE(WaitFor([&] { return m_view->height() <= 400; }));
    ScrollTo(100, 50);
    m_dialog.hide();

    // The menu opened a frame's width above and left of the pointer.
    EXPECT_EQ(RightClickAndChoose({200, 150}, ID_REF_POINT_1), m_view->viewport()->mapToGlobal(QPoint(200, 150)));

    EXPECT_EQ(m_view->RefPoint(0), QPoint(300, 200));
    auto picked = m_dialog.Received(WM_REFPOINT1_PICKED);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].wParam, 300u);
    EXPECT_EQ(picked[0].lParam, 400); // 600 rows - 200
    ExpectMarkerAt(Painted(), {300, 200});

    // Picking point 1 again elsewhere moves its one marker; point 2 stays unmarked.
    RightClickAndChoose({250, 180}, ID_REF_POINT_1);
    EXPECT_EQ(m_view->RefPoint(0), QPoint(350, 230));
    EXPECT_FALSE(m_view->IsRefPointSet(1));
    const QImage painted = Painted();
    ExpectMarkerAt(painted, {350, 230});
    ExpectNoMarkerAt(painted, {300, 200});
    EXPECT_TRUE(m_dialog.Received(WM_REFPOINT2_PICKED).empty());

    RightClickAndChoose({40, 60}, ID_REF_POINT_2);
    picked = m_dialog.Received(WM_REFPOINT2_PICKED);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].wParam, 140u);
    EXPECT_EQ(picked[0].lParam, 490); // 600 - (50 + 60)
    EXPECT_EQ(m_view->RefPoint(0), QPoint(350, 230));
}

TEST_F(MarkerTest, OnlyAPlainLeftDragPans)
{
    struct Case
    {
        const char* name;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        bool pans;
    };
    const Case cases[] = {
        {"left button", Qt::LeftButton, Qt::NoModifier, true},
        {"left button with Shift", Qt::LeftButton, Qt::ShiftModifier, false},
        {"left button with Ctrl", Qt::LeftButton, Qt::ControlModifier, false},
        {"left and right button", Qt::LeftButton | Qt::RightButton, Qt::NoModifier, false},
    };
    LoadGreenMap(2000, 1500);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScrollTo(300, 200);
        Mouse(QEvent::MouseButtonPress, {250, 180}, Qt::LeftButton, c.buttons, c.modifiers);
        Mouse(QEvent::MouseMove, {150, 140}, Qt::NoButton, c.buttons, c.modifiers);
        Mouse(QEvent::MouseButtonRelease, {150, 140}, Qt::LeftButton, Qt::NoButton, c.modifiers);
        // The pixel grabbed at (250, 180) stays under the cursor: 100 further right, 40 further down.
        EXPECT_EQ(m_view->ScrollPosition(), c.pans ? QPoint(400, 240) : QPoint(300, 200));
    }

    // Dragged beyond the map's edge, the view stops at the edge.
    ScrollTo(10, 10);
    Mouse(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {200, 200}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(0, 0));
}

TEST_F(MarkerTest, ScrollBarsStepByAHundredthAndPageByATenthOfTheMap)
{
    LoadGreenMap(2000, 1500);
    ScrollTo(500, 500);
    QScrollBar* h = m_view->horizontalScrollBar();
    QScrollBar* v = m_view->verticalScrollBar();
    h->triggerAction(QAbstractSlider::SliderPageStepAdd);
    v->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(700, 350)); // 2000 / 10, 1500 / 10
    h->triggerAction(QAbstractSlider::SliderSingleStepSub);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(680, 365)); // 2000 / 100, 1500 / 100
}

TEST_F(MarkerTest, HideMapClearsBothMarkersAndAPickAfterwardsMarksOnlyThatPoint)
{
    LoadGreenMap(500, 400, {100, 100, 300, 300});
    m_dialog.hide();
    m_view->OnCommand(ID_HIDE_MAP);
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_FALSE(m_view->IsRefPointSet(0));
    EXPECT_FALSE(m_view->IsRefPointSet(1));

    PostMessage(m_view, WM_MAP_SHOW);
    Deliver();
    ASSERT_TRUE(m_frame->isVisible());
    // The dialog commands change only the dialog.
    m_view->OnCommand(ID_HIDE_DIALOG);
    EXPECT_FALSE(m_dialog.isVisible());
    RightClickAndChoose({30, 30}, ID_SHOW_DIALOG);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_TRUE(m_frame->isVisible());
    RightClickAndChoose({60, 70}, ID_REF_POINT_2);
    EXPECT_FALSE(m_view->IsRefPointSet(0));
    EXPECT_TRUE(m_view->IsRefPointSet(1));
    const QImage painted = Painted();
    ExpectMarkerAt(painted, {60, 70});
    ExpectNoMarkerAt(painted, {100, 300});
}

TEST_F(MarkerTest, AMarkerFollowsThePixelsTypedInTheDialog)
{
    // Without a map the values are not kept.
    Move(0, 50, 50);
    EXPECT_FALSE(m_view->IsRefPointSet(0));

    LoadGreenMap(400, 300);
    Move(1, 200, 100);
    ASSERT_TRUE(m_view->IsRefPointSet(1));
    EXPECT_EQ(m_view->RefPoint(1), QPoint(200, 200));
    ExpectMarkerAt(Painted(), {200, 200});

    Move(1, 200, 0); // y 0 removes it
    EXPECT_FALSE(m_view->IsRefPointSet(1));
    ExpectNoMarkerAt(Painted(), {200, 200});

    // An index that is no point changes nothing.
    Move(2, 20, 20);
    EXPECT_FALSE(m_view->IsRefPointSet(0));
    EXPECT_FALSE(m_view->IsRefPointSet(1));
}

TEST_F(MarkerTest, APixelFarOutsideTheMapIsNeitherDrawnNorAFault)
{
    // The dialog's pixel fields take any value up to 2^31 - 1; the marker's
    // label arithmetic once overflowed there.
    LoadGreenMap(300, 200);
    Move(0, 2147483647u, 100);
    Move(1, 150, 2147483647u);
    EXPECT_TRUE(m_view->IsRefPointSet(0));
    EXPECT_EQ(CountOtherThan(Painted(), QRect(0, 0, 300, 200), kGreen), 0);
}

TEST_F(MarkerTest, ImportRefPointsAsksTheDialogToImport)
{
    EXPECT_TRUE(m_view->OnCommand(ID_IMPORT_REFPOINTS));
    Deliver();
    EXPECT_EQ(m_dialog.Received(WM_IMPORT_REFPOINTS).size(), 1u);
    EXPECT_FALSE(m_view->OnCommand(ID_APP_ABOUT)) << "not a command of the view";
}

TEST_F(MarkerTest, OnAScaledScreenAPickGivesThePixelUnderTheCursorAndTheMarkerCentresOnIt)
{
    // At scale 1.25, 1.5 or 2 a click lands at a fraction of a bitmap pixel;
    // rounding gave the next pixel for its lower-right part (171/169 for a
    // click on pixel 170, row 430 of 600), also where Qt rounds the position
    // on its way from the window to the widget (seen on X11 at scale 2).
    LoadGreenMap(400, 600);
    m_frame->resize(500, 700);
    ASSERT_TRUE(WaitFor([&] { return m_view->viewport()->height() >= 600; }));
    int timestamp = 0;
    for (const double fraction : {0.2, 0.5, 0.8, 0.99})
    {
        SCOPED_TRACE(fraction);
        // Delivered as the window system delivers it: to the window, in its coordinates.
        QWindow* window = m_frame->windowHandle();
        const QPointF inWindow = m_view->viewport()->mapTo(m_frame.get(), QPointF(170 + fraction, 430 + fraction));
        CMenuChoice choice(ID_REF_POINT_1);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        {
            timestamp += 1000; // no double click
            qt_handleMouseEvent(window, inWindow, window->mapToGlobal(inWindow),
                                type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton, Qt::RightButton,
                                type, Qt::NoModifier, timestamp);
        }
        ASSERT_TRUE(WaitFor([&] { return choice.Done(); }));
        Deliver();
        const auto picked = m_dialog.Received(WM_REFPOINT1_PICKED);
        ASSERT_FALSE(picked.empty());
        EXPECT_EQ(picked.back().wParam, 170u);
        EXPECT_EQ(picked.back().lParam, 170); // 600 rows - 430
    }

    // Painted at twice the size, the cross's vertical arm covers both device
    // columns of pixel 170 (340 and 341), not the pixel's left edge.
    QImage doubled(m_view->viewport()->size() * 2, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2.0);
    m_view->viewport()->render(&doubled);
    const int row = 2 * (430 - 5) + 1; // on the arm, inside the ring
    const auto colour = [&](int column) { return doubled.pixel(column, row) & 0xFFFFFFu; };
    EXPECT_EQ(colour(340), kRed);
    EXPECT_EQ(colour(341), kRed);
    EXPECT_EQ(colour(339), kGreen);
    EXPECT_EQ(colour(342), kGreen);
}

TEST_F(MarkerTest, WithoutAMapThePointsOfTheContextMenuAreDisabled)
{
    // A pick in the empty window at start-up gave the dialog X 50 / Y -484.
    m_frame->resize(500, 400);
    m_frame->show();
    ASSERT_TRUE(WaitFor([&] { return m_view->viewport()->height() > 100; }));
    CMenuChoice choice(ID_REF_POINT_1);
    QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, QPoint(50, 40));
    ASSERT_TRUE(WaitFor([&] { return choice.Done(); }));
    Deliver();
    EXPECT_FALSE(choice.WasEnabled());
    EXPECT_TRUE(m_dialog.Received(WM_REFPOINT1_PICKED).empty());
    EXPECT_EQ(m_dialog.Received(WM_MAP_STATE).size(), 0u);

    // Every load tells the dialog whether there is a map to show.
    WriteFile(FilePath(QStringLiteral("broken.bmp")), std::vector<unsigned char>{'B', 'M'});
    CMessageBoxWatch boxes;
    Load(FilePath(QStringLiteral("broken.bmp")));
    LoadGreenMap(40, 30);
    const auto states = m_dialog.Received(WM_MAP_STATE);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0].wParam, 0u);
    EXPECT_EQ(states[1].wParam, 1u);
}

TEST_F(MarkerTest, TheKeyboardPicksAtACursorTheArrowKeysMoveAndEscapeBringsTheDialogBack)
{
    // Once the map was open, the keyboard had no way to pick or back.
    LoadGreenMap(1000, 600);
    m_frame->resize(500, 400);
    ASSERT_TRUE(WaitFor([&] { return m_view->height() <= 400; }));
    m_view->setFocus();
    const QPoint start = m_view->KeyboardCursor();
    EXPECT_FALSE(m_view->IsKeyboardCursorShown());
    QTest::keyClick(m_view, Qt::Key_Right);
    QTest::keyClick(m_view, Qt::Key_Right);
    QTest::keyClick(m_view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(m_view->KeyboardCursor(), start + QPoint(2, 10));
    EXPECT_TRUE(m_view->IsKeyboardCursorShown());

    // The Menu key and Shift+F10 open the menu at the cursor.
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Menu, Qt::NoModifier},
                                                              {Qt::Key_F10, Qt::ShiftModifier}};
    for (const auto& [key, modifiers] : keys)
    {
        CMenuChoice choice(ID_REF_POINT_2);
        QTest::keyClick(m_view, key, modifiers);
        ASSERT_TRUE(WaitFor([&] { return choice.Done(); }));
        Deliver();
        const auto picked = m_dialog.Received(WM_REFPOINT2_PICKED);
        ASSERT_FALSE(picked.empty());
        EXPECT_EQ(picked.back().wParam, static_cast<WPARAM>(start.x() + 2));
        EXPECT_EQ(picked.back().lParam, 600 - (start.y() + 10));
    }

    // Far to the right: the map scrolls so that the cursor stays in view.
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(m_view, Qt::Key_Right, Qt::ShiftModifier);
    const QPoint inView = m_view->KeyboardCursor() - m_view->ScrollPosition();
    EXPECT_TRUE(m_view->viewport()->rect().contains(inView));
    EXPECT_GT(m_view->ScrollPosition().x(), 0);

    m_dialog.hide();
    QTest::keyClick(m_view, Qt::Key_Escape);
    EXPECT_TRUE(m_dialog.isVisible());
}
