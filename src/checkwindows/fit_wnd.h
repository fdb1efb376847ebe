#pragma once
// CFitWnd: the known points of a fit (a window of its own, not modal): each
// point's pixel, position and residual east and north in metres and in
// pixels, the root mean square with the worst point marked, and the buttons
// to edit or remove a point and to use the fit. It shows what it is given
// and asks for changes through its signals; the points live elsewhere.

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

#include "calibration/fit.h"

/// A residual at or below this (metres) is no error: the points fit
/// exactly (two points always do), and no point is marked the worst.
constexpr double kExactFitMetres = 0.005;

class QLabel;
class QPushButton;
class QTableWidget;

class CFitWnd final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CFitWnd)
public:
    /// One point as the list shows it.
    struct Row
    {
        QString pixel;    ///< "x, y" as the reference dialog counts them
        QString position; ///< in the dialog's entry format and datum
    };

    explicit CFitWnd(QWidget* parent = nullptr);

    /// Shows `rows` with the residuals of `fit` (in the rows' order), or
    /// `why` there is none, with the captions of the current language.
    void ShowFit(const std::vector<Row>& rows, const std::optional<calibration::Fit>& fit, const QString& why);

    /// The selected point's index, -1 without one.
    int CurrentPoint() const;
    void SelectPoint(int index);
    /// The summary line below the list, as shown.
    QString Summary() const;
    QTableWidget* List() const { return m_list; }

signals:
    void EditPoint(int index);
    void RemovePoint(int index);
    void UseFit();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateButtons();
    void OnHelp();

    QTableWidget* m_list = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_btnEdit = nullptr;
    QPushButton* m_btnRemove = nullptr;
    QPushButton* m_btnUse = nullptr;
    QPushButton* m_btnHelp = nullptr;
    QPushButton* m_btnClose = nullptr;
    bool m_bHasFit = false;
};
