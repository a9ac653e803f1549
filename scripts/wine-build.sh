# Sourced by the scripts that run the Windows build under Wine: checks the
# tools, builds the Windows programs and sets up the project's Wine prefix.
for tool in wine wineserver xvfb-run x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || { echo "$(basename "$0" .sh): $tool is missing" >&2; exit 1; }
done
cmake --preset mingw64 >/dev/null
cmake --build build/mingw64 -j "$(nproc)"
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" # makes the prefix, once
