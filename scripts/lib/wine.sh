# shellcheck shell=bash disable=SC2034
# Wine and the private 7-Zip: a Wine prefix of the project's own under
# build/, and 7-Zip for Windows x64 in a folder of its own with the Codecs
# folder that 7-Zip loads plug-ins from. Source common.sh and deps.sh first.

# A caller may choose another prefix or 7-Zip folder by setting these first
# (scripts/lib/gost.sh does, for the prefix with the GOST test provider).
KORVANE_WINEPREFIX="${KORVANE_WINEPREFIX:-$KORVANE_TOOLS/wine-prefix}"
KORVANE_7ZIP_DIR="${KORVANE_7ZIP_DIR:-$KORVANE_TOOLS/7-Zip-x64}"

# The 64-bit Wine loader. Debian keeps it off PATH (/usr/lib/wine/wine64);
# other layouts put it on PATH or under the multiarch folder.
korvane_find_wine() {
    local candidate
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
    KORVANE_WINE="$(korvane_find_wine)" || korvane_error "no 64-bit Wine found (package wine64)" || return
    export WINEPREFIX="$KORVANE_WINEPREFIX"
    export WINEARCH=win64
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
    korvane_log "creating the Wine prefix $WINEPREFIX"
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

# The private 7-Zip: 7z.exe and 7z.dll from the npm package, with an empty
# Codecs folder beside them.
korvane_7zip_init() {
    local package
    korvane_install_7zip_package || return
    package="$(korvane_7zip_package_dir)"
    mkdir -p "$KORVANE_7ZIP_DIR/Codecs"
    cp -u "$package/win/x64/7z.exe" "$package/win/x64/7z.dll" "$KORVANE_7ZIP_DIR/"
}

# korvane_7zip_install_plugin DLL [INI]: puts the plug-in into 7-Zip's Codecs
# folder as Korvane.64.dll, with the configuration file INI as Korvane.ini
# (or with none).
korvane_7zip_install_plugin() {
    local codecs="$KORVANE_7ZIP_DIR/Codecs"
    rm -f "$codecs"/*
    cp "$1" "$codecs/Korvane.64.dll"
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

# korvane_e2e_start DLL: the common start of an end-to-end script: the DLL
# must exist, and Wine and the private 7-Zip must be set up. On failure it
# counts the failure, prints the script's summary and exits.
korvane_e2e_start() {
    if [[ ! -f "$1" ]]; then
        korvane_fail "Korvane.64.dll exists" "missing: $1"
        korvane_results_end
        exit
    fi
    if ! { korvane_install_deps && korvane_wine_init && korvane_7zip_init; }; then
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
    local dir="$1" _
    KORVANE_HOLDFILE_EXE="$KORVANE_BUILD/e2e/holdfile.exe"
    if [[ ! -f "$KORVANE_HOLDFILE_EXE" || "$KORVANE_HOLDFILE_EXE" -ot "$KORVANE_ROOT/tests/fixtures/holdfile.c" ]]; then
        mkdir -p "$(dirname "$KORVANE_HOLDFILE_EXE")"
        x86_64-w64-mingw32-gcc -municode -O2 -Wall -Wextra -Werror -o "$KORVANE_HOLDFILE_EXE" \
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
