#!/usr/bin/env bash
# Screenshots of the crash windows for review: the game's own with -crash and with a fault in
# play, and each window of the road to a report server (error, details, progress, retry box), on
# a virtual desktop of 1280 x 1024 without a window manager and one of 1920 x 1080 with openbox.
# The pictures go to <build folder>/screenshots/crash/<desktop>/.
#
#   scripts/crash-screenshots.sh [build folder]      (default: build/default)
#
# Needs xvfb-run, openbox and ImageMagick's import.
set -euo pipefail

build=$(realpath "${1:-build/default}")
tests=$build/tests/crash/crash_tests
here=$(dirname "$(realpath "$0")")
for tool in xvfb-run openbox import; do
    command -v "$tool" >/dev/null || { echo "crash-screenshots: $tool is missing" >&2; exit 1; }
done
[ -x "$tests" ] || { echo "crash-screenshots: build crash_tests first" >&2; exit 1; }

for desktop in "none 1280x1024" "openbox 1920x1080"; do
    set -- $desktop
    out=$build/screenshots/crash/$1-$2
    rm -rf "$out"
    KAVO_CRASH_SCREENSHOTS=$out "$here/../tests/crash/on-virtual-desktop.sh" "$1" "$2" "$tests" \
        --gtest_filter='CrashWindowsOnTheDesktop.*:GameOnTheDesktop.*'
    ls "$out"/*.png | sed 's/^/crash-screenshots: /'
done
