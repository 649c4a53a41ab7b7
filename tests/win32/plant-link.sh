#!/usr/bin/env bash
# Plants a bucket in the Wine prefix PREFIX's Low\IE cache container that is a symbolic link to
# a folder outside the cache, as a low-integrity process could plant a junction on Windows. The
# link is made on the Linux side, since Wine makes none of its own; Wine shows it as a folder
# that is a reparse point.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$(realpath -m "$1")
source "$here/../../scripts/wine-env.sh"
bash "$here/../../scripts/wine-prefix.sh" "$prefix"
cache="$(tallow_user_folder "$prefix")/AppData/Local/Microsoft/Windows/INetCache"
target="$prefix/drive_c/tallow-link-target"
mkdir -p "$cache/Low/IE" "$target"
printf 'keep me' >"$target/precious[1].gif"
ln -sfn "$target" "$cache/Low/IE/LINK0000"
