#include "core/mediacheck/mediafilecheck.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

MediaFileCheck checkFile(const std::string& path)
{
    return MediaFileCheck::check(QString::fromStdString(path));
}

TEST(MediaFileCheck, AcceptsFilesWithAtLeastOneSecondOfSound)
{
    DecMgrInit();
    for (const char* name : { "tone.mp3", "tagged.mp3", "tagged.m4a", "tone.wav", "tone.flac", "tone.ogg", "video.mp4",
             "Ünïcødé name – 曲.mp3" }) {
        SCOPED_TRACE(name);
        const MediaFileCheck c = checkFile(fixtures::path(name));
        EXPECT_TRUE(c.accepted());
        EXPECT_TRUE(c.message().isEmpty());
        EXPECT_GT(c.duration(), 2.9);
        EXPECT_EQ(c.audioInfo().sampleRate, 44100);
        EXPECT_EQ(c.audioInfo().channels, 2);
    }
}

TEST(MediaFileCheck, TellsWhichMessageApplies)
{
    fixtures::ScratchDir dir;
    fixtures::writeFile(dir.file("empty.mp3"), "");
    fixtures::writeFile(dir.file("random.mp3"), fixtures::randomBytes(64 * 1024, 11));
    std::filesystem::create_directory(dir.file("folder"));

    const QString cannotImport = QStringLiteral("The file can not be imported!");
    const QString noAudio = QStringLiteral("Sorry!This file has no audio track.");
    struct Case {
        std::string path;
        MediaFileCheck::Verdict verdict;
        QString message;
    };
    const Case cases[] = {
        { dir.file("empty.mp3"), MediaFileCheck::Verdict::CannotImport, cannotImport },
        { dir.file("random.mp3"), MediaFileCheck::Verdict::CannotImport, cannotImport },
        { dir.file("folder"), MediaFileCheck::Verdict::CannotImport, cannotImport },
        { dir.file("missing.wav"), MediaFileCheck::Verdict::CannotImport, cannotImport },
        // A picture without sound decodes, so it is the missing sound that is reported.
        { fixtures::path("video-silent.mp4"), MediaFileCheck::Verdict::NoAudioTrack, noAudio },
        // 0.9 s decodes but is too short to work with.
        { fixtures::path("short.wav"), MediaFileCheck::Verdict::NoAudioTrack, noAudio },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const MediaFileCheck check = checkFile(c.path);
        EXPECT_EQ(check.verdict(), c.verdict);
        EXPECT_EQ(check.message(), c.message);
    }
}

} // namespace
