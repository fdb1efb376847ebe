// Dialogs built from templates: controls, dialog units, commands, keys.
#include "platform/dialog.h"

#include "platform/data_exchange.h"
#include "platform/help.h"
#include "platform/winapp.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTimer>
#include <qdrawutil.h>

#include <algorithm>
#include <exception>

namespace
{

// a * b / c rounded to the nearest integer, halves away from zero: the
// rounding of the Windows dialog-unit conversion.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Size of the picture of an Icon control: the system icon size, whatever
// the template's rectangle says.
constexpr int kIconSize = 32; // pixels

} // namespace

// ---------------------------------------------------------------------------
// CEditCtrl, CMultiEditCtrl, CDropListCtrl

CMultiEditCtrl::CMultiEditCtrl(QWidget* parent) : CKillFocusEdit(parent)
{
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // An edit control's text starts close to its frame.
    document()->setDocumentMargin(1);
}

void CMultiEditCtrl::SetText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);
    SetTextAlignment(m_alignment);
}

QString CMultiEditCtrl::Text() const
{
    return toPlainText();
}

void CMultiEditCtrl::SetTextAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
}

CDropListCtrl::CDropListCtrl(QWidget* parent) : QComboBox(parent)
{
    // activated, unlike currentIndexChanged, also reports choosing the entry
    // that is already selected, and never a change the program makes.
    connect(this, &QComboBox::activated, this, &CDropListCtrl::selChange);
}

void CDropListCtrl::showPopup()
{
    emit dropDown();
    QComboBox::showPopup();
}

QIcon LoadIconResource(int id)
{
    QIcon icon;
    const QDir dir(QStringLiteral(":/icons/%1").arg(id));
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name))
    {
        // The size is known from the name, so a size is only read when it is drawn.
        bool ok = false;
        const int side = file.baseName().toInt(&ok);
        icon.addFile(file.filePath(), ok ? QSize(side, side) : QSize());
    }
    return icon;
}

// ---------------------------------------------------------------------------
// CDialog

CDialog::CDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), m_template(dialogTemplate),
      m_templateFont(QString::fromUtf8(dialogTemplate.fontName), dialogTemplate.pointSize)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (m_template.style & DS_CAPTION)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (m_template.style & DS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template.style & DS_CONTEXTHELP)
        flags |= Qt::WindowContextHelpButtonHint;
    if (m_template.style & DS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (m_template.style & DS_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QString::fromUtf8(m_template.caption));
    setProperty("helpId", static_cast<uint>(m_template.helpId));
    setFont(m_templateFont);

    // Dialog base units as Windows computes them: the average width is that
    // of the 52 letters, halved after an integer division by 26 (so rounded
    // to the nearest pixel); the height is the font's ascent plus descent.
    const QFontMetrics metrics(m_templateFont, this);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseUnits = QSize((letters / 26 + 1) / 2, metrics.height());

    setFixedSize(MapDialogRect(QRect(0, 0, m_template.cx, m_template.cy)).size());

    if (m_template.style & DS_CONTEXTHELP)
        InstallContextHelpRouting();
}

CDialog::~CDialog()
{
    // The handlers belong to the derived dialog, which no longer exists.
    BlockControlSignals();
}

void CDialog::BlockControlSignals()
{
    for (QObject* child : children())
    {
        if (child->isWidgetType() && child->property("controlId").isValid())
            child->blockSignals(true);
    }
}

QRect CDialog::MapDialogRect(const QRect& dialogUnits) const
{
    return QRect(MulDiv(dialogUnits.x(), m_baseUnits.width(), 4), MulDiv(dialogUnits.y(), m_baseUnits.height(), 8),
                 MulDiv(dialogUnits.width(), m_baseUnits.width(), 4),
                 MulDiv(dialogUnits.height(), m_baseUnits.height(), 8));
}

QSize CDialog::DialogBaseUnits() const
{
    return m_baseUnits;
}

void CDialog::BuildControls()
{
    if (m_bBuilt)
        return;
    m_bBuilt = true;

    QButtonGroup* radioGroup = nullptr;
    QList<QWidget*> groupBoxes;
    for (const ControlTemplate& control : m_template.controls)
    {
        if (control.style & CS_GROUP)
            radioGroup = nullptr; // a new group starts here
        QWidget* widget = CreateControl(control);
        widget->setProperty("controlId", control.id);
        widget->setProperty("helpId", static_cast<uint>(control.helpId));
        if (control.id != -1 && !m_controls.contains(control.id))
            m_controls.insert(control.id, widget);

        if (auto* radio = qobject_cast<QRadioButton*>(widget))
        {
            if (radioGroup == nullptr)
            {
                radioGroup = new QButtonGroup(this);
                radioGroup->setExclusive(true);
            }
            radio->setAutoExclusive(false);
            radioGroup->addButton(radio);
        }
        if (qobject_cast<QGroupBox*>(widget) != nullptr)
            groupBoxes.append(widget);

        if (control.style & CS_DISABLED)
            widget->setEnabled(false);
        if (control.style & CS_HIDDEN)
            widget->setVisible(false);
        ConnectCommand(widget, control.id);
    }
    // A group box is only a frame around its neighbours: below them, so that
    // clicks reach the controls it surrounds whatever their creation order.
    for (QWidget* box : groupBoxes)
        box->lower();
}

QWidget* CDialog::CreateControl(const ControlTemplate& control)
{
    const QString text = QString::fromUtf8(control.text != nullptr ? control.text : "");
    const QRect rect = MapDialogRect(QRect(control.x, control.y, control.cx, control.cy));
    const Qt::FocusPolicy focus = (control.style & CS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (control.style & CS_RIGHT)
        horizontal = Qt::AlignRight;
    else if (control.style & CS_CENTER)
        horizontal = Qt::AlignHCenter;

    QWidget* widget = nullptr;
    switch (control.kind)
    {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    {
        auto* button = new QPushButton(text, this);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        widget = button;
        widget->setFocusPolicy(focus);
        break;
    }
    case ControlKind::RadioButton:
        widget = new QRadioButton(text, this);
        widget->setFocusPolicy(focus);
        break;
    case ControlKind::CheckBox:
        widget = new QCheckBox(text, this);
        widget->setFocusPolicy(focus);
        break;
    case ControlKind::GroupBox:
        widget = new QGroupBox(text, this);
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    case ControlKind::Static:
    {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setWordWrap(true);
        label->setAlignment(horizontal | Qt::AlignTop);
        widget = label;
        break;
    }
    case ControlKind::Icon:
    {
        auto* label = new QLabel(this);
        bool ok = false;
        const int iconId = text.toInt(&ok);
        if (ok)
            label->setPixmap(LoadIconResource(iconId).pixmap(kIconSize, kIconSize));
        label->setGeometry(rect.x(), rect.y(), kIconSize, kIconSize);
        return label;
    }
    case ControlKind::Edit:
    {
        if (control.style & CS_MULTILINE)
        {
            auto* edit = new CMultiEditCtrl(this);
            edit->SetTextAlignment(horizontal);
            edit->SetText(text);
            edit->setReadOnly(control.style & CS_READONLY);
            widget = edit;
        }
        else
        {
            auto* edit = new CEditCtrl(text, this);
            edit->setAlignment(horizontal | Qt::AlignVCenter);
            edit->setReadOnly(control.style & CS_READONLY);
            if (control.style & CS_NUMBER)
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
            widget = edit;
        }
        widget->setFocusPolicy(focus);
        break;
    }
    case ControlKind::DropList:
    {
        auto* combo = new CDropListCtrl(this);
        if (!text.isEmpty())
            combo->addItems(text.split(QLatin1Char('\n')));
        combo->setFocusPolicy(focus);
        // The template's height includes the opened list; the closed box is
        // as high as its font needs (but never above the template's height).
        combo->setGeometry(rect.x(), rect.y(), rect.width(), qMin(combo->sizeHint().height(), rect.height()));
        return combo;
    }
    }
    widget->setGeometry(rect);
    return widget;
}

void CDialog::ConnectCommand(QWidget* control, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (button == nullptr)
        return;
    connect(button, &QAbstractButton::clicked, this,
            [this, id]
            {
                if (id == IDOK)
                    OnOK();
                else if (id == IDCANCEL)
                    OnCancel();
                else
                    OnCommand(id);
            });
}

bool CDialog::Create()
{
    BuildControls();
    OnInitDialog();
    if (m_template.style & DS_VISIBLE)
        show();
    return true;
}

int CDialog::DoModal()
{
    BuildControls();
    m_nResult = IDCANCEL;
    m_bEnded = false;
    if (OnInitDialog())
    {
        // True asks the framework to set the focus, which on a new dialog is
        // the first control that takes it. A dialog shown again (the one
        // message box) would otherwise keep the control used last time, and
        // Enter would press "No" where the question offers "Yes" first.
        for (QWidget* pNext = nextInFocusChain(); pNext != this; pNext = pNext->nextInFocusChain())
        {
            if (isAncestorOf(pNext) && (pNext->focusPolicy() & Qt::TabFocus) != 0 && pNext->isEnabled() &&
                pNext->isVisibleTo(this))
            {
                pNext->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    if (!m_bEnded) // OnInitDialog may end the dialog before it is shown
    {
        // In front of every window of the program once it is up, also when
        // the same dialog was shown before and other windows were raised
        // since (the message box is one window for every message). Window
        // managers do this for a new transient window; without one (a bare X
        // server) a dialog shown again would stay behind the map.
        QTimer::singleShot(0, this,
                           [this]
                           {
                               if (isVisible())
                               {
                                   raise();
                                   activateWindow();
                               }
                           });
        exec();
    }
    return m_nResult;
}

void CDialog::EndDialog(int result)
{
    m_nResult = result;
    m_bEnded = true;
    setResult(result);
    // Hiding ends exec() of a modal dialog. close() or done() would also
    // count as closing a window, which is not what ending a dialog means.
    hide();
}

QWidget* CDialog::GetDlgItem(int id) const
{
    return m_controls.value(id, nullptr);
}

void CDialog::SetDlgItemText(int id, const QString& text)
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
    {
        edit->setText(text);
        edit->setCursorPosition(0); // show the start, as an edit control does
    }
    else if (auto* multi = qobject_cast<CMultiEditCtrl*>(control))
        multi->SetText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        box->setTitle(text);
    // A drop-down list has no text of its own to set.
}

QString CDialog::GetDlgItemText(int id) const
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* multi = qobject_cast<CMultiEditCtrl*>(control))
        return multi->Text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* box = qobject_cast<QGroupBox*>(control))
        return box->title();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    return QString();
}

void CDialog::CheckDlgButton(int id, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    if (button == nullptr)
        return;
    QButtonGroup* group = button->group();
    if (checked || group == nullptr)
    {
        button->setChecked(checked);
        return;
    }
    // An exclusive group refuses to uncheck its checked button; a dialog may
    // leave a whole group unchecked.
    group->setExclusive(false);
    button->setChecked(false);
    group->setExclusive(true);
}

bool CDialog::IsDlgButtonChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button != nullptr && button->isChecked();
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try
    {
        DoDataExchange(&exchange);
        return true;
    }
    catch (const CDataExchangeFailure&)
    {
        return false;
    }
    catch (const std::exception& error)
    {
        // Nothing may unwind into Qt's event dispatch: an exchange that
        // failed in any other way is abandoned like a failed check.
        qWarning("Data exchange abandoned: %s", error.what());
        return false;
    }
    catch (...)
    {
        qWarning("Data exchange abandoned by an unknown exception");
        return false;
    }
}

std::uint32_t CDialog::HelpIdOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
    {
        bool ok = false;
        const uint id = w->property("helpId").toUInt(&ok);
        if (ok && id != 0)
            return id;
        if (w->isWindow()) // never another window's number
            break;
    }
    return 0;
}

bool CDialog::OnHelpInfo(std::uint32_t helpId)
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(helpId, HELP_CONTEXT);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnCommand(int) {}

void CDialog::accept()
{
    OnOK();
}

void CDialog::reject()
{
    OnCancel();
}

QWidget* CDialog::FocusedControl() const
{
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && isAncestorOf(focused))
        return focused;
    // The control that gets the focus when this window is active again.
    focused = focusWidget();
    return focused != nullptr ? focused : const_cast<CDialog*>(this);
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F1 && modifiers == Qt::NoModifier)
    {
        OnHelpInfo(HelpIdOf(FocusedControl()));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F1 && modifiers == Qt::ShiftModifier && (m_template.style & DS_CONTEXTHELP))
    {
        EnterContextHelpMode();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier)
    {
        // Without a default push button in the template, Enter is the OK
        // command; QDialog would make the first push button the default.
        const bool hasDefault =
            std::any_of(m_template.controls.begin(), m_template.controls.end(),
                        [](const ControlTemplate& c) { return c.kind == ControlKind::DefPushButton; });
        if (!hasDefault && qobject_cast<QPushButton*>(FocusedControl()) == nullptr)
        {
            OnOK();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // A dialog frame without a title bar: the window system draws nothing,
    // so the dialog draws its own raised border.
    if ((m_template.style & DS_MODALFRAME) && !(m_template.style & DS_CAPTION))
    {
        QPainter painter(this);
        qDrawWinPanel(&painter, rect(), palette(), false);
    }
}
