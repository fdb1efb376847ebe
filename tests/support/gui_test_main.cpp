// main() of every GUI test program: Qt's offscreen platform unless the caller
// chose one, one QApplication for the whole run, settings kept in a
// temporary directory that is removed at the end, and the beep and help
// requests recorded.
#include "support/platform_observers.h"
#include "support/settings_sandbox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a private runtime directory and complains on every start
    // when the environment names none (as under CTest).
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QApplication app(argc, argv);

    QTemporaryDir settingsDir;
    if (!settingsDir.isValid())
    {
        std::fprintf(stderr, "cannot create a temporary settings directory\n");
        return 1;
    }
    PointSettingsAt(settingsDir.path());
    ObservePlatformCalls();
    return RUN_ALL_TESTS();
}
