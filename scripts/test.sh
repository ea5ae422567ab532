#!/usr/bin/env bash
# Installs what the tests need, builds, starts the services the tests use (a D-Bus
# session bus and a PulseAudio daemon with a null sink) in a fresh private
# environment, and runs CTest. Everything it starts is stopped on exit.
#
#   SONABEL_SANITIZE=address,undefined|thread  build and run the suite with sanitizers
#   SONABEL_BUILD_DIR=...                      where to build (default build/test[-sanitizer])
#   extra arguments are passed to ctest (e.g. -R decoder)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" --tests

sanitize=${SONABEL_SANITIZE:-}
build=${SONABEL_BUILD_DIR:-$root/build/test${sanitize:+-${sanitize//,/-}}}
werror=OFF
[[ -n "${CI:-}" ]] && werror=ON
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSONABEL_WERROR=$werror -DSONABEL_SANITIZE="$sanitize" -DSONABEL_BUILD_BENCH=ON > /dev/null
cmake --build "$build" -j2

# A private world for the tests: nothing touches the real user's folders.
work=$(mktemp -d "${TMPDIR:-/tmp}/sonabel-test.XXXXXX")
pulse_pid=""
cleanup() {
    [[ -n "$pulse_pid" ]] && kill "$pulse_pid" 2> /dev/null && wait "$pulse_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/tmp" "$work/config" "$work/runtime" "$work/mnt"
chmod 700 "$work/runtime"
export HOME=$work/home TMPDIR=$work/tmp XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export SONABEL_MOUNT_POINT=$work/mnt/.SonabelMedia
export SONABEL_NO_EXTERNAL_OPEN=1 QT_QPA_PLATFORM=offscreen
unset PULSE_SERVER PULSE_LATENCY_MSEC DISPLAY WAYLAND_DISPLAY

# PulseAudio: a null sink as the default output and a remap source over its monitor as
# the default input, so that what the player plays is what the recorder hears.
cat > "$work/ci.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=ci_sink
load-module module-remap-source master=ci_sink.monitor source_name=ci_mic
set-default-sink ci_sink
set-default-source ci_mic
PA
pulseaudio -n -F "$work/ci.pa" --daemonize=no --exit-idle-time=-1 --log-target=file:"$work/pulse.log" \
    > /dev/null 2>&1 &
pulse_pid=$!
for _ in $(seq 1 100); do
    pactl info > /dev/null 2>&1 && break
    sleep 0.1
done
pactl info > /dev/null 2>&1 || { echo "PulseAudio did not start:" >&2; cat "$work/pulse.log" >&2; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# QProcess starts children with a vfork-style clone: the child's "after fork" mark lands in
# the parent's memory, and ThreadSanitizer would then refuse the parent's next thread.
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$root/tests/support/tsan.supp}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/support/lsan.supp}

dbus-run-session -- ctest --test-dir "$build" --output-on-failure -j2 "$@"

# In CI, the suites of the code that reads what comes from outside (media files, the
# phone's database, configuration and library files) run once more under
# AddressSanitizer and UndefinedBehaviorSanitizer; SONABEL_CI_SANITIZE=0 skips it.
if [[ -n "${CI:-}" && -z "$sanitize" && "${SONABEL_CI_SANITIZE:-1}" == 1 && $# -eq 0 ]]; then
    checked=$root/build/test-address-undefined
    suites=(media_tests core_tests config_tests phone_tests)
    cmake -S "$root" -B "$checked" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONABEL_WERROR=ON \
          -DSONABEL_SANITIZE=address,undefined -DSONABEL_BUILD_BENCH=OFF > /dev/null
    cmake --build "$checked" -j2 --target "${suites[@]}" vIrodeVovi
    labels=$(IFS='|'; echo "${suites[*]}")
    dbus-run-session -- ctest --test-dir "$checked" --output-on-failure -j2 -L "^($labels)\$"
fi

# In CI, every fuzz target also runs for 30 seconds on its corpus (seeded afresh in a clean
# clone); a finding fails the run. SONABEL_CI_FUZZ=0 skips it.
if [[ -n "${CI:-}" && -z "$sanitize" && "${SONABEL_CI_FUZZ:-1}" == 1 && $# -eq 0 ]]; then
    "$root/scripts/fuzz.sh" --ci
fi
