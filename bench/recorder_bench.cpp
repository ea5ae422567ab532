// Recording costs: the process's CPU time while a take records for 30 s, and the time
// from the end of a 60 s take to its hand-over (the file complete). Music plays into
// the sound server from a separate process (paplay), so the input hears sound and the
// player's work is not counted. Run with a sound server, e.g. through a private one:
//   recorder_bench [CPU_SECONDS [TAKE_SECONDS]]

#include "audio/micphonerecorder.h"
#include "bench/musicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs the event loop for `ms` without waking up in between (a polling loop would
// count its own wake-ups as the recorder's).
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int cpuTake = argc > 1 ? std::atoi(argv[1]) : 30;
    const int longTake = argc > 2 ? std::atoi(argv[2]) : 60;
    QTemporaryDir dir;
    const QString music = dir.filePath(QStringLiteral("music.wav"));
    if (!makeMusic(music, cpuTake + longTake + 20, { QStringLiteral("-c:a"), QStringLiteral("pcm_s16le") })) {
        std::fprintf(stderr, "cannot make the music (is ffmpeg installed?)\n");
        return 1;
    }
    QProcess player;
    player.start(QStringLiteral("paplay"), { music });

    MicPhoneRecorder recorder(dir.path());
    if (!recorder.isRunning()) {
        std::fprintf(stderr, "no sound input\n");
        return 1;
    }
    QString handedOver;
    QObject::connect(&recorder, &MicPhoneRecorder::playFile,
        [&](const QVariantMap& take) { handedOver = take.value(QStringLiteral("FilePath")).toUrl().toLocalFile(); });
    QObject::connect(&recorder, &MicPhoneRecorder::errorOccurred, [](const QString& message, const QString& detail) {
        std::fprintf(stderr, "error: %s %s\n", qPrintable(message), qPrintable(detail));
    });
    idle(3000); // the stream settles and the music arrives

    // CPU with the input open (the meter), then while recording.
    const auto cpuPercentOver = [](int ms) {
        QElapsedTimer wall;
        wall.start();
        const double before = cpuSeconds();
        idle(ms);
        return 100.0 * (cpuSeconds() - before) / (static_cast<double>(wall.elapsed()) / 1000.0);
    };
    std::printf("CPU with the input open:  %.2f %% of one core\n", cpuPercentOver(10000));
    recorder.setRecording(true);
    const double recording = cpuPercentOver(cpuTake * 1000);
    std::printf("CPU while recording:      %.2f %% of one core over %d s (take %s)\n", recording, cpuTake,
        qPrintable(recorder.getLength()));
    recorder.setRecording(false);
    while (handedOver.isEmpty())
        idle(10);

    // The hand-over of a long take.
    handedOver.clear();
    recorder.setRecording(true);
    idle(longTake * 1000);
    QElapsedTimer delay;
    delay.start();
    recorder.setRecording(false);
    while (handedOver.isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const qint64 ms = delay.elapsed();
    std::printf("stop to hand-over:        %lld ms for a take of %s (%lld bytes)\n", static_cast<long long>(ms),
        qPrintable(recorder.getLength()), static_cast<long long>(QFileInfo(handedOver).size()));
    player.kill();
    player.waitForFinished();
    return 0;
}
