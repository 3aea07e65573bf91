#!/usr/bin/env bash
# End-to-end checks that no list holds a name it can't give back: 7-Zip
# 26.03 for Windows under Wine (ANSI code page 1252), in the DLL's width, with
# the sample Korvane.ini.
#  - a name that the ANSI code page can't hold (CJK, an emoji) or holds only
#    as a look-alike (Windows' best fit makes "Łódź" "Lódz" and a fullwidth
#    reverse solidus "\") ends `7z a` with exit code 2 and "No mapping for the
#    Unicode character" (Wine words it "No Unicode translation."): by default,
#    with -mc=ANSI, in an SFV, onto an ANSI list that a Windows tool wrote,
#    and renamed into one with `7z rn`; the last "+" line at -bb1 names the
#    file, also when large files before it are still being hashed;
#  - no new list is left, an old list keeps every byte;
#  - with -mc=UTF8- the same names verify with sha256sum -c, and with either
#    UTF-8 choice with a plain `7z t`; names that fit are written in ANSI.
# Usage: tests/host/codepages.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
ini="$(dirname "$dll")/Korvane.ini"
[[ -f "$ini" ]] || ini="$KORVANE_DIST/Korvane.ini"
data="$(korvane_e2e_data host-codepages "$dll")"
started=$SECONDS
# UTF-8 file names and code page 1252 in Wine, whatever the caller's locale.
export LC_ALL=C.UTF-8

korvane_results_begin
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$ini"
rm -rf "$data"
mkdir -p "$data/d"
trap korvane_wine_keeper_stop EXIT
korvane_wine_keeper_start "$data" || echo "note: no Wine program keeps the server up; each 7z call waits for it"

d="$data/d"
printf 'a' >"$d/Ärger.txt"
printf 'b' >"$d/日本.txt"
printf 'c' >"$d/plain.txt"
printf 'd' >"$d/Łódź.txt"
printf 'e' >"$d/Lodz.txt"
printf 'f' >"$d/😀.txt"
printf 'g' >"$d/a＼b.txt"
printf 'abc' >"$d/café.txt"
# Large files around a name that doesn't fit, so that several are hashed at once.
korvane_large_file "$d/a-big.bin" 3
korvane_large_file "$d/b-日本.bin" 3
korvane_large_file "$d/c-big.bin" 3
# An ANSI list as Windows tools write it: Windows-1252, CRLF.
printf '900150983cd24fb0d6963f7d28e17f72 *caf\xe9.txt\r\n' >"$data/windows.md5"

# run7z ARGS...: 7z in the folder, its console in UTF-8; output in $data/last.txt.
run7z() {
    (cd "$d" && korvane_7z -sccUTF-8 "$@") >"$data/last.txt"
}
last_output() {
    sed 's/^/  | /' "$data/last.txt" | tail -n 20
}
refused_for_the_name() {
    grep -qx 'System ERROR:' "$data/last.txt" &&
        grep -qE '^(No Unicode translation\.|No mapping for the Unicode character exists in the target multi-byte code page\.)$' \
            "$data/last.txt" && ! grep -q 'Everything is Ok' "$data/last.txt"
}

# refused WHAT NAME LIST ARGS...: `7z ARGS` exits with 2 and the error, the
# last "+" line names NAME (unless NAME is "-", for a rename, where 7-Zip
# shows none); LIST is not left behind or, if it was there, keeps its bytes.
refused() {
    local what="$1" name="$2" list="$3" rc=0 before="" last
    shift 3
    [[ -f "$d/$list" ]] && before="$(od -An -v -tx1 "$d/$list")"
    run7z "$@" || rc=$?
    last="$(grep '^+ ' "$data/last.txt" | tail -n 1)"
    if [[ $rc -ne 2 ]] || ! refused_for_the_name; then
        korvane_fail "$what: exit code 2 and no mapping for the Unicode character" "exit code $rc" "$(last_output)"
    elif [[ "$name" != - && "$last" != "+ $name" ]]; then
        korvane_fail "$what: the last + line names $name" "it is: $last" "$(last_output)"
    elif [[ -z "$before" && -e "$d/$list" ]]; then
        korvane_fail "$what: no list is left" "$(od -c "$d/$list" | head -n 5)"
    elif [[ -n "$before" && "$(od -An -v -tx1 "$d/$list")" != "$before" ]]; then
        korvane_fail "$what: the old list keeps every byte" "$(od -c "$d/$list" | head -n 5)"
    elif [[ -n "$(find "$d" -name '*.tmp*')" ]]; then
        korvane_fail "$what: no temporary file is left" "$(find "$d" -name '*.tmp*')"
    else
        local kept="no list is left"
        [[ -n "$before" ]] && kept="the old list keeps every byte"
        [[ "$name" != - ]] && kept="the last + line names it, $kept"
        korvane_pass "$what: exit code 2 and the error, $kept"
    fi
}

# --- names that don't fit the ANSI code page ----------------------------------

for name in 日本.txt 😀.txt Łódź.txt a＼b.txt; do
    refused "7z a new.sha256 plain.txt Ärger.txt $name (the default code page)" "$name" new.sha256 \
        a -bb1 new.sha256 plain.txt Ärger.txt "$name"
done
# Best fit would write "Lódz.txt", a file that exists: the list would check it.
refused "7z a -mc=ANSI with Lodz.txt beside Łódź.txt" Łódź.txt new.sha256 a -bb1 -mc=ANSI new.sha256 Lodz.txt Łódź.txt
refused "7z a -tCRC32 new.sfv 日本.txt" 日本.txt new.sfv a -bb1 -tCRC32 new.sfv plain.txt 日本.txt
refused "7z a -mmt=2: the name between large files" b-日本.bin new.md5 \
    a -bb1 -mmt=2 new.md5 a-big.bin b-日本.bin c-big.bin
for name in 日本.txt Łódź.txt; do
    cp "$data/windows.md5" "$d/windows.md5"
    refused "7z a windows.md5 $name onto a Windows-1252 list" "$name" windows.md5 a -bb1 windows.md5 "$name"
done
cp "$data/windows.md5" "$d/windows.md5"
refused "7z rn windows.md5 café.txt 日本.txt" - windows.md5 rn windows.md5 café.txt 日本.txt

# --- names that fit -----------------------------------------------------------

names=(Ärger.txt 日本.txt plain.txt Łódź.txt Lodz.txt 😀.txt a＼b.txt café.txt)
rc=0
run7z a -mc=UTF8- -mlb=LF utf8.sha256 "${names[@]}" || rc=$?
if [[ $rc -eq 0 ]] && (cd "$d" && sha256sum -c --strict --quiet utf8.sha256) >"$data/sha256sum.txt" 2>&1 &&
    [[ "$(wc -l <"$d/utf8.sha256")" -eq ${#names[@]} ]]; then
    korvane_pass "7z a -mc=UTF8- -mlb=LF of every name: sha256sum -c verifies all ${#names[@]}"
else
    korvane_fail "7z a -mc=UTF8- -mlb=LF of every name: sha256sum -c verifies them" "exit code $rc" \
        "$(last_output)" "$(sed 's/^/  | /' "$data/sha256sum.txt")"
fi
for mc in UTF8 UTF8-; do
    rm -f "$d/t.sha256"
    rc=0
    run7z a "-mc=$mc" t.sha256 "${names[@]}" && run7z t t.sha256 || rc=$?
    if [[ $rc -eq 0 ]] && grep -qx "Files: ${#names[@]}" "$data/last.txt"; then
        korvane_pass "7z a -mc=$mc of every name, then plain 7z t: all ${#names[@]} files checked"
    else
        korvane_fail "7z a -mc=$mc of every name, then plain 7z t" "exit code $rc" "$(last_output)"
    fi
done
# In ANSI, what fits is written in Windows-1252, byte for byte as before.
rc=0
run7z a ansi.sha256 Ärger.txt café.txt plain.txt || rc=$?
expected="$(cd "$d" && sha256sum Ärger.txt café.txt plain.txt | sort -k2 |
    awk '{ printf "%s *%s\r\n", toupper($1), $2 }' | iconv -f UTF-8 -t WINDOWS-1252 | od -An -v -tx1)"
if [[ $rc -eq 0 ]] && [[ "$(od -An -v -tx1 "$d/ansi.sha256")" == "$expected" ]] && run7z t ansi.sha256; then
    korvane_pass "7z a of names that fit: Windows-1252 bytes as coreutils' digests give them, and 7z t verifies"
else
    korvane_fail "7z a of names that fit: Windows-1252 bytes" "exit code $rc" "$(od -c "$d/ansi.sha256" | head)"
fi

echo "host-codepages.sh took $((SECONDS - started)) s"
korvane_results_end
