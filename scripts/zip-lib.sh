# shellcheck shell=bash
# Sourced by the scripts that write zips to dist/ (release.sh,
# windows-tests.sh): the project's one version, and zips whose bytes depend
# on the commit alone: entries in a fixed order, with fixed permissions and
# the commit's time (SOURCE_DATE_EPOCH), no owner or extra time fields.

# The version, from the one place it is declared (CMakeLists.txt).
project_version() {
  scripts/version.sh
}

# start_zips [FOLDER]: what a script that writes zips needs first: the
# packages, `out` (FOLDER, made), `version`, and the commit's time.
start_zips() {
  out=$(realpath -m "${1:-dist}")
  scripts/setup.sh
  version=$(project_version)
  use_commit_time
  mkdir -p "$out"
}

# Sets SOURCE_DATE_EPOCH to the commit's time, unless it is set.
use_commit_time() {
  [ -z "${SOURCE_DATE_EPOCH:-}" ] || return 0
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  [ -z "$(git status --porcelain)" ] ||
    echo "$(basename "$0" .sh): uncommitted changes: these zips are not those of $(git rev-parse --short HEAD)" >&2
}

# zip_folder DIR ZIP FILE...: the files (relative to DIR), in this order,
# into the zip ZIP (an absolute path), made anew.
zip_folder() {
  local dir=$1 zip=$2
  shift 2
  rm -f "$zip"
  (
    cd "$dir" || exit 1
    chmod 0644 "$@"
    touch -d "@$SOURCE_DATE_EPOCH" "$@"
    # -X: no owner or extra time fields; -D: no folder entries; DOS times
    # are local, hence UTC.
    TZ=UTC zip -X -D -q -9 "$zip" "$@"
  )
}
