#!/bin/sh
# Installs what building and testing brisk needs on Debian (run as root):
# CMake, the mingw-w64 cross compiler (POSIX threads), Wine and GoogleTest's
# sources. Does nothing when everything is there already.
set -e
packages="cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 googletest"
missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
