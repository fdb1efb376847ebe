#pragma once
// The posted window messages between the map view and the reference dialog.
// Values are signed 32-bit; y is counted from the bottom row of the bitmap in
// every message. Pointers point into the reference dialog's members or the
// process-lifetime array g_pickedPixels, never into the sender's stack.

#include <QString>

#include "platform/win_types.h"

/// dialog -> view: wParam points to the BMP file's full path (QString),
/// lParam to four std::uint32_t x1, y1, x2, y2.
constexpr UINT WM_MAP_LOAD = WM_USER + 5;
/// view -> dialog: wParam pixel x, lParam pixel y of reference point 1.
constexpr UINT WM_REFPOINT1_PICKED = WM_USER + 6;
/// view -> dialog: wParam pixel x, lParam pixel y of reference point 2.
constexpr UINT WM_REFPOINT2_PICKED = WM_USER + 7;
/// dialog -> view: show the main frame.
constexpr UINT WM_MAP_SHOW = WM_USER + 8;
/// view -> dialog: import both points' coordinates from a MagicMaps export.
constexpr UINT WM_IMPORT_REFPOINTS = WM_USER + 9;
/// dialog -> view: wParam the current point (0 or 1), lParam points to its
/// two std::uint32_t x, y.
constexpr UINT WM_REFPOINT_MOVED = WM_USER + 10;
/// view -> dialog: the bitmap could not be loaded; restore the names.
constexpr UINT WM_MAP_LOAD_FAILED = WM_USER + 11;
/// view -> dialog, after every load: wParam 1 when a map is shown, 0 when the
/// load failed or its colour depth was refused ("Show Map" would show nothing).
constexpr UINT WM_MAP_STATE = WM_USER + 12;
/// view -> dialog: export the calibration for other map programs.
constexpr UINT WM_EXPORT_CALIBRATION = WM_USER + 13;
/// view -> dialog: start the calibration from another program's.
constexpr UINT WM_IMPORT_CALIBRATION = WM_USER + 14;
/// dialog -> view: as WM_MAP_LOAD, for a map the device cannot read as it is:
/// wParam points to a MapConversion, lParam to the four pixel values. The view
/// writes the device BMP from the scan and then shows the BMP.
constexpr UINT WM_MAP_CONVERT = WM_USER + 15;

/// The paths of a WM_MAP_CONVERT: the scan the user chose (never written)
/// and the device BMP to write beside it.
struct MapConversion
{
    QString scanPath;
    QString bmpPath;
};
