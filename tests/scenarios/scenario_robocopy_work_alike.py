"""The robocopy stand-in on a sample tree, with the program's copy command."""
from pathlib import Path

from brisk_scenario import World, check, fill_sample_folder, snapshot

world = World("robocopy_work_alike")
data = world.drive("d", "hd")
source = data / "患者データ & 50% off"
fill_sample_folder(source, "sample")
backup = data / "_Backup_" / "PC01" / "D" / "source"
(backup / "stale folder").mkdir(parents=True)
(backup / "stale folder" / "gone.txt").write_bytes(b"x")
(backup / "stale.txt").write_bytes(b"x")
(backup / "bak").mkdir()
(backup / "bak" / "protected.txt").write_bytes(b"kept: excluded names are not purged")
before = snapshot(source)

command = (r'robocopy "D:\患者データ & 50%% off" "D:\_Backup_\PC01\D\source" /s /purge /mir /fft'
           r' /r:3 /w:5 /xjd /max:4294967295 /xf  *.bak  *.tmp  Thumbs.db '
           r' /xd  bak  .vs  _Backup_  _Search_  _Backup_ *.tmp ')
script = data / "copy.bat"
script.write_bytes(("@echo off\r\n" + command + "\r\necho exit=%errorlevel%\r\n").encode("cp932"))
run = world.run("cmd.exe", ["/c", r"D:\copy.bat"])

copied = snapshot(backup)
expected = {path for path in before
            if not path.endswith((".bak", ".tmp", "Thumbs.db")) and not path.startswith("bak/")}
expected |= {"bak/", "bak/protected.txt"}
check(set(copied) == expected, f"copied tree: {sorted(set(copied) ^ expected)}")
for path, value in before.items():
    if path in copied and value is not None:
        check(copied[path][2] == value[2], f"content of {path}")
        check(abs(copied[path][1] - value[1]) < 2_000_000_000, f"time of {path}")
check("exit=3" in run.output, f"copied and purged: exit code bits 1 and 2\n{run.output}")
check(snapshot(source) == before, "the source is unchanged")

# An unknown switch is refused, not guessed at.
script.write_bytes(b"@robocopy D:\\x D:\\y /mt:8\r\n@echo exit=%errorlevel%\r\n")
run = world.run("cmd.exe", ["/c", r"D:\copy.bat"])
check('Invalid Parameter #3 : "/mt:8"' in run.output and "exit=16" in run.output, run.output)
# The timeout stand-in: both forms; a bad one is refused.
script.write_bytes(b"@timeout /t 3\r\n@timeout 4\r\n@timeout /x\r\n@echo exit=%errorlevel%\r\n")
run = world.run("cmd.exe", ["/c", r"D:\copy.bat"])
check("Waiting for 3 seconds" in run.output and "Waiting for 4 seconds" in run.output, run.output)
check("exit=1" in run.output and "Invalid syntax" in run.errors, run.output + run.errors)
print("ok")
