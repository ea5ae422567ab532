#!/usr/bin/env bash
# Installs what the program needs, builds a Release build and starts Corvane Sonabel.
#   scripts/run.sh [FILE]
# With a display (X11 or Wayland) the program opens FILE (or a demo tone) in its window.
# Without one it says so, starts the program on a virtual X display (Xvfb), waits until
# the file is loaded, saves a screenshot of the window and prints where.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

build=${SONABEL_BUILD_DIR:-$root/build/release}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j2

file=${1:-}
if [[ -z "$file" ]]; then
    file=$build/demo/demo-tone.mp3
    if [[ ! -f "$file" ]]; then
        mkdir -p "$(dirname "$file")"
        ffmpeg -nostdin -hide_banner -loglevel error -y \
            -f lavfi -i "aevalsrc=exprs=0.4*sin(2*PI*440*t)|0.4*sin(2*PI*554.37*t):s=44100:d=60" \
            -c:a libmp3lame -b:a 192k "$file"
    fi
fi

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$build/bin/corvane-sonabel" "$file"
fi

echo "There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set):"
echo "starting Corvane Sonabel on a virtual X display and saving a screenshot of its window."
if ! command -v Xvfb > /dev/null; then
    echo "Xvfb is not installed: sudo apt-get install xvfb" >&2
    exit 1
fi
display=:$(( 90 + RANDOM % 9 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2> /dev/null' EXIT
for _ in $(seq 1 50); do [[ -e "/tmp/.X11-unix/X${display#:}" ]] && break; sleep 0.1; done

shot=${SONABEL_SCREENSHOT:-$build/corvane-sonabel-window.png}
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bin/corvane-sonabel" --screenshot "$shot" "$file" > /dev/null
echo "Screenshot of the main window with $(basename "$file") loaded: $shot"
