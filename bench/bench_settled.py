"""What a run costs once its checksum lists are settled, and what a first
run costs, at 20,000 and 100,000 small files (100 to a folder), each size in
a world of its own. Prints figures; checks nothing.

- Settled run: after three runs that settle the lists, rounds run,
  interleaved and in rotated order, brisk's whole run, its own generated
  script alone and a plain listing walk of both trees; the figure is the
  median over rounds of (brisk - script) / walk (aim: at most 1.5). A
  round takes seconds and the script's own time varies by a tenth of a
  second from run to run: nine rounds by default.
- First run: the backup and its lists removed before each, brisk's whole
  run against its script alone on an empty backup; median of brisk / script
  (aim: at most 1.1).
- The rolling check's files and bytes in each of eight settled runs, as the
  run says them, in eighths of what is stored (aim: none above 1.5).
- The peak resident memory of a settled run's brisk.exe process (VmHWM,
  which includes what Wine itself maps; aim: at most 32 MiB at 100,000).

Each size with plain names and with Japanese ones. One warm wineserver per
world. BRISK_BENCH_ROUNDS sets the settled rounds (default 9),
BRISK_BENCH_FIRST_ROUNDS the first runs' (default 3), BRISK_BENCH_SIZES the
sizes ("20000,100000"), BRISK_BENCH_NAMES the names ("ascii,japanese")."""
import os
import re
import shutil
import statistics
import time

from bench_plan import make_tree, peak_resident_mib
from brisk_scenario import World, build_dir

ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "9"))
FIRST_ROUNDS = int(os.environ.get("BRISK_BENCH_FIRST_ROUNDS", "3"))
SIZES = [int(size) for size in os.environ.get("BRISK_BENCH_SIZES", "20000,100000").split(",")]
NAMES = os.environ.get("BRISK_BENCH_NAMES", "ascii,japanese").split(",")


def rotated(names, number):
    return names[number % len(names):] + names[:number % len(names)]


def megabytes(text):
    number, unit = text.split()
    return float(number) * (1024 if unit == "GB" else 1)


def measure(size, names):
    world = World(f"bench_settled_{size}_{names}")
    stick = world.drive("e", "floppy")
    world.install_program(stick)
    shutil.copy2(build_dir() / "bin" / "brisk_check_bench.exe", world.c_drive() / "walk.exe")
    source = world.c_drive() / "KORV" / "bench"
    make_tree(source, size, names)
    stored_mb = sum(path.stat().st_size for path in source.rglob("*") if path.is_file()) / (1 << 20)
    world.host_settings({"User_Master": world.windows_path(source)})
    world.keep_server_warm()
    backup_root = stick / "_Backup_"
    try:
        first = world.run(r"E:\brisk.exe", warm=True)
        assert first.exit_code == 0, first.output[-2000:]
        (world.c_drive() / "generated.bat").write_bytes(first.whole_script())
        backup = next(backup_root.glob("*/C/KORV/bench"))
        backup_windows = "E:\\" + str(backup.relative_to(stick)).replace("/", "\\")
        for _ in range(3):  # settles the lists
            world.run(r"E:\brisk.exe", warm=True)
        rolling = []
        for _ in range(8):  # every stored byte is read once in eight runs
            result = world.run(r"E:\brisk.exe", warm=True)
            found = re.search(r"Checked ([\d,]+) files? \(([\d.]+ [MG]B)\)", result.output)
            rolling.append(found.groups() if found else ("0", "0.0 MB"))

        settled = {
            "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
            "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
            "plain walk": lambda: world.run(r"C:\walk.exe", ["--walk", r"C:\KORV\bench", backup_windows], warm=True),
        }
        seconds = {name: [] for name in settled}
        for number in range(ROUNDS):
            for name in rotated(list(settled), number):
                started = time.monotonic()
                settled[name]()
                seconds[name].append(time.monotonic() - started)
        memory = peak_resident_mib(lambda: world.run(r"E:\brisk.exe", warm=True), world.prefix)

        first_runs = {
            "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
            "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
        }
        first_seconds = {name: [] for name in first_runs}
        for number in range(FIRST_ROUNDS):
            for name in rotated(list(first_runs), number):
                shutil.rmtree(backup_root / backup.relative_to(backup_root).parts[0], ignore_errors=True)
                for listed in backup_root.glob("*.sha256*"):
                    listed.unlink()
                shutil.rmtree(stick / "_Versions_", ignore_errors=True)
                started = time.monotonic()
                first_runs[name]()
                first_seconds[name].append(time.monotonic() - started)
    finally:
        world.stop_server()
    shutil.rmtree(world.root, ignore_errors=True)
    settled_ratio = statistics.median(
        (b - s) / w for b, s, w in zip(seconds["brisk.exe"], seconds["script alone"], seconds["plain walk"]))
    first_ratio = statistics.median(b / s for b, s in zip(first_seconds["brisk.exe"], first_seconds["script alone"]))
    medians = {name: statistics.median(values) for name, values in seconds.items()}
    first_medians = {name: statistics.median(values) for name, values in first_seconds.items()}
    label = f"{size:>7} files, {names} names,"
    print(f"{label} settled: brisk.exe {medians['brisk.exe']:.2f} s, script alone"
          f" {medians['script alone']:.2f} s, plain walk {medians['plain walk']:.2f} s;"
          f" (brisk - script) / walk: median {settled_ratio:.2f}; peak resident {memory:.1f} MiB", flush=True)
    shares = [(int(f.replace(",", "")) * 8 / size, megabytes(b) * 8 / stored_mb) for f, b in rolling]
    print(f"{label} rolling check in eight settled runs: {', '.join(f'{f} files ({b})' for f, b in rolling)};"
          f" in eighths, files {', '.join(f'{s[0]:.2f}' for s in shares)}, bytes"
          f" {', '.join(f'{s[1]:.2f}' for s in shares)}; most {max(max(s) for s in shares):.2f}", flush=True)
    print(f"{label} first run: brisk.exe {first_medians['brisk.exe']:.2f} s, script alone"
          f" {first_medians['script alone']:.2f} s; brisk / script: median {first_ratio:.2f}", flush=True)


def book_bytes(size):
    world = World("bench_settled_book")
    shutil.copy2(build_dir() / "bin" / "brisk_check_bench.exe", world.c_drive() / "book.exe")
    try:
        print(world.run(r"C:\book.exe", ["--book", str(size)]).output.strip(), flush=True)
    finally:
        world.stop_server()
    shutil.rmtree(world.root, ignore_errors=True)


print(f"rounds: {ROUNDS} settled, {FIRST_ROUNDS} first, sizes: {SIZES}")
for size in SIZES:
    book_bytes(size)
    for names in NAMES:
        measure(size, names)
