#include "monkey_files.h"

#include <QDir>
#include <QFile>

#include "view_test_support.h"

namespace
{

const char* const kValidCal = "TYPE:       RASTERMAP\r\n"
                              "NAME:       harbour\r\n"
                              "DATE:       05/03/2009\r\n"
                              "VISIBLE:    YES\r\n"
                              "REFERENCE_POINT: (120,840) ==> (12\xB0"
                              "28.1235'O,47\xB0"
                              "51.5675'N)\r\n"
                              "REFERENCE_POINT: (1530,95) ==> (12\xB0"
                              "34.5000'O,47\xB0"
                              "48.0120'N)\r\n"
                              "HEIGHTDIFF:      12.5\r\n"
                              "PROJECTION:      UTM\r\n"
                              "ELLIPSOID:       WGS84\r\n"
                              "FILENAME:        harbour.bmp\r\n";

// Broken in every way a reference file can be: unknown lines, keywords
// not at the start or in lower case, numbers that are not numbers, values
// far beyond every limit, "E" for east, a third point, LF line ends.
const char* const kBrokenCal = "TYPE:       RASTERMAP\n"
                               "  NAME:       indented\n"
                               "name:       lower case\n"
                               "NAME:\n"
                               "GARBAGE LINE \xB0\xB0\xB0\n"
                               "REFERENCE_POINT: (abc,-1) ==> (999\xB0"
                               "61.5'E,-91\xB0xx'q)\n"
                               "REFERENCE_POINT: (4294967295,2147483648) ==> (2147483647\xB0"
                               "1e308'W,0\xB0"
                               "60.0000'S)\n"
                               "REFERENCE_POINT: (1,2) ==> (3\xB0"
                               "4'O,5\xB0"
                               "6'N)\n"
                               "REFERENCE_TYPE: BILINEAR_GEOGRAPHIC\n"
                               "HEIGHTDIFF:      1e400\n"
                               "HEIGHTDIFF:      -99999.95\n"
                               "FILENAME:        \xE4rger \x80.bmp\n";

const char* const kNineLinesCal = "TYPE:       RASTERMAP\r\n"
                                  "NAME:       nine\r\n"
                                  "DATE:       01/01/2000\r\n"
                                  "VISIBLE:    YES\r\n"
                                  "REFERENCE_POINT: (10,20) ==> (0\xB0"
                                  "0.0000'W,0\xB0"
                                  "0.0000'S)\r\n"
                                  "REFERENCE_POINT: (30,10) ==> (179\xB0"
                                  "59.9995'O,89\xB0"
                                  "59.9995'N)\r\n"
                                  "HEIGHTDIFF:      -10000.0\r\n"
                                  "PROJECTION:      UTM\r\n"
                                  "FILENAME:        nine.bmp\r\n";

const std::vector<BmpColour> kPalette = {{170, 210, 240}, {230, 220, 180}, {40, 40, 40}, {200, 30, 30}};

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool WriteMonkeyFiles(const QString& directory, const QString& helpDir, MonkeyFiles& files)
{
    const auto Path = [&directory](const char* name) { return QDir(directory).filePath(QString::fromUtf8(name)); };
    bool ok = true;
    const auto write = [&ok](const QString& path, const QByteArray& bytes) { ok = WriteBytes(path, bytes) && ok; };
    const auto writeBmp = [&write](const QString& path, const std::vector<std::uint8_t>& bytes)
    { write(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))); };
    for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
        ok = QFile::copy(helpDir + QLatin1Char('/') + QLatin1String(name), Path(name)) && ok;
    ok = QDir().mkpath(Path("sub")) && ok;
    ok = QDir().mkpath(Path("folder.CAL")) && ok; // a directory with a file's name

    write(Path("valid.CAL"), kValidCal);
    write(Path("broken.CAL"), kBrokenCal);
    write(Path("nine.CAL"), kNineLinesCal);
    write(Path("empty.CAL"), {});
    // A height difference beyond every double: the reader makes it infinite.
    write(Path("infinite.CAL"), QByteArray(kValidCal).replace("HEIGHTDIFF:      12.5", "HEIGHTDIFF:      1e400"));
    QByteArray noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>((i * 7919) % 251); // NULs, 0xB0, CRs and LFs among them
    write(Path("noise.CAL"), noise);

    write(Path("valid.TXT"), "47.8595,12.4687\r\n47.8002,-12.5750\r\n");
    write(Path("sydney.TXT"), "-33.8568,151.2153,Opera House\n-33.8523,151.2108,Bridge\nignored\n");
    write(Path("one.TXT"), "47.1,12.2\n");
    write(Path("empty.TXT"), {});
    write(Path("junk.TXT"), "abc\ndef,ghi\n");
    write(Path("far.TXT"), "1e400,-1e400\n999999,-999999\n");

    writeBmp(Path("map8.bmp"),
             MakeIndexedBmp(160, 120, 8, kPalette, [](int x, int y) { return (x / 16 + y / 16) % 4; }));
    writeBmp(Path("map4.bmp"), MakeIndexedBmp(90, 70, 4, kPalette, [](int x, int) { return x % 4; }));
    writeBmp(Path("map1.bmp"), MakeIndexedBmp(33, 17, 1, kPalette, [](int x, int y) { return (x + y) % 2; }));
    writeBmp(Path("map24.bmp"),
             MakeRgbBmp(64, 48,
                        [](int x, int y) {
                            return BmpColour{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 90};
                        }));
    write(Path("text.bmp"), "this is not a bitmap\n");
    const std::vector<std::uint8_t> whole = MakeIndexedBmp(160, 120, 8, kPalette, [](int, int) { return 1; });
    write(Path("truncated.bmp"), QByteArray(reinterpret_cast<const char*>(whole.data()), 1100));

    files.load = {QStringLiteral("valid.CAL"),    QStringLiteral("broken.CAL"), QStringLiteral("nine.CAL"),
                  QStringLiteral("infinite.CAL"), QStringLiteral("empty.CAL"),  QStringLiteral("noise.CAL"),
                  QStringLiteral("missing.CAL"),  QStringLiteral("folder.CAL")};
    files.save = {QStringLiteral("out1.CAL"),
                  QStringLiteral("out2.CAL"),
                  QStringLiteral("harbour.CAL"),
                  QStringLiteral("harbour"), // the dialog adds ".CAL"
                  QString::fromUtf8("name with blanks \u00E4 \u20AC.CAL"),
                  QStringLiteral("sub/deep.CAL"),
                  QStringLiteral("missing-dir/x.CAL"),
                  QStringLiteral("folder.CAL")};
    files.bmp = {QStringLiteral("map8.bmp"),   QStringLiteral("map4.bmp"), QStringLiteral("map1.bmp"),
                 QStringLiteral("map24.bmp"),  QStringLiteral("text.bmp"), QStringLiteral("truncated.bmp"),
                 QStringLiteral("missing.bmp")};
    files.txt = {QStringLiteral("valid.TXT"),  QStringLiteral("sydney.TXT"), QStringLiteral("one.TXT"),
                 QStringLiteral("empty.TXT"),  QStringLiteral("junk.TXT"),   QStringLiteral("far.TXT"),
                 QStringLiteral("missing.TXT")};
    return ok;
}
