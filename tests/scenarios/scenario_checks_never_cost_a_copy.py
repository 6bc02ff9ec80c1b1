"""Checks never cost a copy: a copy written wrong once is copied again alone
(by name, no mirror) and checks out, exit 0; a backup file gone bad while its
source is held open keeps its copy on the stick, is named (exit 1) and is
mended by the next run; with the lists lost, a source changed with its size
and time kept leaves the old bytes in a version set; list lines naming other
computers' backups, the version sets or the stick's root change nothing and
are dropped; the backup of a folder no longer configured is still read
against its lines; twelve runs in a row with nothing changed copy, keep and
repair nothing. Runs on exFAT too (BRISK_STICK=exfat)."""
import os
import shutil

from brisk_scenario import World, build_dir, check, check_copy, read_first, snapshot

world = World("checks_never_cost_a_copy")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])
master_copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Master"])
data_copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Data"])
backup = stick / "_Backup_"
versions = stick / "_Versions_" / "PC01"
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")


def run(env=None, before=()):
    if before:
        result = world.run("cmd", ["/c", *before, "&", r"E:\brisk.exe"], computer="PC01", env=env)
    else:
        result = world.run(r"E:\brisk.exe", computer="PC01", env=env)
    said = result.output + result.errors
    return result, said, result.output.replace("\r\n", "\n").rstrip("\n").split("\n")[-1]


def spoil_on_stick(path, same_length_text=None):
    """Other bytes in a file, its size and times kept."""
    stat = path.stat()
    content = bytearray(path.read_bytes())
    content[0] ^= 0x20
    path.write_bytes(bytes(content) if same_length_text is None else same_length_text)
    os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))


def kept_with(name, content):
    return [p for p in versions.rglob(name) if p.read_bytes() == content]


# The copy tool writes readme.txt wrong once: copied again alone, right.
result, said, last = run({"BRISK_TEST_SPOIL_COPY": "readme.txt", "BRISK_TEST_SPOIL_MARK": r"C:\spoiled-once"})
check((world.c_drive() / "spoiled-once").exists(), "the copy tool spoiled a copy")
check(result.exit_code == 0 and last.startswith("Backup complete: "), f"{result.exit_code}\n{said[-2500:]}")
again = [c for c in result.copy_commands() if '"readme.txt"' in c]
check(len(again) == 1 and "/mir" not in again[0] and "/purge" not in again[0], f"copied again: {again}")
check_copy(snapshot(master), snapshot(master_copy), "after the copy written wrong once")

# Nothing changed, twelve runs: nothing copied, kept or repaired.
records = sorted(p.name for p in versions.iterdir()) if versions.exists() else []
for number in range(12):
    result, said, last = run()
    check(result.exit_code == 0 and "; 0.0 MB copied, 0 earlier versions kept, in " in last,
          f"settled run {number}: {result.exit_code}\n{said[-2500:]}")
    check("Repaired" not in said and "DAMAGED" not in said and " on E:: all match" in said, said[-2500:])
check((sorted(p.name for p in versions.iterdir()) if versions.exists() else []) == records
      and not any(p.is_dir() for p in versions.iterdir()), "no version set, no record of added files")

# A backup file goes bad on the stick while its source is held open.
medium = master_copy / "sizes" / "medium.bin"
spoil_on_stick(medium)
read_first(backup / "PC01", "C/KORV/Master/sizes/medium.bin")
spoiled = medium.read_bytes()
held = world.windows_path(master / "sizes" / "medium.bin")
result, said, last = run(before=["start", "/b", r"C:\file_locker.exe", held, "30"])
check(result.exit_code == 1, f"held source: {result.exit_code}\n{said[-2500:]}")
check(f"DAMAGED: {world.windows_path(medium)} (its copy on E: has changed and its source could not be read: " in said,
      said[-2500:])
check(medium.read_bytes() == spoiled, "the only copy stays on the stick")
result, said, last = run()
check(result.exit_code == 0, f"next run: {result.exit_code}\n{said[-2500:]}")
check(f"Repaired {samples['User_Master']}\\sizes\\medium.bin: its copy on E: had changed" in said, said[-2500:])
check(medium.read_bytes() == (master / "sizes" / "medium.bin").read_bytes(), "mended")
check(not kept_with("medium.bin", spoiled), "a decayed copy is not kept once replaced")

# The lists are lost, and a source changes with its size and time kept.
for name in ("PC01.sha256", "PC01.sha256.runs"):
    (backup / name).unlink()
readme = master / "readme.txt"
old_bytes = (master_copy / "readme.txt").read_bytes()
spoil_on_stick(readme, b"X" * len(old_bytes))
result, said, last = run()
check(result.exit_code == 0, f"lists lost: {result.exit_code}\n{said[-2500:]}")
check(f"{samples['User_Master']}\\readme.txt  (its copy on E: had other bytes with the same size and time; "
      "the old copy is kept in E:\\_Versions_\\PC01\\" in said, said[-2500:])
check(kept_with("readme.txt", old_bytes), "the old bytes are in a version set")
check((master_copy / "readme.txt").read_bytes() == readme.read_bytes(), "the new bytes in the backup")

# Lines that name places outside this computer's backup.
other = backup / "PC02" / "C" / "x" / "other.txt"
other.parent.mkdir(parents=True)
other.write_bytes(b"another computer's file")
set_file = next(p for p in versions.rglob("readme.txt"))
outside = {
    "../PC02/C/x/other.txt": other,
    "../../_Versions_/PC01/" + set_file.relative_to(versions).as_posix(): set_file,
    "../../brisk.exe": stick / "brisk.exe",
    "/brisk.exe": stick / "brisk.exe",
    "E:/brisk.exe": stick / "brisk.exe",
}
untouched = {path: (path.read_bytes(), path.stat().st_mtime_ns) for path in outside.values()}
with open(backup / "PC01.sha256", "a", encoding="utf-8") as checksums, \
        open(backup / "PC01.sha256.runs", "a", encoding="utf-8") as runs:
    for line_path in outside:
        checksums.write("0" * 64 + "  " + line_path + "\n")
        runs.write(f"5 1 1 {line_path}\n")
result, said, last = run()
check(result.exit_code == 0, f"lines outside: {result.exit_code}\n{said[-2500:]}")
for path, before in untouched.items():
    check(path.exists() and (path.read_bytes(), path.stat().st_mtime_ns) == before, f"unchanged: {path}")
written = (backup / "PC01.sha256").read_text("utf-8") + (backup / "PC01.sha256.runs").read_text("utf-8")
check(not any(line_path in written for line_path in outside if line_path != "/brisk.exe")
      and " /brisk.exe" not in written and "  /brisk.exe" not in written, written)

# A folder no longer configured: its backup is still read against its lines;
# a file gone from the stick loses its line.
world.host_settings({"User_Data": r"C:\KORV\no longer there"})
spoil_on_stick(data_copy / "readme.txt")
(data_copy / "read only.txt").unlink()
for relative in ("C/KORV/Data/readme.txt", "C/KORV/Data/read only.txt"):
    read_first(backup / "PC01", relative)
result, said, last = run()
check(result.exit_code == 1, f"unconfigured: {result.exit_code}\n{said[-2500:]}")
check(f"DAMAGED: {world.windows_path(data_copy / 'readme.txt')} (its bytes no longer match its checksum)" in said,
      said[-2500:])
check("C/KORV/Data/read only.txt" not in (backup / "PC01.sha256").read_text("utf-8"), "the gone file's line")
check((data_copy / "readme.txt").exists(), "nothing removed from a backup with no source")
world.stop_server()
