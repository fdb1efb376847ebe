// kartora-cli: Kartora's conversions and reference files without a window.

#include <CLI/CLI.hpp>

#include <cctype>
#include <iostream>
#include <sstream>

#include "cli/calibration_commands.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/exchange_commands.h"
#include "cli/map_commands.h"
#include "cli/point_text.h"
#include "cli/reporting.h"
#include "kartora_version.h"
#include "messages/messages.h"
#ifdef KARTORA_MAP_IMAGES
#include "platform/bitmap/map_file_tools.h"
#include "platform/bitmap/map_png.h"
#endif

using namespace cli;

namespace
{

// Accepts a format or datum name and stores its number.
template <class Parse>
CLI::Option* AddName(CLI::App* app, const std::string& flag, std::int32_t& target, Parse parse, CliTextId unknown,
                     const std::string& help)
{
    return app->add_option_function<std::string>(
        flag,
        [&target, parse, flag, unknown](const std::string& name)
        {
            const auto value = parse(name);
            if (!value)
                throw CLI::ValidationError(flag, CliText(unknown, Shown(name, kShownInputBytes)));
            target = *value;
        },
        help);
}

constexpr const char* kFormatHelp = "entry format: deg, dm, dms or utm (or dec.Degree, dec.Minute, dec.Second, UTM)";
constexpr const char* kDatumHelp = "map datum: WGS84, European or Potsdam";

// --lang on the program and on every command, so that it may stand before
// or after the command's name.
void AddLanguageOption(CLI::App* app, std::string& language)
{
    app->add_option("--lang", language, "language of the messages: en or de")
        ->transform(CLI::IsMember({"en", "de"}, CLI::ignore_case)); // "De" becomes "de"
}

// The language asked for, found before the arguments are parsed: the
// parser's own messages about them are to be in that language too.
bool GermanAsked(int argc, char** argv)
{
    bool bGerman = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string value;
        const std::string argument = argv[i];
        if (argument == "--lang" && i + 1 < argc)
            value = argv[++i];
        else if (argument.starts_with("--lang="))
            value = argument.substr(7);
        else
            continue;
        for (char& c : value)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bGerman = value == "de";
    }
    return bGerman;
}

// The command chosen last, e.g. "cal" in "kartora-cli cal frob".
CLI::App* DeepestCommand(CLI::App& app)
{
    CLI::App* command = &app;
    while (!command->get_subcommands().empty())
        command = command->get_subcommands().front();
    return command;
}

// A word where a command's name belongs that names no command: named in the
// message, with the commands there are.
bool ReportUnknownCommand(CLI::App& app, std::ostream& err)
{
    CLI::App* command = DeepestCommand(app);
    const std::vector<std::string> rest = command->remaining();
    if (rest.empty() || rest.front().starts_with("-"))
        return false;
    std::string names;
    for (const CLI::App* sub : command->get_subcommands([](CLI::App*) { return true; }))
        names += (names.empty() ? "" : ", ") + sub->get_name();
    Report(err, rest.front(), CliText(TXT_UNKNOWN_COMMAND, names));
    return true;
}

// The map as PNG for KMZ: only with the Qt layers, whose BMP decoder reads
// every map the desktop program shows.
MapPngEncoder MapPng()
{
#ifdef KARTORA_MAP_IMAGES
    return MapAsPng;
#else
    return {};
#endif
}

// The readers of map images: only with the Qt layers, as MapPng.
MapTools MapImageTools()
{
#ifdef KARTORA_MAP_IMAGES
    return {DescribeMapFile, DeviceBmpOfFile};
#else
    return {};
#endif
}

} // namespace

int main(int argc, char** argv)
{
    // The streams' own buffers: a read error on standard input then shows as
    // one (the C library's shared buffers report it as an end), and a failed
    // write of a result as soon as it happens, with the system's reason.
    std::ios::sync_with_stdio(false);
    // convert flushes its results itself before it reads the next line, so
    // that the flush is checked too.
    std::cin.tie(nullptr);
    g_nLanguage = GermanAsked(argc, argv) ? 0 : 1;

    CLI::App app{"Kartora's coordinate conversions and .CAL reference files on the command line.\n"
                 "Points: deg \"10.5 E 53.25 N\", dm \"10 30 E 53 15 N\", dms \"10 30 0 E 53 15 0 N\",\n"
                 "utm \"32 N 500000 5900000\" (hemisphere letters E or O, W, N, S)."};
    app.set_version_flag("--version", "kartora-cli " KARTORA_VERSION);
    app.require_subcommand(1);
    app.failure_message(
        [](const CLI::App*, const CLI::Error& e)
        { return "kartora-cli: " + std::string(e.what()) + "\nkartora-cli: " + CliText(TXT_RUN_WITH_HELP) + "\n"; });
    std::string language = "en";
    AddLanguageOption(&app, language);

    ConvertOptions convert;
    bool toDatumGiven = false;
    bool toFormatGiven = false;
    CLI::App* convertCommand =
        app.add_subcommand("convert", "convert points between formats and datums (points from stdin when none given)");
    AddLanguageOption(convertCommand, language);
    AddName(convertCommand, "--datum", convert.datum, ParseDatumName, TXT_UNKNOWN_DATUM, kDatumHelp);
    AddName(convertCommand, "--format", convert.format, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);
    AddName(convertCommand, "--to-datum", convert.toDatum, ParseDatumName, TXT_UNKNOWN_DATUM,
            "output datum (default: --datum)")
        ->each([&](const std::string&) { toDatumGiven = true; });
    AddName(convertCommand, "--to-format", convert.toFormat, ParseFormatName, TXT_UNKNOWN_FORMAT,
            "output format (default: --format)")
        ->each([&](const std::string&) { toFormatGiven = true; });
    convertCommand->add_option("points", convert.points, "points, one argument each");

    CLI::App* calCommand = app.add_subcommand("cal", "write, read or check a .CAL reference file");
    calCommand->require_subcommand(1);
    AddLanguageOption(calCommand, language);

    CalWriteOptions write;
    CLI::App* writeCommand = calCommand->add_subcommand("write", "check two points and write a .CAL file (as Save)");
    AddLanguageOption(writeCommand, language);
    writeCommand->add_option("--name", write.mapName, "map name")->required();
    writeCommand->add_option("--bmp", write.bmpFileName, "BMP file name with extension, no directory")->required();
    writeCommand->add_option("--pixel1", write.pixel1, "pixel of point 1: X,Y (Y from the bottom row)")->required();
    writeCommand->add_option("--pixel2", write.pixel2, "pixel of point 2: X,Y")->required();
    writeCommand->add_option("--point1", write.point1, "coordinates of point 1")->required();
    writeCommand->add_option("--point2", write.point2, "coordinates of point 2")->required();
    AddName(writeCommand, "--datum", write.datum, ParseDatumName, TXT_UNKNOWN_DATUM, kDatumHelp);
    AddName(writeCommand, "--format", write.format, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);
    writeCommand->add_option("--height", write.heightDiff, "height difference, -10000 to 10000");
    writeCommand->add_flag("--yes", write.yes, "answer every question Yes (without it: No, exit status 2)");
    writeCommand->add_option("output", write.output, "the .CAL file to write")->required();

    std::string readPath;
    std::int32_t readDatum = 0;
    std::int32_t readFormat = 1;
    CLI::App* readCommand = calCommand->add_subcommand("read", "read a .CAL file (as Load) and print its values");
    AddLanguageOption(readCommand, language);
    readCommand->add_option("file", readPath, "the .CAL file")->required();
    AddName(readCommand, "--datum", readDatum, ParseDatumName, TXT_UNKNOWN_DATUM, kDatumHelp);
    AddName(readCommand, "--format", readFormat, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);

    CalCheckOptions check;
    CLI::App* checkCommand =
        calCommand->add_subcommand("check", "judge a .CAL file: scales, separations, map scale, likely mistakes");
    AddLanguageOption(checkCommand, language);
    checkCommand->add_option("file", check.file, "the .CAL file")->required();
    auto* bmpOption =
        checkCommand->add_option("--bmp", check.bmp, "the map's BMP file (default: its name beside the file)");
    checkCommand->add_option("--size", check.size, "the map's size WxH in pixels instead of a BMP file")
        ->excludes(bmpOption);
    checkCommand->add_option("--dpi", check.dpi, "the scan's resolution (dots per inch), for the map scale");
    checkCommand->add_flag("--json", check.json, "print one JSON object");

    std::string locateFile, locateX, locateY;
    std::int32_t locateDatum = 0;
    std::int32_t locateFormat = 1;
    CLI::App* locateCommand = calCommand->add_subcommand("locate", "the position at a pixel of a .CAL file's map");
    AddLanguageOption(locateCommand, language);
    locateCommand->add_option("file", locateFile, "the .CAL file")->required();
    locateCommand->add_option("x", locateX, "pixel x (decimals allowed)")->required();
    locateCommand->add_option("y", locateY, "pixel y from the bottom row (decimals allowed)")->required();
    AddName(locateCommand, "--to-datum", locateDatum, ParseDatumName, TXT_UNKNOWN_DATUM,
            "output datum (default WGS84)");
    AddName(locateCommand, "--to-format", locateFormat, ParseFormatName, TXT_UNKNOWN_FORMAT,
            "output format (default dm)");

    std::string pixelFile, pixelPoint;
    std::int32_t pixelDatum = 0;
    std::int32_t pixelFormat = 1;
    CLI::App* pixelCommand = calCommand->add_subcommand("pixel", "the pixel of a position on a .CAL file's map");
    AddLanguageOption(pixelCommand, language);
    pixelCommand->add_option("file", pixelFile, "the .CAL file")->required();
    pixelCommand->add_option("point", pixelPoint, "the position in the format's syntax")->required();
    AddName(pixelCommand, "--datum", pixelDatum, ParseDatumName, TXT_UNKNOWN_DATUM, kDatumHelp);
    AddName(pixelCommand, "--format", pixelFormat, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);

    CalFitOptions fit;
    CLI::App* fitCommand = calCommand->add_subcommand(
        "fit", "fit the map to three or more known points and write the two reference points that reproduce the fit");
    AddLanguageOption(fitCommand, language);
    fitCommand->add_option("points", fit.points, "file of known points, one a line: X<TAB>Y<TAB>POINT")->required();
    AddName(fitCommand, "--datum", fit.datum, ParseDatumName, TXT_UNKNOWN_DATUM, kDatumHelp);
    AddName(fitCommand, "--format", fit.format, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);
    auto* fitBmp = fitCommand->add_option("--bmp", fit.bmp, "the map's BMP file (its size and name)");
    fitCommand->add_option("--size", fit.size, "the map's size WxH in pixels instead")->excludes(fitBmp);
    fitCommand->add_option("--name", fit.name, "map name (default: the BMP file's base name)");
    fitCommand->add_option("-o,--output", fit.output, "the .CAL file to write")->required();
    fitCommand->add_flag("--json", fit.json, "print the fit as one JSON object");
    fitCommand->add_flag("--yes", fit.yes, "answer every question Yes (without it: No, exit status 2)");

    CalExportOptions exportOptions;
    CLI::App* exportCommand = calCommand->add_subcommand(
        "export", "write a .CAL file's calibration for other map programs (world file, OziExplorer .map, KML, KMZ, "
                  "GPX)");
    AddLanguageOption(exportCommand, language);
    exportCommand->add_option("file", exportOptions.file, "the .CAL file")->required();
    exportCommand
        ->add_option("--to", exportOptions.to,
                     "worldfile (NAME.bpw and NAME.prj), wld (NAME.wld and NAME.prj), ozi (NAME.map), kml, kmz "
                     "(doc.kml and the map as PNG; only in a build with the Qt layers), gpx")
        ->required()
        ->transform(CLI::IsMember({"worldfile", "wld", "ozi", "kml", "kmz", "gpx"}, CLI::ignore_case));
    exportCommand->add_option("--bmp", exportOptions.bmp, "the map's BMP file (default: its name beside the file)");
    exportCommand->add_option("-o,--output", exportOptions.output,
                              "the file to write (default: beside the map, with the format's extension)");
    exportCommand->add_flag("--yes", exportOptions.yes, "replace existing files (without it: No, exit status 2)");

    CalFromOptions from;
    CLI::App* fromCommand = calCommand->add_subcommand(
        "from", "start a .CAL file from another program's calibration (world file, OziExplorer .map, KML, KMZ)");
    AddLanguageOption(fromCommand, language);
    fromCommand
        ->add_option("source", from.source, "the world file (.bpw .bmpw .wld .tfw .jgw .pgw), .map, .kml or .kmz")
        ->required();
    auto* fromBmp = fromCommand->add_option("--bmp", from.bmp, "the map's BMP file (its size and name)");
    fromCommand->add_option("--size", from.size, "the map's size WxH in pixels instead")->excludes(fromBmp);
    fromCommand->add_option("-o,--output", from.output, "the .CAL file to write")->required();
    fromCommand->add_flag("--yes", from.yes, "answer every question Yes (without it: No, exit status 2)");

    std::string importPath;
    std::int32_t importDatum = 0;
    std::int32_t importFormat = 1;
    CLI::App* importCommand =
        app.add_subcommand("import", "import both points from a MagicMaps text export (lines \"lat,lon\")");
    AddLanguageOption(importCommand, language);
    importCommand->add_option("file", importPath, "the text export")->required();
    AddName(importCommand, "--datum", importDatum, ParseDatumName, TXT_UNKNOWN_DATUM, "datum of the exported numbers");
    AddName(importCommand, "--format", importFormat, ParseFormatName, TXT_UNKNOWN_FORMAT, kFormatHelp);

    CLI::App* mapCommand = app.add_subcommand("map", "map images: what a file is, and the device BMP of any scan");
    mapCommand->require_subcommand(1);
    AddLanguageOption(mapCommand, language);

    std::string infoPath;
    CLI::App* infoCommand = mapCommand->add_subcommand(
        "info", "size, bits per pixel, palette size of a map file, and whether the device reads it");
    AddLanguageOption(infoCommand, language);
    infoCommand->add_option("file", infoPath, "the map: BMP, PNG, JPEG, TIFF or GIF")->required();

    MapConvertOptions mapConvert;
    CLI::App* mapConvertCommand = mapCommand->add_subcommand(
        "convert", "write the device BMP of a scan (BMP, PNG, JPEG, TIFF or GIF); the scan is never changed");
    AddLanguageOption(mapConvertCommand, language);
    mapConvertCommand->add_option("input", mapConvert.input, "the scan")->required();
    mapConvertCommand->add_option("output", mapConvert.output, "the BMP file to write")->required();
    mapConvertCommand
        ->add_option("--bpp", mapConvert.bpp,
                     "bits per pixel: 8 (the best palette of 256 colours, the default), 4 (16 colours) or 24")
        ->check(CLI::IsMember({4, 8, 24}));
    mapConvertCommand->add_flag("--dither", mapConvert.dither, "diffuse the palette's error (4 and 8 bits)");
    mapConvertCommand->add_option("--crop", mapConvert.crop, "keep only X,Y,W,H (pixels, y from the top row)");
    mapConvertCommand->add_flag("--yes", mapConvert.yes, "replace an existing output (without it: No, exit status 2)");

    int status = kExitOk;
    try
    {
        app.parse(argc, argv);
        g_nLanguage = language == "de" ? 0 : 1;
        if (*convertCommand)
        {
            if (!toDatumGiven)
                convert.toDatum = convert.datum;
            if (!toFormatGiven)
                convert.toFormat = convert.format;
            status = RunConvert(convert, std::cin, std::cout, std::cerr);
        }
        else if (*writeCommand)
            status = RunCalWrite(write, std::cout, std::cerr);
        else if (*readCommand)
            status = RunCalRead(readPath, readDatum, readFormat, std::cout, std::cerr);
        else if (*checkCommand)
            status = RunCalCheck(check, std::cout, std::cerr);
        else if (*locateCommand)
            status = RunCalLocate(locateFile, locateX, locateY, locateDatum, locateFormat, std::cout, std::cerr);
        else if (*fitCommand)
            status = RunCalFit(fit, std::cout, std::cerr);
        else if (*exportCommand)
            status = RunCalExport(exportOptions, MapPng(), std::cout, std::cerr);
        else if (*fromCommand)
            status = RunCalFrom(from, std::cout, std::cerr);
        else if (*infoCommand)
            status = RunMapInfo(infoPath, MapImageTools(), std::cout, std::cerr);
        else if (*mapConvertCommand)
            status = RunMapConvert(mapConvert, MapImageTools(), std::cout, std::cerr);
        else if (*pixelCommand)
            status = RunCalPixel(pixelFile, pixelPoint, pixelDatum, pixelFormat, std::cout, std::cerr);
        else
            status = RunImport(importPath, importDatum, importFormat, std::cout, std::cerr);
    }
    catch (const CLI::ParseError& e)
    {
        // Help and version text is a result like any other: its write is checked.
        std::ostringstream text;
        if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr && ReportUnknownCommand(app, std::cerr))
            return e.get_exit_code();
        status = app.exit(e, text, std::cerr);
        if (!text.str().empty() && !Emit(std::cout, std::cerr, text.str()))
            return kExitFailed;
    }
    if (!FlushOutput(std::cout, std::cerr) && status == kExitOk)
        status = kExitFailed;
    return status;
}
