"""Host values and temporary folders that once made a mirror delete what was
not its own: relative and dotted sources, device prefixes, sources inside the
backup, a network share named like a drive, a temporary folder holding '&'
and '%OS%', and one that cannot be used at all. Another computer's backup and
the user's own files on the stick must come through byte-identical, refused
folders must be named, and good folders still land where they always did."""
import re

from brisk_scenario import World, check, check_copy, snapshot, without_history

world = World("hostile_sources")
stick = world.drive("e", "floppy")
world.install_program(stick)
(stick / "mine.txt").write_bytes(b"the user's own file")
(stick / "stickdata" / "keep.txt").parent.mkdir()
(stick / "stickdata" / "keep.txt").write_bytes(b"keep me")
other = stick / "_Backup_" / "PC02" / "C" / "KORV" / "Master"
other.mkdir(parents=True)
(other / "pc02.txt").write_bytes(b"another computer's copy")
(stick / "tools").mkdir()
filesrv = world.share("FILESRV", "C")
(filesrv / "x").mkdir()
(filesrv / "x" / "remote.txt").write_bytes(b"remote")

samples = world.sample_host_folders()
master = samples["User_Master"]
world.host_settings({
    "User_Master": "\\\\?\\" + master,       # device prefix: backed up as itself
    "User_PatData": "..",                    # E:\ from E:\tools: a drive root, never mirrored
    "User_PatMake": ".",                     # E:\tools: an ordinary folder on the stick
    "User_Data": r"\\FILESRV\C\x",           # a share named like a drive
    "最新の基本ディレクトリ名": r"E:\_Backup_\PC02",  # inside the backup
})


def outside_own_backup():
    """The stick but PC01's backup and the run's free-space marker and bitmap."""
    return {path: data for path, data in snapshot(stick).items()
            if not path.startswith("_Backup_/PC01")
            and not path.endswith(("GB.tmp", ".dib"))
            and not re.fullmatch(r"_Versions_/(PC01/([^/]+\.(added|run\.txt))?)?", path)}


outside = outside_own_backup()
temp = world.user_folder("R&D x & mkdir INJECTED %OS%")
temp.mkdir()
world.temp_folder(world.windows_path(temp))

run = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick / "tools")
after = outside_own_backup()
check(after == outside, f"stick changed outside PC01's backup: {set(after) ^ set(outside)}")
for refused in [r"\\FILESRV\C\x", r"E:\_Backup_\PC02"]:
    check(f"Can't back up {refused} - " in run.errors, f"{refused} named:\n{run.errors}")
check_copy(snapshot(world.linux_path(master)),
           snapshot(world.mirror_folder(r"E:\_Backup_", "PC01", master)), "device-prefixed folder")
check((stick / "_Backup_" / "PC01" / "E" / "tools").is_dir(), "the current folder backed up")
check(not list(world.root.rglob("INJECTED")), "the temporary folder ran as a command")
check(run.script_folders() == {str(world.windows_path(temp / "Quillon.tmp" / "brisk")).lower()},
      f"scripts ran in {run.script_folders()}")

# No usable script folder: the temporary folder is on a missing drive and
# the user's own fallback cannot be made. Nothing runs; the stick stays as it was.
world.temp_folder(r"Q:\Temp")
own = world.user_folder("AppData") / "Local" / "Quillon.tmp"
own.parent.mkdir(parents=True, exist_ok=True)
own.write_bytes(b"a file where a folder belongs")
before = snapshot(stick)
(world.linux_path(master) / "readme.txt").unlink()
run = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick / "tools")
check(run.exit_code == 2 and "Can't make a work folder: " in run.errors, f"no work folder named:\n{run.errors}")
check(without_history(snapshot(stick)) == without_history(before), "nothing copied, purged or kept aside without a script")

# The user's own fallback folder is used when the temporary folder is unusable.
own.unlink()
run = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick / "tools")
check(run.script_folders() == {str(world.windows_path(own / "brisk")).lower()}, f"scripts ran in:\n{run.errors}")
check(not (world.mirror_folder(r"E:\_Backup_", "PC01", master) / "readme.txt").exists(),
      "the backup ran from the user's own folder")
print("ok")
