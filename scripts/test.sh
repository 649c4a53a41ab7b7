#!/usr/bin/env bash
# The test command: installs what is missing, builds the portable core natively and runs its
# tests, then builds the Windows programs with MinGW-w64 and runs their tests under Wine on a
# virtual display. Exits non-zero when a build or any test fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/wine-env.sh

bash scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
failed=()

echo "== Native build: build/native"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure || failed+=("native tests")

echo "== Windows build: build/windows"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build build/windows -j"$jobs"
prefix=$(sed -n 's/^TALLOW_WINEPREFIX:PATH=//p' build/windows/CMakeCache.txt)
tallow_wine_env "$prefix"
# Nothing of Wine outlives the tests, whatever way they end.
trap '"$TALLOW_WINESERVER" -k >/dev/null 2>&1 || true' EXIT
bash scripts/wine-prefix.sh "$prefix"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/windows --output-on-failure ||
  failed+=("Windows tests")

if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: FAILED: ${failed[*]}"
  exit 1
fi
echo "test.sh: native and Windows tests all passed"
