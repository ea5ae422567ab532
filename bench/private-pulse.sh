# Sourced by the benchmark scripts: starts a private PulseAudio daemon whose null sink
# is the default output and whose monitor is the default input, and stops it on exit.
work=$(mktemp -d)
pulse_pid=""
cleanup() { [[ -n "$pulse_pid" ]] && kill "$pulse_pid" 2> /dev/null; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
printf '%s\n' "load-module module-native-protocol-unix" "load-module module-null-sink sink_name=ci_sink" \
    "load-module module-remap-source master=ci_sink.monitor source_name=ci_mic" \
    "set-default-sink ci_sink" "set-default-source ci_mic" > "$work/bench.pa"
pulseaudio -n -F "$work/bench.pa" --daemonize=no --exit-idle-time=-1 > /dev/null 2>&1 &
pulse_pid=$!
for _ in $(seq 1 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
