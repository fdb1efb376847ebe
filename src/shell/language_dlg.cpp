#include "shell/language_dlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "messages/messages.h"
#include "platform/data_exchange.h"
#include "platform/file_dialog.h"
#include "platform/regular_file.h"
#include "platform/winapp.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"
#include "resources/settings_keys.h"
#include "shell/message_box_dlg.h"

namespace
{

const QString kSection = QLatin1String(kSettingsSection);
const QString kEntryLanguage = QLatin1String(kEntryHelpFile);
const QString kEntryHelpPath = QLatin1String(kEntryHelpFilePath);

QString AppHelpPath()
{
    const CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->m_pszHelpFilePath : QString();
}

void SetAppHelpPath(const QString& path)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->m_pszHelpFilePath = path;
}

QString Utf8Message(MessageId id, const QString& insert = QString())
{
    return QString::fromUtf8(GetMessageText(id, insert.toUtf8().constData()));
}

/// Position of the last directory separator in `path`, -1 when it has none.
/// Windows takes "\" as well as "/".
qsizetype LastSeparator(const QString& path)
{
#ifdef Q_OS_WIN
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    return path.lastIndexOf(u'/');
#endif
}

/// The directory of `path` if it exists, else its nearest existing parent,
/// as an absolute path ending in "/"; the current working directory when no
/// part of the path exists (for example a drive that is gone).
QString NearestExistingDirectory(const QString& path)
{
    QString dir = QFileInfo(path).path();
    for (;;)
    {
        const QFileInfo info(dir);
        if (info.isDir())
        {
            dir = info.absoluteFilePath();
            break;
        }
        const QString parent = info.path();
        if (parent == dir)
        {
            dir = QDir::currentPath();
            break;
        }
        dir = parent;
    }
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

} // namespace

CLanguageDlg::CLanguageDlg(QWidget* pParent) : CDialog(GetDialogTemplate(IDD_LANGUAGE), pParent)
{
    const CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
    {
        m_nLanguageIndex = pApp->GetProfileInt(kSection, kEntryLanguage, 0);
        m_strHelpPath = pApp->GetProfileString(kSection, kEntryHelpPath, pApp->m_pszHelpFilePath);
    }
    // Only 0 and 1 name a language; anything else stored is taken as German.
    if (m_nLanguageIndex != 0 && m_nLanguageIndex != 1)
        m_nLanguageIndex = 0;

    if (VerifyHelpFile())
        SetAppHelpPath(m_strHelpPath);
}

void CLanguageDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LANGUAGE_LIST, m_cbLanguage);
    if (m_cbLanguage == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        m_nLanguageIndex = m_cbLanguage->currentIndex();
    else
        m_cbLanguage->setCurrentIndex(m_nLanguageIndex);
}

bool CLanguageDlg::SetLanguageHelpPath()
{
    const QString appHelpPath = AppHelpPath();
    // The directory of the help file in use, with its separator; empty when
    // the path names no directory.
    m_strHelpPath = appHelpPath.left(LastSeparator(appHelpPath) + 1) + Utf8Message(MSG_HELP_FILE_NAME);
    if (!VerifyHelpFile())
        return false;
    SetAppHelpPath(m_strHelpPath);
    return true;
}

bool CLanguageDlg::VerifyHelpFile()
{
    // Reading is all the help window does: a help file installed read-only
    // is as good as any. Only a regular file counts, so that a pipe stored
    // as the path does not hang the start.
    QFile file(m_strHelpPath);
    if (OpenRegularFileForReading(file))
        return true;
    return SearchHelpFile();
}

bool CLanguageDlg::SearchHelpFile()
{
    CFileDialog dialog(true, QStringLiteral(".HLP"), QFileInfo(m_strHelpPath).fileName(),
                       QStringLiteral("Help File (*.HLP) | *.HLP||"), nullptr);
    dialog.m_request.title = Utf8Message(MSG_SEARCH_HELP_FILE);
    dialog.m_request.initialDir = NearestExistingDirectory(m_strHelpPath);

    while (dialog.DoModal() == IDOK)
    {
        const QString path = dialog.GetPathName();
        if (QFileInfo(path).isFile())
        {
            m_strHelpPath = path;
            return true;
        }
        ShowMessageText(Utf8Message(MSG_FILE_NOT_FOUND, QDir::toNativeSeparators(path)), MB_OK);
    }
    return false;
}

void CLanguageDlg::SaveLanguageSettings(int language)
{
    m_nLanguageIndex = language;
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    pApp->WriteProfileString(kSection, kEntryHelpPath, m_strHelpPath);
    pApp->WriteProfileInt(kSection, kEntryLanguage, language);
}
