"""What keeping earlier versions costs: a second run over 20,000 files of
which 1,000 changed since the last backup, so that 1,000 backup files are
moved into a version set before the copy replaces them. Each round changes
another 1,000 files before each measure and runs, interleaved and in
rotated order, brisk's whole run and its own generated script alone (the
copy the moves protect); with BRISK_BENCH_BASELINE naming a brisk.exe that
keeps no versions, that one too. Figures are medians of paired ratios; one
warm wineserver. Prints figures; checks nothing."""
import os
import shutil
import statistics
import time
from pathlib import Path

from brisk_scenario import World, build_dir

FILES = 20_000
CHANGED = 1_000
ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "5"))
BASELINE = os.environ.get("BRISK_BENCH_BASELINE")

world = World("bench_versions")
stick = world.drive("e", "floppy")
world.install_program(stick)
if BASELINE:
    shutil.copy2(BASELINE, stick / "baseline.exe")
source = world.c_drive() / "KORV" / "bench"
paths = []
for number in range(FILES):
    path = source / f"folder {number // 100:03}" / f"file {number % 100:02}.dat"
    if number % 100 == 0:
        path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"x" * (100 + number % 900))
    paths.append(path)
world.host_settings({"User_Master": world.windows_path(source)})
# Every run, the first one too, with the same warm wineserver: a warm run's
# computer name is the machine's own.
world.keep_server_warm()
first = world.run(r"E:\brisk.exe", warm=True)
assert first.exit_code == 0, first.output[-2000:]
(world.c_drive() / "generated.bat").write_bytes(first.whole_script())

generation = [0]


def change_files():
    """Rewrites the next 1,000 files with another size and a later time."""
    generation[0] += 1
    start = (generation[0] * CHANGED) % FILES
    stamp = time.time() + 10 * generation[0]
    for path in paths[start:start + CHANGED]:
        path.write_bytes(b"y" * (50 + generation[0] % 40))
        os.utime(path, (stamp, stamp))


measures = {
    "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
    "script alone": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
}
if BASELINE:
    measures["no versions"] = lambda: world.run(r"E:\baseline.exe", warm=True)
names = list(measures)
seconds = {name: [] for name in names}
try:
    for round_number in range(ROUNDS):
        for name in names[round_number % len(names):] + names[:round_number % len(names)]:
            change_files()
            started = time.monotonic()
            measures[name]()
            seconds[name].append(time.monotonic() - started)
finally:
    world.stop_server()
sets = [s for computer in (stick / "_Versions_").iterdir() for s in computer.iterdir()]
kept = sum(1 for s in sets for p in s.rglob("*") if p.is_file())


def ratio(a, b):
    return statistics.median(x / y for x, y in zip(seconds[a], seconds[b]))


print(f"{FILES} files, {CHANGED} changed before each measure, {ROUNDS} rounds;"
      f" {len(sets)} version sets holding {kept} files afterwards")
for name in names:
    print(f"{name:13} median {statistics.median(seconds[name]):.2f} s")
print(f"brisk.exe / script alone: median of paired ratios {ratio('brisk.exe', 'script alone'):.2f}")
if BASELINE:
    print(f"no versions / script alone: {ratio('no versions', 'script alone'):.2f};"
          f" brisk.exe / no versions: {ratio('brisk.exe', 'no versions'):.2f}")
shutil.rmtree(world.root, ignore_errors=True)
