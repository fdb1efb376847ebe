#pragma once
// kartora-cli's calibration commands: whether a .CAL file is plausible, the
// position at a pixel, the pixel of a position (cal check, cal locate, cal
// pixel). They write results to `out`, messages to `err` and return the exit
// status.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "calibration/calibration.h"
#include "formats/cal_file.h"

namespace cli
{

/// The calibration of a .CAL file whose values read as they are and whose
/// points have positions; nothing after a report on `err`. `cal` gets the
/// file's values.
std::optional<calibration::Calibration> CalibrationOfFile(const std::string& path, formats::CalValues& cal,
                                                          std::ostream& err);

/// "800x600" (also "800X600"): both sides whole numbers above 0.
std::optional<calibration::MapSize> ParseSize(const std::string& text);

/// cal check: some warnings, but no error.
constexpr int kExitWarnings = 3;

struct CalCheckOptions
{
    std::string file;
    std::string bmp;  ///< the map's BMP file; empty: the file's BMP name beside it
    std::string size; ///< "WxH" instead of a BMP file
    std::optional<std::string> dpi;
    bool json = false;
};

/// The figures and findings of a .CAL file in words (current language) or as
/// one JSON object. 0 without a finding, 3 with warnings only, 1 with an
/// error or input that cannot be read.
int RunCalCheck(const CalCheckOptions& options, std::ostream& out, std::ostream& err);

/// The position at pixel (x, y) (decimals allowed, y from the bottom row) in
/// `toFormat` and `toDatum`, through the converter's from-WGS84 path.
int RunCalLocate(const std::string& file, const std::string& x, const std::string& y, std::int32_t toDatum,
                 std::int32_t toFormat, std::ostream& out, std::ostream& err);

struct CalFitOptions
{
    std::string points; ///< the file of known points, "X<TAB>Y<TAB>POINT" a line
    std::int32_t format = 1;
    std::int32_t datum = 0;
    std::string bmp;  ///< the map's BMP file (its size and name)
    std::string size; ///< "WxH" instead
    std::string name; ///< map name; default the BMP file's base name or the output's
    std::string output;
    bool json = false;
    bool yes = false;
};

/// Fits the device's model to the known points by least squares, prints each
/// point's residual (or one JSON object) and writes the two reference points
/// that reproduce the fit through Save's checks. Exit 0, 1 or 2 as cal write.
int RunCalFit(const CalFitOptions& options, std::ostream& out, std::ostream& err);

/// The pixel "X Y" (two decimals, y from the bottom row) of `point`, given
/// in `format` and `datum`.
int RunCalPixel(const std::string& file, const std::string& point, std::int32_t datum, std::int32_t format,
                std::ostream& out, std::ostream& err);

} // namespace cli
