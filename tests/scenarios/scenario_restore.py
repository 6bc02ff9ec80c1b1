"""Restore: every run records what it added (_Versions_\\PC01\\<set>.added),
so that brisk.exe /restore rebuilds any earlier point from the backup and
the later runs' sets: after three runs with changes, each point restored
into a new folder equals that point's sources (bytes, names, times), files
added later absent, a path over 300 characters and Japanese names
included. It never writes over what is there (/replace moves it aside),
refuses a damaged file, a target without room and a point whose later
set is gone, and /check finds a file gone bad."""
import os
import shutil
import time

from brisk_scenario import World, build_dir, check, snapshot

world = World("restore")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])
target = world.drive("d")
versions = stick / "_Versions_" / "PC01"
backup = stick / "_Backup_" / "PC01"

# A path of more than 300 characters, with Japanese names, in every point.
deep = data / "長い名前のフォルダー" / ("深い階層 " * 12).strip() / ("もっと深い " * 12).strip() / ("x" * 60) / ("y" * 90)
deep.mkdir(parents=True)
(deep / "記録 2026.txt").write_bytes("深いところの記録".encode("utf-8"))
check(len(str(world.windows_path(deep / "記録 2026.txt"))) > 300, "the deep path is over 300 characters")


def run(program=r"E:\brisk.exe", args=(), **options):
    result = world.run(program, list(args), computer="PC01", **options)
    return result, result.output + result.errors


def files_of(snap):
    return {path: value for path, value in snap.items() if value is not None}


def sources():
    return {"Master": snapshot(master), "Data": snapshot(data)}


def same_files(restored_root, expected, label):
    """The restored folders hold exactly the expected files: bytes, names
    and times (to the two seconds a FAT stick keeps)."""
    for folder, want in expected.items():
        want = {p: v for p, v in want.items() if not p.endswith((".bak", ".tmp")) and "Thumbs.db" not in p
                and not p.startswith("bak/")}
        got = snapshot(restored_root / "C" / "KORV" / folder)
        # Folders too, the empty one included.
        check(set(got) == set(want), f"{label} {folder}: differs in {sorted(set(got) ^ set(want))}")
        for path, value in files_of(want).items():
            check(got[path][2] == value[2], f"{label}: bytes of {folder}/{path}")
            check(abs(got[path][1] - value[1]) <= 2_000_000_000, f"{label}: time of {folder}/{path}")


def points():
    lines = (stick / "_Backup_" / "PC01.log").read_text("utf-8").splitlines()
    return [line.split("\t")[0].replace(" ", "_").replace(":", "") for line in lines if line]


# Three runs with changes: saved over, deleted, added, renamed.
states = []
check(run()[0].exit_code == 0, "first backup")
states.append(sources())
changes = [
    lambda: ((master / "readme.txt").write_bytes(b"saved over on Tuesday"),
             (data / "sizes" / "small.bin").unlink(),
             (master / "new in run 2.txt").write_bytes(b"added in run 2"),
             (data / "患者一覧.csv").rename(data / "患者一覧 (旧).csv")),
    lambda: ((master / "readme.txt").write_bytes(b"saved over again on Wednesday, longer"),
             (master / "new in run 2.txt").unlink(),
             (data / "new in run 3.txt").write_bytes(b"added in run 3")),
]
for number, change in enumerate(changes, start=2):
    time.sleep(1.1)
    change()
    result, said = run()
    check(result.exit_code == 0, f"run {number}: {result.exit_code}\n{said[-1500:]}")
    states.append(sources())
names = points()
check(len(names) == 3, f"three runs in the history: {names}")

# Each run's record is on the stick, beside its set, in the lists' form:
# what it adds and keeps before its copy, its end after it.
records = {p.name: p.read_bytes().decode("utf-8") for p in versions.glob("*.run.txt")}
check(len(records) == 3, f"each run that changed the backup has a record: {sorted(records)}")
ordered = sorted(records.values(), key=lambda text: int(text.split("\nrun\t")[1].split("\n")[0]))
check([text.split("\nrun\t")[1].split("\n")[0] for text in ordered] == ["1", "2", "3"], "runs 1, 2, 3")
second = ordered[1]
check("add\tC/KORV/Master/new in run 2.txt\n" in second and "add\tC/KORV/Data/患者一覧 (旧).csv\n" in second
      and "\tC/KORV/Master/readme.txt\n" in second and "\nend\tcomplete\t0\n" in second, second)
check(second.index("keep\t") < second.index("\nstart\t") < second.index("\ndone\t"), second)
check("add\tC/KORV/Data/new in run 3.txt\n" in ordered[2], ordered[2])

result, said = run(args=["/restore", "/dates"])
check(result.exit_code == 0, f"/dates: {result.exit_code}\n{said}")
check("2 added, 1 replaced, 2 removed" in said and "1 added, 1 replaced, 1 removed" in said, said)
check(f"The earliest point that can be restored: {names[0][:10]} " in said, said)
check(all(f"  /at:{name}  (" in said for name in names), f"each point with what /at: takes:\n{said}")

# Each point, into a new folder, equals its sources; nothing was changed on the stick.
before_stick = snapshot(stick)
for number, name in enumerate(names):
    # The time as the history writes it works as well as the set's form.
    at = name if number else f"{name[:10]} {name[11:13]}:{name[13:15]}:{name[15:]}"
    result, said = run(args=["/restore", f"/at:{at}", rf"/to:D:\point {number}"])
    check(result.exit_code == 0, f"point {number}: {result.exit_code}\n{said[-2000:]}")
    check(said.rstrip().splitlines()[-1].startswith("Restore complete: "), said[-500:])
    same_files(target / f"point {number}", states[number], f"point {number}")
check(snapshot(stick) == before_stick, "a restore changes nothing on the stick")
# The default: a new folder on the desktop named after the point.
result, said = run(args=["/restore", r"/only:C:\KORV\Master\readme.txt"])
desktop = world.user_folder("Desktop") / f"PC01_{names[-1]}"
check(result.exit_code == 0 and (desktop / "C" / "KORV" / "Master" / "readme.txt").read_bytes()
      == b"saved over again on Wednesday, longer", f"{result.exit_code}\n{said[-800:]}")
check(sorted(p.name for p in (desktop / "C" / "KORV").iterdir()) == ["Master"], "only the one file")

# Back where they came from: a newer file stays and is named, a missing one comes back.
(master / "readme.txt").write_bytes(b"newer than the backup")
(master / "sizes" / "medium.bin").unlink()
result, said = run(args=["/restore", "/to:original"])
check(result.exit_code == 1, f"/to:original: {result.exit_code}\n{said[-1500:]}")
check(f"Kept as it is: {samples['User_Master']}\\readme.txt (differs from the backup)" in said, said[-1500:])
check((master / "readme.txt").read_bytes() == b"newer than the backup", "the newer file untouched")
check((master / "sizes" / "medium.bin").read_bytes() == bytes(range(256)) * 256, "the missing file back")
check(said.rstrip().splitlines()[-1].startswith("Restore INCOMPLETE: ") and "1 not restored" in said, said[-300:])
result, said = run(args=["/restore", "/to:original", "/replace", r"/only:C:\KORV\Master"])
kept = [p for p in master.iterdir() if p.name.startswith("readme (before restore ")]
check(result.exit_code == 0 and len(kept) == 1 and kept[0].read_bytes() == b"newer than the backup"
      and (master / "readme.txt").read_bytes() == b"saved over again on Wednesday, longer",
      f"/replace keeps both: {result.exit_code}\n{said[-800:]}")

# /list says and writes nothing.
result, said = run(args=["/restore", "/list", rf"/to:D:\listed", f"/at:{names[1]}"])
check(result.exit_code == 0 and not (target / "listed").exists(), f"/list: {said[-600:]}")
check("Would restore D:\\listed\\C\\KORV\\Master\\readme.txt from the earlier versions of " in said, said[-1500:])

# A backup file damaged on the stick (same size and time) is not restored, and /check finds it.
damaged = backup / "C" / "KORV" / "Data" / "readme.txt"
stamp = damaged.stat()
damaged.write_bytes(bytes(b ^ 1 for b in damaged.read_bytes()))
os.utime(damaged, ns=(stamp.st_atime_ns, stamp.st_mtime_ns))
result, said = run(args=["/restore", r"/to:D:\damaged"])
check(result.exit_code == 1 and "readme.txt (damaged on the stick: its bytes do not match its checksum)" in said,
      f"damaged: {result.exit_code}\n{said[-1500:]}")
check(not (target / "damaged" / "C" / "KORV" / "Data" / "readme.txt").exists()
      and not list((target / "damaged").rglob("*.brisk-restoring")), "no damaged or half-written file")
result, said = run(args=["/check"])
check(result.exit_code == 1 and r"E:\_Backup_\PC01\C\KORV\Data\readme.txt" in said and " 1 damaged" in said,
      f"/check: {result.exit_code}\n{said[-1000:]}")

# While a backup holds the computer's lock, a restore does not start.
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")
result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", r"E:\_Backup_\PC01.lock", "15", "&",
                           "timeout", "/t", "3", "&", r"E:\brisk.exe", "/restore", r"/to:D:\locked"], computer="PC01")
said = result.output + result.errors
check(result.exit_code == 2 and "Another backup of this computer is running on E:" in said
      and not (target / "locked").exists(), f"locked: {result.exit_code}\n{said[-800:]}")

# A target without room refuses before writing.
small = world.drive("f")
result, said = run(args=["/restore", r"/to:F:\x"], small_drives=[(small, "16K")])
check(result.exit_code == 2 and "more than F: has free; nothing was written." in said
      and not list(small.rglob("*")), f"no room: {result.exit_code}\n{said[-800:]}")

# The second run's set removed (as for room: its record stays): the point
# before it is refused, the earliest named.
second_set = next(name for name, text in records.items() if text == second)[:-len(".run.txt")]
shutil.rmtree(versions / second_set)
(versions / f"{second_set}.sha256").unlink()
result, said = run(args=["/restore", "/dates"])
check(f"The earliest point that can be restored: {names[1][:10]} " in said, f"/dates pruned:\n{said}")
result, said = run(args=["/restore", f"/at:{names[0]}", r"/to:D:\gone"])
check(result.exit_code == 2 and "can no longer be restored" in said and not (target / "gone").exists(),
      f"pruned point: {result.exit_code}\n{said[-800:]}")
result, said = run(args=["/restore", "/bogus"])
check(result.exit_code == 2 and "/bogus" in said and "brisk.exe /check" in said, said)
world.stop_server()
