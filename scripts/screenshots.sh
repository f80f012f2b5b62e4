#!/usr/bin/env bash
# Screenshots of the game's screens and dialogs for review: the real program, built in the build
# folder, runs under a virtual X display as a new player and is driven with xdotool; each screen
# is captured into <build folder>/screenshots/. A second run, with the player's progress set by
# kavoreg, shows the level chooser, the third level's bonus and the challenge grid's second page.
#
#   scripts/screenshots.sh [build folder]      (default: build/default)
#
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
build=$(realpath "${1:-build/default}")
program=$build/game/orlavintide
kavoreg=$build/tools/kavoreg
out=$build/screenshots

for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done
[ -x "$program" ] && [ -x "$kavoreg" ] || { echo "screenshots: build orlavintide and kavoreg first" >&2; exit 1; }

# Run again inside a virtual display of 1280 x 1024.
if [ -z "${KAVO_SCREENSHOTS_DISPLAY:-}" ]; then
    exec env KAVO_SCREENSHOTS_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

mkdir -p "$out"
rm -f "$out"/*.png
userdata=$(mktemp -d) # a player's data of its own: the game meets a new player
mkdir -m 700 "$userdata/runtime" # and a single-instance lock of its own
export XDG_DATA_HOME=$userdata XDG_RUNTIME_DIR=$userdata/runtime SDL_AUDIODRIVER=dummy
# The sanitizer build (build/asan) leaves the desktop libraries' own leaks aside.
export LSAN_OPTIONS="suppressions=$here/../tests/third-party-leaks.supp"
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$userdata"' EXIT

# The game's window (a new one after a switch between full screen and window).
window() { timeout 10 xdotool search --sync --onlyvisible --name '^Orlavintide' | tail -1; }
at() { xdotool mousemove --window "$(window)" "$1" "$2"; }
click() { at "$1" "$2"; sleep 0.2; xdotool click 1; }
shot() { sleep "$2"; import -window "$(window)" "$out/$1.png"; echo "screenshots: $out/$1.png"; }

window >/dev/null
sleep 1
xdotool key --window "$(window)" alt+Return # the game starts full screen: into the 800 x 600 window
sleep 1
xdotool windowfocus "$(window)"          # no window manager: the new window takes the keys only when told
shot 01-title 4                         # loaded: the badge says the game is ready

click 400 300                            # on to the main menu, which asks a new player's name
sleep 3
xdotool type --delay 120 "Nova"
shot 02-name-dialog 0.5
xdotool key Return
at 160 197                               # resting on Untimed: its planet and description
shot 03-main-menu 2

click 160 197                            # Untimed: the tutorial first
shot 04-tutorial 5

click 705 572                            # "Let's Play!"
shot 05-board 4
click 481 354                            # the board's own tutorial: slide (2, 4), then (2, 2)
sleep 1.5
click 481 224
shot 06-board-play 2

click 60 520                             # back to the menu: the hint about the game in progress
shot 07-popup 2
click 400 412
sleep 1
click 326 585                            # the top-ten list
shot 08-top-ten 3

click 60 520                             # the main menu, with the game still running: the hint
sleep 2
click 400 412                            # about it again
sleep 1
click 157 572                            # options
shot 09-options 1.5
click 328 404                            # how to play
shot 10-help 2
click 705 571
sleep 1
click 470 404                            # credits, in place of the options
shot 11-credits 1.5
click 400 461
sleep 1
click 500 572                            # the players
shot 12-players 1.5
click 400 461
sleep 1
click 165 300                            # the challenge grid: the running game is dropped first
shot 13-discard-game 1.5
click 321 343
shot 14-challenge-grid-hint 3
click 400 411
shot 15-challenge-grid 1
click 206 160                            # the first challenge
shot 16-challenge-info 1.5
click 491 461
sleep 1
click 75 530                             # the main menu, and quit
sleep 2
click 677 585
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done

# Again, for a player who has reached level 12 of Untimed: its planets open in the level chooser.
"$kavoreg" "$userdata/VelquisGames/Orlavintide/settings.reg" \
    'SOFTWARE\VelquisGames\Orlavintide\Users\NOVA\TopLevelReached' untimed int 12
"$program" &
pid=$!
window >/dev/null
sleep 5
click 400 300                            # title, then the main menu
sleep 3
click 160 197                            # Untimed: the level chooser
shot 17-level-chooser 2
click 114 214                            # planet 2: level 3, after the tutorial again
sleep 4
click 705 572
shot 18-bonus-hint 4                     # level 3's hint explains its bonus groups
click 400 412
shot 19-board-bonus 2                    # the bonus in the panel, beside the score
click 75 530                             # back to the menu: the hint about the game in progress
sleep 2
click 400 412
sleep 1
click 165 300                            # the challenge grid, the running game dropped first
sleep 1.5
click 321 343
sleep 3
click 400 411                            # past the grid's hint
sleep 1
click 684 303                            # the second page: the previous-page arrow beside the legend
shot 20-challenge-grid-page2 1
click 75 530                             # the main menu, and quit
sleep 2
click 677 585
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done

# Again, with the settings file damaged: the game starts afresh (full screen, as a new player) and
# says so over the main menu; the name dialog follows the notice.
printf 'not a settings file' >"$userdata/VelquisGames/Orlavintide/settings.reg"
"$program" &
pid=$!
window >/dev/null
sleep 1
xdotool key --window "$(window)" alt+Return
sleep 1
xdotool windowfocus "$(window)"
sleep 4
click 400 300                            # title, then the main menu and its notice
shot 21-settings-damaged 4
click 400 370                            # its OK
shot 22-after-the-notice 2
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
