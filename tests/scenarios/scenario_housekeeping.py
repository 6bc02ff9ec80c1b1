"""After a backup onto stick E:: the backup folders are stamped, the ".tmp"
files in E:\\ give way to one free-space marker, today's usage bitmap is
written, and E: is shown. A backup onto a fixed drive F: from the stick
tidies neither drive; a demo run tidies its work folder."""
import re
import os
import subprocess
import time

from brisk_scenario import World, check, snapshot

world = World("housekeeping")
world.record_shell()
stick = world.drive("e", "floppy")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
planted_gone = ["old.tmp", "B.TMP", "tmp_file.txt"]
planted_kept = ["report.tmp.txt", "sub/x.tmp", "sub/tmp_file.txt", "notes.txt"]
for name in planted_gone + planted_kept:
    (stick / name).parent.mkdir(parents=True, exist_ok=True)
    (stick / name).write_bytes(b"planted")
kept_before = {p: v for p, v in snapshot(stick).items() if not p.startswith("_Backup_")
               and p not in planted_gone}


def gibibytes_free(folder):
    stat = os.statvfs(folder)
    return [count * stat.f_frsize / (1 << 30) for count in (stat.f_bfree, stat.f_bavail)]


started = time.time()
run = world.run(r"E:\brisk.exe", computer="PC01")
ended = time.time()
lines = run.lines()

# Each source's backup folder, an empty line, the stamped folders, the verdict.
listed = (stick / "_Backup_" / "PC01.txt").read_bytes().decode("utf-8").split("\r\n")
sources = [s for s in listed if s]
destinations = [str(world.windows_path(world.mirror_folder(r"E:\_Backup_", "PC01", s)))
                for s in sources]
first = lines.index(destinations[0])
check(lines[first:first + len(destinations)] == destinations, f"one line per backup folder\n{run.output[-3000:]}")
after = lines[first + len(destinations):]
check(after[0] == "", "an empty line after the backup folders")
pause = next(i for i, line in enumerate(after) if line.startswith("Backup complete: "))
stamped = after[1:pause]
check(stamped == sorted(stamped) and len(set(stamped)) == len(stamped), "ascending, each once")
check(set(destinations) | {r"E:\_Backup_\PC01"} <= set(stamped), f"stamped: {stamped}")
for folder in stamped:
    check(folder.startswith("E:\\_Backup_\\PC01"), f"{folder} stamped outside PC01's backup")
    written = world.linux_path(folder).stat().st_mtime
    check(started - 1 <= written <= ended + 1, f"{folder} last written at the run")

# The stick's root: one marker of the free space, the other files as they were.
check(not any((stick / name).exists() for name in planted_gone), "old .tmp files deleted")
markers = [p for p in stick.iterdir() if p.name.endswith("GB.tmp")]
check(len(markers) == 1 and markers[0].stat().st_size == 0, f"one empty marker: {markers}")
figure = float(markers[0].name[:-len("GB.tmp")])
check(any(abs(figure - free) < 0.02 for free in gibibytes_free(stick)),
      f"marker {markers[0].name} against {gibibytes_free(stick)}")
today = time.strftime("%Y-%m-%d")
bitmap = stick / f"{today}.dib"
kept_after = {p: v for p, v in snapshot(stick).items() if not p.startswith("_Backup_")
              and p not in (markers[0].name, bitmap.name)
              and not re.fullmatch(r"_Versions_/([^/]+/([^/]+\.(added|run\.txt))?)?", p)}
check(kept_after == kept_before, "nothing else outside the backup changed")
check(world.shell_requests() == [["E:/"]], "the stick shown")

# The bitmap: a 256 x 256, 32-bit picture of the used share.
check(bitmap.stat().st_size == 262198, "bitmap size")
shape = subprocess.run(["identify", "-format", "%w %h %[bit-depth] %[channels]", f"bmp:{bitmap}"],
                       capture_output=True, text=True, check=True).stdout
check(shape.startswith("256 256 8 ") and "a" in shape.split()[3], f"identify says {shape}")
stat = os.statvfs(stick)
# Wine counts as free either all free blocks or those free to the user.
used = [1000 - (free * stat.f_frsize) // ((stat.f_blocks * stat.f_frsize) // 1000)
        for free in (stat.f_bfree, stat.f_bavail)]
data = bitmap.read_bytes()


def pixel(x, y):
    return int.from_bytes(data[54 + (x + 256 * y) * 4:][:4], "little")


full_rows = [y for y in range(1, 255) if pixel(100, y) >> 24 == 0xFF and pixel(100, y) != 0xFFF0F0F0]
check(full_rows and full_rows == list(range(1, full_rows[-1] + 1)), "full rows from the bottom")
# The last full row is the first above 256 x (used hundreds) / 1000.
check(any(full_rows[-1] == 256 * (u // 100 * 100) // 1000 + 1 for u in used),
      f"{full_rows[-1] + 1} full rows for {used} per mille used")

# From the stick onto a fixed F:: neither drive is tidied, F:\_Backup_ is shown.
fixed = world.drive("f", "hd")
(fixed / "data").mkdir()
(stick / "old.tmp").write_bytes(b"planted")
stick_before = snapshot(stick)
run = world.run(r"E:\brisk.exe", [r"F:\data"], computer="PC01")
check(snapshot(stick) == stick_before, "the stick untouched by a backup onto F:")
check(not [p for p in fixed.iterdir() if p.suffix in (".tmp", ".dib")], "F:\\ not tidied")
check(r"F:\_Backup_\PC01" not in run.lines(), "F:'s backup folders stamped")
check(world.shell_requests() == [["F:\\_Backup_\\"]], "the backup root shown")

# Demo mode: the work folder holds the marker and the bitmap and is shown.
run = world.run(r"E:\brisk.exe", [r"C:\data"], computer="PC01")
work = world.user_folder("Temp") / "Quillon.tmp"
check(len(list(work.glob("*GB.tmp"))) == 1 and (work / f"{today}.dib").is_file(),
      "marker and bitmap in the work folder")
check(snapshot(stick) == stick_before, "the stick untouched by a demo run")
requests = world.shell_requests()
check(len(requests) == 1 and requests[0][0].endswith("\\Quillon.tmp\\"), f"shown: {requests}")
print("ok")
