#pragma once
// CReferenceDlg: the modeless window where the user does the work. It holds
// the map name, the BMP file name, both reference points (pixel and
// coordinates in one of four entry formats and three input datums) and the
// height difference; it loads and saves the .CAL reference file, lets the
// user choose the bitmap for the map view, imports coordinates from a
// MagicMaps export, and speaks German or English. Closing it ends the
// program.
//
// Per-point values are parallel two-point arrays [point][axis]: point 0 is
// "Ref.Point 1", point 1 "Ref.Point 2"; axis 0 is longitude, easting or pixel
// x, axis 1 latitude, northing or pixel y (counted from the bottom row of the
// bitmap). Magnitudes are never negative; the signs live in m_nHemisphere.
// The text fields show the current point's elements only.
//
// The map view and the dialog talk through posted messages only
// (shell/window_messages.h): the dialog posts to the receiver given at
// construction and handles the view's messages in event().

#include <QIcon>
#include <QString>

#include <cstdint>
#include <optional>

#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "formats/cal_file.h"
#include "platform/dialog.h"
#include "shell/language_dlg.h"
#include "shell/window_messages.h"

class QAbstractButton;
class QPushButton;
class QRadioButton;
class CErrorMessageDlg;

/// x1, y1, x2, y2 of both points' pixels (y from the bottom row), handed to
/// the map view with WM_MAP_LOAD. The message is posted, so the pixels live
/// here, not on the sender's stack, until the view has read them.
extern std::uint32_t g_pickedPixels[4];

/// The 23 coordinate controls, in the order of g_controlLayout's rows.
constexpr int kCoordControlCount = 23;
extern const int g_coordControlIds[kCoordControlCount];

/// Place of one coordinate control in one entry format, in units of two
/// pixels of the dialog's client area.
struct ControlPlace
{
    int x, y, cx, cy;
    bool bShown;
};
/// [control in g_coordControlIds order][InputFormat].
extern const ControlPlace g_controlLayout[kCoordControlCount][kFormatCount];

/// The entry controls in tab order, restored after every re-layout (the zone
/// comes before the northing).
constexpr int kTabOrderCount = 15;
extern const int g_entryTabOrder[kTabOrderCount];

/// One labelled control and its caption in both languages (UTF-8).
struct LanguageText
{
    int nControlId;
    const char* pszGerman;
    const char* pszEnglish;
};
constexpr int kLanguageTextCount = 22;
extern const LanguageText g_languageTexts[kLanguageTextCount];

class CReferenceDlg final : public CDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(CReferenceDlg)
public:
    /// Builds the converter (with its error window), the language object
    /// (which may ask for the help file), reads the settings, takes the
    /// application's main window and creates and shows the dialog. Messages
    /// for the map view go to `view` (may be null: nothing is posted then).
    explicit CReferenceDlg(QObject* view);
    ~CReferenceDlg() override;

    // Settings ("CalDir", the hemisphere flags and whole degrees of both
    // points). ReadSettings also resets the data to the initial state.
    void ReadSettings();
    /// Stores the settings after a Save: the hemispheres and whole degrees
    /// of the file `written` (WGS84), whatever the user's format and datum,
    /// so that the next start shows the points as written.
    void WriteSettings(const formats::CalValues& written);

    // Small handlers.
    void OnKillFocusMapName();
    void OnKillFocusBmpFileName();
    void OnKillFocusField(int id);
    void OnRefPoint1();
    void OnRefPoint2();
    LRESULT OnPointPicked1(WPARAM x, LPARAM y);
    LRESULT OnPointPicked2(WPARAM x, LPARAM y);
    /// Both pickers: the pixel stored, that point current, the dialog shown.
    void OnPointPicked(int point, WPARAM x, LPARAM y);
    /// The focus in the current point's first coordinate field, its text selected.
    void FocusFirstCoordinate();
    LRESULT OnRestoreNames(WPARAM = 0, LPARAM = 0);
    void OnShowMap();

    // Entry formats and datums.
    /// False when a field failed its check (reported, focus on the field);
    /// the members as they are went to the converter all the same.
    bool EntryToWgs84();
    /// When the last EntryToWgs84 left a point without a position: makes that
    /// point current, shows why in the error window, puts the focus on the
    /// value to mend and returns true.
    bool ReportPositionFault();
    void Wgs84ToEntry();
    void OnFormatChange();
    void OnDatumChange();
    void OnDatumDropDown();
    void OnToggleLongitudeSign();
    void OnToggleLatitudeSign();
    void SetLongitudeSignText(std::int32_t flag);
    void SetLatitudeSignText(std::int32_t flag);

    // File workflows.
    /// The chosen .CAL path, or nothing when the user cancelled (or, saving,
    /// did not confirm overwriting an existing file).
    std::optional<QString> ChooseCalFile(bool bOpen);
    void OnLoad();
    /// Reads the .CAL file `path` into the dialog as Load does once the
    /// file is chosen (a .CAL file named on the command line): its messages,
    /// point 1 current, format and datum the user's. False, and the dialog
    /// left as it was, when the file cannot be opened.
    bool LoadCalFile(const QString& path);
    /// True only when a file was written.
    bool OnSave();
    void OnRefFromMap();
    LRESULT OnImportRefCoords(WPARAM = 0, LPARAM = 0);
    /// File > "Export calibration...": the dialog's calibration, checked as
    /// Save checks it, written for another map program; the format by the
    /// chosen file's extension.
    void OnExportCalibration();
    /// File > "Import calibration...": the calibration of another program's
    /// file, taken into the dialog as Load takes a file's values (the map
    /// shown gives the size and the names).
    void OnImportCalibration();
    /// "Use fit": both reference points of `points` (pixels and WGS84
    /// positions, as a file holds them) taken into the dialog as Load takes
    /// a file's; the names and the height difference stay. Counts as a
    /// change; the map's markers move to them and the dialog shows in front.
    void TakeReferencePoints(const formats::CalValues& points);

    /// The map the calibration belongs to: the bitmap shown, else the BMP
    /// file of the dialog's name beside the reference file loaded last or in
    /// the folder of the file dialogs; empty when none is there.
    QString ExchangeMapPath() const;

    /// Before the program ends by any way but Cancel (Close, the frame's
    /// close box, Exit): with unsaved changes runs Save. False when Save
    /// failed or was declined; the dialog then stands in front and the
    /// program must stay.
    bool SaveModified();
    /// True once Close or Cancel has decided that the program ends.
    bool IsEnding() const { return m_bEnding; }

    // Languages and help.
    void SetLanguageTexts();
    /// Names and describes the fields for screen readers in the current
    /// language, format and point.
    void SetAccessibleTexts();
    void OnLanguageToggle();
    bool OnHelpInfo(std::uint32_t helpId) override;

    // Dialog data, [point][axis] as described above.
    QString m_strMapName;
    QString m_strBmpFileName; ///< name with extension, no directory
    std::int32_t m_nHemisphere[2][2] = {};
    std::uint32_t m_nPixel[2][2] = {};
    std::int32_t m_nDegree[2][2] = {}; ///< dec.Minute, dec.Second
    double m_dDegree[2][2] = {};       ///< dec.Degree, without sign
    std::int32_t m_nMinute[2][2] = {}; ///< dec.Second
    double m_dMinute[2][2] = {};       ///< dec.Minute
    double m_dSecond[2][2] = {};       ///< dec.Second
    std::int32_t m_nUtm[2][2] = {};    ///< easting, northing (m)
    std::int32_t m_nZone[2] = {};
    double m_dHeightDiff = 0.0; ///< m

    std::int32_t m_nDatum = DATUM_WGS84;        ///< MapDatum
    std::int32_t m_nFormat = FORMAT_DEC_MINUTE; ///< InputFormat
    QString m_strCalDir;                        ///< where every file dialog opens, with its trailing separator
    QString m_strBmpPath;                       ///< full path of the bitmap chosen last
    QString m_strLoadedCalDir; ///< the folder of the reference file loaded last (also one named on the command line)
    MapConversion m_mapConversion; ///< the scan and device BMP of the last WM_MAP_CONVERT
    QString m_strSavedBmpFileName;
    QString m_strSavedMapName;
    std::int32_t m_nCurPoint = 0;
    bool m_bModified = false;
    bool m_bEnding = false;
    std::int32_t m_nLanguage = 0; ///< 0 German, 1 English; always equal to g_nLanguage

    CCoordConverter& Converter() { return m_converter; }
    CLanguageDlg& LanguageDlg() { return m_dlgLanguage; }
    const QIcon& Icon() const { return m_hIcon; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

signals:
    /// After every exchange between the members and the fields, in either
    /// direction: the points, the format, the datum or the language may
    /// have changed.
    void dataExchanged();
    /// Save wrote the file `path` with `values` (WGS84, as the file holds them).
    void fileWritten(const QString& path, const formats::CalValues& values);

private:
    conversion::EntryFields Fields();
    void ConnectHandlers();
    /// True while the focus is away because the error window took the activation.
    bool ErrorWindowTookFocus();
    /// True when the user changed the text of an edit control since the
    /// members were last written into it.
    bool AnyFieldEdited() const;
    void ClearFieldEdits();
    /// For Save: when the point that is not current has a pixel its field
    /// refuses (a negative one), makes that point current and reports the
    /// field; false then.
    bool ExchangeOtherPixels();
    /// Selects WGS84, the file's datum, for Save or Load; returns the user's
    /// datum for RestoreDatum.
    std::int32_t SelectWgs84Datum();
    /// Back to the user's datum after Save or Load worked in WGS84.
    void RestoreDatum(std::int32_t datum);
    /// The members a reference file holds.
    formats::CalValues MembersAsCalValues();
    /// Takes a reference file's values into the dialog as Load does: names,
    /// points shown in the user's format and datum, point 1 current; counts
    /// as a change.
    void TakeCalValues(const formats::CalValues& values);
    void CenterWindow(QWidget* window);
    /// Closes the main window and ends the event loop (nothing without a main window).
    void EndProgram();

    // Controls, bound by the exchange.
    QPushButton* m_btnLanguage = nullptr;
    CDropListCtrl* m_cbDatum = nullptr;
    CDropListCtrl* m_cbFormat = nullptr;
    CEditCtrl* m_edMapName = nullptr;
    CEditCtrl* m_edBmpFileName = nullptr;
    CEditCtrl* m_edHeightDiff = nullptr;
    CEditCtrl* m_edPixelY = nullptr;
    CEditCtrl* m_edPixelX = nullptr;
    QPushButton* m_btnShowMap = nullptr;
    QRadioButton* m_rbRefPoint1 = nullptr;
    QRadioButton* m_rbRefPoint2 = nullptr;

    QIcon m_hIcon;
    CErrorMessageDlg* m_pErrorWindow = nullptr; ///< owned by m_converter
    QWidget* m_pMainWnd = nullptr;
    QObject* m_pView = nullptr;
    CCoordConverter m_converter;
    CLanguageDlg m_dlgLanguage;
};
