#!/usr/bin/env bash
# The sonabel command line: probe reads every generated media file and refuses what is
# not one; waveform reduces a file to its points; make and trim write what they are asked
# for; arguments it cannot take exit with 2.
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

out=$("$sonabel" waveform "$fixtures/tone.wav" --csv --archive "$scratch/tone.plist")
check grep -q '^points: 1200$' <<< "$out"
check test "$(grep -c '^[0-9.e-]*,[0-9.e-]*$' <<< "$out")" -eq 1200
check grep -q '<key>Capability</key>' "$scratch/tone.plist"
check grep -q '<key>p1199</key>' "$scratch/tone.plist"
"$sonabel" waveform "$scratch/empty.mp3" > /dev/null 2>&1
check test $? -eq 1
"$sonabel" waveform "$fixtures/tone.wav" --archive "$scratch/no/such/folder/x.plist" > /dev/null 2>&1
check test $? -eq 1

"$sonabel" make "$fixtures/tone.wav" -o "$scratch/ring.m4r" --start 0.5 --length 5 --fade-in 1 --fade-out 1 \
    > /dev/null 2>&1
check test $? -eq 0
made=$("$sonabel" probe "$scratch/ring.m4r" --json)
check grep -q '"codec": "aac"' <<< "$made"
"$sonabel" make "$fixtures/tone.wav" -o "$scratch/short.m4r" --length 3 > /dev/null 2> "$scratch/err"
check test $? -eq 1
check test ! -e "$scratch/short.m4r"
"$sonabel" make "$fixtures/tone.wav" -o "$scratch/no/such/folder/x.m4r" > /dev/null 2>&1
check test $? -eq 1
"$sonabel" make "$fixtures/tone.wav" > /dev/null 2>&1
check test $? -eq 2
"$sonabel" make "$fixtures/tone.wav" -o "$scratch/loud.m4r" --volume 300 > /dev/null 2> "$scratch/err"
check test $? -eq 2
check grep -q -- '--volume' "$scratch/err"
check test ! -e "$scratch/loud.m4r"
"$sonabel" make "$fixtures/tone.wav" -o "$scratch/x.m4r" --start > /dev/null 2> "$scratch/err"
check test $? -eq 2
check grep -q -- '--start' "$scratch/err"
"$sonabel" probe "$fixtures/tone.wav" --jsn > /dev/null 2> "$scratch/err"
check test $? -eq 2
check grep -q -- '--jsn' "$scratch/err"
help=$("$sonabel" make --help)
check test $? -eq 0
check grep -q -- '--fade-out <S>' <<< "$help"
check grep -q -- '--bitrate <BPS>' <<< "$help"

# A section cut into a MOV whatever the output's name: picture and sound of a video, sound
# alone of an MP3; a section under 0.1 s, or past the end, writes nothing.
"$sonabel" trim "$fixtures/video.mp4" -o "$scratch/cut.mov" --start 00:00:01 --length 1.5 > /dev/null 2>&1
check test $? -eq 0
cut=$("$sonabel" probe "$scratch/cut.mov" --json)
check grep -q '"format": "mov' <<< "$cut"
check grep -q '"codec": "aac"' <<< "$cut"
check grep -q 'video mpeg4, 160x120' <<< "$("$sonabel" probe "$scratch/cut.mov")"
check grep -q '^Duration: 1\.5' <<< "$("$sonabel" probe "$scratch/cut.mov")"
"$sonabel" trim "$fixtures/tone.mp3" -o "$scratch/cut.mp3" --start 0.25 --length 2 > /dev/null 2>&1
check test $? -eq 0
check grep -q '"format": "mov' <<< "$("$sonabel" probe "$scratch/cut.mp3" --json)"
check test "$(head -c 12 "$scratch/cut.mp3" | tail -c 4)" = "qt  "
check test "$("$sonabel" probe "$scratch/cut.mp3" | grep -c video)" -eq 0
"$sonabel" trim "$fixtures/video.mp4" -o "$scratch/blink.mov" --start 1 --length 0.05 > /dev/null 2> "$scratch/err"
check test $? -eq 1
check grep -q 'too short' "$scratch/err"
check test ! -e "$scratch/blink.mov"
"$sonabel" trim "$fixtures/video.mp4" -o "$scratch/long.mov" --start 2 --length 5 > /dev/null 2>&1
check test $? -eq 1
check test ! -e "$scratch/long.mov"
"$sonabel" trim "$fixtures/video.mp4" -o "$scratch/no/such/folder/x.mov" --length 1 > /dev/null 2>&1
check test $? -eq 1
"$sonabel" trim "$fixtures/video.mp4" --length 1 > /dev/null 2>&1
check test $? -eq 2
"$sonabel" trim "$fixtures/video.mp4" -o "$scratch/x.mov" --start soon > /dev/null 2> "$scratch/err"
check test $? -eq 2
check grep -q -- '--start' "$scratch/err"
check test "$(ls -A "$scratch" | grep -c part)" -eq 0

# The phone store on a folder laid out as a phone's media partition.
phone=$scratch/phone
mkdir -p "$phone/iTunes_Control/Ringtones" "$phone/iTunes_Control/iTunes"
check test "$("$sonabel" phone push "$scratch/ring.m4r" --mount "$phone" 2> /dev/null)" = "ring.m4r"
check test "$("$sonabel" phone push "$scratch/ring.m4r" --mount "$phone" 2> /dev/null)" = "ring 1.m4r"
listed=$("$sonabel" phone list --mount "$phone" 2> /dev/null)
check test "$(cut -f1 <<< "$listed" | tr '\n' ,)" = "ring,ring 1,"
check cmp -s "$scratch/ring.m4r" "$phone/iTunes_Control/Ringtones/ring 1.m4r"
check grep -q $'^ring 1\t5\.0s\t' <<< "$listed"
pulled=$scratch/pulled
mkdir -p "$pulled"
echo mine > "$pulled/ring.m4r"
check test "$("$sonabel" phone pull "ring 1" -o "$pulled" --mount "$phone")" = "$pulled/ring 1.m4r"
check test "$("$sonabel" phone pull ring -o "$pulled" --mount "$phone")" = "$pulled/ring 2.m4r"
check cmp -s "$scratch/ring.m4r" "$pulled/ring 2.m4r"
check test "$(cat "$pulled/ring.m4r")" = mine
"$sonabel" phone pull ring --mount "$phone" > /dev/null 2>&1
check test $? -eq 2
check grep -q -- '--output <DIR>' <<< "$("$sonabel" phone pull --help)"
"$sonabel" phone remove "ring 1" --mount "$phone" > /dev/null 2>&1
check test $? -eq 0
check test ! -e "$phone/iTunes_Control/Ringtones/ring 1.m4r"
check test "$("$sonabel" phone list --mount "$phone" 2> /dev/null | cut -f1)" = ring
"$sonabel" phone remove "ring 1" --mount "$phone" > /dev/null 2> "$scratch/err"
check test $? -eq 1
check grep -q 'no ringtone named "ring 1"' "$scratch/err"
"$sonabel" phone push "$scratch/absent.m4r" --mount "$phone" > /dev/null 2>&1
check test $? -eq 1
"$sonabel" phone list --mount "$scratch/no-phone" > /dev/null 2>&1
check test $? -eq 1
"$sonabel" phone > /dev/null 2>&1
check test $? -eq 2

# A built-in rhythm renders to a WAV of whole seconds plus the last block; a pattern that
# is not one writes nothing.
groove=$(HOME="$scratch/groove-home" "$sonabel" groove --preset 1 -o "$scratch/rock.wav" 2> /dev/null)
check test $? -eq 0
check grep -q '^Duration: 8\.1' <<< "$("$sonabel" probe "$scratch/rock.wav")"
check grep -q 'rock.wav' <<< "$groove"
"$sonabel" groove "$scratch/err" -o "$scratch/bad.wav" > /dev/null 2>&1
check test $? -eq 1
check test ! -e "$scratch/bad.wav"
"$sonabel" groove --preset 4 -o "$scratch/bad.wav" > /dev/null 2>&1
check test $? -eq 2

# The library list from a library file: its entries with their file counts, and the search
# (one path a line; nothing found exits 1 with nothing on stdout).
libhome="$scratch/library-home"
mkdir -p "$libhome/Music/Ringtone/Recorder"
: > "$libhome/Music/Ringtone/Recorder/take one.m4a"
cat > "$scratch/library.xml" << 'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>Application Version</key><string>9.2.1</string>
<key>Tracks</key><dict>
<key>1</key><dict><key>Name</key><string>Blue Moon</string><key>Artist</key><string>Ann</string>
<key>Location</key><string>file://localhost/m/blue%20moon.mp3</string></dict>
<key>2</key><dict><key>Name</key><string>Road</string><key>Album</key><string>Moonlit</string>
<key>Location</key><string>file://localhost/m/road.mp3</string></dict>
</dict>
<key>Playlists</key><array>
<dict><key>Name</key><string>Music</string><key>Music</key><true/><key>Playlist Items</key><array>
<dict><key>Track ID</key><integer>1</integer></dict><dict><key>Track ID</key><integer>2</integer></dict></array></dict>
<dict><key>Name</key><string>Workout</string><key>Playlist Items</key><array>
<dict><key>Track ID</key><integer>2</integer></dict></array></dict>
</array></dict></plist>
EOF
listed=$(HOME="$libhome" "$sonabel" library --itunes "$scratch/library.xml" list)
check test $? -eq 0
check grep -qx $'LIBRARY/Music\t2' <<< "$listed"
check grep -qx $'LIBRARY/Movies\t0' <<< "$listed"
check grep -qx $'PLAYLISTS/Workout\t1' <<< "$listed"
check grep -qx $'CUSTOM/Recorder File\t1' <<< "$listed"
found=$(HOME="$libhome" "$sonabel" library --itunes "$scratch/library.xml" search MOON)
check test "$found" = $'/m/blue moon.mp3\n/m/road.mp3'
found=$(HOME="$libhome" "$sonabel" library --itunes "$scratch/library.xml" search moon --by Artist)
check test $? -eq 1
check test -z "$found"
found=$(HOME="$libhome" "$sonabel" library --itunes "$scratch/library.xml" search take --by Song)
check test "$found" = "$libhome/Music/Ringtone/Recorder/take one.m4a"
HOME="$libhome" "$sonabel" library --itunes "$scratch/library.xml" search nothing-like-this > /dev/null 2> "$scratch/err"
check test $? -eq 1
check grep -q 'No matching items' "$scratch/err"
HOME="$libhome" "$sonabel" library search moon --by Title > /dev/null 2>&1
check test $? -eq 2
HOME="$libhome" "$sonabel" library > /dev/null 2>&1
check test $? -eq 2
# Without a library file the music folder is walked.
mkdir -p "$libhome/Music/Albums"
cp "$fixtures/tagged.mp3" "$libhome/Music/Albums/"
found=$(HOME="$libhome" "$sonabel" library search "fixture artist" --by Artist)
check test "$found" = "$libhome/Music/Albums/tagged.mp3"

# Both programs tell the version the shipped ProductConfig.xml beside them gives; the
# window program does so without a display.
bin=$(dirname "$sonabel")
version=$(sed -n 's:.*<Version>\(.*\)</Version>.*:\1:p' "$bin/ProductConfig.xml")
check test -n "$version"
check test "$("$sonabel" --version)" = "sonabel $version"
check test "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/corvane-sonabel" --version 2> /dev/null)" \
    = "corvane-sonabel $version"

if [[ $fail -eq 0 ]]; then echo "sonabel: all command-line checks passed"; fi
exit $fail
