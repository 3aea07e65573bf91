# shellcheck shell=bash disable=SC2034,SC2154
# Checks of Korvane's hashers through the real host, shared by
# tests/host/hashers.sh and tests/host/gost.sh. Source it after
# scripts/lib/wine.sh; the caller sets data (a folder that holds the test
# files and the host's last output) and FILES (the test files' names in it).

# nettle_digest ALG FILE: lower-case hex digest from nettle-hash.
nettle_digest() {
    nettle-hash -a "$1" --raw <"$2" | od -An -v -tx1 | tr -d ' \n'
}

# --- running the host -------------------------------------------------------

# host_digests NAME: runs `7z h -scrcNAME` over the test files; prints
# "file digest" lines (digest in lower case). The full output is kept in
# $data/last-7z.txt for the failure messages.
host_digests() {
    (cd "$data" && korvane_7z h "-scrc$1" "${FILES[@]}") >"$data/last-7z.txt"
    local rc=$?
    awk '
        /^-+ -+/ { dashes++; next }
        dashes == 1 && NF >= 2 { print $NF, tolower($1) }
    ' "$data/last-7z.txt"
    return "$rc"
}

# host_hashers: "size id name" of each hasher of library 1 (Korvane), in the
# order `7z i` lists them.
host_hashers() {
    korvane_7z i >"$data/last-7z-i.txt"
    awk '
        /^Hashers:/ { section = 1; next }
        section && /^[[:space:]]*$/ { section = 0 }
        section && $1 == "1" {
            name = $4
            for (i = 5; i <= NF; i++) name = name " " $i
            print $2, $3, name
        }
    ' "$data/last-7z-i.txt"
}

last_output() {
    sed 's/^/  | /' "$data/last-7z.txt" | tail -n 25
}

# check_hasher NAME NETTLE_ALG: the host's digests of every test file through
# the hasher NAME equal nettle-hash's.
check_hasher() {
    local name="$1" alg="$2" digests file expected actual
    digests="$(host_digests "$name")" || {
        korvane_fail "7z h -scrc$name runs" "$(last_output)"
        return
    }
    for file in "${FILES[@]}"; do
        expected="$(nettle_digest "$alg" "$data/$file")"
        actual="$(awk -v f="$file" '$1 == f { print $2 }' <<<"$digests")"
        if [[ "$actual" == "$expected" ]]; then
            korvane_pass "7z h -scrc$name $file = nettle-hash $alg"
        else
            korvane_fail "7z h -scrc$name $file = nettle-hash $alg" \
                "expected: $expected" "actual:   ${actual:-<none>}" "$(last_output)"
        fi
    done
}

# check_zero_digest NAME SIZE FILE [DESCRIPTION]: the host's digest through
# NAME is SIZE zero bytes.
# check_refused_hasher NAME WHAT: `7z h -scrcNAME` is refused as a method the
# host doesn't have (exit non-zero, "Not implemented") and shows no digest:
# Korvane doesn't offer a hasher whose provider can't hash.
check_refused_hasher() {
    local name="$1" what="${2:-}" digests rc=0
    digests="$(host_digests "$name")" || rc=$?
    if [[ $rc -ne 0 && -z "$digests" ]] && grep -q 'Not implemented' "$data/last-7z.txt"; then
        korvane_pass "7z h -scrc$name is refused, no digest shown$what"
    else
        korvane_fail "7z h -scrc$name is refused, no digest shown$what" "exit code $rc" "$(last_output)"
    fi
}

EXPECTED_HASHERS="20 8004 SHA-1
16 8001 MD2
16 8002 MD4
16 8003 MD5
32 800C SHA-256
48 800D SHA-384
64 800E SHA-512
32 800C SHA-256
48 800D SHA-384
64 800E SHA-512"

check_hasher_list() {
    local what="$1" expected="$2" actual
    actual="$(host_hashers)"
    if [[ "$actual" == "$expected" ]]; then
        korvane_pass "7z i lists Korvane's hashers$what"
    else
        korvane_fail "7z i lists Korvane's hashers$what" \
            "expected (size id name):" "$(sed 's/^/  /' <<<"$expected")" \
            "actual:" "$(sed 's/^/  /' <<<"${actual:-<none>}")"
    fi
}
