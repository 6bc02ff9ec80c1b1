#!/bin/sh
# Installs what building and testing brisk needs on Debian (run as root):
# CMake, the mingw-w64 cross compiler (POSIX threads), Wine, GoogleTest's
# sources, Python 3 (the scenario runner), faketime (gives a scenario's run another clock),
# ImageMagick (reads the bitmaps the
# program writes), and a Japanese locale (the generated scripts are read by cmd.exe in
# the Japanese code page; tests run them under Wine with that locale).
# Does nothing when everything is there already.
set -e
packages="cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 googletest locales python3 imagemagick exfatprogs exfat-fuse faketime"
missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
