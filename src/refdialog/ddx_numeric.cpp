#include "refdialog/ddx_numeric.h"

#include <QLineEdit>

#include <optional>
#include <string>

#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "conversion/numeric_text.h"
#include "platform/data_exchange.h"

using namespace conversion;

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

// The text the check reads: the whole of it, so that a text longer than a
// field takes is refused rather than read in part.
std::string FieldText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

[[noreturn]] void Reject(CCoordConverter& converter, CDataExchange* pDX, MessageId message)
{
    // The window first: Fail() does not return.
    converter.ShowInputError(message);
    pDX->Fail();
}

// Field `controlId` <-> `value`: written with `format`, read with `check`
// (which stores the value only when it passes).
template <class Value, class Format, class Check>
void Exchange(CCoordConverter& converter, CDataExchange* pDX, int controlId, Value& value, Format format, Check check)
{
    const QLineEdit* edit = PrepareField(pDX, controlId);
    if (edit == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        WriteField(pDX, controlId, format(value));
        return;
    }
    if (const std::optional<MessageId> failure = check(FieldText(edit), value))
        Reject(converter, pDX, *failure);
}

auto Decimals(int decimals)
{
    return [decimals](double value) { return FormatFixed(value, decimals); };
}

std::string Whole(std::int32_t value)
{
    return FormatInt(value);
}

} // namespace

void DDX_Double(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                double maxValue, double minValue)
{
    Exchange(converter, pDX, controlId, value, Decimals(decimals),
             [&](std::string_view text, double& out) { return CheckDoubleField(text, minValue, maxValue, out); });
}

void DDX_Int(CCoordConverter& converter, CDataExchange* pDX, int controlId, std::int32_t& value, std::int32_t maxValue)
{
    Exchange(converter, pDX, controlId, value, Whole,
             [&](std::string_view text, std::int32_t& out) { return CheckIntField(text, maxValue, out); });
}

void DDX_Minutes(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                 const AngleBefore& angle)
{
    Exchange(converter, pDX, controlId, value, Decimals(decimals),
             [&](std::string_view text, double& out) { return CheckMinutesField(text, angle, out); });
}

void DDX_Minutes(CCoordConverter& converter, CDataExchange* pDX, int controlId, std::int32_t& value,
                 const AngleBefore& angle)
{
    Exchange(converter, pDX, controlId, value, Whole,
             [&](std::string_view text, std::int32_t& out) { return CheckMinutesField(text, angle, out); });
}

void DDX_Seconds(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                 const AngleBefore& angle)
{
    Exchange(converter, pDX, controlId, value, Decimals(decimals),
             [&](std::string_view text, double& out) { return CheckSecondsField(text, angle, out); });
}
