#!/bin/sh
# Configures and builds brisk.exe and its tests with mingw-w64 into BUILD_DIR
# (default: build). Arguments name the targets to build instead of all of
# them (scripts/demo.sh builds brisk_demo: the program and its stand-ins).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
if [ "$#" -gt 0 ]; then
    cmake --build "$build_dir" -j "$(nproc)" --target "$@"
else
    cmake --build "$build_dir" -j "$(nproc)"
fi
