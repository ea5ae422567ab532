#!/usr/bin/env bash
# GBUtil: a good pattern file becomes a MIDI file (at the given paths, or at the music
# folder's when given none); a missing or malformed pattern or an output it cannot write
# exits with 1 and leaves no file; wrong arguments exit with 2.
set -u
gbutil=$1
fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# pattern ROW36: the pattern file with instrument 36 holding ROW36 and every other one silent.
pattern() {
    local silent key
    silent=$(printf '0,%.0s' {1..63})0
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<info>\n'
    for key in {35..81}; do
        printf '  <Instrument id="%d">%s</Instrument>\n' "$key" "$([ "$key" = 36 ] && echo "$1" || echo "$silent")"
    done
    printf '  <Speed>3</Speed>\n</info>\n'
}
pattern "1,$(printf '0,%.0s' {1..62})1" > "$scratch/good.xml"
pattern "1,$(printf '0,%.0s' {1..62})2" > "$scratch/bad.xml"

"$gbutil" "$scratch/good.xml" "$scratch/good.mid"
check test $? -eq 0
check test "$(head -c 4 "$scratch/good.mid")" = MThd
check test "$(ls -A "$scratch" | tr '\n' ' ')" = "bad.xml good.mid good.xml "

home=$scratch/home
mkdir -p "$home/Music/Ringtone"
cp "$scratch/good.xml" "$home/Music/Ringtone/CorvaneGBData.xml"
HOME=$home "$gbutil"
check test $? -eq 0
check cmp -s "$scratch/good.mid" "$home/Music/Ringtone/CorvaneGBSound.mid"

"$gbutil" "$scratch/absent.xml" "$scratch/absent.mid" 2> "$scratch/err"
check test $? -eq 1
check test ! -e "$scratch/absent.mid"
check grep -q 'absent.xml' "$scratch/err"
"$gbutil" "$scratch/bad.xml" "$scratch/bad.mid" 2> "$scratch/err"
check test $? -eq 1
check test ! -e "$scratch/bad.mid"
check grep -q '"2"' "$scratch/err"
cp "$scratch/good.mid" "$scratch/kept.mid"
"$gbutil" "$scratch/bad.xml" "$scratch/kept.mid" 2> /dev/null
check cmp -s "$scratch/good.mid" "$scratch/kept.mid"
"$gbutil" "$scratch/good.xml" "$scratch/no/such/folder/out.mid" 2> "$scratch/err"
check test $? -eq 1
check grep -q 'cannot write' "$scratch/err"
"$gbutil" "$scratch/good.xml" 2> /dev/null
check test $? -eq 2

exit $fail
