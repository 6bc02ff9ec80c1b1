"""The README's demo: a sample host application, a removable drive E:
holding brisk.exe, and brisk.exe started from it, as a user would."""
import os
import sys

from brisk_scenario import World, snapshot

world = World("demo")
stick = world.drive("e", "floppy")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
world.fill_standard_folders()

arguments = sys.argv[1:]
print(r"--- E:\brisk.exe " + " ".join(arguments))
# BRISK_DEMO_JAPANESE=1: a Japanese interface, so the program speaks Japanese.
interface = "ja_JP.UTF-8" if os.environ.get("BRISK_DEMO_JAPANESE") == "1" else "C"
run = world.run(r"E:\brisk.exe", arguments, env={"LC_MESSAGES": interface})
sys.stdout.write(run.output.replace("\r\n", "\n"))
if run.errors:
    sys.stdout.write("--- error stream\n" + run.errors.replace("\r\n", "\n"))
print(f"--- exit code {run.exit_code}, {run.seconds:.1f} s")
print(f"--- drive E: ({stick})")
for path in snapshot(stick):
    if path.count("/") <= 6:
        print("    " + path)
if os.environ.get("BRISK_TIMEOUT_WAIT") != "1":
    print("(the timeout stand-in did not wait; BRISK_TIMEOUT_WAIT=1 makes it wait)")
sys.exit(run.exit_code)
