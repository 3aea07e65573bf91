#!/usr/bin/env bash
# Builds the parameter framework's tests as a static 32-bit x86 Linux program
# (the preset i386) and runs it with qemu-i386: the method tables called with
# standard-call and the hidden result pointer first, as on 32-bit Windows.
# The same as: cmake --preset i386 && cmake --build --preset i386 &&
# ctest --preset i386 (scripts/test does that, and counts each test).
#
# Usage: tests/i386/run.sh [GoogleTest options, e.g. --gtest_filter=...]
# Exits non-zero when the build or a test fails.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
source "$KORVANE_ROOT/scripts/lib/deps.sh"

build="$KORVANE_BUILD/i386"

# 32-bit C and C++ libraries (static ones included) come with g++-multilib.
korvane_install_packages g++ g++-multilib cmake qemu-user libgtest-dev

korvane_results_begin

korvane_log "building the i386 parameter tests in $build"
mkdir -p "$build"
if ! (cd "$KORVANE_ROOT" && cmake --preset i386) >"$build/configure.log" 2>&1 ||
    ! (cd "$KORVANE_ROOT" && cmake --build --preset i386 -j "$KORVANE_JOBS") >"$build/build.log" 2>&1; then
    tail -n 40 "$build/configure.log" "$build/build.log" 2>/dev/null || true
    korvane_fail "i386 parameter tests build"
    korvane_results_end
    exit 1
fi
program="$build/tests/i386/korvane_i386_tests"
# ELF machine 3 (EM_386) at offset 18: a 32-bit x86 program.
[[ "$(od -An -tx1 -j18 -N2 "$program" | tr -d ' ')" == 0300 ]] ||
    korvane_die "$program is not a 32-bit x86 program"

korvane_log "running the i386 parameter tests with qemu-i386"
bash "$KORVANE_ROOT/tests/lib/gtest.sh" i386 qemu-i386 "$program" "$@"
korvane_results_end
