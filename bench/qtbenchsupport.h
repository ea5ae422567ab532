#pragma once
// Shared by the benchmarks that run widgets or the player.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdint>
#include <vector>

// Runs the event loop for `ms` milliseconds.
inline void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// An hour-long 16-bit WAV file, sparse on disk: silence, with a one-second burst at the
// start of every minute when `bursts` is set (so the waveform has something to draw).
inline void writeHourWav(const QString& path, uint32_t rate, uint16_t channels, bool bursts)
{
    const uint32_t blockAlign = channels * 2u;
    const uint32_t dataSize = 3600u * rate * blockAlign;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    auto put32 = [&f](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&f](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    put32(36 + dataSize);
    f.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(channels);
    put32(rate);
    put32(rate * blockAlign);
    put16(static_cast<uint16_t>(blockAlign));
    put16(16);
    f.write("data", 4);
    put32(dataSize);
    if (bursts) {
        std::vector<int16_t> burst(static_cast<size_t>(rate) * channels);
        for (size_t i = 0; i < burst.size(); ++i)
            burst[i] = static_cast<int16_t>((i / channels) % 40 < 20 ? 12000 : -12000);
        for (int minute = 0; minute < 60; ++minute) {
            f.seek(44 + static_cast<qint64>(minute) * 60 * rate * blockAlign);
            f.write(reinterpret_cast<const char*>(burst.data()), static_cast<qint64>(burst.size() * 2));
        }
    }
    f.resize(44 + dataSize);
}
