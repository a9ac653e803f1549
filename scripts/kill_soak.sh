#!/usr/bin/env bash
# The long kill soak: N contacts (default 200) at WSJT-X's pace while the
# bridge is killed hard about every 3 s (so well over 40 kills) and started
# again, some kills while Logvex hangs, and every fourth Logvex asking its
# user about a contact inside its handler for 130 s; prints the figures.
#   scripts/kill_soak.sh [N]     PLOVIK_SOAK_SEED picks another schedule
# Prompting Logvexes ask for longer than any time-out the bridge ever had.
export PLOVIK_KILL_SOAK_PROMPT_MS=${PLOVIK_KILL_SOAK_PROMPT_MS:-130000}
exec "$(dirname "$0")/soak.sh" --kill "$@"
