"""A stick that cannot keep what is written to it: an exFAT stick that, like
a counterfeit one, silently loses every write past 16 MiB of its image
(tests/equipment/lossy_stick). A backup of more than that onto it names each
lost file as a copy that does not match its source, keeps no wrong copy on
the stick, exits non-zero, and says in one plain line before the verdict that
the stick may be counterfeit or failing.

That plain line comes from the read-back feeding its facts to the stick's
rule (src/stick/stick_keeping.h); until the read-back does, the scenario
fails on that last check alone."""
import os
import re

# A lossy stick is a real exFAT stick, whichever way the scenario is started.
os.environ.setdefault("BRISK_STICK", "exfat")

from brisk_scenario import World, check, expected_backup, snapshot  # noqa: E402

world = World("stick_loses_writes")
stick = world.stick("e", lossy_after="16M")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
# 24 scans of 1 MiB each on the desktop, the folder backed up last: the
# later ones land past the stick's real room. Every folder of the backup is
# made before that point (a folder made past it would lose its own entries
# too, and the stick's file system would fail outright, as a counterfeit
# stick's does).
desktop = world.user_folder("Desktop")
for number in range(24):
    (desktop / f"scan {number:02}.bin").write_bytes(os.urandom(1 << 20))
sources = {"User_Master": world.linux_path(samples["User_Master"]),
           "User_Data": world.linux_path(samples["User_Data"]),
           "Desktop": desktop}
samples["Desktop"] = world.windows_path(desktop)

run = world.run(r"E:\brisk.exe", computer="PC01")
said = run.output + run.errors
lines = [line for line in run.lines() if line.strip()]
writes, lost = world.stick_losses(stick)
check(lost > 4 << 20, f"the stick lost {lost} bytes in {writes} writes")
check(run.exit_code == 1, f"exit {run.exit_code}\n{said[-3000:]}")
check(lines[-1].startswith("Backup INCOMPLETE: "), f"the verdict: {lines[-1]!r}")

# Each lost copy is named, and no copy on the stick holds other bytes than
# its source: a file is either named or right on the stick (read through
# the stick's driver, past every cache).
named = set()
for value, source in sources.items():
    copy = world.mirror_folder(r"E:\_Backup_", "PC01", samples[value])
    on_stick = snapshot(copy)
    for relative, entry in expected_backup(snapshot(source)).items():
        if entry is None:
            continue
        windows_name = samples[value] + "\\" + relative.replace("/", "\\")
        line = f"    {windows_name}  (the copy on E: does not match the source)"
        if line in said:
            named.add(relative)
            check(relative not in on_stick, f"a wrong copy stays on the stick: {relative}")
            continue
        check(relative in on_stick, f"{relative} is neither on the stick nor named")
        check((copy / relative).read_bytes() == (source / relative).read_bytes(),
              f"{relative} differs on the stick and is not named")
check(len(named) >= 3 and all(name.startswith("scan ") for name in named), f"named: {sorted(named)}")
check(len(named) < 24, f"the scans that fit are kept: {sorted(named)}")

# The plain line, once, after the files it explains and before the verdict.
# Its count may exceed the files named: a copy made again can come out right.
stick_lines = [number for number, line in enumerate(lines) if line.startswith("E: does not keep what is written")]
last_named = max(number for number, line in enumerate(lines) if "(the copy on E: does not match the source)" in line)
check(len(stick_lines) == 1 and last_named < stick_lines[0] < len(lines) - 1,
      f"the line on the stick, once, before the verdict: {stick_lines} {lines[last_named:]}")
stick_line = re.match(r"E: does not keep what is written to it \(copies read back wrong: ([\d,]+) of [\d,]+(?:, and the run's own lists and records read back wrong)?\)"
                      r": the stick may be counterfeit \(smaller than it claims\) or failing\. Use another stick\.$",
                      lines[stick_lines[0]])
check(stick_line and int(stick_line.group(1).replace(",", "")) >= len(named), lines[stick_lines[0]])
print(f"ok: {len(named)} lost scans named, exit 1, the stick's line said")

# A second run, its stick's room past the point taken: its own lists and
# record land where the stick loses them, and it says so.
# Whatever room is left before that point is taken by a file that grows
# until the stick starts losing its writes.
(world.linux_path(samples["User_Master"]) / "readme.txt").write_bytes(b"saved over after the first run")
lost_before = world.stick_losses(stick)[1]
with open(stick / "room taken.bin", "wb") as filler:
    for _ in range(1024):
        filler.write(b"\0" * (64 << 10))
        filler.flush()
        os.fsync(filler.fileno())
        if world.stick_losses(stick)[1] > lost_before:
            break
check(world.stick_losses(stick)[1] > lost_before, "the room before the point is taken")
again = world.run(r"E:\brisk.exe", computer="PC01")
again_lines = [line for line in again.lines() if line.strip()]
lost_lists = [line for line in again_lines if line.startswith("E: does not keep what is written")
              and "lists and records read back wrong" in line]
check(again.exit_code != 0 and len(lost_lists) == 1, f"second run: exit {again.exit_code}\n{again.output[-3000:]}")
print("ok: the second run says its lists and records did not read back")
