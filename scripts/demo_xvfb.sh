#!/usr/bin/env bash
# Plays the demo project in the program's window on a virtual X server of its
# own: screenshots while it plays, the sound recorded through SDL's disk audio
# driver and checked with sox (not silent, at the level and pitch of the
# demo's 330 Hz tone), then full screen with Alt+Enter and back with Escape.
#
#   scripts/demo_xvfb.sh [BUILD_DIR] [OUT_DIR]
#
# Needs Xvfb, xdotool, ImageMagick's import and sox. The screenshots stay in
# OUT_DIR (shot-*.png) for a look; the exit status is 0 when every check held.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-/tmp/quillmoor-demo-xvfb}
program=$build/app/quillmoor
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$out"
rm -f shot-*.png sound.raw

failures=0
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# The demo project: without a display the program makes it (and renders it).
if [ ! -f quillmoor-demo/Demo.qmp ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$program" >demo.log 2>&1
fi

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >xvfb.log 2>&1 &
xvfb=$!
read -r -t 20 number <&"$fd" || { echo "Xvfb did not start"; exit 2; }
export DISPLAY=:$number
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# The disk driver paces itself to real time, so it stays the playback clock.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/sound.raw" \
    DBUS_SESSION_BUS_ADDRESS=disabled: SDL_FRAMEBUFFER_ACCELERATION=0 \
    XDG_CONFIG_HOME="$out/config" WAYLAND_DISPLAY= \
    "$program" quillmoor-demo/Demo.qmp >program.log 2>&1 &
app=$!

window=
for _ in $(seq 1 200); do
    window=$(xdotool search --name '^Demo - Quillmoor$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
check "the program's window opens" test -n "$window"
[ -n "$window" ] || exit 1
sleep 1
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
import -window root shot-0-before.png

# Space plays; pictures at several times while it plays.
xdotool key --window "$window" space
for at in 1 2 3 4; do
    sleep 1.5
    import -window root "shot-$at-playing.png"
done
# The pictures change while it plays.
check "the picture moves while playing" \
    test "$(compare -metric AE shot-1-playing.png shot-4-playing.png null: 2>&1 || true)" != 0

# Full screen while it still plays, and back.
xdotool key --window "$window" alt+Return
sleep 1
import -window root shot-8-fullscreen.png
read -r w h <<<"$(xdotool search --name '' getwindowgeometry 2>/dev/null | awk '/Geometry/ {split($2, s, "x"); if (s[1] * s[2] > a) {a = s[1] * s[2]; w = s[1]; h = s[2]}} END {print w, h}')"
check "a window covers the screen in full screen" test "$w" = 1024 -a "$h" = 768
xdotool key Escape
sleep 1
import -window root shot-9-after-escape.png
check "Escape leaves full screen" \
    test "$(compare -metric AE shot-8-fullscreen.png shot-9-after-escape.png null: 2>&1 || true)" != 0

kill -TERM "$app"
wait "$app" || true
app=

# The sound: 32-bit float stereo at 44.1 kHz, as the engine opens the device.
if [ -s sound.raw ]; then
    # The device writes silence while paused: the statistics are of the
    # stretch that played, the silence before and after it cut away, of
    # the two channels mixed (sox's rough frequency reads a stereo sine low).
    sox -t raw -r 44100 -e floating-point -b 32 -c 2 sound.raw -n remix - \
        silence 1 0.05 1% reverse silence 1 0.05 1% reverse stat 2>stat.txt || true
    cat stat.txt
    rms=$(awk -F: '/RMS +amplitude/ {gsub(/ /, "", $2); print $2}' stat.txt)
    max=$(awk -F: '/Maximum amplitude/ {gsub(/ /, "", $2); print $2}' stat.txt)
    freq=$(awk -F: '/Rough +frequency/ {gsub(/ /, "", $2); print $2}' stat.txt)
    check "the sound is not silent (RMS $rms)" awk -v v="$rms" 'BEGIN {exit !(v > 0.02)}'
    check "the sound peaks at the tone's level, unclipped (max $max)" \
        awk -v v="$max" 'BEGIN {exit !(v > 0.2 && v < 1.0)}'
    check "the sound is the 330 Hz tone (rough frequency $freq)" \
        awk -v v="$freq" 'BEGIN {exit !(v > 300 && v < 360)}'
else
    check "sound was recorded" false
fi

echo "screenshots in $out"
exit $((failures > 0))
