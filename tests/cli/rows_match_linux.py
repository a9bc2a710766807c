#!/usr/bin/env python3
"""tambrel-cli.exe under Wine lists the rows the Linux tambrel-cli lists for the same server.

Usage: rows_match_linux.py WINDOWS_CLI, with WINEPREFIX naming a prefix whose server keys were
written by `wine reg add` and TAMBREL_LINUX_CLI the Linux tool (scripts/wine_ctest.sh sets both;
without them the test is skipped). Both programs write both lists as CSV with the date format
and time zone pinned. The Windows files must hold the Linux bytes in the ANSI code page (1252
here), or UTF-8 with a byte-order mark when a name is outside it. The order of the rows is the
order each system's folder listing delivers, so rows are compared as sorted lists; the header
line comes first in both.
"""

import os
import subprocess
import sys
import tempfile

UTF8_MARK = b"\xef\xbb\xbf"
SKIPPED = 77


def run(command, folder):
    environment = dict(os.environ, TZ="UTC", LC_ALL="C.UTF-8", LANG="C.UTF-8")
    done = subprocess.run(command + ["--language", "ENU", "--greetings", "g.csv",
                                     "--prompts", "p.csv"],
                          cwd=folder, env=environment, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=300)
    if done.returncode != 0:
        sys.exit(f"{command[0]} ended with {done.returncode}: {done.stderr.decode(errors='replace')}")


def as_linux_text(windows_bytes):
    if windows_bytes.startswith(UTF8_MARK):
        return "utf-8 with mark", windows_bytes[3:]
    return "cp1252", windows_bytes.decode("cp1252").encode("utf-8")


def main():
    windows_cli = sys.argv[1]
    linux_cli = os.environ.get("TAMBREL_LINUX_CLI")
    prefix = os.environ.get("WINEPREFIX")
    if not linux_cli or not prefix:
        print("TAMBREL_LINUX_CLI or WINEPREFIX not set: skipped")
        return SKIPPED
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        windows_out = os.path.join(scratch, "windows")
        linux_out = os.path.join(scratch, "linux")
        os.mkdir(windows_out)
        os.mkdir(linux_out)
        run(["wine", windows_cli], windows_out)
        run([linux_cli, "--prefix", prefix], linux_out)
        for name in ["g.csv", "p.csv"]:
            with open(os.path.join(linux_out, name), "rb") as f:
                linux = f.read()
            with open(os.path.join(windows_out, name), "rb") as f:
                windows = f.read()
            form, windows_as_linux = as_linux_text(windows)
            expected_form = "cp1252" if _fits_1252(linux) else "utf-8 with mark"
            linux_lines = linux.split(b"\r\n")
            windows_lines = windows_as_linux.split(b"\r\n")
            same = (form == expected_form and linux_lines[0] == windows_lines[0]
                    and sorted(linux_lines[1:]) == sorted(windows_lines[1:]))
            ascii_names = sum(1 for line in linux_lines[1:] if line and max(line) < 0x80)
            print(f"{name}: {len(linux_lines) - 2} rows ({len(linux_lines) - 2 - ascii_names} "
                  f"with non-ASCII names), Linux {len(linux)} bytes, Windows {len(windows)} bytes "
                  f"({form}, expected {expected_form}): {'same rows' if same else 'DIFFERENT'}")
            if not same:
                failed = True
                for line in sorted(set(linux_lines) ^ set(windows_lines)):
                    side = "linux  " if line in linux_lines else "windows"
                    print(f"  {side}: {line.decode(errors='replace')}")
    return 1 if failed else 0


def _fits_1252(data):
    try:
        data.decode("utf-8").encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


if __name__ == "__main__":
    sys.exit(main())
