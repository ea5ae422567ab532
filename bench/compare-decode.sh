#!/usr/bin/env bash
# Our whole-file decode against `ffmpeg -threads 1 -f null` on the same music-like
# 5-minute MP3: whole processes in alternating pairs, the median of the pairs' ratios.
#   bench/compare-decode.sh [BUILD_DIR] [PAIRS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
pairs=${2:-9}
source "$root/bench/lib.sh"

bench_build decode_bench
file=$(bench_music 5)
ours() { "$build/bin/decode_bench" --once "$file"; }
theirs() { ffmpeg -nostdin -v error -threads 1 -i "$file" -f null -; }
read -r t_ours t_theirs ratio <<< "$(bench_pairs ours theirs "$pairs")"
echo "file:            $file"
echo "ours (median):   ${t_ours} s"
echo "ffmpeg (median): ${t_theirs} s"
echo "ratio:           ${ratio} (target: at most 1.05)"
bench_result "whole-file decode, 5-minute MP3" "$ratio" "ffmpeg -threads 1 -f null" "≤ 1.05"
