#!/usr/bin/env bash
# The release zip as a user gets it:
#  - its files: one folder per 7-Zip, each with its DLL, the sample
#    Korvane.ini, LICENSE, README.md and Korvane.sha256, nothing else;
#  - each Korvane.sha256 lists exactly the other files of its folder and
#    passes `sha256sum -c --strict` as it is (no byte-order mark, LF only);
#  - installed as a user would, into a clean 7-Zip folder (7z.exe, 7z.dll and
#    a Codecs folder filled from the zip's "7-Zip 64-bit" folder), under
#    Wine: `7z i` lists Korvane's library, hashers and formats;
#    `7z a -tSHA-256` writes the list that coreutils' digests give; `7z t`
#    verifies the zip's own list and rejects it for a changed file.
# Usage: tests/release/install.sh ZIP
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"

zip_path="${1:?usage: install.sh ZIP}"
data="$KORVANE_BUILD/e2e/release-install"
unpacked="$data/unpacked"
sevenzip="$data/7-Zip"
export LC_ALL=C.UTF-8

EXPECTED_ENTRIES="7-Zip 32-bit/Korvane.32.dll
7-Zip 32-bit/Korvane.ini
7-Zip 32-bit/Korvane.sha256
7-Zip 32-bit/LICENSE
7-Zip 32-bit/README.md
7-Zip 64-bit/Korvane.64.dll
7-Zip 64-bit/Korvane.ini
7-Zip 64-bit/Korvane.sha256
7-Zip 64-bit/LICENSE
7-Zip 64-bit/README.md"

korvane_results_begin

if [[ ! -f "$zip_path" ]]; then
    korvane_fail "release zip exists" "missing: $zip_path"
    korvane_results_end
    exit
fi
label="$(basename "$zip_path")"

# --- the zip's files ------------------------------------------------------------

korvane_check "$label: entries" "$(tr '\n' ';' <<<"$EXPECTED_ENTRIES")" \
    "$(unzip -Z1 "$zip_path" | LC_ALL=C sort | tr '\n' ';')"
if unzip -tq "$zip_path" >/dev/null 2>&1; then
    korvane_pass "$label: unzip -t finds no error"
else
    korvane_fail "$label: unzip -t finds no error"
fi

rm -rf "$data"
mkdir -p "$unpacked"
unzip -q "$zip_path" -d "$unpacked" || korvane_fail "$label: unpacks"

# --- the SHA-256 lists, with coreutils ------------------------------------------

for width in 64 32; do
    folder="$unpacked/7-Zip $width-bit"
    list="$folder/Korvane.sha256"
    if [[ ! -f "$list" ]]; then
        korvane_fail "7-Zip $width-bit/Korvane.sha256 exists"
        continue
    fi
    # The names in the list, against the folder's other files.
    korvane_check "7-Zip $width-bit/Korvane.sha256 names the folder's other files" \
        "$(find "$folder" -maxdepth 1 -type f ! -name Korvane.sha256 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')" \
        "$(sed 's/^[0-9A-Fa-f]\{64\} \*//' "$list" | LC_ALL=C sort | tr '\n' ' ')"
    if (cd "$folder" && sha256sum -c --strict --quiet Korvane.sha256); then
        korvane_pass "7-Zip $width-bit/Korvane.sha256: sha256sum -c --strict"
    else
        korvane_fail "7-Zip $width-bit/Korvane.sha256: sha256sum -c --strict"
    fi
    if LC_ALL=C grep -q $'\r\|^\xEF\xBB\xBF' "$list"; then
        korvane_fail "7-Zip $width-bit/Korvane.sha256 has no CR and no byte-order mark"
    else
        korvane_pass "7-Zip $width-bit/Korvane.sha256 has no CR and no byte-order mark"
    fi
done

# --- installed into a clean 7-Zip ------------------------------------------------

if ! { korvane_install_deps && korvane_wine_init && korvane_install_7zip_package; }; then
    korvane_fail "Wine prefix and 7-Zip set up"
    korvane_results_end
    exit
fi
korvane_wine_test_registry_remove
package="$(korvane_7zip_package_dir)"
mkdir -p "$sevenzip/Codecs"
cp "$package/win/x64/7z.exe" "$package/win/x64/7z.dll" "$sevenzip/"
cp "$unpacked/7-Zip 64-bit/Korvane.64.dll" "$unpacked/7-Zip 64-bit/Korvane.ini" "$sevenzip/Codecs/"

# user_7z ARGS...: the clean 7-Zip, in the current folder.
user_7z() {
    KORVANE_7ZIP_DIR="$sevenzip" korvane_7z "$@"
}

info="$(cd "$data" && user_7z i)"
if grep -q 'Korvane\.64\.dll' <<<"$info"; then
    korvane_pass "7z i: lists Codecs\\Korvane.64.dll"
else
    korvane_fail "7z i: lists Codecs\\Korvane.64.dll" "$(grep -A3 '^Libs:' <<<"$info" | tr '\n' ' ')"
fi
if grep -qE '^ *1 +32 +800C SHA-256$' <<<"$info"; then
    korvane_pass "7z i: Korvane's SHA-256 hasher (library 1)"
else
    korvane_fail "7z i: Korvane's SHA-256 hasher (library 1)"
fi
if grep -qE '^ *1 +C[.A-Z]* +SHA-256 +sha256' <<<"$info"; then
    korvane_pass "7z i: Korvane's SHA-256 format (library 1)"
else
    korvane_fail "7z i: Korvane's SHA-256 format (library 1)"
fi

# A list written by the installed plug-in, against coreutils' digests.
tree="$data/work/files"
mkdir -p "$tree/sub"
printf 'abc' >"$tree/abc.txt"
printf 'release\n' >"$tree/sub/notes.txt"
expected="$(cd "$data/work" && for f in files/abc.txt files/sub/notes.txt; do
    printf '%s *%s\n' "$(sha256sum <"$f" | cut -c1-64 | tr a-f A-F)" "${f//\//\\}"
done)"
if (cd "$data/work" && user_7z a -tSHA-256 -mc=UTF8- -mlb=LF files.sha256 files >/dev/null); then
    korvane_check "7z a -tSHA-256: the list of coreutils' digests" "$expected" "$(cat "$data/work/files.sha256")"
else
    korvane_fail "7z a -tSHA-256: the list of coreutils' digests" "7z a failed"
fi

# `7z t` of the zip's own list: every file is verified (7-Zip says "No files
# to process" and "Files: 0" when the list yields none), and a changed file
# fails it.
folder="$unpacked/7-Zip 64-bit"
out="$(cd "$folder" && user_7z t Korvane.sha256)"
rc=$?
if [[ $rc -eq 0 ]] && grep -q 'Everything is Ok' <<<"$out" && ! grep -qE 'No files to process|^Files: 0$' <<<"$out"; then
    korvane_pass "7z t 7-Zip 64-bit/Korvane.sha256 verifies the files"
else
    korvane_fail "7z t 7-Zip 64-bit/Korvane.sha256 verifies the files" \
        "exit code $rc" "$(tail -n 4 <<<"$out" | tr '\n' ' ')"
fi
changed="$data/changed"
cp -r "$folder" "$changed"
printf 'changed\n' >>"$changed/README.md"
out="$(cd "$changed" && user_7z t Korvane.sha256)"
rc=$?
if [[ $rc -ne 0 ]]; then
    korvane_pass "7z t Korvane.sha256 fails for a changed README.md (exit code $rc)"
else
    korvane_fail "7z t Korvane.sha256 fails for a changed README.md" "exit code 0:" \
        "$(tail -n 4 <<<"$out" | tr '\n' ' ')"
fi
korvane_wine_wait

korvane_results_end
