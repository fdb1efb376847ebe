// The reference dialog: construction, settings, data exchange, start-up,
// the small handlers and closing.
#include "refdialog/reference_dlg.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <memory>

#include "formats/cal_file.h"
#include "messages/messages.h"
#include "platform/data_exchange.h"
#include "platform/user_message.h"
#include "platform/winapp.h"
#include "refdialog/coordinate_fields.h"
#include "refdialog/ddx_numeric.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"
#include "resources/settings_keys.h"
#include "shell/error_message_dlg.h"
#include "shell/message_box_dlg.h"
#include "shell/window_messages.h"

using namespace formats;

using namespace conversion;

namespace
{

const QString kSection = QLatin1String(kSettingsSection);

// Whole degrees a fresh start shows for both points: 10° E, 53° N.
constexpr std::int32_t kDefaultLongDegree = 10;
constexpr std::int32_t kDefaultLatDegree = 53;

QString DefaultCalDir()
{
    // Every file dialog opens here until the user has saved somewhere.
    return QDir::toNativeSeparators(QDir::homePath() + u'/');
}

int ProfileInt(const char* entry, int defaultValue)
{
    const CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->GetProfileInt(kSection, QLatin1String(entry), defaultValue) : defaultValue;
}

// The text fields whose loss of focus exchanges and marks the data modified:
// pixels, coordinates and height difference (1002 to 1016; the hemisphere
// buttons between them are buttons).
constexpr int kFirstNumericField = IDC_PIXEL_X;
constexpr int kLastNumericField = IDC_HEIGHT_DIFF;

} // namespace

namespace
{

// The error window is made here, so that the dialog keeps it as the window
// it is, while the converter owns it through its interface.
std::unique_ptr<IErrorWindow> MakeErrorWindow(CErrorMessageDlg*& window)
{
    auto made = std::make_unique<CErrorMessageDlg>();
    window = made.get();
    return made;
}

// `window` stands in front of `owner` whenever both show (a transient window
// in the window system's terms), without being its child: each may still be
// moved on its own, and the owner's closing does not destroy it.
void SetOwner(QWidget* window, QWidget* owner)
{
    if (window == nullptr || owner == nullptr)
        return;
    window->winId();
    owner->winId();
    if (window->windowHandle() != nullptr)
        window->windowHandle()->setTransientParent(owner->windowHandle());
}

} // namespace

CReferenceDlg::CReferenceDlg(QObject* view)
    : CDialog(GetDialogTemplate(IDD_REFERENCE_DIALOG), nullptr), m_pView(view),
      m_converter(MakeErrorWindow(m_pErrorWindow)), m_dlgLanguage(nullptr)
{
    ReadSettings();
    m_pMainWnd = AfxGetMainWnd();
    // Clicking the map window or its menu put the dialog behind it, out of
    // reach. Owned by the map window, it stays in front while both show.
    SetOwner(this, m_pMainWnd);
    Create();
}

CReferenceDlg::~CReferenceDlg()
{
    // The converter and the language object go before the controls do: no
    // handler of a control may run on them while the window is torn down.
    BlockControlSignals();
}

void CReferenceDlg::ReadSettings()
{
    m_strMapName.clear();
    m_strBmpFileName.clear();
    m_strBmpPath.clear();
    m_strSavedMapName.clear();
    m_strSavedBmpFileName.clear();
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            m_nHemisphere[p][axis] = 0;
            m_nPixel[p][axis] = 0;
            m_nDegree[p][axis] = 0;
            m_dDegree[p][axis] = 0.0;
            m_nMinute[p][axis] = 0;
            m_dMinute[p][axis] = 0.0;
            m_dSecond[p][axis] = 0.0;
            m_nUtm[p][axis] = 0;
        }
        m_nZone[p] = 0;
    }
    m_dHeightDiff = 0.0;
    m_nFormat = FORMAT_DEC_MINUTE;
    m_nCurPoint = 0;
    m_bModified = false;

    // Stored values are taken as they are: whatever they hold, the exchange
    // shows them and reports a field that is out of range.
    const CWinApp* pApp = AfxGetApp();
    m_strCalDir = pApp != nullptr ? pApp->GetProfileString(kSection, QLatin1String(kEntryCalDir), DefaultCalDir())
                                  : DefaultCalDir();
    const std::int32_t defaultDegrees[2] = {kDefaultLongDegree, kDefaultLatDegree};
    for (int p = 0; p < 2; ++p)
    {
        for (int axis = 0; axis < 2; ++axis)
        {
            m_nHemisphere[p][axis] = ProfileInt(kEntryHemisphere[p][axis], 0);
            m_nDegree[p][axis] = ProfileInt(kEntryWholeDegrees[p][axis], defaultDegrees[axis]);
        }
    }

    m_nLanguage = m_dlgLanguage.GetLanguage();
    g_nLanguage = m_nLanguage;
    m_hIcon = LoadIconResource(IDI_DIALOG);
}

void CReferenceDlg::WriteSettings(const CalValues& written)
{
    if (CWinApp* pApp = AfxGetApp())
    {
        pApp->WriteProfileString(kSection, QLatin1String(kEntryCalDir), m_strCalDir);
        // In the order of earlier versions: the flags, then the degrees;
        // longitudes first, point 1 before point 2.
        for (const auto& [entries, values] :
             {std::pair{&kEntryHemisphere, &written.m_nHemisphere}, std::pair{&kEntryWholeDegrees, &written.m_nDegree}})
        {
            for (int axis = 0; axis < 2; ++axis)
            {
                for (int p = 0; p < 2; ++p)
                    pApp->WriteProfileInt(kSection, QLatin1String((*entries)[p][axis]), (*values)[p][axis]);
            }
        }
    }
    m_dlgLanguage.SaveLanguageSettings(m_nLanguage);
}

EntryFields CReferenceDlg::Fields()
{
    return {m_nHemisphere, m_dDegree, m_nDegree, m_dMinute, m_nMinute, m_dSecond, m_nUtm, m_nZone};
}

void CReferenceDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // Taken once: every field of this exchange belongs to the same point.
    const int c = m_nCurPoint;

    DDX_Control(pDX, IDC_LANGUAGE, m_btnLanguage);
    DDX_Control(pDX, IDC_DATUM, m_cbDatum);
    DDX_Control(pDX, IDC_FORMAT, m_cbFormat);
    DDX_Control(pDX, IDC_MAP_NAME, m_edMapName);
    DDX_Text(pDX, IDC_MAP_NAME, m_strMapName);
    DDX_Control(pDX, IDC_BMP_FILE_NAME, m_edBmpFileName);
    DDX_Text(pDX, IDC_BMP_FILE_NAME, m_strBmpFileName);
    DDX_Control(pDX, IDC_HEIGHT_DIFF, m_edHeightDiff);
    DDX_Control(pDX, IDC_PIXEL_Y, m_edPixelY);
    DDX_Control(pDX, IDC_PIXEL_X, m_edPixelX);
    DDX_Control(pDX, IDC_SHOW_MAP, m_btnShowMap);

    // A new exchange: an error shown by the last one is over.
    m_converter.HideInputError();

    DDX_Control(pDX, IDC_REF_POINT_1, m_rbRefPoint1);
    DDX_Control(pDX, IDC_REF_POINT_2, m_rbRefPoint2);

    // Pixels go through the field as signed 32-bit numbers, modulo 2^32
    // both ways: a value a file gave beyond that range shows as negative,
    // is refused as typed text, and stays in the member as it was.
    for (int axis = 0; axis < 2; ++axis)
    {
        auto pixel = static_cast<std::int32_t>(m_nPixel[c][axis]);
        DDX_Int(m_converter, pDX, axis == 0 ? IDC_PIXEL_X : IDC_PIXEL_Y, pixel, kNoUpperLimit);
        m_nPixel[c][axis] = static_cast<std::uint32_t>(pixel);
    }

    DDX_Coordinates(m_converter, pDX, m_nFormat, Fields(), c);

    DDX_Double(m_converter, pDX, IDC_HEIGHT_DIFF, m_dHeightDiff, kHeightDiffDecimals, kMaxHeightDiff, kMinHeightDiff);

    SetLongitudeSignText(m_nHemisphere[c][0]);
    SetLatitudeSignText(m_nHemisphere[c][1]);
    emit dataExchanged();
}

bool CReferenceDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ConnectHandlers();

    setWindowIcon(m_hIcon);

    // The main frame centred behind, the dialog centred in front.
    if (m_pMainWnd != nullptr)
    {
        CenterWindow(m_pMainWnd);
        m_pMainWnd->lower();
        m_pMainWnd->update();
    }
    CenterWindow(this);
    raise();

    show();
    activateWindow();
    m_bModified = false;
    update();
    UpdateData(false);

    m_cbFormat->setCurrentIndex(FORMAT_DEC_MINUTE);
    m_cbDatum->setCurrentIndex(DATUM_WGS84);
    m_nDatum = DATUM_WGS84;
    OnFormatChange();

    CheckDlgButton(IDC_REF_POINT_1, true);
    CheckDlgButton(IDC_REF_POINT_2, false);

    SetLanguageTexts();
    return true;
}

void CReferenceDlg::CenterWindow(QWidget* window)
{
    // Windows' rule: half the distance between the desktop's right (bottom)
    // edge and the window's, as an integer halved toward zero. It centres a
    // window that stands at the desktop's origin, as both do when created.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect desktop = screen->geometry();
    const QRect frame = window->frameGeometry();
    const int x = ((desktop.x() + desktop.width()) - (frame.x() + frame.width())) / 2;
    const int y = ((desktop.y() + desktop.height()) - (frame.y() + frame.height())) / 2;
    window->move(x, y);
}

bool CReferenceDlg::ErrorWindowTookFocus()
{
    // The error window is meant to show without taking the activation, but
    // some window systems activate every window they show. The field that
    // loses the focus then was not left by the user: checking it again would
    // fail again, show the window again and never end.
    const QWindow* focusWindow = QGuiApplication::focusWindow();
    return focusWindow != nullptr && focusWindow == m_pErrorWindow->windowHandle();
}

void CReferenceDlg::ConnectHandlers()
{
    connect(m_edMapName, &CEditCtrl::killFocus, this,
            [this]
            {
                if (!ErrorWindowTookFocus())
                    OnKillFocusMapName();
            });
    connect(m_edBmpFileName, &CEditCtrl::killFocus, this,
            [this]
            {
                if (!ErrorWindowTookFocus())
                    OnKillFocusBmpFileName();
            });
    for (int id = kFirstNumericField; id <= kLastNumericField; ++id)
    {
        if (auto* edit = Item<CEditCtrl>(id))
            connect(edit, &CEditCtrl::killFocus, this,
                    [this, id]
                    {
                        if (!ErrorWindowTookFocus())
                            OnKillFocusField(id);
                    });
    }
    connect(m_cbFormat, &CDropListCtrl::selChange, this, &CReferenceDlg::OnFormatChange);
    connect(m_cbDatum, &CDropListCtrl::selChange, this, &CReferenceDlg::OnDatumChange);
    connect(m_cbDatum, &CDropListCtrl::dropDown, this, &CReferenceDlg::OnDatumDropDown);
}

void CReferenceDlg::OnCommand(int id)
{
    switch (id)
    {
    case IDC_LOAD:
        OnLoad();
        break;
    case IDC_SAVE:
        OnSave();
        break;
    case IDC_REF_FROM_MAP:
        OnRefFromMap();
        break;
    case IDC_SHOW_MAP:
        OnShowMap();
        break;
    case IDC_REF_POINT_1:
        OnRefPoint1();
        break;
    case IDC_REF_POINT_2:
        OnRefPoint2();
        break;
    case IDC_LONG_SIGN:
        OnToggleLongitudeSign();
        break;
    case IDC_LAT_SIGN:
        OnToggleLatitudeSign();
        break;
    case IDC_LANGUAGE:
        OnLanguageToggle();
        break;
    default:
        break;
    }
}

bool CReferenceDlg::event(QEvent* e)
{
    if (const UserMessageEvent* msg = UserMessageEvent::From(e))
    {
        switch (msg->Message())
        {
        case WM_REFPOINT1_PICKED:
            OnPointPicked1(msg->WParam(), msg->LParam());
            break;
        case WM_REFPOINT2_PICKED:
            OnPointPicked2(msg->WParam(), msg->LParam());
            break;
        case WM_IMPORT_REFPOINTS:
            OnImportRefCoords(msg->WParam(), msg->LParam());
            break;
        case WM_EXPORT_CALIBRATION:
            OnExportCalibration();
            break;
        case WM_IMPORT_CALIBRATION:
            OnImportCalibration();
            break;
        case WM_MAP_LOAD_FAILED:
            OnRestoreNames(msg->WParam(), msg->LParam());
            break;
        case WM_MAP_STATE:
            // "Show Map" only while there is a map to show: after a failed
            // load or a refused colour depth it showed an empty window.
            m_btnShowMap->setEnabled(msg->WParam() != 0);
            break;
        default:
            break;
        }
        return true;
    }
    return CDialog::event(e);
}

void CReferenceDlg::paintEvent(QPaintEvent* e)
{
    if (!isMinimized())
    {
        CDialog::paintEvent(e);
        return;
    }
    // Minimised: the icon centred on an erased background.
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int x = (width() - size + 1) / 2;
    const int y = (height() - size + 1) / 2;
    m_hIcon.paint(&painter, x, y, size, size);
}

// Leaving a text field counts as a change only when the user edited it:
// the focus passes through the fields on every click (the map name has it at
// start), and a click on "Cancel" after only looking must not ask whether to
// discard changes, nor "Close" run a Save.
void CReferenceDlg::OnKillFocusMapName()
{
    const bool bEdited = m_edMapName->isModified();
    UpdateData(true);
    m_bModified = m_bModified || bEdited;
    if (!m_strMapName.isEmpty() && m_strBmpFileName.isEmpty())
    {
        m_strBmpFileName = m_strMapName + QStringLiteral(".bmp");
        UpdateData(false);
    }
}

void CReferenceDlg::OnKillFocusBmpFileName()
{
    const bool bEdited = m_edBmpFileName->isModified();
    UpdateData(true);
    m_bModified = m_bModified || bEdited;
    if (!m_strBmpFileName.isEmpty() && !m_strBmpFileName.contains(u'.'))
    {
        m_strBmpFileName += QStringLiteral(".bmp");
        UpdateData(false);
    }
}

void CReferenceDlg::OnKillFocusField(int id)
{
    const auto* edit = Item<CEditCtrl>(id);
    const bool bEdited = edit != nullptr && edit->isModified();
    UpdateData(true);
    // The marker follows the pixel fields, also when the value is unchanged.
    if (id == IDC_PIXEL_X || id == IDC_PIXEL_Y)
        PostMessage(m_pView, WM_REFPOINT_MOVED, static_cast<WPARAM>(m_nCurPoint),
                    reinterpret_cast<LPARAM>(m_nPixel[m_nCurPoint]));
    m_bModified = m_bModified || bEdited;
}

void CReferenceDlg::OnRefPoint1()
{
    m_nCurPoint = 0;
    SetAccessibleTexts();
    CheckDlgButton(IDC_REF_POINT_1, true);
    CheckDlgButton(IDC_REF_POINT_2, false);
    UpdateData(false);
}

void CReferenceDlg::OnRefPoint2()
{
    m_nCurPoint = 1;
    SetAccessibleTexts();
    CheckDlgButton(IDC_REF_POINT_2, true);
    CheckDlgButton(IDC_REF_POINT_1, false);
    UpdateData(false);
}

LRESULT CReferenceDlg::OnPointPicked1(WPARAM x, LPARAM y)
{
    OnPointPicked(0, x, y);
    return 0;
}

LRESULT CReferenceDlg::OnPointPicked2(WPARAM x, LPARAM y)
{
    OnPointPicked(1, x, y);
    return 0;
}

void CReferenceDlg::OnPointPicked(int point, WPARAM x, LPARAM y)
{
    // The message carries signed 32-bit values; the pixel keeps their bits.
    m_nPixel[point][0] = static_cast<std::uint32_t>(x);
    m_nPixel[point][1] = static_cast<std::uint32_t>(y);
    m_nCurPoint = point;
    // A new pixel is a change like a typed one: "Close" must not end the
    // program without saving it.
    m_bModified = true;
    show();
    raise();
    activateWindow();
    if (point == 0)
        OnRefPoint1();
    else
        OnRefPoint2();
    FocusFirstCoordinate();
}

void CReferenceDlg::FocusFirstCoordinate()
{
    // After a pick the user types the point's position. The dialog came back
    // with the focus on whichever button had it before the map was shown,
    // ten tab stops away from the fields.
    auto* field = Item<CEditCtrl>(m_nFormat == FORMAT_UTM ? IDC_EASTING : IDC_LONG_DEGREE);
    if (field == nullptr)
        return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    // The button that had the focus stays the default one when the focus
    // moves while the window is hidden: Enter in the field would press
    // "Show Map". In a field Enter presses "Close", the dialog's default.
    if (auto* close = Item<QPushButton>(IDOK))
        close->setDefault(true);
}

LRESULT CReferenceDlg::OnRestoreNames(WPARAM, LPARAM)
{
    m_strMapName = m_strSavedMapName;
    m_strBmpFileName = m_strSavedBmpFileName;
    UpdateData(false);
    return 0;
}

void CReferenceDlg::OnShowMap()
{
    PostMessage(m_pView, WM_MAP_SHOW);
}

bool CReferenceDlg::AnyFieldEdited() const
{
    for (const QObject* child : children())
    {
        const auto* edit = qobject_cast<const CEditCtrl*>(child);
        if (edit != nullptr && edit->isModified())
            return true;
    }
    return false;
}

void CReferenceDlg::ClearFieldEdits()
{
    for (QObject* child : children())
    {
        if (auto* edit = qobject_cast<CEditCtrl*>(child))
            edit->setModified(false);
    }
}

bool CReferenceDlg::SaveModified()
{
    // Enter in a field presses "Close" while that field still has the focus:
    // its text has not been exchanged, so the data do not count as modified
    // yet, and the typed values would be lost.
    if (AnyFieldEdited())
        m_bModified = true;
    if (!m_bModified)
        return true;
    // In front before Save runs, also when the request came from the map
    // window with the dialog hidden: Save's questions and input errors then
    // stand in front of it, and after a failed Save the user is back here.
    show();
    raise();
    activateWindow();
    return OnSave();
}

void CReferenceDlg::OnOK()
{
    if (!SaveModified())
        return;
    m_converter.SaveErrorWindowPos();
    EndDialog(IDOK);
    EndProgram();
}

void CReferenceDlg::OnCancel()
{
    // Cancel quits without saving; with changes that were never saved it
    // asks first (Escape pressed to get rid of an error, or a slip of the
    // mouse, used to end the session and lose the work).
    if (AnyFieldEdited())
        m_bModified = true;
    if (m_bModified && ShowMessage(MSG_DISCARD_CHANGES, MB_YESNO) != IDYES)
        return;
    EndDialog(IDCANCEL);
    EndProgram();
}

void CReferenceDlg::keyPressEvent(QKeyEvent* e)
{
    // While the error window shows, Escape takes the error away and leaves
    // the focus in the field; it does not cancel the dialog.
    if (e->key() == Qt::Key_Escape && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        m_converter.ErrorWindow().IsShown())
    {
        m_converter.HideInputError();
        e->accept();
        return;
    }
    CDialog::keyPressEvent(e);
}

void CReferenceDlg::EndProgram()
{
    // The frame's close asks this dialog again: the end is decided now.
    m_bEnding = true;
    if (m_pMainWnd == nullptr)
        return;
    // Closing the frame alone would not end a program whose frame is
    // hidden, as it is whenever only the dialog shows.
    m_pMainWnd->close();
    QCoreApplication::quit();
}
