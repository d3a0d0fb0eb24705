#!/usr/bin/env bash
# Start-up of the editor under a virtual display (Xvfb): the time from
# process start to the first painted main window, with an empty project and
# with a 1000-clip project, and the resident memory after it has idled.
# Peer editors that are installed (shotcut, kdenlive, openshot) are measured
# the same way from the outside (time until their first window is mapped).
#
#   bench/startup_bench.sh [BUILD_DIR]        RUNS=5 IDLE=8 to change the defaults
#
# Goals on the 2-core machine: first paint under 150 ms (empty project),
# idle memory under 80 MiB.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-5}
idle=${IDLE:-8}
program=$build/app/quillmoor
maker=$build/bench/startup_project
for file in "$program" "$maker"; do
    [[ -x $file ]] || { echo "missing $file: build it first (cmake --build $build --target quillmoor startup_project)"; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 2; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
for number in $(seq 90 140); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] || break
done
Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X$number ]] && break; sleep 0.05; done

# A fresh user: the first start seeds the configuration folder.
export DISPLAY=":$number" HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export SDL_AUDIODRIVER=dummy DBUS_SESSION_BUS_ADDRESS=disabled:
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 -p "$XDG_RUNTIME_DIR"
large=$("$maker" "$work/large" 1000)

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
rss_mib() { awk '/^VmRSS:/ { printf "%.1f\n", $2 / 1024 }' "/proc/$1/status" 2>/dev/null || echo "?"; }

# Waits until process Pid has a mapped window; prints the milliseconds since
# Start, or "-" after 30 s.
time_to_window() {
    local pid=$1 start=$2
    for _ in $(seq 3000); do
        if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            echo $(( ($(now_ns) - start) / 1000000 ))
            return
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    echo "-"
}

stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# The editor: RUNS starts, the median first paint (reported by the program
# itself) and window time; the memory after IDLE seconds on the last run.
measure_quillmoor() {
    local label=$1; shift
    local paints=() windows=() rss="?"
    for run in $(seq "$runs"); do
        local log="$work/log-$run"
        local start
        start=$(now_ns)
        QM_STARTUP_PROBE=$start "$program" /NOSPLASHSCREEN /MULTIPLEINSTANCES "$@" 2>"$log" >/dev/null &
        local pid=$!
        windows+=("$(time_to_window "$pid" "$start")")
        for _ in $(seq 3000); do grep -q first-paint-ms "$log" && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
        paints+=("$(awk '/first-paint-ms/ { print $2 }' "$log")")
        if [[ $run == "$runs" ]]; then
            sleep "$idle"
            rss=$(rss_mib "$pid")
        fi
        stop "$pid"
    done
    printf '%-28s %10s %12s %10s\n' "$label" "$(printf '%s\n' "${paints[@]}" | median)" \
        "$(printf '%s\n' "${windows[@]}" | median)" "$rss"
    [[ $label != *empty* ]] || { empty_paint=$(printf '%s\n' "${paints[@]}" | median); empty_rss=$rss; }
}

measure_peer() {
    local name=$1
    if ! command -v "$name" >/dev/null; then
        printf '%-28s %s\n' "$name" "not installed"
        return
    fi
    local start pid window rss
    start=$(now_ns)
    "$name" >/dev/null 2>&1 &
    pid=$!
    window=$(time_to_window "$pid" "$start")
    sleep "$idle"
    rss=$(rss_mib "$pid")
    stop "$pid"
    printf '%-28s %10s %12s %10s\n' "$name" "-" "$window" "$rss"
}

echo "Start-up under Xvfb, median of $runs runs; memory after ${idle} s idle"
printf '%-28s %10s %12s %10s\n' "" "paint ms" "window ms" "RSS MiB"
# The first start of a fresh user seeds the configuration; it is not counted.
QM_STARTUP_PROBE=$(now_ns) "$program" /NOSPLASHSCREEN /MULTIPLEINSTANCES 2>/dev/null >/dev/null &
first=$!
time_to_window "$first" "$(now_ns)" >/dev/null
stop "$first"
measure_quillmoor "quillmoor, empty project"
measure_quillmoor "quillmoor, 1000 clips" "$large"
for peer in shotcut kdenlive openshot-qt openshot; do
    [[ $peer == openshot && -n $(command -v openshot-qt) ]] && continue
    measure_peer "$peer"
done
echo
awk -v p="$empty_paint" -v r="$empty_rss" 'BEGIN {
    printf "goal: first paint < 150 ms: %s (%s ms); idle memory < 80 MiB: %s (%s MiB)\n",
        (p != "" && p + 0 < 150) ? "met" : "missed", p, (r != "?" && r + 0 < 80) ? "met" : "missed", r }'
