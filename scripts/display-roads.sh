#!/usr/bin/env bash
# The display's two roads on a real X server (a virtual one of 1280 x 1024): the real program, built
# in the build folder, starts as a new player in a window and full screen. Without 3D hardware of
# its own (Xvfb has none: Mesa's llvmpipe would draw), the 3D test refuses the software rasteriser:
# the screen is shown through the window's surface and none of the system's 3D libraries is mapped
# into the process. With the 3D test's switch (Test3D\AcceptSoftwareRenderer) the 3D road is taken
# and OpenGL is loaded, in a window and full screen. Each time the window must show a picture, not
# black.
#
#   scripts/display-roads.sh [build folder]      (default: build/default)
#
# Each time the game, asked to close, must end with 0: in the sanitizer build a leak of ours fails
# it, while the desktop libraries' own are suppressed (tests/third-party-leaks.supp).
#
# Needs xvfb-run, xdotool and ImageMagick's import (scripts/install-deps.sh installs them).
set -uo pipefail

here=$(dirname "$(realpath "$0")")
build=$(realpath "${1:-build/default}")
program=$build/game/orlavintide
kavoreg=$build/tools/kavoreg

for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "display-roads: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$program" ] && [ -x "$kavoreg" ] || { echo "display-roads: build orlavintide and kavoreg first" >&2; exit 1; }

if [ -z "${KAVO_ROADS_DISPLAY:-}" ]; then
    exec env KAVO_ROADS_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

failures=0
fail() { echo "display-roads: $*" >&2; failures=$((failures + 1)); }

# run <name> <window|full> <software|3d>
run() {
    local name=$1 mode=$2 road=$3
    local userdata
    userdata=$(mktemp -d)
    mkdir -m 700 "$userdata/runtime"
    local reg=$userdata/VelquisGames/Orlavintide/settings.reg
    mkdir -p "$(dirname "$reg")"
    if [ "$road" = 3d ]; then
        "$kavoreg" "$reg" 'SOFTWARE\VelquisGames\Orlavintide\Test3D' AcceptSoftwareRenderer int 1 >/dev/null
    fi
    env XDG_DATA_HOME="$userdata" XDG_RUNTIME_DIR="$userdata/runtime" SDL_AUDIODRIVER=dummy KAVO_DEBUG_OUTPUT=1 \
        LSAN_OPTIONS="suppressions=$here/../tests/third-party-leaks.supp" "$program" 2>"$userdata/log.txt" &
    local pid=$!
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orlavintide' | tail -1)
    if [ -z "$window" ]; then
        fail "$name: no window"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        rm -rf "$userdata"
        return
    fi
    sleep 1
    if [ "$mode" = window ]; then
        xdotool key --window "$window" alt+Return # the game starts full screen
        sleep 1
        window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Orlavintide' | tail -1)
    fi
    sleep 3
    local libraries
    libraries=$(grep -c -E 'libGL|libLLVM|_dri\.so|swrast' "/proc/$pid/maps")
    local shown=$userdata/shown.gray
    import -window "$window" -depth 8 "gray:$shown" 2>/dev/null
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    local status=$?
    [ "$status" -eq 0 ] || fail "$name: the game ended with $status: $(grep -a -m 3 -E 'ERROR|SUMMARY' "$userdata/log.txt")"
    local display
    display=$(grep -a -o 'Display: .*' "$userdata/log.txt" | tail -1)
    echo "display-roads: $name: $display; 3D libraries mapped: $libraries"
    if [ "$road" = software ]; then
        [[ "$display" == *"drawing through surfaces, shown through the window's surface"* ]] || fail "$name: not the software road"
        [ "$libraries" -eq 0 ] || fail "$name: the 3D libraries are loaded"
    else
        [[ "$display" == *"drawing through the 3D renderer"* ]] || fail "$name: not the 3D road"
        [ "$libraries" -gt 0 ] || fail "$name: OpenGL is not loaded"
    fi
    local size
    size=$(stat -c %s "$shown" 2>/dev/null || echo 0)
    if [ "$size" -eq 0 ] || cmp -s -n "$size" "$shown" /dev/zero; then fail "$name: the window shows nothing"; fi
    rm -rf "$userdata"
}

run "software road, window" window software
run "software road, full screen" full software
run "3D road, window" window 3d
run "3D road, full screen" full 3d

[ "$failures" -eq 0 ] && echo "display-roads: passed"
exit $((failures > 0))
