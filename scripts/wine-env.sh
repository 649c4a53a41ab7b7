# Sourced by the Wine scripts: the environment every Wine process of this project runs in.
# Usage: tallow_wine_env PREFIX (an absolute path); sets TALLOW_WINE and TALLOW_WINESERVER.
tallow_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko install prompts, and no menu entries or file associations written to $HOME.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
