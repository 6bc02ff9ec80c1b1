"""Measures a whole backup run of brisk.exe against the same copy commands
run directly, on a sample of at least 2,000 files (stand-in pauses off).
One warm wineserver for all runs; the three measures are interleaved, their
order rotated each round, each from an empty backup; the figures are the
medians of the per-round ratios. Prints figures; checks nothing."""
import shutil
import statistics
import time

from brisk_scenario import World, snapshot

ROUNDS = 7

world = World("bench_backup")
stick = world.drive("e", "floppy")
world.install_program(stick)
settings = world.sample_host_folders()
world.host_settings(settings)
master = world.linux_path(settings["User_Master"])
for folder in range(40):
    for number in range(50):
        path = master / f"folder {folder:02}" / f"file {number:03}.dat"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(bytes([number]) * (1000 + 37 * number))
files = sum(1 for v in snapshot(world.c_drive() / "KORV").values() if v is not None)

# One run to make the script, outside the timing.
first = world.run(r"E:\brisk.exe", computer="PC01")
copies = [command.replace("%", "%%") for command in first.copy_commands()]
(world.c_drive() / "direct.bat").write_bytes(("\r\n".join(["@echo off"] + copies) + "\r\n").encode("cp932"))
(world.c_drive() / "generated.bat").write_bytes(first.whole_script())

measures = {
    "brisk.exe": lambda: world.run(r"E:\brisk.exe", warm=True),
    "generated script": lambda: world.run("cmd.exe", ["/c", r"C:\generated.bat"], warm=True),
    "copy commands": lambda: world.run("cmd.exe", ["/c", r"C:\direct.bat"], warm=True),
}
world.keep_server_warm(computer="PC01")
seconds = {name: [] for name in measures}
names = list(measures)
try:
    for round_number in range(ROUNDS):
        order = names[round_number % len(names):] + names[:round_number % len(names)]
        for name in order:
            shutil.rmtree(stick / "_Backup_", ignore_errors=True)
            started = time.monotonic()
            measures[name]()
            seconds[name].append(time.monotonic() - started)
finally:
    world.stop_server()


def median_ratio(a, b):
    return statistics.median(x / y for x, y in zip(seconds[a], seconds[b]))


print(f"files in the host folders: {files}, copy commands: {len(copies)}, rounds: {ROUNDS}")
for name in names:
    print(f"{name:18} median {statistics.median(seconds[name]):.2f} s"
          f"  (min {min(seconds[name]):.2f}, max {max(seconds[name]):.2f})")
ratio = median_ratio("brisk.exe", "generated script")
print(f"brisk.exe / generated script:   median of paired ratios {ratio:.3f}"
      f"  (program's own share {100 * (1 - 1 / ratio):.1f} %)")
print(f"generated script / copy commands: median of paired ratios "
      f"{median_ratio('generated script', 'copy commands'):.3f}")
