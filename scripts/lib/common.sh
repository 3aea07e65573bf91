# shellcheck shell=bash disable=SC2034
# Shared settings and helpers for the project's bash scripts.
# Source it; it defines functions and variables only.

KORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
KORVANE_BUILD="$KORVANE_ROOT/build"
KORVANE_DIST="$KORVANE_ROOT/dist"
KORVANE_JOBS="${KORVANE_JOBS:-2}"

# Tools and private installs that the scripts set up live under build/.
KORVANE_TOOLS="$KORVANE_BUILD/tools"

# npm keeps its cache under HOME; a bare environment may have none.
if [[ -z "${HOME:-}" ]]; then
    export HOME="$KORVANE_TOOLS/home"
    mkdir -p "$HOME"
fi

korvane_log() {
    printf '==> %s\n' "$*"
}

korvane_die() {
    printf 'error: %s\n' "$*" >&2
    exit 1
}

# Reports an error and returns non-zero, for helpers whose caller decides.
korvane_error() {
    printf 'error: %s\n' "$*" >&2
    return 1
}

# Test results. Every check calls korvane_pass or korvane_fail; the counts go
# to the file named by KORVANE_RESULTS so that scripts/test can add up the
# checks of all the scripts it runs. A script run on its own gets a file of
# its own (korvane_results_begin) and prints its own summary.
korvane_results_begin() {
    if [[ -z "${KORVANE_RESULTS:-}" ]]; then
        KORVANE_RESULTS="$(mktemp "${TMPDIR:-/tmp}/korvane-results.XXXXXX")"
        KORVANE_RESULTS_OWNED=1
        export KORVANE_RESULTS
    fi
    # This script's own results start after the lines already there.
    KORVANE_RESULTS_FIRST=$(($(wc -l <"$KORVANE_RESULTS") + 1))
}

korvane_pass() {
    printf 'PASS  %s\n' "$1"
    printf 'pass\t%s\n' "$1" >>"$KORVANE_RESULTS"
}

# korvane_fail DESCRIPTION [DETAIL...]: the detail lines are printed indented.
korvane_fail() {
    local name="$1" line
    shift
    printf 'FAIL  %s\n' "$name"
    for line in "$@"; do
        printf '      %s\n' "$line"
    done
    printf 'fail\t%s\n' "$name" >>"$KORVANE_RESULTS"
}

# korvane_check DESCRIPTION EXPECTED ACTUAL: equality check of two strings.
korvane_check() {
    if [[ "$2" == "$3" ]]; then
        korvane_pass "$1"
    else
        korvane_fail "$1" "expected: $2" "actual:   $3"
    fi
}

# The lines of the results file that belong to this script (all of them for
# the script that made the file).
korvane_own_results() {
    tail -n "+${KORVANE_RESULTS_FIRST:-1}" "$KORVANE_RESULTS" 2>/dev/null || true
}

korvane_count() {
    # Counts results of kind $1 (pass or fail).
    local n
    n="$(korvane_own_results | grep -c "^$1"$'\t')" || true
    printf '%s\n' "${n:-0}"
}

korvane_failed_names() {
    korvane_own_results | grep "^fail"$'\t' | cut -f2- || true
}

# Prints "N passed, M failed" (", K skipped" when some were) when the results
# file is this script's own; otherwise a line for this script's share.
# Returns non-zero if anything failed.
korvane_results_end() {
    if [[ -n "${KORVANE_RESULTS_OWNED:-}" ]]; then
        korvane_results_total
        local rc=$?
        rm -f "$KORVANE_RESULTS"
        return "$rc"
    fi
    printf '%s: %s checks passed, %s failed\n' "$(basename "$0")" "$(korvane_count pass)" "$(korvane_count fail)"
    [[ "$(korvane_count fail)" -eq 0 ]]
}

# Prints the names of the failed checks and the closing "N passed, M
# failed" (", K skipped" when some were) of this script's results, whoever
# made the file. Returns non-zero if anything failed.
korvane_results_total() {
    local passed failed skipped summary
    passed="$(korvane_count pass)"
    failed="$(korvane_count fail)"
    skipped="$(korvane_count skip)"
    summary="$passed passed, $failed failed"
    [[ "$skipped" -ne 0 ]] && summary+=", $skipped skipped"
    if [[ "$failed" -ne 0 ]]; then
        echo
        echo "Failed:"
        korvane_failed_names | sed 's/^/  /'
    fi
    echo
    printf '%s\n' "$summary"
    [[ "$failed" -eq 0 ]]
}

# korvane_large_file PATH [MIB]: MIB MiB (5 unless given) and 12345 bytes of
# deterministic pseudo-random data (xorshift32), the same on every run.
korvane_large_file() {
    perl -e '
        my $x = 2463534242; my $n = $ARGV[0] * 1048576 + 12345; my $buf = "";
        for (my $i = 0; $i < $n; $i += 4) {
            $x ^= ($x << 13) & 0xFFFFFFFF; $x ^= $x >> 17; $x ^= ($x << 5) & 0xFFFFFFFF;
            $buf .= pack("V", $x);
        }
        print substr($buf, 0, $n);
    ' "${2:-5}" >"$1"
}
