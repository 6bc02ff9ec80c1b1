"""Measures a whole backup run of brisk.exe against the same copy commands
run directly, on a sample of at least 2,000 files (stand-in pauses off).
Prints figures; checks nothing."""
import re
import shutil
import time

from brisk_scenario import World, snapshot

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

REPEATS = 3  # each figure is the best of three runs from an empty backup


def best(measure):
    times = []
    for _ in range(REPEATS):
        shutil.rmtree(stick / "_Backup_", ignore_errors=True)
        times.append(measure())
    return min(times)


whole = best(lambda: world.run(r"E:\brisk.exe", computer="PC01").seconds)
script = next(world.script_folder().glob("RC_*_smirfft.bat"))
lines = script.read_bytes().decode("cp932").split("\r\n")
copies = [re.sub(r"^timeout /t 10  &\t", "", line) for line in lines if "robocopy " in line]


def timed_script(name, text):
    (world.c_drive() / name).write_bytes(text.encode("cp932"))
    return best(lambda: world.run("cmd.exe", ["/c", "C:\\" + name], computer="PC01").seconds)


direct = timed_script("direct.bat", "\r\n".join(["@echo off"] + copies) + "\r\n")
# The generated script itself: the copy lines with their (non-waiting) pauses.
generated = timed_script("generated.bat", "\r\n".join(lines))

print(f"files in the host folders: {files}, copy commands: {len(copies)}")
print(f"brisk.exe whole run:                      {whole:.2f} s")
print(f"the copy commands alone, run by cmd.exe:  {direct:.2f} s  (ratio {whole / direct:.3f})")
print(f"the generated script, run by cmd.exe:     {generated:.2f} s  (ratio {whole / generated:.3f})")
print(f"program's own share beside the script:    {100 * (whole - generated) / whole:.1f} %")
