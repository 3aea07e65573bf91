#!/usr/bin/env bash
# Two runs of scripts/package from one commit give the same bytes. The first
# run's DLLs and zip must be in dist/ already; this script makes the second
# run do real work without rebuilding everything: it removes both DLLs, their
# version resources and a few of their objects from the build folders, so
# that the second run compiles those again, links the DLLs anew (seconds
# later than the first run, which a link time would show) and writes the
# zip again. Then the DLLs and the zip must be byte for byte the first
# run's, and the PE headers must carry no link time.
# Usage: tests/release/reproducible.sh
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

version="$(sed -n 's/^project(Korvane VERSION \([0-9.]*\).*/\1/p' "$KORVANE_ROOT/CMakeLists.txt")"
zip_name="Korvane-$version-win.zip"
first="$KORVANE_BUILD/e2e/release-reproducible/first"
# Objects built again: the entry point, the version resource and two units
# of the plug-in.
REBUILT_OBJECTS=(plugin/DllMain.cpp.obj Version.rc.res plugin/Module.cpp.obj params/Parameter.cpp.obj)

korvane_results_begin

rm -rf "$first"
mkdir -p "$first"
for file in Korvane.64.dll Korvane.32.dll "$zip_name"; do
    if [[ ! -f "$KORVANE_DIST/$file" ]]; then
        korvane_fail "first run of scripts/package left $file in dist/"
        korvane_results_end
        exit
    fi
    cp -p "$KORVANE_DIST/$file" "$first/"
done

removed=0
for config in win64 win32; do
    rm -f "$KORVANE_BUILD/$config/Korvane.${config#win}.dll"
    for object in "${REBUILT_OBJECTS[@]}"; do
        while IFS= read -r path; do
            rm -f "$path" && removed=$((removed + 1))
        done < <(find "$KORVANE_BUILD/$config/CMakeFiles" -path "*/$object")
    done
done
korvane_check "objects removed for the second run" "$((2 * ${#REBUILT_OBJECTS[@]}))" "$removed"

if bash "$KORVANE_ROOT/scripts/package"; then
    korvane_pass "second run of scripts/package"
    for file in Korvane.64.dll Korvane.32.dll "$zip_name"; do
        if [[ "$KORVANE_DIST/$file" -nt "$first/$file" ]] && cmp -s "$first/$file" "$KORVANE_DIST/$file"; then
            korvane_pass "$file: written again, the same bytes"
        else
            korvane_fail "$file: written again, the same bytes" \
                "first:  $(sha256sum "$first/$file" | cut -d' ' -f1)" \
                "second: $(sha256sum "$KORVANE_DIST/$file" | cut -d' ' -f1)"
        fi
    done
else
    korvane_fail "second run of scripts/package"
fi

# The PE file header's time stamp and the export directory's.
for dll in Korvane.64.dll Korvane.32.dll; do
    stamps="$(x86_64-w64-mingw32-objdump -p "$KORVANE_DIST/$dll" |
        sed -n 's/^Time\/Date stamp[[:space:]]*//p;t;s/^Time\/Date[[:space:]]*//p' | tr '\n' ';')"
    korvane_check "$dll: no link time in the PE headers" "Thu Jan  1 00:00:00 1970;0;" "$stamps"
done

korvane_results_end
