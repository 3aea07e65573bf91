# shellcheck shell=bash disable=SC2034
# Wine and the private 7-Zip, in two widths: 64-bit 7-Zip with
# Korvane.64.dll and 32-bit 7-Zip with Korvane.32.dll. Each width has a Wine
# prefix of the project's own under build/ and a 7-Zip folder of its own with
# the Codecs folder that 7-Zip loads plug-ins from. Source common.sh and
# deps.sh first; korvane_wine_use_width chooses the width (64 unless
# KORVANE_WINE_WIDTH says 32 when this file is sourced).

# korvane_wine_use_width 64|32: the helpers below use that width's Wine
# loader, prefix and 7-Zip folder from now on (in this shell), and the checks
# of a 32-bit run carry "32-bit: " before their names. The 64-bit prefix is
# a 64-bit-only one (WINEARCH=win64 under the 64-bit loader); the 32-bit one
# is a plain 32-bit Windows (WINEARCH=win32 under the 32-bit loader), as the
# two cannot share a prefix once both loaders are installed.
korvane_wine_use_width() {
    case "$1" in
        64)
            KORVANE_WINEPREFIX="$KORVANE_TOOLS/wine-prefix"
            KORVANE_7ZIP_DIR="$KORVANE_TOOLS/7-Zip-x64"
            KORVANE_7ZIP_ARCH=x64
            KORVANE_CHECK_PREFIX=
            ;;
        32)
            KORVANE_WINEPREFIX="$KORVANE_TOOLS/wine-prefix-32"
            KORVANE_7ZIP_DIR="$KORVANE_TOOLS/7-Zip-x86"
            # The npm package's name for the folder of 32-bit 7-Zip.
            KORVANE_7ZIP_ARCH=ia32
            KORVANE_CHECK_PREFIX="32-bit: "
            ;;
        *) korvane_error "no such width: '$1' (64 or 32)" || return ;;
    esac
    KORVANE_WINE_WIDTH="$1"
    KORVANE_DLL_NAME="Korvane.$1.dll"
    # Found again for the width by korvane_wine_env.
    KORVANE_WINE=
}

# A caller may choose another prefix or 7-Zip folder by setting these first
# (scripts/gost-test-provider does, for the prefix named by WINEPREFIX).
korvane_wine_preset_prefix="${KORVANE_WINEPREFIX:-}"
korvane_wine_preset_7zip="${KORVANE_7ZIP_DIR:-}"
korvane_wine_use_width "${KORVANE_WINE_WIDTH:-64}" || korvane_wine_use_width 64
KORVANE_WINEPREFIX="${korvane_wine_preset_prefix:-$KORVANE_WINEPREFIX}"
KORVANE_7ZIP_DIR="${korvane_wine_preset_7zip:-$KORVANE_7ZIP_DIR}"
unset korvane_wine_preset_prefix korvane_wine_preset_7zip

# korvane_dll_width DLL: prints 64 or 32 after the machine type in the DLL's
# PE header (AMD64 or i386); fails for anything else.
korvane_dll_width() {
    local pe machine
    pe="$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')"
    [[ "$pe" =~ ^[0-9]+$ ]] || return 1
    machine="$(od -An -tx1 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')"
    case "$machine" in
        6486) echo 64 ;;
        4c01) echo 32 ;;
        *) return 1 ;;
    esac
}

# korvane_e2e_data NAME DLL: the folder of an end-to-end script's data,
# build/e2e/NAME, with "-32" after it for a 32-bit DLL.
korvane_e2e_data() {
    local suffix=
    [[ "$(korvane_dll_width "$2" 2>/dev/null)" == 32 ]] && suffix=-32
    printf '%s\n' "$KORVANE_BUILD/e2e/$1$suffix"
}

# korvane_elf_class FILE: 1 for a 32-bit ELF program, 2 for a 64-bit one.
korvane_elf_class() {
    [[ "$(head -c 4 "$1" 2>/dev/null | od -An -tx1 | tr -d ' ')" == 7f454c46 ]] || return 1
    od -An -tu1 -j4 -N1 "$1" | tr -d ' '
}

# The Wine loader of the current width. Debian keeps both off PATH
# (/usr/lib/wine/wine64 from wine64, /usr/lib/wine/wine from wine32); other
# layouts put them on PATH or under the multiarch folders. Its plain `wine`
# command starts the 32-bit loader whenever wine32 is installed, so for 64
# bits it comes last, and a 32-bit loader must be a 32-bit program.
# KORVANE_WINE32 names a 32-bit loader elsewhere (or, naming none, shows how
# the tests go on where no 32-bit Wine runs).
korvane_find_wine() {
    local candidate
    if [[ "$KORVANE_WINE_WIDTH" == 32 ]]; then
        # KORVANE_WINE32, when set, is the only candidate.
        if [[ -n "${KORVANE_WINE32:-}" ]]; then
            [[ -x "$KORVANE_WINE32" && "$(korvane_elf_class "$KORVANE_WINE32")" == 1 ]] || return 1
            printf '%s\n' "$KORVANE_WINE32"
            return 0
        fi
        for candidate in \
            /usr/lib/wine/wine \
            /usr/lib/i386-linux-gnu/wine/wine \
            /opt/wine-stable/bin/wine \
            "$(dpkg -L wine32:i386 2>/dev/null | grep '/wine$' | head -n 1)" \
            "$(command -v wine 2>/dev/null)"; do
            if [[ -n "$candidate" && -x "$candidate" && ! -d "$candidate" &&
                "$(korvane_elf_class "$candidate")" == 1 ]]; then
                printf '%s\n' "$candidate"
                return 0
            fi
        done
        return 1
    fi
    for candidate in \
        "$(command -v wine64 2>/dev/null)" \
        /usr/lib/wine/wine64 \
        /usr/lib/x86_64-linux-gnu/wine/wine64 \
        /usr/lib64/wine/wine64 \
        /opt/wine-stable/bin/wine64 \
        "$(dpkg -L wine64 2>/dev/null | grep '/wine64$' | head -n 1)" \
        "$(command -v wine 2>/dev/null)"; do
        if [[ -n "$candidate" && -x "$candidate" && ! -d "$candidate" ]]; then
            printf '%s\n' "$candidate"
            return 0
        fi
    done
    return 1
}

korvane_find_wineserver() {
    local candidate
    for candidate in \
        "$(command -v wineserver 2>/dev/null)" \
        /usr/lib/wine/wineserver64 \
        /usr/lib/wine/wineserver \
        /usr/lib/x86_64-linux-gnu/wine/wineserver \
        /opt/wine-stable/bin/wineserver; do
        if [[ -n "$candidate" && -x "$candidate" && ! -d "$candidate" ]]; then
            printf '%s\n' "$candidate"
            return 0
        fi
    done
    return 1
}

korvane_wine_env() {
    if [[ "$KORVANE_WINE_WIDTH" == 32 ]]; then
        KORVANE_WINE="$(korvane_find_wine)" || korvane_error "no 32-bit Wine found (package $KORVANE_WINE32_PACKAGE)" || return
        export WINEARCH=win32
    else
        KORVANE_WINE="$(korvane_find_wine)" || korvane_error "no 64-bit Wine found (package wine64)" || return
        export WINEARCH=win64
    fi
    export WINEPREFIX="$KORVANE_WINEPREFIX"
    export WINEDEBUG=-all
    # Wine's own loader is the one to use for every program it starts.
    export WINELOADER="$KORVANE_WINE"
}

# Runs a Windows program (or a Wine built-in such as reg) in the prefix.
korvane_wine() {
    "$KORVANE_WINE" "$@"
}

# Creates the prefix once; later calls find it ready.
korvane_wine_init() {
    korvane_wine_env || return
    if [[ -f "$WINEPREFIX/system.reg" && -d "$WINEPREFIX/drive_c/windows/system32" ]]; then
        return 0
    fi
    korvane_log "creating the $KORVANE_WINE_WIDTH-bit Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Without Mono and Gecko: nothing here needs them, and Wine would
    # otherwise offer to install them.
    WINEDLLOVERRIDES="mscoree,mshtml=" korvane_wine wineboot -i </dev/null >/dev/null 2>&1 ||
        korvane_error "wineboot failed for $WINEPREFIX" || return
    korvane_wine_wait
    [[ -f "$WINEPREFIX/system.reg" ]] || korvane_error "wineboot made no registry in $WINEPREFIX"
}

# Waits until the prefix's wineserver has ended (it saves the registry then).
korvane_wine_wait() {
    local server
    server="$(korvane_find_wineserver)" || return 0
    WINEPREFIX="$KORVANE_WINEPREFIX" "$server" -w 2>/dev/null || true
}

# korvane_wine_reg_add KEY [/v NAME /t TYPE /d DATA]: creates the key (and
# value), replacing what is there.
korvane_wine_reg_add() {
    korvane_wine reg add "$@" /f </dev/null >/dev/null 2>&1 ||
        korvane_error "wine reg add $* failed"
}

# korvane_wine_reg_delete KEY: removes the key if it is there.
korvane_wine_reg_delete() {
    korvane_wine reg delete "$1" /f </dev/null >/dev/null 2>&1 || true
}

korvane_wine_reg_exists() {
    korvane_wine reg query "$1" </dev/null >/dev/null 2>&1
}

# korvane_7zip_copy DIR: 7z.exe and 7z.dll of the current width from the npm
# package into DIR, with an empty Codecs folder beside them.
korvane_7zip_copy() {
    local from
    korvane_install_7zip_package || return
    from="$(korvane_7zip_package_dir)/win/$KORVANE_7ZIP_ARCH"
    [[ -f "$from/7z.exe" && -f "$from/7z.dll" ]] ||
        korvane_error "the 7-Zip package has no win/$KORVANE_7ZIP_ARCH/7z.exe and 7z.dll" || return
    mkdir -p "$1/Codecs"
    cp -u "$from/7z.exe" "$from/7z.dll" "$1/"
}

# The private 7-Zip of the current width.
korvane_7zip_init() {
    korvane_7zip_copy "$KORVANE_7ZIP_DIR"
}

# korvane_7zip_alone DIR: 7-Zip without Korvane in DIR, of the current width:
# the same 7z.exe and 7z.dll, an empty Codecs folder. Run it with
# KORVANE_7ZIP_DIR=DIR korvane_7z ...
korvane_7zip_alone() {
    mkdir -p "$1/Codecs"
    rm -f "$1/Codecs"/*
    cp -u "$KORVANE_7ZIP_DIR/7z.exe" "$KORVANE_7ZIP_DIR/7z.dll" "$1/"
}

# korvane_7zip_install_plugin DLL [INI]: puts the plug-in into 7-Zip's Codecs
# folder under its width's name (Korvane.64.dll or Korvane.32.dll), with the
# configuration file INI as Korvane.ini (or with none).
korvane_7zip_install_plugin() {
    local codecs="$KORVANE_7ZIP_DIR/Codecs"
    rm -f "$codecs"/*
    cp "$1" "$codecs/$KORVANE_DLL_NAME"
    if [[ -n "${2:-}" ]]; then
        cp "$2" "$codecs/Korvane.ini"
    fi
}

# Runs 7z.exe with the given arguments in the current folder (pass file names
# relative to it); Windows line ends are turned into Unix ones.
korvane_7z() {
    local out rc=0
    out="$(timeout -k 10 300 "$KORVANE_WINE" "$KORVANE_7ZIP_DIR/7z.exe" "$@" </dev/null 2>&1)" || rc=$?
    printf '%s\n' "${out//$'\r'/}"
    return "$rc"
}

# korvane_wine32_ready: whether this machine runs 32-bit Windows programs
# under Wine, found out once per shell: the 32-bit loader must be installed
# and start (some sandboxes run no 32-bit programs at all), and in the 32-bit
# prefix `cmd /c ver` must answer. Sets KORVANE_WINE32_REASON to why not.
# Call it with width 32 chosen.
korvane_wine32_ready() {
    local out
    if [[ -n "${KORVANE_WINE32_STATUS:-}" ]]; then
        [[ "$KORVANE_WINE32_STATUS" == yes ]]
        return
    fi
    KORVANE_WINE32_STATUS=no
    if ! korvane_wine_env 2>/dev/null; then
        KORVANE_WINE32_REASON="no 32-bit Wine loader (Debian package $KORVANE_WINE32_PACKAGE)"
        return 1
    fi
    if ! out="$(timeout -k 5 30 "$KORVANE_WINE" --version 2>&1 </dev/null)"; then
        KORVANE_WINE32_REASON="this machine does not run 32-bit programs ($KORVANE_WINE --version: $(head -c 200 <<<"$out" | tr '\n' ' '))"
        return 1
    fi
    if ! korvane_wine_init >/dev/null 2>&1; then
        KORVANE_WINE32_REASON="32-bit Wine could not make its prefix $KORVANE_WINEPREFIX"
        return 1
    fi
    out="$(timeout -k 5 120 "$KORVANE_WINE" cmd /c ver 2>&1 </dev/null)"
    if ! grep -q 'Windows' <<<"$out"; then
        KORVANE_WINE32_REASON="32-bit Wine starts no Windows program here (cmd /c ver: $(head -c 200 <<<"$out" | tr '\r\n' '  '))"
        return 1
    fi
    KORVANE_WINE32_STATUS=yes
}

# korvane_e2e_start DLL [SETUP]: the common start of an end-to-end script:
# the DLL must exist, its width (from its PE header) chooses the Wine prefix
# and 7-Zip (SETUP, a function, may choose others of that width then), and
# Wine and the private 7-Zip must be set up. Where 32-bit programs don't run,
# it says so ("not run: ...") and exits without a pass. On failure it counts
# the failure, prints the script's summary and exits.
korvane_e2e_start() {
    local width
    if [[ ! -f "$1" ]]; then
        korvane_fail "the DLL exists" "missing: $1"
        korvane_results_end
        exit
    fi
    if ! width="$(korvane_dll_width "$1")"; then
        korvane_fail "$(basename "$1") is a Windows x64 or x86 DLL" "$(file -b "$1" 2>/dev/null)"
        korvane_results_end
        exit
    fi
    korvane_wine_use_width "$width"
    [[ -n "${2:-}" ]] && "$2"
    if ! korvane_install_deps; then
        korvane_fail "packages installed"
        korvane_results_end
        exit
    fi
    if [[ "$width" == 32 ]] && ! korvane_wine32_ready; then
        korvane_not_run "$(basename "$0") with $(basename "$1"): $KORVANE_WINE32_REASON"
        korvane_results_end
        exit
    fi
    if ! { korvane_wine_init && korvane_7zip_init; }; then
        korvane_fail "Wine prefix and 7-Zip set up"
        korvane_results_end
        exit
    fi
}

# korvane_wine_keeper_start DIR: keeps one wineserver and its service
# processes up while a script runs many Wine programs. A Wine program started
# while no server runs brings up the services, and they inherit its output:
# korvane_7z, which reads 7-Zip's output to its end, would then wait for them
# until the server shuts down, seconds after 7-Zip. tests/fixtures/holdfile.exe,
# holding a file in DIR with its output in a file there, is that program.
# Sets KORVANE_HOLDFILE_EXE; korvane_wine_keeper_stop ends it.
korvane_wine_keeper_start() {
    local dir="$1" compiler=x86_64-w64-mingw32-gcc _
    KORVANE_HOLDFILE_EXE="$KORVANE_BUILD/e2e/holdfile.exe"
    # A 32-bit prefix runs 32-bit programs only.
    if [[ "$KORVANE_WINE_WIDTH" == 32 ]]; then
        KORVANE_HOLDFILE_EXE="$KORVANE_BUILD/e2e/holdfile.32.exe"
        compiler=i686-w64-mingw32-gcc
    fi
    if [[ ! -f "$KORVANE_HOLDFILE_EXE" || "$KORVANE_HOLDFILE_EXE" -ot "$KORVANE_ROOT/tests/fixtures/holdfile.c" ]]; then
        mkdir -p "$(dirname "$KORVANE_HOLDFILE_EXE")"
        "$compiler" -municode -O2 -Wall -Wextra -Werror -o "$KORVANE_HOLDFILE_EXE" \
            "$KORVANE_ROOT/tests/fixtures/holdfile.c" 2>"$dir/holdfile-build.txt" || rm -f "$KORVANE_HOLDFILE_EXE"
    fi
    [[ -f "$KORVANE_HOLDFILE_EXE" ]] || return 1
    : >"$dir/keeper.lock"
    (cd "$dir" && exec "$KORVANE_WINE" "$KORVANE_HOLDFILE_EXE" keeper.lock 600) </dev/null >"$dir/keeper.txt" 2>&1 &
    KORVANE_KEEPER_PID=$!
    for _ in $(seq 100); do
        grep -q '^locked' "$dir/keeper.txt" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

korvane_wine_keeper_stop() {
    if [[ -n "${KORVANE_KEEPER_PID:-}" ]]; then
        kill "$KORVANE_KEEPER_PID" 2>/dev/null
        wait "$KORVANE_KEEPER_PID" 2>/dev/null
        KORVANE_KEEPER_PID=
    fi
}
