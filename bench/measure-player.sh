#!/usr/bin/env bash
# CPU time of playing a music-like MP3 for 10 s and the time from play to the first sound, on a
# private PulseAudio null sink whose monitor is the default input.
#   bench/measure-player.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}

if [[ ! -x "$build/bin/player_bench" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
          -DSONABEL_BUILD_BENCH=ON > /dev/null
    cmake --build "$build" -j2 --target player_bench
fi
file=$build/bench-data/music-30s.mp3
"$root/bench/music.sh" "$file" 30

source "$root/bench/private-pulse.sh"
"$build/bin/player_bench" "$file"
