#!/usr/bin/env bash
# Makes the user guide's pictures (docs/pictures/*.png) anew with the program's own
# --screenshot, from a Release build and a generated demo song.
#   scripts/guide-pictures.sh [OUTPUT_DIR]        (default: docs/pictures)
# Runs without a display and without questions: the program draws on a virtual X display
# (Xvfb) where there is one to start, else on Qt's offscreen platform, in a private
# HOME, so the user's own settings, library and ringtones never show in the pictures.
#   SONABEL_BUILD_DIR  the build to use (default build/release, configured as Release when
#                      it is new; the programs it needs are brought up to date)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/docs/pictures}
"$root/scripts/setup.sh"

build=${SONABEL_BUILD_DIR:-$root/build/release}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    echo "Building Corvane Sonabel (Release) in $build: the first build takes a few minutes."
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j2 --target corvane-sonabel GBUtil sound_font_pack > /dev/null
program=$build/bin/corvane-sonabel

work=$(mktemp -d "${TMPDIR:-/tmp}/sonabel-guide.XXXXXX")
xvfb_pid=""
pulse_pid=""
cleanup() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2> /dev/null
    [[ -n "$pulse_pid" ]] && kill "$pulse_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/Music" "$work/config" "$work/tmp" "$work/runtime" "$work/state" "$out"
chmod 700 "$work/runtime"

# The demo song: 100 s at 120 beats a minute, a kick on every beat, a hi-hat on the
# off-beats, a bass and an arpeggio over four chords, quieter verses and louder choruses,
# so that its waveform looks like music. Tagged, with a cover, as a downloaded song is.
song=$work/home/Music/Summer\ Lights.mp3
chord='if(eq(mod(floor(t/2),4),0),0,if(eq(mod(floor(t/2),4),1),5,if(eq(mod(floor(t/2),4),2),7,3)))'
step='if(eq(mod(floor(t*4),4),0),0,if(eq(mod(floor(t*4),4),1),4,if(eq(mod(floor(t*4),4),2),7,12)))'
level='(0.45+0.35*gte(mod(t,32),16))*min(t/4,1)*min((100-t)/3,1)'
kick='0.8*sin(2*PI*(50+60*exp(-30*mod(t,0.5)))*t)*exp(-9*mod(t,0.5))'
hat='0.12*(random(0)*2-1)*exp(-45*mod(t+0.25,0.5))'
bass="0.35*sin(2*PI*55*pow(2,($chord)/12)*t)*(0.6+0.4*exp(-4*mod(t,0.5)))"
arp="0.22*sin(2*PI*440*pow(2,(($chord)+($step))/12)*t)*exp(-7*mod(t,0.25))"
mix="($level)*($kick+$hat+$bass+$arp)/1.6"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "gradients=s=300x300:c0=0x2b1055:c1=0xd5546f:x0=0:y0=0:x1=300:y1=300:d=1" \
    -frames:v 1 "$work/cover.png"
ff -f lavfi -i "aevalsrc=exprs='$mix|$mix':s=44100:d=100" -i "$work/cover.png" \
    -map 0:a -map 1:v -c:a libmp3lame -b:a 192k -c:v copy -id3v2_version 3 \
    -metadata title="Summer Lights" -metadata artist="The Demo Band" -metadata album="Demo Songs" \
    -disposition:v attached_pic "$song"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/runtime
export SONABEL_NO_EXTERNAL_OPEN=1 DBUS_SESSION_BUS_ADDRESS=disabled: LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY SONABEL_MOUNT_POINT PULSE_SERVER PULSE_LATENCY_MSEC
# A sound server of its own with a silent output and an input that hears it: the recorder
# then finds a microphone.
cat > "$work/guide.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=guide_sink
load-module module-remap-source master=guide_sink.monitor source_name=guide_mic
set-default-sink guide_sink
set-default-source guide_mic
PA
pulseaudio -n -F "$work/guide.pa" --daemonize=no --exit-idle-time=-1 > /dev/null 2>&1 &
pulse_pid=$!
for _ in $(seq 1 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
if command -v Xvfb > /dev/null; then
    n=$(( 90 + RANDOM % 9 ))
    while [[ -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1400x900x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
    export DISPLAY=:$n QT_QPA_PLATFORM=xcb
else
    unset DISPLAY
    export QT_QPA_PLATFORM=offscreen
fi

# picture NAME [ARGUMENTS...]: docs/pictures/NAME.png, the program's screenshot.
picture() {
    local name=$1
    shift
    if ! timeout 120 "$program" --screenshot "$out/$name.png" "$@" > "$work/$name.log" 2>&1; then
        echo "The picture $name.png could not be made; the program said:" >&2
        tail -n 20 "$work/$name.log" >&2
        exit 1
    fi
    echo "$out/$name.png"
}

picture main-window
picture editor "$song"
picture ringtone-name --show ringtone-name "$song"
picture groove-box --show groove-box "$song"
if pactl info > /dev/null 2>&1; then
    picture recorder --show recorder "$song"
else
    echo "No sound server could be started: recorder.png is left as it was." >&2
fi
