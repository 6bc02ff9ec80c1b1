"""What reading the backup back costs. Prints figures; checks nothing.

1. The program's own reader (unbuffered reads and the system's SHA-256) on
   one core: MB/s over a 256 MB file, median of three.
2. A run that copies 200 MB of new files (20 files of 10 MB) and reads them
   back: (whole run - its script alone) / a plain read of those 200 MB twice
   (the source and the copy), median of paired ratios over rounds.
3. An up-to-date run of 2,000 files, which reads the whole small backup
   again (the rolling check), against the previous build
   (BRISK_BENCH_PREVIOUS names its brisk.exe): (this - script alone) /
   (previous - script alone), and whole run / whole run, medians of paired
   ratios.

One warm wineserver per world; the measures of a round are interleaved and
their order rotated. Under Wine the "device" read goes through the Linux
page cache all the same, so these figures weigh the program's work, not a
stick. BRISK_BENCH_ROUNDS sets the rounds (default 5)."""
import os
import shutil
import statistics
import time
from pathlib import Path

from brisk_scenario import World, build_dir

ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "5"))
PROGRAM = build_dir() / "bin" / "brisk.exe"
PREVIOUS = os.environ.get("BRISK_BENCH_PREVIOUS")


def timed(action):
    started = time.monotonic()
    result = action()
    return time.monotonic() - started, result


def rounds(measures, prepare=None):
    names = list(measures)
    seconds = {name: [] for name in names}
    for number in range(ROUNDS):
        for name in names[number % len(names):] + names[:number % len(names)]:
            if prepare:
                prepare(name)
            seconds[name].append(timed(measures[name])[0])
    return seconds


def world_with_program(name):
    world = World(name)
    stick = world.drive("e", "floppy")
    shutil.copy2(PROGRAM, stick / "brisk.exe")
    shutil.copy2(build_dir() / "bin" / "brisk_check_bench.exe", world.c_drive() / "bench.exe")
    return world, stick


def first_backup(world, source):
    """Points the host's folder at the source, warms the wineserver, makes
    the first backup and keeps its copy commands as a script of their own."""
    world.host_settings({"User_Master": world.windows_path(source)})
    world.keep_server_warm()
    first = world.run(r"E:\brisk.exe", warm=True)
    assert first.exit_code == 0, first.output[-2000:]
    (world.c_drive() / "generated.bat").write_bytes(first.whole_script())


def reader_throughput():
    world, _ = world_with_program("bench_read_back_reader")
    (world.c_drive() / "big.bin").write_bytes(os.urandom(256 << 20))
    world.keep_server_warm()
    try:
        result = world.run(r"C:\bench.exe", ["--digest", r"C:\big.bin"], warm=True)
    finally:
        world.stop_server()
    shutil.rmtree(world.root, ignore_errors=True)
    print(f"reader: {result.output.strip()} (SHA-256 of a 256 MB file, unbuffered reads, one core)", flush=True)


def new_files_run():
    world, stick = world_with_program("bench_read_back_new")
    source = world.c_drive() / "KORV" / "new"
    source.mkdir(parents=True)
    for number in range(20):
        (source / f"file {number:02}.bin").write_bytes(os.urandom(10 << 20))
    try:
        first_backup(world, source)
        backup = next((stick / "_Backup_").glob("*/C/KORV/new"))
        backup_windows = "E:\\" + str(backup.relative_to(stick)).replace("/", "\\")

        def fresh(name):
            if name != "read twice":
                shutil.rmtree(backup, ignore_errors=True)
                for listed in (stick / "_Backup_").glob("*.sha256*"):
                    listed.unlink()
                shutil.rmtree(stick / "_Versions_", ignore_errors=True)
        seconds = rounds({
            "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
            "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
            "read twice": lambda: world.run(r"C:\bench.exe", ["--read", r"C:\KORV\new", backup_windows], warm=True),
        }, fresh)
    finally:
        world.stop_server()
    shutil.rmtree(world.root, ignore_errors=True)
    ratios = [(b - s) / r for b, s, r in zip(seconds["brisk.exe"], seconds["script alone"], seconds["read twice"])]
    medians = {name: statistics.median(values) for name, values in seconds.items()}
    print(f"200 MB of new files: brisk.exe {medians['brisk.exe']:.2f} s, script alone {medians['script alone']:.2f} s,"
          f" plain read twice {medians['read twice']:.2f} s; (brisk - script) / read twice: median"
          f" {statistics.median(ratios):.2f}", flush=True)


def up_to_date_run():
    if not PREVIOUS:
        print("up-to-date run: set BRISK_BENCH_PREVIOUS to the previous build's brisk.exe to compare")
        return
    world, stick = world_with_program("bench_read_back_up_to_date")
    shutil.copy2(PREVIOUS, stick / "previous.exe")
    source = world.c_drive() / "KORV" / "bench"
    for number in range(2_000):
        path = source / f"folder {number // 100:04}" / f"file {number % 100:03}.dat"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"x" * (100 + number % 900))
    try:
        first_backup(world, source)
        seconds = rounds({
            "this build": lambda: world.run(r"E:\brisk.exe", warm=True),
            "previous build": lambda: world.run(r"E:\previous.exe", warm=True),
            "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
        })
    finally:
        world.stop_server()
    shutil.rmtree(world.root, ignore_errors=True)
    own = [(t - s) / (p - s) for t, p, s in zip(seconds["this build"], seconds["previous build"], seconds["script alone"])]
    whole = [t / p for t, p in zip(seconds["this build"], seconds["previous build"])]
    medians = {name: statistics.median(values) for name, values in seconds.items()}
    print(f"2,000 files up to date: this build {medians['this build']:.2f} s, previous build"
          f" {medians['previous build']:.2f} s, script alone {medians['script alone']:.2f} s;"
          f" own work this / previous: median {statistics.median(own):.2f}; whole run: median"
          f" {statistics.median(whole):.2f}", flush=True)


print(f"program: {PROGRAM}, rounds: {ROUNDS}")
reader_throughput()
new_files_run()
up_to_date_run()
