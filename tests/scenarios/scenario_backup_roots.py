"""Where the backup lands: the drive of the argument, or, on drive C:, the
work folder in demo mode; and a temporary folder with a blank in its path."""
from brisk_scenario import World, check, snapshot

world = World("backup_roots")
program_drive = world.drive("e", "hd")
world.install_program(program_drive)
data = world.drive("f", "hd")
(data / "data").mkdir()
world.host_settings(world.sample_host_folders())
master = world.linux_path(world.sample_host_folders()["User_Master"])

run = world.run(r"E:\brisk.exe", [r"F:\data"], computer="PC01")
lines = run.lines()
check(lines[2] == r"F:\data", f"echo line {lines[2]!r}")
check("demo mode." not in lines, "no demo mode")
check((data / "_Backup_" / "PC01" / "C" / "KORV" / "Master" / "readme.txt").is_file(),
      "backup below F:\\_Backup_")
check((data / "_Backup_" / "PC01.txt").is_file(), "folder list in F:\\_Backup_")

run = world.run(r"E:\brisk.exe", [r"C:\data"], computer="PC01")
lines = run.lines()
check(lines[2:5] == [r"C:\data", "demo mode.", ""], f"demo mode lines {lines[2:5]!r}")
work = world.user_folder("Temp") / "Quillon.tmp" / "_Backup_"
check((work / "PC01" / "C" / "KORV" / "Master" / "readme.txt").is_file(), "demo backup")
check((work / "PC01.txt").is_file(), "demo folder list")

# A temporary folder whose path holds a blank (and an ampersand).
temp = world.user_folder("My Temp & Co")
temp.mkdir()
world.temp_folder(r"C:\users\%s\My Temp & Co" % world.user)
(master / "new.txt").write_bytes(b"new")
run = world.run(r"E:\brisk.exe", [r"F:\data"], computer="PC01")
check((data / "_Backup_" / "PC01" / "C" / "KORV" / "Master" / "new.txt").is_file(),
      f"the script ran from {temp}\n{run.output[-500:]}")
check(run.script_folders() == {str(world.windows_path(temp / "Quillon.tmp" / "brisk")).lower()},
      f"scripts ran in {run.script_folders()}")
print("ok")
