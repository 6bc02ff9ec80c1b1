"""Runs one scenario (python3 run_scenario.py <scenario.py>) and exits with
its status. A scenario that ends with WINE_COULD_NOT_START (Wine could not start
a set-up step, or its cmd a stand-in, see brisk_scenario.py) runs once more, in a fresh
world; any other failure stands as it is."""
import subprocess
import sys

WINE_COULD_NOT_START = 75


def run_scenario(command):
    status = subprocess.run(command).returncode
    if status == WINE_COULD_NOT_START:
        print("Wine could not start a set-up step or a stand-in: the scenario runs once more", file=sys.stderr, flush=True)
        status = subprocess.run(command).returncode
    return status


if __name__ == "__main__":
    sys.exit(run_scenario([sys.executable, *sys.argv[1:]]))
