#!/bin/bash
# Processor time of a program over a window, as a share of one core: every thread's time on a
# processor (nanoseconds, /proc/<pid>/task/*/schedstat), summed, after a start.
#   bench/idle/measure.sh [program [seconds [start-seconds]]]
# The program (default: this build's kavo_idle) runs under a virtual X server with a home folder
# of its own, so that its settings and single-instance lock are the run's own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/default/bench/kavo_idle}
seconds=${2:-10}
start=${3:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_RUNTIME_DIR=$home PROGRAM=$program SECONDS_=$seconds START=$start
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    cputime() { cat /proc/$1/task/*/schedstat 2>/dev/null | awk "{ s += \$1 } END { print s }"; }
    "$PROGRAM" >/dev/null 2>&1 & pid=$!
    sleep "$START"
    a=$(cputime $pid); sleep "$SECONDS_"; b=$(cputime $pid)
    kill $pid; wait $pid 2>/dev/null || true
    awk -v a="$a" -v b="$b" -v s="$SECONDS_" -v p="$(basename "$PROGRAM")" \
        "BEGIN { printf \"%s: %.2f%% of a core\n\", p, (b - a) / 1e9 / s * 100 }"'
