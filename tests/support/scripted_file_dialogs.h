#pragma once
// A file-dialog provider that answers without a window.

#include <deque>
#include <optional>
#include <vector>

#include "platform/file_dialog.h"

/// Answers from a queue (a path, or nothing for Cancel) and records every
/// request. An empty queue answers Cancel. Installed with
/// SetFileDialogProvider.
class CScriptedFileDialogs final : public IFileDialogProvider
{
public:
    void Answer(const QString& path) { m_answers.push_back(path); }
    void Cancel() { m_answers.push_back(std::nullopt); }
    std::optional<QString> Run(const FileDialogRequest& request, QWidget* parent) override;

    const std::vector<FileDialogRequest>& Requests() const { return m_requests; }

private:
    std::deque<std::optional<QString>> m_answers;
    std::vector<FileDialogRequest> m_requests;
};
