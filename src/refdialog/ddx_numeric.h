#pragma once
// Data exchange of the reference dialog's numeric edit controls. Writing
// puts the member into the control as text ("." as decimal point whatever
// the locale); reading checks the control's text (its first 63 characters)
// and its limits, stores the value, or reports the failure in the
// converter's error window and abandons the exchange: the focus goes back to
// the field with its text selected, and this member and those of all later
// fields keep their values.

#include <cstdint>

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
