"""Nothing on the stick runs and nothing on it redirects the backup: an
explorer.exe planted beside brisk.exe, with the stick as the current folder,
never runs, while Explorer (from the Windows folder) still shows the stick;
a _Versions_ or _Backup_ folder that is a link to another place makes the run
refuse before it writes anything (exit 2), and what the link points to is
left as it was."""
import os
import shutil

from brisk_scenario import World, build_dir, check, snapshot

world = World("the_stick_redirects_nothing")
stick = world.drive("e", "floppy")
world.install_program(stick)
world.record_shell()
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"]})
shutil.copy2(build_dir() / "bin" / "arg_recorder.exe", stick / "explorer.exe")
places = world.c_drive() / "started-programs.txt"

result = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick, env={"BRISK_RECORD_PLACES": r"C:\started-programs.txt"})
said = result.output + result.errors
check(result.exit_code == 0, f"{result.exit_code}\n{said[-2000:]}")
check(world.shell_requests() == [["E:/"]], "the stick shown")
started = places.read_bytes().decode("utf-8").splitlines()
check(started and all(p.lower().startswith("c:\\windows\\") for p in started), f"programs started: {started}")

# Links where the backup and its versions go.
elsewhere = world.user_folder("Documents") / "someone else"
(elsewhere / "C" / "KORV" / "Master").mkdir(parents=True)
(elsewhere / "C" / "KORV" / "Master" / "private.txt").write_bytes(b"not the backup's")
(stick / "_Versions_" / "PC01").mkdir(parents=True, exist_ok=True)
before_elsewhere = snapshot(elsewhere)
before_stick = snapshot(stick)
for name in ("_Versions_", "_Backup_"):
    place = stick / name
    moved = stick / (name + "moved")
    place.rename(moved)
    os.symlink(elsewhere, place)
    result = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick)
    said = result.output + result.errors
    check(result.exit_code == 2, f"{name}: {result.exit_code}\n{said[-2000:]}")
    check(f"Can't back up onto E:: E:\\{name}" in said and " is a link " in said, said[-2000:])
    check(snapshot(elsewhere) == before_elsewhere, f"{name}: what the link points to is unchanged")
    place.unlink()
    moved.rename(place)
    check(snapshot(stick) == before_stick, f"{name}: the stick unchanged")
world.stop_server()
