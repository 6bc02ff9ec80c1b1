"""Each folder is one transaction: planned after the pause before its copy,
its earlier versions kept just before it, checked right after it. Nested
folders move each backup file once; a folder that can never fit removes no
earlier versions; a set that cannot be removed is named; a second run of
the same computer on the same stick changes nothing."""
import os
import shutil

from brisk_scenario import World, build_dir, check, snapshot

world = World("folder_by_folder")
stick = world.drive("e", "floppy")
world.install_program(stick)
samples = world.sample_host_folders()
korv = world.c_drive() / "KORV"
data = korv / "Data"
world.host_settings({"User_Master": r"C:\KORV", "User_Data": samples["User_Data"]})
versions = stick / "_Versions_" / "PC01"
korv_copy = world.mirror_folder(r"E:\_Backup_", "PC01", r"C:\KORV")
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")


def run(drive="E", env=None, small=None, before=()):
    args = ["/c", *before, f"{drive}:\\brisk.exe"] if before else []
    result = world.run("cmd" if before else f"{drive}:\\brisk.exe", args, computer="PC01", env=env,
                       small_drives=[small] if small else ())
    return result, result.output + result.errors


def files(folder):
    return {path: value for path, value in snapshot(folder).items() if value is not None}


def sets(folder=versions):
    return sorted(p.name for p in folder.iterdir() if p.is_dir()) if folder.exists() else []


result, said = run()
check(result.exit_code == 0, f"first run: {result.exit_code}\n{said[-1500:]}")

# A change where the two folders overlap: kept once, in one set, exit 0.
(data / "readme.txt").write_bytes(b"changed in the overlap")
earlier = (korv_copy / "Data" / "readme.txt").read_bytes()
result, said = run()
check(result.exit_code == 0, f"nested: {result.exit_code}\n{said[-2000:]}")
check(len(sets()) == 1, f"nested: sets {sets()}")
kept = [p for p in (versions / sets()[0]).rglob("*") if p.is_file()]
check([p.relative_to(versions / sets()[0]).as_posix() for p in kept] == ["C/KORV/Data/readme.txt"]
      and kept[0].read_bytes() == earlier, f"nested: kept {kept}")
check((korv_copy / "Data" / "readme.txt").read_bytes() == b"changed in the overlap", "nested: copied")
check("could not keep" not in said and said.count("Kept 1 earlier file of ") == 1, said[-2000:])

# A folder deleted at the pause before its folder's copy: its backup files
# are kept as earlier versions, not purged unkept.
doomed = data / "sub folder"
gone = files(korv_copy / "Data" / "sub folder")
check(gone, "the doomed folder was backed up")
before = sets()
result, said = run(env={"BRISK_TIMEOUT_DELETE": str(world.windows_path(doomed))})
check(result.exit_code == 0, f"deleted at the pause: {result.exit_code}\n{said[-2000:]}")
new = [name for name in sets() if name not in before]
check(len(new) == 1 and files(versions / new[0] / "C" / "KORV" / "Data" / "sub folder") == gone,
      f"deleted at the pause: sets {sets()}")
check(not (korv_copy / "Data" / "sub folder").exists(), "deleted at the pause: mirrored")

# A second run of this computer while the first holds the lock: nothing changes.
stick_before = snapshot(stick)
(korv / "Master" / "readme.txt").write_bytes(b"would be copied")
result, said = run(before=[r"start", "/b", r"C:\file_locker.exe", r"E:\_Backup_\PC01.lock", "20", "&"])
check(result.exit_code == 2, f"locked: {result.exit_code}\n{said[-1500:]}")
check("Another backup of this computer is running on E:; nothing was changed." in said, said[-1500:])
check(snapshot(stick) == stick_before, "locked: the stick changed")
world.stop_server()

# A small stick: one folder that never fits beside one that does. No set
# goes, the one that fits is copied.
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
small = world.drive("g", "floppy")
world.install_program(small)
check(run("G", small=(small, "8M"))[0].exit_code == 0, "first backup onto the small stick")
old_set = small / "_Versions_" / "PC01" / "2026-01-01_000000" / "C" / "old.bin"
old_set.parent.mkdir(parents=True)
old_set.write_bytes(bytes(1 << 20))
(korv / "Master" / "readme.txt").write_bytes(b"fits")
(data / "big.bin").write_bytes(os.urandom(9 << 20))
result, said = run("G", small=(small, "8M"))
check(result.exit_code == 1, f"never fits: {result.exit_code}\n{said[-2000:]}")
check(f"Not backed up: {samples['User_Data']} (needs " in said and "Removed the earlier" not in said, said[-2000:])
check(old_set.is_file(), "never fits: the old set was removed for nothing")
small_master = world.mirror_folder(r"G:\_Backup_", "PC01", samples["User_Master"])
check((small_master / "readme.txt").read_bytes() == b"fits", "never fits: the other folder copied")

# A set that cannot be removed is named, and is not said to be removed.
# The set is sized so that the new file fits only once the set is gone.
(data / "big.bin").unlink()
(korv / "Master" / "readme.txt").write_bytes(b"fits again")
(data / "mid.bin").write_bytes(os.urandom(5 << 19))
old_set.write_bytes(b"")
used = sum(p.stat().st_size for p in small.rglob("*") if p.is_file())
old_set.write_bytes(bytes((8 << 20) - used - (3 << 19)))
held = str(world.windows_path(old_set))
result, said = run("G", small=(small, "8M"), before=["start", "/b", r"C:\file_locker.exe", held, "30", "&"])
check("Could not remove the earlier versions of 2026-01-01_000000: " in said, said[-2000:])
check("Removed the earlier versions of 2026-01-01_000000" not in said, said[-2000:])
check(result.exit_code == 1 and f"Not backed up: {samples['User_Data']} (needs " in said,
      f"removal failed: {result.exit_code}\n{said[-2000:]}")
print("ok")
