"""Test equipment: a world for checking that every point a restore offers is
exact. Three runs with changes (saved over, deleted, added, renamed; the
third only saves over), each variant from its own copy of the stick and the
sources as they were after the first run. After each run the computer's
backup on the stick is what that run's point must restore; a point is either
restored exactly (bytes, names, times to FAT's two seconds) or refused by
name with the earliest point that can be."""
import os
import re
import shutil
import time
from pathlib import Path

from brisk_scenario import STICK_KIND, World, build_dir, check, snapshot

FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


def files_of(snap):
    return {path: value for path, value in snap.items() if value is not None}


def copy_tree(source, target):
    """Copies a tree with its files' times, into an existing folder too (a
    mounted stick)."""
    target.mkdir(parents=True, exist_ok=True)
    for path in sorted(Path(source).rglob("*")):
        destination = target / path.relative_to(source)
        if path.is_dir():
            destination.mkdir(exist_ok=True)
        else:
            shutil.copy2(path, destination)


def empty(folder):
    for path in Path(folder).iterdir():
        if path.is_dir() and not path.is_symlink():
            shutil.rmtree(path)
        else:
            path.unlink()


class PointsWorld:
    def __init__(self, name):
        self.world = World(name)
        self.stick = self.world.stick("e", size="64M")
        self.world.install_program(self.stick)
        samples = self.world.sample_host_folders()
        self.share = self.world.share("NAS", "share") / "praxis"
        self.share.mkdir()
        (self.share / "network note.txt").write_bytes(b"on the share")
        self.world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"],
                                  "User_PatMake": r"\\NAS\share\praxis"})
        self.master = self.world.linux_path(samples["User_Master"])
        self.data = self.world.linux_path(samples["User_Data"])
        self.master_windows = samples["User_Master"]
        self.data_windows = samples["User_Data"]
        self.target = self.world.drive("d")
        self.versions = self.stick / "_Versions_" / "PC01"
        self.backup = self.stick / "_Backup_" / "PC01"
        shutil.copy2(build_dir() / "bin" / "file_locker.exe", self.world.c_drive() / "file_locker.exe")
        self.saved = self.world.root / "after-run-1"
        self.after = {}  # run number => the backup's files after it

    def run(self, args=(), env=None, **options):
        result = self.world.run(r"E:\brisk.exe", list(args), computer="PC01", env=env,
                                small_drives=self.world.stick_size(self.stick), **options)
        return result, result.output + result.errors

    def newest_run(self):
        """The highest run number a record on the stick holds."""
        numbers = [int(re.search(r"\nrun\t(\d+)\n", p.read_text("utf-8")).group(1))
                   for p in self.versions.glob("*.run.txt")]
        return max(numbers, default=0)

    def backed_up(self, label, env=None, expect=0):
        """A backup run; what the backup holds afterwards is its point's."""
        result, said = self.run(env=env)
        check(expect is None or result.exit_code == expect, f"{label}: exit {result.exit_code}\n{said[-2500:]}")
        self.after[self.newest_run()] = files_of(snapshot(self.backup))
        return said

    def first_run(self):
        self.backed_up("run 1")
        time.sleep(1.1)
        copy_tree(self.stick, self.saved / "stick")
        for name, folder in (("master", self.master), ("data", self.data), ("share", self.share)):
            copy_tree(folder, self.saved / name)

    def fresh(self):
        """The stick and the sources as they were after the first run."""
        self.world.stop_server()
        empty(self.stick)
        copy_tree(self.saved / "stick", self.stick)
        for name, folder in (("master", self.master), ("data", self.data), ("share", self.share)):
            shutil.rmtree(folder)
            copy_tree(self.saved / name, folder)
        self.after = {1: self.after[1]}
        empty(self.target)

    def change_for_run_2(self):
        (self.master / "readme.txt").write_bytes(b"saved over on Tuesday")
        (self.data / "sizes" / "small.bin").unlink()
        (self.master / "new in run 2.txt").write_bytes(b"added in run 2")
        (self.data / "患者一覧.csv").rename(self.data / "患者一覧 (旧).csv")
        (self.share / "network note.txt").write_bytes(b"the share saved over")

    def change_for_run_3(self):
        # Only saved over: the point before it must still come back exactly.
        (self.master / "readme.txt").write_bytes(b"saved over again on Wednesday, longer")
        (self.data / "sizes" / "medium.bin").write_bytes(bytes(range(256)) * 255)

    def dates(self):
        """The points /dates lists: (name, refused) pairs, and its earliest."""
        result, said = self.run(args=["/restore", "/dates"])
        check(result.exit_code == 0, f"/dates: {result.exit_code}\n{said}")
        listed = re.findall(r"/at:(\d{4}-\d\d-\d\d_\d{6})  \((.*)\)", said)
        earliest = re.search(r"The earliest point that can be restored: (.*)", said)
        check(listed and earliest, said)
        return [(name, "can no longer be restored" in rest) for name, rest in listed], earliest.group(1).strip(), said

    def run_names(self):
        """Run number => its record's set name."""
        names = {}
        for path in self.versions.glob("*.run.txt"):
            text = path.read_text("utf-8")
            names[int(re.search(r"\nrun\t(\d+)\n", text).group(1))] = re.search(r"\nset\t(.*)\n", text).group(1)
        return names

    def every_point(self, label, lost=()):
        """Every point /dates lists restores exactly or is refused by name;
        lost names files whose earlier version a run could not keep (named,
        never given the new bytes). Returns the refused points' names."""
        listed, earliest, said = self.dates()
        by_name = {name: run for run, name in self.run_names().items()}
        refused = []
        for number, (name, gone) in enumerate(listed):
            folder = rf"D:\{label} {number}"
            result, out = self.run(args=["/restore", f"/at:{name}", f"/to:{folder}"])
            last = out.rstrip().splitlines()[-1]
            if gone:
                refused.append(name)
                check(result.exit_code == 2 and "can no longer be restored" in out and earliest in out
                      and not self.world.linux_path(folder).exists(), f"{label} {name} refused:\n{out[-1500:]}")
                continue
            check(name in by_name, f"{label}: {name} is the point of a run with a record: {by_name}")
            want = self.after[by_name[name]]
            got = files_of(snapshot(self.world.linux_path(folder)))
            missing_lost = [path for path in lost if path in want and path not in got]
            if missing_lost:
                # Named, and the restore not called complete.
                check(result.exit_code == 1 and last.startswith("Restore INCOMPLETE") and all(
                    "its earlier version could not be kept" in out for _ in missing_lost), f"{label} {name}:\n{out}")
                want = {p: v for p, v in want.items() if p not in missing_lost}
            else:
                check(result.exit_code == 0 and last.startswith("Restore complete: "),
                      f"{label} {name}: {result.exit_code}\n{out[-2000:]}")
            check(set(got) == set(want), f"{label} {name} (run {by_name[name]}): only restored "
                  f"{sorted(set(got) - set(want))}, only expected {sorted(set(want) - set(got))}")
            for path, value in want.items():
                check(got[path][2] == value[2], f"{label} {name}: bytes of {path}")
                check(abs(got[path][1] - value[1]) <= 2_000_000_000, f"{label} {name}: time of {path}")
        return refused, earliest, said

    def check_stick(self, label):
        result, said = self.run(args=["/check"])
        check(result.exit_code == 0 and "all match" in said, f"{label}: /check {result.exit_code}\n{said[-2000:]}")


def clock(setting):
    """The environment that gives a run the clock's setting (libfaketime):
    "-1h" sets it back, "@2026-12-10 20:00:00" starts it there, and
    "2026-12-10 20:00:00" stops it there."""
    # Only the clock: the files' times stay as the file system has them,
    # and waits take the time they take.
    return {"LD_PRELOAD": FAKETIME, "FAKETIME": setting, "FAKETIME_DONT_RESET": "1", "NO_FAKE_STAT": "1",
            "FAKETIME_DONT_FAKE_MONOTONIC": "1"}
