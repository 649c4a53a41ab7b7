#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix PREFIX, creating the prefix first if
# needed, and passes the program's exit code through. CTest's emulator for the Windows build.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

if [ $# -lt 2 ]; then
  echo "usage: wine-run.sh PREFIX PROGRAM [ARGS...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift
bash "$here/wine-prefix.sh" "$prefix"
tallow_wine_env "$prefix"
exec "$TALLOW_WINE" "$@"
