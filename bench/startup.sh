#!/usr/bin/env bash
# Cold start: from process start to the first paint of the main window, over several
# runs of `corvane-sonabel --quit-after-first-paint` (each run in a world of its own:
# fresh HOME and TMPDIR, no session bus, no phone helper). Reports the program's own
# number (measured from the moment the system started the process) and the wall time
# of the whole run, start to exit, as the shell sees it.
#   bench/startup.sh [BUILD_DIR] [RUNS]
# Offscreen by default; SONABEL_STARTUP_PLATFORM=xvfb runs it on a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/bench}
runs=${2:-10}

if [[ ! -x "$build/bin/corvane-sonabel" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF > /dev/null
    cmake --build "$build" -j2 --target corvane-sonabel
fi

source "$root/bench/private-pulse.sh"
mkdir -p "$work/home" "$work/tmp"
export HOME=$work/home TMPDIR=$work/tmp XDG_CONFIG_HOME=$work/home/.config
export DBUS_SESSION_BUS_ADDRESS=disabled: SONABEL_NO_EXTERNAL_OPEN=1
unset WAYLAND_DISPLAY

xvfb_pid=""
stop_xvfb() { [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2> /dev/null; cleanup; }
if [[ "${SONABEL_STARTUP_PLATFORM:-offscreen}" == "xvfb" ]]; then
    Xvfb :97 -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb_pid=$!
    trap stop_xvfb EXIT
    export DISPLAY=:97 QT_QPA_PLATFORM=xcb
    sleep 1
else
    unset DISPLAY
    export QT_QPA_PLATFORM=offscreen
fi

# One run to warm the page cache: the cold start of interest is the program's, not the disk's.
"$build/bin/corvane-sonabel" --quit-after-first-paint > /dev/null 2>&1

inside=()
wall=()
for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    line=$("$build/bin/corvane-sonabel" --quit-after-first-paint 2> /dev/null | grep '^first paint after')
    end=$(date +%s%N)
    inside+=("$(awk '{print $4}' <<< "$line")")
    wall+=("$(( (end - start) / 1000000 ))")
done

summary() {
    sort -n | awk '{v[NR]=$1; s+=$1} END {printf "median %.1f ms, min %.1f ms, max %.1f ms, mean %.1f ms (%d runs)\n", (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2), v[1], v[NR], s/NR, NR}'
}
echo "platform: ${QT_QPA_PLATFORM}"
printf 'process start to first paint: '; printf '%s\n' "${inside[@]}" | summary
printf 'whole run, start to exit:     '; printf '%s\n' "${wall[@]}" | summary
