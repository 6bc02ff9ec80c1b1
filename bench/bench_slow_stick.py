"""What a run costs on a stick of real speed: an exFAT stick behind the slow
stick (30 MB/s read, 12 MB/s write, 300 us a request; every read reaches
the image, never the page cache), a realistic mix of files (records of a
few KB, documents, photos, one video) in the host's folders and the user's
Documents and Pictures, and the script's pauses real on both sides
(BRISK_TIMEOUT_WAIT=1: ten seconds before each folder, a hundred at the
end). Prints figures; checks nothing.

- Settled run (after two runs that settle the lists, the stick mounted
  again between them as it is plugged in again): brisk's whole run against
  the script alone, rounds interleaved in rotated order; the median of the
  paired seconds beyond (aim: at most 1 s) and the MB each reads from the
  stick.
- First run (the backup, its lists and records removed before each): the
  same, with the median of the paired ratios (aim: at most 1.03).

BRISK_BENCH_ROUNDS sets the rounds (default 3), BRISK_BENCH_SLOW_MB the MB
stored (default 600). Needs root (a loop device and a FUSE mount)."""
import os
import random
import shutil
import statistics
import time

os.environ["BRISK_STICK"] = "exfat"

from brisk_scenario import USB2, World  # noqa: E402

ROUNDS = int(os.environ.get("BRISK_BENCH_ROUNDS", "3"))
STORED_MB = int(os.environ.get("BRISK_BENCH_SLOW_MB", "600"))
PAUSES_REAL = {"BRISK_TIMEOUT_WAIT": "1"}
MB = 1 << 20


def rotated(names, number):
    return names[number % len(names):] + names[:number % len(names)]


def make_mix(world, stored):
    """Files of several kinds, about stored bytes in all; returns the host's
    registry values."""
    chance = random.Random(42)
    data = world.c_drive() / "KORV" / "Data"
    master = world.c_drive() / "KORV" / "Master"
    kinds = [  # folder, share of the bytes, smallest and largest file
        (data / "records", 0.25, 4 << 10, 64 << 10),
        (master / "forms", 0.20, 200 << 10, 2 * MB),
        (world.user_folder("Documents") / "letters", 0.15, 10 << 10, MB),
        (world.user_folder("Pictures") / "photos", 0.30, 2 * MB, 6 * MB),
        (world.user_folder("Videos"), 0.10, 0, 0),
    ]
    block = os.urandom(MB)
    for folder, share, smallest, largest in kinds:
        left = int(stored * share)
        number = 0
        while left > 0:
            size = left if largest == 0 else min(left, chance.randint(smallest, largest))
            path = folder / f"{number // 200:03}" / f"file {number:05}.bin"
            path.parent.mkdir(parents=True, exist_ok=True)
            with open(path, "wb") as out:
                start = chance.randrange(MB)
                written = 0
                while written < size:  # distinct bytes in every file
                    piece = (block[start:] + block[:start])[:size - written]
                    out.write(piece)
                    written += len(piece)
                out.write(number.to_bytes(4, "little"))
            left -= size
            number += 1
    return {"User_Master": world.windows_path(master), "User_Data": world.windows_path(data)}


def timed(world, stick, run):
    reads_before = world.stick_reads(stick)[1]
    started = time.monotonic()
    run()
    seconds = time.monotonic() - started
    return seconds, (world.stick_reads(stick)[1] - reads_before) / 1e6


world = World("bench_slow_stick")
stick = world.stick("e", size="4G", speed=USB2)
world.install_program(stick)
world.host_settings(make_mix(world, STORED_MB * MB))
world.keep_server_warm()
try:
    first = world.run(r"E:\brisk.exe", env=PAUSES_REAL, warm=True, timeout=3600)
    assert first.exit_code == 0, first.output[-2000:]
    # The script alone: the same pauses and copies, the closing pause included.
    lines = ["cd /d C:\\"] + ["timeout /t 10  &\t" + command.replace("%", "%%") for command in first.copy_commands()]
    (world.c_drive() / "generated.bat").write_bytes("\r\n".join(lines + ["timeout /t 100", ""]).encode("cp932"))
    settling = []
    for _ in range(2):  # settles the lists; the stick is plugged in again between runs
        world.remount_stick(stick)
        world.keep_server_warm()
        settling.append(timed(world, stick, lambda: world.run(r"E:\brisk.exe", env=PAUSES_REAL, warm=True,
                                                              timeout=3600)))

    def brisk():
        result = world.run(r"E:\brisk.exe", env=PAUSES_REAL, warm=True, timeout=3600)
        assert result.exit_code == 0, result.output[-2000:]

    def script():
        world.run("cmd.exe", ["/c", r"C:\generated.bat"], env=PAUSES_REAL, warm=True, timeout=3600)

    runs = {"brisk.exe": brisk, "script alone": script}
    settled = {name: [] for name in runs}
    for number in range(ROUNDS):
        for name in rotated(list(runs), number):
            settled[name].append(timed(world, stick, runs[name]))

    def cleared():
        for name in ("_Backup_", "_Versions_"):
            shutil.rmtree(stick / name, ignore_errors=True)

    first_runs = {name: [] for name in runs}
    for number in range(ROUNDS):
        for name in rotated(list(runs), number):
            cleared()
            first_runs[name].append(timed(world, stick, runs[name]))
finally:
    world.stop_server()


def report(label, figures):
    brisk_seconds = [seconds for seconds, _ in figures["brisk.exe"]]
    script_seconds = [seconds for seconds, _ in figures["script alone"]]
    beyond = statistics.median(b - s for b, s in zip(brisk_seconds, script_seconds))
    ratio = statistics.median(b / s for b, s in zip(brisk_seconds, script_seconds))
    read = ", ".join(f"{mb:.0f}" for _, mb in figures["brisk.exe"])
    script_read = ", ".join(f"{mb:.0f}" for _, mb in figures["script alone"])
    print(f"slow stick, {STORED_MB} MB stored, {label}: brisk.exe {statistics.median(brisk_seconds):.1f} s, script"
          f" alone {statistics.median(script_seconds):.1f} s; beyond: median {beyond:.1f} s (x{ratio:.3f});"
          f" MB read from the stick: brisk {read}; script {script_read}", flush=True)


print(f"rounds: {ROUNDS}, pauses real, stick {USB2[0]} MB/s read, {USB2[1]} MB/s write, {USB2[2]} us")
print("the runs after the first, the stick plugged in again before each: "
      + ", ".join(f"{seconds:.1f} s, {mb:.0f} MB read" for seconds, mb in settling), flush=True)
report("settled run", settled)
report("first run", first_runs)
