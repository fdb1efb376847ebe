// Only regular files are opened: a path the user chose may name a directory,
// a named pipe or a device, and opening a pipe waited for a writer for ever.
#include "platform/regular_file.h"

#include "support/named_pipe.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace
{

const QByteArray kContent = "NAME: harbour\r\n";

TEST(RegularFile, OnlyARegularFileOrALinkToOneIsOpenedAndNothingElseIsWaitedOn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("harbour.CAL"));
    QFile writer(file);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    writer.write(kContent);
    writer.close();
    const QString link = dir.filePath(QStringLiteral("link.CAL"));
    ASSERT_TRUE(QFile::link(file, link));
    const QString directory = dir.filePath(QStringLiteral("maps.CAL"));
    ASSERT_TRUE(QDir().mkdir(directory));
    const CNamedPipe pipe(dir.filePath(QStringLiteral("pipe.CAL")));
    ASSERT_TRUE(pipe.IsValid());

    const struct
    {
        const char* what;
        QString path;
        bool bOpened;
    } rows[] = {
        {"a regular file", file, true},
        {"a link to a regular file", link, true},
        {"a directory", directory, false},
        {"a named pipe", dir.filePath(QStringLiteral("pipe.CAL")), false},
        {"a device", QStringLiteral("/dev/null"), false},
        {"a missing file", dir.filePath(QStringLiteral("gone.CAL")), false},
        {"no path", QString(), false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(IsRegularFile(row.path), row.bOpened);
        QFile opened(row.path);
        EXPECT_EQ(OpenRegularFileForReading(opened), row.bOpened);
        EXPECT_EQ(opened.isOpen() ? opened.readAll() : QByteArray(), row.bOpened ? kContent : QByteArray());
    }
    EXPECT_FALSE(pipe.ReaderWaited());
}

} // namespace
