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

Then the command lines of the man page's PowerShell and Ansible recipe, each run by
tambrel-cli.exe under Wine with its exit status and what it wrote checked (a document, JSON
Lines, a comparison with an earlier document, a check against rules, the combined report), and
the documents of the two systems compared with each other by both tools: by path, never by
order, the same server scanned twice must show no difference.
"""

import json
import os
import subprocess
import sys
import tempfile

UTF8_MARK = b"\xef\xbb\xbf"
SKIPPED = 77


def run_with_status(command, folder, arguments):
    environment = dict(os.environ, TZ="UTC", LC_ALL="C.UTF-8", LANG="C.UTF-8")
    return subprocess.run(command + ["--language", "ENU"] + arguments, cwd=folder,
                          env=environment, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=300)


def run(command, folder, arguments):
    done = run_with_status(command, folder, arguments)
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


# What the recipe's files and reports must hold; each returns a problem or None.
def read_document(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        raw = f.read()
    if raw.startswith(UTF8_MARK):
        raise ValueError(f"{name} begins with a byte-order mark")
    text = raw.decode("utf-8")
    if name.endswith(".jsonl"):
        lines = [json.loads(line) for line in text.splitlines()]
        if lines[-1] != {"row_count": len(lines) - 2}:
            raise ValueError(f"{name} ends with {lines[-1]}")
        return dict(lines[0], rows=lines[1:-1])
    return json.loads(text)


def document_check(name):
    def check(folder, out):
        document = read_document(folder, name)
        header = (document["schema_version"], document["server_version"], document["root"])
        if header != (1, "3.0(1.18)", "C:\\Corvel") or not document["host"]:
            return f"{name}: header {header}, host {document['host']!r}"
        files = {os.path.basename(row["file"].replace("\\", "/")) for row in document["rows"]}
        if not {"Greeting Müller.wav", "Приветствие.wav"} <= files:
            return f"{name}: the names outside ASCII are missing from {sorted(files)}"
        return None
    return check


def no_changes(folder, out):
    report = json.loads(out.decode("utf-8"))
    changes = {key: report[key] for key in ("added", "removed", "changed") if report[key]}
    return f"differences {changes}" if changes else None


def server_column(folder, out):
    head = out.decode("utf-8").splitlines()[0]
    return None if head.startswith("Server,") else f"combined report begins {head!r}"


def breaks_of(out):
    return sorted((entry["list"], entry["file"], entry["rule"])
                  for entry in json.loads(out.decode("utf-8"))["breaks"])


RULES = "prompts: format=mulaw rate=8000 channels=1"
# (arguments, exit status, check): in this order, each in the Windows tool's folder.
RECIPE = [
    (["--output", "inventory.jsonl", "--format", "jsonl"], 0, document_check("inventory.jsonl")),
    (["--output", "inventory.json"], 0, document_check("inventory.json")),
    (["--compare", "inventory.jsonl", "--format", "json"], 0, no_changes),
    (["--compare", "inventory.json", "--with", "inventory.jsonl", "--format", "json"], 0, no_changes),
    (["--expect", RULES, "--format", "json"], 5, None),
    (["--combine", "inventory.json", "inventory.jsonl", "--format", "csv"], 0, server_column),
]


def recipe(tools, scratch):
    windows, linux = tools["windows"], tools["linux"]
    folder = os.path.join(scratch, "recipe")
    os.mkdir(folder)
    failures = 0
    outputs = {}
    for arguments, status, check in RECIPE:
        done = run_with_status(windows, folder, arguments)
        outputs[tuple(arguments)] = done.stdout
        problem = (f"exit status {done.returncode}, expected {status}" if done.returncode != status
                   else check(folder, done.stdout) if check else None)
        print(f"tambrel-cli.exe {' '.join(arguments)}: {problem or 'as expected'}")
        if problem:
            print(f"  standard error: {done.stderr.decode(errors='replace')}")
            failures += 1
    # The rules break for the same files on both systems.
    linux_check = run_with_status(linux, folder, ["--expect", RULES, "--format", "json"])
    windows_breaks = breaks_of(outputs[("--expect", RULES, "--format", "json")])
    same_breaks = linux_check.returncode == 5 and breaks_of(linux_check.stdout) == windows_breaks
    print(f"rules: {len(windows_breaks)} breaks under Wine, the Linux tool "
          f"{'the same' if same_breaks else 'DIFFERENT'}")
    failures += not same_breaks
    # A document of each system over the same server: no differences, compared by either tool.
    run(linux, folder, ["--output", "linux.json"])
    # Reading documents only, the Linux tool takes no --prefix.
    for side, command in (("Linux", linux[:1]), ("Windows", windows)):
        for earlier, later in (("linux.json", "inventory.jsonl"), ("inventory.json", "linux.json")):
            done = run_with_status(command, folder,
                                   ["--compare", earlier, "--with", later, "--format", "json"])
            problem = (f"exit status {done.returncode}" if done.returncode not in (0, 5)
                       else no_changes(folder, done.stdout))
            print(f"{side} tool, {earlier} against {later}: {problem or 'no differences'}")
            failures += problem is not None
    return failures


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
        recipe_failures = recipe(tools, scratch)
    return 0 if all(results) and not recipe_failures else 1


def _fits_1252(data):
    try:
        data.decode("utf-8").encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


if __name__ == "__main__":
    sys.exit(main())
