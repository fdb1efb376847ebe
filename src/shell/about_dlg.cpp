#include "shell/about_dlg.h"

#include "resources/dialog_templates.h"
#include "resources/resource.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : CDialog(GetDialogTemplate(IDD_ABOUTBOX), pParent) {}
