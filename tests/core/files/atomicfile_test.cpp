// Files written through a temporary name: all or nothing, and "keep" never replaces.

#include "core/files/atomicfile.h"
#include "support/qtfixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(AtomicFile, ReplacesOrKeepsAndLeavesNoTemporaryFiles)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("tone.m4r"));
    ASSERT_TRUE(AtomicFile::writeData(target, "first"));
    QString error;
    EXPECT_FALSE(AtomicFile::writeData(target, "second", AtomicFile::Existing::Keep, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(target), "first");
    ASSERT_TRUE(AtomicFile::writeData(target, "third", AtomicFile::Existing::Replace));
    EXPECT_EQ(readBytes(target), "third");
    EXPECT_EQ(entries(dir.path()), QStringList { QStringLiteral("tone.m4r") });
}

TEST(AtomicFile, CopiesRefuseEmptyOrMissingSourcesAndMissingFolders)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    QByteArray data(700 * 1024, 'a');
    data[12345] = 'b';
    ASSERT_TRUE(AtomicFile::writeData(source, data));
    const QString copy = dir.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(AtomicFile::writeCopy(source, copy));
    EXPECT_EQ(readBytes(copy), data);

    const QString empty = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(writeBytes(empty, {}));
    EXPECT_FALSE(AtomicFile::writeCopy(empty, copy));
    EXPECT_FALSE(AtomicFile::writeCopy(dir.filePath(QStringLiteral("absent")), copy));
    EXPECT_EQ(readBytes(copy), data);
    EXPECT_FALSE(AtomicFile::writeCopy(source, dir.filePath(QStringLiteral("no/such/folder/copy"))));
    EXPECT_EQ(entries(dir.path()),
        (QStringList { QStringLiteral("copy"), QStringLiteral("empty"), QStringLiteral("source") }));
}

} // namespace
