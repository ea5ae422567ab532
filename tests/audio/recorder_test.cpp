#include "audio/micphonerecorder.h"
#include "audio/soundplayer.h"
#include "support/fixtures.h"
#include "support/monitorcapture.h"
#include "support/qtfixtures.h"
#include "support/tonewav.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// "HH:MM:SS.ff" in seconds.
double seconds(const QString& length)
{
    const QStringList parts = length.split(QLatin1Char(':'));
    return parts.size() == 3 ? parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toDouble() : -1.0;
}

// The level the recorder shows for a sine of `amplitude` (its power in dB: 20·log10 RMS).
double meterFor(double amplitude)
{
    return 20.0 * std::pow(10.0, 0.05 * 20.0 * std::log10(amplitude / std::sqrt(2.0)));
}

// Runs pactl with the space-separated `arguments`; its standard output.
QString pactl(const QString& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments.split(QLatin1Char(' ')));
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Capture streams this process holds open at the sound server.
int ourSourceOutputs()
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    return pactl(QStringLiteral("list source-outputs"))
        .count(QStringLiteral("application.process.id = \"%1\"").arg(pid));
}

class RecorderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        if (QMediaDevices::defaultAudioInput().isNull())
            GTEST_SKIP() << "no sound input";
    }

    // Plays a tone of `amplitude` into the sound server until the player goes.
    std::unique_ptr<SoundPlayer> play(double amplitude)
    {
        const std::string wav = dir.file("tone" + std::to_string(amplitude) + ".wav");
        fixtures::writeToneWav(wav, 8.0, 44100, amplitude);
        auto player = std::make_unique<SoundPlayer>();
        EXPECT_TRUE(player->open(q(wav)) && player->play());
        return player;
    }

    // Records for `ms` and returns the take's file ("" when none was handed over).
    QString record(MicPhoneRecorder& recorder, int ms)
    {
        QString path;
        const QObject scope; // the connection ends with this call
        QObject::connect(&recorder, &MicPhoneRecorder::playFile, &scope, [&](const QVariantMap& take) {
            EXPECT_FALSE(take.value(QStringLiteral("LetPlay")).toBool());
            path = take.value(QStringLiteral("FilePath")).toUrl().toLocalFile();
        });
        recorder.setRecording(true);
        EXPECT_TRUE(recorder.isRecording());
        MonitorCapture::listenFor(ms);
        recorder.setRecording(false);
        EXPECT_FALSE(recorder.isRecording());
        MonitorCapture::waitFor([&] { return !path.isEmpty(); }, 10000);
        return path;
    }

    fixtures::ScratchDir dir;
    QString temp = q(dir.path());
};

TEST_F(RecorderTest, ATakeHoldsWhatTheInputHeard)
{
    MicPhoneRecorder recorder(temp);
    ASSERT_TRUE(recorder.isRunning());
    EXPECT_GE(recorder.chkHasMic(), 0);
    const auto player = play(0.5);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return recorder.getAudioLevels() > 1.0; }, 10000));
    const QString path = record(recorder, 2000);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isFile());
    const double recorded = seconds(recorder.getLength());
    EXPECT_GT(recorded, 0.5);
    const fixtures::Pcm pcm = fixtures::decodeAll(path.toStdString());
    ASSERT_GT(pcm.frames(), 0u);
    EXPECT_NEAR(static_cast<double>(pcm.frames()) / pcm.sampleRate, recorded, 0.2);
    EXPECT_NEAR(fixtures::levelDb(pcm, recorded / 4, recorded / 2), 20 * std::log10(0.5 / std::sqrt(2.0)), 2.0);
    // Only the finished file is left.
    EXPECT_EQ(entries(temp + QStringLiteral("/Record")), QStringList { QStringLiteral("temp0.mov") });
}

TEST_F(RecorderTest, TheMeterFollowsTheInputLevel)
{
    struct Case {
        double amplitude; // 0: nothing plays
        double low, high; // the meter's expected range
    };
    const Case cases[] = {
        { 0.5, meterFor(0.5) / 1.5, meterFor(0.5) * 1.5 },
        { 0.05, meterFor(0.05) / 1.5, meterFor(0.05) * 1.5 },
        { 0.0, 0.0, 0.01 },
    };
    MicPhoneRecorder recorder(temp);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amplitude);
        const auto player = c.amplitude > 0 ? play(c.amplitude) : nullptr;
        double level = -1.0;
        EXPECT_TRUE(MonitorCapture::waitFor(
            [&] {
                level = recorder.getAudioLevels();
                return level >= c.low && level <= c.high;
            },
            10000))
            << level;
    }
}

TEST_F(RecorderTest, ATakeIsNamedByTheEntriesBeforeIt)
{
    struct Case {
        std::vector<const char*> present;
        const char* expected;
    };
    const Case cases[] = {
        { {}, "temp0.mov" }, { { "a", "b", "c", "d", ".e" }, "temp5.mov" },
        { { "temp1.mov" }, "temp2.mov" }, // never over an earlier take
    };
    for (const Case& c : cases) {
        fixtures::ScratchDir folder;
        const QString record = q(folder.path()) + QStringLiteral("/Record");
        QDir().mkpath(record);
        for (const char* name : c.present)
            writeBytes(record + QLatin1Char('/') + QLatin1String(name), "x");
        MicPhoneRecorder recorder(q(folder.path()));
        EXPECT_EQ(QFileInfo(this->record(recorder, 300)).fileName(), QLatin1String(c.expected));
        EXPECT_EQ(readBytes(record + QStringLiteral("/temp1.mov")) == "x", c.present.size() == 1);
    }
}

TEST_F(RecorderTest, TheSameStateAgainDoesNothing)
{
    MicPhoneRecorder recorder(temp);
    int takes = 0;
    int errors = 0;
    QObject::connect(&recorder, &MicPhoneRecorder::playFile, [&] { ++takes; });
    QObject::connect(&recorder, &MicPhoneRecorder::errorOccurred, [&] { ++errors; });
    recorder.setRecording(false);
    recorder.setRecording(true);
    recorder.setRecording(true);
    MonitorCapture::listenFor(300);
    recorder.setRecording(false);
    recorder.setRecording(false);
    EXPECT_TRUE(MonitorCapture::waitFor([&] { return takes > 0; }, 10000));
    MonitorCapture::listenFor(300);
    EXPECT_EQ(takes, 1);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(entries(temp + QStringLiteral("/Record")).size(), 1);
}

TEST_F(RecorderTest, ClosingTheSessionLeavesNoCaptureStream)
{
    MicPhoneRecorder recorder(temp);
    EXPECT_EQ(ourSourceOutputs(), 1);
    recorder.stopSession();
    EXPECT_FALSE(recorder.isRunning());
    EXPECT_EQ(recorder.getAudioLevels(), 0.0);
    EXPECT_EQ(ourSourceOutputs(), 0);
    recorder.startRunning();
    EXPECT_TRUE(recorder.isRunning());
    EXPECT_EQ(ourSourceOutputs(), 1);
}

TEST_F(RecorderTest, ARunningTakeIsFinishedOnDestruction)
{
    QString path;
    {
        MicPhoneRecorder recorder(temp);
        QObject::connect(&recorder, &MicPhoneRecorder::playFile,
            [&](const QVariantMap& take) { path = take.value(QStringLiteral("FilePath")).toUrl().toLocalFile(); });
        recorder.setRecording(true);
        ASSERT_TRUE(MonitorCapture::waitFor([&] { return seconds(recorder.getLength()) > 0.3; }, 10000));
    }
    ASSERT_FALSE(path.isEmpty());
    EXPECT_GT(fixtures::decodeAll(path.toStdString()).frames(), 0u);
}

TEST_F(RecorderTest, AnInputLostMidTakeFailsTheTakeAlone)
{
    MicPhoneRecorder recorder(temp);
    const QString first = record(recorder, 300);
    ASSERT_FALSE(first.isEmpty());
    const QByteArray firstBytes = readBytes(first);
    int takes = 0;
    int errors = 0;
    QObject::connect(&recorder, &MicPhoneRecorder::playFile, [&] { ++takes; });
    QObject::connect(&recorder, &MicPhoneRecorder::errorOccurred, [&] { ++errors; });
    recorder.setRecording(true);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return seconds(recorder.getLength()) > 0.2; }, 10000));
    // The test server's microphone is a remap of the sink's monitor: unloading it pulls
    // the device out from under the stream; it is put back for the tests that follow.
    const QString modules = pactl(QStringLiteral("list short modules"));
    const QString mic = modules.split(QLatin1Char('\n')).filter(QStringLiteral("source_name=ci_mic")).value(0);
    ASSERT_FALSE(mic.isEmpty());
    pactl(QStringLiteral("unload-module ") + mic.section(QLatin1Char('\t'), 0, 0));
    EXPECT_TRUE(MonitorCapture::waitFor([&] { return errors > 0; }, 10000));
    pactl(QStringLiteral("load-module module-remap-source master=ci_sink.monitor source_name=ci_mic"));
    pactl(QStringLiteral("set-default-source ci_mic"));
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(recorder.hasRecordingDevice());
    MonitorCapture::listenFor(200);
    EXPECT_EQ(takes, 0);
    EXPECT_EQ(entries(temp + QStringLiteral("/Record")), QStringList { QFileInfo(first).fileName() });
    EXPECT_EQ(readBytes(first), firstBytes);
}

TEST(NoSoundServer, RecorderHasNoInput)
{
    if (qEnvironmentVariableIsEmpty("SONABEL_EXPECT_NO_SOUND"))
        GTEST_SKIP() << "only meaningful without a sound server";
    fixtures::ScratchDir dir;
    MicPhoneRecorder recorder(q(dir.path()));
    int takes = 0;
    QObject::connect(&recorder, &MicPhoneRecorder::playFile, [&] { ++takes; });
    EXPECT_EQ(recorder.chkHasMic(), -1);
    EXPECT_FALSE(recorder.hasRecordingDevice());
    EXPECT_EQ(recorder.getAudioLevels(), 0.0);
    recorder.setRecording(true);
    EXPECT_FALSE(recorder.isRecording());
    recorder.setRecording(false);
    MonitorCapture::listenFor(200);
    EXPECT_EQ(takes, 0);
    EXPECT_TRUE(entries(q(dir.path()) + QStringLiteral("/Record")).isEmpty());
}

} // namespace
