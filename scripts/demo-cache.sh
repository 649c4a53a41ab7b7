#!/usr/bin/env bash
# Fills the Internet cache of the Wine prefix PREFIX with a small demo cache, laid out as Windows
# 7 to 11 keep it: containers (Content.IE5, IE and Low\IE), each with an index.dat and bucket
# folders of eight characters holding small, valid files of the built-in types, some with Chinese
# names. Running it again gives the same cache; nothing outside the demo is touched.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [ $# -ne 1 ]; then
  echo "usage: demo-cache.sh PREFIX" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
inetcache="$(tallow_user_folder "$prefix")/AppData/Local/Microsoft/Windows/INetCache"
# Each bucket as container/bucket.
buckets=(Content.IE5/0A1B2C3D Content.IE5/4E5F6A7B IE/8C9D0E1F IE/K2L3M4N5 Low/IE/P6Q7R8S9)
for bucket in "${buckets[@]}"; do rm -rf "${inetcache:?}/$bucket"; mkdir -p "$inetcache/$bucket"; done

# Images, made once and kept here as text.
gif_gradient='R0lGODlhEAAQAPMAAJaTfKOac72mYrCga8qtWtazUeO6SfDAQD1mt2N6nkptr1ZzpjBgwH2GjXCAlYqNhCH5BAAAAAAALAAAAAAQABAAAAROkMlJK0M4642U/2CoLGRpnkuirmybOHAsz05j33jePHzv/w+AcEgsAgLIpHIZGDif0OhAQK1arwKCdsvtEgrgsHhcMJjP6LThwG6734cIADs='
gif_dot='R0lGODlhEAAQAPEAAMAwMNJsbP77+wAAACH5BAAAAAAALAAAAAAQABAAAAIihI+py90hYnCxRmazgrlO1GlgWCVkiXDhN4ZY56isQ9dAAQA7'
gif_square='R0lGODlhEAAQAPAAADCgUP/gYCH5BAAAAAAALAAAAAAQABAAAAIahI+py+1vgpySUWpvXXqrHmSaeJEYhKYqWgAAOw=='
jpg_sky='/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAA0JCgsKCA0LCgsODg0PEyAVExISEyccHhcgLikxMC4pLSwzOko+MzZGNywtQFdBRkxOUlNSMj5aYVpQYEpRUk//2wBDAQ4ODhMREyYVFSZPNS01T09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT0//wAARCAAQABADASIAAhEBAxEB/8QAFgABAQEAAAAAAAAAAAAAAAAAAAMG/8QAFhAAAwAAAAAAAAAAAAAAAAAAABRh/8QAFQEBAQAAAAAAAAAAAAAAAAAAAwX/xAAWEQEBAQAAAAAAAAAAAAAAAAAAEhT/2gAMAwEAAhEDEQA/AIJQJQ0aUCUFzpcP/9k='
jpg_line='/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAA0JCgsKCA0LCgsODg0PEyAVExISEyccHhcgLikxMC4pLSwzOko+MzZGNywtQFdBRkxOUlNSMj5aYVpQYEpRUk//2wBDAQ4ODhMREyYVFSZPNS01T09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT0//wAARCAAQABADASIAAhEBAxEB/8QAFgABAQEAAAAAAAAAAAAAAAAABAAF/8QAHBAAAAYDAAAAAAAAAAAAAAAAAAEyNWRxsrPi/8QAFQEBAQAAAAAAAAAAAAAAAAAABAX/xAAVEQEBAAAAAAAAAAAAAAAAAAAAMf/aAAwDAQACEQMRAD8AwQ5tKbo7xtM2lN0d42kIDFOv/9k='
bmp_blue='Qk32AAAAAAAAADYAAAAoAAAACAAAAAgAAAABABgAAAAAAMAAAAAAAAAAAAAAAAAAAAAAAAAA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA/2BA'

put() {  # put BUCKET NAME BASE64
  printf '%s' "$3" | base64 -d >"$inetcache/$1/$2"
}
text() {  # text BUCKET NAME CONTENT
  printf '%s\n' "$3" >"$inetcache/$1/$2"
}
# 8 kHz, 8-bit mono: a header and eight samples of silence.
wav() {
  printf 'RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x08\x00\x00\x00\x80\x80\x80\x80\x80\x80\x80\x80' >"$inetcache/$1/$2"
}
# A MIDI file with one empty track.
midi() {
  printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x04\x00\xff\x2f\x00' >"$inetcache/$1/$2"
}
# An empty ZIP archive: its end-of-directory record alone.
zip() {
  printf 'PK\x05\x06\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$inetcache/$1/$2"
}

# Each container's own index: its signature, then room for the records a browser would keep.
for container in Content.IE5 IE Low/IE; do
  { printf 'Client UrlCache MMF Ver 5.2\x00'; head -c 4068 /dev/zero; } >"$inetcache/$container/index.dat"
done

put Content.IE5/0A1B2C3D '标志[1].gif' "$gif_gradient"
put Content.IE5/0A1B2C3D 'logo[1].gif' "$gif_dot"
put Content.IE5/0A1B2C3D '风景[1].jpg' "$jpg_sky"
text Content.IE5/0A1B2C3D 'style[1].css' 'body { font-family: "Microsoft YaHei", sans-serif; margin: 0; }'
text Content.IE5/0A1B2C3D '首页[1].htm' '<!DOCTYPE html><html><head><meta charset="utf-8"><title>首页</title></head><body><p>你好</p></body></html>'

put Content.IE5/4E5F6A7B 'spacer[1].gif' "$gif_square"
put Content.IE5/4E5F6A7B 'banner[2].gif' "$gif_gradient"
put Content.IE5/4E5F6A7B '照片[1].jpg' "$jpg_line"
put Content.IE5/4E5F6A7B 'icon[1].bmp' "$bmp_blue"
text Content.IE5/4E5F6A7B 'common.min[1].js' 'function hello(){return "你好";}'

put IE/8C9D0E1F '按钮[1].gif' "$gif_dot"
text IE/8C9D0E1F 'index[1].html' '<!DOCTYPE html><html><head><meta charset="utf-8"><title>index</title></head><body></body></html>'
wav IE/8C9D0E1F '提示音[1].wav'
midi IE/8C9D0E1F 'bgm[1].mid'
zip IE/8C9D0E1F 'files[1].zip'

put IE/K2L3M4N5 'loading[1].gif' "$gif_square"
put IE/K2L3M4N5 '背景[1].bmp' "$bmp_blue"
put IE/K2L3M4N5 'photo[1].jpg' "$jpg_sky"

put Low/IE/P6Q7R8S9 '动画[1].gif' "$gif_dot"
put Low/IE/P6Q7R8S9 'avatar[1].jpg' "$jpg_line"
text Low/IE/P6Q7R8S9 'widget[1].js' 'var widget = "小部件";'

echo "demo cache: $inetcache"
