#!/usr/bin/env bash
# Builds the release a second time, from a copy of the tree in another
# folder, and compares it byte for byte with dist/ (scripts/release.sh has
# made it). Other folders for source and build catch any path or time that
# leaks into a binary or a zip.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f dist/SHA256SUMS ] || { echo "check-reproducible: no dist/SHA256SUMS; run scripts/release.sh" >&2; exit 1; }
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
copy=$(mktemp -d "${TMPDIR:-/tmp}/plovik-reproducible.XXXXXX")
trap 'rm -rf "$copy"' EXIT
# The tree as it is, committed or not, without what git ignores (build/, dist/).
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$copy"
"$copy/scripts/release.sh" "$copy/dist" >/dev/null
if cmp -s dist/SHA256SUMS "$copy/dist/SHA256SUMS"; then
  echo "== reproducible: two builds in two folders gave the same bytes"
  cat dist/SHA256SUMS
  exit 0
fi
echo "check-reproducible: the second build differs" >&2
diff dist/SHA256SUMS "$copy/dist/SHA256SUMS" >&2 || true
for zip in dist/*.zip; do
  mkdir -p "$copy/a" "$copy/b"
  unzip -qo "$zip" -d "$copy/a/${zip##*/}"
  unzip -qo "$copy/$zip" -d "$copy/b/${zip##*/}"
done
diff -r "$copy/a" "$copy/b" >&2 || true
exit 1
