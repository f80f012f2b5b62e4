#!/usr/bin/env bash
# Runs a command on a virtual X display of the given size, with or without a window manager:
#   on-virtual-desktop.sh <none|openbox> <width>x<height> <command> [arguments...]
# Exits 77 (ctest's "skipped") when xvfb-run or the window manager is missing.
set -euo pipefail
wm=$1
size=$2
shift 2
command -v xvfb-run >/dev/null || { echo "on-virtual-desktop: xvfb-run is missing"; exit 77; }
if [ "$wm" != none ]; then
    command -v "$wm" >/dev/null || { echo "on-virtual-desktop: $wm is missing"; exit 77; }
fi
if [ -z "${KAVO_VIRTUAL_DESKTOP:-}" ]; then
    exec env KAVO_VIRTUAL_DESKTOP=1 xvfb-run -a -s "-screen 0 ${size}x24" "$0" "$wm" "$size" "$@"
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
