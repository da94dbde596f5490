#!/bin/sh
# CPU time of an idle NQ501 over a while, by hand (not in CI).
#   bench/idle_cpu.sh [BUILD-DIR] [SECONDS] [DEVICES...]
# With devices, a simulator is started with them (default: keyboard headset mousepad) and the
# program runs on it; with the single device "none" the program runs on an empty simulator.
# Prints the CPU time of the nq501 process and its share of one core, per thread at the end.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
seconds=${2:-60}
shift 2 2>/dev/null || shift $#
devices=${*:-keyboard headset mousepad}
work=$(mktemp -d /tmp/nq501-bench-XXXXXX)
trap 'NQ501_SIM_DIR=$work/sim "$build/nq501-devsim" stop >/dev/null 2>&1 || true; kill $app 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
export NQ501_SIM_DIR=$work/sim/
if [ "$devices" = none ]; then
    "$build/nq501-devsim" start --background keyboard >/dev/null
    "$build/nq501-devsim" remove keyboard >/dev/null
else
    # shellcheck disable=SC2086
    "$build/nq501-devsim" start --background $devices >/dev/null
fi
HOME=$work/home XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/nq501" >/dev/null 2>&1 &
app=$!
sleep 3 # start-up and the devices' first read
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
used=$((after - before))
echo "devices: $devices"
echo "cpu: $used ticks of 1/$hz s in $seconds s = $(awk -v u="$used" -v h="$hz" -v s="$seconds" 'BEGIN{printf "%.2f%%", 100*u/h/s}') of one core"
for t in /proc/$app/task/*; do
    printf '  %-16s %s ticks\n' "$(cat "$t/comm")" "$(awk '{print $14 + $15}' "$t/stat")"
done
