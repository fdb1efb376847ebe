// A monkey on the whole program: a seeded random sequence of user actions on
// the real widgets, offscreen. It types any text into any field and leaves it,
// chooses formats and datums (the same one again too), opens the datum list,
// clicks the point, hemisphere and language buttons, loads, saves, imports and
// chooses bitmaps with files of its own (valid, broken, empty, missing) or
// cancels, answers every message box at random, picks points from the map's
// context menu and drags the map, closes and cancels. When "Close" or "Cancel"
// ends the program, the program is started again, as a user would.
//
// After every action: no modal window or pop-up is left open, the dialog's
// state is consistent, and every .CAL file that Save wrote reads back with
// the values the dialog holds and shows. A sanitizer stop or a failed check
// prints the seed, the action's number and the last 20 actions.
//
//     KARTORA_MONKEY_SEED=7 KARTORA_MONKEY_ACTIONS=10000
//         build/debug/tests/robustness/test_robustness_monkey_test
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "app/kartora_app.h"
#include "app/main_frame.h"
#include "mapview/kartora_view.h"
#include "messages/messages.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "robustness_support.h"
#include "shell/message_box_dlg.h"
#include "support/settings_sandbox.h"
#include "view_test_support.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define KARTORA_HAVE_DEATH_CALLBACK 1
#endif

namespace
{

// ---- what a sanitizer stop prints ----------------------------------------------

constexpr std::size_t kRecentCount = 20;
std::deque<std::string> s_recent; ///< the last actions, the newest last
std::uint64_t s_nSeed = 0;
int s_nAction = 0;

std::string RecentActions()
{
    std::string text;
    for (const std::string& action : s_recent)
        text += "  " + action + "\n";
    return text;
}

void PrintRunState()
{
    std::fprintf(stderr, "monkey: seed %llu, action %d; the last actions:\n%s",
                 static_cast<unsigned long long>(s_nSeed), s_nAction, RecentActions().c_str());
}

// ---- the monkey's files -------------------------------------------------------

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

/// Types `text` as key presses into `widget`. Characters beyond ASCII have
/// no key of their own: they arrive as the text of a key event, as from an
/// input method; a character beyond U+FFFF comes as one event.
void TypeKeys(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        const QChar c = text[i];
        if (c.unicode() >= 32 && c.unicode() < 127)
        {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, character, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, character, Qt::NoModifier);
        i += length - 1;
    }
}

/// A path with the default extension added where the name has none, as the
/// file dialog adds it.
QString WithExtension(const QString& path, const QString& extension)
{
    return QFileInfo(path).fileName().contains(QLatin1Char('.')) ? path : path + QLatin1Char('.') + extension;
}

// ---- the monkey ---------------------------------------------------------------

class Monkey : public SettingsTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        s_nSeed = m_nSeed = Parameter("KARTORA_MONKEY_SEED", 1);
        m_nActions = static_cast<int>(Parameter("KARTORA_MONKEY_ACTIONS", 1000));
        m_random.seed(m_nSeed);
#ifdef KARTORA_HAVE_DEATH_CALLBACK
        __sanitizer_set_death_callback(PrintRunState);
#endif
        WriteSamples();
        // An earlier run chose English and found the help file.
        QSettings settings(QStringLiteral("Quarnby Applications"), QStringLiteral("Kartora"));
        settings.setValue(QStringLiteral("Settings/HelpFile"), 1);
        settings.setValue(QStringLiteral("Settings/HelpFilePath"), Path("KartoraENG.hlp"));
        settings.setValue(QStringLiteral("Settings/CalDir"), QString(m_dir.path() + QLatin1Char('/')));
        settings.sync();

        m_files.m_choose = [this](const FileDialogRequest& request) { return ChooseFile(request); };
        SetFileDialogProvider(&m_files);
        m_boxes = std::make_unique<CBoxAnswers>([this](const QString& text, UINT buttons)
                                                { return AnswerBox(text, buttons); });
    }

    void TearDown() override
    {
        m_app.reset();
        m_boxes.reset();
        SetFileDialogProvider(nullptr);
        g_nLanguage = 0;
#ifdef KARTORA_HAVE_DEATH_CALLBACK
        __sanitizer_set_death_callback(nullptr);
#endif
    }

    static std::uint64_t Parameter(const char* name, std::uint64_t byDefault)
    {
        bool ok = false;
        const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
        return ok ? value : byDefault;
    }

    QString Path(const QString& name) const
    {
        return m_dir.filePath(name);
    }
    QString Path(const char* name) const
    {
        return Path(QString::fromUtf8(name));
    }

    void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }

    void WriteSamples()
    {
        for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(KARTORA_HELP_DIR "/") + QLatin1String(name), Path(QLatin1String(name))));
        ASSERT_TRUE(QDir().mkpath(Path("sub")));
        ASSERT_TRUE(QDir().mkpath(Path("folder.CAL"))); // a directory with a file's name

        WriteBytes(Path("valid.CAL"), kValidCal);
        WriteBytes(Path("broken.CAL"), kBrokenCal);
        WriteBytes(Path("nine.CAL"), kNineLinesCal);
        WriteBytes(Path("empty.CAL"), {});
        // A height difference beyond every double: the reader makes it infinite.
        WriteBytes(Path("infinite.CAL"),
                   QByteArray(kValidCal).replace("HEIGHTDIFF:      12.5", "HEIGHTDIFF:      1e400"));
        QByteArray noise;
        for (int i = 0; i < 20000; ++i)
            noise += static_cast<char>((i * 7919) % 251); // NULs, 0xB0, CRs and LFs among them
        WriteBytes(Path("noise.CAL"), noise);

        WriteBytes(Path("valid.TXT"), "47.8595,12.4687\r\n47.8002,-12.5750\r\n");
        WriteBytes(Path("sydney.TXT"), "-33.8568,151.2153,Opera House\n-33.8523,151.2108,Bridge\nignored\n");
        WriteBytes(Path("one.TXT"), "47.1,12.2\n");
        WriteBytes(Path("empty.TXT"), {});
        WriteBytes(Path("junk.TXT"), "abc\ndef,ghi\n");
        WriteBytes(Path("far.TXT"), "1e400,-1e400\n999999,-999999\n");

        WriteFile(Path("map8.bmp"),
                  MakeIndexedBmp(160, 120, 8, kPalette, [](int x, int y) { return (x / 16 + y / 16) % 4; }));
        WriteFile(Path("map4.bmp"), MakeIndexedBmp(90, 70, 4, kPalette, [](int x, int) { return x % 4; }));
        WriteFile(Path("map1.bmp"), MakeIndexedBmp(33, 17, 1, kPalette, [](int x, int y) { return (x + y) % 2; }));
        WriteFile(
            Path("map24.bmp"),
            MakeRgbBmp(64, 48,
                       [](int x, int y) {
                           return BmpColour{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 90};
                       }));
        WriteBytes(Path("text.bmp"), "this is not a bitmap\n");
        const std::vector<std::uint8_t> whole = MakeIndexedBmp(160, 120, 8, kPalette, [](int, int) { return 1; });
        WriteBytes(Path("truncated.bmp"), QByteArray(reinterpret_cast<const char*>(whole.data()), 1100));

        m_loadPool = {QStringLiteral("valid.CAL"),    QStringLiteral("broken.CAL"), QStringLiteral("nine.CAL"),
                      QStringLiteral("infinite.CAL"), QStringLiteral("empty.CAL"),  QStringLiteral("noise.CAL"),
                      QStringLiteral("missing.CAL"),  QStringLiteral("folder.CAL")};
        m_savePool = {QStringLiteral("out1.CAL"),
                      QStringLiteral("out2.CAL"),
                      QStringLiteral("harbour.CAL"),
                      QStringLiteral("harbour"), // the dialog adds ".CAL"
                      QString::fromUtf8("name with blanks \u00E4 \u20AC.CAL"),
                      QStringLiteral("sub/deep.CAL"),
                      QStringLiteral("missing-dir/x.CAL"),
                      QStringLiteral("folder.CAL")};
        m_bmpPool = {QStringLiteral("map8.bmp"),   QStringLiteral("map4.bmp"), QStringLiteral("map1.bmp"),
                     QStringLiteral("map24.bmp"),  QStringLiteral("text.bmp"), QStringLiteral("truncated.bmp"),
                     QStringLiteral("missing.bmp")};
        m_txtPool = {QStringLiteral("valid.TXT"),  QStringLiteral("sydney.TXT"), QStringLiteral("one.TXT"),
                     QStringLiteral("empty.TXT"),  QStringLiteral("junk.TXT"),   QStringLiteral("far.TXT"),
                     QStringLiteral("missing.TXT")};
    }

    // ---- randomness -----------------------------------------------------------

    int Uniform(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool Chance(double p)
    {
        return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < p;
    }
    template <class T> const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Uniform(0, static_cast<int>(items.size()) - 1))];
    }
    QString Pick(const QStringList& items)
    {
        return items[Uniform(0, static_cast<int>(items.size()) - 1)];
    }

    QString Digits(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QLatin1Char(static_cast<char>('0' + Uniform(0, 9)));
        return text;
    }
    QString Decimal(int whole, int decimals)
    {
        return QString::number(Uniform(0, whole)) + QLatin1Char('.') + Digits(decimals);
    }

    /// A text a user might type into field `id`: often a sensible value, as
    /// often anything at all.
    QString RandomText(int id)
    {
        switch (Uniform(0, 11))
        {
        case 0:
        case 1:
        case 2:
            return SensibleText(id);
        case 3:
            return Digits(Uniform(1, 12));
        case 4:
            return (Chance(0.5) ? QStringLiteral("-") : QStringLiteral("+")) + Digits(Uniform(1, 6));
        case 5:
            return Pick(QStringList{QStringLiteral("1e5"), QStringLiteral("1,5"), QStringLiteral("5 0"),
                                    QStringLiteral("--5"), QStringLiteral("."), QStringLiteral("+.5"),
                                    QStringLiteral("1.2.3"), QStringLiteral("0x10"), QStringLiteral("-0"),
                                    QStringLiteral("61"), QStringLiteral("60"), QStringLiteral("-10000.01"),
                                    QStringLiteral("10000.00"), QStringLiteral("59.99995")});
        case 6:
            return Pick(QStringList{QStringLiteral("99999999999"), QStringLiteral("2147483647"),
                                    QStringLiteral("2147483648"), QStringLiteral("-2147483648"),
                                    QStringLiteral("4294967295"), QStringLiteral("99999")});
        case 7:
        {
            QString letters;
            for (int i = Uniform(1, 10); i > 0; --i)
                letters += QLatin1Char(static_cast<char>('a' + Uniform(0, 25)));
            return letters;
        }
        case 8:
            return Pick(QStringList{QStringLiteral(" "), QStringLiteral("   "), QStringLiteral(" 7 "),
                                    QStringLiteral(" harbour ")});
        case 9:
        {
            // Long text of every printable ASCII character.
            QString text;
            for (int i = Uniform(100, 400); i > 0; --i)
                text += QLatin1Char(static_cast<char>(Uniform(32, 126)));
            return text;
        }
        case 10:
            return Pick(QStringList{QString::fromUtf8("\u00E4\u00F6\u00FC\u00DF"), QString::fromUtf8("\u20AC 5"),
                                    QString::fromUtf8("\u65E5\u672C"), QString::fromUtf8("\U0001F600"),
                                    QString::fromUtf8("\u0663\u0664"), QString::fromUtf8("\u03A9 map"),
                                    QString::fromUtf8("caf\u00E9.bmp")});
        default:
            return QString();
        }
    }

    QString SensibleText(int id)
    {
        switch (id)
        {
        case IDC_MAP_NAME:
            return Pick(QStringList{QStringLiteral("harbour"), QStringLiteral("Harbour"), QStringLiteral("map"),
                                    QStringLiteral("harbour.old"), QString::fromUtf8("K\u00FCste")});
        case IDC_BMP_FILE_NAME:
            return Pick(QStringList{QStringLiteral("harbour.bmp"), QStringLiteral("harbour"), QStringLiteral("map.png"),
                                    QStringLiteral("harbour.old.bmp"), QString()});
        case IDC_PIXEL_X:
        case IDC_PIXEL_Y:
            return QString::number(Uniform(0, 2000));
        case IDC_LONG_DEGREE:
            return m_nFormatShown == FORMAT_DEC_DEGREE ? Decimal(180, 6) : QString::number(Uniform(0, 180));
        case IDC_LAT_DEGREE:
            return m_nFormatShown == FORMAT_DEC_DEGREE ? Decimal(89, 6) : QString::number(Uniform(0, 90));
        case IDC_LONG_MINUTE:
        case IDC_LAT_MINUTE:
            return m_nFormatShown == FORMAT_DEC_SECOND ? QString::number(Uniform(0, 59)) : Decimal(59, 4);
        case IDC_LONG_SECOND:
        case IDC_LAT_SECOND:
            return Decimal(59, 2);
        case IDC_EASTING:
            return QString::number(Uniform(160000, 840000));
        case IDC_NORTHING:
            return QString::number(Uniform(0, 9300000));
        case IDC_ZONE:
            return QString::number(Uniform(1, 60));
        default:
            return (Chance(0.3) ? QStringLiteral("-") : QString()) + Decimal(9999, 2);
        }
    }

    // ---- answers to the program's questions ---------------------------------

    std::optional<QString> ChooseFile(const FileDialogRequest& request)
    {
        std::optional<QString> answer;
        const QString ext = request.defaultExt.toUpper();
        if (Chance(0.15))
            answer = std::nullopt;
        else if (ext == QStringLiteral("HLP"))
            answer =
                Chance(0.5) ? std::nullopt : std::optional<QString>(Path(Chance(0.5) ? "KartoraENG.hlp" : "gone.hlp"));
        else if (ext == QStringLiteral("CAL") && request.bOpenFileDialog)
        {
            QStringList pool = m_loadPool;
            for (const QString& clean : m_cleanFiles)
                pool += clean;
            answer = Path(Pick(pool));
            if (m_cleanFiles.count(QFileInfo(*answer).fileName()) != 0 ||
                m_cleanFiles.count(QDir(m_dir.path()).relativeFilePath(*answer)) != 0)
                m_bLoadingClean = true;
        }
        else if (ext == QStringLiteral("CAL"))
        {
            answer = Path(Pick(m_savePool));
            PrepareSave(WithExtension(*answer, QStringLiteral("CAL")));
        }
        else if (ext == QStringLiteral("BMP"))
            answer = Path(Pick(m_bmpPool));
        else if (ext == QStringLiteral("TXT"))
            answer = Path(Pick(m_txtPool));
        Log(QStringLiteral("  file dialog \"%1\" -> %2")
                .arg(request.title, answer ? QDir(m_dir.path()).relativeFilePath(*answer) : QStringLiteral("Cancel")));
        return answer;
    }

    /// Marks a file that Save may overwrite, so that a write shows as a
    /// change even when the new file has the same bytes as the old one.
    void PrepareSave(const QString& path)
    {
        PendingSave pending{path, std::nullopt};
        QFile file(path);
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadWrite | QIODevice::Append))
        {
            file.write("MONKEY MARK " + QByteArray::number(++m_nMarks) + "\r\n");
            file.close();
            file.open(QIODevice::ReadOnly);
            pending.before = file.readAll();
            m_cleanFiles.erase(QDir(m_dir.path()).relativeFilePath(path));
        }
        m_pendingSaves.push_back(pending);
    }

    int AnswerBox(const QString& text, UINT buttons)
    {
        int reply = IDOK;
        if (Chance(0.1))
            reply = 0; // Escape
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            reply = Chance(0.7) ? IDYES : IDNO;
        Log(QStringLiteral("  box \"%1\" -> %2")
                .arg(text, reply == 0       ? QStringLiteral("Escape")
                           : reply == IDYES ? QStringLiteral("Yes")
                           : reply == IDNO  ? QStringLiteral("No")
                                            : QStringLiteral("Ok")));
        return reply;
    }

    // ---- the program --------------------------------------------------------

    void StartProgram()
    {
        g_nLanguage = 0;
        m_app = std::make_unique<CKartoraApp>();
        ASSERT_TRUE(m_app->InitInstance(QStringList{QStringLiteral("kartora")}));
        ASSERT_NE(Dialog(), nullptr);
        m_bEnded = false;
        m_frameWatch = std::make_unique<CloseWatch>(&m_bEnded);
        Frame()->installEventFilter(m_frameWatch.get());
    }

    /// Notes that the main frame closed, which ends the program.
    class CloseWatch final : public QObject
    {
    public:
        explicit CloseWatch(bool* ended) : m_pEnded(ended) {}

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Close)
                *m_pEnded = true;
            return false;
        }

    private:
        bool* m_pEnded;
    };

    CMainFrame* Frame() const
    {
        return m_app->MainFrame();
    }
    CKartoraView* View() const
    {
        return Frame()->GetActiveView();
    }
    CReferenceDlg* Dialog() const
    {
        return qobject_cast<CReferenceDlg*>(m_app->m_pRefDlg.data());
    }

    void Log(const QString& line)
    {
        s_recent.push_back(line.left(300).toStdString());
        while (s_recent.size() > kRecentCount)
            s_recent.pop_front();
    }

    void Fail(const QString& what)
    {
        ADD_FAILURE() << "monkey seed " << m_nSeed << ", action " << s_nAction << ": " << what.toStdString()
                      << "\nthe last actions:\n"
                      << RecentActions();
        m_bStop = true;
    }

    bool ActivateDialog()
    {
        if (ActivateWindow(Dialog()))
            return true;
        Fail(QStringLiteral("the dialog could not be activated"));
        return false;
    }

    // ---- the actions --------------------------------------------------------

    enum Action
    {
        TYPE,
        TYPE_POINT,
        FORMAT,
        DATUM,
        DATUM_LIST,
        POINT_BUTTON,
        HEMISPHERE,
        LANGUAGE,
        LOAD,
        SAVE,
        REF_FROM_MAP,
        SHOW_MAP,
        MAP_MENU,
        MAP_DRAG,
        IMPORT,
        CLOSE,
        CANCEL,
        kActionCount
    };

    static constexpr const char* kActionNames[kActionCount] = {
        "type", "type a point", "format",   "datum",    "datum list", "point button", "hemisphere", "language", "Load",
        "Save", "Ref.from Map", "Show Map", "map menu", "map drag",   "import",       "Close",      "Cancel"};

    // Weights of the actions, out of their sum.
    static constexpr int kWeights[kActionCount] = {28, 12, 7, 5, 2, 6, 5, 2, 5, 9, 4, 2, 8, 2, 3, 3, 1};

    bool Possible(Action action) const
    {
        const bool dialogShown = Dialog()->isVisible();
        switch (action)
        {
        case MAP_MENU:
        case MAP_DRAG:
        case IMPORT:
            return Frame()->isVisible();
        case SHOW_MAP:
            return dialogShown && Dialog()->GetDlgItem(IDC_SHOW_MAP)->isEnabled();
        default:
            return dialogShown;
        }
    }

    Action NextAction()
    {
        std::discrete_distribution<int> pick(std::begin(kWeights), std::end(kWeights));
        for (;;)
        {
            const auto action = static_cast<Action>(pick(m_random));
            if (Possible(action))
                return action;
        }
    }

    /// The visible edit fields of the dialog.
    std::vector<int> VisibleFields() const
    {
        std::vector<int> ids;
        for (int id : {IDC_MAP_NAME, IDC_BMP_FILE_NAME, IDC_PIXEL_X, IDC_PIXEL_Y, IDC_LONG_DEGREE, IDC_LONG_MINUTE,
                       IDC_LONG_SECOND, IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SECOND, IDC_EASTING, IDC_NORTHING,
                       IDC_ZONE, IDC_HEIGHT_DIFF})
            if (QWidget* field = Dialog()->GetDlgItem(id); field != nullptr && field->isVisible())
                ids.push_back(id);
        return ids;
    }

    /// Types `text` into field `id` and leaves it by Tab, by a click
    /// elsewhere, or not at all. Returns the field the keys went to (the
    /// focus may stay in a field whose check failed) when it had the focus
    /// as it was left.
    QLineEdit* TypeInto(int id, const QString& text, int leave)
    {
        if (!ActivateDialog())
            return nullptr;
        auto* field = Dialog()->Item<QLineEdit>(id);
        field->setFocus(Qt::MouseFocusReason);
        // A check that failed as the focus moved shows the error window,
        // which the offscreen platform activates; the user's click into
        // the field activates the dialog again.
        if (!ActivateDialog())
            return nullptr;
        // The focus may stay in a field whose check failed: the keys go there.
        auto* target = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (target == nullptr)
            target = field;
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        TypeKeys(target, text);
        // Only a field that has the focus reports losing it.
        const bool hadFocus = target->hasFocus();
        if (leave == 0)
            QTest::keyClick(target, Qt::Key_Tab);
        else if (leave == 1)
            Dialog()->GetDlgItem(Pick(VisibleFields()))->setFocus(Qt::MouseFocusReason);
        return hadFocus ? target : nullptr;
    }

    void TypeSensiblePoint(int c)
    {
        CReferenceDlg& dlg = *Dialog();
        std::vector<std::pair<int, QString>> values = {
            {IDC_PIXEL_X, QString::number(c == 0 ? Uniform(0, 800) : Uniform(900, 1800))},
            {IDC_PIXEL_Y, QString::number(c == 0 ? Uniform(900, 1500) : Uniform(0, 800))}};
        switch (dlg.m_nFormat)
        {
        case FORMAT_DEC_DEGREE:
            values.push_back(
                {IDC_LONG_DEGREE, QStringLiteral("10.") + QString::number(c * 5 + Uniform(0, 4)) + Digits(5)});
            values.push_back(
                {IDC_LAT_DEGREE, QStringLiteral("53.") + QString::number((1 - c) * 5 + Uniform(0, 4)) + Digits(5)});
            break;
        case FORMAT_DEC_MINUTE:
        case FORMAT_DEC_SECOND:
            values.push_back({IDC_LONG_DEGREE, QStringLiteral("10")});
            values.push_back({IDC_LONG_MINUTE, QString::number(c * 30 + Uniform(0, 29))});
            values.push_back({IDC_LAT_DEGREE, QStringLiteral("53")});
            values.push_back({IDC_LAT_MINUTE, QString::number((1 - c) * 30 + Uniform(0, 29))});
            break;
        default:
            values.push_back(
                {IDC_EASTING, QString::number(c == 0 ? Uniform(500000, 540000) : Uniform(560000, 600000))});
            values.push_back({IDC_ZONE, QStringLiteral("32")});
            values.push_back(
                {IDC_NORTHING, QString::number(c == 0 ? Uniform(5920000, 5940000) : Uniform(5880000, 5900000))});
            break;
        }
        for (const auto& [id, text] : values)
            TypeInto(id, text, 0);
        // East and north, mostly.
        for (int id : {IDC_LONG_SIGN, IDC_LAT_SIGN})
        {
            const QString caption = dlg.GetDlgItemText(id);
            if (dlg.GetDlgItem(id)->isVisible() && (caption == QStringLiteral("W") || caption == QStringLiteral("S")) &&
                Chance(0.8))
                QTest::mouseClick(dlg.Item<QAbstractButton>(id), Qt::LeftButton);
        }
    }

    void Act(Action action)
    {
        CReferenceDlg& dlg = *Dialog();
        m_nFormatShown = dlg.m_nFormat;
        switch (action)
        {
        case TYPE:
        {
            const int id = Pick(VisibleFields());
            const QString text = RandomText(id);
            const int leave = Chance(0.5) ? 0 : Chance(0.7) ? 1 : 2;
            // One arg() call: the typed text may hold "%2" itself.
            Log(QStringLiteral("type \"%1\" into %2, %3")
                    .arg(text, QString::number(id),
                         leave == 0   ? QStringLiteral("Tab")
                         : leave == 1 ? QStringLiteral("click elsewhere")
                                      : QStringLiteral("stay")));
            QLineEdit* typedInto = TypeInto(id, text, leave);
            // Leaving a pixel field moves the map's marker of the point.
            if (typedInto != nullptr && typedInto == dlg.GetDlgItem(id) && leave == 0 &&
                (id == IDC_PIXEL_X || id == IDC_PIXEL_Y))
                m_nMarkerPoint = dlg.m_nCurPoint;
            break;
        }
        case TYPE_POINT:
        {
            // Points that keep the relation of pixels and coordinates (x
            // grows with the longitude, y with the latitude), so that Save
            // gets through its checks now and then: the current point, or
            // both, and sometimes matching names.
            const bool both = Chance(0.7);
            const bool names = Chance(0.3);
            Log(QStringLiteral("type sensible values for %1 in format %2%3")
                    .arg(both ? QStringLiteral("both points") : QStringLiteral("point %1").arg(dlg.m_nCurPoint + 1))
                    .arg(dlg.m_nFormat)
                    .arg(names ? QStringLiteral(" and the names harbour, harbour.bmp") : QString()));
            if (!ActivateDialog())
                break;
            if (names)
            {
                TypeInto(IDC_MAP_NAME, QStringLiteral("harbour"), 0);
                TypeInto(IDC_BMP_FILE_NAME, QStringLiteral("harbour.bmp"), 0);
            }
            const int first = dlg.m_nCurPoint;
            for (int c : both ? std::vector<int>{first, 1 - first} : std::vector<int>{first})
            {
                if (c != dlg.m_nCurPoint)
                    QTest::mouseClick(dlg.Item<QAbstractButton>(c == 0 ? IDC_REF_POINT_1 : IDC_REF_POINT_2),
                                      Qt::LeftButton);
                TypeSensiblePoint(c);
            }
            break;
        }
        case FORMAT:
        {
            const int format = Uniform(0, kFormatCount - 1);
            Log(QStringLiteral("choose format %1 (was %2)").arg(format).arg(dlg.m_nFormat));
            if (ActivateDialog())
                ChooseFromList(dlg, IDC_FORMAT, format);
            break;
        }
        case DATUM:
        {
            const int datum = Uniform(0, kDatumCount - 1);
            Log(QStringLiteral("choose datum %1 (was %2)").arg(datum).arg(dlg.m_nDatum));
            if (ActivateDialog())
                ChooseFromList(dlg, IDC_DATUM, datum);
            break;
        }
        case DATUM_LIST:
        {
            Log(QStringLiteral("open the datum list and close it"));
            if (!ActivateDialog())
                break;
            auto* list = dlg.Item<CDropListCtrl>(IDC_DATUM);
            list->setFocus(Qt::MouseFocusReason);
            list->showPopup();
            if (QWidget* popup = QApplication::activePopupWidget())
                QTest::keyClick(popup, Qt::Key_Escape);
            break;
        }
        case POINT_BUTTON:
        {
            const int id = Chance(0.5) ? IDC_REF_POINT_1 : IDC_REF_POINT_2;
            Log(QStringLiteral("click %1").arg(id));
            if (ActivateDialog())
                QTest::mouseClick(dlg.Item<QAbstractButton>(id), Qt::LeftButton);
            break;
        }
        case HEMISPHERE:
        {
            const int id = dlg.GetDlgItem(IDC_LONG_SIGN)->isVisible() && Chance(0.5) ? IDC_LONG_SIGN : IDC_LAT_SIGN;
            Log(QStringLiteral("click %1 \"%2\"").arg(id).arg(dlg.GetDlgItemText(id)));
            if (ActivateDialog())
                QTest::mouseClick(dlg.Item<QAbstractButton>(id), Qt::LeftButton);
            break;
        }
        case LANGUAGE:
        case LOAD:
        case SAVE:
        case REF_FROM_MAP:
        case SHOW_MAP:
        {
            const int id = action == LANGUAGE   ? IDC_LANGUAGE
                           : action == LOAD     ? IDC_LOAD
                           : action == SAVE     ? IDC_SAVE
                           : action == SHOW_MAP ? IDC_SHOW_MAP
                                                : IDC_REF_FROM_MAP;
            Log(QStringLiteral("click \"%1\"").arg(dlg.GetDlgItemText(id)));
            if (ActivateDialog())
                QTest::mouseClick(dlg.Item<QAbstractButton>(id), Qt::LeftButton);
            break;
        }
        case MAP_MENU:
        {
            const int commands[] = {ID_REF_POINT_1, ID_REF_POINT_2, ID_SHOW_DIALOG, ID_HIDE_DIALOG, ID_HIDE_MAP, 0};
            const int command = commands[Uniform(0, 5)];
            QWidget* client = View()->viewport();
            const QPoint at(Uniform(0, std::max(0, client->width() - 1)),
                            Uniform(0, std::max(0, client->height() - 1)));
            Log(QStringLiteral("right click at %1,%2 (scrolled %3,%4), menu item %5")
                    .arg(at.x())
                    .arg(at.y())
                    .arg(View()->ScrollPosition().x())
                    .arg(View()->ScrollPosition().y())
                    .arg(command));
            if (!ActivateWindow(Frame()))
            {
                Fail(QStringLiteral("the map window could not be activated"));
                break;
            }
            m_boxes->ExpectPopup(
                [command](QWidget* popup)
                {
                    auto* menu = qobject_cast<QMenu*>(popup);
                    QAction* item = nullptr;
                    if (menu != nullptr)
                        for (QAction* candidate : menu->actions())
                            if (candidate->data().toInt() == command && command != 0)
                                item = candidate;
                    if (item != nullptr)
                        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                    // Nothing chosen, or a disabled item (the points without a map): the menu stays open.
                    if (popup->isVisible())
                        QTest::keyClick(popup, Qt::Key_Escape);
                });
            QTest::mouseClick(client, Qt::RightButton, {}, at);
            if (m_boxes->PopupPending())
            {
                m_boxes->ExpectPopup({});
                Fail(QStringLiteral("a right click on the map opened no context menu"));
            }
            break;
        }
        case MAP_DRAG:
        {
            QWidget* client = View()->viewport();
            const QPoint from(Uniform(0, client->width()), Uniform(0, client->height()));
            const QPoint to(Uniform(-50, client->width() + 50), Uniform(-50, client->height() + 50));
            const Qt::KeyboardModifiers modifiers = Chance(0.8) ? Qt::NoModifier : Qt::ShiftModifier;
            Log(QStringLiteral("drag the map from %1,%2 to %3,%4%5")
                    .arg(from.x())
                    .arg(from.y())
                    .arg(to.x())
                    .arg(to.y())
                    .arg(modifiers == Qt::NoModifier ? QString() : QStringLiteral(" with Shift")));
            if (!ActivateWindow(Frame()))
                break;
            QTest::mousePress(client, Qt::LeftButton, modifiers, from);
            QTest::mouseMove(client, to);
            QTest::mouseRelease(client, Qt::LeftButton, modifiers, to);
            break;
        }
        case IMPORT:
        {
            Log(QStringLiteral("menu \"Import Ref.Points\""));
            for (QAction* item : Frame()->menuBar()->findChildren<QAction*>())
                if (item->data().toInt() == ID_IMPORT_REFPOINTS)
                {
                    item->trigger();
                    break;
                }
            break;
        }
        case CLOSE:
        {
            const bool byEnter = Chance(0.5);
            Log(byEnter ? QStringLiteral("Enter in the map name (Close)") : QStringLiteral("click \"Close\""));
            if (!ActivateDialog())
                break;
            if (byEnter)
            {
                dlg.GetDlgItem(IDC_MAP_NAME)->setFocus();
                QWidget* target = QApplication::focusWidget();
                QTest::keyClick(target != nullptr ? target : dlg.GetDlgItem(IDC_MAP_NAME), Qt::Key_Return);
            }
            else
            {
                QTest::mouseClick(dlg.Item<QAbstractButton>(IDOK), Qt::LeftButton);
            }
            break;
        }
        case CANCEL:
        {
            const bool byEscape = Chance(0.5);
            Log(byEscape ? QStringLiteral("Escape (Cancel)") : QStringLiteral("click \"Cancel\""));
            if (!ActivateDialog())
                break;
            if (byEscape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                QTest::mouseClick(dlg.Item<QAbstractButton>(IDCANCEL), Qt::LeftButton);
            break;
        }
        case kActionCount:
            break;
        }
    }

    // ---- the checks after each action ---------------------------------------

    void CheckWindows()
    {
        if (QWidget* modal = QApplication::activeModalWidget())
            Fail(QStringLiteral("a modal window is still open: ") + modal->windowTitle());
        if (QApplication::activePopupWidget() != nullptr)
            Fail(QStringLiteral("a pop-up is still open"));
        if (CMessageBoxDlg::Instance().isVisible())
            Fail(QStringLiteral("the message box is still open"));
        if (!m_boxes->m_strays.isEmpty())
            Fail(QStringLiteral("windows nobody answered: ") + m_boxes->m_strays.join(QStringLiteral(", ")));
    }

    void CheckSaves()
    {
        for (const PendingSave& pending : m_pendingSaves)
        {
            QFile file(pending.path);
            if (!QFileInfo(pending.path).isFile() || !file.open(QIODevice::ReadOnly))
                continue;
            if (pending.before && file.readAll() == *pending.before)
                continue; // not written
            ++m_nSavesWritten;
            const QString name = QDir(m_dir.path()).relativeFilePath(pending.path);
            Log(QStringLiteral("  Save wrote %1; comparing it with what the dialog shows").arg(name));
            const QStringList problems = CompareSavedFile(*Dialog(), pending.path);
            if (!problems.isEmpty())
                Fail(QStringLiteral("%1 does not match the dialog:\n    ").arg(name) +
                     problems.join(QStringLiteral("\n    ")));
            m_cleanFiles.insert(name);
        }
        m_pendingSaves.clear();
        // Nothing but what the monkey made or the program saved may lie in
        // its directories (a temporary file of Save would show here).
        QStringList expected = {QStringLiteral("KartoraDEU.hlp"), QStringLiteral("KartoraENG.hlp")};
        for (const QString& pool : m_loadPool + m_bmpPool + m_txtPool + m_savePool)
            expected += QFileInfo(WithExtension(pool, QStringLiteral("CAL"))).fileName();
        for (const QString& sub : {QStringLiteral(""), QStringLiteral("sub")})
        {
            const QStringList stray = UnexpectedFiles(Path(sub), expected);
            if (!stray.isEmpty())
                Fail(QStringLiteral("files left behind: ") + stray.join(QStringLiteral(", ")));
        }
    }

    /// The marker of point `p` after its pixel field was left: where the
    /// dialog's pixel says (y from the bottom row), or none for a pixel
    /// not above 0.
    void CheckMarker(int p)
    {
        if (!View()->IsBitmapLoaded())
            return;
        ++m_nMarkersChecked;
        const auto x = static_cast<std::int32_t>(Dialog()->m_nPixel[p][0]);
        const auto y = static_cast<std::int32_t>(Dialog()->m_nPixel[p][1]);
        const bool set = x > 0 && y > 0;
        if (View()->IsRefPointSet(p) != set)
            Fail(QStringLiteral("the marker of point %1 is %2 for the pixel %3,%4")
                     .arg(p + 1)
                     .arg(set ? QStringLiteral("missing") : QStringLiteral("shown"))
                     .arg(x)
                     .arg(y));
        else if (set && View()->RefPoint(p) != QPoint(x, View()->BitmapInfo().bmHeight - y))
            Fail(QStringLiteral("the marker of point %1 stands at %2,%3 for the pixel %4,%5 of a map %6 rows high")
                     .arg(p + 1)
                     .arg(View()->RefPoint(p).x())
                     .arg(View()->RefPoint(p).y())
                     .arg(x)
                     .arg(y)
                     .arg(View()->BitmapInfo().bmHeight));
    }

    void CheckDialog()
    {
        CReferenceDlg& dlg = *Dialog();
        if (dlg.m_nFormat < 0 || dlg.m_nFormat >= kFormatCount)
            Fail(QStringLiteral("format %1").arg(dlg.m_nFormat));
        if (dlg.m_nDatum < 0 || dlg.m_nDatum >= kDatumCount)
            Fail(QStringLiteral("datum %1").arg(dlg.m_nDatum));
        if ((dlg.m_nLanguage != 0 && dlg.m_nLanguage != 1) || dlg.m_nLanguage != g_nLanguage)
            Fail(QStringLiteral("language %1, process-wide %2").arg(dlg.m_nLanguage).arg(g_nLanguage));
        if (dlg.m_nCurPoint != 0 && dlg.m_nCurPoint != 1)
            Fail(QStringLiteral("current point %1").arg(dlg.m_nCurPoint));
        if (dlg.Item<CDropListCtrl>(IDC_FORMAT)->currentIndex() != dlg.m_nFormat)
            Fail(QStringLiteral("the format list shows %1, the format is %2")
                     .arg(dlg.Item<CDropListCtrl>(IDC_FORMAT)->currentIndex())
                     .arg(dlg.m_nFormat));
        if (dlg.Converter().GetDatum() != dlg.m_nDatum)
            Fail(QStringLiteral("the converter's datum %1, the dialog's %2")
                     .arg(dlg.Converter().GetDatum())
                     .arg(dlg.m_nDatum));
        if (dlg.Item<QRadioButton>(IDC_REF_POINT_1)->isChecked() != (dlg.m_nCurPoint == 0) ||
            dlg.Item<QRadioButton>(IDC_REF_POINT_2)->isChecked() != (dlg.m_nCurPoint == 1))
            Fail(QStringLiteral("the point buttons do not show point %1").arg(dlg.m_nCurPoint + 1));
        if (dlg.m_nFormat >= 0 && dlg.m_nFormat < kFormatCount)
            for (int i = 0; i < kCoordControlCount; ++i)
                if (dlg.GetDlgItem(g_coordControlIds[i])->isHidden() == g_controlLayout[i][dlg.m_nFormat].bShown)
                    Fail(QStringLiteral("control %1 is laid out for another format").arg(g_coordControlIds[i]));
        if (!dlg.isVisible() && !Frame()->isVisible())
            Fail(QStringLiteral("neither the dialog nor the map window is shown"));
    }

    struct PendingSave
    {
        QString path;
        std::optional<QByteArray> before; ///< nothing: there was no file
    };

    QTemporaryDir m_dir;
    std::uint64_t m_nSeed = 1;
    int m_nActions = 0;
    std::mt19937_64 m_random;
    CChoosingFileDialogs m_files;
    std::unique_ptr<CBoxAnswers> m_boxes;
    std::unique_ptr<CKartoraApp> m_app;
    std::unique_ptr<CloseWatch> m_frameWatch;
    bool m_bEnded = false;
    bool m_bStop = false;
    bool m_bLoadingClean = false;
    int m_nMarkerPoint = -1; ///< the point whose pixel field the action left, or -1
    int m_nFormatShown = FORMAT_DEC_MINUTE;
    int m_nMarks = 0;
    int m_nSavesWritten = 0;
    int m_nMarkersChecked = 0;
    QStringList m_loadPool, m_savePool, m_bmpPool, m_txtPool;
    std::set<QString> m_cleanFiles; ///< files as Save wrote them, relative to m_dir
    std::vector<PendingSave> m_pendingSaves;
};

TEST_F(Monkey, RandomUserActionsKeepTheProgramConsistentAndEverySavedFileReadsBack)
{
    StartProgram();
    std::map<int, int> counts;
    int restarts = 0;
    QElapsedTimer clock;
    clock.start();
    for (s_nAction = 1; s_nAction <= m_nActions && !m_bStop && !HasFatalFailure(); ++s_nAction)
    {
        const Action action = NextAction();
        ++counts[action];
        const qsizetype messagesBefore = m_boxes->m_texts.size();
        m_bLoadingClean = false;
        m_nMarkerPoint = -1;
        Act(action);
        DeliverPosted();
        CheckWindows();
        if (m_nMarkerPoint >= 0 && !m_bEnded)
            CheckMarker(m_nMarkerPoint);
        if (m_bLoadingClean && m_boxes->m_texts.size() != messagesBefore)
            Fail(QStringLiteral("loading a file that Save wrote showed: ") +
                 m_boxes->m_texts.mid(messagesBefore).join(QStringLiteral(" | ")));
        CheckSaves();
        if (m_bStop)
            break;
        if (m_bEnded)
        {
            // The program ended: the user starts it again.
            Log(QStringLiteral("  the program ended; start it again"));
            m_frameWatch.reset();
            m_app.reset();
            StartProgram();
            ++restarts;
            continue;
        }
        CheckDialog();
    }
    QStringList tally;
    for (const auto& [action, count] : counts)
        tally += QStringLiteral("%1 %2").arg(QLatin1String(kActionNames[action])).arg(count);
    std::printf("monkey: seed %llu, %d actions in %.1f s, %d restarts, %d files saved and compared, %lld messages "
                "answered, %zu file dialogs, %d markers checked\n  %s\n",
                static_cast<unsigned long long>(m_nSeed), s_nAction - 1, clock.elapsed() / 1000.0, restarts,
                m_nSavesWritten, static_cast<long long>(m_boxes->m_texts.size()), m_files.m_requests.size(),
                m_nMarkersChecked, tally.join(QStringLiteral(", ")).toUtf8().constData());
}

} // namespace
