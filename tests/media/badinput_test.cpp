// Files the decoder must refuse cleanly, or read as far as they go, without crashing.

#include "media/decoderlib.h"
#include "media/medialog.h"
#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct Opened {
    bool probe = false;
    bool audio = false;
    bool video = false;
};

Opened openAll(const std::string& file)
{
    Opened o;
    const WidePath path(file);
    MEDIA_FILE_INFO* info = VyGetMediaFileInfo(path, 0);
    o.probe = info != nullptr;
    VyReleaseMediaFileInfo(info);
    AudioDecoder audio = ADecCreate(path, 0, 0, 0);
    o.audio = audio != nullptr;
    ADecDestroy(audio);
    VideoDecoder video = VDecCreate(path, 0, 0, 0);
    o.video = video != nullptr;
    VDecDestroy(video);
    return o;
}

class BadInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    fixtures::ScratchDir dir;
};

TEST_F(BadInputTest, UnreadableFilesOpenNothing)
{
    fixtures::writeFile(dir.file("empty.mp3"), "");
    fixtures::writeFile(dir.file("random.mp3"), fixtures::randomBytes(256 * 1024, 7));
    // A container that opens but holds no streams at all.
    fixtures::writeFile(dir.file("nostreams.mka"), ";FFMETADATA1\ntitle=nothing here\n");
    std::filesystem::create_directory(dir.file("folder.mp3"));

    for (const char* name : { "empty.mp3", "random.mp3", "nostreams.mka", "folder.mp3", "missing.mp3" }) {
        SCOPED_TRACE(name);
        const Opened o = openAll(dir.file(name));
        EXPECT_FALSE(o.probe);
        EXPECT_FALSE(o.audio);
        EXPECT_FALSE(o.video);
    }
}

TEST_F(BadInputTest, TruncatedMp3DecodesWhatIsThere)
{
    const fixtures::Pcm pcm = fixtures::decodeAll(fixtures::path("truncated.mp3"));
    ASSERT_EQ(pcm.channels, 2);
    const double seconds = static_cast<double>(pcm.frames()) / pcm.sampleRate;
    EXPECT_NEAR(seconds, 6.0, 0.5); // 30 % of 20 s
    // Seeking past the end of what is there ends the stream instead of hanging.
    const fixtures::Pcm beyond = fixtures::decodeAll(fixtures::path("truncated.mp3"), 15.0);
    EXPECT_TRUE(beyond.samples.empty());
}

TEST_F(BadInputTest, PictureWithoutSoundAndSoundWithCover)
{
    const Opened silent = openAll(fixtures::path("video-silent.mp4"));
    EXPECT_TRUE(silent.probe);
    EXPECT_TRUE(silent.video);
    EXPECT_FALSE(silent.audio);

    // A cover picture is no video: the file is audio everywhere.
    for (const char* name : { "tagged.mp3", "tagged.m4a" }) {
        SCOPED_TRACE(name);
        const Opened tagged = openAll(fixtures::path(name));
        EXPECT_TRUE(tagged.audio);
        EXPECT_FALSE(tagged.video);
    }
}

TEST_F(BadInputTest, ShortFileAndNonAsciiNameDecode)
{
    EXPECT_EQ(fixtures::decodeAll(fixtures::path("short.wav")).frames(), static_cast<size_t>(0.9 * 44100));
    EXPECT_TRUE(openAll(fixtures::path("Ünïcødé name – 曲.mp3")).audio);
}

// The next two build a path whose shortened form names another, readable file: the
// decoder must still refuse it, and say why.
TEST_F(BadInputTest, PathThatIsNotUtf8IsRefusedEvenWhenItsPrefixExists)
{
    const std::string prefix = dir.file("song");
    fixtures::copyFile(fixtures::path("tone.wav"), prefix);
    const std::string bad = prefix + "\xFF.wav";
    fixtures::copyFile(fixtures::path("tone.wav"), bad);
    ASSERT_EQ(WidePath(bad).toUtf8(), prefix);

    std::string logged;
    medialog::setSink([&logged](medialog::Level, std::string_view line) { logged += line; });
    const Opened o = openAll(bad);
    medialog::setSink(nullptr);
    EXPECT_FALSE(o.probe);
    EXPECT_FALSE(o.audio);
    EXPECT_FALSE(o.video);
    EXPECT_NE(logged.find("could not be converted whole"), std::string::npos);
}

TEST_F(BadInputTest, PathLongerThan511CharactersIsRefusedEvenWhenItsCutFormExists)
{
    // Folders of 200 characters, then a file name that crosses the 511th character.
    std::string folder = dir.path();
    while (folder.size() < 300) {
        folder += "/" + std::string(200, 'd');
        std::filesystem::create_directory(folder);
    }
    const std::string base = folder + "/";
    const std::string cut = base + std::string(511 - base.size(), 'f');
    const std::string full = cut + std::string(600 - cut.size(), 'g');
    ASSERT_EQ(cut.size(), 511u);
    ASSERT_EQ(full.size(), 600u);
    fixtures::copyFile(fixtures::path("tone.wav"), cut);
    fixtures::copyFile(fixtures::path("tone.wav"), full);

    const Opened o = openAll(full);
    EXPECT_FALSE(o.probe);
    EXPECT_FALSE(o.audio);
    VyRTMediaFileDecoder wrapper(full, VyRTMediaFileDecoder::AudioOnly);
    EXPECT_EQ(wrapper.getAudioInfo(), nullptr);
}

} // namespace
