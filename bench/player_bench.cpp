// Playing costs: CPU time while a 44.1 kHz stereo MP3 plays for 10 s, and the time from
// VPPlay to the first sound heard on the default input (the null sink's monitor when
// run by bench/measure-player.sh).
//   player_bench FILE

#include "audio/playerlib.h"
#include "bench/qtbenchsupport.h"
#include "media/utfconvert.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Notes when the first sample louder than a whisper arrives.
class FirstSound : public QIODevice {
public:
    explicit FirstSound(const QElapsedTimer& clock)
        : m_clock(clock)
    {
        open(QIODevice::WriteOnly);
    }
    qint64 heardAtMs = -1;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        for (qint64 i = 0; heardAtMs < 0 && i + 1 < size; i += 2) {
            int16_t s = 0;
            std::memcpy(&s, data + i, 2);
            if (s > 1000 || s < -1000)
                heardAtMs = m_clock.elapsed();
        }
        return size;
    }

private:
    const QElapsedTimer& m_clock;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: player_bench FILE\n");
        return 2;
    }
    DecMgrInit();
    Player player = VPCreate();
    AudioDecoder decoder = ADecCreate(WidePath(argv[1]), 0, 0, 0);
    AudioProcessor audio = PCAudioCreate(decoder, 0, 0, 0, 0);
    if (player == nullptr || audio == nullptr) {
        std::fprintf(stderr, "no sound output or unreadable file\n");
        return 1;
    }
    VPSetDecoder(player, static_cast<VideoProcessor>(nullptr), audio);

    // Latency: listen first, then play from a point inside the tone.
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    QElapsedTimer clock;
    FirstSound first(clock);
    QAudioSource source(QMediaDevices::defaultAudioInput(), format);
    source.start(&first);
    pump(300);
    VPSeek(player, 1.0, 1);
    clock.start();
    VPPlay(player);
    const qint64 returnedMs = clock.elapsed();
    while (first.heardAtMs < 0 && clock.elapsed() < 5000)
        pump(1);
    VPStop(player);
    source.stop();
    std::printf("VPPlay returned after:        %lld ms\n", static_cast<long long>(returnedMs));
    if (first.heardAtMs >= 0)
        std::printf("first sound on the monitor:   %lld ms after VPPlay\n", static_cast<long long>(first.heardAtMs));
    else
        std::printf("first sound on the monitor:   not heard within 5 s\n");

    // CPU: ten seconds of playing.
    VPSeek(player, 0.0, 1);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    VPPlay(player);
    pump(10000);
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    VPStop(player);
    std::printf("CPU while playing:            %.3f s over %.1f s = %.2f %% of one core\n", cpu, seconds,
        100.0 * cpu / seconds);
    std::printf("underruns:                    %d\n", VPGetUnderrunCount(player));

    VPSetDecoder(player, static_cast<VideoProcessor>(nullptr), static_cast<AudioProcessor>(nullptr));
    VPDestroy(player);
    PCAudioDestroy(audio);
    ADecDestroy(decoder);
    return 0;
}
