#!/usr/bin/env bash
# Runs every benchmark (on a Release build unless BUILD_DIR names another) and writes docs/performance.md: each figure that
# has a yardstick as a ratio against it (below 1 is faster), with the machine and the
# date, then every benchmark's own output. Run it on a quiet machine; it takes about
# 15 minutes the first time (the music files are made once and kept).
#   bench/report.sh [BUILD_DIR] [OUT.md]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
out=${2:-$root/docs/performance.md}
source "$root/bench/lib.sh"

echo "building the benchmarks in $build ..."
bench_build all || { echo "the build failed" >&2; exit 1; }

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# name | command (run from the repository's root)
benchmarks=(
    "Ringtone conversion|bench/compare-convert.sh $build"
    "Waveform|bench/compare-waveform.sh $build"
    "Whole-file decode|bench/compare-decode.sh $build"
    "Trim|$build/bin/trim_bench"
    "Start-up|bench/startup.sh $build"
    "Player|bench/measure-player.sh $build"
    "Editor during preview|bench/measure-editor.sh $build"
    "Waveform view drawing|$build/bin/waveformview_bench"
    "Library list|$build/bin/library_bench"
    "Ringtone lists|$build/bin/ringtonelist_bench"
    "Groove Box|$build/bin/groovebox_bench"
    "Recorder|bash -c 'source bench/private-pulse.sh && $build/bin/recorder_bench'"
)
index=0
for entry in "${benchmarks[@]}"; do
    name=${entry%%|*}
    command=${entry#*|}
    index=$((index + 1))
    echo "== $name"
    (cd "$root" && eval "$command") > "$logs/$index.txt" 2>&1
    echo $? > "$logs/$index.rc"
    grep '^RESULT|' "$logs/$index.txt" | cut -d'|' -f2- | sed 's/|/: /; s/|.*//' | sed 's/^/   /'
done

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
{
    echo "# Performance"
    echo
    echo "Measured by \`bench/report.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) cores ($cpu),"
    echo "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) of memory, $(. /etc/os-release && echo "$PRETTY_NAME"),"
    echo "FFmpeg $(ffmpeg -version | head -n 1 | awk '{print $3}'), a $build_type build. The material is music-like"
    echo "(\`bench/music.sh\`: chords, drums, noise bursts, swelling loudness), never a steady tone."
    echo
    echo "## Ratios against their yardsticks"
    echo
    echo "Below 1.0 is faster than the yardstick; whole processes are timed in alternating pairs"
    echo "and the ratio is the median of the pairs' ratios unless the benchmark says otherwise."
    echo
    echo "| Figure | Ratio | Yardstick | Target |"
    echo "|---|---:|---|---|"
    cat "$logs"/*.txt | grep '^RESULT|' | awk -F'|' '{ printf "| %s | %s | %s | %s |\n", $2, $3, $4, $5 }'
    echo
    echo "## Each benchmark's output"
    index=0
    for entry in "${benchmarks[@]}"; do
        index=$((index + 1))
        echo
        echo "### ${entry%%|*}"
        echo
        echo "\`${entry#*|}\`$( [[ $(cat "$logs/$index.rc") -ne 0 ]] && echo " (ended with status $(cat "$logs/$index.rc"))")"
        echo
        echo '```'
        # The Groove Box's renderer logs every step of its clock: the figures are enough.
        grep -v -e '^RESULT|' -e '^sonabel\.groovebox\.render:' "$logs/$index.txt" | sed "s|$root/||g"
        echo '```'
    done
} > "$out"
echo "written: $out"
