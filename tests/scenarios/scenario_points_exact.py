"""Every point a restore offers is exact, or refused by name with the
earliest point that can be, whatever happened to the stick: the history's
last line removed, the second run's set folder deleted by hand (its record
left), the clock set back an hour before the second run, two runs in the
same second. A network folder is among the sources throughout: its earlier
versions are kept and checked, and /check finds the stick sound."""
from brisk_scenario import check
from points_world import PointsWorld, clock

world = PointsWorld("points_exact")
world.first_run()


def runs(env2=None, env3=None):
    world.change_for_run_2()
    said = world.backed_up("run 2", env=env2)
    world.change_for_run_3()
    world.backed_up("run 3", env=env3)
    return said


# The history's last line lost: the points come from the runs' records.
runs()
log = world.stick / "_Backup_" / "PC01.log"
log.write_text("".join(log.read_text("utf-8").splitlines(True)[:-1]), "utf-8")
refused, earliest, said = world.every_point("no last line")
check(not refused and said.count("/at:") == 3, f"three points, none refused:\n{said}")
world.check_stick("no last line")
network_kept = [p for p in world.versions.rglob("*") if "NAS" in p.parts and p.is_file()]
check(network_kept, "the network folder's earlier version is kept")

# The second run's set deleted by hand, its record left beside it: the
# point before it is refused by name, the later ones exact.
world.fresh()
runs()
names = world.run_names()
import shutil  # noqa: E402
shutil.rmtree(world.versions / names[2])
refused, earliest, said = world.every_point("set deleted")
check(refused == [names[1]] and earliest.replace(" ", "_").replace(":", "") == names[2],
      f"only the first point refused, the second the earliest:\n{said}")

# The clock an hour back for the second run: the points follow the runs,
# not the clock, and each restores exactly.
world.fresh()
runs(env2=clock("-1h"))
names = world.run_names()
check(names[2] < names[1] < names[3], f"run 2 labelled before run 1: {names}")
refused, earliest, said = world.every_point("clock back")
check(not refused, f"no point refused:\n{said}")
lines = [line for line in said.splitlines() if "/at:" in line]
check([line.split("/at:")[1][:17] for line in lines] == [names[1], names[2], names[3]],
      f"in the runs' order:\n{said}")

# Two runs in the same second (the clock stopped there): two points, the
# later run taking the next second's name, each exact.
world.fresh()
runs(env2=clock("2026-12-10 20:00:00"), env3=clock("2026-12-10 20:00:00"))
names = world.run_names()
check(names[2] == "2026-12-10_200000" and names[3] == "2026-12-10_200001", f"{names}")
refused, earliest, said = world.every_point("same second")
check(not refused and said.count("/at:") == 3, f"three points:\n{said}")
world.check_stick("same second")
print("ok: every point exact or refused by name")
