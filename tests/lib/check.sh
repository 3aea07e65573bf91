#!/usr/bin/env bash
# Runs one CTest test: a test program or script that reports its individual
# results with korvane_pass and korvane_fail. Counts one failure more when the
# command exits non-zero without having reported a failure (a crash, a script
# that stopped early), or when it reported nothing at all (a program that did
# not build). It stops the command after KORVANE_CHECK_TIMEOUT seconds (1200
# unless set), before CTest's own limit, so that a hanging test still counts
# as failed. Run on its own (KORVANE_RESULTS not set), it prints the test's
# "N passed, M failed".
# Usage: tests/lib/check.sh NAME COMMAND [ARG...]
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

name="${1:?usage: check.sh NAME COMMAND [ARG...]}"
shift
korvane_results_begin

rc=0
timeout -k 10 "${KORVANE_CHECK_TIMEOUT:-1200}" "$@" || rc=$?

reported="$(korvane_own_results | grep -c -E '^(pass|fail|skip)'$'\t')" || true
failed="$(korvane_count fail)"
detail="exit status $rc"
[[ $rc -eq 124 ]] && detail="stopped after ${KORVANE_CHECK_TIMEOUT:-1200} s"
if [[ "$reported" -eq 0 ]]; then
    korvane_fail "$name: reports its checks" "no check reported ($detail): $*"
elif [[ $rc -ne 0 && "$failed" -eq 0 ]]; then
    korvane_fail "$name: exits cleanly" "$detail with no failed check: $*"
fi
# The command has printed its own count; a total only when run alone.
if [[ -n "${KORVANE_RESULTS_OWNED:-}" ]]; then
    korvane_results_end
else
    [[ "$(korvane_count fail)" -eq 0 ]]
fi
