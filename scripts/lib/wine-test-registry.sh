# shellcheck shell=bash disable=SC2034
# The registry that the Windows unit tests expect in the Wine prefix, in one
# place. scripts/test applies it before it runs korvane_tests.exe under Wine.
# A key for a test case: list it in KORVANE_WINE_TEST_KEYS. A value under it:
# add a line to korvane_wine_test_registry, e.g.
#   korvane_wine_reg_add "$KORVANE_CSP_KEY\\Name" /v Type /t REG_DWORD /d 1
# Keys listed here are created on every run; korvane_wine_test_registry_remove
# takes them away again (with their values).

KORVANE_CSP_KEY='HKLM\SOFTWARE\Microsoft\Cryptography\Defaults\Provider'

KORVANE_WINE_TEST_KEYS=(
    # A provider that is registered but that no one can acquire: Wine has no
    # such provider DLL, the key alone makes it "registered".
    "$KORVANE_CSP_KEY\\Infotecs Cryptographic Service Provider"
)

korvane_wine_test_registry() {
    local key
    for key in "${KORVANE_WINE_TEST_KEYS[@]}"; do
        korvane_wine_reg_add "$key" || return
    done
    # Values under the keys go here.
}

korvane_wine_test_registry_remove() {
    local key
    for key in "${KORVANE_WINE_TEST_KEYS[@]}"; do
        korvane_wine_reg_delete "$key"
    done
}
