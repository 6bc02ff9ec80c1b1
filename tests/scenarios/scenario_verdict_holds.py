"""The verdict holds: a source about 250 characters deep backs up and
verifies; a deep file that cannot be copied, a source deleted while the
run has started (before its folder is planned), a share value naming a file and a refused share named like a
drive each make the run INCOMPLETE (exit 1), and nothing outside this
computer's own verified backups is stamped."""
import os
import shutil

from brisk_scenario import World, build_dir, check, check_copy, snapshot

world = World("verdict_holds")
stick = world.drive("e", "floppy")
world.install_program(stick)
samples = world.sample_host_folders()
deep = world.c_drive() / "KORV" / "deep"
while len(str(world.windows_path(deep))) < 250:
    deep = deep / f"level {len(deep.parts):02} of a deep tree"
(deep / "notes.txt").parent.mkdir(parents=True)
(deep / "notes.txt").write_bytes(b"deep notes")
deep_source = world.windows_path(deep)
settings = {"User_Master": samples["User_Master"], "User_PatData": deep_source,
            "User_Data": samples["User_Data"]}
world.host_settings(settings)

result = world.run(r"E:\brisk.exe", computer="PC01")
said = result.output + result.errors
deep_copy = world.mirror_folder(r"E:\_Backup_", "PC01", deep_source)
check(len(world.windows_path(deep_copy)) > 260, "the backup path is past 260 characters")
check(result.exit_code == 0 and "\r\nBackup complete: 13 folders, " in said, f"{result.exit_code}\n{said[-1500:]}")
check(f"OK  {deep_source}  1 files" in said, said[-1500:])
check_copy(snapshot(deep), snapshot(deep_copy), "the deep folder")

# The second run: a share value that names a file, a share named like a
# drive whose old backup (another computer's, by its name) lies on the
# stick, the Data folder deleted at the script's first pause, and the deep
# file changed and held open so that it cannot be copied.
share = world.share("FILESRV", "share")
(share / "korv.ini").write_bytes(b"[korv]")
(world.share("FILESRV", "C") / "x").mkdir()
old_other = stick / "_Backup_" / "FILESRV" / "C" / "x"
old_other.mkdir(parents=True)
(old_other / "old.txt").write_bytes(b"old")
for path in [old_other / "old.txt", old_other, old_other.parent, old_other.parent.parent]:
    os.utime(path, (1_000_000_000, 1_000_000_000))
world.host_settings({"User_PatMake": r"\\FILESRV\share\korv.ini", "最新の基本ディレクトリ名": r"\\FILESRV\C\x"})
(deep / "notes.txt").write_bytes(b"deep notes, changed")
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")
backup_before = snapshot(stick / "_Backup_" / "FILESRV")
data_copy = world.mirror_folder(r"E:\_Backup_", "PC01", settings["User_Data"])
data_backup = snapshot(data_copy)
result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", str(world.windows_path(deep / "notes.txt")),
                           "60", "&", r"E:\brisk.exe"], computer="PC01",
                   env={"BRISK_TIMEOUT_DELETE": settings["User_Data"]})
said = result.output + result.errors
check(result.exit_code == 1, f"exit code {result.exit_code}\n{said[-2000:]}")
check(r"Not backed up: \\FILESRV\share\korv.ini (not a folder)" in said, said[-2000:])
check(r"Can't back up \\FILESRV\C\x - " in said, said[-2000:])
# Data is planned after the pause that deleted it: its backup stays whole.
check(f"Not backed up: {settings['User_Data']} (the folder is gone)" in said, said[-2000:])
check(snapshot(data_copy) == data_backup, "the deleted folder's backup kept")
# The held file's copy failed: its earlier backup is back in place, in no set.
check(f"INCOMPLETE  {deep_source}  1 files, 1 missing or older, first: notes.txt" in said, said[-2000:])
check(f"    {deep_source}\\notes.txt  (not copied; its earlier backup was put back)" in said, said[-2000:])
check((deep_copy / "notes.txt").read_bytes() == b"deep notes", "the last good copy stays in _Backup_")
check(not list((stick / "_Versions_").rglob("notes.txt")), "nor is it left in a set")
check(f"OK  {settings['User_Master']}  " in said, said[-2000:])
check("Backup INCOMPLETE: 1 of 12 folders incomplete (1 file missing or older), 3 folders not backed up;"
      in said, said[-2000:])
check(snapshot(stick / "_Backup_" / "FILESRV") == backup_before, "the refused share's old backup unchanged")
for path in [old_other, old_other.parent, old_other.parent.parent]:
    check(path.stat().st_mtime == 1_000_000_000, f"{path} stamped")
lines = result.lines()
stamped = lines[lines.index("", lines.index(str(world.windows_path(world.mirror_folder(
    r"E:\_Backup_", "PC01", settings["User_Master"]))))) + 1:]
stamped = stamped[:next(i for i, line in enumerate(stamped) if line.startswith("Backup INCOMPLETE: "))]
check(stamped and all(s.startswith("E:\\_Backup_\\PC01") and "deep" not in s and not s.endswith("Data")
                      for s in stamped), f"stamped: {stamped}")
print("ok")
