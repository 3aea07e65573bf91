# shellcheck shell=bash disable=SC2034
# The Wine prefix with the GOST test provider: a prefix of its own, so that
# the tests in the project's main prefix keep seeing a machine without GOST,
# and a 7-Zip folder of its own for the same reason. Source common.sh,
# deps.sh, wine.sh and wine-test-registry.sh first.

KORVANE_GOST_WINEPREFIX="$KORVANE_TOOLS/wine-prefix-gost"
KORVANE_GOST_7ZIP_DIR="$KORVANE_TOOLS/7-Zip-x64-gost"

# Makes the GOST prefix and its 7-Zip folder the ones that the helpers of
# wine.sh use from now on (in this shell).
korvane_gost_use_prefix() {
    KORVANE_WINEPREFIX="$KORVANE_GOST_WINEPREFIX"
    KORVANE_7ZIP_DIR="$KORVANE_GOST_7ZIP_DIR"
}

# Creates the prefix if needed and registers the test provider in it
# (scripts/gost-test-provider builds it first).
korvane_gost_prefix_init() {
    korvane_gost_use_prefix
    korvane_wine_init || return
    WINEPREFIX="$KORVANE_WINEPREFIX" bash "$KORVANE_ROOT/scripts/gost-test-provider"
}
