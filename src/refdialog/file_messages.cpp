#include "refdialog/file_messages.h"

#include "messages/messages.h"
#include "platform/win_types.h"
#include "shell/message_box_dlg.h"

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
