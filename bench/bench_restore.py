"""What a restore costs: 100,000 small files (100 to a folder) backed up
once, then restored into an empty folder, against a plain robocopy of the
same backup folder into an empty folder followed by a SHA-256 of every file
it copied (the check a restore does on its way). Rounds interleaved in
rotated order, one warm wineserver; prints medians and the median of the
paired ratios, and the restore's peak resident memory. Checks nothing.

BRISK_BENCH_ROUNDS sets the rounds (default 3), BRISK_BENCH_RESTORE_FILES
the files (default 100000)."""
import os
import shutil
import statistics
import time

from bench_plan import make_tree, peak_resident_mib
from brisk_scenario import World, build_dir

ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "3"))
FILES = int(os.environ.get("BRISK_BENCH_RESTORE_FILES", "100000"))


def rotated(names, number):
    return names[number % len(names):] + names[:number % len(names)]


world = World("bench_restore")
stick = world.drive("e", "floppy")
world.install_program(stick)
target = world.drive("d")
shutil.copy2(build_dir() / "bin" / "brisk_check_bench.exe", world.c_drive() / "hash.exe")
source = world.c_drive() / "KORV" / "bench"
make_tree(source, FILES)
world.host_settings({"User_Master": world.windows_path(source)})
world.keep_server_warm()
try:
    first = world.run(r"E:\brisk.exe", warm=True)
    assert first.exit_code == 0, first.output[-2000:]
    computer = next((stick / "_Backup_").glob("*/C/KORV/bench")).parent.parent.parent.name
    backup = rf"E:\_Backup_\{computer}\C\KORV\bench"

    def restore():
        result = world.run(r"E:\brisk.exe", ["/restore", f"/from:{computer}", r"/to:D:\restored"], warm=True)
        assert result.exit_code == 0, result.output[-2000:]

    def plain():
        copied = world.run("cmd.exe", ["/c", "robocopy", backup, r"D:\plain", "/e"], warm=True)
        assert copied.exit_code in (0, 1), copied.output[-2000:] + copied.errors[-2000:]
        hashed = world.run(r"C:\hash.exe", ["--hash", r"D:\plain"], warm=True)
        assert hashed.output.strip() == f"{FILES} files hashed", hashed.output + hashed.errors[-2000:]

    runs = {"restore": restore, "robocopy + hash": plain}
    seconds = {name: [] for name in runs}
    for number in range(ROUNDS):
        for name in rotated(list(runs), number):
            shutil.rmtree(target / "restored", ignore_errors=True)
            shutil.rmtree(target / "plain", ignore_errors=True)
            started = time.monotonic()
            runs[name]()
            seconds[name].append(time.monotonic() - started)
    shutil.rmtree(target / "restored", ignore_errors=True)
    memory = peak_resident_mib(restore, world.prefix)
finally:
    world.stop_server()
shutil.rmtree(world.root, ignore_errors=True)
ratio = statistics.median(r / p for r, p in zip(seconds["restore"], seconds["robocopy + hash"]))
print(f"{FILES} files restored into an empty folder: restore {statistics.median(seconds['restore']):.2f} s,"
      f" robocopy + hash {statistics.median(seconds['robocopy + hash']):.2f} s; restore / (robocopy + hash):"
      f" median {ratio:.2f}; peak resident {memory:.1f} MiB", flush=True)
