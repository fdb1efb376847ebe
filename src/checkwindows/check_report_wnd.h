#pragma once
// CCheckReportWnd: the report of "Check calibration", a window of its own
// (not modal) beside the reference dialog: the calibration's figures and its
// findings, each finding as its kind, its code and a sentence that names the
// likely cause, in the current language. F1 and its "Help" button show its
// help topic; "Close" hides it.

#include <QDialog>

#include <optional>

#include "calibration/calibration_check.h"

class QTextBrowser;
class QPushButton;

class CCheckReportWnd final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CCheckReportWnd)
public:
    explicit CCheckReportWnd(QWidget* parent = nullptr);

    /// Shows `report` (nothing: the reference points have no position to
    /// check, said in a sentence) with the captions of the current language.
    void ShowReport(const std::optional<calibration::CheckReport>& report);

    /// The report as plain text, as the window shows it.
    QString ReportText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnHelp();

    QTextBrowser* m_text = nullptr;
    QPushButton* m_btnHelp = nullptr;
    QPushButton* m_btnClose = nullptr;
};
