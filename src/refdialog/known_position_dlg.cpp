#include "refdialog/known_position_dlg.h"

#include <QLineEdit>

#include "conversion/coord_converter.h"
#include "messages/messages.h"
#include "platform/data_exchange.h"
#include "refdialog/coordinate_fields.h"
#include "refdialog/reference_dlg.h"
#include "resources/dialog_templates.h"
#include "resources/resource.h"

using namespace conversion;

CKnownPositionDlg::CKnownPositionDlg(const QString& caption, const QString& prompt, std::int32_t format,
                                     const EntryValues& values, CCoordConverter& errors, PositionCheck check,
                                     QWidget* parent)
    : CDialog(GetDialogTemplate(IDD_KNOWN_POSITION), parent), m_strCaption(caption), m_strPrompt(prompt),
      m_nFormat(format), m_values(values), m_errors(errors), m_check(std::move(check))
{
}

void CKnownPositionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // A new exchange: an error shown by the last one is over.
    m_errors.HideInputError();
    DDX_Coordinates(m_errors, pDX, m_nFormat, m_values.Fields(), 0);
    SetDlgItemText(IDC_LONG_SIGN, LongitudeSignText(m_values.m_nHemisphere[0][0], g_nLanguage == 1));
    SetDlgItemText(IDC_LAT_SIGN, LatitudeSignText(m_values.m_nHemisphere[0][1]));
}

bool CKnownPositionDlg::OnInitDialog()
{
    setWindowTitle(m_strCaption);
    SetDlgItemText(IDC_POSITION_PROMPT, m_strPrompt);
    // The reference dialog's layout, moved to where this template has its rows.
    PlaceCoordinateControls(*this, m_nFormat,
                            MapDialogRect(QRect(kKnownPositionShiftX, kKnownPositionShiftY, 0, 0)).topLeft());
    RestoreEntryTabOrder(*this);
    SetCoordinateLabelTexts(*this, g_nLanguage == 1);
    FitLabelTexts(*this);
    CDialog::OnInitDialog();
    if (auto* first = Item<QLineEdit>(m_nFormat == FORMAT_UTM ? IDC_EASTING : IDC_LONG_DEGREE))
    {
        first->setFocus(Qt::OtherFocusReason);
        first->selectAll();
    }
    return true;
}

void CKnownPositionDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (const std::optional<PositionFault> fault = m_check(m_values))
    {
        static constexpr int kValueControls[] = {IDC_LONG_DEGREE, IDC_LAT_DEGREE, IDC_EASTING, IDC_NORTHING, IDC_ZONE};
        if (auto* field = Item<QLineEdit>(kValueControls[fault->value]))
        {
            field->setFocus();
            field->selectAll();
        }
        m_errors.ShowInputError(fault->message);
        return;
    }
    EndDialog(IDOK);
}

void CKnownPositionDlg::OnCancel()
{
    m_errors.HideInputError();
    CDialog::OnCancel();
}

void CKnownPositionDlg::OnCommand(int id)
{
    // The sign buttons flip their flag; what is typed in the fields stays.
    if (id == IDC_LONG_SIGN || id == IDC_LAT_SIGN)
    {
        const int axis = id == IDC_LONG_SIGN ? 0 : 1;
        std::int32_t& flag = m_values.m_nHemisphere[0][axis];
        flag = flag == 0 ? 1 : 0;
        SetDlgItemText(id, axis == 0 ? LongitudeSignText(flag, g_nLanguage == 1) : LatitudeSignText(flag));
    }
}

std::optional<Wgs84Degrees> AskKnownPosition(CReferenceDlg& dialog, const QString& caption, const QString& prompt,
                                             std::optional<Wgs84Degrees> start, EntryValues* typed)
{
    const std::int32_t format = dialog.m_nFormat;
    const std::int32_t datum = dialog.m_nDatum;
    CPositionConverter converter;
    EntryValues values = !start && typed != nullptr ? *typed : EntryValues{};
    if (start && !converter.Express(*start, datum, format, values))
        values = EntryValues{};
    const auto check = [&](const EntryValues& entry)
    {
        std::optional<PositionFault> fault;
        converter.ToWgs84(entry, datum, format, &fault);
        return fault;
    };
    CKnownPositionDlg ask(caption, prompt, format, values, dialog.Converter(), check, &dialog);
    if (ask.DoModal() != IDOK)
        return std::nullopt;
    if (typed != nullptr)
        *typed = ask.Values();
    return converter.ToWgs84(ask.Values(), datum, format);
}
