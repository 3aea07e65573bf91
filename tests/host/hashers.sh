#!/usr/bin/env bash
# End-to-end checks with the real host: 7-Zip 26.03 for Windows under Wine,
# with Korvane.64.dll in 64-bit 7-Zip or Korvane.32.dll in 32-bit 7-Zip (the
# DLL's width chooses; each width has a Wine prefix of its own).
#  - `7z i` lists Korvane (library 1) with the release's version, and its
#    hashers with their identifiers and digest sizes;
#  - `7z h -scrc<name>` gives, through Korvane's hashers, the digests that
#    nettle-hash gives, for an empty file, "abc" and a file of several MiB;
#  - which MD5 serves `-scrcMD5`: 7-Zip's own or Korvane's;
#  - Korvane.ini [Main] switches hashers off;
#  - the hashers of a registered provider that can't be acquired are not
#    offered: `7z h -scrc` of one is refused.
# Usage: tests/host/hashers.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"
source "$KORVANE_ROOT/tests/host/lib/hashers.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
data="$(korvane_e2e_data host-hashers "$dll")"
FILES=(empty.bin abc.txt large.bin)

korvane_results_begin

korvane_e2e_start "$dll"
# A machine as a user has it: only the providers that Wine registers.
korvane_wine_test_registry_remove

# --- test data --------------------------------------------------------------

rm -rf "$data"
mkdir -p "$data"
: >"$data/empty.bin"
printf 'abc' >"$data/abc.txt"
# Several MiB, so that data comes in several 1 MiB reads and a partial one.
korvane_large_file "$data/large.bin"

# --- 1. plain install: the DLL alone in Codecs -------------------------------

korvane_7zip_install_plugin "$dll"

# The version that 7-Zip shows is the release's, major.minor with the minor
# in two digits (1.0.0 shows as 1.00).
read -r major minor < <(sed -n 's/^project(Korvane VERSION \([0-9]*\)\.\([0-9]*\).*/\1 \2/p' \
    "$KORVANE_ROOT/CMakeLists.txt")
version="$(printf '%d.%02d' "$major" "$minor")"
korvane_7z i >"$data/last-7z-i.txt"
if grep -Eq "^ *1 : ${version//./\\.} : .*\\\\Codecs\\\\${KORVANE_DLL_NAME//./\\.}\$" "$data/last-7z-i.txt"; then
    korvane_pass "7z i loads Codecs\\$KORVANE_DLL_NAME as library 1, version $version"
else
    korvane_fail "7z i loads Codecs\\$KORVANE_DLL_NAME as library 1, version $version" \
        "$(sed -n '/^Libs:/,/^$/p' "$data/last-7z-i.txt")"
fi
check_hasher_list "" "$EXPECTED_HASHERS"

check_hasher MD2 md2
check_hasher MD4 md4
check_hasher SHA-1 sha1
check_hasher SHA-256 sha256
check_hasher SHA-384 sha384
check_hasher SHA-512 sha512
check_hasher MD5 md5

# --- 2. which MD5 the host takes ---------------------------------------------
# Both 7-Zip (library 0, identifier 208) and Korvane (library 1, identifier
# 8003) offer a hasher named MD5. With Wine's RSA provider DLL switched off,
# every provider that Korvane uses stays registered but can't be acquired:
# Korvane offers none of its hashers then, and a hasher only Korvane has is
# refused. If -scrcMD5 still gives the right MD5 then, it is 7-Zip's own.

export WINEDLLOVERRIDES="rsaenh="
check_hasher_list " (provider DLL off: none)" ""
check_refused_hasher MD2 " (provider DLL off)"
check_refused_hasher SHA-384 " (provider DLL off)"
md5_expected="$(nettle_digest md5 "$data/abc.txt")"
md5_actual="$(host_digests MD5 | awk '$1 == "abc.txt" { print $2 }')"
korvane_check "7z h -scrcMD5 is 7-Zip's own MD5 (right digest with Korvane's provider off)" \
    "$md5_expected" "${md5_actual:-<none>}"
unset WINEDLLOVERRIDES

# --- 3. Korvane.ini [Main] ----------------------------------------------------
# Value "0" switches a hasher off, keys match without regard to case, any
# other value leaves the hasher in.

printf '[Main]\r\nmd5=0\r\nSHA-256=0\r\nSHA-1=false\r\nMD2=\r\n' >"$data/Korvane.ini"
korvane_7zip_install_plugin "$dll" "$data/Korvane.ini"
check_hasher_list " (Korvane.ini: md5=0, SHA-256=0, SHA-1=false, MD2=)" "20 8004 SHA-1
16 8001 MD2
16 8002 MD4
48 800D SHA-384
64 800E SHA-512
48 800D SHA-384
64 800E SHA-512"
md5_actual="$(host_digests MD5 | awk '$1 == "abc.txt" { print $2 }')"
korvane_check "7z h -scrcMD5 works with Korvane's MD5 switched off" \
    "$md5_expected" "${md5_actual:-<none>}"
digests="$(host_digests SHA-384)"
korvane_check "7z h -scrcSHA-384 abc.txt with Korvane.ini" \
    "$(nettle_digest sha384 "$data/abc.txt")" \
    "$(awk '$1 == "abc.txt" { print $2 }' <<<"$digests")"

# --- 4. a registered provider that can't be acquired --------------------------
# The Infotecs provider's key without the provider: its GOST hashers are not
# offered, and asking for one by name is refused.

korvane_7zip_install_plugin "$dll"
korvane_wine_reg_add "$KORVANE_CSP_KEY\\Infotecs Cryptographic Service Provider"
check_hasher_list " (Infotecs provider registered without its DLL: no GOST)" "$EXPECTED_HASHERS"
check_refused_hasher "GOST R 34.11-94"
check_refused_hasher "GOST 34.11-2012 512"
korvane_wine_reg_delete "$KORVANE_CSP_KEY\\Infotecs Cryptographic Service Provider"

korvane_7zip_install_plugin "$dll"
korvane_results_end
