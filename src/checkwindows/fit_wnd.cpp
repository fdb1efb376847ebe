#include "checkwindows/fit_wnd.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "checkwindows/tool_texts.h"
#include "platform/winapp.h"
#include "resources/resource.h"

namespace
{

constexpr std::uint32_t kHelpId = HID_BASE_RESOURCE + IDD_FIT;

enum Column
{
    kNumber,
    kPixel,
    kPosition,
    kEast,
    kNorth,
    kPixels,
    kColumns
};

QString Number(double value)
{
    return QString::number(value, 'f', 2);
}

QTableWidgetItem* Cell(const QString& text, bool bRight)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (bRight)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

CFitWnd::CFitWnd(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    setProperty("helpId", QVariant::fromValue<std::uint32_t>(kHelpId));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_list = new QTableWidget(0, kColumns, this);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(kPosition, QHeaderView::Stretch);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_btnEdit = new QPushButton(this);
    m_btnRemove = new QPushButton(this);
    m_btnUse = new QPushButton(this);
    m_btnHelp = new QPushButton(this);
    m_btnClose = new QPushButton(this);
    m_btnUse->setDefault(true);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CFitWnd::UpdateButtons);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { emit EditPoint(row); });
    connect(m_btnEdit, &QPushButton::clicked, this, [this] { emit EditPoint(CurrentPoint()); });
    connect(m_btnRemove, &QPushButton::clicked, this, [this] { emit RemovePoint(CurrentPoint()); });
    connect(m_btnUse, &QPushButton::clicked, this, &CFitWnd::UseFit);
    connect(m_btnHelp, &QPushButton::clicked, this, &CFitWnd::OnHelp);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnEdit);
    buttons->addWidget(m_btnRemove);
    buttons->addStretch(1);
    buttons->addWidget(m_btnUse);
    buttons->addWidget(m_btnHelp);
    buttons->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(640, 320);
    ShowFit({}, std::nullopt, {});
}

void CFitWnd::ShowFit(const std::vector<Row>& rows, const std::optional<calibration::Fit>& fit, const QString& why)
{
    setWindowTitle(ToolText(TT_FIT_TITLE));
    m_list->setHorizontalHeaderLabels({ToolText(TT_FIT_NUMBER), ToolText(TT_FIT_PIXEL), ToolText(TT_FIT_POSITION),
                                       ToolText(TT_FIT_EAST), ToolText(TT_FIT_NORTH), ToolText(TT_FIT_PIXELS)});
    m_btnEdit->setText(ToolText(TT_FIT_EDIT));
    m_btnRemove->setText(ToolText(TT_FIT_REMOVE));
    m_btnUse->setText(ToolText(TT_FIT_USE));
    m_btnHelp->setText(ToolText(TT_FIT_HELP));
    m_btnClose->setText(ToolText(TT_CLOSE));

    const int selected = CurrentPoint();
    m_bHasFit = fit.has_value() && fit->residuals.size() == rows.size();
    // Two points (or any set that fits exactly) have no worst point to mark.
    const bool bMarkWorst = m_bHasFit && !rows.empty() && fit->residuals[fit->worst].metres > kExactFitMetres;
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    {
        const std::size_t index = static_cast<std::size_t>(row);
        m_list->setItem(row, kNumber, Cell(QString::number(row + 1), true));
        m_list->setItem(row, kPixel, Cell(rows[index].pixel, false));
        m_list->setItem(row, kPosition, Cell(rows[index].position, false));
        const calibration::PointResidual* residual = m_bHasFit ? &fit->residuals[index] : nullptr;
        m_list->setItem(row, kEast, Cell(residual ? Number(residual->east) : QString(), true));
        m_list->setItem(row, kNorth, Cell(residual ? Number(residual->north) : QString(), true));
        m_list->setItem(row, kPixels, Cell(residual ? Number(residual->pixels) : QString(), true));
        if (bMarkWorst && index == fit->worst)
        {
            for (int column = 0; column < kColumns; ++column)
            {
                QTableWidgetItem* item = m_list->item(row, column);
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
                item->setForeground(QColor(0xb0, 0x00, 0x00));
            }
        }
    }
    m_list->resizeColumnsToContents();

    if (rows.empty())
        m_summary->setText(ToolText(TT_FIT_HINT));
    else if (!m_bHasFit)
        m_summary->setText(ToolText(TT_FIT_NONE).arg(why));
    else if (!bMarkWorst)
        m_summary->setText(ToolText(TT_FIT_EXACT));
    else
        m_summary->setText(ToolText(TT_FIT_RMS)
                               .arg(Number(fit->rmsMetres), QString::number(fit->worst + 1),
                                    Number(fit->residuals[fit->worst].metres)));
    SelectPoint(std::min(selected, static_cast<int>(rows.size()) - 1));
    UpdateButtons();
}

int CFitWnd::CurrentPoint() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void CFitWnd::SelectPoint(int index)
{
    m_list->clearSelection();
    if (index >= 0 && index < m_list->rowCount())
        m_list->selectRow(index);
}

QString CFitWnd::Summary() const
{
    return m_summary->text();
}

void CFitWnd::UpdateButtons()
{
    const bool bSelected = CurrentPoint() >= 0;
    m_btnEdit->setEnabled(bSelected);
    m_btnRemove->setEnabled(bSelected);
    m_btnUse->setEnabled(m_bHasFit);
}

void CFitWnd::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(kHelpId, HELP_CONTEXT);
}

void CFitWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier)
    {
        if (event->key() == Qt::Key_F1)
        {
            OnHelp();
            return;
        }
        if (event->key() == Qt::Key_Delete && CurrentPoint() >= 0)
        {
            emit RemovePoint(CurrentPoint());
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
