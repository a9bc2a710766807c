#!/usr/bin/env python3
"""The command-line tool on a generated sample server: one table of command lines, each with the
exit status and what standard output, standard error and the files written must show.

    cli_test.py TAMBREL_CLI MAKE_SAMPLE_SERVER EXPECTED_CSV TAMBREL

The window's program is asked only what it must answer without a display: --help, --version
and bad usage.

The CSV files are checked by expected_csv.py, the same independent check the window's export
test uses; the JSON document is parsed with the json module and must hold the same rows as typed
values. Runs with LC_ALL=C and TZ=UTC, as expected_csv.py requires.
"""

import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import unicodedata

NOBODY = 65534

program, make_server, expected_csv, window = (os.path.realpath(p) for p in sys.argv[1:5])
work = tempfile.mkdtemp(prefix="tambrel-cli-test-")
os.chmod(work, 0o755)  # reachable for the cases that run as nobody
prefix = os.path.join(work, "prefix")
subprocess.run([sys.executable, make_server, prefix], check=True, stdout=subprocess.DEVNULL)
root = os.path.join(prefix, "drive_c", "Corvel")
env = dict(os.environ, LC_ALL="C", TZ="UTC", WINEPREFIX=prefix)
env.pop("LANG", None)


def path(*parts):
    return os.path.join(work, *parts)


def digest(file_name):
    with open(file_name, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def tree_digest(folder):
    entries = []
    for here, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            full = os.path.join(here, name)
            entries.append((full, digest(full) if os.path.isfile(full) else "", os.lstat(full).st_mtime_ns))
    return entries


def as_nobody():
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)


# --- fixtures the table refers to ---------------------------------------------------------
os.makedirs(path("out"))
with open(path("a-file"), "w") as f:
    f.write("not a folder\n")
os.makedirs(path("empty-prefix"))
old_prefix = path("old-prefix")
shutil.copytree(prefix, old_prefix, symlinks=True)
with open(os.path.join(old_prefix, "system.reg"), encoding="utf-8", errors="surrogateescape") as f:
    registry = f.read()
with open(os.path.join(old_prefix, "system.reg"), "w", encoding="utf-8", errors="surrogateescape") as f:
    f.write(registry.replace('"Version Number"=dword:00030000', '"Version Number"=dword:00020009'))
os.makedirs(path("read-only"))
with open(path("read-only", "kept.csv"), "wb") as f:
    f.write(b"kept\r\n")
os.chmod(path("read-only"), 0o555)
locked_server = path("locked")
shutil.copytree(root, locked_server, symlinks=True)
locked_file = os.path.join(locked_server, "Stream Files", "Greeting 1001.wav")
os.chmod(locked_file, 0)
server_file = os.path.join(root, "Stream Files", "Greeting 1001.wav")
os.symlink(server_file, path("out", "link-into-server.csv"))


def check_csv(kind, file_name):
    result = subprocess.run([sys.executable, expected_csv, prefix, kind, file_name],
                            capture_output=True, text=True)
    return None if result.returncode == 0 else result.stdout + result.stderr


def read_csv_rows(file_name):
    with open(file_name, "rb") as f:
        lines = f.read().decode("utf-8", "surrogateescape").split("\r\n")
    assert lines[-1] == ""
    return [line.split(",") for line in lines[1:-1]]


def check_json_matches_csv(kind, stdout):
    """The JSON rows against the CSV rows of the same server, written by the same tool."""
    document = json.loads(stdout.decode("utf-8"))
    csv_file = path("out", kind + "-for-json.csv")
    subprocess.run([program, "--prefix", prefix, "--" + kind, csv_file], env=env, check=True)
    problem = check_csv(kind, csv_file)
    if problem:
        return problem
    rows = read_csv_rows(csv_file)
    if len(rows) != len(document):
        return f"{len(document)} JSON rows, {len(rows)} CSV rows"
    for obj, (codec, file_name, rate, _, size) in zip(document, rows):
        if set(obj) != {"codec", "format_name", "format_tag", "file", "sample_rate", "modified", "size",
                        "sub_format_tag", "channels", "bits_per_sample", "block_align", "byte_rate",
                        "data_bytes", "duration_seconds", "problem", "problem_text"}:
            return f"members {sorted(obj)}"
        typed = ((obj["format_tag"] is None or isinstance(obj["format_tag"], int))
                 and isinstance(obj["sample_rate"], int)
                 and isinstance(obj["size"], int) and isinstance(obj["codec"], str))
        if not typed:
            return f"untyped row {obj}"
        if (obj["codec"], obj["file"], obj["sample_rate"], obj["size"]) != (
                codec, file_name, int(rate), int(size)):
            return f"JSON row {obj} against CSV row {codec},{file_name},{rate},{size}"
        if not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\+00:00", obj["modified"]):
            return f"modified {obj['modified']!r} is not ISO 8601 in UTC"
    return None


def check_unreadable_row(stdout):
    document = json.loads(stdout.decode("utf-8"))
    locked = [obj for obj in document if obj["file"].endswith("Greeting 1001.wav")]
    if len(locked) != 1 or locked[0]["codec"] is not None or "error" not in locked[0] \
            or locked[0]["problem"] != "unreadable" or locked[0]["format_tag"] is not None:
        return f"the unreadable file's object: {locked}"
    if any(obj["codec"] is None for obj in document if obj is not locked[0]):
        return "another file shown as unreadable"
    return None


def columns(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 0 if unicodedata.combining(c) else 1
               for c in text)


def check_aligned(stdout):
    """Every block of table lines ends its numbers in one screen column, wide characters two."""
    blocks, block = [], []
    for line in stdout.decode("utf-8").split("\n"):
        if line.startswith("  "):
            block.append(line)
        elif block:
            blocks.append(block)
            block = []
    if len(blocks) != 2:
        return f"{len(blocks)} tables"
    for lines in blocks:
        if len({columns(line) for line in lines}) != 1:
            return "columns misaligned: " + " | ".join(lines)
    return None


def check_language_neutral_names(stdout):
    document = json.loads(stdout.decode("utf-8"))
    if any("format_name" not in obj for obj in document):
        return "a row without format_name"
    unknown = [obj for obj in document if obj["format_tag"] == 0x22]
    if len(unknown) != 1 or unknown[0]["codec"] != "Unbekannter Codec= 34" \
            or unknown[0]["format_name"] != "TrueSpeech":
        return f"the unknown codec's row: {unknown}"
    return None


def check_summary_json(stdout):
    document = json.loads(stdout.decode("utf-8"))
    greetings, prompts = document["greetings"], document["prompts"]
    if (greetings["files"], prompts["files"]) != (22, 18):
        return f"files {greetings['files']}, {prompts['files']}"
    unreadable = sum(entry["files"] for entry in greetings["by_problem"]
                     if entry["problem"] == "unreadable")
    if sum(entry["files"] for entry in greetings["by_codec"]) + unreadable != 22:
        return "the codec counts do not add up"
    return None


def check_posix_paths(stdout):
    rows = stdout.decode("utf-8").split("\r\n")[1:-1]
    if not rows or any("\\" in row or "//" in row for row in rows):
        return "a row with a backslash or a doubled slash: " + next(
            (row for row in rows if "\\" in row or "//" in row), "no rows")
    return None


def read_fifo_in_background(fifo):
    """A reader for the FIFO; its bytes land in the returned list once it sees the end."""
    received = []

    def read():
        with open(fifo, "rb") as f:
            received.append(f.read())
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    return received, reader


fifo = path("list.fifo")
os.mkfifo(fifo)
fifo_bytes = []
terminal, terminal_follower = os.openpty()
terminal_name = os.ttyname(terminal_follower)

# name, arguments, expected status, stdout pattern, stderr pattern, extra check, run as nobody
CASES = [
    ("help lists options and statuses", ["--help"], 0, r"--greetings FILE(.|\n)*Exit status", r"^$", None, False),
    ("version as the About box", ["--version"], 0, r"^tambrel-cli \d+\.\d+ Build\d+\n$", r"^$", None, False),
    ("unknown option", ["--bogus"], 2, r"^$", r"unknown option --bogus", None, False),
    ("option without its value", ["--prefix"], 2, r"^$", r"--prefix needs a value", None, False),
    ("value that is another option", ["--greetings", "--summary"], 2, r"^$", r"--greetings needs a value", None, False),
    ("empty value", ["--greetings="], 2, r"^$", r"--greetings needs a value", None, False),
    ("both lists to standard output", ["--greetings", "-", "--prompts", "-"], 2, r"^$", r"only one of", None, False),
    ("both lists to one file", ["--greetings", path("out", "x.csv"), "--prompts", path("out", "x.csv")], 2, r"^$", r"same file", None, False),
    ("unknown format", ["--format", "xml"], 2, r"^$", r"--format takes csv, json, jsonl or table", None, False),
    ("unknown language", ["--language", "XYZ"], 2, r"^$", r"XYZ", None, False),
    ("-h is --help", ["-h"], 0, r"--greetings FILE(.|\n)*Exit status", r"^$", None, False),
    ("prefix and root together", ["--prefix", prefix, "--root", root], 2, r"^$", r"--prefix and --root are alternatives", None, False),
    ("language without a library", ["--language", "FRA"], 0, r"^Greetings and Voice Names: 22 files",
     r"^tambrel-cli: no language library for FRA was found; English is used\n$", None, False),
    ("summary counts in German", ["--language", "DEU"], 0, r": 22 Dateien, \d+ Bytes\n  Codec +Abtastrate +Dateien +Dateigr", r"^$", None, False),
    ("summary aligned in Japanese", ["--language", "JPN"], 0, r"22 ファイル、\d+ バイト", r"^$", check_aligned, False),
    ("JSON names the codec in every language", ["--language", "DEU", "--greetings", "-", "--format", "json"], 0, r"^\[", r"^$",
     check_language_neutral_names, False),
    ("JSON summary without a list", ["--format", "json"], 0, r"^\{\n  \"greetings\":\{\"files\":22,", r"^$", check_summary_json, False),
    ("list into a pipe named /dev/stdout", ["--greetings", "/dev/stdout"], 0, r"^Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n", r"^$",
     lambda out: (open(path("out", "dev-stdout.csv"), "wb").write(out), check_csv("greetings", path("out", "dev-stdout.csv")))[1], False),
    ("list into a FIFO", ["--prompts", fifo], 0, r"^$", r"^$",
     lambda out: None if fifo_bytes and fifo_bytes[0].startswith(b"Codec, File Name") else "the FIFO's reader got nothing", False),
    ("list into a terminal", ["--greetings", terminal_name], 0, r"^$", r"^$",
     lambda out: None if b"Greeting 1001.wav" in os.read(terminal, 1 << 16) else "nothing reached the terminal", False),
    ("list into the null device", ["--greetings", "/dev/null", "--format", "json"], 0, r"^$", r"^$", None, False),
    ("POSIX root shown with POSIX separators", ["--root", root + "/", "--prompts", "-"], 0,
     "\r\n[^\r\n]*," + re.escape(root + "/Localize/Prompts/ENU/"), r"^$", check_posix_paths, False),
    ("prefix that is a file", ["--prefix", path("a-file")], 3, r"^$", re.escape(path("a-file")) + r": Not a directory", None, False),
    ("prefix without registry value", ["--prefix", path("empty-prefix")], 3, r"^$", r"BrannockRootPath", None, False),
    ("root that is a file", ["--root", path("a-file")], 3, r"^$", re.escape(path("a-file")) + r": Not a directory", None, False),
    ("root that is missing", ["--root", path("nowhere")], 3, r"^$", re.escape(path("nowhere")), None, False),
    ("server older than version 3", ["--prefix", old_prefix], 3, r"^$", r"only runs on servers running Corvel 3\.0", None, False),
    ("document names the registry's server version", ["--output", "-"], 0, r'"server_version":"3\.0\(1\.18\)"', r"^$", None, False),
    ("summary by default", [], 0, r"^Greetings and Voice Names: 22 files, \d+ bytes\n(.|\n)*PCM 16 +8000 +3 +\d+\n(.|\n)*Prompt Files: 18 files", r"^$", None, False),
    ("summary in German", ["--language", "DEU"], 0, r"^Begr\S+ und Namensansagen: 22 (.|\n)*Abtastrate", r"^$", None, False),
    ("both lists to CSV files", ["--greetings", path("out", "g.csv"), "--prompts", path("out", "p.csv")], 0, r"^$", r"^$",
     lambda out: check_csv("greetings", path("out", "g.csv")) or check_csv("prompts", path("out", "p.csv")), False),
    ("prompts as CSV on standard output", ["--prompts", "-"], 0, r"^Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n", r"^$",
     lambda out: (open(path("out", "stdout.csv"), "wb").write(out), check_csv("prompts", path("out", "stdout.csv")))[1], False),
    ("greetings as JSON on standard output", ["--greetings", "-", "--format", "json"], 0, r"^\[\n\{", r"^$",
     lambda out: check_json_matches_csv("greetings", out), False),
    ("given root, no registry", ["--root", root, "--prompts", "-"], 0, re.escape(root) + r"/Localize/Prompts/", r"^$", None, False),
    ("unreadable file listed", ["--root", locked_server, "--greetings", "-", "--format", "json"], 1, r"^\[", r"Permission denied: " + re.escape(locked_server) + re.escape(r"/Stream Files/Greeting 1001.wav"),
     check_unreadable_row, True),
    ("output that is a folder", ["--greetings", path("out")], 4, r"^$", re.escape(path("out")) + r": Is a directory", None, False),
    ("output to a full device", ["--greetings", "/dev/full"], 4, r"^$", r"cannot write /dev/full: No space left on device\n$", None, False),
    ("output in a read-only folder", ["--greetings", path("read-only", "kept.csv")], 4, r"^$", re.escape(path("read-only", "kept.csv")),
     lambda out: None if open(path("read-only", "kept.csv"), "rb").read() == b"kept\r\n" else "the old file changed", True),
    ("output naming a server file", ["--greetings", server_file], 4, r"^$", r"Greeting 1001\.wav", None, False),
    ("refusal in one language, the path once", ["--language", "JPN", "--greetings", server_file], 4, r"^$",
     "^tambrel-cli: " + re.escape(server_file) + " に書き込めません: サーバーのフォルダー内には書き込みません\n$", None, False),
    ("output through a link into the server", ["--prompts", path("out", "link-into-server.csv"), "--format", "json"], 4, r"^$",
     re.escape(path("out", "link-into-server.csv")), None, False),
    ("given root protected too", ["--root", locked_server, "--greetings", os.path.join(locked_server, "new.csv")], 4, r"^$",
     r"new\.csv", lambda out: "a file was written below the root" if os.path.exists(os.path.join(locked_server, "new.csv")) else None, False),
    ("broken pipe ends quietly", ["--greetings", "-"], 4, r"^$", r"^$", None, False),
]

BROKEN_PIPE = "broken pipe ends quietly"

# The window's program without any display: name, arguments, status, stdout and stderr patterns.
WINDOW_CASES = [
    ("window help without display", ["--help"], 0, r"--prefix DIR(.|\n)*--root PATH", r"^$"),
    ("window version without display", ["--version"], 0, r"^Tambrel \d+\.\d+ Build\d+\n$", r"^$"),
    ("window empty root", ["--root="], 2, r"^$", r"--root"),
    ("window unknown option", ["--bogus"], 2, r"^$", r"bogus"),
    ("window prefix and root together", ["--prefix", prefix, "--root", root], 2, r"^$", r"alternatives"),
    ("window without a display", ["--root", root], 2, r"^$",
     r"^tambrel: the window needs a display and none was found; tambrel-cli lists the same rows without one\n$"),
]

failures = []
server_before = tree_digest(root)
for name, arguments, status, out_pattern, err_pattern, check, nobody in CASES:
    preexec = as_nobody if nobody and os.geteuid() == 0 else None
    stdout_target = subprocess.PIPE
    reader = None
    if name == BROKEN_PIPE:
        reader, stdout_target = os.pipe()
        os.close(reader)
    if fifo in arguments:
        fifo_bytes, fifo_reader = read_fifo_in_background(fifo)
    result = subprocess.run([program] + arguments, env=env, stdout=stdout_target,
                            stderr=subprocess.PIPE, preexec_fn=preexec, timeout=120)
    if name == BROKEN_PIPE:
        os.close(stdout_target)
    if fifo in arguments:
        fifo_reader.join(60)  # the tool has ended, so the reader has seen the end
    out = result.stdout or b""
    err = result.stderr.decode("utf-8", "replace")
    problems = []
    if result.returncode != status:
        problems.append(f"status {result.returncode}, expected {status}")
    if not re.search(out_pattern, out.decode("utf-8", "replace")):
        problems.append(f"stdout {out[:400]!r} does not match {out_pattern!r}")
    if not re.search(err_pattern, err):
        problems.append(f"stderr {err[:400]!r} does not match {err_pattern!r}")
    if check and not problems:
        problem = check(out)
        if problem:
            problems.append(problem)
    if problems:
        failures.append(f"{name}: " + "; ".join(problems))
no_display = {k: v for k, v in env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
for name, arguments, status, out_pattern, err_pattern in WINDOW_CASES:
    result = subprocess.run([window] + arguments, env=no_display, capture_output=True, timeout=60)
    if (result.returncode != status or not re.search(out_pattern, result.stdout.decode())
            or not re.search(err_pattern, result.stderr.decode())):
        failures.append(f"{name}: status {result.returncode}, stdout {result.stdout[:300]!r}, "
                        f"stderr {result.stderr[:300]!r}")
if tree_digest(root) != server_before:
    failures.append("the server's files changed")

os.chmod(path("read-only"), 0o755)
shutil.rmtree(work, ignore_errors=True)
for failure in failures:
    print("FAIL", failure)
total = len(CASES) + len(WINDOW_CASES)
print(f"{total - len(failures)} of {total} command lines as expected")
sys.exit(1 if failures else 0)
