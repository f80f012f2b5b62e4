#!/usr/bin/env bash
# Runs a GoogleTest program on a virtual X display of the given size, with or without a window
# manager:
#   on-virtual-desktop.sh <none|openbox> <width>x<height> <test program> [arguments...]
# Fails when xvfb-run or the window manager is missing (scripts/install-deps.sh installs both),
# when the program fails, when no test ran, and when any test inside it was skipped: a skipped
# check is not a pass.
set -euo pipefail
wm=$1
size=$2
shift 2
command -v xvfb-run >/dev/null || { echo "on-virtual-desktop: xvfb-run is missing (scripts/install-deps.sh)"; exit 1; }
if [ "$wm" != none ]; then
    command -v "$wm" >/dev/null || { echo "on-virtual-desktop: $wm is missing (scripts/install-deps.sh)"; exit 1; }
fi
if [ -z "${KAVO_VIRTUAL_DESKTOP:-}" ]; then
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    status=0
    env KAVO_VIRTUAL_DESKTOP=1 xvfb-run -a -s "-screen 0 ${size}x24" "$0" "$wm" "$size" "$@" 2>&1 | tee "$log" ||
        status=$?
    [ "$status" -eq 0 ] || exit "$status"
    if grep -q '^\[  SKIPPED \]' "$log"; then
        echo "on-virtual-desktop: a test was skipped:"
        grep '^\[  SKIPPED \] [^0-9]' "$log" | sed 's/ (.*//' | sort -u
        exit 1
    fi
    grep -Eq '^\[==========\] [1-9][0-9]* tests? from .* ran\.' "$log" || { echo "on-virtual-desktop: no test ran"; exit 1; }
    exit 0
fi
if [ "$wm" != none ]; then
    "$wm" >/dev/null 2>&1 &
    wm_pid=$!
    trap 'kill "$wm_pid" 2>/dev/null || true' EXIT
    # Until it manages the screen.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
fi
env SDL_VIDEODRIVER=x11 "$@"
