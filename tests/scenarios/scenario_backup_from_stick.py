"""A backup run from a removable drive E:, a second run after a source file
was deleted, and a run from another computer."""
import os

from brisk_scenario import World, check, check_copy, snapshot

world = World("backup_from_stick")
stick = world.drive("e", "floppy")
world.install_program(stick)
settings = world.sample_host_folders()
world.host_settings(settings)
world.fill_standard_folders()
documents = world.user_folder("Documents")
# A file over the size limit, sparse so that it costs nothing.
with open(documents / "huge.bin", "wb") as huge:
    huge.truncate((1 << 32) + 1)
source_paths = list(settings.values()) + [
    world.windows_path(folder) for folder in
    (documents, world.user_folder("Pictures"), world.public_folder("Documents"))]
sources = [world.linux_path(path) for path in source_paths]
before = {folder: snapshot(folder) for folder in sources}

run = world.run(r"E:\brisk.exe", computer="PC01")
check(run.exit_code == 0, f"exit code {run.exit_code}")
lines = run.lines()
check(lines[2] == r"E:\brisk.exe", f"echo line {lines[2]!r}")
check("robocopy" in lines[3:5], "the script's header names the tool")
copies = [line for line in lines if '>robocopy "' in line]
check(len(copies) >= len(sources), f"{len(copies)} copy commands shown")

backup = world.computer_folder(r"E:\_Backup_", "PC01")
for path, folder in zip(source_paths, sources):
    copy = world.mirror_folder(r"E:\_Backup_", "PC01", path)
    check_copy(before[folder], snapshot(copy), str(copy))
    check(snapshot(folder) == before[folder], f"source {folder} unchanged")

listing = (stick / "_Backup_" / "PC01.txt").read_bytes()
check(not listing.startswith(b"\xef\xbb\xbf") and listing.endswith(b"\r\n"), "UTF-8, CR LF")
listed = listing.decode("utf-8").split("\r\n")[:-1]
check(listed[:6] == list(settings.values()) + [""], f"folder list {listed[:6]}")
check(r"C:\users\Public\Documents" in listed, "standard folders listed")
check(run.script_folders() == {str(world.windows_path(world.script_folder())).lower()},
      f"scripts ran in {run.script_folders()}")
check(not list(world.script_folder().glob("*.bat")), "scripts left behind")

# A file deleted from a source goes from the backup too.
removed = world.linux_path(settings["User_Master"]) / "readme.txt"
copy_of_removed = world.mirror_folder(r"E:\_Backup_", "PC01", settings["User_Master"]) / "readme.txt"
check(copy_of_removed.is_file(), "copied in the first run")
removed.unlink()
run = world.run(r"E:\brisk.exe", computer="PC01")
check(not copy_of_removed.exists(), "mirrored deletion")

# Another computer backs up beside the first and never touches it.
first = snapshot(backup)
run = world.run(r"E:\brisk.exe", computer="PC02")
check(run.exit_code == 0, f"exit code {run.exit_code}")
check(snapshot(backup) == first, "PC01's backup untouched")
check((stick / "_Backup_" / "PC02" / "C").is_dir(), "PC02's backup made")
check((stick / "_Backup_" / "PC02.txt").is_file(), "PC02's folder list")
print(f"ok ({run.seconds:.1f} s a run)")
