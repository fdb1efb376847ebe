#include "refdialog/ddx_numeric.h"

#include <QLineEdit>

#include <optional>
#include <string>

#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "conversion/numeric_text.h"
#include "platform/data_exchange.h"

namespace
{

// The edit control `controlId`, remembered as the one to return to when its
// check fails; null (with a note on the debug output) when the dialog has
// none, which leaves both sides unchanged.
QLineEdit* PrepareField(CDataExchange* pDX, int controlId)
{
    QLineEdit* edit = pDX->PrepareEditCtrl(controlId);
    if (edit == nullptr)
        qWarning("DDX: the dialog has no edit control %d", controlId);
    return edit;
}

void WriteField(CDataExchange* pDX, int controlId, const std::string& text)
{
    pDX->m_pDlgWnd->SetDlgItemText(controlId, QString::fromStdString(text));
}

// The text the check reads. The checks look at no more than kMaxFieldText
// characters; cutting the UTF-8 bytes at that count gives the same verdict,
// since any character outside ASCII is forbidden anyway.
std::string FieldText(const QLineEdit* edit)
{
    return edit->text().left(static_cast<qsizetype>(kMaxFieldText)).toStdString();
}

[[noreturn]] void Reject(CCoordConverter& converter, CDataExchange* pDX, MessageId message)
{
    // The window first: Fail() does not return.
    converter.ShowInputError(message);
    pDX->Fail();
}

} // namespace

void DDX_Double(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                double maxValue, double minValue)
{
    const QLineEdit* edit = PrepareField(pDX, controlId);
    if (edit == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        WriteField(pDX, controlId, FormatFixed(value, decimals));
        return;
    }
    if (const std::optional<MessageId> failure = CheckDoubleField(FieldText(edit), minValue, maxValue, value))
        Reject(converter, pDX, *failure);
}

void DDX_Int(CCoordConverter& converter, CDataExchange* pDX, int controlId, std::int32_t& value, std::int32_t maxValue)
{
    const QLineEdit* edit = PrepareField(pDX, controlId);
    if (edit == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        WriteField(pDX, controlId, FormatInt(value));
        return;
    }
    if (const std::optional<MessageId> failure = CheckIntField(FieldText(edit), maxValue, value))
        Reject(converter, pDX, *failure);
}
