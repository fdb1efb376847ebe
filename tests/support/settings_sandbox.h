#pragma once
// QSettings in a sandbox: GUI tests never read or write the settings of the
// user who runs them. The test main() points every settings scope at a
// temporary directory for the whole run; a test that needs empty settings
// uses SettingsTest (or a ScopedSettingsDir) for a directory of its own.

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

/// Points the per-user and the system-wide settings (native and INI format)
/// at `directory`, so that QSettings objects made afterwards read and write
/// only there.
void PointSettingsAt(const QString& directory);

/// The directory that PointSettingsAt was last given.
QString CurrentSettingsDirectory();

/// A fresh, empty settings directory for its lifetime; afterwards the
/// settings point where they pointed before.
class ScopedSettingsDir
{
public:
    ScopedSettingsDir();
    ~ScopedSettingsDir();
    ScopedSettingsDir(const ScopedSettingsDir&) = delete;
    ScopedSettingsDir& operator=(const ScopedSettingsDir&) = delete;

    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_strPrevious;
};

/// Fixture: each test starts with empty settings.
class SettingsTest : public ::testing::Test
{
protected:
    ScopedSettingsDir m_settings;
};
