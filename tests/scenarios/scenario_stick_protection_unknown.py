"""Where the shell cannot tell whether the stick is encrypted (Wine has no
BitLocker), the program asks once, after the backup, and says nothing more:
the verdict follows what the run said before it, the exit status is the
same, in English and in Japanese. A backup onto a fixed drive does not ask.
Asking is seen in Wine's relay trace of the shell's property store call in
brisk.exe's own thread."""
import re

from brisk_scenario import World, check

world = World("stick_protection_unknown")
stick = world.stick("e")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
asked = ["shell32.SHGetPropertyStoreFromParsingName", "propsys.PSGetPropertyKeyFromName",
         "shell32.SHGetSpecialFolderPathW"]
world.registry_value(r"HKEY_CURRENT_USER\Software\Wine\Debug", "RelayInclude", ";".join(asked))

NOT_ENCRYPTED = ("is not encrypted", "暗号化されていません", "BitLocker")
RELAY = re.compile(r"^[0-9a-f]{4}:")


def own_calls(run):
    """The watched calls of brisk.exe's thread (the one that looks up
    standard folders), with their arguments."""
    calls = re.findall(r"^(\w+):Call \w+\.(\w+)\(([^)]*)\)", run.errors, re.MULTILINE)
    threads = {thread for thread, name, _ in calls if name == "SHGetSpecialFolderPathW"}
    check(len(threads) == 1, f"brisk's thread among {threads}")
    return [(name, arguments) for thread, name, arguments in calls if thread in threads]


for language in ("C", "ja_JP.UTF-8"):
    run = world.run(r"E:\brisk.exe", computer="PC01", env={"WINEDEBUG": "+relay", "LC_MESSAGES": language})
    # What the program said: the console and its error stream, without the relay trace.
    said = run.output + "".join(line for line in run.errors.splitlines(True) if not RELAY.match(line))
    lines = [line for line in run.lines() if line.strip()]
    verdict = "Backup complete: " if language == "C" else "バックアップ完了: "
    check(run.exit_code == 0, f"{language}: exit {run.exit_code}\n{run.output[-2000:]}")
    check(lines[-1].startswith(verdict), f"{language}: the verdict is last: {lines[-3:]}")
    check(not any(text in said for text in NOT_ENCRYPTED), f"{language}: nothing about encryption\n{said[-1500:]}")
    # The line before the verdict is what the run said before it: the last
    # of the backup folders it stamped.
    check(lines[-2].startswith("E:\\_Backup_\\PC01\\C\\"), f"{language}: before the verdict: {lines[-2]!r}")
    calls = own_calls(run)
    stores = [arguments for name, arguments in calls if name == "SHGetPropertyStoreFromParsingName"]
    keys = [arguments for name, arguments in calls if name == "PSGetPropertyKeyFromName"]
    check(len(keys) == 1 and "System.Volume.BitLockerProtection" in keys[0], f"{language}: key asked {keys}")
    check(len(stores) <= 1 and all('L"E:\\\\"' in a for a in stores), f"{language}: store asked {stores}")

# A backup onto a fixed drive F: (not a stick) never asks.
fixed = world.drive("f", "hd")
run = world.run(r"E:\brisk.exe", args=["F:\\"], computer="PC01", env={"WINEDEBUG": "+relay"})
check(run.exit_code == 0, f"fixed drive: exit {run.exit_code}\n{run.output[-2000:]}")
check(any((fixed / "_Backup_" / "PC01").iterdir()), "the backup onto F: ran")
asked_fixed = [name for name, _ in own_calls(run) if name != "SHGetSpecialFolderPathW"]
check(asked_fixed == [], f"a fixed drive is not asked: {asked_fixed}")
print("ok: asked once per backup onto the stick, nothing said; a fixed drive not asked")
