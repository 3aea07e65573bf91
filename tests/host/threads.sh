#!/usr/bin/env bash
# End-to-end checks with the real host (7-Zip 26.03 for Windows under Wine,
# in the DLL's width) that hashing several files at once (-mmt) changes
# nothing but the time:
#  - `7z a` with -mmt=1, -mmt=2 and the default writes the same list, byte for
#    byte, for MD5 and SHA-256, on a tree of large and small files; sha256sum
#    and md5sum check it;
#  - `7z t -bb3` of that list with -mmt=1 and -mmt=2: the same lines, all Ok;
#  - with a changed file and a missing one in the middle: the same exit code,
#    the same results in the same order, the same error lines.
# Usage: tests/host/threads.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
data="$(korvane_e2e_data host-threads "$dll")"

korvane_results_begin

korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$KORVANE_ROOT/plugin/Korvane.ini"

# Three large files among many small ones, an empty one in between.
rm -rf "$data"
mkdir -p "$data/tree/small"
korvane_large_file "$data/tree/big1.bin" 12
korvane_large_file "$data/tree/big2.bin" 7
cp "$data/tree/big1.bin" "$data/tree/small/big3.bin"
printf 'tail' >>"$data/tree/small/big3.bin"
for i in $(seq 1 120); do printf 'file %d\n' "$i" >"$data/tree/small/f$i.txt"; done
: >"$data/tree/empty.txt"

host7z() {
    (cd "$data" && korvane_7z "$@") >"$data/last-7z.txt"
}

last_output() {
    sed 's/^/  | /' "$data/last-7z.txt" | tail -n 25
}

# The lines of a run that name a file or count, without the timings.
figures() {
    grep -E '^([-+=UHRDAT.]|ERROR:|WARNING:) |^(Files|Size|Folders|Sub items Errors|Errors|Everything is Ok)' \
        "$data/last-7z.txt"
}

for ext in md5 sha256; do
    tool=md5sum
    [[ "$ext" == sha256 ]] && tool=sha256sum
    rm -f "$data"/*."$ext"
    ok=1
    for mt in 1 2 default; do
        args=(a "mt-$mt.$ext" tree)
        [[ "$mt" != default ]] && args=(a "-mmt=$mt" "mt-$mt.$ext" tree)
        if ! host7z "${args[@]}" || [[ ! -s "$data/mt-$mt.$ext" ]]; then
            korvane_fail "7z ${args[*]} writes a list" "$(last_output)"
            ok=0
        fi
    done
    [[ $ok -eq 1 ]] || continue
    if cmp -s "$data/mt-1.$ext" "$data/mt-2.$ext" && cmp -s "$data/mt-1.$ext" "$data/mt-default.$ext"; then
        korvane_pass "$ext: -mmt=1, -mmt=2 and the default write the same list ($(wc -l <"$data/mt-1.$ext") lines)"
    else
        korvane_fail "$ext: -mmt=1, -mmt=2 and the default write the same list" \
            "$(diff "$data/mt-1.$ext" "$data/mt-2.$ext" | head -n 10 | sed 's/^/  | /')"
    fi
    # The list as coreutils reads it: "/" for "\", line feeds.
    if (cd "$data" && sed 's/\\/\//g; s/\r$//' "mt-2.$ext" | "$tool" -c --quiet -) >"$data/coreutils.txt" 2>&1; then
        korvane_pass "$ext: $tool -c checks the list written with -mmt=2"
    else
        korvane_fail "$ext: $tool -c checks the list written with -mmt=2" "$(sed 's/^/  | /' "$data/coreutils.txt" | head)"
    fi

    # Testing: the same lines one file after another and two at once.
    host7z t -bb3 -mmt=1 "mt-1.$ext"
    rc1=$?
    one="$(figures)"
    host7z t -bb3 -mmt=2 "mt-1.$ext"
    rc2=$?
    two="$(figures)"
    if [[ $rc1 -eq 0 && $rc2 -eq 0 && "$one" == "$two" ]] && grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "$ext: 7z t -bb3 with -mmt=1 and -mmt=2: the same lines, Everything is Ok"
    else
        korvane_fail "$ext: 7z t -bb3 with -mmt=1 and -mmt=2: the same lines, Everything is Ok" \
            "exit codes $rc1 and $rc2" "$(diff <(printf '%s\n' "$one") <(printf '%s\n' "$two") | sed 's/^/  | /')"
    fi
done

# A changed large file and a missing small one: the same end, the same
# results in the same order. The host prints a file it can't open when it
# opens it, which with -mmt=2 may be before the result of a file still being
# hashed: those lines are compared as a set.
cp "$data/tree/big2.bin" "$data/big2.orig"
printf 'X' | dd of="$data/tree/big2.bin" bs=1 seek=5000000 conv=notrunc status=none
mv "$data/tree/small/f7.txt" "$data/f7.orig"
host7z t -bb3 -mmt=1 mt-1.sha256
rc1=$?
one="$(figures)"
host7z t -bb3 -mmt=2 mt-1.sha256
rc2=$?
two="$(figures)"
if [[ $rc1 -eq 2 && $rc2 -eq 2 ]] &&
    [[ "$(grep -v 'Cannot open input file' <<<"$one")" == "$(grep -v 'Cannot open input file' <<<"$two")" ]] &&
    [[ "$(sort <<<"$one")" == "$(sort <<<"$two")" ]] &&
    grep -q 'CRC Failed : tree\\big2.bin' <<<"$two" && grep -q 'f7.txt' <<<"$two"; then
    korvane_pass "7z t with a changed and a missing file: -mmt=1 and -mmt=2 end alike (exit 2, the same results)"
else
    korvane_fail "7z t with a changed and a missing file: -mmt=1 and -mmt=2 end alike (exit 2, the same results)" \
        "exit codes $rc1 and $rc2" "$(diff <(printf '%s\n' "$one") <(printf '%s\n' "$two") | sed 's/^/  | /')" \
        "$(last_output)"
fi
cp "$data/big2.orig" "$data/tree/big2.bin"
mv "$data/f7.orig" "$data/tree/small/f7.txt"

korvane_results_end
