#include "core/convert/fadeunit.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kHeaderSize = 44;

// A canonical 16-bit PCM WAV file: the 44-byte header, then the samples as given (interleaved).
QByteArray wavBytes(int channels, int sampleRate, const std::vector<qint16>& samples)
{
    const auto dataSize = static_cast<uint32_t>(samples.size() * 2);
    QByteArray bytes = QByteArray::fromStdString(fixtures::wavHeader(sampleRate, channels, dataSize));
    for (const qint16 s : samples)
        bytes.append(static_cast<char>(s & 0xFF)).append(static_cast<char>((s >> 8) & 0xFF));
    return bytes;
}

int sampleAt(const QByteArray& bytes, int index)
{
    return qFromLittleEndian<qint16>(bytes.constData() + kHeaderSize + 2 * index);
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

// One second of 10000 in mono at 4096 Hz: byte rate 8192, so times in eighths of a second land on
// whole samples and every gain is exact. File length 8236.
QByteArray tone()
{
    return wavBytes(1, 4096, std::vector<qint16>(4096, 10000));
}

class FadeUnitTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }

    QTemporaryDir m_dir;
};

// The samples inside each ramp follow its gain; every other byte stays as it was. The faded file
// replaces the source with its permissions, and the work file spares the name without the extension.
TEST_F(FadeUnitTest, FadesRampLinearlyInsideTheirClampedWindows)
{
    const QString neighbour = write(QStringLiteral("song"), QByteArrayLiteral("someone else's file"));
    // Like tone(), with varied content so that a shifted copy would show.
    std::vector<qint16> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16((int(i) * 37) % 20001 - 10000);
    const QByteArray varied = wavBytes(1, 4096, samples);
    // Mono 4000 Hz: byte rate 8000, so 0 .. 0.125 s is a span of 1000 bytes.
    samples.assign(4000, 30000);
    for (std::size_t i = 1; i < samples.size(); i += 2)
        samples[i] = -10001; // -20.002 at the second sample: toward zero, not -21
    samples[65] = 30000; // 30000 * 0.13 in float is just under 3900
    const QByteArray mixed = wavBytes(1, 4000, samples);
    // Stereo 2048 Hz: byte rate 8192 again; 0 .. 0.25 s is 512 frames, span 2048 bytes.
    const QByteArray stereo = wavBytes(2, 2048, std::vector<qint16>(4096, 10000));

    struct Ramp {
        bool in;
        int first; // sample; before 0 when the window starts before the data
        int count;
        int span;
    };
    const struct {
        const char* what;
        QByteArray before;
        int flag;
        double inStart, inEnd, outStart, outEnd, length;
        std::vector<Ramp> ramps;
    } cases[] = {
        { "no fade asked for: nothing changes", varied, FadeUnit::kNoFade, 0, 0.5, 0.5, 1, 1, {} },
        { "fade-in rises from silence", varied, FadeUnit::kFadeIn, 0.25, 0.5, 0, 0, 1, { { true, 1024, 1024, 2048 } } },
        { "fade-out falls toward silence, not silencing what follows", varied, FadeUnit::kFadeOut, 0, 0, 0.5, 0.75, 1,
            { { false, 2048, 1024, 2048 } } },
        { "both fades keep the bytes between", varied, FadeUnit::kFadeInAndOut, 0, 0.25, 0.625, 1, 1,
            { { true, 0, 1024, 2048 }, { false, 2560, 1536, 3072 } } },
        { "touching windows", varied, FadeUnit::kFadeInAndOut, 0, 0.5, 0.5, 1, 1,
            { { true, 0, 2048, 4096 }, { false, 2048, 2048, 4096 } } },
        { "empty fade-in skipped, fade-out runs", varied, FadeUnit::kFadeInAndOut, 0.25, 0.25, 0.5, 0.75, 1,
            { { false, 2048, 1024, 2048 } } },
        { "empty fade-out skipped, fade-in runs", varied, FadeUnit::kFadeInAndOut, 0, 0.25, 0.75, 0.75, 1,
            { { true, 0, 1024, 2048 } } },
        { "fade-out past the end faded up to the last sample", varied, FadeUnit::kFadeOut, 0, 0, 0.75, 1.5, 1,
            { { false, 3072, 1024, 6144 } } },
        { "fade-in from a negative time counts from 0, like its span", varied, FadeUnit::kFadeIn, -0.5, 0.5, 0, 0, 1,
            { { true, 0, 2048, 4096 } } },
        // A stated length longer than the data puts the window's start before it: the part inside
        // keeps its place on the ramp (0 .. 1 s of 1.5 s covers the first half second, from gain 0.5).
        { "window starting before the data", varied, FadeUnit::kFadeIn, 0, 1, 0, 0, 1.5,
            { { true, -2048, 4096, 8192 } } },
        { "windows entirely outside", varied, FadeUnit::kFadeInAndOut, 2, 3, 5, 6, 1, {} },
        { "gain single precision, truncated toward zero", mixed, FadeUnit::kFadeIn, 0, 0.125, 0, 0, 1,
            { { true, 0, 500, 1000 } } },
        { "stereo: the right sample one step ahead of the left", stereo, FadeUnit::kFadeIn, 0, 0.25, 0, 0, 1,
            { { true, 0, 1024, 2048 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = write(QStringLiteral("song.wav"), c.before);
        const QByteArray native = QFile::encodeName(path);
        ASSERT_EQ(::chmod(native.constData(), 0600), 0);
        QString error;
        ASSERT_TRUE(FadeUnit::fadeProcess(path, c.flag, c.inStart, c.inEnd, c.outStart, c.outEnd, c.length, &error));
        EXPECT_TRUE(error.isEmpty());
        const QByteArray after = readBytes(path);
        ASSERT_EQ(after.size(), c.before.size());
        EXPECT_EQ(after.left(kHeaderSize), c.before.left(kHeaderSize));
        for (int i = 0; i < (c.before.size() - kHeaderSize) / 2; ++i) {
            const int value = sampleAt(c.before, i);
            int expected = value;
            for (const Ramp& r : c.ramps) {
                const int done = 2 * (i - r.first);
                if (i >= r.first && i < r.first + r.count)
                    expected = r.in ? fadedIn(value, done, r.span) : fadedOut(value, done, r.span);
            }
            ASSERT_EQ(sampleAt(after, i), expected) << "sample " << i;
        }
        EXPECT_EQ(readBytes(neighbour), QByteArrayLiteral("someone else's file"));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no work file left
        struct stat info { };
        ASSERT_EQ(::stat(native.constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);
    }
}

TEST_F(FadeUnitTest, RefusalsKeepTheSourceAndLeaveNoWorkFile)
{
    const struct {
        const char* what;
        QByteArray content; // null: no source file
        bool workFileTaken; // a directory in its place cannot be opened for writing, even by root
        int flag;
        double inStart, inEnd, outStart, outEnd;
        QString error;
    } cases[] = {
        { "missing source", QByteArray(), false, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0,
            QStringLiteral("Can't open source file error.") },
        { "unwritable work file", tone(), true, FadeUnit::kFadeInAndOut, 0.0, 0.25, 0.75, 1.0,
            QStringLiteral("Can't open destination file error.") },
        { "fade-out before the fade-in", tone(), false, FadeUnit::kFadeInAndOut, 0.5, 0.75, 0.25, 0.5,
            QStringLiteral("The fade-out must come after the fade-in.") },
        { "overlapping fades", tone(), false, FadeUnit::kFadeInAndOut, 0.0, 0.5, 0.25, 1.0,
            QStringLiteral("The fade-out must come after the fade-in.") },
        { "file shorter than the header", wavBytes(1, 4096, {}).left(40), false, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0,
            QStringLiteral("The file is too short to be a WAV file.") },
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("refused%1.wav").arg(index++);
        const QString path = c.content.isNull() ? m_dir.filePath(name) : write(name, c.content);
        const QString workPath = path + QStringLiteral(".fade.tmp");
        ASSERT_TRUE(!c.workFileTaken || QDir().mkdir(workPath));
        QString error;
        EXPECT_FALSE(FadeUnit::fadeProcess(path, c.flag, c.inStart, c.inEnd, c.outStart, c.outEnd, 1.0, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(QFileInfo::exists(path), !c.content.isNull());
        EXPECT_EQ(readBytes(path), c.content);
        EXPECT_EQ(QFileInfo::exists(workPath), c.workFileTaken);
        EXPECT_EQ(QFileInfo(workPath).isDir(), c.workFileTaken); // not ours to remove
    }
}

TEST_F(FadeUnitTest, FailedWriteKeepsSourceAndRemovesWorkFile)
{
    // 64 KiB of samples written under a 16 KiB file size limit: the write fails part-way, as on a full disk.
    const QString path = write(QStringLiteral("big.wav"), wavBytes(1, 32768, std::vector<qint16>(32768, 10000)));
    const QByteArray before = readBytes(path);
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN); // get EFBIG rather than a signal
    rlimit limited = saved;
    limited.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool ok = FadeUnit::fadeProcess(path, FadeUnit::kFadeIn, 0.0, 0.5, 0.0, 0.0, 1.0, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write the faded file"))) << error.toStdString();
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".fade.tmp")));
}

} // namespace
