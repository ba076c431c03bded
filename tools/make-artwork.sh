#!/bin/sh
# Draws the window's artwork (icon, banner, tool-bar pictures) into
# src/ui/resources with ImageMagick 6. The PNG files are committed; run this
# again only to change the artwork.
#
# Each picture is drawn at four times its size and scaled down, which gives
# smooth edges without hand-made anti-aliasing.
set -eu

IM=${IM:-/usr/bin/convert}
FONTS=/usr/share/fonts/truetype/liberation
OUT=$(cd "$(dirname "$0")/../src/ui/resources" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

INK='#1f3b57'      # deep slate blue: outlines and the name
CANOPY='#2a7f8f'   # teal umbrella
ACCENT='#e0872b'   # warm orange

# An umbrella with a key for a handle, on a transparent ground (128 x 128).
umbrella() {
  "$IM" -size 128x128 xc:none \
    -fill "$CANOPY" -stroke "$INK" -strokewidth 5 \
    -draw "path 'M 10,62 A 54,50 0 0,1 118,62 Q 100,52 82,62 Q 64,52 46,62 Q 28,52 10,62 Z'" \
    -stroke none -fill '#ffffff60' \
    -draw "path 'M 30,44 A 40,34 0 0,1 64,22 L 62,28 A 34,30 0 0,0 36,47 Z'" \
    -stroke "$INK" -strokewidth 8 -fill none \
    -draw "line 64,60 64,104" \
    -stroke "$ACCENT" -strokewidth 7 \
    -draw "circle 64,112 64,121" \
    -draw "line 64,84 76,84" -draw "line 64,96 74,96" \
    -stroke "$INK" -strokewidth 5 -fill "$INK" \
    -draw "circle 64,14 64,18" \
    "$1"
}

# Window icon, 32 x 32 and 16 x 16, 16 colours each.
umbrella "$TMP/umbrella.png"
"$IM" "$TMP/umbrella.png" -filter Lanczos -resize 32x32 -colors 16 "PNG32:$OUT/icon32.png"
"$IM" "$TMP/umbrella.png" -filter Lanczos -resize 16x16 -colors 16 "PNG32:$OUT/icon16.png"

# Banner, 761 x 76: the name in serif on the left, a line of explanation,
# and the umbrella on the right over a fading rule. The lower left corner
# stays plain: the hover caption is written there.
W=3044; H=304
"$IM" -size ${W}x${H} xc:white \
  \( -size ${W}x14 gradient:"$CANOPY"-white \) -geometry +0+272 -composite \
  \( -size 2100x14 gradient:"$ACCENT"-white -rotate 0 \) -geometry +820+248 -composite \
  -font "$FONTS/LiberationSerif-Bold.ttf" -pointsize 190 -fill "$INK" \
  -annotate +80+168 'Ombrel' \
  -font "$FONTS/LiberationSerif-Italic.ttf" -pointsize 84 -fill "$CANOPY" \
  -annotate +820+160 'keeps your web-site logins under cover' \
  \( "$TMP/umbrella.png" -resize 272x272 \) -geometry +2700+8 -composite \
  -filter Lanczos -resize 761x76! -depth 8 "$OUT/banner.png"

# Tool-bar pictures, about 66 x 64 each, on white like the tool bar.
tool() { "$IM" -size 264x264 xc:white "$@"; }

# New: a page with a folded corner and a green plus.
tool -fill white -stroke "$INK" -strokewidth 10 \
  -draw "path 'M 46,18 L 160,18 L 212,70 L 212,246 L 46,246 Z'" \
  -fill '#dde6ee' -draw "path 'M 160,18 L 160,70 L 212,70 Z'" \
  -stroke '#9fb3c8' -strokewidth 8 \
  -draw "line 78,100 180,100" -draw "line 78,130 180,130" -draw "line 78,160 130,160" \
  -stroke '#1d6b2f' -strokewidth 8 -fill '#38a852' -draw "circle 190,196 190,252" \
  -stroke white -strokewidth 18 -draw "line 190,168 190,224" -draw "line 162,196 218,196" \
  -filter Lanczos -resize 66x62! -depth 8 "$OUT/new.png"

# Save: a diskette.
tool -fill "$INK" -stroke '#0f2233' -strokewidth 8 \
  -draw "path 'M 30,22 L 206,22 L 242,58 L 242,242 L 30,242 Z'" \
  -stroke none -fill '#c9d3dc' -draw "rectangle 74,22 190,100" \
  -fill "$INK" -draw "rectangle 156,36 178,88" \
  -fill white -draw "roundrectangle 58,136 214,242 10,10" \
  -stroke '#9fb3c8' -strokewidth 7 \
  -draw "line 80,170 192,170" -draw "line 80,200 192,200" \
  -filter Lanczos -resize 65x67! -depth 8 "$OUT/save.png"

# Delete: a bold red cross.
tool -stroke '#8e1b1b' -strokewidth 62 -draw "line 56,56 208,208" -draw "line 208,56 56,208" \
  -stroke '#d93434' -strokewidth 44 -draw "line 56,56 208,208" -draw "line 208,56 56,208" \
  -filter Lanczos -resize 67x66! -depth 8 "$OUT/delete.png"

# Open Site: a globe with an arrow leaving it.
tool -fill '#3f8fd8' -stroke "$INK" -strokewidth 10 -draw "circle 118,146 118,246" \
  -fill none -stroke '#e8f2fb' -strokewidth 7 \
  -draw "ellipse 118,146 44,100 0,360" -draw "line 18,146 218,146" \
  -draw "ellipse 118,146 100,36 180,360" -draw "line 118,46 118,246" \
  -stroke "$ACCENT" -strokewidth 22 -draw "line 150,114 222,42" \
  -stroke none -fill "$ACCENT" -draw "polygon 248,16 246,100 164,18" \
  -filter Lanczos -resize 66x63! -depth 8 "$OUT/opensite.png"

echo "artwork written to $OUT"
