#!/usr/bin/env bash
# The Debian package of this build: cpack makes it; it holds the programs, the mount
# helper, their data, the desktop files, the guide with every picture it shows and the
# manual pages; its dependencies name the linked libraries and what is only run or loaded;
# unpacked into a scratch folder, the programs find their data beside themselves there
# and run.
#   package-test.sh CPACK BUILD_DIR SCRATCH USER_GUIDE MEDIA_FILE
set -u
cpack=$1
build=$2
scratch=$3
guide=$4
media=$5
fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }

rm -rf "$scratch"
mkdir -p "$scratch/out" "$scratch/root" "$scratch/home" "$scratch/config" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" > "$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAILED: cpack -G DEB" >&2
    exit 1
fi
debs=("$scratch"/out/corvane-sonabel_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f "${debs[0]}" ]]; then
    echo "FAILED: cpack made no corvane-sonabel_*.deb: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}

# What it holds.
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' > "$scratch/contents"
expected=(
    /usr/bin/corvane-sonabel
    /usr/bin/sonabel
    /usr/bin/GBUtil
    /usr/libexec/corvane-sonabel/vIrodeVovi
    /usr/share/corvane-sonabel/ProductConfig.xml
    /usr/share/corvane-sonabel/VyRingtoneSample.sf2pack
    /usr/share/corvane-sonabel/launchSound.mp3
    /usr/share/applications/org.corvane.Sonabel.desktop
    /usr/share/icons/hicolor/scalable/apps/org.corvane.Sonabel.svg
    /usr/share/metainfo/org.corvane.Sonabel.metainfo.xml
    /usr/share/doc/corvane-sonabel/user-guide.md
    /usr/share/man/man1/corvane-sonabel.1.gz
    /usr/share/man/man1/sonabel.1.gz
)
# Every picture the guide shows.
while read -r picture; do
    expected+=("/usr/share/doc/corvane-sonabel/$picture")
done < <(grep -o '(pictures/[^)]*\.png)' "$guide" | tr -d '()' | sort -u)
check test "$(grep -c '(pictures/' "$guide")" -gt 0
for path in "${expected[@]}"; do
    check grep -qx "$path" "$scratch/contents"
done
# Build-only tools stay out.
check test "$(grep -c -e '/sf2pack$' -e '_tests$' "$scratch/contents")" -eq 0

# Its dependencies: the linked libraries (from dpkg-shlibdeps) and what is not linked.
depends=$(dpkg-deb -f "$deb" Depends)
for name in libc6 'libqt6widgets6[a-z]*' 'libavformat[0-9]+' 'libfluidsynth[0-9]+' 'libimobiledevice[0-9.-]*' \
    ifuse fuse3 qt6-qpa-plugins libqt6svg6 fonts-urw-base35 fonts-dejavu-extra; do
    check grep -qE "(^|, )$name( |,|$)" <<< "$depends"
done
check test "$(dpkg-deb -f "$deb" Package)" = corvane-sonabel

# Unpacked, nothing of the build tree is in reach: the programs find their data beside
# themselves, as in any install prefix.
dpkg-deb -x "$deb" "$scratch/root"
bin=$scratch/root/usr/bin
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config TMPDIR=$scratch/tmp XDG_RUNTIME_DIR=$scratch/runtime
export QT_QPA_PLATFORM=offscreen

QT_LOGGING_RULES='*.debug=false' "$bin/corvane-sonabel" --quit-after-first-paint \
    > "$scratch/app.out" 2> "$scratch/app.err"
check test $? -eq 0
check grep -q '^first paint after ' "$scratch/app.out"
# The shipped configuration was found (the program says so when it is not).
check test "$(grep -c "productconfig didn't exist" "$scratch/app.err")" -eq 0

"$bin/sonabel" probe "$media" > "$scratch/probe.out"
check test $? -eq 0
check grep -q '^Duration: 6' "$scratch/probe.out"

# GBUtil beside the program and the packed sound font under share/.
"$bin/sonabel" groove --preset 1 -o "$scratch/groove.wav" 2> "$scratch/groove.err"
check test $? -eq 0
check test "$(stat -c %s "$scratch/groove.wav" 2> /dev/null || echo 0)" -gt 100000

# The manual pages come from the programs' own --help.
check grep -q 'screenshot' <(zcat "$scratch/root/usr/share/man/man1/corvane-sonabel.1.gz")
check grep -q 'probe' <(zcat "$scratch/root/usr/share/man/man1/sonabel.1.gz")
check grep -q '^\.TH SONABEL "1"' <(zcat "$scratch/root/usr/share/man/man1/sonabel.1.gz")

if [[ $fail -ne 0 ]]; then
    for f in cpack.log app.err groove.err; do
        echo "--- $f" >&2
        tail -n 20 "$scratch/$f" >&2
    done
    echo "--- contents" >&2
    cat "$scratch/contents" >&2
    echo "--- Depends: $depends" >&2
    exit 1
fi
rm -rf "$scratch/root" "$scratch/home" "$scratch/tmp"
echo "package: $deb"
