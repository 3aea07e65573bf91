#!/usr/bin/env bash
# scripts/bench on small data (--quick) must run, and Korvane's lists must
# hold the reference loop's digests; no time is judged. One check.
# Usage: bench/quick-check.sh
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/common.sh"

log="$KORVANE_BUILD/test-logs/bench-quick.log"
mkdir -p "$(dirname "$log")"
korvane_results_begin

if bash "$KORVANE_ROOT/scripts/bench" --quick >"$log" 2>&1; then
    sed -n '/^Wall time in seconds:/,$p' "$log"
    korvane_pass "scripts/bench --quick runs, and Korvane's lists hold the reference loop's digests"
else
    korvane_fail "scripts/bench --quick runs, and Korvane's lists hold the reference loop's digests" \
        "$(tail -n 20 "$log")"
fi
korvane_results_end
