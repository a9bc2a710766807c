#!/usr/bin/env python3
"""Documents, comparisons, rules and the report over many servers, through the real tool: one
table of command lines over a server the test makes, writes a document of, and then changes (a
file added, one removed, one recorded again in another codec, one touched).

    fleet_test.py TAMBREL_CLI
"""

import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

program = os.path.realpath(sys.argv[1])
work = tempfile.mkdtemp(prefix="tambrel-fleet-test-")
env = dict(os.environ, LC_ALL="C", TZ="UTC")
env.pop("LANG", None)
PCM, MULAW = 1, 7


def path(*parts):
    return os.path.join(work, *parts)


def wave(file_name, tag, rate):
    data = b"\x80" * 64
    fmt = struct.pack("<HHIIHH", tag, 1, rate, rate * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    os.makedirs(os.path.dirname(file_name), exist_ok=True)
    with open(file_name, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


server = path("server")
for folder in ("Stream Files", "localize/defaultconfiguration", "Localize/Prompts"):
    os.makedirs(os.path.join(server, folder))
wave(os.path.join(server, "support", "RecordBeep.wav"), MULAW, 8000)
greeting = lambda name: os.path.join(server, "Stream Files", name)
prompt = lambda name: os.path.join(server, "Localize", "Prompts", "ENU", "Standard", name)
wave(greeting("g1.wav"), PCM, 8000)
wave(greeting("g2.wav"), PCM, 8000)
wave(prompt("p1.wav"), MULAW, 8000)
wave(prompt("p2.wav"), PCM, 16000)
for name in ("g1.wav", "g2.wav"):
    os.utime(greeting(name), (1700000000, 1700000000))
for name in ("p1.wav", "p2.wav"):
    os.utime(prompt(name), (1700000000, 1700000000))
os.makedirs(path("out"))
with open(path("rules.txt"), "w") as f:
    f.write("# what the new platform plays\nprompts: format=mulaw\nprompts: rate=8000 no-problems\n")
with open(path("bad.json"), "w") as f:
    f.write('{"schema":"tambrel-inventory","schema_version":1,"rows":[{"list":"greetings",\n"file":12}]}\n')


def change_server():
    wave(greeting("g3.wav"), PCM, 8000)
    os.remove(greeting("g2.wav"))
    wave(prompt("p2.wav"), MULAW, 8000)
    os.utime(prompt("p2.wav"), (1700000000, 1700000000))
    os.utime(prompt("p1.wav"), (1700003600, 1700003600))


def as_other_server(source, target, host):
    with open(source, encoding="utf-8") as f:
        document = json.load(f)
    document["host"] = host
    with open(target, "w", encoding="utf-8") as f:
        json.dump(document, f)


def document_header(out):
    with open(path("out", "before.json"), "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xef\xbb\xbf"):
        return "a byte-order mark"
    document = json.loads(raw.decode("utf-8"))
    # A given root reads no registry, so the server's version is unknown rather than empty.
    if (document["schema_version"] != 1 or document["root"] != server or not document["host"]
            or document["server_version"] is not None):
        return f"header {[(k, v) for k, v in document.items() if k != 'rows']}"
    if not document["scanned_at"].endswith("Z"):
        return f"scanned_at {document['scanned_at']}"
    names = sorted(os.path.basename(row["file"]) for row in document["rows"])
    if not {"g1.wav", "g2.wav", "p1.wav", "p2.wav"} <= set(names):
        return f"rows {names}"
    p2 = [row for row in document["rows"] if row["file"].endswith("p2.wav")][0]
    if (p2["list"], p2["format_tag"], p2["sample_rate"], p2["size"]) != ("prompts", 1, 16000, 108):
        return f"p2 row {p2}"
    return None


def json_lines(out):
    lines = [json.loads(line) for line in out.decode("utf-8").splitlines()]
    return None if lines else "no lines"


def lines_of(file_name):
    with open(file_name, encoding="utf-8") as f:
        objects = [json.loads(line) for line in f]
    return None if objects[0]["schema_version"] == 1 and "row_count" in objects[-1] else f"{objects}"


def changes(out):
    report = json.loads(out.decode("utf-8"))
    got = (sorted(os.path.basename(e["file"]) for e in report["added"]),
           sorted(os.path.basename(e["file"]) for e in report["removed"]),
           sorted(os.path.basename(e["file"]) for e in report["changed"]))
    return None if got == (["g3.wav"], ["g2.wav"], ["p1.wav", "p2.wav"]) else f"changes {got}"


def combined(out):
    report = json.loads(out.decode("utf-8"))
    servers = sorted(s["server"] for s in report["servers"])
    files = [s["files"] for s in sorted(report["servers"], key=lambda s: s["server"])]
    if len(servers) != 2 or "server-b" not in servers or report["overall"]["files"] != sum(files):
        return f"combined {report}"
    return None


def csv_server_column(out):
    head = out.decode("utf-8").splitlines()[0]
    return None if head.startswith("Server,") else f"head {head}"


scan = ["--root", server]
before = [  # (command line, status, stdout must hold, stderr must hold, extra check)
    (scan + ["--output", path("out", "before.json")], 0, "", "", document_header),
    (scan + ["--output", path("out", "before.jsonl"), "--format", "jsonl"], 0, "", "",
     lambda out: lines_of(path("out", "before.jsonl"))),
    (scan + ["--greetings", path("out", "g.csv"), "--prompts", path("out", "p.csv")], 0, "", "", None),
    (scan + ["--output", "-", "--format", "jsonl"], 0, "tambrel-inventory", "", json_lines),
    (scan + ["--expect", "prompts: format=mulaw rate=8000"], 5, "p2.wav", "", None),
]
after = [
    (scan + ["--compare", path("out", "before.json")], 5, "g3.wav", "", None),
    (scan + ["--compare", path("out", "before.json"), "--format", "json"], 5, "", "", changes),
    (scan + ["--compare", path("out", "before.jsonl"), "--output", path("out", "after.json")], 5,
     "g2.wav", "", None),
    (scan + ["--compare", path("out", "g.csv") + "," + path("out", "p.csv")], 5, "p2.wav", "", None),
    (["--compare", path("out", "before.json"), "--with", path("out", "after.json"), "--format", "json"],
     5, "", "", changes),
    (["--compare", path("out", "before.jsonl"), "--with", path("out", "after.json"), "--format", "jsonl"],
     5, "g3.wav", "", json_lines),
    (["--compare", path("out", "after.json"), "--with", path("out", "after.json")], 0, "", "", None),
    (["--compare", path("bad.json"), "--with", path("out", "after.json")], 2, "", "bad.json:2:", None),
    (["--compare", path("missing.json"), "--with", path("out", "after.json")], 2, "", "missing.json", None),
    (scan + ["--expect", "prompts: format=mulaw rate=8000"], 0, "", "", None),
    (scan + ["--expect", "@" + path("rules.txt")], 0, "", "", None),
    (scan + ["--expect", "greetings: rate=16000; all: no-problems"], 5, "g1.wav", "", None),
    (scan + ["--expect", "prompts: rat=8000"], 2, "", "--expect:1:10", None),
    (scan + ["--expect", "@" + path("missing-rules.txt")], 2, "", "missing-rules.txt", None),
    (["--combine", path("out", "before.json"), path("out", "server-b.json")], 0, "server-b", "", None),
    (["--combine", path("out", "before.json"), path("out", "server-b.json"), "--format", "json"], 0, "",
     "", combined),
    (["--combine", path("out", "before.jsonl"), path("out", "server-b.json"), "--format", "csv"], 0, "",
     "", csv_server_column),
    (["--combine", path("out", "before.json"), path("bad.json")], 2, "", "bad.json", None),
    (["--combine"], 2, "", "--combine", None),
    (["--with", path("out", "after.json")], 2, "", "--with", None),
    (scan + ["--output", "-", "--compare", path("out", "before.json")], 2, "", "--output -", None),
    (scan + ["--output", path("out", "x.csv"), "--format", "csv"], 2, "", "json or jsonl", None),
    (scan + ["--output", os.path.join(server, "doc.json")], 4, "", "doc.json", None),
    (scan + ["stray"], 2, "", "stray", None),
]


def live_count():
    """The count of files read is drawn on a terminal while documents are read, and only there."""
    compare = [program, "--compare", path("out", "before.json"), "--with", path("out", "after.json")]
    terminal, follower = os.openpty()
    try:
        subprocess.run(compare, env=env, stdout=subprocess.DEVNULL, stderr=follower, timeout=60)
        drawn = os.read(terminal, 1 << 16).decode("utf-8", "replace")
    finally:
        os.close(terminal)
        os.close(follower)
    quiet = subprocess.run(compare, env=env, capture_output=True, timeout=60).stderr
    rows = 0
    for name in ("before.json", "after.json"):
        with open(path("out", name), encoding="utf-8") as f:
            rows += len(json.load(f)["rows"])
    problems = []
    if not re.search(rf"\r{rows} files, \d+ files/s *\r *\r", drawn):
        problems.append(f"the terminal got {drawn!r}")
    if quiet:
        problems.append(f"a pipe got {quiet!r}")
    for problem in problems:
        print(f"FAIL live count: {problem}", file=sys.stderr)
    return len(problems)


def run_table(table):
    failures = 0
    for arguments, status, stdout_holds, stderr_holds, check in table:
        result = subprocess.run([program] + arguments, env=env, capture_output=True, timeout=60)
        out, err = result.stdout, result.stderr.decode("utf-8", "replace")
        problems = []
        if result.returncode != status:
            problems.append(f"status {result.returncode}, expected {status}")
        if stdout_holds.encode() not in out:
            problems.append(f"standard output lacks {stdout_holds!r}")
        if stderr_holds not in err:
            problems.append(f"standard error lacks {stderr_holds!r}")
        if check and not problems:
            problem = check(out)
            if problem:
                problems.append(problem)
        if problems:
            failures += 1
            print(f"FAIL {' '.join(arguments)}: {'; '.join(problems)}\n--- stdout\n"
                  f"{out.decode('utf-8', 'replace')}--- stderr\n{err}", file=sys.stderr)
    return failures


failures = run_table(before)
change_server()
as_other_server(path("out", "before.json"), path("out", "server-b.json"), "server-b")
failures += run_table(after)
failures += live_count()
if not os.path.exists(path("out", "after.json")) or os.path.exists(os.path.join(server, "doc.json")):
    failures += 1
    print("FAIL the document after the change, or one inside the server", file=sys.stderr)
shutil.rmtree(work)
print(f"{len(before) + len(after)} command lines, {failures} failed")
sys.exit(1 if failures else 0)
