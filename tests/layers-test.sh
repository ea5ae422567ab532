#!/bin/bash
# Fails when a source file includes from a layer above its own, or when FFmpeg's headers
# are reached from outside the media library (directly or through a media header that
# carries them). Lists every offending line.
#
# Usage: layers-test.sh SOURCE_DIR
set -u
cd "${1:?usage: layers-test.sh SOURCE_DIR}" || exit 2
status=0
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
up='([.]{1,2}/)*' # a relative path must not step around the rules

# forbid PATTERN WHY DIR...: no #include under DIR names a path matching PATTERN.
forbid() {
    local pattern=$1 why=$2 hits
    shift 2
    hits=$(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
        "$include($pattern)" "$@")
    if [ -n "$hits" ]; then
        printf '%s:\n%s\n' "$why" "$hits"
        status=1
    fi
}

forbid "$up(core|audio|ui|app|tools|helper)/|Q[A-Za-z]|q[a-z0-9_]*\.h" \
    "src/media is plain C++ and includes no other layer" src/media
forbid "$up(ui|audio|app)/" "src/core includes nothing from ui, audio or app" src/core
forbid "$up(ui|app)/" "src/audio includes nothing from ui or app" src/audio
forbid "${up}app/" "src/ui includes nothing from app" src/ui
forbid "${up}ui/" "src/tools and src/helper include nothing from ui" src/tools src/helper

# The media headers that carry FFmpeg's, found by following includes inside src/media.
ffmpeg='lib(avcodec|avformat|avutil|avfilter|avdevice|swresample|swscale|postproc)/'
pattern=$ffmpeg
carriers=
while :; do
    found=$(grep -lE "$include($pattern)" src/media/*.h src/media/*.hpp 2>/dev/null | sed 's#^src/##' | sort)
    [ "$found" = "$carriers" ] && break
    carriers=$found
    [ -n "$carriers" ] && pattern="$ffmpeg|$up($(echo $carriers | sed 's/\./\\./g; s/ /|/g'))"
done
outside=$(ls -d src/*/ | grep -vx 'src/media/')
forbid "$pattern" "only src/media includes FFmpeg (or media headers that include it)" \
    $outside tests bench

exit $status
