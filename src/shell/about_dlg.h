#pragma once
// The About box (template 100): title "About Kartora", the version line and
// an OK button that closes it.

#include "platform/dialog.h"

class CAboutDlg final : public CDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CAboutDlg)
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
