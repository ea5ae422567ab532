#!/usr/bin/env bash
# CPU time of playing an MP3 for 10 s and the time from play to the first sound, on a
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
file=$build/bench-data/tone-30s.mp3
mkdir -p "$(dirname "$file")"
[[ -f "$file" ]] || ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "aevalsrc=exprs=0.5*sin(2*PI*440*t)|0.5*sin(2*PI*660*t):s=44100:d=30" -c:a libmp3lame -b:a 192k "$file"

source "$root/bench/private-pulse.sh"
"$build/bin/player_bench" "$file"
