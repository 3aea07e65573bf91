#!/usr/bin/env bash
# End-to-end checks of Korvane's hash-list formats with the real host: 7-Zip
# 26.03 for Windows under Wine, with the DLL (Korvane.64.dll in 64-bit 7-Zip
# or Korvane.32.dll in 32-bit 7-Zip: its width chooses) and the sample
# Korvane.ini (formats MD5, SHA-1, SHA-256, SHA-512 and CRC32) in its Codecs
# folder.
#  - `7z i` lists the formats with their names and extensions;
#  - `7z a -t<format>` over a tree with nested folders, an empty folder, an
#    empty file, a file of several MiB and names outside ASCII, with the
#    options -mc, -mf and -mlb: the lists are compared byte for byte with
#    lists built here from the digests of coreutils and gzip, and verified
#    with md5sum/sha1sum/sha256sum/sha512sum -c and `7z t -thash`;
#  - which handler 7-Zip takes for the extensions that its own "Hash" format
#    claims too, when creating and when testing a list, and that an update
#    of an existing list keeps its lines;
#  - a file that another program holds open without sharing;
#  - other [Create] entries: a hasher of 7-Zip's own, a value without an
#    extension, an empty line format, a name that no hasher has.
# Usage: tests/host/formats.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
# Korvane.ini is taken from beside the DLL (from dist/ if it isn't there).
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
ini="$(dirname "$dll")/Korvane.ini"
[[ -f "$ini" ]] || ini="$KORVANE_DIST/Korvane.ini"
data="$(korvane_e2e_data host-formats "$dll")"
work="$data/work"
expected="$data/expected"
started=$SECONDS

# Wine takes the ANSI code page and the encoding of Unix file names from the
# locale: UTF-8 names and code page 1252, whatever the caller's locale is.
export LC_ALL=C.UTF-8

korvane_results_begin

if [[ ! -f "$ini" ]]; then
    korvane_fail "Korvane.ini exists beside the DLL or in dist/" "missing: $ini"
    korvane_results_end
    exit
fi
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$ini"

# --- test data --------------------------------------------------------------
# The tree's files in the order 7-Zip hands them to the handler (it sorts the
# paths; folders get no line). On disk with "/", in the lists with "\".
TREE_DISK=(abc.txt empty.txt sub/big.bin sub/café.txt sub/deeper/Ärger.txt "sub/with space.txt")
# The same paths as code page 1252 writes them: é is the byte E9, Ä C4.
# (Names that it can't hold end the update: tests/host/codepages.sh.)
TREE_ANSI=('tree\abc.txt' 'tree\empty.txt' 'tree\sub\big.bin' $'tree\\sub\\caf\xE9.txt'
           $'tree\\sub\\deeper\\\xC4rger.txt' 'tree\sub\with space.txt')
TREE_COUNT=${#TREE_DISK[@]}

rm -rf "$data"
mkdir -p "$work/tree/sub/deeper" "$work/tree/emptydir" "$expected"
printf 'abc' >"$work/tree/abc.txt"
: >"$work/tree/empty.txt"
printf 'café' >"$work/tree/sub/café.txt"
printf 'anger\n' >"$work/tree/sub/deeper/Ärger.txt"
printf 'two words\n' >"$work/tree/sub/with space.txt"
# Several MiB, so that data comes in several 1 MiB reads and a partial one.
korvane_large_file "$work/tree/sub/big.bin"

# reference_digest ALG FILE: the digest in upper-case hex, from coreutils
# (md5, sha1, sha256, sha512) or, for crc32, from gzip, whose trailer holds
# the CRC-32 of the data (little-endian).
reference_digest() {
    case "$1" in
        crc32) gzip -c <"$2" | tail -c 8 | head -c 4 | od -An -v -tx1 |
                   awk '{ print $4 $3 $2 $1 }' ;;
        *) "${1}sum" <"$2" | cut -d' ' -f1 ;;
    esac | tr a-f A-F
}

declare -A DIGESTS
for alg in md5 sha1 sha256 sha512 crc32; do
    for i in "${!TREE_DISK[@]}"; do
        DIGESTS[$alg/$i]="$(reference_digest "$alg" "$work/tree/${TREE_DISK[i]}")"
    done
done

# expected_list FILE ALG NAME ENCODING LINEBREAK LAYOUT: writes the list that
# an update of the whole tree should give.
#   ENCODING: ansi (code page 1252), utf8 (EF BB BF first) or utf8-;
#   LINEBREAK: the bytes after each line;
#   LAYOUT: star ("<digest> *<path>"), plain ("<path> <digest>") or
#           tag ("<NAME> (<path>) = <digest>").
expected_list() {
    local out="$1" alg="$2" name="$3" encoding="$4" linebreak="$5" layout="$6" i path digest
    {
        if [[ "$encoding" == utf8 ]]; then
            printf '\xEF\xBB\xBF'
        fi
        for i in "${!TREE_DISK[@]}"; do
            if [[ "$encoding" == ansi ]]; then
                path="${TREE_ANSI[i]}"
            else
                path="tree/${TREE_DISK[i]}"
                path="${path//\//\\}"
            fi
            digest="${DIGESTS[$alg/$i]}"
            case "$layout" in
                star) printf '%s *%s%s' "$digest" "$path" "$linebreak" ;;
                plain) printf '%s %s%s' "$path" "$digest" "$linebreak" ;;
                tag) printf '%s (%s) = %s%s' "$name" "$path" "$digest" "$linebreak" ;;
            esac
        done
    } >"$out"
}

CRLF=$'\r\n'
for f in MD5:md5 SHA-1:sha1 SHA-256:sha256 SHA-512:sha512; do
    name="${f%%:*}" alg="${f#*:}"
    expected_list "$expected/$alg.ansi" "$alg" "$name" ansi "$CRLF" star
    expected_list "$expected/$alg.utf8-" "$alg" "$name" utf8- "$CRLF" star
done
expected_list "$expected/crc32.ansi" crc32 CRC32 ansi "$CRLF" plain
expected_list "$expected/crc32.utf8-" crc32 CRC32 utf8- "$CRLF" plain

# --- running the host -------------------------------------------------------

# One Wine program keeps the server up for the whole script
# (korvane_wine_keeper_start); holdfile.exe also holds files in section 5.
# Wine programs started here in the background, by process id.
wine_pids=()
stop_wine_programs() {
    local pid
    for pid in "${wine_pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    wine_pids=()
    korvane_wine_keeper_stop
}
trap stop_wine_programs EXIT

# start_holdfile DIR FILE SECONDS OUTPUT: runs holdfile.exe in DIR on FILE
# (Windows path relative to DIR) in the background; sets holder_pid.
start_holdfile() {
    (cd "$1" && exec "$KORVANE_WINE" "$holdfile_exe" "$2" "$3") </dev/null >"$4" 2>&1 &
    holder_pid=$!
    wine_pids+=("$holder_pid")
}

# stop_holder: ends the holdfile.exe started last.
stop_holder() {
    kill "$holder_pid" 2>/dev/null
    wait "$holder_pid" 2>/dev/null
}

# wait_for_lock PID OUTPUT: waits (up to 10 s) until holdfile.exe says it
# holds its file.
wait_for_lock() {
    local _
    for _ in $(seq 100); do
        grep -q '^locked' "$2" 2>/dev/null && return 0
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^locked' "$2" 2>/dev/null
}

korvane_wine_keeper_start "$data" || true
holdfile_exe="$KORVANE_HOLDFILE_EXE"

# host7z_in DIR ARGS...: runs 7z in DIR; its output goes to $data/last-7z.txt.
host7z_in() {
    local dir="$1"
    shift
    (cd "$dir" && korvane_7z "$@") >"$data/last-7z.txt"
}

host7z() {
    host7z_in "$work" "$@"
}

last_output() {
    sed 's/^/  | /' "$data/last-7z.txt" | tail -n 25
}

# show_bytes FILE: the first lines of FILE with control and non-ASCII bytes
# made visible.
show_bytes() {
    cat -A "$1" | head -n 8 | sed 's/^/  | /'
}

# list_check DESCRIPTION EXPECTED LIST [7Z-OPTIONS...] [--keep] [--inputs
# FILES...]: runs `7z a 7Z-OPTIONS... LIST FILES...` in the work folder (FILES
# is tree unless given; an existing LIST is removed first unless --keep) and
# compares LIST with EXPECTED byte for byte.
list_check() {
    local what="$1" want="$2" list="$3" rc=0 keep="" options=() inputs=(tree)
    shift 3
    while [[ $# -gt 0 ]]; do
        case "$1" in
            --keep) keep=1 ;;
            --inputs) shift; inputs=("$@"); break ;;
            *) options+=("$1") ;;
        esac
        shift
    done
    [[ -n "$keep" ]] || rm -f "$work/$list"
    host7z a "${options[@]}" "$list" "${inputs[@]}" || rc=$?
    if [[ $rc -ne 0 || ! -f "$work/$list" ]]; then
        korvane_fail "$what" "7z a ${options[*]} $list ${inputs[*]}: exit code $rc" "$(last_output)"
    elif cmp -s "$want" "$work/$list"; then
        korvane_pass "$what"
    else
        local want_lines list_lines
        mapfile -t want_lines < <(show_bytes "$want")
        mapfile -t list_lines < <(show_bytes "$work/$list")
        korvane_fail "$what" "$(cmp "$want" "$work/$list" 2>&1)" \
            "expected:" "${want_lines[@]}" "actual:" "${list_lines[@]}"
    fi
}

# unix_list LIST [cr]: LIST as coreutils reads it, in LIST.unix: no
# byte-order mark, "\n" after each line, "/" between folders. "cr" is for a
# list whose lines end in CR alone.
unix_list() {
    if [[ "${2:-}" == cr ]]; then
        tr '\r' '\n' <"$work/$1"
    else
        tr -d '\r' <"$work/$1"
    fi | LC_ALL=C sed -e '1s/^\xEF\xBB\xBF//' -e 's#\\#/#g' >"$work/$1.unix"
}

# coreutils_check DESCRIPTION TOOL LIST [cr]: `TOOL -c --strict` on the list
# (made readable by unix_list) reports every file of the tree OK.
coreutils_check() {
    local what="$1" tool="$2" list="$3" out rc=0 ok
    unix_list "$list" "${4:-}"
    out="$(cd "$work" && "$tool" -c --strict "$list.unix" 2>&1)" || rc=$?
    ok="$(grep -c ': OK$' <<<"$out")"
    if [[ $rc -eq 0 && "$ok" -eq $TREE_COUNT ]]; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "$tool -c --strict: exit code $rc, $ok of $TREE_COUNT files OK" \
            "$(sed 's/^/  | /' <<<"$out" | tail -n 12)"
    fi
}

# thash_check DESCRIPTION LIST: 7-Zip's own hash-list checker verifies every
# file of the tree.
thash_check() {
    local what="$1" list="$2" rc=0
    host7z t -thash "$list" || rc=$?
    if [[ $rc -eq 0 ]] && grep -q '^Type = Hash$' "$data/last-7z.txt" &&
        grep -q "^Files: $TREE_COUNT\$" "$data/last-7z.txt" &&
        grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "7z t -thash $list: exit code $rc" "$(last_output)"
    fi
}

# thash_refuses DESCRIPTION LIST: 7-Zip's checker can't open the list (or
# finds none of its files) and says so with exit code 2.
thash_refuses() {
    local what="$1" list="$2" rc=0
    host7z t -thash "$list" || rc=$?
    if [[ $rc -eq 2 ]] && ! grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "7z t -thash $list: exit code $rc" "$(last_output)"
    fi
}

# invalid_option DESCRIPTION OPTION: 7-Zip rejects the option with exit code
# 2 and "Invalid parameter", and leaves no list.
invalid_option() {
    local what="$1" rc=0
    rm -f "$work/invalid.sha256"
    host7z a -tSHA-256 "$2" invalid.sha256 tree || rc=$?
    if [[ $rc -eq 2 ]] && grep -q '^Invalid parameter\.$' "$data/last-7z.txt" &&
        [[ ! -e "$work/invalid.sha256" ]]; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "exit code $rc; list left: $([[ -e "$work/invalid.sha256" ]] && echo yes || echo no)" \
            "$(last_output)"
    fi
}

# --- 1. the formats as 7-Zip lists them ---------------------------------------

korvane_7z i >"$data/last-7z-i.txt"
formats="$(awk '
    /^Formats:/ { section = 1; next }
    section && /^[[:space:]]*$/ { section = 0 }
    section && $1 == "1" { print $3, $4 }
' "$data/last-7z-i.txt")"
korvane_check "7z i lists Korvane's formats (library 1) with their extensions" \
    "CRC32 sfv|MD5 md5|SHA-1 sha1|SHA-256 sha256|SHA-512 sha512" \
    "$(sort <<<"$formats" | paste -sd '|')"
flags="$(awk '
    /^Formats:/ { section = 1; next }
    section && /^[[:space:]]*$/ { section = 0 }
    section && $1 == "1" { print substr($2, 1, 1) }
' "$data/last-7z-i.txt" | sort -u | paste -sd ' ')"
korvane_check "7z i shows every Korvane format as updatable (flag C)" "C" "$flags"
# 7-Zip's own "Hash" format (no library number) claims four of the same
# extensions; the findings of section 4 are about that.
hash_exts="$(awk '
    /^Formats:/ { section = 1; next }
    section && /^[[:space:]]*$/ { section = 0 }
    section && $2 == "Hash" { for (i = 3; i <= NF; i++) print $i }
' "$data/last-7z-i.txt" | grep -xE 'md5|sha1|sha256|sha512|sfv' | sort | paste -sd ' ')"
korvane_check "7-Zip's own Hash format claims md5, sha1, sha256 and sha512, not sfv" \
    "md5 sha1 sha256 sha512" "$hash_exts"

# --- 2. each format with its defaults: ANSI, CRLF, the ini's line format -----

list_check "7z a -tMD5: list byte for byte" "$expected/md5.ansi" l.md5 -tMD5
list_check "7z a -tSHA-1: list byte for byte" "$expected/sha1.ansi" l.sha1 -tSHA-1
list_check "7z a -tSHA-256: list byte for byte" "$expected/sha256.ansi" l.sha256 -tSHA-256
list_check "7z a -tSHA-512: list byte for byte" "$expected/sha512.ansi" l.sha512 -tSHA-512
list_check "7z a -tCRC32: SFV list byte for byte (CRC-32 as gzip computes it)" \
    "$expected/crc32.ansi" l.sfv -tCRC32

# --- 3. options ---------------------------------------------------------------

# -mc: code page.
list_check "7z a -tSHA-256 -mc=ANSI: same bytes as the default" "$expected/sha256.ansi" a.sha256 -tSHA-256 -mc=ANSI
list_check "7z a -tSHA-256 -mc=0: same bytes as -mc=ANSI" "$expected/sha256.ansi" n0.sha256 -tSHA-256 -mc=0

for f in MD5:md5 SHA-1:sha1 SHA-256:sha256 SHA-512:sha512; do
    name="${f%%:*}" alg="${f#*:}"
    list_check "7z a -t$name -mc=UTF8-: list byte for byte" "$expected/$alg.utf8-" "u.$alg" "-t$name" -mc=UTF8-
    coreutils_check "${alg}sum -c --strict verifies the -t$name -mc=UTF8- list" "${alg}sum" "u.$alg"
    thash_check "7z t -thash verifies the -t$name -mc=UTF8- list" "u.$alg"
done
list_check "7z a -tCRC32 -mc=UTF8-: SFV list byte for byte" "$expected/crc32.utf8-" u.sfv -tCRC32 -mc=UTF8-
thash_refuses "7z t -thash can't read an SFV list (path before digest)" u.sfv
list_check "7z a -tSHA-256 -mc=2: same bytes as -mc=UTF8-" "$expected/sha256.utf8-" n2.sha256 -tSHA-256 -mc=2
list_check "7z a -tSHA-256 -mc=utf8-: letter case of the value doesn't matter" "$expected/sha256.utf8-" lc.sha256 -tSHA-256 -mc=utf8-

expected_list "$expected/sha256.utf8" sha256 SHA-256 utf8 "$CRLF" star
list_check "7z a -tSHA-256 -mc=UTF8: EF BB BF, then the UTF-8 lines" "$expected/sha256.utf8" bom.sha256 -tSHA-256 -mc=UTF8
list_check "7z a -tSHA-256 -mc=1: same bytes as -mc=UTF8" "$expected/sha256.utf8" n1.sha256 -tSHA-256 -mc=1
coreutils_check "sha256sum -c --strict verifies the -mc=UTF8 list (byte-order mark taken off)" sha256sum bom.sha256
thash_refuses "7z t -thash refuses a list with a byte-order mark" bom.sha256
expected_list "$expected/crc32.utf8" crc32 CRC32 utf8 "$CRLF" plain
list_check "7z a -tCRC32 -mc=UTF8: SFV list byte for byte" "$expected/crc32.utf8" bom.sfv -tCRC32 -mc=UTF8

# An ANSI list with names outside ASCII: 7-Zip's checker reads lists as
# UTF-8, so it can't find those files; with ASCII names it verifies ANSI
# lists as well.
thash_refuses "7z t -thash can't verify an ANSI list whose names are outside ASCII" l.sha256
rm -f "$work/ascii.sha256"
if host7z a -tSHA-256 ascii.sha256 tree/abc.txt tree/empty.txt tree/sub/big.bin &&
    host7z t -thash ascii.sha256 && grep -q '^Files: 3$' "$data/last-7z.txt"; then
    korvane_pass "7z t -thash verifies an ANSI list with ASCII names"
else
    korvane_fail "7z t -thash verifies an ANSI list with ASCII names" "$(last_output)"
fi

# -mlb: line break, by name and by number; a number beyond 3 gives CRLF.
for lb in CRLF:0:$'\r\n' CR:1:$'\r' LFCR:2:$'\n\r' LF:3:$'\n'; do
    lbname="${lb%%:*}" lbrest="${lb#*:}"
    lbnumber="${lbrest%%:*}" lbbytes="${lbrest#*:}"
    expected_list "$expected/sha1.$lbname" sha1 SHA-1 utf8- "$lbbytes" star
    list_check "7z a -tSHA-1 -mc=UTF8- -mlb=$lbname: list byte for byte" "$expected/sha1.$lbname" "lb-$lbname.sha1" -tSHA-1 -mc=UTF8- "-mlb=$lbname"
    list_check "7z a -tSHA-1 -mc=UTF8- -mlb=$lbnumber: same bytes as -mlb=$lbname" "$expected/sha1.$lbname" "lb-$lbnumber.sha1" -tSHA-1 -mc=UTF8- "-mlb=$lbnumber"
done
list_check "7z a -tSHA-1 -mc=UTF8- -mlb=9: a value beyond 3 gives CRLF" "$expected/sha1.CRLF" lb-9.sha1 -tSHA-1 -mc=UTF8- -mlb=9
list_check "7z a -tSHA-1 -mc=UTF8- -mlb=lf: letter case of the value doesn't matter" "$expected/sha1.LF" lb-lc.sha1 -tSHA-1 -mc=UTF8- -mlb=lf
coreutils_check "sha1sum -c --strict verifies the -mlb=CR list (CR made LF)" sha1sum lb-CR.sha1 cr
coreutils_check "sha1sum -c --strict verifies the -mlb=LFCR list (CR taken off)" sha1sum lb-LFCR.sha1
coreutils_check "sha1sum -c --strict verifies the -mlb=LF list" sha1sum lb-LF.sha1
thash_check "7z t -thash verifies the -mlb=LF list" lb-LF.sha1
thash_refuses "7z t -thash can't read the -mlb=CR list" lb-CR.sha1
thash_refuses "7z t -thash can't read the -mlb=LFCR list" lb-LFCR.sha1

# -mf: line format. It is upper-cased as a whole, and "_" stands for a space.
TAG='-mf=%HASHNAME% (%FILENAME%) = %HASH%'
expected_list "$expected/md5.tag" md5 MD5 utf8- "$CRLF" tag
list_check "7z a -tMD5 -mc=UTF8- -mf=\"%HASHNAME% (%FILENAME%) = %HASH%\": list byte for byte" "$expected/md5.tag" tag.md5 -tMD5 -mc=UTF8- "$TAG"
coreutils_check "md5sum -c --strict verifies the MD5 (path) = digest list" md5sum tag.md5
thash_check "7z t -thash verifies the MD5 (path) = digest list" tag.md5
expected_list "$expected/sha512.tag" sha512 SHA-512 ansi "$CRLF" tag
list_check "7z a -tSHA-512 -mf=\"%HASHNAME% (%FILENAME%) = %HASH%\": SHA-512 (path) = digest" "$expected/sha512.tag" tag.sha512 -tSHA-512 "$TAG"
expected_list "$expected/sha256.plain" sha256 SHA-256 ansi "$CRLF" plain
list_check "7z a -tSHA-256 -mf=\"%FILENAME% %HASH%\": path, space, digest" "$expected/sha256.plain" plain.sha256 -tSHA-256 "-mf=%FILENAME% %HASH%"
list_check "7z a -tSHA-256 -mf=%hash%_*%filename%: same bytes as the default" "$expected/sha256.ansi" us.sha256 -tSHA-256 "-mf=%hash%_*%filename%"
expected_list "$expected/crc32.star" crc32 CRC32 ansi "$CRLF" star
list_check "7z a -tCRC32 -mf=\"%HASH% *%FILENAME%\": CRC-32 in the digest-first layout" "$expected/crc32.star" star.sfv -tCRC32 "-mf=%HASH% *%FILENAME%"
expected_list "$expected/crc32.mix" crc32 CRC32 utf8 $'\n' tag
list_check "7z a -tCRC32 -mc=UTF8 -mlb=LF -mf=\"%HASHNAME% (%FILENAME%) = %HASH%\": list byte for byte" "$expected/crc32.mix" mix.sfv -tCRC32 -mc=UTF8 -mlb=LF "$TAG"
# Text around the placeholders is upper-cased too.
printf 'FILE tree\\abc.txt IS %s\r\n' "${DIGESTS[md5/0]}" >"$expected/md5.text"
list_check "7z a -tMD5 -mf=file_%filename%_is_%hash%: the whole line upper-cased, \"_\" a space" \
    "$expected/md5.text" text.md5 -tMD5 "-mf=file_%filename%_is_%hash%" --inputs tree/abc.txt

# Options that 7-Zip passes for every format are ignored.
list_check "7z a -tSHA-256 -mx=9 -mmt=2 -mmemuse=p50: options ignored, same bytes as the default" \
    "$expected/sha256.ansi" ign.sha256 -tSHA-256 -mx=9 -mmt=2 -mmemuse=p50

invalid_option "7z a -tSHA-256 -mc=UTF16: exit code 2, Invalid parameter, no list" -mc=UTF16
invalid_option "7z a -tSHA-256 -mc=3: exit code 2, Invalid parameter, no list" -mc=3
invalid_option "7z a -tSHA-256 -mlb=XY: exit code 2, Invalid parameter, no list" -mlb=XY
invalid_option "7z a -tSHA-256 -mq=1 (no such option): exit code 2, Invalid parameter, no list" -mq=1

# --- 4. Korvane's formats beside 7-Zip's own Hash format ----------------------

# Without -t 7-Zip takes the format by the list's extension, and takes
# Korvane's: the list has its layout (upper-case digits, " *", CRLF).
for f in md5:md5 sha1:sha1 sha256:sha256 sha512:sha512 sfv:crc32; do
    ext="${f%%:*}" alg="${f#*:}"
    list_check "7z a auto.$ext (no -t) writes Korvane's list" "$expected/$alg.ansi" "auto.$ext"
done

# With -t set to its own Hash format, 7-Zip writes its own kind of list:
# lower-case digits, two spaces, "/" separators, LF line ends, UTF-8 — the
# layout of sha256sum.
rm -f "$work/own.sha256"
if host7z a -thash own.sha256 tree; then
    expected_own="$(cd "$work" && printf '%s\n' "${TREE_DISK[@]/#/tree/}" | xargs -d '\n' sha256sum)"
    korvane_check "7z a -thash (7-Zip's own Hash format) writes what sha256sum writes" \
        "$expected_own" "$(cat "$work/own.sha256")"
else
    korvane_fail "7z a -thash own.sha256 tree" "$(last_output)"
fi

# A copy of the tree whose abc.txt changes after the lists are made: one
# list from Korvane, one from coreutils.
tampered="$data/tampered"
mkdir -p "$tampered"
cp -r "$work/tree" "$tampered/"
host7z_in "$tampered" a -tSHA-256 -mc=UTF8- korvane.sha256 tree
(cd "$tampered" && find tree -type f | LC_ALL=C sort | xargs -d '\n' sha256sum) >"$tampered/coreutils.sha256"
printf 'abd' >"$tampered/tree/abc.txt"

# test_without_t DESCRIPTION LIST TYPE: `7z t LIST` opens the list as TYPE
# and finds the changed file (exit code 2).
test_without_t() {
    local what="$1" rc=0
    host7z_in "$tampered" t "$2" || rc=$?
    if [[ $rc -eq 2 ]] && grep -q "^Type = $3\$" "$data/last-7z.txt" &&
        grep -q '^ERROR: CRC Failed : tree\\abc\.txt$' "$data/last-7z.txt" &&
        ! grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "$what"
    else
        korvane_fail "$what" "7z t $2: exit code $rc" "$(last_output)"
    fi
}
test_without_t "7z t (no -t) opens Korvane's list as SHA-256 and finds the changed file (exit 2)" korvane.sha256 SHA-256
test_without_t "7z t (no -t) reads a sha256sum-made list with Korvane's SHA-256 too, which finds the changed file" \
    coreutils.sha256 SHA-256

rc=0
host7z_in "$tampered" t -thash korvane.sha256 || rc=$?
if [[ $rc -eq 2 ]] && grep -q '^ERROR: CRC Failed : tree\\abc\.txt$' "$data/last-7z.txt" &&
    grep -q "^H tree\\\\sub\\\\big\\.bin\$" "$data/last-7z.txt"; then
    korvane_pass "7z t -thash on Korvane's list finds the changed file (exit 2, CRC Failed : tree\\abc.txt)"
else
    korvane_fail "7z t -thash on Korvane's list finds the changed file" "exit code $rc" "$(last_output)"
fi
rc=0
host7z_in "$tampered" t -thash coreutils.sha256 || rc=$?
if [[ $rc -eq 2 ]] && grep -q '^ERROR: CRC Failed : tree\\abc\.txt$' "$data/last-7z.txt"; then
    korvane_pass "7z t -thash on a sha256sum-made list finds the changed file"
else
    korvane_fail "7z t -thash on a sha256sum-made list finds the changed file" "exit code $rc" "$(last_output)"
fi
unix_list ../tampered/korvane.sha256
out="$(cd "$tampered" && sha256sum -c --strict korvane.sha256.unix 2>&1)"
rc=$?
if [[ $rc -ne 0 ]] && grep -q '^tree/abc.txt: FAILED$' <<<"$out" &&
    [[ "$(grep -c ': OK$' <<<"$out")" -eq $((TREE_COUNT - 1)) ]]; then
    korvane_pass "sha256sum -c on Korvane's list finds the changed file"
else
    korvane_fail "sha256sum -c on Korvane's list finds the changed file" "exit code $rc" "$(sed 's/^/  | /' <<<"$out")"
fi

# Adding to an existing list: 7-Zip opens it with Korvane's format and keeps
# its line beside the new file's.
rm -f "$work/grow.sha256"
host7z a grow.sha256 tree/abc.txt
printf '%s *tree\\abc.txt\r\n%s *tree\\empty.txt\r\n' "${DIGESTS[sha256/0]}" "${DIGESTS[sha256/1]}" >"$expected/grow.sha256"
list_check "7z a on an existing list: exit 0, the old line kept and the new file's added" \
    "$expected/grow.sha256" grow.sha256 --keep --inputs tree/empty.txt

# --- 5. a file that another program holds open without sharing ----------------

locked="$data/locked"
mkdir -p "$locked/lockdir"
printf 'abc' >"$locked/lockdir/a.txt"
printf 'held' >"$locked/lockdir/b.txt"
printf 'zzz' >"$locked/lockdir/c.txt"
host7z_in "$locked" a -tSHA-256 old.sha256 lockdir/a.txt
cp "$locked/old.sha256" "$data/old.sha256.before"

if [[ ! -f "$holdfile_exe" ]]; then
    korvane_fail "holdfile.exe builds" "$(sed 's/^/  | /' "$data/holdfile-build.txt")"
else
    # Held far longer than needed; stopped as soon as 7-Zip is done.
    start_holdfile "$locked" 'lockdir\b.txt' 60 "$data/holdfile.txt"
    if ! wait_for_lock "$holder_pid" "$data/holdfile.txt"; then
        korvane_fail "holdfile.exe holds lockdir\\b.txt" "$(sed 's/^/  | /' "$data/holdfile.txt")"
    else
        before="$(cd "$locked" && find . | sort)"
        rc=0
        host7z_in "$locked" a -tSHA-256 new.sha256 lockdir || rc=$?
        cp "$data/last-7z.txt" "$data/locked-new.txt"
        rc_existing=0
        host7z_in "$locked" a -tSHA-256 old.sha256 lockdir || rc_existing=$?
        cp "$data/last-7z.txt" "$data/locked-old.txt"
        after="$(cd "$locked" && find . | sort)"

        korvane_check "locked file: 7z a -tSHA-256 exits with code 2" 2 "$rc"
        if grep -q '^WARNING: Sharing violation\.$' "$data/locked-new.txt" &&
            grep -qx 'lockdir\\b\.txt' "$data/locked-new.txt" &&
            grep -q '^Invalid function\.$' "$data/locked-new.txt"; then
            korvane_pass "locked file: 7-Zip names it (WARNING: Sharing violation.) and ends with System ERROR: Invalid function."
        else
            korvane_fail "locked file: 7-Zip names it and reports the error" \
                "$(sed 's/^/  | /' "$data/locked-new.txt" | tail -n 15)"
        fi
        if [[ ! -e "$locked/new.sha256" ]]; then
            korvane_pass "locked file: no list is left"
        else
            korvane_fail "locked file: no list is left" "$(show_bytes "$locked/new.sha256")"
        fi
        if [[ $rc_existing -eq 2 ]] && cmp -s "$data/old.sha256.before" "$locked/old.sha256"; then
            korvane_pass "locked file, existing list: exit code 2 and the old list unchanged"
        else
            korvane_fail "locked file, existing list: exit code 2 and the old list unchanged" \
                "exit code $rc_existing" "$(show_bytes "$locked/old.sha256")"
        fi
        korvane_check "locked file: 7-Zip leaves no temporary file" "$before" "$after"
    fi
    stop_holder
    if kill -0 "$holder_pid" 2>/dev/null; then
        korvane_fail "holdfile.exe has ended"
    else
        korvane_pass "holdfile.exe has ended"
    fi
fi

# --- 6. other [Create] entries -----------------------------------------------
# A format on another hasher of 7-Zip's own (SHA256, as 7-Zip names its
# SHA-256), a value without extension, an empty line format, and a name that
# no hasher has.

printf '%s\r\n' '[Create]' 'SHA256=s256:%HASH% *%FILENAME%' 'MD4=%HASH% *%FILENAME%' \
    'SHA-384=sha384:' 'NOSUCH=nsx:%HASH% *%FILENAME%' >"$data/Korvane.ini"
korvane_7zip_install_plugin "$dll" "$data/Korvane.ini"

korvane_7z i >"$data/last-7z-i.txt"
formats="$(awk '
    /^Formats:/ { section = 1; next }
    section && /^[[:space:]]*$/ { section = 0 }
    section && $1 == "1" { $1 = ""; $2 = ""; sub(/^ +/, ""); sub(/ +$/, ""); print }
' "$data/last-7z-i.txt" | sort | paste -sd '|')"
korvane_check "7z i with [Create] SHA256, MD4 without extension, SHA-384, NOSUCH: names and extensions" \
    "MD4 %hash% *%filename%|NOSUCH nsx|SHA-384 sha384|SHA256 s256" "$formats"

expected_list "$expected/sha256.s256" sha256 SHA256 ansi "$CRLF" star
list_check "[Create] SHA256=s256:...: the list through 7-Zip's own SHA256 hasher, byte for byte" \
    "$expected/sha256.s256" l.s256 -tSHA256
# MD4 from nettle-hash (coreutils has none).
md4_abc="$(nettle-hash -a md4 --raw <"$work/tree/abc.txt" | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F)"
printf '%s *tree\\abc.txt\r\n' "$md4_abc" >"$expected/md4.abc"
list_check "[Create] MD4 without extension: the value is the line format (7z a -tMD4)" \
    "$expected/md4.abc" l.md4 -tMD4 --inputs tree/abc.txt
printf '\r\n\r\n' >"$expected/sha384.empty"
list_check "[Create] SHA-384=sha384: (no line format): a bare line break per file" \
    "$expected/sha384.empty" l.sha384 -tSHA-384 --inputs tree/abc.txt tree/empty.txt
rm -f "$work/l.nsx"
rc=0
host7z a -tNOSUCH l.nsx tree/abc.txt || rc=$?
if [[ $rc -eq 2 ]] && grep -q '^System ERROR:$' "$data/last-7z.txt" && [[ ! -e "$work/l.nsx" ]]; then
    korvane_pass "[Create] NOSUCH (no hasher of that name): 7z a exits with code 2, System ERROR, no list"
else
    korvane_fail "[Create] NOSUCH (no hasher of that name): 7z a exits with code 2, System ERROR, no list" \
        "exit code $rc" "$(last_output)"
fi

# Back to the sample configuration.
korvane_7zip_install_plugin "$dll" "$ini"

echo "host-formats.sh took $((SECONDS - started)) s"
korvane_results_end
