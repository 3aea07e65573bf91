#!/usr/bin/env bash
# clang-tidy 14 with .clang-tidy over the native build: every translation
# unit of the project in build/linux/compile_commands.json, and the
# project's headers they include. Each finding (a place and a check, counted
# once however many units include it) is a failure of its own; no finding is
# one pass.
# Usage: tests/style/tidy-check.sh [BUILD-DIR]   (default: build/linux)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

build="${1:-$KORVANE_BUILD/linux}"
log="$KORVANE_BUILD/test-logs/clang-tidy.log"
CLANG_TIDY=clang-tidy-14
RUN_CLANG_TIDY=run-clang-tidy-14
# The project's own folders; build/ (GoogleTest, generated files) is not one.
OWN="^$KORVANE_ROOT/(base|crypt|interfaces|params|platform|plugin|tests)/"

korvane_results_begin

if ! command -v "$CLANG_TIDY" >/dev/null 2>&1 || ! command -v "$RUN_CLANG_TIDY" >/dev/null 2>&1; then
    korvane_fail "$CLANG_TIDY and $RUN_CLANG_TIDY available (package clang-tidy-14)"
    korvane_results_end
    exit
fi
if [[ ! -f "$build/compile_commands.json" ]]; then
    korvane_fail "clang-tidy: $build/compile_commands.json exists"
    korvane_results_end
    exit
fi

units="$(grep -cE "\"file\": \"$KORVANE_ROOT/(base|crypt|interfaces|params|platform|plugin|tests)/" \
    "$build/compile_commands.json")"
mkdir -p "$(dirname "$log")"
rc=0
(cd "$KORVANE_ROOT" && "$RUN_CLANG_TIDY" -p "$build" -j "$KORVANE_JOBS" -quiet \
    -clang-tidy-binary "$(command -v "$CLANG_TIDY")" -header-filter "$OWN" "$OWN") >"$log" 2>&1 || rc=$?

# run-clang-tidy asks for colours; the findings are read without them.
findings="$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '^/[^:]+:[0-9]+:[0-9]+: (warning|error): ' |
    LC_ALL=C sort -u)"
if [[ -n "$findings" ]]; then
    while IFS= read -r finding; do
        korvane_fail "clang-tidy: ${finding#"$KORVANE_ROOT/"}"
    done <<<"$findings"
elif [[ $rc -ne 0 ]]; then
    korvane_fail "clang-tidy: ran over $units units" "exit status $rc without a finding; log: $log"
elif [[ "$units" -eq 0 ]]; then
    korvane_fail "clang-tidy: units found in $build/compile_commands.json"
else
    korvane_pass "clang-tidy: no finding in $units translation units and their headers"
fi

korvane_results_end
