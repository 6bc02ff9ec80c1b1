"""Where a restore may write, and the words it says: a stick whose tree names
a file outside the backup's folders (a Startup folder) gets everything else
back to the original places, that file left and named; an original drive
that is missing is named with /to:, the rest restored (exit 1); a leftover
<name>.brisk-restoring is left as it was, named, and never backed up; a
file name of 250 characters comes back; a junction inside a /to: target, a
read-only target and a target spelled through a short name of _Versions_
are refused before anything is written (exit 2); the stick's own
_Versions_ folder as a link is refused; /at: with a day that does not exist
gets the usage (exit 2); /list says "would restore" only for what the
restore restores; /check calls a damaged file damaged."""
import hashlib
import os
import shutil

from brisk_scenario import STICK_KIND, World, check, snapshot

world = World("restore_edges")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
praxis_drive = world.drive("d")
praxis = praxis_drive / "Praxis"
(praxis / "2026").mkdir(parents=True)
(praxis / "2026" / "Karte 1.txt").write_bytes(b"Karte eins")
(praxis / "Liste.csv").write_bytes(b"1;2;3\r\n")
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"],
                     "User_PatData": r"D:\Praxis"})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])
long_name = "n" * 246 + ".txt"
check(len(long_name) == 250, "a name of 250 characters")
(data / long_name).write_bytes(b"a long name")
backup = stick / "_Backup_" / "PC01"
checksums = stick / "_Backup_" / "PC01.sha256"


def run(args, **options):
    result = world.run(r"E:\brisk.exe", list(args), computer="PC01", **options)
    return result, result.output + result.errors


def last_line(said):
    return said.rstrip().splitlines()[-1]


result, said = run([])
check(result.exit_code == 0, f"backup: {result.exit_code}\n{said[-1500:]}")
check((backup / "D" / "Praxis" / "Liste.csv").is_file() and (backup / "C" / "KORV" / "Data" / long_name).is_file(),
      "the folder on D: and the long name are backed up")

# The stick names a file in the Startup folder, with a checksum line that matches.
startup = rf"C:\users\{world.user}\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup"
planted_relative = "C/" + startup[3:].replace("\\", "/") + "/evil.bat"
planted = backup.joinpath(*planted_relative.split("/"))
planted.parent.mkdir(parents=True)
planted.write_bytes(b"@echo planted\r\n")
with open(checksums, "ab") as listing:
    listing.write(f"{hashlib.sha256(b'@echo planted' + bytes([13, 10])).hexdigest()}  {planted_relative}\n"
                  .encode("utf-8"))
startup_on_c = world.linux_path(startup)

# What /list says of the original places: the planted file would not be restored.
(master / "readme.txt").unlink()
result, said = run(["/restore", "/to:original", "/list"])
check(result.exit_code == 0, f"/list: {result.exit_code}\n{said[-1500:]}")
check(f"Would not restore {startup}\\evil.bat (it lies below none of the folders the backup of PC01" in said,
      f"/list names the planted file:\n{said[-2500:]}")
check("Would restore " + startup not in said and f"Would restore {samples['User_Master']}\\readme.txt" in said,
      f"/list says 'would restore' only for what is restored:\n{said[-2500:]}")

# Back to the original places with drive D: gone (a new PC) and a leftover where readme.txt goes.
leftover = master / "readme.txt.brisk-restoring"
leftover.write_bytes(b"half of an earlier restore")
leftover_before = snapshot(master)["readme.txt.brisk-restoring"]
(data / long_name).unlink()
(world.prefix / "dosdevices" / "d:").unlink()
result, said = run(["/restore", "/to:original"])
check(result.exit_code == 1, f"/to:original: {result.exit_code}\n{said[-2500:]}")
check(f"Not restored: {startup}\\evil.bat (it lies below none of the folders the backup of PC01" in said
      and not startup_on_c.exists(), f"the Startup file is left and named:\n{said[-2500:]}")
check(r"Not restored: D:\Praxis (2 files): there is no drive D: on this computer" in said
      and r"/only:D:\Praxis /to:" in said, f"the missing drive is named with the way out:\n{said[-2500:]}")
check(f"Left as it is: {samples['User_Master']}\\readme.txt.brisk-restoring" in said, f"leftover named:\n{said[-2500:]}")
check(snapshot(master)["readme.txt.brisk-restoring"] == leftover_before, "the leftover untouched")
check((master / "readme.txt").read_bytes() == b"User_Master\r\n", "readme.txt back beside the leftover")
check((data / long_name).read_bytes() == b"a long name", "the name of 250 characters back")
temporary = [p for p in list(master.rglob("*")) + list(data.rglob("*")) if "brisk-restoring" in p.name and p != leftover]
check(not temporary, f"no temporary file left: {temporary}")
check(last_line(said).startswith("Restore INCOMPLETE: ") and " 3 not restored" in last_line(said), last_line(said))
(world.prefix / "dosdevices" / "d:").symlink_to(praxis_drive)

# A junction inside a /to: target: nothing is written, through it or beside it.
target = world.drive("f")
elsewhere = target / "elsewhere"
elsewhere.mkdir()
(elsewhere / "own.txt").write_bytes(b"someone else's")
(target / "linked" / "C").mkdir(parents=True)
os.symlink(elsewhere, target / "linked" / "C" / "KORV")
before = snapshot(target)
result, said = run(["/restore", r"/to:F:\linked"])
check(result.exit_code == 2 and r"Can't restore into F:\linked: F:\linked\C\KORV is a link" in said
      and last_line(said) == "Restore INCOMPLETE: nothing was restored", f"junction: {result.exit_code}\n{said[-1500:]}")
check(snapshot(target) == before, "nothing written through the junction or beside it")

# A read-only target: its reason, nothing tried.
result, said = run(["/restore", r"/to:F:\elsewhere"], read_only=[target])
check(result.exit_code == 2 and r"Can't restore into F:\elsewhere: " in said and "nothing was written." in said
      and "Not restored" not in said and last_line(said) == "Restore INCOMPLETE: nothing was restored",
      f"read-only: {result.exit_code}\n{said[-1500:]}")
check(snapshot(target) == before, "the read-only target unchanged")

# _Versions_ by its short name (the one Wine makes of that name) is still the stick's own folder.
short = r"E:\_VER~1F4"
result = world.run("cmd", ["/c", "if", "exist", short + r"\PC01", "echo", "names it"])
check("names it" in result.output, f"{short} names E:\\_Versions_: {result.output!r}")
result, said = run(["/restore", f"/to:{short}\\x"])
check(result.exit_code == 2 and "it lies in the backup's own folders" in said and not (stick / "_Versions_" / "x").exists(),
      f"short name {short}: {result.exit_code}\n{said[-800:]}")

# Days that do not exist are no points.
for at in ("2026-12-32", "2026-21-07", "2026-02-30"):
    result, said = run(["/restore", f"/at:{at}", r"/to:F:\at"])
    check(result.exit_code == 2 and f"/at:{at} is not a date" in said and "brisk.exe /check" in said
          and not (target / "at").exists(), f"/at:{at}: {result.exit_code}\n{said[-800:]}")

# /check calls a damaged file damaged.
damaged = backup / "C" / "KORV" / "Data" / "readme.txt"
stamp = damaged.stat()
damaged.write_bytes(bytes(b ^ 1 for b in damaged.read_bytes()))
os.utime(damaged, ns=(stamp.st_atime_ns, stamp.st_mtime_ns))
result, said = run(["/check"])
check(result.exit_code == 1 and r"DAMAGED: E:\_Backup_\PC01\C\KORV\Data\readme.txt (its bytes do not match" in said
      and "Not restored" not in said and " 1 damaged" in last_line(said), f"/check: {result.exit_code}\n{said[-1500:]}")

# The next backup leaves the leftover out.
result, said = run([])
check(result.exit_code != 2, f"backup after: {result.exit_code}\n{said[-1500:]}")
check((backup / "C" / "KORV" / "Master" / "readme.txt").is_file()
      and not [p for p in stick.rglob("*") if "brisk-restoring" in p.name], "no leftover on the stick")

# The stick's sets folder as a link (exFAT holds none): nothing is read as the backup.
if STICK_KIND != "exfat":
    versions = stick / "_Versions_" / "PC01"
    versions.mkdir(parents=True, exist_ok=True)
    shutil.move(str(versions), str(stick / "_Versions_" / "PC01 moved"))
    os.symlink(elsewhere, versions)
    result, said = run(["/restore", "/dates"])
    check(result.exit_code == 2 and r"Can't read the backup of PC01 on E:: E:\_Versions_\PC01 is a link" in said,
          f"linked sets folder: {result.exit_code}\n{said[-800:]}")
world.stop_server()
