#!/usr/bin/env python3
"""Checks a CSV file written by one of the two export commands against the rows worked out here,
independently of the program, from the server below a Wine prefix:

    expected_csv.py PREFIX greetings|prompts CSV-FILE [--any-order]

The server root comes from BrannockRootPath in PREFIX/system.reg; the folders are walked by the
scan's rules (every file directly in Stream Files; WAV files of the immediate subfolders of
localize/defaultconfiguration; WAV files two and three levels below Localize/Prompts, a folder's
own files before those of its subfolders; support/RecordBeep.wav), in the order the directory
delivers its entries. Dates are the short date of the C locale in UTC, so the program must run
with LC_ALL=C and TZ=UTC. With --any-order the rows may come in another order: Windows (and Wine)
deliver a folder's entries sorted by name, Linux in the order of its directory. Exit status 0
when the file matches, 1 with the differences when not.
"""

import difflib
import os
import re
import struct
import sys
import time

HEADER = "Codec, File Name, Sample Rate, Date Last Modified, File Size"

CODEC_NAMES = {
    0x0001: "PCM 16", 0x0002: "Microsoft ADPCM", 0x0006: "Microsoft ALaw",
    0x0007: "Microsoft MuLaw", 0x0010: "OKI ADPCM", 0x0014: "Antex G723 ADPCM",
    0x0017: "Dialogic OKI ADPCM", 0x0031: "Microsoft GSM 6.10", 0x0032: "Microsoft MSN Audio",
    0x0038: "NMS VBXADPCM", 0x0042: "Microsoft MSG723", 0x0050: "Microsoft MPEG",
    0x0059: "Lucent G723", 0x0064: "APICOM G726", 0x0083: "AT&T G729a",
    0x0085: "DataFusion Systems G726", 0x0111: "Vivo G723", 0x0123: "Digital G723",
    0x0133: "Spiro Labs G729", 0x0134: "Spiro Labs G729a", 0x0140: "Dictaphone G726ADPCM",
    0x0200: "Creative Labs ADPCM", 0x1100: "L&H Codec",
}


# Files whose format the sample server's generator fixes, so that a reading of the header shared
# by this script and the program cannot hide a fault: (end of the path, codec, rate).
KNOWN_ROWS = {
    "greetings": [("\\Stream Files\\Greeting 1001.wav", "PCM 16", 8000),
                  ("\\Stream Files\\Greeting 1002.wav", "Microsoft MuLaw", 8000),
                  ("\\Stream Files\\Greeting 1004.wav", "PCM 16", 16000),
                  ("\\Stream Files\\Greeting 1010.wav", "File not a valid WAV format", 0),
                  ("\\Stream Files\\VoiceName 1003.Wav", "Microsoft ADPCM", 11025),
                  ("\\DEU\\Standardansage.wav", "Microsoft ALaw", 8000)],
    "prompts": [("\\Standard\\goodbye.wav", "Microsoft MuLaw", 8000),
                ("\\Standard\\unknown codec.wav", "Unknown Codec= 4660", 8000),
                ("\\Numbers\\three.Wav", "Microsoft GSM 6.10", 8000),
                ("\\Zahlen\\eins.wav", "PCM 16", 11025),
                ("\\support\\RecordBeep.wav", "PCM 16", 8000)],
}


def signed_decimal(value):
    return ("-%d" % -value) if value < 0 else (" %d" % value)


def server_root(prefix):
    with open(os.path.join(prefix, "system.reg"), encoding="utf-8") as registry:
        found = re.search(r'^"BrannockRootPath"="(.*)"$', registry.read(), re.MULTILINE)
    if not found:
        sys.exit("no BrannockRootPath in %s/system.reg" % prefix)
    return found.group(1).replace("\\\\", "\\")


def host_path(prefix, windows_path):
    """The host path of a drive-letter path: each component as written, else the one entry of
    its folder that matches it without regard to letter case."""
    drive, rest = windows_path[0].lower(), windows_path[2:]
    path = os.path.join(prefix, "dosdevices", drive + ":")
    for component in [part for part in rest.split("\\") if part]:
        exact = os.path.join(path, component)
        if not os.path.lexists(exact):
            matches = [name for name in os.listdir(path) if name.lower() == component.lower()]
            if matches:
                exact = os.path.join(path, matches[0])
        path = exact
    return path


def entries(shown, host):
    """(files, folders) of a folder, each as (shown path, host path), in directory order."""
    files, folders = [], []
    with os.scandir(host) as listing:
        for entry in listing:
            pair = (shown + "\\" + entry.name, entry.path)
            if entry.is_dir():
                folders.append(pair)
            elif entry.is_file():
                files.append(pair)
    return files, folders


def is_wav(path):
    name = path.rsplit("\\", 1)[-1]
    return "." in name and name.rsplit(".", 1)[1].upper() == "WAV"


def scanned_files(prefix, greetings):
    root = server_root(prefix)
    found = []
    if greetings:
        shown = root + "\\Stream Files"
        found += entries(shown, host_path(prefix, shown))[0]
        shown = root + "\\localize\\defaultconfiguration"
        for folder in entries(shown, host_path(prefix, shown))[1]:
            found += [f for f in entries(*folder)[0] if is_wav(f[0])]
        return found
    shown = root + "\\Localize\\Prompts"
    for level1 in entries(shown, host_path(prefix, shown))[1]:
        for level2 in entries(*level1)[1]:
            files, level3s = entries(*level2)
            found += [f for f in files if is_wav(f[0])]
            for level3 in level3s:
                found += [f for f in entries(*level3)[0] if is_wav(f[0])]
    shown = root + "\\support\\RecordBeep.wav"
    found.append((shown, host_path(prefix, shown)))
    return found


# Stands for the codec and rate fields of a RIFF file whose first chunk is not the format chunk:
# the program's reading of those is a matter of its unit tests, so here they are only required
# to have the shape of a codec name and of a sign-position decimal.
ANY_CODEC, ANY_RATE = "<any codec>", "<any rate>"


def row(shown, host):
    with open(host, "rb") as audio:
        head = audio.read(38)
    if head[:4].upper() != b"RIFF":
        codec, rate = "File not a valid WAV format", " 0"
    elif len(head) == 38 and head[12:16] != b"fmt ":
        codec, rate = ANY_CODEC, ANY_RATE
    else:
        block = head[20:38].ljust(18, b"\0")
        tag, = struct.unpack("<h", block[0:2])
        codec = CODEC_NAMES.get(tag, "Unknown Codec=" + signed_decimal(tag))
        rate = signed_decimal(struct.unpack("<i", block[4:8])[0])
    info = os.stat(host)
    day = time.gmtime(info.st_mtime)
    date = "%d/%d/%d" % (day.tm_mon, day.tm_mday, day.tm_year)
    return ",".join([codec, shown, rate, date, signed_decimal(info.st_size)])


def matches(expected, written):
    if ANY_CODEC not in expected:
        return expected == written
    pattern = re.escape(expected).replace(re.escape(ANY_CODEC), "[^,]+")
    return re.fullmatch(pattern.replace(re.escape(ANY_RATE), "[ -][0-9]+"), written) is not None


def file_name(line):
    fields = line.split(",")
    return fields[1] if len(fields) > 1 else line


def main():
    if (len(sys.argv) not in (4, 5) or sys.argv[2] not in ("greetings", "prompts")
            or sys.argv[4:] not in ([], ["--any-order"])):
        sys.exit(__doc__)
    prefix, which, csv_path = sys.argv[1], sys.argv[2], sys.argv[3]
    any_order = sys.argv[4:] == ["--any-order"]
    rows = [row(*f) for f in scanned_files(prefix, which == "greetings")]
    expected = [HEADER] + (sorted(rows, key=file_name) if any_order else rows)

    with open(csv_path, "rb") as written:
        data = written.read()
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("the file begins with a byte-order mark")
    if not data.endswith(b"\r\n"):
        problems.append("the last line does not end with CR LF")
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        problems.append("a line ends otherwise than with CR LF")
    lines = data.decode("utf-8", errors="replace").split("\r\n")[:-1]
    if any_order:
        lines = lines[:1] + sorted(lines[1:], key=file_name)
    if len(lines) != len(expected) or not all(map(matches, expected, lines)):
        problems.append("the lines differ from the scan's rows (- expected, + written):\n" +
                        "\n".join(difflib.unified_diff(expected, lines, lineterm="", n=1)))
    for ending, codec, rate in KNOWN_ROWS[which]:
        fields = [line.split(",") for line in lines if line.split(",")[1:2] and
                  line.split(",")[1].endswith(ending)]
        if len(fields) != 1 or fields[0][0] != codec or fields[0][2] != signed_decimal(rate):
            problems.append("not one line for ...%s with %s at%s: %s"
                            % (ending, codec, signed_decimal(rate), fields))
    if problems:
        print("%s: %s" % (csv_path, "\n".join(problems)))
        sys.exit(1)
    print("%s: header and %d rows as expected" % (csv_path, len(expected) - 1))


if __name__ == "__main__":
    main()
