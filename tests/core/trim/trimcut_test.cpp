#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/trim/trimcut.h"
#include "media/decoderlib.h"
#include "media/encoderlib.h"
#include "media/utfconvert.h"
#include "support/fixtures.h"
#include "support/mediaprobe.h"
#include "support/qtfixtures.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;
using Outcome = TrimCut::Result::Outcome;

namespace {

// The marked video: 4 s at 25 frames a second whose picture n is flat grey of luma
// 20 + 2n, so the first picture of a cut tells which source frame it is; key pictures
// only every 2 s, so a cut that starts on the key picture before shows it. Its sound is
// plucked notes over noise: no stretch of it looks like another, so a shift shows.
constexpr double kFrameRate = 25.0;
constexpr double kFrame = 1.0 / kFrameRate;

bool makeMarkedVideo(const std::string& path)
{
    return runFfmpeg({ u"-f"_s, u"lavfi"_s, u"-i"_s, u"color=c=black:s=160x120:r=25:d=4,geq=lum=20+2*N:cb=128:cr=128"_s,
        u"-f"_s, u"lavfi"_s, u"-i"_s,
        u"aevalsrc=exprs=0.3*sin(2*PI*220*pow(2\\,floor(mod(t*4\\,8))/12)*t)*exp(-6*mod(t\\,0.25))"
        "+0.1*(random(0)-0.5):c=stereo:s=44100:d=4"_s,
        u"-c:v"_s, u"mpeg4"_s, u"-q:v"_s, u"2"_s, u"-g"_s, u"50"_s, u"-c:a"_s, u"aac"_s, u"-b:a"_s, u"160k"_s,
        u"-shortest"_s, q(path) });
}

// The source frame number the first picture of `path` shows, by its luma; none when
// the file has no picture.
std::optional<int> firstFrameNumber(const std::string& path)
{
    const std::unique_ptr<VideoDecoderImpl, void (*)(VideoDecoder)> decoder(
        VDecCreate(WidePath(path), 0, 0, 0), VDecDestroy);
    const MEDIA_FRAME* frame = decoder ? VDecGetVideoFrame(decoder.get()) : nullptr;
    if (frame == nullptr)
        return std::nullopt;
    double sum = 0.0;
    for (int y = 0; y < frame->video.height; ++y) {
        for (int x = 0; x < frame->video.width; ++x)
            sum += frame->video.y[static_cast<ptrdiff_t>(y) * frame->video.strideY + x];
    }
    const double luma = sum / (double(frame->video.width) * frame->video.height);
    return static_cast<int>(std::lround((luma - 20.0) / 2.0));
}

// The shift, in samples, that best lines the start of `cut` up with `source` from
// `begin` seconds: 0 when the cut starts exactly there. Searched within +-`range`.
int soundShift(const fixtures::Pcm& source, const fixtures::Pcm& cut, double begin, int range = 2048)
{
    constexpr size_t kSkip = 2048; // past the codec's ramp-in at the cut's start
    constexpr size_t kCompared = 8192;
    const auto origin = static_cast<long>(std::lround(begin * source.sampleRate)) + long(kSkip);
    int best = range + 1;
    double bestScore = -1.0;
    for (int shift = -range; shift <= range; ++shift) {
        const long from = origin + shift;
        if (from < 0 || size_t(from) + kCompared > source.frames() || kSkip + kCompared > cut.frames())
            continue;
        double product = 0.0;
        double energy = 0.0;
        for (size_t i = 0; i < kCompared; ++i) {
            const double a = source.samples[(size_t(from) + i) * source.channels];
            const double b = cut.samples[(kSkip + i) * cut.channels];
            product += a * b;
            energy += a * a;
        }
        const double score = energy > 0.0 ? product / std::sqrt(energy) : 0.0;
        if (score > bestScore) {
            bestScore = score;
            best = shift;
        }
    }
    return best;
}

class TrimCutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DecMgrInit();
        FCInitPlugins();
        s_media = new fixtures::ScratchDir;
        s_marked = s_media->file("marked.mp4");
        ASSERT_TRUE(makeMarkedVideo(s_marked));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
        FCUninitPlugins();
    }

    static inline fixtures::ScratchDir* s_media = nullptr;
    static inline std::string s_marked;
    fixtures::ScratchDir m_dir;
};

// The cut starts on the requested time, not on the key picture before it, and lasts as
// long as the section: the picture within a frame, the sound to the sample.
TEST_F(TrimCutTest, ACutHoldsTheSectionFromItsFirstFrameAndSampleInAMov)
{
    // Source, begin, length, and the picture streams the cut has.
    const std::tuple<std::string, double, double, int> cases[] = {
        { s_marked, 1.23, 1.5, 1 }, // frame 30 of 100; key pictures at 0 and 2 s
        { s_marked, 2.51, 1.2, 1 }, // frame 62, past the second key picture
        { s_marked, 0.0, 0.1, 1 }, // the shortest section there is
        { fixtures::path("music-44k-cbr.mp3"), 7.77, 3.0, 0 },
        { fixtures::path("music-44k-vbr.mp3"), 0.5, 1.0, 0 },
    };
    for (const auto& [source, begin, length, videoStreams] : cases) {
        SCOPED_TRACE(source + " from " + std::to_string(begin));
        const TrimCut::Result result = TrimCut::cut(q(source), begin, length, q(m_dir.path()));
        ASSERT_EQ(result.outcome, Outcome::Cut);
        const std::string out = result.path.toStdString();
        const Probe p = probe(out);
        EXPECT_EQ(majorBrand(out), "qt  ");
        EXPECT_EQ(p.audioStreams, 1);
        EXPECT_EQ(p.videoStreams, videoStreams);

        const fixtures::Pcm cut = fixtures::decodeAll(out);
        ASSERT_EQ(cut.sampleRate, 44100);
        // The file holds the section's samples exactly; a decode may run on to the end of
        // the last AAC frame.
        EXPECT_NEAR(p.audio.duration, length, 0.5 / 44100);
        EXPECT_GE(double(cut.frames()), length * 44100 - 0.5);
        EXPECT_LT(double(cut.frames()), length * 44100 + 1024);
        if (length * 44100 > 2048 + 8192) {
            EXPECT_EQ(soundShift(fixtures::decodeAll(source), cut, begin), 0);
        }
        if (videoStreams == 1) {
            EXPECT_NEAR(p.video.duration, length, kFrame + 1e-6);
            const std::optional<int> first = firstFrameNumber(out);
            ASSERT_TRUE(first.has_value());
            EXPECT_NEAR(*first, std::floor(begin * kFrameRate), 1.0);
        }
        EXPECT_TRUE(QFile::remove(result.path));
    }
}

// Cuts never replace a file: each gets the first free "Trim N.mov", even cuts of files
// of the same name, and nothing but a complete cut is left in the folder.
TEST_F(TrimCutTest, CutsTakeTheFirstFreeNameAndLeaveNothingElse)
{
    std::filesystem::create_directories(m_dir.file("a"));
    std::filesystem::create_directories(m_dir.file("b"));
    fixtures::copyFile(s_marked, m_dir.file("a/clip.mp4"));
    fixtures::copyFile(fixtures::path("video.mp4"), m_dir.file("b/clip.mp4"));
    fixtures::writeFile(m_dir.file("plain-file"), "not a folder");
    const QString out = q(m_dir.file("cuts"));
    const QString temporaryFolder = q(m_dir.file("temporary"));
    const QString trimFolder = AppPlaces::trimFolder(temporaryFolder);
    gloableState()._tempFolderPath = temporaryFolder;

    // Source, begin, length, folder given, and the outcome, the new file's path, and the
    // folder's entries after the cut.
    const std::tuple<std::string, double, double, QString, Outcome, QString, QStringList> cases[] = {
        { m_dir.file("a/clip.mp4"), 1.0, 1.0, out, Outcome::Cut, out + u"/Trim 1.mov"_s, { u"Trim 1.mov"_s } },
        { m_dir.file("b/clip.mp4"), 0.5, 2.0, out, Outcome::Cut, out + u"/Trim 2.mov"_s,
            { u"Trim 1.mov"_s, u"Trim 2.mov"_s } },
        { m_dir.file("a/clip.mp4"), 1.0, 0.05, out, Outcome::TooShort, {}, { u"Trim 1.mov"_s, u"Trim 2.mov"_s } },
        { m_dir.file("missing.mp4"), 0.0, 1.0, out, Outcome::Failed, {}, { u"Trim 1.mov"_s, u"Trim 2.mov"_s } },
        { m_dir.file("a/clip.mp4"), 0.0, 1.0, q(m_dir.file("plain-file/cuts")), Outcome::Failed, {}, {} },
        { m_dir.file("a/clip.mp4"), 0.0, 1.0, {}, Outcome::Cut, trimFolder + u"/Trim 1.mov"_s, { u"Trim 1.mov"_s } },
        { m_dir.file("a/clip.mp4"), 0.0, 0.05, {}, Outcome::TooShort, {}, { u"Trim 1.mov"_s } },
    };
    QByteArray firstCut;
    for (const auto& [source, begin, length, folder, outcome, path, after] : cases) {
        SCOPED_TRACE(source + " for " + std::to_string(length) + " s into " + folder.toStdString());
        if (outcome == Outcome::Cut) {
            EXPECT_EQ(TrimCut::nextCutPath(folder), path) << "asked before the cut";
        }
        const TrimCut::Result result = TrimCut::cut(q(source), begin, length, folder);
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.path, path);
        EXPECT_EQ(entries(folder.isEmpty() ? trimFolder : folder), after);
        if (firstCut.isEmpty())
            firstCut = readBytes(out + u"/Trim 1.mov"_s);
        EXPECT_EQ(readBytes(out + u"/Trim 1.mov"_s), firstCut);
    }
    // Each cut holds its own source's section.
    EXPECT_NEAR(probe(m_dir.file("cuts/Trim 1.mov")).video.duration, 1.0, kFrame);
    EXPECT_NEAR(probe(m_dir.file("cuts/Trim 2.mov")).video.duration, 2.0, kFrame);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("plain-file/cuts")));
    gloableState()._tempFolderPath.clear();
}

} // namespace
