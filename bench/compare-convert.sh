#!/usr/bin/env bash
# Making a ringtone with `sonabel make` against the ffmpeg command doing the same work:
# a 40 s part with 2 s fades at volume 80, AAC at 128 kbit/s in an .m4r file, taken from
# minute 1 of a 5-minute and from minute 50 of a 60-minute 44.1 kHz stereo MP3. Both are
# timed as whole processes with /usr/bin/time, alternating, best of N runs each. The
# minute-50 / minute-1 ratio of ours shows whether reaching the part costs more in a
# longer file.
#   bench/compare-convert.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
runs=${2:-5}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
          -DSONABEL_BUILD_BENCH=ON > /dev/null
fi
# Always: a stale binary would time old code.
cmake --build "$build" -j2 --target sonabel > /dev/null
sonabel=$build/bin/sonabel

# The same files compare-waveform.sh makes, so either script can reuse the other's.
data=$build/bench-data
mkdir -p "$data"
for minutes in 5 60; do
    file=$data/tone-${minutes}min.mp3
    [[ -f "$file" ]] || ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "aevalsrc=exprs=0.3*sin(2*PI*(220+t/10)*t)|0.3*sin(2*PI*(330+t/10)*t):s=44100:d=$((minutes * 60))" \
        -c:a libmp3lame -b:a 192k "$file"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Both sides make the same output format: 44.1 kHz stereo AAC at 128 kbit/s. Each takes
# the file, the start in seconds, and what to run the command under.
ours() {
    local file=$1 start=$2
    shift 2
    "$@" "$sonabel" make "$file" -o "$scratch/ours.m4r" --start "$start" --length 40 --fade-in 2 --fade-out 2 \
        --volume 80 --bitrate 128000
}
theirs() {
    local file=$1 start=$2
    shift 2
    "$@" ffmpeg -nostdin -v error -y -ss "$start" -t 40 -i "$file" \
        -af "afade=t=in:st=0:d=2,afade=t=out:st=38:d=2,volume=0.8" -c:a aac -b:a 128k -f ipod "$scratch/ffmpeg.m4r"
}
seconds() { /usr/bin/time -f %e "$@" 2>&1 > /dev/null | tail -n 1; }
lower() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? a : b }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

short=$data/tone-5min.mp3
long=$data/tone-60min.mp3
# One untimed pass: both commands must work, and the files are then in the page cache.
for side in ours theirs; do
    "$side" "$short" 60 command > /dev/null
    "$side" "$long" 3000 command > /dev/null
done

best_ours_short=999999 best_ffmpeg_short=999999 best_ours_long=999999 best_ffmpeg_long=999999
for _ in $(seq 1 "$runs"); do
    best_ours_short=$(lower "$(ours "$short" 60 seconds)" "$best_ours_short")
    best_ffmpeg_short=$(lower "$(theirs "$short" 60 seconds)" "$best_ffmpeg_short")
    best_ours_long=$(lower "$(ours "$long" 3000 seconds)" "$best_ours_long")
    best_ffmpeg_long=$(lower "$(theirs "$long" 3000 seconds)" "$best_ffmpeg_long")
done

echo "40 s part, 2 s fades, volume 80, AAC 128 kbit/s; best of $runs"
printf '%-34s %8s %8s %8s\n' "" "ours" "ffmpeg" "ratio"
printf '%-34s %7ss %7ss %8s\n' "5-minute file, from minute 1" "$best_ours_short" "$best_ffmpeg_short" \
    "$(ratio "$best_ours_short" "$best_ffmpeg_short")"
printf '%-34s %7ss %7ss %8s\n' "60-minute file, from minute 50" "$best_ours_long" "$best_ffmpeg_long" \
    "$(ratio "$best_ours_long" "$best_ffmpeg_long")"
echo "ours, minute 50 / minute 1:        $(ratio "$best_ours_long" "$best_ours_short")"
