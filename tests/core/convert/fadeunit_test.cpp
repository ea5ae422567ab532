#include "core/convert/fadeunit.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kHeaderSize = 44;

// A canonical 16-bit PCM WAV file: the 44-byte header, then the samples as given (interleaved).
QByteArray wavBytes(int channels, int sampleRate, const std::vector<qint16>& samples)
{
    QByteArray bytes;
    const auto put32 = [&](quint32 v) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((v >> shift) & 0xFF));
    };
    const auto put16 = [&](quint16 v) {
        bytes.append(char(v & 0xFF));
        bytes.append(char(v >> 8));
    };
    const auto dataSize = quint32(samples.size() * 2);
    bytes.append("RIFF");
    put32(36 + dataSize);
    bytes.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(quint16(channels));
    put32(quint32(sampleRate));
    put32(quint32(sampleRate * channels * 2)); // byte rate
    put16(quint16(channels * 2));
    put16(16);
    bytes.append("data");
    put32(dataSize);
    for (const qint16 s : samples)
        put16(quint16(s));
    return bytes;
}

int sampleAt(const QByteArray& bytes, int index)
{
    const int at = kHeaderSize + 2 * index;
    return qint16(quint16(quint8(bytes[at])) | quint16(quint8(bytes[at + 1])) << 8);
}

// What the fade should give in 32-bit float, truncated toward zero.
int fadedIn(int value, int bytesDone, int span)
{
    return int(float(value) * (float(bytesDone) / float(span)));
}

int fadedOut(int value, int bytesDone, int span)
{
    return int(float(value) * (1.0f - float(bytesDone) / float(span)));
}

class FadeUnitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // One second of mono at 4096 Hz: byte rate 8192, so times in eighths of a second land on whole
    // samples and every gain below is exact. File length 8236.
    QString constantMono(const QString& name, qint16 value)
    {
        return write(name, wavBytes(1, 4096, std::vector<qint16>(4096, value)));
    }

    QTemporaryDir m_dir;
};

TEST(FadeUnitBytes, GetIntFromByteDecodesSignedLittleEndian)
{
    EXPECT_EQ(FadeUnit::getIntFromByte(0x34, 0x12), 0x1234);
    EXPECT_EQ(FadeUnit::getIntFromByte(0xFF, 0xFF), -1);
    EXPECT_EQ(FadeUnit::getIntFromByte(0x00, 0x80), -32768);
    EXPECT_EQ(FadeUnit::getIntFromByte(0xFF, 0x7F), 32767);
    EXPECT_EQ(FadeUnit::getIntFromByte(0x00, 0x00), 0);
    EXPECT_EQ(FadeUnit::getIntFromByte(0x80, 0x00), 128); // the low byte is unsigned
    EXPECT_EQ(FadeUnit::getIntFromByte(0x01, 0xFF), -255);
}

TEST_F(FadeUnitTest, FlagZeroDoesNothing)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), 10000);
    const QByteArray before = read(path);
    QString error = QStringLiteral("untouched");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kNoFade, 0.0, 0.5, 0.5, 1.0, 1.0, &error));
    EXPECT_TRUE(FadeUnit::fadeProcess(m_dir.filePath(QStringLiteral("missing.wav")), 0, 0, 1, 0, 1, 1, &error));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(read(path), before);
    EXPECT_EQ(error, QStringLiteral("untouched"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

TEST_F(FadeUnitTest, FadeInRisesLinearlyFromSilence)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), 10000);
    const QByteArray before = read(path);
    QString error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.25, 0.5, 0.0, 0.0, 1.0, &error));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(error.isEmpty());

    const QByteArray after = read(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(kHeaderSize), before.left(kHeaderSize));
    // Window: samples 1024..2047 (bytes 2092..4139), span 2048 bytes.
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(sampleAt(after, i), 10000) << i;
    for (int k = 0; k < 1024; ++k)
        ASSERT_EQ(sampleAt(after, 1024 + k), 10000 * (2 * k) / 2048) << k;
    EXPECT_EQ(sampleAt(after, 1024), 0);
    EXPECT_EQ(sampleAt(after, 1025), 9);
    EXPECT_EQ(sampleAt(after, 2047), 9990); // one step short of full
    for (int i = 2048; i < 4096; ++i)
        ASSERT_EQ(sampleAt(after, i), 10000) << i;
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

TEST_F(FadeUnitTest, FadeOutFallsLinearlyTowardSilence)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), -10000);
    const QByteArray before = read(path);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeOut, 0.0, 0.0, 0.5, 0.75, 1.0, nullptr));
    testing::internal::GetCapturedStdout();

    const QByteArray after = read(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(kHeaderSize), before.left(kHeaderSize));
    for (int i = 0; i < 2048; ++i)
        ASSERT_EQ(sampleAt(after, i), -10000) << i;
    for (int k = 0; k < 1024; ++k)
        ASSERT_EQ(sampleAt(after, 2048 + k), -10000 * (2048 - 2 * k) / 2048) << k;
    EXPECT_EQ(sampleAt(after, 2048), -10000);
    EXPECT_EQ(sampleAt(after, 3071), -9); // truncated toward zero, not down to -10
    for (int i = 3072; i < 4096; ++i) // the fade-out does not silence what follows it
        ASSERT_EQ(sampleAt(after, i), -10000) << i;
}

TEST_F(FadeUnitTest, GainIsSinglePrecisionTruncatedTowardZero)
{
    // Mono 4000 Hz: byte rate 8000, so 0 .. 0.125 s is bytes 44..1043 with a span of 1000 bytes.
    std::vector<qint16> samples(4000, 30000);
    for (std::size_t i = 1; i < samples.size(); i += 2)
        samples[i] = -10001;
    samples[65] = 30000;
    const QString path = write(QStringLiteral("mixed.wav"), wavBytes(1, 4000, samples));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.125, 0.0, 0.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();

    const QByteArray after = read(path);
    for (int k = 0; k < 500; ++k)
        ASSERT_EQ(sampleAt(after, k), fadedIn(samples[k], 2 * k, 1000)) << k;
    EXPECT_EQ(sampleAt(after, 1), -20); // -20.002: toward zero, not -21
    EXPECT_EQ(sampleAt(after, 65), 3899); // 30000 * 0.13 in float is just under 3900
    EXPECT_EQ(sampleAt(after, 500), 30000);
}

TEST_F(FadeUnitTest, StereoFrameSamplesDifferByOneStep)
{
    // Stereo 2048 Hz: byte rate 8192 again; 0 .. 0.25 s is 512 frames, span 2048 bytes.
    const QString path = write(QStringLiteral("stereo.wav"), wavBytes(2, 2048, std::vector<qint16>(4096, 10000)));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.25, 0.0, 0.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();

    const QByteArray after = read(path);
    for (int frame = 0; frame < 512; ++frame) {
        ASSERT_EQ(sampleAt(after, 2 * frame), 10000 * (4 * frame) / 2048) << frame;
        ASSERT_EQ(sampleAt(after, 2 * frame + 1), 10000 * (4 * frame + 2) / 2048) << frame;
    }
    EXPECT_EQ(sampleAt(after, 0), 0);
    EXPECT_EQ(sampleAt(after, 1), 9); // right channel one step ahead of the left
    EXPECT_EQ(sampleAt(after, 1024), 10000);
}

TEST_F(FadeUnitTest, EmptyWindowIsSkippedWhileTheOtherFadeRuns)
{
    // Fade-in empty (start == end), fade-out 0.5 .. 0.75 s.
    {
        const QString path = constantMono(QStringLiteral("a.wav"), 10000);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.25, 0.25, 0.5, 0.75, 1.0, nullptr));
        testing::internal::GetCapturedStdout();
        const QByteArray after = read(path);
        for (int i = 0; i < 2048; ++i)
            ASSERT_EQ(sampleAt(after, i), 10000) << i;
        for (int k = 0; k < 1024; ++k)
            ASSERT_EQ(sampleAt(after, 2048 + k), fadedOut(10000, 2 * k, 2048)) << k;
    }
    // Fade-out empty, fade-in 0 .. 0.25 s.
    {
        const QString path = constantMono(QStringLiteral("b.wav"), 10000);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.0, 0.25, 0.75, 0.75, 1.0, nullptr));
        testing::internal::GetCapturedStdout();
        const QByteArray after = read(path);
        for (int k = 0; k < 1024; ++k)
            ASSERT_EQ(sampleAt(after, k), fadedIn(10000, 2 * k, 2048)) << k;
        for (int i = 1024; i < 4096; ++i)
            ASSERT_EQ(sampleAt(after, i), 10000) << i;
    }
}

TEST_F(FadeUnitTest, BothFadesKeepHeaderAndBytesBetween)
{
    std::vector<qint16> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i) // varied content, so a shifted copy would show
        samples[i] = qint16((int(i) * 37) % 20001 - 10000);
    const QByteArray before = wavBytes(1, 4096, samples);
    const QString path = write(QStringLiteral("both.wav"), before);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.0, 0.25, 0.625, 1.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();

    const QByteArray after = read(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(kHeaderSize), before.left(kHeaderSize));
    for (int k = 0; k < 1024; ++k) // fade-in: span 2048
        ASSERT_EQ(sampleAt(after, k), fadedIn(samples[k], 2 * k, 2048)) << k;
    EXPECT_EQ(after.mid(kHeaderSize + 2048, 5120 - 2048), before.mid(kHeaderSize + 2048, 5120 - 2048));
    for (int k = 0; k < 1536; ++k) // fade-out: 0.625 .. 1.0 s, span 3072, up to the end
        ASSERT_EQ(sampleAt(after, 2560 + k), fadedOut(samples[2560 + k], 2 * k, 3072)) << k;
}

TEST_F(FadeUnitTest, PrintsLengthAndExitLines)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), 10000);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        "----------------------File Length--------------------------\n"
        "file Length:8236\n"
        "exit fade unit\n");
}

TEST_F(FadeUnitTest, MissingSourceFails)
{
    const QString path = m_dir.filePath(QStringLiteral("missing.wav"));
    QString error;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, &error));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot locate file\n");
    EXPECT_EQ(error, QStringLiteral("Can't open source file error."));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

TEST_F(FadeUnitTest, UnwritableWorkFileFailsAndKeepsSource)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), 10000);
    const QByteArray before = read(path);
    // A directory in the work file's place cannot be opened for writing, even by root.
    const QString workPath = path + QStringLiteral(".fade.tmp");
    ASSERT_TRUE(QDir().mkdir(workPath));
    QString error;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.0, 0.25, 0.75, 1.0, 1.0, &error));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open destination file\n");
    EXPECT_EQ(error, QStringLiteral("Can't open destination file error."));
    EXPECT_EQ(read(path), before);
    EXPECT_TRUE(QFileInfo(workPath).isDir()); // not ours to remove
}

TEST_F(FadeUnitTest, WorkFileNeverClobbersANeighbour)
{
    // Without an extension the path would otherwise be its own work file.
    const QString bare = constantMono(QStringLiteral("tone"), 10000);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(bare, FadeUnit::kFadeIn, 0.0, 0.25, 0.0, 0.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();
    const QByteArray faded = read(bare);
    ASSERT_EQ(faded.size(), 8236);
    EXPECT_EQ(sampleAt(faded, 0), 0);
    EXPECT_EQ(sampleAt(faded, 512), 5000);
    EXPECT_EQ(sampleAt(faded, 1024), 10000);

    // With one, the name without it may be another file.
    const QString song = constantMono(QStringLiteral("song.wav"), 10000);
    const QString neighbour = write(QStringLiteral("song"), QByteArrayLiteral("someone else's file"));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(song, FadeUnit::kFadeIn, 0.0, 0.25, 0.0, 0.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(read(neighbour), QByteArrayLiteral("someone else's file"));
    EXPECT_EQ(sampleAt(read(song), 512), 5000);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // no work file left
}

TEST_F(FadeUnitTest, WindowsBeyondTheDataAreClamped)
{
    // Fade-out past the end: 0.75 .. 1.5 s, span 6144; faded up to the last sample.
    {
        const QString path = constantMono(QStringLiteral("late.wav"), 10000);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeOut, 0.0, 0.0, 0.75, 1.5, 1.0, nullptr));
        testing::internal::GetCapturedStdout();
        const QByteArray after = read(path);
        ASSERT_EQ(after.size(), 8236);
        for (int k = 0; k < 1024; ++k)
            ASSERT_EQ(sampleAt(after, 3072 + k), fadedOut(10000, 2 * k, 6144)) << k;
        EXPECT_EQ(sampleAt(after, 3071), 10000);
        EXPECT_EQ(sampleAt(after, 4095), 6669);
    }
    // Fade-in from a negative time counts from 0, like its span (0 .. 0.5 s).
    {
        const QString path = constantMono(QStringLiteral("early.wav"), 10000);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, -0.5, 0.5, 0.0, 0.0, 1.0, nullptr));
        testing::internal::GetCapturedStdout();
        const QByteArray after = read(path);
        for (int k = 0; k < 2048; ++k)
            ASSERT_EQ(sampleAt(after, k), fadedIn(10000, 2 * k, 4096)) << k;
        EXPECT_EQ(sampleAt(after, 2048), 10000);
    }
    // A stated length longer than the data puts the window's start before it: the part inside keeps
    // its place on the ramp (0 .. 1 s of 1.5 s covers the first half second here, from gain 0.5).
    {
        const QString path = constantMono(QStringLiteral("long.wav"), 10000);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 1.0, 0.0, 0.0, 1.5, nullptr));
        testing::internal::GetCapturedStdout();
        const QByteArray after = read(path);
        for (int k = 0; k < 2048; ++k)
            ASSERT_EQ(sampleAt(after, k), fadedIn(10000, 4096 + 2 * k, 8192)) << k;
        EXPECT_EQ(sampleAt(after, 0), 5000);
        EXPECT_EQ(sampleAt(after, 2048), 10000);
    }
    // Entirely outside: nothing to fade, nothing broken.
    {
        const QString path = constantMono(QStringLiteral("outside.wav"), 10000);
        const QByteArray before = read(path);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 2.0, 3.0, 5.0, 6.0, 1.0, nullptr));
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(read(path), before);
    }
}

TEST_F(FadeUnitTest, FadeOutBeforeFadeInIsRefused)
{
    const QString path = constantMono(QStringLiteral("tone.wav"), 10000);
    const QByteArray before = read(path);
    QString error;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.5, 0.75, 0.25, 0.5, 1.0, &error));
    EXPECT_FALSE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.0, 0.5, 0.25, 1.0, 1.0, &error)); // overlap
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(error, QStringLiteral("The fade-out must come after the fade-in."));
    EXPECT_EQ(read(path), before);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));

    // Touching windows are fine.
    testing::internal::CaptureStdout();
    EXPECT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeInAndOut, 0.0, 0.5, 0.5, 1.0, 1.0, &error));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(sampleAt(read(path), 2047), fadedIn(10000, 4094, 4096));
    EXPECT_EQ(sampleAt(read(path), 2048), 10000);
}

TEST_F(FadeUnitTest, FileShorterThanHeaderIsRefused)
{
    const QByteArray truncated = wavBytes(1, 4096, {}).left(40);
    const QString path = write(QStringLiteral("short.wav"), truncated);
    QString error;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, &error));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read(path), truncated);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

TEST_F(FadeUnitTest, FailedWriteKeepsSourceAndRemovesWorkFile)
{
    // 64 KiB of samples written under a 16 KiB file size limit: the write fails part-way, as on a full disk.
    const QString path = write(QStringLiteral("big.wav"), wavBytes(1, 32768, std::vector<qint16>(32768, 10000)));
    const QByteArray before = read(path);

    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN); // get EFBIG rather than a signal
    rlimit limited = saved;
    limited.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    testing::internal::CaptureStdout();
    const bool ok = FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, &error);
    testing::internal::GetCapturedStdout();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write the faded file"))) << error.toStdString();
    EXPECT_EQ(read(path), before);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

TEST_F(FadeUnitTest, ReplacementKeepsPermissions)
{
    const QString path = constantMono(QStringLiteral("private.wav"), 10000);
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chmod(native.constData(), 0600), 0);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, nullptr));
    testing::internal::GetCapturedStdout();
    struct stat info { };
    ASSERT_EQ(::stat(native.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(sampleAt(read(path), 1024), 5000); // really replaced
}

} // namespace
