# Sourced by the scripts that run the Windows build under Wine: checks the
# tools, builds the Windows programs and sets up the project's Wine prefix.
# PLOVIK_TESTS_PRESET picks the build (mingw64 unless set; mingw32 for the
# 32-bit programs, which run in the same prefix through Wine's WoW64).
tests_preset=${PLOVIK_TESTS_PRESET:-mingw64}
triple=x86_64-w64-mingw32
[ "$tests_preset" = mingw32 ] && triple=i686-w64-mingw32
for tool in wine wineserver xvfb-run "$triple-g++-posix"; do
  command -v "$tool" >/dev/null || { echo "$(basename "$0" .sh): $tool is missing" >&2; exit 1; }
done
cmake --preset "$tests_preset" >/dev/null
cmake --build "build/$tests_preset" -j "$(nproc)"
# shellcheck source=wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" # makes the prefix, once
