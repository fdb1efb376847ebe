#include "app/display_check.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool HasDisplay(int argc, char** argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return true;
#endif
}

namespace
{

// Start-up is single-threaded: Qt's platform plugin reports from the thread
// that constructs the QApplication.
QtMessageHandler s_previousHandler = nullptr;
QStringList s_keptBack;

void KeepBack(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
    {
        std::fprintf(stderr, "%s\n", kDisplayFailedMessage);
        std::fflush(stderr);
        std::_Exit(1); // Qt's state is half built: no destructors, no atexit handlers
    }
    s_keptBack.append(qFormatLogMessage(type, context, message));
}

} // namespace

DisplayStartGuard::DisplayStartGuard()
{
    s_keptBack.clear();
    s_previousHandler = qInstallMessageHandler(KeepBack);
}

DisplayStartGuard::~DisplayStartGuard()
{
    qInstallMessageHandler(s_previousHandler);
    for (const QString& line : std::as_const(s_keptBack))
        std::fprintf(stderr, "%s\n", qUtf8Printable(line));
    s_keptBack.clear();
}
