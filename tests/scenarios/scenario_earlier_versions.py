"""Earlier versions on the stick: what a mirror would overwrite or delete is
first moved into _Versions_\\PC01\\<time>, byte for byte at its path below
_Backup_\\PC01, while _Backup_ stays an exact mirror; a run that changes
nothing makes no set; a backup file that cannot be moved keeps its whole
folder as it was (exit 1); a stick short of room gives up this computer's
oldest set first, never another computer's."""
import os
import shutil

from brisk_scenario import World, build_dir, check, check_copy, snapshot

world = World("earlier_versions")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])
master_copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples["User_Master"])
versions = stick / "_Versions_" / "PC01"


def run(*args, **options):
    result = world.run(r"E:\brisk.exe", list(args), computer="PC01", **options)
    return result, result.output + result.errors


def sets():
    return sorted(p.name for p in versions.iterdir() if p.is_dir()) if versions.exists() else []


check(run()[0].exit_code == 0, "first backup")
expected = {}  # set => {path below the set: earlier bytes}
for number, change in enumerate([
        {"Master/readme.txt": b"second text", "Data/sizes/small.bin": None},
        {},
        {"Master/readme.txt": b"third text, longer"},
        {"Data/sub folder/深い/notes & more.txt": b"notes, rewritten"}]):
    earlier = {}
    for relative, content in change.items():
        folder, _, rest = relative.partition("/")
        source = {"Master": master, "Data": data}[folder] / rest
        earlier[f"C/KORV/{folder}/{rest}"] = source.read_bytes()
        if content is None:
            source.unlink()
        else:
            source.write_bytes(content)
    before = sets()
    result, said = run()
    check(result.exit_code == 0, f"run {number}: {result.exit_code}\n{said[-1500:]}")
    new = [name for name in sets() if name not in before]
    check(len(new) == (1 if change else 0), f"run {number}: new sets {new}")
    if change:
        expected[new[0]] = earlier
        kept = {p.relative_to(versions / new[0]).as_posix(): p.read_bytes()
                for p in (versions / new[0]).rglob("*") if p.is_file()}
        check(kept == earlier, f"run {number}: kept {sorted(kept)}, expected {sorted(earlier)}")
        check(f"Kept 1 earlier file of {samples['User_Master']} in E:\\_Versions_\\PC01\\{new[0]}" in said
              or "Master" not in "".join(change), said[-1500:])
    for source in (master, data):
        check_copy(snapshot(source), snapshot(world.mirror_folder(
            r"E:\_Backup_", "PC01", str(world.windows_path(source)))), f"run {number}: {source.name}")
check(len(sets()) == 3, f"three sets: {sets()}")

# A backup file held open: its folder is not copied at all, and says why.
(master / "readme.txt").write_bytes(b"fourth text, not copied")
held = world.windows_path(master_copy / "readme.txt")
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")
kept_backup = snapshot(master_copy)
before = sets()
result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", held, "30", "&", r"E:\brisk.exe"],
                   computer="PC01")
said = result.output + result.errors
check(result.exit_code == 1, f"held file: {result.exit_code}\n{said[-1500:]}")
check(f"Not backed up: {samples['User_Master']} (could not keep the earlier version of {held}: " in said,
      said[-1500:])
check(snapshot(master_copy) == kept_backup, "the held folder's backup unchanged")
check(sets() == before, "no set left by a folder that was not copied")
world.stop_server()

# A small stick: this computer's oldest set goes to make room, OTHER's stays.
small = world.drive("g", "floppy")
world.install_program(small)
check(world.run(r"G:\brisk.exe", computer="PC01", small_drives=[(small, "8M")]).exit_code == 0,
      "first backup onto the small stick")
for computer, name in [("OTHER", "2026-01-01_000000"), ("PC01", "2026-01-01_000000"), ("PC01", "2026-02-01_000000")]:
    path = small / "_Versions_" / computer / name / "C" / "old.bin"
    path.parent.mkdir(parents=True)
    path.write_bytes(bytes(2 << 20))
# A set's checksum list counts in what removing it frees, and goes with it.
old_list = small / "_Versions_" / "PC01" / "2026-01-01_000000.sha256"
old_list.write_bytes(b"0" * 64 + b"  C/old.bin\n")
other = snapshot(small / "_Versions_" / "OTHER")
(master / "new.bin").write_bytes(os.urandom(3 << 19))
result = world.run(r"G:\brisk.exe", computer="PC01", small_drives=[(small, "8M")])
said = result.output + result.errors
check(result.exit_code == 0, f"small stick: {result.exit_code}\n{said[-1500:]}")
check("Removed the earlier versions of 2026-01-01_000000 (2.1 MB) to make room" in said, said[-1500:])
check(not old_list.exists(), "the removed set's list is gone")
check(sorted(p.name for p in (small / "_Versions_" / "PC01").iterdir())[0] == "2026-02-01_000000",
      "the newer set stays")
check(snapshot(small / "_Versions_" / "OTHER") == other, "OTHER's set untouched")
check((world.mirror_folder(r"G:\_Backup_", "PC01", samples["User_Master"]) / "new.bin").stat().st_size == 3 << 19,
      "the new file backed up")
print("ok")
