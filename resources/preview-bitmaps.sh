#!/usr/bin/env bash
# Writes every bitmap and the sample faces as PNG images into a folder, each
# at real size and enlarged four times without smoothing (name_x4.png).
# Usage: preview-bitmaps.sh path/to/velbitmapgen OUTPUT_FOLDER
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 path/to/velbitmapgen OUTPUT_FOLDER" >&2
  exit 2
fi
generator=$1
out=$2
command -v convert >/dev/null || { echo "preview-bitmaps: needs ImageMagick's convert" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --preview "$work"

mkdir -p "$out"
for ppm in "$work"/*.ppm; do
  name=$(basename "$ppm" .ppm)
  convert "$ppm" "$out/$name.png"
  convert "$ppm" -filter point -resize 400% "$out/${name}_x4.png"
done
echo "preview-bitmaps: $(ls "$work" | wc -l) images in $out"
