#!/usr/bin/env bash
# Writes the starting corpus of every fuzz target into OUT/NAME/: small valid inputs of
# each kind (and a few damaged ones), so the fuzzers start from the shapes the program
# really reads. Media files are made with the ffmpeg command; the regression cases' inputs in
# tests/fixtures/fuzz/ are added as they are.
#
#   fuzz/make-seeds.sh OUT
set -euo pipefail

out=${1:?usage: make-seeds.sh OUT}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

seed() { # seed NAME FILE: the text on standard input becomes the seed
    mkdir -p "$out/$1"
    cat > "$out/$1/$2"
}

# Time texts; the 8-byte ones also read as numbers for the formatters.
for t in "00:00:00" "12:30" "1:2:3.45" "99:99:99" "0:60:" "::" '$12.34' ' $ 7.5 ' '$-0.01e3' "3s" "9.2.1" \
         "-2147483648" "2147483648" "1e309" ".5" "12:34:56.78" "01/02/03" "00:00:00:00" "٣:٤:٥"; do
    printf '%s' "$t" | seed timetext "t-$(printf '%s' "$t" | sha1sum | cut -c1-8)"
done
printf '\x00\x00\x00\x00\x00\x40\x8f\x40' | seed timetext n-1000s
printf '\xe8\x03\x00\x00\x00\x00\xe0\x3f' | seed timetext n-1000ms
printf '\xf4\x01\x00\x00\x00\x00\x00\x80' | seed timetext n-500ms

# Paths: the first byte is the destination's size.
printf '\xff/home/user/Music/\xc3\x9cn\xc3\xafc\xc3\xb8d\xc3\xa9 name \xe2\x80\x93 \xe6\x9b\xb2.mp3' | seed utf8path unicode
printf '\x08/tmp/\xf0\x9f\x8e\xb5\xf0\x9f\x8e\xb5.m4r' | seed utf8path cut-in-emoji
printf '\xff/bad/\xc0\xaf/\xed\xa0\x80/\xf4\x90\x80\x80/\xe2\x82' | seed utf8path malformed
head -c 600 /dev/zero | tr '\0' 'a' | { printf '\xff'; cat; } | seed utf8path long

# The product configuration as shipped, a user's copy, and damaged ones.
sed 's/@PROJECT_VERSION@/0.1.0/' "$here/../resources/ProductConfig.xml.in" | seed productconfig shipped
seed productconfig user <<'XML'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<config_root>
	<AutoUpdate>YES</AutoUpdate>
	<SkipVersion id="x">0.2.0</SkipVersion>
	<ShowTimeTip> </ShowTimeTip>
	<PlaySoundWhenStart><![CDATA[NO]]></PlaySoundWhenStart>
</config_root>
XML
printf '<?xml version="1.0"?>\n<config_root>\n\t<Version>0.1.0</Version>\n\t<AutoUpdate>YE' | seed productconfig truncated
printf '<config_root><AutoUpdate>YES<b>x</b>tail</AutoUpdate><AutoUpdate>NO</AutoUpdate></config_root>' \
    | seed productconfig mixed
printf '<other_root><AutoUpdate>YES</AutoUpdate></other_root>' | seed productconfig foreign

# Phone databases: XML, binary (with dates, data, reals and arrays the phone may keep),
# and damaged.
seed phonedatabase xml <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Ringtones</key>
	<dict>
		<key>ABCD.m4r</key>
		<dict>
			<key>GUID</key><string>00000000000000AB</string>
			<key>Name</key><string>Morning Bell</string>
			<key>Total Time</key><integer>30000</integer>
			<key>PID</key><integer>-5</integer>
			<key>Protected Content</key><false/>
			<key>Media Kind</key><string>ringtone</string>
		</dict>
		<key>EFGH.m4r</key>
		<dict>
			<key>Name</key><string>Chime &amp; Bells</string>
			<key>Gain</key><real>-3.25</real>
			<key>Added</key><date>2023-05-01T12:00:00Z</date>
			<key>Artwork</key><data>AAECAw==</data>
			<key>Tags</key><array><string>a</string><true/></array>
		</dict>
	</dict>
	<key>Version</key><integer>2</integer>
</dict>
</plist>
XML
echo "YnBsaXN0MDDRAQJZUmluZ3RvbmVz0gMEBRxZQ2hpbWUubTRyXxAQTW9ybmluZyBCZWxsLm00ctoGBwgJCgsMDQ4PEBESExQVFhcYG1VBZGRlZFdBcnR3b3JrVEdVSURUR2FpblpNZWRpYSBLaW5kVE5hbWVTUElEXxARUHJvdGVjdGVkIENvbnRlbnRUVGFnc1pUb3RhbCBUaW1lM0HE//CgAAAAQwABAl8QEDAwMDAwMDAwMDAwMDAwMDIjwAwAAAAAAABUdG9uZVVDaGltZRBNCKIZGlFhUWIRLuDWCAoLDA0PHR4fIBchXxAQMDAwMDAwMDAwMDAwMDAwMVhyaW5ndG9uZVxNb3JuaW5nIEJlbGwT///+4I4E+zURdTAACAALABUAGgAkADcATABSAFoAXwBkAG8AdAB4AIwAkQCcAKUAqQC8AMUAygDQANIA0wDWANgA2gDdAOoA/QEGARMBHAAAAAAAAAIBAAAAAAAAACIAAAAAAAAAAAAAAAAAAAEf" \
    | base64 -d | seed phonedatabase binary
printf '<plist version="1.0"><dict><key>Ringtones</key><string>none</string></dict></plist>' \
    | seed phonedatabase ringtones-not-a-dict
printf 'bplist00\xd1\x01\x02' | seed phonedatabase binary-truncated

# Desktop library files: tracks, standard lists, a folder holding a smart and a plain list.
seed ituneslibrary library <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>Application Version</key><string>12.9.5</string>
	<key>Tracks</key>
	<dict>
		<key>1</key><dict><key>Track ID</key><integer>1</integer><key>Name</key><string>Song</string>
			<key>Artist</key><string>Band</string><key>Total Time</key><integer>215000</integer>
			<key>Location</key><string>file://localhost/home/u/Music/a%20b.mp3</string></dict>
		<key>2</key><dict><key>Track ID</key><integer>2</integer><key>Name</key><string>Clip</string>
			<key>Has Video</key><true/><key>Protected</key><true/>
			<key>Location</key><string>file://localhost/home/u/Videos/c.mp4</string></dict>
		<key>3</key><dict><key>Name</key><string>No place</string></dict>
	</dict>
	<key>Playlists</key>
	<array>
		<dict><key>Name</key><string>Library</string><key>Master</key><true/>
			<key>Playlist Items</key><array><dict><key>Track ID</key><integer>1</integer></dict>
			<dict><key>Track ID</key><integer>2</integer></dict><dict><key>Track ID</key><integer>9</integer></dict></array></dict>
		<dict><key>Name</key><string>Movies</string><key>Movies</key><true/>
			<key>Playlist Items</key><array><dict><key>Track ID</key><integer>2</integer></dict></array></dict>
		<dict><key>Name</key><string>Folder</string><key>Folder</key><true/>
			<key>Playlist Persistent ID</key><string>AAAA</string></dict>
		<dict><key>Name</key><string>Smart</string><key>Smart Info</key><data>AA==</data>
			<key>Parent Persistent ID</key><string>AAAA</string>
			<key>Playlist Items</key><array><dict><key>Track ID</key><integer>1</integer></dict></array></dict>
		<dict><key>Name</key><string>Inside itself</string><key>Folder</key><true/>
			<key>Playlist Persistent ID</key><string>BBBB</string><key>Parent Persistent ID</key><string>BBBB</string></dict>
	</array>
</dict>
</plist>
XML
printf '<plist version="1.0"><dict><key>Application Version</key><integer>6</integer><key>Tracks</key><dict/><key>Playlists</key><array/></dict></plist>' \
    | seed ituneslibrary old-empty

# Groove Box patterns: the default one as the program writes it, and damaged ones.
{
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<info>\n'
    for key in $(seq 35 81); do
        row=$(for step in $(seq 0 63); do
            if (((key + step) % 7 == 0)); then printf '1,'; else printf '0,'; fi
        done)
        printf '\t<Instrument id="%d">%s</Instrument>\n' "$key" "${row%,}"
    done
    printf '\t<Speed>3</Speed>\n</info>\n'
} | seed groovepattern pattern
sed 's/<Speed>3</<Speed>100</' "$out/groovepattern/pattern" | seed groovepattern fastest
sed 's/id="40"/id="41"/' "$out/groovepattern/pattern" | seed groovepattern out-of-order
head -c 900 "$out/groovepattern/pattern" | seed groovepattern truncated

# Waveform archives: as we write them (XML), binary, and with a count beyond the points.
seed waveformarchive xml <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>p0</key><dict><key>x</key><real>0.0</real><key>y</key><real>100.5</real></dict>
	<key>p1</key><dict><key>x</key><real>0.005</real><key>y</key><real>-90.25</real></dict>
	<key>Capability</key><real>2</real>
</dict>
</plist>
XML
echo "YnBsaXN0MDDUAQIDBAUGCw5aQ2FwYWJpbGl0eVJwMFJwMVJwMiNACAAAAAAAANIHCAkKUXhReSMAAAAAAAAAACNAWSAAAAAAANIHCAwNIz90euFHrhR7I0BWkAAAAAAA0gcIDxAjP4R64UeuFHsjQF4AAAAAAAAIERwfIiUuMzU3QElOV2BlbgAAAAAAAAEBAAAAAAAAABEAAAAAAAAAAAAAAAAAAAB3" \
    | base64 -d | seed waveformarchive binary
sed 's|<real>2</real>|<real>2.5</real>|' "$out/waveformarchive/xml" | seed waveformarchive fractional-count

# Media: short files of every kind the program opens, each well under the size limit.
mkdir -p "$out/mediafile"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
tone="sine=frequency=440:sample_rate=8000:duration=0.4"
m="$out/mediafile"
ff -f lavfi -i "$tone" -c:a pcm_s16le "$m/tone.wav"
ff -f lavfi -i "$tone" -ac 2 -c:a pcm_f32le "$m/tone-float.wav"
ff -f lavfi -i "$tone" -c:a libmp3lame -b:a 32k "$m/tone.mp3"
ff -f lavfi -i "$tone" -c:a aac -b:a 32k -f ipod "$m/tone.m4a"
ff -f lavfi -i "$tone" -c:a aac -b:a 32k -f ipod "$m/tone.m4r"
ff -f lavfi -i "$tone" -c:a flac "$m/tone.flac"
ff -f lavfi -i "$tone" -ac 2 -c:a libvorbis "$m/tone.ogg"
ff -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=0.4" -c:a libopus -b:a 16k "$m/tone.opus"
ff -f lavfi -i "$tone" -c:a pcm_s16be -f aiff "$m/tone.aiff"
ff -f lavfi -i "testsrc=s=32x24:r=10:d=0.5" -f lavfi -i "$tone" -c:v mpeg4 -q:v 10 -c:a aac -b:a 24k \
   -shortest "$m/video.mp4"
ff -f lavfi -i "testsrc=s=32x24:r=10:d=0.5" -f lavfi -i "$tone" -c:v mjpeg -q:v 20 -c:a pcm_u8 -shortest \
   "$m/video.avi"
ff -f lavfi -i "testsrc=s=33x17:r=10:d=0.5" -c:v libvpx -b:v 50k -f webm "$m/odd-size.webm" 2> /dev/null || true
ff -f lavfi -i "testsrc=s=16x16:d=1" -frames:v 1 "$out/.cover.png"
ff -f lavfi -i "$tone" -i "$out/.cover.png" -map 0:a -map 1:v -c:a libmp3lame -b:a 32k -c:v copy \
   -disposition:v attached_pic "$m/cover.mp3" 2> /dev/null || true
head -c 1500 "$m/tone.mp3" > "$m/truncated.mp3"

# The inputs of the regression cases (tests/fixtures/fuzz/NAME/), as starting points.
for dir in "$here"/../tests/fixtures/fuzz/*/; do
    [[ -d "$dir" ]] || continue
    name=$(basename "$dir")
    mkdir -p "$out/$name"
    cp "$dir"* "$out/$name/"
done
