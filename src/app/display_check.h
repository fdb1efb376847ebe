#pragma once
// Whether the desktop program can open windows at all. Without a display Qt
// aborts with a backtrace; the program says so in one line instead.

/// The line the program prints when there is no display.
constexpr const char* kNoDisplayMessage =
    "kartora: no display found; start it under a desktop session or with xvfb-run";

/// False on an X11/Wayland system when neither DISPLAY nor WAYLAND_DISPLAY
/// is set and no Qt platform was chosen (QT_QPA_PLATFORM, or "-platform"
/// among the arguments). Always true on Windows and macOS.
bool HasDisplay(int argc, char** argv);
