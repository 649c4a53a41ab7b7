#!/usr/bin/env bash
# The test command: installs what is missing, builds the portable core natively and runs its
# tests, once plain and once under the address and undefined-behaviour sanitizers, then builds
# the Windows programs with MinGW-w64 and runs their tests under Wine on a virtual display.
# Prints how long each step and each test program took; exits non-zero when a build or any test
# fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/wine-env.sh

bash scripts/deps.sh
failed=()
step() {  # step NAME: says how long the step before took, then names the next one
  if [ -n "${step_name:-}" ]; then echo "== $step_name: ${SECONDS}s"; fi
  step_name=$1
  SECONDS=0
  [ -z "$1" ] || echo "== $1"
}

step "Native build (build/native)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2
step "Native tests"
ctest --preset linux || failed+=("native tests")
step "Native tests under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ctest --preset asan || failed+=("sanitizer tests")

step "Windows build (build/windows) and its Wine prefix"
cmake --preset mingw >/dev/null
prefix=$(sed -n 's/^TALLOW_WINEPREFIX:PATH=//p' build/windows/CMakeCache.txt)
tallow_wine_env "$prefix"
# Nothing of Wine or the display outlives the tests, whatever way they end.
trap tallow_end EXIT
# The prefix is made while the programs build; neither needs the other.
bash scripts/wine-prefix.sh "$prefix" &
making_prefix=$!
cmake --build --preset mingw -j2
wait "$making_prefix"
step "Windows tests, under Wine"
tallow_virtual_display 1280x1024x24
ctest --preset mingw || failed+=("Windows tests")
step ""

if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: FAILED: ${failed[*]}"
  exit 1
fi
echo "test.sh: native and Windows tests all passed"
