#!/usr/bin/env python3
"""tambrel-cli.exe under Wine lists the rows the Linux tambrel-cli lists for the same server.

Usage: rows_match_linux.py WINDOWS_CLI, with WINEPREFIX naming a prefix whose server keys were
written by `wine reg add` and TAMBREL_LINUX_CLI the Linux tool (scripts/wine_ctest.sh sets both;
without them the test is skipped). Both programs write both lists as CSV with the date format
and time zone pinned. The Windows files must hold the Linux bytes in the ANSI code page (1252
here), or UTF-8 with a byte-order mark when a name is outside it. Standard output, a pipe, carries
the program's own text (UTF-8) unchanged on both. The order of the rows is the order each
system's folder listing delivers, so rows are compared as sorted lists; the header
line comes first in both.
"""

import os
import subprocess
import sys
import tempfile

UTF8_MARK = b"\xef\xbb\xbf"
SKIPPED = 77


def run(command, folder, arguments):
    environment = dict(os.environ, TZ="UTC", LC_ALL="C.UTF-8", LANG="C.UTF-8")
    done = subprocess.run(command + ["--language", "ENU"] + arguments, cwd=folder,
                          env=environment, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=300)
    if done.returncode != 0:
        sys.exit(f"{command[0]} ended with {done.returncode}: {done.stderr.decode(errors='replace')}")
    return done.stdout


def as_linux_text(windows_bytes, on_standard_output):
    if on_standard_output:
        return "as is", windows_bytes
    if windows_bytes.startswith(UTF8_MARK):
        return "utf-8 with mark", windows_bytes[3:]
    return "cp1252", windows_bytes.decode("cp1252").encode("utf-8")


# Whether the Windows output holds the Linux rows, in the encoding expected of it; prints what
# was compared.
def same_rows(name, linux, windows, on_standard_output):
    form, windows_as_linux = as_linux_text(windows, on_standard_output)
    expected_form = ("as is" if on_standard_output
                     else "cp1252" if _fits_1252(linux) else "utf-8 with mark")
    linux_lines = linux.split(b"\r\n")
    windows_lines = windows_as_linux.split(b"\r\n")
    same = (form == expected_form and linux_lines[0] == windows_lines[0]
            and sorted(linux_lines[1:]) == sorted(windows_lines[1:]))
    rows = len(linux_lines) - 2
    non_ascii = sum(1 for line in linux_lines[1:] if line and max(line) >= 0x80)
    print(f"{name}: {rows} rows ({non_ascii} with non-ASCII names), Linux {len(linux)} bytes, "
          f"Windows {len(windows)} bytes ({form}, expected {expected_form}): "
          f"{'same rows' if same else 'DIFFERENT'}")
    if not same:
        for line in sorted(set(linux_lines) ^ set(windows_lines)):
            side = "linux  " if line in linux_lines else "windows"
            print(f"  {side}: {line.decode(errors='replace')}")
    return same


def main():
    windows_cli = sys.argv[1]
    linux_cli = os.environ.get("TAMBREL_LINUX_CLI")
    prefix = os.environ.get("WINEPREFIX")
    if not linux_cli or not prefix:
        print("TAMBREL_LINUX_CLI or WINEPREFIX not set: skipped")
        return SKIPPED
    tools = {"windows": ["wine", windows_cli], "linux": [linux_cli, "--prefix", prefix]}
    files = ["--greetings", "g.csv", "--prompts", "p.csv"]
    # Standard output is a pipe here: the bytes as they are, no line ends translated.
    piped = ["--greetings", "-"]
    with tempfile.TemporaryDirectory() as scratch:
        written = {}
        for side, command in tools.items():
            folder = os.path.join(scratch, side)
            os.mkdir(folder)
            run(command, folder, files)
            written[side] = {name: open(os.path.join(folder, name), "rb").read()
                             for name in ["g.csv", "p.csv"]}
            written[side]["standard output"] = run(command, folder, piped)
        results = [same_rows(name, written["linux"][name], written["windows"][name],
                             name == "standard output")
                   for name in ["g.csv", "p.csv", "standard output"]]
    return 0 if all(results) else 1


def _fits_1252(data):
    try:
        data.decode("utf-8").encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


if __name__ == "__main__":
    sys.exit(main())
