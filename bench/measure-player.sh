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

work=$(mktemp -d)
pulse_pid=""
cleanup() { [[ -n "$pulse_pid" ]] && kill "$pulse_pid" 2> /dev/null; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
printf '%s\n' "load-module module-native-protocol-unix" "load-module module-null-sink sink_name=ci_sink" \
    "load-module module-remap-source master=ci_sink.monitor source_name=ci_mic" \
    "set-default-sink ci_sink" "set-default-source ci_mic" > "$work/bench.pa"
pulseaudio -n -F "$work/bench.pa" --daemonize=no --exit-idle-time=-1 > /dev/null 2>&1 &
pulse_pid=$!
for _ in $(seq 1 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
"$build/bin/player_bench" "$file"
