#pragma once
// Data exchange of the reference dialog's numeric edit controls. Writing
// puts the member into the control as text ("." as decimal point whatever
// the locale); reading checks the control's text (at most 63 characters) and
// its limits, stores the value, or reports the failure in the converter's
// error window and abandons the exchange: the focus goes back to the field
// with its text selected, and this member and those of all later fields keep
// their values.

#include <cstdint>

#include "conversion/entry_fields.h"

class CCoordConverter;
class CDataExchange;

/// Decimal field `controlId` <-> `value`, shown with `decimals` digits after
/// the point; `minValue` and `maxValue` are inclusive. Reports "Forbidden
/// characters!", "Value too small!" or "Value too large!".
void DDX_Double(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                double maxValue, double minValue);

/// Whole-number field `controlId` <-> `value`: digits only, never below 0,
/// not above `maxValue` when that is 1 or more (below 1: no upper limit).
void DDX_Int(CCoordConverter& converter, CDataExchange* pDX, int controlId, std::int32_t& value, std::int32_t maxValue);

/// The minutes field of an angle, decimal (dec.Minute, shown with `decimals`
/// digits) or whole (dec.Second): 0 to 60, and the whole angle with the
/// fields before it not beyond `angle.maxDegrees` ("Value too large!" on this
/// field otherwise).
void DDX_Minutes(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                 const conversion::AngleBefore& angle);
void DDX_Minutes(CCoordConverter& converter, CDataExchange* pDX, int controlId, std::int32_t& value,
                 const conversion::AngleBefore& angle);

/// The seconds field of a dec.Second angle, as DDX_Minutes.
void DDX_Seconds(CCoordConverter& converter, CDataExchange* pDX, int controlId, double& value, int decimals,
                 const conversion::AngleBefore& angle);
