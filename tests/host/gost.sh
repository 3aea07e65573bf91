#!/usr/bin/env bash
# End-to-end checks of Korvane's GOST hashers with the real host: 7-Zip 26.03
# for Windows under Wine, 64-bit with Korvane.64.dll or 32-bit with
# Korvane.32.dll (the DLL's width chooses), in the Wine prefix of that width
# that has the GOST test provider of that width registered as "Infotecs
# Cryptographic Service Provider" (scripts/lib/gost.sh,
# scripts/gost-test-provider), with a 7-Zip folder of its own.
#  - `7z i` lists the three GOST hashers after the Microsoft ones, with their
#    identifiers and digest sizes 32, 32 and 64;
#  - `7z h -scrc<name>` gives the digests that nettle-hash gives
#    (gosthash94cp, streebog256, streebog512), byte for byte in the same
#    order, for an empty file, "abc" and a file of 3 MiB;
#  - a [Create] format of each GOST hasher writes the list that nettle-hash's
#    digests make; `rhash -c` verifies it and finds a changed file, and so
#    does `7z t` (once Korvane's formats read their own lists);
#  - Korvane.ini [Main] switches a GOST hasher off;
#  - a provider that refuses its context (KORVANE_TEST_PROVIDER_REFUSE set)
#    has its hashers left out: `7z h -scrc` of one is refused.
# Usage: tests/host/gost.sh [Korvane.64.dll|Korvane.32.dll]
#   (default: dist/Korvane.64.dll)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"
source "$KORVANE_ROOT/scripts/lib/wine.sh"
source "$KORVANE_ROOT/scripts/lib/wine-test-registry.sh"
source "$KORVANE_ROOT/scripts/lib/gost.sh"
source "$KORVANE_ROOT/tests/host/lib/hashers.sh"

dll="${1:-$KORVANE_DIST/Korvane.64.dll}"
data="$(korvane_e2e_data host-gost "$dll")"
FILES=(empty.bin abc.txt large.bin)
# Hasher name, nettle-hash's name of the algorithm, [Create] extension,
# rhash's option for it.
GOST_HASHERS=("GOST R 34.11-94:gosthash94cp:gost94:--gost94-cryptopro"
              "GOST 34.11-2012 256:streebog256:gost256:--gost12-256"
              "GOST 34.11-2012 512:streebog512:gost512:--gost12-512")
GOST_LIST_LINES="32 801E GOST R 34.11-94
32 8021 GOST 34.11-2012 256
64 8022 GOST 34.11-2012 512"

korvane_results_begin

korvane_e2e_start "$dll" korvane_gost_use_prefix
rm -rf "$data"
mkdir -p "$data"
# A machine as a user with the provider has it: none of the unit tests' keys,
# and the provider registered.
korvane_wine_test_registry_remove
if korvane_gost_prefix_init >"$data/provider.txt" 2>&1; then
    korvane_pass "GOST test provider built and registered in $(basename "$KORVANE_WINEPREFIX")"
else
    korvane_fail "GOST test provider built and registered" "$(sed 's/^/  | /' "$data/provider.txt" | tail -n 20)"
    korvane_results_end
    exit
fi

# The entry points that advapi32 looks up by name when it loads a provider;
# both builds export each under its plain name (on x86 without "@N"). Static
# checks of both builds, in the 64-bit run: they need no Wine.
PROVIDER_EXPORTS="CPAcquireContext CPCreateHash CPDecrypt CPDeriveKey CPDestroyHash CPDestroyKey
CPEncrypt CPExportKey CPGenKey CPGenRandom CPGetHashParam CPGetKeyParam CPGetProvParam
CPGetUserKey CPHashData CPHashSessionKey CPImportKey CPReleaseContext CPSetHashParam
CPSetKeyParam CPSetProvParam CPSignHash CPVerifySignature"
provider_configs=(win64 win32)
[[ "$KORVANE_WINE_WIDTH" == 64 ]] || provider_configs=()
for config in "${provider_configs[@]}"; do
    provider_dll="$KORVANE_BUILD/gost-provider/$config/korvane-gost-test-csp.dll"
    if [[ ! -f "$provider_dll" ]]; then
        korvane_fail "GOST test provider ($config) built" "missing: $provider_dll"
        continue
    fi
    exports="$(x86_64-w64-mingw32-objdump -p "$provider_dll" 2>&1 |
        sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[[:space:]]+\[/ { print $NF }' | paste -sd ' ')"
    korvane_check "GOST test provider ($config) exports the provider entry points by plain name" \
        "$(tr '\n' ' ' <<<"$PROVIDER_EXPORTS" | sed 's/ $//')" "$exports"
    # libgcrypt and the runtimes are linked in: Windows' own DLLs only.
    others="$(x86_64-w64-mingw32-objdump -p "$provider_dll" 2>&1 | awk '/DLL Name:/ { print tolower($3) }' |
        grep -vxE 'advapi32\.dll|kernel32\.dll|msvcrt\.dll|user32\.dll|ws2_32\.dll' | paste -sd ' ')"
    korvane_check "GOST test provider ($config) imports only Windows system DLLs" "" "$others"
done

# --- test data --------------------------------------------------------------

: >"$data/empty.bin"
printf 'abc' >"$data/abc.txt"
# 3 MiB and a bit: several 1 MiB reads and a partial one.
korvane_large_file "$data/large.bin" 3

# --- 1. hashers and digests -----------------------------------------------------

korvane_7zip_install_plugin "$dll"
check_hasher_list " (GOST test provider registered)" "$EXPECTED_HASHERS
$GOST_LIST_LINES"
for entry in "${GOST_HASHERS[@]}"; do
    IFS=: read -r name alg _ <<<"$entry"
    check_hasher "$name" "$alg"
done

# --- 2. [Create]: a hash list of each GOST hasher ---------------------------------

work="$data/work"
mkdir -p "$work/tree/sub"
cp "$data/empty.bin" "$data/abc.txt" "$work/tree/"
cp "$data/large.bin" "$work/tree/sub/"
# The files in the order 7-Zip hands them over (sorted paths).
TREE=(abc.txt empty.bin sub/large.bin)

ini="$data/Korvane.ini"
{
    printf '[Create]\r\n'
    for entry in "${GOST_HASHERS[@]}"; do
        IFS=: read -r name _ ext _ <<<"$entry"
        printf '%s=%s:%%HASH%% *%%FILENAME%%\r\n' "$name" "$ext"
    done
} >"$ini"
korvane_7zip_install_plugin "$dll" "$ini"

host7z() {
    (cd "$work" && korvane_7z "$@") >"$data/last-7z.txt"
}

# rhash_list OPTION LIST: `rhash -c` on the list with Unix line ends and "/"
# (in LIST.unix), from the work folder; prints rhash's output, returns its
# exit code.
rhash_list() {
    tr -d '\r' <"$work/$2" | sed 's#\\#/#g' >"$work/$2.unix"
    (cd "$work" && rhash -c "$1" "$2.unix" 2>&1)
}

for entry in "${GOST_HASHERS[@]}"; do
    IFS=: read -r name alg ext rhash_option <<<"$entry"
    list="list.$ext"
    # Upper-case digest, " *", the path with "\", CRLF: the sample line format.
    for file in "${TREE[@]}"; do
        path="tree/$file"
        printf '%s *%s\r\n' "$(nettle_digest "$alg" "$work/$path" | tr a-f A-F)" "${path//\//\\}"
    done >"$data/expected.$ext"
    # The format is found by the list's extension: 7-Zip reads the dots of a
    # name given with -t as a chain of formats ("GOST R 34" then "11-94").
    rm -f "$work/$list"
    rc=0
    host7z a "$list" tree || rc=$?
    if [[ $rc -ne 0 || ! -f "$work/$list" ]]; then
        korvane_fail "7z a $list (format $name) writes a list" "exit code $rc" "$(last_output)"
        continue
    fi
    if cmp -s "$data/expected.$ext" "$work/$list"; then
        korvane_pass "7z a $list (format $name): the list holds nettle-hash $alg's digests, byte for byte"
    else
        korvane_fail "7z a $list (format $name): the list holds nettle-hash $alg's digests, byte for byte" \
            "expected:" "$(cat -A "$data/expected.$ext" | sed 's/^/  | /')" \
            "actual:" "$(cat -A "$work/$list" | head -n 8 | sed 's/^/  | /')"
    fi

    rc=0
    out="$(rhash_list "$rhash_option" "$list")" || rc=$?
    if [[ $rc -eq 0 && "$(grep -cE '^tree/[^ ]+ +OK *$' <<<"$out")" -eq ${#TREE[@]} ]]; then
        korvane_pass "rhash -c $rhash_option verifies all ${#TREE[@]} files of $list"
    else
        korvane_fail "rhash -c $rhash_option verifies all ${#TREE[@]} files of $list" "exit code $rc" \
            "$(sed 's/^/  | /' <<<"$out")"
    fi

    # Verifying with 7-Zip needs Korvane's formats to read their own lists.
    rc=0
    host7z t "$list" || rc=$?
    if [[ $rc -eq 0 ]] && grep -q "^Type = $name\$" "$data/last-7z.txt" &&
        grep -q "^Files: ${#TREE[@]}\$" "$data/last-7z.txt" &&
        grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
        korvane_pass "7z t $list opens it as $name and verifies all ${#TREE[@]} files (needs list reading)"
    else
        korvane_fail "7z t $list opens it as $name and verifies all ${#TREE[@]} files (needs list reading)" \
            "exit code $rc" "$(last_output)"
    fi
done

# What the comment above says: -t with a name that has dots fails.
rc=0
host7z a "-tGOST R 34.11-94" t.gost94 tree || rc=$?
if [[ $rc -eq 2 ]] && grep -q '^Unsupported archive type$' "$data/last-7z.txt" && [[ ! -e "$work/t.gost94" ]]; then
    korvane_pass "7z a -t\"GOST R 34.11-94\": 7-Zip refuses the name (Unsupported archive type, exit 2)"
else
    korvane_fail "7z a -t\"GOST R 34.11-94\": 7-Zip refuses the name (Unsupported archive type, exit 2)" \
        "exit code $rc" "$(last_output)"
fi

# A changed file: the check of the list fails, naming it.
cp -r "$work/tree" "$data/tree.orig"
printf 'abd' >"$work/tree/abc.txt"
rc=0
out="$(rhash_list --gost12-256 list.gost256)" || rc=$?
if [[ $rc -ne 0 ]] && grep -qE '^tree/abc\.txt +ERR *$' <<<"$out" && [[ "$(grep -cE '^tree/[^ ]+ +OK *$' <<<"$out")" -eq 2 ]]; then
    korvane_pass "rhash -c on list.gost256 after tree\\abc.txt changed: that file fails, the others pass"
else
    korvane_fail "rhash -c on list.gost256 after tree\\abc.txt changed: that file fails, the others pass" \
        "exit code $rc" "$(sed 's/^/  | /' <<<"$out")"
fi
rc=0
host7z t list.gost256 || rc=$?
if [[ $rc -ne 0 ]] && grep -q 'abc\.txt' "$data/last-7z.txt" && ! grep -q '^Everything is Ok$' "$data/last-7z.txt"; then
    korvane_pass "7z t list.gost256 after tree\\abc.txt changed: non-zero exit naming the file (needs list reading)"
else
    korvane_fail "7z t list.gost256 after tree\\abc.txt changed: non-zero exit naming the file (needs list reading)" \
        "exit code $rc" "$(last_output)"
fi
rm -rf "$work/tree"
mv "$data/tree.orig" "$work/tree"

# --- 3. Korvane.ini [Main] --------------------------------------------------------

printf '[Main]\r\ngost 34.11-2012 256=0\r\n' >"$ini"
korvane_7zip_install_plugin "$dll" "$ini"
check_hasher_list " (Korvane.ini: gost 34.11-2012 256=0)" "$EXPECTED_HASHERS
32 801E GOST R 34.11-94
64 8022 GOST 34.11-2012 512"
if host_digests "GOST 34.11-2012 256" >/dev/null; then
    korvane_fail "7z h -scrcGOST 34.11-2012 256 is refused when the hasher is switched off" "$(last_output)"
else
    korvane_pass "7z h -scrcGOST 34.11-2012 256 is refused when the hasher is switched off"
fi
check_hasher "GOST 34.11-2012 512" streebog512

# --- 4. a provider that refuses its context --------------------------------------

korvane_7zip_install_plugin "$dll"
export KORVANE_TEST_PROVIDER_REFUSE=1
check_hasher_list " (GOST test provider refuses contexts: no GOST)" "$EXPECTED_HASHERS"
check_refused_hasher "GOST R 34.11-94" " (provider refuses)"
check_refused_hasher "GOST 34.11-2012 256" " (provider refuses)"
check_refused_hasher "GOST 34.11-2012 512" " (provider refuses)"
digests="$(host_digests SHA-256)"
korvane_check "7z h -scrcSHA-256 abc.txt is still right (only the GOST provider refuses)" \
    "$(nettle_digest sha256 "$data/abc.txt")" "$(awk '$1 == "abc.txt" { print $2 }' <<<"$digests")"
unset KORVANE_TEST_PROVIDER_REFUSE

korvane_wine_wait
korvane_results_end
