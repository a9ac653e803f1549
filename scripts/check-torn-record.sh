#!/usr/bin/env bash
# The record torn by a power cut at every byte of its last line, then one
# contact appended: adif-parser-ts (from npm), another program's reader,
# reads that contact whole each time. (The bridge's own reader is checked
# the same way by the unit tests.)
#   scripts/check-torn-record.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-torn-record.sh BUILD_DIR}
tools=build/npm-adif
parser=0.7.7
if ! grep -qs "\"version\": \"$parser\"" "$tools/node_modules/adif-parser-ts/package.json"; then
  npm install --prefix "$tools" --no-save --no-audit --no-fund --silent "adif-parser-ts@$parser"
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build/tests/unit/torn_record_files" "$out"
NODE_PATH=$tools/node_modules node tests/adif/last_contact_whole.js "$out"/*.adi
