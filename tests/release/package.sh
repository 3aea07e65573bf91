#!/usr/bin/env bash
# scripts/package writes the release zip (the release tests after it check
# the zip). One check: it succeeds.
# Usage: tests/release/package.sh
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

log="$KORVANE_BUILD/test-logs/package.log"
mkdir -p "$(dirname "$log")"
korvane_results_begin

bash "$KORVANE_ROOT/scripts/package" 2>&1 | tee "$log"
if [[ ${PIPESTATUS[0]} -eq 0 ]]; then
    korvane_pass "package: scripts/package"
else
    korvane_fail "package: scripts/package" "log: $log"
fi
korvane_results_end
