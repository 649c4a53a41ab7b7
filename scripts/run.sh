#!/usr/bin/env bash
# Builds Tallowmere.exe and opens it under Wine, on a private prefix (build/windows/demo-prefix)
# holding a demo cache. Without a display it runs on a virtual one, picks ".gif" so that the list
# shows entries, saves a screenshot to build/screenshot.png and says so.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/wine-env.sh"
build="$root/build/windows"
# Its own prefix: the tests use build/windows/wineprefix and expect its cache to be theirs.
prefix="$build/demo-prefix"

bash "$root/scripts/deps.sh"
cd "$root"
cmake --preset mingw >/dev/null
cmake --build "$build" -j2 --target Tallowmere pick_extension
bash "$root/scripts/wine-prefix.sh" "$prefix"
bash "$root/scripts/demo-cache.sh" "$prefix"
tallow_wine_env "$prefix"

if [ -n "${DISPLAY:-}" ]; then
  exec "$TALLOW_WINE" "$build/Tallowmere.exe"
fi

trap tallow_end EXIT
tallow_virtual_display 800x600x24
# A virtual display has no window manager to draw the frame; Wine draws it itself then.
"$TALLOW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
"$TALLOW_WINE" "$build/Tallowmere.exe" &
"$TALLOW_WINE" "$build/pick_extension.exe" .gif
# Time for the list to paint before the picture.
sleep 1
import -window root "$root/build/screenshot.png"
echo "screenshot: $root/build/screenshot.png"
