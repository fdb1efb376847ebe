#include "support/settings_sandbox.h"

#include <QDir>
#include <QSettings>

namespace
{
QString s_strCurrent;
}

void PointSettingsAt(const QString& directory)
{
    // The system scope too: QSettings falls back to it for missing values,
    // and the machine's own files must not leak into a test.
    const QString user = directory + QStringLiteral("/user");
    const QString system = directory + QStringLiteral("/system");
    QDir().mkpath(user);
    QDir().mkpath(system);
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    {
        QSettings::setPath(format, QSettings::UserScope, user);
        QSettings::setPath(format, QSettings::SystemScope, system);
    }
    s_strCurrent = directory;
}

QString CurrentSettingsDirectory()
{
    return s_strCurrent;
}

ScopedSettingsDir::ScopedSettingsDir() : m_strPrevious(s_strCurrent)
{
    PointSettingsAt(m_dir.path());
}

ScopedSettingsDir::~ScopedSettingsDir()
{
    if (!m_strPrevious.isEmpty())
        PointSettingsAt(m_strPrevious);
}
