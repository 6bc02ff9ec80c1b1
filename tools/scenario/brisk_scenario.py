"""Test equipment: a Wine world for one end-to-end run of brisk.exe.

A World is a fresh Wine prefix (hard-linked from a prepared base prefix, so it
is made in well under a second) with drive letters mapped to folders of the
scenario, the host application's registry values, sample folders with
realistic content, and the test stand-ins for robocopy and timeout in place of
Wine's own. It runs a program there, collects what it printed (through files:
a process Explorer leaves behind would hold a pipe open) and its exit code, and
ends the prefix's wineserver afterwards.

    world = World("backup_from_stick")
    stick = world.drive("e", "floppy")
    world.install_program(stick)
    world.host_settings(world.sample_host_folders())
    run = world.run(r"E:\\brisk.exe")
    assert run.exit_code == 0

The base prefix has real user folders (not links to the Linux home) and no
drive Z: (the Linux root); see tools/wine/ensure-prefix. Scenarios run with a
Japanese locale, as on the Japanese Windows the program is written for.

With BRISK_STICK=exfat in the environment, world.stick() is a real exFAT file
system (a sparse image, a loop device and exfat-fuse), as sticks come: times
to the second, names without case. The scenario then runs in a mount
namespace of its own (it starts itself again inside one), so that nothing it
mounts is seen outside it or outlives it.
"""

import atexit
import fcntl
import getpass
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[2]
HOST_KEY = r"HKEY_CURRENT_USER\Software\Harrowgate\KORV\KORV"
LATEST_BASE_DIRECTORY = "最新の基本ディレクトリ名"
DRIVE_KINDS = ("floppy", "hd", "network", "cdrom")


STICK_KIND = os.environ.get("BRISK_STICK", "")
if STICK_KIND == "exfat" and not os.environ.get("BRISK_OWN_MOUNTS"):
    os.environ["BRISK_OWN_MOUNTS"] = "1"
    os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable, *sys.argv])


def build_dir():
    return Path(os.environ.get("BRISK_BUILD_DIR", SOURCE_DIR / "build")).resolve()


class SetUpError(Exception):
    """A step that makes the world failed; the message has what it said."""


# The exit status of a scenario whose world's cmd could not start one of the
# stand-ins (Wine's cmd says "Can't recognize" when CreateProcessW fails,
# which it does now and then on a loaded machine): run_scenario.py, which
# runs such a scenario once more in a fresh world, says which it is.
from run_scenario import WINE_COULD_NOT_START, run_scenario  # noqa: E402


def never_started(program, status, output, errors):
    """Whether a failed run of the program was never started: it says its
    banner first, so a run of it that failed saying nothing at all never
    ran (Wine could not start it)."""
    return program.lower().endswith("brisk.exe") and status != 0 and not (output.strip() or errors.strip())


def wine_could_not_start(said):
    """Whether a run's output shows Wine's cmd failing to start the robocopy
    or timeout stand-in (the program itself never says "Can't recognize"),
    or Wine failing to start a program at all (what wine_could_not_start_set_up
    matches, which the program never says either)."""
    return (re.search(r"Can't recognize '(robocopy|timeout)[ \"]", said) is not None
            or wine_could_not_start_set_up(said))


def wine_could_not_start_set_up(said):
    """Whether a failed set-up step (wine reg, wine cmd) is Wine failing to
    start the program at all, which it says as its start's failure."""
    return "Application could not be started" in said or "ShellExecuteEx failed" in said


@dataclass
class Run:
    exit_code: int
    output: str
    errors: str
    seconds: float

    def lines(self):
        return self.output.replace("\r\n", "\n").split("\n")

    def script_folders(self):
        """The folders the copy scripts ran in (lower-cased), read from the
        prompt of each echoed copy command: each script changes to its own
        folder first."""
        return {line.split('>robocopy "')[0].lower() for line in self.lines() if '>robocopy "' in line}

    def copy_commands(self):
        """The copy commands the run's script ran, as they were echoed."""
        echoed = (re.search(r'>(?:timeout /t 10  &\t)?(robocopy ".*)$', line) for line in self.lines())
        return [match.group(1) for match in echoed if match]

    def whole_script(self):
        """One script doing what the run's script did: the pause before each
        copy command, and the pause at the end (for timing the copy alone)."""
        lines = ["cd /d C:\\"] + ["timeout /t 10  &\t" + command.replace("%", "%%") for command in self.copy_commands()]
        return ("\r\n".join(lines + ["timeout /t 10", ""])).encode("cp932")


def wine_environment(prefix, extra=None):
    # A Japanese system (code page 932) with an English interface: Wine
    # takes the code pages from LANG and the interface language from
    # LC_MESSAGES (a Japanese scenario sets LC_MESSAGES=ja_JP.UTF-8).
    env = {name: value for name, value in os.environ.items() if not name.startswith("LC_")}
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": "-all",
        # No Mono or Gecko dialogs; our robocopy instead of Wine's stub.
        "WINEDLLOVERRIDES": "mscoree,mshtml=;robocopy.exe=n",
        "LANG": "ja_JP.UTF-8",
        "LC_MESSAGES": "C",
    })
    env.update(extra or {})
    return env


def _base_prefix():
    """The prepared prefix that every world is linked from, made once."""
    base = build_dir() / "scenario-base"
    marker = base / ".brisk-stand-ins"
    equipment = build_dir() / "equipment"
    stand_ins = [equipment / "robocopy.exe", equipment / "timeout.exe"]
    newest = max(p.stat().st_mtime for p in stand_ins)
    if marker.exists() and marker.stat().st_mtime >= newest:
        return base
    base.parent.mkdir(parents=True, exist_ok=True)
    with open(str(base) + ".world-lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if marker.exists() and marker.stat().st_mtime >= newest:
            return base
        subprocess.run([str(SOURCE_DIR / "tools/wine/ensure-prefix"), str(base)], check=True)
        system32 = base / "drive_c/windows/system32"
        for program in stand_ins:
            target = system32 / program.name
            if target.exists():
                target.unlink()
            shutil.copy2(program, target)
        marker.touch()
    return base


def _stick_library(name):
    """A library of the stick equipment (tests/equipment/<name>/<name>.c),
    built with the system's gcc when its source is newer (a Linux library:
    not part of the mingw build)."""
    source = SOURCE_DIR / "tests" / "equipment" / name / f"{name}.c"
    library = build_dir() / "equipment" / f"{name}.so"
    if not library.exists() or library.stat().st_mtime < source.stat().st_mtime:
        library.parent.mkdir(parents=True, exist_ok=True)
        building = library.with_name(f"{name}.{os.getpid()}.so")
        subprocess.run(["gcc", "-shared", "-fPIC", "-O2", "-Wall", "-o", str(building), str(source), "-ldl",
                        "-lpthread"], check=True)
        building.replace(library)
    return library


def _lossy_stick_library():
    return _stick_library("lossy_stick")


# A stick's speed for the slow stick (tests/equipment/slow_stick): reads and
# writes in MB/s and each request's latency in microseconds. The scenarios'
# exFAT sticks take the unlimited one: every read reaches the image (the
# page cache never answers a read-back), at no cost of time.
UNLIMITED = (1000000, 1000000, 0)
USB2 = (30, 12, 300)


class World:
    def __init__(self, name):
        # The exFAT run of a scenario has a world of its own beside the plain one.
        name = f"{name}_{STICK_KIND}" if STICK_KIND else name
        self.name = name
        self.root = build_dir() / "scenarios" / name
        if self.root.exists():
            self._stop_server(self.root / "prefix")
            shutil.rmtree(self.root)
        self.root.mkdir(parents=True)
        self.prefix = self.root / "prefix"
        # Hard links, but not for the files Wine writes into: it saves a
        # registry file that has other links in place (not by renaming a new
        # one over it), and it rewrites .update-timestamp in place when it
        # updates a prefix. Written through a link, they would change the
        # base and every other world, while those read them. The world gets
        # copies of its own.
        subprocess.run(["cp", "-al", str(_base_prefix()), str(self.prefix)], check=True)
        for written in [*self.prefix.glob("*.reg"), self.prefix / ".update-timestamp"]:
            data = written.read_bytes()
            written.unlink()
            written.write_bytes(data)
        self.user = getpass.getuser()
        self._registry = []
        self._drive_kinds = {}
        self._records_shell = False
        self._stick_sizes = {}
        self._stick_losses = {}
        self._stick_stats = {}
        self._stick_mounts = {}

    # --- the world -------------------------------------------------------

    def c_drive(self):
        return self.prefix / "drive_c"

    def user_folder(self, name=""):
        """A folder of the user's profile, e.g. user_folder("Documents")."""
        return self.c_drive() / "users" / self.user / name

    def public_folder(self, name=""):
        return self.c_drive() / "users" / "Public" / name

    def drive(self, letter, kind="hd"):
        """Maps drive LETTER: to a new folder of the scenario; kind is one of
        floppy (removable), hd (fixed), network, cdrom."""
        letter = letter.lower()
        assert kind in DRIVE_KINDS, kind
        folder = self.root / "drives" / letter
        folder.mkdir(parents=True, exist_ok=True)
        link = self.prefix / "dosdevices" / (letter + ":")
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder)
        self._drive_kinds[letter] = kind
        return folder

    def stick(self, letter="e", size=None, lossy_after=None, speed=UNLIMITED):
        """The removable drive the program backs up onto: a folder, or with
        BRISK_STICK=exfat a fresh exFAT file system mounted on it for the rest
        of the scenario (1 GB unless a size is given). A stick of a given
        size is small for every run: pass stick_size(stick) as run's
        small_drives. lossy_after ("96M") makes an exFAT stick that, like a
        counterfeit one, silently loses every write of its image past that
        offset (tests/equipment/lossy_stick), every read of a file reaching
        the image (direct_io); stick_losses tells what it lost. Any other
        exFAT stick goes through the slow stick at the speed given (read
        MB/s, write MB/s, latency in microseconds; unlimited by default),
        every read of a file reaching the image; stick_reads tells what was
        read of it."""
        folder = self.drive(letter, "floppy")
        self._stick_sizes[folder] = size
        if STICK_KIND != "exfat":
            if lossy_after:
                raise RuntimeError("a lossy stick is an exFAT stick: run with BRISK_STICK=exfat")
            return folder
        image = self.root / f"stick-{letter}.img"
        subprocess.run(["truncate", "-s", size or "1G", str(image)], check=True)
        subprocess.run(["mkfs.exfat", str(image)], check=True, stdout=subprocess.DEVNULL)
        loop = subprocess.run(["losetup", "-f", "--show", str(image)], check=True, capture_output=True,
                              text=True).stdout.strip()
        if lossy_after:
            stats = self.root / f"stick-{letter}.losses"
            self._stick_losses[folder] = stats
            environment = dict(os.environ, LD_PRELOAD=str(_lossy_stick_library()), LOSSY_IMAGE=loop,
                               LOSSY_AFTER=lossy_after, LOSSY_FUSE_OPTS="direct_io", LOSSY_STATS=str(stats))
        else:
            stats = self.root / f"stick-{letter}.stats"
            self._stick_stats[folder] = stats
            read, write, latency = speed
            environment = dict(os.environ, LD_PRELOAD=str(_stick_library("slow_stick")), SLOW_IMAGE=loop,
                               SLOW_FUSE_OPTS="direct_io", SLOW_READ_MBPS=str(read), SLOW_WRITE_MBPS=str(write),
                               SLOW_LATENCY_US=str(latency), SLOW_STATS=str(stats))
        self._stick_mounts[folder] = (loop, environment)
        self._mount_stick(folder)
        atexit.register(self._unmount_stick, folder, loop)
        return folder

    def _mount_stick(self, folder):
        loop, environment = self._stick_mounts[folder]
        subprocess.run(["mount.exfat-fuse", loop, str(folder)], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, env=environment)

    def remount_stick(self, stick):
        """Unmounts the exFAT stick and mounts it again, as a stick is pulled
        and plugged in again: what it gives back then is what it stores."""
        self._stop_server(self.prefix)
        subprocess.run(["umount", str(stick)], check=True)
        self._mount_stick(stick)

    def stick_reads(self, stick):
        """What was read of the exFAT stick's image so far: (reads, bytes)."""
        data = self._stick_stats[stick].read_bytes()
        words = [int.from_bytes(data[i:i + 8], "little") for i in range(0, 40, 8)]
        return words[1], words[2]

    def stick_losses(self, stick):
        """What a lossy stick lost so far: (writes that lost bytes, bytes lost)."""
        data = self._stick_losses[stick].read_bytes()
        magic, writes, lost = (int.from_bytes(data[i:i + 8], "little") for i in range(0, 24, 8))
        check(magic == int.from_bytes(b"lossystk", "little"), "the lossy stick's counters")
        return writes, lost

    def stick_size(self, stick):
        """The small_drives a run needs for the stick to have its size: none
        on exFAT, whose file system has it already."""
        size = self._stick_sizes.get(stick)
        return [] if STICK_KIND == "exfat" or not size else [(stick, size)]

    def _unmount_stick(self, folder, loop):
        # The world's programs may hold files on it: they end first.
        self._stop_server(self.prefix)
        subprocess.run(["umount", "-l", str(folder)], stderr=subprocess.DEVNULL)
        subprocess.run(["losetup", "-d", loop], stderr=subprocess.DEVNULL)

    def share(self, server, share):
        """Makes a new folder of the scenario reachable as \\\\SERVER\\SHARE."""
        folder = self.root / "shares" / server / share
        folder.mkdir(parents=True, exist_ok=True)
        link = self.prefix / "dosdevices" / "unc" / server.lower() / share.lower()
        link.parent.mkdir(parents=True, exist_ok=True)
        link.symlink_to(folder)
        return folder

    def install_program(self, folder, name="brisk.exe"):
        target = Path(folder) / name
        shutil.copy2(build_dir() / "bin" / "brisk.exe", target)
        return target

    def record_shell(self):
        """Puts a recorder in place of explorer.exe: every program started
        as explorer.exe then appends its arguments to a file of the world
        (see shell_requests) instead of showing anything."""
        recorder = build_dir() / "bin" / "arg_recorder.exe"
        for folder in (self.c_drive() / "windows", self.c_drive() / "windows" / "system32"):
            target = folder / "explorer.exe"
            target.unlink()  # a hard link into the base prefix
            shutil.copy2(recorder, target)
        self._records_shell = True

    def shell_requests(self):
        """The argument lists explorer.exe was started with since the last
        call, without Wine's own starts of its desktop."""
        record = self.c_drive() / "shell-requests.txt"
        if not record.exists():
            return []
        lines = record.read_bytes().decode("utf-8").splitlines()
        record.unlink()
        requests = [line.split("\t")[1:] for line in lines]
        return [r for r in requests if r[:1] != ["/desktop"]]

    def registry_value(self, key, name, value, kind="REG_SZ"):
        """Queues a value for the prefix's registry (key as in regedit)."""
        self._registry.append((key, name, value, kind))

    def host_settings(self, folders):
        """The host application's values: folders maps value names
        (User_Master, User_PatData, User_PatMake, User_Data, and
        LATEST_BASE_DIRECTORY) to Windows paths."""
        for name, path in folders.items():
            key = HOST_KEY + ("\\PlnCtrl" if name == LATEST_BASE_DIRECTORY else "\\FilePath")
            self.registry_value(key, name, path)

    def temp_folder(self, windows_path):
        """Makes the user's temporary folder the given Windows path."""
        for name in ("TEMP", "TMP"):
            self.registry_value(r"HKEY_CURRENT_USER\Environment", name, windows_path)

    def windows_path(self, linux_path):
        """The Windows path of a Linux path inside the world."""
        linux_path = Path(linux_path).resolve()
        for link in sorted((self.prefix / "dosdevices").iterdir()):
            if not link.name.endswith(":") or not link.is_symlink():
                continue
            target = link.resolve()
            try:
                rest = linux_path.relative_to(target)
            except ValueError:
                continue
            parts = [link.name.upper()] + list(rest.parts)
            return "\\".join(parts) if rest.parts else link.name.upper() + "\\"
        raise ValueError(f"{linux_path} is on no drive of the world")

    def linux_path(self, windows_path):
        """The Linux path of a Windows drive path of the world."""
        drive, _, rest = windows_path.partition(":")
        link = self.prefix / "dosdevices" / (drive.lower() + ":")
        parts = [p for p in rest.replace("/", "\\").split("\\") if p]
        return link.resolve().joinpath(*parts)

    def computer_folder(self, backup_root, computer):
        return self.linux_path(backup_root) / computer

    def mirror_folder(self, backup_folder, computer, source):
        """Where the program mirrors a source folder (a Windows path) below a
        "_Backup_" folder: the computer's level (for drive paths), then the
        source path with its colon, slashes and percent signs as separators."""
        parts = [p for p in re.split(r"[\\/:%]", source) if p]
        level = [computer] if ":" in source else []
        return self.linux_path(backup_folder).joinpath(*level, *parts)

    def script_folder(self):
        return self.user_folder("Temp") / "Quillon.tmp" / "brisk"

    # --- sample content --------------------------------------------------

    def sample_host_folders(self, drive_folder=None):
        """Fills folders of the host application with realistic content
        (nested folders, Japanese names, blanks, '&', '%', files of several
        sizes, a read-only file, names the backup excludes) and returns the
        registry values that point at them."""
        base = Path(drive_folder) if drive_folder else self.c_drive() / "KORV"
        folders = {
            "User_Master": base / "Master",
            "User_PatData": base / "患者データ & 50% off",
            "User_PatMake": base / "Pat Make",
            "User_Data": base / "Data",
            LATEST_BASE_DIRECTORY: base / "基本",
        }
        for value, folder in folders.items():
            fill_sample_folder(folder, value)
        return {name: self.windows_path(folder) for name, folder in folders.items()}

    def fill_standard_folders(self):
        for folder in (self.user_folder("Documents"), self.user_folder("Pictures"),
                       self.public_folder("Documents")):
            fill_sample_folder(folder, folder.name)

    # --- running ---------------------------------------------------------

    def _apply_registry(self, env):
        entries = list(self._registry)
        for letter, kind in self._drive_kinds.items():
            entries.append((r"HKEY_LOCAL_MACHINE\Software\Wine\Drives", letter + ":", kind, "REG_SZ"))
        if not entries:
            return
        lines = ["Windows Registry Editor Version 5.00", ""]
        for key, name, value, kind in entries:
            lines.append(f"[{key}]")
            if kind == "REG_SZ":
                text = value.replace("\\", "\\\\").replace('"', '\\"')
                lines.append(f'"{name}"="{text}"')
            elif kind == "REG_EXPAND_SZ":
                data = (value + "\0").encode("utf-16-le").hex(",")
                lines.append(f'"{name}"=hex(2):{data}')
            elif kind == "REG_DWORD":
                lines.append(f'"{name}"=dword:{int(value):08x}')
            lines.append("")
        # Inside the world: no drive maps the Linux file system.
        reg_file = self.c_drive() / "scenario-settings.reg"
        reg_file.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        self._set_up(["wine", "reg", "import", r"C:\scenario-settings.reg"], env, "registry import")
        reg_file.unlink()
        self._registry.clear()

    def _set_up(self, command, env, step):
        """Runs a set-up command of the world; when it fails, the failure
        says what it printed. Its output goes to a file, not a pipe: Wine's
        session processes started with it would hold a pipe open."""
        log = self.root / "set-up.txt"
        with open(log, "wb") as out:
            status = subprocess.run(command, env=env, stdout=out, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, cwd=self.c_drive()).returncode
        said = decode(log.read_bytes()).strip()
        log.unlink()
        if status != 0 and wine_could_not_start_set_up(said):
            # Not the world's fault: the whole scenario runs once more.
            print(f"world {self.name}: Wine could not start the {step}:\n{said[-1000:]}",
                  file=sys.stderr, flush=True)
            sys.exit(WINE_COULD_NOT_START)
        if status != 0:
            raise SetUpError(f"{step} in world {self.name} failed: {' '.join(command)} "
                             f"exited with {status}; it said:\n{said or '(nothing)'}")

    def keep_server_warm(self, computer=None):
        """Starts the world's wineserver as a persistent one (kept up between
        runs until stop_server), inside the host name's namespace when a
        computer name is given, so that warm runs time the programs alone."""
        environment = wine_environment(self.prefix)
        self._apply_registry(environment)
        self._stop_server(self.prefix)
        command = ["wineserver", "-p"]
        if computer:
            command = ["unshare", "-u", "sh", "-c", 'hostname "$1"; shift; exec "$@"', "sh",
                       computer, *command]
        subprocess.run(command, env=environment, check=True)

    def stop_server(self):
        self._stop_server(self.prefix)

    @staticmethod
    def _stop_server(prefix):
        if prefix.exists():
            env = wine_environment(prefix)
            subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL)

    def run(self, program, args=(), computer=None, env=None, timeout=600, cwd=None, warm=False,
            read_only=(), small_drives=()):
        """Runs a Windows program in the world and waits for it; computer
        gives the world another host name (and so another computer name);
        cwd is the Linux folder (on a drive of the world) it starts in.
        warm keeps the world's wineserver running (see keep_server_warm),
        for timing; drive types and environment values set since it started
        do not take effect then. read_only lists folders of the world
        (drives) that the run sees read-only; small_drives lists (folder,
        size) pairs: the run sees the folder as a file system of that size
        ("4M") holding the folder's content, which the folder holds
        afterwards. Both need root and a private mount namespace."""
        extra = dict(env or {})
        if self._records_shell:
            extra["WINEDLLOVERRIDES"] = "mscoree,mshtml=;robocopy.exe=n;explorer.exe=n"
            extra["BRISK_RECORD_FILE"] = r"C:\shell-requests.txt"
        environment = wine_environment(self.prefix, extra)
        self._apply_registry(environment)
        # Drive types and environment values take effect with a new wineserver.
        if not warm:
            self._stop_server(self.prefix)
        command = ["wine", program, *args]
        stages = []
        if computer or read_only or small_drives:
            lines = ["set -e"]
            for folder in read_only:
                lines.append(f"mount --bind '{folder}' '{folder}'")
                lines.append(f"mount -o remount,ro,bind '{folder}'")
            for number, (folder, size) in enumerate(small_drives):
                stage = self.root / f"small-drive-{number}"
                shutil.rmtree(stage, ignore_errors=True)
                stage.mkdir()
                stages.append((Path(folder), stage))
                lines.append(f"cp -a '{folder}/.' '{stage}/'")
                lines.append(f"mount -t tmpfs -o size={size} tmpfs '{folder}'")
                lines.append(f"cp -a '{stage}/.' '{folder}/'")
            if computer:
                lines.append(f"hostname '{computer}'")
            lines.append("set +e")
            lines.append('"$@"; status=$?')
            for folder, stage in stages:
                lines.append(f"rm -rf '{stage}'; mkdir '{stage}'; cp -a '{folder}/.' '{stage}/'")
            lines.append('exit "$status"')
            flags = "-u" + ("m" if read_only or small_drives else "")
            command = ["unshare", flags, "sh", "-c", "\n".join(lines), "sh", *command]
        out_path = self.root / "output.txt"
        err_path = self.root / "errors.txt"
        started = time.monotonic()
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            # Started in C:\ of the world: a relative path must not reach
            # the Linux file system.
            completed = subprocess.run(command, env=environment, stdout=out, stderr=err,
                                       stdin=subprocess.DEVNULL, timeout=timeout,
                                       cwd=cwd or self.c_drive())
        seconds = time.monotonic() - started
        for folder, stage in stages:
            # What the small drive held at the end, back in its folder.
            shutil.rmtree(folder)
            shutil.copytree(stage, folder, symlinks=True)
            shutil.rmtree(stage)
        if self._records_shell:
            # Programs the run started through the shell finish on their own.
            subprocess.run(["wineserver", "-w"], env=environment, stderr=subprocess.DEVNULL,
                           timeout=120)
        if not warm:
            self._stop_server(self.prefix)
        output, errors = decode(out_path.read_bytes()), decode(err_path.read_bytes())
        if never_started(program, completed.returncode, output, errors) or wine_could_not_start(output + errors):
            # Not the program's doing: nothing the run found holds.
            print(f"world {self.name}: Wine could not start {program} or a stand-in it runs:\n{errors[-1000:]}",
                  file=sys.stderr, flush=True)
            sys.exit(WINE_COULD_NOT_START)
        return Run(completed.returncode, output, errors, seconds)


def decode(data):
    """Console output of the world: code page 932, as a Japanese console."""
    return data.decode("cp932", errors="replace")


def fill_sample_folder(folder, label):
    folder = Path(folder)
    files = {
        "readme.txt": f"{label}\r\n".encode("utf-8"),
        "患者一覧.csv": "番号,名前\r\n1,山田\r\n".encode("utf-8"),
        "sub folder/深い/notes & more.txt": b"nested",
        "sub folder/empty/": None,
        "sizes/small.bin": bytes(10),
        "sizes/medium.bin": bytes(range(256)) * 256,
        "read only.txt": b"read-only content",
        "old.bak": b"excluded by name",
        "Thumbs.db": b"excluded by name",
        "scratch.tmp": b"excluded by name",
        "bak/in excluded folder.txt": b"excluded folder",
    }
    for relative, content in files.items():
        path = folder / relative
        if content is None:
            path.mkdir(parents=True, exist_ok=True)
            continue
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
    os.chmod(folder / "read only.txt", 0o444)


def snapshot(folder):
    """Relative path -> (size, modification time, content) of every file
    (content only for files below 1 MiB), and relative path -> None for
    every folder."""
    folder = Path(folder)
    result = {}
    for path in sorted(folder.rglob("*")):
        relative = path.relative_to(folder).as_posix()
        if path.is_dir():
            result[relative + "/"] = None
        else:
            stat = path.stat()
            content = path.read_bytes() if stat.st_size < (1 << 20) else None
            result[relative] = (stat.st_size, stat.st_mtime_ns, content)
    return result


EXCLUDED_FILE_ENDINGS = (".bak", ".tmp")
EXCLUDED_FOLDERS = ("bak", ".vs", "_backup_", "_search_")
MAX_FILE_SIZE = (1 << 32) - 1


def without_history(stick_snapshot):
    """A stick's snapshot without the run histories (_Backup_/<COMPUTER>.log),
    which get a line from every run that could write to the drive."""
    return {path: value for path, value in stick_snapshot.items()
            if not re.fullmatch(r"_Backup_/[^/]+\.log", path)}


def expected_backup(source_snapshot):
    """What the backup policy copies of a source snapshot: no *.bak, *.tmp
    or Thumbs.db files, no bak, .vs, _Backup_, _Search_ or *.tmp folders,
    no file over 4294967295 bytes."""
    expected = {}
    for path, value in source_snapshot.items():
        parts = path.rstrip("/").lower().split("/")
        folders = parts if value is None else parts[:-1]
        if any(f in EXCLUDED_FOLDERS or f.endswith(".tmp") for f in folders):
            continue
        if value is not None:
            name = parts[-1]
            if name.endswith(EXCLUDED_FILE_ENDINGS) or name == "thumbs.db":
                continue
            if value[0] > MAX_FILE_SIZE:
                continue
        expected[path] = value
    return expected


def check_copy(source_snapshot, copy_snapshot, label):
    """The copy holds exactly what the policy copies, same contents and
    modification times (within the two seconds FAT times allow)."""
    expected = expected_backup(source_snapshot)
    check(set(copy_snapshot) == set(expected),
          f"{label}: differs in {sorted(set(copy_snapshot) ^ set(expected))}")
    for path, value in expected.items():
        if value is None:
            continue
        copied = copy_snapshot[path]
        check(copied[0] == value[0] and copied[2] == value[2], f"{label}: content of {path}")
        check(abs(copied[1] - value[1]) <= 2_000_000_000, f"{label}: time of {path}")


def read_first(computer_folder, relative):
    """Marks a backup file (its path below the computer's folder, "/"
    between names) as read longest ago in the runs list, so that the next
    run's rolling check, which reads an eighth of the files, takes it first."""
    runs = Path(str(computer_folder) + ".sha256.runs")
    lines = runs.read_bytes().decode("utf-8").split("\n")
    for number, line in enumerate(lines):
        parts = line.split(" ", 3)
        if len(parts) == 4 and parts[3] == relative:
            lines[number] = " ".join(parts[:2] + ["0", parts[3]])
            break
    else:
        raise AssertionError(f"{relative} is not in {runs}")
    runs.write_bytes("\n".join(lines).encode("utf-8"))


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def _check_equipment():
    """The equipment's own check (python3 brisk_scenario.py): a set-up step
    that fails says what it printed; a new world shares no file that Wine
    writes into with the base prefix."""
    world = World("equipment_check")
    environment = wine_environment(world.prefix)
    world._set_up(["sh", "-c", "echo fine"], environment, "a step that works")
    try:
        world._set_up(["sh", "-c", "printf '%s: %s\\n' reg refused >&2; exit 1"], environment,
                      "registry import")
    except SetUpError as error:
        said = str(error)
    else:
        raise AssertionError("a failing set-up step passed")
    check("registry import in world equipment_check failed" in said and "exited with 1" in said
          and "\nreg: refused" in said, said)
    try:
        world._set_up(["sh", "-c", "echo 'Application could not be started, or no application "
                       "associated with the specified file.'; exit 1"], environment, "registry import")
    except SystemExit as stopped:
        check(stopped.code == WINE_COULD_NOT_START, f"a step Wine never started exited {stopped.code}")
    else:
        raise AssertionError("a step Wine could not start passed")
    base = build_dir() / "scenario-base"
    for name in ("system.reg", "user.reg", "userdef.reg", ".update-timestamp"):
        own, based = (world.prefix / name).stat(), (base / name).stat()
        check(own.st_nlink == 1 and own.st_ino != based.st_ino, f"{name} is linked into the base prefix")
        check((world.prefix / name).read_bytes() == (base / name).read_bytes(), f"{name} differs from the base")
    shutil.rmtree(world.root)
    # Only cmd's failure to start a stand-in counts as Wine's, never a line of
    # the program's or a copy that failed.
    check(wine_could_not_start("Can't recognize 'robocopy \"C:\\KORV\" \"E:\\x\"' as an internal or external"),
          "a stand-in cmd could not start")
    check(wine_could_not_start("Can't recognize 'timeout /t 10 ' as an internal"), "the timeout stand-in")
    check(not wine_could_not_start("INCOMPLETE  C:\\KORV\\Data  5 files, 1 missing or older"), "a folder line")
    check(not wine_could_not_start("Can't recognize 'brisk_check.exe' as an internal"), "another program")
    check(wine_could_not_start("Application could not be started, or no application associated with the "
                               "specified file.\nShellExecuteEx failed: Internal error."), "a program Wine never started")
    check(never_started(r"E:\brisk.exe", 1, "", " \n"), "a run that said nothing")
    check(not never_started(r"E:\brisk.exe", 0, "", ""), "a run that passed")
    check(not never_started(r"E:\brisk.exe", 2, "brisk   Ver.1\n", ""), "a run that said its banner")
    check(not never_started("cmd", 1, "", ""), "another program")
    # Such a scenario runs once more; twice is a failure, and so is any other.
    tries = world.root.parent / "equipment_check.tries"
    for outcomes, expected in (([75, 0], 0), ([75, 75], 75), ([1, 0], 1)):
        tries.write_text("")
        script = ("import sys; from pathlib import Path; p = Path(sys.argv[1]); n = len(p.read_text());"
                  f" p.write_text('x' * (n + 1)); sys.exit({outcomes}[n])")
        status = run_scenario([sys.executable, "-c", script, str(tries)])
        check(status == expected, f"{outcomes}: {status}")
        check(len(tries.read_text()) == (2 if outcomes[0] == 75 else 1), f"{outcomes}: runs")
    tries.unlink()
    print("ok")


if __name__ == "__main__":
    _check_equipment()
