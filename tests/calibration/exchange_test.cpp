// Exports to and imports from other map programs' calibrations: the sample
// harbour map's files against hand-computed figures and against GDAL as an
// independent reader, one round trip per format, one row per refusal.
#include "calibration/export_files.h"
#include "calibration/import_source.h"
#include "calibration/world_file.h"
#include "formats/text_lines.h"
#include "messages/messages.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace calibration;
using namespace formats;
namespace fs = std::filesystem;

namespace
{

// samples/harbour.CAL: 800 x 600, the lighthouse (170, 170) at 10°52.35'E
// 54°3.12'N, the church (640, 460) at 10°55.59'E 54°4.29'N. By hand: 3.24'
// over 470 columns and 1.17' over 290 rows.
constexpr double kLon1 = 10 + 52.35 / 60, kLat1 = 54 + 3.12 / 60;
constexpr double kDegPerColumn = 3.24 / 60 / 470, kDegPerRow = 1.17 / 60 / 290;
constexpr MapSize kHarbourSize{800, 600};
constexpr double kMinuteStep = 0.0001 / 60; // the .CAL file's precision (degrees)

CalValues Harbour()
{
    CalValues v;
    v.m_strMapName = "harbour";
    v.m_strBmpFileName = "harbour.bmp";
    v.m_nPixel[0][0] = v.m_nPixel[0][1] = 170;
    v.m_nPixel[1][0] = 640, v.m_nPixel[1][1] = 460;
    v.m_nDegree[0][0] = v.m_nDegree[1][0] = 10;
    v.m_nDegree[0][1] = v.m_nDegree[1][1] = 54;
    v.m_dMinute[0][0] = 52.35, v.m_dMinute[0][1] = 3.12;
    v.m_dMinute[1][0] = 55.59, v.m_dMinute[1][1] = 4.29;
    return v;
}

// The position of the continuous .CAL pixel (x, y) on the sample, by hand.
GeoPoint HarbourAt(double x, double y)
{
    return {kLon1 + (x - 170) * kDegPerColumn, kLat1 + (y - 170) * kDegPerRow};
}

class OtherPrograms : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_nLanguage = 1;
        m_dir = fs::temp_directory_path() /
                ("kartora-exchange-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(KARTORA_SAMPLES_DIR "/harbour.bmp", m_dir / "harbour.bmp");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Writes the export of the sample in `format`; the main file's path.
    fs::path Export(ExportFormat format, std::string png = {})
    {
        ExportRequest request;
        request.format = format;
        request.values = Harbour();
        request.size = kHarbourSize;
        request.target = m_dir / ("harbour" + std::string(ExportExtension(format)));
        request.png = std::move(png);
        const auto files = ExportFiles(request);
        EXPECT_TRUE(std::holds_alternative<std::vector<ExportFile>>(files));
        for (const ExportFile& file : std::get<std::vector<ExportFile>>(files))
            std::ofstream(file.path, std::ios::binary) << file.bytes;
        return request.target;
    }

    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path m_dir;
};

ExchangeFault FaultOf(const auto& result)
{
    EXPECT_TRUE(std::holds_alternative<ExchangeError>(result));
    const ExchangeError* error = std::get_if<ExchangeError>(&result);
    if (error == nullptr)
        return ExchangeFault::WriteFailed;
    EXPECT_FALSE(ExchangeErrorText(*error).empty());
    return error->fault;
}

} // namespace

TEST_F(OtherPrograms, GdalReadsTheWorldFileAndTheMapFileWithTheCalibrationsCorners)
{
    // GDAL's pixel/line space has the top-left pixel's centre at (0.5, 0.5):
    // its corners are the map's outer edges, .CAL x = -0.5 and 799.5, y =
    // 600.5 and 0.5.
    const GeoPoint upperLeft = HarbourAt(-0.5, 600.5);
    const GeoPoint lowerRight = HarbourAt(799.5, 0.5);
    for (const ExportFormat format : {ExportFormat::WorldFile, ExportFormat::OziMap})
    {
        const fs::path file = Export(format);
        const fs::path json = m_dir / "gdalinfo.json";
        const fs::path opened = format == ExportFormat::OziMap ? file : m_dir / "harbour.bmp";
        const std::string command = std::string(KARTORA_GDALINFO) + " -json \"" + opened.string() + "\" > \"" +
                                    json.string() + "\" 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const nlohmann::json info = nlohmann::json::parse(Read(json));
        const auto& corners = info["cornerCoordinates"];
        SCOPED_TRACE(info["driverShortName"].get<std::string>());
        EXPECT_NEAR(corners["upperLeft"][0].get<double>(), upperLeft.lon, 1e-7);
        EXPECT_NEAR(corners["upperLeft"][1].get<double>(), upperLeft.lat, 1e-7);
        EXPECT_NEAR(corners["lowerRight"][0].get<double>(), lowerRight.lon, 1e-7);
        EXPECT_NEAR(corners["lowerRight"][1].get<double>(), lowerRight.lat, 1e-7);
        // GDAL prints the corners to seven decimals; its transform holds more.
        const auto& t = info["geoTransform"];
        EXPECT_NEAR(t[0].get<double>(), upperLeft.lon, 1e-9);
        EXPECT_NEAR(t[3].get<double>(), upperLeft.lat, 1e-9);
        EXPECT_NEAR(t[0].get<double>() + 800 * t[1].get<double>(), lowerRight.lon, 1e-9);
        EXPECT_NEAR(t[3].get<double>() + 600 * t[5].get<double>(), lowerRight.lat, 1e-9);
        fs::remove(file);
        fs::remove(m_dir / "harbour.prj");
    }
}

TEST_F(OtherPrograms, EachFormatStatesItsPixelConventionToTheHalfPixel)
{
    // World file: pixel sizes and the centre of the top-left pixel (.CAL
    // pixel (0, 600)).
    std::istringstream world(Read(Export(ExportFormat::WorldFile)));
    double numbers[6] = {};
    for (double& number : numbers)
        world >> number;
    const GeoPoint topLeftCentre = HarbourAt(0, 600);
    EXPECT_NEAR(numbers[0], kDegPerColumn, 1e-16);
    EXPECT_EQ(numbers[1], 0.0);
    EXPECT_EQ(numbers[2], 0.0);
    EXPECT_NEAR(numbers[3], -kDegPerRow, 1e-16);
    EXPECT_NEAR(numbers[4], topLeftCentre.lon, 1e-12);
    EXPECT_NEAR(numbers[5], topLeftCentre.lat, 1e-12);
    EXPECT_NE(Read(m_dir / "harbour.prj").find("GEOGCS[\"WGS 84\""), std::string::npos);

    // .map: whole pixels from the top left name the pixel's top-left corner,
    // half a pixel up and left of the lighthouse: 3.12' + 1.17'/290/2 and
    // 52.35' - 3.24'/470/2.
    const std::string map = Read(Export(ExportFormat::OziMap));
    EXPECT_NE(map.find("\r\nPoint01,xy,  170,  430,in, deg,  54,  3.12201724,N,  10, 52.34655319,E,"),
              std::string::npos)
        << map;
    EXPECT_NE(map.find("\r\nIWH,Map Image Width/Height,800,600\r\n"), std::string::npos);

    // KML: the box holds the outer edges.
    const std::string kml = Read(Export(ExportFormat::Kml));
    const auto edge = [&](const char* name)
    {
        const std::size_t at = kml.find(std::string("<") + name + ">") + std::strlen(name) + 2;
        return std::stod(kml.substr(at, kml.find('<', at) - at));
    };
    EXPECT_NEAR(edge("north"), HarbourAt(0, 600.5).lat, 1e-12);
    EXPECT_NEAR(edge("south"), HarbourAt(0, 0.5).lat, 1e-12);
    EXPECT_NEAR(edge("west"), HarbourAt(-0.5, 0).lon, 1e-12);
    EXPECT_NEAR(edge("east"), HarbourAt(799.5, 0).lon, 1e-12);
    EXPECT_NE(kml.find("<href>harbour.bmp</href>"), std::string::npos);

    // GPX: the typed positions, named after the map.
    const std::string gpx = Read(Export(ExportFormat::Gpx));
    EXPECT_NE(gpx.find("<wpt lat=\"54.052\" lon=\"10.8725\">\n    <name>harbour Ref.1</name>"), std::string::npos)
        << gpx;
    EXPECT_NE(gpx.find("<name>harbour Ref.2</name>"), std::string::npos);
}

TEST_F(OtherPrograms, EveryImportGivesBackTheExportedPositionsAtTheFilesPrecision)
{
    // KMZ: the image bytes are the caller's; any will do here.
    const fs::path files[] = {Export(ExportFormat::WorldFile), Export(ExportFormat::Wld), Export(ExportFormat::OziMap),
                              Export(ExportFormat::Kml), Export(ExportFormat::Kmz, "\x89PNG")};
    for (const fs::path& file : files)
    {
        SCOPED_TRACE(file.string());
        const auto imported = ImportCalibration(file, {});
        ASSERT_TRUE(std::holds_alternative<CalValues>(imported))
            << ExchangeErrorText(std::get<ExchangeError>(imported));
        const CalValues& values = std::get<CalValues>(imported);
        EXPECT_EQ(values.m_strBmpFileName, "harbour.bmp");
        EXPECT_EQ(values.m_strMapName, "harbour");
        // The .map keeps the lighthouse and the church, the others spread the
        // points to 10 % and 90 % of the map; the model is the sample's.
        const Calibration c = CalibrationOf(values);
        if (file.extension() == ".map")
        {
            EXPECT_EQ(values.m_nPixel[0][0], 170u);
            EXPECT_EQ(values.m_nPixel[1][1], 460u);
        }
        else
        {
            EXPECT_EQ(values.m_nPixel[0][0], 80u);
            EXPECT_EQ(values.m_nPixel[0][1], 60u);
            EXPECT_EQ(values.m_nPixel[1][0], 720u);
            EXPECT_EQ(values.m_nPixel[1][1], 540u);
        }
        for (const PixelPoint pixel : {PixelPoint{170, 170}, PixelPoint{640, 460}})
        {
            const GeoPoint expected = HarbourAt(pixel.x, pixel.y);
            EXPECT_NEAR(c.PositionAt(pixel).lon, expected.lon, kMinuteStep);
            EXPECT_NEAR(c.PositionAt(pixel).lat, expected.lat, kMinuteStep);
        }
    }
}

TEST_F(OtherPrograms, AMapFileInPotsdamIsShiftedAsTheConverterShiftsTypedPoints)
{
    // Points at pixel centres, in Potsdam Rauenberg DHDN: 10.5 E 53.25 N is
    // 10.498630 E 53.248510 N in WGS84 (the converter's worked example,
    // README, five decimals), 10.6 E 53.15 N its neighbour.
    std::ostringstream map;
    map << "OziExplorer Map Data File Version 2.2\r\nx\r\nharbour.bmp\r\n1 ,Map Code,\r\n"
           "Potsdam Rauenberg DHDN,WGS 84,   0.0000,   0.0000,WGS 84\r\nReserved 1\r\nReserved 2\r\n"
           "Point01,xy,100.5,200.5,in, deg,  53, 15.0,N,  10, 30.0,E, grid\r\n"
           "Point02,xy,300.5,400.5,in, deg,  53,  9.0,N,  10, 36.0,E, grid\r\n"
           "IWH,Map Image Width/Height,800,600\r\n";
    std::ofstream(m_dir / "potsdam.map", std::ios::binary) << map.str();
    const auto imported = ImportCalibration(m_dir / "potsdam.map", {});
    ASSERT_TRUE(std::holds_alternative<CalValues>(imported));
    const CalValues& values = std::get<CalValues>(imported);
    EXPECT_EQ(values.m_nPixel[0][0], 100u);
    EXPECT_EQ(values.m_nPixel[0][1], 400u); // 600 - 200
    const Calibration c = CalibrationOf(values);
    EXPECT_NEAR(c.position[0].lon, 10.498630, 5e-6 + kMinuteStep);
    EXPECT_NEAR(c.position[0].lat, 53.248510, 5e-6 + kMinuteStep);
}

TEST_F(OtherPrograms, MalformedAndForeignFilesAreRefusedWithTheirReason)
{
    const std::string world = "0.0001\n0\n0\n-0.0001\n10.8\n54.1\n";
    const std::string kml = "<kml><GroundOverlay><LatLonBox><north>54.1</north><south>54</south><east>10.9</east>"
                            "<west>10.8</west></LatLonBox></GroundOverlay></kml>";
    const std::string ozi = "OziExplorer Map Data File Version 2.2\r\nx\r\nx.bmp\r\n1 ,Map Code,\r\n";
    const std::string point1 = "Point01,xy,100,100,in, deg,54,1,N,10,1,E\r\n";
    const std::string point2 = "Point02,xy,300,300,in, deg,54,0,N,10,2,E\r\n";
    const std::string longLine(kMaxLineBytes + 1, '1'); // the bound of every line reader, plus one
    struct Row
    {
        SourceKind kind;
        std::string bytes;
        ExchangeFault fault;
    } rows[] = {
        {SourceKind::WorldFile, world.substr(0, 20), ExchangeFault::MissingField},                // truncated
        {SourceKind::WorldFile, "0.0001\n0\n0\n-0.0001\n10,8\n54.1\n", ExchangeFault::BadNumber}, // comma decimal
        {SourceKind::WorldFile, "0.0001\n0.00002\n0\n-0.0001\n10.8\n54.1\n", ExchangeFault::Rotated},
        {SourceKind::WorldFile, longLine + "\n", ExchangeFault::LineTooLong},
        {SourceKind::WorldFile, std::string("\x89PNG\r\n\x1a\n\0\0", 10), ExchangeFault::BadNumber}, // binary
        {SourceKind::OziMap, "GIF89a" + ozi, ExchangeFault::NotOziMap},
        {SourceKind::OziMap, ozi, ExchangeFault::MissingField}, // no datum line
        {SourceKind::OziMap, ozi + "Pulkovo 1942 (1),WGS 84\r\n" + point1 + point2, ExchangeFault::UnknownDatum},
        {SourceKind::OziMap, ozi + "WGS 84\r\n" + point1, ExchangeFault::TooFewPoints},
        {SourceKind::OziMap, ozi + "WGS 84\r\n" + point1 + "Point02,xy,300,300,in, deg,54,61,N,10,2,E\r\n",
         ExchangeFault::BadNumber},
        {SourceKind::OziMap, ozi + "WGS 84\r\n" + longLine, ExchangeFault::LineTooLong},
        {SourceKind::Kml, kml.substr(0, 60), ExchangeFault::NotKml},
        {SourceKind::Kml, "<kml><Placemark/></kml>", ExchangeFault::NoGroundOverlay},
        {SourceKind::Kml, "<kml><GroundOverlay><LatLonBox><south>54</south></LatLonBox></GroundOverlay></kml>",
         ExchangeFault::MissingField},
        {SourceKind::Kml,
         "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><GroundOverlay><gx:LatLonQuad><coordinates>10.8,54 "
         "10.9,54 10.9,54.1 10.8,54.1</coordinates></gx:LatLonQuad></GroundOverlay></kml>",
         ExchangeFault::NoLatLonBox},
        {SourceKind::Kml, std::string(kml).insert(kml.find("</LatLonBox>"), "<rotation>12</rotation>"),
         ExchangeFault::Rotated},
        {SourceKind::Kml, std::string(kml).replace(kml.find("10.8<"), 4, "179.9"), ExchangeFault::CrossesDateLine},
        {SourceKind::Kml, "<!DOCTYPE kml [<!ENTITY a \"b\">]>" + kml, ExchangeFault::NotKml},
        {SourceKind::Kmz, kml, ExchangeFault::NotZip},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.bytes.substr(0, 120));
        EXPECT_EQ(FaultOf(ReadGeoreference(row.kind, row.bytes)), row.fault);
    }

    // Refused once the map is known: projected metres, points in one row.
    const auto projected = ReadGeoreference(SourceKind::WorldFile, "5\n0\n0\n-5\n500000\n5900000\n");
    EXPECT_EQ(FaultOf(PlaceReferencePoints(std::get<Georeference>(projected), kHarbourSize)),
              ExchangeFault::OutsideRange);
    // A map one pixel high: its corners lie at 20° and 80° S, but the point at 10 % of its
    // height rounds to the row beyond its edge, at 130° S (found by the importers' fuzz target).
    const auto thin = ReadGeoreference(SourceKind::WorldFile, "0.001\n0\n0\n-100\n10.8\n-30\n");
    EXPECT_EQ(FaultOf(PlaceReferencePoints(std::get<Georeference>(thin), MapSize{800, 1})),
              ExchangeFault::OutsideRange);
    EXPECT_EQ(CheckPrj("PROJCS[\"WGS 84 / UTM zone 32N\",GEOGCS[\"WGS 84\"]]")->insert, "WGS 84 / UTM zone 32N");
    EXPECT_FALSE(CheckPrj(Wgs84PrjText()));
    std::ofstream(m_dir / "harbour.bpw") << world;
    std::ofstream(m_dir / "harbour.prj") << "PROJCS[\"ETRS89 / UTM zone 32N\"]";
    EXPECT_EQ(FaultOf(ImportCalibration(m_dir / "harbour.bpw", {})), ExchangeFault::NotWgs84Prj);
    fs::remove(m_dir / "harbour.prj");
    const auto flat = ReadGeoreference(SourceKind::WorldFile, "0\n0\n0\n-0.0001\n10.8\n54.1\n");
    EXPECT_EQ(FaultOf(PlaceReferencePoints(std::get<Georeference>(flat), kHarbourSize)), ExchangeFault::NoCalibration);
    fs::remove(m_dir / "harbour.bmp");
    EXPECT_EQ(FaultOf(ImportCalibration(m_dir / "harbour.bpw", {})), ExchangeFault::NoMapSize);
    std::ofstream(m_dir / "sized.map") << ozi << "WGS 84\r\n" << point1 << point2 << "IWH,x,800,600\r\n";
    EXPECT_EQ(FaultOf(ImportCalibration(m_dir / "sized.map", {{}, MapSize{800, 601}})), ExchangeFault::SizeMismatch);
    EXPECT_EQ(FaultOf(ImportCalibration(m_dir / "harbour.gpx", {})), ExchangeFault::UnknownKind);

    // Exports that other programs could not take.
    ExportRequest request;
    request.values = Harbour();
    request.target = m_dir / "harbour.bpw";
    EXPECT_EQ(FaultOf(ExportFiles(request)), ExchangeFault::NoMapSize);
    request.size = kHarbourSize;
    request.format = ExportFormat::Kmz;
    EXPECT_EQ(FaultOf(ExportFiles(request)), ExchangeFault::NeedsImage);
    request.values.m_nHemisphere[1][0] = 1; // the church west: x and longitude run against each other
    EXPECT_EQ(FaultOf(ExportFiles(request)), ExchangeFault::NotExportable);
}
