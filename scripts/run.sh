#!/usr/bin/env bash
# Installs what the program needs, builds a Release build and runs it.
# Until the main window lands this probes the given media file, or a demo file.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

build=${SONABEL_BUILD_DIR:-$root/build/release}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j2

file=${1:-}
if [[ -z "$file" ]]; then
    file=$build/demo/demo-tone.mp3
    if [[ ! -f "$file" ]]; then
        mkdir -p "$(dirname "$file")"
        ffmpeg -nostdin -hide_banner -loglevel error -y \
            -f lavfi -i "aevalsrc=exprs=0.4*sin(2*PI*440*t)|0.4*sin(2*PI*554.37*t):s=44100:d=20" \
            -c:a libmp3lame -b:a 192k "$file"
    fi
fi
exec "$build/bin/sonabel" probe "$file"
