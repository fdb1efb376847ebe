#include "checkwindows/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace
{

constexpr int kWindowGap = 8; // pixels between the dialog and a window beside it

} // namespace

void PlaceBesideDialog(QWidget& window, const QWidget& dialog)
{
    const QScreen* screen = dialog.screen() != nullptr ? dialog.screen() : QGuiApplication::primaryScreen();
    const QRect beside = dialog.frameGeometry();
    const QRect room = screen != nullptr ? screen->availableGeometry() : beside;
    const int width = window.frameGeometry().width();
    const int atRightEdge = room.right() + 1 - width;
    int x = atRightEdge;
    int y = room.top();
    if (dialog.isVisible())
    {
        const int right = beside.right() + 1 + kWindowGap;
        const int left = beside.left() - kWindowGap - width;
        x = right <= atRightEdge ? right : left >= room.left() ? left : atRightEdge;
        y = std::max(room.top(), beside.top());
    }
    window.move(x, y);
}
