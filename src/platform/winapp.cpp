// The application object: profile, help path, main window.
#include "platform/winapp.h"

#include "platform/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <limits>
#include <optional>

namespace
{

CWinApp* s_pApp = nullptr;

// `value` when it is a whole number in the 32-bit range.
std::optional<int> ToProfileInt(const QVariant& value)
{
    bool ok = false;
    switch (value.typeId())
    {
    case QMetaType::QString:
    {
        // QString::toInt is locale-independent and rejects trailing text,
        // other bases and values outside the int range.
        const int number = value.toString().toInt(&ok, 10);
        return ok ? std::optional<int>(number) : std::nullopt;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    {
        const qlonglong number = value.toLongLong(&ok);
        if (ok && number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
            return static_cast<int>(number);
        return std::nullopt;
    }
    case QMetaType::ULongLong:
    {
        const qulonglong number = value.toULongLong(&ok);
        if (ok && number <= static_cast<qulonglong>(std::numeric_limits<int>::max()))
            return static_cast<int>(number);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

CWinApp::CWinApp(const QString& appName) : m_pszAppName(appName)
{
    Q_ASSERT_X(s_pApp == nullptr, "CWinApp", "only one application object may exist");
    s_pApp = this;
    if (QCoreApplication::instance() != nullptr)
        m_pszHelpFilePath = LocateHelpFilePath(QCoreApplication::applicationFilePath());
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = nullptr;
}

void CWinApp::SetRegistryKey(const QString& key)
{
    m_pszRegistryKey = key;
}

int CWinApp::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const
{
    QSettings settings(m_pszRegistryKey, m_pszAppName);
    settings.beginGroup(section);
    return ToProfileInt(settings.value(entry)).value_or(defaultValue);
}

QString CWinApp::GetProfileString(const QString& section, const QString& entry, const QString& defaultValue) const
{
    QSettings settings(m_pszRegistryKey, m_pszAppName);
    settings.beginGroup(section);
    const QVariant value = settings.value(entry);
    if (!value.isValid())
        return defaultValue;
    // An INI line with an unquoted ", " reads back as a list of texts.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool CWinApp::WriteProfileInt(const QString& section, const QString& entry, int value)
{
    return WriteProfileValue(section, entry, value);
}

bool CWinApp::WriteProfileString(const QString& section, const QString& entry, const QString& value)
{
    return WriteProfileValue(section, entry, value);
}

bool CWinApp::WriteProfileValue(const QString& section, const QString& entry, const QVariant& value)
{
    QSettings settings(m_pszRegistryKey, m_pszAppName);
    settings.beginGroup(section);
    settings.setValue(entry, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void CWinApp::WinHelp(std::uintptr_t data, UINT command)
{
    ::WinHelp(m_pszHelpFilePath, command, data);
}

QString DefaultHelpFilePath(const QString& programPath)
{
    // Only the file name's extension counts: a dot in a directory name is not one.
    const qsizetype nameStart = programPath.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = programPath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? programPath.left(dot) : programPath;
    return stem + QStringLiteral(".HLP");
}

QString LocateHelpFilePath(const QString& programPath)
{
    const QString besideProgram = DefaultHelpFilePath(programPath);
    if (QFileInfo(besideProgram).isFile())
        return besideProgram;
    // The install rules put the data folder at this path relative to the
    // programs' folder, so a tree installed under any prefix finds it.
    const QString installed =
        QDir::cleanPath(QFileInfo(programPath).path() + QStringLiteral("/" KARTORA_DATADIR_FROM_BINDIR "/") +
                        QFileInfo(besideProgram).fileName());
    if (QFileInfo(installed).isFile())
        return installed;
    return besideProgram;
}

CWinApp* AfxGetApp()
{
    return s_pApp;
}

QWidget* AfxGetMainWnd()
{
    return s_pApp != nullptr ? s_pApp->m_pMainWnd : nullptr;
}
