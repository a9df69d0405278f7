#!/bin/sh
# Draws the picture of the radio shown under the channel table
# (gui/radio.jpg). Needs ImageMagick's convert. The line under "UHF FM
# two-way radio" (model and band, at 172,160) is left free: the channel
# window draws it with the band selected.
set -e
out=${1:-$(dirname "$0")/../gui/radio.jpg}
keys=""
for r in 0 1 2 3; do
  for c in 0 1 2; do
    x=$((50 + c * 19)); y=$((96 + r * 17))
    keys="$keys roundrectangle $x,$y $((x + 14)),$((y + 11)) 3,3"
  done
done
convert -size 536x178 gradient:'#f4f7fb-#d9e3ee' \
  -stroke '#8e9cab' -strokewidth 2.5 -fill none \
  -draw "arc 46,0 74,28 -55,35" -draw "arc 36,-10 84,38 -50,30" -draw "arc 26,-20 94,48 -45,25" \
  -stroke none -fill '#3a3f47' -draw "roundrectangle 53,8 63,52 4,4" \
  -fill '#4a5059' -draw "roundrectangle 92,24 104,46 3,3" \
  -fill '#2b2f36' -draw "roundrectangle 38,40 118,172 12,12" \
  -fill '#1d2026' -draw "roundrectangle 33,70 40,120 2,2" \
  -fill '#1b1e23' -draw "roundrectangle 46,50 110,88 4,4" \
  -fill '#8fd0ee' -draw "rectangle 50,54 106,84" \
  -fill '#24465c' -font DejaVu-Sans-Mono-Bold -pointsize 14 -draw "text 54,75 '446.00'" \
  -fill '#c9ced6' -draw "$keys" \
  -fill '#e05a47' -draw "roundrectangle 69,160 87,166 2,2" \
  -fill '#1f4e79' -font DejaVu-Sans-Bold -pointsize 46 -draw "text 168,96 'RQ-300'" \
  -fill '#40566b' -font DejaVu-Sans -pointsize 23 -draw "text 172,130 'UHF FM two-way radio'" \
  -quality 92 -sampling-factor 1x1 -strip "$out"
