#!/usr/bin/env bash
# Installs what the program needs, builds a Release build and starts Corvane Sonabel.
#   scripts/run.sh [FILE]
# With a display (X11 or Wayland) the program opens FILE (or a demo tone) in its window.
# Without one it says so, starts the program on a virtual X display (Xvfb), waits until
# the file is loaded, saves a screenshot of the window and prints where.
# The program's log goes to a file, named before the program starts, not to the terminal:
# $XDG_STATE_HOME/corvane-sonabel/run.log (~/.local/state/corvane-sonabel/run.log).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

build=${SONABEL_BUILD_DIR:-$root/build/release}
if [[ ! -x "$build/bin/corvane-sonabel" ]]; then
    echo "Building Corvane Sonabel (Release) in $build: the first build takes a few minutes."
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j2

state=${XDG_STATE_HOME:-$HOME/.local/state}
log=$state/corvane-sonabel/run.log
mkdir -p "$(dirname "$log")"
# Appended to, never truncated: a running copy may still be writing to it. Kept short by
# moving a large one aside.
if [[ -f "$log" && $(stat -c %s "$log") -gt 1048576 ]]; then mv -f "$log" "$log.old"; fi
echo "=== $(date '+%F %T') corvane-sonabel $*" >> "$log"

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
    echo "Starting Corvane Sonabel with $(basename "$file"). Log: $log"
    exec "$build/bin/corvane-sonabel" "$file" >> "$log" 2>&1
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
echo "Log: $log"
if ! DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bin/corvane-sonabel" --screenshot "$shot" "$file" >> "$log" 2>&1; then
    echo "Corvane Sonabel could not take the screenshot; the end of its log:" >&2
    tail -n 20 "$log" >&2
    exit 1
fi
echo "Screenshot of the main window with $(basename "$file") loaded: $shot"
