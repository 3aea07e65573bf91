#!/usr/bin/env bash
# Runs the Windows unit-test program under Wine against the real CryptoAPI,
# registry and profile functions: in the project's own Wine prefix with the
# registry keys the tests expect (scripts/lib/wine-test-registry.sh), or with
# --gost in the prefix that has the GOST test provider (scripts/lib/gost.sh).
# Each test counts once (tests/lib/gtest.sh).
# Usage: tests/lib/wine-gtest.sh [--gost] LABEL PROGRAM.exe
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"
source "$KORVANE_ROOT/scripts/lib/gost.sh"

gost=0
if [[ "${1:-}" == --gost ]]; then
    gost=1
    shift
fi
label="${1:?usage: wine-gtest.sh [--gost] LABEL PROGRAM.exe}"
program="${2:?usage: wine-gtest.sh [--gost] LABEL PROGRAM.exe}"
korvane_results_begin

if [[ ! -f "$program" ]]; then
    korvane_fail "$label: unit-test program built" "missing: $program"
    korvane_results_end
    exit
fi

if [[ $gost -eq 1 ]]; then
    korvane_gost_use_prefix
    if { korvane_wine_init && korvane_wine_test_registry && korvane_gost_prefix_init; }; then
        korvane_pass "build: GOST test provider (win64, win32), registered in the GOST prefix"
    else
        korvane_fail "build: GOST test provider (win64, win32), registered in the GOST prefix"
        korvane_results_end
        exit
    fi
elif ! { korvane_wine_init && korvane_wine_test_registry; }; then
    korvane_fail "$label: Wine prefix and test registry set up"
    korvane_results_end
    exit
fi

# From the program's own folder, so that files a test leaves stay there.
cd "$(dirname "$program")" || exit 1
bash "$KORVANE_ROOT/tests/lib/gtest.sh" "$label" "$KORVANE_WINE" "$program"
korvane_wine_wait
korvane_results_end
