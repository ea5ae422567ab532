# Shared by the comparison scripts: the build, the material and the paired timing.
# Source it after setting `root` and `build`.

# Configures a Release build in $build when there is none and builds the targets given;
# always, so that a stale binary never times old code.
bench_build() {
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONABEL_BUILD_TESTS=OFF \
              -DSONABEL_BUILD_BENCH=ON > /dev/null
    fi
    cmake --build "$build" -j2 --target "$@" > /dev/null
}

# The music-like file of MINUTES minutes (MP3, 192 kbit/s) in the benchmark data folder;
# prints its path.
bench_music() {
    local minutes=$1 file=$build/bench-data/music-${1}min.mp3
    "$root/bench/music.sh" "$file" $((minutes * 60)) >&2
    echo "$file"
}

# Wall seconds of one run of the command (a program or a shell function).
bench_seconds() {
    local TIMEFORMAT=%R
    { time "$@" > /dev/null 2>&1; } 2>&1
}

# Runs OURS and THEIRS (two shell functions taking no arguments) in PAIRS alternating
# pairs after one untimed pass of each, and prints "ours_median theirs_median ratio", the
# ratio being the median of the pairs' ratios (a pair shares the machine's state).
bench_pairs() {
    local ours=$1 theirs=$2 pairs=$3
    "$ours" > /dev/null 2>&1
    "$theirs" > /dev/null 2>&1
    local -a a=() b=() r=()
    for _ in $(seq 1 "$pairs"); do
        local x y
        x=$(bench_seconds "$ours")
        y=$(bench_seconds "$theirs")
        a+=("$x") b+=("$y") r+=("$(awk -v x="$x" -v y="$y" 'BEGIN { printf "%.4f", x / y }')")
    done
    printf '%s %s %s\n' "$(bench_median "${a[@]}")" "$(bench_median "${b[@]}")" "$(bench_median "${r[@]}")"
}

bench_median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A line report.sh collects: NAME, the ratio, the yardstick and the target.
bench_result() { printf 'RESULT|%s|%s|%s|%s\n' "$1" "$2" "$3" "$4"; }
