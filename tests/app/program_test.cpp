// The program itself, started as a user starts it.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

TEST(Program, WithoutADisplayItSaysSoInOneLineAndEndsWithStatus1)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KARTORA_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(30000)) << "the program waited instead of ending";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError().toStdString(),
              "kartora: no display found; start it under a desktop session or with xvfb-run\n");
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}
