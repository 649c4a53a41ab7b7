# Sourced by the scripts: the environment every Wine process of this project runs in, the user
# folder of a prefix, and a virtual display.

# Usage: tallow_wine_env PREFIX (an absolute path); sets TALLOW_WINE and TALLOW_WINESERVER.
tallow_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko install prompts, and no menu entries or file associations written to $HOME;
  # then the overrides a test asks for in TALLOW_DLL_OVERRIDES.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${TALLOW_DLL_OVERRIDES:+;$TALLOW_DLL_OVERRIDES}"
  # The 64-bit loader itself: Debian's wrapper only adds a note about the absent 32-bit half.
  if [ -x /usr/lib/wine/wine64 ]; then
    TALLOW_WINE=/usr/lib/wine/wine64
    export WINELOADER=$TALLOW_WINE
  else
    TALLOW_WINE=$(command -v wine64 || command -v wine)
  fi
  TALLOW_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  # Wine names Unix files in the locale's character set; only UTF-8 keeps every name intact.
  if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then
    export LC_ALL=C.UTF-8
  fi
}

# Prints the path of the prefix PREFIX's own user folder: the one under drive_c/users besides
# Public (Wine names it after $USER, not always id -un). Fails, saying so, when there is none.
tallow_user_folder() {
  local folder found=""
  for folder in "$1"/drive_c/users/*/; do
    [ "$(basename "$folder")" = Public ] || found=${folder%/}
  done
  if [ -z "$found" ]; then
    echo "no user folder in the Wine prefix $1" >&2
    return 1
  fi
  printf '%s\n' "$found"
}

# Starts a virtual display of SIZE (e.g. 1280x1024x24) for this shell and what it starts, and
# sets DISPLAY; tallow_end stops it.
tallow_virtual_display() {
  local number_file
  number_file=$(mktemp)
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  TALLOW_XVFB=$!
  local tries=0
  while [ ! -s "$number_file" ]; do
    if ! kill -0 "$TALLOW_XVFB" 2>/dev/null || [ $((tries += 1)) -gt 300 ]; then
      echo "Xvfb did not start" >&2
      rm -f "$number_file"
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
  rm -f "$number_file"
}

# Ends what tallow_wine_env's prefix and tallow_virtual_display left running; for an EXIT trap.
tallow_end() {
  if [ -n "${TALLOW_WINESERVER:-}" ]; then "$TALLOW_WINESERVER" -k >/dev/null 2>&1 || true; fi
  if [ -n "${TALLOW_XVFB:-}" ]; then kill "$TALLOW_XVFB" 2>/dev/null || true; fi
}
