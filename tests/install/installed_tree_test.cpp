// The installed tree as a user's system sees it: the desktop files pass the
// validators that software centres and menus apply, the programs run from
// their installed place and find their data, the man pages render.
#include "platform/winapp.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace
{

const QString kPrefix = QStringLiteral(KARTORA_PREFIX);

QString Installed(const char* path)
{
    return kPrefix + u'/' + QLatin1String(path);
}

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
    {
        run.err = program + QStringLiteral(" did not run: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(InstalledTree, MenuEntryAndSoftwareCentreDataPassTheirValidators)
{
    // Hints and warnings count too: a clean file prints nothing.
    const ProgramRun desktop = RunProgram(QStringLiteral("desktop-file-validate"),
                                          {Installed("share/applications/org.quarnby.Kartora.desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.err.toStdString();
    EXPECT_EQ(desktop.out + desktop.err, QString()) << "desktop-file-validate";

    // validate-tree adds the links from the metainfo to the desktop entry
    // and the icon.
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                      Installed("share/metainfo/org.quarnby.Kartora.metainfo.xml")},
          QStringList{QStringLiteral("validate-tree"), QStringLiteral("--no-net"), kPrefix}})
    {
        const ProgramRun metainfo = RunProgram(QStringLiteral("appstreamcli"), arguments);
        EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out.toStdString() << metainfo.err.toStdString();
    }
}

TEST(InstalledTree, TheCommandLineProgramRunsAndNamesTheProjectVersion)
{
    const ProgramRun run = RunProgram(Installed("bin/kartora-cli"), {QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("kartora-cli " KARTORA_VERSION "\n"));
}

TEST(InstalledTree, TheProgramFindsItsHelpFilesInstalledAndInTheBuildTree)
{
    // The program's own path with ".HLP" is the German help file; the
    // language button looks for the English one beside it.
    const struct
    {
        QString program;
        QString helpDir;
    } rows[] = {
        {Installed("bin/kartora"), Installed("share/kartora")},
        {QStringLiteral(KARTORA_BUILD_PROGRAM), QFileInfo(QStringLiteral(KARTORA_BUILD_PROGRAM)).path()},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(LocateHelpFilePath(row.program), row.helpDir + QStringLiteral("/kartora.HLP"))
            << row.program.toStdString();
        for (const char* name : {"KartoraDEU.hlp", "KartoraENG.hlp"})
            EXPECT_TRUE(QFileInfo(row.helpDir + u'/' + QLatin1String(name)).isReadable())
                << row.helpDir.toStdString() << name;
    }
}

TEST(InstalledTree, ACalFileInEitherLetterCaseHasKartorasType)
{
    // A file manager reads the types from the data folders' mime/ subfolders.
    qputenv("XDG_DATA_DIRS", (kPrefix + QStringLiteral("/share:/usr/share")).toLocal8Bit());
    const QMimeDatabase types;
    for (const char* name : {"harbour.CAL", "harbour.cal"})
        EXPECT_EQ(types.mimeTypeForFile(QLatin1String(name), QMimeDatabase::MatchExtension).name(),
                  QStringLiteral("application/x-kartora-cal"))
            << name;
}

TEST(InstalledTree, TheManPagesRenderCleanlyAndNameEveryOptionOfTheCommandLine)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("MANWIDTH"), QStringLiteral("250"));
    QString cliPage;
    for (const char* page : {"share/man/man1/kartora.1.gz", "share/man/man1/kartora-cli.1.gz"})
    {
        const ProgramRun run = RunProgram(
            QStringLiteral("man"), {QStringLiteral("--warnings"), QStringLiteral("-l"), Installed(page)}, environment);
        EXPECT_EQ(run.exitCode, 0) << page;
        EXPECT_EQ(run.err, QString()) << page;
        cliPage = run.out;
    }

    // Every option of every command's --help, as the user sees it.
    const QRegularExpression option(QStringLiteral("--[a-z][a-z0-9-]*"));
    for (const QStringList& command :
         {QStringList(), QStringList{QStringLiteral("convert")},
          QStringList{QStringLiteral("cal"), QStringLiteral("write")},
          QStringList{QStringLiteral("cal"), QStringLiteral("read")}, QStringList{QStringLiteral("import")}})
    {
        const ProgramRun help =
            RunProgram(Installed("bin/kartora-cli"), command + QStringList{QStringLiteral("--help")});
        ASSERT_EQ(help.exitCode, 0) << command.join(u' ').toStdString();
        for (auto it = option.globalMatch(help.out); it.hasNext();)
        {
            const QString name = it.next().captured();
            EXPECT_TRUE(cliPage.contains(name)) << command.join(u' ').toStdString() << " " << name.toStdString();
        }
    }
}

} // namespace
