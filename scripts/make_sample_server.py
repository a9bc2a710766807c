#!/usr/bin/env python3
"""Writes a sample Corvel server as a Wine-style prefix, for the demo, the tests and benchmarks.

    make_sample_server.py OUTDIR            the small demo server: real audio made with sox in
                                            the telephony codecs, plus the awkward cases
    make_sample_server.py OUTDIR --files N  a server of N files across every scanned place,
                                            headers written directly (fast), for benchmarks

OUTDIR gets system.reg (HKEY_LOCAL_MACHINE: version 3.0, BrannockRootPath C:\\Corvel),
dosdevices/c: -> ../drive_c and drive_c/Corvel. The output is the same on every run, dates
included. An OUTDIR written by an earlier run is replaced; any other non-empty folder is left
alone and the script stops.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

MARKER = ".tambrel-sample-server"
ROOT = "drive_c/Corvel"

# 2021-03-01 09:30 UTC; every file's date is this plus a whole number of days and hours, so
# the dates differ from file to file but never from run to run.
BASE_TIME = 1614591000

SYSTEM_REG = """WINE REGISTRY Version 2
;; All keys relative to \\\\Machine

#arch=win64

[Software\\\\Quillan] 1614591000
#time=1d70e8d6a5e1c00
"Build Number"=dword:00010012
"Version Number"=dword:00030000

[Software\\\\Quillan\\\\Brannock Setup\\\\1.0\\\\Properties] 1614591000
#time=1d70e8d6a5e1c00
"BrannockRootPath"="C:\\\\Corvel"
"""

# sox arguments for each codec it writes; the tag each one yields is in the comment.
SOX_CODECS = {
    "pcm16": ["-e", "signed-integer", "-b", "16"],  # 0x0001 PCM 16
    "msadpcm": ["-e", "ms-adpcm"],  # 0x0002 Microsoft ADPCM
    "alaw": ["-e", "a-law"],  # 0x0006 Microsoft ALaw
    "mulaw": ["-e", "u-law"],  # 0x0007 Microsoft MuLaw
    "imaadpcm": ["-e", "ima-adpcm"],  # 0x0011, not in the codec table
    "gsm": ["-e", "gsm-full-rate"],  # 0x0031 Microsoft GSM 6.10
}

# Files of the demo server: (path below the root, what it holds, rate). What it holds is a
# codec of SOX_CODECS, or one of the hand-made kinds of write_special().
DEMO_FILES = [
    # Greetings and voice names: every file directly in Stream Files is listed.
    ("Stream Files/Greeting 1001.wav", "pcm16", 8000),
    ("Stream Files/Greeting 1002.wav", "mulaw", 8000),
    ("Stream Files/Greeting 1003.wav", "alaw", 8000),
    ("Stream Files/Greeting 1004.wav", "pcm16", 16000),
    ("Stream Files/Greeting 1005.wav", "list-first", 8000),
    ("Stream Files/Greeting 1006.wav", "tag:0x0022", 8000),  # TrueSpeech: not in the table
    ("Stream Files/Greeting 1007.wav", "tag:0x0055", 11025),  # MPEG layer 3: not in the table
    ("Stream Files/Greeting 1008.wav", "empty", 0),
    ("Stream Files/Greeting 1009.wave", "pcm16", 11025),
    ("Stream Files/Greeting 1010.wav", "text", 0),  # a text file under a WAV name
    ("Stream Files/VoiceName 1001.wav", "gsm", 8000),
    ("Stream Files/VoiceName 1002.WAV", "imaadpcm", 8000),
    ("Stream Files/VoiceName 1003.Wav", "msadpcm", 11025),
    ("Stream Files/VoiceName 1004.wav", "tag:0x0010", 8000),  # OKI ADPCM
    ("Stream Files/VoiceName 1005.wav", "tag:0x0017", 8000),  # Dialogic OKI ADPCM
    ("Stream Files/VoiceName 1006.wav", "tag:0x0083", 8000),  # AT&T G729a
    ("Stream Files/notes.txt", "text", 0),
    ("Stream Files/Archive/Greeting 0999.wav", "pcm16", 8000),  # below: not listed
    # Default configuration: files of its immediate subfolders, WAV names only. The folder is
    # spelled "Localize" here; the scan asks for "localize" and finds it all the same.
    ("Localize/defaultconfiguration/ReadMe.wav", "pcm16", 8000),  # its own files: not listed
    ("Localize/defaultconfiguration/ENU/Default Greeting.wav", "pcm16", 8000),
    ("Localize/defaultconfiguration/ENU/Default VoiceName.WAV", "mulaw", 8000),
    ("Localize/defaultconfiguration/ENU/Busy Greeting.wav", "gsm", 8000),
    ("Localize/defaultconfiguration/ENU/readme.txt", "text", 0),  # extension: not listed
    ("Localize/defaultconfiguration/ENU/chime.wave", "pcm16", 8000),  # extension: not listed
    ("Localize/defaultconfiguration/ENU/Archive/Old Greeting.wav", "pcm16", 8000),  # too deep
    ("Localize/defaultconfiguration/DEU/Standardansage.wav", "alaw", 8000),
    ("Localize/defaultconfiguration/DEU/Namensansage.Wav", "imaadpcm", 11025),
    # Prompts: the files of the folders two and three levels down, WAV names only.
    ("Localize/Prompts/prompts.wav", "pcm16", 8000),  # level 0: not listed
    ("Localize/Prompts/ENU/language.wav", "pcm16", 8000),  # level 1: not listed
    ("Localize/Prompts/ENU/Standard/welcome.wav", "pcm16", 8000),
    ("Localize/Prompts/ENU/Standard/goodbye.wav", "mulaw", 8000),
    ("Localize/Prompts/ENU/Standard/main menu.WAV", "imaadpcm", 16000),
    ("Localize/Prompts/ENU/Standard/record after tone.wav", "msadpcm", 8000),
    ("Localize/Prompts/ENU/Standard/unknown codec.wav", "tag:0x1234", 8000),
    ("Localize/Prompts/ENU/Standard/empty.wav", "empty", 0),
    ("Localize/Prompts/ENU/Standard/header only.wav", "truncated", 8000),
    ("Localize/Prompts/ENU/Standard/script.txt", "text", 0),  # extension: not listed
    ("Localize/Prompts/ENU/Standard/Numbers/one.wav", "alaw", 8000),
    ("Localize/Prompts/ENU/Standard/Numbers/two.wav", "msadpcm", 11025),
    ("Localize/Prompts/ENU/Standard/Numbers/three.Wav", "gsm", 8000),
    ("Localize/Prompts/ENU/Standard/Numbers/Old/four.wav", "pcm16", 8000),  # level 4
    ("Localize/Prompts/ENU/Standard/Months/january.wav", "list-first", 16000),
    ("Localize/Prompts/DEU/Standard/willkommen.wav", "gsm", 8000),
    ("Localize/Prompts/DEU/Standard/auf wiedersehen.wav", "alaw", 8000),
    ("Localize/Prompts/DEU/Standard/Zahlen/eins.wav", "pcm16", 11025),
    ("Localize/Prompts/DEU/Standard/Zahlen/zwei.wav", "tag:0x0031", 8000),
    ("Localize/Prompts/ENX/TTY/tty welcome.wav", "pcm16", 16000),
    ("Localize/Prompts/ENX/TTY/tty menu.wav", "mulaw", 8000),
    # The one file looked up by name, and one beside it that is not.
    ("support/RecordBeep.wav", "beep", 8000),
    ("support/ErrorBeep.wav", "pcm16", 8000),
]


def fmt_chunk(tag, rate, bits=16, channels=1):
    align = max(1, channels * bits // 8)
    payload = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    return b"fmt " + struct.pack("<I", len(payload)) + payload


def riff_wave(chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def data_chunk(payload):
    pad = b"\0" if len(payload) % 2 else b""
    return b"data" + struct.pack("<I", len(payload)) + payload + pad


def sound_bytes(length, seed):
    # A little deterministic noise-free "sound" for the hand-made files.
    return bytes((seed * 7 + i * 13) & 0xFF for i in range(length))


def write_special(path, kind, rate, seed):
    if kind == "empty":
        content = b""
    elif kind == "text":
        content = b"Recorded on the server; kept here for reference.\r\n"
    elif kind == "list-first":
        # Some editors put their INFO list before the format chunk.
        info = b"INFO" + b"INAM" + struct.pack("<I", 8) + b"Prompt\0\0"
        content = riff_wave(
            [b"LIST" + struct.pack("<I", len(info)) + info, fmt_chunk(1, rate),
             data_chunk(sound_bytes(200, seed))])
    elif kind == "truncated":
        content = riff_wave([fmt_chunk(1, rate)])[:30]
    elif kind.startswith("tag:"):
        content = riff_wave([fmt_chunk(int(kind[4:], 16), rate, bits=4),
                             data_chunk(sound_bytes(160, seed))])
    else:
        raise ValueError(kind)
    with open(path, "wb") as out:
        out.write(content)


def sox_tone(sox, path, codec, rate, seed, seconds="0.6", tone=None):
    frequency = tone or str(300 + 40 * (seed % 12))
    with tempfile.TemporaryDirectory() as scratch:
        # sox picks the output type from the name; some names here end in .WAV or .wave.
        target = os.path.join(scratch, "out.wav")
        subprocess.run([sox, "-D", "-n", "-r", str(rate), "-c", "1", *SOX_CODECS[codec],
                        target, "synth", seconds, "sine", frequency, "fade", "0.05", seconds,
                        "0.1", "vol", "0.5"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        shutil.move(target, path)


def write_demo(root, sox):
    for index, (relative, kind, rate) in enumerate(DEMO_FILES):
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if kind in SOX_CODECS:
            sox_tone(sox, path, kind, rate, index)
        elif kind == "beep":
            sox_tone(sox, path, "pcm16", rate, index, seconds="0.25", tone="1000")
        else:
            write_special(path, kind, rate, index)
        stamp(path, index)


# Codec tags and rates the bulk files cycle through, known and unknown to the program.
BULK_FORMATS = [(1, 8000), (7, 8000), (6, 8000), (0x31, 8000), (2, 11025), (0x11, 8000),
                (1, 16000), (0x17, 8000), (0x22, 8000), (1, 11025)]


def bulk_header(index):
    tag, rate = BULK_FORMATS[index % len(BULK_FORMATS)]
    return riff_wave([fmt_chunk(tag, rate), data_chunk(sound_bytes(64, index))])


def bulk_layout(count):
    """(relative path) for each of `count` files: about 40% greetings directly in Stream
    Files, 10% in default-configuration subfolders and the rest as prompts at levels 2 and 3,
    each prompt folder holding at most 200 files; the last one is RecordBeep.wav."""
    paths = []
    greetings = count * 4 // 10
    defaults = count // 10
    prompts = max(0, count - 1 - greetings - defaults)
    for i in range(greetings):
        paths.append("Stream Files/Greeting %06d.wav" % i)
    for i in range(defaults):
        paths.append("Localize/defaultconfiguration/Set%03d/Greeting %06d.wav" % (i // 200, i))
    languages = ["ENU", "DEU", "FRA", "ESN", "JPN", "ENX"]
    for i in range(prompts):
        folder, position = divmod(i, 200)
        language = languages[folder % len(languages)]
        category = "Category%03d" % (folder // len(languages) // 2)
        level = "" if folder // len(languages) % 2 == 0 else "/Sub"
        paths.append("Localize/Prompts/%s/%s%s/prompt %06d.wav"
                     % (language, category, level, i))
    if count > 0:
        paths.append("support/RecordBeep.wav")
    return paths[:count]


# Prompts and the default configuration come with the installation and its upgrades, so they
# carry a handful of dates; greetings are recorded by the users day after day.
INSTALLATION_DAYS = [0, 212, 590]


def bulk_moment(relative, index):
    if relative.startswith("Stream Files/"):
        return BASE_TIME + (index * 37 % 900) * 86400 + (index % 9) * 3600
    return BASE_TIME + INSTALLATION_DAYS[index % len(INSTALLATION_DAYS)] * 86400


def write_bulk(root, count):
    made = set()
    for index, relative in enumerate(bulk_layout(count)):
        path = os.path.join(root, relative)
        folder = os.path.dirname(path)
        if folder not in made:
            os.makedirs(folder, exist_ok=True)
            made.add(folder)
        with open(path, "wb") as out:
            out.write(bulk_header(index))
        moment = bulk_moment(relative, index)
        os.utime(path, (moment, moment), follow_symlinks=False)


def stamp(path, index):
    moment = BASE_TIME + (index * 37 % 900) * 86400 + (index % 9) * 3600
    os.utime(path, (moment, moment), follow_symlinks=False)


def stamp_folders(top):
    # Deepest first, so that stamping a folder is not undone by touching what lies in it.
    for folder, _, _ in sorted(os.walk(top), key=lambda entry: -entry[0].count(os.sep)):
        os.utime(folder, (BASE_TIME, BASE_TIME), follow_symlinks=False)


def prepare(outdir):
    if os.path.lexists(outdir):
        if not os.path.isdir(outdir) or os.path.islink(outdir):
            sys.exit("%s exists and is not a folder" % outdir)
        if os.listdir(outdir) and not os.path.exists(os.path.join(outdir, MARKER)):
            sys.exit("%s is not empty and was not written by this script; not touching it"
                     % outdir)
        shutil.rmtree(outdir)
    os.makedirs(outdir)
    with open(os.path.join(outdir, MARKER), "w") as marker:
        marker.write("written by scripts/make_sample_server.py\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("outdir")
    parser.add_argument("--files", type=int, metavar="N",
                        help="N files with headers written directly, for benchmarks")
    args = parser.parse_args()
    if args.files is not None and args.files < 0:
        parser.error("--files takes a count of 0 or more")

    sox = None
    if args.files is None:
        sox = shutil.which("sox")
        if not sox:
            sys.exit("sox is missing: run scripts/setup.sh")

    outdir = os.path.abspath(args.outdir)
    prepare(outdir)
    with open(os.path.join(outdir, "system.reg"), "w", newline="\n") as registry:
        registry.write(SYSTEM_REG)
    os.makedirs(os.path.join(outdir, "dosdevices"))
    os.symlink("../drive_c", os.path.join(outdir, "dosdevices", "c:"))
    root = os.path.join(outdir, ROOT)
    os.makedirs(root)
    if args.files is None:
        write_demo(root, sox)
    else:
        write_bulk(root, args.files)
    stamp_folders(os.path.join(outdir, "drive_c"))
    print(outdir)


if __name__ == "__main__":
    main()
