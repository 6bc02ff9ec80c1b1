"""Whether the backup worked is said plainly and in the exit status: a
complete backup, a stick that cannot be written, a file where the backup
folder belongs, a missing drive or share as the argument, COMSPEC naming
another program, a stick too small, a source emptied since the last
backup, a locked source file. No failure loses anything on the stick."""
import shutil

from brisk_scenario import World, build_dir, check, snapshot, without_history

world = World("outcome")
stick = world.drive("e", "floppy")
world.install_program(stick)
settings = world.sample_host_folders()
world.host_settings(settings)
world.fill_standard_folders()
master = world.linux_path(settings["User_Master"])


def run(*args, **options):
    result = world.run(r"E:\brisk.exe", list(args), computer="PC01", **options)
    return result, result.output + result.errors


# A good run: every folder verified.
result, said = run()
check(result.exit_code == 0, f"exit code {result.exit_code}\n{said[-1500:]}")
check("\r\nBackup complete: " in said, said[-1500:])
check(f"OK  {settings['User_Master']}  " in said, "a line per folder")

# Nothing can be written: the stick write-protected, or a file in the place
# of the backup folder, or a drive or share that is not there.
before = snapshot(stick)
result, said = run(read_only=[stick])
check(result.exit_code == 2 and r"Can't write the backup to E:\_Backup_: " in said,
      f"write-protected: {result.exit_code}\n{said[-800:]}")
check(snapshot(stick) == before, "the write-protected stick unchanged")

other = world.drive("f", "floppy")
(other / "_Backup_").write_bytes(b"not a folder")
for argument, root in [(r"F:\x", r"F:\_Backup_"), (r"Q:\data", r"Q:\_Backup_"),
                       (r"\\NOSERVER\share\x", r"\\NOSERVER\share\_Backup_")]:
    result, said = run(argument)
    check(result.exit_code == 2 and f"Can't write the backup to {root}: " in said,
          f"{argument}: {result.exit_code}\n{said[-800:]}")
check((other / "_Backup_").read_bytes() == b"not a folder", "the file in the way kept")

# COMSPEC naming another program: the backup still runs through cmd.exe.
world.registry_value(r"HKEY_CURRENT_USER\Environment", "COMSPEC", r"C:\windows\notepad.exe")
(master / "new.txt").write_bytes(b"new")
result, said = run()
check(result.exit_code == 0 and "Backup complete" in said, f"COMSPEC: {said[-800:]}")
check((world.mirror_folder(r"E:\_Backup_", "PC01", settings["User_Master"]) / "new.txt").is_file(),
      "copied with another COMSPEC")
world.registry_value(r"HKEY_CURRENT_USER\Environment", "COMSPEC", r"C:\windows\system32\cmd.exe")

# A source emptied since the last backup keeps its backup.
copy = world.mirror_folder(r"E:\_Backup_", "PC01", settings["User_Master"])
kept = snapshot(copy)
shutil.rmtree(master)
master.mkdir()
result, said = run()
check(f"Kept the backup of {settings['User_Master']}: the folder is empty, so nothing was "
      "deleted from its backup." in said, said[-1500:])
check(snapshot(copy) == kept, "the backup of the emptied folder kept")

# A locked source file: the run says which folder is incomplete.
data = world.linux_path(settings["User_Data"])
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")
(data / "locked.txt").write_bytes(b"in use")
locked = world.windows_path(data / "locked.txt")
result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", locked, "60", "&",
                          r"E:\brisk.exe"], computer="PC01")
said = result.output + result.errors
check(result.exit_code == 1, f"locked file: exit code {result.exit_code}\n{said[-1500:]}")
check(f"INCOMPLETE  {settings['User_Data']}  " in said and "locked.txt" in said, said[-1500:])
check("Backup INCOMPLETE: 1 of " in said, said[-800:])
(data / "locked.txt").unlink()

# A stick too small for what the copy writes: nothing is copied, and the
# old copy of a changed file is not overwritten.
small = world.drive("g", "floppy")
world.install_program(small)
(master / "big.bin").write_bytes(bytes(1000))
run_small = world.run(r"G:\brisk.exe", computer="PC01", small_drives=[(small, "6M")])
old_copy = world.mirror_folder(r"G:\_Backup_", "PC01", settings["User_Master"]) / "big.bin"
check(old_copy.read_bytes() == bytes(1000), "first copy made on the small stick")
before = snapshot(small)
(master / "big.bin").write_bytes(bytes(range(256)) * (8 << 12))  # 8 MiB
result = world.run(r"G:\brisk.exe", computer="PC01", small_drives=[(small, "6M")])
said = result.output + result.errors
check(result.exit_code == 2 and "The backup needs " in said
      and " more than G: has free; nothing was copied" in said, f"{result.exit_code}\n{said[-800:]}")
check(old_copy.read_bytes() == bytes(1000), "the old copy kept")
check(without_history(snapshot(small)) == without_history(before), "nothing on the small stick changed")
check((small / "_Backup_" / "PC01.log").read_bytes().split(b"\r\n")[-2].split(b"\t")[1:3] == [b"not made", b"2"],
      "the history names the run that made no backup")
print("ok")
