"""What an unusable temporary folder costs a run: the same backup (up to
date) with a good temporary folder and with TEMP and TMP on a missing drive,
interleaved, order rotated; each run starts its own wineserver, since the
environment changes between them. Prints the median of paired ratios;
checks nothing."""
import os
import statistics
import time

from brisk_scenario import World

ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "5"))

world = World("bench_temp")
stick = world.drive("e", "floppy")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
good = world.windows_path(world.user_folder("Temp"))
world.run(r"E:\brisk.exe")
seconds = {"good": [], "unusable": []}
for round_number in range(ROUNDS):
    for name in (["good", "unusable"] if round_number % 2 == 0 else ["unusable", "good"]):
        world.temp_folder(good if name == "good" else r"Q:\Temp")
        started = time.monotonic()
        world.run(r"E:\brisk.exe")
        seconds[name].append(time.monotonic() - started)
ratio = statistics.median(u / g for u, g in zip(seconds["unusable"], seconds["good"]))
print(f"good temporary folder: median {statistics.median(seconds['good']):.2f} s;"
      f" unusable: median {statistics.median(seconds['unusable']):.2f} s;"
      f" unusable / good: median of paired ratios {ratio:.2f} ({ROUNDS} rounds)")
