#!/usr/bin/env bash
# Our whole-file decode against `ffmpeg -threads 1 -f null` on the same file, both
# timed as whole processes with /usr/bin/time, alternating, best of N runs each.
#   bench/compare-decode.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
runs=${2:-7}

if [[ ! -x "$build/bin/decode_bench" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
          -DSONABEL_BUILD_BENCH=ON > /dev/null
    cmake --build "$build" -j2 --target decode_bench
fi

file=$build/bench-data/five-minutes-192k.mp3
if [[ ! -f "$file" ]]; then
    mkdir -p "$(dirname "$file")"
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "aevalsrc=exprs=0.3*sin(2*PI*(220+t)*t)+0.05*random(0)|0.3*sin(2*PI*(330+t)*t)+0.05*random(1):s=44100:d=300" \
        -c:a libmp3lame -b:a 192k "$file"
fi

seconds() { /usr/bin/time -f %e "$@" 2>&1 > /dev/null | tail -n 1; }
best_ours=999999
best_ffmpeg=999999
for _ in $(seq 1 "$runs"); do
    t=$(seconds "$build/bin/decode_bench" --once "$file")
    best_ours=$(awk -v a="$t" -v b="$best_ours" 'BEGIN { print (a < b) ? a : b }')
    t=$(seconds ffmpeg -nostdin -v error -threads 1 -i "$file" -f null -)
    best_ffmpeg=$(awk -v a="$t" -v b="$best_ffmpeg" 'BEGIN { print (a < b) ? a : b }')
done
ratio=$(awk -v a="$best_ours" -v b="$best_ffmpeg" 'BEGIN { printf "%.3f", a / b }')
echo "file:            $file"
echo "ours (best):     ${best_ours} s"
echo "ffmpeg (best):   ${best_ffmpeg} s"
echo "ratio:           ${ratio} (target: at most 1.05)"
