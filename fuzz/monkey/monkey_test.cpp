// A monkey on the whole program: a seeded random sequence of user actions on
// the real widgets, offscreen. It types any text into any field and leaves it,
// types whole points (sensible ones, and ones whose values pass every field
// check but lie at or beyond the edge of what the conversion accepts), chooses
// formats and datums, opens the datum list, clicks the point, hemisphere and
// language buttons, loads, saves, imports and chooses bitmaps with files of
// its own (valid, broken, empty, missing) or cancels, answers every message
// box at random (Escape included), picks points from the map's context menu
// and drags the map, and ends the program every way a user can: "Close",
// "Cancel", the dialog's and the map window's close boxes, File > Exit and the
// desktop's logout. When the program ends, it is started again.
//
// After every action:
//  - no modal window or pop-up is left open and the dialog's state is
//    consistent;
//  - every .CAL file that Save wrote holds, for both points, the WGS84
//    position that the fields showed at the moment of Save give when
//    converted independently of the dialog (expected_file.h), and reads back
//    with the values the dialog shows;
//  - a Save that was declined or failed left an existing file byte for byte;
//  - the program did not end while it held changes that were neither saved
//    nor thrown away with "Cancel" (or the dialog's close box, which is
//    "Cancel") and a Yes to its question.
// A violation, or a sanitizer that stops the process, prints the seed and the
// actions to repeat it (action_log.h).
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
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "action_log.h"
#include "app/kartora_app.h"
#include "app/main_frame.h"
#include "conversion/numeric_text.h"
#include "expected_file.h"
#include "mapview/kartora_view.h"
#include "messages/messages.h"
#include "monkey_files.h"
#include "monkey_texts.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "robustness_support.h"
#include "shell/message_box_dlg.h"
#include "support/settings_sandbox.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>

#define KARTORA_HAVE_DEATH_CALLBACK 1
#endif

using namespace conversion;

namespace
{

void PrintReproduction()
{
    std::fprintf(stderr, "%s", monkey_log::Reproduction().c_str());
}

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

/// Notes that the program ends: its main frame accepts being closed.
class CloseWatch final : public QObject
{
public:
    explicit CloseWatch(bool* ended) : m_pEnded(ended) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        // Delivered here, so that the frame's answer can be seen.
        watched->event(event);
        if (event->isAccepted())
            *m_pEnded = true;
        return true;
    }

private:
    bool* m_pEnded;
};

// The edit fields of the reference dialog.
constexpr int kEditIds[] = {IDC_MAP_NAME,    IDC_BMP_FILE_NAME, IDC_PIXEL_X,    IDC_PIXEL_Y,    IDC_LONG_DEGREE,
                            IDC_LONG_MINUTE, IDC_LONG_SECOND,   IDC_LAT_DEGREE, IDC_LAT_MINUTE, IDC_LAT_SECOND,
                            IDC_EASTING,     IDC_NORTHING,      IDC_ZONE,       IDC_HEIGHT_DIFF};

/// What the dialog holds for the user: both points' data, the names and the
/// height difference, and with `withTexts` the texts of the fields, where
/// typing shows before it is taken. A change by the user's own action is
/// work that must not be lost.
QByteArray HeldData(CReferenceDlg& dlg, bool withTexts)
{
    QByteArray data;
    const auto add = [&data](const auto& member)
    { data.append(reinterpret_cast<const char*>(&member), sizeof member); };
    add(dlg.m_nHemisphere);
    add(dlg.m_nPixel);
    add(dlg.m_nDegree);
    add(dlg.m_dDegree);
    add(dlg.m_nMinute);
    add(dlg.m_dMinute);
    add(dlg.m_dSecond);
    add(dlg.m_nUtm);
    add(dlg.m_nZone);
    add(dlg.m_dHeightDiff);
    data += (dlg.m_strMapName + u'\n' + dlg.m_strBmpFileName).toUtf8();
    if (withTexts)
        for (int id : kEditIds)
            data += '\n' + dlg.GetDlgItemText(id).toUtf8();
    return data;
}

/// The coordinate fields as they stand: the current point's texts as shown,
/// the other point's as the dialog shows them once the user selects it.
ShownEntry ShownNow(CReferenceDlg& dlg)
{
    ShownEntry shown;
    shown.format = dlg.m_nFormat;
    shown.datum = dlg.m_nDatum;
    shown.heightDiff = dlg.GetDlgItemText(IDC_HEIGHT_DIFF).toStdString();
    for (int p = 0; p < 2; ++p)
    {
        ShownPoint& point = shown.point[p];
        if (p == dlg.m_nCurPoint)
        {
            const auto text = [&dlg](int id) { return dlg.GetDlgItemText(id).toStdString(); };
            point.pixel[0] = text(IDC_PIXEL_X);
            point.pixel[1] = text(IDC_PIXEL_Y);
            point.degrees[0] = text(IDC_LONG_DEGREE);
            point.degrees[1] = text(IDC_LAT_DEGREE);
            point.minutes[0] = text(IDC_LONG_MINUTE);
            point.minutes[1] = text(IDC_LAT_MINUTE);
            point.seconds[0] = text(IDC_LONG_SECOND);
            point.seconds[1] = text(IDC_LAT_SECOND);
            point.utm[0] = text(IDC_EASTING);
            point.utm[1] = text(IDC_NORTHING);
            point.zone = text(IDC_ZONE);
            point.hemisphere[0] = text(IDC_LONG_SIGN) == "W" ? 1 : 0;
            point.hemisphere[1] = text(IDC_LAT_SIGN) == "S" ? 1 : 0;
            continue;
        }
        for (int axis = 0; axis < 2; ++axis)
        {
            point.pixel[axis] = FormatInt(static_cast<std::int32_t>(dlg.m_nPixel[p][axis]));
            point.degrees[axis] = shown.format == FORMAT_DEC_DEGREE
                                      ? FormatFixed(dlg.m_dDegree[p][axis], kDegreeDecimals)
                                      : FormatInt(dlg.m_nDegree[p][axis]);
            point.minutes[axis] = shown.format == FORMAT_DEC_MINUTE
                                      ? FormatFixed(dlg.m_dMinute[p][axis], kMinuteDecimals)
                                      : FormatInt(dlg.m_nMinute[p][axis]);
            point.seconds[axis] = FormatFixed(dlg.m_dSecond[p][axis], kSecondDecimals);
            point.utm[axis] = FormatInt(dlg.m_nUtm[p][axis]);
            point.hemisphere[axis] = dlg.m_nHemisphere[p][axis] != 0 ? 1 : 0;
        }
        point.zone = FormatInt(dlg.m_nZone[p]);
    }
    return shown;
}

// ---- the monkey ---------------------------------------------------------------

class Monkey : public SettingsTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_nSeed = Parameter("KARTORA_MONKEY_SEED", 1);
        m_nActions = static_cast<int>(Parameter("KARTORA_MONKEY_ACTIONS", 1000));
        m_dice = std::make_unique<CDice>(m_nSeed);
        m_texts = std::make_unique<CMonkeyTexts>(*m_dice);
        monkey_log::Begin(m_nSeed, QCoreApplication::applicationFilePath().toStdString());
#ifdef KARTORA_HAVE_DEATH_CALLBACK
        __sanitizer_set_death_callback(PrintReproduction);
#endif
        ASSERT_TRUE(WriteMonkeyFiles(m_dir.path(), QStringLiteral(KARTORA_HELP_DIR), m_pools));
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
    QString Relative(const QString& path) const
    {
        return QDir(m_dir.path()).relativeFilePath(path);
    }

    // ---- answers to the program's questions ---------------------------------

    std::optional<QString> ChooseFile(const FileDialogRequest& request)
    {
        std::optional<QString> answer;
        const QString ext = request.defaultExt.toUpper();
        // Cancel and Escape close a file dialog alike.
        if (m_dice->Chance(0.15))
            answer = std::nullopt;
        else if (ext == QStringLiteral("HLP"))
            answer = m_dice->Chance(0.5)
                         ? std::nullopt
                         : std::optional<QString>(Path(m_dice->Chance(0.5) ? "KartoraENG.hlp" : "gone.hlp"));
        else if (ext == QStringLiteral("CAL") && request.bOpenFileDialog)
        {
            QStringList pool = m_pools.load;
            for (const QString& clean : m_cleanFiles)
                pool += clean;
            answer = Path(m_dice->Pick(pool));
            if (m_cleanFiles.count(QFileInfo(*answer).fileName()) != 0 || m_cleanFiles.count(Relative(*answer)) != 0)
                m_bLoadingClean = true;
        }
        else if (ext == QStringLiteral("CAL"))
        {
            // The oracle took the fields as a Save action began.
            if (!MaySave(m_action))
                Fail(QStringLiteral("Save ran during \"%1\"").arg(QLatin1String(kActionNames[m_action])));
            answer = Path(m_dice->Pick(m_pools.save));
            PrepareSave(WithExtension(*answer, QStringLiteral("CAL")));
        }
        else if (ext == QStringLiteral("BMP"))
            answer = Path(m_dice->Pick(m_pools.bmp));
        else if (ext == QStringLiteral("TXT"))
            answer = Path(m_dice->Pick(m_pools.txt));
        Note(QStringLiteral("file dialog \"%1\" -> %2")
                 .arg(request.title, answer ? Relative(*answer) : QStringLiteral("Cancel")));
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
            m_cleanFiles.erase(Relative(path));
        }
        m_pendingSaves.push_back(pending);
    }

    int AnswerBox(const QString& text, UINT buttons)
    {
        const bool question = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
        int reply = IDOK;
        if (m_dice->Chance(question ? 0.2 : 0.1))
            reply = 0; // Escape
        else if (question)
            reply = m_dice->Chance(0.7) ? IDYES : IDNO;
        const QString answer = reply == 0       ? QStringLiteral("Escape")
                               : reply == IDYES ? QStringLiteral("Yes")
                               : reply == IDNO  ? QStringLiteral("No")
                                                : QStringLiteral("Ok");
        Note(QStringLiteral("box \"%1\" -> %2").arg(text, answer));
        // In a Save, every box but a question answered Yes stops it: a
        // question declined, a wrong relation, a file not written.
        if (reply != IDYES && m_saveStopped.isEmpty())
            m_saveStopped = QStringLiteral("\"%1\" answered %2").arg(text, answer);
        // Cancel discards changes only when the user confirms it.
        m_bConfirmed = m_bConfirmed || reply == IDYES;
        if (reply == IDYES)
            NoteDeviceBmp(text);
        return reply;
    }

    // A map the device cannot read is written as a BMP beside it when the
    // user agrees: the name the question offers may then lie in the folder.
    void NoteDeviceBmp(const QString& text)
    {
        for (const QString& pool : m_pools.bmp)
        {
            const QString title = QFileInfo(pool).completeBaseName();
            for (int n = 1; n <= 20; ++n)
            {
                const QString name = n == 1 ? title + QStringLiteral(".bmp") : title + QStringLiteral("-%1.bmp").arg(n);
                if (text == QString::fromUtf8(GetMessageText(MSG_WRITE_DEVICE_BMP, name.toUtf8().constData())))
                    m_deviceBmps.insert(name);
            }
        }
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
        m_bUnsaved = false;
        m_changedBy.clear();
        monkey_log::ProgramStarted();
    }

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
        monkey_log::Action(m_nAction, line.toStdString());
    }
    void Note(const QString& line)
    {
        monkey_log::Note(line.toStdString());
    }

    void Fail(const QString& what)
    {
        ADD_FAILURE() << "monkey seed " << m_nSeed << ", action " << m_nAction << ": " << what.toStdString() << "\n"
                      << monkey_log::Reproduction();
        m_bStop = true;
    }

    bool ActivateDialog()
    {
        if (ActivateWindow(Dialog()))
            return true;
        Fail(QStringLiteral("the dialog could not be activated"));
        return false;
    }

    /// Triggers the map window's menu command `id` as a click on it does.
    void MenuCommand(int id)
    {
        for (QAction* item : Frame()->menuBar()->findChildren<QAction*>())
            if (item->data().toInt() == id)
            {
                item->trigger();
                return;
            }
        Fail(QStringLiteral("the map window has no menu command %1").arg(id));
    }

    // ---- the actions --------------------------------------------------------

    enum Action
    {
        TYPE,
        TYPE_POINT,
        TYPE_EDGE,
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
        DIALOG_CLOSE_BOX,
        FRAME_CLOSE_BOX,
        FRAME_EXIT,
        LOGOUT,
        kActionCount
    };

    static constexpr const char* kActionNames[kActionCount] = {"type",
                                                               "type a point",
                                                               "type an edge point",
                                                               "format",
                                                               "datum",
                                                               "datum list",
                                                               "point",
                                                               "hemisphere",
                                                               "language",
                                                               "Load",
                                                               "Save",
                                                               "Ref.from Map",
                                                               "Show Map",
                                                               "map menu",
                                                               "map drag",
                                                               "import",
                                                               "Close",
                                                               "Cancel",
                                                               "dialog's close box",
                                                               "map window's close box",
                                                               "Exit",
                                                               "logout"};

    // Weights of the actions, out of their sum.
    static constexpr int kWeights[kActionCount] = {28, 10, 5, 7, 5, 2, 6, 5, 2, 5, 10, 4, 2, 8, 2, 3, 3, 1, 1, 2, 1, 1};

    /// Actions that may run Save, and those that throw the changes away
    /// once the user confirms it.
    static bool MaySave(Action action)
    {
        return action == SAVE || action == CLOSE || action == FRAME_CLOSE_BOX || action == FRAME_EXIT ||
               action == LOGOUT;
    }
    static bool Discards(Action action)
    {
        return action == CANCEL || action == DIALOG_CLOSE_BOX;
    }
    /// Actions that change the data by the user's hand; typing counts
    /// already when only a field's text changed.
    static bool Edits(Action action)
    {
        return action == TYPE || action == TYPE_POINT || action == TYPE_EDGE || action == HEMISPHERE ||
               action == MAP_MENU || action == IMPORT;
    }
    static bool Types(Action action)
    {
        return action == TYPE || action == TYPE_POINT || action == TYPE_EDGE;
    }

    bool Possible(Action action) const
    {
        const bool dialogShown = Dialog()->isVisible();
        switch (action)
        {
        case MAP_MENU:
        case MAP_DRAG:
        case IMPORT:
        case FRAME_CLOSE_BOX:
        case FRAME_EXIT:
            return Frame()->isVisible();
        case SHOW_MAP:
            return dialogShown && Dialog()->GetDlgItem(IDC_SHOW_MAP)->isEnabled();
        case LOGOUT:
            return true;
        default:
            return dialogShown;
        }
    }

    Action NextAction()
    {
        std::discrete_distribution<int> pick(std::begin(kWeights), std::end(kWeights));
        for (;;)
        {
            const auto action = static_cast<Action>(pick(m_dice->Engine()));
            if (Possible(action))
                return action;
        }
    }

    /// The visible edit fields of the dialog.
    std::vector<int> VisibleFields() const
    {
        std::vector<int> ids;
        for (int id : kEditIds)
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
            Dialog()->GetDlgItem(m_dice->Pick(VisibleFields()))->setFocus(Qt::MouseFocusReason);
        return hadFocus ? target : nullptr;
    }

    /// Types the fields of `typing` that the format shows, each left by Tab,
    /// then sets the hemispheres with their buttons.
    void TypePoint(const PointTyping& typing)
    {
        CReferenceDlg& dlg = *Dialog();
        for (const auto& [id, text] : typing.fields)
            if (dlg.GetDlgItem(id)->isVisible())
            {
                Note(QStringLiteral("\"%1\" into %2").arg(text, QString::number(id)));
                TypeInto(id, text, 0);
            }
        const int buttons[2] = {IDC_LONG_SIGN, IDC_LAT_SIGN};
        for (int axis = 0; axis < 2; ++axis)
        {
            const QString caption = dlg.GetDlgItemText(buttons[axis]);
            const int flag = caption == QStringLiteral("W") || caption == QStringLiteral("S") ? 1 : 0;
            if (typing.hemisphere[axis] >= 0 && typing.hemisphere[axis] != flag &&
                dlg.GetDlgItem(buttons[axis])->isVisible())
            {
                Note(QStringLiteral("click %1 \"%2\"").arg(buttons[axis]).arg(caption));
                QTest::mouseClick(dlg.Item<QAbstractButton>(buttons[axis]), Qt::LeftButton);
            }
        }
    }

    void Act(Action action)
    {
        CReferenceDlg& dlg = *Dialog();
        switch (action)
        {
        case TYPE:
        {
            const int id = m_dice->Pick(VisibleFields());
            const QString text = m_texts->Random(id, dlg.m_nFormat);
            const int leave = m_dice->Chance(0.5) ? 0 : m_dice->Chance(0.7) ? 1 : 2;
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
        case TYPE_EDGE:
        {
            // The current point, or both, and sometimes matching names, so
            // that Save gets through its checks now and then; an edge point
            // also into the other point now and then.
            const bool both = m_dice->Chance(action == TYPE_POINT ? 0.7 : 0.3);
            const bool names = m_dice->Chance(0.3);
            Log(QStringLiteral("type %1 for %2 in format %3, datum %4%5")
                    .arg(action == TYPE_POINT ? QStringLiteral("sensible values") : QStringLiteral("an edge point"),
                         both ? QStringLiteral("both points") : QStringLiteral("point %1").arg(dlg.m_nCurPoint + 1))
                    .arg(dlg.m_nFormat)
                    .arg(dlg.m_nDatum)
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
                const PointTyping typing = action == TYPE_EDGE && c == first ? m_texts->EdgePoint(c, dlg.m_nFormat)
                                                                             : m_texts->SensiblePoint(c, dlg.m_nFormat);
                Note(QStringLiteral("point %1%2")
                         .arg(c + 1)
                         .arg(typing.edge.isEmpty() ? QString() : QStringLiteral(": ") + typing.edge));
                TypePoint(typing);
            }
            break;
        }
        case FORMAT:
        case DATUM:
        {
            const bool bFormat = action == FORMAT;
            const int entry = m_dice->Uniform(0, (bFormat ? kFormatCount : kDatumCount) - 1);
            Log(QStringLiteral("choose %1 %2 (was %3)")
                    .arg(bFormat ? QStringLiteral("format") : QStringLiteral("datum"))
                    .arg(entry)
                    .arg(bFormat ? dlg.m_nFormat : dlg.m_nDatum));
            if (ActivateDialog())
                ChooseFromList(dlg, bFormat ? IDC_FORMAT : IDC_DATUM, entry);
            break;
        }
        case DATUM_LIST:
        {
            Log(QStringLiteral("open the datum list and close it with Escape"));
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
            const int id = m_dice->Chance(0.5) ? IDC_REF_POINT_1 : IDC_REF_POINT_2;
            Log(QStringLiteral("click %1").arg(id));
            if (ActivateDialog())
                QTest::mouseClick(dlg.Item<QAbstractButton>(id), Qt::LeftButton);
            break;
        }
        case HEMISPHERE:
        {
            const int id =
                dlg.GetDlgItem(IDC_LONG_SIGN)->isVisible() && m_dice->Chance(0.5) ? IDC_LONG_SIGN : IDC_LAT_SIGN;
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
            const int command = commands[m_dice->Uniform(0, 5)];
            QWidget* client = View()->viewport();
            const QPoint at(m_dice->Uniform(0, std::max(0, client->width() - 1)),
                            m_dice->Uniform(0, std::max(0, client->height() - 1)));
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
            const QPoint from(m_dice->Uniform(0, client->width()), m_dice->Uniform(0, client->height()));
            const QPoint to(m_dice->Uniform(-50, client->width() + 50), m_dice->Uniform(-50, client->height() + 50));
            const Qt::KeyboardModifiers modifiers = m_dice->Chance(0.8) ? Qt::NoModifier : Qt::ShiftModifier;
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
            Log(QStringLiteral("menu \"Import Ref.Points\""));
            MenuCommand(ID_IMPORT_REFPOINTS);
            break;
        case CLOSE:
        {
            const bool byEnter = m_dice->Chance(0.5);
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
            const bool byEscape = m_dice->Chance(0.5);
            Log(byEscape ? QStringLiteral("Escape (Cancel)") : QStringLiteral("click \"Cancel\""));
            if (!ActivateDialog())
                break;
            if (byEscape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                QTest::mouseClick(dlg.Item<QAbstractButton>(IDCANCEL), Qt::LeftButton);
            break;
        }
        case DIALOG_CLOSE_BOX:
        case FRAME_CLOSE_BOX:
        {
            // What the window system sends for the close box, Alt+F4 and the
            // taskbar's "Close".
            QWidget* window = action == DIALOG_CLOSE_BOX ? static_cast<QWidget*>(&dlg) : Frame();
            Log(action == DIALOG_CLOSE_BOX ? QStringLiteral("the dialog's close box")
                                           : QStringLiteral("the map window's close box"));
            window->windowHandle()->close();
            break;
        }
        case FRAME_EXIT:
            Log(QStringLiteral("menu \"Exit\""));
            MenuCommand(ID_APP_EXIT);
            break;
        case LOGOUT:
        {
            // The desktop asks the program whether the session may end, as
            // the program's commitDataRequest handler answers it, and when
            // it may, tells it to quit, which closes every window.
            const bool bMayEnd = m_app->CanEndProgram();
            Log(QStringLiteral("log out of the desktop (%1)")
                    .arg(bMayEnd ? QStringLiteral("the program lets it end") : QStringLiteral("the program refuses")));
            if (bMayEnd)
                QApplication::closeAllWindows();
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

    /// Every file that Save may have written in the action: a written one
    /// holds what the fields showed when Save began; after a Save that
    /// stopped, an existing file is byte for byte what it was.
    void CheckSaves()
    {
        for (const PendingSave& pending : m_pendingSaves)
        {
            QFile file(pending.path);
            if (!QFileInfo(pending.path).isFile() || !file.open(QIODevice::ReadOnly))
                continue;
            if (pending.before && file.readAll() == *pending.before)
                continue; // not written
            const QString name = Relative(pending.path);
            if (!m_saveStopped.isEmpty())
            {
                Fail(QStringLiteral("Save stopped (%1) but %2 %3")
                         .arg(m_saveStopped, name,
                              pending.before ? QStringLiteral("was overwritten") : QStringLiteral("was written")));
                continue;
            }
            ++m_nSavesWritten;
            Note(QStringLiteral("Save wrote %1; comparing it with what the fields showed").arg(name));
            CheckWrittenFile(pending.path);
            // It holds what the dialog held.
            m_bUnsaved = false;
            m_changedBy.clear();
            m_cleanFiles.insert(name);
        }
        m_pendingSaves.clear();
        // Nothing but what the monkey made or the program saved may lie in
        // its directories (a temporary file of Save would show here).
        QStringList expected = {QStringLiteral("KartoraDEU.hlp"), QStringLiteral("KartoraENG.hlp")};
        for (const QString& pool : m_pools.load + m_pools.bmp + m_pools.txt + m_pools.save)
            expected += QFileInfo(WithExtension(pool, QStringLiteral("CAL"))).fileName();
        for (const QString& name : m_deviceBmps)
            expected += name;
        for (const QString& sub : {QStringLiteral(""), QStringLiteral("sub")})
        {
            const QStringList stray = UnexpectedFiles(Path(sub), expected);
            if (!stray.isEmpty())
                Fail(QStringLiteral("files left behind: ") + stray.join(QStringLiteral(", ")));
        }
    }

    void CheckWrittenFile(const QString& path)
    {
        const QString name = Relative(path);
        const ExpectedFile expected = ExpectFile(m_shownAtSave, m_oracleConverter);
        // The oracle's datum selection set the process-wide UTM ellipsoid.
        Dialog()->Converter().SelectDatum(Dialog()->Converter().GetDatum());
        if (expected.refusal)
        {
            Fail(QStringLiteral("Save wrote %1 although the fields it began with give no file (%2); shown: %3")
                     .arg(name, QString::fromStdString(*expected.refusal),
                          QString::fromStdString(Describe(m_shownAtSave))));
            return;
        }
        std::vector<std::string> problems = CompareWithExpected(ReadBack(path).values, expected.values);
        if (!problems.empty())
        {
            QStringList lines;
            for (const std::string& problem : problems)
                lines += QString::fromStdString(problem);
            Fail(QStringLiteral("%1 is not what the fields showed at Save:\n    %2\n  shown: %3")
                     .arg(name, lines.join(QStringLiteral("\n    ")), QString::fromStdString(Describe(m_shownAtSave))));
            return;
        }
        // Names and the file's shape, and what the dialog shows after Save.
        const QStringList differences = CompareSavedFile(*Dialog(), path);
        if (!differences.isEmpty())
            Fail(QStringLiteral("%1 does not match the dialog:\n    ").arg(name) +
                 differences.join(QStringLiteral("\n    ")));
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
    std::unique_ptr<CDice> m_dice;
    std::unique_ptr<CMonkeyTexts> m_texts;
    MonkeyFiles m_pools;
    CChoosingFileDialogs m_files;
    std::unique_ptr<CBoxAnswers> m_boxes;
    std::unique_ptr<CKartoraApp> m_app;
    CCoordConverter m_oracleConverter; ///< the oracle's own
    std::unique_ptr<CloseWatch> m_frameWatch;
    bool m_bEnded = false;
    bool m_bStop = false;
    bool m_bLoadingClean = false;
    int m_nMarkerPoint = -1; ///< the point whose pixel field the action left, or -1
    int m_nMarks = 0;
    int m_nSavesWritten = 0;
    int m_nMarkersChecked = 0;
    std::set<QString> m_cleanFiles; ///< files as Save wrote them, relative to m_dir
    std::set<QString> m_deviceBmps; ///< device BMPs the user agreed to have written
    std::vector<PendingSave> m_pendingSaves;
    ShownEntry m_shownAtSave;  ///< the fields as a Save action began
    QString m_saveStopped;     ///< the box that stopped this action's Save; empty: none
    bool m_bConfirmed = false; ///< a question of this action was answered Yes
    bool m_bUnsaved = false;   ///< the user changed the data since the last start or Save
    QList<int> m_changedBy;    ///< the actions that changed it
    int m_nAction = 0;
    Action m_action = TYPE;
};

TEST_F(Monkey, RandomUserActionsNeverSaveAnythingButWhatWasTypedNorLoseIt)
{
    StartProgram();
    std::map<int, int> counts;
    int restarts = 0;
    QElapsedTimer clock;
    clock.start();
    for (m_nAction = 1; m_nAction <= m_nActions && !m_bStop && !HasFatalFailure(); ++m_nAction)
    {
        const Action action = NextAction();
        m_action = action;
        ++counts[action];
        const qsizetype messagesBefore = m_boxes->m_texts.size();
        m_bLoadingClean = false;
        m_nMarkerPoint = -1;
        m_saveStopped.clear();
        m_bConfirmed = false;
        const QByteArray heldBefore = HeldData(*Dialog(), Types(action));
        if (MaySave(action))
            m_shownAtSave = ShownNow(*Dialog());

        Act(action);
        DeliverPosted();

        CheckWindows();
        const bool ended = m_bEnded;
        if (m_nMarkerPoint >= 0 && !ended)
            CheckMarker(m_nMarkerPoint);
        if (m_bLoadingClean && m_boxes->m_texts.size() != messagesBefore)
            Fail(QStringLiteral("loading a file that Save wrote showed: ") +
                 m_boxes->m_texts.mid(messagesBefore).join(QStringLiteral(" | ")));
        if (Edits(action) && HeldData(*Dialog(), Types(action)) != heldBefore)
        {
            m_bUnsaved = true;
            m_changedBy += m_nAction;
        }
        CheckSaves();
        if (ended && m_bUnsaved && !(Discards(action) && m_bConfirmed))
        {
            QStringList by;
            for (int number : m_changedBy)
                by += QString::number(number);
            Fail(QStringLiteral("the program ended (%1) with changes neither saved nor discarded with the user's "
                                "consent, made by actions %2")
                     .arg(QLatin1String(kActionNames[action]), by.join(QStringLiteral(", "))));
        }
        if (m_bStop)
            break;
        if (ended)
        {
            // The user starts the program again.
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
                static_cast<unsigned long long>(m_nSeed), m_nAction - 1, clock.elapsed() / 1000.0, restarts,
                m_nSavesWritten, static_cast<long long>(m_boxes->m_texts.size()), m_files.m_requests.size(),
                m_nMarkersChecked, tally.join(QStringLiteral(", ")).toUtf8().constData());
}

} // namespace
