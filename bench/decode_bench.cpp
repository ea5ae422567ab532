// Whole-file decode through ADecGetNextAudioFrame.
//
//   decode_bench --file FILE [benchmark flags]   Google Benchmark run on FILE
//   decode_bench --once FILE                     one decode, for timing the process as
//                                                the ffmpeg command is timed
// bench/compare-decode.sh runs both against `ffmpeg -f null` on the same file.

#include "bench/decodesupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_file;

void BM_DecodeWholeFile(benchmark::State& state)
{
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = decodeWhole(g_file);
        benchmark::DoNotOptimize(bytes);
    }
    if (bytes < 0)
        state.SkipWithError("the file does not decode");
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_DecodeWholeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    DecMgrInit();
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--once") == 0)
            return decodeWhole(argv[i + 1]) < 0 ? 1 : 0;
    }
    g_file = takeFileArgument(argc, argv);
    if (g_file.empty()) {
        std::fprintf(stderr, "usage: decode_bench --file FILE [benchmark flags] | --once FILE\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
