"""The verdict is the last line of every run, with what was copied, and the
stick keeps one history line per run in _Backup_\\PC01.log: appended, never
written over; a history that cannot be written is said and changes no exit
status."""
import shutil

from brisk_scenario import World, build_dir, check

world = World("history")
stick = world.stick("e")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
data = world.linux_path(samples["User_Data"])
history = stick / "_Backup_" / "PC01.log"
shutil.copy2(build_dir() / "bin" / "file_locker.exe", world.c_drive() / "file_locker.exe")


def run(locked=None):
    if locked is None:
        result = world.run(r"E:\brisk.exe", computer="PC01")
    else:
        result = world.run("cmd", ["/c", "start", "/b", r"C:\file_locker.exe", locked, "30", "&", r"E:\brisk.exe"],
                           computer="PC01")
    said = [line for line in result.lines() if line and not line.startswith("Waiting for 5 seconds")]
    # Nothing said at all is no verdict: the check below shows what the run gave.
    return result, said[-1] if said else f"(nothing on the console; exit {result.exit_code}; {result.errors[-800:]!r})"


result, last = run()
check(result.exit_code == 0 and last.startswith("Backup complete: ") and " MB copied, 0 earlier versions kept, in "
      in last and last.endswith(" free on E:"), f"complete: {result.exit_code} {last!r}")
(data / "readme.txt").write_bytes(b"changed and held open")
result, last = run(str(world.windows_path(data / "readme.txt")))
check(result.exit_code == 1 and last.startswith("Backup INCOMPLETE: 1 of ") and " copied, " in last,
      f"incomplete: {result.exit_code} {last!r}")
world.stop_server()
result, last = run()
check(result.exit_code == 0 and last.startswith("Backup complete: "), f"complete again: {last!r}")

raw = history.read_bytes()
check(raw.endswith(b"\r\n") and not raw.startswith(b"\xef\xbb\xbf"), "UTF-8 lines ending in CR LF")
lines = raw.decode("utf-8").split("\r\n")[:-1]
fields = [line.split("\t") for line in lines]
check([f[1:3] for f in fields] == [["complete", "0"], ["incomplete", "1"], ["complete", "0"]],
      f"history: {lines}")
check(all(len(f) == 9 and len(f[0]) == 19 and all(x.isdigit() for x in f[3:]) for f in fields), f"fields: {lines}")
check(int(fields[0][5]) > 0 and int(fields[2][5]) > 0, f"bytes copied: {lines}")
check(int(fields[2][6]) == 1, f"the earlier readme kept by the third run: {lines}")

result, last = run()
check(history.read_bytes().decode("utf-8").split("\r\n")[:-1][:3] == lines, "earlier lines kept")
check(len(history.read_bytes().decode("utf-8").split("\r\n")[:-1]) == 4, "a fourth line appended")

# A history that cannot be written: said, and the run is still complete.
history.unlink()
history.mkdir()
result, last = run()
said = result.output + result.errors
check(result.exit_code == 0 and "Can't write the history E:\\_Backup_\\PC01.log: " in said
      and last.startswith("Backup complete: "), f"unwritable: {result.exit_code}\n{said[-1500:]}")
print("ok")
