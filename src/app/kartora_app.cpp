#include "app/kartora_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>

#include "app/calibration_tools.h"
#include "app/kartora_doc.h"
#include "app/main_frame.h"
#include "mapview/kartora_view.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "shell/about_dlg.h"

CCommandLineInfo ParseCommandLine(const QStringList& arguments)
{
    CCommandLineInfo info;
    for (qsizetype i = 1; i < arguments.size(); ++i)
    {
        const QString& argument = arguments[i];
#ifdef Q_OS_WIN
        const bool flag = argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1Char('/'));
#else
        const bool flag = argument.startsWith(QLatin1Char('-'));
#endif
        if (!flag && !argument.isEmpty() && info.m_strFileName.isEmpty())
            info.m_strFileName = argument;
    }
    return info;
}

CKartoraApp::CKartoraApp(DialogFactory createDialog)
    : CWinApp(QStringLiteral("Kartora")), m_createDialog(std::move(createDialog))
{
}

CKartoraApp::~CKartoraApp()
{
    QObject::disconnect(m_sessionConnection);
    // The dialog first: it knows the frame and the view, not the other way round.
    m_pCalibrationTools.reset();
    delete m_pRefDlg.data();
    m_pMainWnd = nullptr;
    m_pMapView = nullptr;
}

CKartoraApp* KartoraApp()
{
    return dynamic_cast<CKartoraApp*>(AfxGetApp());
}

CMainFrame* CKartoraApp::MainFrame() const
{
    return m_docTemplate.m_pFrame.get();
}

CKartoraDoc* CKartoraApp::Document() const
{
    return m_docTemplate.m_pDocument.get();
}

bool CKartoraApp::InitInstance()
{
    return InitInstance(QCoreApplication::arguments());
}

bool CKartoraApp::InitInstance(const QStringList& arguments)
{
    // Qt widgets need nothing for control containment or the 3-D look.
    // The settings live in "Quarnby Applications" / "Kartora" / "Settings";
    // no menu shows a recent-file list, so none is kept.
    SetRegistryKey(QStringLiteral("Quarnby Applications"));

    // The program ends when its main frame closes, and only then: while the
    // frame is hidden, closing the help window or the error window (the
    // last visible windows that Qt would count) must not end it.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Logging out of the desktop ends the program the way its frame's close
    // box does: unsaved changes are saved first, or the logout is cancelled.
#ifndef QT_NO_SESSIONMANAGER
    m_sessionConnection = QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                                           [this](QSessionManager& manager)
                                           {
                                               if (!manager.allowsInteraction())
                                                   return;
                                               if (!CanEndProgram())
                                                   manager.cancel();
                                               manager.release();
                                           });
#endif

    m_docTemplate.m_nIDResource = IDR_MAINFRAME;
    const CCommandLineInfo commandLine = ParseCommandLine(arguments);
    if (!ProcessShellCommand(commandLine))
        return false;

    // The frame with its empty view stands behind the reference dialog,
    // which stays in front and keeps the activation: taking it away would
    // make the dialog's focused field report a focus loss, which the dialog
    // counts as a change to be saved.
    m_pMainWnd->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pMainWnd->show();
    m_pMainWnd->setAttribute(Qt::WA_ShowWithoutActivating, false);
    m_pMainWnd->update();
    if (m_pRefDlg)
    {
        m_pRefDlg->raise();
        m_pRefDlg->activateWindow();
    }
    // A file named on the command line (a .CAL file opened from the file
    // manager) is also read into the dialog, as Load reads a chosen one.
    if (auto* dialog = qobject_cast<CReferenceDlg*>(m_pRefDlg.data()); dialog && !commandLine.m_strFileName.isEmpty())
        dialog->LoadCalFile(commandLine.m_strFileName);
    return true;
}

bool CKartoraApp::ProcessShellCommand(const CCommandLineInfo& info)
{
    return OpenDocumentFile(info.m_strFileName);
}

bool CKartoraApp::OpenDocumentFile(const QString& path)
{
    auto document = std::make_unique<CKartoraDoc>();
    auto frame = std::make_unique<CMainFrame>();
    if (!frame->OnCreate())
        return false;
    const bool named = path.isEmpty() ? document->OnNewDocument() : document->OnOpenDocument(path);
    if (!named)
        return false;

    auto* view = new CKartoraView([this](CKartoraView* v) { return CreateReferenceDialog(v); });
    frame->SetView(view);
    frame->UpdateFrameTitle(document->GetTitle());
    m_pMainWnd = frame.get();
    m_docTemplate.m_pDocument = std::move(document);
    m_docTemplate.m_pFrame = std::move(frame);

    view->OnInitialUpdate();
    return true;
}

QWidget* CKartoraApp::CreateReferenceDialog(CKartoraView* pView)
{
    m_pMapView = pView;
    m_pRefDlg = m_createDialog ? m_createDialog(pView) : new CReferenceDlg(pView);
    auto* dialog = qobject_cast<CReferenceDlg*>(m_pRefDlg.data());
    if (auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd); dialog != nullptr && frame != nullptr && pView != nullptr)
        m_pCalibrationTools = std::make_unique<CCalibrationTools>(*dialog, *pView, *frame);
    if (m_pMainWnd != nullptr)
    {
        m_pMainWnd->hide();
        m_pMainWnd->repaint();
    }
    return m_pRefDlg;
}

void CKartoraApp::OnAppAbout()
{
    CAboutDlg about(m_pMainWnd);
    about.DoModal();
}

bool CKartoraApp::CanEndProgram()
{
    auto* dialog = qobject_cast<CReferenceDlg*>(m_pRefDlg.data());
    return dialog == nullptr || dialog->IsEnding() || dialog->SaveModified();
}

bool CKartoraApp::OnCommand(int id)
{
    switch (id)
    {
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_APP_EXIT:
        if (m_pMainWnd != nullptr)
            m_pMainWnd->close();
        return true;
    default:
        return false;
    }
}
