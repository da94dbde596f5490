#!/bin/bash
# CPU time and wake-ups of an idle nq501, per thread, by hand (never in CI).
#
#   bench/cpu_idle.sh [-b BUILD-DIR] [-s SECONDS] [-w WARMUP] [-t STRACE-SECONDS] [-n]
#                     [-d "DEVICE..."] [-l "DEVICE..."] [MODE...]
#
# Modes (default: devices none demo):
#   devices  the demo's devices (keyboard mouse mousepad headset, or those of -d), served by a
#            separate nq501-devsim daemon, so only the program's own CPU is counted (the
#            daemon's is printed beside it); -l adds more devices once the program has shown the
#            page of the first (the first device found has its page shown), so that page stays
#   none     no device: NQ501_SIM_DIR unset, the program watches the machine's hidraw nodes
#   empty    an empty simulator folder (no device plugged)
#   demo     nq501 --demo: the simulator runs inside the program and is counted with it
#
# For every mode the program starts on the offscreen platform with a private HOME and XDG folders,
# is left alone WARMUP seconds (start-up and the devices' first read), then measured over SECONDS:
#   - CPU: utime+stime of the process (clock ticks, threads that ended included) and the sum of
#     the threads' run time from /proc/PID/task/TID/schedstat (nanoseconds);
#   - wake-ups: voluntary context switches per thread (each one is a sleep that ended), and the
#     involuntary ones (preemptions) beside them.
# Threads are named by the first function of the program found in their stack (gdb, once, after
# the measurement; -n skips it). -t N traces the blocking calls of every thread for N seconds
# after the measurement (strace) and prints them per thread with their most frequent time-outs.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build-bench
seconds=60
warmup=5
straceSeconds=0
useGdb=1
devices="keyboard mouse mousepad headset"
later=""
while getopts "b:s:w:t:d:l:nh" opt; do
    case $opt in
    b) build=$(cd "$OPTARG" && pwd) ;;
    s) seconds=$OPTARG ;;
    w) warmup=$OPTARG ;;
    t) straceSeconds=$OPTARG ;;
    n) useGdb=0 ;;
    d) devices=$OPTARG ;;
    l) later=$OPTARG ;;
    *) sed -n '2,29p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(devices none demo)
[ -x "$build/nq501" ] && [ -x "$build/nq501-devsim" ] || {
    echo "cpu_idle: build nq501 and nq501-devsim in $build first" >&2
    exit 2
}
hz=$(getconf CLK_TCK)

work=""
app=""
sim=""
cleanup() {
    if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then
        kill -TERM "$app" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$app" 2>/dev/null || true
    fi
    wait 2>/dev/null || true
    if [ -n "$sim" ]; then
        "$build/nq501-devsim" --dir "$sim" stop >/dev/null 2>&1 || true
    fi
    [ -n "$work" ] && rm -rf "$work"
    app="" sim="" work=""
}
trap cleanup EXIT

# One line per thread: TID RUN-NS VOLUNTARY INVOLUNTARY COMM
snapshot() {
    local pid=$1 t
    for t in /proc/"$pid"/task/*; do
        [ -r "$t/schedstat" ] || continue
        printf '%s %s %s %s\n' "${t##*/}" "$(cut -d' ' -f1 "$t/schedstat" 2>/dev/null || echo 0)" \
            "$(awk '/^voluntary_ctxt_switches/{v=$2} /^nonvoluntary_ctxt_switches/{n=$2} END{print v+0, n+0}' "$t/status" 2>/dev/null || echo 0 0)" \
            "$(tr ' ' '_' <"$t/comm" 2>/dev/null || echo '?')"
    done | sort -n
}
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# TID<TAB>label from the stacks: the first function of the program that is not a waiting helper.
thread_labels() {
    gdb -p "$1" -batch -nx -ex "set pagination off" -ex "thread apply all bt 40" 2>/dev/null | awk '
        /^Thread [0-9]+ \(Thread / {
            if (match($0, /LWP [0-9]+/)) { tid = substr($0, RSTART + 4, RLENGTH - 4); done[tid] = 0 }
            next
        }
        /^#[0-9]/ && tid != "" && !done[tid] {
            line = $0
            sub(/ at \/.*$/, "", line)
            while (match(line, /(nqsim|nq)::[A-Za-z0-9_:]*[A-Za-z0-9_]/)) {
                name = substr(line, RSTART, RLENGTH)
                line = substr(line, RSTART + RLENGTH)
                if (name ~ /^nq::(StopEvent|HidDevice|WorkerThread|HidSeqPacket)::/) continue
                if (name ~ /CApplication::Run$/) name = "UI thread: Qt event loop"
                printf "%s\t%s\n", tid, name
                done[tid] = 1
                break
            }
        }'
}

# Per thread: blocking calls during N seconds, with their most frequent time-out argument.
trace_waits() {
    local pid=$1 secs=$2 out=$3
    timeout -s INT "$secs" strace -f -qq -p "$pid" -o "$out" \
        -e trace=poll,ppoll,futex,clock_nanosleep,nanosleep,epoll_wait,epoll_pwait,select,pselect6,recvmsg,recvfrom,read \
        >/dev/null 2>&1 || true
    awk -v secs="$secs" '
        {
            tid = $1; call = $2; sub(/\(.*/, "", call)
            if (call ~ /^(<\.\.\.|\+\+\+|---)/) next
            arg = ""
            if (call == "poll" && match($0, /\], [0-9]+, -?[0-9]+/)) {
                a = substr($0, RSTART, RLENGTH); sub(/.*, /, "", a); a += 0
                arg = a < 0 ? "no time-out" : a == 0 ? "time-out 0" : a < 100 ? "time-out 1-99 ms" : "time-out " a " ms"
            }
            if (call == "futex" && $0 ~ /FUTEX_WAIT/) arg = "wait"
            if (call == "futex" && $0 ~ /FUTEX_WAKE/) arg = "wake"
            key = tid " " call (arg != "" ? " (" arg ")" : "")
            n[key]++
        }
        END { for (k in n) printf "    %-8s %-40s %7.1f/s\n", substr(k, 1, index(k, " ") - 1), substr(k, index(k, " ") + 1), n[k] / secs }' \
        "$out" | sort -k1,1n -k2
}

measure() {
    local mode=$1
    work=$(mktemp -d /tmp/nq501-cpu-XXXXXX)
    mkdir -p "$work/home" "$work/run" "$work/config" "$work/data"
    chmod 700 "$work/run"
    local env=(HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
               XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}")
    local args=() simPid=""
    case $mode in
    devices | empty)
        sim=$work/sim/
        if [ "$mode" = devices ]; then
            # shellcheck disable=SC2086
            "$build/nq501-devsim" --dir "$sim" start --background $devices >"$work/sim.out"
        else
            "$build/nq501-devsim" --dir "$sim" start --background keyboard >"$work/sim.out"
            "$build/nq501-devsim" --dir "$sim" remove keyboard >/dev/null
        fi
        simPid=$(awk '/^simulator [0-9]+ running/{print $2}' "$work/sim.out")
        env+=(NQ501_SIM_DIR="$sim")
        ;;
    none) ;;
    demo) args=(--demo) ;;
    *) echo "cpu_idle: unknown mode $mode" >&2; return 2 ;;
    esac
    env -u NQ501_SIM_DIR -u DBUS_SESSION_BUS_ADDRESS "${env[@]}" "$build/nq501" "${args[@]}" \
        >"$work/app.out" 2>&1 &
    app=$!
    sleep "$warmup"
    kill -0 "$app" 2>/dev/null || { echo "cpu_idle: nq501 ended during start-up:"; cat "$work/app.out"; return 1; }
    if [ "$mode" = devices ] && [ -n "$later" ]; then
        # shellcheck disable=SC2086
        "$build/nq501-devsim" --dir "$sim" add $later >/dev/null
        sleep "$warmup"
    fi

    snapshot "$app" >"$work/a"
    local t0 s0=0 start end
    t0=$(ticks "$app")
    [ -n "$simPid" ] && s0=$(ticks "$simPid")
    start=$(date +%s.%N)
    sleep "$seconds"
    snapshot "$app" >"$work/b"
    local t1 s1=0
    t1=$(ticks "$app")
    [ -n "$simPid" ] && s1=$(ticks "$simPid")
    end=$(date +%s.%N)
    local span
    span=$(awk -v a="$start" -v b="$end" 'BEGIN{printf "%.3f", b - a}')

    : >"$work/labels"
    [ "$useGdb" = 1 ] && command -v gdb >/dev/null && thread_labels "$app" >"$work/labels"

    echo "== $mode: nq501${args[*]:+ ${args[*]}}${sim:+ on the simulator daemon in $sim}$([ "$mode" = devices ] && echo " with $devices${later:+, then $later}") ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
    awk -v hz="$hz" -v span="$span" -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v sim="$simPid" '
        FILENAME == ARGV[1] { label[$1] = $0; sub(/^[0-9]+\t/, "", label[$1]); next }
        FILENAME == ARGV[2] { run[$1] = $2; vol[$1] = $3; inv[$1] = $4; next }
        {
            tid = $1; name = (tid in label) ? label[tid] : $5
            if (!(tid in run)) { name = name " (new)"; run[tid] = 0; vol[tid] = 0; inv[tid] = 0 }
            ms = ($2 - run[tid]) / 1e6; total += ms
            rows[++n] = sprintf("  %-8s %-44s %9.2f %7.3f%% %9.1f %8.1f", tid, substr(name, 1, 44), ms,
                                100 * ms / 1000 / span, ($3 - vol[tid]) / span, ($4 - inv[tid]) / span)
        }
        END {
            printf "  over %.1f s: process %.3f%% of one core (%d ticks of 1/%d s); threads alive: %.3f%% (%.1f ms)\n",
                   span, 100 * (t1 - t0) / hz / span, t1 - t0, hz, 100 * total / 1000 / span, total
            if (sim != "") printf "  simulator daemon (not counted): %.3f%% of one core\n", 100 * (s1 - s0) / hz / span
            printf "  %-8s %-44s %9s %8s %9s %8s\n", "TID", "thread", "cpu ms", "core", "wakeup/s", "preempt/s"
            for (i = 1; i <= n; ++i) print rows[i]
        }' "$work/labels" "$work/a" "$work/b"

    if [ "$straceSeconds" != 0 ] && command -v strace >/dev/null; then
        echo "  blocking calls per thread over $straceSeconds s (strace; slows the program while it runs):"
        trace_waits "$app" "$straceSeconds" "$work/strace"
    fi
    cleanup
}

for mode in "${modes[@]}"; do
    measure "$mode"
done
