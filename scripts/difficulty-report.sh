#!/usr/bin/env bash
# The difficulty report: builds playbot, lets its careful and its greedy player each play every level
# of the five modes (20 seeds each, at most 600 moves a level) and five whole games of each mode,
# tries 100 fresh first boards of every level for being stuck, plays every challenge, and writes
# docs/difficulty.md with a plot of each mode's curve for each player
# (docs/difficulty-<mode>-<player>.svg). Options go to playbot and set the size of the run, for
# example -seeds 10, -games 5 or -threads 3 (every core by default); -player greedy plays one player.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target playbot
build/default/tools/playbot/playbot -report docs "$@" data/properties
echo "wrote docs/difficulty.md"
