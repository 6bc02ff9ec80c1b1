"""The banner, the empty line and the echo line, for arguments of any content:
an empty argument counts as none."""
import os

from brisk_scenario import World, check

world = World("arguments")
world.drive("e", "hd")
program = world.install_program(world.drive("d", "hd"))
banner = "brisk   Ver." + os.environ.get("BRISK_VERSION", "")

for arguments, echo in [
    ([r"E:\data", "ignored"], r"E:\data"),
    (['E:\\with blanks\\and "quotes"'], 'E:\\with blanks\\and "quotes"'),
    (["a & b | c > d % e ^ f"], "a & b | c > d % e ^ f"),
    (["x" * 2000], "x" * 2000),
    ([""], r"D:\brisk.exe"),
    (["E:\\日本語\U0001F600\\end"], "E:\\日本語??\\end"),  # one "?" per UTF-16 unit
]:
    run = world.run(r"D:\brisk.exe", arguments)
    lines = run.lines()
    check(run.exit_code == 0, f"exit code {run.exit_code} for {arguments[0][:40]!r}")
    check(lines[:3] == [banner, "", echo], f"{lines[:3]!r} for {arguments[0][:40]!r}")
print("ok")
