#pragma once
// CFileDialog: the common open and save dialogs behind one seam. The program
// shows QFileDialog; another provider (the tests' scripted one) may answer
// in its place.
//
// Filters are given in the Windows form "Kartora File (*.CAL) | *.CAL||"; the
// dialog shows their descriptions as written ("Kartora File (*.CAL)") and
// matches the extension in any letter case. A name chosen without an extension
// gets the default extension. The dialogs never ask their own questions (no
// overwrite or existence prompts): the callers ask theirs.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

struct FileDialogRequest
{
    bool bOpenFileDialog = true; ///< open, else save
    QString title;
    QString defaultExt; ///< without the dot, e.g. "CAL"
    QString fileName;   ///< initial file name
    QString filter;     ///< Windows form
    QString initialDir;
};

class IFileDialogProvider
{
public:
    virtual ~IFileDialogProvider() = default;
    /// The full path the user chose, or nothing when the user cancelled.
    virtual std::optional<QString> Run(const FileDialogRequest& request, QWidget* parent) = 0;
};

/// Installs `provider` for all later file dialogs (not owned); null restores QFileDialog.
void SetFileDialogProvider(IFileDialogProvider* provider);

/// "Kartora File (*.CAL) | *.CAL||" -> the Qt name filter "Kartora File (*.CAL)";
/// "*.*" becomes "*" (every file, with a dot or not). The case of a
/// pattern's letters is left to the matching, which ignores it.
QStringList QtNameFiltersFromWindowsFilter(const QString& filter);

class CFileDialog
{
public:
    /// `defaultExt` may be given with or without its leading dot.
    CFileDialog(bool bOpenFileDialog, const QString& defaultExt = QString(), const QString& fileName = QString(),
                const QString& filter = QString(), QWidget* parent = nullptr);

    /// IDOK when a file was chosen, IDCANCEL otherwise.
    int DoModal();

    QString GetPathName() const;  ///< full path
    QString GetFileName() const;  ///< name with extension
    QString GetFileTitle() const; ///< name without its last extension
    QString GetFileExt() const;   ///< extension without the dot

    FileDialogRequest m_request; ///< title and initial directory may be set before DoModal

private:
    QWidget* m_pParent;
    QString m_strPath;
};
