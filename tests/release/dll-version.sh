#!/usr/bin/env bash
# The version information of both DLLs, as Windows shows it in a file's
# Properties, read back by exiftool from the PE version resource: the
# numeric and the text versions are the version of CMake's project(), the
# product name is "Korvane", the original file name is the DLL's own, the
# description names the 7-Zip of the DLL's width, and the copyright line is
# the one of LICENSE.
# Usage: tests/release/dll-version.sh [Korvane.64.dll] [Korvane.32.dll]
# (default: the DLLs in dist/).
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

dll64="${1:-$KORVANE_DIST/Korvane.64.dll}"
dll32="${2:-$KORVANE_DIST/Korvane.32.dll}"

korvane_results_begin

version="$(sed -n 's/^project(Korvane VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$KORVANE_ROOT/CMakeLists.txt")"
# "Copyright (c) 2026 Korvane contributors"
copyright="$(grep -m 1 '^Copyright (c) [0-9]\{4\} ' "$KORVANE_ROOT/LICENSE")"

# tag_of DLL TAG: one value of the version resource ("" if it has none).
tag_of() {
    exiftool -s -s -s "-$2" "$1" 2>/dev/null
}

check_dll() {
    local dll="$1" width="$2" label
    label="$(basename "$dll")"
    if [[ ! -f "$dll" ]]; then
        korvane_fail "$label: file exists" "missing: $dll"
        return
    fi
    korvane_check "$label: FileVersionNumber" "$version.0" "$(tag_of "$dll" FileVersionNumber)"
    korvane_check "$label: ProductVersionNumber" "$version.0" "$(tag_of "$dll" ProductVersionNumber)"
    korvane_check "$label: FileVersion" "$version" "$(tag_of "$dll" FileVersion)"
    korvane_check "$label: ProductVersion" "$version" "$(tag_of "$dll" ProductVersion)"
    korvane_check "$label: ProductName" "Korvane" "$(tag_of "$dll" ProductName)"
    korvane_check "$label: OriginalFilename" "$label" "$(tag_of "$dll" OriginalFileName)"
    korvane_check "$label: file type" "Dynamic link library" "$(tag_of "$dll" ObjectFileType)"
    local description legal
    description="$(tag_of "$dll" FileDescription)"
    if [[ "$description" == Korvane* && "$description" == *"$width-bit 7-Zip"* ]]; then
        korvane_pass "$label: FileDescription names Korvane and $width-bit 7-Zip"
    else
        korvane_fail "$label: FileDescription names Korvane and $width-bit 7-Zip" "actual: $description"
    fi
    legal="$(tag_of "$dll" LegalCopyright)"
    if [[ -n "$copyright" && "$legal" == "$copyright"* ]]; then
        korvane_pass "$label: LegalCopyright is LICENSE's copyright line"
    else
        korvane_fail "$label: LegalCopyright is LICENSE's copyright line" \
            "LICENSE: $copyright" "DLL:     $legal"
    fi
}

if [[ -z "$version" ]]; then
    korvane_fail "CMakeLists.txt has project(Korvane VERSION x.y.z)"
elif ! command -v exiftool >/dev/null 2>&1; then
    korvane_fail "exiftool available (package libimage-exiftool-perl)"
else
    check_dll "$dll64" 64
    check_dll "$dll32" 32
fi

korvane_results_end
