// kartora-cli: Kartora's conversions and reference files without a window.

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"
#include "cli/point_text.h"
#include "messages/messages.h"

namespace
{

// Accepts a format or datum name and stores its number.
template <class Parse>
CLI::Option* AddName(CLI::App* app, const std::string& flag, std::int32_t& target, Parse parse, const std::string& what,
                     const std::string& help)
{
    return app->add_option_function<std::string>(
        flag,
        [&target, parse, what](const std::string& name)
        {
            const auto value = parse(name);
            if (!value)
                throw CLI::ValidationError(what, "unknown " + what + " \"" + name + "\"");
            target = *value;
        },
        help);
}

constexpr const char* kFormatHelp = "entry format: deg, dm, dms or utm (or dec.Degree, dec.Minute, dec.Second, UTM)";
constexpr const char* kDatumHelp = "map datum: WGS84, European or Potsdam";

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Kartora's coordinate conversions and .CAL reference files on the command line.\n"
                 "Points: deg \"10.5 E 53.25 N\", dm \"10 30 E 53 15 N\", dms \"10 30 0 E 53 15 0 N\",\n"
                 "utm \"32 N 500000 5900000\" (hemisphere letters E or O, W, N, S)."};
    app.set_version_flag("--version", "kartora-cli 2.2.9");
    app.require_subcommand(1);
    std::string language = "en";
    app.add_option("--lang", language, "language of the messages: en or de")
        ->transform(CLI::IsMember({"en", "de"}, CLI::ignore_case)); // "De" becomes "de"

    ConvertOptions convert;
    bool toDatumGiven = false;
    bool toFormatGiven = false;
    CLI::App* convertCommand =
        app.add_subcommand("convert", "convert points between formats and datums (points from stdin when none given)");
    AddName(convertCommand, "--datum", convert.datum, ParseDatumName, "datum", kDatumHelp);
    AddName(convertCommand, "--format", convert.format, ParseFormatName, "format", kFormatHelp);
    AddName(convertCommand, "--to-datum", convert.toDatum, ParseDatumName, "datum", "output datum (default: --datum)")
        ->each([&](const std::string&) { toDatumGiven = true; });
    AddName(convertCommand, "--to-format", convert.toFormat, ParseFormatName, "format",
            "output format (default: --format)")
        ->each([&](const std::string&) { toFormatGiven = true; });
    convertCommand->add_option("points", convert.points, "points, one argument each");

    CLI::App* calCommand = app.add_subcommand("cal", "write or read a .CAL reference file");
    calCommand->require_subcommand(1);

    CalWriteOptions write;
    CLI::App* writeCommand = calCommand->add_subcommand("write", "check two points and write a .CAL file (as Save)");
    writeCommand->add_option("--name", write.mapName, "map name")->required();
    writeCommand->add_option("--bmp", write.bmpFileName, "BMP file name with extension, no directory")->required();
    writeCommand->add_option("--pixel1", write.pixel1, "pixel of point 1: X,Y (Y from the bottom row)")->required();
    writeCommand->add_option("--pixel2", write.pixel2, "pixel of point 2: X,Y")->required();
    writeCommand->add_option("--point1", write.point1, "coordinates of point 1")->required();
    writeCommand->add_option("--point2", write.point2, "coordinates of point 2")->required();
    AddName(writeCommand, "--datum", write.datum, ParseDatumName, "datum", kDatumHelp);
    AddName(writeCommand, "--format", write.format, ParseFormatName, "format", kFormatHelp);
    writeCommand->add_option("--height", write.heightDiff, "height difference, -10000 to 10000");
    writeCommand->add_flag("--yes", write.yes, "answer every question Yes (without it: No, exit status 2)");
    writeCommand->add_option("output", write.output, "the .CAL file to write")->required();

    std::string readPath;
    std::int32_t readDatum = 0;
    std::int32_t readFormat = 1;
    CLI::App* readCommand = calCommand->add_subcommand("read", "read a .CAL file (as Load) and print its values");
    readCommand->add_option("file", readPath, "the .CAL file")->required();
    AddName(readCommand, "--datum", readDatum, ParseDatumName, "datum", kDatumHelp);
    AddName(readCommand, "--format", readFormat, ParseFormatName, "format", kFormatHelp);

    std::string importPath;
    std::int32_t importDatum = 0;
    std::int32_t importFormat = 1;
    CLI::App* importCommand =
        app.add_subcommand("import", "import both points from a MagicMaps text export (lines \"lat,lon\")");
    importCommand->add_option("file", importPath, "the text export")->required();
    AddName(importCommand, "--datum", importDatum, ParseDatumName, "datum", "datum of the exported numbers");
    AddName(importCommand, "--format", importFormat, ParseFormatName, "format", kFormatHelp);

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& e)
    {
        return app.exit(e);
    }

    g_nLanguage = language == "de" ? 0 : 1;
    if (*convertCommand)
    {
        if (!toDatumGiven)
            convert.toDatum = convert.datum;
        if (!toFormatGiven)
            convert.toFormat = convert.format;
        return RunConvert(convert, std::cin, std::cout, std::cerr);
    }
    if (*writeCommand)
        return RunCalWrite(write, std::cout, std::cerr);
    if (*readCommand)
        return RunCalRead(readPath, readDatum, readFormat, std::cout, std::cerr);
    return RunImport(importPath, importDatum, importFormat, std::cout, std::cerr);
}
