#!/usr/bin/env bash
# Music-like material for the benchmarks: chords that change every two seconds over a
# bass, a kick, a snare and hi-hats, noise bursts, and a slowly swelling loudness, so
# that encoders and decoders meet what songs give them (a steady tone flatters them).
#
#   bench/music.sh OUT SECONDS [FFMPEG OUTPUT OPTIONS...]
#
# OUT is written once and kept (delete it to make it again); without options it is a
# 44.1 kHz stereo MP3 at 192 kbit/s. A two-minute master (WAV, beside OUT) is rendered
# once and looped for longer pieces, its loudness varied over the whole length.
set -euo pipefail
out=$1
seconds=$2
shift 2
[[ -f "$out" ]] && exit 0
options=("$@")
[[ ${#options[@]} -eq 0 ]] && options=(-c:a libmp3lame -b:a 192k)
mkdir -p "$(dirname "$out")"

master=$(dirname "$out")/.music-master-120s.wav
if [[ ! -f "$master" ]]; then
    # One channel's expression; `n` picks its own noise generators.
    voice() {
        local n=$1 detune=$2
        local root="st(1,pow(2,(mod(floor(t/2),4)*5-mod(floor(t/8),3)*2)/12))"
        local chord="0.16*(sin(2*PI*220*$root*t)+sin(2*PI*277.18*ld(1)*t)+sin(2*PI*(329.63+$detune)*ld(1)*t+0.5*sin(2*PI*3*t))+0.5*sin(2*PI*110*ld(1)*t))"
        local swell="(0.5+0.45*sin(2*PI*t/23)*sin(2*PI*t/61))"
        local kick="0.5*sin(2*PI*(50+90*exp(-mod(t,0.5)*25))*mod(t,0.5))*exp(-mod(t,0.5)*9)"
        local snare="0.3*random($n)*exp(-mod(t+0.25,0.5)*28)*gte(mod(t,1),0.5)"
        local hat="0.06*random($((n + 1)))*exp(-mod(t,0.125)*60)"
        local burst="0.15*random($((n + 2)))*lt(mod(t,13),0.7)"
        local expression="$chord*$swell+$kick+$snare+$hat+$burst"
        printf '%s' "${expression//,/\\,}"
    }
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "aevalsrc=exprs=$(voice 0 0)|$(voice 3 1.5):s=44100:d=120" -c:a pcm_s16le "$master.part.wav"
    mv "$master.part.wav" "$master"
fi

loops=$(( (seconds + 119) / 120 - 1 ))
ffmpeg -nostdin -hide_banner -loglevel error -y -stream_loop "$loops" -i "$master" -t "$seconds" \
    -af "volume=eval=frame:volume=0.75+0.25*sin(2*PI*t/97)" "${options[@]}" "$out.part.${out##*.}"
mv "$out.part.${out##*.}" "$out"
