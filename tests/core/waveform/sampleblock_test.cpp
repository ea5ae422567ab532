#include "core/environment/editingstate.h"
#include "core/waveform/sampleblock.h"
#include "core/waveform/sampleblocktransfer.h"
#include "support/qtfixtures.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

SampleBlock makeBlock(int count)
{
    SampleBlock block;
    for (int i = 0; i < count; ++i)
        block.sampleBlk().push_back(
            SamplePoint { { 0.05f * static_cast<float>(i), 1.0f / static_cast<float>(i + 3) } });
    block.setCapability(count);
    return block;
}

QByteArray readWhenWritten(const QString& path)
{
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(path) && !deadline.hasExpired())
        QThread::msleep(10);
    return readBytes(path);
}

TEST(SampleBlockArchive, RoundTripsEveryPointExactly)
{
    const SampleBlock block = makeBlock(500);
    const QByteArray archive = block.toArchive();
    EXPECT_TRUE(archive.contains("<key>p0</key>"));
    EXPECT_TRUE(archive.contains("<key>p499</key>"));
    EXPECT_TRUE(archive.contains("<key>Capability</key>"));

    const auto back = SampleBlock::fromArchive(archive);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->capability(), 500.0);
    ASSERT_EQ(back->sampleBlk().size(), 500u);
    for (size_t i = 0; i < 500; ++i) {
        EXPECT_EQ(back->sampleBlk()[i].cgSampPoint.x, block.sampleBlk()[i].cgSampPoint.x);
        EXPECT_EQ(back->sampleBlk()[i].cgSampPoint.y, block.sampleBlk()[i].cgSampPoint.y);
    }
    const auto empty = SampleBlock::fromArchive(SampleBlock().toArchive());
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->sampleBlk().empty());
}

TEST(SampleBlockArchive, MalformedArchivesAreRefused)
{
    QByteArray missingPoint = makeBlock(3).toArchive();
    missingPoint.replace("<key>p1</key>", "<key>q1</key>");
    QByteArray textCount = makeBlock(2).toArchive();
    textCount.replace("<real>2</real>", "<string>2</string>");
    QByteArray huge = makeBlock(1).toArchive();
    huge.replace("<real>1</real>", "<real>1e300</real>");
    for (const QByteArray& bad : { QByteArray(), QByteArray("not a plist"), QByteArray("<plist><array/></plist>"),
             missingPoint, textCount, huge })
        EXPECT_FALSE(SampleBlock::fromArchive(bad).has_value()) << bad.left(80).toStdString();
}

TEST(SampleBlockTransfer, WritesTheArchiveIntoTheTemporaryFolderInTheBackground)
{
    QTemporaryDir temp;
    gloableState()._tempFolderPath = temp.path();
    const QString archive = SampleBlockTransfer::archivePathFor(QStringLiteral("/music/My Song.live.mp3"));
    EXPECT_EQ(archive, temp.path() + QStringLiteral("/My Song.live.plist"));

    auto block = std::make_shared<const SampleBlock>(makeBlock(40));
    SampleBlockTransfer::transferSamplePointToFile(block, QStringLiteral("/music/My Song.live.mp3"));
    const auto back = SampleBlock::fromArchive(readWhenWritten(archive));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->sampleBlk().size(), 40u);
    gloableState()._tempFolderPath.clear();
}

TEST(SampleBlockTransfer, FailedWriteIsReported)
{
    EXPECT_FALSE(SampleBlockTransfer::writeBlockToFile(makeBlock(2), QStringLiteral("/nonexistent-folder/x.plist")));
}

} // namespace
