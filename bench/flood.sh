#!/usr/bin/env bash
# End-to-end receive floods against the terminal in a real window under Xvfb.
#
#   bench/flood.sh [--others] [--repeat N]
#
# Builds the `flood` program (Release, in build/bench unless BUILD_DIR names
# another build folder) and runs, one result line each:
#   - a 20 MB flood of text lines over a pseudo-terminal, log on;
#   - with --others, the same flood into PuTTY and CuteCom, each logging
#     (installed with apt-get when missing; xdotool ticks CuteCom's log box);
#   - a 100 MB flood of text lines over TCP, log on;
#   - a 300 MB flood of short lines ("ab" CR LF) over TCP, default settings.
# Figures depend on the machine's load: the script prints the load average.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

others=0
repeat=1
while [ $# -gt 0 ]; do
    case "$1" in
    --others) others=1 ;;
    --repeat) repeat="$2"; shift ;;
    --inside-x) inside=1 ;;
    *) echo "usage: bench/flood.sh [--others] [--repeat N]" >&2; exit 2 ;;
    esac
    shift
done

BUILD_DIR="${BUILD_DIR:-$ROOT/build/bench}"
FLOOD="$BUILD_DIR/bench/flood"

if [ "${inside:-0}" -eq 0 ]; then
    "$ROOT/scripts/setup-deps"
    needed=(xvfb xauth)
    [ "$others" -eq 1 ] && needed+=(putty cutecom xdotool)
    missing=()
    for p in "${needed[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        SUDO=""
        [ "$(id -u)" -ne 0 ] && SUDO="sudo"
        $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # An existing build folder (BUILD_DIR=build/test) is used as configured.
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DORBA_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$BUILD_DIR" --target flood --parallel 2 >/dev/null
    args=(--inside-x --repeat "$repeat")
    [ "$others" -eq 1 ] && args+=(--others)
    exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "${args[@]}"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "# $(date -Is) $(nproc) cores, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
run() {
    # The Qt lines about the runtime folder and the TCP link are not results.
    "$FLOOD" "$@" 2>&1 | grep -E '^target=' || true
}
for _ in $(seq "$repeat"); do
    run --target ours --link pty --mb 20 --shape text --log "$work/ours.log"
    if [ "$others" -eq 1 ]; then
        run --target putty --link pty --mb 20 --shape text --log "$work/putty.log"
        run --target cutecom --link pty --mb 20 --shape text --log "$work/cutecom.log"
    fi
    run --target ours --link tcp --mb 100 --shape text --log "$work/ours.log"
    rm -f "$work"/*.log
    run --target ours --link tcp --mb 300 --shape short
done
echo "# load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
