#!/usr/bin/env bash
# The waveform engine against a bare decode of the same file, in one run, on a
# 5-minute and a 60-minute 44.1 kHz stereo MP3; then the engine's peak memory on the
# 60-minute file.
#   bench/compare-waveform.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}

if [[ ! -x "$build/bin/waveform_bench" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
          -DSONABEL_BUILD_BENCH=ON > /dev/null
    cmake --build "$build" -j2 --target waveform_bench
fi

data=$build/bench-data
mkdir -p "$data"
for minutes in 5 60; do
    file=$data/tone-${minutes}min.mp3
    [[ -f "$file" ]] || ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "aevalsrc=exprs=0.3*sin(2*PI*(220+t/10)*t)|0.3*sin(2*PI*(330+t/10)*t):s=44100:d=$((minutes * 60))" \
        -c:a libmp3lame -b:a 192k "$file"
done

for minutes in 5 60; do
    file=$data/tone-${minutes}min.mp3
    repetitions=$([[ $minutes -eq 5 ]] && echo 5 || echo 2)
    echo "== ${minutes}-minute file"
    "$build/bin/waveform_bench" --file "$file" --benchmark_repetitions=$repetitions \
        --benchmark_report_aggregates_only=true --benchmark_format=console 2> /dev/null | tee "$data/result-$minutes.txt"
    awk '/BM_BareDecode.*_median/ { d = $2 } /BM_WaveformEngine.*_median/ { w = $2 }
         END { if (d > 0) printf "ratio engine / bare decode (median): %.3f (target: at most 1.05)\n", w / d }' \
        "$data/result-$minutes.txt"
done
echo "== peak memory, 60-minute file (target: at most 64 MiB above the baseline)"
"$build/bin/waveform_bench" --peak-memory "$data/tone-60min.mp3"
