#!/bin/sh
# Draws the toolbar images (24x24) and the program icon (64x64) with
# ImageMagick. Each image is drawn at four times its size and reduced, which
# gives clean edges. Run from this directory: sh draw_icons.sh
set -e

DARK='#2b3139'
RADIO='#3b434f'
RADIO_EDGE='#1e232a'
LCD='#9be29b'
GRILLE='#8c96a3'
BLUE='#2f6fc4'
BLUE_EDGE='#1d4f94'

# draw NAME SIZE MVG: renders MVG on a transparent canvas of 4*SIZE.
draw() {
    big=$(($2 * 4))
    convert -size ${big}x${big} xc:none -draw "$3" \
        -filter Box -resize $2x$2 -strip PNG32:$1
}

# A handheld radio on the left half of a 96x96 canvas.
RADIO_GLYPH="
  fill $RADIO_EDGE stroke none rectangle 19,2 27,30
  fill $RADIO_EDGE rectangle 33,14 41,28
  fill $RADIO stroke $RADIO_EDGE stroke-width 4 roundrectangle 12,26 48,92 6,6
  fill $LCD stroke none rectangle 19,34 41,50
  stroke $GRILLE stroke-width 4 line 19,60 41,60 line 19,69 41,69 line 19,78 41,78"

draw new.png 24 "
  fill white stroke '#404040' stroke-width 5 polygon 16,6 60,6 80,26 80,90 16,90
  fill '#d0d0d0' polygon 60,6 60,26 80,26
  stroke '#a0a0a0' stroke-width 4 line 26,36 52,36 line 26,48 70,48 line 26,60 46,60
  fill '#2e9e3e' stroke white stroke-width 4 circle 68,70 68,94
  fill white stroke none rectangle 56,66 80,74 rectangle 64,58 72,82"

draw open.png 24 "
  fill '#d9a53a' stroke '#8a6418' stroke-width 5 polygon 6,16 36,16 44,26 84,26 84,84 6,84
  fill white stroke '#909090' stroke-width 3 rectangle 18,32 74,60
  fill '#f5cd5c' stroke '#8a6418' stroke-width 5 polygon 20,42 94,42 82,84 6,84"

draw save.png 24 "
  fill '#3a6fb0' stroke '#1d3f6e' stroke-width 5 polygon 8,8 76,8 88,20 88,88 8,88
  fill '#d6dde5' stroke '#1d3f6e' stroke-width 4 rectangle 26,8 66,36
  fill '#3a6fb0' stroke none rectangle 52,14 60,30
  fill white stroke '#1d3f6e' stroke-width 4 rectangle 20,50 76,88
  stroke '#9aa4b0' stroke-width 4 line 28,62 68,62 line 28,74 68,74"

draw read.png 24 "$RADIO_GLYPH
  fill '#2e9e3e' stroke '#1d6b27' stroke-width 4
  polygon 52,47 68,47 68,32 93,56 68,80 68,65 52,65"

draw write.png 24 "$RADIO_GLYPH
  fill '#d9412b' stroke '#8f2414' stroke-width 4
  polygon 93,47 77,47 77,32 52,56 77,80 77,65 93,65"

draw port.png 24 "
  fill '#c3cad2' stroke '$DARK' stroke-width 4 roundrectangle 2,24 94,72 6,6
  fill '$DARK' stroke none circle 10,48 10,54 circle 86,48 86,54
  fill '#4a5561' stroke '$DARK' stroke-width 4 polygon 18,30 78,30 70,66 26,66
  fill '#f0d060' stroke none
  circle 28,40 28,45 circle 41,40 41,45 circle 55,40 55,45 circle 68,40 68,45
  circle 35,55 35,60 circle 48,55 48,60 circle 61,55 61,60"

draw channel.png 24 "
  fill white stroke '$DARK' stroke-width 5 rectangle 6,10 90,88
  fill '#3a6fb0' stroke none rectangle 8,12 88,30
  stroke '$DARK' stroke-width 3 line 30,30 30,86 line 60,30 60,86
  line 8,49 88,49 line 8,68 88,68
  fill '#f2b33d' stroke '#7a5210' stroke-width 3 polygon 48,94 52,80 82,50 92,60 62,90
  fill '#f3dcb3' polygon 48,94 52,80 62,90"

draw features.png 24 "
  stroke '$DARK' stroke-width 7 line 8,20 88,20 line 8,48 88,48 line 8,76 88,76
  fill '$BLUE' stroke '$BLUE_EDGE' stroke-width 4
  roundrectangle 54,6 70,34 4,4 roundrectangle 22,34 38,62 4,4 roundrectangle 62,62 78,90 4,4"

draw info.png 24 "
  fill '$BLUE' stroke '$BLUE_EDGE' stroke-width 5 circle 48,48 48,6
  fill white stroke none circle 48,26 48,34
  roundrectangle 41,42 55,78 3,3 rectangle 35,42 55,48 rectangle 35,72 61,78"

draw align.png 24 "
  fill '#f5f5f5' stroke '$DARK' stroke-width 5 path 'M 6,74 A 42,42 0 0 1 90,74 Z'
  stroke '$DARK' stroke-width 4 line 16,74 24,74 line 72,74 80,74 line 48,40 48,48
  line 24,50 30,56 line 72,50 66,56
  stroke '#d9412b' stroke-width 6 line 48,74 70,44
  fill '$DARK' stroke none circle 48,74 48,82
  fill '$DARK' rectangle 6,80 90,90"

draw app.png 64 "
  fill $RADIO_EDGE stroke none roundrectangle 84,4 112,80 8,8
  roundrectangle 140,30 166,70 4,4
  rectangle 58,110 72,168
  fill $RADIO stroke $RADIO_EDGE stroke-width 10 roundrectangle 68,64 188,250 20,20
  fill $LCD stroke $RADIO_EDGE stroke-width 5 rectangle 90,86 166,136
  fill '#2d5a2d' stroke none rectangle 100,100 114,122 rectangle 122,100 136,122
  rectangle 144,100 156,108
  stroke $GRILLE stroke-width 8 line 96,162 160,162 line 96,180 160,180
  line 96,198 160,198 line 96,216 160,216
  fill '$BLUE' stroke none rectangle 70,236 186,246"
