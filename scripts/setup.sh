#!/usr/bin/env bash
# Installs the Debian packages Corvane Sonabel needs.
#   scripts/setup.sh          what building and running the program needs
#   scripts/setup.sh --tests  that, plus what the test suite and benchmarks need
# Idempotent: when every package is already installed it returns without touching apt.
set -euo pipefail

runtime_packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev
    libqt6multimedia6 qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra fonts-urw-base35
    libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev ffmpeg
    libtag1-dev libplist-dev libpugixml-dev liblzma-dev
    libjack-jackd2-dev libfluidsynth-dev timgm6mb-soundfont
    libimobiledevice-dev ifuse fuse3
    pulseaudio pulseaudio-utils dbus dbus-bin
    xvfb
    help2man
)
test_packages=(
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb desktop-file-utils appstream time clang-format bindfs
    file dpkg-dev
    libfuse3-dev
    clang libclang-rt-14-dev
)

packages=("${runtime_packages[@]}")
if [[ "${1:-}" == "--tests" ]]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-y -q -o DPkg::Lock::Timeout=300 --no-install-recommends)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get -q -o DPkg::Lock::Timeout=300 update
"${sudo[@]}" apt-get install "${apt_opts[@]}" "${missing[@]}"
