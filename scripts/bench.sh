#!/bin/sh
# Builds and runs the benchmarks under Wine; prints their figures.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR="$build_dir" "$root/scripts/build.sh" >/dev/null
cmake --build "$build_dir" --target brisk_bench brisk_check_bench >/dev/null
"$root/tools/wine/wine-run" "$build_dir" "$build_dir/bin/brisk_bench.exe"
"$root/tools/wine/wine-run" "$build_dir" "$build_dir/bin/brisk_check_bench.exe"
WINEPREFIX="$build_dir/wineprefix" wineserver -k 2>/dev/null || true
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_backup.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_plan.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_versions.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_temp.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_settled.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_restore.py"
BRISK_BUILD_DIR="$build_dir" PYTHONPATH="$root/tools/scenario" \
    python3 "$root/bench/bench_slow_stick.py"
