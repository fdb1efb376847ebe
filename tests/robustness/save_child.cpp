// kartora_save_child: saves over one .CAL file again and again through the
// reference dialog's own Save button, offscreen, until it is killed. The
// save-interruption test starts it and kills it at random moments.
//
//     kartora_save_child <settings directory> <help file> <.CAL path>
//
// Every file dialog answers the .CAL path and every message box Yes (the
// question about the existing file). The saves alternate between two sets
// of values, so that consecutive files differ. Standard output gets "ready"
// once the dialog is up and "saved N" after each Save that reported success;
// a Save that failed or any other message ends the program with status 3.
#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <optional>

#include "platform/file_dialog.h"
#include "platform/winapp.h"
#include "refdialog/reference_dlg.h"
#include "resources/resource.h"
#include "shell/message_box_dlg.h"

namespace
{

// The parent kills the program long before; this only bounds an orphan.
constexpr int kMaxSaves = 100000;

class CSamePath final : public IFileDialogProvider
{
public:
    explicit CSamePath(QString path) : m_strPath(std::move(path)) {}
    std::optional<QString> Run(const FileDialogRequest&, QWidget*) override { return m_strPath; }

private:
    QString m_strPath;
};

/// Answers the existing-file question with Yes; any other box ends the program.
class CYesToExistingFile final : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [box = static_cast<CDialog*>(watched)] { Answer(box); });
        return false;
    }

private:
    static void Answer(CDialog* box)
    {
        const QString text = box->GetDlgItemText(IDC_MESSAGE);
        if (!text.contains(QStringLiteral("harbour.CAL")))
        {
            std::fprintf(stderr, "unexpected message: %s\n", text.toUtf8().constData());
            std::exit(3);
        }
        if (auto* yes = box->Item<QPushButton>(IDC_YES))
            yes->click();
    }
};

// Two sets of values; their files differ in every line but the fixed ones.
// The minutes are whole multiples of 0.0006' (0.00001°), which the dialog's
// rounding keeps as they are.
struct Values
{
    std::uint32_t pixel[2][2];
    std::int32_t degree[2][2];
    double minute[2][2];
    double heightDiff;
};
constexpr Values kValues[2] = {
    {{{100, 900}, {1500, 120}}, {{10, 53}, {10, 53}}, {{30.0, 33.0}, {45.0, 26.0}}, 12.5},
    {{{101, 901}, {1501, 121}}, {{10, 53}, {10, 53}}, {{31.2, 33.6}, {45.6, 26.4}}, -3.0},
};

void Enter(CReferenceDlg& dlg, const Values& values)
{
    dlg.m_strMapName = QStringLiteral("harbour");
    dlg.m_strBmpFileName = QStringLiteral("harbour.bmp");
    for (int p = 0; p < 2; ++p)
        for (int axis = 0; axis < 2; ++axis)
        {
            dlg.m_nPixel[p][axis] = values.pixel[p][axis];
            dlg.m_nHemisphere[p][axis] = 0;
            dlg.m_nDegree[p][axis] = values.degree[p][axis];
            dlg.m_dMinute[p][axis] = values.minute[p][axis];
        }
    dlg.m_dHeightDiff = values.heightDiff;
    dlg.m_bModified = true;
    dlg.UpdateData(false);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: kartora_save_child <settings directory> <help file> <.CAL path>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    const QString settingsDir = QString::fromLocal8Bit(argv[1]);
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    {
        QSettings::setPath(format, QSettings::UserScope, settingsDir + QStringLiteral("/user"));
        QSettings::setPath(format, QSettings::SystemScope, settingsDir + QStringLiteral("/system"));
    }
    CWinApp app(QStringLiteral("Kartora"));
    app.SetRegistryKey(QStringLiteral("Quarnby Applications"));
    app.m_pszHelpFilePath = QString::fromLocal8Bit(argv[2]);
    CSamePath files(QString::fromLocal8Bit(argv[3]));
    SetFileDialogProvider(&files);
    CYesToExistingFile boxes;
    CMessageBoxDlg::Instance().installEventFilter(&boxes);

    QObject view; // the map view's place; the dialog's messages are dropped
    CReferenceDlg dlg(&view);
    auto* save = dlg.Item<QPushButton>(IDC_SAVE);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 1; i <= kMaxSaves; ++i)
    {
        Enter(dlg, kValues[i % 2]);
        save->click();
        if (dlg.m_bModified)
        {
            std::fprintf(stderr, "Save %d reported failure\n", i);
            return 3;
        }
        std::printf("saved %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
