"""What brisk's own work costs beside the copy, and how it grows: trees of
2,000, 20,000 and 100,000 files whose backup is up to date. Each round runs,
interleaved and in rotated order, brisk's whole run, its own generated
script alone, and a plain listing walk of both trees (one program that
lists them); the figure is the median over rounds of
(whole run - script alone) / plain walk: two walks of both trees (the plan
before the copy, the verification after it) would give 2. One warm
wineserver per tree. Afterwards one untimed run per tree samples the peak
resident memory of the brisk.exe process (VmHWM, which includes what Wine
itself maps). Prints figures; checks nothing.

BRISK_BENCH_PROGRAM names another brisk.exe to measure (an older build),
BRISK_BENCH_ROUNDS the number of rounds (default 5)."""
import os
import shutil
import statistics
import threading
import time
from pathlib import Path

from brisk_scenario import World, build_dir

SIZES = (2_000, 20_000, 100_000)
FILES_PER_FOLDER = 100
ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "5"))
PROGRAM = Path(os.environ.get("BRISK_BENCH_PROGRAM", build_dir() / "bin" / "brisk.exe"))


# The names of a tree's folders and files: plain letters, or the users' own
# (kana and kanji, which take the locale's case folding).
NAMES = {"ascii": ("folder {:04}", "file {:03}.dat"), "japanese": ("カルテ {:04}", "患者 記録 {:03}.dat")}


def make_tree(root, files, names="ascii"):
    folder_name, file_name = NAMES[names]
    for number in range(files):
        path = root / folder_name.format(number // FILES_PER_FOLDER) / file_name.format(number % FILES_PER_FOLDER)
        if number % FILES_PER_FOLDER == 0:
            path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"x" * (100 + number % 900))


def peak_resident_mib(run, prefix):
    """Runs run() while sampling the VmHWM of every brisk.exe process of the
    Wine prefix given: a brisk.exe of another world (another benchmark
    running beside this one) is not this run's."""
    peak = [0]
    done = threading.Event()
    own = f"WINEPREFIX={prefix}".encode()

    def sample():
        while not done.is_set():
            for pid in os.listdir("/proc"):
                if not pid.isdigit():
                    continue
                try:
                    if not Path(f"/proc/{pid}/cmdline").read_bytes().lower().startswith(b"e:\\brisk.exe"):
                        continue
                    if own not in Path(f"/proc/{pid}/environ").read_bytes().split(b"\0"):
                        continue
                    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
                        if line.startswith("VmHWM:"):
                            peak[0] = max(peak[0], int(line.split()[1]))
                except OSError:
                    continue
            time.sleep(0.01)

    sampler = threading.Thread(target=sample)
    sampler.start()
    try:
        run()
    finally:
        done.set()
        sampler.join()
    return peak[0] / 1024


def measure(size):
    world = World(f"bench_plan_{size}")
    stick = world.drive("e", "floppy")
    shutil.copy2(PROGRAM, stick / "brisk.exe")
    shutil.copy2(build_dir() / "bin" / "brisk_check_bench.exe", world.c_drive() / "walk.exe")
    source = world.c_drive() / "KORV" / "bench"
    make_tree(source, size)
    world.host_settings({"User_Master": world.windows_path(source)})
    # Every run, the first one too, with the same warm wineserver: a warm
    # run's computer name is the machine's own.
    world.keep_server_warm()
    first = world.run(r"E:\brisk.exe", warm=True)
    assert first.exit_code == 0, first.output[-2000:]
    (world.c_drive() / "generated.bat").write_bytes(first.whole_script())
    backup = next((stick / "_Backup_").glob("*/C/KORV/bench"))
    backup = "E:\\" + str(backup.relative_to(stick)).replace("/", "\\")
    measures = {
        "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
        "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
        "plain walk": lambda: world.run(r"C:\walk.exe", ["--walk", r"C:\KORV\bench", backup], warm=True),
    }
    names = list(measures)
    seconds = {name: [] for name in names}
    try:
        for round_number in range(ROUNDS):
            order = names[round_number % len(names):] + names[:round_number % len(names)]
            for name in order:
                started = time.monotonic()
                measures[name]()
                seconds[name].append(time.monotonic() - started)
        memory = peak_resident_mib(measures["brisk.exe"], world.prefix)
    finally:
        world.stop_server()
    ratios = [(b - s) / w for b, s, w in zip(seconds["brisk.exe"], seconds["script alone"], seconds["plain walk"])]
    shutil.rmtree(world.root, ignore_errors=True)
    return {name: statistics.median(values) for name, values in seconds.items()}, statistics.median(ratios), memory


if __name__ == "__main__":
    print(f"program: {PROGRAM}, rounds: {ROUNDS}, backup up to date")
    results = {}
    for size in SIZES:
        medians, ratio, memory = measure(size)
        results[size] = (ratio, memory)
        print(f"{size:>7} files: brisk.exe {medians['brisk.exe']:.2f} s, script alone {medians['script alone']:.2f} s,"
              f" plain walk {medians['plain walk']:.2f} s; (brisk - script) / walk: median {ratio:.2f};"
              f" peak resident {memory:.0f} MiB", flush=True)
    print(f"from 20,000 to 100,000 files: ratio {results[20_000][0]:.2f} -> {results[100_000][0]:.2f},"
          f" peak resident {results[20_000][1]:.0f} -> {results[100_000][1]:.0f} MiB")
