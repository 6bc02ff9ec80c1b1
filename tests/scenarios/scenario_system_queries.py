"""What does not change during a run is asked of the system once: the type
of each drive letter and the computer name, whatever the number of folders.
Counted with Wine's relay trace of those calls in brisk.exe's own thread
(the script's programs make such calls of their own)."""
import re
from collections import Counter

from brisk_scenario import World, check

world = World("system_queries")
stick = world.drive("e", "floppy")
world.install_program(stick)
world.host_settings(world.sample_host_folders())
world.fill_standard_folders()
watched = ["GetDriveTypeW", "GetComputerNameW", "SHGetSpecialFolderPathW"]
world.registry_value(r"HKEY_CURRENT_USER\Software\Wine\Debug", "RelayInclude",
                     ";".join(f"{dll}.{name}" for name in watched
                              for dll in ("kernel32", "kernelbase", "shell32")))
run = world.run(r"E:\brisk.exe", computer="PC01", env={"WINEDEBUG": "+relay"})
calls = re.findall(r"^(\w+):Call \w+\.(\w+)\(([^)]*)\)", run.errors, re.MULTILINE)
# Only brisk.exe looks up standard folders: its thread is the one that does.
threads = {thread for thread, name, _ in calls if name == "SHGetSpecialFolderPathW"}
check(len(threads) == 1, f"brisk's thread among {threads}")
own = [(name, arguments) for thread, name, arguments in calls if thread in threads]
letters = Counter(re.search(r'L"(.)', a).group(1).upper() for n, a in own if n == "GetDriveTypeW")
check(letters and all(count == 1 for count in letters.values()), f"drive type queries {letters}")
names = sum(1 for n, _ in own if n == "GetComputerNameW")
check(names == 1, f"{names} computer name queries")
folders = (world.computer_folder(r"E:\_Backup_", "PC01") / "C").rglob("*")
check(any(True for _ in folders), "the backup ran")
print(f"ok: {dict(letters)} drive queries, 1 computer name query")
