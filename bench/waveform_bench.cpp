// The waveform data engine against a bare decode of the same file, in one run: the
// one-thread engine, the parallel engine on 1, 2 and all cores, and the time until the
// parallel engine hands over the first screen of points (what a view draws first).
//
//   waveform_bench --file FILE [benchmark flags]   every benchmark on FILE
//   waveform_bench --once FILE THREADS             the parallel engine once on THREADS
//                                                  threads (0: all cores), for timing
//                                                  whole processes
//   waveform_bench --peak-memory FILE              the engine once; prints the peak
//                                                  resident memory above the baseline
// bench/compare-waveform.sh runs both on a 5-minute and a 60-minute MP3.

#include "bench/decodesupport.h"
#include "core/environment/editingstate.h"
#include "core/waveform/parallelwaveformengine.h"
#include "core/waveform/waveformdataengine.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string g_file;

void BM_BareDecode(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeWhole(g_file));
}
BENCHMARK(BM_BareDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WaveformEngine(benchmark::State& state)
{
    size_t points = 0;
    for (auto _ : state) {
        WaveformDataEngine engine;
        const auto block = engine.getWaveformPointsFromFile(QString::fromStdString(g_file), 200.0f, 20.0f);
        points = block ? block->sampleBlk().size() : 0;
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_WaveformEngine)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parallel engine on `range(0)` threads.
void BM_ParallelEngine(benchmark::State& state)
{
    size_t points = 0;
    int parts = 0;
    for (auto _ : state) {
        ParallelWaveformEngine engine(static_cast<int>(state.range(0)));
        const auto block = engine.getWaveformPointsFromFile(QString::fromStdString(g_file), 200.0f, 20.0f);
        points = block ? block->sampleBlk().size() : 0;
        parts = engine.partsDecoded();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["parts"] = parts;
}
// 1, 2 and all cores (when there are more than two).
BENCHMARK(BM_ParallelEngine)
    ->Apply([](benchmark::internal::Benchmark* b) {
        b->Arg(1)->Arg(2);
        if (ParallelWaveformEngine::defaultThreads() > 2)
            b->Arg(ParallelWaveformEngine::defaultThreads());
    })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// From the call to the first stretch of points, which covers the first screen of a view
// 682 pixels wide at the overview's 0.05 pixels a point; the rest is stopped then. On all
// cores (0), as the editor runs it, and on one.
void BM_FirstScreen(benchmark::State& state)
{
    constexpr int64_t kFirstScreenPoints = 682 * 20;
    for (auto _ : state) {
        ParallelWaveformEngine engine(static_cast<int>(state.range(0)));
        const auto start = std::chrono::steady_clock::now();
        double ms = -1.0;
        (void)engine.getWaveformPointsFromFile(
            QString::fromStdString(g_file), 200.0f, 20.0f,
            [&](const WaveformProgress& step) {
                if (ms < 0.0 && step.firstPoint == 0) {
                    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                    engine.setStopGetData();
                }
            },
            kFirstScreenPoints);
        state.SetIterationTime(ms / 1000.0);
    }
}
BENCHMARK(BM_FirstScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

long statusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

int peakMemory(const std::string& file)
{
    const long baseline = statusKb("VmRSS:");
    ParallelWaveformEngine engine; // what the editor runs
    const auto block = engine.getWaveformPointsFromFile(QString::fromStdString(file), 200.0f, 20.0f);
    const long peak = statusKb("VmHWM:");
    std::printf("points: %zu\nbaseline: %ld KiB\npeak: %ld KiB\nabove baseline: %.1f MiB\n",
        block ? block->sampleBlk().size() : 0, baseline, peak, (peak - baseline) / 1024.0);
    return block ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    DecMgrInit();
    gloableState()._pointClearance = 0.05;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--peak-memory") == 0)
            return peakMemory(argv[i + 1]);
        if (std::strcmp(argv[i], "--once") == 0 && i + 2 < argc) {
            ParallelWaveformEngine engine(std::atoi(argv[i + 2]));
            return engine.getWaveformPointsFromFile(QString::fromLocal8Bit(argv[i + 1]), 200.0f, 20.0f) ? 0 : 1;
        }
    }
    g_file = takeFileArgument(argc, argv);
    if (g_file.empty()) {
        std::fprintf(stderr, "usage: waveform_bench --file FILE [benchmark flags] | --peak-memory FILE\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
