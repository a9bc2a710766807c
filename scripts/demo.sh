#!/usr/bin/env bash
# The README's first command: installs what is missing, builds, and starts Tambrel.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build_dir=$("$root/scripts/build.sh" | tail -n 1)
exec "$build_dir/bin/tambrel"
