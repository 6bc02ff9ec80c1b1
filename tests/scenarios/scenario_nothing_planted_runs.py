"""Nothing planted on the stick or in a shared folder runs: libraries named
like system ones beside brisk.exe, a timeout.bat in the stick's root when
started from there, a robocopy.bat and timeout.bat in a temporary folder
every user can write to, a script file left where the script goes. A
Western console backs up a folder whose name its code page carries and
names the ones it cannot."""
import shutil

from brisk_scenario import World, build_dir, check, check_copy, snapshot

world = World("nothing_planted_runs")
stick = world.drive("e", "floppy")
world.install_program(stick)
samples = world.sample_host_folders()
korv = world.c_drive() / "KORV"
muller = korv / "Müller" / "Documents"
muller.mkdir(parents=True)
(muller / "Brief an Jörg.txt").write_bytes("Grüße".encode("utf-8"))
world.host_settings({"User_Master": samples["User_Master"], "User_Data": r"C:\KORV\Müller\Documents",
                     "User_PatData": samples["User_PatData"]})
markers = {name: world.c_drive() / f"planted-{name}.txt"
           for name in ("library", "timeout-stick", "robocopy-temp", "timeout-temp", "script")}


def plant_batch(path, marker):
    path.write_bytes(f"@echo planted> {world.windows_path(marker)}\r\n".encode("ascii"))


for library in ("version.dll", "mpr.dll"):
    shutil.copy2(build_dir() / "bin" / "planted.dll", stick / library)
plant_batch(stick / "timeout.bat", markers["timeout-stick"])
shared_temp = world.c_drive() / "Temp"
shared_temp.mkdir()
plant_batch(shared_temp / "robocopy.bat", markers["robocopy-temp"])
plant_batch(shared_temp / "timeout.bat", markers["timeout-temp"])
world.temp_folder(r"C:\Temp")
script_folder = shared_temp / "Quillon.tmp" / "brisk"
script_folder.mkdir(parents=True)
planted_script = script_folder / "RC__E___Backup__smirfft.bat"
plant_batch(planted_script, markers["script"])

result = world.run(r"E:\brisk.exe", computer="PC01", cwd=stick,
                   env={"WINEDLLOVERRIDES": "mscoree,mshtml=;robocopy.exe=n;version,mpr=n,b",
                        "BRISK_PLANTED_MARKER": str(world.windows_path(markers["library"]))})
said = result.output + result.errors
# On this Japanese console the German name is one code page 932 cannot carry.
check(result.exit_code == 1 and "the script's code page 932 cannot carry" in said,
      f"exit code {result.exit_code}\n{said[-2000:]}")
for name, marker in markers.items():
    check(not marker.exists(), f"the planted {name} ran")
check(result.lines()[0].startswith("brisk   Ver.1."), f"banner {result.lines()[0]!r}")
check(result.script_folders() == {r"c:\temp\quillon.tmp\brisk"}, f"scripts ran in {result.script_folders()}")
check(planted_script.exists() and not [p for p in script_folder.iterdir() if p != planted_script],
      "the planted script kept, this run's own removed")
check_copy(snapshot(world.linux_path(samples["User_Master"])),
           snapshot(world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Master"])), "Master")

# A Western console (code page 437): the German name is backed up exactly,
# the Japanese one is named, not garbled.
result = world.run(r"E:\brisk.exe", computer="PC01", env={"LC_ALL": "", "LANG": "C.UTF-8"})
said = result.output + result.errors
check(result.exit_code == 1, f"Western: exit code {result.exit_code}\n{said[-2000:]}")
check_copy(snapshot(muller), snapshot(world.mirror_folder(r"E:\_Backup_", "PC01", r"C:\KORV\Müller\Documents")),
           "Western: the German folder")
check("the script's code page 437 cannot carry its path or its backup path" in said, said[-2000:])
garbled = [p.name for p in (stick / "_Backup_" / "PC01" / "C" / "KORV").iterdir() if "?" in p.name or "_" in p.name]
check(not garbled, f"Western: garbled names copied: {garbled}")
print("ok")
