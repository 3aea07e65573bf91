# shellcheck shell=bash disable=SC2034
# The Wine prefix with the GOST test provider: a prefix of its own, so that
# the tests in the project's main prefix keep seeing a machine without GOST,
# and a 7-Zip folder of its own for the same reason. Source common.sh,
# deps.sh, wine.sh and wine-test-registry.sh first.

# Makes the GOST prefix and its 7-Zip folder of the current width
# (korvane_wine_use_width) the ones that the helpers of wine.sh use from now
# on (in this shell): wine-prefix-gost and 7-Zip-x64-gost for 64 bits,
# wine-prefix-32-gost and 7-Zip-x86-gost for 32 bits.
korvane_gost_use_prefix() {
    KORVANE_WINEPREFIX="${KORVANE_WINEPREFIX%-gost}-gost"
    KORVANE_7ZIP_DIR="${KORVANE_7ZIP_DIR%-gost}-gost"
}

# Creates the prefix if needed and registers the test provider of the
# prefix's width in it (scripts/gost-test-provider builds it first).
korvane_gost_prefix_init() {
    korvane_gost_use_prefix
    korvane_wine_init || return
    WINEPREFIX="$KORVANE_WINEPREFIX" KORVANE_WINE_WIDTH="$KORVANE_WINE_WIDTH" \
        bash "$KORVANE_ROOT/scripts/gost-test-provider"
}
