#!/usr/bin/env bash
# Builds Tallowmere.exe and opens it under Wine, on a private prefix (build/windows/demo-prefix)
# holding a demo cache. Without a display it runs on a virtual one, picks ".gif" so that the list shows
# entries, saves a screenshot to build/screenshot.png and says so.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/windows"
# Its own prefix: the tests use build/windows/wineprefix and expect its cache to be theirs.
prefix="$build/demo-prefix"
title="Tallowmere -- by:Quistemar"

# The part that needs a display: start the program, and on a virtual display take the picture.
if [ "${1:-}" = "--on-display" ]; then
  source "$root/scripts/wine-env.sh"
  tallow_wine_env "$prefix"
  if [ "${2:-}" = "--screenshot" ]; then
    # A virtual display has no window manager to draw the frame; Wine draws it itself then.
    "$TALLOW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
  fi
  "$TALLOW_WINE" "$build/Tallowmere.exe" &
  program=$!
  if [ "${2:-}" != "--screenshot" ]; then
    wait "$program"
    exit 0
  fi
  trap '"$TALLOW_WINESERVER" -k 2>/dev/null || true' EXIT
  window=$(timeout 120 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
  xdotool windowfocus --sync "$window"
  sleep 1
  # The names list has the focus at start-up; Tab three times reaches the extension chooser,
  # Down picks ".gif" and scans, and one more Down highlights the first name.
  xdotool key --delay 150 Tab Tab Tab Down
  sleep 1
  xdotool key Down
  sleep 1
  import -window root "$root/build/screenshot.png"
  echo "screenshot: $root/build/screenshot.png"
  exit 0
fi

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target Tallowmere
bash "$root/scripts/wine-prefix.sh" "$prefix"
bash "$root/scripts/demo-cache.sh" "$prefix"

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/run.sh" --on-display
fi
exec xvfb-run -a -s "-screen 0 800x600x24" bash "$root/scripts/run.sh" --on-display --screenshot
