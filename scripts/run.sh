#!/bin/sh
# Installs what is missing, builds Kelvoscope and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kelvoscope qm4100-sim
exec ./build/kelvoscope "$@"
