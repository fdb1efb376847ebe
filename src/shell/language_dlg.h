#pragma once
// The language and help-file object (template 137): keeps the language
// index and the full path of the help file, reads both from the settings
// ("HelpFile", "HelpFilePath"), makes sure the help file can be found (the
// user is asked to search for it when it cannot), points the application's
// help file path at it, and writes both back.
//
// The reference dialog owns one and never shows it as a window: the
// language is switched by the reference dialog's language button.

#include <QString>

#include <cstdint>

#include "platform/dialog.h"

class CDropListCtrl;

class CLanguageDlg final : public CDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CLanguageDlg)
public:
    /// Reads the language (a stored value other than 0 or 1 counts as 0,
    /// German) and the help path (default: the application's help path),
    /// and verifies the help file, which may open the search dialog. When
    /// the file is found the application's help path becomes it; otherwise
    /// that path stays as it was.
    explicit CLanguageDlg(QWidget* pParent = nullptr);

    /// 0 German, 1 English.
    int GetLanguage() const { return m_nLanguageIndex; }
    /// Full path of the help file this object holds.
    const QString& HelpPath() const { return m_strHelpPath; }

    /// Points the help path at the current language's help file
    /// (KartoraDEU.hlp or KartoraENG.hlp) in the directory of the
    /// application's help file, verifying it. True, and the application's
    /// help path changed, when a help file was found; false otherwise, and
    /// HelpPath() keeps the composed path.
    bool SetLanguageHelpPath();
    /// True when HelpPath() names a file that can be opened for reading, or
    /// when the user found one with SearchHelpFile().
    bool VerifyHelpFile();
    /// Lets the user choose the help file in an open-file dialog that starts
    /// in the nearest existing directory of HelpPath(). A chosen file that
    /// does not exist is reported and the dialog runs again. True, and
    /// HelpPath() set, when the user chose an existing file; false, and
    /// HelpPath() unchanged, when the user cancelled.
    bool SearchHelpFile();
    /// Takes `language` and writes "HelpFilePath" and then "HelpFile".
    void SaveLanguageSettings(int language);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CDropListCtrl* m_cbLanguage = nullptr;
    std::int32_t m_nLanguageIndex = 0;
    QString m_strHelpPath;
};
