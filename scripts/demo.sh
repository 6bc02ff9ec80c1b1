#!/bin/sh
# Installs what is missing, builds, and runs brisk.exe as a user would: from
# a removable drive E: in a Wine world with a sample host application (see
# tools/scenario/). Arguments are passed on to brisk.exe. Builds only what
# the demo runs (brisk.exe and the robocopy and timeout stand-ins), not the
# test programs: scripts/test.sh builds those.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" brisk_demo >/dev/null
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/tools/scenario/demo.py" "$@"
