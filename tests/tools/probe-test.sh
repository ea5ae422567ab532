#!/usr/bin/env bash
# sonabel probe reads every generated media file and refuses what is not one.
set -u
sonabel=$1
fixtures=$2
fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }

for f in "$fixtures"/*.mp3 "$fixtures"/*.m4a "$fixtures"/*.wav "$fixtures"/*.flac "$fixtures"/*.ogg "$fixtures"/*.mp4; do
    check "$sonabel" probe "$f" > /dev/null
done

json=$("$sonabel" probe "$fixtures/tagged.mp3" --json)
check grep -q '"duration": 6' <<< "$json"
check grep -q '"streams"' <<< "$json"
check grep -q '"type": "cover"' <<< "$json"

text=$("$sonabel" probe "$fixtures/video.mp4")
check grep -q '^Duration: 3.0' <<< "$text"
check grep -q 'video mpeg4, 160x120' <<< "$text"
check grep -q '^Audio: 44100 Hz, 2 channels' <<< "$text"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: > "$scratch/empty.mp3"
"$sonabel" probe "$scratch/empty.mp3" > /dev/null 2> "$scratch/err"
check test $? -eq 1
check grep -q 'cannot read' "$scratch/err"
"$sonabel" probe > /dev/null 2>&1
check test $? -eq 2

if [[ $fail -eq 0 ]]; then echo "sonabel probe: all checks passed"; fi
exit $fail
