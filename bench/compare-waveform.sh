#!/usr/bin/env bash
# The waveform engines on music-like 5- and 60-minute MP3s: in one process against a bare
# decode of the same file (the one-thread engine, the parallel engine on 1, 2 and all
# cores, the time to the first screen of points), then whole processes of the parallel
# engine on all cores against `ffmpeg -threads 1 -f null` in alternating pairs, and the
# peak memory on the 60-minute file.
#   bench/compare-waveform.sh [BUILD_DIR] [PAIRS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
pairs=${2:-9}
source "$root/bench/lib.sh"

bench_build waveform_bench
cores=$(nproc)
for minutes in 5 60; do
    file=$(bench_music $minutes)
    repetitions=$([[ $minutes -eq 5 ]] && echo 5 || echo 3)
    result=$build/bench-data/waveform-result-$minutes.txt
    echo "== ${minutes}-minute file, in one process (medians of $repetitions)"
    "$build/bin/waveform_bench" --file "$file" --benchmark_repetitions=$repetitions \
        --benchmark_report_aggregates_only=true --benchmark_format=console 2> /dev/null | tee "$result"
    median() { awk -v name="$1" '$1 == name "_median" { print $2 }' "$result"; }
    bare=$(median BM_BareDecode/real_time)
    ratio() { awk -v a="$1" -v b="$bare" 'BEGIN { printf "%.3f", a / b }'; }
    one=$(ratio "$(median BM_WaveformEngine/real_time)")
    p1=$(ratio "$(median BM_ParallelEngine/1/real_time)")
    p2=$(ratio "$(median BM_ParallelEngine/2/real_time)")
    pall=$(ratio "$(median "BM_ParallelEngine/$(awk '/BM_ParallelEngine\/[0-9]+\/real_time_median/ { split($1, a, "/"); n = a[2] } END { print n }' "$result")/real_time")")
    first=$(median BM_FirstScreen/0/manual_time)
    echo "ratios against the bare one-thread decode: one-thread engine $one, parallel on 1 core $p1," \
         "on 2 cores $p2, on all $cores cores $pall (target on 2 cores: at most 0.55)"
    echo "first screen of points after ${first} ms (target: within 100 ms)"
    bench_result "waveform, ${minutes}-minute MP3, parallel engine on 1 core" "$p1" "one-thread decode, in process" "—"
    bench_result "waveform, ${minutes}-minute MP3, parallel engine on 2 cores" "$p2" "one-thread decode, in process" "≤ 0.55"
    bench_result "waveform, ${minutes}-minute MP3, parallel engine on all ($cores) cores" "$pall" "one-thread decode, in process" "—"
    bench_result "waveform, ${minutes}-minute MP3, first screen of points" "$(awk -v t="$first" 'BEGIN { printf "%.2f", t / 100 }')" "100 ms" "≤ 1.0"
done

file=$(bench_music 60)
ours() { "$build/bin/waveform_bench" --once "$file" 0; }
theirs() { ffmpeg -nostdin -v error -threads 1 -i "$file" -f null -; }
read -r t_ours t_theirs ratio <<< "$(bench_pairs ours theirs "$pairs")"
echo "== 60-minute file, whole processes in $pairs pairs"
echo "parallel engine, all cores (median): ${t_ours} s"
echo "ffmpeg -threads 1 -f null (median):  ${t_theirs} s"
echo "ratio:                               ${ratio} (target on 2 cores: at most 0.55)"
bench_result "waveform, 60-minute MP3, whole process on all ($cores) cores" "$ratio" "ffmpeg -threads 1 -f null" "≤ 0.55 on 2 cores"

echo "== peak memory, 60-minute file (target: at most 64 MiB above the baseline)"
"$build/bin/waveform_bench" --peak-memory "$file"
