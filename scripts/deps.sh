#!/usr/bin/env bash
# Installs everything the builds, the tests and the run command need on a Debian 12 machine.
# Idempotent: when every package is already there, apt is not touched at all.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev googletest
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64
  xvfb imagemagick fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "deps.sh: run as root, or install sudo; missing: ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "deps.sh: installing ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
