#!/usr/bin/env bash
# End-to-end checks that lists published under names without the format's
# extension are read once the user names the type: 7-Zip 26.03 for Windows
# under Wine, in the DLL's width, with the sample Korvane.ini. The lists, as
# their projects publish them: Ubuntu's SHA256SUMS, Node's SHASUMS256.txt,
# FreeBSD's CHECKSUM.SHA256-..., VeraCrypt's ...-sha256sum.txt, Fedora's
# clear-signed ...-CHECKSUM with its "#" size lines, and an SFV saved as .txt.
#  - `7z t -tSHA-256` (-tCRC32 for the SFV) exits 0 and counts every file;
#  - a changed file gives exit code 2, naming it;
#  - `7z l -t...` lists the entries;
#  - `7z a -t...` onto a list with an extension keeps its old bytes and the
#    tool's own check still passes; onto SHA256SUMS 7-Zip writes
#    SHA256SUMS.sha256, and with -sae it adds to SHA256SUMS itself;
#  - without -t nothing changes: plain `7z t` and `7z t -t*` of a .txt give
#    what 7-Zip alone gives, a zip archive is still a zip archive;
#  - -tSHA-256 of a file that is no list is refused.
# Usage: tests/host/names.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
ini="$(dirname "$dll")/Korvane.ini"
[[ -f "$ini" ]] || ini="$KORVANE_DIST/Korvane.ini"
data="$(korvane_e2e_data host-names "$dll")"
# 7-Zip without Korvane, of the same width.
alone="$(korvane_e2e_data 7zip-alone "$dll")"
started=$SECONDS
export LC_ALL=C.UTF-8

korvane_results_begin
korvane_e2e_start "$dll"
korvane_wine_test_registry_remove
korvane_7zip_install_plugin "$dll" "$ini"
korvane_7zip_alone "$alone"
rm -rf "$data"
mkdir -p "$data/d"
trap korvane_wine_keeper_stop EXIT
korvane_wine_keeper_start "$data" || echo "note: no Wine program keeps the server up; each 7z call waits for it"

d="$data/d"
korvane_large_file "$d/release-amd64.iso" 2
printf 'Release notes\n' >"$d/notes.txt"
printf 'more' >"$d/more.txt"
files=(release-amd64.iso notes.txt)
n=${#files[@]}

# The lists, written in the folder.
(
    cd "$d" || exit 1
    sha256sum -b "${files[@]}" >SHA256SUMS
    sha256sum "${files[@]}" >SHASUMS256.txt
    sha256sum --tag "${files[@]}" >CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64
    sha256sum "${files[@]}" | sed 's/$/\r/' >veracrypt-1.26.7-sha256sum.txt
    {
        printf -- '-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n'
        for f in "${files[@]}"; do
            printf '# %s: %s bytes\n' "$f" "$(stat -c %s "$f")"
            sha256sum --tag "$f"
        done
        printf -- '-----BEGIN PGP SIGNATURE-----\n\niQIzBAEBCAAdFiEE\n=AbCd\n-----END PGP SIGNATURE-----\n'
    } >Fedora-Workstation-39-1.5-x86_64-CHECKSUM
    cksfv "${files[@]}" >crc.txt 2>/dev/null
)

# run7z ARGS...: 7z in the folder, output in $data/last.txt.
run7z() {
    (cd "$d" && korvane_7z "$@") >"$data/last.txt"
}
run7z_alone() {
    (cd "$d" && KORVANE_7ZIP_DIR="$alone" korvane_7z "$@") >"$data/alone.txt"
}
last_output() {
    sed 's/^/  | /' "$data/last.txt" | tail -n 20
}
said() {
    grep -qF -x -- "$1" "$data/last.txt"
}

# LIST TYPE: the lists and the types that read them.
lists=(
    "SHA256SUMS SHA-256"
    "SHASUMS256.txt SHA-256"
    "CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64 SHA-256"
    "veracrypt-1.26.7-sha256sum.txt SHA-256"
    "Fedora-Workstation-39-1.5-x86_64-CHECKSUM SHA-256"
    "crc.txt CRC32"
)

# --- testing and listing with the type named ----------------------------------

for entry in "${lists[@]}"; do
    read -r list type <<<"$entry"
    rc=0
    run7z t "-t$type" "$list" || rc=$?
    if [[ $rc -eq 0 ]] && said "Type = $type" && said "Files: $n" && said "Everything is Ok"; then
        korvane_pass "7z t -t$type $list: exit 0, all $n files checked"
    else
        korvane_fail "7z t -t$type $list: exit 0, all $n files checked" "exit code $rc" "$(last_output)"
    fi
    rc=0
    run7z l "-t$type" "$list" || rc=$?
    if [[ $rc -eq 0 ]] && grep -qE " release-amd64\.iso$" "$data/last.txt" && grep -qE " notes\.txt$" "$data/last.txt" &&
        grep -qE " $n files$" "$data/last.txt"; then
        korvane_pass "7z l -t$type $list: exit 0, the $n entries"
    else
        korvane_fail "7z l -t$type $list: exit 0, the $n entries" "exit code $rc" "$(last_output)"
    fi
done

printf 'Release notes, changed\n' >"$d/notes.txt"
for entry in "${lists[@]}"; do
    read -r list type <<<"$entry"
    rc=0
    run7z t "-t$type" "$list" || rc=$?
    if [[ $rc -eq 2 ]] && grep -qE '^ERROR: .*notes\.txt$' "$data/last.txt" && ! said "Everything is Ok"; then
        korvane_pass "7z t -t$type $list with notes.txt changed: exit code 2, naming it"
    else
        korvane_fail "7z t -t$type $list with notes.txt changed: exit code 2, naming it" "exit code $rc" "$(last_output)"
    fi
done
printf 'Release notes\n' >"$d/notes.txt"

# --- adding with the type named -------------------------------------------------

# added WHAT LIST OPTIONS VERIFY...: `7z a OPTIONS LIST more.txt` exits 0,
# the old bytes of LIST come first and one line follows, and VERIFY (run in
# the folder) passes on the grown list.
added() {
    local what="$1" list="$2" options rc=0
    read -ra options <<<"$3"
    shift 3
    cp "$d/$list" "$data/before"
    run7z a "${options[@]}" "$list" more.txt || rc=$?
    if [[ $rc -ne 0 ]]; then
        korvane_fail "$what" "exit code $rc" "$(last_output)"
    elif ! cmp -s -n "$(stat -c %s "$data/before")" "$data/before" "$d/$list" ||
        [[ $(($(wc -l <"$d/$list") - $(wc -l <"$data/before"))) -ne 1 ]]; then
        korvane_fail "$what" "the old bytes first, then one line:" "$(od -c "$d/$list" | tail -n 6)"
    elif ! (cd "$d" && "$@") >"$data/verify.txt" 2>&1; then
        korvane_fail "$what" "$* fails on the grown list" "$(sed 's/^/  | /' "$data/verify.txt")"
    else
        korvane_pass "$what"
    fi
}
added "7z a -tSHA-256 SHASUMS256.txt more.txt: old bytes kept, sha256sum -c verifies" \
    SHASUMS256.txt -tSHA-256 sha256sum -c --strict --quiet SHASUMS256.txt
added "7z a -tSHA-256 CHECKSUM.SHA256-FreeBSD-...: old bytes kept, a tag line, sha256sum -c verifies" \
    CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64 -tSHA-256 \
    sha256sum -c --strict --quiet CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64
added "7z a -tCRC32 crc.txt more.txt: old bytes kept, cksfv verifies" crc.txt -tCRC32 cksfv -q -f crc.txt
if grep -qF ' (more.txt) = ' "$d/CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64"; then
    korvane_pass "the line added to a BSD tag list is a tag line"
else
    korvane_fail "the line added to a BSD tag list is a tag line" "$(tail -n 2 "$d/CHECKSUM.SHA256-FreeBSD-14.0-RELEASE-amd64")"
fi

# A name without an extension gets the format's: 7-Zip's own rule.
cp "$d/SHA256SUMS" "$data/before"
rc=0
run7z a -tSHA-256 SHA256SUMS more.txt || rc=$?
if [[ $rc -eq 0 ]] && cmp -s "$data/before" "$d/SHA256SUMS" && [[ "$(wc -l <"$d/SHA256SUMS.sha256")" -eq 1 ]]; then
    korvane_pass "7z a -tSHA-256 SHA256SUMS more.txt writes SHA256SUMS.sha256, SHA256SUMS untouched"
else
    korvane_fail "7z a -tSHA-256 SHA256SUMS more.txt writes SHA256SUMS.sha256" "exit code $rc" "$(last_output)"
fi
added "7z a -tSHA-256 -sae SHA256SUMS more.txt adds to SHA256SUMS itself; sha256sum -c verifies" \
    SHA256SUMS "-tSHA-256 -sae" sha256sum -c --strict --quiet SHA256SUMS

# --- no claim without the type ------------------------------------------------------

# same_as_alone WHAT ARGS...: 7-Zip with Korvane gives the same exit code and
# the same result lines as 7-Zip alone.
same_as_alone() {
    local what="$1" rc=0 rc_alone=0 ours theirs
    shift
    run7z "$@" || rc=$?
    run7z_alone "$@" || rc_alone=$?
    ours="$(grep -vE '^7-Zip ' "$data/last.txt")"
    theirs="$(grep -vE '^7-Zip ' "$data/alone.txt")"
    if [[ $rc -eq $rc_alone && "$ours" == "$theirs" ]]; then
        korvane_pass "$what: as 7-Zip alone (exit $rc)"
    else
        korvane_fail "$what: as 7-Zip alone" "with Korvane: exit $rc, alone: exit $rc_alone" "$(last_output)" \
            "alone:" "$(sed 's/^/  | /' "$data/alone.txt" | tail -n 12)"
    fi
}
same_as_alone "plain 7z t crc.txt" t crc.txt
same_as_alone "7z t -t* crc.txt" t '-t*' crc.txt
same_as_alone "plain 7z t SHASUMS256.txt" t SHASUMS256.txt
run7z a -tzip x.zip notes.txt
same_as_alone "7z t x.zip" t x.zip
rc=0
run7z t -tSHA-256 release-amd64.iso || rc=$?
if [[ $rc -eq 2 ]] && grep -q 'Cannot open the file as' "$data/last.txt" && ! said "Everything is Ok"; then
    korvane_pass "7z t -tSHA-256 of a file that is no list: refused, exit code 2"
else
    korvane_fail "7z t -tSHA-256 of a file that is no list: refused, exit code 2" "exit code $rc" "$(last_output)"
fi

echo "host-names.sh took $((SECONDS - started)) s"
korvane_results_end
