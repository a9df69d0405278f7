#!/bin/sh
# Draws the desktop icons (hicolor theme, 16 to 256 pixels) from the same
# drawing as the program's own window icon in gui/icons/draw_icons.sh, so the
# two never drift apart. The drawing is vector, so each size is drawn afresh
# at four times its size and reduced, rather than scaling the 64-pixel image.
# Run from this directory: sh draw_icons.sh
set -e

SRC=../../gui/icons/draw_icons.sh
SIZES="16 32 48 64 128 256"

# The colour names the drawing uses (single-line NAME='value' assignments).
eval "$(grep -E "^[A-Z_]+='[^']*'$" "$SRC")"

# The drawing of app.png: the text between 'draw app.png 64 "' and the next
# closing quote. Its coordinates are for a 256-pixel canvas.
MVG=$(awk '
    /^draw app\.png 64 "/ { on = 1; sub(/^draw app\.png 64 "/, "") }
    on && /"$/ { sub(/"$/, ""); print; exit }
    on { print }' "$SRC")
[ -n "$MVG" ] || { echo "no app.png drawing found in $SRC" >&2; exit 1; }
MVG=$(eval "printf '%s' \"$MVG\"")

for size in $SIZES; do
    big=$((size * 4))
    # "scale" resizes strokes with the shapes, so every size keeps the
    # proportions of the original.
    scale=$(awk -v s="$size" 'BEGIN { printf "%.4f", s / 64 }')
    convert -size ${big}x${big} xc:none -draw "scale $scale,$scale $MVG" \
        -filter Box -resize ${size}x${size} -strip PNG32:rq300-${size}.png
done
