#!/usr/bin/env bash
# How often a running terminal wakes up while its link is idle.
#
#   bench/idle-wakeups.sh PID [SECONDS]       # a terminal that runs already
#   bench/idle-wakeups.sh --run pty|tcp [SECONDS]
#
# Counts the growth of voluntary plus involuntary context switches of every
# thread of PID (/proc/PID/task/*/status) over SECONDS (default 20): one line
# per thread, then the port threads (named orba-*) and the whole process, in
# wake-ups per second. A thread that blocks without a time-out adds nothing.
#
# --run starts the terminal itself (offscreen, BUILD_DIR or build/test), with
# a temporary INI, connected to an idle peer: a pseudo-terminal pair from
# socat (serial, no handshake) or a socat TCP listener on 127.0.0.1 (client).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

snapshot() { # PID -> lines "tid name switches"
    local task
    for task in /proc/"$1"/task/*; do
        [ -r "$task/status" ] || continue
        awk -v tid="${task##*/}" -v name="$(cat "$task/comm" 2>/dev/null)" '
            /^voluntary_ctxt_switches/ { v = $2 }
            /^nonvoluntary_ctxt_switches/ { n = $2 }
            END { printf "%s %s %d\n", tid, name, v + n }' "$task/status" 2>/dev/null || true
    done
}

measure() { # PID SECONDS
    local pid="$1" seconds="$2" before after
    before="$(snapshot "$pid")"
    sleep "$seconds"
    after="$(snapshot "$pid")"
    # Threads present at both ends; a thread that came or went meanwhile is
    # named but not counted.
    awk -v s="$seconds" '
        NR == FNR { start[$1] = $3; next }
        ($1 in start) {
            d = $3 - start[$1]; all += d
            if ($2 ~ /^orba-/) port += d
            printf "  %-8s %-16s %6d\n", $1, $2, d
            next
        }
        { printf "  %-8s %-16s (new)\n", $1, $2 }
        END {
            printf "port threads: %d in %d s = %.2f/s\n", port, s, port / s
            printf "whole process: %d in %d s = %.2f/s\n", all, s, all / s
        }' <(echo "$before") <(echo "$after")
}

if [ "${1:-}" != "--run" ]; then
    [ $# -ge 1 ] || { echo "usage: $0 PID [SECONDS] | --run pty|tcp [SECONDS]" >&2; exit 2; }
    measure "$1" "${2:-20}"
    exit 0
fi

kind="${2:-}"
seconds="${3:-20}"
program="${BUILD_DIR:-$ROOT/build/test}/orbaterminal"
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }
command -v socat >/dev/null || { echo "socat is needed" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

case "$kind" in
pty)
    socat pty,raw,echo=0,link="$work/ttyA" pty,raw,echo=0,link="$work/ttyB" &
    pids+=($!)
    for _ in $(seq 50); do [ -e "$work/ttyA" ] && break; sleep 0.1; done
    printf '[Com]\nUseSerial=1\nDevice=%s\nBaud=115200\nProtocol=0\n' "$work/ttyA" >"$work/o.ini"
    ;;
tcp)
    port=$((20000 + RANDOM % 20000))
    socat TCP-LISTEN:"$port",bind=127.0.0.1,reuseaddr SYSTEM:"sleep 3600" &
    pids+=($!)
    sleep 0.5
    printf '[Com]\nUseSerial=0\n[Net]\nIPAdr=127.0.0.1\nPortNum=%s\nSocketType=1\n' "$port" \
        >"$work/o.ini"
    ;;
*)
    echo "usage: $0 --run pty|tcp [SECONDS]" >&2
    exit 2
    ;;
esac

QT_QPA_PLATFORM=offscreen "$program" --ini "$work/o.ini" --start >"$work/out.log" 2>&1 &
terminal=$!
pids+=("$terminal")
# Connected once the port threads exist; then a moment to settle.
for _ in $(seq 100); do
    grep -qs '^orba-' /proc/"$terminal"/task/*/comm && break
    sleep 0.1
done
grep -qs '^orba-' /proc/"$terminal"/task/*/comm || { echo "the terminal did not start" >&2; cat "$work/out.log" >&2; exit 1; }
sleep 2
echo "$kind link, idle, $seconds s (load: $(cut -d' ' -f1-3 /proc/loadavg))"
measure "$terminal" "$seconds"
