// kartora: the desktop program.
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <optional>

#include "app/display_check.h"
#include "app/kartora_app.h"

int main(int argc, char** argv)
{
    if (!HasDisplay(argc, argv))
    {
        std::fprintf(stderr, "%s\n", kNoDisplayMessage);
        return 1;
    }
    std::optional<QApplication> application;
    {
        const DisplayStartGuard guard;
        application.emplace(argc, argv);
    }
    // Qt takes the user's locale for the C library too. Kartora formats and
    // parses every number itself with "."; keeping C's numeric conventions
    // as well leaves nothing that a "," locale could change.
    std::setlocale(LC_NUMERIC, "C");
    // Desktops match the windows with the menu entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KARTORA_APP_ID));

    CKartoraApp theApp;
    if (!theApp.InitInstance())
        return 1;
    return QApplication::exec();
}
