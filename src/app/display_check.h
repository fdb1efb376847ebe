#pragma once
// Whether the desktop program can open windows at all. Without a display Qt
// aborts with a backtrace; the program says so in one line instead.

/// The line the program prints when there is no display.
constexpr const char* kNoDisplayMessage =
    "kartora: no display found; start it under a desktop session or with xvfb-run";

/// The line the program prints when a display is named but Qt cannot use it
/// (an X server that is gone, a Wayland socket of another session).
constexpr const char* kDisplayFailedMessage =
    "kartora: cannot open the display; start it under a desktop session or with xvfb-run";

/// False on an X11/Wayland system when neither DISPLAY nor WAYLAND_DISPLAY
/// is set and no Qt platform was chosen (QT_QPA_PLATFORM, or "-platform"
/// among the arguments). Always true on Windows and macOS.
bool HasDisplay(int argc, char** argv);

/// Held while the QApplication is constructed. Qt's messages meanwhile are
/// kept back; a fatal one (Qt found no usable platform) ends the program with
/// kDisplayFailedMessage and status 1 instead of Qt's lines and an abort. When
/// the guard ends, the messages kept back are printed as Qt would have.
class DisplayStartGuard
{
public:
    DisplayStartGuard();
    ~DisplayStartGuard();
    DisplayStartGuard(const DisplayStartGuard&) = delete;
    DisplayStartGuard& operator=(const DisplayStartGuard&) = delete;
};
