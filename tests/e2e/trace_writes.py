#!/usr/bin/env python3
"""Lists every access in an strace log (strace -f -y, see export_grids.sh) that could change a
file at or below one of the given places, and fails when there is one:

    trace_writes.py TRACE PLACE...

An access that could change a file: an open with O_WRONLY, O_RDWR, O_CREAT or O_TRUNC, creat,
and every call that creates, renames, removes, truncates, links or changes the mode, owner,
dates or attributes of a path, or writes through a descriptor. A place is matched as given and
with its links resolved, so a path seen through the prefix's dosdevices (".../dosdevices/c:/...")
counts as the drive_c folder it leads to. Relative paths are taken from the current folder:
run this where the program was started. Failed calls count as well: trying is enough to fail.
Exit status 0: no such access; 1: some, listed; 2: the trace cannot tell (no calls in it, or
the program set up io_uring, whose file operations strace does not see; a refused
io_uring_setup hides nothing).
"""

import os
import re
import sys

OPENS = {"open", "openat", "openat2", "open_by_handle_at"}
WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC")
# Calls that change what a path names, whatever their flags.
CHANGING = {
    "creat", "rename", "renameat", "renameat2", "unlink", "unlinkat", "rmdir", "mkdir",
    "mkdirat", "mknod", "mknodat", "truncate", "link", "linkat", "symlink", "symlinkat", "chmod",
    "fchmodat", "fchmodat2", "chown", "lchown", "fchownat", "utime", "utimes", "futimesat",
    "utimensat", "setxattr", "lsetxattr", "removexattr", "lremovexattr",
}
# Calls that change a file through a descriptor, whose path strace -y prints; their strings are
# data, not paths.
THROUGH_DESCRIPTOR = {
    "write", "pwrite64", "writev", "pwritev", "pwritev2", "ftruncate", "fallocate", "fchmod",
    "fchown", "fsetxattr", "fremovexattr", "copy_file_range", "sendfile",
}
# Calls after which file operations may happen out of the tracer's sight, unless they failed.
UNSEEN_AFTER = {"io_uring_setup"}

# "1234  openat(...", the process id left out when only one process was traced.
CALL = re.compile(r"^(?:\d+\s+)?([a-z_0-9]+)\((.*)$")
# "1234  <... io_uring_setup resumed>...) = 3": the rest of a call another thread interrupted.
RESUMED = re.compile(r"^(?:\d+\s+)?<\.\.\. ([a-z_0-9]+) resumed>(.*)$")
# The end of a call that failed: ") = -1 ENOSYS (Function not implemented)".
FAILED = re.compile(r"\)\s*=\s*-1 E[A-Z0-9]+")
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')
# A descriptor with its path, as -y prints it: 3</tmp/x>
DESCRIPTOR = re.compile(r"(?<![\w\"])-?\d+<([^>]*)>")
# A folder and a name in it; strace -y shows the current folder too: AT_FDCWD</tmp/x>
DIR_AND_NAME = re.compile(r'(?:AT_FDCWD(?:<([^>]*)>)?|-?\d+<([^>]*)>),\s*"((?:[^"\\]|\\.)*)"')


def unescape(text):
    return text.encode("latin-1", "backslashreplace").decode("unicode_escape").encode(
        "latin-1").decode("utf-8", "replace")


def descriptor_paths(arguments):
    return [match.group(1) for match in DESCRIPTOR.finditer(arguments)
            if match.group(1).startswith("/")]


def paths_of(arguments):
    """Every path an argument list names: directory-relative names joined to their folder,
    plain strings, and the paths of descriptors."""
    found = []
    consumed = []
    for match in DIR_AND_NAME.finditer(arguments):
        folder = match.group(1) or match.group(2) or os.getcwd()
        found.append(os.path.join(folder, unescape(match.group(3))))
        consumed.append(match.span())
    for match in STRING.finditer(arguments):
        if any(start <= match.start() < end for start, end in consumed):
            continue
        found.append(os.path.join(os.getcwd(), unescape(match.group(1))))
    for match in DESCRIPTOR.finditer(arguments):
        if any(start <= match.start() < end for start, end in consumed):
            continue
        if match.group(1).startswith("/"):
            found.append(match.group(1))
    return found


def resolved(path):
    """The path with the links of its existing part resolved."""
    return os.path.realpath(path)


def under(path, places):
    for candidate in {os.path.normpath(path), resolved(path)}:
        for place in places:
            if candidate == place or candidate.startswith(place.rstrip("/") + "/"):
                return True
    return False


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    places = set()
    for place in sys.argv[2:]:
        places.add(os.path.normpath(os.path.abspath(place)))
        places.add(resolved(place))

    findings = []
    calls = 0
    def unseen_after(name, line):
        print("the program called %s, so its file accesses are not all in %s: %s"
              % (name, sys.argv[1], line.rstrip()))
        sys.exit(2)

    with open(sys.argv[1], encoding="utf-8", errors="replace") as trace:
        for line in trace:
            resumed = RESUMED.match(line)
            if resumed:
                # The arguments were on the <unfinished ...> line; the outcome is here.
                name = resumed.group(1)
                if name in UNSEEN_AFTER and not FAILED.search(resumed.group(2)):
                    unseen_after(name, line)
                continue
            match = CALL.match(line)
            if not match:
                continue
            name, arguments = match.groups()
            calls += 1
            if name in UNSEEN_AFTER:
                if "<unfinished" not in arguments and not FAILED.search(arguments):
                    unseen_after(name, line)
                continue
            if name in THROUGH_DESCRIPTOR:
                named = descriptor_paths(arguments)
            elif name in CHANGING or (name in OPENS and
                                      any(flag in arguments for flag in WRITE_FLAGS)):
                named = paths_of(arguments)
            else:
                continue
            if any(under(path, places) for path in named):
                findings.append(line.rstrip())
    if calls == 0:
        print("%s holds no system calls: was the program traced?" % sys.argv[1])
        sys.exit(2)
    if findings:
        print("accesses that could change %s:" % ", ".join(sorted(places)))
        print("\n".join(findings))
        sys.exit(1)
    print("%d traced calls, none that could change %s" % (calls, ", ".join(sorted(places))))


if __name__ == "__main__":
    main()
