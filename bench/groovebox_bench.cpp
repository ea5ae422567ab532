// The Groove Box's sound costs: rendering an 8 s drum pattern to WAV (goal: under 0.5 s)
// and the sound font's first unpacking at launch (goal: under 1 s).
//
//   groovebox_bench [benchmark flags]   the render's progress lines go to standard error

#include "core/groovebox/midiloader.h"
#include "core/groovebox/soundfontpack.h"
#include "tests/support/smfwriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kFont = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");

// Kick, snare and hi-hats in eighths at 120 beats per minute, as the Groove Box writes them.
QByteArray drumPattern(double seconds)
{
    fixtures::SmfWriter song;
    for (int step = 0; step * 0.25 < seconds; ++step) {
        const double at = step * 0.25;
        song.note(9, 42, at, 0.1, 80);
        if (step % 4 == 0)
            song.note(9, 36, at, 0.1);
        if (step % 4 == 2)
            song.note(9, 38, at, 0.1);
    }
    return QByteArray::fromStdString(song.end(seconds).bytes());
}

void BM_RenderDrums8s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString midi = dir.filePath(QStringLiteral("drums.mid"));
    QFile file(midi);
    if (!file.open(QIODevice::WriteOnly) || file.write(drumPattern(8.0)) <= 0) {
        state.SkipWithError("cannot write the MIDI file");
        return;
    }
    file.close();
    const QString wav = dir.filePath(QStringLiteral("drums.wav"));
    for (auto _ : state) {
        const MidiRenderResult result = midiLoader(midi, kFont, wav);
        if (!result.ok) {
            state.SkipWithError(result.error.toStdString().c_str());
            return;
        }
        state.counters["seconds"] = result.seconds;
    }
}
BENCHMARK(BM_RenderDrums8s)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UnpackSoundFont(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray font = QFile::encodeName(dir.filePath(QStringLiteral("VyRingtoneSample.sf2")));
    for (auto _ : state) {
        if (unPackSf2File(SONABEL_PACKED_FONT, font.constData()) != 0) {
            state.SkipWithError("unpacking failed");
            return;
        }
        state.PauseTiming();
        QFile::remove(QFile::decodeName(font));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UnpackSoundFont)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
