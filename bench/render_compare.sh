#!/usr/bin/env bash
# Renders the same edit through Quillmoor's command line and, where they are
# installed, with the ffmpeg command line and MLT's melt, and prints the wall
# times, the processor time, the peak memory and the ratios: three 1280x720
# 30 fps H.264 clips with AAC sound, joined by two one-second wipes, to H.264
# (x264 veryfast, Quillmoor's CRF) and AAC in MP4. The floor is the same clips
# joined without transitions (Quillmoor: a project of the clips butted
# together; ffmpeg: its concat filter). ffmpeg encodes the same 4:2:0 pictures
# with the same key frame interval and CRF as Quillmoor; the script compares
# the encoder settings both files record.
#
# Every renderer runs ROUNDS times, one round of all of them after another, and
# the median of each is printed: on a shared machine single runs of the same
# command differ by a fifth.
#
# "x264 alone" is the encoder by itself: ffmpeg encoding the pictures of its
# own render, decoded beforehand into memory, with the same settings. No
# renderer that uses this encoder with these settings can be faster than that
# on this machine. It needs room for the raw pictures in /dev/shm (1.1 GB for
# 10-second clips) and is left out without it.
#   bench/render_compare.sh [BUILD_DIR] [CLIP_SECONDS] [ROUNDS]
# Nothing is installed: missing tools are named and left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-10}
rounds=${3:-3}
cmake --build "$build" --target quillmoor render_compare_project >/dev/null
work=$(mktemp -d)
raw=
trap 'rm -rf "$work"; [ -z "$raw" ] || rm -f "$raw"' EXIT

# The clips and the two project files, made by the project's own tool.
"$build/bench/render_compare_project" "$work" "$seconds"

have() { command -v "$1" >/dev/null 2>&1; }
for tool in ffmpeg melt; do
    have "$tool" || echo "$tool is not installed here: its figures are left out"
done

declare -A walls cpus peaks
# Runs a command once; adds its wall time (seconds), processor time (user and
# system seconds) and peak resident memory (MiB) to the lists of NAME.
measure() {
    local name=$1
    shift
    local stats=$work/stats wall cpu peak
    if [ -x /usr/bin/time ]; then
        if /usr/bin/time -f '%e %U %S %M' -o "$stats" "$@" >/dev/null 2>&1; then
            read -r wall user system kib <"$stats"
            cpu=$(echo "$user + $system" | bc -l)
            peak=$(echo "scale=1; $kib / 1024" | bc -l)
        else
            wall=failed cpu=- peak=-
        fi
    else
        local start end
        start=$(date +%s.%N)
        if "$@" >/dev/null 2>&1; then
            end=$(date +%s.%N)
            wall=$(echo "$end - $start" | bc -l) cpu=n/a peak=n/a
        else
            wall=failed cpu=- peak=-
        fi
    fi
    walls[$name]="${walls[$name]:-} $wall"
    cpus[$name]="${cpus[$name]:-} $cpu"
    peaks[$name]="${peaks[$name]:-} $peak"
}
# The median of a list of numbers; the first word that is not a number when
# there is one (a failed run).
median() {
    local value
    for value in $1; do
        [[ $value =~ ^[0-9.]+$ ]] || { echo "$value"; return; }
    done
    printf '%s\n' $1 | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# The options x264 recorded in a file, one per line.
x264_options() {
    grep -a -o -m1 'x264 - core[^[:cntrl:]]*' "$1" | sed 's/.*options: //' | tr ' ' '\n'
}

render_quillmoor() {
    measure quillmoor "$build/app/quillmoor" "$work/wipes.qmp" --render="$work/quillmoor.mp4" --kind=MP4Quality
    measure quillmoor_floor "$build/app/quillmoor" "$work/joined.qmp" --render="$work/quillmoor_floor.mp4" --kind=MP4Quality
}
render_quillmoor
# The encoder's work as Quillmoor's: 4:2:0 pictures (xfade's output would
# otherwise be encoded as 4:4:4), a key frame every two seconds, and the CRF
# Quillmoor's render used.
crf=$(x264_options "$work/quillmoor.mp4" | sed -n 's/^crf=//p')
crf=${crf:-23}
same_video="-c:v libx264 -preset veryfast -crf $crf -pix_fmt yuv420p -g 60"
offset1=$((seconds - 1))
offset2=$((2 * seconds - 2))
render_ffmpeg() {
    have ffmpeg || return 0
    measure ffmpeg ffmpeg -v error -y -i "$work/clip0.mp4" -i "$work/clip1.mp4" -i "$work/clip2.mp4" \
        -filter_complex "[0:v][1:v]xfade=transition=wipeleft:duration=1:offset=$offset1[v01];[v01][2:v]xfade=transition=wipeleft:duration=1:offset=$offset2[v];[0:a][1:a]acrossfade=d=1[a01];[a01][2:a]acrossfade=d=1[a]" \
        -map "[v]" -map "[a]" $same_video -c:a aac -b:a 128k "$work/ffmpeg.mp4"
    measure ffmpeg_floor ffmpeg -v error -y -i "$work/clip0.mp4" -i "$work/clip1.mp4" -i "$work/clip2.mp4" \
        -filter_complex "[0:v][0:a][1:v][1:a][2:v][2:a]concat=n=3:v=1:a=1[v][a]" \
        -map "[v]" -map "[a]" $same_video -c:a aac -b:a 128k "$work/ffmpeg_floor.mp4"
}
render_melt() {
    have melt || return 0
    measure melt melt -silent "$work/clip0.mp4" "$work/clip1.mp4" -mix 30 -mixer mix:-1 -mixer luma \
        "$work/clip2.mp4" -mix 30 -mixer mix:-1 -mixer luma \
        -consumer "avformat:$work/melt.mp4" vcodec=libx264 preset=veryfast crf=$crf acodec=aac ab=128k \
        width=1280 height=720 frame_rate_num=30 frame_rate_den=1
}
encode_alone() {
    [ -n "$raw" ] || return 0
    measure x264_alone ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p -s 1280x720 -r 30 -i "$raw" \
        $same_video "$work/x264_alone.mp4"
}
render_ffmpeg
if have ffmpeg; then
    # Room for the raw pictures: 1280x720 4:2:0 for the whole length, twice over.
    bytes=$((1280 * 720 * 3 / 2 * 30 * (3 * seconds - 2)))
    free=$(df -B1 --output=avail /dev/shm 2>/dev/null | tail -1 || echo 0)
    if [[ $free =~ ^[0-9]+$ ]] && ((free > 2 * bytes)); then
        raw=$(mktemp /dev/shm/render_compare.XXXXXX)
        ffmpeg -v error -y -i "$work/ffmpeg.mp4" -f rawvideo -pix_fmt yuv420p "$raw"
    else
        echo "no room for the raw pictures in /dev/shm: x264 alone is left out"
    fi
fi
render_melt
encode_alone
for ((round = 2; round <= rounds; ++round)); do
    render_quillmoor
    render_ffmpeg
    render_melt
    encode_alone
done

echo "medians of $rounds rounds"
printf '%-34s %8s %8s %10s %10s\n' "renderer" "seconds" "cpu s" "peak MiB" "length s"
declare -A wall
for name in quillmoor quillmoor_floor ffmpeg ffmpeg_floor melt x264_alone; do
    [ -n "${walls[$name]:-}" ] || continue
    wall[$name]=$(median "${walls[$name]}")
    length=$("$build/bench/render_compare_project" --duration "$work/$name.mp4" 2>/dev/null || echo missing)
    case $name in
    quillmoor) label="Quillmoor (wipes)" ;;
    quillmoor_floor) label="Quillmoor (clips joined, floor)" ;;
    ffmpeg) label="ffmpeg (xfade, acrossfade)" ;;
    ffmpeg_floor) label="ffmpeg (concat, floor)" ;;
    melt) label="melt (luma, mix)" ;;
    x264_alone) label="x264 alone (pictures in memory)" ;;
    esac
    printf '%-34s %8s %8s %10s %10s\n' "$label" "${wall[$name]}" "$(median "${cpus[$name]}")" \
        "$(median "${peaks[$name]}")" "$length"
done
ratio() { # prints A / B when both are numbers
    [[ ${wall[$1]:-} =~ ^[0-9.]+$ && ${wall[$2]:-} =~ ^[0-9.]+$ ]] || return 0
    printf '%-34s %8.2f\n' "$3" "$(echo "${wall[$1]} / ${wall[$2]}" | bc -l)"
}
ratio quillmoor quillmoor_floor "Quillmoor / its floor"
ratio quillmoor ffmpeg "Quillmoor / ffmpeg"
ratio quillmoor ffmpeg_floor "Quillmoor / ffmpeg's floor"
ratio quillmoor melt "Quillmoor / melt"
ratio x264_alone ffmpeg "x264 alone / ffmpeg"
ratio quillmoor x264_alone "Quillmoor / x264 alone"
quillmoor_peak=$(median "${peaks[quillmoor]}")
ffmpeg_peak=$(median "${peaks[ffmpeg]:-}")
if [[ $quillmoor_peak =~ ^[0-9.]+$ && $ffmpeg_peak =~ ^[0-9.]+$ ]]; then
    printf '%-34s %8.2f\n' "peak memory, Quillmoor / ffmpeg" "$(echo "$quillmoor_peak / $ffmpeg_peak" | bc -l)"
fi
if [ -f "$work/ffmpeg.mp4" ]; then
    if diff <(x264_options "$work/quillmoor.mp4") <(x264_options "$work/ffmpeg.mp4") >"$work/options.diff"; then
        echo "x264 settings: the same in both files"
    else
        echo "x264 settings differ (< Quillmoor, > ffmpeg):"
        grep '^[<>]' "$work/options.diff"
    fi
fi
