"""A hostile machine: a read-only or missing temporary folder (the script
and the trace log go to the user's own folder), no work folder at all
(nothing runs, exit 2), COMSPEC naming a bare cmd.exe beside a planted one on the stick, a host value naming a
folder that ends in a blank, a host value inside another folder's backup,
odd spellings of the argument, and a start by bare name."""
import os
import shutil

from brisk_scenario import World, build_dir, check, snapshot, without_history

world = World("hostile_environment")
stick = world.drive("e", "floppy")
world.install_program(stick)
samples = world.sample_host_folders()
korv = world.c_drive() / "KORV"
for name in ("trail ", "trail"):
    (korv / name).mkdir()
    (korv / name / f"in {name.strip()}{len(name)}.txt").write_bytes(name.encode())
master = world.c_drive() / "hostdata" / "master"
master.mkdir(parents=True)
(master / "plan.txt").write_bytes(b"master plan")
keep = stick / "_Backup_" / "PC01" / "C" / "hostdata" / "master" / "keep"
keep.mkdir(parents=True)
(keep / "kept.txt").write_bytes(b"a folder the user named, inside another one's backup")
# The source has a folder of that name too: its copy must not write into the held folder.
(master / "keep").mkdir()
(master / "keep" / "kept.txt").write_bytes(b"the source's own keep")
held = snapshot(keep)
world.host_settings({"User_Master": samples["User_Master"], "User_PatData": "\\\\?\\C:\\KORV\\trail ",
                     "User_PatMake": r"E:\_Backup_\PC01\C\hostdata\master\keep",
                     "User_Data": r"C:\hostdata\master"})
# COMSPEC names a bare cmd.exe, and the stick holds a program of that name.
shutil.copy2(build_dir() / "bin" / "arg_recorder.exe", stick / "cmd.exe")
world.registry_value(r"HKEY_CURRENT_USER\Environment", "COMSPEC", "cmd.exe")
planted = {"BRISK_RECORD_FILE": r"C:\planted-cmd.txt"}
own_folder = world.user_folder("AppData") / "Local" / "Quillon.tmp" / "brisk"
temp = world.user_folder("Temp")


def check_run(result, label):
    said = result.output + result.errors
    check(result.exit_code == 1, f"{label}: exit code {result.exit_code}\n{said[-2000:]}")
    check("Can't write the trace log " not in said and "1\r2\r" not in result.errors,
          f"{label}: the trace log failed\n{result.errors[-1500:]}")
    check(list((own_folder.parent / "_trace_").rglob("*.txt")), f"{label}: no trace in the user's own folder")
    check(result.script_folders() == {str(world.windows_path(own_folder)).lower()},
          f"{label}: scripts ran in {result.script_folders()}")
    check("Not backed up: \\\\?\\C:\\KORV\\trail  (its name ends in a blank or a dot, which the copy tool "
          "cannot reach)" in said, f"{label}: {said[-2000:]}")
    check(not (stick / "_Backup_" / "PC01" / "C" / "KORV" / "trail").exists(), f"{label}: look-alike copied")
    check(r"Nothing is deleted from the backup of C:\hostdata\master: it holds the configured folder "
          r"E:\_Backup_\PC01\C\hostdata\master\keep." in said, f"{label}: {said[-2000:]}")
    check(snapshot(keep) == held, f"{label}: the held folder changed")
    check(not list((stick / "_Versions_").rglob("kept.txt")), f"{label}: the held folder's file kept aside")
    check((keep.parent / "plan.txt").read_bytes() == b"master plan", f"{label}: master not backed up")
    check(not (world.c_drive() / "planted-cmd.txt").exists(), f"{label}: the stick's cmd.exe ran")


# A read-only temporary folder, then one on a missing drive.
check_run(world.run(r"E:\brisk.exe", computer="PC01", env=planted, read_only=[temp]), "read-only TEMP")
shutil.rmtree(own_folder)
world.temp_folder(r"Q:\Temp")
check_run(world.run(r"E:\brisk.exe", computer="PC01", env=planted), "TEMP on a missing drive")

# No work folder can be made: nothing runs, nothing on the stick changes.
shutil.rmtree(own_folder.parent)
own_folder.parent.write_bytes(b"a file where the folder belongs")
before = snapshot(stick)
result = world.run(r"E:\brisk.exe", computer="PC01")
check(result.exit_code == 2 and "Can't make a work folder: " in result.errors, result.errors[-1500:])
# Nor can the trace log be written anywhere of the user's own: said once, no retries.
check(result.errors.count("Can't write the trace log ") == 1 and "1\r2\r" not in result.errors,
      f"the trace log's failure said once\n{result.errors[-1500:]}")
check(without_history(snapshot(stick)) == without_history(before), "the stick unchanged without a work folder")
own_folder.parent.unlink()
world.temp_folder(world.windows_path(temp))

# Odd spellings of a C: argument still mean demo mode; an empty one means none.
for argument in ("C:/data", "c:\\data"):
    result = world.run(r"E:\brisk.exe", [argument], computer="PC01")
    check("demo mode." in result.lines() and not (world.c_drive() / "_Backup_").exists(),
          f"{argument}: {result.output[-800:]}")
before = (stick / "_Backup_" / "PC01.txt").stat().st_mtime_ns
result = world.run(r"E:\brisk.exe", [""], computer="PC01")
check(result.lines()[2] == r"E:\brisk.exe" and (stick / "_Backup_" / "PC01.txt").stat().st_mtime_ns != before,
      f"empty argument: {result.output[:400]}")

# Started as "brisk" in a console in C:\Tools, the banner has its version.
tools = world.c_drive() / "Tools"
tools.mkdir()
world.install_program(tools)
result = world.run("cmd", ["/c", "brisk"], cwd=tools)
check(result.lines()[0] == "brisk   Ver." + os.environ.get("BRISK_VERSION", "?"), result.output[:300])
print("ok")
