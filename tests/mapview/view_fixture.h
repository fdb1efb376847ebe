#pragma once
// A map view in the program's frame, as the program has it, with the
// recording stand-in for the reference dialog and the English message texts.

#include <QCoreApplication>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "app/main_frame.h"
#include "mapview/kartora_view.h"
#include "messages/messages.h"
#include "platform/user_message.h"
#include "platform/winapp.h"
#include "shell/window_messages.h"
#include "view_test_support.h"

class MapViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_nLanguage = 1;
        ASSERT_TRUE(m_dir.isValid());
        m_frame = std::make_unique<CMainFrame>();
        m_view = new CKartoraView([this](CKartoraView*) { return &m_dialog; }, m_frame.get());
        m_frame->SetView(m_view);
        m_app.m_pMainWnd = m_frame.get();
        m_view->OnInitialUpdate();
        m_dialog.show();
    }

    void TearDown() override
    {
        m_frame.reset();
        g_nLanguage = 0;
    }

    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    /// Posts WM_MAP_LOAD as the dialog does and lets every posted message arrive.
    void Load(const QString& path, std::array<std::uint32_t, 4> picked = {})
    {
        m_strPath = path;
        m_picked = picked;
        PostMessage(m_view, WM_MAP_LOAD, reinterpret_cast<WPARAM>(&m_strPath),
                    reinterpret_cast<LPARAM>(m_picked.data()));
        Deliver();
    }

    /// Posts WM_REFPOINT_MOVED for point `index` with x and y (y from the bottom).
    void Move(int index, std::uint32_t x, std::uint32_t y)
    {
        m_moved = {x, y};
        PostMessage(m_view, WM_REFPOINT_MOVED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(m_moved.data()));
        Deliver();
    }

    static void Deliver()
    {
        for (int i = 0; i < 3; ++i)
        {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    void ScrollTo(int x, int y)
    {
        m_view->horizontalScrollBar()->setValue(x);
        m_view->verticalScrollBar()->setValue(y);
        ASSERT_EQ(m_view->ScrollPosition(), QPoint(x, y)) << "the map is too small for this scroll position";
    }

    /// The client area as painted now.
    QImage Painted() const { return m_view->viewport()->grab().toImage(); }

    /// The painted colour of bitmap pixel `p` (it must be in view).
    QRgb At(const QImage& painted, QPoint p) const
    {
        const QPoint client = p - m_view->ScrollPosition();
        EXPECT_TRUE(painted.rect().contains(client)) << "pixel " << p.x() << "," << p.y() << " is not in view";
        return painted.pixel(client) & 0xFFFFFFu;
    }

    /// How many pixels of the bitmap rectangle `area` are painted in another colour than `rgb`.
    int CountOtherThan(const QImage& painted, const QRect& area, QRgb rgb) const
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (At(painted, {x, y}) != rgb)
                    ++count;
        return count;
    }

    CWinApp m_app{QStringLiteral("Kartora")};
    QTemporaryDir m_dir;
    CRecordingDialog m_dialog;
    std::unique_ptr<CMainFrame> m_frame;
    CKartoraView* m_view = nullptr;

    // What the dialog's members would hold: they outlive the posted messages.
    QString m_strPath;
    std::array<std::uint32_t, 4> m_picked = {};
    std::array<std::uint32_t, 2> m_moved = {};
};
