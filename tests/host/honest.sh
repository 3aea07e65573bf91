#!/usr/bin/env bash
# End-to-end checks with the real host (7-Zip 26.03 for Windows under Wine,
# in the DLL's width) that Korvane never shows or writes a digest it did not compute, and
# that 7-Zip's own figures come out as 7-Zip's own Hash format makes them.
#  - Wine's RSA provider DLL switched off (the Microsoft providers stay
#    registered but can't hash): `7z a z.sha256` fails non-zero with an
#    error, the failing file the last one that -bb1 names, and leaves no list; `7z t` of a good list reports
#    every file as an unsupported method, never as a CRC failure;
#    `7z h -scrcSHA-384` is refused rather than printing zeros; `7z i` leaves
#    Korvane's hashers out;
#  - the same with the GOST test provider refusing its contexts
#    (KORVANE_TEST_PROVIDER_REFUSE), in the GOST prefix;
#  - `7z a -bb3`, adding to a list and `7z t -bb3`: the per-file lines and the
#    summary counts of a Korvane list equal, line for line, those of 7-Zip's
#    own Hash format for the same tree.
# Usage: tests/host/honest.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"
source "$KORVANE_ROOT/scripts/lib/gost.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
data="$(korvane_e2e_data host-honest "$dll")"

korvane_results_begin

korvane_e2e_start "$dll"
korvane_wine_test_registry_remove

rm -rf "$data"
mkdir -p "$data/tree/sub/deep"
printf 'abc' >"$data/tree/a.txt"
: >"$data/tree/empty.bin"
printf 'hello\n' >"$data/tree/sub/b.txt"
korvane_large_file "$data/tree/sub/c.bin" 2
printf 'x' >"$data/tree/sub/deep/d.txt"
printf 'new' >"$data/new.txt"
# The files in the order 7-Zip hands them over, with Windows separators.
TREE_FILES=('tree\a.txt' 'tree\empty.bin' 'tree\sub\b.txt' 'tree\sub\c.bin' 'tree\sub\deep\d.txt')

# One [Create] format per algorithm under test, with the layout of
# sha256sum's binary mode.
ini="$data/Korvane.ini"
printf '[Create]\r\nSHA-256=sha256:%%HASH%% *%%FILENAME%%\r\nSHA-384=sha384:%%HASH%% *%%FILENAME%%\r\n' >"$ini"
korvane_7zip_install_plugin "$dll" "$ini"

# host7z ARGS...: 7-Zip in the data folder; output in $data/last-7z.txt,
# 7-Zip's exit code returned.
host7z() {
    (cd "$data" && korvane_7z "$@") >"$data/last-7z.txt"
}

last_output() {
    sed 's/^/  | /' "$data/last-7z.txt" | tail -n 25
}

# Korvane's hashers (library 1) in `7z i`: "id name" lines.
korvane_hashers() {
    host7z i
    awk '
        /^Hashers:/ { section = 1; next }
        section && /^[[:space:]]*$/ { section = 0 }
        section && $1 == "1" {
            name = $4
            for (i = 5; i <= NF; i++) name = name " " $i
            print $3, name
        }
    ' "$data/last-7z.txt"
}

# A good list of each format, made while the provider works.
make_good_list() {
    rm -f "$data/$1"
    if host7z a "$1" tree && [[ -f "$data/$1" ]]; then
        return 0
    fi
    korvane_fail "7z a $1 with the provider working (the list that later checks test)" \
        "$(last_output)"
    return 1
}

# check_refused_provider LABEL LIST ALGORITHM LIST_HASHER_NAMES...: the checks
# of a provider that is registered but can't hash, with the environment set
# by the caller. LIST is a good list of ALGORITHM's format in $data.
check_refused_provider() {
    local label="$1" list="$2" alg="$3" ext rc names name
    shift 3
    ext="${list##*.}"

    # Writing a list: the update fails with an error and no list is left. The
    # host's update callback has no way to take a message of the handler's:
    # at -bb1 the file is the last one the host names ("+ path") before its
    # error, which is the provider's system text.
    rm -f "$data/z.$ext"
    rc=0
    host7z a -bb1 "z.$ext" 'tree\sub\b.txt' 'tree\a.txt' || rc=$?
    local last_added
    last_added="$(grep '^+ ' "$data/last-7z.txt" | tail -n 1)"
    # 7-Zip hands the files over sorted: tree\a.txt first.
    if [[ $rc -ne 0 && ! -e "$data/z.$ext" && "$last_added" == '+ tree\a.txt' ]] &&
        grep -q 'ERROR' "$data/last-7z.txt" && ! grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "$label: 7z a -bb1 z.$ext fails at tree\\a.txt, the last file named, and leaves no list"
    else
        korvane_fail "$label: 7z a -bb1 z.$ext fails at tree\\a.txt, the last file named, and leaves no list" \
            "exit code $rc, list left: $([[ -e "$data/z.$ext" ]] && echo yes || echo no)" \
            "$(head -n 2 "$data/z.$ext" 2>/dev/null)" "$(last_output)"
    fi

    # Testing a good list: every file is an unsupported method, none a CRC
    # failure (the files are fine; it is the digest that could not be made).
    rc=0
    host7z t "$list" || rc=$?
    local unsupported=0 file
    for file in "${TREE_FILES[@]}"; do
        grep -qxF "ERROR: Unsupported Method : $file" "$data/last-7z.txt" && unsupported=$((unsupported + 1))
    done
    if [[ $rc -ne 0 && $unsupported -eq ${#TREE_FILES[@]} ]] && ! grep -q 'CRC Failed' "$data/last-7z.txt"; then
        korvane_pass "$label: 7z t $list reports all ${#TREE_FILES[@]} files as Unsupported Method, none as CRC Failed"
    else
        korvane_fail "$label: 7z t $list reports all ${#TREE_FILES[@]} files as Unsupported Method, none as CRC Failed" \
            "exit code $rc, $unsupported of ${#TREE_FILES[@]} unsupported" "$(last_output)"
    fi

    # Hashing with the hasher by name: refused, and no digest line.
    rc=0
    host7z h "-scrc$alg" 'tree\a.txt' || rc=$?
    if [[ $rc -ne 0 ]] && ! grep -Eq '^[0-9A-Fa-f]{16,}( |$)' "$data/last-7z.txt"; then
        korvane_pass "$label: 7z h -scrc$alg is refused, no digest shown"
    else
        korvane_fail "$label: 7z h -scrc$alg is refused, no digest shown" "exit code $rc" "$(last_output)"
    fi

    # The hasher list: none of the provider's hashers.
    names="$(korvane_hashers)"
    for name in "$@"; do
        if grep -q " $name\$" <<<"$names"; then
            korvane_fail "$label: 7z i leaves Korvane's $name out" "$(sed 's/^/  | /' <<<"$names")"
        else
            korvane_pass "$label: 7z i leaves Korvane's $name out"
        fi
    done
}

# --- 1. 7-Zip's own figures: Korvane's list against 7-Zip's Hash format -------
# Lines that name a file or count: the per-file lines of -bb3 ("+ path",
# "U path", "= path", "H path", errors) and the summary counts.

figures() {
    grep -E '^([-+=UHRDA.]|Reading|ERROR:) |^(Files read from disk|Files|Size|Keep old data in archive|Add new data to archive): |^Everything is Ok$|^Sub items Errors' \
        "$data/last-7z.txt"
}

# compare_figures WHAT OWN_ARGS -- KORVANE_ARGS: runs 7-Zip with each set of
# arguments and compares the figures line for line.
compare_figures() {
    local what="$1" own=() korvane=() own_figures korvane_figures rc_own=0 rc_korvane=0
    shift
    while [[ $# -gt 0 && "$1" != -- ]]; do own+=("$1"); shift; done
    shift
    korvane=("$@")
    host7z "${own[@]}" || rc_own=$?
    own_figures="$(figures)"
    host7z "${korvane[@]}" || rc_korvane=$?
    korvane_figures="$(figures)"
    if [[ $rc_own -eq $rc_korvane && -n "$own_figures" && "$own_figures" == "$korvane_figures" ]]; then
        korvane_pass "$what: Korvane's lines and counts equal 7-Zip's Hash format's"
    else
        korvane_fail "$what: Korvane's lines and counts equal 7-Zip's Hash format's" \
            "exit codes: 7-Zip's format $rc_own, Korvane's $rc_korvane" \
            "$(diff <(printf '%s\n' "$own_figures") <(printf '%s\n' "$korvane_figures") |
                sed 's/^/  | /')"
    fi
}

rm -f "$data/own.sha256" "$data/k.sha256"
compare_figures "7z a -bb3 of a tree (3 folders, 5 files)" \
    a -thash -bb3 own.sha256 tree -- a -bb3 k.sha256 tree
compare_figures "7z a -bb1 of a tree" \
    a -thash -bb1 own1.sha256 tree -- a -bb1 k1.sha256 tree
cp "$data/own.sha256" "$data/own-tested.sha256"
cp "$data/k.sha256" "$data/k-tested.sha256"
compare_figures "7z a -bb3 adding a file to an existing list" \
    a -thash -bb3 own.sha256 new.txt -- a -bb3 k.sha256 new.txt
compare_figures "7z t -bb3 of the tree's list" \
    t -bb3 own-tested.sha256 -- t -bb3 k-tested.sha256
# A changed file: both formats name it, and count alike.
cp "$data/tree/a.txt" "$data/a.txt.orig"
printf 'abd' >"$data/tree/a.txt"
compare_figures "7z t -bb3 with tree\\a.txt changed" \
    t -bb3 own-tested.sha256 -- t -bb3 k-tested.sha256
cp "$data/a.txt.orig" "$data/tree/a.txt"

# --- 2. the Microsoft providers registered, their DLL switched off -------------

if make_good_list good.sha256 && make_good_list good.sha384; then
    export WINEDLLOVERRIDES="rsaenh=d"
    check_refused_provider "RSA provider DLL off" good.sha256 SHA-256 MD2 MD4 MD5 SHA-1 SHA-256 SHA-384 SHA-512
    check_refused_provider "RSA provider DLL off" good.sha384 SHA-384
    unset WINEDLLOVERRIDES
fi

# --- 3. the GOST test provider refusing its contexts ----------------------------

korvane_gost_use_prefix
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
if korvane_gost_prefix_init >"$data/provider.txt" 2>&1; then
    printf '[Create]\r\nGOST 34.11-2012 256=gost256:%%HASH%% *%%FILENAME%%\r\n' >"$ini"
    korvane_7zip_install_plugin "$dll" "$ini"
    if make_good_list good.gost256; then
        export KORVANE_TEST_PROVIDER_REFUSE=1
        check_refused_provider "GOST provider refusing" good.gost256 "GOST 34.11-2012 256" \
            "GOST R 34.11-94" "GOST 34.11-2012 256" "GOST 34.11-2012 512"
        # The Microsoft providers still work: their hashers stay.
        if korvane_hashers | grep -q ' SHA-256$'; then
            korvane_pass "GOST provider refusing: 7z i still lists Korvane's SHA-256"
        else
            korvane_fail "GOST provider refusing: 7z i still lists Korvane's SHA-256" "$(last_output)"
        fi
        unset KORVANE_TEST_PROVIDER_REFUSE
    fi
else
    korvane_fail "GOST test provider built and registered" "$(sed 's/^/  | /' "$data/provider.txt" | tail -n 20)"
fi

korvane_wine_wait
korvane_results_end
