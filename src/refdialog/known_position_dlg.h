#pragma once
// CKnownPositionDlg: asks for the known position of a feature the user
// clicked on the map (a third point to check a calibration with), in the reference dialog's entry format and datum,
// with the reference dialog's coordinate fields and their checks. An input error shows in the reference dialog's error
// window and keeps the dialog open on the field; a position that converts to none (a UTM value beyond a pole, say) does
// the same on the value to mend.

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "conversion/entry_fields.h"
#include "conversion/position_converter.h"
#include "platform/dialog.h"

class CKnownPositionDlg final : public CDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CKnownPositionDlg)
public:
    /// Converts a typed position (point 0) to WGS84, or says why it has none.
    using PositionCheck = std::function<std::optional<PositionFault>(const conversion::EntryValues&)>;

    /// `caption` and `prompt` in the current language; the fields of
    /// `format` start with point 0 of `values`; input errors show in
    /// `errors`' window (only its error window is used).
    CKnownPositionDlg(const QString& caption, const QString& prompt, std::int32_t format,
                      const conversion::EntryValues& values, CCoordConverter& errors, PositionCheck check,
                      QWidget* parent = nullptr);

    /// The position typed (point 0), after IDOK.
    const conversion::EntryValues& Values() const { return m_values; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;

private:
    QString m_strCaption;
    QString m_strPrompt;
    std::int32_t m_nFormat;
    conversion::EntryValues m_values;
    CCoordConverter& m_errors;
    PositionCheck m_check;
};

class CReferenceDlg;

/// Asks for the known position of a feature with a CKnownPositionDlg in the
/// reference dialog's entry format and datum, its field checks and its error
/// window: `caption` and `prompt` in the current language, the fields
/// starting at `start` (WGS84) when it is given and can be shown. The
/// position typed as WGS84 degrees, or nothing when the user cancelled.
/// `typed` (when given) receives the fields as typed (point 0); without
/// `start` the fields start at what it holds (in the dialog's format and
/// datum), as a position typed before.
std::optional<conversion::Wgs84Degrees> AskKnownPosition(CReferenceDlg& dialog, const QString& caption,
                                                         const QString& prompt,
                                                         std::optional<conversion::Wgs84Degrees> start,
                                                         conversion::EntryValues* typed = nullptr);
