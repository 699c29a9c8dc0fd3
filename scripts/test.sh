#!/bin/sh
# Installs what is missing, builds everything and runs every test: first the
# ordinary build (g++), then the clang build with AddressSanitizer,
# UndefinedBehaviorSanitizer and the fuzz targets, whose seed corpora run as tests.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
JOBS="$(nproc)"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DKELVO_FUZZ=ON
cmake --build build-fuzz -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-fuzz --output-on-failure -j "$JOBS"
