"""The program speaks the user's interface language. The world holds a
folder inside the backup folder (refused), a folder too big for the stick
(left out for room) and a folder with a locked file (incomplete). Under a
Japanese interface every line the program says is Japanese, written in code
page 932 to the redirected output and to the trace log; under an English
interface the same world gives the English lines. The exit status is the
same in both."""
import shutil

from brisk_scenario import LATEST_BASE_DIRECTORY, World, build_dir, check

world = World("japanese")
stick = world.stick("g", size="6M")
world.install_program(stick)
samples = world.sample_host_folders()
refused = r"G:\_Backup_\PC02"
(stick / "_Backup_" / "PC02").mkdir(parents=True)
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"],
                     LATEST_BASE_DIRECTORY: refused})
master, data = samples["User_Master"], samples["User_Data"]
(world.linux_path(master) / "big.bin").write_bytes(bytes(range(256)) * (8 << 12))  # 8 MiB: never fits
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")
(world.linux_path(data) / "locked.txt").write_bytes(b"in use")
locked = world.windows_path(world.linux_path(data) / "locked.txt")


def run(interface):
    result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", locked, "60", "&", r"G:\brisk.exe"],
                       computer="PC01", small_drives=world.stick_size(stick), env={"LC_MESSAGES": interface})
    return result, result.output + result.errors, (world.root / "output.txt").read_bytes()


def newest_trace():
    traces = sorted(world.c_drive().rglob("_trace_/WC/*.txt"), key=lambda p: p.stat().st_mtime)
    return traces[-1].read_bytes().decode("utf-16") if traces else ""


english_lines = [f"Can't back up {refused} - it lies inside the backup folder G:\\_Backup_",
                 f"Not backed up: {master} (needs ", " more than G: has free)",
                 f"INCOMPLETE  {data}  ", "Backup INCOMPLETE: 1 of 11 folders incomplete",
                 "2 folders not backed up", " free on G:"]
japanese_lines = [f"{refused} はバックアップできません - バックアップフォルダー G:\\_Backup_ の中にあります",
                  f"バックアップしていません: {master} (G: の空き容量より ", " 多く必要です)",
                  f"未完了  {data}  ", "バックアップ未完了: 11 フォルダーのうち 1 が未完了",
                  "2 フォルダーをバックアップしていません", "G: の空き "]

result, said, raw = run("ja_JP.UTF-8")
check(result.exit_code == 1, f"Japanese: exit code {result.exit_code}\n{said[-2000:]}")
for line in japanese_lines:
    check(line in said, f"Japanese: {line!r} not said\n{said[-2000:]}")
    check(line.encode("cp932") in raw, f"Japanese: {line!r} not in code page 932")
for line in english_lines + ["Not backed up", "INCOMPLETE", "Can't", "Backup ", "OK  ", " files"]:
    check(line not in said, f"Japanese: English {line!r} said\n{said[-2000:]}")
check("\ufffd" not in said, "Japanese: a character the console page lacks")
check("バックアップ未完了: " in newest_trace(), "Japanese: the verdict not in the trace log")
check(said.splitlines()[0].startswith("brisk   Ver."), "the banner stays as it is")

result, said, raw = run("C")
check(result.exit_code == 1, f"English: exit code {result.exit_code}\n{said[-2000:]}")
for line in english_lines:
    check(line in said, f"English: {line!r} not said\n{said[-2000:]}")
check(not [line for line in japanese_lines if line in said], f"English: Japanese said\n{said[-2000:]}")
print("ok")
