#include "refdialog/file_messages.h"

#include <QDir>

#include <cerrno>
#include <system_error>

#include "messages/messages.h"
#include "platform/win_types.h"
#include "shell/message_box_dlg.h"

using namespace platform;

bool PassesSaveCheck(const formats::SaveCheck& check)
{
    const QString text = QString::fromUtf8(GetMessageText(check.message, check.insert.c_str()));
    if (!check.bQuestion)
    {
        ShowMessageText(text, MB_OK);
        return false;
    }
    return ShowMessageText(text, MB_YESNO) == IDYES;
}

void ReportWriteFailure(const QString& path, const FileWriteError& error)
{
    const QByteArray name = QDir::toNativeSeparators(path).toUtf8();
    QString text = QString::fromUtf8(GetMessageText(MSG_FILE_NOT_WRITTEN, name.constData()));
    // The system's reason; a device, FIFO or socket has none.
    if (error.fault == FileWriteFault::System)
        text += u'\n' + QString::fromStdString(error.reason);
    else if (error.fault == FileWriteFault::Directory)
        text += u'\n' + QString::fromStdString(std::generic_category().message(EISDIR));
    ShowMessageText(text, MB_OK);
}
