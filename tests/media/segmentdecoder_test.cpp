#include "media/decoderlib.h"
#include "media/segmentdecoder.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace {

class SegmentDecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
};

struct Split {
    std::vector<int16_t> samples; // interleaved, placed where each part says its frames go
    bool chained = true; // every part started where the one before it ended
    bool inexact = false; // some part refused
    int parts = 0; // parts that held samples
};

Split decodeInParts(const std::string& file, int count)
{
    Split split;
    auto decoder = AudioSplitDecoder::open(file);
    if (!decoder)
        return split;
    const int channels = decoder->channels();
    std::atomic<bool> stop { false };
    int64_t end = 0;
    for (int i = 0; i < count; ++i) {
        const AudioPart part = decoder->decodePart(
            i, count,
            [&](const int16_t* data, int frames, int64_t position) {
                const auto at = static_cast<size_t>(position) * channels;
                split.samples.resize(std::max(split.samples.size(), at + static_cast<size_t>(frames) * channels));
                std::copy(data, data + static_cast<ptrdiff_t>(frames) * channels, split.samples.begin() + at);
            },
            stop);
        if (part.status == AudioPart::Status::Inexact)
            split.inexact = true;
        if (part.status != AudioPart::Status::Done)
            continue;
        ++split.parts;
        split.chained = split.chained && part.firstFrame == end;
        end = part.endFrame;
    }
    return split;
}

// Every part of a file whose codec settles after a pre-roll gives exactly the samples one
// decode of the whole file gives there, whatever the number of parts; the others refuse
// to be split, and any file still decodes whole as part 0 of 1.
TEST_F(SegmentDecoderTest, PartsGiveExactlyTheSamplesOfOneWholeFileDecode)
{
    struct Case {
        const char* name;
        bool splittable;
    };
    const Case cases[] = { { "tone.wav", true }, { "mono-48k.wav", true }, { "tone.flac", true },
        { "tone-5.1.flac", true }, { "tone.ogg", true }, { "tone.mp3", true }, { "tagged.mp3", true },
        { "music-44k-cbr.mp3", true }, { "music-44k-vbr.mp3", true }, { "music-22k-cbr.mp3", true },
        { "music-22k-vbr.mp3", true }, { "music.flac", true }, { "long.mp3", true }, { "Ünïcødé name – 曲.mp3", true },
        { "tagged.m4a", false }, { "music.m4a", false }, { "video.mp4", false }, { "music.opus", false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = fixtures::path(c.name);
        const fixtures::Pcm whole = fixtures::decodeAll(file);
        ASSERT_FALSE(whole.samples.empty());
        EXPECT_EQ(decodeInParts(file, 1).samples, whole.samples);
        for (const int count : { 3, 8 }) {
            SCOPED_TRACE(count);
            const Split split = decodeInParts(file, count);
            EXPECT_EQ(split.inexact, !c.splittable);
            if (!c.splittable)
                continue;
            EXPECT_TRUE(split.chained);
            EXPECT_GE(split.parts, 2);
            ASSERT_EQ(split.samples.size(), whole.samples.size());
            EXPECT_TRUE(split.samples == whole.samples);
        }
    }
}

} // namespace
