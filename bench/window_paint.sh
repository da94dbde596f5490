#!/bin/bash
# Time from the start of nq501 to its first painted main window, by hand (never in CI).
#
#   bench/window_paint.sh [-b BUILD-DIR] [-r RUNS] [MODE...]
#
# Modes (default: real none six):
#   real  the machine's own hidraw nodes (NQ501_SIM_DIR unset; no simulator rows, four pages)
#   none  no device: an empty simulator folder (the simulator's rows too: nine pages)
#   six   the simulator's full default set (keyboard, mouse, rxmouse, mousepad, chargepad,
#         headset) served by a separate nq501-devsim daemon
#
# Each run starts the program with a private HOME and XDG folders and its diagnostics on; the
# program writes "main window painted N ms after the process started" once the window has been
# exposed and painted (N counts from the process's start, in 10 ms steps). The window is then
# closed with SIGTERM. Prints every run's figure, then the median and the best. The platform is
# offscreen unless QT_QPA_PLATFORM says otherwise (under xvfb-run: QT_QPA_PLATFORM=xcb).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
runs=7
while getopts "b:r:h" opt; do
    case $opt in
    b) build=$(cd "$OPTARG" && pwd) ;;
    r) runs=$OPTARG ;;
    *) sed -n '2,15p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(real none six)
[ -x "$build/nq501" ] && [ -x "$build/nq501-devsim" ] || {
    echo "window_paint: build nq501 and nq501-devsim in $build first" >&2
    exit 2
}

work=$(mktemp -d)
sim=$work/sim/
app=""
# Stops the simulator daemon of $sim and waits until it has let go of its folder.
stop_sim() {
    "$build/nq501-devsim" --dir "$sim" stop >/dev/null 2>&1 || true
    for _ in $(seq 100); do [ -e "$sim/control" ] || break; sleep 0.05; done
}
cleanup() {
    if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then
        kill -KILL "$app" 2>/dev/null || true
    fi
    stop_sim
    rm -rf "$work"
}
trap cleanup EXIT

one_run() {
    local run=$1 log=$work/run$1.log
    rm -f "$log"
    rm -rf "$work/home" "$work/run" "$work/config" "$work/data"
    mkdir -p "$work/home" "$work/run" "$work/config" "$work/data"
    chmod 700 "$work/run"
    local simDir=(NQ501_SIM_DIR="$sim")
    [ "$mode" = real ] && simDir=()
    env -u NQ501_SIM_DIR "${simDir[@]}" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
        XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" \
        NQ501_LOG="$log" "$build/nq501" >"$work/app.out" 2>&1 &
    app=$!
    local ms=""
    for _ in $(seq 200); do
        ms=$(sed -n 's/^.*main window painted \([0-9]*\) ms.*$/\1/p' "$log" 2>/dev/null | head -1)
        [ -n "$ms" ] && break
        kill -0 "$app" 2>/dev/null || break
        sleep 0.05
    done
    # Let the devices' connection reads run before the next start.
    sleep 1
    kill -TERM "$app" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=""
    if [ -z "$ms" ]; then
        echo "window_paint: run $run: no painted window" >&2
        cat "$work/app.out" >&2
        return 1
    fi
    echo "$ms"
}

for mode in "${modes[@]}"; do
    stop_sim
    case $mode in
    real) ;;
    none) "$build/nq501-devsim" --dir "$sim" start --background keyboard >/dev/null
          "$build/nq501-devsim" --dir "$sim" remove keyboard >/dev/null ;;
    six) "$build/nq501-devsim" --dir "$sim" start --background >/dev/null ;;
    *) echo "window_paint: unknown mode $mode" >&2; exit 2 ;;
    esac
    figures=()
    for run in $(seq "$runs"); do
        figures+=("$(one_run "$run")")
    done
    median=$(printf '%s\n' "${figures[@]}" | sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')
    best=$(printf '%s\n' "${figures[@]}" | sort -n | head -1)
    echo "$mode: ${figures[*]} ms; median $median ms, best $best ms (load average $(cut -d' ' -f1 /proc/loadavg))"
done
