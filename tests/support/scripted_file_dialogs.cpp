#include "support/scripted_file_dialogs.h"

std::optional<QString> CScriptedFileDialogs::Run(const FileDialogRequest& request, QWidget*)
{
    m_requests.push_back(request);
    if (m_answers.empty())
        return std::nullopt;
    // An empty optional is a Cancel; copy the path out before dropping it.
    const bool bCancel = !m_answers.front().has_value();
    const QString path = bCancel ? QString() : *m_answers.front();
    m_answers.pop_front();
    if (bCancel)
        return std::nullopt;
    return path;
}
