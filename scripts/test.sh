#!/bin/sh
# Installs what is missing, builds, and runs every test under Wine.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh"
status=0
(cd "$build_dir" && ctest --output-on-failure -j "$(nproc)") || status=$?
# The tests' wineserver ends with the run, also when a test failed.
WINEPREFIX="$build_dir/wineprefix" wineserver -k 2>/dev/null || true
exit $status
