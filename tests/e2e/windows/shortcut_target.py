#!/usr/bin/env python3
"""Prints the target path of a Windows shortcut (.lnk): what the Start menu starts when the
shortcut is clicked. Reads the link's location information (its local base path), which every
shortcut to a file on a local drive carries; a shortcut without one (an advertised shortcut, a
shortcut to a network share) is an error, since the test wants a plain program path.

Usage: shortcut_target.py SHORTCUT.lnk
"""
import struct
import sys

HEADER_SIZE = 0x4C
HAS_ID_LIST = 0x01
HAS_LINK_INFO = 0x02
VOLUME_ID_AND_LOCAL_BASE_PATH = 0x01


def field(data, offset, form):
    size = struct.calcsize(form)
    if offset < 0 or offset + size > len(data):
        raise ValueError(f"the shortcut ends inside a field at byte {offset}")
    return struct.unpack_from(form, data, offset)[0]


def terminated(data, start, end, width):
    """The string from `start` up to its terminating zero, within data[:end]."""
    if start < 0 or start >= end:
        raise ValueError("a path offset points outside the location information")
    position = start
    while position + width <= end:
        if data[position:position + width] == b"\0" * width:
            raw = data[start:position]
            return raw.decode("utf-16-le") if width == 2 else raw.decode("cp1252")
        position += width
    raise ValueError("a path in the location information has no end")


def target(data):
    if field(data, 0, "<I") != HEADER_SIZE:
        raise ValueError("not a shortcut: wrong header size")
    flags = field(data, 20, "<I")
    offset = HEADER_SIZE
    if flags & HAS_ID_LIST:
        offset += 2 + field(data, offset, "<H")
    if not flags & HAS_LINK_INFO:
        raise ValueError("the shortcut has no location information")
    info_size = field(data, offset, "<I")
    info_end = offset + info_size
    if info_size < 0x1C or info_end > len(data):
        raise ValueError("the location information does not fit in the shortcut")
    header_size = field(data, offset + 4, "<I")
    info_flags = field(data, offset + 8, "<I")
    if not info_flags & VOLUME_ID_AND_LOCAL_BASE_PATH:
        raise ValueError("the shortcut points to no local path")
    if header_size >= 0x24:
        unicode_offset = field(data, offset + 0x1C, "<I")
        if unicode_offset:
            return terminated(data, offset + unicode_offset, info_end, 2)
    return terminated(data, offset + field(data, offset + 0x10, "<I"), info_end, 1)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as shortcut:
        data = shortcut.read()
    try:
        print(target(data))
    except ValueError as error:
        print(f"{sys.argv[1]}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
