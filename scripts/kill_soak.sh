#!/usr/bin/env bash
# The long kill soak: N contacts (default 200) at WSJT-X's pace while the
# bridge is killed hard about every 3 s (so well over 40 kills) and started
# again, some kills while Logvex hangs; prints the figures.
#   scripts/kill_soak.sh [N]     PLOVIK_SOAK_SEED picks another schedule
exec "$(dirname "$0")/soak.sh" --kill "$@"
