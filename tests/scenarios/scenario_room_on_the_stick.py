"""Room on a small stick, folder by folder: a folder whose changes do not
fit keeps its old backup byte for byte and is named, while the next folder,
which fits, is backed up (exit 1); a stick that fills up before the folder
list is written keeps the old list whole and says so (exit 1)."""
from brisk_scenario import World, check, snapshot

world = World("room_on_the_stick")
stick = world.drive("g", "floppy")
world.install_program(stick)
samples = world.sample_host_folders()
world.host_settings({"User_Master": samples["User_Master"], "User_Data": samples["User_Data"]})
master = world.linux_path(samples["User_Master"])
data = world.linux_path(samples["User_Data"])


def run(**options):
    result = world.run(r"G:\brisk.exe", computer="PC01", small_drives=[(stick, "6M")], **options)
    return result, result.output + result.errors


result, said = run()
check(result.exit_code == 0, f"first backup: {result.exit_code}\n{said[-1500:]}")
master_copy = world.mirror_folder(r"G:\_Backup_", "PC01", samples["User_Master"])
data_copy = world.mirror_folder(r"G:\_Backup_", "PC01", samples["User_Data"])
kept = snapshot(master_copy)

# Master gains 8 MiB, more than the stick holds; Data gains a small file.
(master / "big.bin").write_bytes(bytes(range(256)) * (8 << 12))
(master / "readme.txt").write_bytes(b"changed, and not copied for want of room")
(data / "small.txt").write_bytes(b"fits")
result, said = run()
check(result.exit_code == 1, f"exit code {result.exit_code}\n{said[-1500:]}")
check(f"Not backed up: {samples['User_Master']} (needs " in said and " more than G: has free)" in said,
      said[-1500:])
check(snapshot(master_copy) == kept, "Master's old backup kept byte for byte")
check((data_copy / "small.txt").read_bytes() == b"fits", "Data backed up")
check(f"OK  {samples['User_Data']}  " in said and "1 folder not backed up;" in said, said[-1500:])
listing = (stick / "_Backup_" / "PC01.txt").read_bytes()

# Master fits again and Pat Make joins the list, but the stick fills up at
# the script's last pause: the old folder list stays, and the run says so.
(master / "big.bin").unlink()
world.host_settings({"User_PatMake": samples["User_PatMake"]})
result, said = run(env={"BRISK_TIMEOUT_FILL": r"G:\filler.bin"})
check(result.exit_code == 1, f"exit code {result.exit_code}\n{said[-1500:]}")
check(r"Can't write the folder list G:\_Backup_\PC01.txt: " in said, said[-1500:])
check(r"Can't write the checksum list G:\_Backup_\PC01.sha256: " in said, said[-1500:])
check("Backup INCOMPLETE: the folder list was not written, the checksum list was not written;" in said,
      said[-1500:])
check((stick / "_Backup_" / "PC01.txt").read_bytes() == listing, "the old folder list kept whole")
check(not (stick / "_Backup_" / "PC01.txt.new").exists(), "no partial list left")
check((master_copy / "readme.txt").read_bytes() == b"changed, and not copied for want of room",
      "Master backed up once it fits")
print("ok")
