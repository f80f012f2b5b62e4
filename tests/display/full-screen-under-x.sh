#!/usr/bin/env bash
# The real program in full screen on a real X server (a virtual one of 1280 x 1024, 24 or 16 bits,
# without or with a window manager), driven as a player drives it, and what the screen shows read
# back from the server. The 800 x 600 screen is scaled to 1280 x 960 there, with black bars of
# 1280 x 32 above and below it.
#
#   full-screen-under-x.sh <build folder> <case> <none|openbox> <24|16> [software|3d]
#
# Cases:
#   bars        The bars stay black: at the start, after a window was mapped over the top bar and
#               taken away, after one was dragged down over the lower half and taken away, and
#               after each switch from a window back to full screen. On the software road
#               (without 3D hardware) or the 3D road (Test3D\AcceptSoftwareRenderer).
#   held        Alt+Return held for 1.5 s switches once (the desktop repeats the key meanwhile);
#               the next press switches again.
#   rest        In a window the program rests while the desktop is idle, from two seconds before
#               the screen saver's time-out (set to 4 s here); Alt+Return then shows the picture in
#               full screen at once (within a second).
#
# The switches are counted from the program's debug output (a "Display:" line each). Screenshots
# are kept in <build folder>/tests/display/full-screen-<case>-<wm>-<depth>[-<road>]/.
set -uo pipefail

build=$(realpath "${1:?build folder}")
case_name=${2:?case}
wm=${3:?none or openbox}
depth=${4:?24 or 16}
road=${5:-software}
program=$build/game/orlavintide
kavoreg=$build/tools/kavoreg

for tool in xvfb-run xdotool xprop xset import convert compare display; do
    command -v "$tool" >/dev/null || { echo "full-screen: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
if [ "$wm" != none ]; then
    command -v "$wm" >/dev/null || { echo "full-screen: $wm is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
fi
[ -x "$program" ] && [ -x "$kavoreg" ] || { echo "full-screen: build orlavintide and kavoreg first" >&2; exit 1; }

if [ -z "${KAVO_FULL_SCREEN_DISPLAY:-}" ]; then
    exec env KAVO_FULL_SCREEN_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x$depth" "$0" "$@"
fi

name=$case_name-$wm-$depth
[ "$case_name" = bars ] && name=$name-$road
shots=$build/tests/display/full-screen-$name
rm -rf "$shots"
mkdir -p "$shots"
failures=0
fail() { echo "full-screen $name: $*" >&2; failures=$((failures + 1)); }
say() { echo "full-screen $name: $*"; }

wm_pid=
game_pid=
cover_pid=
userdata=$(mktemp -d)
finish() {
    [ -n "$cover_pid" ] && kill "$cover_pid" 2>/dev/null
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    rm -rf "$userdata"
}
trap finish EXIT

if [ "$wm" != none ]; then
    "$wm" >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
fi

# The game, a new player, full screen (as it starts).
mkdir -m 700 "$userdata/runtime"
reg=$userdata/VelquisGames/Orlavintide/settings.reg
mkdir -p "$(dirname "$reg")"
if [ "$road" = 3d ]; then
    "$kavoreg" "$reg" 'SOFTWARE\VelquisGames\Orlavintide\Test3D' AcceptSoftwareRenderer int 1 >/dev/null
fi
log=$shots/log.txt
env XDG_DATA_HOME="$userdata" XDG_RUNTIME_DIR="$userdata/runtime" SDL_AUDIODRIVER=dummy KAVO_DEBUG_OUTPUT=1 \
    "$program" 2>"$log" &
game_pid=$!
# Keys go where the pointer is without a window manager: over the middle of the screen, which the
# game's window covers in either mode.
xdotool mousemove 640 512
if [ -z "$(timeout 20 xdotool search --sync --onlyvisible --name '^Orlavintide' | tail -1)" ]; then
    fail "no window"
    exit 1
fi
# The title screen, loaded.
for _ in $(seq 200); do
    grep -a -q "Resource Loading Time" "$log" && break
    sleep 0.1
done
sleep 1

switches() { grep -a -c '^Display:' "$log"; }
# Waits up to 10 s for the count of switches to reach $1.
wait_switches() {
    for _ in $(seq 100); do
        [ "$(switches)" -ge "$1" ] && break
        sleep 0.1
    done
    sleep 1 # the new window shown and drawn
}
shot() { import -window root "$shots/$1.png"; }
# The pixels of a bar that are not black: bar <shot> <top|bottom>.
bar() {
    local y=0
    [ "$2" = bottom ] && y=992
    convert "$shots/$1.png" -crop "1280x32+0+$y" +repage -fill white +opaque black \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Both bars of a shot black.
bars_black() {
    local top bottom
    top=$(bar "$1" top)
    bottom=$(bar "$1" bottom)
    say "$1: $top pixels of the top bar and $bottom of the bottom bar are not black"
    [ "$top" -eq 0 ] && [ "$bottom" -eq 0 ] || fail "$1: the bars are not black ($top and $bottom pixels)"
}
# A white window of the given size mapped at (0, 0); its id in $cover.
cover=
map_cover() {
    convert -size "$1" xc:white "$shots/white.png"
    display -geometry +0+0 "$shots/white.png" &
    cover_pid=$!
    cover=$(timeout 10 xdotool search --sync --onlyvisible --name '^ImageMagick' | tail -1)
    sleep 1
}
unmap_cover() {
    kill "$cover_pid" 2>/dev/null
    wait "$cover_pid" 2>/dev/null
    cover_pid=
    sleep 1
}
started=$(switches)
[ "$started" -eq 1 ] || fail "the game did not start in full screen once ($started displays)"

case $case_name in
bars)
    say "$(grep -a -o 'Display: .*' "$log" | tail -1)"
    shot start
    bars_black start

    map_cover 1280x100
    shot top-covered
    [ "$(bar top-covered top)" -gt 30000 ] || fail "the window did not cover the top bar"
    unmap_cover
    shot top-uncovered
    bars_black top-uncovered

    map_cover 1280x512
    for y in 64 128 192 256 320 384 448 512; do
        xdotool windowmove "$cover" 0 "$y"
        sleep 0.2
    done
    sleep 1
    shot bottom-covered
    [ "$(bar bottom-covered bottom)" -gt 30000 ] || fail "the window was not dragged over the bottom bar"
    unmap_cover
    shot bottom-uncovered
    bars_black bottom-uncovered

    for round in 1 2; do
        count=$(switches)
        xdotool key alt+Return
        wait_switches $((count + 1))
        xdotool key alt+Return
        wait_switches $((count + 2))
        [ "$(switches)" -eq $((count + 2)) ] || fail "switch $round: $(($(switches) - count)) switches, not 2"
        shot "switched-$round"
        bars_black "switched-$round"
    done
    ;;
held)
    for press in 1.5 0.1; do
        count=$(switches)
        xdotool keydown alt+Return
        sleep "$press"
        xdotool keyup alt+Return
        sleep 3 # a switch takes a fraction of that
        made=$(($(switches) - count))
        say "Alt+Return held for $press s: $made switches"
        [ "$made" -eq 1 ] || fail "Alt+Return held for $press s switched $made times"
    done
    shot end
    ;;
rest)
    # Set while the game is connected: the server forgets its settings once no client is left.
    xset s 4 0
    xdotool key alt+Return
    wait_switches $((started + 1))
    for _ in $(seq 150); do
        grep -a -q 'Resting: the desktop is idle' "$log" && break
        sleep 0.1
    done
    grep -a -q 'Resting: the desktop is idle' "$log" || fail "the program did not rest in the window"
    # What the window shows while the program rests: the picture full screen must show.
    import -window "$(xdotool search --onlyvisible --name '^Orlavintide' | tail -1)" "$shots/resting.png"
    convert "$shots/resting.png" -resize '1280x960!' "$shots/resting-scaled.png"
    xdotool key alt+Return
    sleep 1 # the switch takes a fraction of that; without the picture it stays empty for good
    [ "$(switches)" -eq $((started + 2)) ] || fail "$(($(switches) - started)) switches, not 2"
    shot back
    convert "$shots/back.png" -crop 1280x960+0+32 +repage "$shots/back-screen.png"
    # Scaled by the program and by ImageMagick, the two differ by less than a tenth in every
    # channel nearly everywhere.
    differ=$(compare -metric AE -fuzz 10% "$shots/resting-scaled.png" "$shots/back-screen.png" null: 2>&1)
    differ=$(printf '%.0f' "$differ" 2>/dev/null) || differ=1228800
    say "a second after the switch $differ of the 1228800 pixels of the scaled screen differ from the window's"
    [ "$differ" -lt 12288 ] || fail "after the rest full screen does not show the picture ($differ pixels differ)"
    bars_black back
    ;;
*)
    echo "full-screen: no case $case_name" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] && say passed
exit $((failures > 0))
