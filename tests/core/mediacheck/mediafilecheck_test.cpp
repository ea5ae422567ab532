#include "core/mediacheck/mediafilecheck.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <gtest/gtest.h>

namespace {

// Which files the editor takes and what it says about the others. That a file cannot be
// read at all is the decoder's to tell (its bad-input table); one such file shows the rule.
TEST(MediaFileCheck, AcceptsAtLeastASecondOfSoundAndTellsWhichMessageApplies)
{
    DecMgrInit();
    fixtures::ScratchDir dir;
    fixtures::writeFile(dir.file("random.mp3"), fixtures::randomBytes(64 * 1024, 11));
    using Verdict = MediaFileCheck::Verdict;
    const QString cannotImport = QStringLiteral("The file can not be imported!");
    const QString noAudio = QStringLiteral("Sorry!This file has no audio track.");
    const struct {
        std::string path;
        Verdict verdict;
        QString message;
    } cases[] = {
        { fixtures::path("tone.mp3"), Verdict::Accepted, {} },
        { fixtures::path("tagged.m4a"), Verdict::Accepted, {} }, // a cover is no picture track
        { fixtures::path("video.mp4"), Verdict::Accepted, {} },
        { fixtures::path("Ünïcødé name – 曲.mp3"), Verdict::Accepted, {} },
        { dir.file("random.mp3"), Verdict::CannotImport, cannotImport },
        // A picture without sound decodes, so it is the missing sound that is reported.
        { fixtures::path("video-silent.mp4"), Verdict::NoAudioTrack, noAudio },
        // 0.9 s decodes but is too short to work with.
        { fixtures::path("short.wav"), Verdict::NoAudioTrack, noAudio },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const MediaFileCheck check = MediaFileCheck::check(q(c.path));
        EXPECT_EQ(check.verdict(), c.verdict);
        EXPECT_EQ(check.message(), c.message);
        if (c.verdict == Verdict::Accepted) {
            EXPECT_GT(check.duration(), 2.9);
            EXPECT_EQ(check.audioInfo().sampleRate, 44100);
            EXPECT_EQ(check.audioInfo().channels, 2);
        }
    }
}

} // namespace
