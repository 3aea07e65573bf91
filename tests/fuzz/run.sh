#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time (KORVANE_FUZZ_SECONDS, 45 s
# unless set) from its seed corpus in the repository; new inputs go to a
# scratch corpus under build/fuzz-corpus/, a crashing input to
# build/fuzz-artifacts/. One check: the target ran its time without a finding.
# Usage: tests/fuzz/run.sh TARGET-PROGRAM SEED-FOLDER
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

program="${1:?usage: run.sh TARGET-PROGRAM SEED-FOLDER}"
seeds="${2:?usage: run.sh TARGET-PROGRAM SEED-FOLDER}"
name="$(basename "$program")"
logs="$KORVANE_BUILD/test-logs"
scratch="$KORVANE_BUILD/fuzz-corpus/$name" artifacts="$KORVANE_BUILD/fuzz-artifacts/$name-"
mkdir -p "$logs" "$scratch" "$(dirname "$artifacts")"
korvane_results_begin

if [[ ! -x "$program" ]]; then
    korvane_fail "fuzz: $name" "missing: $program"
elif timeout -k 10 300 "$program" -max_total_time="${KORVANE_FUZZ_SECONDS:-45}" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$scratch" "$seeds" >"$logs/$name.log" 2>&1; then
    korvane_pass "fuzz: $name ($(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$name.log") inputs)"
else
    korvane_fail "fuzz: $name" "log: $logs/$name.log" "$(grep -m3 -E 'ERROR|SUMMARY|Test unit written' "$logs/$name.log")"
fi
korvane_results_end
