"""Every point stays exact when a run goes wrong: the second run ended in
its second folder's copy (as a closed window ends it), the second run ends
"not made" after keeping deleted files, the second run's record cannot be
written from its second folder on, and a file saved between its folder's
plan and its copy. After each, /check finds the stick sound and every point
/dates lists restores exactly or is refused by name; no restore says
complete with a wrong byte."""
from brisk_scenario import check
from points_world import PointsWorld, clock

world = PointsWorld("points_after_failures")
world.first_run()

# Run 2 ends during the copy of its second folder: its record has no end,
# /check exits 0 and the earlier point restores; then run 3.
world.change_for_run_2()
world.backed_up("run 2 ended", env={"BRISK_ROBOCOPY_STOP": world.data_windows}, expect=None)
record = (world.versions / (world.run_names()[2] + ".run.txt")).read_text("utf-8")
check("\nend\t" not in record and "start\tC/KORV/Data" in record, record)
world.check_stick("after the run that ended")
refused, earliest, said = world.every_point("ended, before run 3")
check(not refused and "the run did not finish" in said, said)
world.change_for_run_3()
world.backed_up("run 3 after it")
world.check_stick("run 3 after the run that ended")
world.every_point("ended")

# Run 2 keeps the files it purges from the first folder, then the second
# does not fit: "not made", its lists saved, every point exact.
world.fresh()
for name in ("readme.txt", "read only.txt"):
    (world.master / name).chmod(0o644)
    (world.master / name).unlink()
with open(world.data / "too big.bin", "wb") as big:
    big.truncate(96 << 20)
said = world.backed_up("run 2 not made", expect=2)
check("Kept 2 earlier files of" in said, said)
world.check_stick("not made")
(world.data / "too big.bin").unlink()
world.change_for_run_3()
world.backed_up("run 3 after not made")
refused, earliest, said = world.every_point("not made")
check(not refused, said)

# Run 2's record cannot be written from its second folder on (a program
# holds it from the pause before that folder): that folder is not backed
# up, the run is not complete. The clock names the record beforehand.
world.fresh()
world.change_for_run_2()
hold = dict(clock("2026-12-11 09:00:00"), BRISK_TIMEOUT_HOLD=r"E:\_Versions_\PC01\2026-12-11_090000.run.txt",
            BRISK_TIMEOUT_LOCKER=r"C:\file_locker.exe")
said = world.backed_up("run 2 record held", env=hold, expect=1)
check("the record of this run was not written whole" in said and "Not backed up: " in said, said[-2500:])
world.check_stick("record held")
world.change_for_run_3()
world.backed_up("run 3 after the held record")
world.every_point("record held")

# A file saved between its folder's plan and its copy: named, recorded,
# and the point before names it instead of giving its new bytes.
world.fresh()
world.change_for_run_2()
touched = world.master_windows + r"\sizes\small.bin"
said = world.backed_up("run 2 touched", env={"BRISK_ROBOCOPY_TOUCH": touched}, expect=0)
check(f"{touched}  (its earlier version could not be kept: it changed during the backup)" in said, said[-2500:])
world.change_for_run_3()
world.backed_up("run 3 after touch")
world.every_point("touched", lost=["C/KORV/Master/sizes/small.bin"])
print("ok: every point exact or refused by name after a run that went wrong")
