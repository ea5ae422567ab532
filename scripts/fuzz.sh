#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# in a build folder of their own) and runs them on their corpus.
#
#   scripts/fuzz.sh [NAME|all] [SECONDS]   run one target or all of them, SECONDS each (60)
#   scripts/fuzz.sh --ci                   every target for 30 seconds; fails on any finding
#   scripts/fuzz.sh --list                 the targets' names
#
#   SONABEL_FUZZ_DIR=...                   where to build (default build/fuzz)
#
# The corpus grows in BUILD/corpus/NAME (outside the repository), started from the seeds
# fuzz/make-seeds.sh writes to BUILD/seeds/NAME. Inputs that crash, leak, hang or run out
# of memory land in BUILD/findings/NAME/; each becomes a case of the ordinary suite
# (tests/core/fuzzregress_test.cpp, its input in tests/fixtures/fuzz/NAME/) with its fix.
# The run ends with one line per target: executions, coverage (libFuzzer's cov and ft)
# and findings. Exit status 1 on findings.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SONABEL_FUZZ_DIR:-$root/build/fuzz}
targets=(timetext utf8path productconfig phonedatabase ituneslibrary groovepattern waveformarchive mediafile)

# Per target: the longest input (the seeds' sizes with room to grow), the dictionary, and
# the time one input may take (media decodes are slow under the sanitizers).
max_len() {
    case $1 in
    timetext) echo 64 ;;
    utf8path) echo 1024 ;;
    productconfig | waveformarchive) echo 8192 ;;
    phonedatabase | groovepattern) echo 16384 ;;
    ituneslibrary) echo 32768 ;;
    mediafile) echo 65536 ;;
    esac
}
dictionary() {
    case $1 in
    timetext) echo "$root/fuzz/timetext.dict" ;;
    productconfig | groovepattern) echo "$root/fuzz/xml.dict" ;;
    phonedatabase | ituneslibrary | waveformarchive) echo "$root/fuzz/plist.dict" ;;
    esac
}
input_timeout() { [[ $1 == mediafile ]] && echo 20 || echo 10; }

usage() {
    sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

name=all
seconds=60
case "${1:-}" in
--ci) seconds=30 ;;
--list) printf '%s\n' "${targets[@]}"; exit 0 ;;
-h | --help) usage ;;
"") ;;
*) name=$1 seconds=${2:-60} ;;
esac
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
if [[ $name == all ]]; then
    run=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $name "* ]]; then
    run=("$name")
else
    echo "fuzz.sh: no target \"$name\"; the targets are: ${targets[*]}" >&2
    exit 2
fi

"$root/scripts/setup.sh" --tests

# Configure once, build what is run (ccache keeps rebuilds short).
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    werror=OFF
    [[ -n "${CI:-}" ]] && werror=ON
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSONABEL_FUZZ=ON -DSONABEL_BUILD_TESTS=OFF -DSONABEL_WERROR=$werror > /dev/null
fi
build_targets=()
for t in "${run[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j2 --target "${build_targets[@]}"

# Seeds, made again when the generator changed.
stamp="$build/seeds/.stamp"
sum=$(find "$root/fuzz/make-seeds.sh" "$root/tests/fixtures/fuzz" -type f -exec sha1sum {} + 2> /dev/null | sort | sha1sum || true)
if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$sum" ]]; then
    rm -rf "$build/seeds"
    "$root/fuzz/make-seeds.sh" "$build/seeds"
    echo "$sum" > "$stamp"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:handle_abort=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TMPDIR=${TMPDIR:-/tmp}
export QT_QPA_PLATFORM=offscreen

summary=()
found_any=0
for t in "${run[@]}"; do
    corpus="$build/corpus/$t"
    findings="$build/findings/$t"
    log="$build/logs/$t.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    before=$(find "$findings" -type f | wc -l)
    touch "$build/logs/.start"
    options=(-max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout="$(input_timeout "$t")"
             -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$findings/")
    dict=$(dictionary "$t")
    [[ -n "$dict" ]] && options+=(-dict="$dict")
    echo "== $t: ${seconds}s (log: $log)"
    status=0
    "$build/fuzz/fuzz_$t" "${options[@]}" "$corpus" "$build/seeds/$t" > "$log" 2>&1 || status=$?
    after=$(find "$findings" -type f | wc -l)
    new=$((after - before))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$last")
    corp=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<< "$last")
    if [[ $status -ne 0 && $new -eq 0 ]]; then
        new=1 # a failure libFuzzer did not save (it says why in the log)
    fi
    if [[ $new -gt 0 ]]; then
        found_any=1
        grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz check failed|.*runtime error)' "$log" | head -5 | sed 's/^/   /'
        find "$findings" -type f -newer "$build/logs/.start" | sed 's/^/   saved: /'
    fi
    summary+=("$(printf '%-16s %6ss %12s execs  cov %-6s ft %-7s corpus %-12s findings %s' \
        "$t" "$seconds" "${execs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$new")")
done

echo
printf '%s\n' "${summary[@]}"
if [[ $found_any -ne 0 ]]; then
    echo "fuzz.sh: findings above; each becomes a case in tests/core/fuzzregress_test.cpp with its fix" >&2
    exit 1
fi
