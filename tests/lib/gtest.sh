#!/usr/bin/env bash
# Runs a GoogleTest program and counts each of its tests once (without a line
# of its own: the program's output has it), and one failure more if the
# program fails in a way that no test reports (a sanitizer's report at exit, a
# crash, a leak). A program that is missing counts as a failure.
# Usage: tests/lib/gtest.sh LABEL PROGRAM [ARG...]
#   PROGRAM may be a runner followed by the program (qemu-i386 PROGRAM).
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

label="${1:?usage: gtest.sh LABEL PROGRAM [ARG...]}"
shift
logs="$KORVANE_BUILD/test-logs"
log="$logs/$label.log"
mkdir -p "$logs"
korvane_results_begin

# The program is the first argument that names a file, after any runner.
program=""
for arg in "$@"; do
    if [[ "$arg" == */* ]]; then
        program="$arg"
        break
    fi
done
if [[ -z "$program" || ! -f "$program" ]]; then
    korvane_fail "$label: test program built" "missing: ${program:-$1}"
    korvane_results_end
    exit
fi

# A hanging test program must not hold up the run until CI's limit.
timeout -k 10 "${KORVANE_TEST_TIMEOUT:-900}" "$@" --gtest_color=no </dev/null 2>&1 |
    tr -d '\r' | tee "$log"
rc=${PIPESTATUS[0]}
ok="$(grep -cE '^\[       OK \] .* \([0-9]+ ms\)$' "$log")"
failed="$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log")"
skipped="$(grep -cE '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log")"
sed -nE -e 's/^\[       OK \] (.*) \([0-9]+ ms\)$/pass\t'"$label"': \1/p' \
    -e 's/^\[  FAILED  \] (.*) \([0-9]+ ms\)$/fail\t'"$label"': \1/p' \
    -e 's/^\[  SKIPPED \] (.*) \([0-9]+ ms\)$/skip\t'"$label"': \1/p' \
    "$log" >>"$KORVANE_RESULTS"
echo
if [[ $((ok + failed + skipped)) -eq 0 ]]; then
    korvane_fail "$label: ran its tests" "no test ran (exit status $rc); log: $log"
elif [[ $rc -ne 0 && $failed -eq 0 ]]; then
    korvane_fail "$label: exits cleanly" "exit status $rc with no failed test (sanitizer report, leak or crash); log: $log"
else
    echo "$label: $ok tests passed, $failed failed, $skipped skipped (exit status $rc)"
fi
korvane_results_end
