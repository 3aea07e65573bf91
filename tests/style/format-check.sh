#!/usr/bin/env bash
# The C and C++ sources follow .clang-format: clang-format 14 would change
# nothing in any of them. Each file that it would change is a failure of its
# own; all files in order is one pass.
# Usage: tests/style/format-check.sh
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

CLANG_FORMAT=clang-format-14

korvane_results_begin

# The project's sources: what git tracks, or every such file outside build/
# where there is no git.
sources() {
    if git -C "$KORVANE_ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$KORVANE_ROOT" ls-files -- '*.cpp' '*.h' '*.c'
    else
        (cd "$KORVANE_ROOT" && find . -path ./build -prune -o -path ./dist -prune -o \
            -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -printf '%P\n')
    fi | LC_ALL=C sort
}

if ! command -v "$CLANG_FORMAT" >/dev/null 2>&1; then
    korvane_fail "$CLANG_FORMAT available (package clang-format-14)"
    korvane_results_end
    exit
fi

count=0 bad=0
while IFS= read -r file; do
    count=$((count + 1))
    if ! (cd "$KORVANE_ROOT" && "$CLANG_FORMAT" --style=file --dry-run -Werror "$file" >/dev/null 2>&1); then
        bad=$((bad + 1))
        korvane_fail "clang-format: $file" \
            "$(cd "$KORVANE_ROOT" && "$CLANG_FORMAT" --style=file "$file" | diff "$file" - | grep -c '^[<>]') lines differ;" \
            "fix with: $CLANG_FORMAT -i $file"
    fi
done < <(sources)

if [[ $count -eq 0 ]]; then
    korvane_fail "clang-format: sources found"
elif [[ $bad -eq 0 ]]; then
    korvane_pass "clang-format: all $count C and C++ files follow .clang-format"
fi

korvane_results_end
