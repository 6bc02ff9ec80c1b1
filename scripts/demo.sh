#!/bin/sh
# Installs what is missing, builds, and runs brisk.exe as a user would: from
# a removable drive E: in a Wine world with a sample host application (see
# tools/scenario/). Arguments are passed on to brisk.exe.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" >/dev/null
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/tools/scenario/demo.py" "$@"
