#pragma once
// CKartoraApp: the application object. Start-up builds the one frame with
// its document and map view; the view's first update asks the application
// for the reference dialog, which is where the user works. The program ends
// when the main frame closes.

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "platform/winapp.h"

class CCalibrationTools;
class CKartoraDoc;
class CKartoraView;
class CMainFrame;
class QWidget;

/// The result of the framework's standard command-line parsing: arguments
/// beginning with "-" (on Windows also "/") are flags, which Kartora has
/// none of and ignores; the first other argument names the document.
struct CCommandLineInfo
{
    QString m_strFileName; ///< empty: a new document
};

/// `arguments` as QCoreApplication::arguments() gives them, the program first.
CCommandLineInfo ParseCommandLine(const QStringList& arguments);

/// The one single-document template (resource 128): what it made.
struct CSingleDocTemplate
{
    int m_nIDResource = 0;
    std::unique_ptr<CKartoraDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pFrame; ///< owns the view
};

class CKartoraApp final : public CWinApp
{
public:
    /// Makes the reference dialog for a view. The program's is
    /// CreateDefaultReferenceDialog; tests may give a stand-in.
    using DialogFactory = std::function<QWidget*(CKartoraView*)>;

    explicit CKartoraApp(DialogFactory createDialog = {});
    ~CKartoraApp() override;

    /// Start-up: settings key, document template, command line
    /// (QCoreApplication::arguments()), frame shown with the dialog in front,
    /// the file named on the command line loaded into the dialog.
    /// False when the frame could not be made; the program then ends.
    bool InitInstance();
    /// The same with the given arguments (the program first).
    bool InitInstance(const QStringList& arguments);

    /// Called once by the view's initial update: makes the reference dialog
    /// for `pView` (shown in front), hides the main frame, returns the dialog.
    QWidget* CreateReferenceDialog(CKartoraView* pView);

    /// The About box, modally.
    void OnAppAbout();

    /// The application's commands (About, Exit); false for any other.
    bool OnCommand(int id);

    /// Whether the program may end now, asked by the frame when it is
    /// closed (close box, Exit, the desktop's close or logout request): the
    /// reference dialog first saves unsaved changes, as its "Close" does.
    /// False when that Save failed or was declined.
    bool CanEndProgram();

    CMainFrame* MainFrame() const;
    /// The calibration's checks, readout and grid; null with a stand-in dialog.
    CCalibrationTools* CalibrationTools() const { return m_pCalibrationTools.get(); }
    CKartoraDoc* Document() const;

    CKartoraView* m_pMapView = nullptr; ///< the view that asked for the dialog
    QPointer<QWidget> m_pRefDlg;        ///< the reference dialog, owned here

private:
    bool ProcessShellCommand(const CCommandLineInfo& info);
    /// Creates document, frame and view and runs the view's initial update.
    bool OpenDocumentFile(const QString& path);

    DialogFactory m_createDialog;
    CSingleDocTemplate m_docTemplate;
    std::unique_ptr<CCalibrationTools> m_pCalibrationTools; ///< with the program's own dialog only
    QMetaObject::Connection m_sessionConnection;            ///< the desktop's logout request
};

/// The application object as a CKartoraApp, or null.
CKartoraApp* KartoraApp();
