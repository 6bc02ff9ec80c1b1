"""The bytes on the stick are the source's bytes: a copy the copy tool got
wrong is caught and copied again in the same run (and named, exit 1, when it
stays wrong: the earlier backup goes back); the checksum lists pass
sha256sum -c; a backup file changed on the stick between runs (size and time
kept) is found and repaired from its source, or named DAMAGED and kept when
the source is gone (exit 1); a source changed while it was copied is not
called damage."""
import os
import subprocess

from brisk_scenario import World, check, check_copy, read_first, snapshot

world = World("read_back")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"],
                     "User_PatData": samples["User_PatData"]})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])
(data / "café 100% & more.txt").write_bytes(b"accented name")
computer = stick / "_Backup_" / "PC01"
master_copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Master"])
data_copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Data"])
versions = stick / "_Versions_" / "PC01"


def run(env=None):
    result = world.run(r"E:\brisk.exe", computer="PC01", env=env)
    return result, result.output + result.errors


def sha256sum_passes(folder, list_file):
    checked = subprocess.run(["sha256sum", "-c", "--strict", "--quiet", str(list_file)], cwd=folder,
                             capture_output=True, text=True)
    return checked.returncode == 0, checked.stdout + checked.stderr


def spoil_on_stick(path):
    """One byte of a backup file changed, its size and times kept."""
    stat = path.stat()
    content = bytearray(path.read_bytes())
    content[0] ^= 0x20
    os.chmod(path, 0o644)
    path.write_bytes(bytes(content))
    os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))


# The copy tool spoils readme.txt once: read back, copied again, right.
mark = world.c_drive() / "spoiled-once"
result, said = run({"BRISK_TEST_SPOIL_COPY": "readme.txt", "BRISK_TEST_SPOIL_MARK": r"C:\spoiled-once"})
check(mark.exists(), "the copy tool spoiled a copy")
check(result.exit_code == 0 and "\r\nBackup complete: 13 folders, " in said, f"{result.exit_code}\n{said[-2000:]}")
check("does not match" not in said, said[-2000:])
for source, copy in ((master, master_copy), (data, data_copy)):
    check_copy(snapshot(source), snapshot(copy), f"first run: {source.name}")
listed = (stick / "_Backup_" / "PC01.sha256").read_text("utf-8")
check("  C/KORV/Data/café 100% & more.txt\n" in listed and "  C/KORV/患者データ & 50/ off/患者一覧.csv\n" in listed, listed)
passed, report = sha256sum_passes(computer, "../PC01.sha256")
check(passed and len(listed.splitlines()) >= 18, report)

# It spoils readme.txt every time: named, exit 1, the earlier backup back.
(master / "readme.txt").write_bytes(b"second text")
earlier = (master_copy / "readme.txt").read_bytes()
result, said = run({"BRISK_TEST_SPOIL_COPY": "readme.txt"})
check(result.exit_code == 1, f"{result.exit_code}\n{said[-2000:]}")
check(f"    {samples['User_Master']}\\readme.txt  (the copy on E: does not match the source)" in said, said[-2000:])
check((master_copy / "readme.txt").read_bytes() == earlier, "the earlier backup is back")
check(f"{samples['User_Master']}\\readme.txt  (not copied; its earlier backup was put back)" in said, said[-2000:])
result, said = run()
check(result.exit_code == 0, f"{result.exit_code}\n{said[-2000:]}")
check_copy(snapshot(master), snapshot(master_copy), "after the copy tool behaved")
check("Checked " in said and " on E:: all match" in said, said[-2000:])
for set_list in versions.glob("*.sha256"):
    passed, report = sha256sum_passes(versions / set_list.stem, set_list)
    check(passed, f"{set_list.name}: {report}")
check(any(versions.glob("*.sha256")), "a version set has its list")

# A backup file changes on the stick: found, removed, copied again.
medium = data_copy / "sizes" / "medium.bin"
spoil_on_stick(medium)
read_first(computer, "C/KORV/Data/sizes/medium.bin")
result, said = run()
check(result.exit_code == 0, f"{result.exit_code}\n{said[-2000:]}")
check(f"Repaired {samples['User_Data']}\\sizes\\medium.bin: its copy on E: had changed" in said, said[-2000:])
check(" on E:: 1 had changed" in said, said[-2000:])
check(medium.read_bytes() == (data / "sizes" / "medium.bin").read_bytes(), "repaired bytes")
check(sha256sum_passes(computer, "../PC01.sha256")[0], "the list after the repair")

# A changed copy whose source changed too is replaced, and kept as an
# earlier version: which side changed cannot be known.
notes_copy = master_copy / "sub folder" / "深い" / "notes & more.txt"
spoil_on_stick(notes_copy)
read_first(computer, "C/KORV/Master/sub folder/深い/notes & more.txt")
spoiled = notes_copy.read_bytes()
(master / "sub folder" / "深い" / "notes & more.txt").write_bytes(b"notes, longer now")
result, said = run()
check(result.exit_code == 0, f"{result.exit_code}\n{said[-2000:]}")
check(notes_copy.read_bytes() == b"notes, longer now", "the changed source copied")
check([p for p in versions.rglob("notes & more.txt") if p.read_bytes() == spoiled], "the changed copy is kept")
check("had changed, and so had its source: the changed copy is kept in E:\\_Versions_\\PC01\\" in said, said[-2000:])

# The same with its source gone: the only copy stays, named DAMAGED.
small = data_copy / "sizes" / "small.bin"
spoil_on_stick(small)
read_first(computer, "C/KORV/Data/sizes/small.bin")
damaged = small.read_bytes()
(data / "sizes" / "small.bin").unlink()
result, said = run()
check(result.exit_code == 1, f"{result.exit_code}\n{said[-2000:]}")
damaged_name = str(world.windows_path(small))
check(f"DAMAGED: {damaged_name} (the source no longer has it)" in said, said[-2000:])
check("1 damaged file" in said.splitlines()[-1] or "1 damaged file" in said, said[-2000:])
kept = [p for p in versions.rglob("small.bin") if p.read_bytes() == damaged]
check(len(kept) == 1, f"the damaged copy is kept: {kept}")

# A source changed while it is copied is not damage.
(data / "sub folder" / "深い" / "notes & more.txt").write_bytes(b"rewritten notes")
result, said = run({"BRISK_TEST_TOUCH_SOURCE": "notes & more.txt"})
check(result.exit_code == 1, f"{result.exit_code}\n{said[-2000:]}")
check("notes & more.txt  (changed during the backup; the next run copies it)" in said, said[-2000:])
check("does not match" not in said and "DAMAGED" not in said and "Repaired" not in said, said[-2000:])
result, said = run()
check(result.exit_code == 0, f"{result.exit_code}\n{said[-2000:]}")
check_copy(snapshot(data), snapshot(data_copy), "the changed source, next run")
check(sha256sum_passes(computer, "../PC01.sha256")[0], "the list at the end")
world.stop_server()
