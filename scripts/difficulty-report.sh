#!/usr/bin/env bash
# The difficulty report: builds playbot, lets its careful player play every level of the five modes
# (20 seeds each, at most 600 moves a level), five whole games of each mode and every challenge, and
# writes docs/difficulty.md with a plot of each mode's curve (docs/difficulty-<mode>.svg).
# Options go to playbot and set the size of the run, for example -seeds 10, -games 5 or -threads 3;
# every core by default.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target playbot
build/default/tools/playbot/playbot -report docs "$@" data/properties
echo "wrote docs/difficulty.md"
