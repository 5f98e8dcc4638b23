#!/bin/sh
# Regenerate the program icon for the desktop's icon theme (data/icons/hicolor)
# from src/ui/resources/icons/numbrill.svg, and the pictures of the toolbar and
# the menus (src/ui/resources/icons/drawn) from their SVGs beside it. Run by hand
# after changing a picture, then commit the results; the build uses only the
# finished files. The windows show pictures drawn beforehand: reading an SVG
# while the main window is built cost its first showing milliseconds.
#
#     tools/render-icons.sh
#
# Needs rsvg-convert (Debian: apt-get install librsvg2-bin).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
source_svg="$root/src/ui/resources/icons/numbrill.svg"
theme="$root/data/icons/hicolor"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render-icons.sh: rsvg-convert not found (apt-get install librsvg2-bin)" >&2
    exit 1
fi

# Each file is written next to its target and renamed over it, so an
# interrupted run never leaves a half-written picture behind.
tmp=""
trap 'rm -f "$tmp"' EXIT

for size in 16 22 24 32 48 64 128 256; do
    dir="$theme/${size}x${size}/apps"
    mkdir -p "$dir"
    tmp="$dir/numbrill.png.tmp.$$"
    rsvg-convert --width "$size" --height "$size" --format png --output "$tmp" "$source_svg"
    mv -f "$tmp" "$dir/numbrill.png"
done

# Menus show a picture at 16 pixels, the toolbar at 36; twice as many on screens
# of high density.
drawn="$root/src/ui/resources/icons/drawn"
mkdir -p "$drawn"
for picture in pegwords mostused testyourself review store suggest recall; do
    for size in 16 32 36 72; do
        tmp="$drawn/$picture-$size.png.tmp.$$"
        rsvg-convert --width "$size" --height "$size" --format png --output "$tmp" \
            "$root/src/ui/resources/icons/$picture.svg"
        mv -f "$tmp" "$drawn/$picture-$size.png"
    done
done

dir="$theme/scalable/apps"
mkdir -p "$dir"
tmp="$dir/numbrill.svg.tmp.$$"
cp "$source_svg" "$tmp"
mv -f "$tmp" "$dir/numbrill.svg"
