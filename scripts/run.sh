#!/bin/sh
# Installs what is missing, builds Kelvoscope and starts it.
#   ./scripts/run.sh           the program
#   ./scripts/run.sh --demo    the program with a simulated instrument to
#                              connect to (Tools > Connect, default settings)
# Any further arguments go to the program.
set -eu
cd "$(dirname "$0")/.."
program=kelvoscope
if [ "${1:-}" = "--demo" ]; then
    program=kelvoscope-demo
    shift
fi
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target "$program" qm4100-sim
exec "./build/$program" "$@"
