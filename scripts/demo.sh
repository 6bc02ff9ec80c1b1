#!/bin/sh
# Installs what is missing, builds, and runs brisk.exe under Wine in the
# build tree's prepared prefix (its user folders are its own and the Linux
# root is not mapped as a drive).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" >/dev/null
echo "--- brisk.exe $*"
status=0
"$root/tools/wine/wine-run" "$build_dir" "$build_dir/bin/brisk.exe" "$@" || status=$?
echo "--- exit code $status"
WINEPREFIX="$build_dir/wineprefix" wineserver -k 2>/dev/null || true
exit $status
