#!/usr/bin/env bash
# End-to-end checks that 7-Zip with Korvane reads and adds to the lists that
# checksum tools write: 7-Zip 26.03 for Windows under Wine with the DLL
# (Korvane.64.dll in 64-bit 7-Zip or Korvane.32.dll in 32-bit 7-Zip: its
# width chooses) and the sample Korvane.ini. The lists are made by the tools
# installed from Debian (coreutils, rhash, cksfv, md5deep) over a tree with a
# subfolder, a name with spaces, a name outside ASCII and an empty file, and
# byte for byte in the styles of common Windows checksum tools. For each:
#  - plain `7z t` opens it with Korvane's format, exits 0 and counts every file;
#  - a changed file gives exit code 2 and names the file;
#  - `7z l` shows the paths with "\" between folders;
#  - `7z a` of one more file keeps every old byte and adds one line, which the
#    tool that wrote the list still verifies;
#  - where 7-Zip alone (a second 7-Zip without Korvane) reads the list, 7-Zip
#    with Korvane gives the same verdict, on intact and on changed files.
# And a list of blank lines only fails `7z t`, while `7z a` onto it works.
# Usage: tests/host/dialects.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
ini="$(dirname "$dll")/Korvane.ini"
[[ -f "$ini" ]] || ini="$KORVANE_DIST/Korvane.ini"
data="$(korvane_e2e_data host-dialects "$dll")"
# 7-Zip without Korvane, of the same width: the same 7z.exe and 7z.dll, an
# empty Codecs folder.
alone="$(korvane_e2e_data 7zip-alone "$dll")"
started=$SECONDS
export LC_ALL=C.UTF-8

korvane_results_begin
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$ini"
mkdir -p "$alone/Codecs"
rm -f "$alone/Codecs"/*
cp -u "$KORVANE_7ZIP_DIR/7z.exe" "$KORVANE_7ZIP_DIR/7z.dll" "$alone/"
rm -rf "$data"
mkdir -p "$data"
trap korvane_wine_keeper_stop EXIT
korvane_wine_keeper_start "$data" || echo "note: no Wine program keeps the server up; each 7z call waits for it"

tree="$data/tree"
mkdir -p "$tree/sub"
printf 'abc' >"$tree/a.txt"
: >"$tree/empty.txt"
printf 'deep\n' >"$tree/sub/deep.txt"
printf 'two words\n' >"$tree/with space.txt"
printf 'beetle\n' >"$tree/жук.txt"
printf 'more' >"$data/more.txt"
files=(a.txt empty.txt sub/deep.txt "with space.txt" жук.txt)
n=${#files[@]}

# run7z ARGS...: 7z with Korvane in the tree, output in $data/last.txt.
run7z() {
    (cd "$tree" && korvane_7z "$@") >"$data/last.txt"
}
# run7z_alone ARGS...: the same with 7-Zip alone, output in $data/alone.txt.
run7z_alone() {
    (cd "$tree" && KORVANE_7ZIP_DIR="$alone" korvane_7z "$@") >"$data/alone.txt"
}
last_output() {
    sed 's/^/  | /' "$data/last.txt" | tail -n 20
}
said() {
    grep -qF -x -- "$1" "$data/last.txt"
}

# --- the lists: NAME EXT TYPE VERIFY MAKE -----------------------------------------
# make_<name> writes the list into the tree from there; verify_<kind> LIST
# checks the tree against it with the tool that wrote it (0: every file is OK).

verify_sha256sum() { sha256sum -c --quiet "$1" >/dev/null 2>&1; }
verify_md5sum() { md5sum -c --quiet "$1" >/dev/null 2>&1; }
verify_sha1sum() { sha1sum -c --quiet "$1" >/dev/null 2>&1; }
verify_sha512sum() { sha512sum -c --quiet "$1" >/dev/null 2>&1; }
verify_rhash() { rhash -c --skip-ok "$1" >/dev/null 2>&1; }
verify_cksfv() { cksfv -q -f "$1" >/dev/null 2>&1; }
# md5deep -X prints the files that match no digest of the list.
verify_md5deep() {
    local out
    out="$(md5deep -rl -X "$1" . 2>/dev/null)"
    [[ $? -le 1 ]] && ! grep -q -v -E '\.(md5|sha1|sha256|sha512|sfv)$' <<<"$out"
}
# No tool here reads UTF-16: the list as UTF-8 for sha256sum.
verify_utf16() { iconv -f UTF-16 -t UTF-8 "$1" | tr -d '\r' | sha256sum -c --quiet >/dev/null 2>&1; }

make_list() {
    local name="$1" list="$2" f
    case "$name" in
        sha256sum) sha256sum "${files[@]}" ;;
        sha256sum-tag) sha256sum --tag "${files[@]}" ;;
        sha256sum-b) sha256sum -b "${files[@]}" ;;
        md5sum) md5sum "${files[@]}" ;;
        md5sum-tag) md5sum --tag "${files[@]}" ;;
        sha1sum) sha1sum "${files[@]}" ;;
        sha512sum-tag) sha512sum --tag "${files[@]}" ;;
        md5deep) md5deep -rl a.txt empty.txt sub "with space.txt" жук.txt ;;
        rhash-sfv) rhash --sfv "${files[@]}" ;;
        rhash-sfv-md5) rhash --sfv --md5 "${files[@]}" ;;
        rhash-bsd-sha256) rhash --bsd --sha256 "${files[@]}" ;;
        rhash-bsd-md5) rhash --bsd --md5 "${files[@]}" ;;
        rhash-bsd-sha1) rhash --bsd --sha1 "${files[@]}" ;;
        rhash-simple-sha256) rhash --simple --sha256 "${files[@]}" ;;
        rhash-simple-crc32) rhash --simple --crc32 "${files[@]}" ;;
        cksfv) cksfv "${files[@]}" ;;
        # A Windows SFV tool: names padded to one column, lower-case digits, CRLF.
        sfv-padded)
            printf '; Generated by an SFV tool for Windows\r\n'
            for f in "${files[@]}"; do
                printf '%-20s %s\r\n' "${f//\//\\}" "$(rhash --simple --crc32 "$f" | cut -d' ' -f1)"
            done ;;
        # Three "#" lines at the top and one before each entry; binary marks; CRLF.
        md5-hash-banner)
            printf '#\r\n# MD5 checksums generated by a Windows tool\r\n#\r\n'
            for f in "${files[@]}"; do
                printf '#%s\r\n%s *%s\r\n' "$f" "$(md5sum <"$f" | cut -d' ' -f1)" "$f"
            done ;;
        # ";" banner lines, then "digest *name".
        sha256-semicolon-banner)
            printf '; Generated by a Windows checksum tool\n; 5 files\n'
            sha256sum -b "${files[@]}" ;;
        # UTF-16LE with its byte-order mark, CRLF.
        sha256-utf16)
            printf '\xFF\xFE'
            sha256sum -b "${files[@]}" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE ;;
        # FreeBSD md5 -r: one space.
        md5-one-space) md5sum "${files[@]}" | sed 's/^\([0-9a-f]*\)  /\1 /' ;;
        # A PGP clear-signed list (the signature is not checked by anyone).
        sha256-pgp)
            printf -- '-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n'
            sha256sum "${files[@]}"
            printf -- '-----BEGIN PGP SIGNATURE-----\n\niQEzBAEBCAAdFiEE\n=AbCd\n-----END PGP SIGNATURE-----\n' ;;
        # FileVerifier++'s "; " first line.
        sha1-fvpp)
            printf '; FileVerifier++ 0.6.3.5830 (SHA-1)\r\n'
            sha1sum "${files[@]}" | sed 's/$/\r/' ;;
    esac >"$list"
}

# name ext Korvane's type verify [can-add]
lists=(
    "sha256sum sha256 SHA-256 sha256sum add"
    "sha256sum-tag sha256 SHA-256 sha256sum add"
    "sha256sum-b sha256 SHA-256 sha256sum add"
    "md5sum md5 MD5 md5sum add"
    "md5sum-tag md5 MD5 md5sum add"
    "sha1sum sha1 SHA-1 sha1sum add"
    "sha512sum-tag sha512 SHA-512 sha512sum add"
    "md5deep md5 MD5 md5deep add"
    "rhash-sfv sfv CRC32 rhash add"
    "rhash-sfv-md5 md5 MD5 rhash add"
    "rhash-bsd-sha256 sha256 SHA-256 rhash add"
    "rhash-bsd-md5 md5 MD5 rhash add"
    "rhash-bsd-sha1 sha1 SHA-1 rhash add"
    "rhash-simple-sha256 sha256 SHA-256 rhash add"
    "rhash-simple-crc32 sfv CRC32 rhash add"
    "cksfv sfv CRC32 cksfv add"
    "sfv-padded sfv CRC32 rhash add"
    "md5-hash-banner md5 MD5 md5sum add"
    "sha256-semicolon-banner sha256 SHA-256 rhash add"
    "sha256-utf16 sha256 SHA-256 utf16 add"
    "md5-one-space md5 MD5 rhash add"
    "sha256-pgp sha256 SHA-256 sha256sum -"
    "sha1-fvpp sha1 SHA-1 sha1sum add"
)

# same_verdict WHAT LIST: where 7-Zip alone opens LIST, 7-Zip with Korvane
# exits alike and counts the same files.
same_verdict() {
    local what="$1" list="$2" rc=0 rc_alone=0
    run7z_alone t "$list" || rc_alone=$?
    grep -qF 'Cannot open the file as' "$data/alone.txt" && return 0
    run7z t "$list" || rc=$?
    local files_alone files_korvane
    files_alone="$(grep -E '^(Files|Sub items Errors): ' "$data/alone.txt")"
    files_korvane="$(grep -E '^(Files|Sub items Errors): ' "$data/last.txt")"
    if [[ $rc -eq $rc_alone && "$files_alone" == "$files_korvane" ]]; then
        korvane_pass "$what: the same verdict as 7-Zip alone (exit $rc)"
    else
        korvane_fail "$what: the same verdict as 7-Zip alone" "alone: exit $rc_alone, $files_alone" \
            "with Korvane: exit $rc, $files_korvane" "$(last_output)"
    fi
}

# without_more FILE: the file's text without the lines that name more.txt.
without_more() {
    if [[ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" == fffe ]]; then
        iconv -f UTF-16LE -t UTF-8 "$1" | grep -v -F more.txt | iconv -f UTF-8 -t UTF-16LE
    else
        grep -a -v -F more.txt "$1"
    fi
}

for entry in "${lists[@]}"; do
    read -r name ext type verify add <<<"$entry"
    list="$name.$ext"
    (cd "$tree" && make_list "$name" "$list")
    if ! (cd "$tree" && "verify_$verify" "$list"); then
        korvane_fail "$name: the tool verifies its own list" "$(cat -A "$tree/$list" | head -n 5)"
        continue
    fi

    rc=0
    run7z t "$list" || rc=$?
    if [[ $rc -eq 0 ]] && said "Type = $type" && said "Files: $n" && said "Everything is Ok"; then
        korvane_pass "$name: plain 7z t opens it as $type, exit 0, all $n files checked"
    else
        korvane_fail "$name: plain 7z t opens it as $type, exit 0, all $n files checked" "exit code $rc" \
            "$(last_output)"
    fi
    same_verdict "$name" "$list"

    printf 'abd' >"$tree/a.txt"
    rc=0
    run7z t "$list" || rc=$?
    if [[ $rc -eq 2 ]] && grep -qF 'ERROR: CRC Failed : a.txt' "$data/last.txt"; then
        korvane_pass "$name: a changed file gives exit 2 naming it"
    else
        korvane_fail "$name: a changed file gives exit 2 naming it" "exit code $rc" "$(last_output)"
    fi
    same_verdict "$name, a changed file" "$list"
    printf 'abc' >"$tree/a.txt"

    rc=0
    run7z l -sccUTF-8 "$list" || rc=$?
    if [[ $rc -eq 0 ]] && grep -q ' sub\\deep\.txt$' "$data/last.txt" && ! grep -q 'sub/deep' "$data/last.txt"; then
        korvane_pass "$name: 7z l shows sub\\deep.txt"
    else
        korvane_fail "$name: 7z l shows sub\\deep.txt" "exit code $rc" "$(last_output)"
    fi

    [[ "$add" == add ]] || continue
    cp "$tree/$list" "$data/before"
    cp "$data/more.txt" "$tree/more.txt"
    rc=0
    run7z a "$list" more.txt || rc=$?
    if [[ $rc -eq 0 ]] && cmp -s <(without_more "$tree/$list") "$data/before" &&
        [[ "$(without_more "$tree/$list" | wc -c)" -lt "$(wc -c <"$tree/$list")" ]]; then
        korvane_pass "$name: 7z a of one more file keeps every old byte and adds a line"
    else
        korvane_fail "$name: 7z a of one more file keeps every old byte and adds a line" "exit code $rc" \
            "$(last_output)" "$(diff <(cat -A "$data/before") <(cat -A "$tree/$list") | head -n 8)"
    fi
    if [[ "$(without_more "$tree/$list" | wc -c)" -lt "$(wc -c <"$tree/$list")" ]] &&
        (cd "$tree" && "verify_$verify" "$list"); then
        korvane_pass "$name: the grown list still verifies with the tool that wrote it"
    else
        korvane_fail "$name: the grown list still verifies with the tool that wrote it" \
            "$(cat -A "$tree/$list" | tail -n 3)"
    fi
    rm -f "$tree/more.txt" "$tree/$list"
done

# --- a list that names no file ----------------------------------------------------

# Empty lines (LF), and CRLF lines with blanks: the list must be read (not
# left to 7-Zip's own format, which can't open the second) and then fail.
for blank in '\n\n\n' '\r\n \t\r\n\r\n'; do
    printf '%b' "$blank" >"$tree/blank.sha256"
    what="a list of blank lines only ($blank)"
    rc=0
    run7z t blank.sha256 || rc=$?
    if [[ $rc -ne 0 ]] && said "Type = SHA-256" && ! said "Everything is Ok"; then
        korvane_pass "$what fails 7z t (exit $rc)"
    else
        korvane_fail "$what fails 7z t, opened as SHA-256" "exit code $rc" "$(last_output)"
    fi
    rc=0
    run7z a blank.sha256 a.txt || rc=$?
    if [[ $rc -eq 0 ]] && grep -a -q 'a\.txt' "$tree/blank.sha256" &&
        (cd "$tree" && sha256sum -c --quiet blank.sha256 >/dev/null 2>&1); then
        korvane_pass "7z a onto $what works, and sha256sum verifies the result"
    else
        korvane_fail "7z a onto $what works" "exit code $rc" "$(last_output)" "$(cat -A "$tree/blank.sha256")"
    fi
done

korvane_wine_keeper_stop
echo "dialects.sh took $((SECONDS - started)) s"
korvane_results_end
