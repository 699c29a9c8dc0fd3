#!/bin/sh
# Installs what is missing, builds everything and runs every test.
# First the ordinary build (g++): the program, the simulator and the benchmarks,
# so they keep compiling without warnings. Then the clang build with
# AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz targets, which runs
# every test and every fuzz target's seed corpus. The tests run once, in the
# stricter build; neither build carries more debug information than source
# lines, which keeps the whole run short.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
JOBS="$(nproc)"
# Both builds together take about 1.2 GB; say what the disk has before they start.
df -h . || true

cmake -S . -B build-plain -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DBUILD_TESTING=OFF
cmake --build build-plain -j "$JOBS"

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0 -gline-tables-only" \
    -DCMAKE_CXX_COMPILER=clang++ -DKELVO_FUZZ=ON
cmake --build build-fuzz -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-fuzz --output-on-failure -j "$JOBS"
