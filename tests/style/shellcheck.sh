#!/usr/bin/env bash
# Every bash script of the project passes shellcheck (with .shellcheckrc):
# the files that git tracks under scripts/, tests/, bench/ and .ci/ that are
# named *.sh or start with a bash line. Each script with a finding is a
# failure of its own; all scripts clean is one pass.
# Usage: tests/style/shellcheck.sh
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

korvane_results_begin

scripts() {
    local file
    git -C "$KORVANE_ROOT" ls-files -- scripts tests bench .ci | while IFS= read -r file; do
        if [[ "$file" == *.sh ]] || head -n 1 "$KORVANE_ROOT/$file" | grep -qE '^#!.*\bbash\b'; then
            printf '%s\n' "$file"
        fi
    done | LC_ALL=C sort
}

if ! command -v shellcheck >/dev/null 2>&1; then
    korvane_fail "shellcheck available (package shellcheck)"
    korvane_results_end
    exit
fi

count=0 bad=0
while IFS= read -r file; do
    count=$((count + 1))
    if ! out="$(cd "$KORVANE_ROOT" && shellcheck --shell=bash --format=gcc "$file" 2>&1)"; then
        bad=$((bad + 1))
        korvane_fail "shellcheck: $file" "$out"
    fi
done < <(scripts)

if [[ $count -eq 0 ]]; then
    korvane_fail "shellcheck: scripts found"
elif [[ $bad -eq 0 ]]; then
    korvane_pass "shellcheck: all $count bash scripts are clean"
fi

korvane_results_end
