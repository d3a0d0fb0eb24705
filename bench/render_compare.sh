#!/usr/bin/env bash
# Renders the same edit through Quillmoor's command line and, where they are
# installed, with the ffmpeg command line and MLT's melt, and prints the wall
# times, the peak memory and the ratios: three 1280x720 30 fps H.264 clips
# with AAC sound, joined by two one-second wipes, to H.264 (x264 veryfast,
# CRF 23) and AAC in MP4. The floor is the same clips joined without
# transitions (Quillmoor: a project of the clips butted together; ffmpeg: its
# concat filter). ffmpeg encodes the same 4:2:0 pictures with the same key
# frame interval as Quillmoor. Nothing is installed: missing tools are named and left out.
#   bench/render_compare.sh [BUILD_DIR] [CLIP_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-10}
cmake --build "$build" --target quillmoor render_compare_project >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The clips and the two project files, made by the project's own tool.
"$build/bench/render_compare_project" "$work" "$seconds"

have() { command -v "$1" >/dev/null 2>&1; }
for tool in ffmpeg melt; do
    have "$tool" || echo "$tool is not installed here: its figures are left out"
done

# Runs a command; sets wall (seconds) and peak (MiB of resident memory).
measure() {
    local stats=$work/stats
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f '%e %M' -o "$stats" "$@" >/dev/null 2>&1 || { wall=failed; peak=-; return; }
        read -r wall kib <"$stats"
        peak=$(echo "scale=1; $kib / 1024" | bc -l)
    else
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { wall=failed; peak=-; return; }
        end=$(date +%s.%N)
        wall=$(echo "$end - $start" | bc -l)
        peak=n/a
    fi
}

declare -A walls peaks
row() { walls[$1]=$wall; peaks[$1]=$peak; }

measure "$build/app/quillmoor" "$work/wipes.qmp" --render="$work/quillmoor.mp4" --kind=MP4Quality
row quillmoor
measure "$build/app/quillmoor" "$work/joined.qmp" --render="$work/quillmoor_floor.mp4" --kind=MP4Quality
row quillmoor_floor

offset1=$((seconds - 1))
offset2=$((2 * seconds - 2))
# The encoder's work as Quillmoor's: 4:2:0 pictures (xfade's output would
# otherwise be encoded as 4:4:4) and a key frame every two seconds.
same_video="-c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p -g 60"
if have ffmpeg; then
    measure ffmpeg -v error -y -i "$work/clip0.mp4" -i "$work/clip1.mp4" -i "$work/clip2.mp4" \
        -filter_complex "[0:v][1:v]xfade=transition=wipeleft:duration=1:offset=$offset1[v01];[v01][2:v]xfade=transition=wipeleft:duration=1:offset=$offset2[v];[0:a][1:a]acrossfade=d=1[a01];[a01][2:a]acrossfade=d=1[a]" \
        -map "[v]" -map "[a]" $same_video -c:a aac -b:a 128k "$work/ffmpeg.mp4"
    row ffmpeg
    measure ffmpeg -v error -y -i "$work/clip0.mp4" -i "$work/clip1.mp4" -i "$work/clip2.mp4" \
        -filter_complex "[0:v][0:a][1:v][1:a][2:v][2:a]concat=n=3:v=1:a=1[v][a]" \
        -map "[v]" -map "[a]" $same_video -c:a aac -b:a 128k "$work/ffmpeg_floor.mp4"
    row ffmpeg_floor
fi
if have melt; then
    measure melt -silent "$work/clip0.mp4" "$work/clip1.mp4" -mix 30 -mixer mix:-1 -mixer luma \
        "$work/clip2.mp4" -mix 30 -mixer mix:-1 -mixer luma \
        -consumer "avformat:$work/melt.mp4" vcodec=libx264 preset=veryfast crf=23 acodec=aac ab=128k \
        width=1280 height=720 frame_rate_num=30 frame_rate_den=1
    row melt
fi

printf '%-34s %8s %10s %10s\n' "renderer" "seconds" "peak MiB" "length s"
for name in quillmoor quillmoor_floor ffmpeg ffmpeg_floor melt; do
    [ -n "${walls[$name]:-}" ] || continue
    length=$("$build/bench/render_compare_project" --duration "$work/$name.mp4" 2>/dev/null || echo missing)
    case $name in
    quillmoor) label="Quillmoor (wipes)" ;;
    quillmoor_floor) label="Quillmoor (clips joined, floor)" ;;
    ffmpeg) label="ffmpeg (xfade, acrossfade)" ;;
    ffmpeg_floor) label="ffmpeg (concat, floor)" ;;
    melt) label="melt (luma, mix)" ;;
    esac
    printf '%-34s %8s %10s %10s\n' "$label" "${walls[$name]}" "${peaks[$name]}" "$length"
done
ratio() { # prints A / B when both are numbers
    [[ ${walls[$1]:-} =~ ^[0-9.]+$ && ${walls[$2]:-} =~ ^[0-9.]+$ ]] || return 0
    printf '%-34s %8.2f\n' "$3" "$(echo "${walls[$1]} / ${walls[$2]}" | bc -l)"
}
ratio quillmoor quillmoor_floor "Quillmoor / its floor"
ratio quillmoor ffmpeg "Quillmoor / ffmpeg"
ratio quillmoor ffmpeg_floor "Quillmoor / ffmpeg's floor"
ratio quillmoor melt "Quillmoor / melt"
if [[ ${peaks[quillmoor]:-} =~ ^[0-9.]+$ && ${peaks[ffmpeg]:-} =~ ^[0-9.]+$ ]]; then
    printf '%-34s %8.2f\n' "peak memory, Quillmoor / ffmpeg" \
        "$(echo "${peaks[quillmoor]} / ${peaks[ffmpeg]}" | bc -l)"
fi
