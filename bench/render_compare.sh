#!/usr/bin/env bash
# Renders the same edit three ways and prints the wall times and their
# ratios: three 1280x720 30 fps H.264 clips of 10 s with AAC sound, joined by
# two one-second wipes, to H.264 (x264 veryfast, CRF 23) and AAC 128 kbit/s
# in MP4 — with Quillmoor's engine, with the ffmpeg command line (xfade and
# acrossfade), and with MLT's melt (luma and mix transitions). The two
# tools are installed for this benchmark only.
#   bench/render_compare.sh [BUILD_DIR] [CLIP_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-10}
for tool in ffmpeg melt; do
    if ! command -v "$tool" >/dev/null; then
        echo "Installing $tool for the benchmark"
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$tool" >/dev/null
    fi
done
cmake --build "$build" --target render_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

colours=(red green blue)
for i in 0 1 2; do
    ffmpeg -v error -y -f lavfi -i "testsrc2=s=1280x720:r=30:d=$seconds" \
        -f lavfi -i "sine=f=$((300 + 200 * i)):sample_rate=48000:d=$seconds" \
        -vf "drawbox=c=${colours[$i]}@0.5:t=fill" -c:v libx264 -preset veryfast -crf 23 \
        -pix_fmt yuv420p -c:a aac -b:a 128k -ac 2 "$work/clip$i.mp4"
done
offset1=$((seconds - 1))
offset2=$((2 * seconds - 2))

wall() { # prints the wall seconds of a command
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

engine=$(wall "$build/bench/render_bench" "$work/engine.mp4" "$work/clip0.mp4" "$work/clip1.mp4" \
    "$work/clip2.mp4" "$seconds")

ffmpeg_time=$(wall ffmpeg -v error -y -i "$work/clip0.mp4" -i "$work/clip1.mp4" -i "$work/clip2.mp4" \
    -filter_complex "[0:v][1:v]xfade=transition=wipeleft:duration=1:offset=$offset1[v01];[v01][2:v]xfade=transition=wipeleft:duration=1:offset=$offset2[v];[0:a][1:a]acrossfade=d=1[a01];[a01][2:a]acrossfade=d=1[a]" \
    -map "[v]" -map "[a]" -c:v libx264 -preset veryfast -crf 23 -c:a aac -b:a 128k "$work/ffmpeg.mp4")

frames=$((seconds * 30))
melt_time=$(wall melt -silent "$work/clip0.mp4" "$work/clip1.mp4" -mix 30 -mixer mix:-1 -mixer luma \
    "$work/clip2.mp4" -mix 30 -mixer mix:-1 -mixer luma \
    -consumer "avformat:$work/melt.mp4" vcodec=libx264 preset=veryfast crf=23 acodec=aac ab=128k \
    width=1280 height=720 frame_rate_num=30 frame_rate_den=1)

printf '%-28s %8s\n' "renderer" "seconds"
printf '%-28s %8.2f\n' "Quillmoor engine" "$engine"
printf '%-28s %8.2f\n' "ffmpeg (xfade, acrossfade)" "$ffmpeg_time"
printf '%-28s %8.2f\n' "melt (luma, mix)" "$melt_time"
printf 'engine / ffmpeg = %.2f   engine / melt = %.2f\n' \
    "$(echo "$engine / $ffmpeg_time" | bc -l)" "$(echo "$engine / $melt_time" | bc -l)"
for f in engine ffmpeg melt; do
    printf '%-8s %s\n' "$f" "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$f.mp4" 2>/dev/null || echo missing)"
done
