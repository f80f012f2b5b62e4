#!/usr/bin/env bash
# What the real game costs on its first screens: processor time of all its threads and peak
# resident memory, in a window and full screen, on the software and the 3D road, beside the floor
# of a static picture (bench/floor/StaticPicture.cpp). docs/performance.md, "The running game".
#
#   bench/game/measure.sh [-n runs] [-s settings] [-p screens] [-q] [build folder]
#
# (default: 3 runs of every setting and screen, build/default). -p takes a comma-separated list of
# the screens title, menu and board (the game still passes through the earlier ones, unmeasured);
# -q is a quick look: one run, 5 s on each screen instead of 10 (KAVO_MEASURE_SECONDS still
# rules), e.g. `bench/game/measure.sh -q -s window -p board`.
#
# The game runs under a virtual X server of 1280 x 1024 (no GPU) as a player of its own: a
# scratch home and data folder, SDL's dummy audio, and settings preset with kavoreg - a player
# "Nova" who skips the tutorial (so that neither the name dialog nor the tutorial stands in the
# way), the screen mode, the road and the twinkling stars. Each setting of the table is a new
# game: the title is measured loaded and untouched, then a click opens the main menu (the mouse
# then rests in an empty corner), then the first planet starts an Untimed game at level 1, where
# the two moves the board's hints ask for put it in play.
# Each screen is measured over $KAVO_MEASURE_SECONDS s (10) after $KAVO_SETTLE_SECONDS s (3) on
# it: the processor time of every thread (nanoseconds, /proc/<pid>/task/*/schedstat) as a
# share of one core, and VmHWM, the process's peak resident memory so far. A screenshot of each
# screen goes to <build folder>/measure-game/ (look at them); the script checks that the window
# is there, that the display took the road and mode asked for (the line the display writes to
# stderr), and that each screen differs from the one before. With several runs each cell is the
# median; a cell that could not be measured says why.
#
# Settings of the table (-s takes a comma-separated list of their names; default all):
#   window   800 x 600 window, software road (surfaces), stars on
#   3d       the same on the 3D road
#   full     full screen on the 1280 x 1024 desktop, software road, stars on
#   still    800 x 600 window, software road, twinkling stars off: nothing moves unless a
#            screen animates on its own
#   floor    the static picture (bench/floor/StaticPicture.cpp): presented whole 62 times a second
#            through SDL's opengl and software renderers and the window surface without OpenGL,
#            and the window surface as SDL makes it by default (through OpenGL); presented once,
#            then waiting for events, through OpenGL, through the window surface, and on SDL's
#            dummy video driver
#
# The 3D road is asked for with the setting Is3D = 1. A 3D test that refuses the renderer (a
# software rasteriser such as llvmpipe) voids that wish; the setting named by force3d below
# (KAVO_FORCE_3D_SETTING overrides it: a path below the game's key, value name last; empty: none)
# forces the 3D road in spite of it, written as 1 on the 3D road only.
#
# Needs xvfb-run, xdotool and ImageMagick (import, compare).
set -euo pipefail

runs=3
settings=window,3d,full,still,floor
screens=title,menu,board
quick=
while getopts "n:s:p:q" option; do
    case $option in
    n) runs=$OPTARG ;;
    s) settings=$OPTARG ;;
    p) screens=$OPTARG ;;
    q) quick=1 runs=1 ;;
    *) exit 2 ;;
    esac
done
for screen in ${screens//,/ }; do
    case $screen in title | menu | board) ;; *) echo "measure: no screen '$screen' (title, menu, board)" >&2; exit 2 ;; esac
done
shift $((OPTIND - 1))

build=$(realpath "${1:-build/default}")
program=$build/game/orlavintide
kavoreg=$build/tools/kavoreg
floor=$build/bench/kavo_static_picture
out=$build/measure-game
measureSeconds=${KAVO_MEASURE_SECONDS:-$([ -n "$quick" ] && echo 5 || echo 10)}
settleSeconds=${KAVO_SETTLE_SECONDS:-3}
loadSeconds=${KAVO_LOAD_SECONDS:-8} # from the window's appearance to a loaded title
# The setting that forces the 3D road on a renderer its test refuses (a software rasteriser).
force3d=${KAVO_FORCE_3D_SETTING-'Test3D\AcceptSoftwareRenderer'}

for tool in xvfb-run xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "measure: $tool is missing" >&2; exit 1; }
done
for file in "$program" "$kavoreg" "$floor"; do
    [ -x "$file" ] || { echo "measure: $file is missing: build orlavintide, kavoreg and kavo_static_picture" >&2; exit 1; }
done

# Run again inside a virtual display of 1280 x 1024.
if [ -z "${KAVO_MEASURE_DISPLAY:-}" ]; then
    exec env KAVO_MEASURE_DISPLAY=1 KAVO_MEASURE_SECONDS="$measureSeconds" KAVO_FORCE_3D_SETTING="$force3d" \
        xvfb-run -a -s "-screen 0 1280x1024x24" "$0" -n "$runs" -s "$settings" -p "$screens" "$build"
fi

mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log
results=$out/results.txt
: >"$results"
scratch=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT

log() { echo "measure: $*" >&2; }

# Processor time of all threads of a process, in nanoseconds.
cputime() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
peakKb() { awk '/^VmHWM:/ { print $2 }' /proc/"$1"/status 2>/dev/null || echo 0; }
# Ends the process being measured.
stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    pid=
}

# One figure: share of a core over the window and the peak so far, as "percent megabytes".
measure() {
    local a b
    a=$(cputime "$pid")
    sleep "$measureSeconds"
    b=$(cputime "$pid")
    kill -0 "$pid" 2>/dev/null || { echo "exited"; return; }
    awk -v a="$a" -v b="$b" -v s="$measureSeconds" -v k="$(peakKb "$pid")" \
        'BEGIN { printf "%.2f %.0f\n", (b - a) / 1e9 / s * 100, k / 1024 }'
}

# The game's window (a new one after a change of mode), and points given in the game's 800 x 600
# mapped into it: a full-screen window shows the game stretched over the desktop.
window() { timeout 20 xdotool search --sync --onlyvisible --name '^Orlavintide' 2>/dev/null | tail -1; }
at() {
    local id geometry w h
    id=$(window)
    geometry=$(xdotool getwindowgeometry --shell "$id")
    w=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
    h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
    xdotool mousemove --window "$id" $(($1 * w / 800)) $(($2 * h / 600))
}
click() { at "$1" "$2"; sleep 0.2; xdotool click 1; }
shot() { import -window "$(window)" "$1"; }
differs() { # whether two screenshots differ by more than a little (RMSE above 2%)
    local rmse
    rmse=$(compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
    awk -v r="${rmse:-0}" 'BEGIN { exit !(r > 0.02) }'
}

# A setting's values: screen mode, road, stars.
preset() {
    local file=$1 key='SOFTWARE\VelquisGames\Orlavintide' mode=0 is3d=0 stars=1
    case $2 in
    3d) is3d=1 ;;
    full) mode=1 ;;
    still) stars=0 ;;
    esac
    "$kavoreg" "$file" "$key\\Users" DefaultName text NOVA
    "$kavoreg" "$file" "$key\\Users\\NOVA" DisplayName text Nova
    "$kavoreg" "$file" "$key\\Users\\NOVA" GuiFlags int 1 # the tutorial skipped
    "$kavoreg" "$file" "$key" ScreenMode int $mode
    "$kavoreg" "$file" "$key" Is3D int $is3d
    "$kavoreg" "$file" "$key" TwinklingStars int $stars
    if [ "$is3d" = 1 ] && [ -n "$force3d" ]; then
        local path="$key\\$force3d"
        "$kavoreg" "$file" "${path%\\*}" "${path##*\\}" int 1
    fi
}

# The display's line on stderr must name the road and the mode of the setting.
roadIs() {
    local line want="surfaces, shown through the window's surface" mode="in a window"
    line=$(grep -a '^Display: drawing through' "$1" | tail -1)
    case $2 in 3d) want="the 3D renderer," ;; full) mode="full screen" ;; esac
    [[ $line == *"through $want"* && $line == *"$mode"* ]]
}

# One run of one setting: a line "setting run screen percent megabytes" per screen.
runSetting() {
    local setting=$1 run=$2 home=$scratch/$1-$2 prefix=$out/$1-$2 screen previous="" figure
    mkdir -p "$home/data/VelquisGames/Orlavintide" "$home/home"
    mkdir -m 700 "$home/runtime"
    preset "$home/data/VelquisGames/Orlavintide/settings.reg" "$setting"
    (cd "$home" && HOME=$home/home XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
        SDL_AUDIODRIVER=dummy exec "$program" >"$prefix.log" 2>&1) &
    pid=$!
    if [ -z "$(window)" ]; then
        log "$setting, run $run: no window"
        for screen in ${screens//,/ }; do echo "$setting $run $screen no-window"; done
        stop
        return
    fi
    sleep "$loadSeconds"
    local road=ok
    roadIs "$prefix.log" "$setting" || road=wrong-road
    local last
    last=$(for screen in title menu board; do [[ ,$screens, != *,$screen,* ]] || echo "$screen"; done | tail -1)
    for screen in title menu board; do
        case $screen in
        menu) click 400 300; sleep 1; at 790 10 ;; # on from the title; the mouse to a corner
        board) # Untimed, level 1 (the tutorial skipped); the board's own first two moves, which
            # its hints ask for, put it in play
            click 160 197; sleep 4; click 481 354; sleep 1.5; click 481 224; sleep 1; at 790 10 ;;
        esac
        local wanted=
        [[ ,$screens, == *,$screen,* ]] && wanted=1
        if [ -z "$wanted" ]; then
            figure=-
        elif [ "$road" != ok ]; then
            figure=$road
        else
            sleep "$settleSeconds"
            figure=$(measure | tr ' ' ':')
        fi
        shot "$prefix-$screen.png" || true
        if [ -n "$previous" ] && [ -f "$prefix-$screen.png" ] && ! differs "$previous" "$prefix-$screen.png"; then
            figure=same-screen
        fi
        previous=$prefix-$screen.png
        [ -n "$wanted" ] && echo "$setting $run $screen $figure"
        [ "$screen" = "$last" ] && break
    done
    stop
}

# The floor: the static picture presented whole, or once, through a renderer or the window's
# surface, under X; and once more on SDL's dummy video driver for the memory without a display.
runFloor() { # how, renderer [, video driver]; the run's number in $run
    local how=$1 renderer=$2 driver=${3:-}
    local name="floor-$how-${renderer:-default}${driver:+-$driver}"
    env ${driver:+SDL_VIDEODRIVER=$driver} "$floor" "$how" $renderer >"$out/$name-$run.log" 2>&1 &
    pid=$!
    sleep "$settleSeconds"
    echo "$name $run - $(measure | tr ' ' ':')"
    stop
}

log "load: $(cut -d' ' -f1-3 /proc/loadavg) at the start"
for run in $(seq "$runs"); do
    for setting in ${settings//,/ }; do
        log "$setting, run $run"
        if [ "$setting" != floor ]; then
            runSetting "$setting" "$run" >"$scratch/lines"
            tee -a "$results" <"$scratch/lines" >&2
            continue
        fi
        for floorCase in "whole opengl" "whole software" "whole surface" "whole default-surface" \
            "once opengl" "once surface" "once surface dummy"; do
            runFloor $floorCase >"$scratch/lines"
            tee -a "$results" <"$scratch/lines" >&2
        done
    done
done
log "load: $(cut -d' ' -f1-3 /proc/loadavg) at the end"

# The table: medians of the runs, "percent of a core (peak MB)".
awk -v runs="$runs" '
function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
function cell(key,    s) {
    if (bad[key] != "") return bad[key]
    if (cpu[key] == "") return "-"
    return sprintf("%.1f%% (%d MB)", median(cpu[key]), median(mem[key]))
}
{
    key = $1 SUBSEP $3
    measured[$3] = 1
    if (split($4, f, ":") == 2) { cpu[key] = cpu[key] " " f[1]; mem[key] = mem[key] " " f[2] }
    else bad[key] = $4
    if (!($1 in seen) && $1 !~ /^floor/) { seen[$1] = 1; order[++n] = $1 }
    if ($1 ~ /^floor/ && !($1 in fseen)) { fseen[$1] = 1; forder[++fn] = $1 }
}
END {
    names["window"] = "800 x 600 window, software road"; names["3d"] = "window, 3D road"
    names["full"] = "full screen, software road"; names["still"] = "window, software road, stars off"
    printf "\nThe game, median of %d run(s): processor time of all threads, share of one core (peak resident)\n\n", runs
    printf "| screen |"; for (i = 1; i <= n; ++i) printf " %s |", names[order[i]]; printf "\n|---|"
    for (i = 1; i <= n; ++i) printf "---|"; printf "\n"
    split("title menu board", screens, " ")
    split("title, loaded, untouched|main menu|board, Untimed level 1", labels, "|")
    for (s = 1; s <= 3; ++s) {
        if (!(screens[s] in measured)) continue
        printf "| %s |", labels[s]
        for (i = 1; i <= n; ++i) printf " %s |", cell(order[i] SUBSEP screens[s])
        printf "\n"
    }
    floors["floor-whole-opengl"] = "presented whole 62 times a second, the opengl renderer"
    floors["floor-whole-software"] = "presented whole 62 times a second, the software renderer, no OpenGL"
    floors["floor-whole-surface"] = "presented whole 62 times a second, the window surface, no OpenGL"
    floors["floor-whole-default-surface"] = "the same, the window surface as SDL makes it (through OpenGL)"
    floors["floor-once-opengl"] = "presented once, then waiting for events, the opengl renderer"
    floors["floor-once-surface"] = "presented once, then waiting for events, the window surface"
    floors["floor-once-surface-dummy"] = "the same on the dummy video driver of SDL (no display; it polls)"
    if (fn == 0) exit
    printf "\nThe floor: one static 800 x 600 picture (bench/floor/StaticPicture.cpp)\n\n"
    printf "| program | share of one core (peak resident) |\n|---|---|\n"
    for (i = 1; i <= fn; ++i) printf "| %s | %s |\n", floors[forder[i]], cell(forder[i] SUBSEP "-")
}' "$results"
echo
echo "screenshots and logs: $out"
