#include "robustness_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <charconv>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

#include "messages/messages.h"
#include "platform/dialog.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"

using namespace formats;

namespace
{

// How often the watch looks for windows nobody answers, and how many looks
// a window may stay open before it is closed as a stray.
constexpr int kPollIntervalMs = 20;
constexpr int kGracePolls = 100;

// Requests to activate a window, and how long each may take to arrive.
constexpr int kActivationAttempts = 4;
constexpr int kActivationWaitMs = 1000;

QString ButtonName(int id)
{
    switch (id)
    {
    case IDYES:
        return QStringLiteral("Yes");
    case IDNO:
        return QStringLiteral("No");
    case IDOK:
        return QStringLiteral("Ok");
    case IDCANCEL:
        return QStringLiteral("Cancel");
    default:
        return QStringLiteral("Escape");
    }
}

QAbstractButton* VisibleButton(QWidget* dialog, int controlId)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    {
        const QVariant id = button->property("controlId");
        if (id.isValid() && id.toInt() == controlId && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\v' || c == U'\f';
}

// The characters Windows-1252 puts at 0x80 to 0x9F, the five undefined
// bytes left out (https://www.unicode.org/Public/MAPPINGS/VENDORS/MICSFT/WINDOWS/CP1252.TXT).
constexpr char32_t kCp1252High[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                    0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
constexpr char32_t kCp1252Undefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool Cp1252Has(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    for (char32_t h : kCp1252High)
        if (c == h)
            return true;
    for (char32_t u : kCp1252Undefined)
        if (c == u)
            return true;
    return false;
}

// The caption of a hemisphere button for a file's flag.
QString Caption(int axis, int flag, int language)
{
    if (axis == 0)
        return flag == 0 ? (language == 1 ? QStringLiteral("E") : QStringLiteral("O")) : QStringLiteral("W");
    return flag == 0 ? QStringLiteral("N") : QStringLiteral("S");
}

double ParseOwn(const std::string& text)
{
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

// ---- file dialogs -----------------------------------------------------------

std::optional<QString> CChoosingFileDialogs::Run(const FileDialogRequest& request, QWidget*)
{
    m_requests.push_back(request);
    return m_choose ? m_choose(request) : std::nullopt;
}

// ---- message boxes ----------------------------------------------------------

CBoxAnswers::CBoxAnswers(Policy policy) : m_policy(std::move(policy))
{
    CMessageBoxDlg::Instance().installEventFilter(this);
    connect(&m_timer, &QTimer::timeout, this, &CBoxAnswers::Poll);
    m_timer.start(kPollIntervalMs);
}

CBoxAnswers::~CBoxAnswers()
{
    CMessageBoxDlg::Instance().removeEventFilter(this);
}

void CBoxAnswers::ExpectPopup(std::function<void(QWidget*)> act)
{
    m_onPopup = std::move(act);
}

bool CBoxAnswers::eventFilter(QObject* watched, QEvent* event)
{
    // The box is answered once its exec() runs, from the event loop it spins.
    if (event->type() == QEvent::Show)
        QTimer::singleShot(0, this,
                           [this, box = QPointer<CDialog>(static_cast<CDialog*>(watched))]
                           {
                               if (box)
                                   Answer(box);
                           });
    return false;
}

void CBoxAnswers::Answer(CDialog* box)
{
    if (!box->isVisible())
        return;
    const QString text = box->GetDlgItemText(IDC_MESSAGE);
    const int reply = m_policy ? m_policy(text, CMessageBoxDlg::s_nButtons) : IDOK;
    m_texts += text;
    m_answers += ButtonName(reply);
    // The box's own buttons for Yes and No; Ok and Cancel are the usual ids.
    const int controlId = reply == IDYES ? IDC_YES : reply == IDNO ? IDC_NO : reply;
    QAbstractButton* button = reply != 0 ? VisibleButton(box, controlId) : nullptr;
    if (button != nullptr)
        button->click();
    else
        QTest::keyClick(box, Qt::Key_Escape);
}

void CBoxAnswers::Poll()
{
    QWidget* popup = QApplication::activePopupWidget();
    if (popup != nullptr && m_onPopup)
    {
        const auto act = std::move(m_onPopup);
        m_onPopup = nullptr;
        act(popup);
        return;
    }
    QWidget* open = popup != nullptr ? popup : QApplication::activeModalWidget();
    if (open == nullptr || !open->isVisible())
    {
        m_pSeen = nullptr;
        m_nSeenPolls = 0;
        return;
    }
    if (open != m_pSeen)
    {
        m_pSeen = open;
        m_nSeenPolls = 0;
        return;
    }
    if (++m_nSeenPolls < kGracePolls)
        return;
    m_strays +=
        QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(open->metaObject()->className()), open->windowTitle());
    m_nSeenPolls = 0;
    open->hide(); // ends its exec()
}

int AnswerYesOrOk(const QString&, UINT buttons)
{
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

// ---- gestures ---------------------------------------------------------------

bool ActivateWindow(QWidget* window)
{
    window->show();
    // Not QWidget::activateWindow: it does nothing while a window that
    // stands above (the error window) has the activation. Qt's offscreen
    // platform activates every window it shows, also one shown without
    // activation: the error window that a focus loss brings up while the
    // activation moves here takes it back, and the request is made again.
    // The wait is for the application's active window, not for the
    // window's own state: a drop-down list's pop-up container keeps the
    // activation after it closed there, and as the window's transient it
    // counts as the window being active.
    const auto active = [window] { return QApplication::activeWindow() == window; };
    for (int attempt = 0; attempt < kActivationAttempts; ++attempt)
    {
        if (active())
            return true;
        window->windowHandle()->requestActivate();
        if (QTest::qWaitFor(active, kActivationWaitMs))
            return true;
    }
    return false;
}

void ChooseFromList(CDialog& dlg, int listId, int index)
{
    auto* list = dlg.Item<CDropListCtrl>(listId);
    if (list == nullptr)
        return;
    list->setFocus(Qt::MouseFocusReason);
    list->showPopup();
    QAbstractItemView* view = list->view();
    // Offscreen, the pop-up now and then does not open; Enter would then go
    // on to the dialog's default button, "Close", which no user meant. The
    // user picks the entry with the keys of the closed list instead.
    if (!view->isVisible())
    {
        SelectListEntry(dlg, listId, index);
        return;
    }
    view->setCurrentIndex(list->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

void SelectListEntry(CDialog& dlg, int listId, int index)
{
    auto* list = dlg.Item<CDropListCtrl>(listId);
    if (list == nullptr)
        return;
    list->setCurrentIndex(index);
    emit list->activated(index);
}

bool EnterText(CDialog& dlg, int id, const QString& text)
{
    if (!ActivateWindow(&dlg))
        return false;
    auto* field = dlg.Item<QLineEdit>(id);
    if (field == nullptr)
        return false;
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
    return true;
}

void DeliverPosted()
{
    for (int i = 0; i < 3; ++i)
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// ---- the reference file -----------------------------------------------------

CalReadBack ReadBack(const QString& path)
{
    CalReadBack result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.bOpened = true;
    result.bytes = file.readAll();
    std::istringstream in(std::string(result.bytes.constData(), static_cast<std::size_t>(result.bytes.size())));
    ReadCalFile(in, result.values,
                [&](MessageId id, const std::string& insert)
                { result.messages += QString::fromUtf8(GetMessageText(id, insert.c_str())); });
    return result;
}

QString NameAsFileKeepsIt(const QString& name)
{
    std::u32string kept;
    for (const char32_t c : name.toStdU32String())
        kept += (c == U'\r' || c == U'\n' || !Cp1252Has(c)) ? U'?' : c;
    std::size_t first = 0;
    std::size_t last = kept.size();
    while (first < last && IsBlank(kept[first]))
        ++first;
    while (last > first && IsBlank(kept[last - 1]))
        --last;
    return QString::fromStdU32String(kept.substr(first, last - first));
}

QString Fixed(double value, int decimals)
{
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QStringList CompareSavedFile(CReferenceDlg& dlg, const QString& path)
{
    QStringList problems;
    const CalReadBack file = ReadBack(path);
    if (!file.bOpened)
        return {QStringLiteral("the file cannot be opened")};

    // Ten lines, each ended by CR LF, nothing after the last.
    const QList<QByteArray> lines = file.bytes.split('\n');
    bool bShaped = lines.size() == kCalLineCount + 1 && lines.last().isEmpty();
    for (int i = 0; bShaped && i < kCalLineCount; ++i)
        bShaped = lines[i].endsWith('\r') && lines[i].count('\r') == 1;
    if (!bShaped)
        problems += QStringLiteral("not ten CR LF lines: ") + QString::fromLatin1(file.bytes.toPercentEncoding(" "));
    if (!file.messages.isEmpty())
        problems += QStringLiteral("reading reported: ") + file.messages.join(QStringLiteral(" | "));

    const CalValues& v = file.values;
    if (QString::fromStdString(v.m_strMapName) != NameAsFileKeepsIt(dlg.m_strMapName))
        problems += QStringLiteral("map name: dialog \"%1\", file \"%2\"")
                        .arg(dlg.m_strMapName, QString::fromStdString(v.m_strMapName));
    if (QString::fromStdString(v.m_strBmpFileName) != NameAsFileKeepsIt(dlg.m_strBmpFileName))
        problems += QStringLiteral("BMP file name: dialog \"%1\", file \"%2\"")
                        .arg(dlg.m_strBmpFileName, QString::fromStdString(v.m_strBmpFileName));
    for (int p = 0; p < 2; ++p)
        for (int axis = 0; axis < 2; ++axis)
            if (v.m_nPixel[p][axis] != dlg.m_nPixel[p][axis])
                problems += QStringLiteral("pixel [%1][%2]: dialog %3, file %4")
                                .arg(p)
                                .arg(axis)
                                .arg(dlg.m_nPixel[p][axis])
                                .arg(v.m_nPixel[p][axis]);
    // One decimal, rounded as the exact binary value is.
    const double expectedHeight = ParseOwn(Fixed(dlg.m_dHeightDiff, 1).toStdString());
    if (!(v.m_dHeightDiff == expectedHeight))
        problems += QStringLiteral("height difference: dialog %1, file %2")
                        .arg(Fixed(dlg.m_dHeightDiff, 3), Fixed(v.m_dHeightDiff, 3));

    // The coordinates as the dialog shows them in WGS84 degrees and decimal
    // minutes. The datum first: that switch shows the converter's WGS84
    // positions without taking the fields. The format switch then takes the
    // shown values; from dec.Degree and dec.Minute they come back to the
    // same 0.00001° step, so the texts must equal the file's. dec.Second
    // shows 59.98" as the next minute (0.024" up, more than half a step),
    // and UTM whole metres: from these the value may move by a step or two.
    const int formatBefore = dlg.m_nFormat;
    if (dlg.isVisible())
    {
        ChooseFromList(dlg, IDC_DATUM, DATUM_WGS84);
        ChooseFromList(dlg, IDC_FORMAT, FORMAT_DEC_MINUTE);
    }
    else
    {
        SelectListEntry(dlg, IDC_DATUM, DATUM_WGS84);
        SelectListEntry(dlg, IDC_FORMAT, FORMAT_DEC_MINUTE);
    }
    const int degreeIds[2] = {IDC_LONG_DEGREE, IDC_LAT_DEGREE};
    const int minuteIds[2] = {IDC_LONG_MINUTE, IDC_LAT_MINUTE};
    const int signIds[2] = {IDC_LONG_SIGN, IDC_LAT_SIGN};
    const char* const axisNames[2] = {"longitude", "latitude"};
    for (int p = 0; p < 2; ++p)
    {
        dlg.Item<QAbstractButton>(p == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2)->click();
        const double fileLat =
            (v.m_nHemisphere[p][1] != 0 ? -1 : 1) * (v.m_nDegree[p][1] + v.m_dMinute[p][1] / 60.0); // degrees
        // UTM has no value beyond its band: the fields kept older values.
        if (formatBefore == FORMAT_UTM && !(fileLat >= -80.0 && fileLat <= 84.0))
            continue;
        for (int axis = 0; axis < 2; ++axis)
        {
            const QString shown = QStringLiteral("%1°%2'%3")
                                      .arg(dlg.GetDlgItemText(degreeIds[axis]), dlg.GetDlgItemText(minuteIds[axis]),
                                           dlg.GetDlgItemText(signIds[axis]));
            const QString written = QStringLiteral("%1°%2'%3")
                                        .arg(QString::number(v.m_nDegree[p][axis]), Fixed(v.m_dMinute[p][axis], 4),
                                             Caption(axis, v.m_nHemisphere[p][axis], dlg.m_nLanguage));
            // Zero has no hemisphere: 0°0.0000' reads the same with either
            // letter, and so does the meridian 180°0.0000'.
            const auto noHemisphere = [&](int degrees)
            {
                const QString text = QString::number(degrees);
                return v.m_nDegree[p][axis] == degrees && Fixed(v.m_dMinute[p][axis], 4) == QStringLiteral("0.0000") &&
                       dlg.GetDlgItemText(degreeIds[axis]) == text &&
                       dlg.GetDlgItemText(minuteIds[axis]) == QStringLiteral("0.0000");
            };
            bool bSame = shown == written || noHemisphere(0) || (axis == 0 && noHemisphere(180));
            if (!bSame && (formatBefore == FORMAT_UTM || formatBefore == FORMAT_DEC_SECOND))
            {
                // Signed minutes; a metre is 0.00054' of latitude and
                // 0.00054' / cos(latitude) of longitude. Tolerance: a
                // 0.00001° step and a 0.0005' step, in UTM two metres more.
                const auto signedMinutes = [](double degrees, double minutes, bool negative)
                { return (negative ? -1.0 : 1.0) * (degrees * 60.0 + minutes); };
                const double dialogValue = signedMinutes(dlg.GetDlgItemText(degreeIds[axis]).toDouble(),
                                                         dlg.GetDlgItemText(minuteIds[axis]).toDouble(),
                                                         dlg.GetDlgItemText(signIds[axis]) == QStringLiteral("W") ||
                                                             dlg.GetDlgItemText(signIds[axis]) == QStringLiteral("S"));
                const double fileValue =
                    signedMinutes(v.m_nDegree[p][axis], v.m_dMinute[p][axis], v.m_nHemisphere[p][axis] != 0);
                const double metres = formatBefore == FORMAT_UTM ? 2.0 : 0.0;
                const double stretch = axis == 0 && formatBefore == FORMAT_UTM
                                           ? 1.0 / std::max(std::cos(fileLat * std::numbers::pi / 180.0), 0.01)
                                           : 1.0;
                const double tolerance = metres * 0.00054 * stretch + 0.0006 + 0.0005; // minutes
                bSame = std::fabs(dialogValue - fileValue) <= tolerance;
            }
            if (!bSame)
                problems += QStringLiteral("point %1 %2: dialog shows %3, file has %4")
                                .arg(p + 1)
                                .arg(QLatin1String(axisNames[axis]), shown, written);
        }
    }
    return problems;
}

QStringList UnexpectedFiles(const QString& directory, const QStringList& expected)
{
    QStringList unexpected;
    const QStringList present =
        QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : present)
        if (!expected.contains(name))
            unexpected += name;
    return unexpected;
}
