#!/usr/bin/env bash
# End-to-end checks that 7-Zip reads Korvane's hash lists back: 7-Zip 26.03
# for Windows x64 under Wine with Korvane.64.dll and the sample Korvane.ini.
#  - for the sample formats' layouts and each value of -mc and -mlb, a list
#    written over a tree (nested folders, an empty file, a name with a space,
#    names outside ASCII, names holding the placeholders) is verified by a
#    plain `7z t`, which counts every file;
#  - a changed and a removed file each fail the test, naming the file;
#  - `7z l` and `7z l -slt` show the entries and their digests;
#  - `7z a` onto a list keeps every old line byte for byte, `7z d` takes one
#    out, -mc on an update rewrites the whole list;
#  - lists of coreutils still verify; random bytes named .sha256 do not;
#    `7z x` of a list is refused.
# Usage: tests/host/lists.sh [Korvane.64.dll]   (default: dist/)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
ini="$(dirname "$dll")/Korvane.ini"
[[ -f "$ini" ]] || ini="$KORVANE_DIST/Korvane.ini"
data="$KORVANE_BUILD/e2e/host-lists"
started=$SECONDS
# UTF-8 file names and code page 1252 in Wine, whatever the caller's locale.
export LC_ALL=C.UTF-8

korvane_results_begin
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$ini"
rm -rf "$data"
mkdir -p "$data"
trap korvane_wine_keeper_stop EXIT
korvane_wine_keeper_start "$data" || echo "note: no Wine program keeps the server up; each 7z call waits for it"

# make_tree DIR [unicode]: the tree in DIR; with "unicode" also a name that
# code page 1252 can't hold. Prints the number of files.
make_tree() {
    local t="$1/tree"
    mkdir -p "$t/sub/deeper" "$t/sub/emptydir"
    printf 'abc' >"$t/abc.txt"
    : >"$t/empty.txt"
    printf 'two words\n' >"$t/with space.txt"
    printf 'café' >"$t/sub/deeper/café.txt"
    printf '1' >"$t/sub/%HASH%.txt"
    printf '2' >"$t/sub/%HASHNAME% x.txt"
    printf '3' >"$t/sub/%FILENAME%.txt"
    head -c 300000 /dev/zero | tr '\0' 'k' >"$t/sub/big.bin"
    [[ "${2:-}" == unicode ]] && printf 'beetle\n' >"$t/sub/жук.txt"
    find "$t" -type f | wc -l
}

# run7z DIR ARGS...: 7z in DIR, output in $data/last.txt; returns its exit code.
run7z() {
    local dir="$1"
    shift
    (cd "$dir" && korvane_7z "$@") >"$data/last.txt"
}

last_output() {
    sed 's/^/  | /' "$data/last.txt" | tail -n 20
}

said() {
    grep -qF -x -- "$1" "$data/last.txt"
}

# test_ok DESCRIPTION DIR LIST FILES TYPE [7Z-OPTIONS...]: `7z t LIST` exits 0,
# opens LIST as TYPE and counts FILES files.
test_ok() {
    local what="$1" dir="$2" list="$3" files="$4" type="$5" rc=0
    shift 5
    run7z "$dir" t "$@" "$list" || rc=$?
    if [[ $rc -eq 0 ]] && said "Type = $type" && said "Files: $files" && said "Everything is Ok"; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "7z t $* $list: exit code $rc (want 0, Type = $type, Files: $files)" "$(last_output)"
    fi
}

# test_fails DESCRIPTION DIR LIST LINE: `7z t LIST` exits non-zero and prints
# a line that ends in LINE.
test_fails() {
    local what="$1" dir="$2" list="$3" line="$4" rc=0
    run7z "$dir" t "$list" || rc=$?
    if [[ $rc -ne 0 ]] && grep -qF -- "$line" "$data/last.txt" && ! said "Everything is Ok"; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "7z t $list: exit code $rc, want non-zero and: $line" "$(last_output)"
    fi
}

# --- 1. every layout, code page and line break: written, then tested ----------

for format in SHA-256:sha256 CRC32:sfv; do
    name="${format%%:*}" ext="${format#*:}"
    for options in -mc=ANSI -mc=UTF8 -mc=UTF8- "-mc=UTF8- -mlb=CRLF" "-mc=UTF8- -mlb=CR" \
        "-mc=UTF8- -mlb=LFCR" "-mc=UTF8- -mlb=LF"; do
        dir="$data/$name${options// /}"
        mkdir -p "$dir"
        # Names outside the ANSI code page can't be found again from an ANSI list.
        if [[ "$options" == -mc=ANSI ]]; then n="$(make_tree "$dir")"; else n="$(make_tree "$dir" unicode)"; fi
        read -ra opts <<<"$options"
        if run7z "$dir" a "-t$name" "${opts[@]}" "list.$ext" tree; then
            test_ok "7z a -t$name $options, then plain 7z t: exit 0, all $n files checked" "$dir" "list.$ext" "$n" "$name"
        else
            korvane_fail "7z a -t$name $options list.$ext tree" "$(last_output)"
        fi
    done
done
for format in MD5:md5 SHA-1:sha1 SHA-512:sha512; do
    name="${format%%:*}" ext="${format#*:}"
    dir="$data/$name"
    mkdir -p "$dir"
    n="$(make_tree "$dir")"
    run7z "$dir" a "-t$name" "list.$ext" tree
    test_ok "7z a -t$name, then plain 7z t: exit 0, all $n files checked" "$dir" "list.$ext" "$n" "$name"
done

# A layout other than the format's own is read with the same -mf.
dir="$data/MD5-bsd"
mkdir -p "$dir"
n="$(make_tree "$dir" unicode)"
bsd="-mf=%HASHNAME% (%FILENAME%) = %HASH%"
run7z "$dir" a -tMD5 -mc=UTF8 "$bsd" list.md5 tree
test_ok "7z t \"$bsd\" reads a list written with that layout" "$dir" list.md5 "$n" MD5 "$bsd"

# --- 2. what a test finds, lists and updates -------------------------------------

dir="$data/SHA-256-mc=UTF8-mlb=LF"
mkdir -p "$dir"
n="$(make_tree "$dir" unicode)"
run7z "$dir" a -tSHA-256 -mc=UTF8 -mlb=LF list.sha256 tree
cp "$dir/list.sha256" "$data/list.before"
abc="$(sha256sum <"$dir/tree/abc.txt" | cut -d' ' -f1)"

size="$(find "$dir/tree" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
if run7z "$dir" t list.sha256 && grep -qE "^Size: +$size\$" "$data/last.txt"; then
    korvane_pass "7z t counts the size of the files it read (Size: $size)"
else
    korvane_fail "7z t counts the size of the files it read" "want Size: $size" "$(last_output)"
fi

printf 'abd' >"$dir/tree/abc.txt"
test_fails "7z t with a changed file: non-zero exit, CRC Failed naming it" "$dir" list.sha256 \
    'ERROR: CRC Failed : tree\abc.txt'
printf 'abc' >"$dir/tree/abc.txt"
mv "$dir/tree/empty.txt" "$data/empty.txt.away"
test_fails "7z t with a removed file: non-zero exit, naming it" "$dir" list.sha256 \
    '\tree\empty.txt'
mv "$data/empty.txt.away" "$dir/tree/empty.txt"

rc=0
run7z "$dir" l -sccUTF-8 list.sha256 || rc=$?
if [[ $rc -eq 0 ]] && grep -q " tree\\\\sub\\\\%HASHNAME% x\\.txt\$" "$data/last.txt" &&
    grep -q " tree\\\\sub\\\\жук\\.txt\$" "$data/last.txt" && grep -qE " $n files\$" "$data/last.txt"; then
    korvane_pass "7z l lists the entries ($n files, names as written)"
else
    korvane_fail "7z l lists the entries" "exit code $rc" "$(last_output)"
fi
rc=0
run7z "$dir" l -slt list.sha256 || rc=$?
if [[ $rc -eq 0 ]] && grep -A1 -xF 'Path = tree\abc.txt' "$data/last.txt" | grep -qxF "Checksum = $abc"; then
    korvane_pass "7z l -slt shows each entry's digest (abc.txt: sha256sum's)"
else
    korvane_fail "7z l -slt shows each entry's digest" "exit code $rc, want Checksum = $abc" "$(last_output)"
fi

# lines FILE: the lines of a list without its byte-order mark, one per line,
# line breaks (LF) cut off.
lines() {
    LC_ALL=C sed -e '1s/^\xEF\xBB\xBF//' "$1"
}

printf 'more' >"$dir/more.txt"
more="$(sha256sum <"$dir/more.txt" | cut -d' ' -f1 | tr a-f A-F)"
rc=0
run7z "$dir" a list.sha256 more.txt || rc=$?
lost="$(comm -23 <(lines "$data/list.before" | LC_ALL=C sort) <(lines "$dir/list.sha256" | LC_ALL=C sort))"
added="$(comm -13 <(lines "$data/list.before" | LC_ALL=C sort) <(lines "$dir/list.sha256" | LC_ALL=C sort))"
if [[ $rc -eq 0 && -z "$lost" && "$added" == "$more *more.txt" ]] &&
    [[ "$(head -c 3 "$dir/list.sha256" | od -An -tx1 | tr -d ' ')" == efbbbf ]] &&
    [[ "$(grep -c $'\xEF\xBB\xBF' "$dir/list.sha256")" -eq 1 && "$(grep -c $'\r' "$dir/list.sha256")" -eq 0 ]]; then
    korvane_pass "7z a of one more file keeps every old line byte for byte and adds its line (BOM and LF kept)"
else
    korvane_fail "7z a of one more file keeps every old line" "exit code $rc" "missing: $lost" "added: $added" \
        "$(cat -A "$dir/list.sha256" | head -n 5)"
fi
test_ok "the grown list verifies with plain 7z t" "$dir" list.sha256 "$((n + 1))" SHA-256

cp "$dir/list.sha256" "$data/list.grown"
rc=0
run7z "$dir" d list.sha256 'tree\abc.txt' || rc=$?
gone="$(comm -23 <(lines "$data/list.grown" | LC_ALL=C sort) <(lines "$dir/list.sha256" | LC_ALL=C sort))"
new="$(comm -13 <(lines "$data/list.grown" | LC_ALL=C sort) <(lines "$dir/list.sha256" | LC_ALL=C sort))"
if [[ $rc -eq 0 && "$gone" == "${abc^^} *tree\\abc.txt" && -z "$new" ]]; then
    korvane_pass "7z d takes the one line out and keeps the others"
else
    korvane_fail "7z d takes the one line out" "exit code $rc" "gone: $gone" "new: $new"
fi

rc=0
run7z "$dir" a -mc=UTF8- -mlb=CRLF list.sha256 more.txt || rc=$?
if [[ $rc -eq 0 && "$(head -c 3 "$dir/list.sha256" | od -An -tx1 | tr -d ' ')" != efbbbf ]] &&
    [[ "$(grep -c $'\r$' "$dir/list.sha256")" -eq "$(wc -l <"$dir/list.sha256")" ]] &&
    [[ "$(tr -d '\r' <"$dir/list.sha256" | LC_ALL=C sort)" == "$(lines "$data/list.grown" | grep -vF 'tree\abc.txt' | LC_ALL=C sort)" ]]; then
    korvane_pass "7z a -mc=UTF8- -mlb=CRLF onto a list rewrites every line in them"
else
    korvane_fail "7z a -mc=UTF8- -mlb=CRLF onto a list rewrites every line" "exit code $rc" \
        "$(cat -A "$dir/list.sha256" | head -n 5)"
fi

# --- 3. lists that are not Korvane's --------------------------------------------

dir="$data/coreutils"
mkdir -p "$dir"
make_tree "$dir" unicode >/dev/null
(cd "$dir/tree" && sha256sum abc.txt empty.txt sub/big.bin >list.sha256 && md5sum abc.txt sub/жук.txt >list.md5 &&
    sha256sum -b abc.txt "with space.txt" >binary.sha256)
test_ok "a list written by sha256sum verifies with plain 7z t (7-Zip's own Hash format)" "$dir/tree" list.sha256 3 Hash
test_ok "a list written by md5sum verifies with plain 7z t" "$dir/tree" list.md5 2 Hash
test_ok "a sha256sum -b list (Korvane's layout, lower-case digits) verifies with plain 7z t" "$dir/tree" \
    binary.sha256 2 SHA-256
printf 'abd' >"$dir/tree/abc.txt"
test_fails "the sha256sum list finds a changed file" "$dir/tree" list.sha256 'ERROR: CRC Failed : abc.txt'
test_fails "the sha256sum -b list finds a changed file" "$dir/tree" binary.sha256 'ERROR: CRC Failed : abc.txt'

head -c 4096 /dev/urandom >"$dir/x.sha256"
rc=0
run7z "$dir" t x.sha256 || rc=$?
if [[ $rc -ne 0 ]] && ! said "Everything is Ok"; then
    korvane_pass "random bytes named x.sha256 do not pass 7z t (exit $rc)"
else
    korvane_fail "random bytes named x.sha256 do not pass 7z t" "exit code $rc" "$(last_output)"
fi

dir="$data/SHA-256-mc=ANSI"
rc=0
run7z "$dir" x -oout list.sha256 || rc=$?
if [[ $rc -ne 0 && ! -e "$dir/out/tree" ]]; then
    korvane_pass "7z x of a list is refused (exit $rc) and writes no file"
else
    korvane_fail "7z x of a list is refused" "exit code $rc" "$(last_output)"
fi

korvane_wine_keeper_stop
echo "host-lists.sh took $((SECONDS - started)) s"
korvane_results_end
