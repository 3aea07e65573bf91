#!/usr/bin/env bash
# Builds the parameter framework's tests as a static 32-bit x86 Linux program
# and runs it with qemu-i386: the method tables called with standard-call
# and the hidden result pointer first, as on 32-bit Windows.
#
# Usage: tests/i386/run.sh [GoogleTest options, e.g. --gtest_filter=...]
# Environment: KORVANE_I386_BUILD overrides the build folder (build/i386);
# KORVANE_I386_BUILD_ONLY=1 builds and stops (scripts/test runs the program
# itself, to count each test).
# Exits non-zero when the build or a test fails.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"

build="${KORVANE_I386_BUILD:-$KORVANE_BUILD/i386}"

# 32-bit C and C++ libraries (static ones included) come with g++-multilib.
korvane_install_packages g++ g++-multilib cmake qemu-user libgtest-dev

korvane_results_begin

korvane_log "building the i386 parameter tests in $build"
mkdir -p "$build"
if ! cmake -S "$KORVANE_ROOT/tests/i386" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$KORVANE_ROOT/cmake/linux-i386.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1 ||
    ! cmake --build "$build" -j "$KORVANE_JOBS" >"$build/build.log" 2>&1; then
    tail -n 40 "$build/configure.log" "$build/build.log" 2>/dev/null || true
    korvane_fail "i386 parameter tests build"
    korvane_results_end
    exit 1
fi
# ELF machine 3 (EM_386) at offset 18: a 32-bit x86 program.
[[ "$(od -An -tx1 -j18 -N2 "$build/korvane_i386_tests" | tr -d ' ')" == 0300 ]] ||
    korvane_die "$build/korvane_i386_tests is not a 32-bit x86 program"

[[ "${KORVANE_I386_BUILD_ONLY:-0}" == 1 ]] && exit 0

korvane_log "running the i386 parameter tests with qemu-i386"
if qemu-i386 "$build/korvane_i386_tests" "$@"; then
    korvane_pass "i386 parameter tests (qemu-i386)"
else
    korvane_fail "i386 parameter tests (qemu-i386)"
fi
korvane_results_end
