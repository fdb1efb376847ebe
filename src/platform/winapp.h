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
#include <QVariant>

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
    /// missing or is not a whole number in the 32-bit range. A stored text
    /// counts when it is an optional sign and decimal digits only (blanks
    /// around them allowed): "abc", "12abc", "1.5", "0x10" and the empty
    /// text give the default, as do lists, byte arrays and other values.
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    /// Stored text `entry` of `section`, or `defaultValue` when it is missing
    /// (a stored number reads as its decimal text).
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
    /// Full path of the help file; at start LocateHelpFilePath of the
    /// program's path (empty when no QCoreApplication exists yet).
    QString m_pszHelpFilePath;
    /// The main window (null until the application makes one).
    QWidget* m_pMainWnd = nullptr;

private:
    bool WriteProfileValue(const QString& section, const QString& entry, const QVariant& value);
};

/// The help file that belongs to the program `programPath` (Qt's form, "/"
/// separators on every platform): its path with the
/// extension of the file name replaced by ".HLP", or ".HLP" appended when the
/// file name has none ("C:/tools/Kartora.exe" -> "C:/tools/Kartora.HLP",
/// "/opt/kartora-2.2/kartora" -> "/opt/kartora-2.2/kartora.HLP").
QString DefaultHelpFilePath(const QString& programPath);

/// The help file that the program `programPath` starts with: the file
/// DefaultHelpFilePath(programPath) when it exists (the build tree, or a
/// program kept in one folder with its help files); else the file of that
/// name in the data folder of an installed tree (share/kartora beside the
/// programs' bin folder) when it exists there; else
/// DefaultHelpFilePath(programPath), so that the search for the help file
/// starts in the program's folder.
QString LocateHelpFilePath(const QString& programPath);

/// The application object, or null when none exists.
CWinApp* AfxGetApp();
/// The application's main window, or null.
QWidget* AfxGetMainWnd();
