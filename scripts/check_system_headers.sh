#!/usr/bin/env bash
# Fails, naming each place, when a source file outside platform/ includes an operating-system
# header: every system call of the program, its tests, benchmarks and fuzz targets goes through
# the platform layer. Standard C and C++ headers (<cerrno>, <cstdio>, ...) are not system ones.
# Usage: scripts/check_system_headers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
headers='unistd|fcntl|dirent|liburing|windows|io|direct|grp|pwd|poll|signal|dlfcn|pthread|malloc|sched|spawn|termios|utime|errno|wchar|shlobj|shellapi|winreg|winbase|winioctl|winnt|winsock2|ws2tcpip|aclapi|sddl|psapi|processthreadsapi|fileapi|handleapi|synchapi|knownfolders|objbase|tlhelp32|versionhelpers|sys/[a-z_/]+|linux/[a-z_/]+|asm/[a-z_/]+'
# The sources git knows of, new ones included; every source below the root outside a checkout.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    sources=$(git ls-files --cached --others --exclude-standard -- '*.c' '*.cc' '*.cpp' '*.h' \
        '*.hpp' ':!platform/')
else
    sources=$(find . -path ./platform -prune -o -path './build*' -prune -o -type f \
        \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print)
fi
found=$(echo "$sources" |
    xargs -r grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($headers)\.h>" || true)
if [[ -n $found ]]; then
    echo "operating-system headers outside platform/ (use or add a platform facility):" >&2
    echo "$found" >&2
    exit 1
fi
echo "no operating-system header outside platform/"
