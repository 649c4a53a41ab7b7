#!/usr/bin/env bash
# Creates the private Wine prefix PREFIX, once, for the tests, the benchmark and the run command:
# a CJK font behind the Chinese and dialog font names, and nothing of the prefix linked to $HOME.
# Safe to call from several processes at once; returns at once when the prefix is ready.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

if [ $# -ne 1 ]; then
  echo "usage: wine-prefix.sh PREFIX" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
ready="$prefix/.tallow-prefix-ready"
[ -e "$ready" ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -e "$ready" ] && exit 0

tallow_wine_env "$prefix"
echo "wine-prefix.sh: creating $prefix" >&2
log="$prefix.log"
# Headless: without DISPLAY Wine sets up the prefix without any window.
if ! env -u DISPLAY "$TALLOW_WINE" wineboot -i >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
"$TALLOW_WINESERVER" -w

# Wine links the user's Desktop, Documents and the like to $HOME; real folders keep every file
# that a test or the program writes there inside the prefix.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm -f "$link"
    mkdir -p "$link"
  fi
done
user_folder=$(tallow_user_folder "$prefix")
mkdir -p "$user_folder/AppData/Local/Microsoft/Windows/INetCache"

# The program's Chinese text and the shell's dialogs use these names; Wine has none of them, and
# its own Tahoma has no CJK glyphs.
font="WenQuanYi Micro Hei"
reg="Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"
for name in "宋体" "SimSun" "新宋体" "NSimSun" "黑体" "SimHei" "微软雅黑" "Microsoft YaHei" \
  "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  reg+=$'\n'"\"$name\"=\"$font\""
done
# A crashing test must end, not wait for someone to close Wine's crash dialog.
reg+=$'\n\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n'
# regedit reads UTF-16 files; the names above are not ASCII.
{ printf '\xff\xfe'; printf '%s' "${reg//$'\n'/$'\r\n'}" | iconv -f UTF-8 -t UTF-16LE; } >"$prefix/drive_c/tallow-prefix.reg"
if ! env -u DISPLAY "$TALLOW_WINE" regedit /S 'C:\tallow-prefix.reg' >>"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
rm -f "$prefix/drive_c/tallow-prefix.reg"
"$TALLOW_WINESERVER" -w

touch "$ready"
rm -f "$log"
