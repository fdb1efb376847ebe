// A save killed midway: a child process saves over an existing .CAL file
// through the reference dialog's Save again and again, and is killed
// (SIGKILL on Linux) at a random moment. Afterwards the file must be the old
// file byte for byte or a complete new one, and nothing may be left beside
// it. Rounds and seed: KARTORA_INTERRUPT_ROUNDS, KARTORA_INTERRUPT_SEED.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "robustness_support.h"

namespace
{

// The two files the child writes in turn, date line aside: its two sets of
// values in the layout of the reference file, written out by hand.
const QList<QByteArray> kNewFiles[2] = {
    {"TYPE:       RASTERMAP\r", "NAME:       harbour\r", "", "VISIBLE:    YES\r",
     "REFERENCE_POINT: (101,901) ==> (10\xB0"
     "31.2000'O,53\xB0"
     "33.6000'N)\r",
     "REFERENCE_POINT: (1501,121) ==> (10\xB0"
     "45.6000'O,53\xB0"
     "26.4000'N)\r",
     "HEIGHTDIFF:      -3.0\r", "PROJECTION:      UTM\r", "ELLIPSOID:       WGS84\r", "FILENAME:        harbour.bmp\r",
     ""},
    {"TYPE:       RASTERMAP\r", "NAME:       harbour\r", "", "VISIBLE:    YES\r",
     "REFERENCE_POINT: (100,900) ==> (10\xB0"
     "30.0000'O,53\xB0"
     "33.0000'N)\r",
     "REFERENCE_POINT: (1500,120) ==> (10\xB0"
     "45.0000'O,53\xB0"
     "26.0000'N)\r",
     "HEIGHTDIFF:      12.5\r", "PROJECTION:      UTM\r", "ELLIPSOID:       WGS84\r", "FILENAME:        harbour.bmp\r",
     ""},
};

const QByteArray kOldFile = "TYPE:       RASTERMAP\r\nNAME:       harbour\r\nDATE:       01/01/2000\r\n"
                            "VISIBLE:    YES\r\n"
                            "REFERENCE_POINT: (1,2) ==> (1\xB0"
                            "0.0000'O,2\xB0"
                            "0.0000'N)\r\n"
                            "REFERENCE_POINT: (3,1) ==> (3\xB0"
                            "0.0000'O,1\xB0"
                            "0.0000'N)\r\n"
                            "HEIGHTDIFF:      0.0\r\nPROJECTION:      UTM\r\nELLIPSOID:       WGS84\r\n"
                            "FILENAME:        harbour.bmp\r\n";

/// Which of the child's two files `bytes` is, date line aside; -1 for neither.
int NewFileIndex(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    static const QRegularExpression date(QStringLiteral("^DATE:       \\d\\d/\\d\\d/\\d{4}\\r$"));
    for (int k = 0; k < 2; ++k)
    {
        bool same = lines.size() == kNewFiles[k].size();
        for (qsizetype i = 0; same && i < lines.size(); ++i)
            same = i == 2 ? date.match(QString::fromLatin1(lines[i])).hasMatch() : lines[i] == kNewFiles[k][i];
        if (same)
            return k;
    }
    return -1;
}

std::uint64_t Parameter(const char* name, std::uint64_t byDefault)
{
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : byDefault;
}

/// Reads the child's output lines until one equals `line`.
bool WaitForLine(QProcess& child, const QByteArray& line)
{
    for (;;)
    {
        while (child.canReadLine())
            if (child.readLine().trimmed() == line)
                return true;
        if (!child.waitForReadyRead(30000))
            return false;
    }
}

/// The child's saves so far: the number of its last "saved N" line.
int SavesSoFar(QProcess& child, int before)
{
    int saves = before;
    while (child.canReadLine())
    {
        const QByteArray line = child.readLine().trimmed();
        if (line.startsWith("saved "))
            saves = line.mid(6).toInt();
    }
    return saves;
}

TEST(SaveInterruption, AKilledSaveLeavesTheOldFileOrACompleteNewOneAndNothingBeside)
{
    const int rounds = static_cast<int>(Parameter("KARTORA_INTERRUPT_ROUNDS", 80));
    const std::uint64_t seed = Parameter("KARTORA_INTERRUPT_SEED", 1);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("maps"))));
    const QString helpFile = dir.filePath(QStringLiteral("KartoraDEU.hlp"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KARTORA_HELP_DIR "/KartoraDEU.hlp"), helpFile));
    const QString settingsDir = dir.filePath(QStringLiteral("settings"));
    const QString mapsDir = dir.filePath(QStringLiteral("maps"));
    const QString calPath = mapsDir + QStringLiteral("/harbour.CAL");
    const QStringList childArguments = {settingsDir, helpFile, calPath};

    // How long one save takes, to spread the kills over whole saves; the
    // kills themselves land where they land.
    qint64 saveMicroseconds = 0;
    {
        QFile::remove(calPath);
        QProcess child;
        child.start(QStringLiteral(KARTORA_SAVE_CHILD), childArguments);
        ASSERT_TRUE(WaitForLine(child, "ready")) << child.readAllStandardError().toStdString();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(WaitForLine(child, "saved 20")) << child.readAllStandardError().toStdString();
        saveMicroseconds = clock.nsecsElapsed() / 1000 / 20;
        child.kill();
        child.waitForFinished();
    }

    std::mt19937_64 random(seed);
    int oldFiles = 0;
    int newFiles = 0;
    int leftovers = 0;
    QStringList leftoverNames;
    for (int round = 1; round <= rounds && !::testing::Test::HasFailure(); ++round)
    {
        QFile old(calPath);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(kOldFile);
        old.close();

        QProcess child;
        child.start(QStringLiteral(KARTORA_SAVE_CHILD), childArguments);
        ASSERT_TRUE(WaitForLine(child, "ready"))
            << "round " << round << ": " << child.readAllStandardError().toStdString();
        // Anywhere from before the first save to within the fourth.
        const qint64 delay = std::uniform_int_distribution<qint64>(0, 4 * saveMicroseconds)(random);
        QThread::usleep(static_cast<unsigned long>(delay));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        const int saves = SavesSoFar(child, 0);
        const QByteArray errors = child.readAllStandardError();
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after " + std::to_string(delay) + " us, " +
                     std::to_string(saves) + " saves reported");
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "the child ended before it was killed: " << errors.toStdString();
        EXPECT_FALSE(errors.contains("unexpected")) << errors.toStdString();

        QFile file(calPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the reference file is gone";
        const QByteArray bytes = file.readAll();
        if (bytes == kOldFile)
        {
            ++oldFiles;
            EXPECT_EQ(saves, 0) << "a save reported success but the old file is still there";
        }
        else
        {
            ++newFiles;
            EXPECT_NE(NewFileIndex(bytes), -1) << "neither the old file nor a complete new one:\n"
                                               << bytes.toStdString();
            EXPECT_EQ(ReadBack(calPath).messages, QStringList());
        }

        // A temporary file that survived is counted; one that a later save
        // could take for the reference file must not exist.
        const QStringList stray = UnexpectedFiles(mapsDir, {QStringLiteral("harbour.CAL")});
        for (const QString& name : stray)
        {
            ++leftovers;
            leftoverNames += name;
            EXPECT_FALSE(name.endsWith(QStringLiteral(".CAL"), Qt::CaseInsensitive)) << name.toStdString();
            QFile::remove(mapsDir + QLatin1Char('/') + name);
        }
        // The settings the child wrote after each save are still readable.
        QSettings settings(settingsDir + QStringLiteral("/user/Quarnby Applications/Kartora.conf"),
                           QSettings::IniFormat);
        if (saves > 0)
        {
            EXPECT_EQ(settings.value(QStringLiteral("Settings/LongDegree1")).toString(), QStringLiteral("10"));
        }
        EXPECT_EQ(settings.status(), QSettings::NoError);
    }
    std::printf("save interruption: seed %llu, %d rounds, one save %lld us, old file %d times, new file %d times, "
                "%d temporary files left (%s)\n",
                static_cast<unsigned long long>(seed), rounds, static_cast<long long>(saveMicroseconds), oldFiles,
                newFiles, leftovers, leftoverNames.join(QStringLiteral(", ")).toUtf8().constData());
}

} // namespace
