"""brisk.exe started without arguments from a removable drive E:."""
from brisk_scenario import World, check

world = World("stick_start")
stick = world.drive("e", "floppy")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
world.fill_standard_folders()

run = world.run(r"E:\brisk.exe")
lines = run.lines()
check(run.exit_code == 0, f"exit code {run.exit_code}")
check(lines[0].startswith("brisk   Ver.1."), f"banner: {lines[0]!r}")
check(lines[1] == "", "an empty line follows the banner")
check(lines[2] == r"E:\brisk.exe", f"echo line: {lines[2]!r}")
check("REG_get" not in run.errors, f"the host settings are read: {run.errors}")
print(f"ok ({run.seconds:.1f} s)")
