#!/usr/bin/env bash
# The editor's play-line tick and the underruns while dragging during a preview, on a
# private PulseAudio null sink whose monitor is the default input.
#   bench/measure-editor.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}

if [[ ! -x "$build/bin/editor_bench" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
          -DSONABEL_BUILD_BENCH=ON > /dev/null
    cmake --build "$build" -j2 --target editor_bench
fi

source "$root/bench/private-pulse.sh"
"$build/bin/editor_bench"
