#!/usr/bin/env bash
# Checks what runs the end-to-end suite on Windows (scripts/windows-tests.sh
# has made the zips):
# - the workflow is valid for GitHub Actions (@action-validator/cli, from npm);
# - the x64 zip, unpacked outside the build tree, passes through
#   `wine cmd /c run-tests.cmd FILTER`, twice: a second run after a first works;
# - where an instance folder holds what the tests did not make, run-tests.cmd
#   refuses, says why, exits non-zero and leaves every file as it was.
#   scripts/check-windows-tests.sh [GTEST_FILTER]    (Transfer.* unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
filter=${1:-Transfer.*}
validator=0.6.0

fail() {
  echo "check-windows-tests: $*" >&2
  exit 1
}

echo "== windows tests: the workflow"
tools=build/npm
if ! grep -qs "\"version\": \"$validator\"" "$tools/node_modules/@action-validator/cli/package.json"; then
  command -v npm >/dev/null || fail "npm is missing (scripts/setup.sh installs it)"
  npm install --prefix "$tools" --no-save --no-audit --no-fund --silent \
    "@action-validator/cli@$validator" "@action-validator/core@$validator"
fi
for workflow in .github/workflows/*.yml; do
  "$tools/node_modules/.bin/action-validator" "$workflow" || fail "$workflow is not a valid workflow"
done

# shellcheck source=zip-lib.sh
source scripts/zip-lib.sh
zip=$PWD/dist/plovik-bridge-$(project_version)-windows-x64-tests.zip
[ -f "$zip" ] || fail "no $zip; run scripts/windows-tests.sh"
# A Wine prefix of its own, whose instance folders this check clears and plants.
export PLOVIK_WINE_ROOT=$PWD/build/wine-kit
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
kit=$(mktemp -d "${TMPDIR:-/tmp}/plovik-windows-tests.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$kit" "$kit.out"' EXIT
unzip -q "$zip" -d "$kit"
appdata=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')")
[ -d "$appdata" ] || fail "the prefix's local application data ($appdata) is not there"

clear_instances() {
  rm -rf "$appdata"/WSJT-X "$appdata"/WSJT-X\ -\ * "$appdata"/JTDX "$appdata"/JTDX\ -\ *
}
# run-tests.cmd FILTER as a user runs it, from its folder on a display of its
# own; its output in $kit.out.
run_kit() {
  wineserver -k >/dev/null 2>&1 || true
  local status=0
  (cd "$kit" && xvfb-run -a -s "-screen 0 1024x768x24" wine cmd /c run-tests.cmd "$1") \
    </dev/null >"$kit.out" 2>&1 || status=$?
  wineserver -k >/dev/null 2>&1 || true
  return "$status"
}

clear_instances
for run in first second; do
  echo "== windows tests: the x64 zip under Wine, $filter, $run run"
  run_kit "$filter" || { cat "$kit.out"; fail "run-tests.cmd failed, $run run"; }
  grep -aq '^e2e: [1-9][0-9]* passed, 0 failed' "$kit.out" || { cat "$kit.out"; fail "no test passed"; }
  grep -a '^e2e: ' "$kit.out"
done

# What an operator's WSJT-X or JTDX leaves: FOLDER|FILE in it.
for planted in "WSJT-X|wsjtx_log.adi" "JTDX - FT8|JTDX.ini" \
  "WSJT-X - IC7300|plovik_bridge_outbox/20261208-061500.adi"; do
  folder=${planted%%|*}
  file=$appdata/$folder/${planted#*|}
  echo "== windows tests: refused where \"$folder\" holds ${planted#*|}"
  clear_instances
  mkdir -p "$(dirname "$file")"
  printf '<call:5>K1ABC <eor>\r\n' >"$file"
  before=$(cd "$appdata" && find . -printf '%p %s %T@\n' | sort)
  status=0
  run_kit "$filter" || status=$?
  [ "$status" -ne 0 ] || { cat "$kit.out"; fail "run-tests.cmd ran where \"$folder\" holds an operator's file"; }
  grep -aq "refusing to run: .*\\\\$folder\" holds" "$kit.out" || { cat "$kit.out"; fail "the refusal does not name \"$folder\""; }
  after=$(cd "$appdata" && find . -printf '%p %s %T@\n' | sort)
  [ "$before" = "$after" ] || fail "the refused run changed the local application data: $(diff <(echo "$before") <(echo "$after"))"
  [ "$(cat "$file")" = "$(printf '<call:5>K1ABC <eor>\r\n')" ] || fail "$file changed"
done
clear_instances
echo "== windows tests: passed"
