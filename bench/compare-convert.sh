#!/usr/bin/env bash
# Making a ringtone with `sonabel make` against the ffmpeg command doing the same work:
# a 40 s part with 2 s fades at volume 80, AAC at 128 kbit/s in an .m4r file, taken from
# minute 1 of a 5-minute and from minute 50 of a 60-minute music-like MP3. Whole
# processes, in alternating pairs; the ratio is the median of the pairs' ratios.
#   bench/compare-convert.sh [BUILD_DIR] [PAIRS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
pairs=${2:-9}
source "$root/bench/lib.sh"

bench_build sonabel
sonabel=$build/bin/sonabel
short=$(bench_music 5)
long=$(bench_music 60)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Both sides make the same output: 44.1 kHz stereo AAC at 128 kbit/s.
file="" start=0
ours() {
    "$sonabel" make "$file" -o "$scratch/ours.m4r" --start "$start" --length 40 --fade-in 2 --fade-out 2 \
        --volume 80 --bitrate 128000
}
theirs() {
    ffmpeg -nostdin -v error -y -ss "$start" -t 40 -i "$file" \
        -af "afade=t=in:st=0:d=2,afade=t=out:st=38:d=2,volume=0.8" -c:a aac -b:a 128k -f ipod "$scratch/ffmpeg.m4r"
}

echo "40 s part, 2 s fades, volume 80, AAC 128 kbit/s; medians of $pairs pairs"
printf '%-34s %8s %8s %8s\n' "" "ours" "ffmpeg" "ratio"
for case in "5 60 minute 1" "60 3000 minute 50"; do
    read -r minutes start _ at <<< "$case"
    file=$([[ $minutes -eq 5 ]] && echo "$short" || echo "$long")
    read -r t_ours t_theirs ratio <<< "$(bench_pairs ours theirs "$pairs")"
    printf '%-34s %7ss %7ss %8s\n' "${minutes}-minute file, from minute $at" "$t_ours" "$t_theirs" "$ratio"
    bench_result "sonabel make, 40 s from minute $at of a ${minutes}-minute MP3" "$ratio" \
        "the ffmpeg command (same fades, volume, AAC 128k, ipod)" "≤ 1.0"
done
