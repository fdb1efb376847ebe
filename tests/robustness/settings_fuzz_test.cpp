// Settings that earlier versions or hand edits left behind: the reference
// dialog, and the whole program, started with every value of section
// "Settings" replaced by extreme or malformed ones. Each start must show the
// dialog with what the values mean, run an exchange, format and datum
// switches, help and the language button, and Save must write a file that
// reads back or fail without leaving anything behind. A table of
// combinations runs, then a seeded random sample (KARTORA_SETTINGS_SEED,
// KARTORA_SETTINGS_SAMPLES).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <random>

#include "app/kartora_app.h"
#include "app/main_frame.h"
#include "messages/messages.h"
#include "platform/help.h"
#include "platform/winapp.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "resources/settings_keys.h"
#include "robustness_support.h"
#include "shell/error_message_dlg.h"
#include "support/platform_observers.h"
#include "support/settings_sandbox.h"

namespace
{

enum Entry
{
    CAL_DIR,
    LONGITUDE1,
    LONGITUDE2,
    LATITUDE1,
    LATITUDE2,
    LONG_DEGREE1,
    LONG_DEGREE2,
    LAT_DEGREE1,
    LAT_DEGREE2,
    ERROR_WINDOW_X,
    ERROR_WINDOW_Y,
    HELP_FILE,
    HELP_FILE_PATH,
    kEntryCount
};

const char* const kEntryNames[kEntryCount] = {
    kEntryCalDir,
    kEntryHemisphere[0][0],
    kEntryHemisphere[1][0],
    kEntryHemisphere[0][1],
    kEntryHemisphere[1][1],
    kEntryWholeDegrees[0][0],
    kEntryWholeDegrees[1][0],
    kEntryWholeDegrees[0][1],
    kEntryWholeDegrees[1][1],
    kEntryErrorWindowX,
    kEntryErrorWindowY,
    kEntryHelpFile,
    kEntryHelpFilePath,
};

/// The stored value of each entry; nothing: the entry is absent.
using Settings = std::array<std::optional<QString>, kEntryCount>;

// Paths in the test's own directory, written as these placeholders and
// replaced when the settings are stored.
const QString kPlainFile = QStringLiteral("{plain file}");
const QString kDirectory = QStringLiteral("{directory}");
const QString kMissing = QStringLiteral("{missing file}");
const QString kMissingDirFile = QStringLiteral("{file in missing directory}");
const QString kOddDir = QStringLiteral("{odd directory}");
const QString kNotHtml = QStringLiteral("{help file not HTML}");
const QString kLongText = QString(5000, QLatin1Char('x'));
const QString kLongDigits = QString(300, QLatin1Char('9'));

// Numbers at and beyond every limit, texts that are no whole number, and
// paths of every kind; each may land in any entry.
const QStringList kValues = {
    QStringLiteral("-1"),
    QStringLiteral("0"),
    QStringLiteral("1"),
    QStringLiteral("5"),
    QStringLiteral("-5"),
    QStringLiteral("90"),
    QStringLiteral("91"),
    QStringLiteral("180"),
    QStringLiteral("181"),
    QStringLiteral("99999"),
    QStringLiteral("2147483647"),
    QStringLiteral("-2147483648"),
    QStringLiteral("99999999999"),
    QStringLiteral("abc"),
    QString(),
    QStringLiteral(" 7 "),
    QStringLiteral("1e5"),
    QString::fromUtf8("\u0663"), // ARABIC-INDIC DIGIT THREE
    QStringLiteral("0x10"),
    QStringLiteral("1.5"),
    kLongText,
    kLongDigits,
    kPlainFile,
    kDirectory,
    kMissing,
    kMissingDirFile,
    kOddDir,
    kNotHtml,
};

Settings All(const std::optional<QString>& value)
{
    Settings settings;
    settings.fill(value);
    return settings;
}

/// The stored text as a whole 32-bit number (blanks around an optional "-"
/// and ASCII digits), the rule of the settings for integers.
std::optional<std::int32_t> StoredInt(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    const std::string s = text->trimmed().toStdString();
    if (s.empty() || s.find_first_not_of("-0123456789") != std::string::npos)
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

int ExpectedLanguage(const Settings& s)
{
    return StoredInt(s[HELP_FILE]).value_or(0) == 1 ? 1 : 0;
}

/// What point `p` shows right after the start: its stored whole degrees and
/// hemisphere flags, put through the start's format switch. A point within
/// one turn comes back as magnitude and hemisphere (a flag of 5 reads as
/// west or south, a negative degree as the other hemisphere); a point
/// beyond cannot be expressed and shows the stored values unchanged.
struct ShownPoint
{
    QString degrees[2];
    QString captions[2];
};

ShownPoint ExpectedPoint(const Settings& s, int p, int language)
{
    const Entry degreeEntries[2][2] = {{LONG_DEGREE1, LAT_DEGREE1}, {LONG_DEGREE2, LAT_DEGREE2}};
    const Entry flagEntries[2][2] = {{LONGITUDE1, LATITUDE1}, {LONGITUDE2, LATITUDE2}};
    const std::int32_t defaults[2] = {10, 53};
    std::int32_t degrees[2];
    std::int32_t flags[2];
    double angles[2]; // degrees, signed
    for (int axis = 0; axis < 2; ++axis)
    {
        degrees[axis] = StoredInt(s[degreeEntries[p][axis]]).value_or(defaults[axis]);
        flags[axis] = StoredInt(s[flagEntries[p][axis]]).value_or(0);
        angles[axis] = (flags[axis] != 0 ? -1.0 : 1.0) * degrees[axis];
    }
    const bool bExpressible = std::fabs(angles[0]) < 360.0 && std::fabs(angles[1]) < 360.0;
    ShownPoint shown;
    for (int axis = 0; axis < 2; ++axis)
    {
        const bool bNegative = bExpressible ? angles[axis] < 0.0 : flags[axis] != 0;
        shown.degrees[axis] = bExpressible ? QString::number(std::fabs(angles[axis])) : QString::number(degrees[axis]);
        if (axis == 0)
            shown.captions[0] =
                bNegative ? QStringLiteral("W") : (language == 1 ? QStringLiteral("E") : QStringLiteral("O"));
        else
            shown.captions[1] = bNegative ? QStringLiteral("S") : QStringLiteral("N");
    }
    return shown;
}

/// The message of the first degree field of a shown point that fails its
/// check (integer fields take digits only; 180 and 90 are the limits), in
/// the words of the catalogue.
std::optional<QString> FirstComplaint(const ShownPoint& shown, int language)
{
    const int limits[2] = {180, 90};
    for (int axis = 0; axis < 2; ++axis)
    {
        if (shown.degrees[axis].startsWith(QLatin1Char('-')))
            return language == 1 ? QStringLiteral("Forbidden characters!") : QStringLiteral("Nicht erlaubte Zeichen!");
        if (shown.degrees[axis].toLongLong() > limits[axis])
            return language == 1 ? QStringLiteral("Value too large!") : QString::fromUtf8("Wert zu gro\u00DF!");
    }
    return std::nullopt;
}

QString Describe(const Settings& s)
{
    QStringList parts;
    for (int i = 0; i < kEntryCount; ++i)
    {
        QString value = s[i] ? *s[i] : QStringLiteral("(absent)");
        if (value.size() > 40)
            value = value.left(12) + QStringLiteral("...(%1 characters)").arg(value.size());
        parts += QLatin1String(kEntryNames[i]) + QLatin1Char('=') + value;
    }
    return parts.join(QStringLiteral(", "));
}

class SettingsFuzz : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"help", "maps", "folder", "odd, dir \u00E4 \u20AC #%&;[x]"})
            ASSERT_TRUE(QDir().mkpath(Path(name)));
        for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KARTORA_HELP_DIR "/") + QLatin1String(name),
                                    Path("help/") + QLatin1String(name)));
        WriteBytes(Path("plain.txt"), "a plain file, not a directory\n");
        // A help file that is not HTML: bytes of every value, NULs included.
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += static_cast<char>((i * 37) & 0xFF);
        WriteBytes(Path("help/binary.hlp"), binary);
        m_files.m_choose = [this](const FileDialogRequest& request) -> std::optional<QString>
        {
            if (!request.bOpenFileDialog && request.defaultExt == QStringLiteral("CAL"))
                return m_strSavePath;
            return std::nullopt; // the help file search and anything else: Cancel
        };
        SetFileDialogProvider(&m_files);
        g_nLanguage = 0;
    }
    void TearDown() override
    {
        SetFileDialogProvider(nullptr);
        g_nLanguage = 0;
        if (QTextBrowser* help = HelpWindow())
            help->hide();
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    static void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    /// The placeholders replaced by real paths.
    Settings Resolve(const Settings& s) const
    {
        Settings resolved = s;
        for (std::optional<QString>& value : resolved)
        {
            if (!value)
                continue;
            if (*value == kPlainFile)
                value = Path("plain.txt");
            else if (*value == kDirectory)
                value = Path("folder");
            else if (*value == kMissing)
                value = Path("nothing-here.hlp");
            else if (*value == kMissingDirFile)
                value = Path("gone/away/KartoraENG.hlp");
            else if (*value == kOddDir)
                value = Path("odd, dir \u00E4 \u20AC #%&;[x]") + QLatin1Char('/');
            else if (*value == kNotHtml)
                value = Path("help/binary.hlp");
        }
        return resolved;
    }

    static void Store(const Settings& s)
    {
        QSettings settings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"));
        settings.beginGroup(QStringLiteral("Settings"));
        for (int i = 0; i < kEntryCount; ++i)
            if (s[i])
                settings.setValue(QLatin1String(kEntryNames[i]), *s[i]);
        settings.endGroup();
        settings.sync();
        ASSERT_EQ(settings.status(), QSettings::NoError);
    }

    static QString Setting(const char* entry)
    {
        QSettings settings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"));
        return settings.value(QStringLiteral("Settings/") + QLatin1String(entry), QStringLiteral("(absent)"))
            .toString();
    }

    /// The help-file search dialogs asked for so far.
    int HelpSearches() const
    {
        int count = 0;
        for (const FileDialogRequest& request : m_files.m_requests)
            count += request.defaultExt == QStringLiteral("HLP") ? 1 : 0;
        return count;
    }

    /// Everything a started dialog must do with settings `s`: show what
    /// they mean, check its fields, switch formats and datums, help, Save
    /// (with the coordinates the settings gave, then with typed ones) and
    /// the language button. `programHelp` is the application's help path
    /// before start-up.
    void Exercise(CReferenceDlg& dlg, const Settings& s, const QString& programHelp, int searchesBefore)
    {
        ASSERT_TRUE(ActivateWindow(&dlg)) << "focus-loss handlers need an active dialog";
        const int language = ExpectedLanguage(s);
        EXPECT_EQ(dlg.m_nLanguage, language);
        EXPECT_EQ(g_nLanguage, language);
        EXPECT_EQ(dlg.m_nFormat, FORMAT_DEC_MINUTE);
        EXPECT_EQ(dlg.m_nDatum, DATUM_WGS84);

        // Help: a stored path that is no readable file was searched for
        // (the search cancelled) and left the program's own path in force.
        const QString storedHelp = s[HELP_FILE_PATH].value_or(programHelp);
        const bool bUsable = QFileInfo(storedHelp).isFile();
        EXPECT_EQ(HelpSearches() - searchesBefore, bUsable ? 0 : 1);
        const QString expectedHelp = bUsable ? storedHelp : programHelp;

        // Both points as stored, and the exchange's verdict on point 1.
        const ShownPoint shown[2] = {ExpectedPoint(s, 0, language), ExpectedPoint(s, 1, language)};
        for (int p : {1, 0})
        {
            QTest::mouseClick(dlg.Item<QAbstractButton>(p == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2), Qt::LeftButton);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_LONG_DEGREE), shown[p].degrees[0]) << "point " << p + 1;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_LAT_DEGREE), shown[p].degrees[1]) << "point " << p + 1;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_LONG_MINUTE), QStringLiteral("0.0000"));
            EXPECT_EQ(dlg.GetDlgItemText(IDC_LONG_SIGN), shown[p].captions[0]) << "point " << p + 1;
            EXPECT_EQ(dlg.GetDlgItemText(IDC_LAT_SIGN), shown[p].captions[1]) << "point " << p + 1;
        }
        const std::optional<QString> complaint = FirstComplaint(shown[0], language);
        EXPECT_EQ(dlg.UpdateData(true), !complaint);
        auto& errorWindow = dynamic_cast<CErrorMessageDlg&>(dlg.Converter().ErrorWindow());
        if (complaint)
        {
            EXPECT_TRUE(errorWindow.isVisible()) << "wherever it was stored, the error window shows";
            EXPECT_EQ(errorWindow.Message(), *complaint);
            // Positions a screen can have are used as stored.
            const QPoint stored(StoredInt(s[ERROR_WINDOW_X]).value_or(200), StoredInt(s[ERROR_WINDOW_Y]).value_or(400));
            if (std::abs(static_cast<qint64>(stored.x())) <= 100000 &&
                std::abs(static_cast<qint64>(stored.y())) <= 100000)
            {
                EXPECT_EQ(errorWindow.frameGeometry().topLeft(), stored);
            }
        }
        else
        {
            EXPECT_FALSE(errorWindow.IsErrorShown());
        }

        // Save with the stored coordinates: a file that reads back, or no
        // file and nothing left beside it.
        const QString saveDir = Path("maps");
        m_strSavePath = saveDir + QStringLiteral("/harbour.CAL");
        QFile::remove(m_strSavePath);
        ASSERT_TRUE(EnterText(dlg, IDC_MAP_NAME, QStringLiteral("harbour")));
        const char* const pixels[2][2] = {{"100", "900"}, {"1500", "120"}};
        for (int p = 0; p < 2; ++p)
        {
            QTest::mouseClick(dlg.Item<QAbstractButton>(p == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2), Qt::LeftButton);
            EnterText(dlg, IDC_PIXEL_X, QString::fromLatin1(pixels[p][0]));
            EnterText(dlg, IDC_PIXEL_Y, QString::fromLatin1(pixels[p][1]));
        }
        const std::size_t requestsBefore = m_files.m_requests.size();
        QTest::mouseClick(dlg.Item<QAbstractButton>(IDC_SAVE), Qt::LeftButton);
        if (QFile::exists(m_strSavePath))
        {
            EXPECT_EQ(CompareSavedFile(dlg, m_strSavePath), QStringList());
        }
        else
        {
            EXPECT_EQ(UnexpectedFiles(saveDir, {}), QStringList());
        }

        // Every format and datum; each switch lays the controls out anew.
        for (int format : {FORMAT_DEC_DEGREE, FORMAT_DEC_SECOND, FORMAT_UTM, FORMAT_DEC_MINUTE})
        {
            ChooseFromList(dlg, IDC_FORMAT, format);
            EXPECT_EQ(dlg.m_nFormat, format);
            EXPECT_EQ(dlg.GetDlgItem(IDC_EASTING)->isVisible(), format == FORMAT_UTM);
        }
        for (int datum : {DATUM_EUROPEAN, DATUM_POTSDAM, DATUM_WGS84})
        {
            ChooseFromList(dlg, IDC_DATUM, datum);
            EXPECT_EQ(dlg.m_nDatum, datum);
            EXPECT_EQ(dlg.Converter().GetDatum(), datum);
        }

        // F1 on a field opens the help path in force, whatever the file holds.
        ASSERT_TRUE(ActivateWindow(&dlg));
        dlg.GetDlgItem(IDC_MAP_NAME)->setFocus();
        const int helpCalls = LastHelpRequest().count;
        QTest::keyClick(dlg.GetDlgItem(IDC_MAP_NAME), Qt::Key_F1);
        EXPECT_EQ(LastHelpRequest().count, helpCalls + 1);
        EXPECT_EQ(LastHelpRequest().helpFile, expectedHelp);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_TRUE(HelpWindow()->isVisible());
        HelpWindow()->hide();

        // Save with typed coordinates in the eastern and northern hemisphere.
        ChooseFromList(dlg, IDC_FORMAT, FORMAT_DEC_MINUTE);
        ChooseFromList(dlg, IDC_DATUM, DATUM_WGS84);
        const char* const coordinates[2][4] = {{"10", "30", "53", "33"}, {"10", "45", "53", "26"}};
        for (int p = 0; p < 2; ++p)
        {
            QTest::mouseClick(dlg.Item<QAbstractButton>(p == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2), Qt::LeftButton);
            if (dlg.GetDlgItemText(IDC_LONG_SIGN) == QStringLiteral("W"))
                QTest::mouseClick(dlg.Item<QAbstractButton>(IDC_LONG_SIGN), Qt::LeftButton);
            if (dlg.GetDlgItemText(IDC_LAT_SIGN) == QStringLiteral("S"))
                QTest::mouseClick(dlg.Item<QAbstractButton>(IDC_LAT_SIGN), Qt::LeftButton);
            const int ids[4] = {IDC_LONG_DEGREE, IDC_LONG_MINUTE, IDC_LAT_DEGREE, IDC_LAT_MINUTE};
            for (int i = 0; i < 4; ++i)
                EnterText(dlg, ids[i], QString::fromLatin1(coordinates[p][i]));
        }
        QTest::mouseClick(dlg.Item<QAbstractButton>(IDC_SAVE), Qt::LeftButton);
        ASSERT_TRUE(QFile::exists(m_strSavePath)) << "typed valid points are saved";
        const CalReadBack file = ReadBack(m_strSavePath);
        const QList<QByteArray> lines = file.bytes.split('\n');
        ASSERT_GE(lines.size(), 6);
        EXPECT_EQ(lines[4], QByteArray("REFERENCE_POINT: (100,900) ==> (10\xB0"
                                       "30.0000'O,53\xB0"
                                       "33.0000'N)\r"));
        EXPECT_EQ(lines[5], QByteArray("REFERENCE_POINT: (1500,120) ==> (10\xB0"
                                       "45.0000'O,53\xB0"
                                       "26.0000'N)\r"));
        EXPECT_EQ(CompareSavedFile(dlg, m_strSavePath), QStringList());
        EXPECT_EQ(UnexpectedFiles(saveDir, {QStringLiteral("harbour.CAL")}), QStringList());
        // The dialog that the first Save opened started where CalDir said.
        ASSERT_GT(m_files.m_requests.size(), requestsBefore);
        const QString defaultDir = QDir::toNativeSeparators(QDir::homePath() + u'/');
        EXPECT_EQ(m_files.m_requests[requestsBefore].initialDir, s[CAL_DIR].value_or(defaultDir));
        // A successful Save stores sane values over the malformed ones.
        EXPECT_EQ(Setting("CalDir"), QDir::toNativeSeparators(saveDir + u'/'));
        EXPECT_EQ(Setting("LongDegree2"), QStringLiteral("10"));
        EXPECT_EQ(Setting("Latitude1"), QStringLiteral("0"));
        EXPECT_EQ(Setting("HelpFile"), QString::number(language));

        // The language button switches between the two languages only.
        QTest::mouseClick(dlg.Item<QAbstractButton>(IDC_LANGUAGE), Qt::LeftButton);
        EXPECT_EQ(dlg.m_nLanguage, 1 - language);
        EXPECT_EQ(g_nLanguage, 1 - language);
    }

    /// The combinations of the table, then `samples` random ones from `seed`.
    static std::vector<std::pair<QString, Settings>> Combinations(std::uint64_t seed, int samples)
    {
        std::vector<std::pair<QString, Settings>> rows;
        rows.emplace_back(QStringLiteral("nothing stored"), All(std::nullopt));
        {
            Settings s = All(QStringLiteral("5"));
            s[LONG_DEGREE1] = s[LAT_DEGREE1] = s[LONG_DEGREE2] = s[LAT_DEGREE2] = QStringLiteral("99999");
            s[ERROR_WINDOW_X] = s[ERROR_WINDOW_Y] = QStringLiteral("99999");
            s[CAL_DIR] = kPlainFile;
            s[HELP_FILE_PATH] = kDirectory;
            rows.emplace_back(QStringLiteral("flags 5, degrees 99999, window far off, CalDir a file, help a directory"),
                              s);
        }
        {
            Settings s = All(QStringLiteral("-1"));
            s[LONG_DEGREE1] = s[LAT_DEGREE2] = QStringLiteral("-5");
            s[ERROR_WINDOW_X] = s[ERROR_WINDOW_Y] = QStringLiteral("-2147483648");
            s[CAL_DIR] = kMissing;
            s[HELP_FILE_PATH] = kMissingDirFile;
            rows.emplace_back(QStringLiteral("negative values, missing CalDir and help directory"), s);
        }
        {
            Settings s = All(QStringLiteral("1"));
            s[LONG_DEGREE1] = QStringLiteral("180");
            s[LAT_DEGREE1] = QStringLiteral("90");
            s[LONG_DEGREE2] = QStringLiteral("181");
            s[LAT_DEGREE2] = QStringLiteral("91");
            s[ERROR_WINDOW_X] = s[ERROR_WINDOW_Y] = QStringLiteral("0");
            s[CAL_DIR] = kOddDir;
            s[HELP_FILE_PATH] = kNotHtml;
            rows.emplace_back(QStringLiteral("limits and one beyond, odd CalDir, help file not HTML, English"), s);
        }
        // Degrees that pass the relation test of Save (x grows with the
        // longitude, y with the latitude): beyond their limits, and beyond a
        // whole turn.
        for (const char* beyond : {"200", "99999"})
        {
            Settings s = All(std::nullopt);
            s[LONG_DEGREE1] = s[LAT_DEGREE2] = QStringLiteral("5");
            s[LONG_DEGREE2] = s[LAT_DEGREE1] = QString::fromLatin1(beyond);
            rows.emplace_back(QStringLiteral("degrees ") + QLatin1String(beyond) + QStringLiteral(" that Save accepts"),
                              s);
        }
        for (const QString& value : kValues)
            rows.emplace_back(QStringLiteral("every value ") +
                                  (value.size() > 20 ? value.left(8) + QStringLiteral("...") : value),
                              All(value));

        std::mt19937_64 random(seed);
        std::uniform_int_distribution<int> pick(0, static_cast<int>(kValues.size())); // the last: absent
        for (int i = 0; i < samples; ++i)
        {
            Settings s;
            for (std::optional<QString>& value : s)
            {
                const int k = pick(random);
                value = k < kValues.size() ? std::optional<QString>(kValues[k]) : std::nullopt;
            }
            rows.emplace_back(QStringLiteral("random %1 of seed %2").arg(i).arg(seed), s);
        }
        return rows;
    }

    static std::uint64_t Seed()
    {
        bool ok = false;
        const qulonglong seed = qEnvironmentVariable("KARTORA_SETTINGS_SEED").toULongLong(&ok);
        return ok ? seed : 20240601u;
    }
    static int Samples(int byDefault)
    {
        bool ok = false;
        const int samples = qEnvironmentVariableIntValue("KARTORA_SETTINGS_SAMPLES", &ok);
        return ok ? samples : byDefault;
    }

    QTemporaryDir m_dir;
    CChoosingFileDialogs m_files;
    QString m_strSavePath;
    QObject m_view; ///< the map view's place: receives and drops the dialog's messages
};

TEST_F(SettingsFuzz, TheDialogStartsShowsAndSavesWhateverTheSettingsHold)
{
    for (const auto& [name, raw] : Combinations(Seed(), Samples(12)))
    {
        const Settings s = Resolve(raw);
        SCOPED_TRACE(name.toStdString() + ": " + Describe(s).toStdString());
        ScopedSettingsDir sandbox;
        Store(s);
        CWinApp app(QStringLiteral("Kartora"));
        app.SetRegistryKey(QStringLiteral("Quarnby Applications"));
        app.m_pszHelpFilePath = Path("help/KartoraENG.hlp"); // the program's own help file
        g_nLanguage = 0;
        CBoxAnswers boxes(AnswerYesOrOk);
        const int searches = HelpSearches();
        auto dlg = std::make_unique<CReferenceDlg>(&m_view);
        Exercise(*dlg, s, app.m_pszHelpFilePath, searches);
        dlg.reset();
        EXPECT_EQ(boxes.m_strays, QStringList());
        if (HasFatalFailure())
            return;
    }
}

TEST_F(SettingsFuzz, TheProgramStartsWithFrameViewAndDialogWhateverTheSettingsHold)
{
    for (const auto& [name, raw] : Combinations(Seed() + 1, Samples(6)))
    {
        const Settings s = Resolve(raw);
        SCOPED_TRACE(name.toStdString() + ": " + Describe(s).toStdString());
        ScopedSettingsDir sandbox;
        Store(s);
        g_nLanguage = 0;
        CBoxAnswers boxes(AnswerYesOrOk);
        auto app = std::make_unique<CKartoraApp>();
        // The program's own help file: beside the test program, so missing.
        const QString programHelp = app->m_pszHelpFilePath;
        const int searches = HelpSearches();
        ASSERT_TRUE(app->InitInstance(QStringList{QStringLiteral("kartora")}));
        auto* dlg = qobject_cast<CReferenceDlg*>(app->m_pRefDlg.data());
        ASSERT_NE(dlg, nullptr);
        ASSERT_NE(app->MainFrame(), nullptr);
        EXPECT_TRUE(app->MainFrame()->isVisible());
        EXPECT_NE(app->MainFrame()->GetActiveView(), nullptr);
        Exercise(*dlg, s, programHelp, searches);

        // "Cancel" ends the program and writes nothing.
        const QString calDir = Setting("CalDir");
        QTest::mouseClick(dlg->Item<QAbstractButton>(IDCANCEL), Qt::LeftButton);
        EXPECT_FALSE(app->MainFrame()->isVisible());
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(Setting("CalDir"), calDir);
        app.reset();
        EXPECT_EQ(boxes.m_strays, QStringList());
        if (HasFatalFailure())
            return;
    }
}

} // namespace
