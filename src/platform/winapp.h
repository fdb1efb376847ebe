#pragma once
// CWinApp: the application object's share of the platform. It holds the
// per-user profile (settings under registry key / application name, one
// section per group), the application's help file path, and the main window.
// Exactly one exists while the program runs; AfxGetApp() returns it.
//
// The profile is QSettings(registryKey, appName): the registry on Windows, an
// INI file under the user's configuration directory elsewhere. Tests point it
// at a temporary directory with QSettings::setPath before reading it.

#include <QString>

#include "platform/win_types.h"

class QWidget;

class CWinApp
{
public:
    /// `appName` is the application title ("Kartora").
    explicit CWinApp(const QString& appName);
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    /// Keeps the settings under `key` ("Quarnby Applications").
    void SetRegistryKey(const QString& key);

    /// Stored integer `entry` of `section`, or `defaultValue` when it is
    /// missing or is not a whole number in the 32-bit range.
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    /// Stored text `entry` of `section`, or `defaultValue` when it is missing.
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue = QString()) const;
    /// Write at once; false when the settings could not be written.
    bool WriteProfileInt(const QString& section, const QString& entry, int value);
    bool WriteProfileString(const QString& section, const QString& entry, const QString& value);

    /// Opens the application's help file at context number `data` (HELP_CONTEXT)
    /// or at its contents page (HELP_FINDER).
    virtual void WinHelp(std::uintptr_t data, UINT command = HELP_CONTEXT);

    QString m_pszAppName;
    QString m_pszRegistryKey;
    /// Full path of the help file; at start the program's own path with the
    /// extension ".HLP".
    QString m_pszHelpFilePath;
    /// The main window (null until the application makes one).
    QWidget* m_pMainWnd = nullptr;
};

/// The application object, or null when none exists.
CWinApp* AfxGetApp();
/// The application's main window, or null.
QWidget* AfxGetMainWnd();
