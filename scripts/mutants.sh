#!/usr/bin/env bash
# Puts each small fault of scripts/mutants.list into a copy of the sources,
# one at a time, rebuilds the unit tests and runs them: a fault the tests
# fail on is caught, one they pass survives. Prints each verdict and the
# score. A developer's tool, not part of the test suite (it takes minutes).
#
#   scripts/mutants.sh [NUMBER...]    the faults of those lines of the list
#                                     (counted from 1, notes left out), or all
#
# The copy and its build live in build/mutants (PLOVIK_MUTANTS_DIR sets
# another place); the working tree is never touched.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
work=${PLOVIK_MUTANTS_DIR:-$root/build/mutants}
src="$work/src"
bld="$work/build"
# Read from the copy: the list may be edited while a run goes on.
list="$src/scripts/mutants.list"
jobs=${PLOVIK_MUTANTS_JOBS:-2}

# The tests' scratch folders go under a temporary folder of this run's own,
# so a test run elsewhere on the machine cannot meet them.
export TMPDIR="$work/tmp"

say() { printf '%s\n' "$*"; }

# The sources as they are now (tracked and new files), all newer than any
# object of an earlier run, so each is built afresh.
rm -rf "$src" "$TMPDIR"
mkdir -p "$src" "$TMPDIR"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 tar -cf - --ignore-failed-read 2>/dev/null) | tar -xmf - -C "$src"

say "configuring $bld"
cmake -S "$src" -B "$bld" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log"
    exit 2
}

build() { cmake --build "$bld" -j"$jobs" --target engine_tests adif2msg >"$work/build.log" 2>&1; }

# Fails fast on the quick tests; the crash points (tens of seconds) only
# for a fault the others let through. A fault that makes a test hang is
# caught too.
run_tests() {
    local tests="$bld/tests/unit/engine_tests"
    (cd "$bld/tests/unit" &&
        timeout 300 "$tests" --gtest_brief=1 --gtest_fail_fast --gtest_filter='-CrashPoints.*' &&
        timeout 600 "$tests" --gtest_brief=1 --gtest_fail_fast --gtest_filter='CrashPoints.*') \
        >"$work/test.log" 2>&1
}

say "building and testing the sources as they are"
build || {
    cat "$work/build.log"
    exit 2
}
run_tests || {
    say "the unit tests fail without any fault; see $work/test.log"
    exit 2
}

# Applies one fault to the copy: FILE TEXT REPLACEMENT. Blank runs in TEXT
# match any white space. Fails unless TEXT occurs exactly once.
apply() {
    FAULT_TEXT=$2 FAULT_WITH=$3 perl -0777 -i -pe '
        BEGIN {
            $pattern = join q(\s+), map { quotemeta } split /\s+/, $ENV{FAULT_TEXT};
            $with = $ENV{FAULT_WITH};
        }
        my $count = () = /$pattern/g;
        die "found $count times\n" unless $count == 1;
        s/$pattern/$with/;
    ' "$1"
}

wanted=" $* "
number=0
caught=0
tried=0
survivors=()
stale=()
while IFS= read -r line; do
    [[ -z "${line//[[:space:]]/}" || "$line" =~ ^[[:space:]]*# ]] && continue
    number=$((number + 1))
    [[ $# -gt 0 && "$wanted" != *" $number "* ]] && continue
    read -r kind file rest <<<"$line"
    text=${rest%% => *}
    with=${rest#* => }
    [[ "$rest" == *" =>" ]] && { text=${rest% =>}; with=""; }
    label="#$number $kind $file: $text"
    cp "$src/$file" "$work/original"
    if ! apply "$src/$file" "$text" "$with" 2>"$work/apply.log"; then
        say "STALE     $label ($(cat "$work/apply.log"))"
        stale+=("$label")
        continue
    fi
    tried=$((tried + 1))
    if ! build; then
        say "NO BUILD  $label"
        stale+=("$label")
        tried=$((tried - 1))
    elif run_tests; then
        say "SURVIVED  $label"
        survivors+=("$label")
    else
        say "caught    $label"
        caught=$((caught + 1))
    fi
    cp "$work/original" "$src/$file"
done <"$list"

# Built once more as it was, so the next run starts from the sources.
build || true

say ""
if ((tried > 0)); then
    say "score: $caught of $tried faults caught ($((caught * 100 / tried)) %)"
fi
for s in "${survivors[@]+"${survivors[@]}"}"; do say "  survived: $s"; done
if ((${#stale[@]} > 0)); then
    say "${#stale[@]} fault(s) of the list no longer apply or do not build; fix the list:"
    for s in "${stale[@]}"; do say "  $s"; done
    exit 1
fi
