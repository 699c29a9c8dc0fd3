#!/bin/sh
# Installs the Debian packages Kelvoscope needs to build, test and run.
# Does nothing when they are all there already. Run as root or with sudo.
set -eu
PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-serialport-dev
qt6-translations-l10n zlib1g-dev libbenchmark-dev libgl-dev fonts-noto-cjk"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
