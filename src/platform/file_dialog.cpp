// File dialogs: the Windows filter form, the default extension, QFileDialog.
#include "platform/file_dialog.h"

#include "platform/win_types.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{

// The real dialog: Qt's own widget rather than the desktop's, so that it
// behaves the same everywhere, and without prompts of its own.
class CQtFileDialogs final : public IFileDialogProvider
{
public:
    std::optional<QString> Run(const FileDialogRequest& request, QWidget* parent) override
    {
        QFileDialog dialog(parent);
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        dialog.setAcceptMode(request.bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        // AnyFile in open mode too: whether a file exists is the caller's question.
        dialog.setFileMode(QFileDialog::AnyFile);
        // Name filters match in any letter case unless the filter says
        // otherwise: "*.BMP" must list harbour.bmp as it lists HARBOUR.BMP.
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        if (!request.title.isEmpty())
            dialog.setWindowTitle(request.title);
        const QStringList filters = QtNameFiltersFromWindowsFilter(request.filter);
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        dialog.setDefaultSuffix(request.defaultExt);
        if (!request.initialDir.isEmpty())
            dialog.setDirectory(request.initialDir);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen.first();
    }
};

IFileDialogProvider* s_pProvider = nullptr;

// One Windows pattern as a Qt pattern: "*.*" means every file, with or
// without a dot; any other pattern stands as it is.
QString QtPattern(const QString& pattern)
{
    return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
}

// Whether `name` (no directory) was given with an extension: any dot counts,
// so "harbour.old" keeps its name and only "harbour" gets the default one.
bool HasExtension(const QString& name)
{
    return name.contains(QLatin1Char('.'));
}

QString FileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

void SetFileDialogProvider(IFileDialogProvider* provider)
{
    s_pProvider = provider;
}

QStringList QtNameFiltersFromWindowsFilter(const QString& filter)
{
    // "Description|patterns|Description|patterns||": pairs, the patterns
    // separated by ";". Blanks around the bars are not part of either.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty())
            break; // the closing "||"
        QStringList converted;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            converted += QtPattern(pattern.trimmed());
        if (converted.isEmpty())
            continue;
        // Qt reads the patterns from the last parentheses of the text: the
        // Windows description usually repeats them there, so they are replaced.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
        description.remove(trailingPatterns);
        if (description.isEmpty())
            description = patterns;
        result += description + QStringLiteral(" (") + converted.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

CFileDialog::CFileDialog(bool bOpenFileDialog, const QString& defaultExt, const QString& fileName,
                         const QString& filter, QWidget* parent)
    : m_pParent(parent)
{
    m_request.bOpenFileDialog = bOpenFileDialog;
    m_request.defaultExt = defaultExt.startsWith(QLatin1Char('.')) ? defaultExt.mid(1) : defaultExt;
    m_request.fileName = fileName;
    m_request.filter = filter;
}

int CFileDialog::DoModal()
{
    static CQtFileDialogs s_qtDialogs;
    IFileDialogProvider* provider = s_pProvider != nullptr ? s_pProvider : &s_qtDialogs;
    const std::optional<QString> chosen = provider->Run(m_request, m_pParent);
    if (!chosen || chosen->isEmpty())
        return IDCANCEL;
    m_strPath = *chosen;
    // A name typed without an extension gets the default one, whoever
    // answered the dialog.
    if (!m_request.defaultExt.isEmpty() && !HasExtension(FileNameOf(m_strPath)))
        m_strPath += QLatin1Char('.') + m_request.defaultExt;
    return IDOK;
}

QString CFileDialog::GetPathName() const
{
    return m_strPath;
}

QString CFileDialog::GetFileName() const
{
    return FileNameOf(m_strPath);
}

QString CFileDialog::GetFileTitle() const
{
    const QString name = GetFileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString CFileDialog::GetFileExt() const
{
    const QString name = GetFileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}
