#!/usr/bin/env bash
# The version CMakeLists.txt declares (its one place), MAJOR.MINOR.PATCH,
# or with --title the program's window title, "Plovik Bridge ver
# MAJOR.MINORPATCH".
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(plovik_bridge VERSION \([0-9][0-9.]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "version: no project VERSION in CMakeLists.txt" >&2; exit 1; }
case "${1:-}" in
"") echo "$version" ;;
--title)
  IFS=. read -r major minor patch <<<"$version"
  echo "Plovik Bridge ver $major.$minor$patch"
  ;;
*) echo "usage: scripts/version.sh [--title]" >&2; exit 64 ;;
esac
