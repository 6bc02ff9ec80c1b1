"""Started from drive C: without arguments the program moves onto a stick
(or another fixed drive) and shows it instead of backing up; started from
the stick, by full path or by bare name, it backs up there and shows the
stick. What the shell was asked is recorded by a stand-in for explorer.exe."""
from brisk_scenario import World, check

world = World("relocation")
world.record_shell()
tools = world.c_drive() / "Tools"
tools.mkdir()
program = world.install_program(tools)
world.host_settings(world.sample_host_folders())


def no_backup_anywhere():
    found = [p for p in world.root.rglob("_Backup_")]
    scripts = list(world.user_folder("Temp").rglob("RC_*.bat"))
    return not found and not scripts


# A card-reader slot without a medium at D:, the stick at E:.
world.drive("d", "floppy").rmdir()
stick = world.drive("e", "floppy")
run = world.run(r"C:\Tools\brisk.exe")
check(run.exit_code == 0, f"exit code {run.exit_code}")
check((stick / "brisk.exe").read_bytes() == program.read_bytes(), "the program copied onto E:")
check(world.shell_requests() == [["E:/"]], "the shell was asked to open E:")
check(no_backup_anywhere(), "no backup made by a relocation run")
check(run.lines()[2:] in ([""], []), f"nothing printed after the banner: {run.lines()[2:]}")

# A write-protected stick: the copy fails, says why, and the run says so.
run = world.run(r"C:\Tools\brisk.exe", read_only=[stick])
failure = "Can't copy C:\\Tools\\brisk.exe to E:\\brisk.exe: "
check(run.exit_code == 2 and failure in run.errors, f"exit code {run.exit_code}\n{run.errors}")
check(run.errors.split(failure)[1].strip() != "", f"the system's reason given: {run.errors}")
world.shell_requests()

# No removable drive: the first fixed drive from D: takes the program.
(stick / "brisk.exe").unlink()
world.drive("e", "cdrom")
fixed = world.drive("f", "hd")
run = world.run(r"C:\Tools\brisk.exe")
check((fixed / "brisk.exe").read_bytes() == program.read_bytes(), "the program copied onto F:")
check(world.shell_requests() == [["F:/"]], "the shell was asked to open F:/")
check(no_backup_anywhere(), "no backup made by a copy to a fixed drive")

# No drive after C: at all: a backup in demo mode, shown in the work folder.
world.drive("f", "cdrom")
run = world.run(r"C:\Tools\brisk.exe", computer="PC01")
check("demo mode." in run.lines(), "demo mode")
demo = world.user_folder("Temp") / "Quillon.tmp" / "_Backup_"
check((demo / "PC01" / "C" / "KORV" / "Master" / "readme.txt").is_file(), "demo backup made")
requests = world.shell_requests()
check(len(requests) == 1 and requests[0][0].endswith("\\Quillon.tmp\\"),
      f"the work folder shown: {requests}")

# From the stick: the backup lands there and the stick is shown.
stick = world.drive("e", "floppy")
world.install_program(stick)
run = world.run(r"E:\brisk.exe", computer="PC01")
check((stick / "_Backup_" / "PC01" / "C" / "KORV" / "Master" / "readme.txt").is_file(),
      "backup on the stick")
check(world.shell_requests() == [["E:/"]], "the stick shown")

# Typed as a bare name in a console whose current folder is the stick.
(stick / "_Backup_" / "PC01.txt").unlink()
run = world.run("cmd", ["/c", "brisk"], computer="PC01", cwd=stick)
check("E:\\brisk.exe" in run.lines(), f"the full program path echoed: {run.lines()[:4]}")
check((stick / "_Backup_" / "PC01.txt").is_file(), "the backup went onto the stick")
check(world.shell_requests() == [["E:/"]], "the stick shown")
print("ok")
