#!/usr/bin/env bash
# Static checks of the two plug-in DLLs, read from their PE headers:
#  - machine type (x86-64 for Korvane.64.dll, i386 for Korvane.32.dll) and
#    that the file is a DLL;
#  - the export table: exactly SetCodecs 1, GetHashers 2, CreateObject 3,
#    GetHandlerProperty2 4, GetNumberOfFormats 5, GetModuleProp 6, under
#    plain names (no decorated "@N" names of the standard-call convention);
#  - the imported DLLs: only Windows system DLLs, so that the plug-in loads
#    on a clean Windows (the C and C++ runtimes are linked in);
#  - on 32-bit, that each export returns with "ret $N", N its argument
#    bytes, as the standard-call convention has it (the caller does not pop
#    the arguments).
# Usage: tests/release/dll-static-checks.sh [Korvane.64.dll] [Korvane.32.dll]
# (default: the DLLs in dist/).
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

dll64="${1:-$KORVANE_DIST/Korvane.64.dll}"
dll32="${2:-$KORVANE_DIST/Korvane.32.dll}"

EXPECTED_EXPORTS="CreateObject 3
GetHandlerProperty2 4
GetHashers 2
GetModuleProp 6
GetNumberOfFormats 5
SetCodecs 1"

# Bytes of arguments of each export on 32-bit Windows (4 per pointer or
# 32-bit integer).
declare -A ARGUMENT_BYTES=(
    [SetCodecs]=4 [GetHashers]=4 [CreateObject]=12
    [GetHandlerProperty2]=12 [GetNumberOfFormats]=4 [GetModuleProp]=8
)

# Windows system DLLs that the plug-in may import (compared without case).
ALLOWED_IMPORTS=(kernel32.dll advapi32.dll oleaut32.dll ole32.dll user32.dll msvcrt.dll)

korvane_results_begin

# COFF machine field of a PE file, as 4 hex digits; empty if not a PE file.
pe_machine() {
    local file="$1" pe_offset signature
    pe_offset="$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')"
    [[ -n "$pe_offset" ]] || return 0
    signature="$(od -An -c -j"$pe_offset" -N4 "$file" | tr -d ' ')"
    [[ "$signature" == 'PE\0\0' ]] || return 0
    od -An -tx2 -j$((pe_offset + 4)) -N2 "$file" | tr -d ' '
}

# Export names with their ordinals ("Name Ordinal" per line, sorted) from
# objdump -p. The name table lists each name with its index into the
# address table; the ordinal is that index plus the ordinal base.
exports_of() {
    awk '
        /^Ordinal Base/ { base = $3 }
        /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
        names && /^[[:space:]]*$/ { names = 0 }
        names && /^[[:space:]]*\[/ {
            line = $0
            if (match(line, /\+base\[ *[0-9]+\]/)) {
                ord = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ord)
            } else {
                match(line, /\[ *[0-9]+\]/)
                ord = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ord)
                ord += base
            }
            print $NF, ord
        }
    ' "$1" | sort
}

# RVA of the export with ordinal $2, from objdump -p's export address table.
export_rva() {
    awk -v ord="$2" '
        /^Export Address Table/ { table = 1; next }
        table && /^[[:space:]]*$/ { table = 0 }
        table && /\+base\[/ {
            line = $0; sub(/.*\+base\[ */, "", line)
            split(line, f, /[] ]+/)
            if (f[1] == ord) print f[2]
        }
    ' "$1"
}

# The return instructions of the function at virtual address $2 of DLL $1:
# everything up to the next symbol (or up to the first return where the DLL
# has no symbols).
returns_of() {
    local dll="$1" start="$2" objdump="$3"
    "$objdump" -d --no-show-raw-insn --start-address="$start" \
        --stop-address=$((start + 0x4000)) "$dll" 2>/dev/null | awk '
        # A label of a section ("<.text>") before any symbol means the DLL
        # has no symbols: the function ends nowhere that the disassembly
        # shows. After the function'"'"'s symbol it starts code without a symbol
        # of its own (a local function), which is no longer the export.
        /^[0-9a-f]+ <\.[^>]*>:$/ { if (symbols > 0) exit; next }
        /^[0-9a-f]+ <[^>]*>:$/ { symbols++; if (symbols > 1) exit; next }
        /\tret/ {
            sub(/^[^\t]*\t/, ""); gsub(/[[:space:]]+/, " "); print
            if (symbols == 0) exit
        }
    '
}

check_stdcall() {
    local dll="$1" dump="$2" objdump="$3" label name ordinal rva base returns expected
    label="$(basename "$dll")"
    base="$(awk '/^ImageBase/ { print $2 }' "$dump")"
    for name in SetCodecs GetHashers CreateObject GetHandlerProperty2 GetNumberOfFormats GetModuleProp; do
        ordinal="$(awk -v n="$name" '$1 == n { print $2 }' <<<"$EXPECTED_EXPORTS")"
        rva="$(export_rva "$dump" "$ordinal")"
        if [[ -z "$rva" || -z "$base" ]]; then
            korvane_fail "$label: $name returns with ret \$$(printf '0x%x' "${ARGUMENT_BYTES[$name]}")" \
                "export address not found"
            continue
        fi
        # shellcheck disable=SC2016 # a literal "$" of the assembler syntax
        expected="$(printf 'ret $0x%x' "${ARGUMENT_BYTES[$name]}")"
        returns="$(returns_of "$dll" $((0x$base + 0x$rva)) "$objdump" | sort -u)"
        if [[ "$returns" == "$expected" ]]; then
            korvane_pass "$label: $name returns with $expected (standard call)"
        else
            korvane_fail "$label: $name returns with $expected (standard call)" \
                "found: $(tr '\n' ';' <<<"${returns:-<no ret>}")"
        fi
    done
}

imports_of() {
    sed -n 's/^[[:space:]]*DLL Name: *//p' "$1" | sort -f
}

check_dll() {
    local dll="$1" objdump="$2" machine="$3" format="$4" label
    label="$(basename "$dll")"

    if [[ ! -f "$dll" ]]; then
        korvane_fail "$label: file exists" "missing: $dll"
        return
    fi
    if ! command -v "$objdump" >/dev/null 2>&1; then
        korvane_fail "$label: $objdump available"
        return
    fi

    local dump
    dump="$(mktemp)"
    "$objdump" -p "$dll" >"$dump" 2>&1

    # Machine type, from the header bytes and from objdump's reading.
    local actual_format
    actual_format="$(sed -n 's/.*file format \([^ ]*\).*/\1/p' "$dump" | head -n 1)"
    korvane_check "$label: machine type" "$machine $format" "$(pe_machine "$dll") $actual_format"
    if grep -q '^[[:space:]]*DLL$' "$dump"; then
        korvane_pass "$label: is a DLL"
    else
        korvane_fail "$label: is a DLL" "the file header has no DLL characteristic"
    fi

    # Exports.
    local exports
    exports="$(exports_of "$dump")"
    korvane_check "$label: exported names and ordinals" \
        "$(tr '\n' ' ' <<<"$EXPECTED_EXPORTS")" "$(tr '\n' ' ' <<<"$exports")"
    if grep -q '@' <<<"$exports"; then
        korvane_fail "$label: no decorated export names" "$(grep '@' <<<"$exports" | tr '\n' ' ')"
    else
        korvane_pass "$label: no decorated export names"
    fi

    # Imports.
    local imports dll_name allowed bad=()
    imports="$(imports_of "$dump")"
    echo "      $label imports: $(tr '\n' ' ' <<<"$imports")"
    while read -r dll_name; do
        [[ -z "$dll_name" ]] && continue
        allowed=0
        for a in "${ALLOWED_IMPORTS[@]}"; do
            [[ "${dll_name,,}" == "$a" ]] && allowed=1
        done
        [[ $allowed -eq 1 ]] || bad+=("$dll_name")
    done <<<"$imports"
    if [[ -z "$imports" ]]; then
        korvane_fail "$label: imports only Windows system DLLs" "no import table found"
    elif [[ ${#bad[@]} -eq 0 ]]; then
        korvane_pass "$label: imports only Windows system DLLs"
    else
        korvane_fail "$label: imports only Windows system DLLs" "not allowed: ${bad[*]}"
    fi
    if [[ "$machine" == 014c ]]; then
        check_stdcall "$dll" "$dump" "$objdump"
    fi
    rm -f "$dump"
}

check_dll "$dll64" x86_64-w64-mingw32-objdump 8664 pei-x86-64
check_dll "$dll32" i686-w64-mingw32-objdump 014c pei-i386

korvane_results_end
